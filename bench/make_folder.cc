// Writes a realistic working folder for timing Gaumo at national scale: a
// station list, one historical daily file per station and a provisional
// file for every tenth station. The data are synthetic but shaped like a
// hydrometric archive (spring freshet, wet and dry years, gaps of days to
// weeks, ice-affected winter values), so the readers meet the same mix of
// number widths, empty fields and symbols as on real downloads.
//
// The same seed always gives the same bytes. Standard library and POSIX
// only, so the benchmark script can also build it with a bare compiler.
//
// usage: make_folder --stations N --years Y --out DIR
//                    [--end-year E] [--seed S] [--counts FILE]
// DIR is created (its parent must exist). With --counts, the number of
// days of each station and year that Gaumo must report as holding a value
// (flow_recl.txt) after the provisional fill is written to FILE, one line
// per station: "<id> <count of first year> ... <count of last year>".
// On success one summary line goes to stdout:
// "stations=N years=Y first=F last=E records=R bytes=B files=K".

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

[[noreturn]] void die(const std::string& what) {
  std::fprintf(stderr, "make_folder: %s\n", what.c_str());
  std::exit(1);
}

/// splitmix64: small, fast and good enough for synthetic data.
class Random {
 public:
  explicit Random(std::uint64_t seed) : s_(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (s_ += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
  }
  /// Uniform in [0, 1).
  double uniform() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
  /// Uniform integer in [lo, hi].
  int between(int lo, int hi) {
    return lo +
           static_cast<int>(next() % static_cast<std::uint64_t>(hi - lo + 1));
  }
  /// Approximately standard normal (Irwin-Hall of four), cheap and bounded,
  /// which keeps the synthetic flows free of absurd outliers.
  double normal() {
    return (uniform() + uniform() + uniform() + uniform() - 2.0) * 1.7320508;
  }

 private:
  std::uint64_t s_;
};

/// A file written through one large buffer, so that generating a gigabyte
/// costs little more than the page-cache copy.
class Sink {
 public:
  explicit Sink(const std::string& path) : path_(path) {
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd_ < 0)
      die("cannot create " + path + ": " + std::strerror(errno));
    buf_.reserve(kBlock + 4096);
  }
  ~Sink() { close(); }
  Sink(const Sink&) = delete;
  Sink& operator=(const Sink&) = delete;

  void put(std::string_view s) {
    buf_.append(s);
    if (buf_.size() >= kBlock)
      flush();
  }
  void put(char c) { buf_.push_back(c); }
  void close() {
    if (fd_ < 0)
      return;
    flush();
    if (::close(fd_) != 0)
      die("cannot close " + path_);
    fd_ = -1;
  }
  std::uint64_t bytes() const { return written_ + buf_.size(); }

 private:
  static constexpr std::size_t kBlock = 1 << 20;
  void flush() {
    std::size_t done = 0;
    while (done < buf_.size()) {
      const ssize_t n = ::write(fd_, buf_.data() + done, buf_.size() - done);
      if (n < 0) {
        if (errno == EINTR)
          continue;
        die("cannot write " + path_ + ": " + std::strerror(errno));
      }
      done += static_cast<std::size_t>(n);
    }
    written_ += buf_.size();
    buf_.clear();
  }
  std::string path_;
  int fd_ = -1;
  std::string buf_;
  std::uint64_t written_ = 0;
};

bool is_leap_gregorian(int y) {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int days_in_month(int y, int m) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30,
                                    31, 31, 30, 31, 30, 31};
  return m == 2 && is_leap_gregorian(y) ? 29 : kDays[m - 1];
}

/// One calendar day as the data service writes it.
struct Day {
  int year, month, day;
  int doy;  ///< 1-based day of the real calendar year, for the seasons
};

/// Whether Gaumo's yearly count of days with data looks at this day: it
/// counts the first 365 slots of a year, and its calendar makes every
/// fourth year a leap year (1900 included), so 31 December of such a year
/// falls in slot 366 and is never counted.
bool counted_day(const Day& d) {
  static constexpr int kFirstDay[12] = {1,   32,  60,  91,  121, 152,
                                        182, 213, 244, 274, 305, 335};
  const int slot = kFirstDay[d.month - 1] + d.day - 1 +
                   (d.year % 4 == 0 && d.month >= 3 ? 1 : 0);
  return slot <= 365;
}

