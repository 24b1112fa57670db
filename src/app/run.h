#pragma once
// The run driver: every stage once, in the fixed order, on state passed
// explicitly, so the whole pipeline runs in-process in tests and fuzzers.

#include <istream>
#include <ostream>

#include "app/run_request.h"
#include "run/clock.h"
#include "run/file_system.h"

namespace gaumo {

struct RunEnv {
  std::istream& in;
  std::ostream& out;
  FileSystem& fs;
  Clock clock;
};

/// Runs the whole program; returns the exit status (0, or 1 after a fatal
/// stop, whose last line it has printed).
int run_gaumo(RunEnv& env);

/// The same run with a database, answers given beforehand or extra outputs
/// asked for.
int run_gaumo(RunEnv& env, const RunRequest& request);

}  // namespace gaumo
