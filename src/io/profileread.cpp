#include "io/profileread.h"

#include <array>
#include <new>
#include <string>
#include <utility>

#include "io/formatparts.h"
#include "io/textconv.h"
#include "io/textinput.h"
#include "io/templates.h"

namespace {

constexpr int kFields = 12;
constexpr const char* kFieldNames[kFields] = {"N",  "AB/2", "MN/2", "RO", "IP", "R",
                                              "TH", "TD",   "ZP",   "X1", "X2", "X3"};
// The field that names the branch in a combined-profiling file.
constexpr int kBranchField = 10;
// What the writers put in a field that holds no value.
constexpr float kNoValue = -9999.0f;

enum class ProfileKind { Combined, FourPole };

bool IsBlank(std::string_view line) {
  for (char c : line)
    if (!TextInput::IsWhiteSpace(c)) return false;
  return true;
}

// Splits a line into at most kFields + 1 tokens (one more tells that there are too many).
int SplitFields(std::string_view line, std::array<std::string_view, kFields + 1>& fields) {
  TextInput in(line);
  int count = 0;
  std::string_view token;
  while (count <= kFields && in.ReadToken(token)) fields[static_cast<std::size_t>(count++)] = token;
  return count;
}

class ProfileReader {
 public:
  ProfileReader(TextInput& in, ProfileKind kind, std::string_view lineName)
      : in_(in), kind_(kind), lineName_(lineName) {}

  // The whole file, or (afterMarks) the file after its lines 1 and 2.
  ProfileReadResult Read(bool afterMarks) {
    if (afterMarks ? !ReadColumnHeader() : !ReadHeader()) return Finish();
    std::string_view line;
    while (NextLine(line)) {
      if (IsBlank(line)) continue;
      if (!ReadPoint(line)) break;
    }
    return Finish();
  }

 private:
  bool NextLine(std::string_view& line) {
    if (!in_.ReadLine(line)) return false;
    ++lineNo_;
    return true;
  }

  bool Fault(std::size_t line, std::string what) {
    result_.faultLine = line;
    result_.message = LineFault(line, what);
    return false;
  }

  bool ReadHeader() {
    const std::string& mark = kind_ == ProfileKind::Combined ? CombinedProfileMark() : FourPoleProfileMark();
    std::string_view line;
    if (!in_.ReadLineStart(line, fileformat::kExaminedHeaderBytes)) {
      result_.faultLine = 1;
      result_.message = QT_TRANSLATE_NOOP("core", "文件是空的。");
      return false;
    }
    if (!fileformat::HasMarks(line, {"QL"}))
      return Fault(1, QT_TRANSLATE_NOOP("core", "没有“QL”标记，不是本程序的数据文件。"));
    if (!fileformat::HeaderLineHasMarks(in_, {mark}))
      return Fault(2, kind_ == ProfileKind::Combined ? QT_TRANSLATE_NOOP("core", "不是联合剖面数据文件的用途说明。")
                                                     : QT_TRANSLATE_NOOP("core", "不是对称四极剖面数据文件的用途说明。"));
    return ReadColumnHeader();
  }

  // After any blank lines, the column header.
  bool ReadColumnHeader() {
    std::string_view line;
    lineNo_ = 2;
    do {
      if (!NextLine(line)) return Fault(lineNo_ + 1, QT_TRANSLATE_NOOP("core", "文件在此结束，缺少列标题行。"));
    } while (IsBlank(line));
    if (line.find("AB/2") == std::string_view::npos)
      return Fault(lineNo_, QT_TRANSLATE_NOOP("core", "应是列标题行（N AB/2 MN/2 RO ...）。"));
    return true;
  }

