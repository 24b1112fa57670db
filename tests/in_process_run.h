#pragma once
// The whole program run in-process on an in-memory file system, for faults
// a real disk cannot be made to produce on demand.

#include <string>

#include "support/memory_file_system.h"

namespace gaumo_test {

struct InProcessResult {
  int status = -1;
  std::string out;
};

/// Runs the whole program on `fs` with `input` as the console answers and a
/// clock that always reads 2021-07-09 08:05.
InProcessResult run_in_process(gaumo::MemoryFileSystem& fs,
                               const std::string& input);

}  // namespace gaumo_test
