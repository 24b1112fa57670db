#pragma once
// What the end-to-end tests of the HYDAT database route share: the bundled
// test database, databases made on the spot, and the real data folder.

#include <filesystem>
#include <string>

#include "e2e_support.h"

namespace gaumo_test {

/// examples/tinyhydat.sqlite3: the public test database with five stations.
std::filesystem::path tiny_hydat();

/// Creates (or adds to) the database at `p` by running `sql`; fails the
/// test when SQLite refuses it.
void make_database(const std::filesystem::path& p, const std::string& sql);

/// Copies the files of tests/data/realdata (not expected/) into the box's
/// working folder, without the historical files when `historical` is off.
void copy_realdata(const Sandbox& box, bool historical);

std::filesystem::path realdata();

/// A shell word for a path.
std::string quote(const std::string& s);

}  // namespace gaumo_test
