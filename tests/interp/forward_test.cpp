// The forward model against values computed without its filter: the two-layer image series in
// closed form, and multi-layer values by direct numerical integration (the fixture written by
// make_reference.cpp). Then the Jacobian, refusals and extreme models.
#include "interp/forward.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// The forward model promises 1e-6; its filter gives about 1e-9 on these models. The margin
// between still shows a coarser filter or interpolation.
constexpr double kTolerance = 1e-7;

std::vector<double> LogRange(double first, double last, int count) {
  std::vector<double> v;
  for (int i = 0; i < count; ++i)
    v.push_back(first * std::pow(last / first, static_cast<double>(i) / (count - 1)));
  return v;
}

// Two layers (rho1 over rho2, thickness h): the image series
//   rho_a / rho1 = 1 + 2 sum_n k^n f_n,  k = (rho2 - rho1) / (rho2 + rho1),
// with 0 <= f_n <= 1 for every array, so the tail after term N is below |k|^(N+1) / (1 - |k|);
// the sum stops when that bound is 1e-17 of the total.
//   ideal Schlumberger:  f_n = s^3 / (s^2 + z^2)^(3/2),                    z = 2 n h
//   AB/2 = L, MN/2 = l:  f_n = (L^2 - l^2) / (2 l) [1/sqrt(r1^2 + z^2) - 1/sqrt(r2^2 + z^2)],
//                        r1 = L - l, r2 = L + l (Wenner: L = 1.5 a, l = 0.5 a)
double ImageSeries(double rho1, double rho2, double h, ArrayKind kind, Spacing sp) {
  using Real = long double;
  const Real k = (Real(rho2) - rho1) / (Real(rho2) + rho1);
  const Real L = sp.ab2, l = kind == ArrayKind::Wenner ? sp.ab2 / 3.0 : sp.mn2;
  const Real r1 = L - l, r2 = L + l, factor = (L * L - l * l) / (2 * l);
  Real sum = 0, kn = 1;
  for (int n = 1;; ++n) {
    kn *= k;
    const Real z = 2 * n * Real(h);
    const Real x = L * L / (L * L + z * z);
    const Real f = kind == ArrayKind::SchlumbergerIdeal
                       ? x * std::sqrt(x)
                       : factor * (1 / std::sqrt(r1 * r1 + z * z) - 1 / std::sqrt(r2 * r2 + z * z));
    sum += kn * f;
    if (std::fabs(kn * k) / (1 - std::fabs(k)) < 1e-17L * (1 + 2 * std::fabs(sum))) break;
  }
  return static_cast<double>(rho1 * (1 + 2 * sum));
}

struct Curve {
  LayerModel model;
  ArrayKind kind;
  std::vector<Spacing> spacings;
  std::vector<double> want;
};

const char* Name(ArrayKind kind) {
  switch (kind) {
    case ArrayKind::SchlumbergerIdeal:
      return "ideal";
    case ArrayKind::Schlumberger:
      return "schlumberger";
    case ArrayKind::Wenner:
      return "wenner";
  }
  return "?";
}

// Checks a whole curve through one forward model; returns the largest relative error.
double ExpectCurve(const Curve& c) {
  const ForwardModel forward(c.kind, c.spacings);
  std::vector<double> got(forward.size());
  forward.apparentResistivity(c.model, got);
  double worst = 0.0;
  for (std::size_t i = 0; i < got.size(); ++i) {
    const double rel = std::fabs(got[i] / c.want[i] - 1.0);
    worst = std::max(worst, rel);
    EXPECT_LE(rel, kTolerance) << Name(c.kind) << " AB/2 " << c.spacings[i].ab2 << " MN/2 "
                               << c.spacings[i].mn2 << ": " << got[i] << " instead of "
                               << c.want[i];
  }
  return worst;
}

