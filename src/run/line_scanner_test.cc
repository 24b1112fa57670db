#include "run/line_scanner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/memory_file_system.h"
#include "system/line_end_mask.h"

namespace gaumo {
namespace {

constexpr std::size_t kNever = MemoryInputFile::kNever;
constexpr int kEio = 5;

std::vector<std::string> all_lines(const std::string& data, std::size_t chunk,
                                   std::size_t block,
                                   std::size_t max_keep = kNever) {
  MemoryInputFile file(data, chunk);
  LineScanner scanner(file, max_keep, block);
  std::vector<std::string> lines;
  std::string_view line;
  int err = 0;
  LineScanner::Status s;
  // A file of n bytes has at most n lines; more means the scanner is stuck.
  while ((s = scanner.next(line, err)) == LineScanner::Status::kLine &&
         lines.size() <= data.size()) {
    lines.emplace_back(line);
    EXPECT_EQ(scanner.line_number(), static_cast<long>(lines.size()));
  }
  EXPECT_EQ(s, LineScanner::Status::kEnd);
  EXPECT_EQ(scanner.next(line, err), LineScanner::Status::kEnd);
  return lines;
}

using Lines = std::vector<std::string>;

TEST(LineScanner, SplitsLfAndCrLfFilesAlikeWhateverTheBlockSize) {
  struct Case {
    std::string data;
    Lines want;
  };
  const std::string longline(3000, 'x');
  const Case cases[] = {
      {"a\nbb\n", {"a", "bb"}},
      {"a\r\nbb\r\n", {"a", "bb"}},
      {"a\r\nbb", {"a", "bb"}},
      {"a\r\nbb\r", {"a", "bb"}},
      {"a\rb\n", {"a\rb"}},
      {"\r\r\n\r", {"\r", ""}},
      {"", {}},
      {"\n", {""}},
      {"a\n\n", {"a", ""}},
      {"\n\r\n\nz", {"", "", "", "z"}},
      {"x\r", {"x"}},
      {longline + "\r\n" + longline, {longline, longline}},
  };
  for (const Case& c : cases) {
    for (const std::size_t block : {1u, 2u, 3u, 7u, 1u << 20}) {
      for (const std::size_t chunk : {1u, 5u, 4096u}) {
        SCOPED_TRACE(testing::Message()
                     << '"' << c.data.substr(0, 20) << "\" block " << block
                     << " chunk " << chunk);
        EXPECT_EQ(all_lines(c.data, chunk, block), c.want);
      }
    }
  }
}

TEST(LineScanner, CutsLongLinesAndStillDropsTheirFinalCarriageReturn) {
  const std::string x511(511, 'x'), x512(512, 'x');
  const std::string data = x512 + "\r\n" +   // CR just past the cut
                           x512 + "y\r\n" +  // text past the cut
                           x511 + "\rz\n" +  // CR inside the cut stays
                           x512 + std::string(600, 'w') + "\r\n" +  //
                           "ok\n" +                                 //
                           x512 + "\r";  // CR right before the end
  const Lines want = {x512, x512, x511 + "\r", x512, "ok", x512};
  for (const std::size_t block : {64u, 1u << 20}) {
    for (const std::size_t chunk : {1u, 100u, 1u << 20}) {
      SCOPED_TRACE(testing::Message()
                   << "block " << block << " chunk " << chunk);
      EXPECT_EQ(all_lines(data, chunk, block, 512), want);
    }
  }
}

TEST(LineScanner, ReadErrorGivesThePartialLineThenTheEnd) {
  for (const std::size_t block : {3u, 1u << 20}) {
    SCOPED_TRACE(block);
    // The read fails after "one\ntwo\nth" of "one\ntwo\nthree\n".
    MemoryInputFile file("one\ntwo\nthree\n", 4, 10, kEio);
    LineScanner scanner(file, kNever, block);
    std::string_view line;
    int err = 0;
    ASSERT_EQ(scanner.next(line, err), LineScanner::Status::kLine);
    EXPECT_EQ(line, "one");
    ASSERT_EQ(scanner.next(line, err), LineScanner::Status::kLine);
    EXPECT_EQ(line, "two");
    ASSERT_EQ(scanner.next(line, err), LineScanner::Status::kError);
    EXPECT_EQ(line, "th");
    EXPECT_EQ(err, kEio);
    EXPECT_EQ(scanner.line_number(), 3);
    EXPECT_EQ(scanner.next(line, err), LineScanner::Status::kEnd);
    EXPECT_EQ(scanner.next(line, err), LineScanner::Status::kEnd);
  }
}

TEST(LineScanner, ReadErrorOnTheFirstReadIsReported) {
  MemoryInputFile file("abc\n", 4, 0, 21);
  LineScanner scanner(file);
  std::string_view line;
  int err = 0;
  EXPECT_EQ(scanner.next(line, err), LineScanner::Status::kError);
  EXPECT_EQ(err, 21);
  EXPECT_EQ(line, "");
  EXPECT_EQ(scanner.next(line, err), LineScanner::Status::kEnd);
}

TEST(LineEndMask, MarksEveryLineEndAndNothingElseBothWays) {
  // Bytes next to '\n' in value or in bit pattern, where a carry or a
  // borrow would show.
  const unsigned char near[] = {'\n', '\n', 0x0B, 0x09, 0x8A, 0x1A, 0x00,
                                0xFF, 0x7F, 0x80, '\r', ',',  '1'};
  std::mt19937 rng(64);
  for (int round = 0; round < 20000; ++round) {
    char c[64];
    std::uint64_t want = 0;
    for (int k = 0; k < 64; ++k) {
      c[k] =
          static_cast<char>(rng() % 3 == 0 ? rng() : near[rng() % sizeof near]);
      if (c[k] == '\n')
        want |= std::uint64_t{1} << k;
    }
    ASSERT_EQ(line_end_mask(c), want) << round;
    ASSERT_EQ(line_end_mask_portable(c), want) << round;
  }
}

}  // namespace
}  // namespace gaumo
