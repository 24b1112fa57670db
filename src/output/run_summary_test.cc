#include "output/run_summary.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace gaumo {
namespace {

TEST(RunSummaryJson, ReadsBackWithNullsForWhatTheRunNeverReached) {
  RunSummary s;
  s.version = "6.0.0";
  s.natural_flows = "n";
  s.exit_status = 1;
  s.stop_reason = " Could not read the first year";
  const auto j = nlohmann::json::parse(run_summary_json(s));
  EXPECT_EQ(j["answers"]["natural_flows"], "n");
  EXPECT_TRUE(j["answers"]["first_year"].is_null());
  EXPECT_TRUE(j["stations"].is_null());
  EXPECT_EQ(j["exit_status"], 1);
  EXPECT_EQ(j["stop_reason"], " Could not read the first year");
}

TEST(RunSummaryJson, StationTextsOfAnyEncodingMakeValidJson) {
  RunSummary s;
  s.first_year = 1999;
  s.stations_read = s.days_counted = true;
  SummaryStation st;
  st.id = "01AB\xFF\x01";
  st.name = "Rivi\xE8re \"du\" Loup";  // Latin-1, as older lists have it
  st.historical = DataSource::kDatabase;
  st.days = {365, 366};
  st.provisional_days = {0, 3};
  st.first_date = "1999-01-01";
  s.stations.push_back(st);
  s.input_folder = "/data/\xC3\xA9t\xE9";
  const auto j = nlohmann::json::parse(run_summary_json(s));
  const auto& o = j["stations"][0];
  EXPECT_EQ(o["identifier"], "01AB\xC3\xBF ");
  EXPECT_EQ(o["name"], "Rivi\xC3\xA8re \"du\" Loup");
  EXPECT_EQ(o["historical_source"], "database");
  EXPECT_EQ(o["provisional_source"], "none");
  EXPECT_EQ(o["days_with_data"]["2000"], 366);
  EXPECT_EQ(o["days_from_provisional"]["2000"], 3);
  EXPECT_EQ(o["first_date_with_data"], "1999-01-01");
  EXPECT_TRUE(o["last_date_with_data"].is_null());
  EXPECT_EQ(j["input_folder"], "/data/\xC3\xA9t\xC3\xA9");
}

}  // namespace
}  // namespace gaumo
