// The run with its historical daily flows from a HYDAT database: the same
// outputs as the exported station files give, the check of the database
// before anything is written, a damaged page found in the middle of the
// read, and a read-only database read by an unprivileged user.

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "hydat_support.h"

namespace gaumo_test {
namespace {

namespace fs = std::filesystem;

const char* const kListings[] = {"nudge_flags.new", "grapher_titles.csv",
                                 "discharge_sites.xyz", "flow_recl.txt",
                                 "flow_flag.txt"};

std::string yearly_name(int year) {
  return std::to_string(year) + "0101_str.tb0";
}

/// Every name in a folder.
std::set<std::string> listing(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(dir))
    names.insert(e.path().filename().string());
  return names;
}

std::string replace_all(std::string s, const std::string& from,
                        const std::string& to) {
  for (std::size_t p = s.find(from); p != std::string::npos;
       p = s.find(from, p + to.size()))
    s.replace(p, from.size(), to);
  return s;
}

/// The lines the database route gives where the station files give theirs.
std::string database_lines(const std::string& path) {
  return " Reading DLY_FLOWS of HYDAT database '" + path + "'\n" +
         " Read station=05AA008 daily values=         821 from " + path + "\n" +
         " Read station=05HD008 daily values=          57 from " + path + "\n" +
         " Read station=08MF005 daily values=        1096 from " + path + "\n";
}

std::string file_lines() {
  return " Opened unit=         101 filename=05AA008_Daily_Flow_ts.csv     \n"
         " Opened unit=         102 filename=05HD008_Daily_Flow_ts.csv     \n"
         " Opened unit=         103 filename=08MF005_Daily_Flow_ts.csv     \n";
}

TEST(HydatRoute, RealDataGivesTheStoredResultsWithoutTheStationFiles) {
  Sandbox box;
  copy_realdata(box, false);
  box.write("tinyhydat.sqlite3", read_file(tiny_hydat()));
  const RunResult r =
      box.run(box.read("answers.txt"), "--hydat tinyhydat.sqlite3");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  const fs::path expected = realdata() / "expected";
  const std::string db = "tinyhydat.sqlite3";
  std::string want_out = replace_all(read_file(expected / "stdout.txt"),
                                     file_lines(), database_lines(db));
  for (const char* id : {"08NE102", "08NM083"}) {
    want_out = replace_all(
        want_out,
        std::string(" ") + id + "_Daily_Flow_ts.csv" + std::string(36, ' ') +
            "not found\n",
        std::string(" Station ") + id + " not found in " + db + "\n");
  }
  EXPECT_EQ(mask_banner(r.out), mask_banner(want_out));
  EXPECT_EQ(box.read("Gaumo_info.txt"),
            replace_all(read_file(expected / "Gaumo_info.txt"), file_lines(),
                        database_lines(db)));
  for (const char* f : kListings) {
    SCOPED_TRACE(f);
    EXPECT_EQ(box.read(f), read_file(expected / f));
  }
  for (int year = 1918; year <= 1920; ++year) {
    SCOPED_TRACE(year);
    const std::string got = box.read_parent(yearly_name(year));
    EXPECT_NE(mask_creation_date(got), got);
    EXPECT_EQ(mask_creation_date(got),
              mask_creation_date(read_file(expected / yearly_name(year))));
  }
}

TEST(HydatRoute, GivesTheStationFilesOutputsForEveryYearOf1910To2020) {
  Sandbox files, database;
  copy_realdata(files, true);
  copy_realdata(database, false);
  const std::string answers = "n\n1910\n2020\n";
  ASSERT_EQ(files.run(answers).status, 0);
  const RunResult r =
      database.run(answers, "--hydat " + quote(tiny_hydat().string()));
  ASSERT_EQ(r.status, 0) << r.out;
  for (const char* f : kListings) {
    SCOPED_TRACE(f);
    EXPECT_EQ(database.read(f), files.read(f));
  }
  int compared = 0;
  for (int year = 1910; year <= 2020; ++year) {
    SCOPED_TRACE(year);
    const std::string want = files.read_parent(yearly_name(year));
    ASSERT_NE(want, "<missing>");
    EXPECT_EQ(mask_creation_date(database.read_parent(yearly_name(year))),
              mask_creation_date(want));
    ++compared;
  }
  EXPECT_EQ(compared, 111);
}

struct BadDatabase {
  const char* name;
  std::string setup;  ///< SQL for a database made on the spot; "" for none
  const char* problem;
};

TEST(HydatChecks, ABadDatabaseStopsTheRunBeforeAnyFileIsWritten) {
  std::string all_flows;
  for (int d = 1; d <= 31; ++d)
    all_flows += ", FLOW" + std::to_string(d);
  const BadDatabase cases[] = {
      {"missing.sqlite3", "", "no such file"},
      {"folder", "", "is a folder, not a database file"},
      {"empty.sqlite3", "", "is an empty file, not a HYDAT database"},
      {"text.sqlite3", "", "is not a SQLite database"},
      {"stations_only.sqlite3", "CREATE TABLE STATIONS (STATION_NUMBER TEXT);",
       "has no DLY_FLOWS table"},
      {"no_days.sqlite3",
       "CREATE TABLE DLY_FLOWS (STATION_NUMBER, YEAR, MONTH" + all_flows + ");",
       "has no column NO_DAYS in its DLY_FLOWS table"},
  };
  for (const BadDatabase& c : cases) {
    SCOPED_TRACE(c.name);
    Sandbox box;
    copy_realdata(box, false);
    // An information file and a listing from an earlier run must survive.
    box.write("Gaumo_info.txt", "earlier run\n");
    box.write("nudge_flags.new", "earlier nudge\n");
    const fs::path db = box.parent() / c.name;
    const std::string name = c.name;
    if (name == "folder")
      fs::create_directory(db);
    if (name == "empty.sqlite3")
      box.write_parent(name, "");
    if (name == "text.sqlite3")
      box.write_parent(name, std::string(4096, 'x') + "\n");
    if (!c.setup.empty())
      make_database(db, c.setup);
    const auto before = listing(box.work());
    const std::string arg = "../" + name;
    const RunResult r = box.run("n\n1918\n1920\n", "--hydat " + arg);
    EXPECT_EQ(r.status, 1);
    const auto lines = split_lines(r.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(),
              " Error: HYDAT database '" + arg + "': " + c.problem);
    EXPECT_EQ(r.out.find("flow_stations.tb0"), std::string::npos);
    EXPECT_EQ(listing(box.work()), before);
    EXPECT_EQ(box.read("Gaumo_info.txt"), "earlier run\n");
    EXPECT_EQ(box.read("nudge_flags.new"), "earlier nudge\n");
    EXPECT_FALSE(box.exists_parent(yearly_name(1918)));
  }
}

/// The byte offset of one leaf page of DLY_FLOWS, found with SQLite's
/// dbstat table; -1 when this SQLite has none.
long dly_flows_leaf_offset(const fs::path& p) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(p.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) !=
      SQLITE_OK)
    return -1;
  sqlite3_stmt* st = nullptr;
  long offset = -1;
  if (sqlite3_prepare_v2(
          db,
          "SELECT pageno, (SELECT page_size FROM pragma_page_size) FROM dbstat "
          "WHERE name = 'DLY_FLOWS' AND pagetype = 'leaf' ORDER BY pageno",
          -1, &st, nullptr) == SQLITE_OK) {
    std::vector<std::pair<long, long>> pages;
    while (sqlite3_step(st) == SQLITE_ROW)
      pages.emplace_back(sqlite3_column_int64(st, 0),
                         sqlite3_column_int64(st, 1));
    if (!pages.empty()) {
      const auto [page, size] = pages[pages.size() / 2];
      offset = (page - 1) * size;
    }
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  return offset;
}

