#pragma once
// Stations for window tests, built the way the commit builds them from a filled grid, so that a
// test can start with a list in memory and drive only the command it is about.

#include <string>
#include <vector>

#include "io/textconv.h"
#include "model/sdata.h"

// rows[i][g - 1] is the value typed in grid column g of row i + 1 for the data type's grid:
// sounding (AB/2, rho); water finding (AB/2, rho, ZP, TH, TD, R, IP, as the grid's columns 1 to 7);
// profiles (point no, AB/2, MN/2, rho). Profiles hold 0.0 per row in Columns[4..8]. The grid-to-column table is written out here on purpose,
// independent of the program's own table.
inline sdata BuildStation(DataType type, const std::string& name, float x, const std::vector<std::vector<float>>& rows,
                          float y = 0.0f) {
  sdata s;
  s.Name = name;
  s.X = x;
  s.Y = y;
  s.WorkArea = "WorkArea";
  s.Profile = "Profile";
  s.Operator = "Operator";
  s.Instrument = "DZD";
  s.SpacingCount = static_cast<std::int32_t>(rows.size());
  std::vector<int> target;  // Columns[k] of grid columns 1, 2, ...
  std::vector<int> zeros;
  switch (type) {
    case dtSounding: target = {1, 3}; break;  // a .ves station holds no other column
    case dtWaterFinding: target = {1, 3, 4, 7, 6, 8, 5}; break;
    default: target = {0, 1, 2, 3}; zeros = {4, 5, 6, 7, 8}; break;
  }
  for (const auto& row : rows) {
    for (std::size_t g = 0; g < target.size(); ++g) s.Columns[static_cast<std::size_t>(target[g])].push_back(row.at(g));
    for (int k : zeros) s.Columns[static_cast<std::size_t>(k)].push_back(0.0f);
  }
  return s;
}

// A sounding station with spacings 1.5, 2.5, 4 and the given resistivities.
inline sdata SoundingStation(const std::string& name, float x, float rho1 = 10, float rho2 = 20, float rho3 = 30) {
  return BuildStation(dtSounding, name, x, {{1.5f, rho1}, {2.5f, rho2}, {4.0f, rho3}});
}
