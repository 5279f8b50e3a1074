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

// The layer count to take, from fits in increasing order of layers: starting from the fewest
// layers, a larger count is taken while the count taken so far does not reach the noise
// (FitsTheNoise) and the larger count lowers χ² significantly: the F-test of its χ² against
// the count taken so far passes at 95 % (F = (Δχ²/ΔP)/(χ²/ν) above the 95 % point of
// F(ΔP, ν)). So the fewest layers that reach the noise are taken, and a layer more only when
// the readings call for it: never one that merely slips under the threshold when the data
// scatter a little more than their stated errors.
// Returns 0 for no fits.
int ChooseLayerCount(const std::vector<LayerCountFit>& fits, int readings);

// The p-quantile of Fisher's F distribution with d1 and d2 degrees of freedom.
double FQuantile(double p, double d1, double d2);
