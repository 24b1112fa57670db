#pragma once
// The start banner (shown again, identical, at the end of a normal run) and
// the closing box that points to the information file.

#include <string>

namespace gaumo {

constexpr int kBannerWidth = 56;

/// The 19 banner lines, each a free-format line of 56 characters after the
/// leading blank (line 14 is a single blank).
std::string banner_text();

/// The closing banner, two empty lines and the information box.
std::string closing_text();

}  // namespace gaumo
