#pragma once
// The texts a fatal stop ends the run with, printed alone on the last
// console line. They are the program's own and kept as they stand, blanks
// included: scripts that watch the console match them.

namespace gaumo::stop_text {

/// The flow table, or the per-station tables, cannot be had.
inline constexpr const char* kFlowTableAllocation =
    "Warning: error with allocation of outarray ";
inline constexpr const char* kStationTablesAllocation =
    "Warning: error with allocation of area12a arrays in tvr9";
/// A station file exists but cannot be opened.
inline constexpr const char* kStationFileOpen = "Gaumo aborted @ 323";
/// The station list cannot be opened for counting its stations.
inline constexpr const char* kStationListOpen =
    "Program aborted in Gaumo  @  79";
/// More stations than the run can take.
inline constexpr const char* kTooManyStations = "Program aborted @ 247";
/// The station list or nudge_flags.new cannot be opened for the listing
/// pass: the lines before it say why, and the stop shows nothing.
inline constexpr const char* kListingOpen = "";
/// A yearly file cannot be opened.
inline constexpr const char* kYearlyFileOpen = "in write_r2c @ 83";

}  // namespace gaumo::stop_text
