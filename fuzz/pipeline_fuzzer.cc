// The whole run, in process, on a small fuzzed set of files held in memory.
//
// Input: four control bytes, then sections separated by "@@\n":
//   0  the console input (the three answers)
//   1  flow_stations.tb0
//   2, 3  the historical and the provisional file of the first station file
//         name the run asks for; 4, 5 those of the second; up to four pairs.
// A missing section means no such file; a section that is exactly "-\n"
// also means no file, and "/\n" makes a folder of that name.
// Control bytes:
//   0  the injected fault (make_fault; half the values inject none)
//   1  which open of its kind the fault hits (counted from 0)
//   2  how far into the file a read or write fault strikes
//   3  the size of the pieces files are read in (kPieces)
//
// Years are bounded so that runs stay short: inputs whose answers ask for
// more than kMaxYears yearly files are passed over, as are station lists of
// more than kMaxListLines lines.
//
// Besides the sanitizers: the exit status is 0 or 1; a run ends with the
// closing box exactly when its status is 0; and when writing, creating or
// closing any output but the information file fails, the status is 1, as a
// modeller must never take a failed run for a good one.

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <istream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/banner.h"
#include "app/run.h"
#include "fuzz_support.h"
#include "support/memory_file_system.h"
#include "text/free_form_reader.h"

namespace {

using gaumo::MemoryFileSystem;
using gaumo::fuzz::fail;
using Fault = MemoryFileSystem::Fault;

constexpr std::int64_t kMaxYears = 5;
constexpr std::size_t kMaxListLines = 40;
constexpr std::size_t kStationPairs = 4;
constexpr std::string_view kSeparator = "@@\n";
constexpr std::string_view kNoFile = "-\n";
constexpr std::string_view kFolder = "/\n";
constexpr std::array<std::size_t, 8> kPieces = {4096, 1,   7,   64,
                                                511,  512, 513, 1 << 20};
constexpr const char* kInfoFile = "Gaumo_info.txt";

Fault make_fault(std::uint8_t kind, std::uint8_t ordinal, std::uint8_t at) {
  Fault f;
  f.ordinal = ordinal % 16;
  f.offset = std::size_t{at} * at;
  switch (kind % 16) {
  case 8:
    f.kind = Fault::Kind::kOpenWrite;
    f.err = gaumo::kIsADirectory;
    break;
  case 9:
    f.kind = Fault::Kind::kOpenWrite;
    f.err = ENOSPC;
    break;
  case 10:
  case 11:
    f.kind = Fault::Kind::kWrite;
    f.err = ENOSPC;
    break;
  case 12:
    f.kind = Fault::Kind::kClose;
    break;
  case 13:
    f.kind = Fault::Kind::kOpenRead;
    f.err = EIO;
    break;
  case 14:
  case 15:
    f.kind = Fault::Kind::kRead;
    break;
  default:
    break;
  }
  return f;
}

/// The next non-blank console line, as the dialogue takes its answers.
bool next_answer(std::istream& in, std::string& line) {
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    if (line.find_first_not_of(" \t") != std::string::npos)
      return true;
  }
  return false;
}

/// Whether the answers would make the run write more than kMaxYears yearly
/// files (answers the dialogue refuses write none).
bool too_many_years(const std::string& answers) {
  std::istringstream in(answers);
  std::string line;
  std::int32_t year[2] = {0, 0};
  if (!next_answer(in, line))
    return false;
  for (std::int32_t& y : year) {
    if (!next_answer(in, line))
      return false;
    const gaumo::Target t = gaumo::Target::int32(&y);
    const gaumo::ReadResult r = gaumo::read_values(line, nullptr, {&t, 1});
    if (!r.ok() || r.assigned == 0)
      return false;
  }
  return std::int64_t{year[1]} - year[0] + 1 > kMaxYears;
}

/// Gives the station files their sections: the k-th distinct historical
/// name the run asks about is pair k's historical file, and likewise for the
/// provisional names. Names past the last pair have no file.
class StationFiles final : public gaumo::FileSystem {
 public:
  explicit StationFiles(MemoryFileSystem& mem) : mem_(mem) {}

