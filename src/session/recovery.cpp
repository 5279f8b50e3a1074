#include "session/recovery.h"

#include <algorithm>
#include <array>
#include <bit>
#include <iterator>
#include <cstring>
#include <new>
#include <utility>

#include "io/templates.h"

namespace {

constexpr std::string_view kMark = "FIELDINPUT RECOVERY\n";
// Version 2: mark, version, size of the base (its checksum follows it).
constexpr std::size_t kHeaderSize = kMark.size() + 4 + 8;
// Version 1: mark, version, size of the base, its checksum.
constexpr std::size_t kHeaderSizeV1 = kHeaderSize + 4;
// The most rows a form's grid or points a station can have: the profile grids' limit (the
// survey refuses larger counts), with the header row.
constexpr std::uint32_t kMaxRows = 100001;
constexpr std::uint32_t kMaxColumns = 64;
// The base is handed to its writer in pieces of about this size.
constexpr std::size_t kPieceSize = std::size_t{1} << 20;
// The fewest bytes a station takes (its lengths and numbers), a cell of a change, a run.
constexpr std::uint64_t kMinStationBytes = 68;
constexpr std::uint64_t kMinCellBytes = 12;
constexpr std::uint64_t kRunBytes = 8;

// ---- CRC-32, eight bytes at a time ----

using CrcTables = std::array<std::array<std::uint32_t, 256>, 8>;

constexpr CrcTables MakeCrcTables() {
  CrcTables t{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    t[0][i] = c;
  }
  for (std::size_t n = 1; n < 8; ++n)
    for (std::uint32_t i = 0; i < 256; ++i) t[n][i] = (t[n - 1][i] >> 8) ^ t[0][t[n - 1][i] & 0xffu];
  return t;
}
constexpr CrcTables kCrc = MakeCrcTables();

std::uint32_t Le32(std::string_view bytes) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
  return v;
}

// ---- Writing ----

// Appends values to a string.
class Writer {
 public:
  explicit Writer(std::string& out) : out_(out) {}
  void u8(std::uint8_t v) { out_.push_back(static_cast<char>(v)); }
  void u32(std::uint32_t v) {
    char b[4];
    for (int i = 0; i < 4; ++i) b[i] = static_cast<char>((v >> (8 * i)) & 0xffu);
    out_.append(b, 4);
  }
  void u64(std::uint64_t v) {
    u32(static_cast<std::uint32_t>(v & 0xffffffffu));
    u32(static_cast<std::uint32_t>(v >> 32));
  }
  void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
  void f32(float v) { u32(std::bit_cast<std::uint32_t>(v)); }
  void flag(bool v) { u8(v ? 1 : 0); }
  void origin(ModelOrigin v) { u8(static_cast<std::uint8_t>(v)); }
  void str(std::string_view s) {
    u32(static_cast<std::uint32_t>(s.size()));
    out_.append(s);
  }
  void floats(const std::vector<float>& v) {
    u32(static_cast<std::uint32_t>(v.size()));
    if (v.empty()) return;
    if constexpr (std::endian::native == std::endian::little) {
      out_.append(reinterpret_cast<const char*>(v.data()), v.size() * sizeof(float));
    } else {
      for (float f : v) f32(f);
    }
  }

 private:
  std::string& out_;
};

// Counts the bytes a Writer would append.
class Counter {
 public:
  void u8(std::uint8_t) { n_ += 1; }
  void u32(std::uint32_t) { n_ += 4; }
  void u64(std::uint64_t) { n_ += 8; }
  void i32(std::int32_t) { n_ += 4; }
  void f32(float) { n_ += 4; }
  void flag(bool) { n_ += 1; }
  void origin(ModelOrigin) { n_ += 1; }
  void str(std::string_view s) { n_ += 4 + s.size(); }
  void floats(const std::vector<float>& v) { n_ += 4 + v.size() * sizeof(float); }
  std::uint64_t bytes() const { return n_; }

 private:
  std::uint64_t n_ = 0;
};

// ---- Reading ----