std::vector<Day> calendar(int first, int last) {
  std::vector<Day> days;
  for (int y = first; y <= last; ++y) {
    int doy = 0;
    for (int m = 1; m <= 12; ++m) {
      for (int d = 1; d <= days_in_month(y, m); ++d)
        days.push_back({y, m, d, ++doy});
    }
  }
  return days;
}

void put_2(std::string& s, int v) {
  s.push_back(static_cast<char>('0' + v / 10));
  s.push_back(static_cast<char>('0' + v % 10));
}

void put_4(std::string& s, int v) {
  char b[8];
  const auto r = std::to_chars(b, b + sizeof b, v);
  s.append(b, r.ptr);
}

/// How a station's values are written. Archives mix both habits.
enum class Style {
  kSignificant,  ///< three significant digits: 0.793, 1.24, 12.3, 538.0
  kThousandths,  ///< always three decimals: 0.793, 12.345, 1180.000
};

/// Appends v >= 0 in the station's style; digits come from an integer so
/// the generator never depends on floating-point printing.
void put_value(std::string& s, double v, Style style) {
  int decimals = 3;
  if (style == Style::kSignificant) {
    if (v >= 100.0) {
      // Three significant digits, then ".0", as archives print large flows.
      const double mag = std::pow(10.0, std::floor(std::log10(v)) - 2.0);
      v = std::nearbyint(v / mag) * mag;
      decimals = 1;
    } else if (v >= 10.0) {
      decimals = 1;
    } else if (v >= 1.0) {
      decimals = 2;
    }
  }
  static constexpr double kScale[4] = {1.0, 10.0, 100.0, 1000.0};
  const auto scaled =
      static_cast<std::uint64_t>(std::nearbyint(v * kScale[decimals]));
  char b[32];
  auto r = std::to_chars(b, b + sizeof b, scaled);
  std::string_view digits(b, static_cast<std::size_t>(r.ptr - b));
  const auto d = static_cast<std::size_t>(decimals);
  if (digits.size() <= d) {
    s += "0.";
    s.append(d - digits.size(), '0');
    s.append(digits);
    return;
  }
  s.append(digits.substr(0, digits.size() - d));
  s.push_back('.');
  s.append(digits.substr(digits.size() - d));
}

struct Station {
  std::string id;
  std::string province;
  std::string name;
  double lat = 0, lon = 0, area = 0;
};

struct Region {
  const char* code;
  const char* province;
  double lat_lo, lat_hi, lon_lo, lon_hi;
};

constexpr Region kRegions[] = {
    {"01", "NB", 45.0, 48.0, -68.5, -64.0},
    {"02", "ON", 42.5, 50.0, -95.0, -74.5},
    {"02", "QC", 45.0, 53.0, -79.5, -60.0},
    {"03", "QC", 50.0, 58.0, -78.0, -64.0},
    {"04", "ON", 48.0, 55.0, -94.0, -80.0},
    {"05", "AB", 49.0, 55.0, -118.0, -110.0},
    {"05", "SK", 49.0, 57.0, -110.0, -102.0},
    {"05", "MB", 49.0, 57.0, -102.0, -95.0},
    {"06", "MB", 55.0, 59.5, -101.0, -94.0},
    {"07", "AB", 54.0, 60.0, -120.0, -110.0},
    {"08", "BC", 48.5, 58.0, -133.0, -114.5},
    {"09", "YT", 60.0, 68.0, -141.0, -124.0},
    {"10", "NT", 60.0, 69.0, -135.0, -102.0},
    {"11", "SK", 49.0, 50.0, -110.0, -104.0},
};

constexpr const char* kRivers[] = {
    "BOW",          "ELBOW",         "OLDMAN",        "RED DEER",
    "BATTLE",       "SWIFT CURRENT", "QU'APPELLE",    "ASSINIBOINE",
    "SOURIS",       "WHITEMUD",      "CARROT",        "TORCH",
    "SASKATCHEWAN", "ATHABASCA",     "PEACE",         "SMOKY",
    "WAPITI",       "FRASER",        "THOMPSON",      "NICOLA",
    "SIMILKAMEEN",  "KOOTENAY",      "ELK",           "COLUMBIA",
    "SKEENA",       "STIKINE",       "LIARD",         "HAY",
    "YUKON",        "PELLY",         "MACKENZIE",     "OTTAWA",
    "MADAWASKA",    "GATINEAU",      "SAINT-MAURICE", "RICHELIEU",
    "SAINT JOHN",   "MIRAMICHI",     "RESTIGOUCHE",   "ALBANY",
    "MOOSE",        "ABITIBI",       "SEVERN",        "WINISK",
    "ENGLISH",      "WINNIPEG",      "NELSON",        "CHURCHILL",
    "BURNTWOOD",    "GRASS",         "BEAVER",        "PINE",
    "SHEEP",        "STONY",         "WILLOW",        "POPLAR",
    "MOOSE JAW",    "LITTLE RED",    "BIG",           "SANDY",
};

