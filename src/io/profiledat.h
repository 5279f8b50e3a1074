#pragma once
// The profile .dat files: one file holding both branches of a combined-profiling line, and
// one file per four-pole line.

#include <string>
#include <string_view>

#include "model/sdata.h"

// The combined-profiling file: header and every station's points in list order (no sorting),
// branch 1 for a station named exactly "A", else 2. A point is written when all of
// Columns[0] to Columns[3] hold it.
std::string BuildCombinedProfileFile(const StationList& stations);
// The file of one four-pole line.
std::string BuildFourPoleProfileFile(const sdata& line);

// Whether the chosen file name's base (without folder and extension) is as a whole an
// integer, the line number that a combined-profiling file must be named with.
bool IsCombinedProfileName(std::string_view path);
// The path of a four-pole line's file: folder (a '/' is added when it lacks one) + the line's
// name with its extension replaced by ".dat" ("1.5" -> "1.dat"). A '/' inside the name is
// written as '_', so that the file stays in the chosen folder.
std::string FourPoleFilePath(std::string_view folder, std::string_view lineName);
