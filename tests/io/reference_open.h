#pragma once
// Opening a file's bytes as it was done when the whole file was read into memory first: the
// zero bytes looked for in all of it, the kind told, the append path's whole-buffer readers
// run, their stations converted afterwards, and the line of a fault found by walking the bytes
// again. Kept as it read, so that the opening that reads in pieces is checked against it
// (tests and fuzz targets).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "io/filekind.h"
#include "io/formatparts.h"
#include "io/profileread.h"
#include "io/soundingdat.h"
#include "io/templates.h"
#include "io/textinput.h"
#include "io/vesfile.h"

namespace reference {

namespace openparts {

// Line numbers of increasing byte offsets, counted once through the bytes.
class LineCounter {
 public:
  explicit LineCounter(std::string_view bytes) : bytes_(bytes) {}
  std::size_t LineAt(std::size_t pos) {
    pos = std::min(pos, bytes_.size());
    line_ += static_cast<std::size_t>(std::count(bytes_.begin() + static_cast<std::ptrdiff_t>(counted_),
                                                 bytes_.begin() + static_cast<std::ptrdiff_t>(pos), '\n'));
    counted_ = pos;
    return line_;
  }

 private:
  std::string_view bytes_;
  std::size_t counted_ = 0;
  std::size_t line_ = 1;
};

inline std::size_t LineOf(std::string_view bytes, std::size_t pos) { return LineCounter(bytes).LineAt(pos); }

// The offset in bytes at which in stands (in reads all of bytes).
inline std::size_t PositionOf(const TextInput& in, std::string_view bytes) {
  TextInput probe = in;
  std::string_view rest;
  if (!probe.ReadLine(rest)) return bytes.size();
  return static_cast<std::size_t>(rest.data() - bytes.data());
}

inline std::size_t LineOfLastRead(std::string_view bytes, std::size_t pos) {
  while (pos > 0 && TextInput::IsWhiteSpace(bytes[pos - 1])) --pos;
  return LineOf(bytes, pos == 0 ? 0 : pos - 1);
}

struct Fault {
  std::size_t line = 0;
  std::string what;
};

inline NoticeFn CollectRepairs(std::vector<Notice>& notices) {
  return [&notices](const Notice& n) {
    const bool repair = n.text == msg::kBadSpacing || n.text == msg::kBadRho || n.text == msg::kBadThickness ||
                        n.text == msg::kBadLayerRho;
    if (repair && std::none_of(notices.begin(), notices.end(), [&](const Notice& m) { return m.text == n.text; }))
      notices.push_back(n);
  };
}

inline Fault LocateVesFault(std::string_view bytes, std::size_t stationsRead) {
  TextInput in(bytes);
  std::string_view line;
  in.ReadLine(line);
  in.ReadLine(line);
  std::int32_t count = 0;
  if (!in.ReadLine(line) || !TryStrToInt(line, count) || count < 0) return {3, "应是测点个数（0 或更大的整数）。"};
  TStation station;
  for (std::size_t i = 0; i < stationsRead; ++i) ReadVesStation(in, station, {});
  const std::string ordinal = std::to_string(stationsRead + 1);
  if (stationsRead >= static_cast<std::size_t>(count)) {
    std::size_t pos = PositionOf(in, bytes);
    while (pos < bytes.size() && TextInput::IsWhiteSpace(bytes[pos])) ++pos;
    return {LineOf(bytes, pos), Fill(tmpl::kCountSaysMore, {std::to_string(count)})};
  }
  bool tooManyRows = false;
  ReadVesStation(in, station, [&](const Notice&) { tooManyRows = true; });
  const std::size_t at = LineOfLastRead(bytes, PositionOf(in, bytes));
  if (tooManyRows) return {at, Fill(tmpl::kTooManyRows, {ordinal})};
  if (in.OnlyWhiteSpaceLeft()) return {at, Fill(tmpl::kEndsInStation, {ordinal, std::to_string(count)})};
  return {at, Fill(tmpl::kStationNotNumber, {ordinal})};
}

inline void OpenVes(std::string_view bytes, OpenResult& result, const NoticeFn& notify) {
  const VesReadResult read = ReadVesFile(bytes, notify);
  for (const TStation& s : read.stations) result.stations.push_back(SoundingStationOf(s));
  if (read.status == ReadStatus::Complete) return;
  const Fault fault = LocateVesFault(bytes, read.stations.size());
  result.status = read.status;
  result.faultLine = fault.line;
  result.message = LineFault(fault.line, fault.what);
}

struct DatScan {
  Fault broken;
  std::size_t skipped = 0;
  std::size_t firstSkipped = 0;
};

inline DatScan ScanDatRecords(std::string_view bytes) {
  constexpr int kFields = 12;
  constexpr bool kInteger[kFields] = {true, false, false, false, false, false, false, false, false, true, true, true};
  DatScan scan;
  TextInput in(bytes);
  std::string_view line;
  in.ReadLine(line);
  in.ReadLine(line);
  do {
    if (!in.ReadLine(line)) return scan;
  } while (line.empty());
  LineCounter lines(bytes);
  std::string_view token;
  while (in.ReadToken(token)) {
    const std::size_t recordLine = lines.LineAt(static_cast<std::size_t>(token.data() - bytes.data()));
    std::int32_t n = 0;
    float ab2 = 0.0f;
    float rho = 0.0f;
    for (int k = 0; k < kFields; ++k) {
      if (k > 0 && !in.ReadToken(token)) {
        scan.broken = {LineOfLastRead(bytes, bytes.size()), "文件在一条记录的中间结束。"};
        return scan;
      }
      std::int32_t whole = 0;
      float real = 0.0f;
      if (kInteger[k] ? !TryStrToInt(token, whole) : !TryStrToFloat(token, real)) {
        scan.broken = {lines.LineAt(static_cast<std::size_t>(token.data() - bytes.data())),
                       kInteger[k] ? "这里应是整数。" : "这里应是数字。"};
        return scan;
      }
      if (k == 0) n = whole;
      if (k == 1) ab2 = real;
      if (k == 3) rho = real;
    }
    const bool inRanges = n >= -10000 && n <= 10000 && rho > 0.0f && static_cast<double>(ab2) >= 0.1;
    if (!inRanges && scan.skipped++ == 0) scan.firstSkipped = recordLine;
  }
  return scan;
}

inline void OpenSoundingDat(std::string_view bytes, OpenResult& result, const NoticeFn& notify) {
  DatReadResult read = ReadSoundingDat(bytes, notify);
  result.stations = std::move(read.stations);
  if (read.status == ReadStatus::Complete && read.skippedRecords == 0) return;
  const DatScan scan = ScanDatRecords(bytes);
  result.status = read.status == ReadStatus::Complete ? ReadStatus::Partial : read.status;
  if (read.status != ReadStatus::Complete) {
    result.faultLine = scan.broken.line;
    result.message = LineFault(scan.broken.line, scan.broken.what);
  }
  if (read.skippedRecords > 0) {
    if (result.faultLine == 0) result.faultLine = scan.firstSkipped;
    if (!result.message.empty()) result.message += '\n';
    result.message += LineFault(scan.firstSkipped, Fill(tmpl::kSkippedRecords, {std::to_string(read.skippedRecords)}));
  }
}

// Each unit without a 剖面编号 takes the file's line name.
inline void TakeProfile(ProfileReadResult read, OpenResult& result, std::string_view lineName) {
  result.stations = std::move(read.stations);
  for (sdata& unit : result.stations)
    if (unit.Profile.empty()) unit.Profile = std::string(lineName);
  result.status = read.status;
  result.faultLine = read.faultLine;
  result.message = std::move(read.message);
}

inline FileKind DetectFileKind(std::string_view bytes) {
  TextInput in(bytes);
  if (!fileformat::HeaderLineHasMarks(in, {"QL"})) return FileKind::Unknown;
  const auto line2Has = [&](std::initializer_list<std::string_view> marks) {
    TextInput line2 = in;
    return fileformat::HeaderLineHasMarks(line2, marks);
  };
  if (line2Has({fileformat::SoundingMark(), "VES"})) return FileKind::Ves;
  if (line2Has({fileformat::SoundingMark()})) return FileKind::SoundingDat;
  if (line2Has({CombinedProfileMark()})) return FileKind::CombinedProfile;
  if (line2Has({FourPoleProfileMark()})) return FileKind::FourPoleProfile;
  return FileKind::Unknown;
}

inline OpenResult OpenBytes(std::string_view bytes, std::string_view lineName) {
  OpenResult result;
  auto refuse = [&](std::size_t line, std::string what) {
    result.status = ReadStatus::Refused;
    result.faultLine = line;
    result.message = line == 0 ? std::move(what) : LineFault(line, what);
    return std::move(result);
  };
  if (bytes.empty()) return refuse(0, "文件是空的。");
  if (const std::size_t zero = bytes.find('\0'); zero != std::string_view::npos)
    return refuse(LineOf(bytes, zero), "有零字节，这是二进制文件，不是本程序的数据文件。");
  result.kind = DetectFileKind(bytes);
  if (result.kind == FileKind::Unknown) {
    TextInput in(bytes);
    if (!fileformat::HeaderLineHasMarks(in, {"QL"})) return refuse(1, "没有“QL”标记，不是本程序的数据文件。");
    return refuse(2, "不是本程序的文件用途（VES 测深、测深、对称四极剖面或联合剖面）。");
  }
  result.type = DataTypeOf(result.kind);
  const NoticeFn notify = CollectRepairs(result.notices);
  switch (result.kind) {
    case FileKind::Ves: OpenVes(bytes, result, notify); break;
    case FileKind::SoundingDat: OpenSoundingDat(bytes, result, notify); break;
    case FileKind::CombinedProfile: TakeProfile(ReadCombinedProfile(bytes), result, lineName); break;
    default: TakeProfile(ReadFourPoleProfile(bytes, lineName), result, lineName); break;
  }
  return result;
}

inline std::string Describe(const StationList& stations, DataType type) {
  const std::string units = std::to_string(stations.size());
  if (IsSoundingType(type)) return Fill(tmpl::kStationsInFile, {units});
  std::size_t points = 0;
  for (const sdata& s : stations) points += s.Columns[colPointNo].size();
  return Fill(type == dtFourPoleProfile ? tmpl::kLinesInFile : tmpl::kBranchesInFile, {units, std::to_string(points)});
}

inline OpenResult Conclude(OpenResult result) {
  if (result.status == ReadStatus::Partial && result.stations.empty()) result.status = ReadStatus::Refused;
  switch (result.status) {
    case ReadStatus::Complete: break;
    case ReadStatus::Partial:
      result.message = std::string("文件只能读入一部分。") + "\n" + result.message + "\n\n" +
                       Fill(tmpl::kOpenPart, {Describe(result.stations, result.type)});
      break;
    default:
      result.stations.clear();
      result.message = std::string("打开文件失败。") + "\n" + result.message;
      break;
  }
  return result;
}

}  // namespace openparts

// What opening the bytes gave when the whole file was read first.
inline OpenResult ReadSurveyFile(std::string_view bytes, std::string_view lineName = {}) {
  return openparts::Conclude(openparts::OpenBytes(bytes, lineName));
}

// Whether two openings gave the same: kind, data type, stations, status, fault, message and
// notices.
inline bool SameOpening(const OpenResult& a, const OpenResult& b) {
  return a.kind == b.kind && a.type == b.type && a.stations == b.stations && a.status == b.status &&
         a.faultLine == b.faultLine && a.faultFile == b.faultFile && a.message == b.message &&
         a.notices == b.notices && a.cancelled == b.cancelled;
}

// Whether the bytes, read in pieces of a size they choose, open as when read whole.
inline bool OpensInPiecesAsWhole(std::string_view bytes) {
  MemorySource source(bytes);
  OpenControl control;
  control.pieceBytes = 1 + bytes.size() % 13;
  return SameOpening(ReadSurveyFrom(source, "1", control, bytes.size()), ReadSurveyFile(bytes, "1"));
}

}  // namespace reference
