#pragma once
// Apparent resistivities of a layered earth by direct numerical integration of the Hankel
// integrals in long double, with no digital filter: the reference the forward model is checked
// against. Slow (milliseconds per value); used by make_reference.cpp to write the fixture once.
//
//   ideal Schlumberger:  rho_a(s) = rho1 + s^2 * Int_0^inf g(l) J1(l s) l dl
//   finite MN/2, Wenner: rho_a    = rho1 + (L^2 - l^2) / (2 l) * [I0(L - l) - I0(L + l)],
//                        I0(r)    = Int_0^inf g(l) J0(l r) dl
// with g = T - rho1, T the resistivity transform of the layers (Pekeris' recurrence).
//
// Each integral is taken in x = lambda * r between consecutive zeros of the Bessel function by
// adaptive Gauss-Legendre quadrature, directly as long as the kernel has not died away; where it
// decays too slowly (a thin first layer far below the spacing) the remaining alternating series of
// half-period integrals is summed by Wynn's epsilon algorithm (the QWE method of Key 2012).

#include <cmath>
#include <cstddef>
#include <stdexcept>
#include <vector>

namespace reference {

using Real = long double;

struct Layers {
  std::vector<Real> rho;
  std::vector<Real> thickness;
};

// T(lambda) - rho1. For the top layer T1 - rho1 = rho1 (T2 - rho1)(1 - t) / (rho1 + T2 t),
// t = tanh(lambda h1), 1 - t = 2e / (1 + e), e = exp(-2 lambda h1): no cancellation when T1 ->
// rho1.
inline Real TransformMinusTop(const Layers& m, Real lambda) {
  const std::size_t n = m.rho.size();
  if (n == 1) return 0;
  Real t2 = m.rho[n - 1];
  for (std::size_t i = n - 1; i-- > 1;) {
    const Real t = std::tanh(lambda * m.thickness[i]);
    t2 = m.rho[i] * (t2 + m.rho[i] * t) / (m.rho[i] + t2 * t);
  }
  const Real e = std::exp(-2 * lambda * m.thickness[0]);
  const Real t = (1 - e) / (1 + e);
  const Real oneMinusT = 2 * e / (1 + e);
  return m.rho[0] * (t2 - m.rho[0]) * oneMinusT / (m.rho[0] + t2 * t);
}

inline Real BesselJ(int order, Real x) { return order == 0 ? j0l(x) : j1l(x); }

// The k-th positive zero (k >= 1) of J_order: McMahon's estimate refined by Newton's method.
inline Real BesselZero(int order, int k) {
  const Real pi = 3.14159265358979323846264338327950288L;
  const Real beta = (k + order / 2.0L - 0.25L) * pi;
  const Real mu = 4.0L * order * order;
  Real x =
      beta - (mu - 1) / (8 * beta) - 4 * (mu - 1) * (7 * mu - 31) / (3 * std::pow(8 * beta, 3));
  for (int i = 0; i < 50; ++i) {
    const Real f = BesselJ(order, x);
    const Real df = order == 0 ? -j1l(x) : j0l(x) - j1l(x) / x;
    const Real dx = f / df;
    x -= dx;
    if (std::fabs(dx) < 1e-18L * x) break;
  }
  return x;
}

// Gauss-Legendre nodes and weights on [-1, 1].
struct GaussLegendre {
  std::vector<Real> x, w;
  explicit GaussLegendre(int n) : x(n), w(n) {
    const Real pi = 3.14159265358979323846264338327950288L;
    for (int i = 0; i < n; ++i) {
      Real z = std::cos(pi * (i + 0.75L) / (n + 0.5L));
      Real dp = 0;
      for (int it = 0; it < 100; ++it) {
        Real p0 = 1, p1 = z;
        for (int j = 2; j <= n; ++j) {
          const Real p2 = ((2 * j - 1) * z * p1 - (j - 1) * p0) / j;
          p0 = p1;
          p1 = p2;
        }
        dp = n * (z * p1 - p0) / (z * z - 1);
        const Real dz = p1 / dp;
        z -= dz;
        if (std::fabs(dz) < 1e-19L) break;
      }
      x[i] = z;
      w[i] = 2 / ((1 - z * z) * dp * dp);
    }
  }
};

template <class F>
Real GaussOn(const GaussLegendre& gl, const F& f, Real a, Real b) {
  const Real mid = (a + b) / 2, half = (b - a) / 2;
  Real sum = 0;
  for (std::size_t i = 0; i < gl.x.size(); ++i) sum += gl.w[i] * f(mid + half * gl.x[i]);
  return sum * half;
}

// Adaptive Gauss-Legendre on [a, b]: halves an interval until the two halves agree with the whole
// to within tol (absolute).
template <class F>
Real Adaptive(const GaussLegendre& gl, const F& f, Real a, Real b, Real whole, Real tol,
              int depth) {
  const Real mid = (a + b) / 2;
  const Real left = GaussOn(gl, f, a, mid), right = GaussOn(gl, f, mid, b);
  const Real diff = std::fabs(left + right - whole);
  if (diff <= tol || diff <= 1e-16L * (std::fabs(left) + std::fabs(right)) || depth >= 30)
    return left + right;
  return Adaptive(gl, f, a, mid, left, tol / 1.5L, depth + 1) +
         Adaptive(gl, f, mid, b, right, tol / 1.5L, depth + 1);
}

// Wynn's epsilon algorithm on the partial sums s[0..n-1]: the best estimate of their limit.
inline Real EpsilonLimit(const std::vector<Real>& s) {
  const std::size_t n = s.size();
  std::vector<std::vector<Real>> e(n + 1, std::vector<Real>(n + 1, 0));
  for (std::size_t i = 0; i < n; ++i) e[i][1] = s[i];
  for (std::size_t k = 2; k <= n; ++k)
    for (std::size_t i = 0; i + k <= n; ++i) {
      const Real d = e[i + 1][k - 1] - e[i][k - 1];
      if (d == 0) return e[i + 1][k - 1];
      e[i][k] = e[i + 1][k - 2] + 1 / d;
    }
  // The odd columns (k odd, 1-based) hold the estimates; take the deepest one.
  const std::size_t k = (n % 2 == 1) ? n : n - 1;
  return e[0][k];
}

// Int_0^inf amp(x) J_order(x) dx for an amplitude that is smooth on the scale of the Bessel
// function's period beyond xSmooth and negligible beyond xDead.
#ifndef NTERMS
#define NTERMS 20
#endif
inline constexpr int kEpsilonTerms = NTERMS;

template <class F>
Real OscillatoryIntegral(int order, const F& amp, Real scale, Real xDead, Real xDirect) {
  static const GaussLegendre gl(24);
  const auto f = [&](Real x) { return amp(x) * BesselJ(order, x); };
  const Real tol = 1e-20L * scale;
  Real sum = 0, a = 0;
  int k = 1;
  for (; a < xDirect; ++k) {
    if (a >= xDead) return sum;
    const Real b = BesselZero(order, k);
    const Real end = std::min(b, xDead);
    sum += Adaptive(gl, f, a, end, GaussOn(gl, f, a, end), tol, 0);
    a = b;
  }
  if (a >= xDead) return sum;
  // Beyond xDirect: the half-period integrals alternate; their partial sums go to the epsilon
  // algorithm.
  std::vector<Real> partial{sum};
  for (int j = 0; j < kEpsilonTerms; ++j, ++k) {
    const Real b = BesselZero(order, k);
    sum += Adaptive(gl, f, a, b, GaussOn(gl, f, a, b), tol, 0);
    partial.push_back(sum);
    a = b;
  }
  return EpsilonLimit(partial);
}

// Where the top layer's kernel is negligible (exp(-2 lambda h1) < 1e-24) in x = lambda r.
inline Real DeadX(const Layers& m, Real r) {
  return m.rho.size() == 1 ? 0 : 28 * r / m.thickness[0];
}

inline Real MaxRho(const Layers& m) {
  Real top = 0;
  for (Real r : m.rho) top = std::max(top, r);
  return top;
}

// rho_a of the ideal Schlumberger array at AB/2 = s.
inline Real IdealSchlumberger(const Layers& m, Real s, Real xDirect = 2000) {
  const auto amp = [&](Real x) { return TransformMinusTop(m, x / s) * x; };
  return m.rho[0] + OscillatoryIntegral(1, amp, MaxRho(m), DeadX(m, s), xDirect);
}

// r * I0(r).
inline Real ScaledPotential(const Layers& m, Real r, Real xDirect) {
  const auto amp = [&](Real x) { return TransformMinusTop(m, x / r); };
  return OscillatoryIntegral(0, amp, MaxRho(m), DeadX(m, r), xDirect);
}

// rho_a of a Schlumberger array with AB/2 = L and MN/2 = l (Wenner: L = 1.5 a, l = 0.5 a).
inline Real FiniteSchlumberger(const Layers& m, Real L, Real l, Real xDirect = 2000) {
  const Real r1 = L - l, r2 = L + l;
  const Real diff = ScaledPotential(m, r1, xDirect) / r1 - ScaledPotential(m, r2, xDirect) / r2;
  return m.rho[0] + (L * L - l * l) / (2 * l) * diff;
}

}  // namespace reference