constexpr const char* kKinds[] = {"RIVER", "RIVER", "RIVER",
                                  "CREEK", "CREEK", "BROOK"};

constexpr const char* kWhere[] = {"AT",    "NEAR",  "NEAR",
                                  "ABOVE", "BELOW", "AT THE MOUTH NEAR"};

constexpr const char* kPlaces[] = {
    "CALGARY",
    "BANFF",
    "MEDICINE HAT",
    "LETHBRIDGE",
    "FORT MACLEOD",
    "DRUMHELLER",
    "PRINCE ALBERT",
    "SASKATOON",
    "REGINA",
    "BRANDON",
    "PORTAGE LA PRAIRIE",
    "THE PAS",
    "HOPE",
    "MISSION",
    "KAMLOOPS",
    "PRINCE GEORGE",
    "TERRACE",
    "FORT NELSON",
    "WHITEHORSE",
    "DAWSON",
    "FORT SIMPSON",
    "OTTAWA",
    "HULL",
    "TROIS-RIVIERES",
    "FREDERICTON",
    "EDMUNDSTON",
    "TIMMINS",
    "KENORA",
    "THUNDER BAY",
    "PEACE RIVER",
    "GRANDE PRAIRIE",
    "FORT MCMURRAY",
    "HIGHWAY NO. 2",
    "THE INTERNATIONAL BOUNDARY",
    "OUTLET OF LAKE",
    "OLD FORT",
    "RAILWAY BRIDGE",
    "GAUGE STATION 2",
    "MILL",
    "SPRINGBANK",
    "CARSELAND",
    "BASSANO",
    "EMPRESS",
};

template <typename T, std::size_t N>
const T& pick(Random& r, const T (&a)[N]) {
  return a[r.next() % N];
}

std::vector<Station> make_stations(int count, Random& r) {
  std::set<std::string> used;
  std::vector<Station> out;
  while (static_cast<int>(out.size()) < count) {
    const Region& reg = pick(r, kRegions);
    std::string id = reg.code;
    id.push_back(static_cast<char>('A' + r.between(0, 7)));
    id.push_back(static_cast<char>('A' + r.between(0, 25)));
    id.push_back(static_cast<char>('0' + r.between(0, 2)));
    id.push_back(static_cast<char>('0' + r.between(0, 9)));
    id.push_back(static_cast<char>('0' + r.between(1, 9)));
    if (!used.insert(id).second)
      continue;
    Station s;
    s.id = id;
    s.province = reg.province;
    s.name = std::string(pick(r, kRivers)) + " " + pick(r, kKinds) + " " +
             pick(r, kWhere) + " " + pick(r, kPlaces);
    s.lat = reg.lat_lo + r.uniform() * (reg.lat_hi - reg.lat_lo);
    s.lon = reg.lon_lo + r.uniform() * (reg.lon_hi - reg.lon_lo);
    // Drainage areas spread over five orders of magnitude, like a network
    // that gauges creeks and continental rivers alike.
    s.area = std::exp(std::log(5.0) +
                      r.uniform() * (std::log(300000.0) - std::log(5.0)));
    out.push_back(s);
  }
  std::sort(out.begin(), out.end(),
            [](const Station& a, const Station& b) { return a.id < b.id; });
  return out;
}

std::uint64_t write_station_list(const std::string& dir,
                                 const std::vector<Station>& st) {
  Sink f(dir + "/flow_stations.tb0");
  f.put(
      "########################################\n"
      ":FileType tb0  ASCII  EnSim 1.0\n"
      "#\n"
      "# DataType               Time Series\n"
      "#\n"
      ":Application             EnSimHydrologic\n"
      ":WrittenBy               make_folder\n"
      "# Synthetic stations for timing runs\n"
      ":Projection              LATLONG\n"
      ":Ellipsoid               WGS84\n"
      "#\n"
      "# id  prov  name  hyd_status  sed_status  latitude  longitude  "
      "drainage_area_km2\n"
      ":EndHeader\n");
  char b[160];
  for (const Station& s : st) {
    std::snprintf(b, sizeof b, "%s %s \"%s\" A D %.5f %.5f %.1f\n",
                  s.id.c_str(), s.province.c_str(), s.name.c_str(), s.lat,
                  s.lon, s.area);
    f.put(b);
  }
  f.close();
  return f.bytes();
}

