// Keeping the station list in X order.
#include <benchmark/benchmark.h>

#include "model/stations.h"

namespace {
sdata Station(float x) {
  sdata s;
  s.X = x;
  s.Name = "S";
  s.SpacingCount = 49;
  for (int c : {colAB2, colRho, colZP, colIP, colTD, colTH, colR}) s.Columns[c].assign(49, 1.5f);
  return s;
}
}  // namespace

// One commit into an ordered list of 10,000 stations (the station is taken out again after
// each insertion, which costs about as much as the insertion's own move of the tail).
static void BM_InsertStationByX_10000(benchmark::State& state) {
  StationList list;
  for (int i = 0; i < 10000; ++i) list.push_back(Station(static_cast<float>(i * 50)));
  const sdata station = Station(250000.0f + 25.0f);
  for (auto _ : state) {
    std::size_t at = InsertStationByX(list, station);
    benchmark::DoNotOptimize(at);
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(at));
  }
}
BENCHMARK(BM_InsertStationByX_10000)->Unit(benchmark::kMicrosecond);

// The exchange sort of 2,000 stations in reverse order.
static void BM_SortStationsByX_2000_Reverse(benchmark::State& state) {
  StationList list;
  for (int i = 2000; i > 0; --i) list.push_back(Station(static_cast<float>(i)));
  for (auto _ : state) {
    state.PauseTiming();
    StationList copy = list;
    state.ResumeTiming();
    SortStationsByX(copy);
    benchmark::DoNotOptimize(copy.data());
  }
}
BENCHMARK(BM_SortStationsByX_2000_Reverse)->Unit(benchmark::kMillisecond);
