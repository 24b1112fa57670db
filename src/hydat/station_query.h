#pragma once
// The STATIONS table: the rows a station list is made of.

#include <string>
#include <vector>

#include "hydat/hydat_database.h"

namespace gaumo::hydat {

struct StationRow {
  std::string number;
  std::string province;
  std::string name;
  std::string hyd_status;
  std::string sed_status;
  Cell latitude;
  Cell longitude;
  Cell drainage_area;
};

/// The columns of STATIONS a station list needs.
TableNeed station_need();

/// Every station whose STATION_NUMBER starts with one of `selectors`
/// (compared byte for byte: case counts, and "%" or "_" are plain
/// characters), once each (its first row), in station-number order.
/// matched[k] tells whether selector k found a station. Throws
/// DatabaseError.
std::vector<StationRow> select_stations(
    Database& db, const std::vector<std::string>& selectors,
    std::vector<char>& matched);

}  // namespace gaumo::hydat
