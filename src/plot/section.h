#pragma once
// Sections and maps of a survey as rasters of log10 apparent resistivity (or of a model's
// resistivity), for the window to colour: the pseudo-section of a line of soundings (x along the
// line against AB/2 on a log axis), the geoelectric section from the stations' models (x against
// depth), and the plan map of profiling lines (x along the lines against the line's coordinate).
// Values are interpolated in log resistivity between neighbouring stations or lines only, never
// beyond the data: a cell outside them, or between two stations of which one has nothing there,
// has no value (NaN).

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "model/sdata.h"
#include "plot/crossings.h"

// A grid of values, row after row, row 0 at the top.
struct Raster {
  int width = 0;
  int height = 0;
  std::vector<float> values;  // width * height, NaN where there is no value
  float at(int col, int row) const { return values[static_cast<std::size_t>(row) * static_cast<std::size_t>(width) + static_cast<std::size_t>(col)]; }
};

// The area a raster covers: columns evenly from x0 to x1 (cell centres), rows evenly from y0 (top)
// to y1; for the pseudo-section y is log10 AB/2, for the geoelectric section depth in m, for the
// plan map the line coordinate.
struct RasterArea {
  double x0 = 0.0, x1 = 1.0;
  double y0 = 0.0, y1 = 1.0;
};

// The names of the lines of sounding stations (their 剖面编号 texts, GBK), in the order of their
// first station in the list.
std::vector<std::string> SoundingLines(const StationList& stations);
// The positions in the list of the stations of one line, in x order.
std::vector<std::size_t> LineStations(const StationList& stations, const std::string& line);

// The pseudo-section of the stations at positions `line` (x order): log10 apparent resistivity
// at (x, log10 AB/2). A station's readings are taken in AB/2 order (a repeated AB/2: the mean of
// its log resistivities) and joined linearly in log–log.
Raster PseudoSection(const StationList& stations, const std::vector<std::size_t>& line, int width, int height,
                     const RasterArea& area);
// The geoelectric section of the same stations: log10 resistivity of the layer at (x, depth);
// stations without a model leave a gap to their neighbours.
Raster GeoelectricSection(const StationList& stations, const std::vector<std::size_t>& line, int width, int height,
                          const RasterArea& area);
// A depth showing every boundary of the stations' models with room below: 1.5 times the deepest
// boundary, at least 1 m (100 m when no station has a boundary).
double SectionDepth(const StationList& stations, const std::vector<std::size_t>& line);

// One profiling line on the plan: its coordinate (the line number; the line's place in the list
// when the number is not one), and the resistivity along it (for combined profiling the mean of
// the two branches in log resistivity where both have a reading, and where the branches cross).
struct PlanLine {
  std::string name;  // the line number text, GBK
  double y = 0.0;
  std::vector<double> x;       // point numbers, increasing
  std::vector<double> logRho;  // log10 resistivity at each
  std::vector<Crossing> crossings;
  std::vector<std::size_t> units;  // positions in the list of its line or branches
};
std::vector<PlanLine> PlanLines(DataType type, const StationList& stations);
// The plan map: log10 resistivity at (x, y), linear along each line and between neighbouring
// lines (in y order); a single line is a band of the rows nearest to it.
Raster PlanMap(const std::vector<PlanLine>& lines, int width, int height, const RasterArea& area);

// The range of the finite values of rasters, widened to whole decades when it spans less than one
// (so that the legend has ticks); {0, 1} when there is none.
struct ValueRange {
  double lo = 0.0;
  double hi = 1.0;
};
ValueRange FiniteRange(const std::vector<const Raster*>& rasters);

// The colour of t in [0, 1] on a perceptually ordered scale whose lightness rises steadily from
// dark purple to yellow, so that it reads in greyscale print too (matplotlib's viridis, by
// linear interpolation between eleven of its colours). Values outside are clamped.
std::array<unsigned char, 3> ScaleColour(double t);
