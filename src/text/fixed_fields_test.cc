#include "text/fixed_fields.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace gaumo {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::string fixed(double v, int width, int decimals) {
  std::string s;
  put_fixed(s, v, width, decimals);
  return s;
}

std::string f12_3(float v) {
  std::string s;
  put_f12_3(s, v);
  return s;
}

TEST(PutInt, RightAlignsOrFillsTheFieldWithAsterisks) {
  struct Case {
    std::int64_t v;
    int width;
    const char* want;
  };
  // clang-format off
  const Case cases[] = {
      {5, 3, "  5"},     {-5, 3, " -5"},    {-12, 3, "-12"},  {0, 1, "0"},
      {123, 3, "123"},   {1234, 3, "***"},  {-123, 3, "***"},
      {2147483647, 12, "  2147483647"},     {-2147483648LL, 11, "-2147483648"},
  };
  // clang-format on
  for (const Case& c : cases) {
    std::string s;
    put_int(s, c.v, c.width);
    EXPECT_EQ(s, c.want) << c.v;
  }
}

struct FixedCase {
  double v;
  int width, decimals;
  const char* want;
};

TEST(PutFixed, RoundsTheExactValueHalfToEvenAndRightAligns) {
  // clang-format off
  const FixedCase cases[] = {
      {2209.5, 10, 0, "     2210."},  {2210.5, 10, 0, "     2210."},
      {2210.0, 10, 0, "     2210."},  {2.5, 4, 0, "  2."},
      {3.5, 4, 0, "  4."},            {-2.5, 4, 0, " -2."},
      {0.4, 3, 0, " 0."},             {-1.0, 12, 3, "      -1.000"},
      {0.0625, 12, 3, "       0.062"}, {0.1875, 12, 3, "       0.188"},
      {0.0, 12, 3, "       0.000"},   {-0.0, 12, 3, "      -0.000"},
      {-0.0004, 12, 3, "      -0.000"}, {123.456, 7, 3, "123.456"},
      {9.9996, 6, 3, "10.000"},       {0.9996, 5, 3, "1.000"},
      {1e20, 25, 2, " 100000000000000000000.00"},
  };
  // clang-format on
  for (const FixedCase& c : cases) {
    EXPECT_EQ(fixed(c.v, c.width, c.decimals), c.want) << c.v;
  }
}

TEST(PutFixed, DropsTheOptionalZeroThenWritesAsterisksWhenRoomRunsOut) {
  // clang-format off
  const FixedCase cases[] = {
      {0.5, 5, 3, "0.500"},   {0.5, 4, 3, ".500"},     {-0.5, 6, 3, "-0.500"},
      {-0.5, 5, 3, "-.500"},  {-0.0004, 5, 3, "-.000"}, {-0.5, 4, 3, "****"},
      {99.9996, 6, 3, "******"}, {12345.678, 8, 3, "********"},
      {2209.5, 4, 0, "****"}, {kInf, 6, 2, "******"},  {kNaN, 6, 2, "******"},
  };
  // clang-format on
  for (const FixedCase& c : cases) {
    EXPECT_EQ(fixed(c.v, c.width, c.decimals), c.want) << c.v;
  }
}

TEST(PutExp, WritesAZeroPointMantissaWithATwoDigitExponent) {
  // clang-format off
  const FixedCase cases[] = {
      {0.0, 12, 5, " 0.00000E+00"},     {-0.0, 12, 5, "-0.00000E+00"},
      {1.0, 12, 5, " 0.10000E+01"},     {1234.5, 12, 5, " 0.12345E+04"},
      // Exact ties go to the even digit, and may carry into the exponent.
      {1234.25, 12, 5, " 0.12342E+04"}, {1234.75, 12, 5, " 0.12348E+04"},
      {99998.5, 12, 5, " 0.99998E+05"}, {99999.5, 12, 5, " 0.10000E+06"},
      {-1234.5, 12, 5, "-0.12345E+04"}, {-1234.5, 11, 5, "***********"},
      {0.001, 12, 5, " 0.10000E-02"},   {3.0e-5, 12, 5, " 0.30000E-04"},
      {1e10, 12, 5, " 0.10000E+11"},    {0.5, 10, 3, " 0.500E+00"},
  };
  // clang-format on
  for (const FixedCase& c : cases) {
    std::string s;
    put_exp(s, c.v, c.width, c.decimals);
    EXPECT_EQ(s, c.want) << c.v;
  }
}

