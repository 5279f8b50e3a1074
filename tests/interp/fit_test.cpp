// The automatic fit: synthetic soundings of the usual curve types with noise come back with the
// quantities the data resolve; known parameters and bounds are kept; the layer count chosen is
// the true one; bad input gets a reason; the same readings give the same model.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "interp/fit.h"
#include "synthetic.h"

namespace {

// A quantity the readings resolve, with how close the fit must bring it (a fraction).
struct Check {
  std::string name;
  std::function<double(const LayerModel&)> of;
  double tolerance;
};

Check Rho(std::size_t j, double tol = 0.05) {
  return {"rho" + std::to_string(j + 1), [j](const LayerModel& m) { return m.rho[j]; }, tol};
}
Check DepthTo(std::size_t j, double tol = 0.05) {
  return {"depth to layer " + std::to_string(j + 2), [j](const LayerModel& m) { return Depth(m, j); }, tol};
}
Check S(std::size_t j, double tol = 0.05) {
  return {"S" + std::to_string(j + 1), [j](const LayerModel& m) { return m.thickness[j] / m.rho[j]; }, tol};
}
Check T(std::size_t j, double tol = 0.05) {
  return {"T" + std::to_string(j + 1), [j](const LayerModel& m) { return m.thickness[j] * m.rho[j]; }, tol};
}

struct Sounding {
  std::string name;
  LayerModel truth;
  ArrayKind kind = ArrayKind::SchlumbergerIdeal;
  int spacings = 30;
  double noise = 0.03;
  std::uint32_t seed = 1;
  std::vector<Check> resolved;
};

std::vector<Reading> ReadingsOf(const Sounding& s) {
  const double mn2 = s.kind == ArrayKind::Schlumberger ? 0.1 : 0.0;
  return SyntheticReadings(s.truth, s.kind, LogSpacings(s.spacings, 1.0, 1000.0, mn2), s.noise, s.seed);
}

FitOptions OptionsFor(const Sounding& s, int layers) {
  FitOptions o;
  o.layers = layers;
  o.relativeError = s.noise;
  return o;
}

const std::vector<Sounding>& Soundings() {
  static const std::vector<Sounding> soundings = {
      {"H", {{100, 10, 500}, {5, 20}}, ArrayKind::SchlumbergerIdeal, 30, 0.03, 11,
       {Rho(0), DepthTo(0), S(1), Rho(2, 0.1)}},
      {"K", {{20, 500, 30}, {4, 15}}, ArrayKind::SchlumbergerIdeal, 30, 0.03, 12,
       {Rho(0), DepthTo(0), T(1), Rho(2)}},
      {"A", {{10, 100, 1000}, {3, 30}}, ArrayKind::SchlumbergerIdeal, 30, 0.02, 13,
       {Rho(0), DepthTo(0), Rho(2, 0.1)}},
      {"Q", {{500, 100, 10}, {5, 30}}, ArrayKind::SchlumbergerIdeal, 30, 0.02, 14,
       {Rho(0), DepthTo(0), DepthTo(1), Rho(2)}},
      {"HK, Wenner", {{200, 20, 400, 50}, {3, 12, 40}}, ArrayKind::Wenner, 35, 0.03, 15,
       {Rho(0), DepthTo(0), S(1), Rho(3, 0.1)}},
      {"KH, finite MN/2", {{30, 300, 15, 200}, {2, 10, 40}}, ArrayKind::Schlumberger, 35, 0.02, 16,
       {Rho(0), DepthTo(0), T(1), Rho(3, 0.1)}},
      // Five layers: the two conductors are known by their S, the resistor between them hardly.
      {"HKH", {{200, 20, 500, 40, 1000}, {2, 5, 20, 40}}, ArrayKind::SchlumbergerIdeal, 40, 0.02, 17,
       {Rho(0), DepthTo(0), S(1, 0.08), S(3, 0.08), Rho(4, 0.08)}},
      // A thin resistor on a conductive basement, which the smooth picture hides: found only by
      // putting a layer into the 2-layer fit.
      {"thin resistor on a conductor", {{150, 2000, 5}, {25, 4.5}}, ArrayKind::SchlumbergerIdeal, 30, 0.03, 2,
       {Rho(0), DepthTo(0, 0.1), T(1, 0.1), Rho(2)}},
      // A thin conductor: only its conductance S = 0.4 S is resolved, not h = 2 m nor ρ = 5.
      {"thin conductor", {{100, 5, 300}, {10, 2}}, ArrayKind::SchlumbergerIdeal, 30, 0.03, 18,
       {Rho(0), DepthTo(0), S(1), Rho(2)}},
  };
  return soundings;
}

}  // namespace

