#include "interp/layercount.h"

#include <cmath>

namespace {

// The continued fraction of the incomplete beta function (modified Lentz's method).
double BetaFraction(double a, double b, double x) {
  constexpr double kTiny = 1e-300;
  double c = 1.0;
  double d = 1.0 - (a + b) * x / (a + 1.0);
  if (std::abs(d) < kTiny) d = kTiny;
  d = 1.0 / d;
  double h = d;
  for (int m = 1; m <= 300; ++m) {
    const double mm = m;
    double aa = mm * (b - mm) * x / ((a + 2 * mm - 1) * (a + 2 * mm));
    d = 1.0 + aa * d;
    if (std::abs(d) < kTiny) d = kTiny;
    c = 1.0 + aa / c;
    if (std::abs(c) < kTiny) c = kTiny;
    d = 1.0 / d;
    h *= d * c;
    aa = -(a + mm) * (a + b + mm) * x / ((a + 2 * mm) * (a + 2 * mm + 1));
    d = 1.0 + aa * d;
    if (std::abs(d) < kTiny) d = kTiny;
    c = 1.0 + aa / c;
    if (std::abs(c) < kTiny) c = kTiny;
    d = 1.0 / d;
    const double step = d * c;
    h *= step;
    if (std::abs(step - 1.0) < 1e-14) break;
  }
  return h;
}

// The regularised incomplete beta function I_x(a, b).
double IncompleteBeta(double a, double b, double x) {
  if (x <= 0.0) return 0.0;
  if (x >= 1.0) return 1.0;
  const double front =
      std::exp(std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b) + a * std::log(x) + b * std::log1p(-x));
  if (x < (a + 1.0) / (a + b + 2.0)) return front * BetaFraction(a, b, x) / a;
  return 1.0 - front * BetaFraction(b, a, 1.0 - x) / b;
}

double FDistribution(double f, double d1, double d2) {
  return f <= 0.0 ? 0.0 : IncompleteBeta(d1 / 2, d2 / 2, d1 * f / (d1 * f + d2));
}

}  // namespace

double FQuantile(double p, double d1, double d2) {
  double lo = 0.0, hi = 1.0;
  while (FDistribution(hi, d1, d2) < p && hi < 1e12) hi *= 2.0;
  for (int i = 0; i < 200 && hi - lo > 1e-12 * hi; ++i) {
    const double mid = 0.5 * (lo + hi);
    (FDistribution(mid, d1, d2) < p ? lo : hi) = mid;
  }
  return 0.5 * (lo + hi);
}

bool FitsTheNoise(double chi2, int readings, int parameters) {
  const int dof = readings - parameters;
  if (dof <= 0) return false;
  return chi2 <= dof + 2.0 * std::sqrt(2.0 * dof);
}

int ChooseLayerCount(const std::vector<LayerCountFit>& fits, int readings) {
  if (fits.empty()) return 0;
  const LayerCountFit* taken = &fits.front();
  for (const LayerCountFit& f : fits) {
    if (FitsTheNoise(taken->chi2, readings, taken->parameters)) break;
    const int added = f.parameters - taken->parameters;
    const int dof = readings - f.parameters;
    if (added <= 0 || dof <= 0 || !(f.chi2 < taken->chi2)) continue;
    const double ratio = ((taken->chi2 - f.chi2) / added) / (f.chi2 / dof);
    if (f.chi2 == 0.0 || ratio > FQuantile(0.95, added, dof)) taken = &f;
  }
  return taken->layers;
}
