#pragma once
// A HYDAT database, the national hydrometric archive as one SQLite file,
// opened read-only: the archive is large and shared, and its users keep it
// in places they cannot or must not write to, so the connection never
// writes, never takes a write lock and never leaves a journal beside it.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace gaumo::hydat {

/// An error SQLite reported while reading (a damaged page, an I/O error):
/// `message` is SQLite's own text.
struct DatabaseError {
  std::string message;
};

/// A table a caller reads and the columns it needs of it.
struct TableNeed {
  std::string_view table;
  std::span<const std::string_view> columns;
};

/// The columns of DLY_FLOWS the daily-flow scan reads.
TableNeed daily_flow_need();

class Database {
 public:
  /// Opens `path` read-only and checks that it is a SQLite database holding
  /// every table and column of `needs`. On failure returns null and sets
  /// `problem` to one line naming the file and what is wrong with it.
  static std::unique_ptr<Database> open(const std::string& path,
                                        std::initializer_list<TableNeed> needs,
                                        std::string& problem);
  /// Takes over a connection made elsewhere (an in-memory database of a
  /// test or the fuzzer) and checks it as open() does.
  static std::unique_ptr<Database> adopt(sqlite3* db, std::string path,
                                         std::initializer_list<TableNeed> needs,
                                         std::string& problem);
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  /// The path as the user gave it.
  const std::string& path() const { return path_; }
  sqlite3* handle() { return db_; }

 private:
  Database(std::string path, sqlite3* db) : path_(std::move(path)), db_(db) {}
  std::string path_;
  sqlite3* db_;
};

/// "HYDAT database 'FILE'": how every message names the file.
std::string database_label(std::string_view path);

/// A prepared statement. Every step's result code is checked: an error is
/// never taken for the end of the rows.
class Statement {
 public:
  /// Prepares `sql`; throws DatabaseError when SQLite refuses it.
  Statement(Database& db, std::string_view sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  /// Binds text to parameter `index` (1-based); SQLite keeps a copy.
  void bind_text(int index, std::string_view text);
  void bind_int(int index, std::int64_t value);
  /// Moves to the next row: true with a row, false at the end; throws
  /// DatabaseError on any other result.
  bool step();
  sqlite3_stmt* handle() { return stmt_; }

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

/// What a column of the current row holds.
enum class CellKind : std::uint8_t { kNull, kInteger, kReal, kText, kBlob };

struct Cell {
  CellKind kind = CellKind::kNull;
  std::int64_t integer = 0;  ///< for kInteger
  double real = 0.0;         ///< for kReal
};

/// Column `col` (0-based) of the statement's current row.
Cell read_cell(sqlite3_stmt* stmt, int col);

/// The text of column `col`; empty for NULL. Valid until the next step.
std::string_view read_text(sqlite3_stmt* stmt, int col);

/// The cell as a whole number: an integer, or a real without a fraction
/// within the 64-bit range. False for anything else.
bool cell_integer(const Cell& c, std::int64_t& out);

}  // namespace gaumo::hydat
