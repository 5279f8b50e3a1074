#pragma once
// Readings that break the curve: a mistyped 587 for 58.7 shows as a point far off the line
// through its neighbours.

#include <vector>

#include "plot/series.h"

inline constexpr double kDefaultOutlierFactor = 2.0;

// The points of a resistivity curve (a log y axis) that break it, in row order.
// A point is judged against the straight line, in axis coordinates (log AB/2 or point number,
// and log-resistivity), through its nearest neighbours on both sides within its segment, and
// breaks the curve when its resistivity differs from the line's value at its x by more than
// `factor` times (either way). The first and last point of a segment (also a point next to a
// gap) are judged against the line through the two nearest points on their one side, carried
// on to their x: a mistyped first or last reading is flagged itself, rather than pulling the
// line through its good neighbour off that neighbour.
// One wrong reading puts its good neighbours off their lines too (the lines pass through it),
// so points are flagged one at a time, and every point is judged again without the points
// flagged so far. Of the points off their line, the one furthest off the line through the
// points one further out on each side goes first: that line leaves out the neighbour that may
// be the wrong one. A flagged point that in the end lies within the factor of the line through
// its nearest unflagged points is cleared again. So one mistyped reading, or two side by side,
// flag those rows and no others.
// Never flagged: a point of a segment of fewer than 3 points, and a point whose x does not run
// strictly one way with those of the points that judge it (a repeated or out-of-order x, which
// the series lists on its own).
// A factor that is not a number or not above 1 counts as kDefaultOutlierFactor; an infinite
// factor flags nothing. A series with a linear y axis (an IP parameter) gives nothing.
std::vector<PlotPoint> FindOutliers(const Series& series, double factor = kDefaultOutlierFactor);
