#pragma once
// The readings of one sounding prepared for fitting: the forward model of their spacings, the
// logarithms of the observed resistivities and their weights. Shared by the fit and the
// equivalence ranges.

#include <vector>

#include "interp/fit.h"
#include "interp/forward.h"
#include "interp/lmsolver.h"
#include "interp/parametrisation.h"

// What is wrong with the input for any layer count (one of the fittext reasons), or nullptr.
const char* FitInputFault(const std::vector<Reading>& readings, ArrayKind kind, const FitOptions& options);

// The limits a fit keeps parameters within, from the readings: resistivities within a factor
// of 1000 of the apparent resistivities' range, thicknesses from a hundredth of the shortest
// AB/2 to ten times the longest.
ParameterLimits LimitsFromReadings(const std::vector<Reading>& readings);

inline constexpr int kSmoothLayers = 10;

class FitProblem {
 public:
  // The input must have passed the fit's checks.
  FitProblem(const std::vector<Reading>& readings, ArrayKind kind, const FitOptions& options);

  int readings() const { return static_cast<int>(logObserved_.size()); }
  const ParameterLimits& limits() const { return limits_; }

  struct Solution {
    bool ok = false;            // the start was a model of the parametrisation
    LayerModel model;
    std::vector<double> x;      // the free parameters
    double chi2 = 0.0;
    int iterations = 0;
  };
  // The best fit of the parametrisation's models, from the free parameters x0. With roughness
  // > 0 the change between consecutive free parameters is penalised too (rows roughness·(x[k+1]
  // − x[k]) beside the readings' residuals; chi2 counts the readings only): for a smooth model
  // whose free parameters are the resistivities of thin layers.
  Solution solve(const Parametrisation& par, std::vector<double> x0, const LmOptions& options = {},
                 double roughness = 0.0) const;
  // A smooth model of kSmoothLayers layers whose bottoms lie evenly in log depth from half the
  // shortest AB/2 to half the longest, their resistivities fitted with roughness 1 from a
  // uniform earth: a picture of resistivity against depth that the readings' curve, which
  // blurs and shifts the layers, does not give.
  LayerModel smooth() const;
  // The model's apparent resistivity at every reading.
  std::vector<double> computed(const LayerModel& model) const;
  // χ² of the model.
  double chi2(const LayerModel& model) const;

 private:
  ForwardModel forward_;
  std::vector<double> logObserved_;
  std::vector<double> weight_;  // 1 / relative error
  ParameterLimits limits_;
  double ab2Low_ = 0.0, ab2High_ = 0.0;
};
