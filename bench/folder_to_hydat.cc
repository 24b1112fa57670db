// Writes the historical daily flows of a generated working folder as a
// database shaped like the national archive (HYDAT): DLY_FLOWS with one row
// per station and month and the archive's columns (monthly statistics,
// FLOW1..FLOW31 each followed by its FLOW_SYMBOL), no index, and STATIONS
// from flow_stations.tb0. The values are those of the station files: each
// is read as the run reads it, a 32-bit float, and stored as the double of
// that float, as the archive stores 0.793 as 0.792999982833862; an empty
// value is NULL.
//
// usage: folder_to_hydat DIR DATABASE
// DATABASE must not exist. One summary line goes to stdout:
// "stations=N rows=R values=V".
//
// Build: c++ -std=c++20 -O2 folder_to_hydat.cc -lsqlite3

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

[[noreturn]] void die(const std::string& what) {
  std::fprintf(stderr, "folder_to_hydat: %s\n", what.c_str());
  std::exit(1);
}

void check(sqlite3* db, int rc, const char* what) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
    die(std::string(what) + ": " + sqlite3_errmsg(db));
}

struct Station {
  std::string id, prov, name, hyd, sed;
  double lat = 0, lon = 0, area = 0;
};

/// The rows of a station list after ":EndHeader": id prov "name" hyd sed
/// lat lon area, the name in double quotes.
std::vector<Station> read_stations(const std::string& path) {
  std::ifstream in(path);
  if (!in)
    die("cannot read " + path);
  std::string line;
  while (std::getline(in, line) && line.rfind(":EndHeader", 0) != 0) {
  }
  std::vector<Station> out;
  while (std::getline(in, line)) {
    const auto q1 = line.find('"');
    const auto q2 = line.find('"', q1 + 1);
    if (q1 == std::string::npos || q2 == std::string::npos)
      continue;
    Station s;
    char id[64] = {}, prov[64] = {};
    if (std::sscanf(line.c_str(), "%63s %63s", id, prov) != 2)
      continue;
    s.id = id;
    s.prov = prov;
    s.name = line.substr(q1 + 1, q2 - q1 - 1);
    char hyd[16] = {}, sed[16] = {};
    if (std::sscanf(line.c_str() + q2 + 1, "%15s %15s %lf %lf %lf", hyd, sed,
                    &s.lat, &s.lon, &s.area) != 5)
      die("unreadable station row: " + line);
    s.hyd = hyd;
    s.sed = std::string(sed) == "-" ? "" : sed;
    out.push_back(s);
  }
  return out;
}

