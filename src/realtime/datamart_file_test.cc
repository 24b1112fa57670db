// The Datamart file rules on small texts, where the real files cannot reach:
// timestamps and numbers that do not exist, row errors, repeated instants,
// and a reading late in the day that UTC puts on the next. The real files
// and variants of them are read end to end in tests/e2e_realtime*_test.cc.

#include "realtime/datamart_file.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "realtime/daily_means.h"

namespace gaumo::realtime {
namespace {

constexpr const char* kHeader =
    " ID,Date,Water Level / Niveau d'eau (m),Grade,Symbol / Symbole,QA/QC,"
    "Discharge / D\xC3\xA9"
    "bit (cms),Grade,Symbol / Symbole,QA/QC";

/// A row of the service's layout at `time` on 2023-06-05, offset -08:00.
std::string row(const std::string& time, const std::string& flow,
                const std::string& id = "10AD002") {
  return id + ",2023-06-05T" + time + "-08:00,0.897,,,1," + flow + ",,," +
         (flow.empty() ? "" : "1") + "\n";
}

/// Rows every `step` minutes from 00:00 to 23:55 with flows
/// base, base+1, ..., except the minutes in [gap_from, gap_to).
std::string day_rows(int step, double base, int gap_from = -1,
                     int gap_to = -1) {
  std::string s;
  double q = base;
  for (int m = 0; m < 24 * 60; m += step) {
    if (m >= gap_from && m < gap_to)
      continue;
    char t[32];
    std::snprintf(t, sizeof t, "%02d:%02d:00", m / 60, m % 60);
    s += row(t, std::to_string(static_cast<int>(q)));
    q += 1.0;
  }
  return s;
}

TEST(RealtimeStamp, ReadsOffsetsAndRefusesTimesThatDoNotExist) {
  const auto s = parse_stamp("2023-05-28T00:00:00-08:00");
  ASSERT_TRUE(s.has_value());
  EXPECT_EQ(s->offset_minutes, -480);
  EXPECT_EQ(s->instant(), parse_stamp("2023-05-28T08:00:00Z")->instant());
  EXPECT_EQ(s->instant(), parse_stamp("2023-05-28T13:30:00+05:30")->instant());
  EXPECT_EQ(parse_stamp("1970-01-01T00:00:00Z")->instant(), 0);
  EXPECT_TRUE(parse_stamp("2024-02-29T23:59:59-05:00").has_value());
  for (const char* bad :
       {"2023-02-29T00:00:00-08:00", "2023-05-28T24:00:00-08:00",
        "2023-05-28T10:60:00-08:00", "2023-05-28T10:00:60-08:00",
        "2023-13-01T00:00:00-08:00", "2023-05-00T00:00:00-08:00",
        "2023-05-28T00:00:00-24:00", "2023-05-28T00:00:00-08:60",
        "2023-05-28 00:00:00-08:00", "2023-05-28T00:00:00", "2023-05-28",
        "2023-05-28T00:00:00-0800", "2023-05-28T00:00:00+08:0x",
        "2023-5-28T00:00:00-08:00", "", "2023-05-28T00:00:00-08:00 "}) {
    EXPECT_FALSE(parse_stamp(bad).has_value()) << bad;
  }
}

TEST(RealtimeDischarge, ReadsTheServiceFormsAndRefusesNonNumbers) {
  EXPECT_EQ(parse_discharge("1530"), 1530.0);
  EXPECT_EQ(parse_discharge("99.9"), 99.9);
  EXPECT_EQ(parse_discharge("130."), 130.0);
  EXPECT_EQ(parse_discharge(".5"), 0.5);
  EXPECT_EQ(parse_discharge("+1.5e2"), 150.0);
  EXPECT_EQ(parse_discharge("-2"), -2.0);
  for (const char* bad :
       {"", ".", "-", "inf", "nan", "NaN", "0x10", "1,5", "1e", "1e+", "+-1",
        "1.5.2", "1 5", "3.5e38", "1e999"}) {
    EXPECT_FALSE(parse_discharge(bad).has_value()) << bad;
  }
}

TEST(RealtimeParser, ReportsBadRowsWithTheirLinesAndReadsTheRest) {
  const std::string text =
      std::string(kHeader) + "\n" + row("00:00:00", "1.5") +
      "10AD002,2023-06-05T00:05:00,0.9,,,1,2,,,1\n"        // 3: no offset
      "10AD002,2023-06-05T00:10:00-08:00,0.9,,,1,x,,,1\n"  // 4
      "10AD002,2023-06-05T00:15:00-08:00\n"                // 5
      "\n" +                                               // 6: blank
      row("00:20:00", "") +                                // 7: no reading
      row("00:25:00", "9", "10AA001") +                    // 8: other station
      "10AA001,garbage\n" +                                // 9: other station
      row("00:30:00", "2.5");
  const FileReadings f = parse_datamart(text, "10AD002");
  ASSERT_EQ(f.readings.size(), 2u);
  EXPECT_EQ(f.readings[1].discharge, 2.5);
  ASSERT_EQ(f.error_count, 3);
  EXPECT_EQ(f.errors[0].line, 3);
  EXPECT_EQ(f.errors[0].reason, "bad timestamp");
  EXPECT_EQ(f.errors[1].line, 4);
  EXPECT_EQ(f.errors[1].reason, "discharge is not a number");
  EXPECT_EQ(f.errors[2].line, 5);
  EXPECT_EQ(f.errors[2].reason, "too few fields");

  std::string many = std::string(kHeader) + "\n";
  for (int k = 0; k < 30; ++k)
    many += "10AD002,bad,,,,,1,,,\n";
  const FileReadings g = parse_datamart(many, "10AD002");
  EXPECT_EQ(g.error_count, 30);
  EXPECT_EQ(g.errors.size(), kKeptRowErrors);
  EXPECT_EQ(g.errors.back().line, 21);

  const FileReadings h = parse_datamart(
      " ID,Date,Water Level\n" + row("00:00:00", "1"), "10AD002");
  EXPECT_TRUE(h.readings.empty());
  ASSERT_EQ(h.errors.size(), 1u);
  EXPECT_EQ(h.errors[0].line, 1);
  EXPECT_EQ(h.errors[0].reason, "header without the column(s) Discharge...");
}

TEST(RealtimePool, HourlyBeatsDailyLaterLineBeatsEarlierEmptyHidesNothing) {
  const FileReadings daily = parse_datamart(
      std::string(kHeader) + "\n" + row("00:00:00", "1") +
          row("00:05:00", "2") + row("00:10:00", "3") + row("00:10:00", "4"),
      "10AD002");
  const FileReadings hourly =
      parse_datamart(std::string(kHeader) + "\n" + row("00:05:00", "20") +
                         row("00:00:00", "") + row("00:15:00", "50"),
                     "10AD002");
  // The hourly file wins whether it comes first or last.
  for (bool hourly_first : {true, false}) {
    std::vector<PoolSource> sources = {{&daily.readings, false},
                                       {&hourly.readings, true}};
    if (hourly_first)
      std::swap(sources[0], sources[1]);
    const std::vector<Reading> p = pool_readings(sources);
    ASSERT_EQ(p.size(), 4u);
    EXPECT_EQ(p[0].discharge, 1.0);   // the empty hourly row hides nothing
    EXPECT_EQ(p[1].discharge, 20.0);  // the hourly reading wins
    EXPECT_EQ(p[2].discharge, 4.0);   // the later line of one file wins
    EXPECT_EQ(p[3].discharge, 50.0);
  }
}

TEST(RealtimeDays, OnlyDaysWithAReadingInEveryClockHourGetAMean) {
  const auto means = [](const std::string& rows) {
    const FileReadings f =
        parse_datamart(std::string(kHeader) + "\n" + rows, "10AD002");
    return daily_means(pool_readings({{&f.readings, true}}));
  };
  // 288 readings 100..387: mean 243.5; without hour 10, no mean.
  DailyMeans full = means(day_rows(5, 100));
  ASSERT_EQ(full.complete.size(), 1u);
  EXPECT_EQ(full.complete[0].mean, 243.5);
  EXPECT_EQ(full.complete[0].day, 5);
  DailyMeans hole = means(day_rows(5, 100, 600, 660));
  EXPECT_TRUE(hole.complete.empty());
  EXPECT_EQ(hole.incomplete.size(), 1u);
  // One reading an hour is enough; the day is the timestamp's own: 23:30
  // at -08:00 is already the next day in UTC, but stays on the 5th.
  DailyMeans hourly = means(day_rows(60, 1) + row("23:30:00", "1000"));
  ASSERT_EQ(hourly.complete.size(), 1u);
  EXPECT_EQ(hourly.complete[0].readings, 25);
  EXPECT_EQ(hourly.complete[0].mean, (300.0 + 1000.0) / 25.0);
  EXPECT_EQ(table_value(1e300), std::numeric_limits<float>::max());
}

}  // namespace
}  // namespace gaumo::realtime
