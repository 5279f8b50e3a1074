#pragma once
// The profile .dat files: one file holding both branches of a combined-profiling line, and
// one file per four-pole line.

#include <string>
#include <string_view>

#include "model/sdata.h"

// The combined-profiling file: header and every station's points, branch 1 for "A", else 2.
std::string BuildCombinedProfileFile(const StationList& stations);
// The file of one four-pole line.
std::string BuildFourPoleProfileFile(const sdata& line);

// Whether the chosen file name's base (without folder and extension) is as a whole an
// integer, the line number that a combined-profiling file must be named with.
bool IsCombinedProfileName(std::string_view path);
// The path of a four-pole line's file: folder + the line's name with its extension replaced by ".dat".
std::string FourPoleFilePath(std::string_view folder, std::string_view lineName);
