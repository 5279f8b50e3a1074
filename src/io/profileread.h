#pragma once
// Reading the profile .dat files back: the combined-profiling file of one line (branches A and
// B) and the file of one four-pole line, as BuildCombinedProfileFile and
// BuildFourPoleProfileFile write them.

#include <cstddef>
#include <string>
#include <string_view>

#include "io/messages.h"
#include "io/textinput.h"
#include "model/sdata.h"
#include "io/templates.h"

// The most points one profile unit (a four-pole line or a branch) may hold: the window's grid
// cannot be given more.
inline constexpr std::size_t kMaxProfilePoints = 100000;
// The files hold no coordinates: unit k of a file (or of the files opened together) gets
// X = k * kProfileXStep, the step the window proposes between stations, and Y 0, so the
// units keep their file order in the x-ordered list and differ in coordinates.
inline constexpr float kProfileXStep = 50.0f;

// What a reader says when the memory ran out while it read a file (UTF-8).
inline constexpr const char* kOutOfMemoryMessage = QT_TRANSLATE_NOOP("core", "内存不足，文件没有读入。");

// "第 N 行：what" (UTF-8), the start of every message about a fault at a line of a file.
std::string LineFault(std::size_t line, std::string_view what);

// The marks that line 2 of the two profile files holds (GBK), by which they are told apart
// from each other and from the sounding files.
const std::string& CombinedProfileMark();  // "联合剖面"
const std::string& FourPoleProfileMark();  // "四极剖面"

// What a reader made of a file. Never a partly read unit without saying so: on a fault,
// stations holds what was read before the faulty line (the unit being read keeps the points
// before it), status is Partial, or Refused when nothing was read before it.
struct ProfileReadResult {
  StationList stations;
  ReadStatus status = ReadStatus::Complete;  // Complete, Refused or Partial
  std::size_t faultLine = 0;                 // 1-based line of the fault; 0 when Complete
  std::string message;                       // UTF-8, what was wrong there; empty when Complete
};

// Layout of both files: line 1 holds "QL", line 2 the file's mark (first 255 bytes of each
// examined), then, after any blank lines, the column header, which must hold "AB/2". Each
// further line that is not blank is one point of twelve numbers separated by white space:
// N, AB/2, MN/2, RO, six fields -9999, X2, X3 -9999. Lines may end in CR LF or LF.
// A unit gets Columns[0..3] = N, AB/2, MN/2, RO per point and 0 per point in Columns[4..8],
// SpacingCount = its points, empty texts. Values are kept as written (no checks, no repairs);
// a field that is not a number, a no-value field that is not -9999, or a unit of more than
// kMaxProfilePoints points is a fault. Never throws (memory exhaustion included: Refused),
// never loops.

// The combined-profiling file: X2 is the branch, 1 or 2. Each run of consecutive points of
// one branch is one unit, named "A" for branch 1 and "B" for branch 2; written again, the
// units give the same lines in the same order.
ProfileReadResult ReadCombinedProfile(std::string_view bytes);

// The four-pole file: X2 is -9999; the file is one line, named lineName (the file's name
// without folder and extension, as FourPoleFilePath made it). A file without points gives
// one line without points; its X is 0 (lines opened together get theirs from their caller).
ProfileReadResult ReadFourPoleProfile(std::string_view bytes, std::string_view lineName);

// The same for a file whose lines 1 and 2 have been read from in (and hold their marks).
ProfileReadResult ReadCombinedProfileAfterMarks(TextInput& in);
ProfileReadResult ReadFourPoleProfileAfterMarks(TextInput& in, std::string_view lineName);