TEST(PutTextRight, PadsInFrontOrCutsToTheFirstCharacters) {
  const std::pair<const char*, const char*> cases[] = {
      {"abcdefg", "     abcdefg"},
      {"abcdefghijklmn", "abcdefghijkl"},
      {"abcdefghijkl", "abcdefghijkl"},
      {"", "            "}};
  for (const auto& [text, want] : cases) {
    std::string s;
    put_text_right(s, text, 12);
    EXPECT_EQ(s, want);
  }
}

TEST(FixedFields, AppendOneAfterAnotherOnALine) {
  std::string s = "x";
  put_text_right(s, "05OJ010", 12);
  put_blanks(s, 2);
  put_blanks(s, 0);
  put_int(s, 1999, 6);
  put_fixed(s, -1.0, 12, 3);
  put_exp(s, 1234.5, 12, 5);
  put_f12_3(s, 2209.5f);
  EXPECT_EQ(s, "x     05OJ010    1999      -1.000 0.12345E+04    2209.500");
}

TEST(PutF12x3, WritesTheUsualDailyValues) {
  EXPECT_EQ(f12_3(-1.0f), "      -1.000");
  EXPECT_EQ(f12_3(0.0625f), "       0.062");
  EXPECT_EQ(f12_3(-0.0f), "      -0.000");
  EXPECT_EQ(f12_3(99999992.0f), "99999992.000");
  EXPECT_EQ(f12_3(-10000000.0f), "************");
  EXPECT_EQ(f12_3(1e8f), "************");
}

TEST(FormatF12x3, WritesExactlyTwelveCharactersInPlace) {
  char row[] = "<............>";
  format_f12_3(row + 1, -1.0f);
  EXPECT_STREQ(row, "<      -1.000>");
  format_f12_3(row + 1, 1e8f);
  EXPECT_STREQ(row, "<************>");
}

TEST(PutF12x3, MatchesTheGeneralFixedFieldOnEdgeValues) {
  // clang-format off
  const float edges[] = {
      0.0f, -0.0f, 0.0005f, -0.0005f, 0.0015f, 0.0025f, 2.0005f, -2.0005f,
      // Exact ties of the third decimal: 62.5, 187.5, 312.5, 2209062.5.
      0.0625f, -0.1875f, 0.3125f, 2209.0625f,
      0.0004999f, 0.9995f, 0.5f, 123.4565f, -999.0f, -999.0005f, 2209.5f,
      8388607.5f, 9999999.0f, -9999999.0f, 9999999.999f, -9999999.999f,
      1e7f, -1e7f, 16777216.0f, 99999992.0f, 99999999.999f, 1e8f, -1e8f,
      1e10f, FLT_MAX, -FLT_MAX, FLT_MIN, -FLT_MIN, FLT_TRUE_MIN, -FLT_TRUE_MIN,
      std::nextafter(0.0005f, 0.0f), std::nextafter(0.0005f, 1.0f),
      std::nextafter(1e7f, 0.0f), std::nextafter(-1e7f, 0.0f),
      // Where rounding adds a digit to the whole part.
      9.9996f, -99.9996f, 999.9996f, 99999.9995f, -999999.94f, 999999.9f,
  };
  // clang-format on
  for (const float v : edges) {
    EXPECT_EQ(f12_3(v), fixed(v, 12, 3)) << std::hexfloat << v;
  }
}

TEST(PutF12x3, MatchesTheGeneralFixedFieldOnRandomValues) {
  std::mt19937 gen(20160503);
  std::uniform_int_distribution<std::uint32_t> bits;
  std::uniform_real_distribution<float> flow(-1.0f, 20000.0f);
  std::uniform_real_distribution<float> wide(-2e8f, 2e8f);
  std::uniform_int_distribution<std::int32_t> halves(-20000000, 20000000);
  std::string got, want;
  int mismatches = 0;
  for (int i = 0; i < 100000 && mismatches < 5; ++i) {
    const float any = std::bit_cast<float>(bits(gen));
    // Near-halves of the third decimal, where the two roundings could part.
    const float near_half = static_cast<float>(halves(gen)) / 2000.0f;
    for (const float v : {any, flow(gen), wide(gen), near_half}) {
      if (!std::isfinite(v))
        continue;
      got.clear();
      want.clear();
      put_f12_3(got, v);
      put_fixed(want, v, 12, 3);
      if (got != want) {
        ++mismatches;
        ADD_FAILURE() << std::hexfloat << v << ": " << got << " vs " << want;
      }
    }
  }
}

/// The cells of a row as format_f12_3 writes them one at a time.
std::string cells_one_by_one(const std::vector<float>& values) {
  std::string s(12 * values.size(), '?');
  for (std::size_t k = 0; k < values.size(); ++k)
    format_f12_3(s.data() + 12 * k, values[k]);
  return s;
}

