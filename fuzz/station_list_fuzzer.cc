// The station list stage on a fuzzed flow_stations.tb0, followed by the two
// station listings, in an in-memory file system.
//
// Input: the whole content of flow_stations.tb0. The file is handed to the
// reader in short pieces whose size follows from the input's length, so
// lines that straddle two reads are exercised as well.
//
// A stage may end the run by FatalStop; that is a normal outcome here.
// When the stage finishes, every station gets exactly one line in each
// listing, each of its layout's fixed width, whatever the numbers and names
// in the list were.

#include <cstdint>
#include <sstream>
#include <string>

#include "fuzz_support.h"
#include "output/station_listings.h"
#include "run/fatal_stop.h"
#include "stations/station_list_reader.h"
#include "support/memory_file_system.h"

namespace {

using gaumo::fuzz::fail;

constexpr std::size_t kNudgeWidth = 96;
constexpr std::size_t kGrapherWidth = 87;
constexpr std::size_t kDischargeWidth = 116;

/// Every line of `text` is `width` characters, and there are `rows` of them
/// after `skip` heading lines.
void check_rows(const std::string& text, std::size_t skip, std::int32_t rows,
                std::size_t width, const char* what) {
  if (!text.empty() && text.back() != '\n')
    fail(what);
  const auto lines = gaumo::fuzz::split_lines(text);
  if (lines.size() != skip + static_cast<std::size_t>(rows))
    fail(what);
  for (std::size_t k = skip; k < lines.size(); ++k) {
    if (lines[k].size() != width)
      fail(what);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const std::string list(reinterpret_cast<const char*>(data), size);
  gaumo::MemoryFileSystem fs(1 + size % 97);
  fs.add_file(gaumo::kStationListFile, list);

  std::ostringstream console;
  gaumo::RunLog log(console);
  gaumo::StationCatalogue cat;
  gaumo::StationListHooks hooks;
  hooks.nudge_line = gaumo::append_nudge_line;
  try {
    gaumo::read_station_list(fs, log, cat, hooks);
    gaumo::write_grapher_titles(fs, log, cat);
    gaumo::write_discharge_sites(fs, log, cat);
  } catch (const gaumo::FatalStop&) {
    if (cat.nsta < 0 || cat.nsta > gaumo::kMaxStations) {
      fail("station count out of bounds after a stop");
    }
    return 0;
  }
  if (cat.nsta < 0 || cat.nsta > gaumo::kMaxStations) {
    fail("station count out of bounds");
  }
  const auto& files = fs.files();
  check_rows(files.at(gaumo::kNudgeFile), 0, cat.nsta, kNudgeWidth,
             "nudge_flags.new rows");
  check_rows(files.at("grapher_titles.csv"), 0, cat.nsta, kGrapherWidth,
             "grapher_titles.csv rows");
  check_rows(files.at("discharge_sites.xyz"), 1, cat.nsta, kDischargeWidth,
             "discharge_sites.xyz rows");
  return 0;
}
