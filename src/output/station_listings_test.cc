#include "output/station_listings.h"

#include <gtest/gtest.h>

#include "stations/station_list_reader.h"

namespace gaumo {
namespace {

StationCatalogue one_station(std::string_view id, std::string_view name,
                             float x, float y, float area, int index) {
  StationCatalogue cat;
  allocate_station_arrays(index, cat);
  const auto k = static_cast<std::size_t>(index - 1);
  cat.idsta[k].assign(id);
  cat.sta_name[k].assign(name);
  cat.xsta[k] = x;
  cat.ysta[k] = y;
  cat.dr_area[k] = area;
  return cat;
}

TEST(StationListings, WorkedExampleRows) {
  const auto cat = one_station("01AB002", "NORTH RIVER AT MILL", -115.5717f,
                               51.1722f, 2210.0f, 7);
  std::string s;
  append_nudge_line(s, cat, 7);
  EXPECT_EQ(s,
            "    -115.572      51.172    1     01AB002     "
            "NORTH RIVER AT MILL                          2210.\n");
  s.clear();
  append_grapher_row(s, cat, 7);
  EXPECT_EQ(s, "    7,01AB002,\"NORTH RIVER AT MILL" + std::string(41, ' ') +
                   "\",     2210.\n");
  s.clear();
  append_discharge_row(s, cat, 7);
  EXPECT_EQ(s,
            "    -115.572      51.172    7     01AB002  \"NORTH RIVER AT MILL" +
                std::string(41, ' ') + "\"      2210.\n");
}

TEST(StationListings, LongNamesAreCutAndWideNumbersShowAsterisks) {
  const std::string name(80, 'N');
  const auto cat = one_station("X", name, 1e12f, -0.0004f, 2209.5f, 1);
  std::string s;
  append_nudge_line(s, cat, 1);
  EXPECT_EQ(s, "************      -0.000    1     X           " +
                   std::string(40, 'N') + "     2210.\n");
  s.clear();
  append_grapher_row(s, cat, 1);
  EXPECT_EQ(s, "    1,X      ,\"" + std::string(60, 'N') + "\",     2210.\n");
  EXPECT_EQ(s.size(), 88u);
}

}  // namespace
}  // namespace gaumo