TEST(FitSounding, SyntheticCurvesComeBackFromTheDefaultStart) {
  for (const Sounding& s : Soundings()) {
    SCOPED_TRACE(s.name);
    const std::vector<Reading> readings = ReadingsOf(s);
    const FitResult fit = FitSounding(readings, s.kind, OptionsFor(s, s.truth.layers()));
    ASSERT_TRUE(fit.ok) << fit.reason;
    ASSERT_EQ(fit.model.layers(), s.truth.layers());
    const double n = static_cast<double>(readings.size());
    EXPECT_GT(fit.chi2PerReading, 0.4);
    EXPECT_LT(fit.chi2PerReading, 1.0 + 2.0 * std::sqrt(2.0 / n));
    EXPECT_NEAR(fit.chi2 / n, fit.chi2PerReading, 1e-12);
    for (const Check& r : s.resolved) {
      const double want = r.of(s.truth), got = r.of(fit.model);
      EXPECT_NEAR(got / want, 1.0, r.tolerance) << r.name << ": " << got << " for " << want;
    }
    // What the result reports is the model's own.
    ASSERT_EQ(fit.residuals.size(), readings.size());
    ASSERT_EQ(fit.computed.size(), readings.size());
    double sum = 0.0;
    for (std::size_t i = 0; i < readings.size(); ++i) {
      const double rel = readings[i].rho / fit.computed[i] - 1.0;
      EXPECT_NEAR(fit.residuals[i], 100.0 * rel, 1e-9);
      sum += rel * rel;
    }
    EXPECT_NEAR(fit.rmsPercent, 100.0 * std::sqrt(sum / n), 1e-9);
    EXPECT_NEAR(fit.rmsPercent, 100.0 * s.noise, 100.0 * s.noise * 0.4);
    ASSERT_EQ(fit.conductance.size(), static_cast<std::size_t>(s.truth.layers() - 1));
    for (std::size_t j = 0; j < fit.conductance.size(); ++j) {
      EXPECT_DOUBLE_EQ(fit.conductance[j], fit.model.thickness[j] / fit.model.rho[j]);
      EXPECT_DOUBLE_EQ(fit.resistance[j], fit.model.thickness[j] * fit.model.rho[j]);
    }
  }
}

TEST(FitSounding, AutomaticLayerCountIsTheTrueOne) {
  std::vector<Sounding> cases = {
      {"two layers", {{50, 400}, {8}}, ArrayKind::SchlumbergerIdeal, 30, 0.02, 21, {}},
  };
  for (const Sounding& s : Soundings()) {
    if (s.truth.layers() <= 4 && s.name != "thin conductor") cases.push_back(s);
  }
  for (const Sounding& s : cases) {
    SCOPED_TRACE(s.name);
    const FitResult fit = FitSounding(ReadingsOf(s), s.kind, OptionsFor(s, 0));
    ASSERT_TRUE(fit.ok) << fit.reason;
    EXPECT_EQ(fit.model.layers(), s.truth.layers());
    // Fewer layers did not reach the noise; no count above the chosen one was fitted.
    for (int n = 1; n <= kMaxFitLayers; ++n) {
      const double chi2 = fit.chi2ByLayers[static_cast<std::size_t>(n - 1)];
      if (n < fit.model.layers()) {
        EXPECT_GT(chi2, fit.chi2) << n;
      }
      if (n > fit.model.layers()) {
        EXPECT_EQ(chi2, 0.0) << n;
      }
    }
  }
}

TEST(FitSounding, KnownParametersAreKeptExactly) {
  const Sounding& h = Soundings()[0];  // H: ρ 100, 10, 500; h 5, 20
  const std::vector<Reading> readings = ReadingsOf(h);
  struct Case {
    std::string name;
    std::vector<LayerConstraint> constraints;
    std::function<void(const LayerModel&)> check;
  };
  std::vector<Case> cases;
  {
    std::vector<LayerConstraint> c(3);
    c[2].rho = 480.0;
    cases.push_back({"basement resistivity", c, [](const LayerModel& m) { EXPECT_EQ(m.rho[2], 480.0); }});
  }
  {
    std::vector<LayerConstraint> c(2);
    c[1].depth = 26.0;  // the bottom of the conductor from a borehole (the truth is 25 m)
    cases.push_back({"depth to the basement", c, [](const LayerModel& m) {
                       EXPECT_NEAR(m.thickness[0] + m.thickness[1], 26.0, 1e-12);
                     }});
  }
  {
    std::vector<LayerConstraint> c(2);
    c[0].thickness = 5.0;
    c[1].rho = 9.0;  // off the truth, but S is what the readings see of the conductor
    cases.push_back({"first thickness and second resistivity", c, [](const LayerModel& m) {
                       EXPECT_EQ(m.thickness[0], 5.0);
                       EXPECT_EQ(m.rho[1], 9.0);
                     }});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FitOptions o = OptionsFor(h, 3);
    o.constraints = c.constraints;
    const FitResult fit = FitSounding(readings, h.kind, o);
    ASSERT_TRUE(fit.ok) << fit.reason;
    c.check(fit.model);
    // A known value near the truth still lets the rest fit the readings.
    EXPECT_LT(fit.chi2PerReading, 1.5);
    EXPECT_NEAR(fit.model.rho[0] / 100.0, 1.0, 0.05);
    // With the automatic count, too.
    o.layers = 0;
    const FitResult automatic = FitSounding(readings, h.kind, o);
    ASSERT_TRUE(automatic.ok) << automatic.reason;
    EXPECT_EQ(automatic.model.layers(), 3);
    c.check(automatic.model);
  }
}

