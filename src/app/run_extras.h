#pragma once
// The outputs a run makes only when asked (the availability chart, the
// single multi-year file, the run summary) and what they need to know,
// gathered as the stages go. Without a request every step does nothing, so
// the classic run stays as it is.

#include <memory>
#include <string>
#include <vector>

#include "app/run_request.h"
#include "flow/availability.h"
#include "flow/flow_table.h"
#include "output/column_metadata.h"
#include "output/run_summary.h"
#include "output/tb0_writer.h"
#include "run/clock.h"
#include "run/file_system.h"
#include "run/run_log.h"
#include "run/run_options.h"
#include "stations/station_catalogue.h"

namespace gaumo {

class RunExtras {
 public:
  RunExtras(const RunRequest& request, FileSystem& fs, RunLog& log);
  ~RunExtras();
  RunExtras(const RunExtras&) = delete;
  RunExtras& operator=(const RunExtras&) = delete;

  /// The file system the stages write through (it notes every file written
  /// when a summary is asked for).
  FileSystem& fs();
  DialogueAnswers& answers() { return answers_; }

  /// After the station list is read.
  void stations_read(const StationCatalogue& cat);
  /// After the historical values are placed: `found` says, per station,
  /// whether `source` had it.
  void historical_read(const StationCatalogue& cat, const FlowTable& table,
                       DataSource source, const std::vector<char>& found);
  /// After the provisional files and the realtime files (either list may
  /// be empty: no station had one).
  void provisional_read(const StationCatalogue& cat, const FlowTable& table,
                        const std::vector<char>& files,
                        const std::vector<char>& realtime);
  /// After the yearly files: the single file.
  void yearly_files_written(RunLog& log, const RunOptions& opts,
                            const HeaderConstants& hc,
                            const StationCatalogue& cat,
                            const ColumnMetadata& columns,
                            const FlowTable& table, const Clock& clock);
  /// After the reports: the chart.
  void reports_written(const StationAvailability& avail);
  /// At the end of the run, also after a fatal stop (`stop_reason` then
  /// says why): writes the summary. Returns the exit status, which turns
  /// from 0 to 1 when the summary cannot be written.
  int finish(int status, const std::string& stop_reason, std::ostream& errors);

 private:
  bool counting() const;

  RunRequest request_;
  FileSystem& base_fs_;
  std::unique_ptr<FileSystem> recording_fs_;
  std::vector<std::string> written_;
  DialogueAnswers answers_;
  RunSummary summary_;
  std::vector<std::int64_t> error_tally_;
};

}  // namespace gaumo
