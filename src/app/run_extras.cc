#include "app/run_extras.h"

#include <algorithm>
#include <cstdio>
#include <ostream>

#include "app/version.h"
#include "flow/calendar.h"
#include "output/availability_chart.h"
#include "output/single_tb0_writer.h"
#include "run/out_buffer.h"
#include "text/fixed_text.h"

namespace gaumo {
namespace {

/// Notes the path of every file written to its end and closed without an
/// error, for the summary's list.
class RecordingFile : public OutputFile {
 public:
  RecordingFile(std::unique_ptr<OutputFile> file, std::string path,
                std::vector<std::string>& written)
      : file_(std::move(file)), path_(std::move(path)), written_(written) {}
  int write(const char* buf, std::size_t n) override {
    return file_->write(buf, n);
  }
  int close() override {
    const int err = file_->close();
    if (err == 0 &&
        std::find(written_.begin(), written_.end(), path_) == written_.end())
      written_.push_back(path_);
    return err;
  }

 private:
  std::unique_ptr<OutputFile> file_;
  std::string path_;
  std::vector<std::string>& written_;
};

class RecordingFileSystem : public FileSystem {
 public:
  RecordingFileSystem(FileSystem& base, std::vector<std::string>& written)
      : base_(base), written_(written) {}
  bool exists(const std::string& path) override { return base_.exists(path); }
  std::unique_ptr<InputFile> open_read(const std::string& path,
                                       int& err) override {
    return base_.open_read(path, err);
  }
  std::unique_ptr<OutputFile> open_write(const std::string& path,
                                         int& err) override {
    auto file = base_.open_write(path, err);
    if (!file)
      return nullptr;
    return std::make_unique<RecordingFile>(std::move(file), path, written_);
  }
  std::vector<std::string> list_folder() override {
    return base_.list_folder();
  }

