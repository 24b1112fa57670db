// gaumo stations: the station list from a HYDAT database, which a run reads
// as flow_stations.tb0.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "hydat_support.h"

namespace gaumo_test {
namespace {

namespace fs = std::filesystem;

/// The rows of a station list: the lines after ":EndHeader".
std::string rows_of(const std::string& list) {
  const std::size_t p = list.find(":EndHeader\n");
  return p == std::string::npos ? "<no header>" : list.substr(p + 11);
}

std::string stations(const Sandbox& box, const std::string& args,
                     RunResult& r) {
  r = box.run("", "stations " + args);
  return r.out;
}

TEST(StationsCommand, WritesAListWithWhichTheRunGivesTheStoredResults) {
  Sandbox box;
  copy_realdata(box, true);
  RunResult r;
  const std::string list =
      stations(box,
               "--hydat " + quote(tiny_hydat().string()) +
                   " 05AA008 05HD008 08MF005 08NE102 08NM083",
               r);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(rows_of(list),
            rows_of(read_file(realdata() / "flow_stations.tb0")));
  box.write("flow_stations.tb0", list);
  ASSERT_EQ(box.run(box.read("answers.txt")).status, 0);
  const fs::path expected = realdata() / "expected";
  for (const char* f :
       {"Gaumo_info.txt", "nudge_flags.new", "grapher_titles.csv",
        "discharge_sites.xyz", "flow_recl.txt", "flow_flag.txt"}) {
    SCOPED_TRACE(f);
    EXPECT_EQ(box.read(f), read_file(expected / f));
  }
  for (const char* y : {"1918", "1919", "1920"}) {
    const std::string name = std::string(y) + "0101_str.tb0";
    EXPECT_EQ(mask_creation_date(box.read_parent(name)),
              mask_creation_date(read_file(expected / name)))
        << y;
  }
}

TEST(StationsCommand, SelectsByPrefixInStationOrderAndFiltersByFlows) {
  Sandbox box;
  RunResult r;
  const std::string db = quote(tiny_hydat().string());
  // Overlapping selectors give each station once, in station-number order.
  std::string list = stations(box, "--hydat " + db + " 08 05HD 05 08MF005", r);
  ASSERT_EQ(r.status, 0) << r.err;
  std::string ids;
  for (const std::string& line : split_lines(rows_of(list)))
    ids += line.substr(0, 8);
  EXPECT_EQ(ids, "05AA008 05HD008 08MF005 08NE102 08NM083 ");
  // 05HD008 has flows 1912-1924 only, 05AA008 none from 1921 to 1948, the
  // two lake stations none at all.
  list = stations(box, "--with-flows 1925:1949 --hydat=" + db + " 05 08", r);
  ASSERT_EQ(r.status, 0) << r.err;
  ids.clear();
  for (const std::string& line : split_lines(rows_of(list)))
    ids += line.substr(0, 8);
  EXPECT_EQ(ids, "05AA008 08MF005 ");
  list = stations(box, "--with-flows 1925:1948 --hydat=" + db + " 05 08", r);
  EXPECT_EQ(rows_of(list).substr(0, 8), "08MF005 ");
  list = stations(box, "--hydat " + db + " --with-flows=1924:1924 05HD008", r);
  EXPECT_EQ(r.status, 0) << r.err;
}

TEST(StationsCommand, QuotesNamesSoThatNoFieldShifts) {
  Sandbox box;
  const fs::path db = box.parent() / "odd.sqlite3";
  make_database(
      db,
      "CREATE TABLE STATIONS (STATION_NUMBER TEXT, STATION_NAME TEXT, "
      "PROV_TERR_STATE_LOC TEXT, HYD_STATUS TEXT, SED_STATUS TEXT, LATITUDE "
      "REAL, "
      "LONGITUDE REAL, DRAINAGE_AREA_GROSS REAL);"
      "INSERT INTO STATIONS VALUES "
      "('01AA001', 'RIVER \"NORTH\" ARM', 'NB', 'A', NULL, 45.5, -66.25, 0.1),"
      "('01AA002', 'L''ANSE \"X\"', '', NULL, '', 45.123456, -66, 1234567.5),"
      "('01AA003', 'ONE, TWO/THREE', 'NB', 'D', 'A', 46, -67, 1e-3),"
      "('01AA004', 'PLAIN', 'NB', 'A', '', 46, -67, 3.4e38),"
      "('01AA005', 'SMALL', 'NB', 'A', '', 46, -67, 1e-7);");
  RunResult r;
  const std::string list = stations(box, "--hydat ../odd.sqlite3 01AA", r);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(rows_of(list),
            "01AA001 NB 'RIVER \"NORTH\" ARM' A - 45.50000 -66.25000 0.1\n"
            "01AA002 - \"L'ANSE 'X'\" - - 45.12346 -66.00000 1234567.5\n"
            "01AA003 NB \"ONE, TWO/THREE\" D A 46.00000 -67.00000 0.001\n"
            "01AA004 NB \"PLAIN\" A - 46.00000 -67.00000 "
            "340000000000000000000000000000000000000.0\n"
            "01AA005 NB \"SMALL\" A - 46.00000 -67.00000 0.0000001\n");
  // A run reads every field where it belongs.
  box.write("flow_stations.tb0", list);
  ASSERT_EQ(box.run("n\n2000\n2000\n").status, 0);
  const std::string titles = box.read("grapher_titles.csv");
  EXPECT_NE(titles.find("RIVER \"NORTH\" ARM"), std::string::npos) << titles;
  EXPECT_NE(titles.find("ONE, TWO/THREE"), std::string::npos) << titles;
  EXPECT_NE(box.read("discharge_sites.xyz").find("-66.000      45.123"),
            std::string::npos)
      << box.read("discharge_sites.xyz");
}

TEST(StationsCommand, RefusesWhatItCannotAnswerWithNothingOnStandardOutput) {
  Sandbox box;
  std::string many =
      "CREATE TABLE STATIONS (STATION_NUMBER TEXT, STATION_NAME TEXT, "
      "PROV_TERR_STATE_LOC TEXT, HYD_STATUS TEXT, SED_STATUS TEXT, "
      "LATITUDE REAL, LONGITUDE REAL, DRAINAGE_AREA_GROSS REAL);";
  many +=
      "WITH RECURSIVE n(k) AS (SELECT 1 UNION ALL SELECT k + 1 FROM n WHERE k "
      "< 1001) "
      "INSERT INTO STATIONS SELECT printf('S%06d', k), 'X', 'AB', 'A', '', 50, "
      "-110, "
      "NULL FROM n;";
  make_database(box.parent() / "many.sqlite3", many);
  const std::string tiny = "--hydat " + quote(tiny_hydat().string()) + " ";
  struct Case {
    std::string args;
    int status;
    std::string message;  ///< the line on standard error, "" for any
  };
  const std::string label =
      "gaumo stations: HYDAT database '" + tiny_hydat().string() + "'";
  const Case cases[] = {
      {tiny + "05AA009", 1, label + " has no station number '05AA009'"},
      {tiny + "05AA008 09", 1,
       label + " has no station number starting with '09'"},
      {tiny + "05A_", 1, label + " has no station number starting with '05A_'"},
      {tiny + "%", 1, label + " has no station number starting with '%'"},
      {tiny + "05aa008", 1, label + " has no station number '05aa008'"},
      {tiny + "--with-flows 1800:1850 05", 1,
       label +
           ": none of the selected stations has a daily flow in 1800 to 1850"},
      {"--hydat ../many.sqlite3 S", 1,
       "gaumo stations: 1001 stations selected in HYDAT database "
       "'../many.sqlite3'; a station "
       "list holds at most 1000"},
      {"--hydat ../none.sqlite3 05", 1,
       "gaumo stations: HYDAT database '../none.sqlite3': no such file"},
      {"05AA008", 2, ""},
      {tiny, 2, ""},
      {tiny + "--with-flows 1900 05", 2, ""},
      {tiny + "--with-flows 1950:1900 05", 2, ""},
      {tiny + "--with-flows x:1900 05", 2, ""},
      {tiny + "--frobnicate 05", 2, ""},
      {tiny + "''", 2, ""},
      {"05 --hydat", 2, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    RunResult r;
    stations(box, c.args, r);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.out, "");
    const auto lines = split_lines(r.err);
    ASSERT_EQ(lines.size(), 1u) << r.err;
    if (!c.message.empty()) {
      EXPECT_EQ(lines[0], c.message);
    }
  }
  // Exactly 1000 is a list.
  RunResult r;
  make_database(box.parent() / "many.sqlite3",
                "DELETE FROM STATIONS WHERE rowid = 1001;");
  EXPECT_EQ(split_lines(rows_of(stations(box, "--hydat ../many.sqlite3 S", r)))
                .size(),
            1000u);
  EXPECT_EQ(r.status, 0);
}

}  // namespace
}  // namespace gaumo_test
