// The run summary on the other routes: a station's historical data from a
// HYDAT database, its recent days from realtime files, a database row
// reported as an error, and a database refused before anything is written.

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "hydat_support.h"
#include "realtime_support.h"

namespace gaumo_test {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

TEST(SummarySources, NamesTheDatabaseAndCountsItsRowErrors) {
  Sandbox box;
  copy_realdata(box, false);
  const fs::path db = box.work() / "hydat.sqlite3";
  box.write("hydat.sqlite3", read_file(tiny_hydat()));
  // A row whose YEAR is text: one "Error:  " line, one error record.
  make_database(db,
                "INSERT INTO DLY_FLOWS (STATION_NUMBER, YEAR, MONTH, NO_DAYS, "
                "FLOW1) VALUES ('05HD008', 'x', 1, 31, 2.5);");
  const RunResult r = box.run(box.read("answers.txt"),
                              "--hydat hydat.sqlite3 --summary s.json");
  ASSERT_EQ(r.status, 0) << r.out;
  const json j = json::parse(box.read("s.json"));
  std::vector<std::string> historical, provisional;
  std::vector<std::int64_t> errors;
  for (const json& st : j["stations"]) {
    historical.push_back(st["historical_source"]);
    provisional.push_back(st["provisional_source"]);
    errors.push_back(st["error_records"]);
  }
  // 08NE102 and 08NM083 have no rows; 05AA008 has a provisional file.
  EXPECT_EQ(historical, (std::vector<std::string>{"database", "database",
                                                  "database", "none", "none"}));
  EXPECT_EQ(provisional,
            (std::vector<std::string>{"file", "none", "none", "none", "none"}));
  EXPECT_EQ(errors, (std::vector<std::int64_t>{0, 1, 0, 0, 0}));
}

TEST(SummarySources, ARefusedDatabaseStillGivesASummaryAndNothingElse) {
  Sandbox box;
  copy_realdata(box, false);
  const RunResult r =
      box.run("n\n1918\n1920\n", "--hydat missing.sqlite3 --summary s.json");
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(box.exists("Gaumo_info.txt"));
  EXPECT_FALSE(box.exists("nudge_flags.new"));
  const json j = json::parse(box.read("s.json"));
  EXPECT_EQ(j["exit_status"], 1);
  EXPECT_EQ(j["stop_reason"],
            "Error: HYDAT database 'missing.sqlite3': no such file");
  EXPECT_EQ(j["answers"]["last_year"], 1920);
  EXPECT_TRUE(j["files_written"].empty());
  EXPECT_TRUE(j["stations"].is_null());
}

TEST(SummarySources, NamesRealtimeFilesBesideAProvisionalFile) {
  Sandbox box;
  box.write("flow_stations.tb0", rt::station_list({"10AA001", "10AD002"}));
  box.write("Flow_10AA001.csv", "ID,Date,Value\n10AA001,2023-05-01,7.25\n");
  box.write("YT_10AA001_hourly_hydrometric.csv", rt::stored(rt::kAA001May));
  box.write("YT_10AD002_hourly_hydrometric.csv", rt::stored(rt::kAD002));
  const RunResult r = box.run("n\n2023\n2023\n", "--summary s.json");
  ASSERT_EQ(r.status, 0) << r.out;
  const json j = json::parse(box.read("s.json"));
  ASSERT_EQ(j["stations"].size(), 2u);
  const json& a = j["stations"][0];
  const json& b = j["stations"][1];
  EXPECT_EQ(a["historical_source"], "none");
  EXPECT_EQ(a["provisional_source"], "file+realtime");
  EXPECT_EQ(b["provisional_source"], "realtime");
  // The provisional day and the two complete realtime days.
  EXPECT_EQ(a["days_from_provisional"]["2023"], 3);
  EXPECT_EQ(a["first_date_with_data"], "2023-05-01");
  EXPECT_EQ(b["days_from_provisional"]["2023"], 2);
  EXPECT_EQ(b["last_date_with_data"], "2023-06-06");
}

}  // namespace
}  // namespace gaumo_test
