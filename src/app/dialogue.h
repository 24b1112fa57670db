#pragma once
// The console dialogue: the natural-flows question, the first and the last
// year, and the diversion menu (shown; no answer is read after it).

#include <istream>

#include "run/run_log.h"
#include "run/run_options.h"

namespace gaumo {

/// Holds the dialogue. An answer that cannot be read ends the run with one
/// console line naming it (FatalStop).
RunOptions ask_run_options(std::istream& in, RunLog& log);

}  // namespace gaumo