TEST(ForwardModel, TwoLayersMatchTheImageSeries) {
  const std::vector<double> ab2 = LogRange(0.5, 10000.0, 23);
  double worst = 0.0;
  for (double contrast : {1e-3, 1e-2, 0.1, 10.0, 100.0, 1e3}) {
    for (double h : {0.01, 1.0, 100.0, 5000.0}) {
      for (ArrayKind kind :
           {ArrayKind::SchlumbergerIdeal, ArrayKind::Schlumberger, ArrayKind::Wenner}) {
        SCOPED_TRACE(testing::Message() << "rho2/rho1 " << contrast << " h " << h);
        Curve c{{{20.0, 20.0 * contrast}, {h}}, kind, {}, {}};
        for (std::size_t i = 0; i < ab2.size(); ++i) {
          const double fractions[] = {0.02, 0.1, 0.2, 1.0 / 3, 0.5};
          c.spacings.push_back({ab2[i], ab2[i] * fractions[i % 5]});
          c.want.push_back(ImageSeries(c.model.rho[0], c.model.rho[1], h, kind, c.spacings.back()));
        }
        worst = std::max(worst, ExpectCurve(c));
      }
    }
  }
  RecordProperty("largest_relative_error", testing::PrintToString(worst));
  std::printf("two layers: largest relative error %.3g\n", worst);
}

// The fixture: models of 2 to 10 layers (H, K, A, Q and mixed types; contrasts of 1000 either
// way, a very conductive basement, layers of 0.01 m and 5000 m), AB/2 from 0.5 m to 10 km, for
// the three arrays.
std::vector<Curve> ReadReference() {
  std::ifstream in(std::string(FIXTURES_DIR) + "/forward_reference.txt");
  EXPECT_TRUE(in.is_open());
  std::vector<Curve> curves;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream is(line);
    std::string word;
    is >> word;
    if (word == "model") {
      int n = 0;
      is >> n;
      LayerModel m{std::vector<double>(n), std::vector<double>(n - 1)};
      for (double& r : m.rho) is >> r;
      for (double& h : m.thickness) is >> h;
      for (ArrayKind kind :
           {ArrayKind::SchlumbergerIdeal, ArrayKind::Schlumberger, ArrayKind::Wenner})
        curves.push_back({m, kind, {}, {}});
      continue;
    }
    EXPECT_GE(curves.size(), 3u) << line;
    if (curves.size() < 3) break;
    Spacing s;
    double value = 0.0;
    is >> s.ab2;
    if (word == "schlumberger") is >> s.mn2;
    is >> value;
    EXPECT_FALSE(is.fail()) << line;
    Curve& c = curves[curves.size() - 3 + (word == "ideal" ? 0 : word == "schlumberger" ? 1 : 2)];
    c.spacings.push_back(s);
    c.want.push_back(value);
  }
  return curves;
}

TEST(ForwardModel, LayeredModelsMatchDirectIntegration) {
  const std::vector<Curve> curves = ReadReference();
  ASSERT_EQ(curves.size(), 19u * 3u);
  double worst = 0.0;
  int layers[11] = {};
  for (const Curve& c : curves) {
    SCOPED_TRACE(testing::Message() << c.model.layers() << " layers, rho1 " << c.model.rho[0]
                                    << ", h1 " << c.model.thickness[0]);
    ASSERT_EQ(c.spacings.size(), 15u);
    EXPECT_EQ(c.spacings.front().ab2, 0.5);
    EXPECT_EQ(c.spacings.back().ab2, 10000.0);
    ++layers[c.model.layers()];
    worst = std::max(worst, ExpectCurve(c));
    // A reading on its own gives what it gives within the curve.
    const ForwardModel single(c.kind, {c.spacings[7]});
    std::vector<double> one(1);
    single.apparentResistivity(c.model, one);
    EXPECT_NEAR(one[0] / c.want[7], 1.0, kTolerance);
  }
  EXPECT_GT(layers[2], 0);
  EXPECT_GT(layers[3], 0);
  EXPECT_GT(layers[6], 0);
  EXPECT_GT(layers[10], 0);
  RecordProperty("largest_relative_error", testing::PrintToString(worst));
  std::printf("layered models: largest relative error %.3g\n", worst);
}

