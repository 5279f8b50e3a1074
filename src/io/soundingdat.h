#pragma once
// The sounding .dat file of the water-finding data type: writing and reading back for append.

#include <cstdint>
#include <string>
#include <string_view>

#include "io/messages.h"
#include "model/sdata.h"

// The station number N of a data line: X truncated toward zero with an allowance of 0.01
// away from zero, so -5 gives -5 and 99.99 gives 99.
long long StationNumber(float x);

// Folds stations of equal name (byte for byte) into the first of them, with equal spacings
// (closer than 0.01) of a folded station averaged into one row.
void FoldStationsByName(StationList& w);

// The whole file for the list W (window stations, then any read from the file): folded by
// name, put in X order and AB/2 order, then written. W is taken by value; the caller's list
// is untouched.
std::string BuildSoundingDatFile(StationList w);

struct DatReadResult {
  StationList stations;  // grouped by N in order of first occurrence; rows in file order
  ReadStatus status = ReadStatus::Complete;
};

// Reads the records of a sounding .dat file's bytes. Never throws, never loops.
DatReadResult ReadSoundingDat(std::string_view bytes, const NoticeFn& notify);
// Opens the file for reading only and reads it as above.
DatReadResult ReadSoundingDatAt(const std::string& path, const NoticeFn& notify);