TEST(HydatChecks, ADamagedPageStopsTheRunInTheFlowStage) {
  Sandbox box;
  copy_realdata(box, false);
  const fs::path db = box.parent() / "damaged.sqlite3";
  fs::copy_file(tiny_hydat(), db);
  fs::permissions(db, fs::perms::owner_write, fs::perm_options::add);
  const long offset = dly_flows_leaf_offset(db);
  if (offset < 0)
    GTEST_SKIP() << "this SQLite has no dbstat table";
  {
    // The b-tree page header: the page type and the cell count and offsets.
    std::fstream f(db, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(offset);
    const std::string junk(12, '\xff');
    f.write(junk.data(), static_cast<std::streamsize>(junk.size()));
    ASSERT_TRUE(f.good());
  }
  const RunResult r = box.run("n\n1918\n1920\n", "--hydat ../damaged.sqlite3");
  EXPECT_EQ(r.status, 1);
  const auto lines = split_lines(r.out);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2],
            " Error reading HYDAT database '../damaged.sqlite3': database disk "
            "image is "
            "malformed");
  EXPECT_EQ(lines.back(), "Gaumo aborted reading the HYDAT database");
  // The listings written before the flow stage stay; nothing after it is made.
  for (const char* f :
       {"nudge_flags.new", "grapher_titles.csv", "discharge_sites.xyz"})
    EXPECT_TRUE(box.exists(f)) << f;
  for (const char* f : {"flow_recl.txt", "flow_flag.txt"})
    EXPECT_FALSE(box.exists(f)) << f;
  EXPECT_FALSE(box.exists_parent(yearly_name(1918)));
  EXPECT_NE(box.read("Gaumo_info.txt").find("Error reading HYDAT database"),
            std::string::npos);
}

