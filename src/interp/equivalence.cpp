#include "interp/equivalence.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "interp/fitproblem.h"
#include "interp/parametrisation.h"

namespace {

enum class Quantity { Rho, Thickness, Conductance, Resistance };

// ln of a quantity of layer j.
double LogOf(const LayerModel& m, Quantity q, std::size_t j) {
  switch (q) {
    case Quantity::Rho: return std::log(m.rho[j]);
    case Quantity::Thickness: return std::log(m.thickness[j]);
    case Quantity::Conductance: return std::log(m.thickness[j] / m.rho[j]);
    case Quantity::Resistance: return std::log(m.thickness[j] * m.rho[j]);
  }
  return 0.0;
}

ParameterRange& RangeOf(LayerRanges& r, Quantity q) {
  switch (q) {
    case Quantity::Rho: return r.rho;
    case Quantity::Thickness: return r.thickness;
    case Quantity::Conductance: return r.conductance;
    case Quantity::Resistance: return r.resistance;
  }
  return r.rho;
}

constexpr Quantity kQuantities[] = {Quantity::Rho, Quantity::Thickness, Quantity::Conductance, Quantity::Resistance};

// The parametrisation with quantity q of layer j held at ln value v, when it can be held.
std::optional<Parametrisation> Holding(const Parametrisation& par, Quantity q, std::size_t j, double v) {
  const std::size_t n = static_cast<std::size_t>(par.layers());
  if (q == Quantity::Rho) return par.holding(j, v);
  if (q == Quantity::Thickness) return par.holding(n + j, v);
  // ln S = ln h − ln ρ, ln T = ln h + ln ρ.
  const double sign = q == Quantity::Conductance ? 1.0 : -1.0;
  if (par.isFree(j) && par.isFree(n + j)) return par.linking(static_cast<int>(j), v, sign);
  // With one of the pair known, holding S or T holds the other: ln h = v + sign·ln ρ.
  if (par.isHeld(j) && par.isFree(n + j)) return par.holding(n + j, v + sign * par.heldValue(j));
  if (par.isHeld(n + j) && par.isFree(j)) return par.holding(j, sign * (par.heldValue(n + j) - v));
  return std::nullopt;
}

// The limits of quantity q of layer j in logarithms: those of the parameters that make it.
void LimitsOf(const Parametrisation& par, Quantity q, std::size_t j, double& low, double& high) {
  const std::size_t n = static_cast<std::size_t>(par.layers());
  const double rl = par.fullLower(j), rh = par.fullUpper(j);
  const double hl = j + 1 < n ? par.fullLower(n + j) : 0.0, hh = j + 1 < n ? par.fullUpper(n + j) : 0.0;
  switch (q) {
    case Quantity::Rho: low = rl, high = rh; return;
    case Quantity::Thickness: low = hl, high = hh; return;
    case Quantity::Conductance: low = hl - rh, high = hh - rl; return;
    case Quantity::Resistance: low = hl + rl, high = hh + rh; return;
  }
}

class Profiler {
 public:
  Profiler(const FitProblem& problem, const Parametrisation& par, const LayerModel& best, double limit)
      : problem_(problem), par_(par), best_(best), limit_(limit) {
    const std::size_t n = static_cast<std::size_t>(best.layers());
    ranges_.assign(n, LayerRanges{});
    for (std::size_t j = 0; j < n; ++j) {
      for (Quantity q : kQuantities) {
        if (q != Quantity::Rho && j + 1 == n) continue;
        ParameterRange& r = RangeOf(ranges_[j], q);
        r.best = r.low = r.high = std::exp(LogOf(best, q, j));
      }
    }
  }

  // Steps quantity q of layer j away from the best value in direction dir (+1 or -1).
  void profile(Quantity q, std::size_t j, double dir) {
    double inside = LogOf(best_, q, j);
    if (!Holding(par_, q, j, inside)) return;  // known, or set by a known depth
    double low = 0.0, high = 0.0;
    LimitsOf(par_, q, j, low, high);
    const double edge = dir > 0 ? high : low;
    LayerModel from = best_;
    double step = 0.05;
    bool open = false;
    for (int i = 0; i < 40; ++i) {
      if ((edge - inside) * dir <= 1e-9) {
        open = true;
        break;
      }
      double v = inside + dir * step;
      if ((v - edge) * dir > 0) v = edge;
      const std::optional<LayerModel> m = fitHolding(q, j, v, from);
      if (!m) {
        // The edge lies between inside and v: halve the interval four times.
        open = blocked_;
        double out = v;
        for (int b = 0; b < 4; ++b) {
          const double mid = 0.5 * (inside + out);
          if (const std::optional<LayerModel> mm = fitHolding(q, j, mid, from)) {
            inside = mid;
            from = *mm;
          } else {
            out = mid;
            open = blocked_;
          }
        }
        break;
      }
      inside = v;
      from = *m;
      step *= 1.6;
    }
    ParameterRange& r = RangeOf(ranges_[j], q);
    (dir > 0 ? r.highOpen : r.lowOpen) = open;
  }

