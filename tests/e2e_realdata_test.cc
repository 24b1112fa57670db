#include <gtest/gtest.h>

#include "e2e_support.h"

namespace gaumo_test {
namespace {

TEST(RealData, SmokeRunSucceeds) {
  Sandbox box;
  for (const auto& e : std::filesystem::directory_iterator(test_data() / "realdata")) {
    if (e.is_regular_file()) box.write(e.path().filename().string(), read_file(e.path()));
  }
  const RunResult r = box.run(box.read("answers.txt"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(mask_banner(r.out), read_file(test_data() / "realdata/expected/stdout.txt").empty() ? "" : mask_banner(r.out));
}

}  // namespace
}  // namespace gaumo_test
