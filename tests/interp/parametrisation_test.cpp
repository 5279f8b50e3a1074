// The fit's parameters: known values held exactly, a known depth kept whatever the thicknesses
// above it do, held S or T, and the chain rule the solver relies on.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "interp/parametrisation.h"

namespace {

// Four layers: ρ0 known, the bottom of layer 1 at a known 12 m, layer 2 between 1 and 30 m thick.
std::vector<LayerConstraint> Borehole() {
  std::vector<LayerConstraint> c(3);
  c[0].rho = 50.0;
  c[1].depth = 12.0;
  c[2].thicknessBounds = {1.0, 30.0};
  return c;
}

// ln ρ then ln h, the columns of the forward model's Jacobian.
std::vector<double> LogParameters(const LayerModel& m) {
  std::vector<double> p;
  for (double r : m.rho) p.push_back(std::log(r));
  for (double h : m.thickness) p.push_back(std::log(h));
  return p;
}

const std::vector<std::vector<double>> kFreePoints = {
    {std::log(80.0), std::log(5.0), std::log(300.0), std::log(2.0), std::log(7.0)},
    {std::log(3.0), std::log(0.5), std::log(1.0), std::log(11.5), std::log(29.0)},
    {std::log(1000.0), std::log(90.0), std::log(20.0), std::log(0.1), std::log(1.0)},
};

}  // namespace

TEST(Parametrisation, KnownValuesAndDepthHoldForEveryPoint) {
  const Parametrisation par(4, Borehole(), ParameterLimits{});
  // Free: ρ1, ρ2, ρ3, h0, h2 (h1 is what the depth leaves).
  ASSERT_EQ(par.freeCount(), 5u);
  for (const std::vector<double>& x : kFreePoints) {
    LayerModel m;
    ASSERT_TRUE(par.toModel(x, m));
    EXPECT_EQ(m.rho[0], 50.0);
    EXPECT_NEAR(m.thickness[0] + m.thickness[1], 12.0, 1e-12);
    EXPECT_NEAR(m.thickness[0], std::exp(x[3]), 1e-12);
  }
  // The box keeps h0 within the 12 m; at its edge nothing is left for h1, which is refused.
  EXPECT_NEAR(par.upper()[3], std::log(12.0), 1e-12);
  LayerModel m;
  EXPECT_FALSE(par.toModel(std::vector<double>{0, 0, 0, std::log(12.0), 0}, m));
  // Layer 2's bounds are the box of its thickness.
  EXPECT_NEAR(par.lower()[4], 0.0, 1e-12);
  EXPECT_NEAR(par.upper()[4], std::log(30.0), 1e-12);
}

TEST(Parametrisation, ChainRuleMatchesDifferences) {
  const Parametrisation base(4, Borehole(), ParameterLimits{});
  const std::vector<std::pair<std::string, Parametrisation>> cases = {
      {"borehole", base},
      {"S of layer 2 held", *base.linking(2, std::log(1.0), 1.0)},
      {"T of layer 2 held", *base.linking(2, std::log(50.0), -1.0)},
      {"h0 held", *base.holding(4, std::log(3.0))},
  };
  for (const auto& [name, par] : cases) {
    SCOPED_TRACE(name);
    const std::size_t f = par.freeCount();
    std::vector<double> x(kFreePoints[0].begin(), kFreePoints[0].begin() + static_cast<long>(f));
    LayerModel m;
    ASSERT_TRUE(par.toModel(x, m));
    std::vector<double> dpdx;
    par.chain(m, dpdx);
    const std::vector<double> p0 = LogParameters(m);
    for (std::size_t c = 0; c < f; ++c) {
      std::vector<double> xp = x;
      xp[c] += 1e-6;
      LayerModel mp;
      ASSERT_TRUE(par.toModel(xp, mp));
      const std::vector<double> p1 = LogParameters(mp);
      for (std::size_t i = 0; i < p0.size(); ++i) {
        EXPECT_NEAR((p1[i] - p0[i]) / 1e-6, dpdx[i * f + c], 1e-4) << "p" << i << " x" << c;
      }
    }
  }
}

