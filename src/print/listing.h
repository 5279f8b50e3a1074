#pragma once
// The printed listings of the two sounding data types, as lists of GBK lines.

#include <string>
#include <vector>

#include "model/sdata.h"

// Station by station: spacing and apparent resistivity.
void BuildVesListing(const StationList& stations, std::vector<std::string>& lines);
// One row per spacing with all induced-polarisation parameters.
void BuildDatListing(const StationList& stations, std::vector<std::string>& lines);
