// The automatic fit of a sounding: 49 readings (AB/2 from 1 m to 1 km, evenly spaced in log, 3 %
// noise) of a 6-layer earth fitted with 6 layers from the default start, also with a mistyped
// reading; the refit after one reading changed, from the previous model (what the window does
// while the user types); the automatic layer count; and the equivalence ranges of the 6-layer
// fit.
#include <benchmark/benchmark.h>

#include <vector>

#include "interp/equivalence.h"
#include "interp/fit.h"
#include "interp/synthetic.h"

namespace {

const LayerModel kSixLayers{{80, 20, 200, 10, 300, 40}, {2, 5, 12, 25, 60}};

std::vector<Reading> Readings() {
  return SyntheticReadings(kSixLayers, ArrayKind::SchlumbergerIdeal, LogSpacings(49, 1.0, 1000.0), 0.03, 5);
}

FitOptions Options(int layers) {
  FitOptions o;
  o.layers = layers;
  return o;
}

// The fit's figures beside the time: a fit that failed or missed the noise times the wrong thing.
void Check(benchmark::State& state, const FitResult& fit) {
  if (!fit.ok) state.SkipWithError("the fit failed");
  state.counters["chi2/N"] = fit.chi2PerReading;
  state.counters["layers"] = fit.model.layers();
}

void TimeFit(benchmark::State& state, const std::vector<Reading>& readings, const FitOptions& options) {
  Check(state, FitSounding(readings, ArrayKind::SchlumbergerIdeal, options));
  for (auto _ : state) {
    FitResult fit = FitSounding(readings, ArrayKind::SchlumbergerIdeal, options);
    benchmark::DoNotOptimize(fit);
  }
}

void BM_Fit6Layers49Readings(benchmark::State& state) { TimeFit(state, Readings(), Options(6)); }

// A mistyped reading (50 % off): no fit reaches the noise, so every start is tried, and then the
// 5-layer fit with a layer put in.
void BM_Fit6Layers49ReadingsOneMistyped(benchmark::State& state) {
  std::vector<Reading> readings = Readings();
  readings[30].rho *= 1.5;
  TimeFit(state, readings, Options(6));
}

void BM_Refit6LayersAfterOneReadingChanged(benchmark::State& state) {
  std::vector<Reading> readings = Readings();
  FitOptions options = Options(6);
  options.start = FitSounding(readings, ArrayKind::SchlumbergerIdeal, options).model;
  readings[25].rho *= 1.05;
  TimeFit(state, readings, options);
}

void BM_FitAutomaticLayerCount49Readings(benchmark::State& state) { TimeFit(state, Readings(), Options(0)); }

void BM_EquivalenceRanges6Layers(benchmark::State& state) {
  const std::vector<Reading> readings = Readings();
  const FitResult fit = FitSounding(readings, ArrayKind::SchlumbergerIdeal, Options(6));
  Check(state, fit);
  for (auto _ : state) {
    Equivalence eq = EquivalenceRanges(readings, ArrayKind::SchlumbergerIdeal, Options(6), fit);
    benchmark::DoNotOptimize(eq);
  }
}

}  // namespace

BENCHMARK(BM_Fit6Layers49Readings)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Fit6Layers49ReadingsOneMistyped)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Refit6LayersAfterOneReadingChanged)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FitAutomaticLayerCount49Readings)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EquivalenceRanges6Layers)->Unit(benchmark::kMillisecond);
