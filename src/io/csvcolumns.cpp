#include "io/csvcolumns.h"

#include <charconv>
#include <initializer_list>
#include "io/templates.h"

namespace {

struct FieldNames {
  CsvField field;
  const char* header;
  const char* label;
  // Names in normalised form (see Normalise): lower-case ASCII, no blanks, '_', '-' or '.'.
  std::initializer_list<std::string_view> names;
};

const FieldNames kFields[] = {
    {CsvField::RowNumber, "序号 No", QT_TRANSLATE_NOOP("core", "序号"), {"序号", "行号", "no", "index", "#"}},
    {CsvField::Station, "测点编号 Station", QT_TRANSLATE_NOOP("core", "测点编号"), {"测点编号", "测点", "测点名", "测点号", "点名", "station", "stationname", "name", "site"}},
    {CsvField::Branch, "分支 Branch", QT_TRANSLATE_NOOP("core", "分支"), {"分支", "branch"}},
    {CsvField::X, "x坐标 X", QT_TRANSLATE_NOOP("core", "x坐标"), {"x", "x坐标", "点位x坐标"}},
    {CsvField::Y, "y坐标 Y", QT_TRANSLATE_NOOP("core", "y坐标"), {"y", "y坐标", "点位y坐标"}},
    {CsvField::WorkArea, "测区 WorkArea", QT_TRANSLATE_NOOP("core", "测区"), {"测区", "工区", "workarea", "area", "surveyarea"}},
    {CsvField::Profile, "剖面编号 Profile", QT_TRANSLATE_NOOP("core", "剖面编号"), {"剖面编号", "剖面", "剖面号", "测线", "测线号", "线号", "profile", "line"}},
    {CsvField::Operator, "操作员 Operator", QT_TRANSLATE_NOOP("core", "操作员"), {"操作员", "操作者", "观测员", "operator", "observer"}},
    {CsvField::Instrument, "仪器类型 Instrument", QT_TRANSLATE_NOOP("core", "仪器类型"), {"仪器类型", "仪器", "仪器型号", "instrument"}},
    {CsvField::PointNo, "点号 PointNo", QT_TRANSLATE_NOOP("core", "点号"), {"点号", "pointno", "point", "pointnumber"}},
    {CsvField::AB2, "极距 AB/2", QT_TRANSLATE_NOOP("core", "AB/2"), {"ab/2", "ab2", "极距", "供电极距", "spacing"}},
    {CsvField::MN2, "测量极距 MN/2", QT_TRANSLATE_NOOP("core", "MN/2"), {"mn/2", "mn2", "测量极距", "测量电极距"}},
    {CsvField::Rho, "视电阻率 Rho", QT_TRANSLATE_NOOP("core", "视电阻率"), {"视电阻率", "电阻率", "rho", "rhoa", "ro", "ρ", "ρs", "ρa", "resistivity", "apparentresistivity"}},
    {CsvField::ZP, "综合激电参数 ZP", QT_TRANSLATE_NOOP("core", "综合激电参数"), {"综合激电参数", "zp"}},
    {CsvField::IP, "视极化率 IP", QT_TRANSLATE_NOOP("core", "视极化率"), {"视极化率", "极化率", "ip", "η", "ηs", "chargeability"}},
    {CsvField::TH, "半衰时 TH", QT_TRANSLATE_NOOP("core", "半衰时"), {"半衰时", "th"}},
    {CsvField::TD, "衰减度 TD", QT_TRANSLATE_NOOP("core", "衰减度"), {"衰减度", "td"}},
    {CsvField::R, "偏离度 R", QT_TRANSLATE_NOOP("core", "偏离度"), {"偏离度", "r"}},
    {CsvField::ModelRho, "模型视电阻率 ModelRho", QT_TRANSLATE_NOOP("core", "模型视电阻率"), {"模型视电阻率", "modelrho", "rhomodel"}},
    {CsvField::Residual, "残差 Residual (%)", QT_TRANSLATE_NOOP("core", "残差"), {"残差", "residual"}},
};

const FieldNames* Find(CsvField field) {
  for (const FieldNames& f : kFields)
    if (f.field == field) return &f;
  return nullptr;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Drops a unit in brackets at the end: "AB/2 (m)" -> "AB/2", "视电阻率（Ω·m）" -> "视电阻率".
// A header that is nothing but a bracketed text keeps it.
std::string_view DropUnit(std::string_view s) {
  static constexpr std::string_view kPairs[][2] = {{"(", ")"}, {"（", "）"}, {"[", "]"}};
  for (const auto& pair : kPairs) {
    if (s.size() < pair[1].size() || s.substr(s.size() - pair[1].size()) != pair[1]) continue;
    const auto open = s.rfind(pair[0]);
    if (open == std::string_view::npos) continue;
    std::string_view head = TrimCsvBlanks(s.substr(0, open));
    if (!head.empty()) return head;
  }
  return s;
}

std::string Normalise(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    if (IsBlank(c) || c == '_' || c == '-' || c == '.') continue;
    out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  return out;
}

CsvField Lookup(std::string_view text) {
  const std::string key = Normalise(text);
  if (key.empty()) return CsvField::Unknown;
  for (const FieldNames& f : kFields)
    for (std::string_view name : f.names)
      if (name == key) return f.field;
  return CsvField::Unknown;
}

bool IsAscii(char c) { return static_cast<unsigned char>(c) < 0x80; }

}  // namespace

const char* CsvHeaderText(CsvField field) {
  const FieldNames* f = Find(field);
  return f ? f->header : "";
}

const char* CsvFieldLabel(CsvField field) {
  const FieldNames* f = Find(field);
  return f ? f->label : QT_TRANSLATE_NOOP("core", "未知列");
}

CsvField CsvFieldOfHeader(std::string_view header) {
  const std::string_view s = DropUnit(TrimCsvBlanks(header));
  if (CsvField whole = Lookup(s); whole != CsvField::Unknown) return whole;
  // Two names side by side: split at the first blank, or where ASCII and Chinese meet.
  auto pairAt = [s](std::size_t at) {
    const CsvField head = Lookup(s.substr(0, at));
    return head != CsvField::Unknown && head == Lookup(s.substr(at)) ? head : CsvField::Unknown;
  };
  if (const auto blank = s.find_first_of(" \t"); blank != std::string_view::npos)
    if (CsvField f = pairAt(blank); f != CsvField::Unknown) return f;
  for (std::size_t i = 1; i < s.size(); ++i)
    if (IsAscii(s[i - 1]) != IsAscii(s[i]))
      if (CsvField f = pairAt(i); f != CsvField::Unknown) return f;
  return CsvField::Unknown;
}

const std::vector<CsvField>& CsvExportColumns(DataType type) {
  using F = CsvField;
  static const std::vector<F> kSounding{F::Station, F::X, F::Y, F::WorkArea, F::Profile, F::Operator, F::Instrument,
                                        F::AB2, F::Rho};
  static const std::vector<F> kWater{F::Station, F::X,   F::Y,   F::WorkArea, F::Profile, F::Operator, F::Instrument,
                                     F::AB2,     F::Rho, F::ZP,  F::TH,       F::TD,      F::R,        F::IP};
  static const std::vector<F> kFourPole{F::Station, F::X,       F::Y,   F::WorkArea, F::Profile, F::Operator,
                                        F::Instrument, F::PointNo, F::AB2, F::MN2,      F::Rho};
  static const std::vector<F> kCombined{F::Branch,     F::X,       F::Y,   F::WorkArea, F::Profile, F::Operator,
                                        F::Instrument, F::PointNo, F::AB2, F::MN2,      F::Rho};
  switch (type) {
    case dtSounding: return kSounding;
    case dtWaterFinding: return kWater;
    case dtFourPoleProfile: return kFourPole;
    default: return kCombined;
  }
}

int ModelColumnOf(CsvField field) {
  switch (field) {
    case CsvField::PointNo: return colPointNo;
    case CsvField::AB2: return colAB2;
    case CsvField::MN2: return colMN2;
    case CsvField::Rho: return colRho;
    case CsvField::ZP: return colZP;
    case CsvField::IP: return colIP;
    case CsvField::TH: return colTH;
    case CsvField::TD: return colTD;
    case CsvField::R: return colR;
    default: return -1;
  }
}

bool IsStationField(CsvField field) {
  switch (field) {
    case CsvField::Station:
    case CsvField::Branch:
    case CsvField::X:
    case CsvField::Y:
    case CsvField::WorkArea:
    case CsvField::Profile:
    case CsvField::Operator:
    case CsvField::Instrument: return true;
    default: return false;
  }
}

void AppendShortestReal(std::string& out, float value) {
  char buf[32];
  // Without a format, to_chars writes the shortest digits that read back as the same float.
  auto res = std::to_chars(buf, buf + sizeof buf, value);
  out.append(buf, res.ptr);
}

std::string ShortestReal(float value) {
  std::string s;
  AppendShortestReal(s, value);
  return s;
}
