#include "plot/section.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <numeric>
#include <utility>

#include "interp/modeledit.h"
#include "io/textconv.h"
#include "plot/series.h"

namespace {
constexpr float kNoValue = std::numeric_limits<float>::quiet_NaN();

// A station or line drawn on its own keeps a band of this part of the raster's span around it.
constexpr double kBandPart = 1.0 / 80.0;

double Coordinate(const RasterArea& a, bool x, int i, int n) {
  const double from = x ? a.x0 : a.y0, to = x ? a.x1 : a.y1;
  return n <= 1 ? from : from + (to - from) * (static_cast<double>(i) + 0.5) / static_cast<double>(n);
}

// The value at position p of a profile of values at increasing positions (linear between them),
// NaN outside them or next to a NaN.
float Along(const std::vector<double>& at, const std::vector<double>& values, double p) {
  if (at.empty() || p < at.front() || p > at.back()) return kNoValue;
  const auto hi = std::upper_bound(at.begin(), at.end(), p);
  if (hi == at.end()) return static_cast<float>(values.back());
  const std::size_t j = static_cast<std::size_t>(hi - at.begin());
  if (j == 0) return static_cast<float>(values.front());
  const double t = (p - at[j - 1]) / (at[j] - at[j - 1]);
  return static_cast<float>(values[j - 1] + t * (values[j] - values[j - 1]));
}

// Columns (or rows) of values at positions `at` (increasing), spread over `count` cells between
// `from` and `to`: between two neighbours linearly, beyond them nothing, and a band around each
// one of its own values where a neighbour has none.
std::vector<std::vector<float>> Spread(const std::vector<double>& at, const std::vector<std::vector<float>>& lines,
                                       int count, double from, double to, int length) {
  std::vector<std::vector<float>> out(static_cast<std::size_t>(count), std::vector<float>(static_cast<std::size_t>(length), kNoValue));
  if (at.empty()) return out;
  const double band = std::abs(to - from) * kBandPart;
  for (int i = 0; i < count; ++i) {
    const double p = count <= 1 ? from : from + (to - from) * (static_cast<double>(i) + 0.5) / static_cast<double>(count);
    std::vector<float>& cell = out[static_cast<std::size_t>(i)];
    const auto hi = std::upper_bound(at.begin(), at.end(), p);
    const std::size_t j = static_cast<std::size_t>(hi - at.begin());  // at[j-1] <= p < at[j]
    // The nearest line within the band, for cells its neighbours leave empty.
    std::size_t nearest = at.size();
    double best = band;
    for (std::size_t k : {j == 0 ? std::size_t{0} : j - 1, j}) {
      if (k < at.size() && std::abs(at[k] - p) <= best) {
        best = std::abs(at[k] - p);
        nearest = k;
      }
    }
    const bool between = j > 0 && j < at.size() && at[j] > at[j - 1];
    const double t = between ? (p - at[j - 1]) / (at[j] - at[j - 1]) : 0.0;
    for (int r = 0; r < length; ++r) {
      const auto rr = static_cast<std::size_t>(r);
      float v = kNoValue;
      if (between) {
        const float a = lines[j - 1][rr], b = lines[j][rr];
        if (std::isfinite(a) && std::isfinite(b)) v = static_cast<float>(a + t * (b - a));
      } else if (j > 0 && j == at.size() && p == at.back()) {
        v = lines.back()[rr];
      }
      if (!std::isfinite(v) && nearest < at.size()) v = lines[nearest][rr];
      cell[rr] = v;
    }
  }
  return out;
}

// A raster of columns (one per x cell, each `height` values from the top).
Raster FromColumns(const std::vector<std::vector<float>>& columns, int width, int height) {
  Raster r;
  r.width = width;
  r.height = height;
  r.values.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), kNoValue);
  for (int c = 0; c < width; ++c)
    for (int row = 0; row < height; ++row)
      r.values[static_cast<std::size_t>(row) * static_cast<std::size_t>(width) + static_cast<std::size_t>(c)] =
          columns[static_cast<std::size_t>(c)][static_cast<std::size_t>(row)];
  return r;
}

// Builds a section from one column of values per station (computed by `column` for the rows).
template <class Column>
Raster Section(const StationList& stations, const std::vector<std::size_t>& line, int width, int height,
               const RasterArea& area, Column column) {
  if (width <= 0 || height <= 0) return {};
  std::vector<double> xs;
  std::vector<std::vector<float>> columns;
  for (std::size_t i : line) {
    if (i >= stations.size()) continue;
    xs.push_back(stations[i].X);
    columns.push_back(column(stations[i]));
  }
  return FromColumns(Spread(xs, columns, width, area.x0, area.x1, height), width, height);
}
}  // namespace

