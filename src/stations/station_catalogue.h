#pragma once
// The station catalogue: what the station list says of each station.
// Vectors are 0-based: station index i (1-based, the row of the station
// list) lives at element i - 1. What the run finds out about a station's
// data lives with the flow stage, the column texts of the yearly files with
// the output stage.

#include <cstdint>
#include <vector>

#include "text/fixed_text.h"

namespace gaumo {

constexpr std::int32_t kMaxStations = 1000;

using Ident = FixedText<7>;
using StationName = FixedText<80>;
using FileName = FixedText<60>;

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
};

}  // namespace gaumo
