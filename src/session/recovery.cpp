#include "session/recovery.h"

#include <array>
#include <bit>
#include <cstring>
#include <new>
#include "io/templates.h"

namespace {

constexpr std::string_view kMark = "FIELDINPUT RECOVERY\n";
constexpr std::size_t kHeaderSize = kMark.size() + 4 + 8 + 4;
// The most rows a form's grid or points a station can have: the profile grids' limit (the
// survey refuses larger counts), with the header row.
constexpr std::uint32_t kMaxRows = 100001;
constexpr std::uint32_t kMaxColumns = 64;

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

// ---- Writing ----

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

void WriteForm(Writer& w, const FormState& form) {
  for (const std::string& field : form.fields) w.str(field);
  w.i32(form.branch);
  w.u32(static_cast<std::uint32_t>(form.grid.rows()));
  w.u32(static_cast<std::uint32_t>(form.grid.cols()));
  for (int r = 0; r < form.grid.rows(); ++r)
    for (int c = 0; c < form.grid.cols(); ++c) w.str(form.grid.cell(c, r));
}

std::size_t StationBytes(const sdata& s) {
  std::size_t n = 5 * 4 + s.Name.size() + s.WorkArea.size() + s.Profile.size() + s.Operator.size() +
                  s.Instrument.size() + 3 * 4;
  for (const auto& column : s.Columns) n += 4 + column.size() * sizeof(float);
  return n;
}

// ---- Reading ----

// Reads values from the bytes; every read checks that the bytes hold it, and a failed read
// leaves the reader failed.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  bool failed() const { return failed_; }
  std::size_t left() const { return bytes_.size() - pos_; }

  std::uint32_t u32() {
    if (!take(4)) return 0;
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes_[pos_ - 4 + static_cast<std::size_t>(i)])) << (8 * i);
    return v;
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

struct Refusal {
  std::string why;
};

bool ReadForm(Reader& r, FormState& form, std::string& why) {
  for (std::string& field : form.fields) field = r.str();
  form.branch = r.i32();
  const std::uint32_t rows = r.u32();
  const std::uint32_t cols = r.u32();
  if (r.failed()) return false;
  // Every cell takes at least its four length bytes.
  if (rows < 1 || cols < 1 || rows > kMaxRows || cols > kMaxColumns ||
      static_cast<std::uint64_t>(rows) * cols * 4 > r.left()) {
    why = QT_TRANSLATE_NOOP("core", "表格的行数或列数不对。");
    return false;
  }
  if (form.branch != 0 && form.branch != 1) {
    why = QT_TRANSLATE_NOOP("core", "联合剖面的分支不对。");
    return false;
  }
  form.grid = GridTexts(static_cast<int>(rows), static_cast<int>(cols));
  for (int row = 0; row < static_cast<int>(rows); ++row)
    for (int col = 0; col < static_cast<int>(cols); ++col) form.grid.setCell(col, row, r.str());
  return !r.failed();
}

