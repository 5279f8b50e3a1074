#include "interp/parametrisation.h"

#include <algorithm>
#include <cmath>

#include "interp/forward.h"

namespace {

// A known value the forward model can take.
bool Positive(double v) { return InForwardRange(v); }

bool BoundsGiven(const Bounds& b) { return b.low > 0.0 || std::isfinite(b.high); }

bool BoundsValid(const Bounds& b) {
  return std::isfinite(b.low) && b.low >= 0.0 && !std::isnan(b.high) && b.high > 0.0 && b.low <= b.high;
}

bool Within(double v, const Bounds& b) { return v >= b.low && v <= b.high; }

// A given bound replaces the limit on its side; the limit on the other side moves out of its way.
// Nothing goes beyond what the forward model accepts.
void EffectiveBounds(const Bounds& given, double limitLow, double limitHigh, double& low, double& high) {
  low = given.low > 0.0 ? given.low : limitLow;
  high = std::isfinite(given.high) ? given.high : limitHigh;
  if (low > high) {
    if (given.low > 0.0 && !std::isfinite(given.high)) high = low * (limitHigh / limitLow);
    else low = high * (limitLow / limitHigh);
  }
  low = std::clamp(low, kForwardMinValue, kForwardMaxValue);
  high = std::clamp(high, low, kForwardMaxValue);
}

}  // namespace

int LayersConstraintsNeed(const std::vector<LayerConstraint>& constraints) {
  int need = 1;
  for (std::size_t j = 0; j < constraints.size(); ++j) {
    const LayerConstraint& c = constraints[j];
    const int layer = static_cast<int>(j);
    if (c.rho || BoundsGiven(c.rhoBounds)) need = std::max(need, layer + 1);
    if (c.thickness || c.depth || BoundsGiven(c.thicknessBounds)) need = std::max(need, layer + 2);
  }
  return need;
}

bool ConstraintsValid(const std::vector<LayerConstraint>& constraints, int layers) {
  if (LayersConstraintsNeed(constraints) > layers) return false;
  double top = 0.0;        // the last known depth above
  double between = 0.0;    // known thicknesses since then
  for (const LayerConstraint& c : constraints) {
    if (!BoundsValid(c.rhoBounds) || !BoundsValid(c.thicknessBounds)) return false;
    if (c.rho && !(Positive(*c.rho) && Within(*c.rho, c.rhoBounds))) return false;
    if (c.thickness && c.depth) return false;
    if (c.thickness) {
      if (!(Positive(*c.thickness) && Within(*c.thickness, c.thicknessBounds))) return false;
      between += *c.thickness;
    }
    if (c.depth) {
      if (!Positive(*c.depth) || !(*c.depth - top > between)) return false;
      top = *c.depth;
      between = 0.0;
    }
  }
  return true;
}

Parametrisation::Parametrisation(int layers, const std::vector<LayerConstraint>& constraints,
                                 const ParameterLimits& limits)
    : layers_(layers) {
  const std::size_t n = static_cast<std::size_t>(layers);
  slots_.assign(2 * n - 1, Slot{});
  low_.assign(2 * n - 1, 0.0);
  high_.assign(2 * n - 1, 0.0);
  const LayerConstraint none;
  int first = 0;       // the first layer below the last known depth
  double above = 0.0;  // that depth
  for (std::size_t j = 0; j < n; ++j) {
    const LayerConstraint& c = j < constraints.size() ? constraints[j] : none;
    double lo = 0.0, hi = 0.0;
    EffectiveBounds(c.rhoBounds, limits.rhoLow, limits.rhoHigh, lo, hi);
    low_[j] = std::log(lo);
    high_[j] = std::log(hi);
    if (c.rho) slots_[j] = Held(*c.rho);
    if (j + 1 == n) break;
    const std::size_t h = n + j;
    EffectiveBounds(c.thicknessBounds, limits.thicknessLow, limits.thicknessHigh, lo, hi);
    low_[h] = std::log(lo);
    high_[h] = std::log(hi);
    if (c.thickness) slots_[h] = Held(*c.thickness);
    if (c.depth) {
      Slot s{.kind = Kind::Dependent, .value = *c.depth - above};
      s.first = first;
      slots_[h] = s;
      // The thicknesses above it within the span cannot exceed the span.
      for (int k = first; k < static_cast<int>(j); ++k) {
        const std::size_t hk = n + static_cast<std::size_t>(k);
        high_[hk] = std::min(high_[hk], std::log(s.value));
        low_[hk] = std::min(low_[hk], high_[hk]);
      }
      first = static_cast<int>(j) + 1;
      above = *c.depth;
    }
  }
  number();
}

Parametrisation::Slot Parametrisation::Held(double value) {
  Slot s{.kind = Kind::Held, .value = std::log(value)};
  s.exact = value;
  return s;
}

void Parametrisation::number() {
  free_.clear();
  freeOf_.assign(slots_.size(), -1);
  lower_.clear();
  upper_.clear();
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    if (slots_[i].kind != Kind::Free) continue;
    freeOf_[i] = static_cast<int>(free_.size());
    free_.push_back(i);
    lower_.push_back(low_[i]);
    upper_.push_back(high_[i]);
  }
}

