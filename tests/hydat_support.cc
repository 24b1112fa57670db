#include "hydat_support.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace gaumo_test {
namespace fs = std::filesystem;

fs::path tiny_hydat() { return fs::path(GAUMO_EXAMPLES) / "tinyhydat.sqlite3"; }

fs::path realdata() { return test_data() / "realdata"; }

void make_database(const fs::path& p, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(p.c_str(), &db), SQLITE_OK);
  char* msg = nullptr;
  const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &msg);
  EXPECT_EQ(rc, SQLITE_OK) << (msg != nullptr ? msg : "") << "\n" << sql;
  sqlite3_free(msg);
  sqlite3_close(db);
}

void copy_realdata(const Sandbox& box, bool historical) {
  for (const auto& e : fs::directory_iterator(realdata())) {
    const std::string name = e.path().filename().string();
    if (!e.is_regular_file())
      continue;
    if (!historical && name.find("_Daily_Flow_ts.csv") != std::string::npos)
      continue;
    box.write(name, read_file(e.path()));
  }
}

std::string quote(const std::string& s) {
  std::string q = "'";
  for (char c : s)
    q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

}  // namespace gaumo_test
