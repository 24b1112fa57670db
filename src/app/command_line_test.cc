#include "app/command_line.h"

#include <gtest/gtest.h>

#include <vector>

namespace gaumo {
namespace {

CommandLine parse(std::vector<std::string_view> args) {
  return parse_command_line(args);
}

TEST(CommandLineParse, TakesValuesAfterTheNameOrAnEqualsSign) {
  const CommandLine c =
      parse({"--natural-flows=y", "--first-year", "1918", "--last-year=-5",
             "--chart", "a b.svg", "--single-file=x=y.tb0", "--summary", "s"});
  ASSERT_EQ(c.action, CommandLine::Action::kRun) << c.error;
  EXPECT_EQ(c.request.answers.natural_flows, "y");
  EXPECT_EQ(c.request.answers.first_year, 1918);
  EXPECT_EQ(c.request.answers.last_year, -5);
  EXPECT_EQ(c.request.chart_path, "a b.svg");
  EXPECT_EQ(c.request.single_file_path, "x=y.tb0");
  EXPECT_EQ(c.request.summary_path, "s");
  const CommandLine none = parse({});
  EXPECT_EQ(none.action, CommandLine::Action::kRun);
  EXPECT_FALSE(none.request.answers.first_year);
  EXPECT_TRUE(none.request.chart_path.empty());
}

TEST(CommandLineParse, YearsAreReadAsTypedAnswersAre) {
  // Blanks around the number and a value after it, as on a typed line.
  EXPECT_EQ(parse({"--first-year= 2001 "}).request.answers.first_year, 2001);
  EXPECT_EQ(parse({"--first-year=2001 7"}).request.answers.first_year, 2001);
  for (const char* bad :
       {"--first-year=abc", "--first-year=", "--last-year=1e3x",
        "--first-year=2147483648", "--last-year=1\n2"}) {
    SCOPED_TRACE(bad);
    const CommandLine c = parse({bad});
    EXPECT_EQ(c.action, CommandLine::Action::kUsageError);
    EXPECT_EQ(c.error.find('\n'), std::string::npos);
    EXPECT_EQ(c.error.rfind("gaumo: ", 0), 0u);
  }
  EXPECT_NE(parse({"--first-year=2147483648"}).error.find("of 32 bits"),
            std::string::npos);
}

TEST(CommandLineParse, RefusesWhatItCannotUse) {
  for (std::vector<std::string_view> args :
       std::vector<std::vector<std::string_view>>{
           {"--chart"},
           {"--chart="},
           {"--natural-flows", " "},
           {"--summary", "a", "--summary", "b"},
           {"-x"},
           {"--"},
           {"="},
           {"--help", "--version"},
           {"--chart", "c", "--version"},
           {"1918"},
           {"--first-year", "1918", "extra"}}) {
    EXPECT_EQ(parse(args).action, CommandLine::Action::kUsageError)
        << args.front();
  }
  EXPECT_EQ(parse({"--help"}).action, CommandLine::Action::kHelp);
  EXPECT_EQ(parse({"--version"}).action, CommandLine::Action::kVersion);
}

}  // namespace
}  // namespace gaumo