/// Every way of formatting cells that this machine has.
std::vector<CellsPath> cells_paths() {
  std::vector<CellsPath> paths;
  for (const CellsPath p :
       {CellsPath::kOneByOne, CellsPath::kAvx2, CellsPath::kAvx512}) {
    if (has_cells_path(p))
      paths.push_back(p);
  }
  return paths;
}

std::string cells(const std::vector<float>& values, CellsPath path) {
  // A guard byte on each side catches a write outside the cells.
  std::string s(12 * values.size() + 2, '|');
  format_f12_3_cells_by(path, s.data() + 1, values.data(), values.size());
  EXPECT_EQ(s.front(), '|');
  EXPECT_EQ(s.back(), '|');
  return s.substr(1, 12 * values.size());
}

TEST(FormatF12x3Cells, WritesWhatTheSingleCellWritesForEveryDigitGroup) {
  // Every value of each four-digit group of the whole part and of the
  // decimals, with both signs, in rows whose length is no multiple of 8.
  std::vector<float> row;
  for (int n = 0; n < 10000; ++n) {
    const auto f = static_cast<float>(n);
    row.insert(row.end(), {f, -f, f + 0.25f, f * 1000.0f, -f * 999.0f,
                           f / 1000.0f, -f / 1000.0f});
  }
  row.push_back(1.0f);
  ASSERT_NE(row.size() % 8, 0u);
  const std::string want = cells_one_by_one(row);
  for (const CellsPath path : cells_paths()) {
    EXPECT_EQ(cells(row, path), want) << static_cast<int>(path);
  }
  // The way the program takes, the fastest this machine has.
  std::string best(12 * row.size(), '?');
  format_f12_3_cells(best.data(), row.data(), row.size());
  EXPECT_EQ(best, want);
}

TEST(FormatF12x3Cells, HandsValuesTooWideOrNotNumbersToTheGeneralField) {
  // Each value in turn at each place of a group of sixteen, of one of eight
  // and of the cells left over: one a vector path cannot take sends its
  // whole group to the single cells.
  const float edge[] = {1e7f,
                        -1e7f,
                        99999999.999f,
                        1e10f,
                        FLT_MAX,
                        std::numeric_limits<float>::infinity(),
                        std::numeric_limits<float>::quiet_NaN(),
                        -0.0f,
                        9999999.999f,
                        -9999999.999f,
                        -1.0f};
  const std::vector<float> plain = {
      1.5f,  22.25f, -3.0f, 0.0005f, 4096.125f, 0.0f,   123456.7f,
      7.0f,  8.5f,   -0.5f, 1e6f,    99.999f,   0.001f, -42.0f,
      3e-4f, 5e5f,   6.25f, -1.0f,   12.0f,     0.125f, 777.7f,
      -8.0f, 9.75f,  1.0f,  2.0f};
  for (const CellsPath path : cells_paths()) {
    for (std::size_t at = 0; at < plain.size(); ++at) {
      for (const float v : edge) {
        std::vector<float> row = plain;
        row[at] = v;
        EXPECT_EQ(cells(row, path), cells_one_by_one(row))
            << static_cast<int>(path) << ": " << v << " at " << at;
      }
    }
    EXPECT_EQ(cells({}, path), "");
  }
}

TEST(FormatF12x3Cells, MatchesTheSingleCellOnRandomRows) {
  std::mt19937 gen(20261207);
  std::uniform_int_distribution<std::uint32_t> bits;
  std::uniform_real_distribution<float> flow(-1.0f, 20000.0f);
  std::uniform_int_distribution<std::int32_t> halves(-20000000, 20000000);
  std::uniform_int_distribution<int> pick(0, 3);
  std::uniform_int_distribution<std::size_t> length(0, 40);
  for (int r = 0; r < 4000; ++r) {
    std::vector<float> row(length(gen));
    for (float& v : row) {
      switch (pick(gen)) {
      case 0:
        v = std::bit_cast<float>(bits(gen));
        break;
      case 1:
        v = flow(gen);
        break;
      case 2:
        v = static_cast<float>(halves(gen)) / 2000.0f;
        break;
      default:
        v = -1.0f;
        break;
      }
    }
    const std::string want = cells_one_by_one(row);
    for (const CellsPath path : cells_paths()) {
      ASSERT_EQ(cells(row, path), want)
          << static_cast<int>(path) << ": row " << r;
    }
  }
}

}  // namespace
}  // namespace gaumo
