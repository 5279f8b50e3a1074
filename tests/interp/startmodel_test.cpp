// Start models from the curve: the curve's points, and the cut of a stepped curve at its steps.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "interp/startmodel.h"

TEST(StartModel, CurveHasOnePointPerSpacingInOrder) {
  // Readings out of order, one AB/2 read twice (with two MN/2): its point is the geometric mean.
  const std::vector<Reading> readings = {{10, 1, 40}, {3, 0.5, 60}, {10, 3, 90}, {1, 0.5, 100}};
  const std::vector<CurvePoint> curve = SoundingCurve(readings);
  ASSERT_EQ(curve.size(), 3u);
  EXPECT_EQ(curve[0].ab2, 1);
  EXPECT_EQ(curve[1].ab2, 3);
  EXPECT_EQ(curve[2].ab2, 10);
  EXPECT_NEAR(curve[2].rho, 60.0, 1e-9);
}

TEST(StartModel, SteppedCurveIsCutAtItsSteps) {
  // 100 ohm-m up to AB/2 = 10 m, 10 ohm-m up to 100 m, 1000 ohm-m beyond.
  std::vector<CurvePoint> curve;
  for (int i = 0; i <= 30; ++i) {
    const double a = std::pow(10.0, i / 10.0);
    curve.push_back({a, a < 9.9 ? 100.0 : a < 99 ? 10.0 : 1000.0});
  }
  const LayerModel m = StartModel(curve, 3, {0.5, 0.0});
  ASSERT_EQ(m.layers(), 3);
  EXPECT_NEAR(m.rho[0], 100.0, 1.0);
  EXPECT_NEAR(m.rho[1], 10.0, 0.5);
  EXPECT_NEAR(m.rho[2], 1000.0, 20.0);
  // The bottoms at half the AB/2 of the steps, within the grid's step (eight a decade).
  const double step = std::pow(10.0, 1.0 / 8);
  EXPECT_GT(m.thickness[0], 5.0 / step);
  EXPECT_LT(m.thickness[0], 5.0 * step);
  EXPECT_GT(m.thickness[0] + m.thickness[1], 50.0 / step);
  EXPECT_LT(m.thickness[0] + m.thickness[1], 50.0 * step);
  // Contrast pushes the middle layer further from its neighbours, the first layer stays.
  const LayerModel pushed = StartModel(curve, 3, {0.5, 1.0});
  EXPECT_EQ(pushed.rho[0], m.rho[0]);
  EXPECT_LT(pushed.rho[1], m.rho[1]);
  EXPECT_GT(pushed.rho[2], m.rho[2]);
}

TEST(StartModel, EveryShapeAndCountGivesAModel) {
  // Even three points make a six-layer start with positive thicknesses growing downwards.
  const std::vector<CurvePoint> curve = {{1.5, 80}, {2, 60}, {3, 70}};
  for (const StartShape& shape : StartShapes()) {
    for (int layers = 1; layers <= kMaxFitLayers; ++layers) {
      const LayerModel m = StartModel(curve, layers, shape);
      ASSERT_EQ(m.layers(), layers);
      ASSERT_EQ(m.thickness.size(), static_cast<std::size_t>(layers - 1));
      for (double r : m.rho) EXPECT_TRUE(std::isfinite(r) && r > 0);
      for (double h : m.thickness) EXPECT_TRUE(std::isfinite(h) && h > 0);
    }
  }
}

TEST(StartModel, BlockyProfileKeepsItsBoundaries) {
  // A smooth model of ten layers: 100, then 20 from 5 m, 500 from 40 m, with a step between.
  const std::vector<double> rho = {100, 100, 95, 30, 20, 21, 60, 480, 500, 510};
  const std::vector<double> bottoms = {1, 2, 3.5, 5, 9, 16, 25, 40, 70};
  std::vector<double> logRho;
  for (double r : rho) logRho.push_back(std::log(r));
  const LayerModel m = Blocky(logRho, bottoms, 3);
  ASSERT_EQ(m.layers(), 3);
  // Cut where log ρ changes most: below 3.5 m and below 25 m (each bottom one of the profile's).
  EXPECT_DOUBLE_EQ(m.thickness[0], 3.5);
  EXPECT_DOUBLE_EQ(m.thickness[0] + m.thickness[1], 25.0);
  EXPECT_NEAR(m.rho[0], std::cbrt(100.0 * 100 * 95), 1e-9);
  EXPECT_NEAR(m.rho[2], std::cbrt(480.0 * 500 * 510), 1e-9);
}

TEST(StartModel, InsertedLayersKeepTheInterfaces) {
  const LayerModel fewer{{150, 5}, {28}};
  const std::vector<LayerModel> starts = InsertedLayerStarts(fewer);
  // A layer on top of and below the first one's host, and two on the basement, each 8 times
  // more and less resistive.
  ASSERT_EQ(starts.size(), 8u);
  int resistive = 0;
  for (const LayerModel& m : starts) {
    ASSERT_EQ(m.layers(), 3);
    double depth = 0.0;
    bool interfaceKept = false;
    for (double h : m.thickness) {
      EXPECT_GT(h, 0.0);
      depth += h;
      interfaceKept = interfaceKept || std::abs(depth - 28.0) < 1e-9;
    }
    EXPECT_TRUE(interfaceKept);
    resistive += (m.rho[0] == 1200 || m.rho[1] == 1200 || m.rho[1] == 40);
  }
  EXPECT_EQ(resistive, 4);
  // The thin resistor at the bottom of the first layer is among them.
  EXPECT_EQ(starts[1], (LayerModel{{150, 1200, 5}, {21, 7}}));
  EXPECT_TRUE(InsertedLayerStarts(LayerModel{{100}, {}}).empty());
}
