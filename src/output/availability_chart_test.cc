#include "output/availability_chart.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace gaumo {
namespace {

std::size_t count(const std::string& s, const std::string& what) {
  std::size_t n = 0;
  for (auto p = s.find(what); p != std::string::npos; p = s.find(what, p + 1))
    ++n;
  return n;
}

TEST(AvailabilityChart, TitleNamesTheYearsAndStationsAndEscapesEveryText) {
  ChartInput in{1918, 3, {}};
  in.stations.push_back({"05A<&>8",
                         "Riv\xE8re \"Rouge\" & 'co'\x01",
                         {365, 12, 0},
                         {0, 12, 0},
                         {'y', 'p', 'n'}});
  const std::string svg = availability_chart_svg(in);
  EXPECT_NE(svg.find("1918 to 1920, 1 station<"), std::string::npos);
  EXPECT_NE(svg.find("05A&lt;&amp;&gt;8"), std::string::npos);
  // A Latin-1 byte becomes its UTF-8 form, a control character a blank.
  EXPECT_NE(svg.find("Riv\xC3\xA8re &quot;Rouge&quot; &amp; &#39;co&#39; <"),
            std::string::npos);
  EXPECT_EQ(svg.find("\x01"), std::string::npos);
  EXPECT_EQ(count(svg, "<svg"), 1u);
  EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
}

TEST(AvailabilityChart, MergesEqualNeighboursAndDrawsTheProvisionalShare) {
  ChartInput in{2000, 10, {}};
  // Eight full years, then two without data: one run of each class.
  ChartStation st{"0000001", "", std::vector<std::int32_t>(10, 366), {}, {}};
  st.days[8] = st.days[9] = 0;
  st.provisional = {0, 0, 0, 0, 0, 0, 0, 183, 0, 0};
  in.stations.push_back(st);
  const std::string svg = availability_chart_svg(in);
  // 40 pixels per year: the eight years are one 320-pixel rectangle.
  EXPECT_NE(svg.find("<path class=\"a\" d=\"M0 0h320v13h-320z\"/>"),
            std::string::npos);
  EXPECT_NE(svg.find("<path class=\"n\" d=\"M320 0h80v13h-80z\"/>"),
            std::string::npos);
  // Half of year 8's days were provisional: half the cell's width.
  EXPECT_NE(svg.find("<path class=\"v\" d=\"M280 7h20v6h-20z\"/>"),
            std::string::npos);
}

TEST(AvailabilityChart, ClassFollowsTheFlagAndShadeTheDays) {
  ChartInput in{1990, 4, {}};
  // 365 days of a leap year counted to day 366 still read "p" when the
  // report says so; without a flag the days decide.
  in.stations.push_back({"A", "", {365, 1, 364, 0}, {}, {'p'}});
  const std::string svg = availability_chart_svg(in);
  EXPECT_NE(svg.find("class=\"s5\" d=\"M0 0h40"), std::string::npos);
  EXPECT_NE(svg.find("class=\"s0\" d=\"M40 0h40"), std::string::npos);
  EXPECT_NE(svg.find("class=\"s5\" d=\"M0 0h40v13h-40zM80 0h40"),
            std::string::npos);
  EXPECT_NE(svg.find("class=\"n\" d=\"M120 0h40"), std::string::npos);
}

TEST(AvailabilityChart, StaysSmallAtAThousandStationsOverACentury) {
  // The worst case for merging: every cell differs from its neighbours.
  ChartInput in{1921, 100, {}};
  std::mt19937 rng(7);
  std::uniform_int_distribution<std::int32_t> day(0, 366);
  for (int i = 0; i < 1000; ++i) {
    ChartStation st{std::to_string(1000000 + i),
                    "Station name " + std::to_string(i),
                    {},
                    {},
                    {}};
    for (int y = 0; y < 100; ++y) {
      st.days.push_back(day(rng));
      st.provisional.push_back(st.days.back() / 3);
    }
    in.stations.push_back(std::move(st));
  }
  const std::string svg = availability_chart_svg(in);
  EXPECT_LT(svg.size(), 4'000'000u);
  EXPECT_NE(svg.find("1921 to 2020, 1000 stations"), std::string::npos);
}

TEST(AvailabilityChart, NoStationsOrNoYearsStillMakeAPicture) {
  const std::string none = availability_chart_svg({1950, 0, {}});
  EXPECT_NE(none.find("no year, 0 stations"), std::string::npos);
  EXPECT_NE(none.find("No station listed."), std::string::npos);
  ChartInput negative{1950, -5, {}};
  negative.stations.push_back({"X", "", {}, {}, {}});
  EXPECT_NE(availability_chart_svg(negative).find("no year, 1 station"),
            std::string::npos);
}

}  // namespace
}  // namespace gaumo
