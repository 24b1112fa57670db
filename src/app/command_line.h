#pragma once
// The command line: the classic run (no argument), the run with its
// historical flows from a HYDAT database, the station-list command, and
// the two answers --help and --version.

#include <cstdint>
#include <string>
#include <vector>

namespace gaumo {

struct CommandLine {
  enum class Action { kRun, kHelp, kVersion, kStations, kUsageError };
  Action action = Action::kRun;
  /// --hydat FILE; empty when not given.
  std::string hydat;
  /// stations --with-flows FIRST:LAST.
  bool with_flows = false;
  std::int32_t first_year = 0;
  std::int32_t last_year = 0;
  /// The stations command's station numbers or prefixes.
  std::vector<std::string> selectors;
  /// kUsageError: what is wrong, one line without a newline.
  std::string error;
};

CommandLine parse_command_line(int argc, const char* const* argv);

/// The --help text.
const char* usage_text();

/// The one-line synopsis a usage error ends with.
const char* usage_synopsis();

}  // namespace gaumo
