#include "app/banner.h"

#include <array>
#include <string_view>

#include "text/free_format_line.h"

namespace gaumo {
namespace {

// The word drawn with its own letters, seven lines high.
constexpr std::array<std::string_view, 7> kArt = {
    " GGGGG        A      U     U   M     M    OOOOO ",
    "G     G      A A     U     U   MM   MM   O     O",
    "G           A   A    U     U   M M M M   O     O",
    "G  GGGG    A     A   U     U   M  M  M   O     O",
    "G     G    AAAAAAA   U     U   M     M   O     O",
    "G     G    A     A   U     U   M     M   O     O",
    " GGGGG     A     A    UUUUU    M     M    OOOOO ",
};

std::string framed(std::string_view inner) {
  std::string s = "*";
  const std::size_t room = kBannerWidth - 2;
  const std::size_t left = inner.size() < room ? (room - inner.size()) / 2 : 0;
  s.append(left, ' ');
  s.append(inner.substr(0, room));
  s.append(room - std::min(room, left + inner.size()), ' ');
  s += '*';
  return s;
}

}  // namespace

std::string banner_text() {
  const std::string stars(kBannerWidth, '*');
  const std::string blank_frame = framed("");
  std::string s;
  s += free_line({stars});
  s += free_line({blank_frame});
  for (std::string_view art : kArt)
    s += free_line({framed(art)});
  s += free_line({blank_frame});
  s += free_line({"*     Write yyymmdd_str.tb0 files from raw data        *"});
  s += free_line({"*     Write yyymmdd_div.tb0 files from raw data        *"});
  s += free_line({blank_frame});
  s += free_line({""});
  s += free_line({"*          Version  6       May 03, 2016               *"});
  s += free_line({blank_frame});
  s += free_line({framed("Daily discharge records to EnSim tb0 files")});
  s += free_line({blank_frame});
  s += free_line({stars});
  return s;
}

std::string closing_text() {
  const std::string stars(kBannerWidth, '*');
  std::string s = banner_text();
  s += free_line({});
  s += free_line({});
  s += free_line({stars});
  s += free_line(
      {"* See file ", "Gaumo_info.txt", " for information about this run *"});
  s += free_line({stars});
  return s;
}

}  // namespace gaumo
