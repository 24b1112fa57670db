// A gaumo built without SQLite: the database route is not there, and says so.

#include <gtest/gtest.h>

#include "e2e_support.h"

namespace gaumo_test {
namespace {

TEST(WithoutSqlite, HydatAndStationsAnswerThatTheyAreNotAvailable) {
  for (const char* args :
       {"--hydat db.sqlite3", "stations --hydat db.sqlite3 05"}) {
    SCOPED_TRACE(args);
    Sandbox box;
    const RunResult r = box.run("n\n1918\n1920\n", args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("built without SQLite"), std::string::npos) << r.err;
    EXPECT_FALSE(box.exists("Gaumo_info.txt"));
  }
}

}  // namespace
}  // namespace gaumo_test