// d ln rho_a / d ln rho_j and d ln rho_a / d ln h_j against central differences.
TEST(ForwardModel, JacobianMatchesFiniteDifferences) {
  const std::vector<LayerModel> models = {
      {{30.0}, {}},
      {{1000, 1}, {1}},
      {{100, 0.1, 100}, {5, 20}},
      {{50, 5, 500, 2, 200, 0.5}, {1, 3, 10, 30, 100}},
      {{1, 1000, 1, 1000, 1, 1000, 1, 1000, 1, 1000}, {0.01, 1, 1, 5, 10, 20, 50, 100, 5000}},
  };
  std::vector<Spacing> spacings;
  for (double a : LogRange(0.5, 10000.0, 17)) spacings.push_back({a, a / 7});
  for (ArrayKind kind :
       {ArrayKind::SchlumbergerIdeal, ArrayKind::Schlumberger, ArrayKind::Wenner}) {
    const ForwardModel forward(kind, spacings);
    for (const LayerModel& model : models) {
      SCOPED_TRACE(testing::Message() << Name(kind) << ", " << model.layers() << " layers");
      const std::size_t n = model.rho.size(), columns = 2 * n - 1;
      std::vector<double> rhoa(spacings.size()), plain(spacings.size()),
          jacobian(spacings.size() * columns);
      forward.apparentResistivity(model, rhoa, jacobian);
      forward.apparentResistivity(model, plain);
      EXPECT_EQ(rhoa, plain);
      for (std::size_t j = 0; j < columns; ++j) {
        const double step = 1e-4;
        LayerModel up = model, down = model;
        (j < n ? up.rho[j] : up.thickness[j - n]) *= std::exp(step);
        (j < n ? down.rho[j] : down.thickness[j - n]) *= std::exp(-step);
        std::vector<double> ru(spacings.size()), rd(spacings.size());
        forward.apparentResistivity(up, ru);
        forward.apparentResistivity(down, rd);
        for (std::size_t i = 0; i < spacings.size(); ++i) {
          const double want = (std::log(ru[i]) - std::log(rd[i])) / (2 * step);
          EXPECT_NEAR(jacobian[i * columns + j], want, 1e-6)
              << "column " << j << " AB/2 " << spacings[i].ab2;
        }
      }
    }
  }
}

TEST(ForwardModel, RefusesWhatIsNoModel) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const ForwardModel forward(ArrayKind::Schlumberger, {{10, 1}, {20, 2}});
  const std::vector<LayerModel> bad = {
      {{}, {}},
      {std::vector<double>(11, 10.0), std::vector<double>(10, 1.0)},
      {{10, 100}, {}},
      {{10, 100}, {1, 2}},
      {{10, nan}, {1}},
      {{10, 100}, {inf}},
      {{0, 100}, {1}},
      {{10, -100}, {1}},
      {{10, 100}, {0}},
      {{10, 1e13}, {1}},
      {{10, 100}, {1e-10}},
  };
  for (const LayerModel& m : bad) {
    SCOPED_TRACE(testing::PrintToString(m.rho) + " " + testing::PrintToString(m.thickness));
    std::vector<double> rhoa(2), jacobian(2 * 3);
    EXPECT_THROW(forward.apparentResistivity(m, rhoa), std::invalid_argument);
    EXPECT_THROW(forward.apparentResistivity(m, rhoa, jacobian), std::invalid_argument);
    EXPECT_THROW(ApparentResistivity(m, ArrayKind::Wenner, {{10, 0}}), std::invalid_argument);
  }
  const LayerModel good{{10, 100}, {1}};
  std::vector<double> three(3), two(2), jacobian(2 * 3);
  EXPECT_THROW(forward.apparentResistivity(good, three), std::invalid_argument);
  EXPECT_THROW(forward.apparentResistivity(good, three, jacobian), std::invalid_argument);
  EXPECT_THROW(forward.apparentResistivity(good, two, three), std::invalid_argument);
  forward.apparentResistivity(good, two, jacobian);

  for (const Spacing& s : {Spacing{0, 1}, Spacing{-5, 1}, Spacing{nan, 1}, Spacing{inf, 1},
                           Spacing{10, 10}, Spacing{10, 12}, Spacing{10, 0}, Spacing{10, nan}})
    EXPECT_THROW(ForwardModel(ArrayKind::Schlumberger, {{100, 10}, s}), std::invalid_argument)
        << s.ab2 << " " << s.mn2;
  EXPECT_THROW(ForwardModel(ArrayKind::Wenner, {{0, 0}}), std::invalid_argument);
  EXPECT_THROW(ForwardModel(ArrayKind::SchlumbergerIdeal, {{nan, 0}}), std::invalid_argument);
  // MN/2 means nothing to the ideal and Wenner arrays.
  EXPECT_EQ(ApparentResistivity(good, ArrayKind::Wenner, {{10, nan}}),
            ApparentResistivity(good, ArrayKind::Wenner, {{10, 0}}));
  EXPECT_EQ(ForwardModel(ArrayKind::SchlumbergerIdeal, {}).size(), 0u);
}