  std::vector<LayerRanges> ranges() const { return ranges_; }

 private:
  // The best model with quantity q of layer j held at ln value v, starting from `from`, when it
  // fits within the limit. When it does not, blocked_ tells whether bounds stood in the way: no
  // model with that value lies within them.
  std::optional<LayerModel> fitHolding(Quantity q, std::size_t j, double v, const LayerModel& from) {
    blocked_ = false;
    const std::optional<Parametrisation> held = Holding(par_, q, j, v);
    if (!held) return std::nullopt;
    LmOptions options;
    options.maxIterations = 60;
    const FitProblem::Solution s = problem_.solve(*held, held->freeFrom(from), options);
    if (!s.ok) {
      blocked_ = true;
      return std::nullopt;
    }
    if (s.chi2 > limit_) return std::nullopt;
    widen(s.model);
    return s.model;
  }

  // Every quantity of an equivalent model lies within its range.
  void widen(const LayerModel& m) {
    for (std::size_t j = 0; j < ranges_.size(); ++j) {
      for (Quantity q : kQuantities) {
        if (q != Quantity::Rho && j + 1 == ranges_.size()) continue;
        ParameterRange& r = RangeOf(ranges_[j], q);
        const double v = std::exp(LogOf(m, q, j));
        r.low = std::min(r.low, v);
        r.high = std::max(r.high, v);
      }
    }
  }

  const FitProblem& problem_;
  const Parametrisation& par_;
  const LayerModel& best_;
  double limit_;
  std::vector<LayerRanges> ranges_;
  bool blocked_ = false;
};

double Width(const ParameterRange& r) { return std::log(r.high / r.low); }

// What the ranges say the data resolve of a layer: both h and ρ, when each lies within a factor
// of 2 and no search ran into a bound; else S or T, when its range is the narrower of the two
// and at most half as wide (in log) as the wider of h's and ρ's.
Resolved Judge(const LayerRanges& r, bool basement) {
  const double narrow = std::log(2.0);
  const bool bounded = !r.rho.lowOpen && !r.rho.highOpen;
  if (basement) return Width(r.rho) <= narrow && bounded ? Resolved::Both : Resolved::Neither;
  const double wh = Width(r.thickness), wr = Width(r.rho), ws = Width(r.conductance), wt = Width(r.resistance);
  if (wh <= narrow && wr <= narrow && bounded && !r.thickness.lowOpen && !r.thickness.highOpen) return Resolved::Both;
  const double wide = std::max(wh, wr);
  if (ws < wt && ws <= 0.5 * wide) return Resolved::Conductance;
  if (wt < ws && wt <= 0.5 * wide) return Resolved::Resistance;
  return Resolved::Neither;
}

}  // namespace

Equivalence EquivalenceRanges(const std::vector<Reading>& readings, ArrayKind kind, const FitOptions& options,
                              const FitResult& fit) {
  Equivalence eq;
  const LayerModel& m = fit.model;
  const bool model = m.layers() >= 1 && m.layers() <= kMaxFitLayers && m.thickness.size() + 1 == m.rho.size() &&
                     std::all_of(m.rho.begin(), m.rho.end(), InForwardRange) &&
                     std::all_of(m.thickness.begin(), m.thickness.end(), InForwardRange);
  if (!fit.ok || !model || FitInputFault(readings, kind, options) ||
      !ConstraintsValid(options.constraints, m.layers()))
    return eq;
  const FitProblem problem(readings, kind, options);
  const Parametrisation par(fit.model.layers(), options.constraints, problem.limits());
  const double best = problem.chi2(fit.model);
  const int dof = problem.readings() - static_cast<int>(par.freeCount());
  const double scatter = dof > 0 ? best / dof : 1.0;
  eq.chi2Limit = best + kEquivalenceChi2Margin * std::max(1.0, scatter);

  Profiler profiler(problem, par, fit.model, eq.chi2Limit);
  const std::size_t n = static_cast<std::size_t>(fit.model.layers());
  for (std::size_t j = 0; j < n; ++j) {
    for (Quantity q : kQuantities) {
      if (q != Quantity::Rho && j + 1 == n) continue;
      profiler.profile(q, j, -1.0);
      profiler.profile(q, j, +1.0);
    }
  }
  eq.layers = profiler.ranges();
  for (std::size_t j = 0; j < n; ++j) eq.layers[j].resolved = Judge(eq.layers[j], j + 1 == n);
  return eq;
}
