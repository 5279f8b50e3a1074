#include "interp/fit.h"

#include <algorithm>
#include <cmath>

#include "interp/fitproblem.h"
#include "interp/layercount.h"
#include "interp/parametrisation.h"
#include "interp/startmodel.h"

namespace {

int FreeParameters(int layers, const std::vector<LayerConstraint>& constraints, const ParameterLimits& limits) {
  return static_cast<int>(Parametrisation(layers, constraints, limits).freeCount());
}

// The best of the fits from the given starts: the first that reaches the noise, else the lowest χ².
FitProblem::Solution BestFit(const FitProblem& problem, const Parametrisation& par,
                             const std::vector<LayerModel>& starts, FitProblem::Solution best = {}) {
  for (const LayerModel& start : starts) {
    if (best.ok && FitsTheNoise(best.chi2, problem.readings(), static_cast<int>(par.freeCount()))) break;
    FitProblem::Solution s = problem.solve(par, par.freeFrom(start));
    if (s.ok && (!best.ok || s.chi2 < best.chi2)) best = std::move(s);
  }
  return best;
}

// The fits of one sounding with the default starts.
class Fitter {
 public:
  Fitter(const FitProblem& problem, const std::vector<Reading>& readings, const FitOptions& options,
         const ParameterLimits& limits)
      : problem_(problem), options_(options), limits_(limits), curve_(SoundingCurve(readings)),
        smooth_(problem.smooth()) {}

  // The best fit of `layers` layers: from the smooth model made blocky, then from the curve;
  // when none reaches the noise, from `fewer` (the best fit with one layer less, fitted here
  // when not given) with a layer put in, which finds a thin layer the smooth picture hides.
  FitProblem::Solution fit(int layers, const FitProblem::Solution* fewer = nullptr) const {
    const Parametrisation par(layers, options_.constraints, limits_);
    FitProblem::Solution best = BestFit(problem_, par, defaultStarts(layers));
    if ((best.ok && FitsTheNoise(best.chi2, problem_.readings(), static_cast<int>(par.freeCount()))) || layers < 3 ||
        !ConstraintsValid(options_.constraints, layers - 1))
      return best;
    FitProblem::Solution own;
    if (!fewer) {
      own = BestFit(problem_, Parametrisation(layers - 1, options_.constraints, limits_), defaultStarts(layers - 1));
      fewer = &own;
    }
    if (!fewer->ok) return best;
    return BestFit(problem_, par, InsertedLayerStarts(fewer->model), std::move(best));
  }

 private:
  std::vector<LayerModel> defaultStarts(int layers) const {
    std::vector<LayerModel> starts;
    if (smooth_.layers() >= layers) {
      std::vector<double> logRho, bottoms;
      for (double r : smooth_.rho) logRho.push_back(std::log(r));
      double depth = 0.0;
      for (double h : smooth_.thickness) bottoms.push_back(depth += h);
      starts.push_back(Blocky(logRho, bottoms, layers));
    }
    for (const StartShape& shape : StartShapes()) starts.push_back(StartModel(curve_, layers, shape));
    return starts;
  }

  const FitProblem& problem_;
  const FitOptions& options_;
  const ParameterLimits& limits_;
  const std::vector<CurvePoint> curve_;
  const LayerModel smooth_;
};

}  // namespace

FitResult FitSounding(const std::vector<Reading>& readings, ArrayKind kind, const FitOptions& options) {
  FitResult result;
  if (const char* fault = FitInputFault(readings, kind, options)) {
    result.reason = fault;
    return result;
  }
  const int n = static_cast<int>(readings.size());
  const ParameterLimits limits = LimitsFromReadings(readings);
  const int fixedCount = options.start ? options.start->layers() : options.layers;
  // The layer counts to try: the one asked for, or every count the constraints and the number of
  // readings allow.
  std::vector<int> counts;
  const int lowest = fixedCount > 0 ? fixedCount : 1;
  const int highest = fixedCount > 0 ? fixedCount : kMaxFitLayers;
  bool constraintsFit = false;
  for (int layers = lowest; layers <= highest; ++layers) {
    if (!ConstraintsValid(options.constraints, layers)) continue;
    constraintsFit = true;
    if (FreeParameters(layers, options.constraints, limits) <= n) counts.push_back(layers);
  }
  if (!constraintsFit) {
    result.reason = fittext::kBadConstraint;
    return result;
  }
  if (counts.empty()) {
    result.reason = fittext::kTooFewReadings;
    return result;
  }

  const FitProblem problem(readings, kind, options);
  FitProblem::Solution chosen;
  if (options.start) {
    const Parametrisation par(fixedCount, options.constraints, limits);
    chosen = BestFit(problem, par, {*options.start});
    result.parameters = static_cast<int>(par.freeCount());
  } else if (fixedCount > 0) {
    chosen = Fitter(problem, readings, options, limits).fit(fixedCount);
    result.parameters = FreeParameters(fixedCount, options.constraints, limits);
  } else {
    // Fit 1, 2, ... layers until the count ChooseLayerCount takes reaches the noise.
    const Fitter fitter(problem, readings, options, limits);
    std::vector<LayerCountFit> tried;
    std::vector<FitProblem::Solution> fits;
    result.chi2ByLayers.assign(kMaxFitLayers, 0.0);
    for (int layers : counts) {
      const FitProblem::Solution* fewer =
          !fits.empty() && tried.back().layers == layers - 1 ? &fits.back() : nullptr;
      FitProblem::Solution s = fitter.fit(layers, fewer);
      if (!s.ok) continue;
      tried.push_back({layers, s.chi2, FreeParameters(layers, options.constraints, limits)});
      result.chi2ByLayers[static_cast<std::size_t>(layers - 1)] = s.chi2;
      fits.push_back(std::move(s));
      const int take = ChooseLayerCount(tried, n);
      const auto taken = std::find_if(tried.begin(), tried.end(), [&](const LayerCountFit& f) { return f.layers == take; });
      if (FitsTheNoise(taken->chi2, n, taken->parameters)) break;
    }
    const int take = ChooseLayerCount(tried, n);
    for (std::size_t i = 0; i < tried.size(); ++i) {
      if (tried[i].layers == take) {
        chosen = std::move(fits[i]);
        result.parameters = tried[i].parameters;
      }
    }
  }
  if (!chosen.ok) {
    result.reason = fittext::kFitFailed;
    return result;
  }

  result.ok = true;
  result.model = chosen.model;
  result.chi2 = chosen.chi2;
  result.chi2PerReading = chosen.chi2 / n;
  result.computed = problem.computed(result.model);
  double sum = 0.0;
  for (std::size_t i = 0; i < readings.size(); ++i) {
    const double rel = (readings[i].rho - result.computed[i]) / result.computed[i];
    result.residuals.push_back(100.0 * rel);
    sum += rel * rel;
  }
  result.rmsPercent = 100.0 * std::sqrt(sum / n);
  for (std::size_t j = 0; j < result.model.thickness.size(); ++j) {
    result.conductance.push_back(result.model.thickness[j] / result.model.rho[j]);
    result.resistance.push_back(result.model.thickness[j] * result.model.rho[j]);
  }
  return result;
}
