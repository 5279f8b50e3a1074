#include "io/soundingdat.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <unordered_map>
#include <utility>

#include "io/formatparts.h"
#include "io/textconv.h"
#include "io/textfile.h"
#include "io/textinput.h"
#include "model/stations.h"

using fileformat::Tell;

namespace {

const std::string& PurposeLine() {
  static const std::string line = Gbk("文件用途:对称四极或三极电测深各参数参数断面图及电阻率1D,2D反演");
  return line;
}

// The value columns of a data line after AB/2 and MN/2: RO, IP, R, TH, TD, ZP.
constexpr int kWrittenColumns[] = {colRho, colIP, colR, colTH, colTD, colZP};
// The columns a folded station takes from the one folded into it.
constexpr int kRowColumns[] = {colAB2, colRho, colZP, colIP, colTD, colTH, colR};

// Records with |N| above this are passed over by the reader.
constexpr long long kMaxStationNumber = 10000;

// One record of the file: N, AB/2, MN/2, RO, IP, R, TH, TD, ZP, X1, X2, X3.
struct Record {
  std::int32_t n = 0;
  float values[8] = {};  // AB/2, MN/2, RO, IP, R, TH, TD, ZP
  std::int32_t extra[3] = {};
};
// Where values[k] goes, -1 for MN/2, which is dropped.
constexpr int kValueColumn[8] = {colAB2, -1, colRho, colIP, colR, colTH, colTD, colZP};

// How reading a record ended: read, no record left, or the fault that stopped it.
struct RecordRead {
  bool read = false;
  DatFault fault = DatFault::None;
};

// Reads one record; a fault is told with its line.
RecordRead ReadRecord(TextInput& in, Record& rec, std::size_t& recordLine, std::size_t& faultLine) {
  std::string_view token;
  if (!in.ReadToken(token)) return {};
  recordLine = in.Line();
  const auto fault = [&](DatFault what) {
    faultLine = what == DatFault::EndsInRecord ? in.LineOfLastRead() : in.Line();
    return RecordRead{false, what};
  };
  if (!TryStrToInt(token, rec.n)) return fault(DatFault::NotInteger);
  for (float& v : rec.values) {
    if (!in.ReadToken(token)) return fault(DatFault::EndsInRecord);
    if (!TryStrToFloat(token, v)) return fault(DatFault::NotNumber);
  }
  for (std::int32_t& v : rec.extra) {
    if (!in.ReadToken(token)) return fault(DatFault::EndsInRecord);
    if (!TryStrToInt(token, v)) return fault(DatFault::NotInteger);
  }
  return {true, DatFault::None};
}

bool Accepted(const Record& rec) {
  const float ab2 = rec.values[0];
  const float rho = rec.values[2];
  return rec.n >= -kMaxStationNumber && rec.n <= kMaxStationNumber && rho > 0.0f &&
         static_cast<double>(ab2) >= 0.1;
}

}  // namespace

long long StationNumber(float x) {
  const double d = x;
  if (std::isnan(d)) return 0;
  const double n = std::trunc(d >= 0.0 ? d + 0.01 : d - 0.01);
  // -2^63 and 2^63 are exact doubles: every n in [-2^63, 2^63) converts without overflow.
  constexpr double kTwoTo63 = 9223372036854775808.0;
  if (n >= kTwoTo63) return std::numeric_limits<long long>::max();
  if (n < -kTwoTo63) return std::numeric_limits<long long>::min();
  return static_cast<long long>(n);
}

void FoldStationsByName(StationList& w) {
  std::unordered_map<std::string, std::size_t> firstByName;
  firstByName.reserve(w.size());
  StationList kept;
  kept.reserve(w.size());
  // Each station that took rows in is folded once, after the last of them: the same rows as
  // folding after every one (see MergeVesStations).
  std::vector<std::size_t> grown;
  std::vector<bool> isGrown;
  for (sdata& s : w) {
    auto [found, added] = firstByName.try_emplace(s.Name, kept.size());
    if (added) {
      kept.push_back(std::move(s));
      isGrown.push_back(false);
      continue;
    }
    sdata& first = kept[found->second];
    fileformat::FitValueColumns(first);
    fileformat::FitValueColumns(s);
    for (int c : kRowColumns)
      first.Columns[c].insert(first.Columns[c].end(), s.Columns[c].begin(), s.Columns[c].end());
    if (!isGrown[found->second]) {
      isGrown[found->second] = true;
      grown.push_back(found->second);
    }
  }
  for (std::size_t k : grown) fileformat::FoldEqualSpacings(kept[k], /*averageAll=*/true);
  w = std::move(kept);
}

