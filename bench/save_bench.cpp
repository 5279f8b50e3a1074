// Writing the two sounding files of 10,000 stations of 49 spacings, next to a bare snprintf
// loop that produces the same bytes from the same (already ordered) stations: the bare loop
// is the floor that the writers are measured against.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "io/soundingdat.h"
#include "io/vesfile.h"
#include "survey_data.h"

namespace {

const StationList& Survey() {
  static const StationList stations = benchdata::Stations(0, benchdata::kStations);
  return stations;
}

void Append(std::string& out, const char* format, auto... values) {
  char buf[128];
  const int n = std::snprintf(buf, sizeof buf, format, values...);
  out.append(buf, static_cast<std::size_t>(n));
}

std::string BareVes(const StationList& stations) {
  std::string out;
  out += Gbk("QL电法数据处理软件文件.\r\n文件用途:对称四极或三极电测深VES电阻率1D,2D反演及成图.\r\n");
  Append(out, "%zu\r\n", stations.size());
  for (const sdata& s : stations) {
    Append(out, "%s\r\n%g %g %g\r\n%s\r\n%s\r\n%s\r\n%s\r\n%zu\r\n", s.Name.c_str(), double{s.X}, double{s.Y}, 0.0,
           s.WorkArea.c_str(), s.Profile.c_str(), s.Operator.c_str(), s.Instrument.c_str(), s.Columns[colAB2].size());
    for (std::size_t r = 0; r < s.Columns[colAB2].size(); ++r)
      Append(out, " %g %g\r\n", double{s.Columns[colAB2][r]}, double{s.Columns[colRho][r]});
    out += " 1\r\n 100 100\r\n\r\n";
  }
  return out;
}

std::string BareDat(const StationList& stations) {
  std::string out;
  out += Gbk("QL电法数据处理软件文件.\r\n文件用途:对称四极或三极电测深各参数参数断面图及电阻率1D,2D反演\r\n");
  out += "N    AB/2   MN/2    RO   IP   R   TH  TD   ZP   X1  X2  X3\r\n";
  for (const sdata& s : stations) {
    const long long n = static_cast<long long>(static_cast<double>(s.X) + 0.01);
    const auto& c = s.Columns;
    for (std::size_t r = 0; r < c[colAB2].size(); ++r)
      Append(out, "%lld %g 0.5 %g %g %g %g %g %g -9999 -9999 -9999\r\n", n, double{c[colAB2][r]},
             double{c[colRho][r]}, double{c[colIP][r]}, double{c[colR][r]}, double{c[colTH][r]}, double{c[colTD][r]},
             double{c[colZP][r]});
  }
  return out;
}

template <class Build>
void Run(benchmark::State& state, Build build) {
  std::size_t bytes = 0;
  for (auto _ : state) {
    std::string out = build(Survey());
    bytes = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
}

void BM_BuildVesFile(benchmark::State& state) {
  if (BuildVesFile(Survey()) != BareVes(Survey())) state.SkipWithError("the bare loop writes other bytes");
  Run(state, [](const StationList& s) { return BuildVesFile(s); });
}
void BM_BareVesLoop(benchmark::State& state) { Run(state, BareVes); }

void BM_BuildSoundingDatFile(benchmark::State& state) {
  if (BuildSoundingDatFile(Survey()) != BareDat(Survey())) state.SkipWithError("the bare loop writes other bytes");
  Run(state, [](const StationList& s) { return BuildSoundingDatFile(s); });
}
void BM_BareDatLoop(benchmark::State& state) { Run(state, BareDat); }

}  // namespace

BENCHMARK(BM_BuildVesFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareVesLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildSoundingDatFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareDatLoop)->Unit(benchmark::kMillisecond);
