#include "app/historical_source.h"

#include "flow/historical_reader.h"
#include "run/fatal_stop.h"

#if GAUMO_HAVE_SQLITE
#include "flow/hydat_reader.h"
#include "hydat/hydat_database.h"
#else
namespace gaumo::hydat {
class Database {};
}  // namespace gaumo::hydat
#endif

namespace gaumo {

HistoricalSource::HistoricalSource(const std::string& hydat_path) {
  if (hydat_path.empty())
    return;
#if GAUMO_HAVE_SQLITE
  std::string problem;
  db_ = hydat::Database::open(hydat_path, {hydat::daily_flow_need()}, problem);
  if (!db_)
    stop_with_message("Error: " + problem);
#else
  stop_with_message(
      "Error: this gaumo was built without SQLite and cannot "
      "read a HYDAT database");
#endif
}

HistoricalSource::~HistoricalSource() = default;

std::vector<char> HistoricalSource::read(FileSystem& fs,
                                         const StationCatalogue& cat,
                                         RecordSink& sink) {
#if GAUMO_HAVE_SQLITE
  if (db_) {
    DailyDoor door(sink.opts, sink.table, sink.log);
    return read_database_flows(*db_, cat, door);
  }
#endif
  return read_historical_flows(fs, cat, sink);
}

}  // namespace gaumo
