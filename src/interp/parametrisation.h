#pragma once
// How the fit's free parameters make a layered model: the logarithms of the resistivities and
// thicknesses that are not known, with the known ones held and a known depth kept exactly.
//
// The full parameter vector of an n-layer model is p = (ln ρ_0 … ln ρ_{n-1}, ln h_0 … ln h_{n-2}),
// the columns of ForwardModel's Jacobian. Each entry is
//   free       one of the fit's unknowns x,
//   held       a known value (or one a profile of the equivalence holds),
//   linked     ln h_k = c ± ln ρ_k (a profile holding S = h/ρ or T = h·ρ at e^c),
//   dependent  the thickness of a layer whose bottom's depth is known: the depth less the
//              thicknesses above it down to the previous known depth (or the surface).

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "interp/fit.h"
#include "interp/layermodel.h"

// The widest range the fit lets a parameter take, drawn from the readings so that a parameter
// the data hardly see cannot run off to 0 or infinity.
struct ParameterLimits {
  double rhoLow = 1e-3;
  double rhoHigh = 1e7;
  double thicknessLow = 1e-3;
  double thicknessHigh = 1e5;
};

// The deepest layer count the constraints need (a known resistivity of layer j needs j + 1
// layers, a known thickness or depth of layer j needs j + 2), at least 1.
int LayersConstraintsNeed(const std::vector<LayerConstraint>& constraints);

// Whether the constraints are consistent for a model of `layers` layers: positive known values
// within their bounds, bounds with low <= high, never thickness and depth together, depths
// growing downwards and leaving room for the known thicknesses between them, nothing below the
// model's basement.
bool ConstraintsValid(const std::vector<LayerConstraint>& constraints, int layers);

class Parametrisation {
 public:
  // constraints must be valid for `layers` (ConstraintsValid).
  Parametrisation(int layers, const std::vector<LayerConstraint>& constraints, const ParameterLimits& limits);

  int layers() const { return layers_; }
  std::size_t fullCount() const { return slots_.size(); }
  std::size_t freeCount() const { return free_.size(); }
  // The bounds of full parameter i (logarithms).
  double fullLower(std::size_t i) const { return low_[i]; }
  double fullUpper(std::size_t i) const { return high_[i]; }
  // Whether full parameter i is free, or held at a known value.
  bool isFree(std::size_t i) const { return slots_[i].kind == Kind::Free; }
  bool isHeld(std::size_t i) const { return slots_[i].kind == Kind::Held; }
  // The logarithm a held parameter is held at.
  double heldValue(std::size_t i) const { return slots_[i].value; }
  // The box of the free parameters (logarithms).
  const std::vector<double>& lower() const { return lower_; }
  const std::vector<double>& upper() const { return upper_; }

  // The free parameters nearest to a model of the same layer count; where a known depth leaves
  // the model's thicknesses no room, those above it are scaled to fit.
  std::vector<double> freeFrom(const LayerModel& model) const;
  // The model of free parameters x; false when a linked or dependent parameter falls outside its
  // bounds (a dependent thickness no longer positive).
  bool toModel(std::span<const double> x, LayerModel& model) const;
  // d p / d x at the model toModel made (full rows, free columns, row-major).
  void chain(const LayerModel& model, std::vector<double>& dpdx) const;

  // The same with full parameter `index` held at the logarithm `value`; nothing when that
  // parameter is not free.
  std::optional<Parametrisation> holding(std::size_t index, double value) const;
  // The same with ln h_layer = value + sign·ln ρ_layer (sign +1 holds S = h/ρ at e^value,
  // -1 holds T = h·ρ); nothing unless both are free.
  std::optional<Parametrisation> linking(int layer, double value, double sign) const;

 private:
  enum class Kind { Free, Held, Linked, Dependent };
  struct Slot {
    Kind kind = Kind::Free;
    double value = 0.0;  // held: the logarithm; linked: the constant; dependent: the span in m
    double exact = 0.0;  // held: the value itself (a known value is given back unrounded)
    double sign = 1.0;   // linked: the sign of ln ρ
    int first = 0;       // dependent: the first layer of the span
  };
  static Slot Held(double value);
  void number();

  int layers_ = 0;
  std::vector<Slot> slots_;
  std::vector<double> low_, high_;  // bounds of every full parameter (logarithms)
  std::vector<std::size_t> free_;   // full index of each free parameter
  std::vector<int> freeOf_;         // free index of each full parameter, -1 if not free
  std::vector<double> lower_, upper_;
};