 private:
  FileSystem& base_;
  std::vector<std::string>& written_;
};

/// Days with data in each year of station i, every day of the year
/// counted (366 in a leap year, where the reports stop at 365).
std::vector<std::int32_t> days_with_data(const FlowTable& table, std::int32_t i,
                                         std::int64_t first_year) {
  std::vector<std::int32_t> days(static_cast<std::size_t>(table.years()));
  for (std::int64_t n = 1; n <= table.years(); ++n) {
    const float* d = table.days(i, n);
    const std::int32_t in_year = days_in_year(first_year + n - 1);
    std::int32_t count = 0;
    // A NaN or any value below zero is a day without data.
    for (std::int32_t t = 0; t < in_year; ++t)
      count += d[t] >= 0.0f;
    days[static_cast<std::size_t>(n - 1)] = count;
  }
  return days;
}

/// "yyyy-mm-dd" of day t (1-based) of `year` in the run's calendar.
std::string date_text(std::int64_t year, std::int32_t t) {
  std::size_t m = 11;
  const auto start = [&](std::size_t k) {
    return s_day[k] + (is_leap_year(year) && k >= 2 ? 1 : 0);
  };
  while (m > 0 && start(m) > t)
    --m;
  char text[40];
  std::snprintf(text, sizeof text, "%04lld-%02d-%02d",
                static_cast<long long>(year), static_cast<int>(m + 1),
                static_cast<int>(t - start(m) + 1));
  return text;
}

/// The first (or, with `last`, the last) date with data of station i.
std::string date_with_data(const FlowTable& table, std::int32_t i,
                           std::int64_t first_year, bool last) {
  const std::int64_t years = table.years();
  for (std::int64_t k = 0; k < years; ++k) {
    const std::int64_t n = last ? years - k : k + 1;
    const std::int64_t year = first_year + n - 1;
    const float* d = table.days(i, n);
    const std::int32_t in_year = days_in_year(year);
    for (std::int32_t s = 0; s < in_year; ++s) {
      const std::int32_t t = last ? in_year - s : s + 1;
      if (d[t - 1] >= 0.0f)
        return date_text(year, t);
    }
  }
  return {};
}

}  // namespace

RunExtras::RunExtras(const RunRequest& request, FileSystem& fs, RunLog& log)
    : request_(request), base_fs_(fs), answers_(request.answers) {
  if (!request_.summary_path.empty()) {
    recording_fs_ = std::make_unique<RecordingFileSystem>(fs, written_);
    log.set_error_tally(&error_tally_);
  }
}

RunExtras::~RunExtras() = default;

FileSystem& RunExtras::fs() {
  return recording_fs_ ? *recording_fs_ : base_fs_;
}

bool RunExtras::counting() const {
  return !request_.chart_path.empty() || !request_.summary_path.empty();
}

void RunExtras::stations_read(const StationCatalogue& cat) {
  if (!counting())
    return;
  summary_.stations_read = true;
  summary_.stations.resize(static_cast<std::size_t>(cat.nsta));
  for (std::size_t k = 0; k < summary_.stations.size(); ++k) {
    summary_.stations[k].id = std::string(trim_right(cat.idsta[k].view()));
    summary_.stations[k].name = std::string(trim_right(cat.sta_name[k].view()));
  }
}

/// Whether element i - 1 of `found` says yes.
bool had(const std::vector<char>& found, std::int32_t i) {
  const auto k = static_cast<std::size_t>(i - 1);
  return k < found.size() && found[k] != 0;
}

void RunExtras::historical_read(const StationCatalogue& cat,
                                const FlowTable& table, DataSource source,
                                const std::vector<char>& found) {
  if (!counting())
    return;
  const std::int64_t first = answers_.first_year.value_or(0);
  for (std::int32_t i = 1; i <= cat.nsta; ++i) {
    SummaryStation& st = summary_.stations[static_cast<std::size_t>(i - 1)];
    st.historical = had(found, i) ? source : DataSource::kNone;
    st.days = days_with_data(table, i, first);
  }
}

void RunExtras::provisional_read(const StationCatalogue& cat,
                                 const FlowTable& table,
                                 const std::vector<char>& files,
                                 const std::vector<char>& realtime) {
  if (!counting())
    return;
  const std::int64_t first = answers_.first_year.value_or(0);
  for (std::int32_t i = 1; i <= cat.nsta; ++i) {
    SummaryStation& st = summary_.stations[static_cast<std::size_t>(i - 1)];
    const bool file = had(files, i);
    const bool recent = had(realtime, i);
    st.provisional = file && recent ? DataSource::kFileAndRealtime
                     : file         ? DataSource::kFile
                     : recent       ? DataSource::kRealtime
                                    : DataSource::kNone;
    // Provisional values only fill days that had none, so every day more
    // with data came from them.
    std::vector<std::int32_t> after = days_with_data(table, i, first);
    st.provisional_days.resize(after.size());
    for (std::size_t k = 0; k < after.size(); ++k) {
      const std::int32_t before = k < st.days.size() ? st.days[k] : 0;
      st.provisional_days[k] = std::max(after[k] - before, 0);
    }
    st.days = std::move(after);
    st.first_date = date_with_data(table, i, first, false);
    st.last_date = date_with_data(table, i, first, true);
  }
  summary_.days_counted = true;
}

void RunExtras::yearly_files_written(RunLog& log, const RunOptions& opts,
                                     const HeaderConstants& hc,
                                     const StationCatalogue& cat,
                                     const ColumnMetadata& columns,
                                     const FlowTable& table,
                                     const Clock& clock) {
  if (request_.single_file_path.empty())
    return;
  write_single_tb0(fs(), log, request_.single_file_path, opts, hc, cat, columns,
                   table, clock);
}

void RunExtras::reports_written(const StationAvailability& avail) {
  if (request_.chart_path.empty())
    return;
  ChartInput in;
  in.first_year = answers_.first_year.value_or(0);
  in.year_count = avail.years;
  const auto years = static_cast<std::size_t>(avail.years);
  for (std::size_t k = 0; k < summary_.stations.size(); ++k) {
    const SummaryStation& st = summary_.stations[k];
    ChartStation c{st.id, st.name, st.days, st.provisional_days, {}};
    const auto flags =
        avail.flags.begin() + static_cast<std::ptrdiff_t>(k * years);
    c.flag.assign(flags, flags + static_cast<std::ptrdiff_t>(years));
    in.stations.push_back(std::move(c));
  }
  const std::string svg = availability_chart_svg(in);
  write_whole_file(fs(), request_.chart_path,
                   [&](OutBuffer& out) { out.write(svg); });
}

int RunExtras::finish(int status, const std::string& stop_reason,
                      std::ostream& errors) {
  if (request_.summary_path.empty())
    return status;
  summary_.version = kVersion;
  summary_.natural_flows = answers_.natural_flows;
  summary_.first_year = answers_.first_year;
  summary_.last_year = answers_.last_year;
  summary_.input_folder = request_.input_folder;
  summary_.files_written = written_;
  summary_.exit_status = status;
  // The stop's console line without the blank that free-format lines
  // start with.
  const std::size_t text = stop_reason.find_first_not_of(' ');
  if (text != std::string::npos) {
    summary_.stop_reason = stop_reason.substr(text);
  } else if (!stop_reason.empty()) {
    summary_.stop_reason = "fatal stop";
  }
  for (std::size_t k = 0; k < summary_.stations.size(); ++k) {
    summary_.stations[k].error_records =
        k < error_tally_.size() ? error_tally_[k] : 0;
  }
  const std::string json = run_summary_json(summary_);
  int err = 0;
  int closed = -1;
  if (auto file = base_fs_.open_write(request_.summary_path, err)) {
    OutBuffer out(std::move(file));
    out.write(json);
    closed = out.close();
  }
  if (closed == 0)
    return status;
  errors << "gaumo: could not write the summary " << request_.summary_path
         << '\n';
  return status == 0 ? 1 : status;
}

}  // namespace gaumo
