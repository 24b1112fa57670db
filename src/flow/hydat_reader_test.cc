#include "flow/hydat_reader.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <sstream>
#include <string>

#include "run/fatal_stop.h"

namespace gaumo {
namespace {

/// Rows of DLY_FLOWS in an in-memory database, read for the stations
/// AB00001, CD00002 (listed twice) and EF00003 over 1990 to 1992. With no
/// information file, the log's "Error:  " lines land on the console.
class HydatReaderTest : public ::testing::Test {
 protected:
  HydatReaderTest() {
    EXPECT_EQ(sqlite3_open(":memory:", &raw), SQLITE_OK);
    std::string cols;
    for (int d = 1; d <= 31; ++d)
      cols += ", FLOW" + std::to_string(d) + " REAL";
    exec(
        "CREATE TABLE DLY_FLOWS (STATION_NUMBER TEXT, YEAR INTEGER, "
        "MONTH INTEGER, FULL_MONTH INTEGER, NO_DAYS INTEGER" +
        cols + ")");
    for (const char* id : {"AB00001", "CD00002", "CD00002", "EF00003"})
      list(id);
  }

  void exec(const std::string& sql) {
    char* msg = nullptr;
    ASSERT_EQ(sqlite3_exec(raw, sql.c_str(), nullptr, nullptr, &msg), SQLITE_OK)
        << (msg != nullptr ? msg : "") << "\n"
        << sql;
  }
  /// One row: the first flows given as SQL literals, the rest NULL.
  void row(const std::string& station, const std::string& year,
           const std::string& month, const std::string& no_days,
           const std::string& flows) {
    std::string names;
    int n = flows.empty() ? 0 : 1;
    for (char c : flows)
      n += c == ',' ? 1 : 0;
    for (int d = 1; d <= n; ++d)
      names += ", FLOW" + std::to_string(d);
    exec("INSERT INTO DLY_FLOWS (STATION_NUMBER, YEAR, MONTH, NO_DAYS" + names +
         ") VALUES ('" + station + "', " + year + ", " + month + ", " +
         no_days + (flows.empty() ? "" : ", " + flows) + ")");
  }
  void list(const char* id) {
    cat.idsta.emplace_back(id);
    ++cat.nsta;
  }
  void read() {
    std::string problem;
    auto db = hydat::Database::adopt(raw, "mem.db", {hydat::daily_flow_need()},
                                     problem);
    raw = nullptr;
    ASSERT_TRUE(db) << problem;
    table.create(opts.year_count(), cat.nsta);
    DailyDoor door(opts, table, log);
    read_database_flows(*db, cat, door);
  }
  /// Day t (1-366) of `year` in column i.
  float day(std::int32_t i, int year, int t) {
    return table.days(i, year - 1989)[t - 1];
  }

  ~HydatReaderTest() override { sqlite3_close(raw); }

