// gaumo: turns raw daily discharge records of gauging stations into yearly
// EnSim tb0 streamflow files. Everything it needs comes from three console
// answers and the files of the current folder.

#include <filesystem>
#include <iostream>
#include <string_view>
#include <system_error>
#include <vector>

#include "app/command_line.h"
#include "app/run.h"
#include "app/version.h"
#include "system/disk_file_system.h"
#include "system/local_clock.h"
#include "system/platform.h"

#if GAUMO_HAVE_SQLITE
#include "app/stations_command.h"
#endif

int main(int argc, char** argv) {
  gaumo::platform::use_binary_console();
  using Action = gaumo::CommandLine::Action;
  const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0),
                                           argv + (argc > 0 ? argc : 0));
  gaumo::CommandLine cl = gaumo::parse_command_line(args);
  switch (cl.action) {
  case Action::kHelp:
    std::cout << gaumo::kUsageText;
    return 0;
  case Action::kVersion:
    std::cout << "gaumo " << gaumo::kVersion << " (Version 6, May 03, 2016)\n";
    return 0;
  case Action::kUsageError:
    std::cerr << cl.error << '\n';
    return 2;
  case Action::kStations:
  case Action::kRun:
    break;
  }
#if GAUMO_HAVE_SQLITE
  if (cl.action == Action::kStations)
    return gaumo::run_stations_command(cl, std::cout, std::cerr);
#else
  if (cl.action == Action::kStations || !cl.request.hydat_path.empty()) {
    std::cerr << "gaumo: this gaumo was built without SQLite: --hydat and "
                 "stations are not available\n";
    return 2;
  }
#endif
  if (!cl.request.summary_path.empty()) {
    std::error_code ec;
    const std::filesystem::path here = std::filesystem::current_path(ec);
    cl.request.input_folder = ec ? std::string(".") : here.string();
  }
  std::ios::sync_with_stdio(false);
  auto fs = gaumo::make_disk_file_system();
  gaumo::RunEnv env{std::cin, std::cout, *fs, gaumo::local_clock};
  return gaumo::run_gaumo(env, cl.request);
}
