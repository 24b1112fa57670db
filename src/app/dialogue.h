#pragma once
// The console dialogue: the natural-flows question, the first and the last
// year, and the diversion menu (shown; no answer is read after it).

#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

#include "run/run_log.h"
#include "run/run_options.h"

namespace gaumo {

/// Holds the dialogue. An answer that cannot be read ends the run with one
/// console line naming it (FatalStop).
RunOptions ask_run_options(std::istream& in, RunLog& log);

/// The answers of the dialogue: those given beforehand (as command-line
/// options) are taken without reading a line, and every answer read is
/// stored, so that after a stop they tell how far the dialogue got.
struct DialogueAnswers {
  std::optional<std::string> natural_flows;
  std::optional<std::int32_t> first_year;
  std::optional<std::int32_t> last_year;
};

/// The same dialogue, console lines included, with some answers given.
RunOptions ask_run_options(std::istream& in, RunLog& log,
                           DialogueAnswers& answers);

/// Reads a year answer as the dialogue reads a typed line: an empty result
/// and `year` set, or why it is refused (as in "\"x\" is not a whole
/// number").
std::string read_year_answer(std::string_view line, std::int32_t& year);

}  // namespace gaumo
