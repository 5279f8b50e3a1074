// Appending 10,000 stations of 49 spacings to a file that already holds 10,000 others: the
// existing file is read, merged with the new stations and written anew, as a save does.
#include <benchmark/benchmark.h>

#include <string>

#include "io/soundingdat.h"
#include "io/vesfile.h"
#include "survey_data.h"

namespace {

// The new stations: their X continue those of the file, as a survey goes on along its line.
const StationList& NewStations() {
  static const StationList stations = benchdata::Stations(benchdata::kStations, benchdata::kStations);
  return stations;
}

void BM_AppendVes(benchmark::State& state) {
  const std::string existing = BuildVesFile(benchdata::Stations(0, benchdata::kStations));
  std::size_t written = 0;
  for (auto _ : state) {
    const VesReadResult read = ReadVesFile(existing, {});
    StationList stations = NewStations();
    MergeVesStations(stations, read.stations);
    const std::string out = BuildVesFile(std::move(stations));
    written = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["bytes_written"] = static_cast<double>(written);
}

void BM_AppendSoundingDat(benchmark::State& state) {
  const std::string existing = BuildSoundingDatFile(benchdata::Stations(0, benchdata::kStations));
  std::size_t written = 0;
  for (auto _ : state) {
    DatReadResult read = ReadSoundingDat(existing, {});
    StationList w = NewStations();
    w.insert(w.end(), std::make_move_iterator(read.stations.begin()), std::make_move_iterator(read.stations.end()));
    const std::string out = BuildSoundingDatFile(std::move(w));
    written = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["bytes_written"] = static_cast<double>(written);
}

}  // namespace

BENCHMARK(BM_AppendVes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AppendSoundingDat)->Unit(benchmark::kMillisecond);
