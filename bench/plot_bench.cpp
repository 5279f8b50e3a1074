// The plot pane's computations after one cell edit: the curve of a 100-row station from the
// grid's cell texts with its outliers, and the crossings of the two branches of a line.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "plot/crossings.h"
#include "plot/outliers.h"

namespace {

constexpr int kRows = 100;

std::string Typed(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.4g", v);
  return buf;
}

// A smooth sounding curve as typed, with a mistyped reading, a blank cell and a repeated
// spacing, so that every path of the computation runs.
void SoundingTexts(std::vector<std::string>& ab2, std::vector<std::string>& rho) {
  for (int r = 0; r < kRows; ++r) {
    const double a = 1.5 * std::pow(1.08, r);
    const double t = std::log(a / 30.0);
    ab2.push_back(Typed(a));
    rho.push_back(Typed(std::pow(10.0, 2.0 - 0.8 * std::exp(-t * t / 2.0))));
  }
  rho[40] = Typed(std::stod(rho[40]) * 10.0);
  rho[70].clear();
  ab2[85] = ab2[84];
}

Series Branch(double phase) {
  std::vector<float> points, rho;
  for (int r = 0; r < kRows; ++r) {
    points.push_back(static_cast<float>(r * 10));
    rho.push_back(static_cast<float>(100.0 + 60.0 * std::sin(r / 7.0 + phase)));
  }
  return SeriesFromColumns(CurveKind::Profile, points, rho);
}

}  // namespace

static void BM_SoundingSeriesAndOutliers_100Rows(benchmark::State& state) {
  std::vector<std::string> ab2, rho;
  SoundingTexts(ab2, rho);
  for (auto _ : state) {
    Series s = SeriesFromTexts(CurveKind::Sounding, ab2, rho);
    std::vector<PlotPoint> outliers = FindOutliers(s);
    benchmark::DoNotOptimize(s.segments.data());
    benchmark::DoNotOptimize(outliers.data());
  }
}
BENCHMARK(BM_SoundingSeriesAndOutliers_100Rows)->Unit(benchmark::kMicrosecond);

static void BM_CombinedProfileCrossings_100Points(benchmark::State& state) {
  const Series a = Branch(0.0), b = Branch(2.0);
  for (auto _ : state) {
    std::vector<Crossing> c = FindCrossings(a, b);
    benchmark::DoNotOptimize(c.data());
  }
}
BENCHMARK(BM_CombinedProfileCrossings_100Points)->Unit(benchmark::kMicrosecond);
