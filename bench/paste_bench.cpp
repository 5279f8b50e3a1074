// Pasting a block of 10,000 rows x 7 columns copied from a spreadsheet into a four-pole grid
// (the grid grows to 10,000 points; the three columns beyond its last are dropped with one
// message), the text split alone, and the undo and redo of that paste; and the memory the undo
// history holds after a paste of 100,000 rows.
#include <benchmark/benchmark.h>

#include <string>

#include "session/gridblock.h"
#include "session/survey.h"
#include "silent_questions.h"

namespace {

constexpr int kRows = 10000;

// Point, AB/2, MN/2, resistivity and three more readings per line, as a spreadsheet copies them.
std::string Block() {
  std::string text;
  for (int r = 1; r <= kRows; ++r) {
    text += std::to_string(r * 10) + "\t50\t20\t" + std::to_string(100 + r % 997) + ".25\t1.5\t45.5\t0.75\r\n";
  }
  return text;
}

// A four-pole survey with a grid of 4 points.
void Prepare(Survey& s) {
  s.switchType(dtFourPoleProfile);
  s.editField(Field::EAB, "4");
  s.checkCount();
}

void BM_ParseTenThousandBySeven(benchmark::State& state) {
  const std::string text = Block();
  for (auto _ : state) {
    TextBlock block = ParseBlock(text);
    benchmark::DoNotOptimize(block);
  }
}
BENCHMARK(BM_ParseTenThousandBySeven)->Unit(benchmark::kMillisecond);

void BM_PasteTenThousandBySeven(benchmark::State& state) {
  SilentQuestions q;
  Survey s(q, "/tmp/bin/input");
  Prepare(s);
  const std::string text = Block();
  for (auto _ : state) {
    if (!s.paste(1, 1, text)) state.SkipWithError("paste refused");
    state.PauseTiming();
    s.undo();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_PasteTenThousandBySeven)->Unit(benchmark::kMillisecond);

void BM_UndoPasteOfTenThousand(benchmark::State& state) {
  SilentQuestions q;
  Survey s(q, "/tmp/bin/input");
  Prepare(s);
  const std::string text = Block();
  for (auto _ : state) {
    state.PauseTiming();
    if (!s.paste(1, 1, text)) state.SkipWithError("paste refused");
    state.ResumeTiming();
    if (!s.undo()) state.SkipWithError("nothing to undo");
  }
}
BENCHMARK(BM_UndoPasteOfTenThousand)->Unit(benchmark::kMillisecond);

void BM_RedoPasteOfTenThousand(benchmark::State& state) {
  SilentQuestions q;
  Survey s(q, "/tmp/bin/input");
  Prepare(s);
  s.paste(1, 1, Block());
  for (auto _ : state) {
    state.PauseTiming();
    s.undo();
    state.ResumeTiming();
    if (!s.redo()) state.SkipWithError("nothing to redo");
  }
}
BENCHMARK(BM_RedoPasteOfTenThousand)->Unit(benchmark::kMillisecond);

// 100,000 rows of a four-pole line pasted (point, AB/2, MN/2, resistivity): the time, and the
// memory the paste's step holds in the history (one block of cells, not an entry per cell).
void BM_PasteHundredThousandRows(benchmark::State& state) {
  std::string text;
  for (int r = 1; r <= 100000; ++r) text += std::to_string(r * 10) + "\t50\t20\t" + std::to_string(100 + r % 997) + ".25\n";
  double mib = 0;
  for (auto _ : state) {
    state.PauseTiming();
    SilentQuestions q;
    Survey s(q, "/tmp/bin/input");
    Prepare(s);
    const std::size_t before = s.historyBytes();
    state.ResumeTiming();
    if (!s.paste(1, 1, text)) state.SkipWithError("paste refused");
    state.PauseTiming();
    mib = static_cast<double>(s.historyBytes() - before) / (1024.0 * 1024.0);
    state.ResumeTiming();
  }
  state.counters["history_MiB"] = mib;
}
BENCHMARK(BM_PasteHundredThousandRows)->Unit(benchmark::kMillisecond)->Iterations(3);
}  // namespace
