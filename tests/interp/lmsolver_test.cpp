// The damped least-squares solver on problems with known minima: it reaches them from far
// starts, keeps to its box and to the problem's domain.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "interp/lmsolver.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// Rosenbrock's valley as residuals: 10 (x1 − x0²) and 1 − x0; the minimum 0 at (1, 1).
bool Rosenbrock(std::span<const double> x, std::span<double> r, std::span<double> j) {
  r[0] = 10.0 * (x[1] - x[0] * x[0]);
  r[1] = 1.0 - x[0];
  j[0] = -20.0 * x[0];
  j[1] = 10.0;
  j[2] = -1.0;
  j[3] = 0.0;
  return true;
}

// y = a·exp(−b·t) sampled at t = 0 … 9 with a = 5, b = 0.4: residuals model − data.
bool Decay(std::span<const double> x, std::span<double> r, std::span<double> j) {
  for (std::size_t i = 0; i < 10; ++i) {
    const double t = static_cast<double>(i);
    const double e = std::exp(-x[1] * t);
    r[i] = x[0] * e - 5.0 * std::exp(-0.4 * t);
    j[2 * i] = e;
    j[2 * i + 1] = -x[0] * t * e;
  }
  return true;
}

struct Problem {
  std::string name;
  LmFunction f;
  std::size_t m;
  std::vector<double> start;
  std::vector<double> lower, upper;
  std::vector<double> minimum;
};

}  // namespace

TEST(LevenbergMarquardt, ReachesTheMinimumFromFarStarts) {
  const std::vector<Problem> problems = {
      {"Rosenbrock", Rosenbrock, 2, {-1.2, 1.0}, {-kInf, -kInf}, {kInf, kInf}, {1.0, 1.0}},
      {"Rosenbrock far", Rosenbrock, 2, {-30.0, 50.0}, {-kInf, -kInf}, {kInf, kInf}, {1.0, 1.0}},
      {"decay", Decay, 10, {1.0, 3.0}, {-kInf, -kInf}, {kInf, kInf}, {5.0, 0.4}},
      // The box holds the minimum of the valley at its corner x0 = 0.5, x1 = 0.25.
      {"Rosenbrock in a box", Rosenbrock, 2, {-1.2, 1.0}, {-2.0, -2.0}, {0.5, 2.0}, {0.5, 0.25}},
      {"decay with b ≥ 0.5", Decay, 10, {1.0, 3.0}, {-kInf, 0.5}, {kInf, kInf}, {5.3256, 0.5}},
  };
  for (const Problem& p : problems) {
    SCOPED_TRACE(p.name);
    std::vector<std::vector<double>> visited;
    auto recording = [&](std::span<const double> x, std::span<double> r, std::span<double> j) {
      visited.emplace_back(x.begin(), x.end());
      return p.f(x, r, j);
    };
    LmOptions options;
    options.maxIterations = 500;
    const LmResult res = LevenbergMarquardt(recording, p.m, p.start, p.lower, p.upper, options);
    ASSERT_TRUE(res.ok);
    EXPECT_TRUE(res.converged);
    for (std::size_t i = 0; i < p.minimum.size(); ++i) EXPECT_NEAR(res.x[i], p.minimum[i], 0.01) << i;
    for (const std::vector<double>& x : visited) {
      for (std::size_t i = 0; i < x.size(); ++i) {
        EXPECT_GE(x[i], p.lower[i]);
        EXPECT_LE(x[i], p.upper[i]);
      }
    }
  }
}

TEST(LevenbergMarquardt, RefusedStepsKeepItInTheDomain) {
  // Points with x0 > 0.7 lie outside the domain: the search ends at the best point inside it,
  // close to the edge, and never reports a point outside.
  auto domain = [](std::span<const double> x, std::span<double> r, std::span<double> j) {
    return x[0] <= 0.7 && Rosenbrock(x, r, j);
  };
  const std::vector<double> lower = {-kInf, -kInf}, upper = {kInf, kInf};
  const LmResult res = LevenbergMarquardt(domain, 2, {-1.2, 1.0}, lower, upper);
  ASSERT_TRUE(res.ok);
  EXPECT_LE(res.x[0], 0.7);
  EXPECT_GT(res.x[0], 0.6);
  std::vector<double> r(2), j(4);
  Rosenbrock(res.x, r, j);
  EXPECT_DOUBLE_EQ(res.cost, r[0] * r[0] + r[1] * r[1]);

  // A start outside the domain is no solution at all.
  const LmResult outside = LevenbergMarquardt(domain, 2, {0.9, 1.0}, lower, upper);
  EXPECT_FALSE(outside.ok);
}

TEST(LevenbergMarquardt, StartOutsideTheBoxIsMovedIntoIt) {
  const std::vector<double> lower = {-2.0, -2.0}, upper = {0.5, 2.0};
  bool outsideSeen = false;
  auto watch = [&](std::span<const double> x, std::span<double> r, std::span<double> j) {
    outsideSeen = outsideSeen || x[0] > 0.5 || x[1] > 2.0;
    return Rosenbrock(x, r, j);
  };
  const LmResult res = LevenbergMarquardt(watch, 2, {3.0, 9.0}, lower, upper);
  ASSERT_TRUE(res.ok);
  EXPECT_FALSE(outsideSeen);
  EXPECT_NEAR(res.x[0], 0.5, 1e-3);
  EXPECT_NEAR(res.x[1], 0.25, 1e-3);
}
