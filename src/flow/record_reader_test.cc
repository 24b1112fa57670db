#include "flow/record_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>

#include "support/memory_file_system.h"

namespace gaumo {
namespace {

/// One station over the years 1990 to 1992, with its log kept in a string.
class RecordTest : public ::testing::Test {
 protected:
  RecordTest() { table.create(opts.year_count(), 1); }

  float day(int year, int t) { return table.days(1, year - 1989)[t - 1]; }
  RecordOutcome historical(std::string_view rec) {
    return handle_record(rec, RecordKind::kHistorical, id, 1, sink);
  }
  RecordOutcome provisional(std::string_view rec) {
    return handle_record(rec, RecordKind::kProvisional, id, 1, sink);
  }

  RunOptions opts = make_run_options(1990, 1992);
  FlowTable table;
  RecordFields fields;
  std::ostringstream console;
  RunLog log{console};
  RecordSink sink{opts, table, fields, log};
  Ident id{"05AB001"};
};

TEST_F(RecordTest, HistoricalRecordsGoToTheirDay) {
  EXPECT_EQ(historical("05AB001,1,1990/01/31,12.3,B"), RecordOutcome::kStored);
  EXPECT_EQ(day(1990, 31), 12.3f);
  historical("05AB001,1,1992/03/01,4.5,A");
  EXPECT_EQ(day(1992, 61), 4.5f);
  historical("05AB001,1,1992/02/29,7.0,A");
  historical("05AB001,1,1992/02/29,,B");  // an empty value stores -1.0
  EXPECT_EQ(day(1992, 60), -1.0f);
  historical("05AB001,1,1991/06/01,-999,B");
  EXPECT_EQ(day(1991, 152), -999.0f);
  historical("05AB001,1,1991/06/01,5,B");  // the later record wins
  EXPECT_EQ(day(1991, 152), 5.0f);
  EXPECT_EQ(console.str(), "");
}

TEST_F(RecordTest, OnlyTheFirstSevenColumnsDecideTheStation) {
  EXPECT_EQ(historical("05AB002,1,1990/01/01,1.0"), RecordOutcome::kIgnored);
  EXPECT_EQ(historical(" 05AB001,1,1990/01/01,1.0"), RecordOutcome::kIgnored);
  EXPECT_EQ(historical("05AB0011,1,1990/01/01,1.0"), RecordOutcome::kStored);
  EXPECT_EQ(historical(""), RecordOutcome::kIgnored);
  const Ident shorter("AB123");
  EXPECT_EQ(handle_record("AB123,1,1990/01/01,2.0", RecordKind::kHistorical,
                          shorter, 1, sink),
            RecordOutcome::kIgnored);
  EXPECT_EQ(handle_record("AB123  ,1,1990/01/01,2.0", RecordKind::kHistorical,
                          shorter, 1, sink),
            RecordOutcome::kStored);
}

TEST_F(RecordTest, EverySlashIsASeparatorAndColumn513IsNeverSeen) {
  historical("05AB001/1/1990/01/02/7.5/x");
  EXPECT_EQ(day(1990, 2), 7.5f);
  std::string rec = "05AB001,1,1990/01/03,";
  rec.resize(512, ' ');
  rec += "9.5";
  EXPECT_EQ(historical(rec), RecordOutcome::kReported);
  EXPECT_EQ(day(1990, 3), -1.0f);
  EXPECT_EQ(console.str(), "Error:  05AB001 1990    1    3\n");
}

TEST_F(RecordTest, DatesWithoutASlotAreReportedOrDropped) {
  EXPECT_EQ(historical("05AB001,1,1991/13/01,1.0"), RecordOutcome::kReported);
  EXPECT_EQ(historical("05AB001,1,1991/01/00,1.0"), RecordOutcome::kReported);
  EXPECT_EQ(historical("05AB001,1,1991/12/40,1.0"), RecordOutcome::kDropped);
  EXPECT_EQ(historical("05AB001,1,1991/12/9000,1.0"), RecordOutcome::kReported);
  // Outside the years of the run a date without a slot does not matter.
  EXPECT_EQ(historical("05AB001,1,1989/13/01,1.0"), RecordOutcome::kIgnored);
  EXPECT_EQ(console.str(),
            "Error:  05AB001 1991   13    1\n"
            "Error:  05AB001 1991    1    0\n"
            "Error:  05AB001 1991   12 9000\n");
}

TEST_F(RecordTest, HistoricalParseFailuresAreReportedWhateverTheYear) {
  historical("05AB001,1,1991/02/03,3.0");
  EXPECT_EQ(historical("05AB001,1,1985/02/xx,1.0"), RecordOutcome::kReported);
  EXPECT_EQ(historical("05AB001,1,1991/02/03"), RecordOutcome::kReported);
  EXPECT_EQ(historical("05AB001,1,40000/02/03,1.0"), RecordOutcome::kReported);
  EXPECT_EQ(day(1991, 34), 3.0f);  // nothing stored over the good value
  EXPECT_EQ(console.str(),
            "Error:  05AB001 1985    2    3\n"
            "Error:  05AB001 1991    2    3\n"
            "Error:  05AB001 1991    2    3\n");
}

TEST_F(RecordTest, EmptyDatePartsKeepThePreviousRecordsValues) {
  historical("05AB001,1,1990/05/06,1.0");
  historical("05AB001,1,/07/,2.0");  // year 1990 and day 6 carry over
  EXPECT_EQ(day(1990, 187), 2.0f);   // 6 July 1990
}

TEST_F(RecordTest, ProvisionalValuesOnlyFillMissingDays) {
  historical("05AB001,1,1990/01/01,0.0");
  historical("05AB001,1,1990/01/02,-999");
  EXPECT_EQ(provisional("05AB001,1990-01-01,5.5"), RecordOutcome::kKept);
  EXPECT_EQ(day(1990, 1), 0.0f);
  EXPECT_EQ(provisional("05AB001,1990-01-02,6.5"), RecordOutcome::kStored);
  EXPECT_EQ(provisional("05AB001,1990-01-02,7.5"), RecordOutcome::kKept);
  EXPECT_EQ(day(1990, 2), 6.5f);
  // The minus sign is a separator: the value reads as empty.
  EXPECT_EQ(provisional("05AB001,1990-01-03,-5.0"), RecordOutcome::kStored);
  EXPECT_EQ(day(1990, 3), -1.0f);
  EXPECT_EQ(provisional("05AB001,1990-01-04,8/9"), RecordOutcome::kStored);
  EXPECT_EQ(day(1990, 4), 8.0f);
  EXPECT_EQ(console.str(), "");
}

TEST_F(RecordTest, AProvisionalParseFailureIsReportedAndStillApplied) {
  historical("05AB001,1,1990/06/30,-999");
  EXPECT_EQ(provisional("05AB001,1990-06-30"), RecordOutcome::kReported);
  EXPECT_EQ(day(1990, 181), -1.0f);
  EXPECT_EQ(provisional("05AB001,1990-13-01"), RecordOutcome::kReported);
  EXPECT_EQ(console.str(),
            "Error:  05AB001 1990    6   30\n"
            "Error:  05AB001 1990   13    1\n");
}

TEST_F(RecordTest, ValuesTooLongForTheShortFormStillParse) {
  // Long digit runs used to overflow the short form's accumulator before
  // its length test turned them away; the sanitizer build stops on that.
  sink.plain_identifier = true;
  EXPECT_EQ(historical("05AB001,1,1990/01/31,14450885.287,A"),
            RecordOutcome::kStored);
  EXPECT_EQ(day(1990, 31), 14450885.0f);
  EXPECT_EQ(historical("05AB001,1,1990/02/01,99999999999999999999"),
            RecordOutcome::kStored);
  EXPECT_EQ(day(1990, 32), 1e20f);
  EXPECT_EQ(historical("05AB001,1,1990/02/02,0.0000000000000000001"),
            RecordOutcome::kStored);
  EXPECT_EQ(day(1990, 33), 1e-19f);
}

TEST_F(RecordTest, TheHeaderRecordIsNeverStored) {
  MemoryInputFile file(
      "05AB001,1,1990/01/01,1.0\r\n05AB001,1,1990/01/02,2.0\r\n"
      "05AB001,1,1990/01/03,3.0");
  const FileName name("05AB001_Daily_Flow_ts.csv");
  read_station_records(file, RecordKind::kHistorical, name, id, 1, sink);
  EXPECT_EQ(day(1990, 1), -1.0f);
  EXPECT_EQ(day(1990, 2), 2.0f);
  EXPECT_EQ(day(1990, 3), 3.0f);
}

}  // namespace
}  // namespace gaumo
