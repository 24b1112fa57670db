// Faults a real disk cannot be made to produce on demand, injected through
// an in-memory file system while the whole program runs in-process.

#include <gtest/gtest.h>

#include <string>

#include "in_process_run.h"
#include "one_station_lines.h"
#include "support/memory_file_system.h"

namespace gaumo_test {
namespace {

using gaumo::MemoryFileSystem;
using Fault = MemoryFileSystem::Fault;
using Kind = Fault::Kind;

const std::string kAnswers = "n\n2010\n2010\n";
const std::string kList =
    ":EndHeader\n05AB001 AB \"NORTH RIVER\" A X 51.1722 -115.5717 2210\n";
const std::string kHistorical =
    "ID,PARAM,Date,Value,SYM\n"
    "05AB001,1,2010/01/01,1.5,B\n"
    "05AB001,1,2010/01/02,2.5,\n"
    "05AB001,1,2010/01/03,3.5,\n";
const std::string kTb0 = kTb0Name;

void add_station(MemoryFileSystem& fs) {
  fs.add_file("flow_stations.tb0", kList);
  fs.add_file("05AB001_Daily_Flow_ts.csv", kHistorical);
}

/// The data rows of days 1 to n of a tb0 file.
std::string first_days(const std::string& tb0, int n) {
  std::size_t p = 0;
  for (int k = 0; k < 38; ++k)
    p = tb0.find('\n', p) + 1;
  std::size_t e = p;
  for (int k = 0; k < n; ++k)
    e = tb0.find('\n', e) + 1;
  return tb0.substr(p, e - p);
}

std::string day_rows(std::initializer_list<const char*> values) {
  std::string s;
  for (const char* v : values) {
    const std::string f(v);
    s += std::string(20 + 12 - f.size(), ' ') + f + "\n";
  }
  return s;
}

bool ends_with(const std::string& s, const std::string& end) {
  return s.size() >= end.size() &&
         s.compare(s.size() - end.size(), end.size(), end) == 0;
}

TEST(FaultInjection, ReadFailureInMidFileIsLoggedAndWhatWasReadIsKept) {
  const std::string cut_after_two =
      kHistorical.substr(0, kHistorical.find("05AB001,1,2010/01/03"));
  const std::string prov =
      "ID,Date,Value\n05AB001,2010-01-03,7.5\n05AB001,2010-01-04,4.5\n";
  const struct {
    std::string what, file, content;
    std::size_t fails_at;
    int err;
    std::string info, days;
  } cases[] = {
      {"historical, between records", "05AB001_Daily_Flow_ts.csv", kHistorical,
       cut_after_two.size(), 5,
       kOpenedHist + " Problems reading " + kHistName + "\n" +
           " for year         2010 month \n"
           " ios=           5\n" +
           kClosedProv + kClosedTb0,
       day_rows({"1.500", "2.500", "-1.000", "-1.000"})},
      // Cut inside the date of the first record: no record of the run is
      // parsed yet, so the year shown is 0; the partial record is then
      // handled as it stands, and it is one value short.
      {"historical, inside the first record", "05AB001_Daily_Flow_ts.csv",
       kHistorical, kHistorical.find("1,1.5"), 74,
       kOpenedHist + " Problems reading " + kHistName + "\n" +
           " for year            0 month \n"
           " ios=          74\n"
           "Error:  05AB001 2010    1    0\n" +
           kClosedProv + kClosedTb0,
       day_rows({"-1.000", "-1.000", "-1.000", "-1.000"})},
      {"provisional, between records", "Flow_05AB001.csv", prov,
       prov.find("05AB001,2010-01-04"), 5,
       kOpenedHist + kOpenedProv + " Problems reading " + kProvName + "\n" +
           " for year         2010 month \n"
           " ios=           5\n" +
           kClosedProv + kClosedTb0,
       day_rows({"1.500", "2.500", "3.500", "-1.000"})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryFileSystem fs;
    add_station(fs);
    fs.add_file(c.file, c.content);
    fs.inject({.kind = Kind::kRead,
               .path = c.file,
               .offset = c.fails_at,
               .err = c.err});
    const InProcessResult r = run_in_process(fs, kAnswers);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(fs.content("Gaumo_info.txt"), c.info);
    EXPECT_EQ(first_days(fs.content(kTb0), 4), c.days);
  }
}

TEST(FaultInjection, OpenFailuresEndTheRunWithTheStagesOwnLines) {
  const std::string second_pass =
      " no flow stations found =           1\n"
      " problems opening flow_stations.tb0\n";
  const struct {
    std::string path;
    Kind kind;
    int ordinal;
    std::size_t offset;
    int err;
    std::string last_lines;
  } cases[] = {
      {"flow_stations.tb0", Kind::kOpenRead, 0, 0, 13,
       " flow_stations.tb0 found\n"
       " ios=          13\n"
       " problems opening flow_stations.tb0\n\n"
       "Program aborted in Gaumo  @  79\n"},
      // The second open, by the second pass. Its empty stop text prints
      // nothing after the empty line.
      {"flow_stations.tb0", Kind::kOpenRead, 1, 0, 5,
       second_pass + " ios=           5\n\n"},
      {"nudge_flags.new", Kind::kOpenWrite, 0, 0, 28,
       second_pass + " ios=          28\n\n"},
      {"flow_stations.tb0", Kind::kRead, 0, 11, 5,
       " found endheader\n"
       " flow_stations.tb0:2: read error (system error 5) in station row 1\n"},
      {"05AB001_Daily_Flow_ts.csv", Kind::kOpenRead, 0, 0, 13,
       " Error opening " + kHistName + "\nGaumo aborted @ 323\n"},
      {kTb0, Kind::kOpenWrite, 0, 0, 13,
       " Error opening " + kTb0 + std::string(41, ' ') +
           " on unit=         999\n ios =           13\n\nin write_r2c @ 83\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    MemoryFileSystem fs;
    add_station(fs);
    fs.inject({.kind = c.kind,
               .path = c.path,
               .ordinal = c.ordinal,
               .offset = c.offset,
               .err = c.err});
    const InProcessResult r = run_in_process(fs, kAnswers);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(ends_with(r.out, c.last_lines)) << r.out;
  }
}

TEST(FaultInjection, OutputThatCannotBeCreatedWrittenOrClosedIsAnError) {
  const std::string outputs[] = {"nudge_flags.new",     "grapher_titles.csv",
                                 "discharge_sites.xyz", kTb0,
                                 "flow_recl.txt",       "flow_flag.txt"};
  for (const std::string& path : outputs) {
    for (const Fault& f : {Fault{.kind = Kind::kOpenWrite, .err = 13},
                           Fault{.kind = Kind::kWrite, .err = 5},
                           Fault{.kind = Kind::kClose, .err = 28}}) {
      // These two keep their own open-failure lines (tested above).
      if (f.kind == Kind::kOpenWrite &&
          (path == kTb0 || path == "nudge_flags.new")) {
        continue;
      }
      SCOPED_TRACE(path + " fault " + std::to_string(static_cast<int>(f.kind)) +
                   " error " + std::to_string(f.err));
      MemoryFileSystem fs;
      add_station(fs);
      Fault at_path = f;
      at_path.path = path;
      fs.inject(at_path);
      const InProcessResult r = run_in_process(fs, kAnswers);
      EXPECT_EQ(r.status, 1);
      EXPECT_TRUE(ends_with(r.out, " Error writing " + path + "\n")) << r.out;
    }
  }
}

TEST(FaultInjection, InformationFileThatCannotBeWrittenIsNotReported) {
  MemoryFileSystem plain;
  add_station(plain);
  const InProcessResult expected = run_in_process(plain, kAnswers);
  ASSERT_EQ(expected.status, 0);
  for (const Fault& f :
       {Fault{.kind = Kind::kWrite, .path = "Gaumo_info.txt", .err = 28},
        Fault{.kind = Kind::kClose, .path = "Gaumo_info.txt", .err = 5}}) {
    MemoryFileSystem fs;
    add_station(fs);
    fs.inject(f);
    const InProcessResult r = run_in_process(fs, kAnswers);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, expected.out);
    EXPECT_EQ(fs.content(kTb0), plain.content(kTb0));
    EXPECT_EQ(fs.content("flow_flag.txt"),
              "   station      2010\n\n    1   05AB001    p\n");
  }
}

}  // namespace
}  // namespace gaumo_test
