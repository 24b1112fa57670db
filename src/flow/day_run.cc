#include "flow/day_run.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>

#include "flow/calendar.h"
#include "flow/common_record.h"
#include "flow/day_run_month.h"
#include "flow/flow_table.h"
#include "system/compiler.h"
#include "system/line_end_mask.h"
#include "system/little_endian.h"

namespace gaumo {
namespace {

using namespace day_run;

/// Where the line whose '\n' is at nl ends: before a CR right in front of
/// it.
GAUMO_ALWAYS_INLINE const char* line_end_before(const char* nl) {
  return nl[-1] == '\r' ? nl - 1 : nl;
}

/// Whether what follows the value of the record [p, nl) (from q) has the
/// plain form: nothing, a comma and anything (never read; usually a short
/// flag), or a CR; and the record, without the CR before its line end,
/// fits the record length.
GAUMO_ALWAYS_INLINE bool ends_plainly(const char* p, const char* q,
                                      const char* nl) {
  if (!(q == nl || *q == ',' || (*q == '\r' && q + 1 == nl)))
    return false;
  // A value that ends the line is no CR, so the line end holds in all three.
  constexpr auto kMost = static_cast<std::ptrdiff_t>(kRecordLength);
  return nl - p <= kMost || line_end_before(nl) - p <= kMost;
}

/// ends_plainly for a record whose value starts at q (right after the
/// date's comma), with Values::kRoom bytes from q in [q, end); the value
/// goes to `flow`.
template <typename Values>
GAUMO_ALWAYS_INLINE bool value_ends_plainly(const char* p, const char* q,
                                            const char* nl, const char* end,
                                            float& flow) {
  // An empty value between two commas leaves the day without data; a
  // record ending right after the date's comma is more than this form.
  // The value stops at the line end at the latest.
  if (*q != ',') {
    const ShortDecimal v = Values::read(q, end);
    if (v.end == nullptr)
      return false;
    q = v.end;
    flow = v.value;
  }
  return ends_plainly(p, q, nl);
}

/// Takes the record [p, nl) of a block ending at `end`, if it is of the
/// common form, checking every field; renews `month` when the record
/// starts another month. Returns the day expected next, or nothing when it
/// did not take the record. Kept out of the record loop, which needs it for
/// the first record of a run and when records do not run month after
/// month.
GAUMO_NOINLINE std::optional<NextDay> take_checked(const char* p,
                                                   const char* nl,
                                                   const char* end,
                                                   const RunTarget& target,
                                                   MonthCache& month) {
  const RunOptions& opts = target.opts;
  if (load_little<std::uint64_t>(p) != target.key)
    return std::nullopt;
  CommonRecord r;
  const char* const q = scan_common_historical(p + 8, nl, end, r);
  if (q == nullptr)
    return std::nullopt;
  const bool stored = r.year >= opts.start_year && r.year <= opts.end_year;
  if (stored && (r.month < 1 || r.month > 12))
    return std::nullopt;  // a message: the general path
  if (!ends_plainly(p, q, nl))
    return std::nullopt;
  Month& now = month.now;
  now.year = r.year;
  now.month = r.month;
  now.stored = stored;
  if (stored) {
    now.day0 = day_of_year(r.year, r.month, 0);
    now.year_days = target.year_days(r.year);
  }
  point_day1(now, target);
  float* const at = now.slot_of(r.day);
  if (at == nullptr)
    return std::nullopt;
  *at = r.flow;
  // The next records of the month start with the same bytes, up to and
  // including "YYYY/MM/".
  const std::size_t length = 8 + r.second.size() + 1 + 8;
  month.prefix_length = length <= 24 ? length : 0;
  if (month.prefix_length != 0)
    std::memcpy(now.prefix, p, length);
  prepare_following(month, target);
  return NextDay::after(r.day, at);
}

/// Room the month route needs after a record's start: the prefix (at most
/// 24 bytes), the day and its comma, and a look of up to 17 bytes at the
/// value (a value reader's kRoom).
constexpr std::ptrdiff_t kMonthRouteRoom = 48;
/// A chunk of line ends is taken only with this much after its start, so
/// that every record whose end it holds has the month route's room.
constexpr std::ptrdiff_t kChunkRoom = 64 + kMonthRouteRoom;

/// A run of records taken from a block: where the next record starts, the
/// last record taken (nullptr when none; its line ends right before next)
/// and how many lines were taken.
struct Run {
  const char* next = nullptr;
  const char* last = nullptr;
  std::int64_t lines = 0;
};

/// Takes the value of the record [p, nl), whose day `next` stands for and
/// whose prefix (`length` bytes) is checked, if the rest of the record has
/// the plain form; then steps `next` on.
template <typename Values>
GAUMO_ALWAYS_INLINE bool take_value(const char* p, std::size_t length,
                                    const char* nl, const char* end,
                                    NextDay& next) {
  float flow = kMissing;
  if (!value_ends_plainly<Values>(p, p + length + 3, nl, end, flow))
    return false;
  *next.at = flow;
  ++next.text;
  ++next.at;
  return true;
}

/// Takes a record that is not of the day after the last in the same
/// month: the first of the month after, another day of the month, or any
/// other, checked whole.
template <typename Values>
GAUMO_ALWAYS_INLINE bool take_other(const char* p, const char* nl,
                                    const char* end, const RunTarget& target,
                                    MonthCache& month, NextDay& next) {
  const std::size_t length = month.prefix_length;
  if (length != 0) {
    const std::uint32_t day_text = load_little<std::uint32_t>(p + length - 1);
    if (month.now.starts(p, length)) {
      if (!is_day(day_text))
        return false;
      // Another day of the month than the one expected.
      const std::int32_t day = two_digits(p + length);
      float* const at = month.now.slot_of(day);
      if (at == nullptr)
        return false;
      next = {kDayTexts.data() + day, at};
      return take_value<Values>(p, length, nl, end, next);
    }
    if (month.has_following && day_text == kDayTexts[1] &&
        month.following.starts(p, length)) {
      // The first day of the month after: as checked as the last month's
      // records, and its slots are known.
      month.now = month.following;
      prepare_following(month, target);
      next = {kDayTexts.data() + 1, month.now.day1};
      return take_value<Values>(p, length, nl, end, next);
    }
  }
  const std::optional<NextDay> checked =
      take_checked(p, nl, end, target, month);
  if (checked)
    next = *checked;
  return checked.has_value();
}

/// The run of common records from p; [p, end) holds at least kChunkRoom
/// bytes. The line ends are found 64 bytes at a time, apart from the
/// records: were each record's end found by reading it, every record would
/// wait for the one before it. The last lines of a block, where a whole
/// chunk is not left, go through the general path.
template <typename Values>
GAUMO_ALWAYS_INLINE Run take_run(const char* p, const char* end,
                                 const RunTarget& target) {
  static_assert(24 + 3 + Values::kRoom <= kMonthRouteRoom);
  const char* last = nullptr;
  std::int64_t lines = 0;
  const char* chunk = p;
  std::uint64_t ends = line_end_mask(chunk);
  // A record that starts with the bytes of the last checked one, up to its
  // month, has the same identifier, second field, year and month, all
  // already checked and turned into a slot: only the day, the value and
  // the line end are left. Nearly every record is such; so is the first
  // day of the month after, whose bytes follow from the checked ones. Any
  // other record is checked whole, and sets the bytes for the next.
  MonthCache month;
  // Kept apart from `month`, which take_checked writes through a
  // reference, so that it stays in registers.
  NextDay next;
  for (;;) {
    while (ends == 0) {
      chunk += 64;
      if (end - chunk < kChunkRoom)
        return {p, last, lines};
      ends = line_end_mask(chunk);
    }
    const char* const nl = chunk + std::countr_zero(ends);
    ends &= ends - 1;
    bool taken = false;
    const std::size_t length = month.prefix_length;
    if (length != 0 &&
        Values::is_day_of(p, month.now.prefix, length, *next.text)) {
      taken = take_value<Values>(p, length, nl, end, next);
    } else {
      taken = take_other<Values>(p, nl, end, target, month, next);
    }
    if (!taken)
      return {p, last, lines};
    last = p;
    ++lines;
    p = nl + 1;
  }
}

Run take_run_words(const char* p, const char* end, const RunTarget& target) {
  return take_run<WordValues>(p, end, target);
}

#if GAUMO_X86_TARGETS
[[gnu::target("sse4.1")]] Run take_run_vectors(const char* p, const char* end,
                                               const RunTarget& target) {
  return take_run<VectorValues>(p, end, target);
}
#endif

/// The record loop for this processor, or the one with the plain value
/// reader when `vectors` is off.
Run take_run_here(const char* p, const char* end, const RunTarget& target,
                  bool vectors) {
#if GAUMO_X86_TARGETS
  static const bool sse41 = __builtin_cpu_supports("sse4.1");
  if (sse41 && vectors)
    return take_run_vectors(p, end, target);
#else
  (void)vectors;
#endif
  return take_run_words(p, end, target);
}

}  // namespace

void take_common_records(LineScanner& scanner, const Ident& idsta,
                         std::int32_t i, RecordSink& sink) {
  const std::string_view block = scanner.buffered();
  if (block.size() < static_cast<std::size_t>(kChunkRoom))
    return;
  const char* const p = block.data();
  const char* const end = p + block.size();
  char key_text[8];
  std::memcpy(key_text, idsta.c.data(), 7);
  key_text[7] = ',';
  // Values of years outside the table go here, unread.
  float discard[kDiscardDays];
  const RunTarget target{load_little<std::uint64_t>(key_text), sink.opts,
                         sink.table, i, discard};
  const Run run = take_run_here(p, end, target, sink.tuning.vector_values);
  if (run.last == nullptr)
    return;
  // A later record that leaves a field empty keeps the last record's value
  // of it, so the fields must be what the general reader would have left:
  // the run's last record is read once more, in full.
  RecordFields& f = sink.fields;
  f.flow = kMissing;
  const char* const last_end = line_end_before(run.next - 1);
  parse_common_historical(
      std::string_view(run.last, static_cast<std::size_t>(last_end - run.last)),
      f);
  scanner.skip(static_cast<std::size_t>(run.next - p), run.lines);
}

}  // namespace gaumo
