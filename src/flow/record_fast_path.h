#pragma once
// A fast path for the records nearly every station file is made of: plain
// comma-separated fields, no quotes, blanks, repeats or slashes. It gives
// exactly what the free-form reader gives for such a record and declines
// everything else, which then goes through the free-form reader.

#include <string_view>

#include "flow/record_reader.h"
#include "run/line_scanner.h"

namespace gaumo {

/// Parses `line` (the record as it stands: the character the reader turns
/// into a comma counts as one) into `f` and returns true when the record
/// has the plain form and parses; returns false, leaving `f` untouched,
/// otherwise.
bool parse_plain_record(std::string_view line, RecordKind kind,
                        RecordFields& f);

/// Whether an identifier is made only of characters that stand for
/// themselves in a historical record, so that a raw byte comparison of the
/// first seven columns decides whether a record belongs to the station.
bool is_plain_identifier(const Ident& id);

/// The commonest historical record, "<id>,<text>,YYYY/MM/DD,<value>[,...]",
/// for a plain identifier that `line` starts with, followed by a comma. Gives
/// what the free-form reader gives and returns true, or returns false with
/// `f` untouched.
bool parse_common_historical(std::string_view line, RecordFields& f);

/// Stores, straight from the scanner's block, the run of records from its
/// start that have the commonest historical form for station i (whose
/// identifier is plain), are whole in the block and need no message; stops
/// at the first other line, which the general path then takes. A station
/// file is nearly all such records, so this is where a national run spends
/// its reading time. Leaves the shared fields as the general path would.
void take_common_records(LineScanner& scanner, const Ident& idsta,
                         std::int32_t i, RecordSink& sink);

/// The decimal text `t` as a float rounded once, when it is short enough
/// for exact float arithmetic ([sign] digits [. digits], at most 7 digits);
/// false otherwise.
bool parse_short_decimal(std::string_view t, float& out);

}  // namespace gaumo
