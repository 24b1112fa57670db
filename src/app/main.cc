// gaumo: turns raw daily discharge records of gauging stations into yearly
// EnSim tb0 streamflow files. Everything it needs comes from three console
// answers and the files of the current folder.

#include <cstring>
#include <iostream>

#include "app/run.h"
#include "text/file_system.h"
#include "text/platform.h"

namespace {

constexpr const char* kUsage =
    "Usage: gaumo [--help | --version]\n"
    "\n"
    "Run gaumo in the folder that holds flow_stations.tb0 and the station\n"
    "files <id>_Daily_Flow_ts.csv (and, optionally, Flow_<id>.csv and the\n"
    "realtime Datamart files <PP>_<id>_hourly_hydrometric.csv and\n"
    "<PP>_<id>_daily_hydrometric.csv, whose complete days' means fill days\n"
    "still without a value). It asks three questions on standard input\n"
    "(natural flows y/n, first year, last year) and writes one\n"
    "<yyyy>0101_str.tb0 file per year into the parent folder, and\n"
    "nudge_flags.new, grapher_titles.csv, discharge_sites.xyz, flow_recl.txt,\n"
    "flow_flag.txt and Gaumo_info.txt into the current folder.\n";

}  // namespace

int main(int argc, char** argv) {
  gaumo::platform::use_binary_console();
  if (argc > 1) {
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
      std::cout << kUsage;
      return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
      std::cout << "gaumo 6.0.0 (Version 6, May 03, 2016)\n";
      return 0;
    }
    std::cerr << "gaumo: unexpected argument '" << argv[1]
              << "'; usage: gaumo [--help | --version]\n";
    return 2;
  }
  std::ios::sync_with_stdio(false);
  auto fs = gaumo::make_disk_file_system();
  gaumo::RunEnv env{std::cin, std::cout, *fs, gaumo::local_clock};
  return gaumo::run_gaumo(env);
}
