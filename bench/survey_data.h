#pragma once
// Survey data for the file benchmarks: sounding stations with 49 spacings each, every value
// different, in X order, with texts as a field crew types them.

#include <cmath>
#include <string>

#include "io/textconv.h"
#include "model/sdata.h"

namespace benchdata {

constexpr int kStations = 10000;
constexpr int kRows = 49;

// count stations named first, first+1, ... at X = 10 * name.
inline StationList Stations(int first, int count) {
  StationList list;
  list.reserve(static_cast<std::size_t>(count));
  const std::string area = Gbk("北京西山");
  for (int i = first; i < first + count; ++i) {
    sdata s;
    s.Name = std::to_string(i);
    s.X = static_cast<float>(i) * 10.0f;
    s.Y = 12.5f;
    s.WorkArea = area;
    s.Profile = std::to_string(i / 100);
    s.Profile.insert(s.Profile.begin(), 'L');
    s.Operator = "Me";
    s.Instrument = "DZD-6A";
    s.SpacingCount = kRows;
    for (int r = 0; r < kRows; ++r) {
      const float ab2 = std::round(1.5f * std::pow(1.2f, static_cast<float>(r)) * 100.0f) / 100.0f;
      s.Columns[colAB2].push_back(ab2);
      s.Columns[colRho].push_back(100.0f + static_cast<float>((i * 7 + r * 13) % 997) * 0.37f);
      s.Columns[colZP].push_back(static_cast<float>(r) * 0.11f);
      s.Columns[colIP].push_back(1.25f + static_cast<float>(r % 7) * 0.3f);
      s.Columns[colTD].push_back(45.5f + static_cast<float>(r));
      s.Columns[colTH].push_back(2.1f);
      s.Columns[colR].push_back(0.5f + static_cast<float>(i % 3));
    }
    list.push_back(std::move(s));
  }
  return list;
}

}  // namespace benchdata
