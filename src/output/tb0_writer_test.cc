#include "output/tb0_writer.h"

#include <gtest/gtest.h>

#include "flow/column_metadata.h"
#include "stations/station_list_reader.h"

namespace gaumo {
namespace {

TEST(Tb0Writer, FileNamesTakeTheYearInFourColumns) {
  EXPECT_EQ(tb0_file_name(2010), "../20100101_str.tb0");
  EXPECT_EQ(tb0_file_name(999), "../ 9990101_str.tb0");
  EXPECT_EQ(tb0_file_name(12345), "../****0101_str.tb0");
}

TEST(Tb0Writer, HeaderAndMetadataAreExactToTheCharacter) {
  StationCatalogue cat;
  allocate_station_arrays(2, make_run_options(2010, 2010), cat);
  cat.idsta[0].assign("05AB001");
  cat.idsta[1].assign("AB12");
  cat.idsta_w = cat.idsta;
  cat.xsta = {-114.41064f, 7.0f};
  cat.ysta = {49.59732f, -0.00004f};
  set_column_metadata(cat);
  const std::string h = tb0_header(set_header_constants(), cat, 2012,
                                   LocalTime{2021, 7, 9, 8, 5});
  const std::string hash40 = "#" + std::string(39, ' ') + "\n";
  EXPECT_EQ(h,
            "########################################\n"
            ":FileType tb0  ASCII  EnSim 1.0         \n" +
                hash40 +
                "# DataType               Time Series    \n" + hash40 +
                ":Application             EnSimHydrologic\n"
                ":Version                 2.1.23         \n"
                ":WrittenBy          rk_write_flow_tb0=Gaumo.exe             \n"
                ":CreationDate       2021-07-09  08:05\n" +
                hash40 +
                "#---------------------------------------\n"
                ":SourceFile                   flow_data                     \n" +
                hash40 +
                ":Name               streamflow                              \n" +
                hash40 +
                ":Projection         LATLONG   \n"
                ":Ellipsoid          WGS84     \n" +
                hash40 +
                ":StartDate          2012/01/01\n"
                ":StartTime          00:00:00.0\n" +
                hash40 +
                ":AttributeUnits            1.0000000\n"
                ":DeltaT               24                \n"
                ":RoutingDeltaT         1                \n" +
                hash40 +
                ":ColumnMetaData                         \n"
                "   :ColumnUnits             m3/s        m3/s\n"
                "   :ColumnType             float       float\n"
                "   :ColumnName           05AB001     AB12   \n"
                "   :ColumnLocationX    -114.4106      7.0000\n"
                "   :ColumnLocationY      49.5973     -0.0000\n"
                "   :coeff1           0.00000E+00 0.00000E+00\n"
                "   :coeff2           0.00000E+00 0.00000E+00\n"
                "   :coeff3           0.00000E+00 0.00000E+00\n"
                "   :coeff4           0.00000E+00 0.00000E+00\n"
                "   :value1                     1           1\n"
                ":EndColumnMetaData                      \n"
                ":endHeader                              \n");
}

TEST(Tb0Writer, NoStationsMeansNoFieldsAndNoIdentifierLookedAt) {
  StationCatalogue cat;
  allocate_station_arrays(0, make_run_options(2010, 2010), cat);
  const std::string h = tb0_header(set_header_constants(), cat, 2010,
                                   LocalTime{2021, 7, 9, 8, 5});
  EXPECT_NE(h.find("\n   :ColumnName      \n"), std::string::npos);
}

}  // namespace
}  // namespace gaumo
