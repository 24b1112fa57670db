#include "app/run.h"

#include <memory>

#include "app/banner.h"
#include "app/dialogue.h"
#include "app/historical_source.h"
#include "flow/availability.h"
#include "flow/historical_reader.h"
#include "flow/provisional_reader.h"
#include "flow/realtime_reader.h"
#include "output/availability_reports.h"
#include "output/column_metadata.h"
#include "output/station_listings.h"
#include "run/fatal_stop.h"
#include "run/out_buffer.h"
#include "run/run_log.h"
#include "stations/station_list_reader.h"
#include "text/free_format.h"

namespace gaumo {
namespace {

constexpr const char* kInfoFile = "Gaumo_info.txt";

void main_sequence(RunEnv& env, const RunRequest& req, RunLog& log,
                   std::unique_ptr<OutBuffer>& info) {
  env.out << banner_text();
  const RunOptions opts = ask_run_options(env.in, log);
  // A database that cannot be read stops the run before any file is made.
  HistoricalSource historical(req.hydat_path);
  const HeaderConstants hc = set_header_constants();
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
  StationListHooks hooks;
  hooks.allocate_tables = [&](std::int32_t nsta) {
    avail.allocate(nsta, opts.year_count());
  };
  hooks.nudge_line = append_nudge_line;
  read_station_list(env.fs, log, cat, hooks);
  write_grapher_titles(env.fs, log, cat);
  write_discharge_sites(env.fs, log, cat);

  FlowTable table;
  table.create(opts.nyears, cat.nsta);
  set_column_metadata(cat);
  RecordFields fields;
  RecordSink sink{opts, table, fields, log};
  historical.read(env.fs, cat, sink);
  read_provisional_flows(env.fs, cat, sink);
  read_realtime_flows(env.fs, cat, sink);
  compute_availability_flags(table, cat.nsta, avail);
  write_yearly_tb0(env.fs, log, opts, hc, cat, table, env.clock);
  write_availability_reports(env.fs, opts, cat, avail);
  env.out << closing_text();
}

}  // namespace

int run_gaumo(RunEnv& env, const RunRequest& req) {
  RunLog log(env.out);
  std::unique_ptr<OutBuffer> info;
  int status = 0;
  try {
    main_sequence(env, req, log, info);
  } catch (const FatalStop& stop) {
    if (!stop.last_line.empty())
      env.out << stop.last_line << '\n';
    status = 1;
  }
  // Whatever the information file got so far is kept, also after a stop;
  // a failure to write it is not reported.
  if (info)
    info->close();
  env.out.flush();
  return status;
}

}  // namespace gaumo
