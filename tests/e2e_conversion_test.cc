// Historical station files in, yearly tb0 files out: whole files compared
// byte for byte, the creation stamp aside.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace gaumo_test {
namespace {

namespace fs = std::filesystem;
namespace chr = std::chrono;

using DayLine = std::function<std::string(int y, unsigned m, unsigned d)>;

std::string blanks(std::size_t n) { return std::string(n, ' '); }

std::string station_list(const std::vector<std::string>& rows,
                         const std::string& eol = "\n") {
  std::string s = "#" + eol + ":EndHeader" + eol;
  for (const auto& r : rows)
    s += r + eol;
  return s;
}

/// Every calendar day from `first` to `last` inclusive.
std::vector<chr::year_month_day> days(chr::year_month_day first,
                                      chr::year_month_day last) {
  std::vector<chr::year_month_day> v;
  for (chr::sys_days d{first}; d <= chr::sys_days{last}; d += chr::days{1}) {
    v.emplace_back(d);
  }
  return v;
}

/// One line per calendar day; a day for which `line` gives "" is left out.
std::string each_day(chr::year_month_day first, chr::year_month_day last,
                     const DayLine& line, const std::string& eol = "\n") {
  std::string s;
  for (const auto& ymd : days(first, last)) {
    const std::string l =
        line(static_cast<int>(ymd.year()), static_cast<unsigned>(ymd.month()),
             static_cast<unsigned>(ymd.day()));
    if (!l.empty())
      s += l + eol;
  }
  return s;
}

std::string slash_date(int y, unsigned m, unsigned d) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d/%02u/%02u", y, m, d);
  return buf;
}

/// A historical record as the download service writes it.
std::string historical(const std::string& id, int y, unsigned m, unsigned d,
                       const std::string& value) {
  return id + ",1," + slash_date(y, m, d) + "," + value + ",B";
}

constexpr const char* kCsvHeader = "ID,PARAM,Date,Value,SYM";

/// A data row: 20 blanks, then each cell right-aligned in 12 columns.
std::string row(const std::vector<std::string>& cells) {
  std::string s = blanks(20);
  for (const auto& c : cells)
    s += blanks(12 - c.size()) + c;
  return s + "\n";
}

/// One station's rows of a year of `days` days: -1.000 except in `cells`.
std::string rows(int days, const std::map<int, std::string>& cells) {
  std::string s;
  for (int d = 1; d <= days; ++d) {
    const auto it = cells.find(d);
    s += row({it == cells.end() ? "-1.000" : it->second});
  }
  return s;
}

std::string after_header(const std::string& tb0) {
  const std::string end = ":endHeader" + blanks(30) + "\n";
  const auto at = tb0.find(end);
  return at == std::string::npos ? "<no header end>" : tb0.substr(at + 40 + 1);
}

std::string line_starting(const std::string& text, const std::string& start) {
  const auto at = text.find("\n" + start);
  if (at == std::string::npos)
    return "<none>";
  return text.substr(at + 1, text.find('\n', at + 1) - at - 1);
}

std::string tb0_header(const std::string& start_date,
                       const std::string& metadata) {
  return "########################################\n"
         ":FileType tb0  ASCII  EnSim 1.0         \n"
         "#                                       \n"
         "# DataType               Time Series    \n"
         "#                                       \n"
         ":Application             EnSimHydrologic\n"
         ":Version                 2.1.23         \n"
         ":WrittenBy          rk_write_flow_tb0=Gaumo.exe             \n"
         ":CreationDate       YYYY-MM-DD  hh:mm\n"
         "#                                       \n"
         "#---------------------------------------\n"
         ":SourceFile                   flow_data                     \n"
         "#                                       \n"
         ":Name               streamflow                              \n"
         "#                                       \n"
         ":Projection         LATLONG   \n"
         ":Ellipsoid          WGS84     \n"
         "#                                       \n"
         ":StartDate          " +
         start_date +
         "\n"
         ":StartTime          00:00:00.0\n"
         "#                                       \n"
         ":AttributeUnits            1.0000000\n"
         ":DeltaT               24                \n"
         ":RoutingDeltaT         1                \n"
         "#                                       \n"
         ":ColumnMetaData                         \n" +
         metadata +
         ":EndColumnMetaData                      \n"
         ":endHeader                              \n";
}

