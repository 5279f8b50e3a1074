#include "plot/outliers.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <queue>
#include <utility>

namespace {

struct Coord {
  double u, v;
};

// How far the point at i lies off the line through the points at a and b, in axis coordinates;
// -1 when x does not run strictly one way along the three points in segment order (a repeated
// or backward x), so that this line cannot judge it.
double Deviation(const std::vector<Coord>& c, std::size_t i, std::size_t a, std::size_t b) {
  std::size_t k[3] = {i, a, b};
  std::sort(k, k + 3);
  const double first = c[k[1]].u - c[k[0]].u, second = c[k[2]].u - c[k[1]].u;
  if (!((first > 0.0 && second > 0.0) || (first < 0.0 && second < 0.0))) return -1.0;
  const double expected = c[a].v + (c[b].v - c[a].v) * (c[i].u - c[a].u) / (c[b].u - c[a].u);
  return std::fabs(c[i].v - expected);
}

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// The two points whose line judges point i. walk(j, -1 or +1) gives the nearest point still
// counted before or after j, or kNone. Narrow: the nearest point on each side, or for an end the
// two nearest on its one side. Wide: one point further out wherever there is one, which leaves
// out a neighbour that may itself be wrong.
template <class Walk>
std::pair<std::size_t, std::size_t> References(std::size_t i, bool wide, Walk walk) {
  const std::size_t p = walk(i, -1), q = walk(i, +1);
  if (p != kNone && q != kNone) {
    if (!wide) return {p, q};
    const std::size_t pp = walk(p, -1), qq = walk(q, +1);
    return {pp != kNone ? pp : p, qq != kNone ? qq : q};
  }
  const int dir = p != kNone ? -1 : +1;
  const std::size_t a = p != kNone ? p : q;
  if (a == kNone) return {kNone, kNone};
  const std::size_t b = walk(a, dir);
  if (b == kNone || !wide) return {a, b};
  const std::size_t c = walk(b, dir);
  return c != kNone ? std::pair{b, c} : std::pair{a, b};
}

template <class Walk>
double Judge(const std::vector<Coord>& c, std::size_t i, bool wide, Walk walk) {
  const auto [a, b] = References(i, wide, walk);
  if (a == kNone || b == kNone) return -1.0;
  return Deviation(c, i, a, b);
}

// The flagged indices of one segment, in index order.
std::vector<std::size_t> OutliersOfSegment(const std::vector<Coord>& c, double limit) {
  const std::size_t n = c.size();
  // The unflagged points as a doubly linked list: a flagged point is taken out, so that the
  // points around it are judged against the points beyond it.
  std::vector<std::size_t> prev(n), next(n);
  for (std::size_t i = 0; i < n; ++i) {
    prev[i] = i == 0 ? kNone : i - 1;
    next[i] = i + 1 < n ? i + 1 : kNone;
  }
  auto linked = [&](std::size_t j, int dir) { return j == kNone ? kNone : dir < 0 ? prev[j] : next[j]; };
  std::vector<double> dev(n, -1.0), rank(n, -1.0);
  std::vector<char> flagged(n, 0);
  // Points off their line, the one furthest off the wide line first (of equal ones, the
  // earliest row): next to a wrong reading both it and its good neighbour are off their
  // narrow lines, but only the wrong one is also off the line that leaves the other out.
  std::priority_queue<std::pair<double, std::ptrdiff_t>> queue;
  auto judge = [&](std::size_t i) {
    if (i == kNone) return;
    dev[i] = Judge(c, i, false, linked);
    if (dev[i] <= limit) return;
    const double wide = Judge(c, i, true, linked);
    rank[i] = wide >= 0.0 ? wide : dev[i];
    queue.push({rank[i], -static_cast<std::ptrdiff_t>(i)});
  };
  for (std::size_t i = 0; i < n; ++i) judge(i);

  std::vector<std::size_t> order;
  while (!queue.empty()) {
    const auto [r, negated] = queue.top();
    queue.pop();
    const auto i = static_cast<std::size_t>(-negated);
    if (flagged[i] || dev[i] <= limit || r != rank[i]) continue;  // judged again since
    flagged[i] = 1;
    order.push_back(i);
    const std::size_t p = prev[i], q = next[i];
    if (p != kNone) next[p] = q;
    if (q != kNone) prev[q] = p;
    // Every point whose narrow or wide line went through i: up to three on each side.
    for (std::size_t j = p, k = 0; j != kNone && k < 3; j = prev[j], ++k) judge(j);
    for (std::size_t j = q, k = 0; j != kNone && k < 3; j = next[j], ++k) judge(j);
  }

  // Clear what lies within the limit of the line through the nearest unflagged points.
  auto unflagged = [&](std::size_t i, int dir) {
    while (i != kNone) {
      if (dir < 0 ? i == 0 : i + 1 >= n) return kNone;
      i = dir < 0 ? i - 1 : i + 1;
      if (!flagged[i]) return i;
    }
    return kNone;
  };
  for (std::size_t i : order) {
    const double d = Judge(c, i, false, unflagged);
    if (d >= 0.0 && d <= limit) flagged[i] = 0;
  }
  std::vector<std::size_t> result;
  for (std::size_t i = 0; i < n; ++i)
    if (flagged[i]) result.push_back(i);
  return result;
}

}  // namespace

std::vector<PlotPoint> FindOutliers(const Series& series, double factor) {
  std::vector<PlotPoint> result;
  const AxisScale xScale = XScale(series.kind), yScale = YScale(series.kind);
  if (yScale != AxisScale::Log10) return result;
  if (!(factor > 1.0)) factor = kDefaultOutlierFactor;
  const double limit = std::log10(factor);
  std::vector<Coord> coords;
  for (const Segment& seg : series.segments) {
    coords.clear();
    for (const PlotPoint& p : seg) coords.push_back({AxisCoord(xScale, p.x), AxisCoord(yScale, p.y)});
    for (std::size_t i : OutliersOfSegment(coords, limit)) result.push_back(seg[i]);
  }
  return result;
}
