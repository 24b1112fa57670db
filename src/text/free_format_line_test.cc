#include "text/free_format_line.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "text/fixed_text.h"

namespace gaumo {
namespace {

TEST(FreeLine, StartsWithABlankAndRightAlignsIntegersInTwelveColumns) {
  EXPECT_EQ(free_line({"ng =", 5}), " ng =           5\n");
  EXPECT_EQ(free_line({1, -2}), "            1          -2\n");
  EXPECT_EQ(free_line({std::numeric_limits<std::int32_t>::min(), "x"}),
            "  -2147483648x\n");
  EXPECT_EQ(free_line({"Opened unit=", 101, " filename=", "abc.csv"}),
            " Opened unit=         101 filename=abc.csv\n");
}

TEST(FreeLine, WritesTextsAtFullLengthWithTheirTrailingBlanks) {
  const FixedText<10> name("abc");
  const std::string tail = "  end  ";
  EXPECT_EQ(free_line({name.view(), tail, "|"}), " abc         end  |\n");
}

TEST(FreeLine, WithoutItemsIsEmptyAndWithOneEmptyTextIsABlank) {
  EXPECT_EQ(free_line({}), "\n");
  EXPECT_EQ(free_line({""}), " \n");
}

}  // namespace
}  // namespace gaumo
