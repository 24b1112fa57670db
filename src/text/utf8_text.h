#pragma once
// Station names come from files of any encoding, while SVG and JSON need
// valid UTF-8: text is carried over as UTF-8 where it already is, and any
// other byte is taken as Latin-1 (the usual encoding of older station
// lists with accented names).

#include <string>
#include <string_view>

namespace gaumo {

/// `bytes` as valid UTF-8 with every control character (tab and line ends
/// included) as a blank.
std::string to_utf8(std::string_view bytes);

}  // namespace gaumo
