#pragma once
// Synthetic soundings for the fit's tests and benchmarks: the readings of a known model at
// log-spaced AB/2, with noise that is the same on every run and every machine.

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "interp/fit.h"
#include "interp/forward.h"

// count AB/2 from first to last, evenly spaced in log AB/2.
inline std::vector<Spacing> LogSpacings(int count, double first, double last, double mn2Fraction = 0.0) {
  std::vector<Spacing> s;
  for (int i = 0; i < count; ++i) {
    const double a = first * std::pow(last / first, static_cast<double>(i) / (count - 1));
    s.push_back({a, a * mn2Fraction});
  }
  return s;
}

// Standard normal numbers by the Box–Muller method from the raw output of mt19937 (whose
// sequence the standard fixes), so that the noise does not depend on the library.
class FixedNoise {
 public:
  explicit FixedNoise(std::uint32_t seed) : gen_(seed) {}
  double next() {
    const double u1 = (static_cast<double>(gen_()) + 0.5) / 4294967296.0;
    const double u2 = (static_cast<double>(gen_()) + 0.5) / 4294967296.0;
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(6.283185307179586 * u2);
  }

 private:
  std::mt19937 gen_;
};

// The readings of `truth` at the spacings, each times exp(noise · g) for a standard normal g.
inline std::vector<Reading> SyntheticReadings(const LayerModel& truth, ArrayKind kind,
                                              const std::vector<Spacing>& spacings, double noise,
                                              std::uint32_t seed) {
  const std::vector<double> rho = ApparentResistivity(truth, kind, spacings);
  FixedNoise g(seed);
  std::vector<Reading> readings;
  for (std::size_t i = 0; i < spacings.size(); ++i) {
    readings.push_back({spacings[i].ab2, spacings[i].mn2, rho[i] * std::exp(noise * g.next())});
  }
  return readings;
}

inline double Depth(const LayerModel& m, std::size_t layer) {
  double d = 0.0;
  for (std::size_t j = 0; j <= layer; ++j) d += m.thickness[j];
  return d;
}