// Reads values from the bytes; every read checks that the bytes hold it, and a failed read
// leaves the reader failed. Each value can also be read into a variable, so that one function
// can list what a Writer writes and a Reader reads.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  bool failed() const { return failed_; }
  void fail() { failed_ = true; }
  std::size_t left() const { return bytes_.size() - pos_; }

  std::uint32_t u32() {
    if (!take(4)) return 0;
    return Le32(bytes_.substr(pos_ - 4, 4));
  }
  std::uint64_t u64() {
    const std::uint64_t low = u32();
    const std::uint64_t high = u32();
    return low | (high << 32);
  }
  std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
  float f32() { return std::bit_cast<float>(u32()); }
  std::uint8_t u8() {
    if (!take(1)) return 0;
    return static_cast<std::uint8_t>(bytes_[pos_ - 1]);
  }
  std::string str() {
    const std::uint32_t n = u32();
    if (!take(n)) return std::string();
    return std::string(bytes_.substr(pos_ - n, n));
  }
  std::vector<float> floats() {
    const std::uint32_t n = u32();
    std::vector<float> v;
    if (failed_ || static_cast<std::uint64_t>(n) * sizeof(float) > left()) {
      failed_ = true;
      return v;
    }
    if (n == 0) return v;
    v.resize(n);
    const char* p = bytes_.data() + pos_;
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(v.data(), p, n * sizeof(float));
      pos_ += n * sizeof(float);
    } else {
      for (auto& f : v) f = f32();
    }
    return v;
  }
  void i32(std::int32_t& v) { v = i32(); }
  void i32(DataType& v) { v = static_cast<DataType>(i32()); }
  void flag(bool& v) { v = u8() != 0; }
  // Any byte is taken; the station's check refuses an origin beyond the known ones.
  void origin(ModelOrigin& v) { v = static_cast<ModelOrigin>(u8()); }
  void f32(float& v) { v = f32(); }
  void str(std::string& v) { v = str(); }
  void floats(std::vector<float>& v) { v = floats(); }

 private:
  bool take(std::size_t n) {
    if (failed_ || n > left()) {
      failed_ = true;
      return false;
    }
    pos_ += n;
    return true;
  }
  std::string_view bytes_;
  std::size_t pos_ = 0;
  bool failed_ = false;
};

// ---- The parts of the file, each listed once for writing and reading ----

// A station's values in the order the file holds them: io is a Writer or Counter (with a const
// station) or a Reader. A new value of a station is added here. Stations of version 1 files end
// after the columns (withModel false): they have Z 0 and no model.
// A layered model: its origin, thicknesses and resistivities.
template <class IO, class Model>
void ModelFields(IO& io, Model& m) {
  io.origin(m.Origin);
  io.floats(m.Thickness);
  io.floats(m.Resistivity);
}

template <class IO, class Station>
void StationFields(IO& io, Station& s, bool withModel = true) {
  io.str(s.Name);
  io.str(s.WorkArea);
  io.str(s.Profile);
  io.str(s.Operator);
  io.str(s.Instrument);
  io.f32(s.X);
  io.f32(s.Y);
  io.i32(s.SpacingCount);
  for (auto& column : s.Columns) io.floats(column);
  if (!withModel) return;
  io.f32(s.Z);
  ModelFields(io, s.Model);
}

template <class Out>
void WriteGrid(Out& w, const GridTexts& grid) {
  w.u32(static_cast<std::uint32_t>(grid.rows()));
  w.u32(static_cast<std::uint32_t>(grid.cols()));
  for (int r = 0; r < grid.rows(); ++r)
    for (int c = 0; c < grid.cols(); ++c) w.str(grid.cell(c, r));
}

template <class Out>
void WriteFields(Out& w, const std::array<std::string, kFieldCount>& fields) {
  for (const std::string& field : fields) w.str(field);
}

template <class Out>
void WriteForm(Out& w, const FormState& form) {
  WriteFields(w, form.fields);
  w.i32(form.branch);
  WriteGrid(w, form.grid);
  ModelFields(w, form.model);
}

// The session's small state as the base and every change begin with it: s is a SessionState or
// a RecoveryChange, io a Writer, Counter or Reader.
template <class IO, class S>
void SmallState(IO& io, S& s) {
  io.i32(s.type);
  io.i32(s.currentIndex);
  io.flag(s.saved);
  io.flag(s.browsing);
  io.flag(s.replaceProposed);
  io.str(s.status);
  io.str(s.file);
}

template <class Out>
void WriteSession(Out& w, const SessionState& session) {
  SmallState(w, session);
  WriteForm(w, session.form);
  WriteForm(w, session.shownForm);
}

