#include <gtest/gtest.h>

#include <bit>
#include <cstdio>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "flow/common_record.h"
#include "flow/day_run.h"
#include "flow/plain_record.h"
#include "support/memory_file_system.h"
#include "support/short_decimals.h"

namespace gaumo {
namespace {

// Everything one reading leaves behind: outcome, shared fields, the slot
// and the log.
struct Snapshot {
  RecordOutcome outcome;
  std::string ident, second;
  std::int16_t year, month, day;
  std::uint32_t flow_bits;
  std::vector<std::uint32_t> table_bits;
  std::string log;
  bool operator==(const Snapshot&) const = default;
};

struct Reader {
  explicit Reader(bool fast, bool vectors = true) {
    // Station 1 is read; a second after it shows a slot written past its
    // years.
    table.create(opts.year_count(), 2);
    sink.tuning.fast_paths = fast;
    sink.tuning.vector_values = vectors;
    sink.plain_identifier = is_plain_identifier(id);
  }
  Snapshot read(std::string_view rec, RecordKind kind) {
    Snapshot s;
    s.outcome = handle_record(rec, kind, id, 1, sink);
    return finish(s);
  }
  /// A whole historical station file, read through blocks of `block` bytes.
  Snapshot read_file(const std::string& text, std::size_t block) {
    MemoryInputFile file(text);
    sink.tuning.block_size = block;
    Snapshot s;
    s.outcome = RecordOutcome::kIgnored;
    read_station_records(file, RecordKind::kHistorical, FileName{"f.csv"}, id,
                         1, sink);
    return finish(s);
  }
  Snapshot finish(Snapshot& s) {
    s.ident = fields.ident.view();
    s.second = fields.second.view();
    s.year = fields.year;
    s.month = fields.month;
    s.day = fields.day;
    s.flow_bits = std::bit_cast<std::uint32_t>(fields.flow);
    const float* first = table.days(1, 1);
    s.table_bits.resize(static_cast<std::size_t>(table.years()) * kDaySlots *
                        static_cast<std::size_t>(table.stations()));
    std::memcpy(s.table_bits.data(), first,
                s.table_bits.size() * sizeof(float));
    s.log = console.str();
    console.str("");
    return s;
  }
  RunOptions opts = make_run_options(1999, 2000);
  FlowTable table;
  RecordFields fields;
  std::ostringstream console;
  RunLog log{console};
  RecordSink sink{opts, table, fields, log};
  Ident id{"05AB001"};
};

/// A record put together from pieces that exercise every branch of the fast
/// paths and the reasons to leave them.
std::string random_record(std::mt19937& rng, RecordKind kind) {
  auto pick = [&](std::initializer_list<const char*> xs) {
    std::uniform_int_distribution<std::size_t> d(0, xs.size() - 1);
    return std::string(*(xs.begin() + static_cast<std::ptrdiff_t>(d(rng))));
  };
  const bool hist = kind == RecordKind::kHistorical;
  std::string sep = hist ? "/" : "-";
  std::string r = pick({"05AB001", "05AB001", "05AB001", "05AB00", "05AB0011",
                        "'05AB001'", "05AB001 "});
  r += pick({",", ",", ",", " ,", ", ", ",,", "/", "-", "\t,"});
  if (hist) {
    r += pick({"1", "1", "PARAM", "", "'a b'", "2*", "x/y"});
    r += pick({",", ",", ", ", ",,"});
  }
  r += pick({"1999", "2000", "1998", "2001", "99", "+2000", "0x7", "", "1999.0",
             "40000"});
  r += pick({sep.c_str(), sep.c_str(), ",", ", ", sep.c_str()});
  r += pick({"01", "1", "02", "12", "13", "0", "", "3*", "-1"});
  r += pick({sep.c_str(), sep.c_str(), ",", "/"});
  r += pick({"01", "31", "29", "00", "40", "1", "", "9000", "1e1"});
  r += pick({",", ",", ",", " ", ",,", ""});
  r +=
      pick({"12.3",    "0",        "0.0",      "1180.000", ".5",           "5.",
            "1234567", "12345678", "-5.0",     "1e3",      "1.5D0",        "",
            "3.4e39",  "abc",      "1.2.3",    "0.0001",   "99999999.999", "+4",
            "\"7\"",   "2*8",      "1234.567", "1234.5678"});
  r += pick({"", ",", ",B", ",,", " B", "/x", ",A/B"});
  return r;
}

TEST(RecordFastPath, GivesExactlyWhatTheFreeFormReaderGives) {
  std::mt19937 rng(20261207);
  for (const RecordKind kind :
       {RecordKind::kHistorical, RecordKind::kProvisional}) {
    Reader fast(true), plain(false);
    for (int k = 0; k < 20000; ++k) {
      const std::string rec = random_record(rng, kind);
      ASSERT_EQ(fast.read(rec, kind), plain.read(rec, kind)) << rec;
    }
  }
}

/// A calendar day, which moves on to the next as the service's files do.
struct Day {
  int year, month, mday;
  void advance() {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30,
                                    31, 31, 30, 31, 30, 31};
    if (++mday > kDays[month - 1] + (month == 2 && year % 4 == 0 ? 1 : 0)) {
      mday = 1;
      if (++month > 12) {
        month = 1;
        ++year;
      }
    }
  }
  std::string text() const {
    char date[40];
    std::snprintf(date, sizeof date, "%04d/%02d/%02d", year, month, mday);
    return date;
  }
};

/// A station file of mostly ordinary records with every kind of odd line
/// among them, and line ends of every kind.
std::string random_station_file(std::mt19937& rng) {
  auto pick = [&](std::initializer_list<const char*> xs) {
    std::uniform_int_distribution<std::size_t> d(0, xs.size() - 1);
    return std::string(*(xs.begin() + static_cast<std::ptrdiff_t>(d(rng))));
  };
  std::string f = " ID,PARAM,Date,Value,SYM\n";
  // Half the files run day after day, as the service writes them, so that
  // most records share their month with the one before.
  const bool in_order = rng() % 2 == 0;
  Day today{1998 + static_cast<int>(rng() % 3), 12,
            1 + static_cast<int>(rng() % 31)};
  const auto n = rng() % (in_order ? 240 : 120);
  for (unsigned k = 0; k < n; ++k) {
    std::string r;
    if (rng() % 8 == 0) {
      r = random_record(rng, RecordKind::kHistorical);
    } else if (in_order) {
      // Now and then days left out, or a day again.
      if (rng() % 16 == 0) {
        today.mday += static_cast<int>(rng() % 12);
      } else if (rng() % 32 == 0) {
        today.mday -= 1 + static_cast<int>(rng() % 2);
      }
      today.advance();
      const std::string date = today.text();
      // Now and then a day that is no day of the month, or no day at all.
      std::string odd_day;
      if (rng() % 16 == 0) {
        odd_day = pick({"00", "32", "33", "99", "1", "3*", "1 ", "0x", "\r\n"});
      }
      r = "05AB001," + pick({"1", "1", "1", "1", "22"}) + "," + date + ",";
      if (!odd_day.empty())
        r.replace(r.size() - 3, 2, odd_day);
      r += pick({"12.345", "0.5", "3.4", "", "538.0", "1234567", "7", ".5",
                 "5.", "12345678", "1.2.3", "-1", "4e2", "2*", "1234.567",
                 "1234.5678", "0.0000001"});
      r += pick({"", ",B", ",", ",", ",E", ",\r", "\r", " "});
    } else {
      r = "05AB001," + pick({"1", "1", "1", "PARAM"}) + ",";
      // A second field long enough to put the date or the value across
      // the record's 512th character.
      if (rng() % 20 == 0)
        r.insert(8, 470 + rng() % 40, 'p');
      r += pick({"1999", "1999", "2000", "2000", "1998", "2001"}) + "/";
      r += pick({"01", "02", "03", "07", "12", "12", "13", "00"}) + "/";
      char day[8];
      std::snprintf(day, sizeof day, "%02u",
                    1 + static_cast<unsigned>(rng() % 31));
      r += rng() % 30 == 0 ? pick({"00", "32", "99"}) : std::string(day);
      r += ",";
      r += pick({"12.345", "0", "3.4", "", "1234567", "12345678", ".5", "5.",
                 "0.000001", "99.99999", "-1", "4e2", "1.2.3"});
      r += pick({"", ",B", ",B", ",", ",,A/B", "\r", " ", ",\r"});
      if (rng() % 20 == 0) {
        // Ending on either side of the record's 512th character.
        const std::size_t to = 505 + rng() % 16;
        r += ',';
        if (r.size() < to)
          r.append(to - r.size(), 'x');
      }
    }
    f += r;
    f += pick({"\n", "\n", "\n", "\r\n", "\r\r\n"});
  }
  if (rng() % 4 == 0 && !f.empty())
    f.pop_back();  // no newline at the end
  return f;
}

constexpr std::size_t kWholeBlock = std::size_t{1} << 20;

/// Whether a station file, read through blocks of `block` bytes, leaves
/// the same behind with the fast paths, with either value reader of the
/// record loop, as with the free-form reader alone.
::testing::AssertionResult reads_like_plain(const std::string& file,
                                            std::size_t block = kWholeBlock) {
  Reader plain(false);
  const Snapshot want = plain.read_file(file, block);
  for (const bool vectors : {true, false}) {
    Reader fast(true, vectors);
    if (!(fast.read_file(file, block) == want)) {
      return ::testing::AssertionFailure()
             << (vectors ? "vector" : "word") << " values, block " << block
             << ":\n"
             << file;
    }
  }
  return ::testing::AssertionSuccess();
}

TEST(RecordFastPath, WholeFilesGiveWhatTheFreeFormReaderGives) {
  std::mt19937 rng(20261207);
  for (int k = 0; k < 400; ++k) {
    const std::string file = random_station_file(rng);
    // Blocks of every size put line ends, CRs and cut records on edges.
    for (const std::size_t block :
         {std::size_t{1}, std::size_t{13}, std::size_t{200}, kWholeBlock}) {
      ASSERT_TRUE(reads_like_plain(file, block));
    }
  }
}

TEST(RecordFastPath, EveryDayAfterEveryDayLandsInItsSlot) {
  // The record loop expects each record to be the day after the one
  // before: every pair of days tells whether it falls back right when not,
  // in a month in the middle of the table and in the last one.
  for (const char* month : {"1999/03", "2000/12"}) {
    for (int a = 1; a <= 31; ++a) {
      for (int b = 0; b <= 33; ++b) {
        std::string file = " ID,PARAM,Date,Value,SYM\n";
        char line[64];
        for (const int day : {a, b}) {
          std::snprintf(line, sizeof line, "05AB001,1,%s/%02d,%d.5,B\n", month,
                        day, day == a ? 1 : 2);
          file += line;
        }
        // Records of a year outside the run, so that the two above are
        // not the last lines of the block.
        for (int k = 1; k <= 6; ++k)
          file += "05AB001,1,1990/01/0" + std::to_string(k) + ",9.5,B\n";
        ASSERT_TRUE(reads_like_plain(file));
      }
    }
  }
}

TEST(RecordFastPath, EveryMonthAfterEveryMonthLandsInItsSlots) {
  // The record loop expects each month's first record to be of the month
  // after the last: every jump of up to fourteen months, across the years
  // of the table and from those around it, some with month numbers no
  // calendar has, tells whether it falls back right when not.
  std::vector<std::pair<int, int>> months;  // year, month
  for (int year = 1997; year <= 2001; ++year) {
    for (int month = 1; month <= 12; ++month)
      months.emplace_back(year, month);
  }
  months.emplace_back(1998, 0);
  months.emplace_back(1998, 13);
  months.emplace_back(2001, 42);
  for (const auto& [y1, m1] : months) {
    for (int jump = 0; jump <= 14; ++jump) {
      const int m = m1 + jump, y2 = y1 + (m - 1) / 12, m2 = (m - 1) % 12 + 1;
      std::string file = " ID,PARAM,Date,Value,SYM\n";
      char line[64];
      for (const auto& [y, mo, v] : {std::tuple{y1, m1, 1}, {y2, m2, 2}}) {
        for (int day = 1; day <= 3; ++day) {
          std::snprintf(line, sizeof line, "05AB001,1,%04d/%02d/%02d,%d.%d\n",
                        y, mo, day, v, day);
          file += line;
        }
      }
      file += "05AB001,1,1990/01/01,9.5,B\n05AB001,1,1990/01/02,9.5,B\n";
      ASSERT_TRUE(reads_like_plain(file));
    }
  }
}

TEST(RecordFastPath, ANextDayRecordOffByOneByteIsCheckedWhole) {
  // The record loop tests a record's start, up to the day's comma, against
  // the month's bytes and the expected day all at once: a change in any
  // one of those bytes must send the record through the full check. With
  // second fields of every length up to one too long for the month's bytes.
  for (const std::string second :
       {"1", "22", "4444", "777777", "1234567", "12345678"}) {
    const std::string head = "05AB001," + second + ",1999/03/";
    for (std::size_t at = 0; at < head.size() + 3; ++at) {
      for (const char c : {'0', '2', '5', 'A', ',', '/', ' '}) {
        std::string odd = head + "02,2.5,B\n";
        if (odd[at] == c)
          continue;
        odd[at] = c;
        std::string file =
            " ID,PARAM,Date,Value,SYM\n" + head + "01,1.5,B\n" + odd;
        for (int k = 1; k <= 6; ++k)
          file += "05AB001,1,1990/01/0" + std::to_string(k) + ",9.5,B\n";
        ASSERT_TRUE(reads_like_plain(file));
      }
    }
  }
}

TEST(RecordFastPath, ValuesOfEveryShapeReadAlikeInTheRecordLoop) {
  // Up to nine digits on each side of the point, or none, with every kind
  // of end; day after day, so that the loop's own value readers take them.
  std::mt19937 rng(42);
  std::vector<std::string> values;
  for (int whole = 0; whole <= 9; ++whole) {
    for (int decimals = -1; decimals <= 9; ++decimals) {  // -1: no point
      for (int k = 0; k < 12; ++k) {
        std::string v;
        for (int n = 0; n < whole; ++n)
          v += static_cast<char>('0' + rng() % 10);
        if (decimals >= 0)
          v += '.';
        for (int n = 0; n < decimals; ++n)
          v += static_cast<char>('0' + rng() % 10);
        values.push_back(v + (k % 3 == 0 ? ",B" : k % 3 == 1 ? "\r" : ""));
      }
    }
  }
  // Something else where the point would be, and a point after it; each
  // after a plain value, as the loop leaves a record it declines to the
  // general path and checks the next in full.
  for (const char* odd : {"12x34,.5", "1-2.5", "7e1.5,B", "0x1.5", "5 6.7"}) {
    values.push_back("1.5");
    values.push_back(odd);
  }
  for (std::size_t first = 0; first < values.size(); first += 700) {
    std::string file = " ID,PARAM,Date,Value,SYM\n";
    Day day{1998, 12, 31};
    for (std::size_t k = first; k < std::min(values.size(), first + 700); ++k) {
      day.advance();
      file += "05AB001,1," + day.text() + "," + values[k] + "\n";
    }
    ASSERT_TRUE(reads_like_plain(file));
  }
}

TEST(RecordFastPath, ShortDecimalsInARecordReadAsAlone) {
  float v = 0;
  // Inside a record, where eight bytes or more are read at once, a value
  // reads as it does alone.
  std::mt19937 rng(7);
  for (int k = 0; k < 200000; ++k) {
    const std::string t = random_short_decimal(rng);
    ASSERT_TRUE(parse_short_decimal(t, v)) << t;
    RecordFields f;
    ASSERT_TRUE(
        parse_common_historical("05AB001,1,1999/01/01," + t + ",B 123456", f));
    ASSERT_EQ(std::bit_cast<std::uint32_t>(f.flow),
              std::bit_cast<std::uint32_t>(v))
        << t;
  }
}

}  // namespace
}  // namespace gaumo
