#pragma once
// Fixed-width fields of the files written in columns. A number that does
// not fit its field fills the whole field with asterisks. Every function
// appends to `out` and never fails.

#include <cstdint>
#include <string>
#include <string_view>

namespace gaumo {

/// Integer right-aligned in `width` characters.
void put_int(std::string& out, std::int64_t v, int width);

/// Fixed point: `v` rounded (ties to even, on its exact binary value) to
/// `decimals` places, right-aligned in `width`; with 0 decimals the digits
/// are followed by a decimal point. The 0 before the point of a magnitude
/// below 1 is dropped only when the field has no room for it.
void put_fixed(std::string& out, double v, int width, int decimals);

/// Exponent form 0.ddddE+xx with `digits` mantissa digits, right-aligned.
void put_exp(std::string& out, double v, int width, int digits);

/// Text right-aligned in `width` (blanks in front), or cut to its first
/// `width` characters.
void put_text_right(std::string& out, std::string_view text, int width);

/// `n` blanks.
void put_blanks(std::string& out, int n);

/// The fixed-point field of `put_fixed(v, 12, 3)` for the daily flow rows,
/// on a fast path that avoids general formatting for ordinary values.
void put_f12_3(std::string& out, float v);

/// The same 12 characters written at `dst`, for rows formatted in place.
void format_f12_3(char* dst, float v);

}  // namespace gaumo
