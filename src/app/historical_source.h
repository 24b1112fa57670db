#pragma once
// Where the run takes its historical daily flows from: the station files
// <identifier>_Daily_Flow_ts.csv, or a HYDAT database named on the command
// line.

#include <memory>
#include <string>
#include <vector>

#include "flow/record_reader.h"
#include "output/run_summary.h"

namespace gaumo {

namespace hydat {
class Database;
}

class HistoricalSource {
 public:
  /// An empty path: the station files. Otherwise opens and checks the
  /// database; a problem ends the run (FatalStop) with one line naming the
  /// file, so it must come before anything is written.
  explicit HistoricalSource(const std::string& hydat_path);
  ~HistoricalSource();
  HistoricalSource(const HistoricalSource&) = delete;
  HistoricalSource& operator=(const HistoricalSource&) = delete;

  /// Reads every listed station's historical daily flows into the table.
  /// Returns, per station (element i - 1), 1 when it has rows in the
  /// database or, from the files, when its file was there.
  std::vector<char> read(FileSystem& fs, const StationCatalogue& cat,
                         RecordSink& sink);

  /// What the run summary calls this source.
  DataSource source() const {
    return db_ != nullptr ? DataSource::kDatabase : DataSource::kFile;
  }

 private:
  std::unique_ptr<hydat::Database> db_;
};

}  // namespace gaumo
