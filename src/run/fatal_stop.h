#pragma once
// The fatal stop: a stage that cannot go on throws FatalStop after writing
// its own message lines; only main (or a test) catches it, prints its last
// line and ends the run with exit status 1.

#include <string>
#include <string_view>

namespace gaumo {

struct FatalStop {
  /// The run's last console line, printed as it stands with a newline;
  /// empty for the empty stop text, which shows nothing.
  std::string last_line;
};

/// Ends the run with a stop text, printed alone on its own line.
[[noreturn]] inline void stop_run(std::string_view stop_text) {
  throw FatalStop{std::string(stop_text)};
}

/// Ends the run with a message, printed as a free-format line (leading
/// blank) and with no stop text after it.
[[noreturn]] inline void stop_with_message(std::string_view message) {
  throw FatalStop{" " + std::string(message)};
}

}  // namespace gaumo
