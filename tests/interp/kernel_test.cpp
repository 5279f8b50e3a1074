// The parts of the forward model: the filter table, the kernel and its derivatives, the lagged
// transform with its interpolation, and the arrays as quadratures of the ideal response.
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <vector>

#include "interp/arrays.h"
#include "interp/hankelfilter.h"
#include "interp/kernel.h"
#include "interp/transform.h"

namespace {

std::vector<double> LogRange(double first, double last, int count) {
  std::vector<double> v;
  for (int i = 0; i < count; ++i)
    v.push_back(first * std::pow(last / first, static_cast<double>(i) / (count - 1)));
  return v;
}

std::vector<double> Kernel(const LayerModel& model, const std::vector<double>& lambda) {
  std::vector<double> g(lambda.size());
  KernelValues(ScaleLayers(model), lambda, g);
  return g;
}

// r^2 Int_0^inf exp(-lambda z) J1(lambda r) lambda dlambda = r^3 / (r^2 + z^2)^(3/2) (the
// ideal-Schlumberger response of such a kernel, at most 1): the filter reproduces it, the
// abscissae are geometric; a mistyped coefficient or a wrong step shows here.
TEST(HankelFilter, TransformsAKnownPair) {
  const HankelFilter& f = J1Filter();
  ASSERT_EQ(f.base.size(), 201u);
  ASSERT_EQ(f.weight.size(), 201u);
  for (std::size_t k = 0; k < f.base.size(); ++k)
    EXPECT_NEAR(std::log(f.base[k]), f.logBase0 + k * f.step, 1e-12) << k;
  for (double r : LogRange(0.001, 1000.0, 61)) {
    const double z = 1.0;
    double sum = 0.0;
    for (std::size_t k = 0; k < f.base.size(); ++k) {
      const double l = f.base[k] / r;
      sum += std::exp(-l * z) * l * f.weight[k];
    }
    EXPECT_NEAR(sum * r, std::pow(r / std::hypot(r, z), 3.0), 2e-9) << "r/z = " << r;
  }
}

// Two layers: T / rho_1 = (1 + k e) / (1 - k e), e = exp(-2 lambda h), k the reflection
// coefficient, so g = 2 k e / (1 - k e). A layer cut in two identical ones changes nothing.
TEST(Kernel, MatchesTheClosedFormAndIgnoresASplitLayer) {
  const std::vector<double> lambda = LogRange(1e-6, 1e4, 61);
  for (double contrast : {1e-3, 0.1, 10.0, 1e3}) {
    for (double h : {0.01, 1.0, 5000.0}) {
      SCOPED_TRACE(testing::Message() << "contrast " << contrast << " h " << h);
      const double rho1 = 7.0, rho2 = rho1 * contrast;
      const double k = (rho2 - rho1) / (rho2 + rho1);
      const std::vector<double> g = Kernel({{rho1, rho2}, {h}}, lambda);
      const std::vector<double> split = Kernel({{rho1, rho1, rho2}, {h * 0.3, h * 0.7}}, lambda);
      for (std::size_t i = 0; i < lambda.size(); ++i) {
        const double e = std::exp(-2.0 * lambda[i] * h);
        const double want = 2.0 * k * e / (1.0 - k * e);
        EXPECT_NEAR(g[i], want, 1e-13 * std::fabs(want) + 1e-300) << lambda[i];
        EXPECT_NEAR(split[i], want, 1e-12 * std::fabs(want) + 1e-15) << lambda[i];
      }
    }
  }
  EXPECT_EQ(Kernel({{5.0}, {}}, lambda), std::vector<double>(lambda.size(), 0.0));
}

// The derivatives of the recurrence against central differences of its values, in the log
// parameters the forward model uses (r_j = rho_j / rho_1 for j >= 2, every h_j).
TEST(Kernel, DerivativesMatchFiniteDifferences) {
  const std::vector<LayerModel> models = {
      {{100, 0.1}, {2}},
      {{1, 1000, 1}, {2, 10}},
      {{50, 5, 500, 2, 200, 0.5}, {1, 3, 10, 30, 100}},
      {{1, 1000, 1, 1000, 1, 1000, 1, 1000, 1, 1000}, {0.01, 1, 1, 5, 10, 20, 50, 100, 5000}},
  };
  const std::vector<double> lambda = LogRange(1e-5, 1e3, 33);
  for (const LayerModel& model : models) {
    SCOPED_TRACE(model.layers());
    const int n = model.layers();
    std::vector<double> g(lambda.size()), dg((2 * n - 2) * lambda.size());
    KernelValuesAndDerivatives(ScaleLayers(model), lambda, g, dg);
    EXPECT_EQ(g, Kernel(model, lambda));
    for (int b = 0; b < 2 * n - 2; ++b) {
      const double step = 1e-5;
      LayerModel up = model, down = model;
      double& pu = b < n - 1 ? up.rho[b + 1] : up.thickness[b - (n - 1)];
      double& pd = b < n - 1 ? down.rho[b + 1] : down.thickness[b - (n - 1)];
      pu *= std::exp(step);
      pd *= std::exp(-step);
      const std::vector<double> gu = Kernel(up, lambda), gd = Kernel(down, lambda);
      for (std::size_t i = 0; i < lambda.size(); ++i) {
        const double want = (gu[i] - gd[i]) / (2 * step);
        EXPECT_NEAR(dg[b * lambda.size() + i], want, 1e-7 * (1.0 + std::fabs(want)))
            << "block " << b << " lambda " << lambda[i];
      }
    }
  }
}

// For g = exp(-lambda z) the ideal response is D(s) = s^3 / (s^2 + z^2)^(3/2), at spacings on
// and between the points of the lagged grid, alone or with others, and in combinations.
TEST(LaggedTransform, InterpolatesTheFilteredResponseAtAnySpacing) {
  const double z = 3.0;
  const auto exact = [&](double s) { return std::pow(s / std::hypot(s, z), 3.0); };
  const double step = J1Filter().step;
  std::vector<double> spacings = LogRange(0.05, 500.0, 37);
  spacings.push_back(std::exp(10 * step));  // on a grid point
  std::vector<std::vector<LaggedTransform::Term>> outputs;
  for (double s : spacings) outputs.push_back({{s, 1.0}});
  outputs.push_back({{2.0, 0.25}, {7.0, 0.75}});
  const LaggedTransform t(J1Filter(), outputs);
  ASSERT_EQ(t.outputs(), outputs.size());
  std::vector<double> g;
  for (double l : t.lambda()) g.push_back(std::exp(-l * z));
  for (std::size_t i = 0; i < spacings.size(); ++i)
    EXPECT_NEAR(t.apply(i, g), exact(spacings[i]), 1e-9) << spacings[i];
  EXPECT_NEAR(t.apply(spacings.size(), g), 0.25 * exact(2.0) + 0.75 * exact(7.0), 1e-9);

  const LaggedTransform alone(J1Filter(), {{{spacings[5], 1.0}}});
  std::vector<double> g1;
  for (double l : alone.lambda()) g1.push_back(std::exp(-l * z));
  EXPECT_NEAR(alone.apply(0, g1), t.apply(5, g), 1e-15);
}

// The quadrature of a finite MN integrates 1 / r^2 exactly: the coefficients sum to 1, for
// short and long MN; Wenner is the Schlumberger array with MN/2 = AB/2 / 3.
TEST(ArrayTerms, QuadratureWeightsAndRefusals) {
  for (double fraction : {1e-4, 0.02, 1.0 / 3, 0.6, 0.95, 0.999}) {
    const auto terms = ArrayTerms(ArrayKind::Schlumberger, {10.0, 10.0 * fraction});
    double sum = 0.0;
    for (const auto& term : terms) {
      sum += term.coefficient;
      EXPECT_GT(term.spacing, 10.0 * (1 - fraction));
      EXPECT_LT(term.spacing, 10.0 * (1 + fraction));
    }
    EXPECT_NEAR(sum, 1.0, 1e-13) << fraction;
  }
  const auto wenner = ArrayTerms(ArrayKind::Wenner, {30.0, 999.0});
  const auto schlumberger = ArrayTerms(ArrayKind::Schlumberger, {30.0, 10.0});
  ASSERT_EQ(wenner.size(), schlumberger.size());
  for (std::size_t i = 0; i < wenner.size(); ++i) {
    EXPECT_DOUBLE_EQ(wenner[i].spacing, schlumberger[i].spacing);
    EXPECT_DOUBLE_EQ(wenner[i].coefficient, schlumberger[i].coefficient);
  }
  EXPECT_EQ(ArrayTerms(ArrayKind::SchlumbergerIdeal, {4.0, 0.0}).size(), 1u);
  EXPECT_LE(QuadratureNodes(10.0, 9.99), 128);
  EXPECT_GE(QuadratureNodes(10.0, 0.01), 4);
}

}  // namespace
