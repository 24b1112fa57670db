#pragma once
// The station catalogue and every per-station array of the run. Vectors are
// 0-based: station index i (1-based, the row of the station list) lives at
// element i - 1.

#include <cstdint>
#include <vector>

#include "text/fixed_text.h"

namespace gaumo {

constexpr std::int32_t kMaxStations = 1000;
/// Entries of the file-name table; entry 999 doubles as the yearly
/// writer's slot, and room for 1000 lets the 1000th station be read too.
constexpr std::int32_t kFileNameEntries = 1000;
constexpr std::int32_t kTb0NameEntry = 999;

using Ident = FixedText<7>;
using StationName = FixedText<80>;
using FileName = FixedText<60>;
using ColumnText = FixedText<12>;

struct StationCatalogue {
  std::int32_t nsta = 0;
  /// Identifiers taken by the count pass (kMaxStations entries).
  std::vector<Ident> staid = std::vector<Ident>(kMaxStations);
  std::vector<Ident> idsta;
  std::vector<Ident> idsta_w;
  std::vector<StationName> sta_name;
  std::vector<float> xsta;
  std::vector<float> ysta;
  std::vector<float> dr_area;
  std::vector<ColumnText> columnunits;
  std::vector<ColumnText> columntype;
  std::vector<float> coeff1, coeff2, coeff3, coeff4;
  std::vector<std::int32_t> value1;
  /// fln entry e (1-based) at element e - 1.
  std::vector<FileName> fln;
  /// Per year and station, station-major: element (i-1) * years + (n-1).
  std::vector<std::int32_t> station_n;
  std::vector<char> sta_data_flg;
  std::int64_t report_years = 0;

  FileName& fln_entry(std::int32_t e) { return fln[static_cast<std::size_t>(e - 1)]; }
};

}  // namespace gaumo
