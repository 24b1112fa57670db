// The HYDAT database reader on odd DLY_FLOWS rows: NULLs, negative or huge
// NO_DAYS, months 0 or 13, text and blobs in numeric columns, NaN and the
// infinities, repeated station-months; written into an in-memory database
// and read into a flow table of four listed stations.
//
// Input: a control byte, then rows until the input ends (at most 64).
//   control bits 0-2   the first year of the run (kStartYears)
//   control bits 3-4   the number of years, 1 to 4
//   control bit 5      the columns have the archive's types (INTEGER,
//                      REAL: SQLite then turns numeric text into numbers)
//                      or none (every value stays as it was bound)
// A row: a station byte (kStations), then YEAR, MONTH and NO_DAYS, a count
// byte (the flows given, 0 to 31; the rest are NULL) and the flows, each a
// cell: a kind byte, then its bytes (see read_cell).
//
// Besides the sanitizers: no stop (an in-memory database cannot fail to be
// read); the station listed twice fills both its columns alike; the listed
// station without rows keeps an empty column; every listed station gets
// exactly one line saying what was read or that nothing was found.

#include <sqlite3.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>

#include "flow/hydat_reader.h"
#include "fuzz_support.h"
#include "run/fatal_stop.h"

namespace {

using gaumo::fuzz::fail;

constexpr std::array<std::int32_t, 8> kStartYears = {1999,  2000,   1900, 1918,
                                                     32765, -32768, 0,    2100};
// Rows may name: the listed station, the one listed twice, a station never
// listed, and a station listed with fewer than seven characters.
constexpr std::array<const char*, 5> kStations = {"AB00001", "CD00002",
                                                  "ZZ99999", "EF3", "EF3 "};
// Listed: AB00001, CD00002 twice, EF3, and GH00004, which has no rows.
constexpr std::array<const char*, 5> kListed = {"AB00001", "CD00002", "CD00002",
                                                "EF3", "GH00004"};
constexpr int kMaxRows = 64;

/// Binds one cell of the input to parameter k.
void bind_cell(gaumo::fuzz::ByteCursor& in, sqlite3_stmt* st, int k) {
  const std::uint8_t kind = in.byte();
  auto take = [&in](std::size_t n) {
    std::uint64_t v = 0;
    for (std::size_t b = 0; b < n; ++b)
      v = (v << 8) | in.byte();
    return v;
  };
  switch (kind % 8) {
  case 0:
    sqlite3_bind_null(st, k);
    break;
  case 1:  // a small number: days, months and years near the run's
    sqlite3_bind_int(st, k, static_cast<std::int8_t>(in.byte()));
    break;
  case 2:
    sqlite3_bind_int(st, k, static_cast<std::int16_t>(take(2)));
    break;
  case 3:
    sqlite3_bind_int64(st, k, static_cast<std::int64_t>(take(8)));
    break;
  case 4: {  // any double, NaN and the infinities included
    const std::uint64_t bits = take(8);
    double d = 0;
    std::memcpy(&d, &bits, sizeof d);
    sqlite3_bind_double(st, k, d);
    break;
  }
  case 5:  // a flow-like value
    sqlite3_bind_double(st, k, static_cast<double>(take(2)) / 8.0 - 100.0);
    break;
  case 6: {
    const std::size_t n = in.byte() % 8;
    std::string t;
    for (std::size_t b = 0; b < n; ++b)
      t += static_cast<char>(in.byte());
    sqlite3_bind_text(st, k, t.data(), static_cast<int>(t.size()),
                      SQLITE_TRANSIENT);
    break;
  }
  default: {
    const std::uint8_t b = in.byte();
    sqlite3_bind_blob(st, k, &b, 1, SQLITE_TRANSIENT);
    break;
  }
  }
}

void exec(sqlite3* db, const std::string& sql) {
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
    fail("the database could not be made");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  gaumo::fuzz::ByteCursor in(data, size);
  const std::uint8_t control = in.byte();
  const std::int32_t start = kStartYears[control & 7];
  const std::int32_t years = 1 + ((control >> 3) & 3);
  const bool typed = (control & 32) != 0;

  sqlite3* raw = nullptr;
  if (sqlite3_open(":memory:", &raw) != SQLITE_OK)
    fail("no in-memory db");
  std::string cols = typed ? "STATION_NUMBER TEXT, YEAR INTEGER, MONTH "
                             "INTEGER, NO_DAYS INTEGER"
                           : "STATION_NUMBER, YEAR, MONTH, NO_DAYS";
  std::string insert = "INSERT INTO DLY_FLOWS VALUES (?1, ?2, ?3, ?4";
  for (int d = 1; d <= 31; ++d) {
    cols += ", FLOW" + std::to_string(d) + (typed ? " REAL" : "");
    insert += ", ?" + std::to_string(d + 4);
  }
  exec(raw, "CREATE TABLE DLY_FLOWS (" + cols + ")");
  sqlite3_stmt* st = nullptr;
  insert += ")";
  if (sqlite3_prepare_v2(raw, insert.c_str(), -1, &st, nullptr) != SQLITE_OK)
    fail("insert not prepared");
  for (int r = 0; r < kMaxRows && !in.rest().empty(); ++r) {
    const char* station = kStations[in.byte() % kStations.size()];
    sqlite3_bind_text(st, 1, station, -1, SQLITE_STATIC);
    for (int k = 2; k <= 4; ++k)
      bind_cell(in, st, k);
    const int given = in.byte() % 32;
    for (int d = 1; d <= 31; ++d) {
      if (d <= given) {
        bind_cell(in, st, d + 4);
      } else {
        sqlite3_bind_null(st, d + 4);
      }
    }
    if (sqlite3_step(st) != SQLITE_DONE)
      fail("row not inserted");
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);

  std::string problem;
  auto db = gaumo::hydat::Database::adopt(
      raw, "fuzz.db", {gaumo::hydat::daily_flow_need()}, problem);
  if (!db)
    fail("the made database was refused");

  gaumo::StationCatalogue cat;
  for (const char* id : kListed)
    cat.idsta.emplace_back(id);
  cat.nsta = static_cast<std::int32_t>(kListed.size());
  const gaumo::RunOptions opts =
      gaumo::make_run_options(start, start + years - 1);
  gaumo::FlowTable table;
  table.create(opts.year_count(), cat.nsta);
  std::ostringstream console;
  gaumo::RunLog log(console);
  gaumo::DailyDoor door(opts, table, log);
  try {
    gaumo::read_database_flows(*db, cat, door);
  } catch (const gaumo::FatalStop&) {
    fail("an in-memory database stopped the run");
  }

  for (std::int64_t n = 1; n <= years; ++n) {
    if (std::memcmp(table.days(2, n), table.days(3, n),
                    gaumo::kDaySlots * sizeof(float)) != 0)
      fail("the station listed twice has two different columns");
    for (std::int32_t t = 0; t < gaumo::kDaySlots; ++t) {
      if (table.days(5, n)[t] != gaumo::kMissing)
        fail("a station without rows got a value");
    }
  }
  const std::string out = console.str();
  for (const char* id : kListed) {
    const std::string read = std::string(" Read station=") + id;
    const std::string none = std::string(" Station ") + id + " ";
    std::size_t lines = 0;
    for (std::size_t p = 0; (p = out.find(read, p)) != std::string::npos; ++p)
      ++lines;
    for (std::size_t p = 0; (p = out.find(none, p)) != std::string::npos; ++p)
      ++lines;
    const std::size_t want = std::strcmp(id, "CD00002") == 0 ? 2 : 1;
    if (lines != want)
      fail("a listed station has not its one line");
  }
  return 0;
}
