#pragma once
// What the plot pane draws for the station or line being typed: the points of a curve, split
// into segments at the rows that cannot be drawn, the axis ranges, and a note when there is
// nothing to draw. Plain values computed from the grid's cell texts or from a committed station;
// the pane only draws them.
//
// Rows are 0-based indices into the columns passed in (grid row r + 1 holds row r).
// Points keep row order: each drawn vertex is one row and each gap is where a row could not be
// drawn, so the line mirrors the grid as it is typed. A spacing typed out of order therefore
// shows as the line turning back, and is listed in outOfOrderRows; a committed station has its
// rows in spacing order already (SortRowsBySpacing), so its curve never turns back.

#include <string>
#include <vector>

#include "model/sdata.h"
#include "io/templates.h"

enum class AxisScale { Linear, Log10 };

// What is plotted against what, which decides the axis scales and the expected order of x.
enum class CurveKind {
  Sounding,    // apparent resistivity against AB/2: log x, log y, AB/2 grows row by row
  SoundingIp,  // an induced-polarisation parameter against AB/2: log x, linear y
  Profile,     // apparent resistivity against point number: linear x, log y, either direction
};
AxisScale XScale(CurveKind kind);
AxisScale YScale(CurveKind kind);

// The coordinate a value takes on an axis: log10(v) on a log axis, v itself on a linear one.
// Lines are straight between points in these coordinates, so interpolation happens in them.
double AxisCoord(AxisScale scale, double v);
// The inverse of AxisCoord.
double AxisValue(AxisScale scale, double coord);

struct PlotPoint {
  double x = 0.0;
  double y = 0.0;
  int row = 0;
  bool operator==(const PlotPoint&) const = default;
};

// A run of consecutive drawable rows: drawn as one connected line. A segment of one point is an
// isolated point (the pane marks every point, so it stays visible).
using Segment = std::vector<PlotPoint>;

// One axis: min < max, both finite. A log axis runs from a power of ten to a higher power of
// ten (decade grid lines); step is 0. A linear axis runs between multiples of step, a 1, 2 or 5
// times a power of ten, so that (max - min) / step is a whole number of grid intervals.
struct AxisRange {
  AxisScale scale = AxisScale::Linear;
  double min = 0.0;
  double max = 1.0;
  double step = 0.0;
  bool operator==(const AxisRange&) const = default;
};

struct Axes {
  AxisRange x;
  AxisRange y;
};

struct Series {
  CurveKind kind = CurveKind::Sounding;
  std::vector<Segment> segments;  // never holds an empty segment
  // Rows that hold text but give no point: empty, not a number, or not positive on a log axis
  // in either cell. Rows left blank in both cells are not listed (a blank row between drawn
  // rows still breaks the line).
  std::vector<int> skippedRows;
  // Rows whose x equals the x of an earlier row (a repeated spacing or point number).
  std::vector<int> repeatedRows;
  // Rows whose x goes back: for the sounding kinds an AB/2 smaller than an earlier one; for a
  // profile, a point number against the direction set by its first two different point numbers.
  std::vector<int> outOfOrderRows;
  Axes axes;         // fitted to this series alone
  std::string note;  // UTF-8; empty unless nothing can be drawn

  bool empty() const { return segments.empty(); }
  std::size_t pointCount() const;
};

// The note of a series with no drawable point.
inline constexpr const char* kNothingToPlotNote = QT_TRANSLATE_NOOP("core", "没有可绘制的数据");

// From the texts of the x cells and the y cells of the grid, as typed (UTF-8). A cell is a
// number when TryStrToFloat accepts it; a value must be positive on a log axis. The number of
// rows is the larger column size; a missing element counts as a blank cell.
Series SeriesFromTexts(CurveKind kind, const std::vector<std::string>& xTexts,
                       const std::vector<std::string>& yTexts);

// From float columns (a committed station). A non-finite value, or one not positive on a log
// axis, is not drawn; the shorter column's missing elements count as blank.
Series SeriesFromColumns(CurveKind kind, const std::vector<float>& x, const std::vector<float>& y);

// A committed station's curve: x is Columns[colAB2] for the sounding kinds and
// Columns[colPointNo] for a profile; y is Columns[yColumn] (colRho, or one of the IP columns
// colZP, colIP, colTD, colTH, colR). A yColumn outside 0..8 gives an empty series.
Series SeriesFromStation(const sdata& station, CurveKind kind, int yColumn);

// Axes that hold every point of the given series with a margin to the frame, so that no marker
// is cut at an edge (for both branches of a combined-profiling
// line on one plot). The scales are those of `kind`; null pointers and empty series are
// ignored, and with no point at all the axes are the default ones.
Axes FitAxes(CurveKind kind, const std::vector<const Series*>& series);

// One axis of the given scale holding every value that scale can show, with the margin of
// FitAxes (the plan of station positions); the default axis when there is none.
AxisRange FitValues(AxisScale scale, const std::vector<double>& values);
