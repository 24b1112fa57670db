#pragma once
// The one pass over DLY_FLOWS: every row of the listed stations, in the
// table's own order (the archive may have no index, so one scan for all
// stations rather than one per station).

#include <string>
#include <string_view>
#include <vector>

#include "hydat/hydat_database.h"

namespace gaumo::hydat {

class DailyFlowScan {
 public:
  /// Prepares the query for the rows whose STATION_NUMBER is one of
  /// `stations` (bound as parameters, never written into the query). A
  /// list longer than SQLite's parameter limit, or one that names nearly
  /// every station of the STATIONS table, brings every row, so the caller
  /// looks each row's station up. Throws DatabaseError.
  DailyFlowScan(Database& db, const std::vector<std::string>& stations);

  /// The next row: false at the end; throws DatabaseError when SQLite
  /// reports an error, so a damaged page never passes for the last row.
  bool next() { return stmt_.step(); }

  /// The current row's STATION_NUMBER; valid until next().
  std::string_view station() { return read_text(stmt_.handle(), 0); }
  Cell year() { return read_cell(stmt_.handle(), 1); }
  Cell month() { return read_cell(stmt_.handle(), 2); }
  Cell no_days() { return read_cell(stmt_.handle(), 3); }
  /// FLOWd, d from 1 to 31.
  Cell flow(int d) { return read_cell(stmt_.handle(), 3 + d); }

 private:
  bool filtered_;
  Statement stmt_;
};

}  // namespace gaumo::hydat
