#include "interp/kernel.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "interp/forward.h"

namespace {

void Refuse(const std::string& what) { throw std::invalid_argument("layer model: " + what); }

// With e = exp(-2 lambda h) and t = tanh(lambda h) = (1 - e) / (1 + e), one step of the recurrence
//   T_i = r_i (T + r_i t) / (r_i + T t)   (T the transform of the layers below)
// is   T_i = (T (1 + e) + r_i (1 - e)) / ((1 + e) + T (1 - e) / r_i)   — one division.
double Step(const ScaledLayers& m, int i, double below, double e) {
  return (below * (1.0 + e) + m.r[i] * (1.0 - e)) / ((1.0 + e) + below * (1.0 - e) * m.inverseR[i]);
}

// For the top layer (r = 1) the departure from 1,
//   T_1 - 1 = 2 e (T - 1) / ((1 + e) + T (1 - e)),
// is exact to rounding however small it is.
double TopDeparture(double below, double e) {
  return 2.0 * e * (below - 1.0) / ((1.0 + e) + below * (1.0 - e));
}

}  // namespace

ScaledLayers ScaleLayers(const LayerModel& model) {
  const std::size_t n = model.rho.size();
  if (n < 1 || n > static_cast<std::size_t>(kMaxLayers))
    Refuse(std::to_string(n) + " layers, not 1 to " + std::to_string(kMaxLayers));
  if (model.thickness.size() != n - 1)
    Refuse(std::to_string(model.thickness.size()) + " thicknesses for " + std::to_string(n) +
           " layers");
  for (std::size_t j = 0; j < n; ++j)
    if (!InForwardRange(model.rho[j]))
      Refuse("resistivity " + std::to_string(j + 1) + " out of range");
  for (std::size_t j = 0; j + 1 < n; ++j)
    if (!InForwardRange(model.thickness[j]))
      Refuse("thickness " + std::to_string(j + 1) + " out of range");

  ScaledLayers s;
  s.layers = static_cast<int>(n);
  s.rhoTop = model.rho[0];
  for (std::size_t j = 0; j < n; ++j) {
    s.r[j] = model.rho[j] / model.rho[0];
    s.inverseR[j] = model.rho[0] / model.rho[j];
    s.rLeast = std::min(s.rLeast, s.r[j]);
    s.rMost = std::max(s.rMost, s.r[j]);
  }
  for (std::size_t j = 0; j + 1 < n; ++j) s.thickness[j] = model.thickness[j];
  return s;
}

void KernelValues(const ScaledLayers& m, std::span<const double> lambda, std::span<double> g) {
  const int n = m.layers;
  for (std::size_t k = 0; k < lambda.size(); ++k) {
    if (n == 1) {
      g[k] = 0.0;
      continue;
    }
    const double l = lambda[k];
    double t = m.r[n - 1];
    for (int i = n - 2; i >= 1; --i) t = Step(m, i, t, std::exp(-2.0 * l * m.thickness[i]));
    g[k] = TopDeparture(t, std::exp(-2.0 * l * m.thickness[0]));
  }
}

// Backwards differentiation of the recurrence. With Dn = r (1 + e) + T (1 - e), q = r / Dn
// (at most 1) and T_i the step's result:
//   dT_i / dT        = 4 e q^2
//   dT_i / d ln r_i  = T_i - 4 e q^2 T
//   dT_i / d ln h_i  = 4 e (lambda h) q (r - T) (r + T) / Dn
// The derivative of T_1 with respect to T_i is the product of the dT/dT factors above layer i.
void KernelValuesAndDerivatives(const ScaledLayers& m, std::span<const double> lambda,
                                std::span<double> g, std::span<double> derivatives) {
  const int n = m.layers;
  const std::size_t count = lambda.size();
  const auto block = [&](int b) { return derivatives.subspan(b * count, count); };
  // below[i]: the transform of the layers under layer i; e[i] of layer i.
  std::array<double, kMaxLayers> below{}, es{};
  for (std::size_t k = 0; k < count; ++k) {
    if (n == 1) {
      g[k] = 0.0;
      continue;
    }
    const double l = lambda[k];
    double t = m.r[n - 1];
    for (int i = n - 2; i >= 0; --i) {
      below[i] = t;
      const double e = std::exp(-2.0 * l * m.thickness[i]);
      es[i] = e;
      if (i > 0) t = Step(m, i, t, e);
    }
    g[k] = TopDeparture(below[0], es[0]);

    double chain = 1.0;  // dT_1 / dT_i
    for (int i = 0; i <= n - 2; ++i) {
      const double e = es[i], r = m.r[i], tb = below[i];
      double dT = 0.0, dLnR = 0.0, dLnH = 0.0;
      if (e > 0.0) {
        const double dn = r * (1.0 + e) + tb * (1.0 - e);
        const double q = r / dn;
        const double fourEq = 4.0 * e * q;
        dT = fourEq * q;
        const double ti = r * (tb * (1.0 + e) + r * (1.0 - e)) / dn;
        dLnR = ti - dT * tb;
        dLnH = fourEq * (l * m.thickness[i]) * (r - tb) * ((r + tb) / dn);
      } else {
        dLnR = r;  // below the reach of lambda: T_i = r_i
      }
      if (i > 0) block(i - 1)[k] = chain * dLnR;
      block(n - 1 + i)[k] = chain * dLnH;
      chain *= dT;
    }
    block(n - 2)[k] = chain * m.r[n - 1];
  }
}
