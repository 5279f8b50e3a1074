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
                             const std::vector<LayerModel>& starts) {
  FitProblem::Solution best;
  for (const LayerModel& start : starts) {
    FitProblem::Solution s = problem.solve(par, par.freeFrom(start));
    if (!s.ok) continue;
    if (!best.ok || s.chi2 < best.chi2) best = std::move(s);
    if (FitsTheNoise(best.chi2, problem.readings(), static_cast<int>(par.freeCount()))) break;
  }
  return best;
}

// The starts for a fit of `layers` layers: the smooth model made blocky, then models drawn
// from the curve in the shapes of StartShapes.
std::vector<LayerModel> DefaultStarts(const LayerModel& smooth, const std::vector<CurvePoint>& curve, int layers) {
  std::vector<LayerModel> starts;
  if (smooth.layers() >= layers) {
    std::vector<double> logRho, bottoms;
    for (double r : smooth.rho) logRho.push_back(std::log(r));
    double depth = 0.0;
    for (double h : smooth.thickness) bottoms.push_back(depth += h);
    starts.push_back(Blocky(logRho, bottoms, layers));
  }
  for (const StartShape& shape : StartShapes()) starts.push_back(StartModel(curve, layers, shape));
  return starts;
}

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
  const std::vector<CurvePoint> curve = SoundingCurve(readings);
  const LayerModel smooth = options.start ? LayerModel{} : problem.smooth();
  FitProblem::Solution chosen;
  if (fixedCount > 0) {
    const Parametrisation par(fixedCount, options.constraints, limits);
    chosen = BestFit(problem, par,
                     options.start ? std::vector<LayerModel>{*options.start} : DefaultStarts(smooth, curve, fixedCount));
    result.parameters = static_cast<int>(par.freeCount());
  } else {
    // Fit 1, 2, ... layers until a fit reaches the noise; ChooseLayerCount then takes that one,
    // or, when none does, the count the F-test settles on.
    std::vector<LayerCountFit> tried;
    std::vector<FitProblem::Solution> fits;
    result.chi2ByLayers.assign(kMaxFitLayers, 0.0);
    for (int layers : counts) {
      const Parametrisation par(layers, options.constraints, limits);
      FitProblem::Solution s = BestFit(problem, par, DefaultStarts(smooth, curve, layers));
      if (!s.ok) continue;
      const int free = static_cast<int>(par.freeCount());
      tried.push_back({layers, s.chi2, free});
      result.chi2ByLayers[static_cast<std::size_t>(layers - 1)] = s.chi2;
      fits.push_back(std::move(s));
      if (FitsTheNoise(tried.back().chi2, n, free)) break;
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
