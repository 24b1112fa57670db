#include "flow/historical_reader.h"

#include <algorithm>
#include <string>

#include "run/fatal_stop.h"
#include "run/stop_texts.h"
#include "text/free_format_line.h"

namespace gaumo {

FileName historical_file_name(const StationCatalogue& cat, std::int32_t i) {
  std::string name(cat.idsta[static_cast<std::size_t>(i - 1)].view());
  name += "_Daily_Flow_ts.csv";
  return FileName(name);
}

std::vector<char> read_historical_flows(FileSystem& fs,
                                        const StationCatalogue& cat,
                                        RecordSink& sink) {
  RunLog& log = sink.log;
  std::vector<char> found(static_cast<std::size_t>(std::max(cat.nsta, 0)), 0);
  for (std::int32_t i = 1; i <= cat.nsta; ++i) {
    const FileName fln = historical_file_name(cat, i);
    const std::string path(trim_right(fln.view()));
    if (!fs.exists(path)) {
      log.console(free_line({fln.view(), " not found"}));
      log.console(free_line({"Continuing to find the next listed file"}));
      continue;
    }
    found[static_cast<std::size_t>(i - 1)] = 1;
    int err = 0;
    auto file = fs.open_read(path, err);
    if (!file) {
      log.console(free_line({"Error opening ", fln.view()}));
      stop_run(stop_text::kStationFileOpen);
    }
    log.both(free_line(
        {"Opened unit=", station_unit(i), " filename=", fln.first(30)}));
    read_station_records(*file, RecordKind::kHistorical, fln,
                         cat.idsta[static_cast<std::size_t>(i - 1)], i, sink);
    // The unit stays connected until the provisional pass releases it; the
    // file itself is let go now, as nothing reads it again and a thousand
    // open files would exceed the usual descriptor limit.
  }
  return found;
}

}  // namespace gaumo
