#pragma once
// The optional provisional files Flow_<identifier>.csv: they only fill days
// that are still without a value, and every station's unit is released and
// logged here.

#include <vector>

#include "flow/record_reader.h"

namespace gaumo {

/// Returns, per station (element i - 1), 1 when its file was there.
std::vector<char> read_provisional_flows(FileSystem& fs,
                                         const StationCatalogue& cat,
                                         RecordSink& sink);

}  // namespace gaumo
