#include "in_process_run.h"

#include <sstream>

#include "app/run.h"

namespace gaumo_test {

InProcessResult run_in_process(gaumo::MemoryFileSystem& fs,
                               const std::string& input) {
  std::istringstream in(input);
  std::ostringstream out;
  gaumo::RunEnv env{in, out, fs, [] {
                      return gaumo::LocalTime{2021, 7, 9, 8, 5};
                    }};
  InProcessResult r;
  r.status = gaumo::run_gaumo(env);
  r.out = out.str();
  return r;
}

}  // namespace gaumo_test
