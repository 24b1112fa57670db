// Free-form reading of up to eight targets of every kind from fuzzed lines.
//
// Input: one byte for the number of targets, one byte per target for its
// kind, then the text; its first line is the line the read starts on, the
// lines after it are what a line source hands out.
//
// Every target lives in its own heap block of exactly its size, so a write
// past a text target is caught. Besides the sanitizers, three properties
// are checked:
//  - a read that ends on its first line (filled, stopped by "/", or failed
//    on a bad value) comes out the same whether or not more lines follow;
//  - a read from the line alone equals a read given a source with no lines;
//  - a number target only ever receives a finite value.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz_support.h"
#include "text/free_form_reader.h"

namespace {

using gaumo::ReadResult;
using gaumo::ReadStatus;
using gaumo::Target;
using gaumo::TargetKind;
using gaumo::fuzz::fail;

constexpr std::size_t kMaxTargets = 8;
// Lengths the program reads into: 7 (identifiers), 20, 60 (file names),
// 80 (station names), 512 (line buffers), and 1 for the edge.
constexpr std::size_t kTextLengths[] = {1, 7, 20, 60, 80, 512};
constexpr std::int16_t kInt16Start = -7;
constexpr std::int32_t kInt32Start = 123456;
constexpr float kRealStart = 0.5f;

struct Slot {
  TargetKind kind;
  std::size_t length = 0;  // texts only
  std::unique_ptr<char[]> text;
  std::unique_ptr<std::int16_t> i16;
  std::unique_ptr<std::int32_t> i32;
  std::unique_ptr<float> r32;
};

/// A set of targets, all at their start values.
struct Targets {
  std::vector<Slot> slots;
  std::vector<Target> list;

  explicit Targets(const std::vector<std::uint8_t>& kinds) {
    slots.reserve(kinds.size());
    for (std::uint8_t k : kinds) {
      Slot s;
      const std::size_t choice = k % 9;
      if (choice < std::size(kTextLengths)) {
        s.kind = TargetKind::kText;
        s.length = kTextLengths[choice];
        s.text = std::make_unique<char[]>(s.length);
        std::memset(s.text.get(), '#', s.length);
        list.push_back(Target::text(s.text.get(), s.length));
      } else if (choice == 6) {
        s.kind = TargetKind::kInt16;
        s.i16 = std::make_unique<std::int16_t>(kInt16Start);
        list.push_back(Target::int16(s.i16.get()));
      } else if (choice == 7) {
        s.kind = TargetKind::kInt32;
        s.i32 = std::make_unique<std::int32_t>(kInt32Start);
        list.push_back(Target::int32(s.i32.get()));
      } else {
        s.kind = TargetKind::kReal32;
        s.r32 = std::make_unique<float>(kRealStart);
        list.push_back(Target::real32(s.r32.get()));
      }
      slots.push_back(std::move(s));
    }
  }

  bool same_values(const Targets& o) const {
    for (std::size_t k = 0; k < slots.size(); ++k) {
      const Slot& a = slots[k];
      const Slot& b = o.slots[k];
      switch (a.kind) {
      case TargetKind::kText:
        if (std::memcmp(a.text.get(), b.text.get(), a.length) != 0) {
          return false;
        }
        break;
      case TargetKind::kInt16:
        if (*a.i16 != *b.i16)
          return false;
        break;
      case TargetKind::kInt32:
        if (*a.i32 != *b.i32)
          return false;
        break;
      case TargetKind::kReal32:
        // Bitwise, so -0.0 and 0.0 count as different values.
        if (std::memcmp(a.r32.get(), b.r32.get(), sizeof(float)) != 0) {
          return false;
        }
        break;
      }
    }
    return true;
  }

  void check_numbers_finite() const {
    for (const Slot& s : slots) {
      if (s.kind == TargetKind::kReal32 && !std::isfinite(*s.r32)) {
        fail("a real target received a value that is not finite");
      }
    }
  }
};

class Lines final : public gaumo::LineSource {
 public:
  explicit Lines(std::vector<std::string_view> lines)
      : lines_(std::move(lines)) {}
  bool next_line(std::string_view& line) override {
    if (next_ >= lines_.size())
      return false;
    line = lines_[next_++];
    return true;
  }
  std::size_t used() const { return next_; }

 private:
  std::vector<std::string_view> lines_;
  std::size_t next_ = 0;
};

bool same_result(const ReadResult& a, const ReadResult& b) {
  return a.status == b.status && a.target_index == b.target_index &&
         a.bad_text == b.bad_text && a.assigned == b.assigned;
}

void check_result(const ReadResult& r, std::size_t n) {
  if (r.assigned > n)
    fail("more targets assigned than given");
  if (!r.ok() && r.target_index >= n)
    fail("failing target out of range");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  gaumo::fuzz::ByteCursor in(data, size);
  const std::size_t n = 1 + in.byte() % kMaxTargets;
  std::vector<std::uint8_t> kinds(n);
  for (auto& k : kinds)
    k = in.byte();

  std::vector<std::string_view> lines = gaumo::fuzz::split_lines(in.rest());
  const std::string_view first = lines.empty() ? std::string_view{} : lines[0];
  std::vector<std::string_view> more;
  if (lines.size() > 1)
    more.assign(lines.begin() + 1, lines.end());

  Targets alone(kinds);
  const ReadResult r_alone = gaumo::read_values(first, nullptr, alone.list);
  check_result(r_alone, n);
  alone.check_numbers_finite();

  Targets dry(kinds);
  Lines none({});
  const ReadResult r_dry = gaumo::read_values(first, &none, dry.list);
  if (!same_result(r_alone, r_dry) || !alone.same_values(dry)) {
    fail("a source without lines changed the read");
  }

  Targets fed(kinds);
  Lines source(std::move(more));
  const ReadResult r_fed = gaumo::read_values(first, &source, fed.list);
  check_result(r_fed, n);
  fed.check_numbers_finite();
  if (r_alone.status != ReadStatus::kEndOfInput) {
    if (!same_result(r_alone, r_fed) || !alone.same_values(fed)) {
      fail("a read that ended on its first line changed with more lines");
    }
    if (source.used() != 0)
      fail("a line was taken that the read never needed");
  }
  return 0;
}
