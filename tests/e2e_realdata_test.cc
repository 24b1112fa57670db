// Runs on five real stations from the national hydrometric archive, 1918 to
// 1920, and checks the outputs against the stored results and against the
// station records themselves.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "e2e_support.h"

namespace gaumo_test {
namespace {

namespace fs = std::filesystem;

fs::path realdata() { return test_data() / "realdata"; }

/// Runs on a copy of the real data (files only, not expected/).
RunResult run_on_realdata(const Sandbox& box) {
  for (const auto& e : fs::directory_iterator(realdata())) {
    if (e.is_regular_file())
      box.write(e.path().filename().string(), read_file(e.path()));
  }
  return box.run(box.read("answers.txt"));
}

std::vector<std::string> split(const std::string& s, char sep) {
  std::vector<std::string> parts;
  std::string cur;
  std::istringstream in(s);
  while (std::getline(in, cur, sep))
    parts.push_back(cur);
  return parts;
}

/// The daily rows of a tb0 file: the lines after ":endHeader".
std::vector<std::string> data_rows(const std::string& tb0) {
  const auto lines = split(tb0, '\n');
  std::vector<std::string> rows;
  bool in_data = false;
  for (const auto& l : lines) {
    if (in_data)
      rows.push_back(l);
    if (l.rfind(":endHeader", 0) == 0)
      in_data = true;
  }
  return rows;
}

std::string cell(const std::vector<std::string>& rows, int day, int column) {
  const std::string& row = rows.at(static_cast<std::size_t>(day - 1));
  return row.substr(static_cast<std::size_t>(20 + 12 * (column - 1)), 12);
}

std::string yearly_name(int year) {
  return std::to_string(year) + "0101_str.tb0";
}

TEST(RealData, MatchesTheStoredResultsOfEveryOutput) {
  Sandbox box;
  const RunResult r = run_on_realdata(box);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  const fs::path expected = realdata() / "expected";
  const std::string stdout_expected = read_file(expected / "stdout.txt");
  ASSERT_NE(stdout_expected, "<missing>");
  EXPECT_EQ(mask_banner(r.out), mask_banner(stdout_expected));
  for (const char* f :
       {"Gaumo_info.txt", "nudge_flags.new", "grapher_titles.csv",
        "discharge_sites.xyz", "flow_recl.txt", "flow_flag.txt"}) {
    SCOPED_TRACE(f);
    const std::string want = read_file(expected / f);
    ASSERT_NE(want, "<missing>");
    EXPECT_EQ(box.read(f), want);
  }
  for (int year = 1918; year <= 1920; ++year) {
    SCOPED_TRACE(year);
    const std::string got = box.read_parent(yearly_name(year));
    ASSERT_NE(got, "<missing>");
    // The stamp must be there in its own form, or masking would hide it.
    EXPECT_NE(mask_creation_date(got), got);
    EXPECT_EQ(mask_creation_date(got),
              mask_creation_date(read_file(expected / yearly_name(year))));
    EXPECT_FALSE(box.exists(yearly_name(year)));
  }
}

TEST(RealData, WritesHandPickedDaysAsTheRecordsGiveThem) {
  Sandbox box;
  ASSERT_EQ(run_on_realdata(box).status, 0);
  struct Day {
    int year, day, column;
    const char* text;
  };
  // Columns follow the list: 05AA008, 05HD008, 08MF005, 08NE102, 08NM083.
  const Day days[] = {
      {1918, 1, 1, "       2.970"},
      {1918, 1, 3, "    2190.000"},
      {1918, 1, 4, "      -1.000"},
      {1918, 1, 5, "      -1.000"},
      {1918, 365, 1, "       1.130"},
      {1918, 145, 2, "       0.000"},  // 25 May, a true zero
      {1918, 146, 2, "      -1.000"},
      {1918, 164, 2, "       0.012"},  // 13 June
      {1919, 161, 1, "      10.800"},
      {1919, 161, 3, "    5520.000"},  // 10 June
      {1919, 185, 3, "    6990.000"},  // 4 July
      {1920, 60, 1, "       0.793"},
      {1920, 60, 3, "     680.000"},  // 29 February
      {1920, 164, 2, "       0.006"},
      {1920, 366, 3, "    1180.000"},  // 12 June, 31 Dec
      // The provisional file covers 15 March to 30 April; the historical
      // record ends on 31 March and keeps the days it has.
      {1920, 75, 1, "       0.906"},
      {1920, 91, 1, "       1.080"},
      {1920, 92, 1, "       3.140"},
      {1920, 121, 1, "      15.300"},
      {1920, 122, 1, "      -1.000"},
  };
  std::map<int, std::vector<std::string>> rows;
  for (int year = 1918; year <= 1920; ++year) {
    rows[year] = data_rows(box.read_parent(yearly_name(year)));
  }
  EXPECT_EQ(rows[1918].size(), 365u);
  EXPECT_EQ(rows[1919].size(), 365u);
  EXPECT_EQ(rows[1920].size(), 366u);
  for (const Day& d : days) {
    SCOPED_TRACE(std::to_string(d.year) + " day " + std::to_string(d.day) +
                 " column " + std::to_string(d.column));
    EXPECT_EQ(cell(rows[d.year], d.day, d.column), d.text);
  }
}

int day_of_year(int y, int m, int d) {
  using namespace std::chrono;
  const sys_days date{year{y} / month{static_cast<unsigned>(m)} /
                      day{static_cast<unsigned>(d)}};
  const sys_days first{year{y} / January / 1};
  return static_cast<int>((date - first).count()) + 1;
}

using Slot = std::tuple<int, int, int>;  // year, day of year, column

TEST(RealData, WritesEveryRecordedDayOfEveryStationAndNothingElse) {
  Sandbox box;
  ASSERT_EQ(run_on_realdata(box).status, 0);

  // What the records say, read straight from the station files.
  std::map<Slot, double> want;
  const std::pair<const char*, int> historical[] = {
      {"05AA008_Daily_Flow_ts.csv", 1},
      {"05HD008_Daily_Flow_ts.csv", 2},
      {"08MF005_Daily_Flow_ts.csv", 3}};
  for (const auto& [file, column] : historical) {
    const auto lines = split(read_file(realdata() / file), '\n');
    ASSERT_GT(lines.size(), 500u) << file;
    for (std::size_t k = 1; k < lines.size(); ++k) {
      const auto f = split(lines[k], ',');  // ID,PARAM,YYYY/MM/DD,value,SYM
      const auto date = split(f.at(2), '/');
      const int y = std::stoi(date.at(0));
      if (y < 1918 || y > 1920 || f.size() < 4 || f[3].empty())
        continue;
      want[{y, day_of_year(y, std::stoi(date[1]), std::stoi(date[2])),
            column}] = std::stod(f[3]);
    }
  }
  int filled = 0;
  const auto provisional =
      split(read_file(realdata() / "Flow_05AA008.csv"), '\n');
  for (std::size_t k = 1; k < provisional.size(); ++k) {
    const auto f = split(provisional[k], ',');  // ID,YYYY-MM-DD,value
    const auto date = split(f.at(1), '-');
    const int y = std::stoi(date.at(0));
    const Slot slot{y, day_of_year(y, std::stoi(date[1]), std::stoi(date[2])),
                    1};
    if (want.count(slot) == 0) {
      want[slot] = std::stod(f.at(2));
      ++filled;
    }
  }
  ASSERT_EQ(filled, 30);  // the April 1920 days of 05AA008

  int present = 0;
  for (int year = 1918; year <= 1920; ++year) {
    const auto rows = data_rows(box.read_parent(yearly_name(year)));
    ASSERT_EQ(rows.size(), year == 1920 ? 366u : 365u);
    for (int d = 1; d <= static_cast<int>(rows.size()); ++d) {
      ASSERT_EQ(rows[static_cast<std::size_t>(d - 1)].size(), 80u)
          << year << " " << d;
      for (int column = 1; column <= 5; ++column) {
        const auto it = want.find({year, d, column});
        const double expected = it == want.end() ? -1.0 : it->second;
        const double got = std::strtod(cell(rows, d, column).c_str(), nullptr);
        EXPECT_NEAR(got, expected, 0.0005)
            << year << " day " << d << " column " << column;
        if (got >= 0 && d <= 365)
          ++present;
      }
    }
  }
  // The day counts of flow_recl.txt, which looks at days 1 to 365 only:
  // 365+365+121, 3+37+17 and 3 x 365.
  EXPECT_EQ(present, 851 + 57 + 1095);
}

}  // namespace
}  // namespace gaumo_test
