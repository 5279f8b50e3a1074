#include "interp/transform.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>

namespace {

constexpr int kPoints = LaggedTransform::kInterpolationPoints;

// The grid points and Lagrange weights that interpolate at ln s = u on the grid ln s_g = g * step:
// points g0 - P/2 + 1 .. g0 + P/2 around the cell [g0, g0 + 1] holding u.
struct Stencil {
  long first = 0;
  std::array<double, kPoints> weight{};
};

Stencil StencilAt(double u, double step) {
  const double t = u / step;
  const double cell = std::floor(t);
  const double frac = t - cell;
  Stencil s;
  s.first = static_cast<long>(cell) - kPoints / 2 + 1;
  for (int p = 0; p < kPoints; ++p) {
    const double xp = p - kPoints / 2 + 1;
    double w = 1.0;
    for (int q = 0; q < kPoints; ++q) {
      if (q == p) continue;
      const double xq = q - kPoints / 2 + 1;
      w *= (frac - xq) / (xp - xq);
    }
    s.weight[p] = w;
  }
  return s;
}

}  // namespace

LaggedTransform::LaggedTransform(const HankelFilter& filter,
                                 const std::vector<std::vector<Term>>& outputs) {
  const long n = static_cast<long>(filter.weight.size());
  const double step = filter.step;
  std::vector<double> filterWeight(n);  // weight_k * base_k
  for (long k = 0; k < n; ++k)
    filterWeight[k] = filter.weight[k] * std::exp(filter.logBase0 + k * step);

  // Grid point g of the filter's k-th abscissa needs lambda_m, m = k - g.
  struct Span {
    long gLow = LONG_MAX, gHigh = LONG_MIN;
  };
  std::vector<std::vector<Stencil>> stencils(outputs.size());
  std::vector<Span> spans(outputs.size());
  long mLow = LONG_MAX, mHigh = LONG_MIN;
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    for (const Term& term : outputs[i]) {
      const Stencil s = StencilAt(std::log(term.spacing), step);
      spans[i].gLow = std::min(spans[i].gLow, s.first);
      spans[i].gHigh = std::max(spans[i].gHigh, s.first + kPoints - 1);
      stencils[i].push_back(s);
    }
    if (outputs[i].empty()) continue;
    mLow = std::min(mLow, -spans[i].gHigh);
    mHigh = std::max(mHigh, n - 1 - spans[i].gLow);
  }
  if (mLow > mHigh) mLow = mHigh = 0;
  lambda_.resize(mHigh - mLow + 1);
  for (long m = mLow; m <= mHigh; ++m) lambda_[m - mLow] = std::exp(filter.logBase0 + m * step);

  rows_.resize(outputs.size());
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    if (outputs[i].empty()) continue;
    const long rowLow = -spans[i].gHigh;
    Row& row = rows_[i];
    row.first = static_cast<std::size_t>(rowLow - mLow);
    row.weights.assign(n - 1 - spans[i].gLow - rowLow + 1, 0.0);
    for (std::size_t t = 0; t < outputs[i].size(); ++t) {
      const Stencil& s = stencils[i][t];
      for (int p = 0; p < kPoints; ++p) {
        const double c = outputs[i][t].coefficient * s.weight[p];
        const long g = s.first + p;
        double* w = row.weights.data() + (-g - rowLow);  // m = k - g for k = 0
        for (long k = 0; k < n; ++k) w[k] += c * filterWeight[k];
      }
    }
  }
}

double LaggedTransform::apply(std::size_t i, std::span<const double> g) const {
  const Row& row = rows_[i];
  const double* w = row.weights.data();
  const double* x = g.data() + row.first;
  const std::size_t n = row.weights.size();
  // Four independent sums: the additions of one would wait for each other.
  double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
  std::size_t k = 0;
  for (; k + 4 <= n; k += 4) {
    s0 += w[k] * x[k];
    s1 += w[k + 1] * x[k + 1];
    s2 += w[k + 2] * x[k + 2];
    s3 += w[k + 3] * x[k + 3];
  }
  for (; k < n; ++k) s0 += w[k] * x[k];
  return (s0 + s1) + (s2 + s3);
}