// Far outside the accuracy tables, at the limits of what is accepted: thin layers under huge
// spacings, thick ones under tiny spacings, the largest contrasts, ten layers. Every value and
// derivative stays finite, and rho_a lies between the smallest and largest resistivity.
TEST(ForwardModel, ExtremeModelsStayFinite) {
  const double lo = kForwardMinValue, hi = kForwardMaxValue;
  const std::vector<LayerModel> models = {
      {{lo, hi}, {lo}},
      {{hi, lo}, {hi}},
      {{hi, lo, hi}, {lo, lo}},
      {{lo, hi, lo}, {hi, lo}},
      {{1, 1000, 1, 1000, 1, 1000, 1, 1000, 1, 1000}, {lo, lo, lo, lo, lo, lo, lo, lo, lo}},
      {{1000, 1, 1000, 1, 1000, 1, 1000, 1, 1000, 1}, {hi, hi, hi, hi, hi, hi, hi, hi, hi}},
      {{5, 5, 5}, {1, 1}},
  };
  std::vector<Spacing> spacings = {
      {2 * lo, lo}, {0.5, 0.1}, {1e4, 10}, {hi, hi / 2}, {hi, hi * (1 - 1e-9)}};
  for (ArrayKind kind :
       {ArrayKind::SchlumbergerIdeal, ArrayKind::Schlumberger, ArrayKind::Wenner}) {
    const ForwardModel forward(kind, spacings);
    for (const LayerModel& m : models) {
      SCOPED_TRACE(testing::Message() << Name(kind) << " " << testing::PrintToString(m.rho) << " "
                                      << testing::PrintToString(m.thickness));
      const std::size_t columns = 2 * m.rho.size() - 1;
      std::vector<double> rhoa(spacings.size()), jacobian(spacings.size() * columns);
      forward.apparentResistivity(m, rhoa, jacobian);
      const double least = *std::min_element(m.rho.begin(), m.rho.end());
      const double most = *std::max_element(m.rho.begin(), m.rho.end());
      for (double r : rhoa) {
        EXPECT_TRUE(std::isfinite(r));
        EXPECT_GE(r, least * (1 - 1e-6));
        EXPECT_LE(r, most * (1 + 1e-6));
      }
      for (double d : jacobian) EXPECT_TRUE(std::isfinite(d));
    }
  }
  // A half-space is its own resistivity, exactly.
  for (ArrayKind kind : {ArrayKind::SchlumbergerIdeal, ArrayKind::Schlumberger, ArrayKind::Wenner})
    EXPECT_EQ(ApparentResistivity({{42.0}, {}}, kind, {{3, 1}, {300, 1}}),
              std::vector<double>(2, 42.0));
}

}  // namespace
