#include "output/availability_reports.h"

#include <string>

#include "run/fatal_stop.h"
#include "run/out_buffer.h"
#include "text/fixed_fields.h"

namespace gaumo {
namespace {

// The lines grow with the number of years, which nothing bounds, so they
// are streamed through the buffer rather than built whole.
template <typename Cell>
void report(OutBuffer& out, std::string_view station_field,
            const RunOptions& opts, const StationCatalogue& cat,
            std::int64_t years, Cell cell) {
  std::string& s = out.pending();
  s.append(station_field);
  for (std::int64_t y = opts.start_year; y <= opts.end_year; ++y) {
    put_int(s, y, 5);
    out.commit();
  }
  s += "\n\n";
  for (std::int32_t i = 1; i <= cat.nsta; ++i) {
    put_int(s, i, 5);
    s += "   ";
    s.append(cat.idsta[static_cast<std::size_t>(i - 1)].view());
    const auto base =
        static_cast<std::size_t>(i - 1) * static_cast<std::size_t>(years);
    for (std::int64_t n = 0; n < years; ++n) {
      cell(s, base + static_cast<std::size_t>(n));
      out.commit();
    }
    s += '\n';
  }
}

}  // namespace

void write_recl_report(OutBuffer& out, const RunOptions& opts,
                       const StationCatalogue& cat,
                       const StationAvailability& avail) {
  report(out, "        station", opts, cat, avail.years,
         [&](std::string& s, std::size_t c) { put_int(s, avail.days[c], 5); });
}

void write_flag_report(OutBuffer& out, const RunOptions& opts,
                       const StationCatalogue& cat,
                       const StationAvailability& avail) {
  report(out, "   station     ", opts, cat, avail.years,
         [&](std::string& s, std::size_t c) {
           s += "    ";
           s += avail.flags[c];
         });
}

void write_availability_reports(FileSystem& fs, const RunOptions& opts,
                                const StationCatalogue& cat,
                                const StationAvailability& avail) {
  write_whole_file(fs, "flow_recl.txt", [&](OutBuffer& out) {
    write_recl_report(out, opts, cat, avail);
  });
  write_whole_file(fs, "flow_flag.txt", [&](OutBuffer& out) {
    write_flag_report(out, opts, cat, avail);
  });
}

}  // namespace gaumo
