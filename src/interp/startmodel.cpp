#include "interp/startmodel.h"

#include <algorithm>
#include <cmath>
#include <limits>

std::vector<CurvePoint> SoundingCurve(const std::vector<Reading>& readings) {
  std::vector<Reading> sorted = readings;
  std::stable_sort(sorted.begin(), sorted.end(), [](const Reading& a, const Reading& b) { return a.ab2 < b.ab2; });
  std::vector<CurvePoint> curve;
  for (std::size_t i = 0; i < sorted.size();) {
    std::size_t end = i;
    double sumLog = 0.0;
    while (end < sorted.size() && sorted[end].ab2 == sorted[i].ab2) sumLog += std::log(sorted[end++].rho);
    curve.push_back({sorted[i].ab2, std::exp(sumLog / static_cast<double>(end - i))});
    i = end;
  }
  return curve;
}

namespace {

// log ρa at ln AB/2 = t, linear between the curve's points in log-log.
double LogRhoAt(const std::vector<CurvePoint>& curve, double t) {
  std::size_t k = 1;
  while (k + 1 < curve.size() && std::log(curve[k].ab2) < t) ++k;
  const double t0 = std::log(curve[k - 1].ab2), t1 = std::log(curve[k].ab2);
  const double y0 = std::log(curve[k - 1].rho), y1 = std::log(curve[k].rho);
  const double w = std::clamp((t - t0) / (t1 - t0), 0.0, 1.0);
  return y0 + w * (y1 - y0);
}

}  // namespace

LayerModel Blocky(const std::vector<double>& logRho, const std::vector<double>& boundary, int layers,
                  double contrast) {
  const std::size_t n = static_cast<std::size_t>(layers);
  const std::size_t m = logRho.size();
  const std::vector<double>& y = logRho;
  // Prefix sums give the squared deviation of any piece [a, b) in constant time.
  std::vector<double> s1(m + 1, 0.0), s2(m + 1, 0.0);
  for (std::size_t i = 0; i < m; ++i) {
    s1[i + 1] = s1[i] + y[i];
    s2[i + 1] = s2[i] + y[i] * y[i];
  }
  auto spread = [&](std::size_t a, std::size_t b) {
    const double k = static_cast<double>(b - a), s = s1[b] - s1[a];
    return (s2[b] - s2[a]) - s * s / k;
  };
  // best[l][b]: the least spread of the first b intervals cut into l pieces; from[l][b] where
  // the last of them begins.
  constexpr double kNone = std::numeric_limits<double>::infinity();
  std::vector<std::vector<double>> best(n + 1, std::vector<double>(m + 1, kNone));
  std::vector<std::vector<std::size_t>> from(n + 1, std::vector<std::size_t>(m + 1, 0));
  best[0][0] = 0.0;
  for (std::size_t l = 1; l <= n; ++l) {
    for (std::size_t b = l; b <= m; ++b) {
      for (std::size_t a = l - 1; a < b; ++a) {
        if (best[l - 1][a] == kNone) continue;
        // Ties go to the later cut (strict <), the same way on every run.
        const double v = best[l - 1][a] + spread(a, b);
        if (v < best[l][b]) {
          best[l][b] = v;
          from[l][b] = a;
        }
      }
    }
  }
  std::vector<std::size_t> starts(n + 1);
  starts[n] = m;
  for (std::size_t l = n; l > 0; --l) starts[l - 1] = from[l][starts[l]];

  std::vector<double> mean(n);
  for (std::size_t l = 0; l < n; ++l) {
    mean[l] = (s1[starts[l + 1]] - s1[starts[l]]) / static_cast<double>(starts[l + 1] - starts[l]);
  }
  LayerModel model;
  model.rho.resize(n);
  for (std::size_t l = 0; l < n; ++l) {
    double v = mean[l];
    if (l > 0) {
      const double around = l + 1 < n ? 0.5 * (mean[l - 1] + mean[l + 1]) : mean[l - 1];
      v += contrast * (mean[l] - around);
    }
    model.rho[l] = std::exp(v);
  }
  double above = 0.0;
  for (std::size_t l = 0; l + 1 < n; ++l) {
    const double depth = boundary[starts[l + 1] - 1];
    model.thickness.push_back(depth - above);
    above = depth;
  }
  return model;
}

LayerModel StartModel(const std::vector<CurvePoint>& curve, int layers, const StartShape& shape) {
  const std::size_t n = static_cast<std::size_t>(layers);
  const double t0 = std::log(curve.front().ab2), t1 = std::log(curve.back().ab2);
  // Eight points a decade, and never fewer than two a layer.
  const std::size_t m =
      std::max<std::size_t>(2 * n, static_cast<std::size_t>(std::ceil((t1 - t0) / std::log(10.0) * 8)) + 1);
  std::vector<double> t(m), y(m), boundary(m - 1);
  for (std::size_t i = 0; i < m; ++i) {
    t[i] = t0 + (t1 - t0) * static_cast<double>(i) / static_cast<double>(m - 1);
    y[i] = LogRhoAt(curve, t[i]);
  }
  for (std::size_t i = 0; i + 1 < m; ++i) boundary[i] = shape.depthFactor * std::exp(0.5 * (t[i] + t[i + 1]));
  return Blocky(y, boundary, layers, shape.contrast);
}

std::vector<LayerModel> InsertedLayerStarts(const LayerModel& model) {
  std::vector<LayerModel> starts;
  const std::size_t n = model.rho.size();
  if (n < 2) return starts;
  double top = 0.0;
  for (std::size_t k = 0; k < n; ++k) {
    const auto at = [](auto& v, std::size_t i) { return v.begin() + static_cast<std::ptrdiff_t>(i); };
    for (double contrast : {8.0, 1.0 / 8.0}) {
      const double rho = model.rho[k] * contrast;
      if (k + 1 < n) {
        const double h = model.thickness[k], thin = 0.25 * h;
        for (std::size_t where : {k, k + 1}) {  // the new layer on top of its host, or below it
          LayerModel m = model;
          m.thickness[k] = h - thin;
          m.rho.insert(at(m.rho, where), rho);
          m.thickness.insert(at(m.thickness, where), thin);
          starts.push_back(std::move(m));
        }
      } else {
        for (double fraction : {1.0 / 3.0, 1.0}) {
          LayerModel m = model;
          m.rho.insert(at(m.rho, k), rho);
          m.thickness.push_back(fraction * top);
          starts.push_back(std::move(m));
        }
      }
    }
    if (k + 1 < n) top += model.thickness[k];
  }
  return starts;
}

const std::vector<StartShape>& StartShapes() {
  static const std::vector<StartShape> shapes = {{0.5, 0.0}, {1.0, 0.5}, {0.3, 0.5}};
  return shapes;
}
