#include "hydat/station_query.h"

#include <algorithm>
#include <map>

namespace gaumo::hydat {

TableNeed station_need() {
  static constexpr std::string_view kColumns[] = {
      "STATION_NUMBER", "STATION_NAME",       "PROV_TERR_STATE_LOC",
      "HYD_STATUS",     "SED_STATUS",         "LATITUDE",
      "LONGITUDE",      "DRAINAGE_AREA_GROSS"};
  return {"STATIONS", kColumns};
}

std::vector<StationRow> select_stations(
    Database& db, const std::vector<std::string>& selectors,
    std::vector<char>& matched) {
  matched.assign(selectors.size(), 0);
  // The whole table (some thousands of rows in the archive) is read and
  // matched here, so no input ever becomes part of a query.
  Statement stmt(db,
                 "SELECT STATION_NUMBER, PROV_TERR_STATE_LOC, STATION_NAME, "
                 "HYD_STATUS, SED_STATUS, LATITUDE, LONGITUDE, "
                 "DRAINAGE_AREA_GROSS FROM STATIONS");
  std::map<std::string, StationRow> found;
  while (stmt.step()) {
    sqlite3_stmt* s = stmt.handle();
    const std::string_view number = read_text(s, 0);
    bool take = false;
    for (std::size_t k = 0; k < selectors.size(); ++k) {
      if (number.substr(0, selectors[k].size()) == selectors[k]) {
        matched[k] = 1;
        take = true;
      }
    }
    if (!take || found.count(std::string(number)) != 0)
      continue;
    StationRow row;
    row.number = number;
    row.province = read_text(s, 1);
    row.name = read_text(s, 2);
    row.hyd_status = read_text(s, 3);
    row.sed_status = read_text(s, 4);
    row.latitude = read_cell(s, 5);
    row.longitude = read_cell(s, 6);
    row.drainage_area = read_cell(s, 7);
    found.emplace(row.number, std::move(row));
  }
  std::vector<StationRow> rows;
  rows.reserve(found.size());
  for (auto& [number, row] : found)
    rows.push_back(std::move(row));
  return rows;
}

}  // namespace gaumo::hydat
