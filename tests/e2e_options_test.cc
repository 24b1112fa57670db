// The opt-in parts of a run: answers as options, the single multi-year
// file, the run summary (parsed back) and the chart file, run through the
// real binary.

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "e2e_support.h"

namespace gaumo_test {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

void copy_realdata(const Sandbox& box) {
  for (const auto& e : fs::directory_iterator(test_data() / "realdata")) {
    if (e.is_regular_file())
      box.write(e.path().filename().string(), read_file(e.path()));
  }
}

/// The lines after ":endHeader", and the lines up to it.
std::vector<std::string> rows_of(const std::string& tb0, bool header) {
  std::vector<std::string> out;
  bool in_data = false;
  for (const std::string& l : split_lines(tb0)) {
    if (in_data != header)
      out.push_back(l);
    if (l.rfind(":endHeader", 0) == 0)
      in_data = true;
  }
  return out;
}

const std::string kRow =
    "01AB002 AB \"NORTH RIVER AT MILL\" ACTIVE X 51.1722 -115.5717 2210\n";

TEST(Options, AllThreeAnswersReadNothingAndShowTheTypedTranscript) {
  Sandbox typed, given;
  copy_realdata(typed);
  copy_realdata(given);
  const RunResult a = typed.run("n\n1918\n1920\n");
  // Standard input holds answers that would give another run if read.
  const RunResult b =
      given.run("y\n2000\n2001\n",
                "--natural-flows n --first-year=1918 --last-year 1920");
  EXPECT_EQ(b.status, 0);
  EXPECT_EQ(b.err, "");
  EXPECT_EQ(mask_banner(b.out), mask_banner(a.out));
  EXPECT_EQ(mask_creation_date(given.read_parent("19200101_str.tb0")),
            mask_creation_date(typed.read_parent("19200101_str.tb0")));
  EXPECT_FALSE(given.exists_parent("20000101_str.tb0"));
}

TEST(Options, APartialSetAsksForTheRest) {
  Sandbox typed, given;
  copy_realdata(typed);
  copy_realdata(given);
  const RunResult a = typed.run("n\n1918\n1919\n");
  const RunResult b = given.run("n\n1919\n", "--first-year ' 1918 '");
  EXPECT_EQ(b.status, 0);
  EXPECT_EQ(mask_banner(b.out), mask_banner(a.out));
  EXPECT_TRUE(given.exists_parent("19190101_str.tb0"));
  // A last year before the first is taken, as typed.
  Sandbox backwards;
  copy_realdata(backwards);
  EXPECT_EQ(
      backwards.run("", "--natural-flows=x --first-year 1920 --last-year 1918")
          .status,
      0);
}

TEST(Options, AValueATypedAnswerWouldRefuseIsAUsageErrorAndWritesNothing) {
  for (const char* args :
       {"--first-year abc", "--last-year=", "--first-year 99999999999",
        "--natural-flows ''", "--natural-flows", "--chart",
        "--summary=", "--first-year 1918 --first-year 1919", "--first-yr 1918",
        "--chart c.svg --help", "--summary s.json --first-year x"}) {
    SCOPED_TRACE(args);
    Sandbox box;
    box.write("flow_stations.tb0", std::string(":EndHeader\n") + kRow);
    const RunResult r = box.run("n\n2010\n2010\n", args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(split_lines(r.err).size(), 1u) << r.err;
    EXPECT_FALSE(box.exists("Gaumo_info.txt"));
    EXPECT_FALSE(box.exists("s.json"));
    EXPECT_FALSE(box.exists("c.svg"));
  }
  Sandbox box;
  const RunResult help = box.run("", "--help");
  for (const char* option :
       {"--natural-flows", "--first-year", "--last-year", "--chart",
        "--single-file", "--summary", "--help", "--version"}) {
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
  }
}

TEST(SingleFile, RealDataRowsAreTheYearlyFilesRowsInOrder) {
  Sandbox box;
  copy_realdata(box);
  const RunResult r =
      box.run("",
              "--natural-flows n --first-year 1918 --last-year 1920 "
              "--single-file all.tb0");
  ASSERT_EQ(r.status, 0);
  const std::string single = box.read("all.tb0");
  ASSERT_NE(single, "<missing>");
  std::vector<std::string> want;
  for (int year = 1918; year <= 1920; ++year) {
    for (const std::string& row :
         rows_of(box.read_parent(std::to_string(year) + "0101_str.tb0"), false))
      want.push_back(row);
  }
  EXPECT_EQ(want.size(), 365u + 365u + 366u);
  EXPECT_EQ(rows_of(single, false), want);
  // The header is the first year's, stamp aside.
  EXPECT_EQ(
      rows_of(mask_creation_date(single), true),
      rows_of(mask_creation_date(box.read_parent("19180101_str.tb0")), true));
  EXPECT_NE(single.find(":StartDate          1918/01/01\n"), std::string::npos);
  EXPECT_EQ(r.out.find("5000"), std::string::npos);
}

TEST(SingleFile, WarnsOfTheHeaderLineLimitPast415StationsOnly) {
  for (int stations : {415, 416}) {
    SCOPED_TRACE(stations);
    Sandbox box;
    std::string list = ":EndHeader\n";
    for (int i = 0; i < stations; ++i) {
      list += 'S';
      list += std::to_string(100000 + i);
      list += " AB \"N\" A - 50.0 -110.0 1.0\n";
    }
    box.write("flow_stations.tb0", list);
    const RunResult r = box.run("n\n2010\n2010\n", "--single-file sub.tb0");
    ASSERT_EQ(r.status, 0);
    const std::string line =
        " Warning: sub.tb0 has         416 stations; tb0 readers that cut "
        "header "
        "lines at 5000 characters will miss the stations past the 415th\n";
    const std::string info = box.read("Gaumo_info.txt");
    if (stations == 416) {
      EXPECT_NE(r.out.find(line), std::string::npos);
      EXPECT_NE(info.find(line), std::string::npos);
    } else {
      EXPECT_EQ(r.out.find("5000"), std::string::npos);
      EXPECT_EQ(info.find("5000"), std::string::npos);
    }
    EXPECT_EQ(split_lines(box.read("sub.tb0")).size(),
              split_lines(box.read_parent("20100101_str.tb0")).size());
  }
}

TEST(Summary, RealDataRunReadsBack) {
  Sandbox box;
  copy_realdata(box);
  const RunResult r =
      box.run("n\n1918\n1920\n", "--summary s.json --chart c.svg");
  ASSERT_EQ(r.status, 0) << r.err;
  const json j = json::parse(box.read("s.json"));
  EXPECT_EQ(j["exit_status"], 0);
  EXPECT_TRUE(j["stop_reason"].is_null());
  EXPECT_EQ(j["answers"]["natural_flows"], "n");
  EXPECT_EQ(j["answers"]["first_year"], 1918);
  EXPECT_EQ(j["answers"]["last_year"], 1920);
  EXPECT_EQ(fs::path(j["input_folder"].get<std::string>()),
            fs::canonical(box.work()));
  const auto files = j["files_written"].get<std::vector<std::string>>();
  for (const char* f : {"../19180101_str.tb0", "../19200101_str.tb0",
                        "flow_flag.txt", "Gaumo_info.txt", "c.svg"}) {
    EXPECT_NE(std::find(files.begin(), files.end(), f), files.end()) << f;
  }
  ASSERT_EQ(j["stations"].size(), 5u);
  const json& crow = j["stations"][0];
  EXPECT_EQ(crow["identifier"], "05AA008");
  EXPECT_EQ(crow["name"], "CROWSNEST RIVER AT FRANK");
  EXPECT_EQ(crow["historical_source"], "file");
  EXPECT_EQ(crow["provisional_source"], "file");
  EXPECT_EQ(crow["days_with_data"]["1920"], 121);
  EXPECT_EQ(crow["days_from_provisional"]["1920"], 30);
  EXPECT_EQ(crow["first_date_with_data"], "1918-01-01");
  EXPECT_EQ(crow["last_date_with_data"], "1920-04-30");
  // 1920 is a leap year: all 366 days count here, 365 in flow_recl.txt.
  EXPECT_EQ(j["stations"][2]["days_with_data"]["1920"], 366);
  EXPECT_EQ(j["stations"][2]["last_date_with_data"], "1920-12-31");
  EXPECT_EQ(j["stations"][3]["historical_source"], "none");
  EXPECT_TRUE(j["stations"][3]["first_date_with_data"].is_null());
  EXPECT_EQ(j["stations"][1]["days_with_data"]["1919"], 37);
}

TEST(Summary, WrittenAfterAStopThatLeavesNoOtherFile) {
  Sandbox box;
  copy_realdata(box);
  const RunResult r = box.run("n\nabc\n", "--summary s.json");
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(box.exists("Gaumo_info.txt"));
  const json j = json::parse(box.read("s.json"));
  EXPECT_EQ(j["exit_status"], 1);
  EXPECT_EQ(j["stop_reason"],
            "Could not read the first year: \"abc\" is not a whole number");
  EXPECT_EQ(j["answers"]["natural_flows"], "n");
  EXPECT_TRUE(j["answers"]["first_year"].is_null());
  EXPECT_TRUE(j["stations"].is_null());
  EXPECT_TRUE(j["files_written"].empty());
}

TEST(Summary, AfterALaterStopListsWhatWasWrittenAndCountsErrorRecords) {
  Sandbox box;
  box.write("flow_stations.tb0", std::string(":EndHeader\n") + kRow);
  box.write("01AB002_Daily_Flow_ts.csv",
            "ID,PARAM,Date,Value,SYM\n01AB002,1,2010/01/02,3.5,\n"
            "01AB002,1,2010/13/02,3.5,\n01AB002,1,2010/x/02,3.5,\n");
  fs::create_directory(box.parent() / "20100101_str.tb0");
  const RunResult r = box.run("n\n2010\n2010\n", "--summary s.json");
  EXPECT_EQ(r.status, 1);
  const json j = json::parse(box.read("s.json"));
  EXPECT_EQ(j["stop_reason"], "in write_r2c @ 83");
  const auto files = j["files_written"].get<std::vector<std::string>>();
  EXPECT_NE(std::find(files.begin(), files.end(), "nudge_flags.new"),
            files.end());
  EXPECT_EQ(std::find(files.begin(), files.end(), "../20100101_str.tb0"),
            files.end());
  EXPECT_EQ(j["stations"][0]["error_records"], 2);
  EXPECT_EQ(j["stations"][0]["days_with_data"]["2010"], 1);
}

TEST(Summary, ASummaryThatCannotBeWrittenFailsTheRun) {
  Sandbox box;
  box.write("flow_stations.tb0", std::string(":EndHeader\n") + kRow);
  fs::create_directory(box.work() / "s.json");
  const RunResult r = box.run("n\n2010\n2010\n", "--summary s.json");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("s.json"), std::string::npos);
}

TEST(Chart, AChartThatCannotBeWrittenStopsTheRun) {
  Sandbox box;
  box.write("flow_stations.tb0", std::string(":EndHeader\n") + kRow);
  fs::create_directory(box.work() / "c.svg");
  const RunResult r = box.run("n\n2010\n2010\n", "--chart c.svg");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find(" Error writing c.svg\n"), std::string::npos);
}

}  // namespace
}  // namespace gaumo_test
