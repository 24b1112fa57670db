#pragma once
// What a run is asked to do beyond the classic run: the database that
// replaces the station files, answers given beforehand and the extra
// outputs. Everything empty is the classic run.

#include <string>

#include "app/dialogue.h"

namespace gaumo {

struct RunRequest {
  /// The HYDAT database that gives the historical daily flows instead of
  /// the station files; empty for the files.
  std::string hydat_path;
  DialogueAnswers answers;
  /// Paths relative to the working folder; empty: not asked for.
  std::string chart_path;
  std::string summary_path;
  std::string single_file_path;
  /// The working folder as the summary names it.
  std::string input_folder;
};

}  // namespace gaumo
