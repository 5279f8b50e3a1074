#pragma once
// A horizontally layered earth: layers from the surface down, the last one a half-space.

#include <vector>

struct LayerModel {
  std::vector<double> rho;        // resistivity of each layer in ohm-m, surface first; 1 to 10 layers
  std::vector<double> thickness;  // thickness of every layer but the last, in m (rho.size() - 1 values)

  int layers() const { return static_cast<int>(rho.size()); }
  bool operator==(const LayerModel&) const = default;
};