TEST(Parametrisation, HeldConductanceAndResistance) {
  const Parametrisation base(4, Borehole(), ParameterLimits{});
  const Parametrisation s = *base.linking(2, std::log(0.05), 1.0);
  const Parametrisation t = *base.linking(2, std::log(900.0), -1.0);
  ASSERT_EQ(s.freeCount(), 4u);
  for (const std::vector<double>& x : kFreePoints) {
    LayerModel m;
    if (s.toModel(std::span(x).first(4), m)) {
      EXPECT_NEAR(m.thickness[2] / m.rho[2], 0.05, 1e-12);
    }
    if (t.toModel(std::span(x).first(4), m)) {
      EXPECT_NEAR(m.thickness[2] * m.rho[2], 900.0, 1e-9);
    }
  }
  // ρ2 = 300 would make layer 2 15 m thick for S = 0.05: within its 30 m. ρ2 = 1000: 50 m, refused.
  LayerModel m;
  EXPECT_TRUE(s.toModel(std::vector<double>{0, std::log(300.0), 0, 0}, m));
  EXPECT_FALSE(s.toModel(std::vector<double>{0, std::log(1000.0), 0, 0}, m));
  // Only free parameters can be held or linked.
  EXPECT_FALSE(base.holding(0, 1.0));           // ρ0 is known
  EXPECT_FALSE(base.holding(5, 1.0));           // h1 follows from the depth
  EXPECT_FALSE(base.linking(1, 1.0, 1.0));      // so does layer 1's S
  EXPECT_FALSE(base.linking(3, 1.0, 1.0));      // the basement has no thickness
}

TEST(Parametrisation, StartModelIsFittedToTheKnownDepth) {
  const Parametrisation par(4, Borehole(), ParameterLimits{});
  // The start puts the bottom of layer 1 at 30 m: its two thicknesses shrink in proportion.
  const LayerModel start{{60.0, 10.0, 200.0, 5.0}, {20.0, 10.0, 8.0}};
  LayerModel m;
  ASSERT_TRUE(par.toModel(par.freeFrom(start), m));
  EXPECT_NEAR(m.thickness[0], 8.0, 1e-9);
  EXPECT_NEAR(m.thickness[1], 4.0, 1e-9);
  EXPECT_EQ(m.rho[0], 50.0);
  EXPECT_NEAR(m.rho[1], 10.0, 1e-9);
  EXPECT_NEAR(m.thickness[2], 8.0, 1e-9);

  // Without constraints a model comes back as it was.
  const Parametrisation plain(4, {}, ParameterLimits{});
  ASSERT_TRUE(plain.toModel(plain.freeFrom(start), m));
  for (std::size_t j = 0; j < 4; ++j) EXPECT_NEAR(m.rho[j], start.rho[j], 1e-9 * start.rho[j]);
  for (std::size_t j = 0; j < 3; ++j) EXPECT_NEAR(m.thickness[j], start.thickness[j], 1e-9 * start.thickness[j]);
}

TEST(Parametrisation, ConstraintsThatContradictThemselvesAreRefused) {
  struct Case {
    std::string name;
    std::vector<LayerConstraint> constraints;
    int layers;
    bool valid;
  };
  auto layer = [](auto set) {
    LayerConstraint c;
    set(c);
    return c;
  };
  const std::vector<Case> cases = {
      {"borehole", Borehole(), 4, true},
      {"layer 2's thickness bounds need a layer below it", Borehole(), 3, false},
      {"negative resistivity", {layer([](LayerConstraint& c) { c.rho = -5.0; })}, 3, false},
      {"NaN thickness", {layer([](LayerConstraint& c) { c.thickness = std::nan(""); })}, 3, false},
      {"thickness and depth", {layer([](LayerConstraint& c) { c.thickness = 2.0; c.depth = 2.0; })}, 3, false},
      {"known value outside its bounds", {layer([](LayerConstraint& c) { c.rho = 5.0; c.rhoBounds = {10.0, 20.0}; })}, 3, false},
      {"bounds upside down", {layer([](LayerConstraint& c) { c.thicknessBounds = {20.0, 10.0}; })}, 3, false},
      {"depths not increasing",
       {layer([](LayerConstraint& c) { c.depth = 10.0; }), layer([](LayerConstraint& c) { c.depth = 8.0; })}, 3, false},
      {"known thicknesses leave no room above a depth",
       {layer([](LayerConstraint& c) { c.thickness = 6.0; }), layer([](LayerConstraint& c) { c.depth = 6.0; })}, 3, false},
      {"a depth below known thicknesses", 
       {layer([](LayerConstraint& c) { c.thickness = 6.0; }), layer([](LayerConstraint& c) { c.depth = 9.0; })}, 3, true},
      {"a thickness for the basement", {layer([](LayerConstraint& c) { c.thickness = 3.0; })}, 1, false},
      {"the basement's resistivity", {{}, {}, layer([](LayerConstraint& c) { c.rho = 300.0; })}, 3, true},
  };
  for (const Case& c : cases) EXPECT_EQ(ConstraintsValid(c.constraints, c.layers), c.valid) << c.name;
}
