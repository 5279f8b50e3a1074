#include "session/datatypespec.h"
#include "io/templates.h"

namespace {
// Tooltips of the headings: what a column holds and its unit.
const char* const kRowTip = QT_TRANSLATE_NOOP("core", "行号");
const char* const kSpacingTip = QT_TRANSLATE_NOOP("core", "AB/2：供电电极距之半，单位 m");
const char* const kRhoTip = QT_TRANSLATE_NOOP("core", "视电阻率，单位 Ω·m");
const char* const kPointTip = QT_TRANSLATE_NOOP("core", "点号：测点在测线上的位置，单位 m");
const char* const kMn2Tip = QT_TRANSLATE_NOOP("core", "MN/2：测量电极距之半，单位 m");

// The two profile types share their grid, labels and checks; they differ in how a unit is
// named, the branch choice and the file they are saved in.
DataTypeSpec ProfileSpec(DataType type, NameSource name, bool hasBranches, SaveFormat save) {
  return {type,
          {QT_TRANSLATE_NOOP("core", "序号"), QT_TRANSLATE_NOOP("core", "点号"), "AB/2", "MN/2", QT_TRANSLATE_NOOP("core", "视电阻率")},
          {kRowTip, kPointTip, kSpacingTip, kMn2Tip, kRhoTip},
          {5, {-1, colPointNo, colAB2, colMN2, colRho}, {1, 2, 3, 4}, {colZP, colTD, colTH, colR, colIP}},
          {4},
          name,
          RowTemplate::ProfilePoints,
          false,
          hasBranches,
          false,
          QT_TRANSLATE_NOOP("core", "测线信息"),
          QT_TRANSLATE_NOOP("core", "测点个数"),
          QT_TRANSLATE_NOOP("core", "没有测线"),
          save,
          ListingKind::None};
}

// Made on first use, so that no other start-up code can find it unmade.
const DataTypeSpec* Specs() {
  static const DataTypeSpec specs[] = {
      {dtSounding,
       {QT_TRANSLATE_NOOP("core", "序号"), QT_TRANSLATE_NOOP("core", "极距"), QT_TRANSLATE_NOOP("core", "视电阻率")},
       {kRowTip, kSpacingTip, kRhoTip},
       // A .ves station has only spacings and resistivities: no other column is held, which
       // halves the memory of a big opened file.
       {3, {-1, colAB2, colRho}, {1, 2}, {}},
       {2},
       NameSource::StationEdit,
       RowTemplate::DefaultSpacings,
       true,
       false,
       true,
       QT_TRANSLATE_NOOP("core", "测点信息"),
       QT_TRANSLATE_NOOP("core", "极距个数"),
       QT_TRANSLATE_NOOP("core", "没有测点数据"),
       SaveFormat::Ves,
       ListingKind::Ves},
      // The commit reads a water-finding row's cells in the order 1, 2, 3, 5, 4, 6, 7.
      {dtWaterFinding,
       {QT_TRANSLATE_NOOP("core", "序号"), QT_TRANSLATE_NOOP("core", "极距"), QT_TRANSLATE_NOOP("core", "视电阻率"), QT_TRANSLATE_NOOP("core", "综合激电参数"), QT_TRANSLATE_NOOP("core", "半衰时"), QT_TRANSLATE_NOOP("core", "衰减度"), QT_TRANSLATE_NOOP("core", "偏离度"), QT_TRANSLATE_NOOP("core", "视极化率")},
       {kRowTip, kSpacingTip, kRhoTip, QT_TRANSLATE_NOOP("core", "综合激电参数，单位 %·ms"), QT_TRANSLATE_NOOP("core", "半衰时，单位 ms"), QT_TRANSLATE_NOOP("core", "衰减度，单位 %"), QT_TRANSLATE_NOOP("core", "偏离度，单位 %"),
        QT_TRANSLATE_NOOP("core", "视极化率，单位 %")},
       {8, {-1, colAB2, colRho, colZP, colTH, colTD, colR, colIP}, {1, 2, 3, 5, 4, 6, 7}, {}},
       {2, 3, 4, 5, 6, 7},
       NameSource::XEdit,
       RowTemplate::DefaultSpacings,
       true,
       false,
       true,
       QT_TRANSLATE_NOOP("core", "测点信息"),
       QT_TRANSLATE_NOOP("core", "极距个数"),
       QT_TRANSLATE_NOOP("core", "没有测点数据"),
       SaveFormat::SoundingDat,
       ListingKind::Dat},
      ProfileSpec(dtFourPoleProfile, NameSource::LineEdit, false, SaveFormat::FourPoleLines),
      ProfileSpec(dtCombinedProfile, NameSource::Branch, true, SaveFormat::CombinedLine),
  };
  return specs;
}
}  // namespace

int GridColumnOf(const GridLayout& layout, int k) {
  for (std::size_t g = 1; g < layout.columnOf.size(); ++g)
    if (layout.columnOf[g] == k) return static_cast<int>(g);
  return -1;
}

const char* UnitOfColumn(int k) {
  // The units the headings' tips name.
  switch (k) {
    case colPointNo:
    case colAB2:
    case colMN2:
      return "m";
    case colRho:
      return "Ω·m";
    case colZP:
      return "%·ms";
    case colTH:
      return "ms";
    case colIP:
    case colTD:
    case colR:
      return "%";
    default:
      return "";
  }
}

const DataTypeSpec& SpecFor(DataType type) { return Specs()[DataTypeOfItem(type)]; }

DataType DataTypeOfItem(int index) {
  return index >= dtSounding && index <= dtCombinedProfile ? static_cast<DataType>(index) : dtCombinedProfile;
}

const std::vector<std::string>& DefaultSpacings() {
  static const std::vector<std::string> spacings = {"1.5", "2.5", "4.0", "6",   "9",   "15", "25",
                                                    "40",  "60",  "90",  "150", "225", "340"};
  return spacings;
}