template <class Out>
void WriteChange(Out& w, const RecoveryChange& c) {
  SmallState(w, c);
  WriteFields(w, c.fields);
  w.i32(c.branch);
  ModelFields(w, c.formModel);
  w.u8(static_cast<std::uint8_t>(c.grid));
  if (c.grid == RecoveryChange::Grid::Cells) {
    w.u32(static_cast<std::uint32_t>(c.cells.size()));
    for (const CellText& cell : c.cells) {
      w.u32(static_cast<std::uint32_t>(cell.col));
      w.u32(static_cast<std::uint32_t>(cell.row));
      w.str(cell.text);
    }
  } else if (c.grid == RecoveryChange::Grid::Whole) {
    WriteGrid(w, c.wholeGrid);
  }
  w.u8(c.shownForm ? 1 : 0);
  if (c.shownForm) WriteForm(w, *c.shownForm);
  w.u8(c.stationsChanged ? 1 : 0);
  if (c.stationsChanged) {
    w.u32(static_cast<std::uint32_t>(c.runs.size()));
    for (const StationRun& run : c.runs) {
      w.u32(run.first);
      w.u32(run.count);
    }
    w.u32(static_cast<std::uint32_t>(c.newStations.size()));
    for (const sdata& s : c.newStations) StationFields(w, s);
  }
}

bool ReadGrid(Reader& r, GridTexts& grid, std::string& why) {
  const std::uint32_t rows = r.u32();
  const std::uint32_t cols = r.u32();
  if (r.failed()) return false;
  // Every cell takes at least its four length bytes.
  if (rows < 1 || cols < 1 || rows > kMaxRows || cols > kMaxColumns ||
      static_cast<std::uint64_t>(rows) * cols * 4 > r.left()) {
    why = QT_TRANSLATE_NOOP("core", "表格的行数或列数不对。");
    return false;
  }
  grid = GridTexts(static_cast<int>(rows), static_cast<int>(cols));
  for (int row = 0; row < static_cast<int>(rows); ++row)
    for (int col = 0; col < static_cast<int>(cols); ++col) grid.setCell(col, row, r.str());
  return !r.failed();
}

bool CheckBranch(int branch, std::string& why) {
  if (branch == 0 || branch == 1) return true;
  why = QT_TRANSLATE_NOOP("core", "联合剖面的分支不对。");
  return false;
}

bool CheckModel(const StationModel& m, std::string& why) {
  if (static_cast<std::uint8_t>(m.Origin) > static_cast<std::uint8_t>(ModelOrigin::Edited) ||
      m.Thickness.size() != m.Resistivity.size()) {
    why = QT_TRANSLATE_NOOP("core", "测点的层状模型不对。");
    return false;
  }
  return true;
}

// A form; withModel: the file's version keeps the model accepted for the station being typed.
bool ReadForm(Reader& r, FormState& form, std::string& why, bool withModel) {
  for (std::string& field : form.fields) field = r.str();
  form.branch = r.i32();
  if (r.failed()) return false;
  if (!CheckBranch(form.branch, why) || !ReadGrid(r, form.grid, why)) return false;
  if (!withModel) return true;
  ModelFields(r, form.model);
  return !r.failed() && CheckModel(form.model, why);
}

bool ReadStation(Reader& r, sdata& s, std::string& why, bool withModel) {
  StationFields(r, s, withModel);
  if (r.failed() || !CheckModel(s.Model, why)) return false;
  if (s.SpacingCount < 0 || static_cast<std::uint32_t>(s.SpacingCount) > kMaxRows) {
    why = QT_TRANSLATE_NOOP("core", "测点的极距个数不对。");
    return false;
  }
  for (const auto& column : s.Columns) {
    if (!column.empty() && column.size() != static_cast<std::size_t>(s.SpacingCount)) {
      why = QT_TRANSLATE_NOOP("core", "测点的数据个数与极距个数不一致。");
      return false;
    }
  }
  return true;
}

// Reads count stations (count from the bytes) into list; no count makes it allocate beyond
// what the bytes can hold.
bool ReadStations(Reader& r, StationList& list, std::string& why, bool withModel = true) {
  const std::uint32_t count = r.u32();
  if (r.failed() || count * kMinStationBytes > r.left()) return false;
  list.resize(count);
  for (sdata& station : list)
    if (!ReadStation(r, station, why, withModel)) return false;
  return true;
}

