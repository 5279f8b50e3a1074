// Writes tests/fixtures/forward_reference.txt: apparent resistivities of a table of layered
// models for the three arrays, by direct numerical integration in long double
// (reference_integral.h), independent of the forward model's digital filter. Run once by hand
// (it takes a few minutes); the tests only read the file:
//   build/.../tests/make_forward_reference > tests/fixtures/forward_reference.txt
//
// Every value is computed twice, with the direct integration carried to x = 2000 and to x = 500
// before the epsilon algorithm takes over; the program fails if the two disagree by more than
// 1e-9, and reports the largest disagreement on stderr.
//
// File format: '#' comments; "model N rho_1 .. rho_N h_1 .. h_N-1" starts a model; then lines
// "ideal AB/2 rho_a", "schlumberger AB/2 MN/2 rho_a", "wenner AB/2 rho_a".

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "reference_integral.h"

namespace {

struct Model {
  const char* what;
  std::vector<double> rho, thickness;
};

// Resistivity contrasts up to 1000 in either direction; layers 0.01 m to 5000 m; 2 to 10 layers.
const std::vector<Model> kModels = {
    {"resistive basement 1000:1", {1, 1000}, {1}},
    {"very conductive basement 1:1000", {1000, 1}, {1}},
    {"thin top layer on a conductive basement", {100, 0.1}, {0.01}},
    {"thick top layer on a resistive basement", {1, 1000}, {5000}},
    {"thick top layer on a conductive basement", {1000, 1}, {5000}},
    {"H", {100, 0.1, 100}, {5, 20}},
    {"K", {1, 1000, 1}, {2, 10}},
    {"A", {1, 31.6, 1000}, {1, 50}},
    {"Q", {1000, 31.6, 1}, {10, 100}},
    {"thin conductive layer at depth", {100, 0.1, 100}, {10, 0.01}},
    {"thin resistive layer under a thin top", {1, 1000, 1}, {0.01, 10}},
    {"thin conductive layers near the surface", {1000, 1, 1000}, {0.01, 0.01}},
    {"HK", {100, 1, 1000, 10}, {1, 5, 50}},
    {"KH", {10, 1000, 1, 100}, {3, 0.5, 200}},
    {"thin, thick and thin", {1, 1000, 1, 1000}, {0.01, 5000, 1}},
    {"six layers", {50, 5, 500, 2, 200, 0.5}, {1, 3, 10, 30, 100}},
    {"ten alternating layers",
     {1, 1000, 1, 1000, 1, 1000, 1, 1000, 1, 1000},
     {0.01, 1, 1, 5, 10, 20, 50, 100, 5000}},
    {"ten layers decreasing then increasing",
     {100, 30, 10, 3, 1, 0.3, 0.1, 1, 10, 100},
     {0.5, 1, 2, 4, 8, 16, 32, 64, 128}},
    {"ten thin layers",
     {10, 100, 1, 1000, 3, 300, 30, 3000, 5, 50},
     {0.01, 0.02, 0.01, 0.05, 0.01, 0.03, 0.01, 0.02, 0.01}},
};

// AB/2 from 0.5 m to 10 km, not evenly spaced in ln (the forward model interpolates).
const std::vector<double> kAb2 = {0.5, 1,   2,   3.7,  7,    13,   25,   50,
                                  100, 220, 470, 1000, 2200, 4700, 10000};
// MN/2 as a fraction of AB/2, in turn.
const std::vector<double> kMnFraction = {1.0 / 3, 1.0 / 5, 1.0 / 10, 1.0 / 30, 1.0 / 50, 0.6};

double worst = 0;

double Checked(reference::Real a, reference::Real b) {
  const double rel = static_cast<double>(std::fabs(a / b - 1));
  worst = std::max(worst, rel);
  if (!(rel < 1e-9) || !std::isfinite(static_cast<double>(a))) {
    std::fprintf(stderr, "reference did not converge: %.17Lg vs %.17Lg\n", a, b);
    std::exit(1);
  }
  return static_cast<double>(a);
}

}  // namespace

int main() {
  using namespace reference;
  std::printf(
      "# Apparent resistivities by direct integration (tests/interp/make_reference.cpp).\n");
  for (const Model& model : kModels) {
    Layers m;
    for (double r : model.rho) m.rho.push_back(r);
    for (double h : model.thickness) m.thickness.push_back(h);
    std::printf("# %s\nmodel %zu", model.what, model.rho.size());
    for (double r : model.rho) std::printf(" %.17g", r);
    for (double h : model.thickness) std::printf(" %.17g", h);
    std::printf("\n");
    for (std::size_t i = 0; i < kAb2.size(); ++i) {
      const double ab2 = kAb2[i];
      const double mn2 = ab2 * kMnFraction[i % kMnFraction.size()];
      const double ideal = Checked(IdealSchlumberger(m, ab2), IdealSchlumberger(m, ab2, 500));
      const double finite =
          Checked(FiniteSchlumberger(m, ab2, mn2), FiniteSchlumberger(m, ab2, mn2, 500));
      const double wenner =
          Checked(FiniteSchlumberger(m, ab2, ab2 / 3), FiniteSchlumberger(m, ab2, ab2 / 3, 500));
      std::printf("ideal %.17g %.17g\n", ab2, ideal);
      std::printf("schlumberger %.17g %.17g %.17g\n", ab2, mn2, finite);
      std::printf("wenner %.17g %.17g\n", ab2, wenner);
      std::fflush(stdout);
    }
  }
  std::fprintf(stderr, "largest disagreement of the two integrations: %.3g\n", worst);
  return 0;
}
