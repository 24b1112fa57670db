#include "hydat/daily_flow_scan.h"

#include <sqlite3.h>

#include <cstdint>

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

/// Whether the list names nearly every station of the STATIONS table. SQLite
/// decodes every column of a row it returns, so the list in the query saves
/// most of the scan when it names a few stations of the archive; when it
/// names nearly all, testing it on every row costs a tenth of the run, and
/// the caller's own lookup drops the few rows of other stations anyway.
/// False when the table cannot be counted.
bool lists_nearly_all(Database& db, std::size_t stations) {
  try {
    Statement count(db, "SELECT COUNT(*) FROM STATIONS");
    if (!count.step())
      return false;
    const Cell c = read_cell(count.handle(), 0);
    if (c.kind != CellKind::kInteger || c.integer <= 0)
      return false;
    const auto all = static_cast<std::uint64_t>(c.integer);
    return static_cast<std::uint64_t>(stations) >= all - all / 10;
  } catch (const DatabaseError&) {
    return false;
  }
}

bool filter_in_query(Database& db, std::size_t stations) {
  return fits_parameters(db, stations) && !lists_nearly_all(db, stations);
}

}  // namespace

DailyFlowScan::DailyFlowScan(Database& db,
                             const std::vector<std::string>& stations)
    : filtered_(filter_in_query(db, stations.size())),
      stmt_(db, scan_query(stations.size(), filtered_)) {
  if (!filtered_)
    return;
  int k = 1;
  for (const std::string& s : stations)
    stmt_.bind_text(k++, s);
}

}  // namespace gaumo::hydat
