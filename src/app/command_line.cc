#include "app/command_line.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <initializer_list>

namespace gaumo {

const char* const kUsageText =
    "Usage: gaumo [OPTION]...\n"
    "       gaumo stations --hydat FILE [--with-flows FIRST:LAST] "
    "SELECTOR...\n"
    "       gaumo --help | --version\n"
    "\n"
    "Run gaumo in the folder that holds flow_stations.tb0 and the station\n"
    "files <id>_Daily_Flow_ts.csv (and, optionally, Flow_<id>.csv and the\n"
    "realtime Datamart files <PP>_<id>_hourly_hydrometric.csv and\n"
    "<PP>_<id>_daily_hydrometric.csv, whose complete days' means fill days\n"
    "still without a value). It asks three questions on standard input\n"
    "(natural flows y/n, first year, last year) and writes one\n"
    "<yyyy>0101_str.tb0 file per year into the parent folder, and\n"
    "nudge_flags.new, grapher_titles.csv, discharge_sites.xyz,\n"
    "flow_recl.txt, flow_flag.txt and Gaumo_info.txt into the current folder.\n"
    "\n"
    "Options (a value follows as the next argument or after '='):\n"
    "  --hydat FILE            take each station's historical daily flows\n"
    "                          from the DLY_FLOWS table of the HYDAT SQLite\n"
    "                          database FILE (opened read-only) instead of\n"
    "                          <id>_Daily_Flow_ts.csv\n"
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
    "gaumo stations writes to standard output a station list that a run\n"
    "reads as flow_stations.tb0, from the database's STATIONS table. A\n"
    "SELECTOR is a station number (05AA008) or the start of one (05AA).\n"
    "  --with-flows FIRST:LAST keep only the stations with a daily flow in\n"
    "                          DLY_FLOWS in the years FIRST to LAST\n"
    "\n"
    "Paths are relative to the current folder. Exit status: 0 after a\n"
    "complete run, 1 after a fatal stop, 2 for a command-line error.\n";

namespace {

enum class Option {
  kHydat,
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

constexpr std::array<OptionName, 7> kOptions = {{
    {"--hydat", Option::kHydat},
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
  case Option::kHydat:
    if (value.empty())
      return join({name, " needs a database FILE"});
    r.hydat_path = std::string(value);
    return {};
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

/// The option named by `args[k]` and its value (after '=' or as the next
/// argument, which then is used up). Sets `why` when it has none.
bool split_option(std::span<const std::string_view> args, std::size_t& k,
                  std::string_view& name, std::string_view& value,
                  std::string& why) {
  const std::string_view arg = args[k];
  const std::size_t eq = arg.find('=');
  name = arg.substr(0, eq);
  if (eq != std::string_view::npos) {
    value = arg.substr(eq + 1);
  } else if (k + 1 < args.size()) {
    value = args[++k];
  } else {
    why = join({name, " needs a value"});
    return false;
  }
  return true;
}

bool parse_year(std::string_view s, std::int32_t& out) {
  const char* end = s.data() + s.size();
  const auto r = std::from_chars(s.data(), end, out);
  return !s.empty() && r.ec == std::errc() && r.ptr == end;
}

bool parse_years(std::string_view s, std::int32_t& first, std::int32_t& last) {
  const auto colon = s.find(':');
  return colon != std::string_view::npos &&
         parse_year(s.substr(0, colon), first) &&
         parse_year(s.substr(colon + 1), last) && first <= last;
}

CommandLine parse_stations(std::span<const std::string_view> args) {
  CommandLine c;
  c.action = CommandLine::Action::kStations;
  bool options_done = false;
  bool with_hydat = false;
  for (std::size_t k = 1; k < args.size(); ++k) {
    const std::string_view arg = args[k];
    if (options_done || arg.empty() || arg[0] != '-') {
      if (arg.empty())
        return usage_error("an empty station selector");
      c.selectors.emplace_back(arg);
      continue;
    }
    if (arg == "--") {
      options_done = true;
      continue;
    }
    if (arg == "--help" && args.size() == 2) {
      c.action = CommandLine::Action::kHelp;
      return c;
    }
    std::string_view name;
    std::string_view value;
    std::string why;
    const std::string_view head = arg.substr(0, arg.find('='));
    if (head != "--hydat" && head != "--with-flows")
      return usage_error(join({"unexpected argument '", arg, "'"}));
    if (!split_option(args, k, name, value, why))
      return usage_error(why);
    if (name == "--hydat") {
      if (with_hydat)
        return usage_error("--hydat is given twice");
      with_hydat = true;
      why = take(Option::kHydat, name, value, c.request);
      if (!why.empty())
        return usage_error(why);
    } else if (!parse_years(value, c.first_year, c.last_year)) {
      return usage_error(
          "--with-flows needs FIRST:LAST, two years with FIRST <= LAST");
    } else {
      c.with_flows = true;
    }
  }
  if (!with_hydat)
    return usage_error("stations needs --hydat FILE");
  if (c.selectors.empty())
    return usage_error("stations needs at least one station number or prefix");
  return c;
}

}  // namespace

CommandLine parse_command_line(std::span<const std::string_view> args) {
  CommandLine c;
  if (!args.empty() && args[0] == "stations")
    return parse_stations(args);
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
    const std::string_view head = arg.substr(0, arg.find('='));
    const auto it =
        std::find_if(kOptions.begin(), kOptions.end(),
                     [&](const OptionName& o) { return o.name == head; });
    if (it == kOptions.end())
      return usage_error(join({"unexpected argument '", arg, "'"}));
    const auto index = static_cast<std::size_t>(it - kOptions.begin());
    if (seen[index])
      return usage_error(join({head, " is given twice"}));
    seen[index] = true;
    std::string_view name;
    std::string_view value;
    std::string why;
    if (!split_option(args, k, name, value, why))
      return usage_error(why);
    why = take(it->option, name, value, c.request);
    if (!why.empty())
      return usage_error(why);
  }
  return c;
}

}  // namespace gaumo
