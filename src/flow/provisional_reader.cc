#include "flow/provisional_reader.h"

#include <algorithm>
#include <string>

#include "flow/historical_reader.h"
#include "text/free_format_line.h"

namespace gaumo {
namespace {

void opening_lines(RunLog& log, std::int32_t nsta) {
  log.console(free_line({"ng =", nsta}));
  log.console(free_line({"is this ok?"}));
  log.console(free_line({"****************************"}));
  log.console(free_line({"Looking for provisional data"}));
  log.console(free_line({"****************************"}));
}

}  // namespace

std::vector<char> read_provisional_flows(FileSystem& fs,
                                         const StationCatalogue& cat,
                                         RecordSink& sink) {
  RunLog& log = sink.log;
  std::vector<char> found(static_cast<std::size_t>(std::max(cat.nsta, 0)), 0);
  opening_lines(log, cat.nsta);
  for (std::int32_t i = 1; i <= cat.nsta; ++i) {
    const auto k = static_cast<std::size_t>(i - 1);
    std::string name = "Flow_";
    name.append(cat.staid[k].view());
    name += ".csv";
    const FileName fln(name);
    log.console(free_line({i, fln.view()}));
    const std::string path(trim_right(fln.view()));
    if (!fs.exists(path)) {
      log.console(free_line({fln.view(), " not found"}));
      log.console(free_line({"Continuing to find the next listed file"}));
    } else {
      found[k] = 1;
      int err = 0;
      auto file = fs.open_read(path, err);
      if (!file)
        log.console(free_line({"Error opening ", fln.view()}));
      log.both(free_line(
          {"Opened unit=", station_unit(i), " filename=", fln.first(30)}));
      if (file) {
        read_station_records(*file, RecordKind::kProvisional, fln, cat.idsta[k],
                             i, sink);
      }
    }
    log.both(free_line(
        {"Closed unit=", station_unit(i), " filename=", fln.first(30)}));
  }
  log.console(free_line({"ng =", cat.nsta}));
  log.console(free_line({"is this ok?"}));
  return found;
}

}  // namespace gaumo
