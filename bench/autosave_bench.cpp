// Autosave of a survey of 10,000 and 200,000 stations of 49 rows. What an autosave writes after
// a keystroke and after a station commit (bytes_per_change: the record appended, flushed to
// disk), and the UI thread's part of it (taking what changed). The whole file, as it is written
// now and then (file_bytes; spread over the changes between two such writes, it adds at most
// four bytes per byte of keystroke records, and file_bytes / 4096 per commit), and read back at
// start-up.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>

#include "session/recovery.h"
#include "session/recoverystore.h"
#include "session/survey.h"
#include "silent_questions.h"
#include "survey_data.h"

namespace {

// A survey of count stations with readings typed, followed into a recovery file in a fresh
// folder below the system's temporary folder; its whole file is written.
class Followed {
 public:
  explicit Followed(int count)
      : folder_(std::filesystem::temp_directory_path() /
                ("fieldinput-autosave-bench-" + std::to_string(::getpid()) + "-" + std::to_string(count))),
        made_(std::filesystem::create_directory(folder_)),
        store_(folder_.string(), "recovery") {
    survey.load(dtSounding, benchdata::Stations(0, count), 0, false);
    for (int r = 1; r <= 13; ++r) survey.editCell(2, r, std::to_string(100 + r));
    std::filesystem::permissions(folder_, std::filesystem::perms::owner_all);
    std::string error;
    open_ = made_ && store_.open(error);
    tracker_ = std::make_unique<RecoveryTracker>(survey);
    writer_ = std::make_unique<RecoveryWriter>(store_);
    if (open_) open_ = autosave();
  }
  ~Followed() {
    writer_->stop();
    store_.finish();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  bool open() const { return open_; }
  // One autosave, as the timer runs it, waited for.
  bool autosave() {
    writer_->post(tracker_->take());
    return writer_->flush();
  }
  RecoveryTracker& tracker() { return *tracker_; }
  RecoveryStore& store() { return store_; }
  std::uint64_t written() const { return store_.bytesWritten(); }

  SilentQuestions q;
  Survey survey{q, "/tmp/bin/input"};

 private:
  std::filesystem::path folder_;  // the data folder (owner-only, as the store wants it)
  bool made_;
  RecoveryStore store_;
  std::unique_ptr<RecoveryTracker> tracker_;
  std::unique_ptr<RecoveryWriter> writer_;
  bool open_ = false;
};

Followed& FollowedSurvey(int count) {
  static std::map<int, std::unique_ptr<Followed>> surveys;
  auto& followed = surveys[count];
  if (!followed) followed = std::make_unique<Followed>(count);
  return *followed;
}

// change(survey, n) for the n-th iteration, then its autosave, waited for: the time, and the
// bytes written to the recovery file per change.
void AutosaveEach(benchmark::State& state, const std::function<bool(Survey&, int)>& change) {
  Followed& f = FollowedSurvey(static_cast<int>(state.range(0)));
  if (!f.open()) {
    state.SkipWithError("cannot open the recovery store");
    return;
  }
  const std::uint64_t before = f.written();
  static int n = 0;
  for (auto _ : state) {
    if (!change(f.survey, ++n)) state.SkipWithError("the change was refused");
    if (!f.autosave()) state.SkipWithError("autosave failed");
  }
  state.counters["bytes_per_change"] =
      benchmark::Counter(static_cast<double>(f.written() - before), benchmark::Counter::kAvgIterations);
}

// A keystroke in a grid cell: the record appended and flushed to disk.
void BM_KeystrokeAutosave(benchmark::State& state) {
  AutosaveEach(state, [](Survey& s, int n) {
    s.editCell(2, 5, std::to_string(100 + n % 1000) + ".5");
    return true;
  });
}

// A station committed (13 readings typed, an x between two stations of the list).
void BM_CommitAutosave(benchmark::State& state) {
  AutosaveEach(state, [](Survey& s, int n) {
    for (int r = 1; r <= 13; ++r) s.editCell(2, r, std::to_string(200 + r));
    s.editField(Field::EX, std::to_string(5 + 10 * n) + ".5");
    return s.commit();
  });
}

// The UI thread's part of a keystroke's autosave: taking what changed.
void BM_TakeKeystroke(benchmark::State& state) {
  Followed& f = FollowedSurvey(static_cast<int>(state.range(0)));
  int n = 0;
  for (auto _ : state) {
    state.PauseTiming();
    f.survey.editCell(2, 6, std::to_string(++n % 1000));
    state.ResumeTiming();
    RecoveryChange change = f.tracker().take();
    benchmark::DoNotOptimize(change.cells.data());
  }
}

// The UI thread's part after the list was replaced (a file opened, a session restored): the
// whole session copied for the worker, once.
void BM_TakeEverything(benchmark::State& state) {
  Followed& f = FollowedSurvey(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    f.tracker().takeEverythingNext();
    RecoveryChange change = f.tracker().take();
    benchmark::DoNotOptimize(change.newStations.data());
  }
}

// The whole file of a session, encoded and handed on in pieces (as it is written now and then).
void BM_EncodeWholeFile(benchmark::State& state) {
  Followed& f = FollowedSurvey(static_cast<int>(state.range(0)));
  const SessionState session = f.survey.sessionState();
  std::uint64_t bytes = 0;
  for (auto _ : state) {
    bytes = 0;
    WriteRecoveryBase(session, f.survey.stations(), [&](std::string_view piece) {
      bytes += piece.size();
      benchmark::DoNotOptimize(piece.data());
      return true;
    });
  }
  state.counters["file_bytes"] = static_cast<double>(bytes);
}

// The whole file written again, as the worker does it now and then (when the records reach a
// quarter of it or 4096 station changes): encoded, written, flushed to disk, renamed.
void BM_WriteWholeFile(benchmark::State& state) {
  Followed& f = FollowedSurvey(static_cast<int>(state.range(0)));
  if (!f.open()) {
    state.SkipWithError("cannot open the recovery store");
    return;
  }
  const SessionState session = f.survey.sessionState();
  std::uint64_t bytes = 0;
  for (auto _ : state) {
    const std::uint64_t before = f.written();
    std::string error;
    if (!f.store().writeWhole([&](const auto& put) { return WriteRecoveryBase(session, f.survey.stations(), put); },
                              error))
      state.SkipWithError(error.c_str());
    bytes = f.written() - before;
  }
  state.counters["file_bytes"] = static_cast<double>(bytes);
}

// Start-up after a crash: the whole file read back.
void BM_DecodeFile(benchmark::State& state) {
  Followed& f = FollowedSurvey(static_cast<int>(state.range(0)));
  const std::string file = EncodeRecoveryFile(f.survey.sessionState(), EncodeRecoveryStations(f.survey.stations()));
  for (auto _ : state) {
    const RecoveryReadResult read = DecodeRecoveryFile(file);
    if (!read.ok) state.SkipWithError(read.error.c_str());
    benchmark::DoNotOptimize(read.stations.data());
  }
}

}  // namespace

BENCHMARK(BM_KeystrokeAutosave)->Arg(benchdata::kStations)->Arg(200000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CommitAutosave)->Arg(benchdata::kStations)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TakeKeystroke)->Arg(benchdata::kStations)->Arg(200000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TakeEverything)->Arg(benchdata::kStations)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeWholeFile)->Arg(benchdata::kStations)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteWholeFile)->Arg(benchdata::kStations)->Arg(200000)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_DecodeFile)->Arg(benchdata::kStations)->Unit(benchmark::kMillisecond);
