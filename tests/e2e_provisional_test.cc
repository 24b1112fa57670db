// Provisional files filling the gaps of the historical ones, the availability
// counts and flags, and the console and information-file record of a run.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace gaumo_test {
namespace {

namespace chr = std::chrono;

std::string blanks(std::size_t n) { return std::string(n, ' '); }

/// `text` followed by blanks up to `width` characters.
std::string pad(const std::string& text, std::size_t width) {
  return text + blanks(width - text.size());
}

std::string lines(const std::vector<std::string>& ls) {
  std::string s;
  for (const auto& l : ls)
    s += l + "\n";
  return s;
}

std::string station_list(const std::vector<std::string>& rows) {
  std::string s = "#\n:EndHeader\n";
  for (const auto& r : rows)
    s += r + "\n";
  return s;
}

/// Historical records of `id`, one per day from `first` to `last`
/// inclusive, all with flow `value`, except the days in `gaps`.
std::string historical_days(const std::string& id, chr::year_month_day first,
                            chr::year_month_day last, const std::string& value,
                            const std::vector<chr::year_month_day>& gaps = {}) {
  std::string s = "ID,PARAM,Date,Value,SYM\n";
  for (chr::sys_days d{first}; d <= chr::sys_days{last}; d += chr::days{1}) {
    const chr::year_month_day ymd{d};
    bool gap = false;
    for (const auto& g : gaps)
      gap = gap || g == ymd;
    if (gap)
      continue;
    char date[16];
    std::snprintf(
        date, sizeof date, "%04d/%02u/%02u", static_cast<int>(ymd.year()),
        static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()));
    s += id + ",1," + date + "," + value + ",B\n";
  }
  return s;
}

/// The data rows of a one-station tb0 file of `days` days: -1.000 except in
/// `cells`.
std::string rows(int days, const std::map<int, std::string>& cells) {
  std::string s;
  for (int d = 1; d <= days; ++d) {
    const auto it = cells.find(d);
    const std::string c = it == cells.end() ? "-1.000" : it->second;
    s += blanks(20) + blanks(12 - c.size()) + c + "\n";
  }
  return s;
}

std::string after_header(const std::string& tb0) {
  const std::string end = ":endHeader" + blanks(30) + "\n";
  const auto at = tb0.find(end);
  return at == std::string::npos ? "<no header end>" : tb0.substr(at + 41);
}

TEST(Provisional, FillsOnlyDaysStillWithoutAValue) {
  Sandbox sb;
  sb.write("flow_stations.tb0",
           station_list({"05AB001 AB NORTH ACTIVE X 51.0 -115.0 1"}));
  sb.write("05AB001_Daily_Flow_ts.csv",
           "ID,PARAM,Date,Value,SYM\n"
           "05AB001,1,2015/06/01,0.0,B\n"
           "05AB001,1,2015/06/02,,B\n"
           "05AB001,1,2015/06/07,-999,B\n");
  sb.write("Flow_05AB001.csv",
           // The first record is the header, whatever it holds.
           "05AB001,2015-06-09,9.9\n"
           "05AB001,2015-06-01,5.0\n"
           "05AB001,2015-06-02,6.0\n"
           "05AB001,2015-06-03,7.0\n"
           "05AB001,2015-06-03,8.0\n"
           "05AB001,2015-06-04,,A\n"
           "05AB001,2015-06-04,4.0\n"
           "05AB001,2015-06-05,-5.0\n"
           "05AB002,2015-06-06,6.0\n"
           "05AB001,2015-06-07,7.5\n"
           "05AB001,2015-06-30\n");
  const RunResult r = sb.run("n\n2015\n2015\n");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(after_header(sb.read_parent("20150101_str.tb0")),
            rows(365, {{152, "0.000"},
                       {153, "6.000"},
                       {154, "7.000"},
                       {155, "4.000"},
                       {158, "7.500"}}));
  EXPECT_EQ(
      sb.read("Gaumo_info.txt"),
      " Opened unit=         101 filename=05AB001_Daily_Flow_ts.csv     \n"
      " Opened unit=         101 filename=Flow_05AB001.csv              \n"
      "Error:  05AB001 2015    6   30\n"
      " Closed unit=         101 filename=Flow_05AB001.csv              \n"
      " Closed unit          999 Filename=  ../20150101_str.tb0           \n");
}