// What the survey can hold: the checks on a whole session of count stations.
bool CheckSession(const SessionState& s, std::size_t count, std::string& why) {
  if (s.type < dtSounding || s.type > dtCombinedProfile) {
    why = QT_TRANSLATE_NOOP("core", "数据类型不对。");
    return false;
  }
  const int columns = SpecFor(s.type).layout.gridColumns;
  if (s.form.grid.cols() != columns || (s.browsing && s.shownForm.grid.cols() != columns)) {
    why = QT_TRANSLATE_NOOP("core", "表格的列数与数据类型不符。");
    return false;
  }
  if (!CheckBranch(s.form.branch, why)) return false;
  const auto n = static_cast<std::int64_t>(count);
  if (s.currentIndex < 0 || s.currentIndex > n || (s.browsing && s.currentIndex >= n)) {
    why = QT_TRANSLATE_NOOP("core", "当前测点的序号不对。");
    return false;
  }
  return true;
}

// A change; formModel: the file's version keeps the model accepted for the station being typed.
bool ReadChange(std::string_view payload, RecoveryChange& c, bool formModel) {
  Reader r(payload);
  std::string why;
  SmallState(r, c);
  for (std::string& field : c.fields) field = r.str();
  c.branch = r.i32();
  if (formModel) {
    ModelFields(r, c.formModel);
    if (r.failed() || !CheckModel(c.formModel, why)) return false;
  }
  const std::uint8_t grid = r.u8();
  if (r.failed()) return false;
  if (grid == static_cast<std::uint8_t>(RecoveryChange::Grid::Cells)) {
    c.grid = RecoveryChange::Grid::Cells;
    const std::uint32_t n = r.u32();
    if (r.failed() || n * kMinCellBytes > r.left()) return false;
    c.cells.resize(n);
    for (CellText& cell : c.cells) {
      const std::uint32_t col = r.u32();
      const std::uint32_t row = r.u32();
      if (col >= kMaxColumns || row >= kMaxRows) return false;
      cell.col = static_cast<int>(col);
      cell.row = static_cast<int>(row);
      cell.text = r.str();
    }
  } else if (grid == static_cast<std::uint8_t>(RecoveryChange::Grid::Whole)) {
    c.grid = RecoveryChange::Grid::Whole;
    if (!ReadGrid(r, c.wholeGrid, why)) return false;
  } else if (grid != 0) {
    return false;
  }
  const std::uint8_t shown = r.u8();
  if (shown == 1) {
    c.shownForm.emplace();
    if (!ReadForm(r, *c.shownForm, why, formModel)) return false;
  } else if (shown != 0) {
    return false;
  }
  const std::uint8_t stations = r.u8();
  if (stations == 1) {
    c.stationsChanged = true;
    const std::uint32_t n = r.u32();
    if (r.failed() || n * kRunBytes > r.left()) return false;
    c.runs.resize(n);
    for (StationRun& run : c.runs) {
      run.first = r.u32();
      run.count = r.u32();
    }
    if (!ReadStations(r, c.newStations, why)) return false;
  } else if (stations != 0) {
    return false;
  }
  return !r.failed() && r.left() == 0;
}

}  // namespace

bool RecoveryChangeFits(const SessionState& s, std::size_t count, const RecoveryChange& c) {
  const GridTexts& grid = c.grid == RecoveryChange::Grid::Whole ? c.wholeGrid : s.form.grid;
  for (const CellText& cell : c.cells)
    if (cell.col >= grid.cols() || cell.row >= grid.rows()) return false;
  std::uint64_t after = count;
  if (c.stationsChanged) {
    std::vector<bool> taken(count, false);
    std::uint64_t added = 0;
    after = 0;
    for (const StationRun& run : c.runs) {
      if (run.count == 0) return false;
      after += run.count;
      if (run.first == kNewStations) {
        added += run.count;
        continue;
      }
      if (static_cast<std::uint64_t>(run.first) + run.count > count) return false;
      for (std::uint32_t k = 0; k < run.count; ++k) {
        if (taken[run.first + k]) return false;
        taken[run.first + k] = true;
      }
    }
    if (added != c.newStations.size()) return false;
  }
  if (c.branch != 0 && c.branch != 1) return false;
  SessionState next;
  next.type = c.type;
  next.currentIndex = c.currentIndex;
  next.browsing = c.browsing;
  next.form.branch = c.branch;
  next.form.grid = GridTexts(1, grid.cols());
  next.shownForm.grid = GridTexts(1, (c.shownForm ? *c.shownForm : s.shownForm).grid.cols());
  std::string why;
  return CheckSession(next, static_cast<std::size_t>(after), why);
}

