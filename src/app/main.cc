// gaumo: turns raw daily discharge records of gauging stations into yearly
// EnSim tb0 streamflow files. Everything it needs comes from three console
// answers and the files of the current folder.

#include <iostream>

#include "app/command_line.h"
#include "app/run.h"
#include "app/version.h"
#include "system/disk_file_system.h"
#include "system/platform.h"

#if GAUMO_HAVE_SQLITE
#include "app/stations_command.h"
#endif

int main(int argc, char** argv) {
  gaumo::platform::use_binary_console();
  using Action = gaumo::CommandLine::Action;
  const gaumo::CommandLine cl = gaumo::parse_command_line(argc, argv);
  switch (cl.action) {
  case Action::kHelp:
    std::cout << gaumo::usage_text();
    return 0;
  case Action::kVersion:
    std::cout << "gaumo " << gaumo::kVersion << " (Version 6, May 03, 2016)\n";
    return 0;
  case Action::kUsageError:
    std::cerr << "gaumo: " << cl.error << "; usage: " << gaumo::usage_synopsis()
              << '\n';
    return 2;
  case Action::kStations:
  case Action::kRun:
    break;
  }
#if GAUMO_HAVE_SQLITE
  if (cl.action == Action::kStations)
    return gaumo::run_stations_command(cl, std::cout, std::cerr);
#else
  if (cl.action == Action::kStations || !cl.hydat.empty()) {
    std::cerr << "gaumo: this gaumo was built without SQLite: --hydat and "
                 "stations are not available\n";
    return 2;
  }
#endif
  std::ios::sync_with_stdio(false);
  auto fs = gaumo::make_disk_file_system();
  gaumo::RunEnv env{std::cin, std::cout, *fs, gaumo::local_clock};
  return gaumo::run_gaumo(env, gaumo::RunRequest{cl.hydat});
}
