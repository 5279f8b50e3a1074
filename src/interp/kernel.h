#pragma once
// The kernel of the Hankel integrals of a layered earth: the resistivity transform T(lambda)
// by Pekeris' recurrence, taken relative to the top layer, and its derivatives.
//
// Resistivities are scaled by the top layer's: r_j = rho_j / rho_1, so r_1 = 1. What is
// evaluated is g(lambda) = T(lambda) / rho_1 - 1, which goes to 0 as lambda grows; computed so
// that no cancellation occurs when it is small. Its integral against J1 is the departure of the
// apparent resistivity from rho_1.

#include <array>
#include <span>

#include "interp/layermodel.h"

inline constexpr int kMaxLayers = 10;

// A checked model in the form the kernel evaluates (resistivities scaled by the top one).
struct ScaledLayers {
  int layers = 1;
  double rhoTop = 1.0;                    // rho_1 in ohm-m
  std::array<double, kMaxLayers> r{};     // rho_j / rho_1
  std::array<double, kMaxLayers> inverseR{};
  std::array<double, kMaxLayers - 1> thickness{};
  double rLeast = 1.0, rMost = 1.0;       // the smallest and largest r_j
};

// Checks the model (1 to kMaxLayers layers, one thickness fewer, every value finite and within
// the limits of forward.h) and scales it; throws std::invalid_argument naming the fault.
ScaledLayers ScaleLayers(const LayerModel& model);

// g at every lambda.
void KernelValues(const ScaledLayers& m, std::span<const double> lambda, std::span<double> g);

// g and its derivatives at every lambda, by differentiating the recurrence backwards (one pass up,
// one down: the cost grows with the number of layers, not with its square). derivatives holds
// 2n - 2 blocks of lambda.size() values: block j - 1 (j = 1..n-1) is dg / d ln r_j, block
// n - 1 + j (j = 0..n-2) is dg / d ln h_j. (d / d ln rho_1 follows from these: scaling every
// resistivity scales the apparent resistivity.)
void KernelValuesAndDerivatives(const ScaledLayers& m, std::span<const double> lambda,
                                std::span<double> g, std::span<double> derivatives);
