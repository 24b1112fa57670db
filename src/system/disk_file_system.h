#pragma once
// The run's files on the real disk.

#include <memory>
#include <string>

#include "run/file_system.h"

namespace gaumo {

/// The real file system, with relative paths taken from `base` (empty: the
/// process's current folder).
std::unique_ptr<FileSystem> make_disk_file_system(std::string base = {});

}  // namespace gaumo
