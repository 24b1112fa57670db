#include "flow/realtime_reader.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "flow/daily_door.h"
#include "realtime/daily_means.h"
#include "realtime/datamart_file.h"
#include "run/line_scanner.h"
#include "text/free_format_line.h"

namespace gaumo {
namespace {

constexpr std::string_view kHourly = "_hourly_hydrometric.csv";
constexpr std::string_view kDaily = "_daily_hydrometric.csv";

char fold(char c) {
#ifdef _WIN32
  // Windows folders match names whatever their case, and so does the
  // search for these files there.
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
#else
  return c;
#endif
}

bool same_name(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](char x, char y) { return fold(x) == fold(y); });
}

bool ends_with(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() &&
         same_name(s.substr(s.size() - tail.size()), tail);
}

bool is_letter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

/// Whether `name` is <two letters>_<id><tail>.
bool names_station(std::string_view name, std::string_view id,
                   std::string_view tail) {
  return name.size() == 3 + id.size() + tail.size() && is_letter(name[0]) &&
         is_letter(name[1]) && name[2] == '_' &&
         same_name(name.substr(3, id.size()), id) && ends_with(name, tail);
}

/// One Datamart file of a station and what it gave.
struct StationFile {
  std::string name;
  bool hourly = false;
  bool opened = false;
  bool read_failed = false;
  realtime::FileReadings got;
};

void read_file(FileSystem& fs, std::string_view id, StationFile& f) {
  int err = 0;
  auto file = fs.open_read(f.name, err);
  if (!file)
    return;
  f.opened = true;
  realtime::DatamartParser parser(id);
  // One byte past the longest line the parser reads, so that it sees a
  // longer one as too long rather than cut. The files are small (30 days
  // of 5-minute rows is under 1.5 MB): a modest block does.
  LineScanner lines(*file, realtime::DatamartParser::kMaxLine + 1,
                    std::size_t{1} << 16);
  std::string_view line;
  for (;;) {
    const LineScanner::Status st = lines.next(line, err);
    if (st == LineScanner::Status::kEnd)
      break;
    if (st == LineScanner::Status::kError) {
      // A file cut short would pass its last day off as complete with
      // part of its readings: nothing of it is used.
      f.read_failed = true;
      return;
    }
    parser.line(line, lines.line_number());
  }
  f.got = parser.take();
}

void log_file(RunLog& log, std::int32_t i, const StationFile& f,
              const realtime::DailyMeans& means) {
  if (!f.opened) {
    log.both(
        free_line({"Error opening ", f.name, "; its readings are not used"}));
    return;
  }
  log.both(free_line({"Opened filename=", f.name}));
  for (const realtime::RowError& e : f.got.errors) {
    log.record_error(i, "Error:  " + f.name + " line " +
                            std::to_string(e.line) + ": " + e.reason + "\n");
  }
  const std::int64_t more =
      f.got.error_count - static_cast<std::int64_t>(f.got.errors.size());
  if (more > 0) {
    log.record_error(i,
                     "Error:  " + f.name + ": " + std::to_string(more) +
                         " more lines that could not be read\n",
                     more);
  }
  if (f.read_failed) {
    log.both(
        free_line({"Error reading ", f.name, "; its readings are not used"}));
  }
  log.both(free_line({"Closed filename=", f.name}));
  const realtime::DayCounts days = realtime::count_days(f.got.readings, means);
  const auto clamp32 = [](std::int64_t v) {
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(v, std::numeric_limits<std::int32_t>::max()));
  };
  log.both(free_line(
      {"Readings=", clamp32(static_cast<std::int64_t>(f.got.readings.size())),
       " complete days used=", clamp32(days.complete),
       " incomplete days left out=", clamp32(days.incomplete)}));
}

/// Returns whether the station has Datamart files.
bool read_station(FileSystem& fs, const std::vector<std::string>& names,
                  const Ident& ident, std::int32_t i, DailyDoor& door) {
  const std::string_view id = trim_right(ident.view());
  // A name with blanks in it is not one the service would write.
  if (id.empty() || id.find(' ') != std::string_view::npos)
    return false;
  std::vector<StationFile> files;
  for (const std::string& name : names) {
    const bool hourly = names_station(name, id, kHourly);
    if (hourly || names_station(name, id, kDaily))
      files.push_back(StationFile{name, hourly, false, false, {}});
  }
  if (files.empty())
    return false;
  std::vector<realtime::PoolSource> sources;
  for (StationFile& f : files) {
    read_file(fs, id, f);
    if (f.read_failed)
      f.got.readings.clear();
    sources.push_back(realtime::PoolSource{&f.got.readings, f.hourly});
  }
  const realtime::DailyMeans means =
      realtime::daily_means(realtime::pool_readings(sources));
  for (const StationFile& f : files)
    log_file(door.log(), i, f, means);
  for (const realtime::DayMean& d : means.complete) {
    // A date of 0000..9999 fits the door's 16-bit fields.
    const DailyValue v{
        static_cast<std::int16_t>(d.year), static_cast<std::int16_t>(d.month),
        static_cast<std::int16_t>(d.day), realtime::table_value(d.mean)};
    door.put(i, v, Placing::kFillEmpty, ident);
  }
  return true;
}

}  // namespace

std::vector<char> read_realtime_flows(FileSystem& fs, StationCatalogue& cat,
                                      RecordSink& sink) {
  std::vector<char> found;
  if (cat.nsta <= 0)
    return found;
  std::vector<std::string> names;
  for (std::string& n : fs.list_folder()) {
    if (ends_with(n, kHourly) || ends_with(n, kDaily))
      names.push_back(std::move(n));
  }
  if (names.empty())
    return found;
  std::sort(names.begin(), names.end());
  DailyDoor door(sink.opts, sink.table, sink.log);
  found.resize(static_cast<std::size_t>(cat.nsta));
  for (std::int32_t i = 1; i <= cat.nsta; ++i) {
    const auto k = static_cast<std::size_t>(i - 1);
    found[k] = read_station(fs, names, cat.idsta[k], i, door) ? 1 : 0;
  }
  return found;
}

}  // namespace gaumo
