#pragma once
// The Hankel transform of the kernel for many spacings at once.
//
// The ideal-Schlumberger response of the kernel g = T / rho_1 - 1 (see kernel.h) at AB/2 = s is
//   D(s) = rho_a(s) / rho_1 - 1 = s^2 Int_0^inf g(lambda) J1(lambda s) lambda dlambda
//        ~= sum_k weight_k base_k g(base_k / s)                 (the digital filter)
// Integrating g rather than T leaves out the part that only gives rho_1 and decays slowly.
//
// D is computed on a grid of spacings one filter step apart in ln s, where neighbouring spacings
// share all but one of their lambda values (lagged convolution), and taken to the wanted
// spacings by Lagrange interpolation in ln s (D is analytic in a strip around the real ln s axis,
// so the interpolation error is far below the filter's). Every output is a linear combination of
// D at a few spacings (one for the ideal Schlumberger array; the nodes of a quadrature for a
// finite MN), so each output is one dot product of precomputed weights with g on a common set of
// lambda values, computed once when the spacings are set.

#include <cstddef>
#include <span>
#include <vector>

#include "interp/hankelfilter.h"

class LaggedTransform {
 public:
  // One term of an output: coefficient * D(spacing).
  struct Term {
    double spacing = 0.0;
    double coefficient = 0.0;
  };

  // One output per entry of outputs. Spacings must be positive and finite.
  LaggedTransform(const HankelFilter& filter, const std::vector<std::vector<Term>>& outputs);

  // The lambda values at which the kernel is needed, increasing.
  std::span<const double> lambda() const { return lambda_; }
  std::size_t outputs() const { return rows_.size(); }

  // Output i from the kernel at lambda().
  double apply(std::size_t i, std::span<const double> g) const;

  // The number of points of the Lagrange interpolation in ln s.
  static constexpr int kInterpolationPoints = 12;

 private:
  struct Row {
    std::size_t first = 0;        // index into lambda_ of weights[0]
    std::vector<double> weights;  // for lambda_[first], lambda_[first + 1], ...
  };
  std::vector<double> lambda_;
  std::vector<Row> rows_;
};
