#pragma once
// One committed unit of observations and the data types of the window.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Data type: the item index of the window's DataType radio group.
enum DataType : int {
  dtSounding = 0,         // resistivity sounding, saved as .ves
  dtWaterFinding = 1,     // sounding with induced-polarisation parameters, saved as sounding .dat
  dtFourPoleProfile = 2,  // symmetric four-pole profiling, one .dat file per line
  dtCombinedProfile = 3,  // combined profiling, branches A and B in one .dat file
};

// Meaning of each of the nine float columns of a station, the same for every data type.
enum ColumnIndex : int {
  colPointNo = 0,  // point number along the line (profiles)
  colAB2 = 1,      // AB/2, half the current-electrode spacing
  colMN2 = 2,      // MN/2, half the potential-electrode spacing (profiles)
  colRho = 3,      // apparent resistivity
  colZP = 4,       // combined induced-polarisation parameter
  colIP = 5,       // apparent chargeability
  colTD = 6,       // decay degree
  colTH = 7,       // half-decay time
  colR = 8,        // deviation degree
};
inline constexpr int kColumnCount = 9;

// One sounding station, one four-pole line, or one branch of a combined-profiling line.
// Texts are GBK bytes. Row r of the unit is element r of each filled column.
// A plain value: copies are deep, moves are cheap.
struct sdata {
  std::string Name;
  float X = 0.0f;
  float Y = 0.0f;
  std::string WorkArea;
  std::string Profile;
  std::string Operator;
  std::string Instrument;
  std::int32_t SpacingCount = 0;
  std::array<std::vector<float>, kColumnCount> Columns;

  bool operator==(const sdata&) const = default;
};

using StationList = std::vector<sdata>;

// How the input grid's columns map onto a station's Columns[k] for one data type.
// The commit, ShowStation and the update all use this one table.
struct GridLayout {
  int gridColumns;                 // including column 0, the row numbers
  std::vector<int> columnOf;       // columnOf[g] = k for grid column g >= 1; index 0 unused (-1)
  std::vector<int> readOrder;      // grid columns in the order the commit reads a row's cells
  std::vector<int> zeroFilled;     // Columns[k] that get 0.0 per row
};

const GridLayout& LayoutFor(DataType type);

// The value column that the commit clears: 2 for the sounding types, 4 for the profiles.
int ValueGridColumn(DataType type);

bool IsSoundingType(DataType type);
