#pragma once
// The .ves sounding file: writing, reading back for append, and merging by station name.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "io/messages.h"
#include "io/textfile.h"
#include "io/textinput.h"
#include "model/sdata.h"

// The most rows (and model layers) of a station that every program reading .ves files takes.
inline constexpr std::int32_t kMaxVesRows = 200;

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

// Appends one station block (CR LF line ends). Sets station.SpacingCount to the number of rows
// written first: AB2's size (a Rho shorter than AB2 limits the rows, so that no count is
// written that its lines do not bear out; the same holds for the model layers).
// A name or text that is empty after trimming blanks and control characters would be a line
// that the reader skips; it is written as the TStation default ("unknown", "Unknown",
// "unknown", "Me", "Karv"). Line breaks inside a text are written as blanks.
void WriteVesStation(std::string& out, TStation& station);

// The whole .ves file for these stations: a copy is put in X order and each station's rows in
// AB/2 order; each station's Z and layered model are written, a station without a model gets
// the one-layer model 100/100.
std::string BuildVesFile(StationList stations);

// The layered model of a file station, origin File. The one-layer model 100/100, which this
// program writes for a station without a model, is read as no model: so every file written
// before stations had models opens with none, and writing such a station again gives the same
// lines. A block without layers has been given the one-layer model of its first resistivity
// by the reader, and keeps it.
StationModel StationModelOf(const TStation& station);

struct VesReadResult {
  std::vector<TStation> stations;  // the stations accepted, in file order
  ReadStatus status = ReadStatus::Complete;
};

// Reads one station block from the input into station, overwriting what the block provides:
// blank lines before the name and before each text are skipped; the coordinate line holds
// two or three numbers (Z 0 when two); then the spacing count, its rows, the layer count
// and its layers as white-space-separated tokens. Rows are read however many the count says;
// a layer count above 200 is told to notify (kBadFormat, without owner). Returns false when the
// block is incomplete: the data ends, a token or coordinate is not a number, or a layer count is
// above 200. Values are not checked
// here; counts below 0 read as 0, and the counts equal the sizes of their sequences.
// Lines of a block are used whole, however long: a long name written by WriteVesStation reads
// back as it was, so that merging by name still finds it.
bool ReadVesStation(TextInput& in, TStation& station, const NoticeFn& notify);

// Reads the station count of a .ves file (its line 3) after lines 1 and 2; false when it is not
// a whole integer of 0 or more.
bool ReadVesCount(TextInput& in, std::int32_t& count);

// Reads count station blocks after the count, each with the repairs of the format (a value not
// above 0 set to 50 and told to notify, the default model for a station without one), and gives
// each to take, which may move from it. Complete, or Partial where a block ended early (the
// broken block is not given; in stands where its reading stopped) or where bytes that are not
// white space follow the last block (in stands at the first of them).
ReadStatus ReadVesStations(TextInput& in, std::int32_t count, const NoticeFn& notify,
                           const std::function<void(TStation&)>& take);

// Reads the stations of a .ves file's bytes, with the checks and repairs of the format;
// every message goes through notify. Never throws, never loops. When memory runs out the
// result has no stations and status OutOfMemory.
// Refused: no "QL" in line 1, no "VES" and "测深" in line 2 (only the first 255 bytes of either
// line are examined), or a station count that is not a whole integer of 0 or more.
// Partial: a block ended early (the stations before it are kept, the broken one is dropped),
// or non-blank bytes follow the last counted block, stations a rewrite would lose.
VesReadResult ReadVesFile(std::string_view bytes, const NoticeFn& notify);
// Opens the file for reading only and reads it as above; the statuses of ReadWholeFile
// (CannotOpen, NotAFile, TooLarge above limit, OutOfMemory) when it cannot be read whole.
VesReadResult ReadVesFileAt(const std::string& path, const NoticeFn& notify,
                            std::uint64_t limit = kMaxReadBytes);

// A .ves station as the window holds a sounding station: name, coordinates (Z included), texts,
// rows (as many as both AB/2 and resistivity have), 0.0 per row in Columns[4..8], and its
// layered model (StationModelOf). Opening a file and the merge of the append path make their
// stations so.
sdata SoundingStationOf(const TStation& station);

// Merges file stations into a station list by name: rows of a station with an equal name are
// added and spacings closer than 0.01 folded (mean resistivity); other stations are appended
// with their Z and model (StationModelOf). A station of the list keeps its model and a Z other
// than 0; one without takes the file station's. Every added row gets 0.0 in Columns[4..8], so
// the row sort keeps all columns in step.
void MergeVesStations(StationList& stations, const std::vector<TStation>& list);
