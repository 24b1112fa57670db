// End-to-end runs around the station list: the console dialogue, the two
// passes over flow_stations.tb0 and the three station listings.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace gaumo_test {
namespace {

const std::string kReverseYears = "n\n2015\n2010\n";

std::string last_line(const std::string& out) {
  const auto lines = split_lines(out);
  return lines.empty() ? std::string() : lines.back();
}

/// Everything but the last line (with its line end).
std::string all_but_last_line(const std::string& out) {
  const auto end =
      out.size() > 0 && out.back() == '\n' ? out.size() - 1 : out.size();
  const auto cut = out.rfind('\n', end == 0 ? 0 : end - 1);
  return cut == std::string::npos ? std::string() : out.substr(0, cut + 1);
}

/// The masked dialogue cut after the line of `question` and the empty line
/// that follows it: what a run shows before it fails to read that answer.
std::string dialogue_up_to(const std::string& question) {
  const std::string d = dialogue_transcript();
  const auto at = d.find(question);
  return d.substr(0, at + question.size() + 2);
}

// The worked example: the name is quoted, y comes before x in the list.
const std::string kMillRow =
    "01AB002 AB \"NORTH RIVER AT MILL\" ACTIVE X 51.1722 -115.5717 2210\n";

TEST(StationListRun, ShowsTheWholeConsoleTranscriptOfASmallList) {
  Sandbox box;
  box.write("flow_stations.tb0", ":EndHeader\n" + kMillRow +
                                     "05XY1 BC 'LAKE' A - 49.5 -120.25 15.5\n");
  box.write("01AB002_Daily_Flow_ts.csv",
            "ID,PARAM,Date,Value,SYM\n01AB002,1,2010/01/02,3.5,\n");
  const RunResult r = box.run("n\n2010\n2010\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  const std::string stages =
      " flow_stations.tb0 found\n"
      " Reading flow_stations.tb0\n"
      " found endheader\n"
      "            101AB002  NORTH RIVER AT MILL                               "
      "\n"
      "            205XY1    LAKE                                              "
      "\n"
      " no flow stations found =           2\n"
      "\n"
      " grapher_titles.csv written\n"
      "\n"
      " discharge_sites.xyz written\n"
      " Opened unit=         101 filename=01AB002_Daily_Flow_ts.csv     \n"
      " 05XY1  _Daily_Flow_ts.csv                                    not "
      "found\n"
      " Continuing to find the next listed file\n"
      " ng =           2\n"
      " is this ok?\n"
      " ****************************\n"
      " Looking for provisional data\n"
      " ****************************\n"
      "            1Flow_01AB002.csv                                           "
      " \n"
      " Flow_01AB002.csv                                             not "
      "found\n"
      " Continuing to find the next listed file\n"
      " Closed unit=         101 filename=Flow_01AB002.csv              \n"
      "            2Flow_05XY1  .csv                                           "
      " \n"
      " Flow_05XY1  .csv                                             not "
      "found\n"
      " Continuing to find the next listed file\n"
      " Closed unit=         102 filename=Flow_05XY1  .csv              \n"
      " ng =           2\n"
      " is this ok?\n"
      "\n"
      " Opened unit=         999 filename=../20100101_str.tb0           \n"
      " fn=         999\n"
      " Closed unit          999 Filename=  ../20100101_str.tb0           \n";
  EXPECT_EQ(mask_banner(r.out),
            dialogue_transcript() + stages + closing_transcript());
  EXPECT_EQ(
      box.read("Gaumo_info.txt"),
      " Opened unit=         101 filename=01AB002_Daily_Flow_ts.csv     \n"
      " Closed unit=         101 filename=Flow_01AB002.csv              \n"
      " Closed unit=         102 filename=Flow_05XY1  .csv              \n"
      " Closed unit          999 Filename=  ../20100101_str.tb0           \n");
}

TEST(StationListRun, WritesTheListingsOfAListThatUsesEveryFormOfField) {
  Sandbox box;
  // Header lines are never interpreted, whatever quotes or slashes they hold.
  const std::string list =
      "# list for \"listing\" checks / with 'odd' header text\r\n"
      "# id prov name status status lat lon area\n"
      "   :EndHeader\r\n"
      "02CD003, ON ,'O''BRIEN CREEK, N/W ARM',A,X,45.5,-75.25,12.4\r\n"
      "03EF00456\tQC\t\"THE \"\"BIG\"\" "
      "RIVER\"\tA\tX\t46.25\t-71.125\t2209.5\r\n"
      "\r\n"
      " \t \n"
      "05XY1 BC \"HEADWATERS OF THE GREAT NORTHERN RIVER BELOW THE CONFLUENCE "
      "WITH THE LITTLE SOUTH FORK NEAR THE OLD MILL\" A X 60.5 -130.75 0.4\n"
      "04GH005 NT \"CLEARWATER RIVER ABOVE THE FALLS AT THE NORTHERN BOUNDARY "
      "OF "
      "THE PARK\" A X 1.0E9 -0.0004 1.5e10\n"
      "06IJ007 AB \"SOUTH SASKATCHEWAN RIVER NEAR MEDICINE HAT CITY\" A X "
      "50.04 -110.68 1e5 anything after the area\n"
      "07KL008,X,,Y,Z,,,,\r\n" +
      kMillRow +
      "08MN009 NB \"TWIN FALLS\" A B 2*45.25 100\n"
      "09OP010 QC \"SLASH CREEK\" A B 47.5 / -80 99 comment\n";
  box.write("flow_stations.tb0", list);
  const RunResult r = box.run(kReverseYears);
  ASSERT_EQ(r.status, 0) << r.out;

  // An empty name leaves the count pass's buffer as the previous row left it.
  const std::string echo =
      " found endheader\n"
      "            102CD003  O'BRIEN CREEK, N/W ARM                            "
      "\n"
      "            203EF004  THE \"BIG\" RIVER                                 "
      "  \n"
      "            305XY1    HEADWATERS OF THE GREAT NORTHERN RIVER BELOW THE "
      "C\n"
      "            404GH005  CLEARWATER RIVER ABOVE THE FALLS AT THE NORTHERN "
      "B\n"
      "            506IJ007  SOUTH SASKATCHEWAN RIVER NEAR MEDICINE HAT CITY   "
      "\n"
      "            607KL008  SOUTH SASKATCHEWAN RIVER NEAR MEDICINE HAT CITY   "
      "\n"
      "            701AB002  NORTH RIVER AT MILL                               "
      "\n"
      "            808MN009  TWIN FALLS                                        "
      "\n"
      "            909OP010  SLASH CREEK                                       "
      "\n"
      " no flow stations found =           9\n";
  EXPECT_NE(r.out.find(echo), std::string::npos) << r.out;

  EXPECT_EQ(box.read("nudge_flags.new"),
            "     -75.250      45.500    1     02CD003     O'BRIEN CREEK, N/W "
            "ARM                         12.\n"
            "     -71.125      46.250    1     03EF004     THE \"BIG\" RIVER   "
            "                           2210.\n"
            "    -130.750      60.500    1     05XY1       HEADWATERS OF THE "
            "GREAT NORTHERN RIVER B        0.\n"
            "      -0.000************    1     04GH005     CLEARWATER RIVER "
            "ABOVE THE FALLS AT THE **********\n"
            "    -110.680      50.040    1     06IJ007     SOUTH SASKATCHEWAN "
            "RIVER NEAR MEDICINE H   100000.\n"
            "       0.000       0.000    1     07KL008                         "
            "                            0.\n"
            "    -115.572      51.172    1     01AB002     NORTH RIVER AT MILL "
            "                         2210.\n"
            "      45.250      45.250    1     08MN009     TWIN FALLS          "
            "                          100.\n"
            "       0.000      47.500    1     09OP010     SLASH CREEK         "
            "                            0.\n");
  EXPECT_EQ(box.read("grapher_titles.csv"),
            "    1,02CD003,\"O'BRIEN CREEK, N/W ARM                            "
            "          \",       12.\n"
            "    2,03EF004,\"THE \"BIG\" RIVER                                 "
            "            \",     2210.\n"
            "    3,05XY1  ,\"HEADWATERS OF THE GREAT NORTHERN RIVER BELOW THE "
            "CONFLUENCE \",        0.\n"
            "    4,04GH005,\"CLEARWATER RIVER ABOVE THE FALLS AT THE NORTHERN "
            "BOUNDARY OF\",**********\n"
            "    5,06IJ007,\"SOUTH SASKATCHEWAN RIVER NEAR MEDICINE HAT CITY   "
            "          \",   100000.\n"
            "    6,07KL008,\"                                                  "
            "          \",        0.\n"
            "    7,01AB002,\"NORTH RIVER AT MILL                               "
            "          \",     2210.\n"
            "    8,08MN009,\"TWIN FALLS                                        "
            "          \",      100.\n"
            "    9,09OP010,\"SLASH CREEK                                       "
            "          \",        0.\n");
  EXPECT_EQ(box.read("discharge_sites.xyz"),
            " xsta(i)  ysta(i)  i  idsta(i)  sta_name(i) dr_area(i)\n"
            "     -75.250      45.500    1     02CD003  \"O'BRIEN CREEK, N/W "
            "ARM                                      \"        12.\n"
            "     -71.125      46.250    2     03EF004  \"THE \"BIG\" RIVER    "
            "                                         \"      2210.\n"
            "    -130.750      60.500    3     05XY1    \"HEADWATERS OF THE "
            "GREAT NORTHERN RIVER BELOW THE CONFLUENCE \"         0.\n"
            "      -0.000************    4     04GH005  \"CLEARWATER RIVER "
            "ABOVE THE FALLS AT THE NORTHERN BOUNDARY OF\" **********\n"
            "    -110.680      50.040    5     06IJ007  \"SOUTH SASKATCHEWAN "
            "RIVER NEAR MEDICINE HAT CITY             \"    100000.\n"
            "       0.000       0.000    6     07KL008  \"                     "
            "                                       \"         0.\n"
            "    -115.572      51.172    7     01AB002  \"NORTH RIVER AT MILL  "
            "                                       \"      2210.\n"
            "      45.250      45.250    8     08MN009  \"TWIN FALLS           "
            "                                       \"       100.\n"
            "       0.000      47.500    9     09OP010  \"SLASH CREEK          "
            "                                       \"         0.\n");
}

TEST(StationListRun, GoesOnWithoutStationsWhenTheListIsMissing) {
  Sandbox box;
  box.write("nudge_flags.new", "kept from an earlier run\n");
  box.write("grapher_titles.csv", "    1,OLD0001,\"OLD\",        1.\n");
  const RunResult r = box.run(kReverseYears);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(mask_banner(r.out), dialogue_transcript() +
                                    " flow_stations.tb0 not found\n"
                                    " wrong directory?\n"
                                    "\n"
                                    " grapher_titles.csv written\n"
                                    "\n"
                                    " discharge_sites.xyz written\n"
                                    " ng =           0\n"
                                    " is this ok?\n"
                                    " ****************************\n"
                                    " Looking for provisional data\n"
                                    " ****************************\n"
                                    " ng =           0\n"
                                    " is this ok?\n" +
                                    closing_transcript());
  EXPECT_EQ(box.read("nudge_flags.new"), "kept from an earlier run\n");
  EXPECT_EQ(box.read("grapher_titles.csv"), "");
  EXPECT_EQ(box.read("discharge_sites.xyz"),
            " xsta(i)  ysta(i)  i  idsta(i)  sta_name(i) dr_area(i)\n");
}

TEST(StationListRun, ReadsAListWithoutRowsAsNoStations) {
  Sandbox box;
  box.write("flow_stations.tb0", "# no stations yet\r\n:EndHeader\r\n");
  box.write("nudge_flags.new", "kept from an earlier run\n");
  const RunResult r = box.run(kReverseYears);
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(mask_banner(r.out).find(dialogue_transcript() +
                                    " flow_stations.tb0 found\n"
                                    " Reading flow_stations.tb0\n"
                                    " found endheader\n"
                                    " no flow stations found =           0\n"
                                    "\n"
                                    " grapher_titles.csv written\n"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(box.read("nudge_flags.new"), "");
  EXPECT_EQ(box.read("grapher_titles.csv"), "");
  EXPECT_EQ(box.read("discharge_sites.xyz"),
            " xsta(i)  ysta(i)  i  idsta(i)  sta_name(i) dr_area(i)\n");
}

TEST(StationListRun, EndsTheHeaderOnlyAtAFirstWordStartingWithEndHeader) {
  Sandbox box;
  // Rows above the real end of the header are header text, not stations.
  box.write("flow_stations.tb0",
            ":endHeader\n"
            "99ZZ001 AB \"HEADER ROW\" A X 1.0 2.0 3\n"
            ":ENDHEADER\n"
            "# :EndHeader\n"
            "EndHeader\n"
            "  :EndHeader_v2 trailing words\n" +
                kMillRow);
  const RunResult r = box.run(kReverseYears);
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find(" found endheader\n"
                       "            101AB002  NORTH RIVER AT MILL              "
                       "                 \n"
                       " no flow stations found =           1\n"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(box.read("nudge_flags.new"),
            "    -115.572      51.172    1     01AB002     NORTH RIVER AT MILL "
            "                         2210.\n");
}

std::string numbered_rows(int count) {
  std::string rows = ":EndHeader\n";
  for (int k = 1; k <= count; ++k) {
    char id[16];
    std::snprintf(id, sizeof id, "ST%05d", k);
    rows += std::string(id) + " AB NAME A X 50.0 -100.0 " + std::to_string(k) +
            "\n";
  }
  return rows;
}

TEST(StationListRun, AcceptsExactlyOneThousandStations) {
  Sandbox box;
  box.write("flow_stations.tb0", numbered_rows(1000));
  const RunResult r = box.run(kReverseYears);
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("        1000ST01000  NAME" + std::string(46, ' ') +
                       "\n no flow stations found =        1000\n"),
            std::string::npos);
  const auto nudge = split_lines(box.read("nudge_flags.new"));
  ASSERT_EQ(nudge.size(), 1000u);
  EXPECT_EQ(nudge.back(), "    -100.000      50.000    1     ST01000     NAME" +
                              std::string(36, ' ') + "     1000.");
  EXPECT_EQ(last_line(box.read("grapher_titles.csv")),
            " 1000,ST01000,\"NAME" + std::string(56, ' ') + "\",     1000.");
  EXPECT_EQ(mask_banner(r.out).substr(mask_banner(r.out).size() -
                                      closing_transcript().size()),
            closing_transcript());
}

TEST(StationListRun, StopsAtTheThousandAndFirstStation) {
  Sandbox box;
  box.write("flow_stations.tb0", numbered_rows(1001));
  const RunResult r = box.run(kReverseYears);
  EXPECT_EQ(r.status, 1);
  const std::string tail = "        1000ST01000  NAME" + std::string(46, ' ') +
                           "\n"
                           " Only 1000 stations are allowed\n"
                           " Array bounds need to be increased in the code\n"
                           "Program aborted @ 247\n";
  ASSERT_GE(r.out.size(), tail.size());
  EXPECT_EQ(r.out.substr(r.out.size() - tail.size()), tail);
  EXPECT_EQ(r.out.find("ST01001"), std::string::npos);
  EXPECT_FALSE(box.exists("nudge_flags.new"));
  EXPECT_FALSE(box.exists("grapher_titles.csv"));
}

TEST(StationListRun, ReportsABadLatitudeWithTheFileAndLineAsTheLastLine) {
  Sandbox box;
  box.write("flow_stations.tb0",
            "# header\n:EndHeader\n" + kMillRow +
                "\n02AB003 AB \"M\" A X 4x9.1 -115.0 10\n");
  const RunResult r = box.run(kReverseYears);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(mask_banner(all_but_last_line(r.out)),
            dialogue_transcript() +
                " flow_stations.tb0 found\n"
                " Reading flow_stations.tb0\n"
                " found endheader\n"
                "            101AB002  NORTH RIVER AT MILL                     "
                "          \n"
                "            202AB003  M                                       "
                "          \n"
                " no flow stations found =           2\n");
  const std::string message = last_line(r.out);
  EXPECT_EQ(message.rfind(" flow_stations.tb0", 0), 0u) << message;
  EXPECT_TRUE(std::regex_search(message, std::regex("(^|[^0-9.])5([^0-9.]|$)")))
      << message;
  EXPECT_NE(message.find("4x9.1"), std::string::npos) << message;
  EXPECT_FALSE(box.exists("grapher_titles.csv"));
}

TEST(StationListRun, EndsWithOneMessageLineWhenTheListCannotBeRead) {
  struct Case {
    const char* what;
    std::string list;
  };
  const Case cases[] = {
      {"no end of header", "# header\n:endHeader\n" + kMillRow},
      {"blank line after the last row", ":EndHeader\n" + kMillRow + "\n"},
      {"row without its area",
       ":EndHeader\n01AB002 AB \"N\" A X 51.0 -115.0\n"},
      {"area not a number",
       ":EndHeader\n01AB002 AB \"N\" A X 51.0 -115.0 abc\n"},
      {"longitude not a number",
       ":EndHeader\n01AB002 AB \"N\" A X 51.0 1.5E 10\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Sandbox box;
    box.write("flow_stations.tb0", c.list);
    const RunResult r = box.run(kReverseYears);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(last_line(r.out).find("flow_stations.tb0"), std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find("Program aborted"), std::string::npos);
    EXPECT_FALSE(box.exists("grapher_titles.csv"));
  }
}

/// Every output of a run, in one text, so two runs can be compared whole.
std::string everything(const Sandbox& box, const RunResult& r) {
  std::string s =
      "status " + std::to_string(r.status) + "\n" + mask_banner(r.out);
  for (const char* f :
       {"Gaumo_info.txt", "nudge_flags.new", "grapher_titles.csv",
        "discharge_sites.xyz", "flow_recl.txt", "flow_flag.txt"}) {
    s += std::string("== ") + f + "\n" + box.read(f);
  }
  return s + "== tb0\n" +
         mask_creation_date(box.read_parent("20100101_str.tb0"));
}

TEST(StationListRun, ReadsACommaOnEachSideOfARowsLineEndAsAnEmptyField) {
  const std::string head = "# header\n:EndHeader\n" + kMillRow;
  // Field 5 is empty, so "X" on line 5 is the latitude, field 6.
  Sandbox bad;
  bad.write("flow_stations.tb0",
            head + "05AB001,AB,\"N\",A,\n,X,50,-110,100\n");
  const RunResult r = bad.run(kReverseYears);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("            205AB001  N       "), std::string::npos)
      << r.out;
  const std::string message = last_line(r.out);
  EXPECT_EQ(message.rfind(" flow_stations.tb0", 0), 0u) << message;
  EXPECT_TRUE(std::regex_search(message, std::regex("(^|[^0-9.])5([^0-9.]|$)")))
      << message;
  EXPECT_TRUE(std::regex_search(message, std::regex("(^|[^0-9.])6([^0-9.]|$)")))
      << message;
  EXPECT_NE(message.find("\"X\""), std::string::npos) << message;
  EXPECT_FALSE(bad.exists("grapher_titles.csv"));

  // After a value the comma first on the next line only separates.
  Sandbox good;
  good.write("flow_stations.tb0",
             head + "05AB001,AB,\"N\",A\n,X,50,-110,100\n");
  EXPECT_EQ(good.run(kReverseYears).status, 0);
  EXPECT_EQ(split_lines(good.read("nudge_flags.new")).back(),
            "    -110.000      50.000    1     05AB001     N" +
                std::string(45, ' ') + "100.");
}

TEST(StationListRun,
     StartsRowsAndHeaderLinesOnTheirFirstLineThatHoldsSomething) {
  // A row opening with a comma has an empty identifier.
  const std::string row = ",AB,\"EMPTY ID\",A,X,50,-110,100\n";
  Sandbox plain;
  plain.write("flow_stations.tb0", ":EndHeader\n" + kMillRow + row);
  const std::string rows = everything(plain, plain.run(kReverseYears));
  EXPECT_NE(
      rows.find("\n    -110.000      50.000    1                 EMPTY ID"),
      std::string::npos)
      << rows;
  for (const char* blanks : {"\n", " \t\r\n\n"}) {
    SCOPED_TRACE(blanks);
    Sandbox box;
    box.write("flow_stations.tb0", ":EndHeader\n" + kMillRow + blanks + row);
    EXPECT_EQ(everything(box, box.run(kReverseYears)), rows);
  }

  // ", :EndHeader" has an empty first value: it does not end the header.
  Sandbox reference;
  reference.write("flow_stations.tb0", ":EndHeader\n" + kMillRow);
  const std::string expected =
      everything(reference, reference.run(kReverseYears));
  for (const char* header : {"# h\n, :EndHeader\n", "# h\n\n, :EndHeader\n",
                             "\n \n, :EndHeader\n", ", :EndHeader\n"}) {
    SCOPED_TRACE(header);
    Sandbox box;
    box.write("flow_stations.tb0", header + (":EndHeader\n" + kMillRow));
    EXPECT_EQ(everything(box, box.run(kReverseYears)), expected);
  }
}

TEST(Dialogue, IgnoresTheNaturalFlowsAnswerBlankLinesAndTextAfterTheYear) {
  const std::string list = ":EndHeader\n" + kMillRow;
  const std::string flows =
      "ID,PARAM,Date,Value,SYM\n01AB002,1,2010/03/01,7.25,\n";
  Sandbox reference;
  reference.write("flow_stations.tb0", list);
  reference.write("01AB002_Daily_Flow_ts.csv", flows);
  const std::string expected =
      everything(reference, reference.run("n\n2010\n2010\n"));
  ASSERT_NE(expected.find("       7.250"), std::string::npos) << expected;

  for (const char* answers :
       {"y\n2010\n2010\n", "\n  \nyes please\n\n\t\n2010\n\n2010\n",
        "n\n2010  / comment\n2010,2011 3\n", "N\r\n 2010\t\r\n2010\r\n",
        "/\n2010\n2010\n"}) {
    SCOPED_TRACE(answers);
    Sandbox box;
    box.write("flow_stations.tb0", list);
    box.write("01AB002_Daily_Flow_ts.csv", flows);
    EXPECT_EQ(everything(box, box.run(answers)), expected);
  }
}

TEST(Dialogue, StopsWithOneMessageLineOnAnAnswerThatIsNotAYear) {
  const std::string natural = "Would you like to run with natural flows y/n?";
  const std::string first = "What year would you like to start with yyyy?";
  const std::string last = "enter the last year";
  struct Case {
    const char* answers;
    std::string asked;  ///< the question whose answer fails
    const char* shown;  ///< text the message must quote, if any
  };
  const Case cases[] = {
      {"n\ntwo thousand\n2010\n", first, "two"},
      {"n\n1996.0\n2010\n", first, "1996.0"},
      {"n\n99999999999\n2010\n", first, "99999999999"},
      {"n\n2010\n,\n", last, ","},
      {"n\n2010\n/\n", last, "/"},
      {"n\n2010\n3*\n", last, "3*"},
      {"n\n2010\n", last, ""},
      {"n\n", first, ""},
      {"", natural, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answers);
    Sandbox box;
    box.write("flow_stations.tb0", ":EndHeader\n" + kMillRow);
    const RunResult r = box.run(c.answers);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(mask_banner(all_but_last_line(r.out)), dialogue_up_to(c.asked));
    const std::string message = last_line(r.out);
    EXPECT_GT(message.size(), 1u);
    EXPECT_EQ(message[0], ' ');
    EXPECT_NE(message.find(c.shown), std::string::npos) << message;
    EXPECT_FALSE(box.exists("Gaumo_info.txt"));
    EXPECT_FALSE(box.exists("nudge_flags.new"));
  }
}

TEST(Dialogue, WritesNoYearlyFileWhenTheLastYearComesFirst) {
  Sandbox box;
  box.write("flow_stations.tb0", ":EndHeader\n" + kMillRow);
  box.write("01AB002_Daily_Flow_ts.csv",
            "ID,PARAM,Date,Value,SYM\n01AB002,1,2012/03/01,7.25,\n");
  const RunResult r = box.run(kReverseYears);
  EXPECT_EQ(r.status, 0);
  const std::string out = mask_banner(r.out);
  EXPECT_EQ(out.substr(out.size() - closing_transcript().size()),
            closing_transcript());
  EXPECT_EQ(out.find("Opened unit=         999"), std::string::npos);
  for (const auto& e : std::filesystem::directory_iterator(box.parent())) {
    EXPECT_NE(e.path().extension(), ".tb0") << e.path();
  }
  EXPECT_EQ(box.read("flow_recl.txt"), "        station\n\n    1   01AB002\n");
  EXPECT_EQ(box.read("flow_flag.txt"), "   station     \n\n    1   01AB002\n");
}

TEST(CommandLine, AnswersHelpAndVersionAndRefusesAnythingElse) {
  struct Case {
    const char* args;
    int status;
  };
  for (const Case& c :
       {Case{"--help", 0}, Case{"--version", 0}, Case{"--frobnicate", 2},
        Case{"-h", 2}, Case{"--help --version", 2}, Case{"2010", 2}}) {
    SCOPED_TRACE(c.args);
    Sandbox box;
    box.write("flow_stations.tb0", ":EndHeader\n" + kMillRow);
    const RunResult r = box.run("n\n2010\n2010\n", c.args);
    EXPECT_EQ(r.status, c.status);
    if (c.status == 0) {
      EXPECT_EQ(r.err, "");
      EXPECT_NE(r.out, "");
    } else {
      EXPECT_EQ(r.out, "");
      EXPECT_EQ(split_lines(r.err).size(), 1u) << r.err;
    }
    // Neither answer nor refusal may start a conversion.
    EXPECT_FALSE(box.exists("Gaumo_info.txt"));
    EXPECT_FALSE(box.exists("nudge_flags.new"));
  }
  Sandbox box;
  const RunResult help = box.run("", "--help");
  for (const char* word :
       {"flow_stations.tb0", "_Daily_Flow_ts.csv", "nudge_flags.new",
        "Gaumo_info.txt", "0101_str.tb0"}) {
    EXPECT_NE(help.out.find(word), std::string::npos) << word;
  }
}

}  // namespace
}  // namespace gaumo_test
