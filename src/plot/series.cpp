#include "plot/series.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <set>

#include "io/textconv.h"

namespace {

// One cell as the builder sees it: blank, or a value (NaN when the cell holds something that
// is not a number).
struct Cell {
  bool blank = true;
  double value = std::numeric_limits<double>::quiet_NaN();
};

bool IsBlankText(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
}

Cell CellFromText(const std::string& text) {
  if (IsBlankText(text)) return {};
  Cell cell{false, std::numeric_limits<double>::quiet_NaN()};
  float v = 0.0f;
  if (TryStrToFloat(text, v)) cell.value = v;
  return cell;
}

// Whether a value can stand on an axis of this scale.
bool Drawable(AxisScale scale, double v) {
  return std::isfinite(v) && (scale == AxisScale::Linear || v > 0.0);
}

AxisRange DefaultAxis(AxisScale scale) {
  if (scale == AxisScale::Log10) return {scale, 1.0, 1000.0, 0.0};
  return {scale, 0.0, 10.0, 2.0};
}

// The margin left between the outermost points and the frame, so that no marker (nor the ring
// around an outlier) is cut: a fraction of a decade on a log axis, of the span on a linear one.
constexpr double kLogMargin = 0.035;
constexpr double kLinearMargin = 0.04;

// Whole decades around [lo, hi] (0 < lo <= hi) widened by the margin: a point on a power of
// ten gets the decade beyond it, so it does not sit on the frame.
AxisRange LogAxis(double lo, double hi) {
  const double margin = std::max(kLogMargin, kLinearMargin * (std::log10(hi) - std::log10(lo)) / 2.0);
  double a = std::floor(std::log10(lo) - margin);
  double b = std::ceil(std::log10(hi) + margin);
  return {AxisScale::Log10, std::pow(10.0, a), std::pow(10.0, b), 0.0};
}

// Multiples of a 1-2-5 step around [lo, hi] (lo <= hi, both finite) widened by the margin, at
// most a few intervals. The step follows the points' span alone, so that the margin never
// coarsens the grid.
AxisRange LinearAxis(double lo, double hi) {
  if (hi <= lo) {
    double pad = std::max(1.0, std::fabs(lo) * 0.1);
    lo -= pad;
    hi += pad;
  }
  double raw = (hi - lo) / 5.0;
  double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  double f = raw / magnitude;
  double step = (f <= 1.0 ? 1.0 : f <= 2.0 ? 2.0 : f <= 5.0 ? 5.0 : 10.0) * magnitude;
  const double pad = (hi - lo) * kLinearMargin;
  lo -= pad;
  hi += pad;
  double min = std::floor(lo / step) * step;
  double max = std::ceil(hi / step) * step;
  // Rounding of the products must not leave a point an ulp outside the frame.
  if (min > lo) min -= step;
  if (max < hi) max += step;
  return {AxisScale::Linear, min, max, step};
}

// [lo, hi] made to hold v.
void Widen(std::optional<double>& lo, std::optional<double>& hi, double v) {
  lo = lo ? std::min(*lo, v) : v;
  hi = hi ? std::max(*hi, v) : v;
}

AxisRange FitAxis(AxisScale scale, std::optional<double> lo, std::optional<double> hi) {
  if (!lo || !hi) return DefaultAxis(scale);
  return scale == AxisScale::Log10 ? LogAxis(*lo, *hi) : LinearAxis(*lo, *hi);
}

// Repeated and backward x, over the rows whose x can be drawn (whatever their y).
void FlagOrder(Series& s, const std::vector<Cell>& xs, AxisScale xScale) {
  std::set<double> seen;
  int direction = s.kind == CurveKind::Profile ? 0 : 1;  // +1 growing, -1 falling, 0 not yet known
  double lowest = 0.0, highest = 0.0, first = 0.0;
  for (std::size_t r = 0; r < xs.size(); ++r) {
    double x = xs[r].value;
    if (xs[r].blank || !Drawable(xScale, x)) continue;
    int row = static_cast<int>(r);
    if (seen.empty()) {
      lowest = highest = first = x;
    } else if (seen.count(x) != 0) {
      s.repeatedRows.push_back(row);
    } else {
      if (direction == 0) direction = x > first ? 1 : -1;
      if ((direction > 0 && x < highest) || (direction < 0 && x > lowest)) s.outOfOrderRows.push_back(row);
    }
    seen.insert(x);
    lowest = std::min(lowest, x);
    highest = std::max(highest, x);
  }
}

Series Build(CurveKind kind, const std::vector<Cell>& xs, const std::vector<Cell>& ys) {
  Series s;
  s.kind = kind;
  const AxisScale xScale = XScale(kind), yScale = YScale(kind);
  const std::size_t rows = std::max(xs.size(), ys.size());
  const Cell blank;
  Segment current;
  for (std::size_t r = 0; r < rows; ++r) {
    const Cell& x = r < xs.size() ? xs[r] : blank;
    const Cell& y = r < ys.size() ? ys[r] : blank;
    if (!x.blank && !y.blank && Drawable(xScale, x.value) && Drawable(yScale, y.value)) {
      current.push_back({x.value, y.value, static_cast<int>(r)});
      continue;
    }
    if (!current.empty()) s.segments.push_back(std::move(current));
    current.clear();
    if (!x.blank || !y.blank) s.skippedRows.push_back(static_cast<int>(r));
  }
  if (!current.empty()) s.segments.push_back(std::move(current));
  FlagOrder(s, xs, xScale);
  s.axes = FitAxes(kind, {&s});
  if (s.empty()) s.note = kNothingToPlotNote;
  return s;
}

std::vector<Cell> CellsFromFloats(const std::vector<float>& values) {
  std::vector<Cell> cells;
  cells.reserve(values.size());
  for (float v : values) cells.push_back({false, v});
  return cells;
}

}  // namespace

