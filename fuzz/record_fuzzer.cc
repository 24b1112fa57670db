// The record handling shared by the historical and the provisional reader,
// on fuzzed records, into a small flow table of two stations.
//
// Input: a control byte, a byte for the way the records are fed, then the
// text. The text's first line is the station identifier (its first seven
// characters, blank-filled); the other lines are the records.
//   control bit 0      historical (0) or provisional (1) records
//   control bits 1-3   the first year of the run (kStartYears)
//   control bits 4-6   the number of years, 1 to 5 (0 and 6-7: 0 years)
//   control bit 7      the records belong to station 1 or 2
//   feed bit 0         one record at a time (records longer than 512
//                      characters included), or the whole file through the
//                      reader's own line splitting
//   feed bits 1-5      the size of the pieces the file is read in
//   feed bits 6-7      whether the file read fails, and how far in
//
// Every record is handled twice, with the fast record paths on and off;
// both must give the same outcome, fields, table and information lines. The
// fast paths read values with the vector reader for texts of even length,
// else with the word one.
// Besides that and the sanitizers: the other station's column never
// changes, and in a provisional pass the days that held a value keep it.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>

#include "flow/common_record.h"
#include "flow/day_run.h"
#include "flow/plain_record.h"
#include "flow/record_reader.h"
#include "fuzz_support.h"
#include "support/memory_file_system.h"

namespace {

using gaumo::fuzz::fail;

// Common and leap years, the century, and the ends of what a record's 16-bit
// year can hold.
constexpr std::array<std::int32_t, 8> kStartYears = {1999, 2000,  2012,   1900,
                                                     1918, 32766, -32768, 0};
constexpr std::int32_t kStations = 2;
// Days that hold a value before a provisional pass: the first ten of the
// first year, and day 366, which only a leap year's 31 December reaches.
constexpr float kHeld = 5.0f;

bool is_held(std::int32_t day) { return day <= 10 || day == 366; }

/// Field by field, the flow bit for bit (-0.0 is not 0.0 here).
bool same_fields(const gaumo::RecordFields& a, const gaumo::RecordFields& b) {
  return a.ident == b.ident && a.second == b.second && a.year == b.year &&
         a.month == b.month && a.day == b.day &&
         std::memcmp(&a.flow, &b.flow, sizeof(float)) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  gaumo::fuzz::ByteCursor in(data, size);
  const std::uint8_t control = in.byte();
  const std::uint8_t feed = in.byte();
  const auto kind = (control & 1) != 0 ? gaumo::RecordKind::kProvisional
                                       : gaumo::RecordKind::kHistorical;
  const std::int32_t start = kStartYears[(control >> 1) & 7];
  const std::int32_t span = (control >> 4) & 7;
  const std::int32_t years = span <= 5 ? span : 0;
  const std::int32_t station = 1 + (control >> 7);
  const std::int32_t other = kStations + 1 - station;

  std::string_view text = in.rest();
  const std::size_t nl = text.find('\n');
  const gaumo::Ident idsta(text.substr(0, nl));
  const std::string_view records =
      nl == std::string_view::npos ? std::string_view{} : text.substr(nl + 1);

  const gaumo::RunOptions opts =
      gaumo::make_run_options(start, start + years - 1);
  gaumo::FlowTable table;
  table.create(opts.nyears, kStations);
  const bool provisional = kind == gaumo::RecordKind::kProvisional;
  if (provisional && years > 0) {
    float* days = table.days(station, 1);
    for (std::int32_t d = 1; d <= gaumo::kDaySlots; ++d) {
      if (is_held(d))
        days[d - 1] = kHeld;
    }
  }

  // The same records once more with the fast record paths off: both ways
  // must give the same outcomes, fields, table and information lines.
  gaumo::FlowTable plain_table;
  plain_table.create(opts.nyears, kStations);
  for (std::int32_t i = 1; i <= kStations; ++i) {
    for (std::int32_t y = 1; y <= years; ++y) {
      std::copy_n(table.days(i, y), gaumo::kDaySlots, plain_table.days(i, y));
    }
  }
  std::ostringstream console, plain_console;
  gaumo::RunLog log(console), plain_log(plain_console);
  gaumo::RecordFields fields, plain_fields;
  gaumo::RecordSink sink{opts, table, fields, log};
  gaumo::RecordSink plain{opts, plain_table, plain_fields, plain_log};
  plain.tuning.fast_paths = false;
  // The record loop's value reader: the vector one where the processor has
  // it, or the word one; no control bit is left, so the text's length
  // picks.
  sink.tuning.vector_values = records.size() % 2 == 0;
  // A small read block: lines then cross block edges, and a run does not
  // map and unmap a megabyte under the address sanitizer, which took most
  // of the fuzzing time.
  sink.tuning.block_size = plain.tuning.block_size = 4096;
  if ((feed & 1) == 0) {
    // As the file reader does before its first record.
    sink.plain_identifier = plain.plain_identifier =
        gaumo::is_plain_identifier(idsta);
    for (std::string_view record : gaumo::fuzz::split_lines(records)) {
      const auto fast =
          gaumo::handle_record(record, kind, idsta, station, sink);
      const auto slow =
          gaumo::handle_record(record, kind, idsta, station, plain);
      if (fast != slow)
        fail("the fast paths changed a record's outcome");
      if (!same_fields(fields, plain_fields)) {
        fail("the fast paths changed the record fields");
      }
    }
  } else {
    const std::size_t piece = 1 + ((feed >> 1) & 31) * 17;
    const std::size_t fail_at = (feed >> 6) == 0
                                    ? gaumo::MemoryInputFile::kNever
                                    : records.size() * (feed >> 6) / 4;
    const gaumo::FileName fln("fuzz_Daily_Flow_ts.csv");
    gaumo::MemoryInputFile file(records, piece, fail_at);
    gaumo::read_station_records(file, kind, fln, idsta, station, sink);
    gaumo::MemoryInputFile again(records, piece, fail_at);
    gaumo::read_station_records(again, kind, fln, idsta, station, plain);
    if (!same_fields(fields, plain_fields)) {
      fail("the fast paths changed the record fields");
    }
  }
  if (console.str() != plain_console.str()) {
    fail("the fast paths changed the information lines");
  }
  for (std::int32_t i = 1; i <= kStations; ++i) {
    for (std::int32_t y = 1; y <= years; ++y) {
      if (std::memcmp(table.days(i, y), plain_table.days(i, y),
                      sizeof(float) * gaumo::kDaySlots) != 0) {
        fail("the fast paths changed the table");
      }
    }
  }

  for (std::int32_t y = 1; y <= years; ++y) {
    const float* mine = table.days(station, y);
    const float* theirs = table.days(other, y);
    for (std::int32_t d = 1; d <= gaumo::kDaySlots; ++d) {
      if (theirs[d - 1] != gaumo::kMissing) {
        fail("a record reached another station's column");
      }
      if (provisional && y == 1 && is_held(d) && mine[d - 1] != kHeld) {
        fail("a provisional record replaced a day that had a value");
      }
    }
  }
  return 0;
}