TEST(Provisional, FullRunLogsEveryStationFileOnConsoleAndInInfoFile) {
  Sandbox sb;
  sb.write("flow_stations.tb0",
           station_list({"05AB001 AB \"NORTH RIVER AT MILL\" ACTIVE X 51.1722 "
                         "-115.5717 2210",
                         "05CD002 AB SOUTH ACTIVE X 50.5 -114.25 10",
                         "05EF03 AB \"EAST CREEK\" ACTIVE X 49.75 -113.5 5",
                         "05GH004 AB WEST ACTIVE X 49.0 -112.0 1"}));
  sb.write("05AB001_Daily_Flow_ts.csv",
           "ID,PARAM,Date,Value,SYM\n"
           "05AB001,1,2015/06/01,1.5,B\n"
           "05AB001,1,2015/06/02,2.5,B\n"
           "05AB001,1,2015/06/03,3.5,B\n"
           "05AB001,1,2015/06/04,,B\n");
  sb.write("Flow_05AB001.csv",
           "ID,Date,Value\n05AB001,2015-06-04,4.5\n05AB001,2015-06-30\n");
  sb.write("05CD002_Daily_Flow_ts.csv",
           "ID,PARAM,Date,Value,SYM\n05CD002,1,2015/01/01,0.0,A\n");
  sb.write("Flow_05EF03 .csv", "");
  sb.write("05GH004_Daily_Flow_ts.csv",
           historical_days("05GH004", chr::year{2015} / 1 / 1,
                           chr::year{2015} / 12 / 31, "2.0"));
  sb.write("Flow_05GH004.csv", "ID,Date,Value\n");

  const RunResult r = sb.run("n\n2015\n2015\n");
  ASSERT_EQ(r.status, 0) << r.out;
  // Echoed names are shown at their full stored width: station names 50
  // characters, file names 60.
  const std::string console =
      dialogue_transcript() +
      lines(
          {" flow_stations.tb0 found",
           " Reading flow_stations.tb0",
           " found endheader",
           pad("            105AB001  NORTH RIVER AT MILL", 72),
           pad("            205CD002  SOUTH", 72),
           pad("            305EF03   EAST CREEK", 72),
           pad("            405GH004  WEST", 72),
           " no flow stations found =           4",
           "",
           " grapher_titles.csv written",
           "",
           " discharge_sites.xyz written",
           " Opened unit=         101 filename=05AB001_Daily_Flow_ts.csv     ",
           " Opened unit=         102 filename=05CD002_Daily_Flow_ts.csv     ",
           pad(" 05EF03 _Daily_Flow_ts.csv", 61) + " not found",
           " Continuing to find the next listed file",
           " Opened unit=         104 filename=05GH004_Daily_Flow_ts.csv     ",
           " ng =           4",
           " is this ok?",
           " ****************************",
           " Looking for provisional data",
           " ****************************",
           pad("            1Flow_05AB001.csv", 73),
           " Opened unit=         101 filename=Flow_05AB001.csv              ",
           " Closed unit=         101 filename=Flow_05AB001.csv              ",
           pad("            2Flow_05CD002.csv", 73),
           pad(" Flow_05CD002.csv", 61) + " not found",
           " Continuing to find the next listed file",
           " Closed unit=         102 filename=Flow_05CD002.csv              ",
           pad("            3Flow_05EF03 .csv", 73),
           " Opened unit=         103 filename=Flow_05EF03 .csv              ",
           " Closed unit=         103 filename=Flow_05EF03 .csv              ",
           pad("            4Flow_05GH004.csv", 73),
           " Opened unit=         104 filename=Flow_05GH004.csv              ",
           " Closed unit=         104 filename=Flow_05GH004.csv              ",
           " ng =           4",
           " is this ok?",
           "",
           " Opened unit=         999 filename=../20150101_str.tb0           ",
           " fn=         999",
           pad(" Closed unit          999 Filename=  ../20150101_str.tb0",
               67)}) +
      closing_transcript();
  EXPECT_EQ(mask_banner(r.out), console);
  EXPECT_EQ(
      sb.read("Gaumo_info.txt"),
      " Opened unit=         101 filename=05AB001_Daily_Flow_ts.csv     \n"
      " Opened unit=         102 filename=05CD002_Daily_Flow_ts.csv     \n"
      " Opened unit=         104 filename=05GH004_Daily_Flow_ts.csv     \n"
      " Opened unit=         101 filename=Flow_05AB001.csv              \n"
      "Error:  05AB001 2015    6   30\n"
      " Closed unit=         101 filename=Flow_05AB001.csv              \n"
      " Closed unit=         102 filename=Flow_05CD002.csv              \n"
      " Opened unit=         103 filename=Flow_05EF03 .csv              \n"
      " Closed unit=         103 filename=Flow_05EF03 .csv              \n"
      " Opened unit=         104 filename=Flow_05GH004.csv              \n"
      " Closed unit=         104 filename=Flow_05GH004.csv              \n"
      " Closed unit          999 Filename=  ../20150101_str.tb0           \n");
  EXPECT_EQ(sb.read("flow_recl.txt"),
            "        station 2015\n"
            "\n"
            "    1   05AB001    4\n"
            "    2   05CD002    1\n"
            "    3   05EF03     0\n"
            "    4   05GH004  365\n");
  EXPECT_EQ(sb.read("flow_flag.txt"),
            "   station      2015\n"
            "\n"
            "    1   05AB001    p\n"
            "    2   05CD002    p\n"
            "    3   05EF03     n\n"
            "    4   05GH004    y\n");
}

