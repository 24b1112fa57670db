#include "app/run.h"

#include <iostream>
#include <memory>
#include <vector>

#include "app/banner.h"
#include "app/dialogue.h"
#include "app/historical_source.h"
#include "app/run_extras.h"
#include "flow/availability.h"
#include "flow/historical_reader.h"
#include "flow/provisional_reader.h"
#include "flow/realtime_reader.h"
#include "output/availability_reports.h"
#include "output/column_metadata.h"
#include "output/station_listings.h"
#include "output/tb0_writer.h"
#include "run/fatal_stop.h"
#include "run/out_buffer.h"
#include "run/run_log.h"
#include "stations/station_list_reader.h"
#include "text/free_format_line.h"

namespace gaumo {
namespace {

constexpr const char* kInfoFile = "Gaumo_info.txt";

void main_sequence(RunEnv& env, const RunRequest& req, RunLog& log,
                   std::unique_ptr<OutBuffer>& info, RunExtras& extras) {
  env.out << banner_text();
  const RunOptions opts = ask_run_options(env.in, log, extras.answers());
  // A database that cannot be read stops the run before any file is made.
  HistoricalSource historical(req.hydat_path);
  const HeaderConstants hc = header_constants();
  log.console(free_line({"Run in the \\direz\\wsc_data folder"}));
  log.console(free_line({}));

  int err = 0;
  if (auto file = env.fs.open_write(kInfoFile, err)) {
    info = std::make_unique<OutBuffer>(std::move(file));
    log.set_info_file(info.get());
  } else {
    // The closing box would point to a file that is not there.
    log.console(free_line({"Warning: Gaumo_info.txt could not be opened"}));
  }

  StationCatalogue cat;
  StationAvailability avail;
  ColumnMetadata columns;
  StationListHooks hooks;
  // The column metadata is allocated with the station list's other
  // per-station arrays, so a failure stops the run there, with their text.
  hooks.allocate_tables = [&](std::int32_t nsta) {
    avail.allocate(nsta, opts.year_count());
    columns = column_metadata(nsta);
  };
  hooks.nudge_line = append_nudge_line;
  read_station_list(env.fs, log, cat, hooks);
  extras.stations_read(cat);
  write_grapher_titles(env.fs, log, cat);
  write_discharge_sites(env.fs, log, cat);

  FlowTable table;
  table.create(opts.nyears, cat.nsta);
  RecordFields fields;
  RecordSink sink{opts, table, fields, log};
  const std::vector<char> found = historical.read(env.fs, cat, sink);
  extras.historical_read(cat, table, historical.source(), found);
  const std::vector<char> provisional =
      read_provisional_flows(env.fs, cat, sink);
  const std::vector<char> realtime = read_realtime_flows(env.fs, cat, sink);
  extras.provisional_read(cat, table, provisional, realtime);
  compute_availability_flags(table, cat.nsta, avail);
  write_yearly_tb0(env.fs, log, opts, hc, cat, columns, table, env.clock);
  extras.yearly_files_written(log, opts, hc, cat, columns, table, env.clock);
  write_availability_reports(env.fs, opts, cat, avail);
  extras.reports_written(avail);
  env.out << closing_text();
}

}  // namespace

int run_gaumo(RunEnv& env) { return run_gaumo(env, RunRequest{}); }

int run_gaumo(RunEnv& outer, const RunRequest& request) {
  RunLog log(outer.out);
  RunExtras extras(request, outer.fs, log);
  RunEnv env{outer.in, outer.out, extras.fs(), outer.clock};
  std::unique_ptr<OutBuffer> info;
  int status = 0;
  std::string stop_reason;
  try {
    main_sequence(env, request, log, info, extras);
  } catch (const FatalStop& stop) {
    if (!stop.last_line.empty())
      env.out << stop.last_line << '\n';
    status = 1;
    stop_reason = stop.last_line.empty() ? "fatal stop" : stop.last_line;
  }
  // Whatever the information file got so far is kept, also after a stop;
  // a failure to write it is not reported.
  if (info)
    info->close();
  env.out.flush();
  return extras.finish(status, stop_reason, std::cerr);
}

}  // namespace gaumo
