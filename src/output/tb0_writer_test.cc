#include "output/tb0_writer.h"

#include <gtest/gtest.h>

#include "output/column_metadata.h"
#include "stations/station_list_reader.h"

namespace gaumo {
namespace {

TEST(Tb0Writer, FileNamesTakeTheYearInFourColumns) {
#ifdef _WIN32
  const std::string parent = "..\\";
#else
  const std::string parent = "../";
#endif
  EXPECT_EQ(tb0_file_name(2010), parent + "20100101_str.tb0");
  EXPECT_EQ(tb0_file_name(999), parent + " 9990101_str.tb0");
  EXPECT_EQ(tb0_file_name(12345), parent + "****0101_str.tb0");
}

TEST(Tb0Writer, HeaderAndMetadataAreExactToTheCharacter) {
  StationCatalogue cat;
  allocate_station_arrays(2, cat);
  cat.idsta[0].assign("05AB001");
  cat.idsta[1].assign("AB12");
  cat.idsta_w = cat.idsta;
  cat.xsta = {-114.41064f, 7.0f};
  cat.ysta = {49.59732f, -0.00004f};
  const std::string h = tb0_header(header_constants(), cat, column_metadata(2),
                                   2012, LocalTime{2021, 7, 9, 8, 5});
  // Lines of the header that are padded to 40 characters are given with
  // their text and length, so no trailing blank hides in this file.
  const auto pad = [](std::string_view text, std::size_t width) {
    std::string line(text);
    line.resize(width, ' ');
    return line;
  };
  const std::string expected_lines[] = {
      "########################################",
      pad(":FileType tb0  ASCII  EnSim 1.0", 40),
      pad("#", 40),
      pad("# DataType               Time Series", 40),
      pad("#", 40),
      ":Application             EnSimHydrologic",
      pad(":Version                 2.1.23", 40),
      pad(":WrittenBy          rk_write_flow_tb0=Gaumo.exe", 60),
      ":CreationDate       2021-07-09  08:05",
      pad("#", 40),
      "#---------------------------------------",
      pad(":SourceFile                   flow_data", 60),
      pad("#", 40),
      pad(":Name               streamflow", 60),
      pad("#", 40),
      ":Projection         LATLONG   ",
      ":Ellipsoid          WGS84     ",
      pad("#", 40),
      ":StartDate          2012/01/01",
      ":StartTime          00:00:00.0",
      pad("#", 40),
      ":AttributeUnits            1.0000000",
      pad(":DeltaT               24", 40),
      pad(":RoutingDeltaT         1", 40),
      pad("#", 40),
      pad(":ColumnMetaData", 40),
      "   :ColumnUnits             m3/s        m3/s",
      "   :ColumnType             float       float",
      "   :ColumnName           05AB001     AB12   ",
      "   :ColumnLocationX    -114.4106      7.0000",
      "   :ColumnLocationY      49.5973     -0.0000",
      "   :coeff1           0.00000E+00 0.00000E+00",
      "   :coeff2           0.00000E+00 0.00000E+00",
      "   :coeff3           0.00000E+00 0.00000E+00",
      "   :coeff4           0.00000E+00 0.00000E+00",
      "   :value1                     1           1",
      pad(":EndColumnMetaData", 40),
      pad(":endHeader", 40),
  };
  std::string expected;
  for (const std::string& line : expected_lines) {
    expected.append(line);
    expected.push_back('\n');
  }
  EXPECT_EQ(h, expected);
}

TEST(Tb0Writer, NoStationsMeansNoFieldsAndNoIdentifierLookedAt) {
  StationCatalogue cat;
  allocate_station_arrays(0, cat);
  const std::string h = tb0_header(header_constants(), cat, column_metadata(0),
                                   2010, LocalTime{2021, 7, 9, 8, 5});
  EXPECT_NE(h.find("\n   :ColumnName      \n"), std::string::npos);
}

}  // namespace
}  // namespace gaumo
