#include "interp/stationmodel.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "interp/forward.h"

namespace {

bool Positive(float v) { return std::isfinite(v) && v > 0.0f; }

// The most layers the forward model evaluates.
constexpr std::size_t kMaxForwardLayers = 10;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The forward model's apparent resistivity, or nothing when it refuses the model or spacings.
std::vector<double> Evaluate(const StationModel& model, const std::vector<Spacing>& spacings) {
  try {
    return ApparentResistivity(LayerModelOf(model), ArrayKind::SchlumbergerIdeal, spacings);
  } catch (const std::invalid_argument&) {
    return {};
  }
}

}  // namespace

LayerModel LayerModelOf(const StationModel& model) {
  LayerModel out;
  const std::size_t layers = std::min(model.Thickness.size(), model.Resistivity.size());
  for (std::size_t k = 0; k < layers; ++k) {
    out.rho.push_back(model.Resistivity[k]);
    if (k + 1 < layers) out.thickness.push_back(model.Thickness[k]);
  }
  return out;
}

StationModel StationModelFrom(const LayerModel& model, ModelOrigin origin) {
  StationModel out;
  out.Origin = origin;
  for (std::size_t k = 0; k < model.rho.size(); ++k) {
    out.Resistivity.push_back(static_cast<float>(model.rho[k]));
    out.Thickness.push_back(k < model.thickness.size() && k + 1 < model.rho.size()
                                ? static_cast<float>(model.thickness[k])
                                : kHalfSpaceThickness);
  }
  return out;
}

bool IsUsableModel(const StationModel& model) {
  const std::size_t layers = std::min(model.Thickness.size(), model.Resistivity.size());
  if (layers == 0 || layers > kMaxForwardLayers) return false;
  for (std::size_t k = 0; k < layers; ++k) {
    if (!InForwardRange(model.Resistivity[k])) return false;
    // The half-space's thickness is not used.
    if (k + 1 < layers && !InForwardRange(model.Thickness[k])) return false;
  }
  return true;
}

std::vector<double> ModelApparentResistivityAt(const StationModel& model, const std::vector<Reading>& readings) {
  if (!IsUsableModel(model)) return {};
  std::vector<Spacing> spacings;
  std::vector<std::size_t> rows;
  for (std::size_t r = 0; r < readings.size(); ++r) {
    if (!InForwardRange(readings[r].ab2)) continue;
    spacings.push_back({readings[r].ab2, 0.0});
    rows.push_back(r);
  }
  std::vector<double> out(readings.size(), kNaN);
  if (spacings.empty()) return out;
  const std::vector<double> rhoa = Evaluate(model, spacings);
  for (std::size_t i = 0; i < rows.size() && i < rhoa.size(); ++i) out[rows[i]] = rhoa[i];
  return out;
}

std::vector<double> ModelApparentResistivity(const sdata& station) {
  const std::vector<float>& ab2 = station.Columns[colAB2];
  if (ab2.empty()) return {};
  std::vector<Reading> at(ab2.size());
  for (std::size_t r = 0; r < ab2.size(); ++r) at[r].ab2 = ab2[r];
  return ModelApparentResistivityAt(station.Model, at);
}

double ResidualPercent(double measured, double model) { return 100.0 * (measured - model) / model; }

double RmsResidualPercent(const std::vector<float>& measured, const std::vector<double>& model) {
  double sum = 0.0;
  std::size_t n = 0;
  for (std::size_t r = 0; r < measured.size() && r < model.size(); ++r) {
    if (!Positive(measured[r]) || !(std::isfinite(model[r]) && model[r] > 0.0)) continue;
    const double e = ResidualPercent(measured[r], model[r]);
    sum += e * e;
    ++n;
  }
  return n == 0 ? kNaN : std::sqrt(sum / static_cast<double>(n));
}

std::vector<CurvePoint> ModelCurve(const StationModel& model, double ab2Min, double ab2Max, int perDecade) {
  if (!IsUsableModel(model) || !InForwardRange(ab2Min) || !InForwardRange(ab2Max) || ab2Max < ab2Min || perDecade < 1)
    return {};
  const double from = std::log10(ab2Min);
  const double decades = std::log10(ab2Max) - from;
  const int steps = std::max(1, static_cast<int>(std::ceil(decades * perDecade)));
  std::vector<Spacing> spacings;
  spacings.reserve(static_cast<std::size_t>(steps) + 1);
  for (int i = 0; i <= steps; ++i)
    spacings.push_back({std::pow(10.0, from + decades * static_cast<double>(i) / steps), 0.0});
  const std::vector<double> rhoa = Evaluate(model, spacings);
  std::vector<CurvePoint> curve;
  curve.reserve(rhoa.size());
  for (std::size_t i = 0; i < rhoa.size() && i < spacings.size(); ++i) curve.push_back({spacings[i].ab2, rhoa[i]});
  return curve;
}

FitResult FitStation(const sdata& station, const FitOptions& options) {
  const std::vector<float>& ab2 = station.Columns[colAB2];
  const std::vector<float>& rho = station.Columns[colRho];
  std::vector<Reading> readings;
  readings.reserve(ab2.size());
  for (std::size_t r = 0; r < ab2.size() && r < rho.size(); ++r) readings.push_back({ab2[r], 0.0, rho[r]});
  return FitSounding(readings, ArrayKind::SchlumbergerIdeal, options);
}
