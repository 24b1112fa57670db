#pragma once
// The realtime service's Datamart files of a station,
// <two letters>_<identifier>_hourly_hydrometric.csv and
// <two letters>_<identifier>_daily_hydrometric.csv in the current folder:
// the recent days the national archive does not hold yet. Each complete
// day's mean only fills a day still without a value, like the provisional
// files. A run without such files prints and writes nothing here.

#include <vector>

#include "flow/record_reader.h"

namespace gaumo {

/// Reads every station's Datamart files and places their daily means.
/// Returns, per station (element i - 1), 1 when it has such files; an
/// empty list when the folder has none.
std::vector<char> read_realtime_flows(FileSystem& fs, StationCatalogue& cat,
                                      RecordSink& sink);

}  // namespace gaumo
