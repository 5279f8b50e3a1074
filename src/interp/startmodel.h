#pragma once
// Start models made from the sounding curve itself, so that the caller never has to supply one.

#include <vector>

#include "interp/fit.h"
#include "interp/layermodel.h"

// One point of the curve per different AB/2, in increasing order of AB/2: the geometric mean of
// the resistivities of readings taken at the same AB/2 (twice, or with two MN/2).
struct CurvePoint {
  double ab2 = 0.0;
  double rho = 0.0;
};
std::vector<CurvePoint> SoundingCurve(const std::vector<Reading>& readings);

// How a start model is drawn from the curve.
struct StartShape {
  double depthFactor = 0.5;  // the depth a spacing is taken to see, as a fraction of AB/2
  double contrast = 0.0;     // how far layer resistivities are pushed beyond the curve's
};

// A model of `layers` layers from a profile of log resistivity against depth: logRho[i] for the
// i-th of consecutive depth intervals, boundary[i] the depth between intervals i and i + 1
// (increasing; at least `layers` intervals). The intervals are cut into `layers` pieces so that
// log ρ varies least within each piece (the best such cut, found by dynamic programming); each
// piece is a layer with the piece's mean log ρ, pushed away from its neighbours' by `contrast`
// times the difference (a smooth profile blurs the contrasts of layers; the first layer is
// left as it is), its bottom at the boundary below the piece.
LayerModel Blocky(const std::vector<double>& logRho, const std::vector<double>& boundary, int layers,
                  double contrast = 0.0);

// A model of `layers` layers from the curve (at least two points): the curve resampled evenly
// in log AB/2 (eight points a decade) as a profile whose depths are depthFactor times AB/2,
// made Blocky.
LayerModel StartModel(const std::vector<CurvePoint>& curve, int layers, const StartShape& shape = {});

// Models of one layer more than `model` (2 layers or more), for a fit whose usual starts all
// missed: a layer 8 times more or 8 times less resistive than its host put in at the top and
// at the bottom of each layer (a quarter of the host's thickness), and on top of the basement
// (a third of, or as thick as, the depth of the basement). Every interface of `model` stays
// where it was.
std::vector<LayerModel> InsertedLayerStarts(const LayerModel& model);

// The shapes the fit tries in turn, the usual one first.
const std::vector<StartShape>& StartShapes();
