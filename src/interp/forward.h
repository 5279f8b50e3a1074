#pragma once
// Apparent resistivity of a horizontally layered earth for the electrode arrays of a sounding.

#include <cstddef>
#include <memory>
#include <span>
#include <vector>

#include "interp/layermodel.h"

enum class ArrayKind {
  SchlumbergerIdeal,  // Schlumberger with MN -> 0: what the sounding grid holds (AB/2 only)
  Schlumberger,       // Schlumberger with a finite MN/2
  Wenner,             // Wenner, AB/2 = 1.5 a (MN/2 = AB/2 / 3); mn2 is ignored
};

// One reading's electrode geometry, in m.
struct Spacing {
  double ab2 = 0.0;
  double mn2 = 0.0;
};

// The values the forward model accepts: every resistivity (ohm-m), thickness and spacing (m)
// finite and within [kForwardMinValue, kForwardMaxValue]; a Schlumberger MN/2 shorter than its
// AB/2. Anything else (NaN, infinities, zero or negative values, 0 or more than 10 layers, a
// thickness count other than layers - 1, output spans of the wrong size) is refused with
// std::invalid_argument: the constructor refuses spacings, the evaluations refuse models.
inline constexpr double kForwardMinValue = 1e-9;
inline constexpr double kForwardMaxValue = 1e12;
// Whether a value is one the forward model accepts (false for NaN).
inline bool InForwardRange(double v) { return v >= kForwardMinValue && v <= kForwardMaxValue; }

// The forward model for one set of spacings: prepared once, evaluated for many models (the fit
// evaluates it hundreds of times), so whatever depends only on the spacings is computed once.
class ForwardModel {
 public:
  ForwardModel(ArrayKind kind, std::vector<Spacing> spacings);

  std::size_t size() const;  // the number of spacings

  // Apparent resistivity at every spacing, in ohm-m; rhoa.size() == size().
  void apparentResistivity(const LayerModel& model, std::span<double> rhoa) const;

  // The same, with the Jacobian of ln(rho_a) with respect to the model's parameters in
  // logarithms: column j < n is d ln rho_a / d ln rho_j, column n + j is d ln rho_a / d ln h_j.
  // jacobian is row-major, size() rows and 2n - 1 columns.
  void apparentResistivity(const LayerModel& model, std::span<double> rhoa,
                           std::span<double> jacobian) const;

 private:
  struct Prepared;
  std::shared_ptr<const Prepared> prepared_;  // shared by copies: it never changes
};

// Convenience for a single evaluation.
std::vector<double> ApparentResistivity(const LayerModel& model, ArrayKind kind,
                                        const std::vector<Spacing>& spacings);
