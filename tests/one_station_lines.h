#pragma once
// The log lines of a run on one station, 05AB001, over the year 2010, shared
// by the failure tests that run the binary and those that run in-process.

#include <string>

#include "system/platform.h"

namespace gaumo_test {

/// The name entry of the yearly file for 2010.
inline const std::string kTb0Name =
    std::string(gaumo::platform::kParentPrefix) + "20100101_str.tb0";

inline const std::string kHistName =
    "05AB001_Daily_Flow_ts.csv" + std::string(35, ' ');
inline const std::string kProvName = "Flow_05AB001.csv" + std::string(44, ' ');
inline const std::string kOpenedHist =
    " Opened unit=         101 filename=05AB001_Daily_Flow_ts.csv     \n";
inline const std::string kOpenedProv =
    " Opened unit=         101 filename=Flow_05AB001.csv              \n";
inline const std::string kClosedProv =
    " Closed unit=         101 filename=Flow_05AB001.csv              \n";
inline const std::string kClosedTb0 =
    " Closed unit          999 Filename=  " + kTb0Name + "           \n";

}  // namespace gaumo_test
