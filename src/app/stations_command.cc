#include "app/stations_command.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <string>
#include <unordered_map>
#include <vector>

#include "flow/hydat_reader.h"
#include "hydat/daily_flow_scan.h"
#include "hydat/station_query.h"
#include "stations/station_catalogue.h"

namespace gaumo {
namespace {

using hydat::Cell;
using hydat::CellKind;

/// A problem that ends the command with its message.
struct Refusal {
  std::string message;
};

bool cell_number(const Cell& c, double& x) {
  if (c.kind == CellKind::kInteger) {
    x = static_cast<double>(c.integer);
  } else if (c.kind == CellKind::kReal) {
    x = c.real;
  } else {
    return false;
  }
  return std::isfinite(x) && std::fabs(x) <= double{FLT_MAX};
}

/// What the free-form reader of the list would take apart or read as
/// something else: separators, quotes, a repeat count, line breaks.
bool needs_quotes(std::string_view s) {
  for (char c : s) {
    const auto u = static_cast<unsigned char>(c);
    if (u <= ' ' || u == 0x7f || c == ',' || c == '/' || c == '*' || c == '"' ||
        c == '\'')
      return true;
  }
  return false;
}

/// In double quotes, or in single quotes when it holds a double quote; one
/// holding both has its double quotes made single. Line breaks and other
/// control characters become blanks.
std::string quoted(std::string_view s) {
  std::string t(s);
  bool dq = false, sq = false;
  for (char& c : t) {
    const auto u = static_cast<unsigned char>(c);
    if (u < ' ' || u == 0x7f)
      c = ' ';
    dq = dq || c == '"';
    sq = sq || c == '\'';
  }
  if (dq && sq) {
    for (char& c : t)
      c = c == '"' ? '\'' : c;
  }
  const char q = dq && !sq ? '\'' : '"';
  return q + t + q;
}

/// A text field: "-" when empty, so that no field shifts.
std::string field(std::string_view s) {
  if (s.empty())
    return "-";
  return needs_quotes(s) ? quoted(s) : std::string(s);
}

std::string fixed5(double x) {
  char buf[400];
  const auto r =
      std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, 5);
  return std::string(buf, r.ptr);
}

/// The shortest text that reads back as the same 32-bit value, with at
/// least one decimal. The digits come from the shortest scientific form:
/// in fixed form a large value would be written with all the digits of its
/// exact binary value (339999995214436424907732413799364296704 for 3.4e38).
std::string area_text(float a) {
  char buf[64];
  const auto r =
      std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific);
  std::string_view s(buf, static_cast<std::size_t>(r.ptr - buf));
  std::string out;
  if (!s.empty() && s[0] == '-') {
    out.push_back('-');
    s.remove_prefix(1);
  }
  const std::size_t e = s.find('e');
  std::string digits(s.substr(0, 1));
  if (e > 2)
    digits += s.substr(2, e - 2);
  const bool negative_exp = s[e + 1] == '-';
  int exp = 0;
  std::from_chars(s.data() + e + 2, s.data() + s.size(), exp);
  // Digits before the decimal point.
  const int point = (negative_exp ? -exp : exp) + 1;
  const auto n = static_cast<int>(digits.size());
  if (point <= 0) {
    out += "0.";
    out.append(static_cast<std::size_t>(-point), '0');
    out += digits;
  } else if (point >= n) {
    out += digits;
    out.append(static_cast<std::size_t>(point - n), '0');
    out += ".0";
  } else {
    const auto p = static_cast<std::size_t>(point);
    out.append(digits, 0, p);
    out += '.';
    out.append(digits, p, std::string::npos);
  }
  return out;
}

std::string station_line(const hydat::StationRow& st,
                         const std::string& label) {
  double lat = 0.0, lon = 0.0, area = 0.0;
  if (!cell_number(st.latitude, lat) || !cell_number(st.longitude, lon)) {
    throw Refusal{label + ": station " + st.number +
                  " has no usable LATITUDE and LONGITUDE"};
  }
  if (st.drainage_area.kind != CellKind::kNull &&
      !cell_number(st.drainage_area, area)) {
    throw Refusal{label + ": station " + st.number +
                  " has an unusable DRAINAGE_AREA_GROSS"};
  }
  return field(st.number) + ' ' + field(st.province) + ' ' +
         (st.name.empty() ? std::string("-") : quoted(st.name)) + ' ' +
         field(st.hyd_status) + ' ' + field(st.sed_status) + ' ' + fixed5(lat) +
         ' ' + fixed5(lon) + ' ' + area_text(static_cast<float>(area)) + '\n';
}

