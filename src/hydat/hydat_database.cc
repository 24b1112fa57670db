#include "hydat/hydat_database.h"

#include <sqlite3.h>

#include <cmath>
#include <filesystem>
#include <system_error>
#include <vector>

namespace gaumo::hydat {
namespace {

bool same_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t k = 0; k < a.size(); ++k) {
    auto lower = [](char c) {
      return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    if (lower(a[k]) != lower(b[k]))
      return false;
  }
  return true;
}

/// What a failure while reading the schema says about the file.
std::string schema_problem(sqlite3* db, int rc) {
  switch (rc & 0xff) {
  case SQLITE_NOTADB:
    return "is not a SQLite database";
  case SQLITE_CORRUPT:
    return std::string("is damaged (") + sqlite3_errmsg(db) + ")";
  default:
    return std::string("cannot be read (") + sqlite3_errmsg(db) + ")";
  }
}

/// The problem with one table, or an empty text. Throws DatabaseError with
/// the file's problem when SQLite cannot read the schema.
std::string table_problem(Database& db, const TableNeed& need) {
  sqlite3_stmt* stmt = nullptr;
  int rc =
      sqlite3_prepare_v2(db.handle(), "SELECT name FROM pragma_table_info(?1)",
                         -1, &stmt, nullptr);
  if (rc == SQLITE_OK) {
    rc = sqlite3_bind_text(stmt, 1, need.table.data(),
                           static_cast<int>(need.table.size()),
                           SQLITE_TRANSIENT);
  }
  std::vector<std::string> have;
  while (rc == SQLITE_OK || rc == SQLITE_ROW) {
    rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW)
      have.emplace_back(read_text(stmt, 0));
  }
  if (rc != SQLITE_DONE) {
    std::string problem = schema_problem(db.handle(), rc);
    sqlite3_finalize(stmt);
    throw DatabaseError{std::move(problem)};
  }
  sqlite3_finalize(stmt);
  if (have.empty())
    return "has no " + std::string(need.table) + " table";
  std::string missing;
  int count = 0;
  for (std::string_view col : need.columns) {
    bool found = false;
    for (const std::string& h : have)
      found = found || same_name(h, col);
    if (found)
      continue;
    if (++count <= 3) {
      missing += count > 1 ? ", " : "";
      missing += col;
    }
  }
  if (count == 0)
    return {};
  if (count > 3)
    missing += " and " + std::to_string(count - 3) + " more";
  return "has no column " + missing + " in its " + std::string(need.table) +
         " table";
}

}  // namespace

TableNeed daily_flow_need() {
  static constexpr std::string_view kColumns[] = {
      "STATION_NUMBER", "YEAR",   "MONTH",  "NO_DAYS", "FLOW1",  "FLOW2",
      "FLOW3",          "FLOW4",  "FLOW5",  "FLOW6",   "FLOW7",  "FLOW8",
      "FLOW9",          "FLOW10", "FLOW11", "FLOW12",  "FLOW13", "FLOW14",
      "FLOW15",         "FLOW16", "FLOW17", "FLOW18",  "FLOW19", "FLOW20",
      "FLOW21",         "FLOW22", "FLOW23", "FLOW24",  "FLOW25", "FLOW26",
      "FLOW27",         "FLOW28", "FLOW29", "FLOW30",  "FLOW31"};
  return {"DLY_FLOWS", kColumns};
}

std::string database_label(std::string_view path) {
  return "HYDAT database '" + std::string(path) + "'";
}

std::unique_ptr<Database> Database::open(const std::string& path,
                                         std::initializer_list<TableNeed> needs,
                                         std::string& problem) {
  const std::string label = database_label(path);
  std::error_code ec;
  const auto st = std::filesystem::status(path, ec);
  if (st.type() == std::filesystem::file_type::not_found) {
    problem = label + ": no such file";
    return nullptr;
  }
  if (st.type() == std::filesystem::file_type::directory) {
    problem = label + ": is a folder, not a database file";
    return nullptr;
  }
  // SQLite takes an empty file for an empty database.
  if (st.type() == std::filesystem::file_type::regular &&
      std::filesystem::file_size(path, ec) == 0 && !ec) {
    problem = label + ": is an empty file, not a HYDAT database";
    return nullptr;
  }
  // A SQLite built to take URIs everywhere would read "file:..." as one,
  // with options of its own; a path never is.
  const std::string name =
      path.rfind("file:", 0) == 0 ? "./" + path : std::string(path);
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(
      name.c_str(), &raw, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    problem = label + ": cannot be opened (" +
              (raw != nullptr ? sqlite3_errmsg(raw) : sqlite3_errstr(rc)) + ")";
    sqlite3_close(raw);
    return nullptr;
  }
  return adopt(raw, path, needs, problem);
}

