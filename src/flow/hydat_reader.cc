#include "flow/hydat_reader.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <string>
#include <unordered_map>
#include <vector>

#include "flow/calendar.h"
#include "hydat/daily_flow_scan.h"
#include "run/fatal_stop.h"
#include "text/free_format_line.h"

namespace gaumo {
namespace {

using hydat::Cell;
using hydat::CellKind;

constexpr std::int32_t kMonthDays[12] = {31, 28, 31, 30, 31, 30,
                                         31, 31, 30, 31, 30, 31};

std::int32_t month_length(std::int64_t year, std::int64_t month) {
  const auto m = static_cast<std::size_t>(month - 1);
  return kMonthDays[m] + (month == 2 && is_leap_year(year) ? 1 : 0);
}

/// A year or month of a bad row, right-aligned in 5 columns like the
/// "Error:  " line of a record: the number when it is one, else "?".
void put_shown(std::string& s, const Cell& c) {
  std::int64_t v = 0;
  const std::string t = hydat::cell_integer(c, v) ? std::to_string(v) : "?";
  if (t.size() < 5)
    s.append(5 - t.size(), ' ');
  s += t;
}

std::string row_error_line(const Ident& ident, const Cell& year,
                           const Cell& month) {
  std::string s = "Error:  ";
  s.append(ident.view());
  put_shown(s, year);
  put_shown(s, month);
  s += '\n';
  return s;
}

}  // namespace

bool row_month(const Cell& year, const Cell& month, const Cell& no_days,
               RowMonth& out) {
  std::int64_t y = 0, m = 0, n = 0;
  if (!hydat::cell_integer(year, y) || y < INT16_MIN || y > INT16_MAX ||
      !hydat::cell_integer(month, m) || m < 1 || m > 12 ||
      !hydat::cell_integer(no_days, n)) {
    return false;
  }
  out.year = static_cast<std::int16_t>(y);
  out.month = static_cast<std::int16_t>(m);
  out.days = static_cast<std::int32_t>(
      std::clamp<std::int64_t>(n, 0, month_length(y, m)));
  return true;
}

bool flow_value(const Cell& c, float& v) {
  double x = 0.0;
  switch (c.kind) {
  case CellKind::kNull:
    v = kMissing;
    return true;
  case CellKind::kInteger:
    x = static_cast<double>(c.integer);
    break;
  case CellKind::kReal:
    x = c.real;
    break;
  default:
    return false;
  }
  if (!std::isfinite(x) || std::fabs(x) > double{FLT_MAX})
    return false;
  v = static_cast<float>(x);
  return true;
}

namespace {

/// The listed columns (1-based station indices) of each identifier, its
/// trailing blanks dropped; a station listed twice has two.
using Columns = std::vector<std::int32_t>;

class Reader {
 public:
  Reader(const StationCatalogue& cat, DailyDoor& door)
      : cat_(cat),
        door_(door),
        taken_(static_cast<std::size_t>(cat.nsta), 0),
        seen_(static_cast<std::size_t>(cat.nsta), 0) {
    for (std::int32_t i = 1; i <= cat.nsta; ++i) {
      const std::string id(trim_right(ident(i).view()));
      auto& cols = columns_[id];
      if (cols.empty())
        ids_.push_back(id);
      cols.push_back(i);
    }
  }

  const std::vector<std::string>& ids() const { return ids_; }

  void take(hydat::DailyFlowScan& scan) {
    const std::string_view station = scan.station();
    if (last_ == nullptr || station != last_station_) {
      const auto it = columns_.find(std::string(station));
      if (it == columns_.end())
        return;
      last_station_ = it->first;
      last_ = &it->second;
    }
    for (std::int32_t i : *last_)
      seen_[static_cast<std::size_t>(i - 1)] = 1;
    const Cell year = scan.year();
    const Cell month = scan.month();
    RowMonth rm;
    if (!row_month(year, month, scan.no_days(), rm)) {
      for (std::int32_t i : *last_)
        door_.log().record_error(i, row_error_line(ident(i), year, month));
      return;
    }
    for (std::int32_t d = 1; d <= rm.days; ++d) {
      const Cell cell = scan.flow(d);
      DailyValue v{rm.year, rm.month, static_cast<std::int16_t>(d), kMissing};
      const bool good = flow_value(cell, v.value);
      for (std::int32_t i : *last_) {
        if (!good) {
          door_.log().record_error(
              i, error_line(ident(i), v.year, v.month, v.day));
          continue;
        }
        const Placed p = door_.put(i, v, Placing::kReplace, ident(i));
        if (p == Placed::kStored && cell.kind != CellKind::kNull)
          ++taken_[static_cast<std::size_t>(i - 1)];
      }
    }
  }

  std::vector<char> take_found() { return std::move(seen_); }

  void log_stations(const std::string& path) {
    RunLog& log = door_.log();
    for (std::int32_t i = 1; i <= cat_.nsta; ++i) {
      const auto k = static_cast<std::size_t>(i - 1);
      if (seen_[k] == 0) {
        log.console(
            free_line({"Station ", ident(i).view(), " not found in ", path}));
        log.console(free_line({"Continuing to find the next listed file"}));
        continue;
      }
      log.both(free_line({"Read station=", ident(i).view(),
                          " daily values=", taken_[k], " from ", path}));
    }
  }

 private:
  const Ident& ident(std::int32_t i) const {
    return cat_.idsta[static_cast<std::size_t>(i - 1)];
  }

  const StationCatalogue& cat_;
  DailyDoor& door_;
  std::unordered_map<std::string, Columns> columns_;
  std::vector<std::string> ids_;
  std::vector<std::int32_t> taken_;
  std::vector<char> seen_;
  std::string_view last_station_;
  const Columns* last_ = nullptr;
};

}  // namespace

std::vector<char> read_database_flows(hydat::Database& db,
                                      const StationCatalogue& cat,
                                      DailyDoor& door) {
  RunLog& log = door.log();
  Reader reader(cat, door);
  log.both(
      free_line({"Reading DLY_FLOWS of ", hydat::database_label(db.path())}));
  try {
    if (!reader.ids().empty()) {
      hydat::DailyFlowScan scan(db, reader.ids());
      while (scan.next())
        reader.take(scan);
    }
  } catch (const hydat::DatabaseError& e) {
    log.both(free_line(
        {"Error reading ", hydat::database_label(db.path()), ": ", e.message}));
    stop_run("Gaumo aborted reading the HYDAT database");
  }
  reader.log_stations(db.path());
  return reader.take_found();
}

}  // namespace gaumo
