#pragma once
// Automatic interpretation of one sounding: the layered model whose apparent resistivity curve
// fits the readings, found by damped least squares (Levenberg–Marquardt) in the logarithms of
// the resistivities and thicknesses.
//
//   FitResult fit = FitSounding(readings, ArrayKind::SchlumbergerIdeal, FitOptions{});
//   if (!fit.ok) show(fit.reason);                         // a Chinese text marked for translation
//   fit.equivalence = EquivalenceRanges(readings, kind, options, fit);   // interp/equivalence.h
//
// Without a start model the search starts from models made from the readings themselves:
// first a smooth ten-layer model (resistivities of thin layers fitted with a penalty on their
// changes) cut into the wanted number of layers where its resistivity changes most, then models
// cut from the curve, and when none of these reaches the noise, the best fit with one layer
// fewer with a layer put in (interp/startmodel.h). The first fit that reaches the noise of the
// data is taken, else the one with the lowest χ². The fit is deterministic: the same readings
// and options give the same model.

#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "interp/forward.h"
#include "interp/layermodel.h"
#include "io/translatable.h"

// One reading of a sounding: the spacings in m and the apparent resistivity in ohm-m. mn2 is
// used only with ArrayKind::Schlumberger (it must then lie between 0 and ab2); the other arrays
// ignore it.
struct Reading {
  double ab2 = 0.0;
  double mn2 = 0.0;
  double rho = 0.0;
};

// The range a parameter may take, in its own unit (ohm-m or m). The fit also keeps every
// parameter within limits drawn from the readings (see FitOptions).
struct Bounds {
  double low = 0.0;
  double high = std::numeric_limits<double>::infinity();
};

// What is known of one layer (layers counted from the surface, the first is 0). A known value
// is kept exactly; thickness and depth are two ways of saying where the layer's bottom is and
// cannot both be given. The basement (the last layer) has neither.
struct LayerConstraint {
  std::optional<double> rho;        // known resistivity, ohm-m
  std::optional<double> thickness;  // known thickness, m
  std::optional<double> depth;      // known depth of the layer's bottom below the surface, m
  Bounds rhoBounds;
  Bounds thicknessBounds;
};

inline constexpr int kMaxFitLayers = 6;

struct FitOptions {
  // The number of layers, 1 to kMaxFitLayers, or 0 for the fewest layers that fit the readings
  // to their errors: 1, 2, ... layers are fitted and a count is left for a larger one only
  // while its χ² > ν + 2√(2ν) (ν = N − P, the degrees of freedom) and the larger count lowers χ²
  // significantly by an F-test at 95 % (ChooseLayerCount in interp/layercount.h). A start
  // model sets the number to its own.
  int layers = 0;
  // The relative error of every reading (0.03 = 3 %), or one per reading (same order as the
  // readings) when readingErrors is not empty. Each reading's residual is weighted by 1/error.
  double relativeError = 0.03;
  std::vector<double> readingErrors;
  // What is known, by layer from the surface; may be shorter than the model (the rest is free).
  // With an automatic layer count only models deep enough for every constraint are tried.
  std::vector<LayerConstraint> constraints;
  // A model to start from (a refit after one reading changed starts from the previous model);
  // without it the start is made from the curve itself.
  std::optional<LayerModel> start;
};

// The range of one quantity over the models equivalent to the best one (see
// interp/equivalence.h). lowOpen/highOpen: the search reached the quantity's bounds (given, or
// the limits the fit keeps parameters within) or no model with a value beyond lies within the
// bounds of the others, not a worse fit; equivalent models may lie beyond.
struct ParameterRange {
  double best = 0.0;
  double low = 0.0;
  double high = 0.0;
  bool lowOpen = false;
  bool highOpen = false;
};

// What the data resolve of a layer: h and ρ each (Both), or, for a thin conductive layer, only
// its conductance S = h/ρ (h and ρ trade off along constant S), for a thin resistive one only its
// resistance T = h·ρ, or none of these (Neither). The basement is Both or Neither by its ρ.
enum class Resolved { Both, Conductance, Resistance, Neither };

