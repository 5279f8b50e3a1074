#include "interp/modeledit.h"

#include <algorithm>

#include "interp/forward.h"

namespace {
std::size_t Layers(const StationModel& m) { return std::min(m.Thickness.size(), m.Resistivity.size()); }
}  // namespace

std::vector<double> LayerBottoms(const StationModel& model) {
  std::vector<double> out;
  double depth = 0.0;
  for (std::size_t k = 0; k + 1 < Layers(model); ++k) {
    depth += model.Thickness[k];
    out.push_back(depth);
  }
  return out;
}

std::optional<StationModel> WithResistivity(const StationModel& model, std::size_t k, double rho) {
  if (k >= Layers(model) || !InForwardRange(rho)) return std::nullopt;
  StationModel out = model;
  out.Resistivity[k] = static_cast<float>(rho);
  out.Origin = ModelOrigin::Edited;
  return out;
}

std::optional<StationModel> WithThickness(const StationModel& model, std::size_t k, double h) {
  if (k + 1 >= Layers(model) || !InForwardRange(h) || !InForwardRange(static_cast<float>(h))) return std::nullopt;
  StationModel out = model;
  out.Thickness[k] = static_cast<float>(h);
  out.Origin = ModelOrigin::Edited;
  return out;
}

std::optional<StationModel> WithBottomAt(const StationModel& model, std::size_t k, double depth) {
  const std::vector<double> bottoms = LayerBottoms(model);
  if (k >= bottoms.size()) return std::nullopt;
  const double top = k == 0 ? 0.0 : bottoms[k - 1];
  std::optional<StationModel> out = WithThickness(model, k, depth - top);
  if (!out) return std::nullopt;
  // The layer below keeps its bottom (the basement has none).
  if (k + 1 < bottoms.size()) {
    const double below = bottoms[k + 1] - depth;
    if (!InForwardRange(below) || !InForwardRange(static_cast<float>(below))) return std::nullopt;
    out->Thickness[k + 1] = static_cast<float>(below);
  }
  return out;
}

LayerProduct ProductOf(const StationModel& model, std::size_t k, Resolved resolved) {
  if (resolved == Resolved::Conductance) return LayerProduct::Conductance;
  if (resolved == Resolved::Resistance) return LayerProduct::Resistance;
  const bool below = k + 1 < Layers(model);
  return below && model.Resistivity[k] < model.Resistivity[k + 1] ? LayerProduct::Conductance : LayerProduct::Resistance;
}

std::vector<LayerConstraint> LockedConstraints(const StationModel& model, const std::vector<LayerLocks>& locks) {
  std::vector<LayerConstraint> out;
  const std::vector<double> bottoms = LayerBottoms(model);
  const std::size_t layers = Layers(model);
  for (std::size_t k = 0; k < locks.size() && k < layers; ++k) {
    LayerConstraint c;
    if (locks[k].rho) c.rho = model.Resistivity[k];
    if (k < bottoms.size()) {
      if (locks[k].depth) {
        c.depth = bottoms[k];
      } else if (locks[k].thickness) {
        c.thickness = model.Thickness[k];
      }
    }
    out.push_back(c);
  }
  // Layers past the last lock are free: the list ends at the last layer with one.
  while (!out.empty() && !out.back().rho && !out.back().thickness && !out.back().depth) out.pop_back();
  return out;
}
