#include "plot/crossings.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>

namespace {

// A vertex in axis coordinates (u, v), with the values it came from.
struct Vertex {
  double u, v;
  double x, y;
};
// Vertices with strictly growing u.
using Run = std::vector<Vertex>;

// A meeting found, in axis coordinates until the end.
struct Meeting {
  Crossing::Kind kind;
  double u, v, uEnd;
  double x, y, xEnd;  // values; y is NaN when it must be computed from v
};

// Two coordinates closer than this (relative to their size, at least 1) are the same: far
// below the spacing of float inputs, far above the rounding of the interpolation.
bool Same(double a, double b) { return std::fabs(a - b) <= 1e-9 * std::max({1.0, std::fabs(a), std::fabs(b)}); }

int Sign(double d) { return d > 0.0 ? 1 : d < 0.0 ? -1 : 0; }

// Splits each segment into pieces along which x runs strictly one way, each put in growing
// order. Where the line turns, both pieces keep the turning vertex; where x repeats, the
// vertical step between the two vertices belongs to neither.
std::vector<Run> MonotoneRuns(const Series& s, AxisScale xScale, AxisScale yScale) {
  std::vector<Run> runs;
  for (const Segment& seg : s.segments) {
    Run run;
    int direction = 0;
    auto close = [&] {
      if (direction < 0) std::reverse(run.begin(), run.end());
      runs.push_back(std::move(run));
      run.clear();
      direction = 0;
    };
    for (const PlotPoint& p : seg) {
      Vertex vx{AxisCoord(xScale, p.x), AxisCoord(yScale, p.y), p.x, p.y};
      if (run.empty()) {
        run.push_back(vx);
        continue;
      }
      const int d = Sign(vx.u - run.back().u);
      if (d == 0) {
        close();
      } else if (direction != 0 && d != direction) {
        Vertex turn = run.back();
        close();
        run.push_back(turn);
      }
      if (d != 0) direction = d;
      run.push_back(vx);
    }
    close();
  }
  return runs;
}

// The line's coordinate v at u, for run.front().u <= u <= run.back().u; exact at a vertex.
double ValueAt(const Run& run, double u) {
  auto it = std::upper_bound(run.begin(), run.end(), u, [](double w, const Vertex& p) { return w < p.u; });
  std::size_t hi = static_cast<std::size_t>(it - run.begin());
  if (hi == 0) return run.front().v;
  const Vertex& left = run[hi - 1];
  if (left.u == u || hi == run.size()) return left.v;
  const Vertex& right = run[hi];
  return left.v + (right.v - left.v) * (u - left.u) / (right.u - left.u);
}

// A place where both lines are compared: a vertex of either within the common range.
struct Probe {
  double u, x;
  std::optional<double> y;  // the typed value when the vertex is one of a's, or b's when not
  double d = 0.0;           // a's coordinate minus b's, 0 when the two are the same
  double va = 0.0;
};

void MeetingsOfRuns(const Run& a, const Run& b, std::vector<Meeting>& out) {
  const double lo = std::max(a.front().u, b.front().u);
  const double hi = std::min(a.back().u, b.back().u);
  if (lo > hi) return;
  std::vector<Probe> grid;
  std::size_t i = 0, j = 0;
  while (i < a.size() && a[i].u < lo) ++i;
  while (j < b.size() && b[j].u < lo) ++j;
  while ((i < a.size() && a[i].u <= hi) || (j < b.size() && b[j].u <= hi)) {
    const bool takeA = i < a.size() && a[i].u <= hi;
    const bool takeB = j < b.size() && b[j].u <= hi;
    if (takeA && (!takeB || a[i].u <= b[j].u)) {
      if (takeB && a[i].u == b[j].u) ++j;
      grid.push_back({a[i].u, a[i].x, a[i].y});
      ++i;
    } else {
      grid.push_back({b[j].u, b[j].x, b[j].y});
      ++j;
    }
  }
  for (Probe& s : grid) {
    s.va = ValueAt(a, s.u);
    const double vb = ValueAt(b, s.u);
    s.d = Same(s.va, vb) ? 0.0 : s.va - vb;
  }
  const std::size_t n = grid.size();
  for (std::size_t k = 0; k < n; ++k) {
    if (grid[k].d == 0.0) {
      std::size_t last = k;
      while (last + 1 < n && grid[last + 1].d == 0.0) ++last;
      const int before = k > 0 ? Sign(grid[k - 1].d) : 0;
      const int after = last + 1 < n ? Sign(grid[last + 1].d) : 0;
      const auto kind = before * after < 0 ? Crossing::Kind::Cross : Crossing::Kind::Touch;
      const double nan = std::nan("");
      out.push_back({kind, grid[k].u, grid[k].va, grid[last].u, grid[k].x, grid[k].y.value_or(nan), grid[last].x});
      k = last;
      continue;
    }
    if (k + 1 < n && Sign(grid[k].d) * Sign(grid[k + 1].d) < 0) {
      const double t = grid[k].d / (grid[k].d - grid[k + 1].d);
      const double u = grid[k].u + t * (grid[k + 1].u - grid[k].u);
      const double v = grid[k].va + t * (grid[k + 1].va - grid[k].va);
      const double nan = std::nan("");
      out.push_back({Crossing::Kind::Cross, u, v, u, nan, nan, nan});
    }
  }
}

}  // namespace

std::vector<Crossing> FindCrossings(const Series& a, const Series& b) {
  const AxisScale xScale = XScale(a.kind), yScale = YScale(a.kind);
  const std::vector<Run> runsA = MonotoneRuns(a, xScale, yScale);
  const std::vector<Run> runsB = MonotoneRuns(b, xScale, yScale);
  std::vector<Meeting> found;
  for (const Run& ra : runsA)
    for (const Run& rb : runsB) MeetingsOfRuns(ra, rb, found);

  std::sort(found.begin(), found.end(), [](const Meeting& p, const Meeting& q) {
    return p.u != q.u ? p.u < q.u : p.v < q.v;
  });
  // Pieces that share a vertex (a line turning back) may report the same meeting twice.
  std::vector<Crossing> result;
  std::vector<Meeting> kept;
  for (const Meeting& m : found) {
    if (!kept.empty() && Same(kept.back().u, m.u) && Same(kept.back().v, m.v)) {
      Meeting& k = kept.back();
      if (m.kind == Crossing::Kind::Cross) k.kind = Crossing::Kind::Cross;
      if (m.uEnd > k.uEnd) {
        k.uEnd = m.uEnd;
        k.xEnd = m.xEnd;
      }
      continue;
    }
    kept.push_back(m);
  }
  result.reserve(kept.size());
  for (const Meeting& m : kept) {
    Crossing c;
    c.kind = m.kind;
    c.x = std::isnan(m.x) ? AxisValue(xScale, m.u) : m.x;
    c.y = std::isnan(m.y) ? AxisValue(yScale, m.v) : m.y;
    c.xEnd = std::isnan(m.xEnd) ? AxisValue(xScale, m.uEnd) : m.xEnd;
    result.push_back(c);
  }
  return result;
}
