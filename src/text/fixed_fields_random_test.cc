// Run by hand in a Release build, not in CI (about a minute per 10^8):
//   build/tests/gaumo_tests --gtest_also_run_disabled_tests
//     --gtest_filter='*F12_3MatchesTheGeneralFieldOnRandomFloats'
// GAUMO_RANDOM_FLOATS sets how many floats are tried (default 10^8).

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "text/fixed_fields.h"

namespace gaumo {
namespace {

TEST(FixedFieldsByHand, DISABLED_F12_3MatchesTheGeneralFieldOnRandomFloats) {
  std::uint64_t count = 100000000;
  if (const char* n = std::getenv("GAUMO_RANDOM_FLOATS")) {
    count = std::strtoull(n, nullptr, 10);
  }
  std::mt19937_64 rng(12345);
  std::string fast, general;
  std::uint64_t mismatches = 0;
  std::vector<float> row;
  std::string row_fast, row_cells;
  std::uint64_t row_mismatches = 0;
  for (std::uint64_t k = 0; k < count; ++k) {
    // Half random bit patterns (every exponent), half values of the range
    // daily flows take, where the fast path does its work.
    float v;
    if (k % 2 == 0) {
      v = std::bit_cast<float>(static_cast<std::uint32_t>(rng()));
      if (!std::isfinite(v))
        continue;
    } else {
      const auto r = static_cast<std::uint32_t>(rng());
      v = static_cast<float>(static_cast<std::int32_t>(r)) / 1024.0f /
          static_cast<float>(1u << (r % 20));
    }
    fast.clear();
    general.clear();
    put_f12_3(fast, v);
    put_fixed(general, v, 12, 3);
    if (fast != general && ++mismatches < 10) {
      ADD_FAILURE() << std::bit_cast<std::uint32_t>(v) << ": " << fast << " vs "
                    << general;
    }
    // The same values through each way of the row formatter, a row at a
    // time.
    row.push_back(v);
    row_fast += fast;
    if (row.size() == 1000) {
      row_cells.resize(12 * row.size());
      for (const CellsPath path :
           {CellsPath::kOneByOne, CellsPath::kAvx2, CellsPath::kAvx512}) {
        if (!has_cells_path(path))
          continue;
        format_f12_3_cells_by(path, row_cells.data(), row.data(), row.size());
        if (row_cells != row_fast && ++row_mismatches < 10) {
          ADD_FAILURE() << "path " << static_cast<int>(path)
                        << ", row ending at " << k;
        }
      }
      row.clear();
      row_fast.clear();
    }
  }
  EXPECT_EQ(mismatches, 0u);
  EXPECT_EQ(row_mismatches, 0u);
}

}  // namespace
}  // namespace gaumo
