// Micro-benchmarks of the two inner loops a national-scale run spends its
// time in: daily records into the flow table (a whole station file, and
// one record at a time), and one row of 1000 daily flows into F12.3 text. Run
// by hand on a quiet machine (Release build):
//   gaumo_micro_bench --benchmark_repetitions=5
//   --benchmark_report_aggregates_only=true

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "flow/flow_table.h"
#include "flow/record_reader.h"
#include "run/run_log.h"
#include "run/run_options.h"
#include "stations/station_catalogue.h"
#include "support/memory_file_system.h"
#include "text/fixed_fields.h"
#include "text/free_form_reader.h"

namespace {

constexpr std::int32_t kFirstYear = 1921;
constexpr std::int32_t kLastYear = 2020;

/// Small deterministic generator, so every run times the same inputs.
std::uint32_t next_random(std::uint32_t& s) {
  s ^= s << 13;
  s ^= s >> 17;
  s ^= s << 5;
  return s;
}

/// Daily flows of the magnitudes the gauges report: thousandths of a creek
/// up to thousands of m3/s of a large river, with every 20th day missing.
std::vector<float> realistic_flows(std::size_t n) {
  std::vector<float> v(n);
  std::uint32_t s = 2463534242u;
  for (std::size_t k = 0; k < n; ++k) {
    if (next_random(s) % 20 == 0) {
      v[k] = -1.0f;
      continue;
    }
    const std::uint32_t digits = next_random(s) % 100000;    // up to 5 digits
    const int scale = static_cast<int>(next_random(s) % 4);  // 0 to 3 decimals
    static constexpr float kDiv[4] = {1.0f, 10.0f, 100.0f, 1000.0f};
    v[k] = static_cast<float>(digits) / kDiv[scale];
  }
  return v;
}

/// One year of one station's historical records, as the data service
/// writes them (about one in twenty values empty).
std::vector<std::string> historical_year(std::int32_t year) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30,
                                    31, 31, 30, 31, 30, 31};
  const std::vector<float> flows = realistic_flows(366);
  std::vector<std::string> lines;
  std::size_t k = 0;
  char buf[96];
  for (int m = 1; m <= 12; ++m) {
    const int days = m == 2 && year % 4 == 0 ? 29 : kDays[m - 1];
    for (int d = 1; d <= days; ++d, ++k) {
      if (flows[k] < 0.0f) {
        std::snprintf(buf, sizeof buf, "05AB001,1,%d/%02d/%02d,,", year, m, d);
      } else {
        // As short as the service writes them: 538.0, 3.44, 0.123.
        const int decimals = flows[k] < 10.0f ? 3 : flows[k] < 1000.0f ? 2 : 1;
        std::snprintf(buf, sizeof buf, "05AB001,1,%d/%02d/%02d,%.*f,%s", year,
                      m, d, decimals, static_cast<double>(flows[k]),
                      m < 4 ? "B" : "");
      }
      lines.emplace_back(buf);
    }
  }
  return lines;
}

/// Everything handle_record writes into, sized like a century of one
/// station so that the stores land in a table of realistic extent.
struct RecordFixture {
  gaumo::RunOptions opts = gaumo::make_run_options(kFirstYear, kLastYear);
  gaumo::FlowTable table;
  gaumo::RecordFields fields;
  std::ostringstream console;
  gaumo::RunLog log{console};
  gaumo::RecordSink sink{opts, table, fields, log};
  gaumo::Ident idsta{"05AB001"};

  RecordFixture() { table.create(opts.year_count(), 1); }
};

void BM_HandleHistoricalRecord(benchmark::State& state) {
  RecordFixture fx;
  const std::vector<std::string> lines = historical_year(1990);
  std::int64_t bytes = 0;
  std::size_t k = 0;
  for (auto _ : state) {
    const std::string& line = lines[k];
    benchmark::DoNotOptimize(gaumo::handle_record(
        line, gaumo::RecordKind::kHistorical, fx.idsta, 1, fx.sink));
    bytes += static_cast<std::int64_t>(line.size()) + 1;
    if (++k == lines.size())
      k = 0;
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_HandleHistoricalRecord);

/// A whole station file of a century from memory, as the reader takes it
/// in a national run: the records straight from the read block.
void BM_ReadStationFile(benchmark::State& state) {
  RecordFixture fx;
  std::string file = " ID,PARAM,Date,Value,SYM\n";
  std::int64_t records = 0;
  for (std::int32_t y = kFirstYear; y <= kLastYear; ++y) {
    for (const std::string& line : historical_year(y)) {
      file += line;
      file += '\n';
      ++records;
    }
  }
  const gaumo::FileName fln("05AB001_Daily_Flow_ts.csv");
  for (auto _ : state) {
    gaumo::MemoryInputFile in(file);
    gaumo::read_station_records(in, gaumo::RecordKind::kHistorical, fln,
                                fx.idsta, 1, fx.sink);
  }
  state.SetItemsProcessed(state.iterations() * records);
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(file.size()));
}
BENCHMARK(BM_ReadStationFile);

