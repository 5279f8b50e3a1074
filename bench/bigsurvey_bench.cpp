// Big and unsorted surveys, which once froze an append:
//  - appending 100,000 stations of 49 spacings to a .ves file of 100,000, the new stations'
//    X falling between the file's so that the whole list is sorted (target: under 2 s), in
//    memory and through the save transaction to a real file;
//  - one station of 1,000,000 rows in descending AB/2, and with many equal spacings (target:
//    under 1 s);
//  - 20,000 .ves blocks of one name merged into one station (target: under 1 s).
// Before timing, the sorts are checked against the plain exchange sort on a list small enough
// for it, with many equal keys: a fast sort that gives another order is worth nothing.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>

#include "io/savetransaction.h"
#include "io/soundingdat.h"
#include "io/vesfile.h"
#include "model/stations.h"
#include "model/reference_sort.h"
#include "survey_data.h"

namespace {

constexpr int kBigSurvey = 100000;
constexpr std::size_t kBigStationRows = 1000000;
constexpr int kSameNameBlocks = 20000;

// Skips the benchmark with an error unless the fast order equals the reference on 4,000 keys
// drawn from distinct values of the given count.
bool OrderMatchesReference(benchmark::State& state, int distinct) {
  std::mt19937 random(static_cast<unsigned>(distinct));
  std::vector<float> keys(4000);
  for (float& k : keys) k = static_cast<float>(std::uniform_int_distribution<int>(0, distinct - 1)(random));
  if (ExchangeSortOrder(keys) == reference::ExchangeSortOrder(keys)) return true;
  state.SkipWithError("the fast order differs from the exchange sort");
  return false;
}

// The file's stations at X = 10 i, the new ones at X = 10 i + 5, named apart.
const std::string& BigVesFile() {
  static const std::string file = BuildVesFile(benchdata::Stations(0, kBigSurvey));
  return file;
}

const StationList& NewStationsBetween() {
  static const StationList stations = [] {
    StationList list = benchdata::Stations(kBigSurvey, kBigSurvey);
    for (std::size_t i = 0; i < list.size(); ++i) list[i].X = static_cast<float>(i) * 10.0f + 5.0f;
    return list;
  }();
  return stations;
}

std::string MergedVes(const std::string& bytes) {
  const VesReadResult read = ReadVesFile(bytes, {});
  StationList all = NewStationsBetween();
  MergeVesStations(all, read.stations);
  return BuildVesFile(std::move(all));
}

void BM_AppendVes_100000_To_100000_InMemory(benchmark::State& state) {
  if (!OrderMatchesReference(state, 50)) return;
  const std::string& existing = BigVesFile();
  NewStationsBetween();
  std::size_t written = 0;
  for (auto _ : state) {
    const std::string out = MergedVes(existing);
    written = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["file_MB"] = static_cast<double>(existing.size()) / 1e6;
  state.counters["written_MB"] = static_cast<double>(written) / 1e6;
}

void BM_AppendVes_100000_To_100000_ThroughTheSave(benchmark::State& state) {
  const std::string& existing = BigVesFile();
  NewStationsBetween();
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("fieldinput-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string target = (dir / "survey.ves").string();
  for (auto _ : state) {
    state.PauseTiming();
    std::ofstream(target, std::ios::binary) << existing;
    state.ResumeTiming();
    SaveTransaction save(target);
    const auto result = save.update([](const std::string& bytes, bool) { return std::optional<std::string>(MergedVes(bytes)); });
    if (result != SaveTransaction::UpdateResult::Saved) state.SkipWithError(save.problem().detail.c_str());
  }
  std::filesystem::remove_all(dir);
}

sdata OneStation(std::size_t rows, int distinct) {
  sdata s;
  s.Name = "1";
  std::mt19937 random(1);
  for (std::size_t r = 0; r < rows; ++r) {
    const float ab2 = distinct == 0 ? static_cast<float>(rows - r) * 0.5f
                                    : static_cast<float>(std::uniform_int_distribution<int>(1, distinct)(random));
    s.Columns[colAB2].push_back(ab2);
    for (int c = colRho; c <= colR; ++c) s.Columns[c].push_back(static_cast<float>(r));
  }
  s.SpacingCount = static_cast<std::int32_t>(rows);
  return s;
}

// distinct 0: every spacing different, in descending order; otherwise spacings drawn from
// 1 .. distinct, so that most are equal to many others.
void BM_SortRows_OneStationOf1000000(benchmark::State& state) {
  const int distinct = static_cast<int>(state.range(0));
  if (!OrderMatchesReference(state, distinct == 0 ? 4000 : distinct)) return;
  const sdata station = OneStation(kBigStationRows, distinct);
  for (auto _ : state) {
    state.PauseTiming();
    sdata copy = station;
    state.ResumeTiming();
    SortRowsBySpacing(copy);
    benchmark::DoNotOptimize(copy.Columns[colAB2].data());
  }
}

// The sounding .dat file of that station: fold, sort and write.
void BM_BuildSoundingDat_OneStationOf1000000Descending(benchmark::State& state) {
  const sdata station = OneStation(kBigStationRows, 0);
  for (auto _ : state) {
    const std::string out = BuildSoundingDatFile({station});
    benchmark::DoNotOptimize(out.data());
  }
}

// A .ves file of 20,000 blocks all named "S", read and merged: with the same 49 spacings in
// every block (folded into 49 rows) and with spacings that differ from block to block
// (980,000 rows, which are then sorted by the writer).
void BM_MergeSameName_20000Blocks(benchmark::State& state) {
  const bool sameSpacings = state.range(0) == 1;
  StationList blocks = benchdata::Stations(0, kSameNameBlocks);
  for (std::size_t b = 0; b < blocks.size(); ++b) {
    blocks[b].Name = "S";
    if (!sameSpacings)
      for (float& ab2 : blocks[b].Columns[colAB2]) ab2 += static_cast<float>(b) * 0.03125f;
  }
  std::string file;
  {
    // Written block by block: BuildVesFile would sort them.
    file = BuildVesFile({});
    file.erase(file.rfind("0\r\n"));
    file += std::to_string(blocks.size()) + "\r\n";
    for (const sdata& s : blocks) {
      TStation t;
      t.Name = s.Name;
      t.X = s.X;
      t.AB2 = s.Columns[colAB2];
      t.Rho = s.Columns[colRho];
      t.LayerCount = 1;
      t.Thickness = {100};
      t.LayerRho = {100};
      WriteVesStation(file, t);
    }
  }
  std::size_t rows = 0;
  for (auto _ : state) {
    const VesReadResult read = ReadVesFile(file, {});
    StationList all;
    MergeVesStations(all, read.stations);
    const std::string out = BuildVesFile(std::move(all));
    rows = read.stations.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["blocks"] = static_cast<double>(rows);
}

}  // namespace

BENCHMARK(BM_AppendVes_100000_To_100000_InMemory)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_AppendVes_100000_To_100000_ThroughTheSave)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SortRows_OneStationOf1000000)->Arg(0)->Arg(10)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_BuildSoundingDat_OneStationOf1000000Descending)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_MergeSameName_20000Blocks)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(3);
