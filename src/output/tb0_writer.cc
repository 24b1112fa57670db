#include "output/tb0_writer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "flow/calendar.h"
#include "run/fatal_stop.h"
#include "run/out_buffer.h"
#include "run/stop_texts.h"
#include "system/compiler.h"
#include "system/platform.h"
#include "text/fixed_fields.h"
#include "text/free_format_line.h"

namespace gaumo {
namespace {

constexpr std::int32_t kTb0Unit = 999;
constexpr std::size_t kLineWidth = 40;
constexpr std::size_t kKeywordWidth = 20;
constexpr int kFieldWidth = 12;

void line40(std::string& out, std::string_view text) {
  out.append(text);
  if (text.size() < kLineWidth)
    out.append(kLineWidth - text.size(), ' ');
  out += '\n';
}

void keyword(std::string& out, std::string_view kw) {
  out.append(kw);
  if (kw.size() < kKeywordWidth)
    out.append(kKeywordWidth - kw.size(), ' ');
}

/// Whether the first identifier names Canadian drainage areas 01 to 10, which
/// makes the name row carry idsta rather than idsta_w.
bool names_from_idsta(const StationCatalogue& cat) {
  if (cat.nsta == 0)
    return false;
  const std::string_view two = cat.idsta[0].first(2);
  for (std::string_view a :
       {"01", "02", "03", "04", "05", "06", "07", "08", "09", "10"}) {
    if (two == a)
      return true;
  }
  return false;
}

template <typename Put>
void metadata_row(std::string& out, std::string_view kw, std::int32_t nsta,
                  Put put) {
  keyword(out, kw);
  for (std::int32_t k = 0; k < nsta; ++k)
    put(static_cast<std::size_t>(k));
  out += '\n';
}

/// Asks for the cache line holding p, where the compiler can.
inline void prefetch(const float* p) { GAUMO_PREFETCH(p); }

}  // namespace

HeaderConstants header_constants() {
  HeaderConstants hc;
  hc.coordsys.assign("LATLONG");
  hc.source_file.assign("flow_data");
  hc.written_by.assign("rk_write_flow_tb0=Gaumo.exe");
  hc.data_name.assign("streamflow");
  hc.ellipsoid.assign("WGS84");
  hc.start_time.assign("00:00:00.00");  // ten characters are kept
  hc.attribute_units = 1.0f;
  return hc;
}

std::string tb0_file_name(std::int64_t year) {
  std::string s(platform::kParentPrefix);
  put_int(s, year, 4);
  s += "0101_str.tb0";
  return s;
}

std::string tb0_header_lines(const HeaderConstants& hc, std::int64_t year,
                             const LocalTime& stamp) {
  std::string h;
  h += "########################################\n";
  line40(h, ":FileType tb0  ASCII  EnSim 1.0");
  line40(h, "#");
  line40(h, "# DataType               Time Series");
  line40(h, "#");
  h += ":Application             EnSimHydrologic\n";
  line40(h, ":Version                 2.1.23");
  keyword(h, ":WrittenBy");
  h.append(hc.written_by.view());
  h += '\n';
  keyword(h, ":CreationDate");
  char stamp_text[64];
  std::snprintf(stamp_text, sizeof stamp_text, "%04d-%02d-%02d  %02d:%02d",
                stamp.year, stamp.month, stamp.day, stamp.hour, stamp.minute);
  h += stamp_text;
  h += '\n';
  line40(h, "#");
  h += "#---------------------------------------\n";
  keyword(h, ":SourceFile");
  put_text_right(h, hc.source_file.view(), 40);
  h += '\n';
  line40(h, "#");
  keyword(h, ":Name");
  h.append(hc.data_name.view());
  h += '\n';
  line40(h, "#");
  keyword(h, ":Projection");
  h.append(hc.coordsys.view());
  h += '\n';
  keyword(h, ":Ellipsoid");
  h.append(hc.ellipsoid.view());
  h += '\n';
  line40(h, "#");
  keyword(h, ":StartDate");
  put_int(h, year, 4);
  h += "/01/01\n";
  keyword(h, ":StartTime");
  h.append(hc.start_time.view());
  h += '\n';
  line40(h, "#");
  keyword(h, ":AttributeUnits");
  put_fixed(h, hc.attribute_units, 16, 7);
  h += '\n';
  line40(h, ":DeltaT               24");
  line40(h, ":RoutingDeltaT         1");
  line40(h, "#");
  return h;
}

std::string tb0_column_metadata(const StationCatalogue& cat,
                                const ColumnMetadata& columns) {
  std::string h;
  line40(h, ":ColumnMetaData");
  const std::int32_t n = cat.nsta;
  metadata_row(h, "   :ColumnUnits", n,
               [&](std::size_t k) { h.append(columns.units[k].view()); });
  metadata_row(h, "   :ColumnType", n,
               [&](std::size_t k) { h.append(columns.type[k].view()); });
  const auto& names = names_from_idsta(cat) ? cat.idsta : cat.idsta_w;
  metadata_row(h, "   :ColumnName", n, [&](std::size_t k) {
    put_text_right(h, names[k].view(), kFieldWidth);
  });
  metadata_row(h, "   :ColumnLocationX", n, [&](std::size_t k) {
    put_fixed(h, cat.xsta[k], kFieldWidth, 4);
  });
  metadata_row(h, "   :ColumnLocationY", n, [&](std::size_t k) {
    put_fixed(h, cat.ysta[k], kFieldWidth, 4);
  });
  const std::vector<float>* coeffs[] = {&columns.coeff1, &columns.coeff2,
                                        &columns.coeff3, &columns.coeff4};
  const char* coeff_kw[] = {"   :coeff1", "   :coeff2", "   :coeff3",
                            "   :coeff4"};
  for (int c = 0; c < 4; ++c) {
    metadata_row(h, coeff_kw[c], n, [&](std::size_t k) {
      put_exp(h, (*coeffs[c])[k], kFieldWidth, 5);
    });
  }
  metadata_row(h, "   :value1", n, [&](std::size_t k) {
    put_int(h, columns.value1[k], kFieldWidth);
  });
  line40(h, ":EndColumnMetaData");
  line40(h, ":endHeader");
  return h;
}

std::string tb0_header(const HeaderConstants& hc, const StationCatalogue& cat,
                       const ColumnMetadata& columns, std::int64_t year,
                       const LocalTime& stamp) {
  return tb0_header_lines(hc, year, stamp) + tb0_column_metadata(cat, columns);
}

YearRows::YearRows(const StationCatalogue& cat, const FlowTable& table)
    : table_(table),
      columns_(static_cast<std::size_t>(cat.nsta)),
      day_values_(kDaysAtOnce * columns_.size()) {}

void YearRows::write(OutBuffer& out, std::int64_t year, std::int64_t n) {
  for (std::size_t k = 0; k < columns_.size(); ++k) {
    columns_[k] = table_.days(static_cast<std::int32_t>(k + 1), n);
  }
  // The values of kDaysAtOnce days side by side, day by day. A station's
  // days lie next to each other in the table, so a few days at a time use
  // all of each cache line of the table that is read, where day by day
  // each row would read a line of every station. The lines of the station
  // kAhead places on are asked for early: each is a station's year apart
  // from the last, where the processor's own prefetching does not look.
  constexpr std::size_t kAhead = 16;
  const std::int32_t days = days_in_year(year);
  const std::size_t width = columns_.size();
  for (std::int32_t first = 0; first < days; first += kDaysAtOnce) {
    const auto count =
        static_cast<std::size_t>(std::min(kDaysAtOnce, days - first));
    for (std::size_t k = 0; k < width; ++k) {
      if (k + kAhead < width) {
        const float* ahead = columns_[k + kAhead] + first;
        prefetch(ahead);
        prefetch(ahead + count - 1);
      }
      const float* from = columns_[k] + first;
      for (std::size_t d = 0; d < count; ++d)
        day_values_[d * width + k] = from[d];
    }
    for (std::size_t d = 0; d < count; ++d) {
      std::string& row = out.pending();
      const std::size_t start = row.size();
      row.resize(start + 20 + 12 * width + 1);
      char* p = row.data() + start;
      std::memset(p, ' ', 20);
      format_f12_3_cells(p + 20, day_values_.data() + d * width, width);
      p[20 + 12 * width] = '\n';
      out.commit();
    }
  }
}

void write_yearly_tb0(FileSystem& fs, RunLog& log, const RunOptions& opts,
                      const HeaderConstants& hc, const StationCatalogue& cat,
                      const ColumnMetadata& columns, const FlowTable& table,
                      const Clock& clock) {
  // The same for every year, and at a thousand stations dearer to format
  // than all the rest of a header.
  const std::string metadata = tb0_column_metadata(cat, columns);
  YearRows rows(cat, table);
  for (std::int64_t year = opts.start_year; year <= opts.end_year; ++year) {
    const std::int64_t n = year - opts.start_year + 1;
    const FileName fln(tb0_file_name(year));
    const std::string path(trim_right(fln.view()));
    int err = 0;
    auto file = fs.open_write(path, err);
    if (!file) {
      log.console(
          free_line({"Error opening ", fln.view(), " on unit=", kTb0Unit}));
      log.console(free_line({"ios = ", err}));
      log.console(free_line({}));
      stop_run(stop_text::kYearlyFileOpen);
    }
    log.console(free_line({}));
    log.console(
        free_line({"Opened unit=", kTb0Unit, " filename=", fln.first(30)}));

    OutBuffer out(std::move(file));
    out.write(tb0_header_lines(hc, year, clock()));
    out.write(metadata);
    rows.write(out, year, n);
    if (out.close() != 0)
      stop_with_message("Error writing " + path);

    log.console(free_line({"fn=", kTb0Unit}));
    log.both(
        free_line({"Closed unit ", kTb0Unit, " Filename=  ", fln.first(30)}));
  }
}

}  // namespace gaumo
