// Equivalence ranges: a thin conductor's h and ρ range widely along a narrow range of S, a thin
// resistor's along T; the truth lies within the ranges; known parameters do not move.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "interp/equivalence.h"
#include "interp/fit.h"
#include "synthetic.h"

namespace {

struct Case {
  std::string name;
  LayerModel truth;
  std::uint32_t seed;
  Resolved middle;  // what the ranges say of the middle layer
};

bool Contains(const ParameterRange& r, double v) { return r.low <= v && v <= r.high; }
double Spread(const ParameterRange& r) { return r.high / r.low; }

}  // namespace

TEST(EquivalenceRanges, ThinLayersTradeOffAlongTheirResolvedProduct) {
  const std::vector<Case> cases = {
      {"thin conductor", {{100, 5, 300}, {10, 2}}, 41, Resolved::Conductance},
      {"thin resistor", {{50, 1000, 40}, {8, 2}}, 42, Resolved::Resistance},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<Reading> readings =
        SyntheticReadings(c.truth, ArrayKind::SchlumbergerIdeal, LogSpacings(30, 1.0, 1000.0), 0.03, c.seed);
    FitOptions options;
    options.layers = 3;
    const FitResult fit = FitSounding(readings, ArrayKind::SchlumbergerIdeal, options);
    ASSERT_TRUE(fit.ok) << fit.reason;
    const Equivalence eq = EquivalenceRanges(readings, ArrayKind::SchlumbergerIdeal, options, fit);
    ASSERT_EQ(eq.layers.size(), 3u);
    EXPECT_GT(eq.chi2Limit, fit.chi2 + 3.9);

    const LayerRanges& mid = eq.layers[1];
    EXPECT_EQ(mid.resolved, c.middle);
    const ParameterRange& product = c.middle == Resolved::Conductance ? mid.conductance : mid.resistance;
    const double truthProduct =
        c.middle == Resolved::Conductance ? c.truth.thickness[1] / c.truth.rho[1] : c.truth.thickness[1] * c.truth.rho[1];
    // h and ρ range over more than a factor 10, the resolved product within 40 %.
    EXPECT_GT(Spread(mid.thickness), 10.0);
    EXPECT_GT(Spread(mid.rho), 10.0);
    EXPECT_LT(Spread(product), 1.4);
    EXPECT_TRUE(Contains(product, truthProduct)) << product.low << " " << product.high;
    // The truth and the fitted model lie within every range.
    for (std::size_t j = 0; j < 3; ++j) {
      SCOPED_TRACE(j);
      const LayerRanges& r = eq.layers[j];
      EXPECT_TRUE(Contains(r.rho, c.truth.rho[j])) << r.rho.low << " " << r.rho.high;
      EXPECT_TRUE(Contains(r.rho, fit.model.rho[j]));
      EXPECT_EQ(r.rho.best, fit.model.rho[j]);
      if (j == 2) continue;
      EXPECT_TRUE(Contains(r.thickness, c.truth.thickness[j])) << r.thickness.low << " " << r.thickness.high;
      EXPECT_TRUE(Contains(r.thickness, fit.model.thickness[j]));
    }
    // The first layer is resolved.
    EXPECT_EQ(eq.layers[0].resolved, Resolved::Both);
    EXPECT_LT(Spread(eq.layers[0].rho), 1.2);
  }
}

TEST(EquivalenceRanges, KnownParametersDoNotMove) {
  const LayerModel truth{{100, 5, 300}, {10, 2}};
  const std::vector<Reading> readings =
      SyntheticReadings(truth, ArrayKind::SchlumbergerIdeal, LogSpacings(30, 1.0, 1000.0), 0.03, 43);
  FitOptions options;
  options.layers = 3;
  options.constraints.resize(2);
  options.constraints[1].thickness = 2.0;  // the conductor's thickness from a borehole
  const FitResult fit = FitSounding(readings, ArrayKind::SchlumbergerIdeal, options);
  ASSERT_TRUE(fit.ok) << fit.reason;
  const Equivalence eq = EquivalenceRanges(readings, ArrayKind::SchlumbergerIdeal, options, fit);
  ASSERT_EQ(eq.layers.size(), 3u);
  const LayerRanges& mid = eq.layers[1];
  EXPECT_EQ(mid.thickness.low, 2.0);
  EXPECT_EQ(mid.thickness.high, 2.0);
  // With h known, S fixes ρ: the conductor's resistivity is now resolved.
  EXPECT_LT(Spread(mid.rho), 1.3);
  EXPECT_TRUE(Contains(mid.rho, 5.0));

  // No fit, or no model, no ranges.
  EXPECT_TRUE(EquivalenceRanges(readings, ArrayKind::SchlumbergerIdeal, options, FitResult{}).layers.empty());
  FitResult noModel;
  noModel.ok = true;
  EXPECT_TRUE(EquivalenceRanges(readings, ArrayKind::SchlumbergerIdeal, options, noModel).layers.empty());
}
