#include "model/sdata.h"

namespace {
const GridLayout kSounding{3, {-1, colAB2, colRho}, {1, 2}, {colZP, colTD, colTH, colR, colIP}};
// The commit reads a water-finding row's cells in this order: 1, 2, 3, 5, 4, 6, 7.
const GridLayout kWaterFinding{
    8, {-1, colAB2, colRho, colZP, colTH, colTD, colR, colIP}, {1, 2, 3, 5, 4, 6, 7}, {}};
const GridLayout kProfile{
    5, {-1, colPointNo, colAB2, colMN2, colRho}, {1, 2, 3, 4}, {colZP, colTD, colTH, colR, colIP}};
}  // namespace

const GridLayout& LayoutFor(DataType type) {
  switch (type) {
    case dtSounding: return kSounding;
    case dtWaterFinding: return kWaterFinding;
    default: return kProfile;
  }
}

int ValueGridColumn(DataType type) { return IsSoundingType(type) ? 2 : 4; }

bool IsSoundingType(DataType type) { return type == dtSounding || type == dtWaterFinding; }
