#include "interp/fitproblem.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <stdexcept>

namespace {

std::vector<Spacing> SpacingsOf(const std::vector<Reading>& readings) {
  std::vector<Spacing> s;
  s.reserve(readings.size());
  for (const Reading& r : readings) s.push_back({r.ab2, r.mn2});
  return s;
}

bool Positive(double v) { return std::isfinite(v) && v > 0.0; }

}  // namespace

const char* FitInputFault(const std::vector<Reading>& readings, ArrayKind kind, const FitOptions& options) {
  if (options.layers < 0 || options.layers > kMaxFitLayers) return fittext::kBadLayerCount;
  if (!options.readingErrors.empty() && options.readingErrors.size() != readings.size()) return fittext::kBadError;
  if (!Positive(options.relativeError)) return fittext::kBadError;
  for (double e : options.readingErrors) {
    if (!Positive(e)) return fittext::kBadError;
  }
  std::set<double> spacings;
  for (const Reading& r : readings) {
    if (!InForwardRange(r.ab2) || !InForwardRange(r.rho)) return fittext::kNotPositive;
    if (kind == ArrayKind::Schlumberger && !(InForwardRange(r.mn2) && r.mn2 < r.ab2)) return fittext::kBadMn;
    spacings.insert(r.ab2);
  }
  if (spacings.size() < 3) return fittext::kTooFewSpacings;
  if (options.start) {
    const LayerModel& s = *options.start;
    if (s.layers() < 1 || s.layers() > kMaxFitLayers || s.thickness.size() + 1 != s.rho.size()) return fittext::kBadStart;
    if (options.layers != 0 && options.layers != s.layers()) return fittext::kBadStart;
    if (!std::all_of(s.rho.begin(), s.rho.end(), InForwardRange) ||
        !std::all_of(s.thickness.begin(), s.thickness.end(), InForwardRange))
      return fittext::kBadStart;
  }
  return nullptr;
}

ParameterLimits LimitsFromReadings(const std::vector<Reading>& readings) {
  double ab2Low = readings.front().ab2, ab2High = ab2Low;
  double rhoLow = readings.front().rho, rhoHigh = rhoLow;
  for (const Reading& r : readings) {
    ab2Low = std::min(ab2Low, r.ab2);
    ab2High = std::max(ab2High, r.ab2);
    rhoLow = std::min(rhoLow, r.rho);
    rhoHigh = std::max(rhoHigh, r.rho);
  }
  auto within = [](double v) { return std::clamp(v, kForwardMinValue, kForwardMaxValue); };
  return {within(rhoLow / 1000.0), within(rhoHigh * 1000.0), within(ab2Low / 100.0), within(ab2High * 10.0)};
}

FitProblem::FitProblem(const std::vector<Reading>& readings, ArrayKind kind, const FitOptions& options)
    : forward_(kind, SpacingsOf(readings)), limits_(LimitsFromReadings(readings)) {
  ab2Low_ = ab2High_ = readings.front().ab2;
  logObserved_.reserve(readings.size());
  weight_.reserve(readings.size());
  for (std::size_t i = 0; i < readings.size(); ++i) {
    logObserved_.push_back(std::log(readings[i].rho));
    ab2Low_ = std::min(ab2Low_, readings[i].ab2);
    ab2High_ = std::max(ab2High_, readings[i].ab2);
    const double error = options.readingErrors.empty() ? options.relativeError : options.readingErrors[i];
    weight_.push_back(1.0 / error);
  }
}

FitProblem::Solution FitProblem::solve(const Parametrisation& par, std::vector<double> x0,
                                       const LmOptions& options, double roughness) const {
  const std::size_t m = logObserved_.size();
  const std::size_t rough = roughness > 0.0 && x0.size() > 1 ? x0.size() - 1 : 0;
  const std::size_t full = par.fullCount();
  const std::size_t nfree = par.freeCount();
  LayerModel model;
  std::vector<double> rhoa(m), jacobian(m * full), dpdx;
  auto residuals = [&](std::span<const double> x, std::span<double> r, std::span<double> jr) {
    if (!par.toModel(x, model)) return false;
    try {
      forward_.apparentResistivity(model, rhoa, jacobian);
    } catch (const std::invalid_argument&) {
      return false;  // a model beyond what the forward model takes (the bounds should prevent it)
    }
    par.chain(model, dpdx);
    for (std::size_t i = 0; i < m; ++i) {
      if (!(rhoa[i] > 0.0) || !std::isfinite(rhoa[i])) return false;
      r[i] = weight_[i] * (logObserved_[i] - std::log(rhoa[i]));
      for (std::size_t c = 0; c < nfree; ++c) {
        double s = 0.0;
        for (std::size_t p = 0; p < full; ++p) s += jacobian[i * full + p] * dpdx[p * nfree + c];
        jr[i * nfree + c] = -weight_[i] * s;
      }
    }
    for (std::size_t k = 0; k < rough; ++k) {
      const std::size_t row = m + k;
      r[row] = roughness * (x[k + 1] - x[k]);
      for (std::size_t c = 0; c < nfree; ++c) jr[row * nfree + c] = 0.0;
      jr[row * nfree + k] = -roughness;
      jr[row * nfree + k + 1] = roughness;
    }
    return true;
  };
  const LmResult lm = LevenbergMarquardt(residuals, m + rough, std::move(x0), par.lower(), par.upper(), options);
  Solution s;
  s.ok = lm.ok;
  s.x = lm.x;
  s.chi2 = 0.0;
  for (std::size_t i = 0; i < m && s.ok; ++i) s.chi2 += lm.residuals[i] * lm.residuals[i];
  s.iterations = lm.iterations;
  if (s.ok) par.toModel(s.x, s.model);
  return s;
}

LayerModel FitProblem::smooth() const {
  const std::size_t n = static_cast<std::size_t>(kSmoothLayers);
  std::vector<LayerConstraint> cells(n - 1);
  const double top = 0.5 * ab2Low_, bottom = 0.5 * ab2High_;
  double above = 0.0;
  for (std::size_t j = 0; j + 1 < n; ++j) {
    const double depth = top * std::pow(bottom / top, static_cast<double>(j) / static_cast<double>(n - 2));
    cells[j].thickness = depth - above;
    above = depth;
  }
  const Parametrisation par(kSmoothLayers, cells, limits_);
  double mean = 0.0;
  for (double v : logObserved_) mean += v;
  mean /= static_cast<double>(logObserved_.size());
  LmOptions options;
  options.maxIterations = 40;
  const Solution s = solve(par, std::vector<double>(n, mean), options, 1.0);
  return s.model;
}

std::vector<double> FitProblem::computed(const LayerModel& model) const {
  std::vector<double> rhoa(logObserved_.size());
  forward_.apparentResistivity(model, rhoa);
  return rhoa;
}

double FitProblem::chi2(const LayerModel& model) const {
  const std::vector<double> rhoa = computed(model);
  double sum = 0.0;
  for (std::size_t i = 0; i < rhoa.size(); ++i) {
    const double r = weight_[i] * (logObserved_[i] - std::log(rhoa[i]));
    sum += r * r;
  }
  return sum;
}