  sqlite3* raw = nullptr;
  StationCatalogue cat;
  RunOptions opts = make_run_options(1990, 1992);
  FlowTable table;
  std::ostringstream console;
  RunLog log{console};
};

TEST_F(HydatReaderTest, PlacesEachDayUpToNoDaysAndTheMonthsLength) {
  row("AB00001", "1990", "1", "31", "1.5, NULL, 3");
  row("AB00001", "1990", "4", "31",
      "0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,"
      "0,0,0,0,0,0,0,0,0,30,31");  // 31 April
  row("AB00001", "1992", "2", "1000000000000",
      "1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,"
      "1,1,1,1,1,1,1,1,1,1,1,1,1,29,30,31");
  row("AB00001", "1991", "2", "28",
      "1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,"
      "1,1,1,1,1,1,1,1,1,1,1,1,1,29");
  row("AB00001", "1991", "3", "2", "7, 8, 9");
  row("AB00001", "1991", "5", "-3", "7");
  row("AB00001", "1989", "12", "31", "5");  // outside the run's years
  row("ZZ00009", "1990", "1", "31", "99");  // not listed
  read();
  EXPECT_EQ(day(1, 1990, 1), 1.5f);
  EXPECT_EQ(day(1, 1990, 2), -1.0f);
  EXPECT_EQ(day(1, 1990, 3), 3.0f);
  EXPECT_EQ(day(1, 1990, 120), 30.0f);  // 30 April
  EXPECT_EQ(day(1, 1990, 121), -1.0f);  // FLOW31 of April is no 1 May
  EXPECT_EQ(day(1, 1992, 60), 29.0f);   // 29 February of a leap year
  EXPECT_EQ(day(1, 1992, 61), -1.0f);
  EXPECT_EQ(day(1, 1991, 59), 1.0f);
  EXPECT_EQ(day(1, 1991, 60), 7.0f);  // 1 March
  EXPECT_EQ(day(1, 1991, 61), 8.0f);  // 2 March; NO_DAYS 2 stops there
  EXPECT_EQ(day(1, 1991, 62), -1.0f);
  EXPECT_EQ(day(1, 1991, 121), -1.0f);  // NO_DAYS below 0: no day
  const std::string out = console.str();
  EXPECT_EQ(out.find("Error"), std::string::npos) << out;
  EXPECT_NE(
      out.find(" Read station=AB00001 daily values=          91 from mem.db\n"),
      std::string::npos)
      << out;
}

TEST_F(HydatReaderTest, ReportsUnusableRowsAndValuesAndGoesOn) {
  row("AB00001", "'1990x'", "1", "31", "1");
  row("AB00001", "1990.5", "1", "31", "1");
  row("AB00001", "40000", "1", "31", "1");
  row("AB00001", "1990", "0", "31", "1");
  row("AB00001", "1990", "13", "31", "1");
  row("AB00001", "1990", "NULL", "31", "1");
  row("AB00001", "1990", "2", "'x'", "1");
  row("AB00001", "1990", "2", "2.5", "1");
  row("AB00001", "1990.0", "3", "31.0",
      "'x12', 9e999, -9e999, 1e39, x'00', 2, 3.4e38");
  read();
  EXPECT_EQ(day(1, 1990, 32), -1.0f);  // none of the February rows counts
  EXPECT_EQ(day(1, 1990, 59), -1.0f);
  EXPECT_EQ(day(1, 1990, 64), -1.0f);  // the values that are no float
  EXPECT_EQ(day(1, 1990, 65), 2.0f);
  EXPECT_EQ(day(1, 1990, 66), 3.4e38f);
  EXPECT_EQ(console.str().substr(0, console.str().find(" Read station")),
            " Reading DLY_FLOWS of HYDAT database 'mem.db'\n"
            "Error:  AB00001    ?    1\n"
            "Error:  AB00001    ?    1\n"
            "Error:  AB0000140000    1\n"
            "Error:  AB00001 1990    0\n"
            "Error:  AB00001 1990   13\n"
            "Error:  AB00001 1990    ?\n"
            "Error:  AB00001 1990    2\n"
            "Error:  AB00001 1990    2\n"
            "Error:  AB00001 1990    3    1\n"
            "Error:  AB00001 1990    3    2\n"
            "Error:  AB00001 1990    3    3\n"
            "Error:  AB00001 1990    3    4\n"
            "Error:  AB00001 1990    3    5\n");
}

TEST_F(HydatReaderTest, LaterRowsWinAndAStationListedTwiceFillsBothColumns) {
  row("CD00002", "1991", "6", "30", "5, 6, 7");
  row("AB00001", "1991", "6", "30", "1");
  row("CD00002", "1991", "6", "30", "50, NULL");  // NULL replaces 6
  read();
  for (std::int32_t i : {2, 3}) {
    SCOPED_TRACE(i);
    EXPECT_EQ(day(i, 1991, 152), 50.0f);
    EXPECT_EQ(day(i, 1991, 153), -1.0f);
    EXPECT_EQ(day(i, 1991, 154), -1.0f);  // the later row has NULL there too
  }
  EXPECT_EQ(day(1, 1991, 152), 1.0f);
  const std::string out = console.str();
  EXPECT_NE(
      out.find(" Read station=CD00002 daily values=           4 from mem.db\n"
               " Read station=CD00002 daily values=           4 from mem.db\n"
               " Station EF00003 not found in mem.db\n"
               " Continuing to find the next listed file\n"),
      std::string::npos)
      << out;
}

TEST_F(HydatReaderTest, MatchesIdentifiersWithoutTheirBlanksAndNothingElse) {
  cat = StationCatalogue{};
  for (const char* id : {"AB1", "a%", "AB1_"})
    list(id);
  row("AB1", "1990", "1", "31", "1");
  row("AB1    ", "1990", "1", "31", "2");  // blanks of its own: another one
  row("ab1", "1990", "1", "31", "3");
  row("a%", "1990", "1", "31", "4");
  row("ab", "1990", "1", "31", "5");
  row("AB12", "1990", "1", "31", "6");
  read();
  EXPECT_EQ(day(1, 1990, 1), 1.0f);
  EXPECT_EQ(day(2, 1990, 1), 4.0f);
  EXPECT_EQ(day(3, 1990, 1), -1.0f);
}

TEST_F(HydatReaderTest, ListingNearlyEveryStationReadsEveryRowAlike) {
  // With the whole STATIONS table listed the query brings every row and the
  // reader alone picks the listed stations' rows: the same values result.
  exec("CREATE TABLE STATIONS (STATION_NUMBER TEXT)");
  exec("INSERT INTO STATIONS VALUES ('AB00001'), ('CD00002'), ('EF00003')");
  row("ZZ00009", "1990", "1", "31", "9");
  row("AB00001", "1990", "1", "31", "1, 2");
  row("ab00001", "1990", "1", "31", "7");
  row("CD00002", "1990", "1", "31", "5");
  row("ZZ00009", "'x'", "1", "31", "9");
  row("CD00002", "1990", "1", "31", "50");
  read();
  EXPECT_EQ(day(1, 1990, 1), 1.0f);
  EXPECT_EQ(day(1, 1990, 2), 2.0f);
  EXPECT_EQ(day(2, 1990, 1), 50.0f);
  EXPECT_EQ(day(3, 1990, 1), 50.0f);
  EXPECT_EQ(day(4, 1990, 1), -1.0f);
  const std::string out = console.str();
  EXPECT_EQ(out.find("Error:"), std::string::npos) << out;
  EXPECT_NE(out.find(" Read station=AB00001 daily values=           2"),
            std::string::npos)
      << out;
}

TEST_F(HydatReaderTest, AStationWithRowsOutsideTheYearsSaysZero) {
  row("AB00001", "1970", "1", "31", "1");
  read();
  EXPECT_NE(
      console.str().find(" Read station=AB00001 daily values=           0"),
      std::string::npos);
}

TEST(HydatDatabase, RefusesADatabaseWithoutTheTableOrItsColumns) {
  for (const char* schema :
       {"CREATE TABLE STATIONS (STATION_NUMBER)",
        "CREATE TABLE DLY_FLOWS (STATION_NUMBER, YEAR, MONTH, FLOW1)"}) {
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &raw), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(raw, schema, nullptr, nullptr, nullptr), SQLITE_OK);
    std::string problem;
    EXPECT_FALSE(hydat::Database::adopt(raw, "x.db", {hydat::daily_flow_need()},
                                        problem));
    EXPECT_EQ(problem, schema[13] == 'S'
                           ? "HYDAT database 'x.db': has no DLY_FLOWS table"
                           : "HYDAT database 'x.db': has no column NO_DAYS, "
                             "FLOW2, FLOW3 and 28 more in its DLY_FLOWS table");
  }
}

}  // namespace
}  // namespace gaumo
