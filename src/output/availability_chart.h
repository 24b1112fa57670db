#pragma once
// The availability chart: one SVG picture of which stations have data in
// which years, a row per station and a column per year, so a modeller can
// see at a glance what flow_recl.txt and flow_flag.txt say in numbers.

#include <cstdint>
#include <string>
#include <vector>

namespace gaumo {

struct ChartStation {
  std::string id;    ///< shown at the left of the row
  std::string name;  ///< shown in the row's tooltip
  /// Per year of the run: days with data (0 to 366), of which filled from
  /// provisional data, and the year's class ('y', 'p' or 'n', as in
  /// flow_flag.txt). A class missing from `flag` is taken from the days.
  std::vector<std::int32_t> days;
  std::vector<std::int32_t> provisional;
  std::vector<char> flag;
};

struct ChartInput {
  std::int64_t first_year = 0;
  std::int64_t year_count = 0;
  std::vector<ChartStation> stations;
};

/// The whole SVG document.
std::string availability_chart_svg(const ChartInput& in);

/// Text with &, <, >, " and ' written as XML character references, and
/// made valid UTF-8 without control characters.
std::string xml_escape(std::string_view text);

}  // namespace gaumo
