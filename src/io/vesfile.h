#pragma once
// The .ves sounding file: writing, reading back for append, and merging by station name.

#include <string>
#include <string_view>
#include <vector>

#include "io/messages.h"
#include "model/sdata.h"

// One sounding station as held in a .ves file. Texts are GBK.
struct TStation {
  std::string Name = "unknown";
  std::int32_t LayerCount = 0;
  std::vector<float> Thickness;
  std::vector<float> LayerRho;
  std::int32_t SpacingCount = 0;
  std::vector<float> AB2;
  std::vector<float> Rho;
  float X = 0.0f;
  float Y = 0.0f;
  float Z = 0.0f;
  std::string WorkArea = "Unknown";
  std::string Profile = "unknown";
  std::string Operator = "Me";
  std::string Instrument = "Karv";

  bool operator==(const TStation&) const = default;
};

// Appends one station block (CR LF line ends). Sets station.SpacingCount to AB2's size first.
void WriteVesStation(std::string& out, TStation& station);

// The whole .ves file for these stations: a copy is put in X order and each station's rows in
// AB/2 order; every station gets the one-layer model 100/100 and Z 0.
std::string BuildVesFile(StationList stations);

struct VesReadResult {
  std::vector<TStation> stations;  // the stations accepted, in file order
  ReadStatus status = ReadStatus::Complete;
};

// Reads the stations of a .ves file's bytes, with the checks and repairs of the format;
// every message goes through notify. Never throws, never loops.
VesReadResult ReadVesFile(std::string_view bytes, const NoticeFn& notify);
// Opens the file for reading only and reads it as above (CannotOpen when it cannot be opened).
VesReadResult ReadVesFileAt(const std::string& path, const NoticeFn& notify);

// Merges file stations into a station list by name: rows of a station with an equal name are
// added and spacings closer than 0.01 folded (mean resistivity); other stations are appended.
// Every added row gets 0.0 in Columns[4..8], so the row sort keeps all columns in step.
void MergeVesStations(StationList& stations, const std::vector<TStation>& list);
