#include "output/run_summary.h"

#include <nlohmann/json.hpp>

#include "text/utf8_text.h"

namespace gaumo {
namespace {

using nlohmann::ordered_json;

/// Days per year as an object keyed by the year, which reads back without
/// knowing where the years start.
ordered_json per_year(const std::vector<std::int32_t>& days,
                      std::int32_t first_year) {
  ordered_json o = ordered_json::object();
  for (std::size_t k = 0; k < days.size(); ++k) {
    o[std::to_string(std::int64_t{first_year} + static_cast<std::int64_t>(k))] =
        days[k];
  }
  return o;
}

ordered_json date_or_null(const std::string& date) {
  return date.empty() ? ordered_json(nullptr) : ordered_json(date);
}

template <typename T>
ordered_json value_or_null(const std::optional<T>& v) {
  return v ? ordered_json(*v) : ordered_json(nullptr);
}

}  // namespace

const char* data_source_name(DataSource s) {
  switch (s) {
  case DataSource::kFile:
    return "file";
  case DataSource::kDatabase:
    return "database";
  case DataSource::kRealtime:
    return "realtime";
  case DataSource::kFileAndRealtime:
    return "file+realtime";
  case DataSource::kNone:
    break;
  }
  return "none";
}

std::string run_summary_json(const RunSummary& s) {
  ordered_json j;
  j["program"] = "gaumo";
  j["version"] = s.version;
  j["answers"] = {{"natural_flows",
                   s.natural_flows ? ordered_json(to_utf8(*s.natural_flows))
                                   : ordered_json(nullptr)},
                  {"first_year", value_or_null(s.first_year)},
                  {"last_year", value_or_null(s.last_year)}};
  j["input_folder"] = to_utf8(s.input_folder);
  j["exit_status"] = s.exit_status;
  j["stop_reason"] = s.stop_reason.empty()
                         ? ordered_json(nullptr)
                         : ordered_json(to_utf8(s.stop_reason));
  ordered_json files = ordered_json::array();
  for (const std::string& f : s.files_written)
    files.push_back(to_utf8(f));
  j["files_written"] = std::move(files);
  if (!s.stations_read) {
    j["stations"] = nullptr;
  } else {
    ordered_json list = ordered_json::array();
    const std::int32_t first = s.first_year.value_or(0);
    for (const SummaryStation& st : s.stations) {
      ordered_json o;
      o["identifier"] = to_utf8(st.id);
      o["name"] = to_utf8(st.name);
      o["historical_source"] = data_source_name(st.historical);
      o["provisional_source"] = data_source_name(st.provisional);
      if (s.days_counted) {
        o["days_with_data"] = per_year(st.days, first);
        o["days_from_provisional"] = per_year(st.provisional_days, first);
        o["first_date_with_data"] = date_or_null(st.first_date);
        o["last_date_with_data"] = date_or_null(st.last_date);
      } else {
        o["days_with_data"] = nullptr;
        o["days_from_provisional"] = nullptr;
        o["first_date_with_data"] = nullptr;
        o["last_date_with_data"] = nullptr;
      }
      o["error_records"] = st.error_records;
      list.push_back(std::move(o));
    }
    j["stations"] = std::move(list);
  }
  return j.dump(2) + "\n";
}

}  // namespace gaumo
