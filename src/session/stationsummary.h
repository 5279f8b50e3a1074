#pragma once
// One line of the survey's station list: what a user recognises a station or line by, and for
// a sounding with a layered model how well the model fits its readings.

#include <optional>
#include <string>

#include "model/sdata.h"

struct StationSummary {
  std::string name;  // GBK, as the station holds it
  float x = 0.0f;
  float y = 0.0f;
  int readings = 0;  // rows of the station (points of a line)
  // The RMS residual in percent of a sounding's readings against its model; nothing for a
  // station without a usable model, and for the profile types.
  std::optional<double> misfitPercent;
};

StationSummary SummaryOf(const sdata& station, DataType type);
