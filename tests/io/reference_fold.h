#pragma once
// The pairwise fold of equal spacings and the merge that folds after every block, kept as they
// read so that the fast fold and merge are checked against them (tests and fuzz targets).

#include <cstddef>
#include <cstdint>

#include <algorithm>
#include <vector>

#include "io/formatparts.h"
#include "io/vesfile.h"
#include "model/sdata.h"

namespace reference {

// Every row compared with every later row still in place; a later row of the same spacing is
// averaged into the earlier one (Columns[3], and Columns[4..8] with averageAll) and removed; a
// column the station does not hold (empty) stays empty.
inline void FoldEqualSpacings(sdata& s, bool averageAll) {
  auto& ab2 = s.Columns[colAB2];
  for (std::size_t i = 0; i + 1 < ab2.size(); ++i) {
    for (std::size_t j = i + 1; j < ab2.size();) {
      if (!fileformat::SameSpacing(ab2[i], ab2[j])) {
        ++j;
        continue;
      }
      for (int c = colRho; c <= colR; ++c) {
        auto& col = s.Columns[c];
        if (col.size() != ab2.size()) continue;  // a column the station does not hold
        if (c == colRho || averageAll) col[i] = fileformat::MeanOf(col[i], col[j]);
        col.erase(col.begin() + static_cast<std::ptrdiff_t>(j));
      }
      ab2.erase(ab2.begin() + static_cast<std::ptrdiff_t>(j));
    }
  }
  s.SpacingCount = static_cast<std::int32_t>(ab2.size());
}

// The merge of .ves stations by name that folds the station after every block added to it, the
// station's model and Z taken from the first block that has them.
inline void MergeVesStations(StationList& stations, const std::vector<TStation>& list) {
  for (const TStation& t : list) {
    auto into = std::find_if(stations.begin(), stations.end(), [&](const sdata& s) { return s.Name == t.Name; });
    if (into == stations.end()) {
      StationList one;
      ::MergeVesStations(one, {t});  // a station of a new name is taken over as it is
      stations.push_back(one.front());
      continue;
    }
    // A model and a Z of the station's own stay; those it lacks come from the block.
    if (into->Model.empty()) into->Model = StationModelOf(t);
    if (into->Z == 0.0f) into->Z = t.Z;
    const std::size_t rows = std::min(t.AB2.size(), t.Rho.size());
    into->Columns[colAB2].insert(into->Columns[colAB2].end(), t.AB2.begin(), t.AB2.begin() + static_cast<std::ptrdiff_t>(rows));
    into->Columns[colRho].insert(into->Columns[colRho].end(), t.Rho.begin(), t.Rho.begin() + static_cast<std::ptrdiff_t>(rows));
    for (int c = colZP; c <= colR; ++c)  // a column the station holds gets 0.0 per added row
      if (!into->Columns[c].empty()) into->Columns[c].resize(into->Columns[colAB2].size(), 0.0f);
    FoldEqualSpacings(*into, false);
  }
}

}  // namespace reference
