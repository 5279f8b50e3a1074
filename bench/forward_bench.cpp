// The forward model of a layered earth: a sounding curve of 49 spacings (AB/2 from 1 m to
// 3 km, evenly spaced in log, as a field sounding is) for a 6-layer model, with and without the
// Jacobian the fit needs, for each array; and the preparation for a set of spacings.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "interp/forward.h"

namespace {

constexpr int kSpacings = 49;

std::vector<Spacing> Spacings() {
  std::vector<Spacing> s;
  for (int i = 0; i < kSpacings; ++i) {
    const double ab2 = std::pow(10.0, 3.5 * i / (kSpacings - 1));
    s.push_back({ab2, ab2 / 10.0});
  }
  return s;
}

const LayerModel kSixLayers{{50, 5, 500, 2, 200, 0.5}, {1, 3, 10, 30, 100}};

void BM_Prepare(benchmark::State& state) {
  const auto kind = static_cast<ArrayKind>(state.range(0));
  const std::vector<Spacing> spacings = Spacings();
  for (auto _ : state) {
    ForwardModel forward(kind, spacings);
    benchmark::DoNotOptimize(forward);
  }
}

void BM_Curve(benchmark::State& state) {
  const ForwardModel forward(static_cast<ArrayKind>(state.range(0)), Spacings());
  std::vector<double> rhoa(forward.size());
  for (auto _ : state) {
    forward.apparentResistivity(kSixLayers, rhoa);
    benchmark::DoNotOptimize(rhoa.data());
  }
}

void BM_CurveAndJacobian(benchmark::State& state) {
  const ForwardModel forward(static_cast<ArrayKind>(state.range(0)), Spacings());
  std::vector<double> rhoa(forward.size());
  std::vector<double> jacobian(forward.size() * (2 * kSixLayers.layers() - 1));
  for (auto _ : state) {
    forward.apparentResistivity(kSixLayers, rhoa, jacobian);
    benchmark::DoNotOptimize(jacobian.data());
  }
}

// Arguments: 0 ideal Schlumberger, 1 Schlumberger with MN/2 = AB/2 / 10, 2 Wenner.
BENCHMARK(BM_Prepare)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Curve)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CurveAndJacobian)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

}  // namespace
