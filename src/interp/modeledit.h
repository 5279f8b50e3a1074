#pragma once
// Changing a station's layered model by hand, one parameter at a time, as the model table and
// curve matching do: a layer's resistivity, its thickness (the layers below move with it) or the
// depth of its bottom (the boundaries below stay where they are). Every changed model is
// ModelOrigin::Edited. A change the model cannot take gives nothing.

#include <cstddef>
#include <optional>
#include <vector>

#include "interp/fit.h"
#include "model/sdata.h"

// The depth below the surface of the bottom of every layer but the basement, in m.
std::vector<double> LayerBottoms(const StationModel& model);

// Layer k's resistivity set to rho (> 0, within the forward model's range).
std::optional<StationModel> WithResistivity(const StationModel& model, std::size_t k, double rho);
// Layer k's thickness set to h (> 0, within range); the layers below keep their thicknesses.
// Nothing for the basement.
std::optional<StationModel> WithThickness(const StationModel& model, std::size_t k, double h);
// Layer k's bottom moved to depth, strictly between its top and the bottom of the layer below it
// (the basement: any depth below the top), so that the boundaries below stay. Nothing for the
// basement itself.
std::optional<StationModel> WithBottomAt(const StationModel& model, std::size_t k, double depth);

// Which product of thickness and resistivity tells about a layer best: its conductance S = h/ρ
// for a layer that conducts better than the one below it, else its resistance T = h·ρ; what the
// equivalence ranges found unresolved decides where it says so. Not for the basement.
enum class LayerProduct { Conductance, Resistance };
LayerProduct ProductOf(const StationModel& model, std::size_t k, Resolved resolved = Resolved::Both);

// What the next fit is told of a model whose parameters are locked: the locked values of each
// layer as known values (a locked depth of a layer's bottom, else its locked thickness).
struct LayerLocks {
  bool rho = false;
  bool thickness = false;
  bool depth = false;
};
std::vector<LayerConstraint> LockedConstraints(const StationModel& model, const std::vector<LayerLocks>& locks);
