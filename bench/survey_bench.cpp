// The survey's commands on a large survey: committing one station into 10,000 (the checks, the
// record built from the typed texts, the x-ordered insertion, the form prepared for the next
// station), and starting a new line or switching the data type with 10,000 stations in memory.
#include <benchmark/benchmark.h>

#include "session/survey.h"
#include "silent_questions.h"
#include "survey_data.h"

namespace {

// A survey of 10,000 committed stations, saved, with the 13 default spacings typed for the next.
void TypeNextStation(Survey& s, int name) {
  s.editField(Field::ES, "S" + std::to_string(name));
  s.editField(Field::EX, std::to_string(name * 10 + 5));
  for (int r = 1; r <= 13; ++r) s.editCell(2, r, std::to_string(100 + r));
}

void BM_CommitIntoTenThousand(benchmark::State& state) {
  SilentQuestions q;
  Survey s(q, "/tmp/bin/input");
  s.load(dtSounding, benchdata::Stations(0, benchdata::kStations), 0, true);
  const StationList all = s.stations();
  for (auto _ : state) {
    state.PauseTiming();
    s.load(dtSounding, all, 0, true);
    TypeNextStation(s, 5000);
    state.ResumeTiming();
    if (!s.commit()) state.SkipWithError("commit refused");
  }
}
BENCHMARK(BM_CommitIntoTenThousand)->Unit(benchmark::kMicrosecond);

void BM_NewLineOfTenThousand(benchmark::State& state) {
  SilentQuestions q;
  Survey s(q, "/tmp/bin/input");
  const StationList all = benchdata::Stations(0, benchdata::kStations);
  for (auto _ : state) {
    state.PauseTiming();
    s.load(dtSounding, all, 0, false);
    state.ResumeTiming();
    if (!s.newLine()) state.SkipWithError("new line refused");
  }
}
BENCHMARK(BM_NewLineOfTenThousand)->Unit(benchmark::kMicrosecond);

void BM_SwitchTypeWithTenThousand(benchmark::State& state) {
  SilentQuestions q;
  Survey s(q, "/tmp/bin/input");
  const StationList all = benchdata::Stations(0, benchdata::kStations);
  int type = 0;
  for (auto _ : state) {
    state.PauseTiming();
    s.load(s.type(), all, 0, false);
    type = 1 - type;
    state.ResumeTiming();
    if (!s.switchType(static_cast<DataType>(type))) state.SkipWithError("switch refused");
  }
}
BENCHMARK(BM_SwitchTypeWithTenThousand)->Unit(benchmark::kMicrosecond);
}  // namespace
