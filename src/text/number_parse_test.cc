#include "text/number_parse.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>

#include "support/short_decimals.h"
#include "text/short_decimal.h"

namespace gaumo {
namespace {

constexpr std::int64_t kI16Min = -32768, kI16Max = 32767;
constexpr std::int64_t kI32Min = -2147483648LL, kI32Max = 2147483647LL;

TEST(ParseInteger, TakesSignedDigitsWithAnyLeadingZerosWithinTheRange) {
  struct Case {
    const char* text;
    std::int64_t lo, hi, value;
  };
  // clang-format off
  const Case cases[] = {
      {"0", kI32Min, kI32Max, 0},     {"+5", kI32Min, kI32Max, 5},
      {"-17", kI32Min, kI32Max, -17}, {"-0", kI32Min, kI32Max, 0},
      {"007", kI32Min, kI32Max, 7},
      {"2147483647", kI32Min, kI32Max, kI32Max},
      {"-2147483648", kI32Min, kI32Max, kI32Min},
      {"000000000000000000000000000000012", kI32Min, kI32Max, 12},
      {"32767", kI16Min, kI16Max, 32767}, {"-32768", kI16Min, kI16Max, -32768},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const IntParse r = parse_integer(c.text, c.lo, c.hi);
    EXPECT_EQ(r.error, NumberError::kNone);
    EXPECT_EQ(r.value, c.value);
  }
}

TEST(ParseInteger, RejectsAnythingButSignedDigits) {
  for (const char* text : {"", "+", "-", "1.", "1.0", ".5", "1e3", "1d2", " 1",
                           "1 ", "0x10", "1,5", "++1", "+-1", "12a", "inf"}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(parse_integer(text, kI32Min, kI32Max).error,
              NumberError::kNotANumber);
  }
}

TEST(ParseInteger, ReportsValuesOutsideTheRange) {
  for (const char* text : {"32768", "-32769", "2147483648"}) {
    EXPECT_EQ(parse_integer(text, kI16Min, kI16Max).error,
              NumberError::kOutOfRange)
        << text;
  }
  for (const char* text :
       {"2147483648", "-2147483649", "99999999999999999999999"}) {
    EXPECT_EQ(parse_integer(text, kI32Min, kI32Max).error,
              NumberError::kOutOfRange)
        << text;
  }
}

TEST(ParseReal, AcceptsEveryFormOfTheGrammar) {
  struct Case {
    const char* text;
    float value;
  };
  // clang-format off
  const Case cases[] = {
      {"1", 1.0f},       {"-2.5", -2.5f},  {"+.5", 0.5f},    {"1.", 1.0f},
      {".25", 0.25f},    {"-.5", -0.5f},   {"007.5", 7.5f},  {"1.5E2", 150.0f},
      {"1.5e-1", 0.15f}, {"1.5D0", 1.5f},  {"2d+2", 200.0f}, {"1E5", 1.0e5f},
      {"-3.e1", -30.0f}, {".5e01", 5.0f},  {"+0.0", 0.0f},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const RealParse r = parse_real(c.text);
    EXPECT_EQ(r.error, NumberError::kNone);
    EXPECT_EQ(r.value, c.value);
    EXPECT_TRUE(is_real_syntax(c.text));
  }
}

TEST(ParseReal, RejectsWhatTheGrammarDoesNotHold) {
  for (const char* text :
       {"",      "+",     "-",   ".",   "+.",    "1.5E",  "1.5e+",
        "1d",    "E5",    ".e5", "NaN", "nan",   "inf",   "-Infinity",
        "0x1p3", "1,5",   " 1",  "1 ",  "1.5.2", "1e5.0", "--1",
        "1.5f",  "1e5e5", "1..", "1e 5"}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(parse_real(text).error, NumberError::kNotANumber);
    EXPECT_FALSE(is_real_syntax(text));
  }
}

TEST(ParseReal, RoundsOnceFromTheDecimalTextToFloat) {
  // 1 + 2^-24 lies halfway between the floats 1 and 1 + 2^-23. The first
  // text lies 2.5e-17 above it, so close that a double rounds it onto the
  // halfway point and a second rounding to float would give 1.
  const std::pair<std::string, float> cases[] = {
      {"1.0000000596046448", 1.00000011920928955078125f},
      {"1.000000059604644775390625", 1.0f},  // the exact tie goes to even
      {"1.0000000596046447753906250000000000000000000000000000000000000000001",
       1.00000011920928955078125f},
      {"1.0000000596046447", 1.0f},
      {"16777217", 16777216.0f},
      {"16777219", 16777220.0f},
      {"0.1", 0.1f},
      {"0." + std::string(70, '0') + "1e70", 0.1f},
  };
  for (const auto& [text, value] : cases) {
    SCOPED_TRACE(text);
    const RealParse r = parse_real(text);
    EXPECT_EQ(r.error, NumberError::kNone);
    EXPECT_EQ(r.value, value);
  }
}

TEST(ParseReal, ReportsValuesBeyondTheLargestFloat) {
  // Up to halfway to 2^128 (3.40282356779...e38) a value rounds to FLT_MAX.
  for (const char* text : {"3.4028235e38", "3.40282356e38", "-3.4028235e38"}) {
    const RealParse r = parse_real(text);
    EXPECT_EQ(r.error, NumberError::kNone) << text;
    EXPECT_EQ(std::fabs(r.value), FLT_MAX) << text;
  }
  for (const std::string& text :
       {std::string("3.5e38"), std::string("-3.5e38"),
        std::string("3.4028236e38"), std::string("1D39"),
        "1" + std::string(40, '0')}) {
    EXPECT_EQ(parse_real(text).error, NumberError::kOutOfRange) << text;
  }
}

TEST(ParseReal, RoundsTinyValuesToZeroOrASubnormalWithoutError) {
  struct Case {
    const char* text;
    float value;
  };
  // The smallest subnormal is 2^-149 = 1.4013e-45; half of it is 7.0065e-46.
  // clang-format off
  const Case cases[] = {
      {"1e-50", 0.0f}, {"-1e-50", -0.0f}, {"1e-400", 0.0f}, {"0.7e-45", 0.0f},
      {"0.71e-45", FLT_TRUE_MIN},  {"1e-45", FLT_TRUE_MIN},
      {"-1.4e-45", -FLT_TRUE_MIN}, {"1.17549435e-38", FLT_MIN},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const RealParse r = parse_real(c.text);
    EXPECT_EQ(r.error, NumberError::kNone);
    EXPECT_EQ(r.value, c.value);
    EXPECT_EQ(std::signbit(r.value), std::signbit(c.value));
  }
}

TEST(ShortDecimal, EachScannerRoundsOnceToFloat) {
  float v = 0;
  ASSERT_TRUE(parse_short_decimal("1180.000", v));
  EXPECT_EQ(v, 1180.0f);
  ASSERT_TRUE(parse_short_decimal("0.1", v));
  EXPECT_EQ(v, 0.1f);
  ASSERT_TRUE(parse_short_decimal("-0.0", v));
  EXPECT_TRUE(std::signbit(v));
  ASSERT_TRUE(parse_short_decimal("9999.999", v));
  EXPECT_EQ(v, 9999.999f);
  EXPECT_FALSE(parse_short_decimal("12345678", v));  // eight digits
  EXPECT_FALSE(parse_short_decimal("1e3", v));
  EXPECT_FALSE(parse_short_decimal(".", v));
  // Every value of up to 7 digits with 0 to 7 decimals agrees with the
  // correctly rounded conversion, through the byte, the word and (where the
  // processor has it) the SSE4.1 scanner, on a sample of the range.
  std::mt19937 rng(7);
  for (int k = 0; k < 100000; ++k) {
    const std::string t = random_short_decimal(rng);
    const float want = std::strtof(t.c_str(), nullptr);
    ASSERT_TRUE(parse_short_decimal(t, v)) << t;
    ASSERT_EQ(v, want) << t;
    // Followed by a comma and room to read past the value.
    const std::string padded = t + ",B 1234567890123456";
    const char* p = padded.data();
    const char* e = p + padded.size();
    for (const ShortDecimal d :
         {scan_short_decimal_bytes(p, e), scan_short_decimal_word(p, e)}) {
      ASSERT_EQ(d.end, p + t.size()) << t;
      ASSERT_EQ(d.value, want) << t;
    }
#if GAUMO_X86_TARGETS
    if (__builtin_cpu_supports("sse4.1")) {
      const ShortDecimal d = scan_short_decimal_sse41(p);
      ASSERT_EQ(d.end, p + t.size()) << t;
      ASSERT_EQ(d.value, want) << t;
    }
#endif
  }
}

TEST(ShortDecimal, SixteenBitIntegersAgreeWithTheGeneralParser) {
  for (const char* t : {"0", "-0", "+7", "32767", "-32768", "32768", "-32769",
                        "000001999", "0000019999", "", "-", "1a", " 1"}) {
    std::int16_t v = 0;
    const IntParse general = parse_integer(t, -32768, 32767);
    const bool fast = parse_short_int16(t, v);
    if (fast) {
      EXPECT_EQ(general.error, NumberError::kNone) << t;
      EXPECT_EQ(v, general.value) << t;
    }
  }
}

}  // namespace
}  // namespace gaumo
