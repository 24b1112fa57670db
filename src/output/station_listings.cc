#include "output/station_listings.h"

#include "run/fatal_stop.h"
#include "run/out_buffer.h"
#include "text/fixed_fields.h"
#include "text/free_format_line.h"

namespace gaumo {
namespace {

std::size_t at(std::int32_t i) { return static_cast<std::size_t>(i - 1); }

}  // namespace

void append_nudge_line(std::string& out, const StationCatalogue& cat,
                       std::int32_t i) {
  put_fixed(out, cat.xsta[at(i)], 12, 3);
  put_fixed(out, cat.ysta[at(i)], 12, 3);
  put_int(out, 1, 5);
  put_blanks(out, 5);
  out.append(cat.idsta[at(i)].view());
  put_blanks(out, 5);
  out.append(cat.sta_name[at(i)].first(40));
  put_fixed(out, cat.dr_area[at(i)], 10, 0);
  out += '\n';
}

void append_grapher_row(std::string& out, const StationCatalogue& cat,
                        std::int32_t i) {
  put_int(out, i, 5);
  out += ',';
  out.append(cat.idsta[at(i)].view());
  out += ",\"";
  out.append(cat.sta_name[at(i)].first(60));
  out += "\",";
  put_fixed(out, cat.dr_area[at(i)], 10, 0);
  out += '\n';
}

void append_discharge_row(std::string& out, const StationCatalogue& cat,
                          std::int32_t i) {
  put_fixed(out, cat.xsta[at(i)], 12, 3);
  put_fixed(out, cat.ysta[at(i)], 12, 3);
  put_int(out, i, 5);
  put_blanks(out, 5);
  out.append(cat.idsta[at(i)].view());
  put_blanks(out, 2);
  out += '"';
  out.append(cat.sta_name[at(i)].first(60));
  out += "\" ";
  put_fixed(out, cat.dr_area[at(i)], 10, 0);
  out += '\n';
}

void write_grapher_titles(FileSystem& fs, RunLog& log,
                          const StationCatalogue& cat) {
  write_whole_file(fs, "grapher_titles.csv", [&](OutBuffer& out) {
    for (std::int32_t i = 1; i <= cat.nsta; ++i) {
      append_grapher_row(out.pending(), cat, i);
      out.commit();
    }
  });
  log.console(free_line({}));
  log.console(free_line({"grapher_titles.csv written"}));
}

void write_discharge_sites(FileSystem& fs, RunLog& log,
                           const StationCatalogue& cat) {
  write_whole_file(fs, "discharge_sites.xyz", [&](OutBuffer& out) {
    out.write(" xsta(i)  ysta(i)  i  idsta(i)  sta_name(i) dr_area(i)\n");
    for (std::int32_t i = 1; i <= cat.nsta; ++i) {
      append_discharge_row(out.pending(), cat, i);
      out.commit();
    }
  });
  log.console(free_line({}));
  log.console(free_line({"discharge_sites.xyz written"}));
}

}  // namespace gaumo
