#include "interp/forward.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "interp/arrays.h"
#include "interp/hankelfilter.h"
#include "interp/kernel.h"
#include "interp/transform.h"

namespace {

LaggedTransform Prepare(ArrayKind kind, const std::vector<Spacing>& spacings) {
  std::vector<std::vector<LaggedTransform::Term>> outputs;
  outputs.reserve(spacings.size());
  for (const Spacing& s : spacings) outputs.push_back(ArrayTerms(kind, s));
  return LaggedTransform(J1Filter(), outputs);
}

// rho_a / rho_1 from the transform's output. The apparent resistivity of a layered earth lies
// between its least and greatest resistivity; the filter's error is relative to rho_1, so only
// far beyond the contrasts it is made for (1e6 and more) could it carry the value outside, even
// below zero: there the value is kept within the model's resistivities.
double Ratio(const ScaledLayers& m, double departure) {
  return std::clamp(1.0 + departure, m.rLeast, m.rMost);
}

void CheckSize(std::size_t got, std::size_t want, const char* what) {
  if (got != want)
    throw std::invalid_argument(std::string(what) + ": " + std::to_string(got) + " values, not " +
                                std::to_string(want));
}

}  // namespace

struct ForwardModel::Prepared {
  LaggedTransform transform;
};

ForwardModel::ForwardModel(ArrayKind kind, std::vector<Spacing> spacings)
    : prepared_(std::make_shared<const Prepared>(Prepared{Prepare(kind, spacings)})) {}

std::size_t ForwardModel::size() const { return prepared_->transform.outputs(); }

void ForwardModel::apparentResistivity(const LayerModel& model, std::span<double> rhoa) const {
  const ScaledLayers m = ScaleLayers(model);
  CheckSize(rhoa.size(), size(), "apparent resistivities");
  const LaggedTransform& t = prepared_->transform;
  std::vector<double> g(t.lambda().size());
  KernelValues(m, t.lambda(), g);
  for (std::size_t i = 0; i < rhoa.size(); ++i) rhoa[i] = m.rhoTop * Ratio(m, t.apply(i, g));
}

// rho_a = rho_1 (1 + D) with D = sum W g(r, h), r_j = rho_j / rho_1. For j >= 2
//   d ln rho_a / d ln rho_j = (sum W dg/d ln r_j) / (1 + D),
// the same for the thicknesses, and since multiplying every resistivity by a factor multiplies
// rho_a by it, d ln rho_a / d ln rho_1 = 1 - (the sum of the others).
void ForwardModel::apparentResistivity(const LayerModel& model, std::span<double> rhoa,
                                       std::span<double> jacobian) const {
  const ScaledLayers m = ScaleLayers(model);
  const std::size_t n = static_cast<std::size_t>(m.layers);
  const std::size_t columns = 2 * n - 1;
  CheckSize(rhoa.size(), size(), "apparent resistivities");
  CheckSize(jacobian.size(), size() * columns, "Jacobian");
  const LaggedTransform& t = prepared_->transform;
  const std::size_t count = t.lambda().size();
  std::vector<double> g(count), dg((2 * n - 2) * count);
  KernelValuesAndDerivatives(m, t.lambda(), g, dg);
  const auto block = [&](std::size_t b) {
    return std::span<const double>(dg).subspan(b * count, count);
  };
  for (std::size_t i = 0; i < rhoa.size(); ++i) {
    const double ratio = Ratio(m, t.apply(i, g));
    rhoa[i] = m.rhoTop * ratio;
    double* row = jacobian.data() + i * columns;
    double others = 0.0;
    for (std::size_t j = 1; j < n; ++j) {
      row[j] = t.apply(i, block(j - 1)) / ratio;
      others += row[j];
    }
    row[0] = 1.0 - others;
    for (std::size_t j = 0; j + 1 < n; ++j) row[n + j] = t.apply(i, block(n - 1 + j)) / ratio;
  }
}

std::vector<double> ApparentResistivity(const LayerModel& model, ArrayKind kind,
                                        const std::vector<Spacing>& spacings) {
  const ForwardModel forward(kind, spacings);
  std::vector<double> rhoa(forward.size());
  forward.apparentResistivity(model, rhoa);
  return rhoa;
}
