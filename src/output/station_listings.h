#pragma once
// The station listings for other tools: nudge_flags.new (its lines are
// written by the station-list reader), grapher_titles.csv and
// discharge_sites.xyz.

#include <string>

#include "run/file_system.h"
#include "run/run_log.h"
#include "stations/station_catalogue.h"

namespace gaumo {

/// Appends the 96-character nudge_flags.new line of station i (1-based).
void append_nudge_line(std::string& out, const StationCatalogue& cat,
                       std::int32_t i);
/// Appends the 87-character grapher_titles.csv row of station i.
void append_grapher_row(std::string& out, const StationCatalogue& cat,
                        std::int32_t i);
/// Appends the 116-character discharge_sites.xyz row of station i.
void append_discharge_row(std::string& out, const StationCatalogue& cat,
                          std::int32_t i);

/// Writes grapher_titles.csv, then its console lines.
void write_grapher_titles(FileSystem& fs, RunLog& log,
                          const StationCatalogue& cat);
/// Writes discharge_sites.xyz, then its console lines.
void write_discharge_sites(FileSystem& fs, RunLog& log,
                           const StationCatalogue& cat);

}  // namespace gaumo