TEST(FitSounding, BoundsAreKept) {
  const Sounding& h = Soundings()[0];  // H: ρ 100, 10, 500; h 5, 20
  FitOptions o = OptionsFor(h, 3);
  o.constraints.resize(2);
  o.constraints[1].rhoBounds = {12.0, 20.0};        // keeps the conductor above its true 10
  o.constraints[0].thicknessBounds = {1.0, 4.0};    // and the first layer above its true 5 m
  const FitResult fit = FitSounding(ReadingsOf(h), h.kind, o);
  ASSERT_TRUE(fit.ok) << fit.reason;
  EXPECT_GE(fit.model.rho[1], 12.0);
  EXPECT_LE(fit.model.rho[1], 20.0);
  EXPECT_GE(fit.model.thickness[0], 1.0);
  EXPECT_LE(fit.model.thickness[0], 4.0);
  // Held off the truth, the fit is worse than without bounds.
  const FitResult free = FitSounding(ReadingsOf(h), h.kind, OptionsFor(h, 3));
  EXPECT_GT(fit.chi2, free.chi2);
}

TEST(FitSounding, BadInputGetsAReason) {
  const Sounding& h = Soundings()[0];
  const std::vector<Reading> good = ReadingsOf(h);
  auto changed = [&](std::size_t i, Reading r) {
    std::vector<Reading> v = good;
    v[i] = r;
    return v;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  std::vector<LayerConstraint> tooDeep(4);
  tooDeep[3].rho = 10.0;
  FitOptions badStart;
  badStart.start = LayerModel{{10, -5}, {3}};
  FitOptions startCountDiffers;
  startCountDiffers.layers = 3;
  startCountDiffers.start = LayerModel{{10, 5}, {3}};
  FitOptions wrongErrorCount;
  wrongErrorCount.readingErrors = {0.03, 0.03};
  FitOptions zeroError;
  zeroError.relativeError = 0.0;
  struct Case {
    std::string name;
    std::vector<Reading> readings;
    ArrayKind kind;
    FitOptions options;
    const char* reason;
  };
  const std::vector<Case> cases = {
      {"no readings", {}, ArrayKind::SchlumbergerIdeal, {}, fittext::kTooFewSpacings},
      {"two spacings", {{1, 0, 10}, {2, 0, 12}, {2, 0, 13}, {1, 0, 11}}, ArrayKind::SchlumbergerIdeal, {},
       fittext::kTooFewSpacings},
      {"fewer readings than parameters", {{1, 0, 10}, {2, 0, 12}, {4, 0, 13}, {8, 0, 20}},
       ArrayKind::SchlumbergerIdeal, OptionsFor(h, 3), fittext::kTooFewReadings},
      {"zero resistivity", changed(3, {good[3].ab2, 0, 0.0}), ArrayKind::SchlumbergerIdeal, {}, fittext::kNotPositive},
      {"negative AB/2", changed(5, {-2.0, 0, 50}), ArrayKind::SchlumbergerIdeal, {}, fittext::kNotPositive},
      {"NaN resistivity", changed(7, {good[7].ab2, 0, nan}), ArrayKind::SchlumbergerIdeal, {}, fittext::kNotPositive},
      {"infinite AB/2", changed(7, {inf, 0, 50}), ArrayKind::SchlumbergerIdeal, {}, fittext::kNotPositive},
      {"MN/2 as long as AB/2", changed(2, {good[2].ab2, good[2].ab2, 50}), ArrayKind::Schlumberger, {},
       fittext::kBadMn},
      {"no MN/2 with a finite MN/2 array", good, ArrayKind::Schlumberger, {}, fittext::kBadMn},
      {"seven layers", good, ArrayKind::SchlumbergerIdeal, OptionsFor(h, 7), fittext::kBadLayerCount},
      {"negative layer count", good, ArrayKind::SchlumbergerIdeal, OptionsFor(h, -1), fittext::kBadLayerCount},
      {"zero error", good, ArrayKind::SchlumbergerIdeal, zeroError, fittext::kBadError},
      {"errors not one per reading", good, ArrayKind::SchlumbergerIdeal, wrongErrorCount, fittext::kBadError},
      {"a constraint below the basement", good, ArrayKind::SchlumbergerIdeal, [&] {
         FitOptions o = OptionsFor(h, 3);
         o.constraints = tooDeep;
         return o;
       }(), fittext::kBadConstraint},
      {"negative start resistivity", good, ArrayKind::SchlumbergerIdeal, badStart, fittext::kBadStart},
      {"start of another layer count", good, ArrayKind::SchlumbergerIdeal, startCountDiffers, fittext::kBadStart},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const FitResult fit = FitSounding(c.readings, c.kind, c.options);
    EXPECT_FALSE(fit.ok);
    EXPECT_EQ(fit.reason, c.reason);
    EXPECT_EQ(fit.model.layers(), 0);
  }
}

TEST(FitSounding, SameReadingsGiveTheSameModel) {
  const Sounding& k = Soundings()[1];
  const std::vector<Reading> readings = ReadingsOf(k);
  const FitResult first = FitSounding(readings, k.kind, OptionsFor(k, 0));
  // Another sounding fitted in between leaves nothing behind.
  FitSounding(ReadingsOf(Soundings()[0]), Soundings()[0].kind, OptionsFor(Soundings()[0], 0));
  const FitResult second = FitSounding(readings, k.kind, OptionsFor(k, 0));
  ASSERT_TRUE(first.ok);
  EXPECT_EQ(first.model, second.model);
  EXPECT_EQ(first.chi2, second.chi2);
  EXPECT_EQ(first.residuals, second.residuals);
}

TEST(FitSounding, RepeatedSpacingsAreFittedAsTheyAre) {
  // The H sounding with every fifth AB/2 read twice (new noise), and a finite-MN/2 sounding with
  // the usual overlaps: two MN/2 at the same AB/2.
  const Sounding& h = Soundings()[0];
  std::vector<Spacing> twice;
  for (const Spacing& s : LogSpacings(30, 1.0, 1000.0)) {
    twice.push_back(s);
    if (twice.size() % 6 == 0) twice.push_back(s);
  }
  std::vector<Spacing> overlaps;
  for (const Spacing& s : LogSpacings(30, 1.5, 1000.0)) {
    const double mn2 = s.ab2 < 15 ? 0.5 : s.ab2 < 150 ? 5.0 : 50.0;
    overlaps.push_back({s.ab2, mn2});
    if (mn2 == 0.5 && s.ab2 * 1.5 > 15) overlaps.push_back({s.ab2, 5.0});
    if (mn2 == 5.0 && s.ab2 * 1.5 > 150) overlaps.push_back({s.ab2, 50.0});
  }
  struct Case {
    std::string name;
    ArrayKind kind;
    std::vector<Spacing> spacings;
  };
  for (const Case& c : {Case{"read twice", ArrayKind::SchlumbergerIdeal, twice},
                        Case{"two MN/2", ArrayKind::Schlumberger, overlaps}}) {
    SCOPED_TRACE(c.name);
    const std::vector<Reading> readings = SyntheticReadings(h.truth, c.kind, c.spacings, 0.03, 31);
    const FitResult fit = FitSounding(readings, c.kind, OptionsFor(h, 3));
    ASSERT_TRUE(fit.ok) << fit.reason;
    EXPECT_EQ(fit.residuals.size(), readings.size());
    EXPECT_LT(fit.chi2PerReading, 1.5);
    EXPECT_NEAR(fit.model.rho[0] / 100.0, 1.0, 0.05);
    EXPECT_NEAR(Depth(fit.model, 0) / 5.0, 1.0, 0.05);
    EXPECT_NEAR(fit.conductance[1] / 2.0, 1.0, 0.05);
  }
}

TEST(FitSounding, RefitFromThePreviousModelAfterOneReadingChanged) {
  const Sounding& s = Soundings()[4];  // HK
  std::vector<Reading> readings = ReadingsOf(s);
  const FitResult first = FitSounding(readings, s.kind, OptionsFor(s, 4));
  ASSERT_TRUE(first.ok);
  readings[20].rho *= 1.04;
  FitOptions o = OptionsFor(s, 0);  // the start's layer count is taken
  o.start = first.model;
  const FitResult refit = FitSounding(readings, s.kind, o);
  ASSERT_TRUE(refit.ok) << refit.reason;
  ASSERT_EQ(refit.model.layers(), 4);
  for (std::size_t j = 0; j < 4; ++j) EXPECT_NEAR(refit.model.rho[j] / first.model.rho[j], 1.0, 0.1) << j;
  EXPECT_GT(refit.residuals[20], 0.0);
}
