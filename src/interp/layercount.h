#pragma once
// How many layers a sounding calls for, judged from the best fits with different counts.

#include <vector>

// The best fit found with one layer count.
struct LayerCountFit {
  int layers = 0;
  double chi2 = 0.0;   // Σ (weighted residual)²
  int parameters = 0;  // free parameters
};

// Whether a fit reaches the noise of the data: with ν = N − P > 0 degrees of freedom, χ² is at
// most ν + 2·√(2ν), its expectation plus two standard deviations when the errors are as stated.
bool FitsTheNoise(double chi2, int readings, int parameters);

// The layer count to take, from fits in increasing order of layers:
//  - the fewest layers whose fit reaches the noise (FitsTheNoise);
//  - when none does (the errors were stated too small), the fewest layers that no larger count
//    improves significantly: starting from the fewest, a larger count is taken when the F-test
//    of its lower χ² against the count taken so far passes at 95 % (F = (Δχ²/ΔP)/(χ²/ν) above
//    the 95 % point of F(ΔP, ν)).
// Returns 0 for no fits.
int ChooseLayerCount(const std::vector<LayerCountFit>& fits, int readings);

// The p-quantile of Fisher's F distribution with d1 and d2 degrees of freedom.
double FQuantile(double p, double d1, double d2);
