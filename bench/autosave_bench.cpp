// One autosave of a survey of 10,000 stations of 49 rows. The UI thread's part: the session's
// texts (every change) and the stations block (only after the station list changed). The
// worker's part: the whole file encoded with its checksum, written to a temporary file, flushed
// to disk and renamed over the recovery file. And all of it in a row, as one autosave.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "session/recovery.h"
#include "session/recoverystore.h"
#include "session/survey.h"
#include "silent_questions.h"
#include "survey_data.h"

namespace {

struct BigSurvey {
  SilentQuestions q;
  Survey survey{q, "/tmp/bin/input"};
  BigSurvey() {
    survey.load(dtSounding, benchdata::Stations(0, benchdata::kStations), 0, false);
    for (int r = 1; r <= 13; ++r) survey.editCell(2, r, std::to_string(100 + r));
  }
};

BigSurvey& Big() {
  static BigSurvey big;
  return big;
}

// A recovery store in a fresh folder below the system's temporary folder.
class BenchStore {
 public:
  BenchStore()
      : folder_(std::filesystem::temp_directory_path() / ("fieldinput-autosave-bench-" + std::to_string(::getpid()))),
        store_(folder_.string()) {
    std::string error;
    open_ = store_.open(error);
  }
  ~BenchStore() {
    store_.finish();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  bool open() const { return open_; }
  RecoveryStore& store() { return store_; }

 private:
  std::filesystem::path folder_;
  RecoveryStore store_;
  bool open_ = false;
};

// UI thread, every change: the session without its stations.
void BM_SnapshotSession(benchmark::State& state) {
  const Survey& s = Big().survey;
  for (auto _ : state) {
    SessionState session = s.sessionState();
    benchmark::DoNotOptimize(session.form.grid.rows());
  }
}

// UI thread, after the station list changed: the stations block.
void BM_EncodeStations(benchmark::State& state) {
  const Survey& s = Big().survey;
  std::size_t bytes = 0;
  for (auto _ : state) {
    const std::string block = EncodeRecoveryStations(s.stations());
    bytes = block.size();
    benchmark::DoNotOptimize(block.data());
  }
  state.counters["block_bytes"] = static_cast<double>(bytes);
}

// Worker: the head of the file, with the checksum over the session and the stations block.
void BM_EncodeHead(benchmark::State& state) {
  const Survey& s = Big().survey;
  const SessionState session = s.sessionState();
  const std::string block = EncodeRecoveryStations(s.stations());
  for (auto _ : state) {
    const std::string head = EncodeRecoveryHead(session, block);
    benchmark::DoNotOptimize(head.data());
  }
}

// Runs write on a recovery store in a fresh folder in every iteration.
void WriteEach(benchmark::State& state, const std::function<bool(RecoveryStore&, std::string&)>& write) {
  BenchStore store;
  if (!store.open()) {
    state.SkipWithError("cannot open the recovery store");
    return;
  }
  for (auto _ : state) {
    std::string error;
    if (!write(store.store(), error)) state.SkipWithError(error.c_str());
  }
}

// Worker: written whole, flushed to disk, renamed over the recovery file.
void BM_WriteFile(benchmark::State& state) {
  const Survey& s = Big().survey;
  const std::string file = EncodeRecoveryFile(s.sessionState(), EncodeRecoveryStations(s.stations()));
  WriteEach(state, [&](RecoveryStore& store, std::string& error) { return store.write(file, error); });
  state.counters["file_bytes"] = static_cast<double>(file.size());
}

// One whole autosave after a change of the station list, in a row on one thread, as the UI
// thread and the worker do it: the snapshot and stations block, the head, both written.
void BM_WholeAutosave(benchmark::State& state) {
  const Survey& s = Big().survey;
  WriteEach(state, [&](RecoveryStore& store, std::string& error) {
    const SessionState session = s.sessionState();
    const std::string block = EncodeRecoveryStations(s.stations());
    return store.write({EncodeRecoveryHead(session, block), block}, error);
  });
}

// Start-up after a crash: the file read back.
void BM_DecodeFile(benchmark::State& state) {
  const Survey& s = Big().survey;
  const std::string file = EncodeRecoveryFile(s.sessionState(), EncodeRecoveryStations(s.stations()));
  for (auto _ : state) {
    const RecoveryReadResult read = DecodeRecoveryFile(file);
    if (!read.ok) state.SkipWithError(read.error.c_str());
    benchmark::DoNotOptimize(read.stations.data());
  }
}

}  // namespace

BENCHMARK(BM_SnapshotSession)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EncodeStations)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeHead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeAutosave)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeFile)->Unit(benchmark::kMillisecond);
