#pragma once
// Opening a data file: its kind told by its header lines, whatever its extension, and its
// stations read as the window holds them for that kind's data type.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "io/messages.h"
#include "io/textfile.h"
#include "io/vesfile.h"
#include "model/sdata.h"

enum class FileKind {
  Unknown,          // not a data file of this program
  Ves,              // .ves sounding file
  SoundingDat,      // sounding .dat file (water finding)
  FourPoleProfile,  // four-pole profile .dat file, one line
  CombinedProfile,  // combined-profiling .dat file, one line's branches
};

// The kind named by the first two lines (first 255 bytes of each): line 1 must hold "QL";
// line 2 holding "测深" and "VES" is a .ves file, "测深" alone a sounding .dat file,
// "联合剖面" a combined-profiling file, "四极剖面" a four-pole file. Files without these
// marks (empty ones, other programs' files) are Unknown.
FileKind DetectFileKind(std::string_view bytes);
DataType DataTypeOf(FileKind kind);

// The files opened at most: larger ones are refused before they are read.
inline constexpr std::uint64_t kMaxOpenedFileSize = std::uint64_t{1} << 30;

// How a file being opened is read: in pieces of pieceBytes; stop is asked before each piece,
// and when it says so the reading ends there and nothing is opened (the user cancelled).
struct OpenControl {
  std::function<bool()> stop;
  std::size_t pieceBytes = kReadPieceBytes;
};

// What opening gave. The window opens nothing unless status is Complete, or Partial and the
// user accepts message's question.
struct OpenResult {
  FileKind kind = FileKind::Unknown;
  DataType type = dtSounding;  // the data type the stations are held for
  // Partial: those read before the fault (a sounding .dat file: all but the records passed
  // over); empty when Refused or CannotOpen.
  StationList stations;
  ReadStatus status = ReadStatus::Complete;
  std::size_t faultLine = 0;  // 1-based line of the fault; 0 when none or not at a line
  std::string faultFile;      // with several files, the path of the one at fault
  // UTF-8, shown as it is: "打开文件失败。" or "文件只能读入一部分。", then what was wrong and
  // where ("第 N 行：..."); when Partial it ends with the question whether to open the
  // stations read ("是否打开已经读到的 3 个测点？"). Empty when Complete.
  std::string message;
  // The messages of the sounding readers' repairs (a value not above 0 set to 50), each
  // text once, in the order first told.
  std::vector<Notice> notices;
  // Stopped by OpenControl::stop: no stations, no message (status Refused).
  bool cancelled = false;
};

// Opens a file's bytes. The kind is detected first; a file of unknown kind, a file holding a
// zero byte, and a file its reader refuses are Refused. The .ves and sounding .dat readers
// are those of the append path, with their checks and repairs; a .ves file read only in part,
// a sounding .dat record its reader cannot read, or records it passes over (out of the
// format's ranges) make the opening Partial. A four-pole line is named lineName.
// Never throws (memory exhaustion included: Refused), never loops.
OpenResult ReadSurveyFile(std::string_view bytes, std::string_view lineName = {});

// Opens the bytes source gives as above, reading them in pieces as the readers need them: only
// a piece and the line being read are held besides the stations read. Each piece is checked as
// it arrives: a zero byte ends the reading (the file is refused as binary at once), so do more
// than kMaxOpenedFileSize bytes (Refused), a read error (CannotOpen) and control's stop. After
// a reader has stopped before the end, the rest is read only to look for a zero byte, which
// makes any file binary, and is not held. sizeHint, the file's size when known, sizes the room
// taken for the stations.
OpenResult ReadSurveyFrom(ByteSource& source, std::string_view lineName, const OpenControl& control = {},
                          std::uint64_t sizeHint = 0);

// Reads the file at path and opens its bytes as above; a four-pole line is named after the
// file (its name without folder and extension). CannotOpen when the file cannot be opened or
// read (missing, no read permission); Refused, before reading, when it is not a regular file
// or larger than kMaxOpenedFileSize.
OpenResult ReadSurveyFileAt(const std::string& path, const OpenControl& control = {});

// Opens several files as one survey: one file opens as ReadSurveyFileAt; several must all be
// four-pole files, one line each, in the order given (X = k * kProfileXStep for line k).
// The first file that cannot be opened, is refused, read in part or is of another kind ends
// the reading: the lines before it (and a line read in part) are offered, faultFile names it.
OpenResult ReadSurveyFilesAt(const std::vector<std::string>& paths, const OpenControl& control = {});
