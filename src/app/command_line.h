#pragma once
// The command line: --help, --version, and the options that answer the
// dialogue or ask for extra outputs, as "--name value" or "--name=value".

#include <span>
#include <string>
#include <string_view>

#include "app/run_request.h"

namespace gaumo {

struct CommandLine {
  enum class Action { kRun, kHelp, kVersion, kUsageError };
  Action action = Action::kRun;
  /// For kUsageError: the one line that says what is wrong (no newline).
  std::string error;
  RunRequest request;
};

/// Reads the arguments after the program name.
CommandLine parse_command_line(std::span<const std::string_view> args);

/// The --help text.
extern const char* const kUsageText;
/// The --version line, and the version number alone (the project's, from
/// the build).
extern const char* const kVersionText;
extern const char* const kVersionNumber;

}  // namespace gaumo
