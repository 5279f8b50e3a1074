#pragma once
// The sounding .dat file of the water-finding data type: writing and reading back for append.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "io/messages.h"
#include "io/textfile.h"
#include "io/textinput.h"
#include "model/sdata.h"

// The station number N of a data line: X truncated toward zero with an allowance of 0.01
// away from zero, so -5 gives -5 and 99.99 gives 99. Computed in double; NaN gives 0. Every
// value within the 64-bit range is kept whole (it is an integer from 2^24 on, as the listing
// shows it); only values beyond that range are clamped to it.
long long StationNumber(float x);

// Folds stations of equal name (byte for byte) into the first of them, which keeps its name,
// coordinates and texts: the rows of each later one are appended in turn, and after each
// fold equal spacings (closer than 0.01) of that station are averaged into one row
// (Columns[3] to [8]). Stations that fold with none keep their rows as they are.
void FoldStationsByName(StationList& w);

// The whole file for the list W (window stations, then any read from the file): folded by
// name, put in X order and AB/2 order, then written. W is taken by value; the caller's list
// is untouched.
std::string BuildSoundingDatFile(StationList w);

// Why a reading of records stopped early: the data ended inside a record, or a field that
// should be an integer or a number is not.
enum class DatFault { None, EndsInRecord, NotInteger, NotNumber };

struct DatReadResult {
  StationList stations;  // grouped by N in order of first occurrence; rows in file order
  ReadStatus status = ReadStatus::Complete;
  // Whole records passed over by the format's rule (|N| > 10000, RO <= 0 or AB/2 < 0.1);
  // they do not make the reading Partial, but a rewrite does not keep them.
  std::size_t skippedRecords = 0;
  std::size_t firstSkippedLine = 0;  // the 1-based line of the first of them
  // Where a Partial reading stopped: why, and the line (that of the field, or of the last
  // field read when the data ended).
  DatFault fault = DatFault::None;
  std::size_t faultLine = 0;
};

// Reads the records of a sounding .dat file's bytes. Never throws, never loops. When memory
// runs out the result has no stations and status OutOfMemory.
// Refused: no "QL" in line 1 or no "测深" in line 2 (first 255 bytes of each examined; the
// rest of a longer line is passed over). After them, empty lines, then one non-empty line
// (the column header, not examined), then records of twelve white-space-separated numbers.
// Partial: a token that is not a number where one is expected (reading stops there and the
// stations read so far are kept), or data that ends inside a record (the record is dropped).
// Stations get Name = decimal N, X = N, Y 0, empty texts and SpacingCount = their rows.
DatReadResult ReadSoundingDat(std::string_view bytes, const NoticeFn& notify);
// Reads the records as above from in, which stands after lines 1 and 2, into result.
void ReadSoundingDatRecords(TextInput& in, DatReadResult& result);
// Forces the extension ".dat" on path, opens the file for reading only and reads it as above;
// the statuses of ReadWholeFile (CannotOpen, NotAFile, TooLarge above limit, OutOfMemory) when
// it cannot be read whole.
DatReadResult ReadSoundingDatAt(const std::string& path, const NoticeFn& notify,
                                std::uint64_t limit = kMaxReadBytes);
