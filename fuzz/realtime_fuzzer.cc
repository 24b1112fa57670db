// The realtime Datamart files: the parser, the pooling of a station's files
// and the daily means, then the same files through the station reader in
// an in-memory folder, into a one-year flow table.
//
// Input: a control byte, a piece-size byte, then up to three file texts
// separated by "\n##\n". The station is 10AA001.
//   control bits 0-2   which files are hourly (the others are daily)
//   control bits 3-4   0: no read fails; 1-3: that file's reads fail half way
//   control bits 5-6   the run's year: 2023, 2024, 1970 or 9999
//   control bit 7      the table's days start empty or all hold a value
//   piece byte         the size of the pieces a file is read in
//
// Besides the sanitizers: line by line and whole-file parsing agree; every
// reading is a real date and hour with a finite discharge; pooling leaves
// one reading per instant in time order; a complete day has a reading in
// each clock hour and a mean within its readings; the reader fills only
// empty days, and only with the complete days' means.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "flow/realtime_reader.h"
#include "fuzz_support.h"
#include "realtime/daily_means.h"
#include "realtime/datamart_file.h"
#include "run/line_scanner.h"
#include "support/memory_file_system.h"

namespace {

using gaumo::fuzz::fail;
namespace rt = gaumo::realtime;

constexpr const char* kStation = "10AA001";
constexpr std::array<std::int32_t, 4> kYears = {2023, 2024, 1970, 9999};
constexpr float kHeld = 5.0f;

bool same(const rt::FileReadings& a, const rt::FileReadings& b) {
  if (a.error_count != b.error_count || a.errors.size() != b.errors.size() ||
      a.readings.size() != b.readings.size())
    return false;
  for (std::size_t k = 0; k < a.errors.size(); ++k) {
    if (a.errors[k].line != b.errors[k].line ||
        a.errors[k].reason != b.errors[k].reason)
      return false;
  }
  for (std::size_t k = 0; k < a.readings.size(); ++k) {
    const rt::Reading& x = a.readings[k];
    const rt::Reading& y = b.readings[k];
    if (x.instant != y.instant || x.year != y.year || x.month != y.month ||
        x.day != y.day || x.hour != y.hour || x.discharge != y.discharge)
      return false;
  }
  return true;
}

rt::FileReadings by_lines(std::string_view text, std::size_t piece) {
  gaumo::MemoryInputFile file(text, piece);
  gaumo::LineScanner lines(file, rt::DatamartParser::kMaxLine + 1, 4096);
  rt::DatamartParser parser(kStation);
  std::string_view line;
  int err = 0;
  while (lines.next(line, err) == gaumo::LineScanner::Status::kLine)
    parser.line(line, lines.line_number());
  return parser.take();
}

void check_file(const rt::FileReadings& f) {
  if (f.errors.size() !=
      std::min<std::size_t>(rt::kKeptRowErrors,
                            static_cast<std::size_t>(f.error_count)))
    fail("kept errors do not match the count");
  for (std::size_t k = 0; k < f.errors.size(); ++k) {
    if (f.errors[k].line < 1 ||
        (k > 0 && f.errors[k].line <= f.errors[k - 1].line))
      fail("error lines out of order");
  }
  for (const rt::Reading& r : f.readings) {
    if (r.month < 1 || r.month > 12 || r.day < 1 || r.day > 31 || r.hour < 0 ||
        r.hour > 23 || r.year < 0 || r.year > 9999)
      fail("a reading outside the calendar");
    if (!std::isfinite(r.discharge) ||
        std::fabs(r.discharge) > std::numeric_limits<float>::max())
      fail("a discharge a float cannot hold");
  }
}

void check_days(const std::vector<rt::Reading>& pooled,
                const rt::DailyMeans& means) {
  for (std::size_t k = 1; k < pooled.size(); ++k) {
    if (pooled[k].instant <= pooled[k - 1].instant)
      fail("pooled readings not one per instant in time order");
  }
  std::int64_t in_complete = 0;
  for (const rt::DayMean& d : means.complete) {
    const rt::DayKey key = rt::day_key(d.year, d.month, d.day);
    double lo = std::numeric_limits<double>::infinity();
    double hi = -lo;
    std::uint32_t hours = 0;
    std::int64_t n = 0;
    for (const rt::Reading& r : pooled) {
      if (rt::day_key(r) != key)
        continue;
      lo = std::min(lo, r.discharge);
      hi = std::max(hi, r.discharge);
      hours |= std::uint32_t{1} << r.hour;
      ++n;
    }
    if (hours != 0xFFFFFFu || n != d.readings)
      fail("a complete day is not");
    if (!(d.mean >= lo - 1e-9 * std::fabs(lo) &&
          d.mean <= hi + 1e-9 * std::fabs(hi)))
      fail("a mean outside its readings");
    in_complete += n;
  }
  if (in_complete > static_cast<std::int64_t>(pooled.size()))
    fail("complete days hold more readings than the pool");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  gaumo::fuzz::ByteCursor in(data, size);
  const std::uint8_t control = in.byte();
  const std::size_t piece = 1 + in.byte();
  std::vector<std::string_view> texts =
      gaumo::fuzz::split_sections(in.rest(), "\n##\n");
  if (texts.size() > 3)
    texts.resize(3);

  // The parser on its own, and the pool and days of all the files.
  std::vector<rt::FileReadings> files;
  for (std::string_view t : texts) {
    files.push_back(rt::parse_datamart(t, kStation));
    check_file(files.back());
    if (!same(files.back(), by_lines(t, piece)))
      fail("line by line and whole-file parsing differ");
  }
  std::vector<rt::PoolSource> sources;
  for (std::size_t k = 0; k < files.size(); ++k)
    sources.push_back({&files[k].readings, ((control >> k) & 1) != 0});
  const std::vector<rt::Reading> pooled = rt::pool_readings(sources);
  const rt::DailyMeans means = rt::daily_means(pooled);
  check_days(pooled, means);

  // The same files through the station reader.
  const std::size_t fail_code = (control >> 3) & 3;
  const std::size_t failing = fail_code == 0 ? texts.size() : fail_code - 1;
  gaumo::MemoryFileSystem fs(piece);
  if (failing < texts.size()) {
    fs.inject({.kind = gaumo::MemoryFileSystem::Fault::Kind::kRead,
               .ordinal = static_cast<int>(failing),
               .offset = texts[failing].size() / 2});
  }
  // Names in the order of `texts`, as the reader takes them in name order.
  static constexpr const char* kProvinces[3] = {"AB", "BC", "YT"};
  for (std::size_t k = 0; k < texts.size(); ++k) {
    const bool hourly = ((control >> k) & 1) != 0;
    fs.add_file(std::string(kProvinces[k]) + "_" + kStation +
                    (hourly ? "_hourly" : "_daily") + "_hydrometric.csv",
                std::string(texts[k]));
  }
  const std::int32_t year = kYears[(control >> 5) & 3];
  const gaumo::RunOptions opts = gaumo::make_run_options(year, year);
  gaumo::FlowTable table;
  table.create(1, 1);
  const bool held = (control & 0x80) != 0;
  float* days = table.days(1, 1);
  if (held)
    std::fill(days, days + gaumo::kDaySlots, kHeld);
  gaumo::StationCatalogue cat;
  cat.nsta = 1;
  cat.idsta.assign(1, gaumo::Ident(kStation));
  std::ostringstream console;
  gaumo::RunLog log(console);
  gaumo::RecordFields fields;
  gaumo::RecordSink sink{opts, table, fields, log};
  gaumo::read_realtime_flows(fs, cat, sink);

  std::map<std::int32_t, float> allowed;  // day of the year -> mean
  for (const rt::DayMean& d : means.complete) {
    if (d.year != year)
      continue;
    std::int32_t doy = d.day;
    static constexpr std::int32_t kBefore[12] = {0,   31,  59,  90,  120, 151,
                                                 181, 212, 243, 273, 304, 334};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    doy += kBefore[d.month - 1] + (leap && d.month > 2 ? 1 : 0);
    allowed[doy] = rt::table_value(d.mean);
  }
  for (std::int32_t t = 1; t <= gaumo::kDaySlots; ++t) {
    const float v = days[t - 1];
    if (held) {
      if (v != kHeld)
        fail("a realtime mean replaced a day that had a value");
      continue;
    }
    if (v == gaumo::kMissing)
      continue;
    // With a read failure a file gives nothing, so a day may lack a mean
    // the whole files give, or (pooled differently) get another one.
    const auto it = allowed.find(t);
    if (failing >= texts.size() && (it == allowed.end() || it->second != v))
      fail("a day got a value that is not its complete day's mean");
  }
  return 0;
}
