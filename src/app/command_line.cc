#include "app/command_line.h"

#include <algorithm>
#include <array>
#include <initializer_list>

namespace gaumo {

const char* const kVersionNumber = GAUMO_VERSION;
const char* const kVersionText =
    "gaumo " GAUMO_VERSION " (Version 6, May 03, 2016)\n";

const char* const kUsageText =
    "Usage: gaumo [OPTION]...\n"
    "       gaumo --help | --version\n"
    "\n"
    "Run gaumo in the folder that holds flow_stations.tb0 and the station\n"
    "files <id>_Daily_Flow_ts.csv (and, optionally, Flow_<id>.csv). It asks\n"
    "three questions on standard input (natural flows y/n, first year, last\n"
    "year) and writes one <yyyy>0101_str.tb0 file per year into the parent\n"
    "folder, and nudge_flags.new, grapher_titles.csv, discharge_sites.xyz,\n"
    "flow_recl.txt, flow_flag.txt and Gaumo_info.txt into the current folder.\n"
    "\n"
    "Options (a value follows as the next argument or after '='):\n"
    "  --natural-flows ANSWER  answer the natural-flows question (y or n)\n"
    "  --first-year YEAR       answer the first-year question\n"
    "  --last-year YEAR        answer the last-year question\n"
    "                          (questions without an option are asked)\n"
    "  --chart FILE.svg        also draw which stations have data in which\n"
    "                          years as an SVG picture\n"
    "  --single-file PATH      also write one tb0 file covering every year\n"
    "  --summary FILE.json     also write a JSON account of the run, also\n"
    "                          when it stops on a fatal condition\n"
    "  --help                  show this help and exit\n"
    "  --version               show the version and exit\n"
    "\n"
    "Paths are relative to the current folder. Exit status: 0 after a\n"
    "complete run, 1 after a fatal stop, 2 for a command-line error.\n";

namespace {

enum class Option {
  kNaturalFlows,
  kFirstYear,
  kLastYear,
  kChart,
  kSingle,
  kSummary
};

struct OptionName {
  std::string_view name;
  Option option;
};

constexpr std::array<OptionName, 6> kOptions = {{
    {"--natural-flows", Option::kNaturalFlows},
    {"--first-year", Option::kFirstYear},
    {"--last-year", Option::kLastYear},
    {"--chart", Option::kChart},
    {"--single-file", Option::kSingle},
    {"--summary", Option::kSummary},
}};

/// The parts one after the other (GCC 12 warns, wrongly, on chains of
/// operator+ that start with a literal).
std::string join(std::initializer_list<std::string_view> parts) {
  std::string s;
  for (std::string_view p : parts)
    s.append(p);
  return s;
}

CommandLine usage_error(std::string_view message) {
  CommandLine c;
  c.action = CommandLine::Action::kUsageError;
  c.error = join({"gaumo: ", message, "; try 'gaumo --help'"});
  return c;
}

bool has_line_break(std::string_view v) {
  return v.find_first_of("\r\n") != std::string_view::npos;
}

/// Takes one option's value into the request; an empty result or the
/// reason the value is refused.
std::string take(Option o, std::string_view name, std::string_view value,
                 RunRequest& r) {
  if (has_line_break(value))
    return join({name, " takes one line of text"});
  switch (o) {
  case Option::kNaturalFlows:
    // A typed answer is any line with something on it; only its first
    // character is looked at.
    if (value.find_first_not_of(" \t") == std::string_view::npos)
      return join({name, " needs an answer, such as y or n"});
    r.answers.natural_flows = std::string(value);
    return {};
  case Option::kFirstYear:
  case Option::kLastYear: {
    std::int32_t year = 0;
    const std::string why = read_year_answer(value, year);
    if (!why.empty())
      return join({name, ": ", why});
    (o == Option::kFirstYear ? r.answers.first_year : r.answers.last_year) =
        year;
    return {};
  }
  case Option::kChart:
  case Option::kSingle:
  case Option::kSummary:
    break;
  }
  if (value.empty())
    return join({name, " needs a file name"});
  std::string& path = o == Option::kChart    ? r.chart_path
                      : o == Option::kSingle ? r.single_file_path
                                             : r.summary_path;
  path = std::string(value);
  return {};
}

}  // namespace

CommandLine parse_command_line(std::span<const std::string_view> args) {
  CommandLine c;
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "--version")) {
    c.action = args[0] == "--help" ? CommandLine::Action::kHelp
                                   : CommandLine::Action::kVersion;
    return c;
  }
  std::array<bool, kOptions.size()> seen{};
  for (std::size_t k = 0; k < args.size(); ++k) {
    const std::string_view arg = args[k];
    if (arg == "--help" || arg == "--version")
      return usage_error(join({arg, " takes no other argument"}));
    const std::size_t eq = arg.find('=');
    const std::string_view name = arg.substr(0, eq);
    const auto it =
        std::find_if(kOptions.begin(), kOptions.end(),
                     [&](const OptionName& o) { return o.name == name; });
    if (it == kOptions.end() || name.size() < 3)
      return usage_error(join({"unexpected argument '", arg, "'"}));
    const auto index = static_cast<std::size_t>(it - kOptions.begin());
    if (seen[index])
      return usage_error(join({name, " is given twice"}));
    seen[index] = true;
    std::string_view value;
    if (eq != std::string_view::npos) {
      value = arg.substr(eq + 1);
    } else if (k + 1 < args.size()) {
      value = args[++k];
    } else {
      return usage_error(join({name, " needs a value"}));
    }
    if (std::string why = take(it->option, name, value, c.request);
        !why.empty())
      return usage_error(why);
  }
  return c;
}

}  // namespace gaumo