  bool ReadPoint(std::string_view line) {
    std::array<std::string_view, kFields + 1> fields;
    const int count = SplitFields(line, fields);
    if (count > kFields) return Fault(lineNo_, QT_TRANSLATE_NOOP("core", "多于 12 个数。"));
    if (count < kFields) return Fault(lineNo_, Fill(tmpl::kTooFewNumbers, {std::to_string(count)}));
    float values[kFields] = {};
    for (int k = 0; k < kFields; ++k)
      if (!TryStrToFloat(fields[static_cast<std::size_t>(k)], values[k]))
        return Fault(lineNo_, Fill(tmpl::kNotANumberField, {kFieldNames[k]}));
    for (int k = colRho + 1; k < kFields; ++k) {
      if (k == kBranchField && kind_ == ProfileKind::Combined) continue;
      if (values[k] != kNoValue) return Fault(lineNo_, Fill(tmpl::kNoValueField, {kFieldNames[k]}));
    }
    std::int32_t branch = 0;
    if (kind_ == ProfileKind::Combined &&
        (!TryStrToInt(fields[kBranchField], branch) || (branch != 1 && branch != 2)))
      return Fault(lineNo_, QT_TRANSLATE_NOOP("core", "X2 应是分支号 1 或 2。"));

    const std::string_view name = kind_ == ProfileKind::FourPole ? lineName_ : branch == 1 ? "A" : "B";
    if (result_.stations.empty() || result_.stations.back().Name != name) {
      sdata unit;
      unit.Name.assign(name);
      unit.X = static_cast<float>(result_.stations.size()) * kProfileXStep;
      result_.stations.push_back(std::move(unit));
    }
    sdata& unit = result_.stations.back();
    if (unit.Columns[colPointNo].size() >= kMaxProfilePoints)
      return Fault(lineNo_, Fill(tmpl::kTooManyPoints, {std::to_string(kMaxProfilePoints)}));
    for (int k = colPointNo; k <= colRho; ++k) unit.Columns[k].push_back(values[k]);
    for (int k = colZP; k <= colR; ++k) unit.Columns[k].push_back(0.0f);
    ++unit.SpacingCount;
    return true;
  }

  ProfileReadResult Finish() {
    if (result_.faultLine == 0) return std::move(result_);
    bool anyPoint = false;
    for (const sdata& s : result_.stations) anyPoint = anyPoint || s.SpacingCount > 0;
    result_.status = anyPoint ? ReadStatus::Partial : ReadStatus::Refused;
    if (!anyPoint) result_.stations.clear();
    return std::move(result_);
  }

  TextInput& in_;
  ProfileKind kind_;
  std::string_view lineName_;
  std::size_t lineNo_ = 0;
  ProfileReadResult result_;
};

ProfileReadResult ReadProfile(TextInput& in, bool afterMarks, ProfileKind kind, std::string_view lineName) {
  try {
    ProfileReadResult result = ProfileReader(in, kind, lineName).Read(afterMarks);
    // A four-pole file is one line even when it holds no point.
    if (kind == ProfileKind::FourPole && result.status == ReadStatus::Complete && result.stations.empty()) {
      result.stations.emplace_back();
      result.stations.front().Name.assign(lineName);
    }
    return result;
  } catch (const std::bad_alloc&) {
    ProfileReadResult result;
    result.status = ReadStatus::Refused;
    result.message = kOutOfMemoryMessage;
    return result;
  }
}

}  // namespace

const std::string& CombinedProfileMark() {
  static const std::string mark = Gbk("联合剖面");
  return mark;
}

const std::string& FourPoleProfileMark() {
  static const std::string mark = Gbk("四极剖面");
  return mark;
}

std::string LineFault(std::size_t line, std::string_view what) {
  if (what.empty()) return Fill(tmpl::kLineOnly, {std::to_string(line)});
  return Fill(tmpl::kLineOfFile, {std::to_string(line), std::string(what)});
}

ProfileReadResult ReadCombinedProfile(std::string_view bytes) {
  TextInput in(bytes);
  return ReadProfile(in, false, ProfileKind::Combined, {});
}

ProfileReadResult ReadFourPoleProfile(std::string_view bytes, std::string_view lineName) {
  TextInput in(bytes);
  return ReadProfile(in, false, ProfileKind::FourPole, lineName);
}

ProfileReadResult ReadCombinedProfileAfterMarks(TextInput& in) {
  return ReadProfile(in, true, ProfileKind::Combined, {});
}

ProfileReadResult ReadFourPoleProfileAfterMarks(TextInput& in, std::string_view lineName) {
  return ReadProfile(in, true, ProfileKind::FourPole, lineName);
}
