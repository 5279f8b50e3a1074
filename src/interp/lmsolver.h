#pragma once
// Damped least squares (Levenberg–Marquardt) for small problems: the x within a box
// lower <= x <= upper that minimises the sum of squared residuals r(x).

#include <cstddef>
#include <functional>
#include <span>
#include <vector>

// Writes the residuals at x into r (m values) and their Jacobian dr/dx into jacobian (row-major,
// m rows, x.size() columns). Returns false when x lies outside the problem's domain: the step to
// x is then refused like one that made the misfit worse.
using LmFunction =
    std::function<bool(std::span<const double> x, std::span<double> r, std::span<double> jacobian)>;

struct LmOptions {
  int maxIterations = 100;       // accepted or refused steps, in all
  double costTolerance = 1e-6;   // stop when a step lowers the cost by less than this fraction
                                 // and the linear model predicts no larger gain
  double stepTolerance = 1e-6;   // stop when no parameter would move by more than this
  double maxStep = 2.0;          // a step moves no parameter by more than this (it is shortened)
  double initialDamping = 1e-3;  // λ of the first step
};

struct LmResult {
  bool ok = false;                 // the start point lay in the domain
  bool converged = false;          // a stopping rule, not the iteration limit, ended the search
  std::vector<double> x;           // the best point found (the start when nothing was better)
  double cost = 0.0;               // sum of squared residuals at x
  std::vector<double> residuals;   // r(x)
  std::vector<double> jacobian;    // dr/dx at x, row-major
  int iterations = 0;
  int evaluations = 0;
};

// Marquardt's method with Nielsen's update of the damping: each step solves
// (JᵀJ + λ·D) δ = -Jᵀr, D the largest diagonal of JᵀJ seen so far (so that parameters of very
// different sensitivity are damped alike). Bounds are kept by projection: a parameter on a bound
// whose gradient points out of the box is held for the step, and the step is cut back to the box.
// The start is moved into the box first. Deterministic: the same problem gives the same x.
LmResult LevenbergMarquardt(const LmFunction& f, std::size_t residualCount, std::vector<double> x0,
                            std::span<const double> lower, std::span<const double> upper,
                            const LmOptions& options = {});