bool ReadStation(Reader& r, sdata& s, std::string& why) {
  s.Name = r.str();
  s.WorkArea = r.str();
  s.Profile = r.str();
  s.Operator = r.str();
  s.Instrument = r.str();
  s.X = r.f32();
  s.Y = r.f32();
  s.SpacingCount = r.i32();
  for (auto& column : s.Columns) column = r.floats();
  if (r.failed()) return false;
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

RecoveryReadResult Refuse(std::string why) {
  RecoveryReadResult result;
  result.error = std::move(why);
  return result;
}

RecoveryReadResult Decode(std::string_view bytes) {
  if (bytes.size() < kMark.size() || bytes.substr(0, kMark.size()) != kMark)
    return Refuse(QT_TRANSLATE_NOOP("core", "不是本程序的恢复文件。"));
  Reader head(bytes.substr(kMark.size()));
  const std::uint32_t version = head.u32();
  const std::uint64_t size = head.u64();
  const std::uint32_t crc = head.u32();
  if (head.failed()) return Refuse(QT_TRANSLATE_NOOP("core", "文件不完整：只有文件头的一部分。"));
  if (version != kRecoveryVersion)
    return Refuse(Fill(tmpl::kRecoveryVersion, {std::to_string(version), std::to_string(kRecoveryVersion)}));
  const std::uint64_t have = bytes.size() - kHeaderSize;
  if (have < size)
    return Refuse(Fill(tmpl::kRecoveryShort, {std::to_string(size + kHeaderSize), std::to_string(bytes.size())}));
  if (have > size) return Refuse(Fill(tmpl::kRecoveryExtra, {std::to_string(have - size)}));
  const std::string_view body = bytes.substr(kHeaderSize);
  if (Crc32(body) != crc) return Refuse(QT_TRANSLATE_NOOP("core", "校验和不符，文件内容已损坏。"));

  RecoveryReadResult result;
  SessionState& s = result.session;
  Reader r(body);
  const std::int32_t type = r.i32();
  s.currentIndex = r.i32();
  s.saved = r.u8() != 0;
  s.browsing = r.u8() != 0;
  s.replaceProposed = r.u8() != 0;
  s.status = r.str();
  s.file = r.str();
  const std::string damaged = QT_TRANSLATE_NOOP("core", "文件内容已损坏。");
  std::string why;
  if (r.failed()) return Refuse(damaged);
  if (type < dtSounding || type > dtCombinedProfile) return Refuse(QT_TRANSLATE_NOOP("core", "数据类型不对。"));
  s.type = static_cast<DataType>(type);
  const int columns = SpecFor(s.type).layout.gridColumns;
  if (!ReadForm(r, s.form, why) || !ReadForm(r, s.shownForm, why)) return Refuse(why.empty() ? damaged : why);
  if (s.form.grid.cols() != columns || (s.browsing && s.shownForm.grid.cols() != columns))
    return Refuse(QT_TRANSLATE_NOOP("core", "表格的列数与数据类型不符。"));

  const std::uint32_t count = r.u32();
  // A station takes at least 68 bytes (its lengths and numbers).
  if (r.failed() || static_cast<std::uint64_t>(count) * 68 > r.left()) return Refuse(damaged);
  result.stations.resize(count);
  for (sdata& station : result.stations)
    if (!ReadStation(r, station, why)) return Refuse(why.empty() ? damaged : why);
  if (r.left() != 0) return Refuse(damaged);
  const auto n = static_cast<std::int64_t>(count);
  if (s.currentIndex < 0 || s.currentIndex > n || (s.browsing && s.currentIndex >= n))
    return Refuse(QT_TRANSLATE_NOOP("core", "当前测点的序号不对。"));
  result.ok = true;
  return result;
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
  std::size_t size = 4;
  for (const sdata& s : stations) size += StationBytes(s);
  std::string out;
  out.reserve(size);
  Writer w(out);
  w.u32(static_cast<std::uint32_t>(stations.size()));
  for (const sdata& s : stations) {
    w.str(s.Name);
    w.str(s.WorkArea);
    w.str(s.Profile);
    w.str(s.Operator);
    w.str(s.Instrument);
    w.f32(s.X);
    w.f32(s.Y);
    w.i32(s.SpacingCount);
    for (const auto& column : s.Columns) w.floats(column);
  }
  return out;
}

std::string EncodeRecoveryFile(const SessionState& session, std::string_view stationsBlock) {
  std::string file = EncodeRecoveryHead(session, stationsBlock);
  file.append(stationsBlock);
  return file;
}

std::string EncodeRecoveryHead(const SessionState& session, std::string_view stationsBlock) {
  std::string body;
  Writer b(body);
  b.i32(session.type);
  b.i32(session.currentIndex);
  b.u8(session.saved ? 1 : 0);
  b.u8(session.browsing ? 1 : 0);
  b.u8(session.replaceProposed ? 1 : 0);
  b.str(session.status);
  b.str(session.file);
  WriteForm(b, session.form);
  WriteForm(b, session.shownForm);

  std::string out;
  out.reserve(kHeaderSize + body.size());
  out.append(kMark);
  Writer w(out);
  w.u32(kRecoveryVersion);
  w.u64(body.size() + stationsBlock.size());
  // The checksum runs over the session and the stations block as they follow each other.
  w.u32(Crc32(stationsBlock, Crc32(body)));
  out.append(body);
  return out;
}

RecoveryReadResult DecodeRecoveryFile(std::string_view bytes) {
  try {
    return Decode(bytes);
  } catch (const std::bad_alloc&) {
    return Refuse(QT_TRANSLATE_NOOP("core", "内存不足，恢复文件没有读入。"));
  }
}