namespace {

// Puts the list after a change in place of the list before: its runs, taking the stations of
// the list before from list and the new ones from next(). A change of one stretch (stations
// inserted, erased or replaced in one place, as commits, updates and deletions make it) is
// made in the list itself, moving only what follows the stretch; any other change builds the
// list anew.
template <class T, class Next>
void ApplyRuns(std::vector<T>& list, const std::vector<StationRun>& runs, Next&& next) {
  // One stretch: [0, kept) kept, then added new ones, then the list before from resumed on.
  std::size_t r = 0;
  std::size_t kept = 0;
  std::size_t added = 0;
  std::size_t resumed = list.size();
  if (r < runs.size() && runs[r].first == 0) kept = runs[r++].count;
  if (r < runs.size() && runs[r].first == kNewStations) added = runs[r++].count;
  if (r < runs.size() && runs[r].first != kNewStations && runs[r].first >= kept &&
      std::size_t{runs[r].first} + runs[r].count == list.size())
    resumed = runs[r++].first;
  if (r == runs.size() && kept <= resumed) {
    const std::size_t erased = resumed - kept;
    const auto at = list.begin() + static_cast<std::ptrdiff_t>(kept);
    const std::size_t overwritten = std::min(erased, added);
    for (std::size_t k = 0; k < overwritten; ++k) at[static_cast<std::ptrdiff_t>(k)] = next();
    if (erased > added) {
      list.erase(at + static_cast<std::ptrdiff_t>(added), at + static_cast<std::ptrdiff_t>(erased));
    } else if (added > erased) {
      std::vector<T> more;
      more.reserve(added - erased);
      for (std::size_t k = erased; k < added; ++k) more.push_back(next());
      list.insert(at + static_cast<std::ptrdiff_t>(erased), std::make_move_iterator(more.begin()),
                  std::make_move_iterator(more.end()));
    }
    return;
  }
  std::size_t size = 0;
  for (const StationRun& run : runs) size += run.count;
  std::vector<T> out;
  out.reserve(size);
  for (const StationRun& run : runs) {
    for (std::uint32_t k = 0; k < run.count; ++k) {
      if (run.first == kNewStations) {
        out.push_back(next());
      } else {
        out.push_back(std::move(list[run.first + k]));
      }
    }
  }
  list = std::move(out);
}

// Everything of a change but the station list.
void ApplyToSession(SessionState& s, RecoveryChange& c) {
  s.type = c.type;
  s.currentIndex = c.currentIndex;
  s.saved = c.saved;
  s.browsing = c.browsing;
  s.replaceProposed = c.replaceProposed;
  s.status = std::move(c.status);
  s.file = std::move(c.file);
  s.form.fields = std::move(c.fields);
  s.form.branch = c.branch;
  s.form.model = std::move(c.formModel);
  if (c.grid == RecoveryChange::Grid::Whole) s.form.grid = std::move(c.wholeGrid);
  for (CellText& cell : c.cells) s.form.grid.setCell(cell.col, cell.row, std::move(cell.text));
  if (c.shownForm) s.shownForm = std::move(*c.shownForm);
}

RecoveryReadResult Refuse(std::string why) {
  RecoveryReadResult result;
  result.error = std::move(why);
  return result;
}

// The base: the session and the stations block, nothing after them.
// withModels: stations with Z and model (version 2 on); formModels: forms with the model accepted
// for the station being typed (version 3 on).
RecoveryReadResult ReadBase(std::string_view body, bool withModels, bool formModels) {
  RecoveryReadResult result;
  SessionState& s = result.session;
  Reader r(body);
  SmallState(r, s);
  const std::string damaged = QT_TRANSLATE_NOOP("core", "文件内容已损坏。");
  std::string why;
  if (r.failed()) return Refuse(damaged);
  if (s.type < dtSounding || s.type > dtCombinedProfile) return Refuse(QT_TRANSLATE_NOOP("core", "数据类型不对。"));
  if (!ReadForm(r, s.form, why, formModels) || !ReadForm(r, s.shownForm, why, formModels))
    return Refuse(why.empty() ? damaged : why);
  if (!ReadStations(r, result.stations, why, withModels)) return Refuse(why.empty() ? damaged : why);
  if (r.left() != 0) return Refuse(damaged);
  if (!CheckSession(s, result.stations.size(), why)) return Refuse(why);
  result.ok = true;
  return result;
}

RecoveryReadResult DecodeV1(std::string_view bytes) {
  Reader head(bytes.substr(kMark.size() + 4));
  const std::uint64_t size = head.u64();
  const std::uint32_t crc = head.u32();
  if (head.failed()) return Refuse(QT_TRANSLATE_NOOP("core", "文件不完整：只有文件头的一部分。"));
  const std::uint64_t have = bytes.size() - kHeaderSizeV1;
  if (have < size)
    return Refuse(Fill(tmpl::kRecoveryShort, {std::to_string(size + kHeaderSizeV1), std::to_string(bytes.size())}));
  if (have > size) return Refuse(Fill(tmpl::kRecoveryExtra, {std::to_string(have - size)}));
  const std::string_view body = bytes.substr(kHeaderSizeV1);
  if (Crc32(body) != crc) return Refuse(QT_TRANSLATE_NOOP("core", "校验和不符，文件内容已损坏。"));
  return ReadBase(body, /*withModels=*/false, /*formModels=*/false);
}

// Applies the records that follow the base, up to the first that is cut short or wrong. The
// station list is replayed as positions in a pool of stations, so that a record costs a pass
// over positions, not over stations.
void ReadRecords(std::string_view rest, RecoveryReadResult& result, bool formModels) {
  StationList pool = std::move(result.stations);
  std::vector<std::uint32_t> order(pool.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<std::uint32_t>(i);
  while (rest.size() >= 8) {
    const std::uint32_t size = Le32(rest);
    if (size > rest.size() - 8) break;
    const std::string_view payload = rest.substr(4, size);
    if (Crc32(payload, Crc32(rest.substr(0, 4))) != Le32(rest.substr(4 + std::size_t{size}))) break;
    RecoveryChange change;
    if (!ReadChange(payload, change, formModels) || !RecoveryChangeFits(result.session, order.size(), change)) break;
    if (change.stationsChanged) {
      std::size_t next = 0;
      ApplyRuns(order, change.runs, [&] {
        pool.push_back(std::move(change.newStations[next++]));
        return static_cast<std::uint32_t>(pool.size() - 1);
      });
    }
    ApplyToSession(result.session, change);
    ++result.records;
    rest.remove_prefix(8 + std::size_t{size});
  }
  result.ignoredBytes = rest.size();
  result.stations.reserve(order.size());
  for (std::uint32_t i : order) result.stations.push_back(std::move(pool[i]));
}

RecoveryReadResult Decode(std::string_view bytes) {
  if (bytes.size() < kMark.size() || bytes.substr(0, kMark.size()) != kMark)
    return Refuse(QT_TRANSLATE_NOOP("core", "不是本程序的恢复文件。"));
  Reader head(bytes.substr(kMark.size()));
  const std::uint32_t version = head.u32();
  const std::uint64_t size = head.u64();
  if (head.failed()) return Refuse(QT_TRANSLATE_NOOP("core", "文件不完整：只有文件头的一部分。"));
  if (version == 1) return DecodeV1(bytes);
  if (version != 2 && version != kRecoveryVersion)
    return Refuse(Fill(tmpl::kRecoveryVersion, {std::to_string(version), std::to_string(kRecoveryVersion)}));
  const std::uint64_t have = bytes.size() - kHeaderSize;
  if (have < size || have - size < 4)
    return Refuse(Fill(tmpl::kRecoveryShort, {std::to_string(size + kHeaderSize + 4), std::to_string(bytes.size())}));
  const std::string_view body = bytes.substr(kHeaderSize, size);
  if (Crc32(body) != Le32(bytes.substr(kHeaderSize + size)))
    return Refuse(QT_TRANSLATE_NOOP("core", "校验和不符，文件内容已损坏。"));
  const bool formModels = version >= 3;
  RecoveryReadResult result = ReadBase(body, /*withModels=*/true, formModels);
  if (result.ok) ReadRecords(bytes.substr(kHeaderSize + size + 4), result, formModels);
  return result;
}

void Header(std::string& out, std::uint64_t baseSize) {
  out.append(kMark);
  Writer w(out);
  w.u32(kRecoveryVersion);
  w.u64(baseSize);
}

}  // namespace

std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc) {
  std::uint32_t c = crc ^ 0xFFFFFFFFu;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t n = bytes.size();
  while (n >= 8) {
    const std::uint32_t a = c ^ (static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                                 static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24);
    c = kCrc[7][a & 0xffu] ^ kCrc[6][(a >> 8) & 0xffu] ^ kCrc[5][(a >> 16) & 0xffu] ^ kCrc[4][a >> 24] ^
        kCrc[3][p[4]] ^ kCrc[2][p[5]] ^ kCrc[1][p[6]] ^ kCrc[0][p[7]];
    p += 8;
    n -= 8;
  }
  while (n-- > 0) c = kCrc[0][(c ^ *p++) & 0xffu] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

std::string EncodeRecoveryStations(const StationList& stations) {
  Counter size;
  size.u32(0);
  for (const sdata& s : stations) StationFields(size, s);
  std::string out;
  out.reserve(size.bytes());
  Writer w(out);
  w.u32(static_cast<std::uint32_t>(stations.size()));
  for (const sdata& s : stations) StationFields(w, s);
  return out;
}

std::string EncodeRecoveryFile(const SessionState& session, std::string_view stationsBlock) {
  std::string body;
  Writer b(body);
  WriteSession(b, session);
  std::string out;
  out.reserve(kHeaderSize + body.size() + stationsBlock.size() + 4);
  Header(out, body.size() + stationsBlock.size());
  out.append(body);
  out.append(stationsBlock);
  Writer(out).u32(Crc32(stationsBlock, Crc32(body)));
  return out;
}

bool WriteRecoveryBase(const SessionState& session, const StationList& stations,
                       const std::function<bool(std::string_view)>& put) {
  Counter size;
  WriteSession(size, session);
  size.u32(0);
  for (const sdata& s : stations) StationFields(size, s);
  std::string head;
  Header(head, size.bytes());
  if (!put(head)) return false;

  std::string piece;
  piece.reserve(kPieceSize + (std::size_t{64} << 10));
  Writer w(piece);
  std::uint32_t crc = 0;
  auto hand = [&] {
    crc = Crc32(piece, crc);
    const bool ok = put(piece);
    piece.clear();
    return ok;
  };
  WriteSession(w, session);
  w.u32(static_cast<std::uint32_t>(stations.size()));
  for (const sdata& s : stations) {
    StationFields(w, s);
    if (piece.size() >= kPieceSize && !hand()) return false;
  }
  if (!piece.empty() && !hand()) return false;
  std::string tail;
  Writer(tail).u32(crc);
  return put(tail);
}

std::uint64_t RecoveryRecordSize(const RecoveryChange& change) {
  Counter size;
  WriteChange(size, change);
  return 8 + size.bytes();
}

std::string EncodeRecoveryRecord(const RecoveryChange& change) {
  std::string out;
  out.reserve(static_cast<std::size_t>(RecoveryRecordSize(change)));
  Writer w(out);
  w.u32(0);
  WriteChange(w, change);
  const auto size = static_cast<std::uint32_t>(out.size() - 4);
  for (int i = 0; i < 4; ++i) out[static_cast<std::size_t>(i)] = static_cast<char>((size >> (8 * i)) & 0xffu);
  w.u32(Crc32(out));
  return out;
}

void ApplyRecoveryChange(SessionState& session, StationList& stations, RecoveryChange&& change) {
  if (change.stationsChanged) {
    std::size_t next = 0;
    ApplyRuns(stations, change.runs, [&] { return std::move(change.newStations[next++]); });
  }
  ApplyToSession(session, change);
}

RecoveryReadResult DecodeRecoveryFile(std::string_view bytes) {
  try {
    return Decode(bytes);
  } catch (const std::bad_alloc&) {
    return Refuse(QT_TRANSLATE_NOOP("core", "内存不足，恢复文件没有读入。"));
  }
}
