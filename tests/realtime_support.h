#pragma once
// Shared by the realtime end-to-end tests: the stored Datamart files, the
// daily means worked out straight from their rows (by the service's fixed
// column positions, without any of Gaumo's code), and the tb0 cells a run
// wrote for one station.

#include <chrono>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace gaumo_test::rt {

/// A stored file under tests/data/realtime.
inline std::string stored(const std::string& rel) {
  return read_file(test_data() / "realtime" / rel);
}
inline const char* const kAA001May =
    "real/YT_10AA001_2023-05-30/YT_10AA001_hourly_hydrometric.csv";
inline const char* const kAA001Nov =
    "real/YT_10AA001_2023-11-06/YT_10AA001_hourly_hydrometric.csv";
inline const char* const kAD002 =
    "real/YT_10AD002_2023-06-07/YT_10AD002_hourly_hydrometric.csv";

/// The lines of a file without their line ends (CR LF or LF).
inline std::vector<std::string> file_lines(const std::string& bytes) {
  std::vector<std::string> out;
  std::size_t at = 0;
  while (at < bytes.size()) {
    std::size_t nl = bytes.find('\n', at);
    if (nl == std::string::npos)
      nl = bytes.size();
    std::string l = bytes.substr(at, nl - at);
    if (!l.empty() && l.back() == '\r')
      l.pop_back();
    out.push_back(l);
    at = nl + 1;
  }
  return out;
}

/// Lines back into a file, each ended with `eol`.
inline std::string join(const std::vector<std::string>& lines,
                        const std::string& eol) {
  std::string s;
  for (const auto& l : lines)
    s += l + eol;
  return s;
}

inline std::vector<std::string> fields(const std::string& line) {
  std::vector<std::string> f;
  std::size_t at = 0;
  for (;;) {
    const std::size_t c = line.find(',', at);
    f.push_back(line.substr(at, c == std::string::npos ? c : c - at));
    if (c == std::string::npos)
      return f;
    at = c + 1;
  }
}

/// Discharge by timestamp text of a file in the service's layout (ID,
/// Date, 4 level columns, discharge, ...), header skipped; rows without a
/// discharge left out, a later row of the same timestamp winning.
inline std::map<std::string, std::string> discharge_by_time(
    const std::string& bytes) {
  std::map<std::string, std::string> q;
  const auto lines = file_lines(bytes);
  for (std::size_t k = 1; k < lines.size(); ++k) {
    const auto f = fields(lines[k]);
    if (f.at(6).empty())
      continue;
    q[f.at(1)] = f.at(6);
  }
  return q;
}

/// "YYYY-MM-DD" -> the tb0 cell text of the day's mean, for the days with
/// a reading in each of the 24 hours of their own timestamps.
inline std::map<std::string, std::string> complete_day_cells(
    const std::map<std::string, std::string>& by_time) {
  struct Day {
    double sum = 0;
    int n = 0;
    std::set<std::string> hours;
  };
  std::map<std::string, Day> days;
  for (const auto& [time, q] : by_time) {
    Day& d = days[time.substr(0, 10)];
    d.sum += std::stod(q);
    ++d.n;
    d.hours.insert(time.substr(11, 2));
  }
  std::map<std::string, std::string> cells;
  for (const auto& [date, d] : days) {
    if (d.hours.size() != 24)
      continue;
    char c[64];
    std::snprintf(c, sizeof c, "%.3f",
                  static_cast<double>(static_cast<float>(d.sum / d.n)));
    cells[date] = c;
  }
  return cells;
}

/// The cells of `column` (1-based) in a year's tb0 file that hold a value,
/// by date.
inline std::map<std::string, std::string> tb0_cells(const Sandbox& sb, int year,
                                                    int column = 1) {
  namespace chr = std::chrono;
  const std::string tb0 = sb.read_parent(std::to_string(year) + "0101_str.tb0");
  const auto lines = file_lines(tb0);
  std::map<std::string, std::string> cells;
  std::size_t first = 0;
  while (first < lines.size() && lines[first].rfind(":endHeader", 0) != 0)
    ++first;
  chr::sys_days day{chr::year{year} / 1 / 1};
  for (std::size_t k = first + 1; k < lines.size(); ++k, day += chr::days{1}) {
    std::string c =
        lines[k].substr(static_cast<std::size_t>(20 + 12 * (column - 1)), 12);
    c.erase(0, c.find_first_not_of(' '));
    if (c == "-1.000")
      continue;
    const chr::year_month_day ymd{day};
    char date[48];
    std::snprintf(
        date, sizeof date, "%04d-%02u-%02u", static_cast<int>(ymd.year()),
        static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()));
    cells[date] = c;
  }
  return cells;
}

inline std::string station_list(const std::vector<std::string>& ids) {
  std::string s = "#\n:EndHeader\n";
  for (const auto& id : ids)
    s += id + " YT \"STATION " + id + "\" A D 60.7 -135.0 100\n";
  return s;
}

}  // namespace gaumo_test::rt
