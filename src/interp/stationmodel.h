#pragma once
// A station's layered model (sdata::Model, as the .ves file holds it) for the interpretation
// engine, and what the engine says of it for the station: the model's apparent resistivity at
// the station's spacings, the residual of each reading, and the model's curve for a plot. The
// readings of a sounding are ideal Schlumberger (AB/2 only).

#include <vector>

#include "interp/fit.h"
#include "interp/layermodel.h"
#include "model/sdata.h"

// The engine's model: every layer's resistivity and the thickness of every layer but the
// last, the half-space. Empty when the station has no model.
LayerModel LayerModelOf(const StationModel& model);

// The thickness written for the half-space, which has none: that of the one-layer placeholder.
inline constexpr float kHalfSpaceThickness = 100.0f;

// A station's model from the engine's, as floats: the half-space gets kHalfSpaceThickness.
StationModel StationModelFrom(const LayerModel& model, ModelOrigin origin);

// Whether the forward model can evaluate the model: 1 to 10 layers, every resistivity and
// every thickness but the half-space's within the forward model's range.
bool IsUsableModel(const StationModel& model);

// The model's apparent resistivity at each of the station's AB/2, in row order; empty when the
// station has no usable model. A spacing that is not finite and > 0 gets NaN.
std::vector<double> ModelApparentResistivity(const sdata& station);

// The model's apparent resistivity at the AB/2 of each reading (ideal Schlumberger); empty for a
// model that is not usable, NaN for a spacing outside the forward model's range.
std::vector<double> ModelApparentResistivityAt(const StationModel& model, const std::vector<Reading>& readings);

// The residual of a reading in percent of the model's value, as the fit gives its residuals:
// 100 (measured - model) / model.
double ResidualPercent(double measured, double model);

// The root mean square of the residuals in percent over the readings where both values are
// finite and > 0 (the fit's rmsPercent for its own model); NaN when there is none.
double RmsResidualPercent(const std::vector<float>& measured, const std::vector<double>& model);

struct CurvePoint {
  double ab2 = 0.0;
  double rho = 0.0;
};

// The model's curve from ab2Min to ab2Max (both > 0), perDecade points a decade evenly spaced in
// log(AB/2), both ends included; empty for a model that is not usable.
std::vector<CurvePoint> ModelCurve(const StationModel& model, double ab2Min, double ab2Max, int perDecade = 24);

// Fits a layered model to the station's readings (ideal Schlumberger: AB/2 and apparent
// resistivity of each row) with FitSounding; the window and the command line both fit so.
FitResult FitStation(const sdata& station, const FitOptions& options);
