#include "session/datatypespec.h"

namespace {
// Tooltips of the headings: what a column holds and its unit.
const char* const kRowTip = "行号";
const char* const kSpacingTip = "AB/2：供电电极距之半，单位 m";
const char* const kRhoTip = "视电阻率，单位 Ω·m";
const char* const kPointTip = "点号：测点在测线上的位置，单位 m";
const char* const kMn2Tip = "MN/2：测量电极距之半，单位 m";

const DataTypeSpec kSpecs[] = {
    {dtSounding,
     {"序号", "极距", "视电阻率"},
     {kRowTip, kSpacingTip, kRhoTip},
     {3, {-1, colAB2, colRho}, {1, 2}, {colZP, colTD, colTH, colR, colIP}},
     {2},
     NameSource::StationEdit,
     RowTemplate::DefaultSpacings,
     true,
     false,
     true,
     "测点信息",
     "极距个数",
     "没有测点数据",
     SaveFormat::Ves,
     ListingKind::Ves},
    // The commit reads a water-finding row's cells in the order 1, 2, 3, 5, 4, 6, 7.
    {dtWaterFinding,
     {"序号", "极距", "视电阻率", "综合激电参数", "半衰时", "衰减度", "偏离度", "视极化率"},
     {kRowTip, kSpacingTip, kRhoTip, "综合激电参数，单位 %·ms", "半衰时，单位 ms", "衰减度，单位 %", "偏离度，单位 %",
      "视极化率，单位 %"},
     {8, {-1, colAB2, colRho, colZP, colTH, colTD, colR, colIP}, {1, 2, 3, 5, 4, 6, 7}, {}},
     {2, 3, 4, 5, 6, 7},
     NameSource::XEdit,
     RowTemplate::DefaultSpacings,
     true,
     false,
     true,
     "测点信息",
     "极距个数",
     "没有测点数据",
     SaveFormat::SoundingDat,
     ListingKind::Dat},
    {dtFourPoleProfile,
     {"序号", "点号", "AB/2", "MN/2", "视电阻率"},
     {kRowTip, kPointTip, kSpacingTip, kMn2Tip, kRhoTip},
     {5, {-1, colPointNo, colAB2, colMN2, colRho}, {1, 2, 3, 4}, {colZP, colTD, colTH, colR, colIP}},
     {4},
     NameSource::LineEdit,
     RowTemplate::ProfilePoints,
     false,
     false,
     false,
     "测线信息",
     "测点个数",
     "没有测线",
     SaveFormat::FourPoleLines,
     ListingKind::None},
    {dtCombinedProfile,
     {"序号", "点号", "AB/2", "MN/2", "视电阻率"},
     {kRowTip, kPointTip, kSpacingTip, kMn2Tip, kRhoTip},
     {5, {-1, colPointNo, colAB2, colMN2, colRho}, {1, 2, 3, 4}, {colZP, colTD, colTH, colR, colIP}},
     {4},
     NameSource::Branch,
     RowTemplate::ProfilePoints,
     false,
     true,
     false,
     "测线信息",
     "测点个数",
     "没有测线",
     SaveFormat::CombinedLine,
     ListingKind::None},
};
}  // namespace

const DataTypeSpec& SpecFor(DataType type) { return kSpecs[DataTypeOfItem(type)]; }

DataType DataTypeOfItem(int index) {
  return index >= dtSounding && index <= dtCombinedProfile ? static_cast<DataType>(index) : dtCombinedProfile;
}

const std::vector<std::string>& DefaultSpacings() {
  static const std::vector<std::string> spacings = {"1.5", "2.5", "4.0", "6",   "9",   "15", "25",
                                                    "40",  "60",  "90",  "150", "225", "340"};
  return spacings;
}