const char* const kThreeStationMetadata =
    "   :ColumnUnits             m3/s        m3/s        m3/s\n"
    "   :ColumnType             float       float       float\n"
    "   :ColumnName           05AB001     05CD002     05EF003\n"
    "   :ColumnLocationX    -115.5717   -114.2500   -112.0000\n"
    "   :ColumnLocationY      51.1722     50.5000     49.0000\n"
    "   :coeff1           0.00000E+00 0.00000E+00 0.00000E+00\n"
    "   :coeff2           0.00000E+00 0.00000E+00 0.00000E+00\n"
    "   :coeff3           0.00000E+00 0.00000E+00 0.00000E+00\n"
    "   :coeff4           0.00000E+00 0.00000E+00 0.00000E+00\n"
    "   :value1                     1           1           1\n";

/// Station 05AB001 reports month.day as its flow, so a row that lands on the
/// wrong day shows at once.
std::string month_day_value(unsigned m, unsigned d) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%u.%02u0", m, d);
  return buf;
}

TEST(Conversion, WritesWholeYearlyFilesForACommonAndALeapYear) {
  using chr::year;
  for (const std::string eol : {"\n", "\r\n"}) {
    SCOPED_TRACE(eol == "\n" ? "LF" : "CR LF");
    Sandbox sb;
    sb.write("flow_stations.tb0",
             station_list({"05AB001 AB \"NORTH RIVER\" ACTIVE X 51.1722 "
                           "-115.5717 2210",
                           "05CD002 AB SOUTH ACTIVE X 50.5 -114.25 10",
                           "05EF003 AB EAST ACTIVE X 49.0 -112.0 1"},
                          eol));
    sb.write("05AB001_Daily_Flow_ts.csv",
             kCsvHeader + eol +
                 each_day(
                     year{1999} / 1 / 1, year{2000} / 12 / 31,
                     [](int y, unsigned m, unsigned d) {
                       if (y == 1999 && m == 7 && d == 4)
                         return std::string();
                       return historical("05AB001", y, m, d,
                                         month_day_value(m, d));
                     },
                     eol));
    sb.write("05CD002_Daily_Flow_ts.csv",
             kCsvHeader + eol + "05CD002,1,1999/03/01,0.0,B" + eol +
                 "05CD002,1,1999/12/31,123456789,B" + eol +
                 "05CD002,1,2000/03/01,-999,B" + eol +
                 "05CD002,1,2000/12/31,12345678.5,B" + eol);
    // Output of an earlier, longer run must not survive below the new rows.
    const std::string stale(400 * 367, 'x');
    sb.write_parent("19990101_str.tb0", stale);
    sb.write_parent("20000101_str.tb0", stale);

    const RunResult r = sb.run("n\n1999\n2000\n");
    ASSERT_EQ(r.status, 0) << r.out;

    std::string want_1999 = tb0_header("1999/01/01", kThreeStationMetadata);
    const auto days_1999 = days(year{1999} / 1 / 1, year{1999} / 12 / 31);
    ASSERT_EQ(days_1999.size(), 365u);
    for (std::size_t t = 1; t <= days_1999.size(); ++t) {
      const unsigned m = static_cast<unsigned>(days_1999[t - 1].month());
      const unsigned d = static_cast<unsigned>(days_1999[t - 1].day());
      const std::string ab =
          m == 7 && d == 4 ? "-1.000" : month_day_value(m, d);
      const std::string cd = t == 60    ? "0.000"
                             : t == 365 ? "************"
                                        : "-1.000";
      want_1999 += row({ab, cd, "-1.000"});
    }
    EXPECT_EQ(mask_creation_date(sb.read_parent("19990101_str.tb0")),
              want_1999);

    std::string want_2000 = tb0_header("2000/01/01", kThreeStationMetadata);
    const auto days_2000 = days(year{2000} / 1 / 1, year{2000} / 12 / 31);
    ASSERT_EQ(days_2000.size(), 366u);
    for (std::size_t t = 1; t <= days_2000.size(); ++t) {
      const unsigned m = static_cast<unsigned>(days_2000[t - 1].month());
      const unsigned d = static_cast<unsigned>(days_2000[t - 1].day());
      const std::string cd = t == 61    ? "-999.000"
                             : t == 366 ? "12345678.000"
                                        : "-1.000";
      want_2000 += row({month_day_value(m, d), cd, "-1.000"});
    }
    EXPECT_EQ(mask_creation_date(sb.read_parent("20000101_str.tb0")),
              want_2000);

    EXPECT_NE(r.out.find("\n 05EF003_Daily_Flow_ts.csv" + blanks(35) +
                         " not found\n"
                         " Continuing to find the next listed file\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\n\n Opened unit=         999 filename=../"
                         "19990101_str.tb0           \n"
                         " fn=         999\n"
                         " Closed unit          999 Filename=  ../"
                         "19990101_str.tb0           \n"
                         "\n"
                         " Opened unit=         999 filename=../"
                         "20000101_str.tb0           \n"
                         " fn=         999\n"
                         " Closed unit          999 Filename=  ../"
                         "20000101_str.tb0           \n"),
              std::string::npos)
        << r.out;
  }
}