struct LayerRanges {
  ParameterRange rho;
  ParameterRange thickness;    // not for the basement (all zero)
  ParameterRange conductance;  // S = h/ρ in siemens; not for the basement
  ParameterRange resistance;   // T = h·ρ in ohm-m²; not for the basement
  Resolved resolved = Resolved::Both;
};

struct Equivalence {
  double chi2Limit = 0.0;          // the χ² an equivalent model may reach
  std::vector<LayerRanges> layers; // empty until EquivalenceRanges has run
};

struct FitResult {
  bool ok = false;
  std::string reason;                // why there is no model, when !ok
  LayerModel model;
  double rmsPercent = 0.0;           // √(mean of the squared relative residuals), in %
  double chi2 = 0.0;                 // Σ (ln(observed/computed) / error)²
  double chi2PerReading = 0.0;       // χ²/N
  int parameters = 0;                // free parameters of the model (known ones not counted)
  std::vector<double> computed;      // the model's apparent resistivity for every reading
  std::vector<double> residuals;     // 100·(observed − computed)/computed for every reading, in %
  std::vector<double> conductance;   // S = h/ρ of every layer but the basement, siemens
  std::vector<double> resistance;    // T = h·ρ of every layer but the basement, ohm-m²
  std::vector<double> chi2ByLayers;  // with an automatic count: the best χ² with 1, 2, ... layers
                                     // (0 where a count was not tried)
  Equivalence equivalence;           // set by the caller from EquivalenceRanges
};

// The fit of a layered model to the readings of one sounding (any order; repeated AB/2, readings
// taken twice or with two MN/2, are fitted as they are). Bad input gives !ok and a reason, not a
// model: a reading that is not a positive number, MN/2 not between 0 and AB/2 with a finite MN/2,
// fewer than three different AB/2, fewer readings than free parameters, a layer count out of
// range, or constraints that contradict each other.
FitResult FitSounding(const std::vector<Reading>& readings, ArrayKind kind, const FitOptions& options);

// The user-visible reasons (plain Chinese, translated by the window).
namespace fittext {
inline constexpr const char* kNotPositive =
    QT_TRANSLATE_NOOP("core", "有读数的 AB/2 或视电阻率不是正数，不能拟合。");
inline constexpr const char* kBadMn =
    QT_TRANSLATE_NOOP("core", "有读数的 MN/2 不在 0 和 AB/2 之间，不能拟合。");
inline constexpr const char* kTooFewSpacings =
    QT_TRANSLATE_NOOP("core", "不同的 AB/2 少于 3 个，不能拟合。");
inline constexpr const char* kTooFewReadings =
    QT_TRANSLATE_NOOP("core", "读数的个数少于模型待定参数的个数，不能拟合：请减少层数或给定更多参数。");
inline constexpr const char* kBadLayerCount =
    QT_TRANSLATE_NOOP("core", "层数应为 1 到 6（0 表示自动选择层数）。");
inline constexpr const char* kBadError =
    QT_TRANSLATE_NOOP("core", "读数的相对误差应为正数；逐个给出时，个数应与读数相同。");
inline constexpr const char* kBadConstraint = QT_TRANSLATE_NOOP(
    "core",
    "已知参数或参数范围有误：数值应为正数，下限不大于上限，已知值在范围之内，"
    "已知深度自上而下增大，同一层不能既给厚度又给深度，给定的层不能深于模型的基底。");
inline constexpr const char* kBadStart =
    QT_TRANSLATE_NOOP("core", "起始模型有误：层数应为 1 到 6，电阻率和厚度应为正数。");
inline constexpr const char* kFitFailed =
    QT_TRANSLATE_NOOP("core", "拟合失败：模型的视电阻率算不出来。");
}  // namespace fittext
