#include "app/command_line.h"

#include <charconv>
#include <string_view>

namespace gaumo {
namespace {

using Action = CommandLine::Action;

CommandLine usage_error(std::string message) {
  CommandLine c;
  c.action = Action::kUsageError;
  c.error = std::move(message);
  return c;
}

/// An option's value, given as "--name=VALUE" or as the next argument.
/// Returns false when `arg` is not that option; sets `missing` when it is
/// but has no value.
bool option_value(std::string_view name, int argc, const char* const* argv,
                  int& k, std::string& value, bool& missing) {
  const std::string_view arg = argv[k];
  if (arg == name) {
    if (k + 1 >= argc) {
      missing = true;
    } else {
      value = argv[++k];
    }
    return true;
  }
  if (arg.size() > name.size() && arg.substr(0, name.size()) == name &&
      arg[name.size()] == '=') {
    value = std::string(arg.substr(name.size() + 1));
    return true;
  }
  return false;
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

/// --hydat FILE, once, with a value that is not empty.
bool take_hydat(int argc, const char* const* argv, int& k, CommandLine& c,
                CommandLine& error) {
  std::string value;
  bool missing = false;
  if (!option_value("--hydat", argc, argv, k, value, missing))
    return false;
  if (missing || value.empty()) {
    error = usage_error("option '--hydat' needs a database FILE");
  } else if (!c.hydat.empty()) {
    error = usage_error("option '--hydat' given twice");
  } else {
    c.hydat = value;
  }
  return true;
}

CommandLine parse_stations(int argc, const char* const* argv) {
  CommandLine c;
  c.action = Action::kStations;
  bool options_done = false;
  for (int k = 2; k < argc; ++k) {
    const std::string_view arg = argv[k];
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
    CommandLine error;
    if (take_hydat(argc, argv, k, c, error)) {
      if (error.action == Action::kUsageError)
        return error;
      continue;
    }
    std::string value;
    bool missing = false;
    if (option_value("--with-flows", argc, argv, k, value, missing)) {
      if (missing || !parse_years(value, c.first_year, c.last_year)) {
        return usage_error(
            "option '--with-flows' needs FIRST:LAST, two years with "
            "FIRST <= LAST");
      }
      c.with_flows = true;
      continue;
    }
    if (arg == "--help" && argc == 3) {
      c.action = Action::kHelp;
      return c;
    }
    return usage_error("unexpected argument '" + std::string(arg) + "'");
  }
  if (c.hydat.empty())
    return usage_error("stations needs --hydat FILE");
  if (c.selectors.empty())
    return usage_error("stations needs at least one station number or prefix");
  return c;
}

}  // namespace

CommandLine parse_command_line(int argc, const char* const* argv) {
  CommandLine c;
  if (argc <= 1)
    return c;
  const std::string_view first = argv[1];
  if (first == "stations")
    return parse_stations(argc, argv);
  if (argc == 2 && first == "--help") {
    c.action = Action::kHelp;
    return c;
  }
  if (argc == 2 && first == "--version") {
    c.action = Action::kVersion;
    return c;
  }
  for (int k = 1; k < argc; ++k) {
    CommandLine error;
    if (take_hydat(argc, argv, k, c, error)) {
      if (error.action == Action::kUsageError)
        return error;
      continue;
    }
    return usage_error("unexpected argument '" + std::string(argv[k]) + "'");
  }
  return c;
}

const char* usage_synopsis() {
  return "gaumo [--hydat FILE] | gaumo stations --hydat FILE "
         "[--with-flows FIRST:LAST] SELECTOR... | gaumo --help | "
         "gaumo --version";
}

const char* usage_text() {
  return "Usage: gaumo [--hydat FILE]\n"
         "       gaumo stations --hydat FILE [--with-flows FIRST:LAST] "
         "SELECTOR...\n"
         "       gaumo --help | --version\n"
         "\n"
         "Run gaumo in the folder that holds flow_stations.tb0 and the "
         "station\n"
         "files <id>_Daily_Flow_ts.csv (and, optionally, Flow_<id>.csv and "
         "the\n"
         "realtime Datamart files <PP>_<id>_hourly_hydrometric.csv and\n"
         "<PP>_<id>_daily_hydrometric.csv, whose complete days' means fill "
         "days\n"
         "still without a value). It asks\n"
         "three questions on standard input (natural flows y/n, first year, "
         "last\n"
         "year) and writes one <yyyy>0101_str.tb0 file per year into the "
         "parent\n"
         "folder, and nudge_flags.new, grapher_titles.csv, "
         "discharge_sites.xyz,\n"
         "flow_recl.txt, flow_flag.txt and Gaumo_info.txt into the current "
         "folder.\n"
         "\n"
         "  --hydat FILE   take each station's historical daily flows from "
         "the\n"
         "                 DLY_FLOWS table of the HYDAT SQLite database FILE\n"
         "                 (opened read-only) instead of "
         "<id>_Daily_Flow_ts.csv\n"
         "\n"
         "gaumo stations writes to standard output a station list that a run\n"
         "reads as flow_stations.tb0, from the database's STATIONS table. A\n"
         "SELECTOR is a station number (05AA008) or the start of one (05AA).\n"
         "  --with-flows FIRST:LAST   keep only the stations with a daily flow "
         "in\n"
         "                            DLY_FLOWS in the years FIRST to LAST\n";
}

}  // namespace gaumo
