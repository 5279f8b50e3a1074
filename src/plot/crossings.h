#pragma once
// Where the two branches of a combined-profiling line meet: a crossing of branch A and branch B
// marks a conductor, so the pane marks each one on the plot and lists it.

#include <vector>

#include "plot/series.h"

struct Crossing {
  enum class Kind {
    Cross,  // the branches change sides here
    Touch,  // they meet but stay on the same side, or meet where one of them ends
  };
  Kind kind = Kind::Cross;
  double x = 0.0;     // point number where they meet
  double y = 0.0;     // resistivity there
  double xEnd = 0.0;  // == x, or the end of a stretch over which the two coincide
  bool operator==(const Crossing&) const = default;
};

// The crossings of two series of the same kind (the scales are those of a.kind), in x order.
// Each drawn line is taken as straight between its points in axis coordinates (point number
// and log-resistivity for a profile), so both are compared at every point of either within
// their common range and a change of side between two such points is placed by linear
// interpolation. Lines only meet where both are drawn: a gap in either interrupts the search.
// - A meeting at a point (the difference within about 1e-9 of the coordinate) is reported
//   once, as Cross when the sides before and after differ, else as Touch.
// - A stretch where the two coincide is reported once, at its start, with xEnd at its end.
// - Parallel lines, or lines that never meet, give nothing.
// Where a line turns back (point numbers out of order) each piece running one way is searched
// on its own; a vertical step at a repeated point number is not searched.
std::vector<Crossing> FindCrossings(const Series& a, const Series& b);
