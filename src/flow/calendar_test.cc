#include "flow/calendar.h"

#include <gtest/gtest.h>

namespace gaumo {
namespace {

TEST(Calendar, EveryYearDivisibleByFourIsALeapYear) {
  EXPECT_TRUE(is_leap_year(1900));
  EXPECT_TRUE(is_leap_year(2000));
  EXPECT_TRUE(is_leap_year(2100));
  EXPECT_TRUE(is_leap_year(0));
  EXPECT_TRUE(is_leap_year(-4));
  EXPECT_FALSE(is_leap_year(1999));
  EXPECT_FALSE(is_leap_year(-3));
  EXPECT_EQ(days_in_year(1900), 366);
  EXPECT_EQ(days_in_year(2101), 365);
}

TEST(Calendar, DayOfYearFollowsTheFirstDaysOfTheMonths) {
  EXPECT_EQ(day_of_year(1999, 1, 1), 1);
  EXPECT_EQ(day_of_year(1992, 2, 29), 60);
  EXPECT_EQ(day_of_year(1999, 3, 1), 60);
  EXPECT_EQ(day_of_year(2000, 3, 1), 61);
  EXPECT_EQ(day_of_year(1900, 3, 1), 61);
  EXPECT_EQ(day_of_year(1999, 12, 31), 365);
  EXPECT_EQ(day_of_year(2012, 12, 31), 366);
  EXPECT_EQ(day_of_year(1990, 1, 31), 31);
}

TEST(Calendar, DaysAreNotCheckedAgainstTheMonth) {
  EXPECT_EQ(day_of_year(2001, 4, 31), 121);
  EXPECT_EQ(day_of_year(2001, 5, 1), 121);
  EXPECT_EQ(day_of_year(2001, 2, 29), day_of_year(2001, 3, 1));
  EXPECT_EQ(day_of_year(2001, 1, 0), 0);
  EXPECT_EQ(day_of_year(1999, 12, 40), 374);
}

}  // namespace
}  // namespace gaumo