AxisScale XScale(CurveKind kind) { return kind == CurveKind::Profile ? AxisScale::Linear : AxisScale::Log10; }

AxisScale YScale(CurveKind kind) { return kind == CurveKind::SoundingIp ? AxisScale::Linear : AxisScale::Log10; }

double AxisCoord(AxisScale scale, double v) { return scale == AxisScale::Log10 ? std::log10(v) : v; }

double AxisValue(AxisScale scale, double coord) { return scale == AxisScale::Log10 ? std::pow(10.0, coord) : coord; }

std::size_t Series::pointCount() const {
  std::size_t n = 0;
  for (const Segment& seg : segments) n += seg.size();
  return n;
}

Series SeriesFromTexts(CurveKind kind, const std::vector<std::string>& xTexts,
                       const std::vector<std::string>& yTexts) {
  std::vector<Cell> xs, ys;
  xs.reserve(xTexts.size());
  ys.reserve(yTexts.size());
  for (const std::string& t : xTexts) xs.push_back(CellFromText(t));
  for (const std::string& t : yTexts) ys.push_back(CellFromText(t));
  return Build(kind, xs, ys);
}

Series SeriesFromColumns(CurveKind kind, const std::vector<float>& x, const std::vector<float>& y) {
  return Build(kind, CellsFromFloats(x), CellsFromFloats(y));
}

Series SeriesFromStation(const sdata& station, CurveKind kind, int yColumn) {
  if (yColumn < 0 || yColumn >= kColumnCount) return Build(kind, {}, {});
  const int xColumn = kind == CurveKind::Profile ? colPointNo : colAB2;
  return SeriesFromColumns(kind, station.Columns[static_cast<std::size_t>(xColumn)],
                           station.Columns[static_cast<std::size_t>(yColumn)]);
}

Axes FitAxes(CurveKind kind, const std::vector<const Series*>& series) {
  const AxisScale xScale = XScale(kind), yScale = YScale(kind);
  std::optional<double> xLo, xHi, yLo, yHi;
  for (const Series* s : series) {
    if (s == nullptr) continue;
    for (const Segment& seg : s->segments)
      for (const PlotPoint& p : seg) {
        // A series of another kind may hold values these scales cannot show.
        if (!Drawable(xScale, p.x) || !Drawable(yScale, p.y)) continue;
        Widen(xLo, xHi, p.x);
        Widen(yLo, yHi, p.y);
      }
  }
  return {FitAxis(xScale, xLo, xHi), FitAxis(yScale, yLo, yHi)};
}

AxisRange FitValues(AxisScale scale, const std::vector<double>& values) {
  std::optional<double> lo, hi;
  for (double v : values)
    if (Drawable(scale, v)) Widen(lo, hi, v);
  return FitAxis(scale, lo, hi);
}
