#include "flow/record_reader.h"

#include <algorithm>
#include <cstring>

#include "flow/common_record.h"
#include "flow/daily_door.h"
#include "flow/day_run.h"
#include "flow/plain_record.h"
#include "run/line_scanner.h"
#include "text/fixed_fields.h"
#include "text/free_form_reader.h"
#include "text/free_format_line.h"

namespace gaumo {
namespace {

/// "Error:  ", the identifier and the date: the one information-file line
/// that is not a free-format line.
void report_record(const RecordFields& f, std::int32_t i, RunLog& log) {
  log.record_error(i, error_line(f.ident, f.year, f.month, f.day));
}

bool parse_record(std::string_view line, RecordKind kind, RecordFields& f) {
  if (kind == RecordKind::kHistorical) {
    const Target t[] = {
        Target::text(f.ident.data(), Ident::size()),
        Target::text(f.second.data(), decltype(f.second)::size()),
        Target::int16(&f.year),
        Target::int16(&f.month),
        Target::int16(&f.day),
        Target::real32(&f.flow),
    };
    return read_values(line, nullptr, t).ok();
  }
  const Target t[] = {
      Target::text(f.ident.data(), Ident::size()),
      Target::int16(&f.year),
      Target::int16(&f.month),
      Target::int16(&f.day),
      Target::real32(&f.flow),
  };
  return read_values(line, nullptr, t).ok();
}

/// Hands a record whose fields are parsed (or, for a provisional record,
/// failed to parse and are applied all the same) to the door.
RecordOutcome place_record(RecordKind kind, std::int32_t i, RecordSink& sink,
                           bool parsed) {
  const RecordFields& f = sink.fields;
  DailyDoor door(sink.opts, sink.table, sink.log);
  const DailyValue v{f.year, f.month, f.day, f.flow};
  const Placing how =
      kind == RecordKind::kHistorical ? Placing::kReplace : Placing::kFillEmpty;
  if (!parsed) {
    door.put_reported(i, v, how);
    return RecordOutcome::kReported;
  }
  switch (door.put(i, v, how, f.ident)) {
  case Placed::kOutsideYears:
    return RecordOutcome::kIgnored;
  case Placed::kStored:
    return RecordOutcome::kStored;
  case Placed::kKept:
    return RecordOutcome::kKept;
  case Placed::kDropped:
    return RecordOutcome::kDropped;
  case Placed::kReported:
    break;
  }
  return RecordOutcome::kReported;
}

}  // namespace

RecordOutcome handle_record(std::string_view record, RecordKind kind,
                            const Ident& idsta, std::int32_t i,
                            RecordSink& sink) {
  const std::string_view rec = record.substr(0, kRecordLength);
  const std::size_t n = rec.size();
  RecordFields& f = sink.fields;
  f.flow = kMissing;
  if (kind == RecordKind::kHistorical && sink.tuning.fast_paths &&
      sink.plain_identifier && n > 7 && rec[7] == ',' &&
      std::memcmp(rec.data(), idsta.c.data(), 7) == 0 &&
      parse_common_historical(rec, f)) {
    return place_record(kind, i, sink, true);
  }
  const char from = kind == RecordKind::kHistorical ? '/' : '-';
  // Columns 1 to 7 after the separator is replaced, blank-padded as the
  // 512-character buffer would be; only a record that matches is copied.
  char head[7];
  for (std::size_t k = 0; k < 7; ++k) {
    const char c = k < n ? rec[k] : ' ';
    head[k] = c == from ? ',' : c;
  }
  if (std::memcmp(head, idsta.c.data(), 7) != 0)
    return RecordOutcome::kIgnored;
  bool parsed = sink.tuning.fast_paths && parse_plain_record(rec, kind, f);
  if (!parsed) {
    char buf[kRecordLength];
    std::memcpy(buf, rec.data(), n);
    for (char* p = buf;
         (p = static_cast<char*>(std::memchr(
              p, from, static_cast<std::size_t>(buf + n - p)))) != nullptr;) {
      *p++ = ',';
    }
    parsed = parse_record(std::string_view(buf, n), kind, f);
  }
  if (!parsed) {
    report_record(f, i, sink.log);
    if (kind == RecordKind::kHistorical)
      return RecordOutcome::kReported;
  }
  return place_record(kind, i, sink, parsed);
}

void read_station_records(InputFile& file, RecordKind kind, const FileName& fln,
                          const Ident& idsta, std::int32_t i,
                          RecordSink& sink) {
  sink.plain_identifier = is_plain_identifier(idsta);
  const bool common_form = kind == RecordKind::kHistorical &&
                           sink.tuning.fast_paths && sink.plain_identifier;
  LineScanner scanner(file, kRecordLength, sink.tuning.block_size);
  std::string_view line;
  int err = 0;
  // The header record; a failure here is not reported.
  if (scanner.next(line, err) != LineScanner::Status::kLine)
    return;
  for (;;) {
    if (common_form)
      take_common_records(scanner, idsta, i, sink);
    err = 0;
    const LineScanner::Status s = scanner.next(line, err);
    if (s == LineScanner::Status::kEnd)
      break;
    if (s == LineScanner::Status::kError) {
      sink.log.info(free_line({"Problems reading ", fln.view()}));
      sink.log.info(
          free_line({"for year ", std::int32_t{sink.fields.year}, " month "}));
      sink.log.info(free_line({"ios=", err != 0 ? err : 1}));
    }
    handle_record(line, kind, idsta, i, sink);
  }
}

}  // namespace gaumo
