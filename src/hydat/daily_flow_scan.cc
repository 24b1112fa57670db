#include "hydat/daily_flow_scan.h"

#include <sqlite3.h>

namespace gaumo::hydat {
namespace {

std::string scan_query(std::size_t stations, bool filtered) {
  std::string q = "SELECT STATION_NUMBER, YEAR, MONTH, NO_DAYS";
  for (int d = 1; d <= 31; ++d)
    q += ", FLOW" + std::to_string(d);
  q += " FROM DLY_FLOWS";
  if (!filtered)
    return q;
  q += " WHERE STATION_NUMBER IN (";
  for (std::size_t k = 1; k <= stations; ++k) {
    q += k > 1 ? ", ?" : "?";
    q += std::to_string(k);
  }
  q += ")";
  return q;
}

/// Whether the list fits SQLite's limit on parameters (999 in old builds);
/// past it every row comes back and the caller's own lookup filters them.
bool fits_parameters(Database& db, std::size_t stations) {
  const int limit =
      sqlite3_limit(db.handle(), SQLITE_LIMIT_VARIABLE_NUMBER, -1);
  return limit > 0 && stations <= static_cast<std::size_t>(limit);
}

}  // namespace

DailyFlowScan::DailyFlowScan(Database& db,
                             const std::vector<std::string>& stations)
    : stmt_(db,
            scan_query(stations.size(), fits_parameters(db, stations.size()))) {
  if (!fits_parameters(db, stations.size()))
    return;
  int k = 1;
  for (const std::string& s : stations)
    stmt_.bind_text(k++, s);
}

}  // namespace gaumo::hydat