std::vector<std::string> SoundingLines(const StationList& stations) {
  std::vector<std::string> names;
  for (const sdata& s : stations)
    if (std::find(names.begin(), names.end(), s.Profile) == names.end()) names.push_back(s.Profile);
  return names;
}

std::vector<std::size_t> LineStations(const StationList& stations, const std::string& line) {
  std::vector<std::size_t> out;
  for (std::size_t i = 0; i < stations.size(); ++i)
    if (stations[i].Profile == line) out.push_back(i);
  std::stable_sort(out.begin(), out.end(), [&](std::size_t a, std::size_t b) { return stations[a].X < stations[b].X; });
  return out;
}

Raster PseudoSection(const StationList& stations, const std::vector<std::size_t>& line, int width, int height,
                     const RasterArea& area) {
  return Section(stations, line, width, height, area, [&](const sdata& s) {
    // The readings in AB/2 order, in log–log; a repeated AB/2 once, with the mean.
    std::map<double, std::pair<double, int>> byAb2;
    const std::vector<float>& ab2 = s.Columns[colAB2];
    const std::vector<float>& rho = s.Columns[colRho];
    for (std::size_t k = 0; k < ab2.size() && k < rho.size(); ++k) {
      if (!(ab2[k] > 0.0f) || !(rho[k] > 0.0f) || !std::isfinite(ab2[k]) || !std::isfinite(rho[k])) continue;
      auto& sum = byAb2[std::log10(static_cast<double>(ab2[k]))];
      sum.first += std::log10(static_cast<double>(rho[k]));
      ++sum.second;
    }
    std::vector<double> at, values;
    for (const auto& [la, sum] : byAb2) {
      at.push_back(la);
      values.push_back(sum.first / sum.second);
    }
    std::vector<float> out(static_cast<std::size_t>(height));
    for (int r = 0; r < height; ++r) out[static_cast<std::size_t>(r)] = Along(at, values, Coordinate(area, false, r, height));
    return out;
  });
}

Raster GeoelectricSection(const StationList& stations, const std::vector<std::size_t>& line, int width, int height,
                          const RasterArea& area) {
  return Section(stations, line, width, height, area, [&](const sdata& s) {
    std::vector<float> out(static_cast<std::size_t>(height), kNoValue);
    const StationModel& m = s.Model;
    const std::size_t layers = std::min(m.Thickness.size(), m.Resistivity.size());
    if (layers == 0) return out;
    const std::vector<double> bottoms = LayerBottoms(m);
    for (int r = 0; r < height; ++r) {
      const double depth = Coordinate(area, false, r, height);
      if (depth < 0.0) continue;
      const std::size_t k = static_cast<std::size_t>(std::upper_bound(bottoms.begin(), bottoms.end(), depth) - bottoms.begin());
      const float rho = m.Resistivity[std::min(k, layers - 1)];
      if (rho > 0.0f) out[static_cast<std::size_t>(r)] = static_cast<float>(std::log10(static_cast<double>(rho)));
    }
    return out;
  });
}

double SectionDepth(const StationList& stations, const std::vector<std::size_t>& line) {
  double deepest = 0.0;
  for (std::size_t i : line) {
    if (i >= stations.size()) continue;
    const std::vector<double> bottoms = LayerBottoms(stations[i].Model);
    if (!bottoms.empty()) deepest = std::max(deepest, bottoms.back());
  }
  return deepest > 0.0 ? std::max(1.0, 1.5 * deepest) : 100.0;
}

