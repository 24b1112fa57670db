// Variants of a real summer Datamart file made in memory: other header and
// line-end bytes, other column layouts, missing rows, pooling with
// overlapping values, unreadable rows and files, and names that are not a
// station's Datamart files.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "realtime_support.h"

namespace gaumo_test {
namespace {

using rt::complete_day_cells;
using rt::discharge_by_time;
using rt::fields;
using rt::file_lines;
using rt::join;
using rt::stored;
using rt::tb0_cells;

const char* const kYear2023 = "n\n2023\n2023\n";
const char* const kName = "YT_10AD002_hourly_hydrometric.csv";

/// Runs station 10AD002 with `files` (name -> bytes) in the folder.
std::map<std::string, std::string> run_cells(
    const std::map<std::string, std::string>& files,
    RunResult* result = nullptr, std::string* info = nullptr) {
  Sandbox sb;
  sb.write("flow_stations.tb0", rt::station_list({"10AD002"}));
  for (const auto& [name, bytes] : files)
    sb.write(name, bytes);
  const RunResult r = sb.run(kYear2023);
  EXPECT_EQ(r.status, 0) << r.out;
  if (result != nullptr)
    *result = r;
  if (info != nullptr)
    *info = sb.read("Gaumo_info.txt");
  return tb0_cells(sb, 2023);
}

/// The real file's lines with `keep` deciding on each data row.
std::vector<std::string> rows_where(
    const std::function<bool(const std::string& time)>& keep) {
  const auto lines = file_lines(stored(rt::kAD002));
  std::vector<std::string> out = {lines[0]};
  for (std::size_t k = 1; k < lines.size(); ++k) {
    if (keep(fields(lines[k]).at(1).substr(0, 19)))
      out.push_back(lines[k]);
  }
  return out;
}

TEST(RealtimeVariants, HeaderBytesLineEndsAndColumnLayoutChangeNothing) {
  const std::string real = stored(rt::kAD002);
  const auto expected = complete_day_cells(discharge_by_time(real));
  ASSERT_EQ(expected.size(), 2u);
  auto lines = file_lines(real);
  const std::string header = lines[0];
  ASSERT_EQ(header.substr(0, 3), " ID");

  std::map<std::string, std::string> variants;
  variants["LF"] = join(lines, "\n");
  variants["BOM"] = "\xEF\xBB\xBF" + real;
  variants["no final line end"] = real.substr(0, real.size() - 2);
  auto latin1 = lines;
  const auto e_acute = latin1[0].find("\xC3\xA9");
  ASSERT_NE(e_acute, std::string::npos);
  latin1[0].replace(e_acute, 2, "\xE9");
  latin1[0].erase(0, 1);  // and no leading space
  variants["Latin-1"] = join(latin1, "\r\n");
  // Discharge first, date last, an added column in between.
  std::vector<std::string> moved;
  for (std::size_t k = 0; k < lines.size(); ++k) {
    const auto f = fields(lines[k]);
    moved.push_back(f[6] + "," + f[0] + "," + (k == 0 ? "Temperature" : "4.5") +
                    "," + f[2] + "," + f[3] + "," + f[4] + "," + f[5] + "," +
                    f[7] + "," + f[8] + "," + f[9] + "," + f[1]);
  }
  variants["reordered"] = join(moved, "\r\n");
  for (const auto& [what, bytes] : variants) {
    EXPECT_EQ(run_cells({{kName, bytes}}), expected) << what;
  }
}

TEST(RealtimeVariants, AClockHourWithoutAReadingLeavesTheDayOut) {
  // No reading from 10:00 to 10:59 on 2023-06-05: that day is left out.
  const auto hole = rows_where(
      [](const std::string& t) { return t.substr(0, 13) != "2023-06-05T10"; });
  const auto cells = run_cells({{kName, join(hole, "\r\n")}});
  EXPECT_EQ(cells, complete_day_cells(discharge_by_time(join(hole, "\n"))));
  EXPECT_EQ(cells.count("2023-06-05"), 0u);
  EXPECT_EQ(cells.count("2023-06-06"), 1u);

  // 09:15 then 10:20, as the service's own files show: 10:20 to 10:55
  // still puts a reading in hour 10, so the day is kept.
  const auto gap = rows_where([](const std::string& t) {
    return !(t > "2023-06-05T09:15:00" && t < "2023-06-05T10:20:00");
  });
  ASSERT_EQ(gap.size(), 652u - 12u);
  const auto kept = run_cells({{kName, join(gap, "\r\n")}});
  EXPECT_EQ(kept, complete_day_cells(discharge_by_time(join(gap, "\n"))));
  EXPECT_EQ(kept.count("2023-06-05"), 1u);
  EXPECT_NE(kept.at("2023-06-05"),
            complete_day_cells(discharge_by_time(stored(rt::kAD002)))
                .at("2023-06-05"));
}

TEST(RealtimeVariants, HourlyReadingsWinOverlapsAndEmptyOnesHideNothing) {
  // The daily file as made; the mid-day hourly file with every discharge
  // raised by 1000, and none at all from 06:00 to 06:55.
  const std::string daily = stored("made/YT_10AD002_daily_hydrometric.csv");
  auto lines = file_lines(stored("made/YT_10AD002_hourly_hydrometric.csv"));
  for (std::size_t k = 1; k < lines.size(); ++k) {
    auto f = fields(lines[k]);
    f[6] = f[1].substr(11, 2) == "06"
               ? ""
               : std::to_string(std::stod(f[6]) + 1000.0);
    std::string row = f[0];
    for (std::size_t c = 1; c < f.size(); ++c)
      row += "," + f[c];
    lines[k] = row;
  }
  const std::string hourly = join(lines, "\r\n");
  auto pooled = discharge_by_time(daily);
  for (const auto& [time, q] : discharge_by_time(hourly))
    pooled[time] = q;
  const auto expected = complete_day_cells(pooled);
  ASSERT_EQ(expected.size(), 2u);
  EXPECT_EQ(run_cells({{"YT_10AD002_daily_hydrometric.csv", daily},
                       {"YT_10AD002_hourly_hydrometric.csv", hourly}}),
            expected);
  // The same with the files' names in the other order: the hourly file
  // still wins.
  EXPECT_EQ(run_cells({{"AA_10AD002_hourly_hydrometric.csv", hourly},
                       {"YT_10AD002_daily_hydrometric.csv", daily}}),
            expected);
}

TEST(RealtimeVariants, BadRowsAreReportedByLineAndTheRestIsRead) {
  auto lines = file_lines(stored(rt::kAD002));
  // Line 2 (the first row): a bad timestamp; then 24 rows of 2023-06-07
  // with a discharge that is not a number.
  lines[1].replace(lines[1].find("2023-06-05T00:00:00-08:00"), 25,
                   "2023-06-05T00:00:00");
  for (std::size_t k = lines.size() - 24; k < lines.size(); ++k)
    lines[k] = "10AD002,2023-06-07T06:00:00-08:00,1.0,,,1,n/a,,,1";
  RunResult r;
  std::string info;
  const auto cells = run_cells({{kName, join(lines, "\r\n")}}, &r, &info);
  EXPECT_EQ(cells.size(), 2u);
  const std::string head = "Error:  YT_10AD002_hourly_hydrometric.csv line ";
  EXPECT_NE(info.find(" Opened filename=YT_10AD002_hourly_hydrometric.csv\n" +
                      head + "2: bad timestamp\n" + head +
                      "629: discharge is not a number\n"),
            std::string::npos)
      << info;
  EXPECT_NE(
      info.find(head + "647: discharge is not a number\n"
                       "Error:  YT_10AD002_hourly_hydrometric.csv: 5 more "
                       "lines that could not be read\n"
                       " Closed filename=YT_10AD002_hourly_hydrometric.csv\n"
                       " Readings=         626"),
      std::string::npos)
      << info;
  // Error lines go to the information file only.
  EXPECT_EQ(r.out.find("Error:  "), std::string::npos);
}

TEST(RealtimeVariants, AFileThatCannotBeOpenedIsReportedAndTheRunGoesOn) {
  Sandbox sb;
  sb.write("flow_stations.tb0", rt::station_list({"10AD002"}));
  std::filesystem::create_directory(sb.work() /
                                    "YT_10AD002_daily_hydrometric.csv");
  sb.write(kName, stored(rt::kAD002));
  const RunResult r = sb.run(kYear2023);
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(tb0_cells(sb, 2023),
            complete_day_cells(discharge_by_time(stored(rt::kAD002))));
  const std::string msg =
      " Error opening YT_10AD002_daily_hydrometric.csv; its readings are not "
      "used\n Opened filename=YT_10AD002_hourly_hydrometric.csv\n";
  EXPECT_NE(r.out.find(msg), std::string::npos) << r.out;
  EXPECT_NE(sb.read("Gaumo_info.txt").find(msg), std::string::npos);
}

TEST(RealtimeVariants, NamesThatAreNotTheStationsDatamartFilesAreNotRead) {
  // The station's file under names it does not have, and a listed
  // identifier with an inner blank: a run exactly like one without them.
  Sandbox plain;
  const std::string list =
      "#\n:EndHeader\n10AD002 YT A A D 60.7 -135.0 100\n"
      "\"10A 002\" YT B A D 60.7 -135.0 100\n";
  plain.write("flow_stations.tb0", list);
  const RunResult before = plain.run(kYear2023);
  Sandbox sb;
  sb.write("flow_stations.tb0", list);
  for (const char* name :
       {"Y_10AD002_hourly_hydrometric.csv",
        "YTT_10AD002_hourly_hydrometric.csv",
        "Y1_10AD002_hourly_hydrometric.csv",
        "YT_10AD0021_hourly_hydrometric.csv",
        "YT_10AD002_hourly_hydrometric.csv.bak",
        "YT_10AD002_Hourly_hydrometric.csv",
        "YT_10AD002_weekly_hydrometric.csv", "YT_hourly_hydrometric.csv",
        "YT_10A 002_hourly_hydrometric.csv"}) {
    sb.write(name, stored(rt::kAD002));
  }
  const RunResult after = sb.run(kYear2023);
  EXPECT_EQ(mask_banner(after.out), mask_banner(before.out));
  EXPECT_EQ(sb.read("Gaumo_info.txt"), plain.read("Gaumo_info.txt"));
  EXPECT_EQ(mask_creation_date(sb.read_parent("20230101_str.tb0")),
            mask_creation_date(plain.read_parent("20230101_str.tb0")));
}

}  // namespace
}  // namespace gaumo_test
