#pragma once
// The plain tier of the record path: records of plain comma-separated
// fields, no quotes, blanks, repeats or slashes. It gives exactly what the
// free-form reader gives for such a record and declines everything else,
// which then goes through the free-form reader.

#include <array>
#include <string_view>

#include "flow/record_reader.h"

namespace gaumo {

// How the plain form sees a character: part of a value, a separator (the
// comma, and the character the reader turns into one), or anything that
// gives a field a meaning the plain form does not have: blanks and tabs
// separate, quotes start a quoted text, "*" may make a repeat and "/" ends
// the read.
enum CharClass : unsigned char { kValue, kComma, kOther };

constexpr std::array<CharClass, 256> make_classes(char replaced) {
  std::array<CharClass, 256> t{};
  for (auto& v : t)
    v = kValue;
  // A line end only ever meets the plain form when it scans a whole block.
  for (char c : {' ', '\t', '"', '\'', '*', '/', '\n'})
    t[static_cast<unsigned char>(c)] = kOther;
  t[static_cast<unsigned char>(',')] = kComma;
  t[static_cast<unsigned char>(replaced)] = kComma;
  return t;
}
inline constexpr std::array<CharClass, 256> kHistoricalClasses =
    make_classes('/');
inline constexpr std::array<CharClass, 256> kProvisionalClasses =
    make_classes('-');

/// Parses `line` (the record as it stands: the character the reader turns
/// into a comma counts as one) into `f` and returns true when the record
/// has the plain form and parses; returns false, leaving `f` untouched,
/// otherwise.
bool parse_plain_record(std::string_view line, RecordKind kind,
                        RecordFields& f);

/// Whether an identifier is made only of characters that stand for
/// themselves in a historical record, so that a raw byte comparison of the
/// first seven columns decides whether a record belongs to the station.
bool is_plain_identifier(const Ident& id);

}  // namespace gaumo
