#pragma once
// A digital linear filter for the Hankel transform of order one:
//
//   Int_0^inf f(lambda) J1(lambda r) dlambda  ~=  (1/r) * sum_k f(base[k] / r) * weight[k]
//
// The abscissae are geometric, base[k] = exp(logBase0 + k * step), so filters at spacings that
// differ by whole steps share their lambda values (lagged convolution).

#include <span>

struct HankelFilter {
  const char* name;
  std::span<const double> base;
  std::span<const double> weight;
  double logBase0;  // ln base[0]
  double step;      // ln(base[k + 1] / base[k])
};

// The J1 filter the forward model uses (Werthmueller, Key & Slob 2019, 201 points; see the .cpp).
const HankelFilter& J1Filter();
