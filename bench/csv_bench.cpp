// CSV export and import (the preview, which reads and checks every cell) of 10,000 stations
// of 49 readings, per data type. The import must give back the exported survey, or the
// benchmark stops with an error.
#include <benchmark/benchmark.h>

#include <map>
#include <string>

#include "io/csvexport.h"
#include "session/datatypespec.h"
#include "io/csvimport.h"
#include "survey_data.h"

namespace {

// The benchmark survey as the commit of the type leaves it: the type's grid columns filled,
// the others zero or empty. The profiles number their points 10, 20, ... with MN/2 = AB/2 / 5.
StationList SurveyOf(DataType type) {
  StationList stations = benchdata::Stations(0, benchdata::kStations);
  for (sdata& s : stations) {
    const std::size_t rows = s.Columns[colAB2].size();
    if (type != dtWaterFinding)
      for (int k : LayoutFor(type).zeroFilled) s.Columns[k].assign(rows, 0.0f);
    if (!IsSoundingType(type)) {
      for (std::size_t r = 0; r < rows; ++r) {
        s.Columns[colPointNo].push_back(10.0f * static_cast<float>(r + 1));
        s.Columns[colMN2].push_back(s.Columns[colAB2][r] / 5.0f);
      }
    }
    if (type == dtFourPoleProfile) s.Profile = s.Name;
  }
  return stations;
}

const StationList& Survey(DataType type) {
  static std::map<DataType, StationList> surveys;
  auto it = surveys.find(type);
  if (it == surveys.end()) it = surveys.emplace(type, SurveyOf(type)).first;
  return it->second;
}

void BM_CsvExport(benchmark::State& state) {
  const auto type = static_cast<DataType>(state.range(0));
  const StationList& survey = Survey(type);
  std::size_t bytes = 0;
  for (auto _ : state) {
    std::string csv = BuildCsvExport(type, survey);
    bytes = csv.size();
    benchmark::DoNotOptimize(csv.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
}

void BM_CsvImport(benchmark::State& state) {
  const auto type = static_cast<DataType>(state.range(0));
  const std::string csv = BuildCsvExport(type, Survey(type));
  {
    const CsvPreview check = PreviewCsv(csv);
    if (!check.CanImport() || check.type != type || check.stations != Survey(type)) {
      state.SkipWithError("the import does not give back the exported survey");
      return;
    }
  }
  for (auto _ : state) {
    CsvPreview preview = PreviewCsv(csv);
    benchmark::DoNotOptimize(preview.stations.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(csv.size()) * state.iterations());
}

void BM_CsvCheckImported(benchmark::State& state) {
  const auto type = static_cast<DataType>(state.range(0));
  const CsvPreview preview = PreviewCsv(BuildCsvExport(type, Survey(type)));
  for (auto _ : state) {
    auto problems = CheckImportedStations(type, {}, preview.stations, preview.stationRows);
    benchmark::DoNotOptimize(problems.data());
  }
}

void Types(benchmark::internal::Benchmark* b) {
  for (DataType t : {dtSounding, dtWaterFinding, dtFourPoleProfile}) b->Arg(t);
}

}  // namespace

BENCHMARK(BM_CsvExport)->Apply(Types)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CsvImport)->Apply(Types)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CsvCheckImported)->Apply(Types)->Unit(benchmark::kMillisecond);
