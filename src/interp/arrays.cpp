#include "interp/arrays.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace {

// Gauss-Legendre nodes and weights on [-1, 1] (Newton's method on the Legendre polynomial).
void GaussLegendre(int n, std::vector<double>& x, std::vector<double>& w) {
  x.assign(n, 0.0);
  w.assign(n, 0.0);
  for (int i = 0; i < n; ++i) {
    double z = std::cos(std::numbers::pi * (i + 0.75) / (n + 0.5));
    double dp = 1.0;
    for (int it = 0; it < 100; ++it) {
      double p0 = 1.0, p1 = z;
      for (int j = 2; j <= n; ++j) {
        const double p2 = ((2 * j - 1) * z * p1 - (j - 1) * p0) / j;
        p0 = p1;
        p1 = p2;
      }
      dp = n * (z * p1 - p0) / (z * z - 1.0);
      const double dz = p1 / dp;
      z -= dz;
      if (std::fabs(dz) < 1e-16) break;
    }
    x[i] = z;
    w[i] = 2.0 / ((1.0 - z * z) * dp * dp);
  }
}

std::vector<LaggedTransform::Term> FiniteMn(double ab2, double mn2) {
  const double r1 = ab2 - mn2, r2 = ab2 + mn2;
  const double u1 = std::log(r1), u2 = std::log(r2);
  const double mid = (u1 + u2) / 2, half = (u2 - u1) / 2;
  std::vector<double> x, w;
  GaussLegendre(QuadratureNodes(ab2, mn2), x, w);
  // (L^2 - l^2) / (2 l) = r1 r2 / (r2 - r1)
  const double scale = r1 * r2 / (r2 - r1) * half;
  std::vector<LaggedTransform::Term> terms(x.size());
  for (std::size_t q = 0; q < x.size(); ++q) {
    const double u = mid + half * x[q];
    const double r = std::exp(u);
    terms[q] = {r, scale * w[q] / r};
  }
  return terms;
}

}  // namespace

int QuadratureNodes(double ab2, double mn2) {
  // Gauss-Legendre on [-1, 1] for a function analytic inside the ellipse with foci -1, 1 and
  // semi-axes sum rho errs by about rho^(-2n). The integrand is analytic for |Im ln r| < pi / 2;
  // staying at 1.2 keeps away from the singularities on the strip's edge.
  const double half = std::log((ab2 + mn2) / (ab2 - mn2)) / 2;
  const double b = 1.2 / half;
  const double rho = b + std::sqrt(1.0 + b * b);
  const int n = static_cast<int>(std::ceil(std::log(1e15) / (2.0 * std::log(rho))));
  return std::clamp(n, 4, 128);
}

std::vector<LaggedTransform::Term> ArrayTerms(ArrayKind kind, const Spacing& spacing) {
  if (!InForwardRange(spacing.ab2)) throw std::invalid_argument("spacing: AB/2 out of range");
  switch (kind) {
    case ArrayKind::SchlumbergerIdeal:
      return {{spacing.ab2, 1.0}};
    case ArrayKind::Schlumberger:
      if (!InForwardRange(spacing.mn2) || !(spacing.mn2 < spacing.ab2))
        throw std::invalid_argument("spacing: MN/2 must be positive and shorter than AB/2");
      return FiniteMn(spacing.ab2, spacing.mn2);
    case ArrayKind::Wenner:
      return FiniteMn(spacing.ab2, spacing.ab2 / 3.0);
  }
  throw std::invalid_argument("spacing: unknown array");
}
