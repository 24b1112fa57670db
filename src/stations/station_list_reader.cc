#include "stations/station_list_reader.h"

#include <array>
#include <new>
#include <string>

#include "run/fatal_stop.h"
#include "run/line_scanner.h"
#include "run/out_buffer.h"
#include "run/stop_texts.h"
#include "system/memory_limit.h"
#include "text/fixed_fields.h"
#include "text/free_form_reader.h"
#include "text/free_format_line.h"

namespace gaumo {
namespace {

constexpr std::size_t kLineBuffer = 512;
constexpr std::string_view kEndHeader = ":EndHeader";

/// Feeds the free-form reader from the list, remembering I/O failures.
class ListSource final : public LineSource {
 public:
  explicit ListSource(InputFile& f) : scanner_(f) {}
  bool next_line(std::string_view& line) override {
    if (io_error_ != 0)
      return false;
    int err = 0;
    switch (scanner_.next(line, err)) {
    case LineScanner::Status::kLine:
      return true;
    case LineScanner::Status::kEnd:
      return false;
    case LineScanner::Status::kError:
      io_error_ = err;
      return false;
    }
    return false;
  }
  std::int64_t line_number() const { return scanner_.line_number(); }
  int io_error() const { return io_error_; }

 private:
  LineScanner scanner_;
  int io_error_ = 0;
};

/// The message of a read error of the list, naming the line and the field.
[[noreturn]] void list_read_error(const ListSource& src, const ReadResult& r,
                                  std::string_view what) {
  std::string m = std::string(kStationListFile) + ":" +
                  std::to_string(src.line_number()) + ": ";
  if (src.io_error() != 0) {
    m += "read error (system error " + std::to_string(src.io_error()) +
         ") in " + std::string(what);
  } else if (r.status == ReadStatus::kEndOfInput) {
    m += "end of file in " + std::string(what);
  } else {
    m += "field " + std::to_string(r.target_index + 1) + " \"" + r.bad_text +
         "\" " +
         (r.status == ReadStatus::kOutOfRange ? "is out of range"
                                              : "is not a number") +
         " in " + std::string(what);
  }
  stop_with_message(m);
}

/// Reads line after line, first word only, up to the ":EndHeader" line.
void skip_header(ListSource& src, std::array<char, kLineBuffer>& line) {
  const Target t = Target::text(line.data(), line.size());
  for (;;) {
    std::string_view first;
    ReadResult r;
    if (!src.next_line(first)) {
      r.status = ReadStatus::kEndOfInput;
      list_read_error(src, r, "the header (no \":EndHeader\" line)");
    }
    r = read_values(first, &src, {&t, 1});
    if (!r.ok())
      list_read_error(src, r, "the header (no \":EndHeader\" line)");
    if (std::string_view(line.data(), kEndHeader.size()) == kEndHeader)
      return;
  }
}

std::string row_name(long r) { return "station row " + std::to_string(r); }

std::int32_t count_stations(FileSystem& fs, RunLog& log, StationCatalogue& cat,
                            std::array<char, kLineBuffer>& line) {
  int err = 0;
  auto file = fs.open_read(kStationListFile, err);
  if (!file) {
    log.console(free_line({"ios=", err}));
    log.console(free_line({"problems opening flow_stations.tb0"}));
    log.console(free_line({}));
    stop_run(stop_text::kStationListOpen);
  }
  log.console(free_line({"Reading flow_stations.tb0"}));
  ListSource src(*file);
  skip_header(src, line);
  log.console(free_line({"found endheader"}));

  std::array<char, 20> scratch{};
  scratch.fill(' ');
  std::int32_t r = 1;
  for (;;) {
    std::string_view first;
    if (!src.next_line(first)) {
      if (src.io_error() != 0)
        list_read_error(src, ReadResult{}, row_name(r));
      break;
    }
    if (r > kMaxStations) {
      log.console(free_line({"Only 1000 stations are allowed"}));
      log.console(free_line({"Array bounds need to be increased in the code"}));
      stop_run(stop_text::kTooManyStations);
    }
    Ident& id = cat.staid[static_cast<std::size_t>(r - 1)];
    const Target targets[] = {
        Target::text(id.data(), Ident::size()),
        Target::text(scratch.data(), scratch.size()),
        Target::text(line.data(), line.size()),
        Target::text(scratch.data(), scratch.size()),
        Target::text(scratch.data(), scratch.size()),
    };
    const ReadResult res = read_values(first, &src, targets);
    if (!res.ok())
      list_read_error(src, res, row_name(r));
    log.console(
        free_line({r, id.view(), "  ", std::string_view(line.data(), 50)}));
    ++r;
  }
  const std::int32_t nsta = r - 1;
  log.console(free_line({"no flow stations found =", nsta}));
  return nsta;
}

void read_stations(FileSystem& fs, RunLog& log, StationCatalogue& cat,
                   std::array<char, kLineBuffer>& line,
                   const StationListHooks& hooks) {
  int err = 0;
  auto file = fs.open_read(kStationListFile, err);
  std::unique_ptr<OutputFile> nudge_file;
  if (file)
    nudge_file = fs.open_write(kNudgeFile, err);
  if (!file || !nudge_file) {
    log.console(free_line({"problems opening flow_stations.tb0"}));
    log.console(free_line({"ios=", err}));
    log.console(free_line({}));
    stop_run(stop_text::kListingOpen);
  }
  OutBuffer nudge(std::move(nudge_file));
  ListSource src(*file);
  skip_header(src, line);

  std::array<char, 20> scratch{};
  scratch.fill(' ');
  std::string out;
  for (std::int32_t i = 1; i <= cat.nsta; ++i) {
    const auto k = static_cast<std::size_t>(i - 1);
    const Target targets[] = {
        Target::text(cat.idsta[k].data(), Ident::size()),
        Target::text(scratch.data(), scratch.size()),
        Target::text(cat.sta_name[k].data(), StationName::size()),
        Target::text(scratch.data(), scratch.size()),
        Target::text(scratch.data(), scratch.size()),
        Target::real32(&cat.ysta[k]),
        Target::real32(&cat.xsta[k]),
        Target::real32(&cat.dr_area[k]),
    };
    std::string_view first;
    ReadResult res;
    if (!src.next_line(first)) {
      res.status = ReadStatus::kEndOfInput;
      list_read_error(src, res, row_name(i));
    }
    res = read_values(first, &src, targets);
    if (!res.ok())
      list_read_error(src, res, row_name(i));
    // The tb0 writer names its columns by idsta_w, which nothing else fills.
    cat.idsta_w[k] = cat.idsta[k];
    out.clear();
    if (hooks.nudge_line)
      hooks.nudge_line(out, cat, i);
    nudge.write(out);
  }
  if (nudge.close() != 0)
    stop_with_message("Error writing nudge_flags.new");
}

}  // namespace

void allocate_station_arrays(std::int32_t nsta, StationCatalogue& cat,
                             const StationListHooks& hooks) {
  const auto n = static_cast<std::uint64_t>(nsta);
  try {
    assign_checked(cat.xsta, n);
    assign_checked(cat.ysta, n);
    assign_checked(cat.sta_name, n);
    assign_checked(cat.idsta, n);
    assign_checked(cat.idsta_w, n);
    assign_checked(cat.dr_area, n);
    if (hooks.allocate_tables)
      hooks.allocate_tables(nsta);
  } catch (const std::bad_alloc&) {
    stop_run(stop_text::kStationTablesAllocation);
  }
  cat.nsta = nsta;
}

void read_station_list(FileSystem& fs, RunLog& log, StationCatalogue& cat,
                       const StationListHooks& hooks) {
  std::array<char, kLineBuffer> line;
  line.fill(' ');
  const bool exists = fs.exists(kStationListFile);
  std::int32_t nsta = 0;
  if (exists) {
    log.console(free_line({"flow_stations.tb0 found"}));
    nsta = count_stations(fs, log, cat, line);
  } else {
    log.console(free_line({"flow_stations.tb0 not found"}));
    log.console(free_line({"wrong directory?"}));
  }
  allocate_station_arrays(nsta, cat, hooks);
  if (exists)
    read_stations(fs, log, cat, line, hooks);
}

}  // namespace gaumo
