#include "model/stations.h"

#include <algorithm>
#include <utility>

namespace {
bool InXOrder(const StationList& s) {
  return std::is_sorted(s.begin(), s.end(), [](const sdata& a, const sdata& b) { return a.X < b.X; });
}
}  // namespace

void SortStationsByX(StationList& stations) {
  // On a list in order the exchange sort exchanges nothing; skip its quadratic pass.
  if (InXOrder(stations)) return;
  const std::size_t n = stations.size();
  for (std::size_t i = 0; i + 1 < n; ++i) {
    for (std::size_t j = i + 1; j < n; ++j) {
      if (stations[i].X > stations[j].X) std::swap(stations[i], stations[j]);
    }
  }
}

void SortRowsBySpacing(sdata& station) {
  auto& ab2 = station.Columns[colAB2];
  const std::size_t m = ab2.size();
  if (m < 2) return;
  static constexpr int kMoved[] = {colRho, colZP, colIP, colTD, colTH, colR};
  for (std::size_t j = 0; j + 1 < m; ++j) {
    for (std::size_t k = j + 1; k < m; ++k) {
      if (ab2[j] > ab2[k]) {
        std::swap(ab2[j], ab2[k]);
        for (int c : kMoved) {
          auto& col = station.Columns[c];
          if (k < col.size()) std::swap(col[j], col[k]);  // a short column is a broken precondition; never read past it
        }
      }
    }
  }
}

void SortRowsBySpacing(StationList& stations) {
  for (sdata& s : stations) SortRowsBySpacing(s);
}

std::size_t InsertStationByX(StationList& stations, sdata station) {
  SortStationsByX(stations);
  const float x = station.X;
  auto pos = std::upper_bound(stations.begin(), stations.end(), x,
                              [](float v, const sdata& s) { return v < s.X; });
  const auto index = static_cast<std::size_t>(pos - stations.begin());
  stations.insert(pos, std::move(station));
  return index;
}
