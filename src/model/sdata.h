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

// Where a station's layered model came from.
enum class ModelOrigin : std::uint8_t {
  File = 0,    // read from a .ves file
  Fitted = 1,  // fitted to the station's readings
  Edited = 2,  // typed or changed by hand
};

// The layered earth model of a sounding station as the .ves file holds it: layer k, from the
// surface down, is Thickness[k] m thick and has resistivity Resistivity[k] ohm-m; the last
// layer is the half-space below, whose thickness the file holds too but which means nothing.
// Floats like the file's numbers and the readings: what a file held is written back digit for
// digit, and six significant digits in the file are far inside a float's precision.
// No layers: the station has no model. Both sequences have the same length.
struct StationModel {
  std::vector<float> Thickness;
  std::vector<float> Resistivity;
  ModelOrigin Origin = ModelOrigin::File;

  bool empty() const { return Resistivity.empty(); }
  bool operator==(const StationModel&) const = default;
};

// One sounding station, one four-pole line, or one branch of a combined-profiling line.
// Texts are GBK bytes. Row r of the unit is element r of each filled column.
// A plain value: copies are deep, moves are cheap.
struct sdata {
  std::string Name;
  float X = 0.0f;
  float Y = 0.0f;
  float Z = 0.0f;  // the third coordinate a .ves file gives a station; nothing types it
  std::string WorkArea;
  std::string Profile;
  std::string Operator;
  std::string Instrument;
  std::int32_t SpacingCount = 0;
  std::array<std::vector<float>, kColumnCount> Columns;
  StationModel Model;  // a sounding station's layered model; empty when it has none

  bool operator==(const sdata&) const = default;
};

using StationList = std::vector<sdata>;

// The two sounding data types (one station per unit); the others are profiling lines.
inline bool IsSoundingType(DataType type) { return type == dtSounding || type == dtWaterFinding; }