/// One station's daily flows over the whole calendar, negative where the
/// archive has no value.
std::vector<double> synthesise(const Station& s, const std::vector<Day>& days,
                               double gap_fraction, Random& r) {
  // Runoff of about 300 mm a year, with basins that differ by a factor of
  // a few either way.
  const double mean = s.area * 0.0095 * std::exp(0.5 * r.normal());
  const double peak_day = r.between(110, 200);
  const double width = r.between(20, 45);
  const double swing = 0.8 + 1.6 * r.uniform();  // log-amplitude of the freshet
  const double persistence = 0.93 + 0.05 * r.uniform();
  const double sigma = 0.25 + 0.25 * r.uniform();
  const double innovation = sigma * std::sqrt(1.0 - persistence * persistence);
  // Gaps start rarely and last on average kGapDays, so that the share of
  // empty days is gap_fraction in the long run.
  constexpr double kGapDays = 12.0;
  const double gap_start = gap_fraction / ((1.0 - gap_fraction) * kGapDays);

  std::vector<double> q(days.size());
  double noise = 0.0;
  double wet = 0.0;
  bool in_gap = false;
  int year = -1;
  for (std::size_t k = 0; k < days.size(); ++k) {
    if (days[k].year != year) {
      year = days[k].year;
      wet = 0.3 * r.normal();
    }
    const double z = (days[k].doy - peak_day) / width;
    noise = persistence * noise + innovation * r.normal();
    const double log_q =
        std::log(mean) + swing * (std::exp(-0.5 * z * z) - 0.3) + wet + noise;
    q[k] = std::exp(log_q);
    in_gap = in_gap ? r.uniform() >= 1.0 / kGapDays : r.uniform() < gap_start;
    if (in_gap)
      q[k] = -1.0;
  }
  return q;
}

const char* symbol(const Day& d, double q, Random& r) {
  if (q < 0.0)
    return "";
  if ((d.month <= 3 || d.month == 12) && r.uniform() < 0.6)
    return "B";  // ice
  const double u = r.uniform();
  if (u < 0.01)
    return "E";
  if (u < 0.02)
    return "A";
  return "";
}

/// "ID,1,YYYY/MM/DD,value,SYM" records after a header, in date order.
std::uint64_t write_historical(const std::string& path, const Station& s,
                               const std::vector<Day>& days,
                               const std::vector<double>& q, Style style,
                               Random& r, std::uint64_t& bytes) {
  Sink f(path);
  f.put(" ID,PARAM,Date,Value,SYM\n");
  std::string rec;
  for (std::size_t k = 0; k < days.size(); ++k) {
    rec.clear();
    rec += s.id;
    rec += ",1,";
    put_4(rec, days[k].year);
    rec.push_back('/');
    put_2(rec, days[k].month);
    rec.push_back('/');
    put_2(rec, days[k].day);
    rec.push_back(',');
    if (q[k] >= 0.0)
      put_value(rec, q[k], style);
    rec.push_back(',');
    rec += symbol(days[k], q[k], r);
    rec.push_back('\n');
    f.put(rec);
  }
  f.close();
  bytes += f.bytes();
  return days.size();
}

/// "ID,YYYY-MM-DD,value" records for the days from `from` on. Returns which
/// of those days got a value (the provisional series has its own, rarer
/// gaps, and often covers days the archive has not yet checked).
std::uint64_t write_provisional(const std::string& path, const Station& s,
                                const std::vector<Day>& days, std::size_t from,
                                const std::vector<double>& q, Style style,
                                Random& r, std::vector<bool>& has_value,
                                std::uint64_t& bytes) {
  Sink f(path);
  f.put("ID,Date,Value\n");
  std::string rec;
  for (std::size_t k = from; k < days.size(); ++k) {
    rec.clear();
    rec += s.id;
    rec.push_back(',');
    put_4(rec, days[k].year);
    rec.push_back('-');
    put_2(rec, days[k].month);
    rec.push_back('-');
    put_2(rec, days[k].day);
    rec.push_back(',');
    const bool present = r.uniform() >= 0.01;
    if (present) {
      // Where the archive has a gap, the provisional value is the one
      // the gauge reported, near the flows around it.
      const double v =
          q[k] >= 0.0 ? q[k] : (k > 0 && q[k - 1] >= 0.0 ? q[k - 1] : 1.0);
      put_value(rec, v, style);
    }
    has_value[k - from] = present;
    rec.push_back('\n');
    f.put(rec);
  }
  f.close();
  bytes += f.bytes();
  return days.size() - from;
}

