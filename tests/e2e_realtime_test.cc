// The realtime service's real Datamart files, end to end: every complete
// day's tb0 cell against its mean worked out straight from the rows, the
// partial days left out, the log lines, and the provisional fill rule in a
// run with historical data that ends before the realtime days.

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "e2e_support.h"
#include "realtime_support.h"

namespace gaumo_test {
namespace {

using rt::complete_day_cells;
using rt::discharge_by_time;
using rt::stored;
using rt::tb0_cells;

const char* const kYear2023 = "n\n2023\n2023\n";

/// The console's lines from the first realtime line on, up to the yearly
/// file's.
std::string realtime_console(const std::string& out) {
  const auto from = out.find(" is this ok?\n Opened filename=");
  const auto to = out.find("\n\n Opened unit=         999");
  if (from == std::string::npos || to == std::string::npos)
    return "<none>";
  return out.substr(from + 13, to + 1 - (from + 13));
}

TEST(RealtimeFiles, EveryCompleteDayIsTheMeanOfItsReadingsThePartialDayNone) {
  Sandbox sb;
  sb.write("flow_stations.tb0", rt::station_list({"10AA001", "10AD002"}));
  sb.write("YT_10AA001_hourly_hydrometric.csv", stored(rt::kAA001May));
  sb.write("YT_10AD002_hourly_hydrometric.csv", stored(rt::kAD002));
  const RunResult r = sb.run(kYear2023);
  ASSERT_EQ(r.status, 0) << r.out;

  const auto aa001 =
      complete_day_cells(discharge_by_time(stored(rt::kAA001May)));
  const auto ad002 = complete_day_cells(discharge_by_time(stored(rt::kAD002)));
  // Two complete days each; 2023-05-30 and 2023-06-07 are partial.
  EXPECT_EQ(aa001,
            (std::map<std::string, std::string>{{"2023-05-28", "1500.451"},
                                                {"2023-05-29", "1389.201"}}));
  ASSERT_EQ(ad002.size(), 2u);
  EXPECT_EQ(ad002.begin()->first, "2023-06-05");
  EXPECT_EQ(tb0_cells(sb, 2023, 1), aa001);
  EXPECT_EQ(tb0_cells(sb, 2023, 2), ad002);

  const std::string lines =
      " Opened filename=YT_10AA001_hourly_hydrometric.csv\n"
      " Closed filename=YT_10AA001_hourly_hydrometric.csv\n"
      " Readings=         736 complete days used=           2"
      " incomplete days left out=           1\n"
      " Opened filename=YT_10AD002_hourly_hydrometric.csv\n"
      " Closed filename=YT_10AD002_hourly_hydrometric.csv\n"
      " Readings=         651 complete days used=           2"
      " incomplete days left out=           1\n";
  EXPECT_EQ(realtime_console(r.out), lines);
  const std::string info = sb.read("Gaumo_info.txt");
  EXPECT_NE(info.find(lines), std::string::npos) << info;
  EXPECT_EQ(sb.read("flow_recl.txt"),
            "        station 2023\n\n"
            "    1   10AA001    2\n"
            "    2   10AD002    2\n");
}

TEST(RealtimeFiles, AFileOfWaterLevelsOnlyFillsNothing) {
  Sandbox sb;
  sb.write("flow_stations.tb0", rt::station_list({"10AA001"}));
  sb.write("YT_10AA001_hourly_hydrometric.csv", stored(rt::kAA001Nov));
  const RunResult r = sb.run(kYear2023);
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(tb0_cells(sb, 2023).empty());
  EXPECT_EQ(realtime_console(r.out),
            " Opened filename=YT_10AA001_hourly_hydrometric.csv\n"
            " Closed filename=YT_10AA001_hourly_hydrometric.csv\n"
            " Readings=           0 complete days used=           0"
            " incomplete days left out=           0\n");
  EXPECT_EQ(sb.read("flow_flag.txt"),
            "   station      2023\n\n    1   10AA001    n\n");
}

TEST(RealtimeFiles, ADailyAndAMidDayHourlyFilePoolIntoTheWholeDays) {
  const auto whole = complete_day_cells(discharge_by_time(stored(rt::kAD002)));
  {
    Sandbox sb;
    sb.write("flow_stations.tb0", rt::station_list({"10AD002"}));
    sb.write("YT_10AD002_daily_hydrometric.csv",
             stored("made/YT_10AD002_daily_hydrometric.csv"));
    sb.write("YT_10AD002_hourly_hydrometric.csv",
             stored("made/YT_10AD002_hourly_hydrometric.csv"));
    const RunResult r = sb.run(kYear2023);
    ASSERT_EQ(r.status, 0) << r.out;
    // 2023-06-06 is whole only with both files; the overlap counts once.
    EXPECT_EQ(tb0_cells(sb, 2023), whole);
    EXPECT_EQ(realtime_console(r.out),
              " Opened filename=YT_10AD002_daily_hydrometric.csv\n"
              " Closed filename=YT_10AD002_daily_hydrometric.csv\n"
              " Readings=         432 complete days used=           2"
              " incomplete days left out=           0\n"
              " Opened filename=YT_10AD002_hourly_hydrometric.csv\n"
              " Closed filename=YT_10AD002_hourly_hydrometric.csv\n"
              " Readings=         291 complete days used=           1"
              " incomplete days left out=           1\n");
  }
  // Alone, the mid-day file's first day is partial too.
  Sandbox sb;
  sb.write("flow_stations.tb0", rt::station_list({"10AD002"}));
  sb.write("YT_10AD002_hourly_hydrometric.csv",
           stored("made/YT_10AD002_hourly_hydrometric.csv"));
  const RunResult r = sb.run(kYear2023);
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(tb0_cells(sb, 2023).empty());
  EXPECT_NE(r.out.find(" Readings=         291 complete days used=           0"
                       " incomplete days left out=           2\n"),
            std::string::npos);
}

TEST(RealtimeFiles, FillOnlyTheDaysHistoricalAndProvisionalDataLeftEmpty) {
  Sandbox sb;
  sb.write("flow_stations.tb0", rt::station_list({"10AA001"}));
  // Historical data up to 2023-05-27; the provisional file holds 05-29 and
  // a value below zero on 05-28.
  std::string hist = "ID,PARAM,Date,Value,SYM\n";
  for (int m = 1; m <= 5; ++m) {
    const int last = m == 5 ? 27 : (m == 2 ? 28 : (m == 4 ? 30 : 31));
    for (int d = 1; d <= last; ++d) {
      char row[96];
      std::snprintf(row, sizeof row, "10AA001,1,2023/%02d/%02d,%d.5,\n", m, d,
                    100 + d);
      hist += row;
    }
  }
  sb.write("10AA001_Daily_Flow_ts.csv", hist);
  sb.write("Flow_10AA001.csv",
           "ID,Date,Value\n10AA001,2023-05-28,-1.0\n10AA001,2023-05-29,7.25\n");
  sb.write("YT_10AA001_hourly_hydrometric.csv", stored(rt::kAA001May));
  const RunResult r = sb.run(kYear2023);
  ASSERT_EQ(r.status, 0) << r.out;
  const auto cells = tb0_cells(sb, 2023);
  EXPECT_EQ(cells.size(), 147u + 2u);
  EXPECT_EQ(cells.at("2023-05-27"), "127.500");
  EXPECT_EQ(cells.at("2023-05-28"), "1500.451");  // below zero: filled
  EXPECT_EQ(cells.at("2023-05-29"), "7.250");     // held a value: kept
  EXPECT_EQ(cells.count("2023-05-30"), 0u);
  EXPECT_EQ(sb.read("flow_recl.txt"),
            "        station 2023\n\n    1   10AA001  149\n");
  EXPECT_EQ(
      sb.read("Gaumo_info.txt"),
      " Opened unit=         101 filename=10AA001_Daily_Flow_ts.csv     \n"
      " Opened unit=         101 filename=Flow_10AA001.csv              \n"
      " Closed unit=         101 filename=Flow_10AA001.csv              \n"
      " Opened filename=YT_10AA001_hourly_hydrometric.csv\n"
      " Closed filename=YT_10AA001_hourly_hydrometric.csv\n"
      " Readings=         736 complete days used=           2"
      " incomplete days left out=           1\n"
      " Closed unit          999 Filename=  ../20230101_str.tb0           \n");
}

}  // namespace
}  // namespace gaumo_test
