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
  // Run the exchange sort on (X, position) pairs, then move every station once to its place:
  // the same order as exchanging whole stations, without moving them n^2 times.
  const std::size_t n = stations.size();
  std::vector<std::pair<float, std::size_t>> keys(n);
  for (std::size_t i = 0; i < n; ++i) keys[i] = {stations[i].X, i};
  for (std::size_t i = 0; i + 1 < n; ++i) {
    for (std::size_t j = i + 1; j < n; ++j) {
      if (keys[i].first > keys[j].first) std::swap(keys[i], keys[j]);
    }
  }
  StationList sorted;
  sorted.reserve(n);
  for (const auto& key : keys) sorted.push_back(std::move(stations[key.second]));
  stations = std::move(sorted);
}

void SortRowsBySpacing(sdata& station) {
  auto& ab2 = station.Columns[colAB2];
  const std::size_t m = ab2.size();
  // Rows already in order (the usual case) are left as they are after one linear pass.
  if (m < 2 || std::is_sorted(ab2.begin(), ab2.end())) return;
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