std::string BuildSoundingDatFile(StationList w) {
  for (sdata& s : w) fileformat::FitValueColumns(s);
  FoldStationsByName(w);
  SortStationsByX(w);
  SortRowsBySpacing(w);

  std::size_t rows = 0;
  for (const sdata& s : w) rows += s.Columns[colAB2].size();
  std::string out;
  out.reserve(256 + rows * 80);
  AppendLine(out, fileformat::IdentLine());
  AppendLine(out, PurposeLine());
  AppendLine(out, fileformat::ColumnHeaderLine());

  std::string number;
  for (const sdata& s : w) {
    number.clear();
    AppendInt(number, StationNumber(s.X));
    const auto& ab2 = s.Columns[colAB2];
    for (std::size_t r = 0; r < ab2.size(); ++r) {
      // One line built in place and appended once: files of a million rows are written.
      char line[32 + 8 * (kMaxRealChars + 1) + 32];
      char* p = std::copy(number.begin(), number.end(), line);
      *p++ = ' ';
      p = WriteReal(p, ab2[r]);
      p = std::copy_n(" 0.5", 4, p);
      for (int c : kWrittenColumns) {
        *p++ = ' ';
        p = WriteReal(p, s.Columns[c][r]);
      }
      constexpr std::string_view kTail = " -9999 -9999 -9999\r\n";
      p = std::copy(kTail.begin(), kTail.end(), p);
      out.append(line, p);
    }
  }
  return out;
}

void ReadSoundingDatRecords(TextInput& in, DatReadResult& result) {
  // The column header: the first line that is not empty (a line of blanks is not empty).
  std::string_view line;
  do {
    if (!in.ReadLine(line)) return;
  } while (line.empty());

  std::unordered_map<std::int32_t, std::size_t> stationOf;
  Record rec;
  std::size_t recordLine = 0;
  while (true) {
    const RecordRead read = ReadRecord(in, rec, recordLine, result.faultLine);
    if (read.fault != DatFault::None) {
      result.status = ReadStatus::Partial;
      result.fault = read.fault;
      break;
    }
    if (!read.read) break;
    if (!Accepted(rec)) {
      if (result.skippedRecords++ == 0) result.firstSkippedLine = recordLine;
      continue;
    }
    auto [found, added] = stationOf.try_emplace(rec.n, result.stations.size());
    if (added) {
      sdata s;
      AppendInt(s.Name, rec.n);
      s.X = static_cast<float>(rec.n);
      result.stations.push_back(std::move(s));
    }
    sdata& s = result.stations[found->second];
    for (int k = 0; k < 8; ++k)
      if (kValueColumn[k] >= 0) s.Columns[kValueColumn[k]].push_back(rec.values[k]);
  }
  for (sdata& s : result.stations) s.SpacingCount = static_cast<std::int32_t>(s.Columns[colAB2].size());
}

namespace {

DatReadResult ReadDatBytes(std::string_view bytes, const NoticeFn& notify) {
  DatReadResult result;
  TextInput in(bytes);
  if (!fileformat::ReadHeaderMarks(in, {fileformat::SoundingMark()}, notify)) {
    result.status = ReadStatus::Refused;
    return result;
  }
  ReadSoundingDatRecords(in, result);
  return result;
}

}  // namespace

DatReadResult ReadSoundingDat(std::string_view bytes, const NoticeFn& notify) {
  return fileformat::KeepingNothingOnMemoryFailure<DatReadResult>([&] { return ReadDatBytes(bytes, notify); });
}

DatReadResult ReadSoundingDatAt(const std::string& path, const NoticeFn& notify, std::uint64_t limit) {
  return fileformat::ReadFileWith<DatReadResult>(ForceExtension(path, ".dat"), limit,
                                                 [&](std::string_view bytes) { return ReadSoundingDat(bytes, notify); });
}