bool leap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }
int month_days(int y, int m) {
  static const int d[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return d[m - 1] + (m == 2 && leap(y) ? 1 : 0);
}

struct Month {
  bool has[31] = {};
  float flow[31] = {};
  std::string symbol[31];
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3)
    die("usage: folder_to_hydat DIR DATABASE");
  const std::string dir = argv[1];
  sqlite3* db = nullptr;
  check(db,
        sqlite3_open_v2(argv[2], &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
        "open");
  std::string cols =
      "STATION_NUMBER TEXT, YEAR INTEGER, MONTH INTEGER, FULL_MONTH INTEGER, "
      "NO_DAYS INTEGER, MONTHLY_MEAN REAL, MONTHLY_TOTAL REAL, "
      "FIRST_DAY_MIN INTEGER, MIN REAL, FIRST_DAY_MAX INTEGER, MAX REAL";
  std::string params = "?";
  for (int d = 1; d <= 31; ++d) {
    cols += ", FLOW" + std::to_string(d) + " REAL, FLOW_SYMBOL" +
            std::to_string(d) + " TEXT";
  }
  for (int k = 2; k <= 11 + 62; ++k)
    params += ", ?";
  check(db,
        sqlite3_exec(db,
                     ("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;"
                      "CREATE TABLE DLY_FLOWS (" +
                      cols +
                      ");"
                      "CREATE TABLE STATIONS (STATION_NUMBER TEXT, "
                      "STATION_NAME TEXT, PROV_TERR_STATE_LOC TEXT, "
                      "REGIONAL_OFFICE_ID TEXT, HYD_STATUS TEXT, SED_STATUS "
                      "TEXT, LATITUDE REAL, LONGITUDE REAL, "
                      "DRAINAGE_AREA_GROSS REAL, DRAINAGE_AREA_EFFECT REAL, "
                      "RHBN INTEGER, REAL_TIME INTEGER); BEGIN;")
                         .c_str(),
                     nullptr, nullptr, nullptr),
        "schema");
  sqlite3_stmt* ins = nullptr;
  check(db,
        sqlite3_prepare_v2(
            db, ("INSERT INTO DLY_FLOWS VALUES (" + params + ")").c_str(), -1,
            &ins, nullptr),
        "prepare");
  sqlite3_stmt* sta = nullptr;
  check(db,
        sqlite3_prepare_v2(db,
                           "INSERT INTO STATIONS VALUES (?1, ?2, ?3, '1', ?4, "
                           "?5, ?6, ?7, ?8, NULL, 0, 0)",
                           -1, &sta, nullptr),
        "prepare");
  const std::vector<Station> stations =
      read_stations(dir + "/flow_stations.tb0");
  long rows = 0, values = 0;
  for (const Station& s : stations) {
    sqlite3_bind_text(sta, 1, s.id.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(sta, 2, s.name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(sta, 3, s.prov.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(sta, 4, s.hyd.c_str(), -1, SQLITE_TRANSIENT);
    if (s.sed.empty()) {
      sqlite3_bind_null(sta, 5);
    } else {
      sqlite3_bind_text(sta, 5, s.sed.c_str(), -1, SQLITE_TRANSIENT);
    }
    sqlite3_bind_double(sta, 6, s.lat);
    sqlite3_bind_double(sta, 7, s.lon);
    sqlite3_bind_double(sta, 8, s.area);
    check(db, sqlite3_step(sta), "station");
    sqlite3_reset(sta);

    // "ID,1,YYYY/MM/DD,value,SYM" after a header line, in date order.
    std::ifstream in(dir + "/" + s.id + "_Daily_Flow_ts.csv");
    if (!in)
      continue;
    std::map<std::pair<int, int>, Month> months;
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
      const auto c1 = line.find(',');
      const auto c2 = line.find(',', c1 + 1);
      const auto c3 = line.find(',', c2 + 1);
      if (c3 == std::string::npos)
        continue;
      const int y = std::atoi(line.c_str() + c2 + 1);
      const int m = std::atoi(line.c_str() + c2 + 6);
      const int d = std::atoi(line.c_str() + c2 + 9);
      if (m < 1 || m > 12 || d < 1 || d > 31)
        die("bad date: " + line);
      Month& mo = months[{y, m}];
      const auto c4 = line.find(',', c3 + 1);
      const std::string v = line.substr(c3 + 1, c4 - c3 - 1);
      mo.has[d - 1] = !v.empty();
      mo.flow[d - 1] = v.empty() ? 0.0f : std::strtof(v.c_str(), nullptr);
      mo.symbol[d - 1] = c4 == std::string::npos ? "" : line.substr(c4 + 1);
    }
    for (const auto& [ym, mo] : months) {
      const int n = month_days(ym.first, ym.second);
      double total = 0, mn = 0, mx = 0;
      int count = 0, first_min = 0, first_max = 0;
      for (int d = 0; d < n; ++d) {
        if (!mo.has[d])
          continue;
        const double q = mo.flow[d];
        if (count == 0 || q < mn)
          mn = q, first_min = d + 1;
        if (count == 0 || q > mx)
          mx = q, first_max = d + 1;
        total += q;
        ++count;
      }
      sqlite3_bind_text(ins, 1, s.id.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_int(ins, 2, ym.first);
      sqlite3_bind_int(ins, 3, ym.second);
      sqlite3_bind_int(ins, 4, count == n ? 1 : 0);
      sqlite3_bind_int(ins, 5, n);
      for (int k = 6; k <= 11; ++k)
        sqlite3_bind_null(ins, k);
      if (count > 0) {
        sqlite3_bind_double(ins, 6, total / count);
        sqlite3_bind_double(ins, 7, total * 86400.0);
        sqlite3_bind_int(ins, 8, first_min);
        sqlite3_bind_double(ins, 9, mn);
        sqlite3_bind_int(ins, 10, first_max);
        sqlite3_bind_double(ins, 11, mx);
      }
      for (int d = 0; d < 31; ++d) {
        const int kf = 12 + 2 * d;
        if (d < n && mo.has[d]) {
          sqlite3_bind_double(ins, kf, static_cast<double>(mo.flow[d]));
          ++values;
        } else {
          sqlite3_bind_null(ins, kf);
        }
        if (d < n && !mo.symbol[d].empty()) {
          sqlite3_bind_text(ins, kf + 1, mo.symbol[d].c_str(), -1,
                            SQLITE_TRANSIENT);
        } else {
          sqlite3_bind_null(ins, kf + 1);
        }
      }
      check(db, sqlite3_step(ins), "row");
      sqlite3_reset(ins);
      ++rows;
    }
  }
  sqlite3_finalize(ins);
  sqlite3_finalize(sta);
  check(db, sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), "commit");
  check(db, sqlite3_close(db), "close");
  std::printf("stations=%zu rows=%ld values=%ld\n", stations.size(), rows,
              values);
  return 0;
}
