#pragma once
// The command line: the run (with the options that name a database, answer
// the dialogue or ask for extra outputs, as "--name value" or
// "--name=value"), the station-list command, --help and --version.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/run_request.h"

namespace gaumo {

struct CommandLine {
  enum class Action { kRun, kHelp, kVersion, kStations, kUsageError };
  Action action = Action::kRun;
  /// For kUsageError: the one line that says what is wrong (no newline).
  std::string error;
  /// The run's options; for kStations only hydat_path is used.
  RunRequest request;
  /// stations --with-flows FIRST:LAST.
  bool with_flows = false;
  std::int32_t first_year = 0;
  std::int32_t last_year = 0;
  /// The stations command's station numbers or prefixes.
  std::vector<std::string> selectors;
};

/// Reads the arguments after the program name.
CommandLine parse_command_line(std::span<const std::string_view> args);

/// The --help text.
extern const char* const kUsageText;

}  // namespace gaumo
