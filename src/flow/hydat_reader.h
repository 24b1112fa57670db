#pragma once
// Historical daily flows straight from a HYDAT database's DLY_FLOWS table,
// in place of the station files <identifier>_Daily_Flow_ts.csv: each value
// goes through the daily door with the historical reader's placing.

#include <vector>

#include "flow/daily_door.h"
#include "hydat/hydat_database.h"
#include "stations/station_catalogue.h"

namespace gaumo {

/// The date part of a DLY_FLOWS row: its year and month and how many of
/// FLOW1..FLOW31 hold daily records (up to NO_DAYS and the month's length
/// in the run's calendar; 0 for NO_DAYS 0 or below).
struct RowMonth {
  std::int16_t year = 0;
  std::int16_t month = 0;
  std::int32_t days = 0;
};

/// False for a row whose YEAR, MONTH or NO_DAYS is not a whole number, or
/// whose YEAR is outside -32768..32767 or MONTH outside 1..12.
bool row_month(const hydat::Cell& year, const hydat::Cell& month,
               const hydat::Cell& no_days, RowMonth& out);

/// A daily flow: -1.0 for NULL, the value for a finite number within the
/// 32-bit range; false for anything else.
bool flow_value(const hydat::Cell& c, float& v);

/// Reads the rows of every listed station in one pass over DLY_FLOWS and
/// places FLOWd for d up to NO_DAYS and the month's length; a NULL flow is
/// an empty value (-1.0). A row whose YEAR, MONTH or NO_DAYS is unusable,
/// or a flow that is no finite 32-bit number, gets its "Error:  " line and
/// is skipped. Logs one line per station. An error SQLite reports while
/// reading ends the run (FatalStop) after a line naming the database.
/// Returns, per station (element i - 1), 1 when it has rows in the table.
std::vector<char> read_database_flows(hydat::Database& db,
                                      const StationCatalogue& cat,
                                      DailyDoor& door);

}  // namespace gaumo
