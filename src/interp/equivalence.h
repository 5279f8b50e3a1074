#pragma once
// Equivalence: how far each parameter of a fitted model can move while the model still fits the
// readings about as well. A thin conductive layer is known only by its conductance S = h/ρ (h
// and ρ trade off along constant S), a thin resistive one only by its resistance T = h·ρ; the
// ranges show which.
//
// Equivalent models are those with χ² ≤ χ²_best + 4·max(1, χ²_best/ν), ν = N − P the degrees of
// freedom: for one parameter the 95 % interval of a profile of χ² when the errors are as stated,
// widened in proportion when the readings scatter more than their errors say.
//
// Each range is a profile: the quantity (ln ρ, ln h, ln S or ln T of a layer) is held at values
// stepping away from the best one (5 % at first, each step 1.6 times the last), the other free
// parameters are fitted again from the previous model, and where χ² passes the limit the edge
// is found by halving the last step four times. A search stops, marked open, where the quantity
// reaches its bounds or the limits the fit keeps parameters within. Every model met on the way
// that fits within the limit widens the ranges of every quantity it has. A known (held)
// parameter's range is its value.

#include <vector>

#include "interp/fit.h"

// The factor of max(1, χ²_best/ν) that an equivalent model's χ² may exceed the best one by.
inline constexpr double kEquivalenceChi2Margin = 4.0;

// The ranges of the fitted model's parameters, for the readings and options the fit was made
// with (it costs a few hundred refits: call it after FitSounding when the ranges are wanted).
// Empty (no layers) when the fit failed or does not belong to input the fit accepts.
Equivalence EquivalenceRanges(const std::vector<Reading>& readings, ArrayKind kind, const FitOptions& options,
                              const FitResult& fit);
