#pragma once
// The electrode arrays as combinations of the ideal-Schlumberger response.
//
// A Schlumberger array with AB/2 = L and a finite MN/2 = l measures
//   rho_a = (L^2 - l^2) / (2 l) * Int_{L-l}^{L+l} rho_ideal(r) / r^2 dr,
// since the potential difference of the two current electrodes between M and N is the integral
// of the field E(r) = rho_ideal(r) / (2 pi r^2) per unit current over MN. (Wenner: L = 1.5 a,
// l = 0.5 a.) The integral is taken by Gauss-Legendre quadrature in ln r, where the integrand is
// analytic in a strip of half-width pi / 2, so a handful of nodes gives full precision; and
// unlike the difference of two potentials it loses nothing to cancellation when MN is short.

#include <vector>

#include "interp/forward.h"
#include "interp/transform.h"

// The terms of rho_a / rho_1 - 1 for one reading (coefficients sum to 1). Throws
// std::invalid_argument for a spacing the array cannot have.
std::vector<LaggedTransform::Term> ArrayTerms(ArrayKind kind, const Spacing& spacing);

// The number of quadrature nodes for a finite MN/2 = l at AB/2 = L.
int QuadratureNodes(double ab2, double mn2);
