#pragma once
// The machine's own clock, for the real run.

#include "run/clock.h"

namespace gaumo {

/// The machine's local time now; all zeros when it cannot be had.
LocalTime local_clock();

}  // namespace gaumo