int to_int(const char* flag, const char* text) {
  char* end = nullptr;
  const long v = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || v < 0 || v > 1000000) {
    die(std::string("bad value for ") + flag + ": " + text);
  }
  return static_cast<int>(v);
}

}  // namespace

int main(int argc, char** argv) {
  int stations = -1;
  int years = -1;
  int end_year = 2020;
  std::uint64_t seed = 20240601;
  std::string out;
  std::string counts_path;
  for (int a = 1; a < argc; ++a) {
    const std::string flag = argv[a];
    if (a + 1 >= argc)
      die("missing value after " + flag);
    const char* v = argv[++a];
    if (flag == "--stations") {
      stations = to_int("--stations", v);
    } else if (flag == "--years") {
      years = to_int("--years", v);
    } else if (flag == "--end-year") {
      end_year = to_int("--end-year", v);
    } else if (flag == "--seed") {
      seed = static_cast<std::uint64_t>(to_int("--seed", v));
    } else if (flag == "--out") {
      out = v;
    } else if (flag == "--counts") {
      counts_path = v;
    } else {
      die("unknown option " + flag);
    }
  }
  if (stations < 0 || years < 1 || out.empty()) {
    die("usage: make_folder --stations N --years Y --out DIR [--end-year E] "
        "[--seed S] [--counts FILE]");
  }
  // Gaumo accepts at most 1000 stations; more would only test its limit stop.
  if (stations > 1000)
    die("at most 1000 stations");
  const int first_year = end_year - years + 1;
  if (first_year < 1)
    die("the first year would fall before year 1");
  if (::mkdir(out.c_str(), 0755) != 0 && errno != EEXIST) {
    die("cannot create " + out + ": " + std::strerror(errno));
  }

  Random r(seed);
  const std::vector<Station> st = make_stations(stations, r);
  std::uint64_t bytes = write_station_list(out, st);

  const std::vector<Day> days = calendar(first_year, end_year);
  // The provisional files cover the last two calendar years (or all of a
  // shorter range), as a data service's recent-data download does.
  const int prov_first = std::max(first_year, end_year - 1);
  const std::size_t prov_from = static_cast<std::size_t>(
      std::find_if(days.begin(), days.end(),
                   [&](const Day& d) { return d.year == prov_first; }) -
      days.begin());

  std::uint64_t records = 0;
  int files = 1;
  std::string counts;
  std::vector<bool> prov_value(days.size() - prov_from);
  for (std::size_t i = 0; i < st.size(); ++i) {
    Random sr(seed * 1000003ULL + i);
    const std::vector<double> q = synthesise(st[i], days, 0.05, sr);
    const Style style =
        sr.uniform() < 0.5 ? Style::kSignificant : Style::kThousandths;
    records += write_historical(out + "/" + st[i].id + "_Daily_Flow_ts.csv",
                                st[i], days, q, style, sr, bytes);
    ++files;
    const bool provisional = i % 10 == 0;
    if (provisional) {
      records +=
          write_provisional(out + "/Flow_" + st[i].id + ".csv", st[i], days,
                            prov_from, q, style, sr, prov_value, bytes);
      ++files;
    }
    if (counts_path.empty())
      continue;
    counts += st[i].id;
    std::size_t k = 0;
    for (int y = first_year; y <= end_year; ++y) {
      int n = 0;
      for (; k < days.size() && days[k].year == y; ++k) {
        const bool filled =
            provisional && k >= prov_from && prov_value[k - prov_from];
        if ((q[k] >= 0.0 || filled) && counted_day(days[k]))
          ++n;
      }
      counts += ' ';
      counts += std::to_string(n);
    }
    counts += '\n';
  }
  if (!counts_path.empty()) {
    Sink c(counts_path);
    c.put(counts);
  }
  std::printf(
      "stations=%d years=%d first=%d last=%d records=%llu bytes=%llu "
      "files=%d\n",
      stations, years, first_year, end_year,
      static_cast<unsigned long long>(records),
      static_cast<unsigned long long>(bytes), files);
  return 0;
}
