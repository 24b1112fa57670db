#pragma once
// The per-station column metadata that every yearly file carries. Only the
// tb0 writers read it, so it lives here rather than in the catalogue.

#include <cstdint>
#include <vector>

#include "stations/station_catalogue.h"
#include "system/memory_limit.h"
#include "text/fixed_text.h"

namespace gaumo {

using ColumnText = FixedText<12>;

/// One entry per station, 0-based like the catalogue.
struct ColumnMetadata {
  std::vector<ColumnText> units;
  std::vector<ColumnText> type;
  std::vector<float> coeff1, coeff2, coeff3, coeff4;
  std::vector<std::int32_t> value1;
};

/// Gives each of `nsta` stations "m3/s", "float", zero coefficients and
/// value1 = 1. Throws std::bad_alloc when the entries cannot be had, like
/// the station list's other per-station arrays, beside which it is made.
inline ColumnMetadata column_metadata(std::int32_t nsta) {
  const auto n = static_cast<std::uint64_t>(nsta);
  ColumnMetadata m;
  assign_checked(m.units, n);
  assign_checked(m.type, n);
  assign_checked(m.coeff1, n);
  assign_checked(m.coeff2, n);
  assign_checked(m.coeff3, n);
  assign_checked(m.coeff4, n);
  assign_checked(m.value1, n);
  for (std::size_t i = 0; i < m.units.size(); ++i) {
    m.units[i].assign("        m3/s");
    m.type[i].assign("       float");
    m.value1[i] = 1;
  }
  return m;
}

}  // namespace gaumo