TEST(Availability, CountsOnlyTheFirst365DaysAndFlagsByThatCount) {
  using chr::year;
  Sandbox sb;
  sb.write("flow_stations.tb0",
           station_list({"05AA001 AB ONE ACTIVE X 51.0 -115.0 1",
                         "05AA002 AB TWO ACTIVE X 51.0 -115.0 1",
                         "05AA003 AB THREE ACTIVE X 51.0 -115.0 1",
                         "05AA004 AB FOUR ACTIVE X 51.0 -115.0 1",
                         "05AA005 AB FIVE ACTIVE X 51.0 -115.0 1"}));
  // 2015: every day; 2016 (leap): 31 December only.
  sb.write("05AA001_Daily_Flow_ts.csv",
           historical_days("05AA001", year{2015} / 1 / 1, year{2015} / 12 / 31,
                           "1.0") +
               "05AA001,1,2016/12/31,1.0,B\n");
  // 2015: one day missing; 2016: all 366 days.
  sb.write("05AA002_Daily_Flow_ts.csv",
           historical_days("05AA002", year{2015} / 1 / 1, year{2016} / 12 / 31,
                           "2.0", {year{2015} / 7 / 1}));
  // 2015: a single day; 2016: nothing.
  sb.write("05AA003_Daily_Flow_ts.csv",
           "ID,PARAM,Date,Value,SYM\n05AA003,1,2015/12/31,3.0,B\n");
  // Zero flow counts as data; a leap year without 31 December is complete.
  sb.write("05AA004_Daily_Flow_ts.csv",
           historical_days("05AA004", year{2015} / 1 / 1, year{2016} / 12 / 30,
                           "0.0"));
  // 2015: one day negative; 2016: one day, from the provisional file only.
  sb.write("05AA005_Daily_Flow_ts.csv",
           historical_days("05AA005", year{2015} / 1 / 1, year{2015} / 12 / 31,
                           "5.0", {year{2015} / 3 / 3}) +
               "05AA005,1,2015/03/03,-999,B\n");
  sb.write("Flow_05AA005.csv", "ID,Date,Value\n05AA005,2016-02-29,0.0\n");

  const RunResult r = sb.run("n\n2015\n2016\n");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(sb.read("flow_recl.txt"),
            "        station 2015 2016\n"
            "\n"
            "    1   05AA001  365    0\n"
            "    2   05AA002  364  365\n"
            "    3   05AA003    1    0\n"
            "    4   05AA004  365  365\n"
            "    5   05AA005  364    1\n");
  EXPECT_EQ(sb.read("flow_flag.txt"),
            "   station      2015 2016\n"
            "\n"
            "    1   05AA001    y    n\n"
            "    2   05AA002    p    y\n"
            "    3   05AA003    p    n\n"
            "    4   05AA004    y    y\n"
            "    5   05AA005    p    p\n");
}

struct ReportCase {
  const char* name;
  const char* list;  ///< flow_stations.tb0, or nullptr for none
  const char* years;
  const char* recl;
  const char* flag;
};

TEST(Availability, ReportsWithoutStationsOrWithoutYearsKeepTheirFrame) {
  const char* const two_stations =
      "#\n:EndHeader\n"
      "05AB001 AB NORTH ACTIVE X 51.0 -115.0 1\n"
      "05CD002 AB SOUTH ACTIVE X 50.0 -114.0 1\n";
  const std::vector<ReportCase> cases = {
      {"empty list", "#\n:EndHeader\n", "2015\n2016\n",
       "        station 2015 2016\n\n", "   station      2015 2016\n\n"},
      {"no list", nullptr, "2015\n2016\n", "        station 2015 2016\n\n",
       "   station      2015 2016\n\n"},
      {"last year before first", two_stations, "2016\n2015\n",
       "        station\n\n    1   05AB001\n    2   05CD002\n",
       "   station     \n\n    1   05AB001\n    2   05CD002\n"},
      {"one year", two_stations, "1998\n1998\n",
       "        station 1998\n\n    1   05AB001    0\n    2   05CD002    0\n",
       "   station      1998\n\n    1   05AB001    n\n    2   05CD002    n\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Sandbox sb;
    if (c.list != nullptr)
      sb.write("flow_stations.tb0", c.list);
    const RunResult r = sb.run(std::string("n\n") + c.years);
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(sb.read("flow_recl.txt"), c.recl);
    EXPECT_EQ(sb.read("flow_flag.txt"), c.flag);
  }
}

}  // namespace
}  // namespace gaumo_test
