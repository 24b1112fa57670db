#pragma once
// The run driver: every stage once, in the fixed order, on state passed
// explicitly, so the whole pipeline runs in-process in tests and fuzzers.

#include <istream>
#include <ostream>
#include <string>

#include "output/tb0_writer.h"
#include "run/file_system.h"

namespace gaumo {

struct RunEnv {
  std::istream& in;
  std::ostream& out;
  FileSystem& fs;
  Clock clock;
};

/// What the command line asks of a run.
struct RunRequest {
  /// The HYDAT database that gives the historical daily flows instead of
  /// the station files; empty for the files.
  std::string hydat_path;
};

/// Runs the whole program; returns the exit status (0, or 1 after a fatal
/// stop, whose last line it has printed).
int run_gaumo(RunEnv& env, const RunRequest& req = {});

}  // namespace gaumo
