#include "output/availability_chart.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "flow/availability.h"
#include "text/utf8_text.h"

namespace gaumo {
namespace {

// Cell colours. The classes are told apart by hue (green: every day, blue:
// some days, grey: none); the blues darken with the number of days.
constexpr const char* kAllColour = "#1b7837";
constexpr const char* kNoneColour = "#e0e0e0";
constexpr const char* kProvisionalColour = "#f28e2b";
constexpr std::array<const char*, 6> kSomeColours = {
    "#deebf7", "#c6dbef", "#9ecae1", "#6baed6", "#3182bd", "#08519c"};
constexpr std::int32_t kSomeStep = 61;  // days per shade of blue

/// "s0".."s5" (built by appending: GCC 12 misreads "s" + std::string).
std::string shade_class(std::size_t k) {
  std::string c(1, 's');
  c += std::to_string(k);
  return c;
}

/// The style class of a cell: "a" (all days), "n" (none), "s0".."s5".
std::string cell_class(char flag, std::int32_t days) {
  if (flag == 'y')
    return "a";
  if (flag == 'n' || days <= 0)
    return "n";
  const std::int32_t step =
      std::clamp((days - 1) / kSomeStep, 0,
                 static_cast<std::int32_t>(kSomeColours.size()) - 1);
  return shade_class(static_cast<std::size_t>(step));
}

template <typename T>
T at_or(const std::vector<T>& v, std::int64_t k, T fallback) {
  return k >= 0 && static_cast<std::size_t>(k) < v.size()
             ? v[static_cast<std::size_t>(k)]
             : fallback;
}

/// Sizes in pixels; a long list of stations gets low rows and small type,
/// a long run narrow columns.
struct Layout {
  std::int64_t row = 14, font = 11, col = 40, label = 70, top = 86, width = 0,
               height = 0;
};

Layout layout_for(std::size_t stations, std::int64_t years) {
  Layout l;
  if (stations > 100) {
    l.row = 10;
    l.font = 8;
    l.label = 56;
  }
  l.col = years <= 10 ? 40 : std::clamp<std::int64_t>(800 / years, 6, 20);
  l.width = std::max<std::int64_t>(l.label + years * l.col + 20, 560);
  l.height = l.top + static_cast<std::int64_t>(stations) * l.row + 34;
  return l;
}

void append_num(std::string& s, std::int64_t v) { s += std::to_string(v); }

void text(std::string& s, std::int64_t x, std::int64_t y, std::string_view cls,
          std::string_view content) {
  s += "<text x=\"";
  append_num(s, x);
  s += "\" y=\"";
  append_num(s, y);
  s += "\" class=\"";
  s += cls;
  s += "\">";
  s += xml_escape(content);
  s += "</text>\n";
}

void style(std::string& s, const Layout& l) {
  s += "<style>\n";
  s += "text{font-family:DejaVu Sans,Arial,sans-serif;fill:#222}\n";
  s += ".t{font-size:15px;font-weight:bold}\n.l{font-size:11px}\n";
  s += ".i{font-size:";
  append_num(s, l.font);
  s += "px;font-family:DejaVu Sans Mono,monospace}\n";
  s += ".y{font-size:10px;text-anchor:middle}\n";
  for (const auto& [cls, colour] :
       {std::pair{"a", kAllColour}, std::pair{"n", kNoneColour},
        std::pair{"v", kProvisionalColour}}) {
    s += '.';
    s += cls;
    s += "{fill:";
    s += colour;
    s += "}\n";
  }
  for (std::size_t k = 0; k < kSomeColours.size(); ++k) {
    s += '.';
    s += shade_class(k);
    s += "{fill:";
    s += kSomeColours[k];
    s += "}\n";
  }
  s += ".g{stroke:#fff;stroke-width:1}\n.k{stroke:#666;stroke-width:1}\n";
  s += "</style>\n";
}

void swatch(std::string& s, std::int64_t x, std::int64_t y,
            std::string_view cls) {
  s += "<rect x=\"";
  append_num(s, x);
  s += "\" y=\"";
  append_num(s, y);
  s += "\" width=\"12\" height=\"12\" class=\"";
  s += cls;
  s += "\"/>\n";
}

void legend(std::string& s, std::int64_t y) {
  std::int64_t x = 10;
  swatch(s, x, y, "a");
  text(s, x + 16, y + 10, "l", "all days (y)");
  x += 100;
  for (std::size_t k = 0; k < kSomeColours.size(); ++k) {
    swatch(s, x + static_cast<std::int64_t>(k) * 12, y, shade_class(k));
  }
  text(s, x + 76, y + 10, "l", "some days (p), 1 to 364");
  x += 222;
  swatch(s, x, y, "n");
  text(s, x + 16, y + 10, "l", "none (n)");
  x += 76;
  swatch(s, x, y, "v");
  text(s, x + 16, y + 10, "l", "provisional share");
}

void year_axis(std::string& s, const ChartInput& in, const Layout& l,
               std::int64_t y) {
  const std::int64_t every =
      in.year_count <= 10 ? 1 : (in.year_count <= 50 ? 5 : 10);
  for (std::int64_t k = 0; k < in.year_count; ++k) {
    const std::int64_t year = in.first_year + k;
    // Years before 1 have a negative remainder; label them by the same rule.
    if (((year % every) + every) % every != 0)
      continue;
    const std::int64_t x = l.label + k * l.col;
    text(s, x + l.col / 2, y, "y", std::to_string(year));
  }
}

/// White lines between the columns, drawn over the cells: merged runs
/// would hide where a year begins. Narrow columns get them only at the
/// labelled years.
void column_lines(std::string& s, const ChartInput& in, const Layout& l,
                  std::int64_t bottom) {
  if (in.year_count <= 1 || bottom <= l.top)
    return;
  const std::int64_t every = l.col >= 12 ? 1 : (in.year_count <= 50 ? 5 : 10);
  s += "<path class=\"g\" d=\"";
  for (std::int64_t k = 1; k < in.year_count; ++k) {
    const std::int64_t year = in.first_year + k;
    if (((year % every) + every) % every != 0)
      continue;
    s += 'M';
    append_num(s, l.label + k * l.col);
    s += ' ';
    append_num(s, l.top);
    s += 'V';
    append_num(s, bottom - 1);
  }
  s += "\"/>\n";
}

/// One path per style class of a row: runs of equal neighbouring cells are
/// one rectangle each, which keeps a 1000 x 100 chart small.
void station_row(std::string& s, const ChartStation& st, const ChartInput& in,
                 const Layout& l) {
  const std::int64_t h = l.row - 1;
  std::vector<std::pair<std::string, std::string>> paths;  // class, d
  auto add_rect = [&](const std::string& cls, std::int64_t x, std::int64_t w,
                      std::int64_t y, std::int64_t rh) {
    auto it = std::find_if(paths.begin(), paths.end(),
                           [&](const auto& p) { return p.first == cls; });
    if (it == paths.end())
      it = paths.insert(paths.end(), {cls, {}});
    std::string& d = it->second;
    d += 'M';
    append_num(d, x);
    d += ' ';
    append_num(d, y);
    d += 'h';
    append_num(d, w);
    d += 'v';
    append_num(d, rh);
    d += 'h';
    append_num(d, -w);
    d += 'z';
  };
  std::int64_t k = 0;
  while (k < in.year_count) {
    const std::int32_t days = at_or(st.days, k, 0);
    const char flag = at_or(st.flag, k, availability_flag(days));
    const std::string cls = cell_class(flag, days);
    std::int64_t end = k + 1;
    while (end < in.year_count) {
      const std::int32_t d2 = at_or(st.days, end, 0);
      if (cell_class(at_or(st.flag, end, availability_flag(d2)), d2) != cls)
        break;
      ++end;
    }
    add_rect(cls, k * l.col, (end - k) * l.col, 0, h);
    k = end;
  }
  // The provisional share: a bar along the lower half of the cell, as wide
  // as the share of the year's days that came from provisional data.
  for (k = 0; k < in.year_count; ++k) {
    const std::int64_t prov = at_or(st.provisional, k, 0);
    const std::int64_t days = at_or(st.days, k, 0);
    if (prov <= 0 || days <= 0)
      continue;
    // At least 2 pixels, so that a few provisional days still show.
    const std::int64_t w = std::clamp<std::int64_t>(
        (l.col * std::min(prov, days) + days / 2) / days, 2, l.col);
    add_rect("v", k * l.col, w, h - h / 2, h / 2);
  }
  for (const auto& [cls, d] : paths) {
    s += "<path class=\"";
    s += cls;
    s += "\" d=\"";
    s += d;
    s += "\"/>";
  }
}

}  // namespace

std::string xml_escape(std::string_view raw) {
  const std::string t = to_utf8(raw);
  std::string out;
  out.reserve(t.size());
  for (char c : t) {
    switch (c) {
    case '&':
      out += "&amp;";
      break;
    case '<':
      out += "&lt;";
      break;
    case '>':
      out += "&gt;";
      break;
    case '"':
      out += "&quot;";
      break;
    case '\'':
      out += "&#39;";
      break;
    default:
      out += c;
    }
  }
  return out;
}

std::string availability_chart_svg(const ChartInput& in) {
  const std::int64_t years = std::max<std::int64_t>(in.year_count, 0);
  ChartInput shown_range{in.first_year, years, {}};
  const Layout l = layout_for(in.stations.size(), years);
  const std::int64_t bottom =
      l.top + static_cast<std::int64_t>(in.stations.size()) * l.row;
  std::string s;
  s.reserve(4096 + in.stations.size() * static_cast<std::size_t>(years) * 8);
  s += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  s += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"";
  append_num(s, l.width);
  s += "\" height=\"";
  append_num(s, l.height);
  s += "\" viewBox=\"0 0 ";
  append_num(s, l.width);
  s += ' ';
  append_num(s, l.height);
  s += "\">\n";
  style(s, l);
  s += "<rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>\n";
  std::string title = "Days with data per station and year, ";
  if (years > 0) {
    title += std::to_string(in.first_year);
    title += " to ";
    title += std::to_string(in.first_year + years - 1);
  } else {
    title += "no year";
  }
  title += ", ";
  title += std::to_string(in.stations.size());
  title += in.stations.size() == 1 ? " station" : " stations";
  s += "<title>";
  s += xml_escape(title);
  s += "</title>\n";
  text(s, 10, 22, "t", title);
  legend(s, 36);
  year_axis(s, shown_range, l, l.top - 8);
  if (in.stations.size() > 40)
    year_axis(s, shown_range, l, bottom + 14);
  // The cells' origin and sizes, for tools that read a cell back.
  s += "<g id=\"cells\" transform=\"translate(";
  append_num(s, l.label);
  s += ',';
  append_num(s, l.top);
  s += ")\" data-column-width=\"";
  append_num(s, l.col);
  s += "\" data-row-height=\"";
  append_num(s, l.row);
  s += "\">\n";
  std::int64_t y = 0;
  for (const ChartStation& st : in.stations) {
    s += "<g transform=\"translate(0,";
    append_num(s, y);
    s += ")\"><title>";
    s += xml_escape(st.id);
    if (!st.name.empty()) {
      s += ' ';
      s += xml_escape(st.name);
    }
    s += "</title>";
    text(s, 4 - l.label, l.row - 2 - (l.row - l.font) / 2, "i", st.id);
    s.pop_back();  // the row ends after its cells
    station_row(s, st, shown_range, l);
    s += "</g>\n";
    y += l.row;
  }
  s += "</g>\n";
  column_lines(s, shown_range, l, bottom);
  if (in.stations.empty())
    text(s, 10, l.top + 14, "l", "No station listed.");
  s += "</svg>\n";
  return s;
}

}  // namespace gaumo