std::vector<PlanLine> PlanLines(DataType type, const StationList& stations) {
  std::vector<PlanLine> lines;
  if (IsSoundingType(type)) return lines;
  // The units of each line (a four-pole line, or the branches of a combined line).
  std::vector<std::string> names;
  for (const sdata& s : stations)
    if (std::find(names.begin(), names.end(), s.Profile) == names.end()) names.push_back(s.Profile);
  for (std::size_t n = 0; n < names.size(); ++n) {
    PlanLine line;
    line.name = names[n];
    float number = 0.0f;
    line.y = TryStrToFloat(names[n], number) ? static_cast<double>(number) : static_cast<double>(n);
    std::vector<const sdata*> units;
    for (std::size_t i = 0; i < stations.size(); ++i)
      if (stations[i].Profile == names[n]) {
        line.units.push_back(i);
        units.push_back(&stations[i]);
      }
    // log10 resistivity by point number, each unit's readings summed to a mean.
    std::map<double, std::pair<double, int>> byPoint;
    std::map<double, int> unitsAt;
    for (const sdata* u : units) {
      std::map<double, bool> seen;
      for (std::size_t k = 0; k < u->Columns[colPointNo].size() && k < u->Columns[colRho].size(); ++k) {
        const float x = u->Columns[colPointNo][k], rho = u->Columns[colRho][k];
        if (!std::isfinite(x) || !(rho > 0.0f) || !std::isfinite(rho)) continue;
        auto& sum = byPoint[x];
        sum.first += std::log10(static_cast<double>(rho));
        ++sum.second;
        if (!seen[x]) ++unitsAt[x];
        seen[x] = true;
      }
    }
    for (const auto& [x, sum] : byPoint) {
      // Combined profiling: only where both branches have a reading.
      if (units.size() > 1 && unitsAt[x] < static_cast<int>(units.size())) continue;
      line.x.push_back(x);
      line.logRho.push_back(sum.first / sum.second);
    }
    if (type == dtCombinedProfile && units.size() == 2)
      line.crossings = FindCrossings(SeriesFromColumns(CurveKind::Profile, units[0]->Columns[colPointNo], units[0]->Columns[colRho]),
                                     SeriesFromColumns(CurveKind::Profile, units[1]->Columns[colPointNo], units[1]->Columns[colRho]));
    lines.push_back(std::move(line));
  }
  std::stable_sort(lines.begin(), lines.end(), [](const PlanLine& a, const PlanLine& b) { return a.y < b.y; });
  return lines;
}

Raster PlanMap(const std::vector<PlanLine>& lines, int width, int height, const RasterArea& area) {
  if (width <= 0 || height <= 0) return {};
  // Each line sampled at the columns' x, then spread between lines over the rows.
  std::vector<double> ys;
  std::vector<std::vector<float>> rows;
  for (const PlanLine& line : lines) {
    std::vector<float> row(static_cast<std::size_t>(width));
    for (int c = 0; c < width; ++c) row[static_cast<std::size_t>(c)] = Along(line.x, line.logRho, Coordinate(area, true, c, width));
    ys.push_back(line.y);
    rows.push_back(std::move(row));
  }
  // Rows run from y0 at the top; Spread wants increasing positions, so it works top-down in y.
  const std::vector<std::vector<float>> spread = Spread(ys, rows, height, area.y0, area.y1, width);
  Raster r;
  r.width = width;
  r.height = height;
  r.values.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (const std::vector<float>& row : spread) r.values.insert(r.values.end(), row.begin(), row.end());
  return r;
}

ValueRange FiniteRange(const std::vector<const Raster*>& rasters) {
  double lo = std::numeric_limits<double>::infinity(), hi = -lo;
  for (const Raster* r : rasters)
    for (float v : r->values)
      if (std::isfinite(v)) {
        lo = std::min(lo, static_cast<double>(v));
        hi = std::max(hi, static_cast<double>(v));
      }
  if (!std::isfinite(lo)) return {};
  if (hi - lo < 1.0) {
    lo = std::floor(lo);
    hi = std::max(std::ceil(hi), lo + 1.0);
  }
  return {lo, hi};
}

std::array<unsigned char, 3> ScaleColour(double t) {
  // viridis at 0, 0.1, ..., 1
  static constexpr std::array<std::array<unsigned char, 3>, 11> kStops = {{{0x44, 0x01, 0x54},
                                                                           {0x48, 0x24, 0x75},
                                                                           {0x41, 0x44, 0x87},
                                                                           {0x35, 0x5f, 0x8d},
                                                                           {0x2a, 0x78, 0x8e},
                                                                           {0x21, 0x91, 0x8c},
                                                                           {0x22, 0xa8, 0x84},
                                                                           {0x44, 0xbf, 0x70},
                                                                           {0x7a, 0xd1, 0x51},
                                                                           {0xbd, 0xdf, 0x26},
                                                                           {0xfd, 0xe7, 0x25}}};
  if (!std::isfinite(t)) t = 0.0;
  t = std::clamp(t, 0.0, 1.0) * 10.0;
  const std::size_t i = std::min<std::size_t>(static_cast<std::size_t>(t), 9);
  const double f = t - static_cast<double>(i);
  std::array<unsigned char, 3> out{};
  for (std::size_t c = 0; c < 3; ++c)
    out[c] = static_cast<unsigned char>(std::lround(kStops[i][c] + f * (kStops[i + 1][c] - kStops[i][c])));
  return out;
}
