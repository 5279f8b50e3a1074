#include "io/vesfile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <unordered_map>
#include <utility>

#include "io/formatparts.h"
#include "io/textconv.h"
#include "io/textfile.h"
#include "model/stations.h"

using fileformat::Tell;

namespace {

// At most this many spacing rows and model layers per station.
constexpr std::int32_t kMaxRows = kMaxVesRows;
// Replacement for a spacing, resistivity or thickness that is not greater than 0.
constexpr float kRepaired = 50.0f;
// The one-layer starting model 100 m / 100 ohm-m: written for a station without a model, and
// read as no model (see StationModelOf).
constexpr float kModelValue = 100.0f;

const std::string& PurposeLine() {
  static const std::string line = Gbk("文件用途:对称四极或三极电测深VES电阻率1D,2D反演及成图.");
  return line;
}

// Blanks and control characters, which trimming removes at both ends of a line.
bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= 0x20; }

std::string_view TrimLine(std::string_view s) {
  while (!s.empty() && IsTrimmed(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsTrimmed(s.back())) s.remove_suffix(1);
  return s;
}

// ---- Writing ----

// A text line that the reader finds again in its place.
void AppendTextLine(std::string& out, const std::string& text, std::string_view fallback) {
  if (TrimLine(text).empty()) {
    AppendLine(out, fallback);
    return;
  }
  if (text.find_first_of("\r\n") == std::string::npos) {
    AppendLine(out, text);
    return;
  }
  std::string oneLine = text;
  std::replace_if(oneLine.begin(), oneLine.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  AppendLine(out, oneLine);
}

// " a b" and CR LF: one spacing row or one model layer.
void AppendPairLines(std::string& out, std::span<const float> first, std::span<const float> second) {
  char line[2 * kMaxRealChars + 4];
  for (std::size_t i = 0; i < first.size(); ++i) {
    char* p = line;
    *p++ = ' ';
    p = WriteReal(p, first[i]);
    *p++ = ' ';
    p = WriteReal(p, second[i]);
    *p++ = '\r';
    *p++ = '\n';
    out.append(line, p);
  }
}

struct VesTexts {
  const std::string& name;
  const std::string& workArea;
  const std::string& profile;
  const std::string& op;
  const std::string& instrument;
};

// One station block; rows and layers are taken pairwise from spans of equal length.
void AppendVesBlock(std::string& out, const VesTexts& texts, float x, float y, float z,
                    std::span<const float> ab2, std::span<const float> rho,
                    std::span<const float> thickness, std::span<const float> layerRho) {
  static const TStation defaults;
  AppendTextLine(out, texts.name, defaults.Name);
  AppendReal(out, x);
  out += ' ';
  AppendReal(out, y);
  out += ' ';
  AppendReal(out, z);
  out += "\r\n";
  AppendTextLine(out, texts.workArea, defaults.WorkArea);
  AppendTextLine(out, texts.profile, defaults.Profile);
  AppendTextLine(out, texts.op, defaults.Operator);
  AppendTextLine(out, texts.instrument, defaults.Instrument);
  AppendInt(out, static_cast<long long>(ab2.size()));
  out += "\r\n";
  AppendPairLines(out, ab2, rho);
  out += ' ';
  AppendInt(out, static_cast<long long>(thickness.size()));
  out += "\r\n";
  AppendPairLines(out, thickness, layerRho);
  out += "\r\n";
}

// ---- Reading ----

// The next line that is not empty after trimming, trimmed; false at the end of the data.
bool ReadTextLine(TextInput& in, std::string& text) {
  std::string_view line;
  do {
    if (!in.ReadLine(line)) return false;
    line = TrimLine(line);
  } while (line.empty());
  text.assign(line);
  return true;
}

// X, Y and, when there is a third number, Z, separated by runs of blanks or tabs.
bool ParseCoordinates(std::string_view line, TStation& station) {
  float values[3] = {0.0f, 0.0f, 0.0f};
  std::size_t count = 0;
  std::size_t pos = 0;
  while (pos < line.size()) {
    const std::size_t start = line.find_first_not_of(" \t", pos);
    if (start == std::string_view::npos) break;
    std::size_t end = line.find_first_of(" \t", start);
    if (end == std::string_view::npos) end = line.size();
    if (count == 3 || !TryStrToFloat(line.substr(start, end - start), values[count])) return false;
    ++count;
    pos = end;
  }
  if (count < 2) return false;
  station.X = values[0];
  station.Y = values[1];
  station.Z = values[2];
  return true;
}

bool ReadInt(TextInput& in, std::int32_t& value) {
  std::string_view token;
  return in.ReadToken(token) && TryStrToInt(token, value);
}

bool ReadFloat(TextInput& in, float& value) {
  std::string_view token;
  return in.ReadToken(token) && TryStrToFloat(token, value);
}

// A count and that many pairs of numbers. The sequences grow only with pairs actually read,
// never by the count alone. A count above limit is told to notify and ends the block.
bool ReadPairs(TextInput& in, std::int32_t& count, std::vector<float>& first,
               std::vector<float>& second, std::int32_t limit, const NoticeFn& notify) {
  if (!ReadInt(in, count)) return false;
  if (count > limit) {
    Tell(notify, msg::kBadFormat, Notice::Icon::Warning, /*ownerless=*/true);
    return false;
  }
  for (std::int32_t i = 0; i < count; ++i) {
    float a = 0.0f;
    float b = 0.0f;
    if (!ReadFloat(in, a) || !ReadFloat(in, b)) return false;
    first.push_back(a);
    second.push_back(b);
  }
  count = static_cast<std::int32_t>(first.size());
  return true;
}

// Sets a value that is not greater than 0 (NaN included) to 50, telling the window.
void RepairPositive(float& value, const char* message, const NoticeFn& notify) {
  if (value > 0.0f) return;
  Tell(notify, message, Notice::Icon::Warning);
  value = kRepaired;
}

void RepairStation(TStation& s, const NoticeFn& notify) {
  for (std::size_t i = 0; i < s.AB2.size(); ++i) {
    RepairPositive(s.AB2[i], msg::kBadSpacing, notify);
    RepairPositive(s.Rho[i], msg::kBadRho, notify);
  }
  if (s.LayerCount < 1) {
    // The default model: one layer of the first apparent resistivity; a station without rows
    // stays without rows and its layer takes 100.
    s.LayerCount = 1;
    s.Thickness.assign(1, kModelValue);
    s.LayerRho.assign(1, s.Rho.empty() ? kModelValue : s.Rho.front());
    return;
  }
  for (std::size_t i = 0; i < s.Thickness.size(); ++i) {
    RepairPositive(s.Thickness[i], msg::kBadThickness, notify);
    RepairPositive(s.LayerRho[i], msg::kBadLayerRho, notify);
  }
}

// A station to read the next block into: as new, but with the room of the sequences the last
// block filled (a block sets only what it provides, so nothing else may stay).
void Renew(TStation& station) {
  std::vector<float> room[] = {std::move(station.Thickness), std::move(station.LayerRho), std::move(station.AB2),
                               std::move(station.Rho)};
  station = TStation{};
  std::vector<float>* sequences[] = {&station.Thickness, &station.LayerRho, &station.AB2, &station.Rho};
  for (std::size_t k = 0; k < 4; ++k) {
    room[k].clear();
    *sequences[k] = std::move(room[k]);
  }
}

}  // namespace

void WriteVesStation(std::string& out, TStation& station) {
  const std::size_t rows = std::min(station.AB2.size(), station.Rho.size());
  const std::size_t layers = std::min({static_cast<std::size_t>(std::max(station.LayerCount, 0)),
                                       station.Thickness.size(), station.LayerRho.size()});
  station.SpacingCount = static_cast<std::int32_t>(rows);
  AppendVesBlock(out, {station.Name, station.WorkArea, station.Profile, station.Operator, station.Instrument},
                 station.X, station.Y, station.Z, std::span(station.AB2).first(rows),
                 std::span(station.Rho).first(rows), std::span(station.Thickness).first(layers),
                 std::span(station.LayerRho).first(layers));
}

std::string BuildVesFile(StationList stations) {
  for (sdata& s : stations) fileformat::FitValueColumns(s);
  SortStationsByX(stations);
  SortRowsBySpacing(stations);

  std::size_t rows = 0;
  for (const sdata& s : stations) rows += s.Columns[colAB2].size();
  std::string out;
  out.reserve(128 + stations.size() * 96 + rows * 24);
  AppendLine(out, fileformat::IdentLine());
  AppendLine(out, PurposeLine());
  AppendInt(out, static_cast<long long>(stations.size()));
  out += "\r\n";

  static constexpr float kPlaceholder[] = {kModelValue};
  for (const sdata& s : stations) {
    const auto& ab2 = s.Columns[colAB2];
    std::span<const float> thickness = kPlaceholder;
    std::span<const float> layerRho = kPlaceholder;
    if (!s.Model.empty()) {
      const std::size_t layers = std::min(s.Model.Thickness.size(), s.Model.Resistivity.size());
      thickness = std::span(s.Model.Thickness).first(layers);
      layerRho = std::span(s.Model.Resistivity).first(layers);
    }
    AppendVesBlock(out, {s.Name, s.WorkArea, s.Profile, s.Operator, s.Instrument}, s.X, s.Y, s.Z, ab2,
                   std::span(s.Columns[colRho]).first(ab2.size()), thickness, layerRho);
  }
  return out;
}

StationModel StationModelOf(const TStation& station) {
  StationModel model;
  const std::size_t layers = std::min(station.Thickness.size(), station.LayerRho.size());
  if (layers == 0) return model;
  if (layers == 1 && station.Thickness[0] == kModelValue && station.LayerRho[0] == kModelValue) return model;
  model.Thickness.assign(station.Thickness.begin(), station.Thickness.begin() + static_cast<std::ptrdiff_t>(layers));
  model.Resistivity.assign(station.LayerRho.begin(), station.LayerRho.begin() + static_cast<std::ptrdiff_t>(layers));
  model.Origin = ModelOrigin::File;
  return model;
}

bool ReadVesStation(TextInput& in, TStation& station, const NoticeFn& notify) {
  station.AB2.clear();
  station.Rho.clear();
  station.Thickness.clear();
  station.LayerRho.clear();
  if (!ReadTextLine(in, station.Name)) return false;
  std::string_view coordinates;
  if (!in.ReadLine(coordinates) || !ParseCoordinates(TrimLine(coordinates), station)) return false;
  for (std::string* text : {&station.WorkArea, &station.Profile, &station.Operator, &station.Instrument})
    if (!ReadTextLine(in, *text)) return false;
  // A station may hold more rows than other programs read (appends of one station on several
  // days merge into it): it is taken whole, and the file's reader says so once. The rows are
  // bounded by the data that bears them out.
  return ReadPairs(in, station.SpacingCount, station.AB2, station.Rho, INT32_MAX, notify) &&
         ReadPairs(in, station.LayerCount, station.Thickness, station.LayerRho, kMaxRows, notify);
}

bool ReadVesCount(TextInput& in, std::int32_t& count) {
  std::string_view countLine;
  return in.ReadLine(countLine) && TryStrToInt(countLine, count) && count >= 0;
}

ReadStatus ReadVesStations(TextInput& in, std::int32_t count, const NoticeFn& notify,
                           const std::function<void(TStation&)>& take) {
  TStation station;
  bool toldManyRows = false;
  for (std::int32_t i = 0; i < count; ++i) {
    if (i > 0) Renew(station);
    if (!ReadVesStation(in, station, notify)) return ReadStatus::Partial;
    RepairStation(station, notify);
    if (station.SpacingCount > kMaxRows && !toldManyRows) {
      Tell(notify, msg::kManyRowsRead, Notice::Icon::Warning);
      toldManyRows = true;
    }
    take(station);
  }
  return in.OnlyWhiteSpaceLeft() ? ReadStatus::Complete : ReadStatus::Partial;
}

namespace {

VesReadResult ReadVesBytes(std::string_view bytes, const NoticeFn& notify) {
  VesReadResult result;
  TextInput in(bytes);
  std::int32_t count = 0;
  if (!fileformat::ReadHeaderMarks(in, {fileformat::SoundingMark(), "VES"}, notify) || !ReadVesCount(in, count)) {
    result.status = ReadStatus::Refused;
    return result;
  }
  // The count is trusted only as far as blocks bear it out: nothing is reserved from it.
  result.status =
      ReadVesStations(in, count, notify, [&](TStation& station) { result.stations.push_back(std::move(station)); });
  return result;
}

}  // namespace

VesReadResult ReadVesFile(std::string_view bytes, const NoticeFn& notify) {
  return fileformat::KeepingNothingOnMemoryFailure<VesReadResult>([&] { return ReadVesBytes(bytes, notify); });
}

VesReadResult ReadVesFileAt(const std::string& path, const NoticeFn& notify, std::uint64_t limit) {
  return fileformat::ReadFileWith<VesReadResult>(
      path, limit, [&](std::string_view bytes) { return ReadVesFile(bytes, notify); });
}

sdata SoundingStationOf(const TStation& station) {
  const std::size_t rows = std::min(station.AB2.size(), station.Rho.size());
  sdata s;
  s.Name = station.Name;
  s.X = station.X;
  s.Y = station.Y;
  s.WorkArea = station.WorkArea;
  s.Profile = station.Profile;
  s.Operator = station.Operator;
  s.Instrument = station.Instrument;
  s.Z = station.Z;
  s.Model = StationModelOf(station);
  s.SpacingCount = static_cast<std::int32_t>(rows);
  // Each column exactly as long as the rows: a file of millions of rows is held in the least memory.
  s.Columns[colAB2].assign(station.AB2.begin(), station.AB2.begin() + static_cast<std::ptrdiff_t>(rows));
  s.Columns[colRho].assign(station.Rho.begin(), station.Rho.begin() + static_cast<std::ptrdiff_t>(rows));
  return s;
}

void MergeVesStations(StationList& stations, const std::vector<TStation>& list) {
  // Name -> index of the first station of that name; stations are only appended here, so an
  // index stays valid, and a station added by this merge is found by later file stations.
  std::unordered_map<std::string, std::size_t> firstByName;
  firstByName.reserve(stations.size() + list.size());
  for (std::size_t k = 0; k < stations.size(); ++k) firstByName.try_emplace(stations[k].Name, k);

  // Folding after every added block gives the same rows as folding once after the last: rows
  // that stayed after a fold never fold with each other, and later rows join the earliest
  // match. So each station that took rows in is folded once, at the end.
  std::vector<std::size_t> grown;
  std::vector<bool> isGrown(stations.size(), false);
  for (const TStation& s : list) {
    const std::size_t rows = std::min(s.AB2.size(), s.Rho.size());
    const auto ab2 = std::span(s.AB2).first(rows);
    const auto rho = std::span(s.Rho).first(rows);
    auto [found, added] = firstByName.try_emplace(s.Name, stations.size());
    if (added) {
      stations.push_back(SoundingStationOf(s));
      isGrown.push_back(false);
      continue;
    }
    sdata& m = stations[found->second];
    // A model of the station's own stays; one it lacks comes from the file, as does a Z.
    if (m.Model.empty()) m.Model = StationModelOf(s);
    if (m.Z == 0.0f) m.Z = s.Z;
    // A .ves station holds spacings and resistivities only: the two columns stay in step, and a
    // column the station holds beyond them gets 0.0 for every added row.
    const std::size_t before = m.Columns[colAB2].size();
    m.Columns[colRho].resize(before, 0.0f);
    m.Columns[colAB2].insert(m.Columns[colAB2].end(), ab2.begin(), ab2.end());
    m.Columns[colRho].insert(m.Columns[colRho].end(), rho.begin(), rho.end());
    for (int c = colZP; c <= colR; ++c)
      if (!m.Columns[c].empty()) m.Columns[c].resize(m.Columns[colAB2].size(), 0.0f);
    if (!isGrown[found->second]) {
      isGrown[found->second] = true;
      grown.push_back(found->second);
    }
  }
  for (std::size_t k : grown) fileformat::FoldEqualSpacings(stations[k], /*averageAll=*/false);
}
