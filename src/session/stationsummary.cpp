#include "session/stationsummary.h"

#include <cmath>

#include "interp/stationmodel.h"

StationSummary SummaryOf(const sdata& station, DataType type) {
  StationSummary s;
  s.name = station.Name;
  s.x = station.X;
  s.y = station.Y;
  s.readings = static_cast<int>(station.Columns[colAB2].size());
  if (IsSoundingType(type) && IsUsableModel(station.Model)) {
    const double rms = RmsResidualPercent(station.Columns[colRho], ModelApparentResistivity(station));
    if (std::isfinite(rms)) s.misfitPercent = rms;
  }
  return s;
}
