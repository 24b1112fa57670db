#include "output/single_tb0_writer.h"

#include "run/fatal_stop.h"
#include "run/out_buffer.h"
#include "text/free_format_line.h"

namespace gaumo {

// The keyword takes 20 characters and each station 12.
static_assert(20 + 12 * kStationsWithinHeaderLimit == kHeaderLineLimit);

std::string wide_header_warning(const std::string& path,
                                std::int32_t stations) {
  return free_line(
      {"Warning: ", path, " has", stations,
       " stations; tb0 readers that cut header lines at 5000 characters "
       "will miss the stations past the 415th"});
}

void write_single_tb0(FileSystem& fs, RunLog& log, const std::string& path,
                      const RunOptions& opts, const HeaderConstants& hc,
                      const StationCatalogue& cat,
                      const ColumnMetadata& columns, const FlowTable& table,
                      const Clock& clock) {
  write_whole_file(fs, path, [&](OutBuffer& out) {
    out.write(tb0_header_lines(hc, opts.start_year, clock()));
    out.write(tb0_column_metadata(cat, columns));
    YearRows rows(cat, table);
    for (std::int64_t year = opts.start_year; year <= opts.end_year; ++year) {
      rows.write(out, year, year - opts.start_year + 1);
    }
  });
  log.both(free_line({"Wrote the single file ", path}));
  if (cat.nsta > kStationsWithinHeaderLimit)
    log.both(wide_header_warning(path, cat.nsta));
}

}  // namespace gaumo