/// Keeps the stations with at least one daily flow (as a run would take
/// it) in the years asked for; one pass over DLY_FLOWS.
void keep_with_flows(hydat::Database& db, const CommandLine& cl,
                     std::vector<hydat::StationRow>& rows) {
  std::vector<std::string> numbers;
  std::unordered_map<std::string, char> has;
  for (const auto& r : rows) {
    numbers.push_back(r.number);
    has.emplace(r.number, 0);
  }
  hydat::DailyFlowScan scan(db, numbers);
  while (scan.next()) {
    const auto it = has.find(std::string(scan.station()));
    if (it == has.end() || it->second != 0)
      continue;
    RowMonth rm;
    if (!row_month(scan.year(), scan.month(), scan.no_days(), rm) ||
        rm.year < cl.first_year || rm.year > cl.last_year)
      continue;
    for (std::int32_t d = 1; d <= rm.days && it->second == 0; ++d) {
      const Cell c = scan.flow(d);
      float v = 0.0f;
      if (c.kind != CellKind::kNull && flow_value(c, v))
        it->second = 1;
    }
  }
  std::erase_if(rows,
                [&](const hydat::StationRow& r) { return has[r.number] == 0; });
}

/// Keeps the header's one free line readable: the list reader takes only
/// its first word, and a line break would start another line.
std::string header_safe(std::string_view s) {
  std::string t(s);
  for (char& c : t) {
    const auto u = static_cast<unsigned char>(c);
    if (u < ' ' || u == 0x7f)
      c = '?';
  }
  return t;
}

std::string station_list(hydat::Database& db, const CommandLine& cl) {
  const std::string label = hydat::database_label(cl.request.hydat_path);
  std::vector<char> matched;
  auto rows = hydat::select_stations(db, cl.selectors, matched);
  for (std::size_t k = 0; k < matched.size(); ++k) {
    if (matched[k] != 0)
      continue;
    const std::string& s = cl.selectors[k];
    throw Refusal{label +
                  (s.size() >= Ident::size()
                       ? " has no station number '" + s + "'"
                       : " has no station number starting with '" + s + "'")};
  }
  if (cl.with_flows) {
    keep_with_flows(db, cl, rows);
    if (rows.empty()) {
      throw Refusal{label + ": none of the selected stations has a daily " +
                    "flow in " + std::to_string(cl.first_year) + " to " +
                    std::to_string(cl.last_year)};
    }
  }
  if (rows.size() > static_cast<std::size_t>(kMaxStations)) {
    throw Refusal{std::to_string(rows.size()) + " stations selected in " +
                  label + "; a station list holds at most " +
                  std::to_string(kMaxStations)};
  }
  std::string out =
      "########################################\n"
      ":FileType tb0  ASCII  EnSim 1.0\n"
      "#\n"
      "# DataType               Time Series\n"
      "#\n"
      ":Application             EnSimHydrologic\n"
      ":WrittenBy               gaumo stations\n"
      "# Source: HYDAT database " +
      header_safe(cl.request.hydat_path) +
      "\n"
      ":Projection              LATLONG\n"
      ":Ellipsoid               WGS84\n"
      "#\n"
      "# id  prov  name  hyd_status  sed_status  latitude  longitude  "
      "drainage_area_km2\n"
      ":EndHeader\n";
  for (const auto& r : rows)
    out += station_line(r, label);
  return out;
}

}  // namespace

int run_stations_command(const CommandLine& cl, std::ostream& out,
                         std::ostream& err) {
  std::string problem;
  auto db =
      cl.with_flows
          ? hydat::Database::open(
                cl.request.hydat_path,
                {hydat::station_need(), hydat::daily_flow_need()}, problem)
          : hydat::Database::open(cl.request.hydat_path,
                                  {hydat::station_need()}, problem);
  if (!db) {
    err << "gaumo stations: " << problem << '\n';
    return 1;
  }
  std::string list;
  try {
    list = station_list(*db, cl);
  } catch (const Refusal& r) {
    err << "gaumo stations: " << r.message << '\n';
    return 1;
  } catch (const hydat::DatabaseError& e) {
    err << "gaumo stations: error reading "
        << hydat::database_label(cl.request.hydat_path) << ": " << e.message
        << '\n';
    return 1;
  }
  out << list;
  out.flush();
  if (!out) {
    err << "gaumo stations: the station list could not be written\n";
    return 1;
  }
  return 0;
}

}  // namespace gaumo
