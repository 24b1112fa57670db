#pragma once
// The run of consecutive days: the third tier of the record path, and where
// a national run spends its reading time. Straight from the scanner's
// block, it stores the records of a historical file that follow one
// another day after day, testing each against the bytes of the month's
// first record rather than reading its fields again.

#include "flow/record_reader.h"
#include "run/line_scanner.h"

namespace gaumo {

/// Stores, straight from the scanner's block, the run of records from its
/// start that have the commonest historical form for station i (whose
/// identifier is plain), are whole in the block and need no message; stops
/// at the first other line, which the general path then takes. Leaves the
/// shared fields as the general path would.
void take_common_records(LineScanner& scanner, const Ident& idsta,
                         std::int32_t i, RecordSink& sink);

}  // namespace gaumo