TEST(HydatChecks, AnUnprivilegedUserReadsAReadOnlyDatabaseInAReadOnlyFolder) {
  if (::geteuid() != 0 || !fs::exists("/usr/bin/setpriv"))
    GTEST_SKIP() << "needs root and setpriv to run as another user";
  Sandbox box;
  copy_realdata(box, false);
  const fs::path dir = box.parent() / "archive";
  fs::create_directory(dir);
  fs::copy_file(tiny_hydat(), dir / "hydat.sqlite3");
  fs::permissions(dir / "hydat.sqlite3", fs::perms::owner_read |
                                             fs::perms::group_read |
                                             fs::perms::others_read);
  fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec |
                           fs::perms::group_read | fs::perms::group_exec |
                           fs::perms::others_read | fs::perms::others_exec);
  // The user writes the outputs into the working folder and its parent.
  fs::permissions(box.parent(), fs::perms::all);
  fs::permissions(box.work(), fs::perms::all);
  const std::string bytes = read_file(dir / "hydat.sqlite3");
  const auto names = listing(dir);

  const std::string cmd =
      "cd " + quote(box.work().string()) +
      " && setpriv --reuid=65534 --regid=65534 --clear-groups " +
      quote(GAUMO_BINARY) +
      " --hydat ../archive/hydat.sqlite3 < answers.txt > ../out.txt 2>&1";
  const int rc = std::system(cmd.c_str());
  EXPECT_TRUE(WIFEXITED(rc) && WEXITSTATUS(rc) == 0)
      << box.read_parent("out.txt");
  EXPECT_EQ(read_file(dir / "hydat.sqlite3"), bytes);
  EXPECT_EQ(listing(dir), names);
  for (const char* f : kListings) {
    SCOPED_TRACE(f);
    EXPECT_EQ(box.read(f), read_file(realdata() / "expected" / f));
  }
  EXPECT_TRUE(box.exists_parent(yearly_name(1920)));
  fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add);
}

TEST(HydatCommandLine, RefusesAHydatOptionWithoutAFile) {
  for (const char* args :
       {"--hydat", "--hydat=", "--hydat a --hydat b", "--hydat a extra"}) {
    SCOPED_TRACE(args);
    Sandbox box;
    const RunResult r = box.run("n\n1918\n1920\n", args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(split_lines(r.err).size(), 1u) << r.err;
    EXPECT_FALSE(box.exists("Gaumo_info.txt"));
  }
}

}  // namespace
}  // namespace gaumo_test
