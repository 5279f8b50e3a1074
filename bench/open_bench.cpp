// Opening a .ves file of 10,000 stations of 49 spacings: the file read from disk, its kind
// told, its stations read with the append path's checks and made into the window's stations.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "io/filekind.h"
#include "io/vesfile.h"
#include "survey_data.h"

namespace {

const std::string& VesBytes() {
  static const std::string bytes = BuildVesFile(benchdata::Stations(0, benchdata::kStations));
  return bytes;
}

void BM_OpenVesFile(benchmark::State& state) {
  const std::string path =
      (std::filesystem::temp_directory_path() / ("fieldinput-open-bench-" + std::to_string(::getpid()) + ".ves"))
          .string();
  {
    std::ofstream out(path, std::ios::binary);
    out << VesBytes();
    if (!out.flush()) {
      state.SkipWithError("cannot write the .ves file");
      return;
    }
  }
  std::size_t stations = 0;
  for (auto _ : state) {
    const OpenResult opened = ReadSurveyFileAt(path);
    stations = opened.stations.size();
    benchmark::DoNotOptimize(opened.stations.data());
  }
  std::remove(path.c_str());
  if (stations != static_cast<std::size_t>(benchdata::kStations)) state.SkipWithError("stations lost");
  state.counters["file_bytes"] = static_cast<double>(VesBytes().size());
}

// The same without the disk: what reading and converting cost.
void BM_OpenVesBytes(benchmark::State& state) {
  for (auto _ : state) {
    const OpenResult opened = ReadSurveyFile(VesBytes());
    benchmark::DoNotOptimize(opened.stations.data());
  }
}

}  // namespace

BENCHMARK(BM_OpenVesFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenVesBytes)->Unit(benchmark::kMillisecond);