std::unique_ptr<Database> Database::adopt(
    sqlite3* raw, std::string path, std::initializer_list<TableNeed> needs,
    std::string& problem) {
  std::unique_ptr<Database> db(new Database(std::move(path), raw));
  sqlite3_extended_result_codes(raw, 1);
  // Another program writing the file holds its lock only briefly.
  sqlite3_busy_timeout(raw, 2000);
  const std::string label = database_label(db->path());
  try {
    for (const TableNeed& need : needs) {
      const std::string p = table_problem(*db, need);
      if (!p.empty()) {
        problem = label + ": " + p;
        return nullptr;
      }
    }
  } catch (const DatabaseError& e) {
    problem = label + ": " + e.message;
    return nullptr;
  }
  // The station list of the daily-flow query and any sort SQLite wants live
  // in temporary storage: kept in memory, they never make a file.
  sqlite3_exec(raw, "PRAGMA temp_store=MEMORY", nullptr, nullptr, nullptr);
  return db;
}

Database::~Database() { sqlite3_close(db_); }

Statement::Statement(Database& db, std::string_view sql) : db_(db.handle()) {
  const int rc = sqlite3_prepare_v2(
      db_, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_finalize(stmt_);
    throw DatabaseError{sqlite3_errmsg(db_)};
  }
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

void Statement::bind_text(int index, std::string_view text) {
  if (sqlite3_bind_text(stmt_, index, text.data(),
                        static_cast<int>(text.size()),
                        SQLITE_TRANSIENT) != SQLITE_OK) {
    throw DatabaseError{sqlite3_errmsg(db_)};
  }
}

void Statement::bind_int(int index, std::int64_t value) {
  if (sqlite3_bind_int64(stmt_, index, value) != SQLITE_OK)
    throw DatabaseError{sqlite3_errmsg(db_)};
}

bool Statement::step() {
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW)
    return true;
  if (rc == SQLITE_DONE)
    return false;
  throw DatabaseError{sqlite3_errmsg(db_)};
}

Cell read_cell(sqlite3_stmt* stmt, int col) {
  // One column fetch, then the value's own accessors: a third fewer calls
  // into SQLite per cell than sqlite3_column_type and _double, which is
  // most of the difference on a scan of millions of cells.
  sqlite3_value* v = sqlite3_column_value(stmt, col);
  Cell c;
  switch (sqlite3_value_type(v)) {
  case SQLITE_INTEGER:
    c.kind = CellKind::kInteger;
    c.integer = sqlite3_value_int64(v);
    break;
  case SQLITE_FLOAT:
    c.kind = CellKind::kReal;
    c.real = sqlite3_value_double(v);
    break;
  case SQLITE_TEXT:
    c.kind = CellKind::kText;
    break;
  case SQLITE_BLOB:
    c.kind = CellKind::kBlob;
    break;
  default:
    break;
  }
  return c;
}

std::string_view read_text(sqlite3_stmt* stmt, int col) {
  const unsigned char* p = sqlite3_column_text(stmt, col);
  const int n = sqlite3_column_bytes(stmt, col);
  if (p == nullptr || n <= 0)
    return {};
  return {reinterpret_cast<const char*>(p), static_cast<std::size_t>(n)};
}

bool cell_integer(const Cell& c, std::int64_t& out) {
  if (c.kind == CellKind::kInteger) {
    out = c.integer;
    return true;
  }
  // 2^63 itself is out of range: the bound is exact as a double.
  constexpr double kLimit = 9223372036854775808.0;
  if (c.kind == CellKind::kReal && std::isfinite(c.real) &&
      std::trunc(c.real) == c.real && c.real >= -kLimit && c.real < kLimit) {
    out = static_cast<std::int64_t>(c.real);
    return true;
  }
  return false;
}

}  // namespace gaumo::hydat
