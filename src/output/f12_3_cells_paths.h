#pragma once
// The three ways the F12.3 cells of a row can be formatted, one file each:
// the portable one by one (f12_3_cells.cc, which also picks the best the
// processor has), eight at a time with AVX2 and sixteen at a time with
// AVX-512. The vector files repeat each other's steps on wider registers;
// that is why they are two.

#include <cstddef>

#include "system/compiler.h"

namespace gaumo::cells {

/// `n` cells one after another, each with format_f12_3.
void format_cells(char* dst, const float* values, std::size_t n);

#if GAUMO_X86_TARGETS
/// The same, eight at a time; needs AVX2.
void format_cells_avx2(char* dst, const float* values, std::size_t n);
/// The same, sixteen at a time; needs AVX-512 F, BW and DQ.
void format_cells_avx512(char* dst, const float* values, std::size_t n);
#endif

}  // namespace gaumo::cells
