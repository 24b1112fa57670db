#include "text/free_form_reader.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace gaumo {
namespace {

/// The lines of a file or the console after the one a read starts on.
class Lines : public LineSource {
 public:
  Lines(std::initializer_list<const char*> lines)
      : lines_(lines.begin(), lines.end()) {}
  bool next_line(std::string_view& line) override {
    if (used_ == lines_.size())
      return false;
    line = lines_[used_++];
    return true;
  }
  std::size_t used() const { return used_; }

 private:
  std::vector<std::string> lines_;
  std::size_t used_ = 0;
};

/// Reads three 32-bit integers that hold 1, 2 and 3 beforehand.
struct ThreeInts {
  std::array<std::int32_t, 3> v{1, 2, 3};
  ReadResult read(std::string_view line, LineSource* more = nullptr) {
    const Target t[] = {Target::int32(&v[0]), Target::int32(&v[1]),
                        Target::int32(&v[2])};
    return read_values(line, more, t);
  }
};

/// Reads two 8-character texts that hold "????????" beforehand.
struct TwoTexts {
  std::string a = "????????", b = "????????";
  ReadResult read(std::string_view line, LineSource* more = nullptr) {
    const Target t[] = {Target::text(a.data(), 8), Target::text(b.data(), 8)};
    return read_values(line, more, t);
  }
};

TEST(ReadValues, SeparatesIntegersAndLeavesEmptyValuesUnchanged) {
  struct Case {
    const char* line;
    std::array<std::int32_t, 3> want;
    std::size_t assigned;
  };
  // clang-format off
  const Case cases[] = {
      {"4 5 6", {4, 5, 6}, 3},          {"4,5,6", {4, 5, 6}, 3},
      {"  4 ,  5 ,6  ", {4, 5, 6}, 3},  {"4\t5 \t 6", {4, 5, 6}, 3},
      {"12,,7", {12, 2, 7}, 2},         {"4, ,6", {4, 2, 6}, 2},
      {",5,6", {1, 5, 6}, 2},           {"  , 5 6", {1, 5, 6}, 2},
      {",,6", {1, 2, 6}, 1},            {"4 5 6 7 junk", {4, 5, 6}, 3},
      {"-4 +5 007", {-4, 5, 7}, 3},
      {"-2147483648 2147483647 -32769", {-2147483648, 2147483647, -32769}, 3},
      {"4/", {4, 2, 3}, 1},             {"4,/ 5 6", {4, 2, 3}, 1},
      {"/ 4 5 6", {1, 2, 3}, 0},        {"3*5", {5, 5, 5}, 3},
      {"2*5 9", {5, 5, 9}, 3},          {"9*5", {5, 5, 5}, 3},
      {"2147483647*5", {5, 5, 5}, 3},   {"1*4 2*", {4, 2, 3}, 1},
      {"2* 9", {1, 2, 9}, 1},           {"2*,9", {1, 2, 9}, 1},
      {"2*/ 9", {1, 2, 3}, 0},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    ThreeInts t;
    const ReadResult r = t.read(c.line);
    EXPECT_EQ(r.status, ReadStatus::kOk);
    EXPECT_EQ(t.v, c.want);
    EXPECT_EQ(r.assigned, c.assigned);
  }
}

TEST(ReadValues, ReportsTheFailingTargetAndItsText) {
  struct Case {
    const char* line;
    ReadStatus status;
    std::size_t target;
    const char* bad;
    std::array<std::int32_t, 3> want;
  };
  const Case cases[] = {
      {"4 x 6", ReadStatus::kNotANumber, 1, "x", {4, 2, 3}},
      {"4 1.5 6", ReadStatus::kNotANumber, 1, "1.5", {4, 2, 3}},
      {"4 5 1e2", ReadStatus::kNotANumber, 2, "1e2", {4, 5, 3}},
      {"4 2147483648", ReadStatus::kOutOfRange, 1, "2147483648", {4, 2, 3}},
      {"-2147483649", ReadStatus::kOutOfRange, 0, "-2147483649", {1, 2, 3}},
      // Not repeats: a count must be plain digits from 1 to 2147483647.
      {"0*5", ReadStatus::kNotANumber, 0, "0*5", {1, 2, 3}},
      {"-2*5", ReadStatus::kNotANumber, 0, "-2*5", {1, 2, 3}},
      {"+2*5", ReadStatus::kNotANumber, 0, "+2*5", {1, 2, 3}},
      {"2147483648*5", ReadStatus::kNotANumber, 0, "2147483648*5", {1, 2, 3}},
      {"4 2*x", ReadStatus::kNotANumber, 1, "x", {4, 2, 3}},
      // An in-memory text has no next line; a comma at its end is no value.
      {"4 5", ReadStatus::kEndOfInput, 2, "", {4, 5, 3}},
      {"4 5,", ReadStatus::kEndOfInput, 2, "", {4, 5, 3}},
      {"4 ,,", ReadStatus::kEndOfInput, 2, "", {4, 2, 3}},
      {"2*", ReadStatus::kEndOfInput, 2, "", {1, 2, 3}},
      {"", ReadStatus::kEndOfInput, 0, "", {1, 2, 3}},
      {"   ", ReadStatus::kEndOfInput, 0, "", {1, 2, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    ThreeInts t;
    const ReadResult r = t.read(c.line);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.target_index, c.target);
    EXPECT_EQ(r.bad_text, c.bad);
    EXPECT_EQ(t.v, c.want);
  }
}

TEST(ReadValues, GoesOnAcrossLinesWhenALineSourceIsGiven) {
  struct Case {
    const char* first;
    Lines more;
    std::array<std::int32_t, 3> want;
    std::size_t lines_used;
  };
  // The line end acts as a blank: a comma first on a line only separates
  // after a value, but gives an empty value after a comma or at the start.
  // clang-format off
  Case cases[] = {
      {"4", {"", "   ", "5 6"}, {4, 5, 6}, 3}, {"4", {",5 6"}, {4, 5, 6}, 1},
      {"", {",5 6 7"}, {1, 5, 6}, 1},          {",5", {"6"}, {1, 5, 6}, 1},
      {"4,", {"5", "6 7"}, {4, 5, 6}, 2},      {"4,,", {"6"}, {4, 2, 6}, 1},
      {"2*", {"6"}, {1, 2, 6}, 1},             {"4", {"5/", "6"}, {4, 5, 3}, 1},
      {"4 5 6", {"7"}, {4, 5, 6}, 0},          {"4,", {",5 6"}, {4, 2, 5}, 1},
      {"4, ,", {",6"}, {4, 2, 3}, 1},
  };
  // clang-format on
  for (Case& c : cases) {
    SCOPED_TRACE(c.first);
    ThreeInts t;
    EXPECT_EQ(t.read(c.first, &c.more).status, ReadStatus::kOk);
    EXPECT_EQ(t.v, c.want);
    EXPECT_EQ(c.more.used(), c.lines_used);
  }
}

TEST(ReadValues, CommaOnEachSideOfALineEndGivesAnEmptyValue) {
  struct Case {
    const char* first;
    Lines more;
    std::array<std::int32_t, 3> want;
    std::size_t assigned;
  };
  // clang-format off
  Case cases[] = {
      {"4 ,  ", {"  ,5 6"}, {4, 2, 5}, 2},  // blanks either side change nothing
      {"4,", {"", " ", ",5"}, {4, 2, 5}, 2},  // nor do blank lines between
      {"4,,", {",6"}, {4, 2, 3}, 1},         {"2*,", {",6"}, {1, 2, 3}, 0},
      {"4 ", {",5 6"}, {4, 5, 6}, 3},        {"4", {"", ",5 6"}, {4, 5, 6}, 3},
  };
  // clang-format on
  for (Case& c : cases) {
    SCOPED_TRACE(c.first);
    ThreeInts t;
    const ReadResult r = t.read(c.first, &c.more);
    EXPECT_EQ(t.v, c.want);
    EXPECT_EQ(r.assigned, c.assigned);
  }
  TwoTexts t;
  Lines more{",y"};
  EXPECT_EQ(t.read("'x',", &more).status, ReadStatus::kOk);
  EXPECT_EQ(t.a, "x       ");
  EXPECT_EQ(t.b, "????????");
}

TEST(ReadValues, StartsOnTheFirstLineThatHoldsSomething) {
  struct Case {
    const char* first;
    Lines more;
    std::array<std::int32_t, 3> want;
    std::size_t lines_used;
  };
  // Blank lines before the first value or comma are passed over: a comma
  // first on the line after them opens with an empty value, as on the first.
  // clang-format off
  Case cases[] = {
      {"", {",5 6"}, {1, 5, 6}, 1},          {" \t", {"", "  , 5 6"}, {1, 5, 6}, 2},
      {"", {",,6"}, {1, 2, 6}, 1},           {"", {"", "4 5 6"}, {4, 5, 6}, 2},
      {"", {"2*", "6"}, {1, 2, 6}, 2},       {"", {" /", "4 5 6"}, {1, 2, 3}, 1},
  };
  // clang-format on
  for (Case& c : cases) {
    SCOPED_TRACE(c.first);
    ThreeInts t;
    EXPECT_EQ(t.read(c.first, &c.more).status, ReadStatus::kOk);
    EXPECT_EQ(t.v, c.want);
    EXPECT_EQ(c.more.used(), c.lines_used);
  }
}

TEST(ReadValues, SourceThatRunsOutIsAnEndOfInputError) {
  ThreeInts t;
  Lines more{"", "5"};
  const ReadResult r = t.read("4", &more);
  EXPECT_EQ(r.status, ReadStatus::kEndOfInput);
  EXPECT_EQ(r.target_index, 2u);
  EXPECT_EQ(r.assigned, 2u);
  EXPECT_EQ(t.v, (std::array<std::int32_t, 3>{4, 5, 3}));
}

TEST(ReadValues, StoresTextsQuotedOrNotAtTheirFixedLength) {
  struct Case {
    const char* line;
    const char* a;
    const char* b;
  };
  const Case cases[] = {
      {"ab cdefghijk", "ab      ", "cdefghij"},
      {"ab,cd", "ab      ", "cd      "},
      {"ab\tcd", "ab      ", "cd      "},
      {"ab/cd x", "ab      ", "????????"},
      {"'a b,c/d' x", "a b,c/d ", "x       "},
      {"'it''s' \"say \"\"hi\"\"\"", "it's    ", "say \"hi\""},
      {"\"it's\" 'a\"b'", "it's    ", "a\"b     "},
      {"'abc'def,x", "abc     ", "x       "},
      {"'abc'def x", "abc     ", "x       "},
      {"'' x", "        ", "x       "},
      {", x", "????????", "x       "},
      {"2*'x y'", "x y     ", "x y     "},
      {"2*", "????????", "????????"},
      {"0*5 -2*5", "0*5     ", "-2*5    "},
      {"2147483648*5 z", "21474836", "z       "},
      {"12 3.5", "12      ", "3.5     "},
      {"'a', 'b'", "a       ", "b       "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    TwoTexts t;
    EXPECT_EQ(t.read(c.line).status, ReadStatus::kOk);
    EXPECT_EQ(t.a, c.a);
    EXPECT_EQ(t.b, c.b);
  }
}

TEST(ReadValues, QuoteLeftOpenEndsAtItsLineEnd) {
  TwoTexts t;
  Lines more{"next"};
  EXPECT_EQ(t.read("'abc", &more).status, ReadStatus::kOk);
  EXPECT_EQ(t.a, "abc     ");
  EXPECT_EQ(t.b, "next    ");
}

TEST(ReadValues, KeepsSixteenBitIntegersInRange) {
  struct Case {
    const char* line;
    ReadStatus status;
    std::int16_t value;
  };
  const Case cases[] = {{"32767", ReadStatus::kOk, 32767},
                        {"-32768", ReadStatus::kOk, -32768},
                        {"32768", ReadStatus::kOutOfRange, 9},
                        {"-32769", ReadStatus::kOutOfRange, 9},
                        {"'5'", ReadStatus::kNotANumber, 9}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    std::int16_t v = 9;
    const Target t[] = {Target::int16(&v)};
    EXPECT_EQ(read_values(c.line, nullptr, t).status, c.status);
    EXPECT_EQ(v, c.value);
  }
}

TEST(ReadValues, FillsMixedTargetsInOrder) {
  std::array<char, 10> name;
  name.fill('?');
  std::int16_t n = 0;
  std::int32_t year = 0;
  float lat = 0.0f, area = -1.0f, flow = 7.0f;
  const Target t[] = {Target::text(name.data(), name.size()),
                      Target::int16(&n),
                      Target::int32(&year),
                      Target::real32(&lat),
                      Target::real32(&area),
                      Target::real32(&flow)};
  const ReadResult r =
      read_values("'St. Mary''s', -12\t1999,49.25D0,,", nullptr, t);
  // ",," at the end is one empty value: the last float is still wanted.
  EXPECT_EQ(r.status, ReadStatus::kEndOfInput);
  EXPECT_EQ(r.target_index, 5u);
  EXPECT_EQ(r.assigned, 4u);
  EXPECT_EQ(std::string(name.begin(), name.end()), "St. Mary's");
  EXPECT_EQ(n, -12);
  EXPECT_EQ(year, 1999);
  EXPECT_EQ(lat, 49.25f);
  EXPECT_EQ(area, -1.0f);
  EXPECT_EQ(flow, 7.0f);
}

TEST(ReadValues, ChecksRealValuesAgainstTheGrammarAndFloatRange) {
  struct Case {
    const char* line;
    ReadStatus status;
    float value;
  };
  const Case cases[] = {{"1.5D0", ReadStatus::kOk, 1.5f},
                        {"1e-50", ReadStatus::kOk, 0.0f},
                        {"1.5E", ReadStatus::kNotANumber, 9.0f},
                        {"NaN", ReadStatus::kNotANumber, 9.0f},
                        {"'1.5'", ReadStatus::kNotANumber, 9.0f},
                        {"3.5e38", ReadStatus::kOutOfRange, 9.0f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    float v = 9.0f;
    const Target t[] = {Target::real32(&v)};
    EXPECT_EQ(read_values(c.line, nullptr, t).status, c.status);
    EXPECT_EQ(v, c.value);
  }
}

}  // namespace
}  // namespace gaumo