/// A record of another station: the identifier test alone should decide.
void BM_HandleRecordOfAnotherStation(benchmark::State& state) {
  RecordFixture fx;
  const std::string line = "05AB002,1,1990/01/31,12.345,B";
  for (auto _ : state) {
    benchmark::DoNotOptimize(gaumo::handle_record(
        line, gaumo::RecordKind::kHistorical, fx.idsta, 1, fx.sink));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_HandleRecordOfAnotherStation);

void BM_HandleProvisionalRecord(benchmark::State& state) {
  RecordFixture fx;
  const std::string line = "05AB001,2019-06-30,12.5";
  for (auto _ : state) {
    benchmark::DoNotOptimize(gaumo::handle_record(
        line, gaumo::RecordKind::kProvisional, fx.idsta, 1, fx.sink));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_HandleProvisionalRecord);

/// The free-form read alone, on a record whose date the reader has already
/// split into three values.
void BM_ReadValuesOfRecord(benchmark::State& state) {
  const std::string line = "05AB001,1,1990,01,31,12.345,B";
  gaumo::RecordFields f;
  const gaumo::Target t[] = {
      gaumo::Target::text(f.ident.data(), gaumo::Ident::size()),
      gaumo::Target::text(f.second.data(), decltype(f.second)::size()),
      gaumo::Target::int16(&f.year),
      gaumo::Target::int16(&f.month),
      gaumo::Target::int16(&f.day),
      gaumo::Target::real32(&f.flow),
  };
  for (auto _ : state) {
    gaumo::ReadResult r = gaumo::read_values(line, nullptr, t);
    benchmark::DoNotOptimize(r);
    benchmark::DoNotOptimize(f.flow);
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(line.size()));
}
BENCHMARK(BM_ReadValuesOfRecord);

/// Counts the rows of `fields` F12.3 fields and a line end formatted.
void count_rows(benchmark::State& state, std::size_t fields) {
  state.SetItemsProcessed(state.iterations() *
                          static_cast<std::int64_t>(fields));
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(fields * 12 + 1));
}

/// One day of a 1000-station yearly file: 1000 fields of 12 characters.
void BM_PutF12_3Row(benchmark::State& state) {
  const std::vector<float> row = realistic_flows(gaumo::kMaxStations);
  // Formatted in place into a row buffer, as the yearly writer does.
  std::string out(row.size() * 12 + 1, '\n');
  for (auto _ : state) {
    char* p = out.data();
    for (float v : row) {
      gaumo::format_f12_3(p, v);
      p += 12;
    }
    benchmark::DoNotOptimize(out.data());
  }
  count_rows(state, row.size());
}
BENCHMARK(BM_PutF12_3Row);

/// The same row through the cells function the yearly writer calls.
void BM_PutF12_3Cells(benchmark::State& state) {
  const std::vector<float> row = realistic_flows(gaumo::kMaxStations);
  std::string out(row.size() * 12 + 1, '\n');
  for (auto _ : state) {
    gaumo::format_f12_3_cells(out.data(), row.data(), row.size());
    benchmark::DoNotOptimize(out.data());
  }
  count_rows(state, row.size());
}
BENCHMARK(BM_PutF12_3Cells);

/// The same row through each way the machine has: 0 one cell at a time,
/// 1 AVX2, 2 AVX-512.
void BM_PutF12_3CellsBy(benchmark::State& state) {
  const auto path = static_cast<gaumo::CellsPath>(state.range(0));
  if (!gaumo::has_cells_path(path)) {
    state.SkipWithError("not on this machine");
    return;
  }
  const std::vector<float> row = realistic_flows(gaumo::kMaxStations);
  std::string out(row.size() * 12 + 1, '\n');
  for (auto _ : state) {
    gaumo::format_f12_3_cells_by(path, out.data(), row.data(), row.size());
    benchmark::DoNotOptimize(out.data());
  }
  count_rows(state, row.size());
}
BENCHMARK(BM_PutF12_3CellsBy)->DenseRange(0, 2);

/// The same row through the general fixed-point field, for comparison.
void BM_PutFixedRow(benchmark::State& state) {
  const std::vector<float> row = realistic_flows(gaumo::kMaxStations);
  std::string out;
  out.reserve(row.size() * 12 + 1);
  for (auto _ : state) {
    out.clear();
    for (float v : row)
      gaumo::put_fixed(out, v, 12, 3);
    out += '\n';
    benchmark::DoNotOptimize(out.data());
  }
  count_rows(state, row.size());
}
BENCHMARK(BM_PutFixedRow);

}  // namespace

BENCHMARK_MAIN();
