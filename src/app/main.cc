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
#include "text/file_system.h"
#include "text/platform.h"

int main(int argc, char** argv) {
  gaumo::platform::use_binary_console();
  const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0),
                                           argv + (argc > 0 ? argc : 0));
  gaumo::CommandLine cl = gaumo::parse_command_line(args);
  switch (cl.action) {
  case gaumo::CommandLine::Action::kHelp:
    std::cout << gaumo::kUsageText;
    return 0;
  case gaumo::CommandLine::Action::kVersion:
    std::cout << gaumo::kVersionText;
    return 0;
  case gaumo::CommandLine::Action::kUsageError:
    std::cerr << cl.error << '\n';
    return 2;
  case gaumo::CommandLine::Action::kRun:
    break;
  }
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