struct LeapCase {
  const char* first;
  const char* last;
  std::vector<std::string> records;
  std::map<std::string, std::pair<int, std::map<int, std::string>>> files;
};

TEST(Conversion, EveryYearDivisibleByFourHas366Rows) {
  const std::vector<LeapCase> cases = {
      {"1899",
       "1901",
       {"05AB001,1,1899/12/31,1.0", "05AB001,1,1900/02/28,2.0",
        "05AB001,1,1900/03/01,3.0", "05AB001,1,1900/12/31,4.0",
        "05AB001,1,1901/03/01,5.0", "05AB001,1,1901/12/31,6.0"},
       {{"18990101_str.tb0", {365, {{365, "1.000"}}}},
        {"19000101_str.tb0",
         {366, {{59, "2.000"}, {61, "3.000"}, {366, "4.000"}}}},
        {"19010101_str.tb0", {365, {{60, "5.000"}, {365, "6.000"}}}}}},
      {"2100",
       "2100",
       {"05AB001,1,2100/02/29,7.0", "05AB001,1,2100/12/31,8.0"},
       {{"21000101_str.tb0", {366, {{60, "7.000"}, {366, "8.000"}}}}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first);
    Sandbox sb;
    sb.write("flow_stations.tb0",
             station_list({"05AB001 AB NORTH ACTIVE X 51.0 -115.0 1"}));
    std::string data = std::string(kCsvHeader) + "\n";
    for (const auto& rec : c.records)
      data += rec + "\n";
    sb.write("05AB001_Daily_Flow_ts.csv", data);
    ASSERT_EQ(
        sb.run("n\n" + std::string(c.first) + "\n" + c.last + "\n").status, 0);
    for (const auto& [name, want] : c.files) {
      EXPECT_EQ(after_header(sb.read_parent(name)),
                rows(want.first, want.second))
          << name;
    }
  }
}

TEST(Conversion, IdentifierWithTrailingBlanksMatchesOnlyItsOwnSevenColumns) {
  Sandbox sb;
  sb.write("flow_stations.tb0",
           station_list({"AB123 AB NORTH ACTIVE X 51.0 -115.0 1",
                         "05CD002 AB SOUTH ACTIVE X 50.0 -114.0 1"}));
  sb.write("AB123  _Daily_Flow_ts.csv",
           "ID,PARAM,Date,Value,SYM\n"
           "AB123,1,1999/01/01,2.0,B\n"
           "AB123  ,1,1999/01/02,3.0,B\n"
           "AB1234,1,1999/01/03,4.0,B\n"
           "AB123 ,1,1999/01/04,4.0,B\n"
           "AB123   1 1999/01/05 5.0 B\n");
  const RunResult r = sb.run("n\n1999\n1999\n");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("\n Opened unit=         101 filename=AB123  _Daily_"
                       "Flow_ts.csv     \n"),
            std::string::npos)
      << r.out;
  const std::string tb0 = sb.read_parent("19990101_str.tb0");
  // The name row carries the identifiers even when the first one does not
  // look like a national station number.
  EXPECT_EQ(line_starting(tb0, "   :ColumnName"),
            "   :ColumnName           AB123       05CD002");
  std::string want;
  for (int d = 1; d <= 365; ++d) {
    want += row({d == 2 ? "3.000" : d == 5 ? "5.000" : "-1.000", "-1.000"});
  }
  EXPECT_EQ(after_header(tb0), want);
}