  bool exists(const std::string& path) override {
    return mem_.exists(map(path));
  }
  std::unique_ptr<gaumo::InputFile> open_read(const std::string& path,
                                              int& err) override {
    return mem_.open_read(map(path), err);
  }
  std::unique_ptr<gaumo::OutputFile> open_write(const std::string& path,
                                                int& err) override {
    if (path.rfind("../", 0) == 0 && ++yearly_ > kMaxYears) {
      fail("more yearly files than the answers asked for");
    }
    return mem_.open_write(path, err);
  }
  std::vector<std::string> list_folder() override { return mem_.list_folder(); }

  static std::string pair_name(const char* kind, std::size_t k) {
    return std::string(kind) + "#" + std::to_string(k);
  }

 private:
  static bool ends_with(const std::string& s, std::string_view tail) {
    return s.size() >= tail.size() &&
           s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
  }
  std::string map(const std::string& path) {
    const char* kind = nullptr;
    if (ends_with(path, "_Daily_Flow_ts.csv")) {
      kind = "historical";
    } else if (path.rfind("Flow_", 0) == 0 && ends_with(path, ".csv")) {
      kind = "provisional";
    } else {
      return path;
    }
    auto& seen = kind[0] == 'h' ? historical_ : provisional_;
    const auto it = seen.try_emplace(path, seen.size()).first;
    return pair_name(kind, it->second);
  }

  MemoryFileSystem& mem_;
  std::map<std::string, std::size_t> historical_;
  std::map<std::string, std::size_t> provisional_;
  int yearly_ = 0;
};

/// GAUMO_FUZZ_SHOW=1 prints each run's console and files, to look into
/// what an input does when it is replayed.
bool show_run() {
  static const bool show = std::getenv("GAUMO_FUZZ_SHOW") != nullptr;
  return show;
}

void put_section(MemoryFileSystem& fs, const std::string& name,
                 std::string_view text) {
  if (text == kNoFile)
    return;
  if (text == kFolder) {
    fs.add_folder(name);
    return;
  }
  fs.add_file(name, std::string(text));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  gaumo::fuzz::ByteCursor in(data, size);
  const std::uint8_t fault_kind = in.byte();
  const std::uint8_t ordinal = in.byte();
  const std::uint8_t at = in.byte();
  const std::size_t piece = kPieces[in.byte() % kPieces.size()];
  const auto sections = gaumo::fuzz::split_sections(in.rest(), kSeparator);

  const std::string answers(sections[0]);
  if (too_many_years(answers))
    return -1;
  if (sections.size() > 1) {
    std::size_t lines = 0;
    for (char c : sections[1])
      lines += c == '\n';
    if (lines > kMaxListLines)
      return -1;
  }

  MemoryFileSystem mem(piece);
  mem.inject(make_fault(fault_kind, ordinal, at));
  if (sections.size() > 1)
    put_section(mem, "flow_stations.tb0", sections[1]);
  for (std::size_t k = 0; k < kStationPairs; ++k) {
    const std::size_t h = 2 + 2 * k;
    if (h < sections.size()) {
      put_section(mem, StationFiles::pair_name("historical", k), sections[h]);
    }
    if (h + 1 < sections.size()) {
      put_section(mem, StationFiles::pair_name("provisional", k),
                  sections[h + 1]);
    }
  }
  StationFiles fs(mem);

  std::istringstream console_in(answers);
  std::ostringstream console_out;
  gaumo::RunEnv env{console_in, console_out, fs, [] {
                      return gaumo::LocalTime{2016, 5, 3, 12, 34};
                    }};
  const int status = gaumo::run_gaumo(env);

  if (show_run()) {
    std::fprintf(stderr, "%s--- status %d\n", console_out.str().c_str(),
                 status);
    for (const auto& [name, text] : mem.files()) {
      std::fprintf(stderr, "--- %s: %zu bytes\n", name.c_str(), text.size());
    }
  }
  if (status != 0 && status != 1)
    fail("exit status other than 0 or 1");
  const std::string console = console_out.str();
  const std::string closing = gaumo::closing_text();
  const bool closed = console.size() >= closing.size() &&
                      console.compare(console.size() - closing.size(),
                                      closing.size(), closing) == 0;
  if (closed != (status == 0))
    fail("closing box and exit status disagree");
  const std::string& hit = mem.first_failed_output();
  if (!hit.empty() && hit != kInfoFile && status == 0) {
    fail("a failed output ended the run with status 0");
  }
  return 0;
}
