#pragma once
// The station catalogue: what the station list says of each station, and
// the column texts the yearly files give it. Vectors are 0-based: station
// index i (1-based, the row of the station list) lives at element i - 1.
// What the run finds out about a station's data lives with the flow stage.

#include <cstdint>
#include <vector>

#include "text/fixed_text.h"

namespace gaumo {

constexpr std::int32_t kMaxStations = 1000;

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
};

}  // namespace gaumo