TEST(Conversion, LastYearBeforeFirstWritesNoYearlyFile) {
  Sandbox sb;
  sb.write("flow_stations.tb0",
           station_list({"05AB001 AB NORTH ACTIVE X 51.0 -115.0 1"}));
  sb.write("05AB001_Daily_Flow_ts.csv",
           "ID,PARAM,Date,Value,SYM\n05AB001,1,2000/01/01,1.0,B\n");
  const RunResult r = sb.run("n\n2001\n2000\n");
  ASSERT_EQ(r.status, 0) << r.out;
  for (const auto& entry : fs::directory_iterator(sb.parent())) {
    EXPECT_NE(entry.path().extension(), ".tb0") << entry.path();
  }
  EXPECT_EQ(r.out.find("999"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find(" fn="), std::string::npos) << r.out;
  EXPECT_EQ(sb.read("Gaumo_info.txt").find("999"), std::string::npos);
}

TEST(Conversion, FolderInPlaceOfAHistoricalFileStopsTheRun) {
  Sandbox sb;
  sb.write("flow_stations.tb0",
           station_list({"05AB001 AB NORTH ACTIVE X 51.0 -115.0 1",
                         "05CD002 AB SOUTH ACTIVE X 50.0 -114.0 1"}));
  sb.write("05AB001_Daily_Flow_ts.csv", "ID,PARAM,Date,Value,SYM\n");
  fs::create_directory(sb.work() / "05CD002_Daily_Flow_ts.csv");
  const RunResult r = sb.run("n\n1999\n1999\n");
  EXPECT_EQ(r.status, 1);
  const std::string tail =
      "\n Opened unit=         101 filename=05AB001_Daily_Flow_ts.csv     \n"
      " Error opening 05CD002_Daily_Flow_ts.csv" +
      blanks(35) + "\nGaumo aborted @ 323\n";
  ASSERT_GE(r.out.size(), tail.size());
  EXPECT_EQ(r.out.substr(r.out.size() - tail.size()), tail) << r.out;
  EXPECT_FALSE(sb.exists_parent("19990101_str.tb0"));
  EXPECT_EQ(
      sb.read("Gaumo_info.txt"),
      " Opened unit=         101 filename=05AB001_Daily_Flow_ts.csv     \n");
}

struct RecordCase {
  std::string line;
  int row;           ///< day of 1999 whose cell is checked, 0 for none
  std::string cell;  ///< expected cell of that row
  std::string info;  ///< expected line of Gaumo_info.txt, "" for none
};

TEST(Conversion, RecordsAreStoredSkippedOrReportedByTheirContent) {
  const std::vector<RecordCase> cases = {
      // The first record is the header, whatever it holds.
      {"05AB001,1,1999/01/01,5.0,B", 1, "-1.000", ""},
      {"05AB002,1,1999/01/02,7.0,B", 0, "", ""},
      {"05ab001,1,1999/01/02,7.0,B", 2, "-1.000", ""},
      {"05AB001,1,1999/01/03,3.0,B", 0, "", ""},
      {"05AB001,1,1999/01/03,,B", 3, "-1.000", ""},
      {"05AB001,1,1999/01/04,4.0,B", 0, "", ""},
      {"05AB001,1,1999/01/04,4.5,B", 4, "4.500", ""},
      {"05AB001/1/1999/01/05/5.5/B", 5, "5.500", ""},
      {"05AB001,1,1999/01/07,-999,B", 7, "-999.000", ""},
      // "12" ends in column 512; the "34" after it is never seen.
      {"05AB001,1,1999/01/08," + blanks(489) + "1234", 8, "12.000", ""},
      // A "/" far from the date separates like any other.
      {"05AB001,1,1999,01,10" + blanks(400) + "/10.5", 10, "10.500", ""},
      {"05AB001,1,1999/01/11,3.0,B", 0, "", ""},
      {"05AB001,1,1999/01/11,abc,B", 11, "3.000",
       "Error:  05AB001 1999    1   11"},
      {"05AB001,1,1999/13/01,1.0,B", 0, "", "Error:  05AB001 1999   13    1"},
      {"05AB001,1,1999/01/00,1.0,B", 0, "", "Error:  05AB001 1999    1    0"},
      {"05AB001,1,1999/12/40,1.0,B", 0, "", ""},
      {"05AB001,1,1998/01/12,1.0,B", 0, "", ""},
      {"05AB001,1,2000/01/12,1.0,B", 12, "-1.000", ""},
      {"05AB001,1,1999/01/13", 13, "-1.000", "Error:  05AB001 1999    1   13"},
      {"05AB001,1,1998/01/14,x,B", 0, "", "Error:  05AB001 1998    1   14"},
      {"05AB001,1,1999/12/31,31.0,B", 365, "31.000", ""},
  };
  Sandbox sb;
  sb.write("flow_stations.tb0",
           station_list({"05AB001 AB NORTH ACTIVE X 51.0 -115.0 1"}));
  std::string data;
  std::map<int, std::string> cells;
  std::string info =
      " Opened unit=         101 filename=05AB001_Daily_Flow_ts.csv     \n";
  for (const auto& c : cases) {
    data += c.line + "\n";
    if (c.row != 0)
      cells[c.row] = c.cell;
    if (!c.info.empty())
      info += c.info + "\n";
  }
  info +=
      " Closed unit=         101 filename=Flow_05AB001.csv              \n"
      " Closed unit          999 Filename=  ../19990101_str.tb0           \n";
  sb.write("05AB001_Daily_Flow_ts.csv", data);
  const RunResult r = sb.run("n\n1999\n1999\n");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(after_header(sb.read_parent("19990101_str.tb0")), rows(365, cells));
  EXPECT_EQ(sb.read("Gaumo_info.txt"), info);
  EXPECT_EQ(r.out.find("Error:"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace gaumo_test
