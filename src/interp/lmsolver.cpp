#include "interp/lmsolver.h"

#include <algorithm>
#include <cmath>

namespace {

// Solves the symmetric positive definite system a·x = b in place (b becomes x) by Cholesky
// decomposition; a (k×k, row-major) is overwritten. False when a is not positive definite.
bool CholeskySolve(std::vector<double>& a, std::vector<double>& b, std::size_t k) {
  for (std::size_t j = 0; j < k; ++j) {
    double d = a[j * k + j];
    for (std::size_t p = 0; p < j; ++p) d -= a[j * k + p] * a[j * k + p];
    if (!(d > 0.0)) return false;
    d = std::sqrt(d);
    a[j * k + j] = d;
    for (std::size_t i = j + 1; i < k; ++i) {
      double s = a[i * k + j];
      for (std::size_t p = 0; p < j; ++p) s -= a[i * k + p] * a[j * k + p];
      a[i * k + j] = s / d;
    }
  }
  for (std::size_t i = 0; i < k; ++i) {
    double s = b[i];
    for (std::size_t p = 0; p < i; ++p) s -= a[i * k + p] * b[p];
    b[i] = s / a[i * k + i];
  }
  for (std::size_t i = k; i-- > 0;) {
    double s = b[i];
    for (std::size_t p = i + 1; p < k; ++p) s -= a[p * k + i] * b[p];
    b[i] = s / a[i * k + i];
  }
  return true;
}

double SumOfSquares(const std::vector<double>& r) {
  double s = 0.0;
  for (double v : r) s += v * v;
  return s;
}

}  // namespace

LmResult LevenbergMarquardt(const LmFunction& f, std::size_t m, std::vector<double> x0,
                            std::span<const double> lower, std::span<const double> upper,
                            const LmOptions& options) {
  const std::size_t n = x0.size();
  LmResult res;
  for (std::size_t i = 0; i < n; ++i) x0[i] = std::clamp(x0[i], lower[i], upper[i]);
  res.x = std::move(x0);
  res.residuals.assign(m, 0.0);
  res.jacobian.assign(m * n, 0.0);
  ++res.evaluations;
  if (!f(res.x, res.residuals, res.jacobian)) return res;
  res.cost = SumOfSquares(res.residuals);
  if (!std::isfinite(res.cost)) return res;
  res.ok = true;
  if (n == 0 || res.cost == 0.0) {
    res.converged = true;
    return res;
  }

  std::vector<double> a(n * n), g(n), scale(n, 0.0);
  std::vector<double> trialX(n), trialR(m), trialJ(m * n), step(n), jstep(m);
  std::vector<double> system, rhs;
  std::vector<std::size_t> active;
  double lambda = options.initialDamping;
  double nu = 2.0;

  bool newPoint = true;
  while (res.iterations < options.maxIterations) {
    const std::vector<double>& r = res.residuals;
    const std::vector<double>& jac = res.jacobian;
    if (newPoint) {
      // The normal equations at the current point: a = JᵀJ, g = Jᵀr (half the cost's gradient).
      std::fill(a.begin(), a.end(), 0.0);
      std::fill(g.begin(), g.end(), 0.0);
      for (std::size_t row = 0; row < m; ++row) {
        const double* jr = &jac[row * n];
        for (std::size_t i = 0; i < n; ++i) {
          g[i] += jr[i] * r[row];
          for (std::size_t j = 0; j <= i; ++j) a[i * n + j] += jr[i] * jr[j];
        }
      }
      for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < i; ++j) a[j * n + i] = a[i * n + j];
      double largest = 0.0;
      for (std::size_t i = 0; i < n; ++i) {
        scale[i] = std::max(scale[i], a[i * n + i]);
        largest = std::max(largest, scale[i]);
      }
      // A parameter the data do not see at all is still damped, not left free to run.
      for (std::size_t i = 0; i < n; ++i) scale[i] = std::max(scale[i], 1e-12 * largest + 1e-300);
      // Parameters on a bound that the gradient pushes out of the box sit this step out.
      active.clear();
      double gradient = 0.0;
      for (std::size_t i = 0; i < n; ++i) {
        const bool held = (res.x[i] <= lower[i] && g[i] > 0.0) || (res.x[i] >= upper[i] && g[i] < 0.0);
        if (held) continue;
        active.push_back(i);
        gradient = std::max(gradient, std::abs(g[i]) / std::sqrt(scale[i]));
      }
      if (active.empty() || gradient <= 1e-12 * std::sqrt(res.cost)) {
        res.converged = true;
        return res;
      }
      newPoint = false;
    }

    ++res.iterations;
    const std::size_t k = active.size();
    system.assign(k * k, 0.0);
    rhs.assign(k, 0.0);
    for (std::size_t i = 0; i < k; ++i) {
      for (std::size_t j = 0; j < k; ++j) system[i * k + j] = a[active[i] * n + active[j]];
      system[i * k + i] += lambda * scale[active[i]];
      rhs[i] = -g[active[i]];
    }
    if (!CholeskySolve(system, rhs, k)) {
      lambda *= nu;
      nu *= 2.0;
      continue;
    }
    double longest = 0.0;
    for (double v : rhs) longest = std::max(longest, std::abs(v));
    const double shorten = longest > options.maxStep ? options.maxStep / longest : 1.0;
    trialX = res.x;
    for (std::size_t i = 0; i < k; ++i) {
      const std::size_t p = active[i];
      trialX[p] = std::clamp(res.x[p] + shorten * rhs[i], lower[p], upper[p]);
    }
    double moved = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
      step[i] = trialX[i] - res.x[i];
      moved = std::max(moved, std::abs(step[i]));
    }
    if (moved < options.stepTolerance) {
      res.converged = true;
      return res;
    }
    // The gain the linear model predicts: cost - |r + Jδ|².
    double gstep = 0.0;
    for (std::size_t i = 0; i < n; ++i) gstep += g[i] * step[i];
    for (std::size_t row = 0; row < m; ++row) {
      double s = 0.0;
      for (std::size_t i = 0; i < n; ++i) s += jac[row * n + i] * step[i];
      jstep[row] = s;
    }
    const double predicted = -2.0 * gstep - SumOfSquares(jstep);

    ++res.evaluations;
    const bool inside = f(trialX, trialR, trialJ);
    const double trialCost = inside ? SumOfSquares(trialR) : INFINITY;
    const double gain = res.cost - trialCost;
    if (inside && std::isfinite(trialCost) && gain > 0.0) {
      const double ratio = predicted > 0.0 ? gain / predicted : 1.0;
      const double before = res.cost;
      res.x.swap(trialX);
      res.residuals.swap(trialR);
      res.jacobian.swap(trialJ);
      res.cost = trialCost;
      newPoint = true;
      lambda *= std::max(1.0 / 3.0, 1.0 - std::pow(2.0 * ratio - 1.0, 3));
      nu = 2.0;
      if (gain <= options.costTolerance * before && predicted <= options.costTolerance * before) {
        res.converged = true;
        return res;
      }
      if (res.cost == 0.0) {
        res.converged = true;
        return res;
      }
    } else {
      lambda *= nu;
      nu *= 2.0;
      if (lambda > 1e16) {
        // No step, however short, lowers the cost: this is the bottom as far as it can be seen.
        res.converged = true;
        return res;
      }
    }
  }
  return res;
}
