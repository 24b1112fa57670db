// Bad input and faults that can be produced from outside: each run checks
// its last console line, its exit status, which files exist afterwards and
// what they hold. (CI runs as root, so folders and links to /dev/full stand
// in for files that cannot be opened or written.)

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "one_station_lines.h"

namespace gaumo_test {
namespace {
namespace fs = std::filesystem;
using namespace std::string_literals;

const std::string kStarLine =
    " ********************************************************\n";
const std::string kAnswers = "n\n2010\n2010\n";
const std::string kRow1 =
    "05AB001 AB \"NORTH RIVER\" A X 51.1722 -115.5717 2210\n";
const std::string kList = "# stations\n:EndHeader\n" + kRow1;
const std::string kHistorical =
    "ID,PARAM,Date,Value,SYM\n"
    "05AB001,1,2010/01/01,1.5,B\n"
    "05AB001,1,2010/01/02,2.5,\n";
const std::string kNudgeRow1 =
    "    -115.572      51.172    1     05AB001     NORTH RIVER"
    "                                  2210.\n";

/// The last n console lines, each with its newline.
std::string tail(const std::string& out, std::size_t n) {
  const auto v = split_lines(out);
  std::string s;
  for (std::size_t k = v.size() > n ? v.size() - n : 0; k < v.size(); ++k) {
    s += v[k] + "\n";
  }
  return s;
}

std::string last_line(const std::string& out) { return tail(out, 1); }

std::size_t count_of(const std::string& hay, const std::string& needle) {
  std::size_t n = 0;
  for (auto p = hay.find(needle); p != std::string::npos;
       p = hay.find(needle, p + 1)) {
    ++n;
  }
  return n;
}

/// "work files | parent files", each sorted: which outputs a run left.
std::string files_left(const Sandbox& sb) {
  auto names = [](const fs::path& dir, bool skip_work) {
    std::vector<std::string> v;
    for (const auto& e : fs::directory_iterator(dir)) {
      const std::string n = e.path().filename().string();
      if (!(skip_work && n == "work")) {
        v.push_back(n);
      }
    }
    std::sort(v.begin(), v.end());
    std::string s;
    for (const auto& n : v) {
      s += (s.empty() ? "" : " ") + n;
    }
    return s;
  };
  return names(sb.work(), false) + " | " + names(sb.parent(), true);
}

/// Data row of a tb0 file for day d (1-based).
std::string tb0_day(const std::string& tb0, std::size_t d) {
  const auto v = split_lines(tb0);
  return 38 + d - 1 < v.size() ? v[38 + d - 1] : "<no row>";
}

std::string station_list(int rows) {
  std::string s = ":EndHeader\n";
  for (int r = 1; r <= rows; ++r) {
    s += 'S';
    s += std::to_string(1000000 + r).substr(1);
    s += " AB \"NAME\" A X 50.0 -100.0 10\n";
  }
  return s;
}

/// Bytes 0 to 255, LF and CR among them.
std::string every_byte() {
  std::string s;
  for (int b = 0; b < 256; ++b) {
    s += static_cast<char>(b);
  }
  return s;
}

long physical_memory() {
  return ::sysconf(_SC_PHYS_PAGES) * ::sysconf(_SC_PAGESIZE);
}

TEST(FailureDialogue, UnreadableAnswerIsTheLastLineAndNoFileIsCreated) {
  const std::string dialogue = dialogue_transcript();
  auto upto = [&](const std::string& mark) {
    return dialogue.substr(0, dialogue.find(mark) + mark.size());
  };
  const std::string after0 = upto("y/n?\n\n");
  const std::string after1 = upto("yyyy?\n\n");
  const std::string after2 = upto("enter the last year\n\n");
  const struct {
    std::string input, shown, message;
  } cases[] = {
      {"", after0,
       " Could not read the natural-flows answer: the console input ended"},
      {"n\n", after1,
       " Could not read the first year: the console input ended"},
      {"n\n\n  \n", after1,
       " Could not read the first year: the console input ended"},
      {"n\n2010\n", after2,
       " Could not read the last year: the console input ended"},
      {"n\nabc\n2010\n", after1,
       " Could not read the first year: \"abc\" is not a whole number"},
      {"n\n2010\n2010.5\n", after2,
       " Could not read the last year: \"2010.5\" is not a whole number"},
      {"n\n/\n2010\n", after1,
       " Could not read the first year: \"/\" is not a whole number"},
      {"n\n3*\n2010\n", after1,
       " Could not read the first year: \"3*\" is not a whole number"},
      {"n\n99999999999\n2010\n", after1,
       " Could not read the first year: \"99999999999\" is not a whole number"
       " of 32 bits"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    Sandbox sb;
    sb.write("flow_stations.tb0", kList);
    const RunResult r = sb.run(c.input);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(mask_banner(r.out), c.shown + c.message + "\n");
    EXPECT_EQ(files_left(sb), "flow_stations.tb0 | ");
  }
}

TEST(FailureStationList, ReadErrorNamesLineAndFieldAndKeepsWhatWasWritten) {
  const struct {
    std::string what, list, message, nudge;
  } cases[] = {
      {"no end of header", "# stations\n:endHeader\n" + kRow1,
       " flow_stations.tb0:3: end of file in the header (no \":EndHeader\""
       " line)",
       "<missing>"},
      {"field 6", kList + "05AB002 AB \"S\" A X N50 -114.25 75\n",
       " flow_stations.tb0:4: field 6 \"N50\" is not a number in station row 2",
       kNudgeRow1},
      {"field 7", kList + "05AB002 AB \"S\" A X 50.5 W114 75\n",
       " flow_stations.tb0:4: field 7 \"W114\" is not a number in station row "
       "2",
       kNudgeRow1},
      {"field 8", kList + "05AB002 AB \"S\" A X 50.5 -114.25 75km2\n",
       " flow_stations.tb0:4: field 8 \"75km2\" is not a number in station"
       " row 2",
       kNudgeRow1},
      {"field 8 beyond a float",
       kList + "05AB002 AB \"S\" A X 50.5 -114 1e39\n",
       " flow_stations.tb0:4: field 8 \"1e39\" is out of range in station row "
       "2",
       kNudgeRow1},
      // Seven fields pass the count pass, which reads five.
      {"row cut short", kList + "05AB002 AB \"S\" A X 50.5 -114.25\n",
       " flow_stations.tb0:4: end of file in station row 2", kNudgeRow1},
      {"row of four fields", kList + "05AB002 AB \"S\" A\n",
       " flow_stations.tb0:4: end of file in station row 2", "<missing>"},
      {"blank line after the last row", kList + "\n",
       " flow_stations.tb0:4: end of file in station row 2", "<missing>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Sandbox sb;
    sb.write("flow_stations.tb0", c.list);
    const RunResult r = sb.run(kAnswers);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(last_line(r.out), c.message + "\n");
    EXPECT_EQ(sb.read("nudge_flags.new"), c.nudge);
    EXPECT_EQ(sb.read("Gaumo_info.txt"), "");
    EXPECT_FALSE(sb.exists("grapher_titles.csv"));
  }
}

TEST(FailureStationList, ThousandAndOneRowsStopBeforeAnythingIsAllocated) {
  Sandbox sb;
  sb.write("flow_stations.tb0", station_list(1001));
  const RunResult r = sb.run(kAnswers);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(tail(r.out, 4),
            "         1000S001000  NAME" + std::string(46, ' ') +
                "\n"
                " Only 1000 stations are allowed\n"
                " Array bounds need to be increased in the code\n"
                "Program aborted @ 247\n");
  EXPECT_EQ(files_left(sb), "Gaumo_info.txt flow_stations.tb0 | ");
}

TEST(FailureStationList, FolderInPlaceOfTheListStopsAtTheCountPass) {
  Sandbox sb;
  fs::create_directory(sb.work() / "flow_stations.tb0");
  const RunResult r = sb.run(kAnswers);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(tail(r.out, 5),
            " flow_stations.tb0 found\n"
            " ios=          21\n"
            " problems opening flow_stations.tb0\n"
            "\n"
            "Program aborted in Gaumo  @  79\n");
  EXPECT_EQ(files_left(sb), "Gaumo_info.txt flow_stations.tb0 | ");
}

TEST(FailureFlowFiles, HistoricalFileThatIsAFolderStopsTheRun) {
  Sandbox sb;
  sb.write("flow_stations.tb0", kList);
  fs::create_directory(sb.work() / "05AB001_Daily_Flow_ts.csv");
  const RunResult r = sb.run(kAnswers);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(tail(r.out, 3),
            " discharge_sites.xyz written\n"
            " Error opening " +
                kHistName +
                "\n"
                "Gaumo aborted @ 323\n");
  EXPECT_EQ(files_left(sb),
            "05AB001_Daily_Flow_ts.csv Gaumo_info.txt discharge_sites.xyz "
            "flow_stations.tb0 grapher_titles.csv nudge_flags.new | ");
  EXPECT_EQ(sb.read("Gaumo_info.txt"), "");
}

TEST(FailureFlowFiles, ProvisionalFileThatIsAFolderIsReportedAndSkipped) {
  Sandbox sb;
  sb.write("flow_stations.tb0", kList);
  sb.write("05AB001_Daily_Flow_ts.csv", kHistorical);
  fs::create_directory(sb.work() / "Flow_05AB001.csv");
  const RunResult r = sb.run(kAnswers);
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(
      r.out.find("            1" + kProvName + "\n Error opening " + kProvName +
                 "\n" + kOpenedProv + kClosedProv + " ng =           1\n"),
      std::string::npos);
  EXPECT_EQ(sb.read("Gaumo_info.txt"),
            kOpenedHist + kOpenedProv + kClosedProv + kClosedTb0);
  const std::string tb0 = sb.read_parent("20100101_str.tb0");
  EXPECT_EQ(tb0_day(tb0, 2), "                           2.500");
  EXPECT_EQ(tb0_day(tb0, 3), "                          -1.000");
}

TEST(FailureFlowFiles, BadRecordsAndDatesWithoutASlotAreLoggedAndSkipped) {
  Sandbox sb;
  sb.write("flow_stations.tb0", kList);
  sb.write("05AB001_Daily_Flow_ts.csv",
           "ID,PARAM,Date,Value,SYM\n"
           "05AB001,1,2010/01/01,1.5,B\n"
           "05AB001,1,2010/13/01,9.0,B\n"    // month 13
           "05AB001,1,2010/01/00,9.0,B\n"    // day 0 of January
           "05AB001,1,2010/12/9000,9.0,B\n"  // beyond the time axis
           "05AB001,1,2010/12/40,9.0,B\n"    // a slot nothing reads: silent
           "05AB001,1,2010/01/x2,9.0,B\n"    // day not a number
           "05AB001,1,2010/01/03\n"          // fewer than six values
           "05AB001,1,99999/01/04,9.0,B\n"   // year beyond 16 bits
           "05AB001,1,1999/13/01,9.0,B\n"    // outside the years: silent
           "05AB001,1,1999/01/x,9.0,B\n"     // a parse failure still counts
           "05AB001,1,2010/01/02,2.5\n");
  sb.write("Flow_05AB001.csv",
           "ID,Date,Value\n"
           "05AB001,2010-06-30\n"
           "05AB001,2010-13-01,4.0\n"
           "05AB001,2010-01-03,3.5\n");
  const RunResult r = sb.run(kAnswers);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(sb.read("Gaumo_info.txt"), kOpenedHist +
                                           "Error:  05AB001 2010   13    1\n"
                                           "Error:  05AB001 2010    1    0\n"
                                           "Error:  05AB001 2010   12 9000\n"
                                           "Error:  05AB001 2010    1   40\n"
                                           "Error:  05AB001 2010    1    3\n"
                                           "Error:  05AB001 2010    1    3\n"
                                           "Error:  05AB001 1999    1    1\n" +
                                           kOpenedProv +
                                           "Error:  05AB001 2010    6   30\n"
                                           "Error:  05AB001 2010   13    1\n" +
                                           kClosedProv + kClosedTb0);
  const std::string tb0 = sb.read_parent("20100101_str.tb0");
  EXPECT_EQ(tb0_day(tb0, 1), "                           1.500");
  EXPECT_EQ(tb0_day(tb0, 2), "                           2.500");
  EXPECT_EQ(tb0_day(tb0, 3), "                           3.500");
  EXPECT_EQ(tb0_day(tb0, 4), "                          -1.000");
  EXPECT_EQ(tb0_day(tb0, 181), "                          -1.000");
  EXPECT_EQ(sb.read("flow_recl.txt"),
            "        station 2010\n\n    1   05AB001    3\n");
}

TEST(FailureFlowFiles, BinaryGarbageAndNulBytesInDataFilesAreIgnored) {
  const std::string all_bytes = every_byte();
  Sandbox sb;
  sb.write("flow_stations.tb0", kList);
  sb.write("05AB001_Daily_Flow_ts.csv",
           "ID\n" + all_bytes + all_bytes + "\n" + std::string(3, '\0') +
               "\n05AB001,1,2010/01/01,1.5\n" + all_bytes +
               "\n05AB001,1,2010/01/02,2.5\n" + std::string(600, '\0'));
  sb.write(
      "Flow_05AB001.csv",
      "ID\n" + all_bytes + "\n05AB001,2010-01-03,3.5\n" + std::string(1, '\0'));
  const RunResult r = sb.run(kAnswers);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(tail(r.out, 2), tail(closing_transcript(), 2));
  const std::string tb0 = sb.read_parent("20100101_str.tb0");
  EXPECT_EQ(tb0_day(tb0, 1), "                           1.500");
  EXPECT_EQ(tb0_day(tb0, 2), "                           2.500");
  EXPECT_EQ(tb0_day(tb0, 3), "                           3.500");
  EXPECT_EQ(tb0_day(tb0, 4), "                          -1.000");
}

TEST(FailureStationList, BinaryGarbageEndsCleanlyOrIsReadAsText) {
  const std::string all_bytes = every_byte();
  const struct {
    std::string what, list;
    int status;
    std::string last;
  } cases[] = {
      {"garbage only", all_bytes + all_bytes, 1,
       " flow_stations.tb0:3: end of file in the header (no \":EndHeader\""
       " line)\n"},
      // The "/" among the bytes ends each row's values: two stations at 0,0.
      {"garbage rows", ":EndHeader\n" + all_bytes + all_bytes, 0, kStarLine},
      {"NUL in a name",
       ":EndHeader\n05AB001 AB \"NORTH\0RIVER\" A X 51 -115 7\n"s +
           "\0\0\0 AB N A X 1 2 3\n"s,
       0, kStarLine},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Sandbox sb;
    sb.write("flow_stations.tb0", c.list);
    const RunResult r = sb.run(kAnswers);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(last_line(r.out), c.last);
    if (c.status == 0) {
      EXPECT_EQ(split_lines(sb.read("nudge_flags.new")).size(), 2u);
    }
  }
}

TEST(FailureLongLines, HundredThousandCharacterLinesAreCutNotFatal) {
  const std::string longword(100000, 'N');
  Sandbox sb;
  sb.write("flow_stations.tb0", "# " + longword + "\n:EndHeader\n05AB001 AB " +
                                    longword + " A X 51.1722 -115.5717 2210 " +
                                    longword + "\n");
  sb.write("05AB001_Daily_Flow_ts.csv",
           "ID," + longword + "\n" + longword +
               "\n05AB001,1,2010/01/01,1.5,B," + std::string(100000, '9') +
               "\n05AB001,1,2010/01/02," + std::string(100000, ' ') + "2.5\n");
  sb.write("Flow_05AB001.csv",
           "ID\n05AB001,2010-01-03,3.5," + std::string(100000, '-') + "\n");
  const RunResult r = sb.run(kAnswers);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(sb.read("nudge_flags.new"),
            "    -115.572      51.172    1     05AB001     " +
                std::string(40, 'N') + "     2210.\n");
  EXPECT_EQ(sb.read("grapher_titles.csv"),
            "    1,05AB001,\"" + std::string(60, 'N') + "\",     2210.\n");
  const std::string tb0 = sb.read_parent("20100101_str.tb0");
  EXPECT_EQ(tb0_day(tb0, 1), "                           1.500");
  // The value stands beyond column 512, where a record is no longer seen,
  // so the record runs out of values.
  EXPECT_EQ(tb0_day(tb0, 2), "                          -1.000");
  EXPECT_NE(
      sb.read("Gaumo_info.txt").find("\nError:  05AB001 2010    1    2\n"),
      std::string::npos);
  EXPECT_EQ(tb0_day(tb0, 3), "                           3.500");
}

TEST(FailureLongLines, CarriageReturnLineEndsGiveTheSameOutputsAsLineFeeds) {
  const std::string list = "# list\n:EndHeader\n" + kRow1 +
                           "05AB002 AB 'SOUTH RIVER' A X 50.5 -114.25 75";
  const std::string hist = kHistorical + "05AB001,1,2010/01/03,3.5,";
  const std::string prov = "ID,Date,Value\n05AB002,2010-01-04,4.5\n";
  auto crlf = [](const std::string& s) {
    std::string t;
    for (char c : s) {
      t += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    return t;
  };
  Sandbox lf, cr;
  lf.write("flow_stations.tb0", list);
  lf.write("05AB001_Daily_Flow_ts.csv", hist);
  lf.write("Flow_05AB002.csv", prov);
  // A CR right before the end of the file, with no LF after it, counts too.
  cr.write("flow_stations.tb0", crlf(list) + "\r");
  cr.write("05AB001_Daily_Flow_ts.csv", crlf(hist) + "\r");
  cr.write("Flow_05AB002.csv", crlf(prov));
  const RunResult a = lf.run("n\n2010\n2010\n");
  const RunResult b = cr.run("n\r\n2010\r\n2010\r\n");
  EXPECT_EQ(a.status, 0);
  EXPECT_EQ(b.status, 0);
  EXPECT_EQ(mask_banner(b.out), mask_banner(a.out));
  for (const char* f :
       {"nudge_flags.new", "grapher_titles.csv", "discharge_sites.xyz",
        "flow_recl.txt", "flow_flag.txt", "Gaumo_info.txt"}) {
    EXPECT_EQ(cr.read(f), lf.read(f)) << f;
  }
  const std::string tb0 =
      mask_creation_date(lf.read_parent("20100101_str.tb0"));
  EXPECT_EQ(mask_creation_date(cr.read_parent("20100101_str.tb0")), tb0);
  EXPECT_EQ(tb0_day(tb0, 3), "                           3.500      -1.000");
  EXPECT_EQ(tb0_day(tb0, 4), "                          -1.000       4.500");
}

TEST(FailureOutputs, Tb0FileThatCannotBeCreatedStopsAfterTheEarlierYears) {
  Sandbox sb;
  sb.write("flow_stations.tb0", kList);
  sb.write("05AB001_Daily_Flow_ts.csv", kHistorical);
  fs::create_directory(sb.parent() / "20100101_str.tb0");
  const RunResult r = sb.run("n\n2009\n2011\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(
      tail(r.out, 5),
      " Closed unit          999 Filename=  ../20090101_str.tb0           \n"
      " Error opening ../20100101_str.tb0" +
          std::string(41, ' ') +
          " on unit=         999\n"
          " ios =           21\n"
          "\n"
          "in write_r2c @ 83\n");
  EXPECT_EQ(files_left(sb),
            "05AB001_Daily_Flow_ts.csv Gaumo_info.txt discharge_sites.xyz "
            "flow_stations.tb0 grapher_titles.csv nudge_flags.new | "
            "20090101_str.tb0 20100101_str.tb0");
  const auto rows = split_lines(sb.read_parent("20090101_str.tb0"));
  ASSERT_EQ(rows.size(), 38u + 365u);
  EXPECT_EQ(rows.back(), "                          -1.000");
}

TEST(FailureOutputs, OutputThatCannotBeWrittenEndsTheRunWithErrorWriting) {
  const struct {
    std::string link, message, not_written;
  } cases[] = {
      {"nudge_flags.new", " Error writing nudge_flags.new",
       "grapher_titles.csv"},
      {"grapher_titles.csv", " Error writing grapher_titles.csv",
       "discharge_sites.xyz"},
      {"discharge_sites.xyz", " Error writing discharge_sites.xyz",
       "flow_recl.txt"},
      {"../20100101_str.tb0", " Error writing ../20100101_str.tb0",
       "flow_recl.txt"},
      {"flow_recl.txt", " Error writing flow_recl.txt", "flow_flag.txt"},
      {"flow_flag.txt", " Error writing flow_flag.txt", "<none>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.link);
    Sandbox sb;
    sb.write("flow_stations.tb0", kList);
    sb.write("05AB001_Daily_Flow_ts.csv", kHistorical);
    fs::create_symlink("/dev/full", sb.work() / c.link);
    const RunResult r = sb.run(kAnswers);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(last_line(r.out), c.message + "\n");
    EXPECT_FALSE(sb.exists(c.not_written));
    EXPECT_EQ(r.out.find("See file Gaumo_info.txt"), std::string::npos);
  }
}

TEST(FailureOutputs, InformationFileOnAFullDiskIsNotReported) {
  Sandbox full, plain;
  for (Sandbox* sb : {&full, &plain}) {
    sb->write("flow_stations.tb0", kList);
    sb->write("05AB001_Daily_Flow_ts.csv", kHistorical);
  }
  fs::create_symlink("/dev/full", full.work() / "Gaumo_info.txt");
  const RunResult a = full.run(kAnswers);
  const RunResult b = plain.run(kAnswers);
  EXPECT_EQ(a.status, 0);
  EXPECT_EQ(a.out, b.out);
  EXPECT_EQ(mask_creation_date(full.read_parent("20100101_str.tb0")),
            mask_creation_date(plain.read_parent("20100101_str.tb0")));
}

TEST(FailureOutputs, InformationFileThatIsAFolderSendsItsLinesToTheConsole) {
  Sandbox sb;
  sb.write("flow_stations.tb0", kList);
  sb.write("05AB001_Daily_Flow_ts.csv",
           kHistorical + "05AB001,1,2010/13/01,1,\n");
  fs::create_directory(sb.work() / "Gaumo_info.txt");
  const RunResult r = sb.run(kAnswers);
  EXPECT_EQ(r.status, 0);
  const std::string out = mask_banner(r.out);
  const std::string start = dialogue_transcript() +
                            " Warning: Gaumo_info.txt could not be opened\n"
                            " flow_stations.tb0 found\n";
  EXPECT_EQ(out.substr(0, start.size()), start);
  // Lines meant for both places appear once; lines meant for the file alone
  // are not lost.
  EXPECT_EQ(count_of(out, " Opened unit=         101 filename=05AB001_Daily"),
            1u);
  EXPECT_EQ(count_of(out, " Closed unit          999 Filename="), 1u);
  EXPECT_EQ(count_of(out, "\nError:  05AB001 2010   13    1\n"), 1u);
  EXPECT_EQ(tail(out, 3), tail(closing_transcript(), 3));
}

TEST(FailureYearRange, TooManyYearsForTheStationArraysStopCleanly) {
  // station_n alone needs 2e9 years x 4 bytes per station: take enough
  // stations to exceed this machine's memory.
  const long stations = std::min(1000L, physical_memory() / 8000000000L + 1);
  Sandbox sb;
  sb.write("flow_stations.tb0", station_list(static_cast<int>(stations)));
  const RunResult r = sb.run("n\n1\n2000000000\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(last_line(r.out),
            "Warning: error with allocation of area12a arrays in tvr9\n");
  EXPECT_EQ(files_left(sb), "Gaumo_info.txt flow_stations.tb0 | ");
}

TEST(FailureYearRange, TooManyYearsForTheFlowTableStopCleanly) {
  // One station: the station arrays take 5 bytes a year, the flow table
  // 1464, so a table just beyond this machine's memory leaves the station
  // arrays small.
  const long years = physical_memory() / 1464 + 1;
  Sandbox sb;
  sb.write("flow_stations.tb0", kList);
  sb.write("05AB001_Daily_Flow_ts.csv", kHistorical);
  const RunResult r = sb.run("n\n1\n" + std::to_string(years) + "\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(tail(r.out, 2),
            " discharge_sites.xyz written\n"
            "Warning: error with allocation of outarray \n");
  EXPECT_EQ(sb.read("nudge_flags.new"), kNudgeRow1);
  EXPECT_EQ(files_left(sb),
            "05AB001_Daily_Flow_ts.csv Gaumo_info.txt discharge_sites.xyz "
            "flow_stations.tb0 grapher_titles.csv nudge_flags.new | ");
}

TEST(FailureYearRange, LastYearBeforeTheFirstWritesNoTb0File) {
  Sandbox sb;
  sb.write("flow_stations.tb0", kList);
  sb.write("05AB001_Daily_Flow_ts.csv", kHistorical);
  const RunResult r = sb.run("n\n2012\n2010\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.find("unit=         999"), std::string::npos);
  EXPECT_EQ(sb.read("flow_recl.txt"), "        station\n\n    1   05AB001\n");
  EXPECT_EQ(sb.read("flow_flag.txt"), "   station     \n\n    1   05AB001\n");
  EXPECT_EQ(files_left(sb).substr(files_left(sb).find('|')), "| ");
}

TEST(FailureYearRange, ThreeThousandYearsWithoutStationsAreNoFault) {
  Sandbox sb;
  const RunResult r = sb.run("n\n1\n3000\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(std::distance(fs::directory_iterator(sb.parent()),
                          fs::directory_iterator{}),
            3001);
  // The year takes exactly four characters, blanks included.
  const auto first = split_lines(sb.read_parent("   10101_str.tb0"));
  ASSERT_EQ(first.size(), 38u + 365u);
  EXPECT_EQ(first.back(), std::string(20, ' '));
  EXPECT_EQ(split_lines(sb.read_parent("30000101_str.tb0")).size(), 38u + 366u);
  EXPECT_EQ(split_lines(sb.read("flow_recl.txt")).at(0).size(),
            15u + 3000u * 5u);
}

}  // namespace
}  // namespace gaumo_test
