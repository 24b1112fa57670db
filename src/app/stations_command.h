#pragma once
// gaumo stations: a station list (flow_stations.tb0) from a HYDAT
// database's STATIONS table.

#include <ostream>

#include "app/command_line.h"

namespace gaumo {

/// Writes the list to `out`, or one message to `err` and nothing to `out`;
/// returns the exit status (0 or 1).
int run_stations_command(const CommandLine& cl, std::ostream& out,
                         std::ostream& err);

}  // namespace gaumo