std::vector<double> Parametrisation::freeFrom(const LayerModel& model) const {
  const std::size_t n = static_cast<std::size_t>(layers_);
  std::vector<double> p(slots_.size());
  for (std::size_t j = 0; j < n; ++j) p[j] = std::log(model.rho[j]);
  for (std::size_t j = 0; j + 1 < n; ++j) p[n + j] = std::log(model.thickness[j]);
  // Held and linked entries as they will be, so that the spans below see the right thicknesses.
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    if (slots_[i].kind == Kind::Held) p[i] = slots_[i].value;
  }
  for (std::size_t i = n; i < slots_.size(); ++i) {
    if (slots_[i].kind == Kind::Linked) p[i] = slots_[i].value + slots_[i].sign * p[i - n];
  }
  // Each known depth: the free thicknesses of its span and the dependent one share what the
  // other thicknesses leave of the span in the start model's proportions.
  for (std::size_t j = 0; j + 1 < n; ++j) {
    const Slot& s = slots_[n + j];
    if (s.kind != Kind::Dependent) continue;
    double fixedPart = 0.0, freePart = std::exp(p[n + j]);
    for (std::size_t k = static_cast<std::size_t>(s.first); k < j; ++k) {
      (slots_[n + k].kind == Kind::Free ? freePart : fixedPart) += std::exp(p[n + k]);
    }
    const double room = s.value - fixedPart;
    if (!(room > 0.0) || !(freePart > 0.0)) continue;
    const double scale = std::log(room / freePart);
    for (std::size_t k = static_cast<std::size_t>(s.first); k < j; ++k) {
      if (slots_[n + k].kind == Kind::Free) p[n + k] += scale;
    }
  }
  std::vector<double> x(free_.size());
  for (std::size_t f = 0; f < free_.size(); ++f) x[f] = std::clamp(p[free_[f]], lower_[f], upper_[f]);
  return x;
}

bool Parametrisation::toModel(std::span<const double> x, LayerModel& model) const {
  const std::size_t n = static_cast<std::size_t>(layers_);
  model.rho.resize(n);
  model.thickness.resize(n - 1);
  auto value = [&](std::size_t i) -> double& { return i < n ? model.rho[i] : model.thickness[i - n]; };
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    const Slot& s = slots_[i];
    if (s.kind == Kind::Free) value(i) = std::exp(x[static_cast<std::size_t>(freeOf_[i])]);
    else if (s.kind == Kind::Held) value(i) = s.exact;
  }
  // Bounds are checked with a little slack: a parameter put exactly on its bound must pass.
  constexpr double kSlack = 1e-9;
  for (std::size_t j = 0; j + 1 < n; ++j) {
    const Slot& s = slots_[n + j];
    if (s.kind != Kind::Linked) continue;
    const double lh = s.value + s.sign * std::log(model.rho[j]);
    if (lh < low_[n + j] - kSlack || lh > high_[n + j] + kSlack) return false;
    model.thickness[j] = std::exp(lh);
  }
  for (std::size_t j = 0; j + 1 < n; ++j) {
    const Slot& s = slots_[n + j];
    if (s.kind != Kind::Dependent) continue;
    double h = s.value;
    for (std::size_t k = static_cast<std::size_t>(s.first); k < j; ++k) h -= model.thickness[k];
    if (!(h > 0.0)) return false;
    const double lh = std::log(h);
    if (lh < low_[n + j] - kSlack || lh > high_[n + j] + kSlack) return false;
    model.thickness[j] = h;
  }
  return true;
}

void Parametrisation::chain(const LayerModel& model, std::vector<double>& dpdx) const {
  const std::size_t n = static_cast<std::size_t>(layers_);
  const std::size_t f = free_.size();
  dpdx.assign(slots_.size() * f, 0.0);
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    const Slot& s = slots_[i];
    if (s.kind == Kind::Free) dpdx[i * f + static_cast<std::size_t>(freeOf_[i])] = 1.0;
    if (s.kind == Kind::Linked) {
      const int source = freeOf_[i - n];
      if (source >= 0) dpdx[i * f + static_cast<std::size_t>(source)] = s.sign;
    }
  }
  // ln h_j = ln(span − Σ h_k): d ln h_j = −Σ (h_k / h_j) d ln h_k over the span's layers above.
  for (std::size_t j = 0; j + 1 < n; ++j) {
    const Slot& s = slots_[n + j];
    if (s.kind != Kind::Dependent) continue;
    for (std::size_t k = static_cast<std::size_t>(s.first); k < j; ++k) {
      const double w = -model.thickness[k] / model.thickness[j];
      for (std::size_t c = 0; c < f; ++c) dpdx[(n + j) * f + c] += w * dpdx[(n + k) * f + c];
    }
  }
}

std::optional<Parametrisation> Parametrisation::holding(std::size_t index, double value) const {
  if (index >= slots_.size() || slots_[index].kind != Kind::Free) return std::nullopt;
  Parametrisation p = *this;
  p.slots_[index] = Held(std::exp(value));
  p.number();
  return p;
}

std::optional<Parametrisation> Parametrisation::linking(int layer, double value, double sign) const {
  const std::size_t n = static_cast<std::size_t>(layers_);
  const std::size_t j = static_cast<std::size_t>(layer);
  if (j + 1 >= n || slots_[j].kind != Kind::Free || slots_[n + j].kind != Kind::Free) return std::nullopt;
  Parametrisation p = *this;
  p.slots_[n + j] = Slot{.kind = Kind::Linked, .value = value, .sign = sign};
  p.number();
  return p;
}
