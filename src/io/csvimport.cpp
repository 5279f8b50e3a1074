#include "io/csvimport.h"
#include "io/filenames.h"
#include "session/datatypespec.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <iterator>
#include <optional>
#include <system_error>
#include <cstdint>
#include <cstring>
#include <tuple>
#include <unordered_map>
#include <utility>

#include "io/csvreader.h"
#include "io/textconv.h"
#include "io/textfile.h"
#include "io/templates.h"

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kReplacementChar = "\xEF\xBF\xBD";
// Cells longer than this are shortened in messages.
constexpr std::size_t kShownBytes = 60;
constexpr std::size_t kFieldCount = static_cast<std::size_t>(CsvField::Residual) + 1;

std::size_t Index(CsvField f) { return static_cast<std::size_t>(f); }

// ---- Bytes and text ----

// Length of the valid UTF-8 character at s[i] (1 for ASCII), or 0 when there is none.
std::size_t Utf8CharAt(std::string_view s, std::size_t i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) return 1;
  std::size_t n = 0;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    n = 2;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    n = 3;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    n = 4;
  } else {
    return 0;
  }
  if (i + n > s.size()) return 0;
  for (std::size_t k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
  const auto b1 = static_cast<unsigned char>(s[i + 1]);
  if ((b0 == 0xE0 && b1 < 0xA0) || (b0 == 0xF0 && b1 < 0x90)) return 0;  // overlong forms
  if (b0 == 0xED && b1 > 0x9F) return 0;                                 // surrogates
  if (b0 == 0xF4 && b1 > 0x8F) return 0;                                 // beyond U+10FFFF
  return n;
}

// Whether bytes are valid UTF-8, and which lengths of characters beyond ASCII they hold.
struct Utf8Scan {
  bool valid = true;
  bool twoByteChars = false;  // U+0080 to U+07FF: Latin, Greek, Cyrillic, Hebrew...
  bool widerChars = false;    // U+0800 and up, Chinese among them
};

Utf8Scan ScanUtf8(std::string_view s) {
  Utf8Scan scan;
  std::size_t i = 0;
  while (i < s.size()) {
    // Eight ASCII bytes at a time: most of a CSV file is digits and separators.
    if (i + 8 <= s.size()) {
      std::uint64_t word = 0;
      std::memcpy(&word, s.data() + i, 8);
      if ((word & 0x8080808080808080ULL) == 0) {
        i += 8;
        continue;
      }
    }
    const std::size_t n = Utf8CharAt(s, i);
    if (n == 0) {
      scan.valid = false;
      return scan;
    }
    if (n == 2) scan.twoByteChars = true;
    if (n > 2) scan.widerChars = true;
    i += n;
  }
  return scan;
}

bool IsValidUtf8(std::string_view s) { return ScanUtf8(s).valid; }

bool IsValidGbk(std::string_view s) {
  try {
    GbkToUtf8(s);
    return true;
  } catch (const GbkError&) {
    return false;
  }
}

std::string_view Trim(std::string_view s) { return TrimCsvBlanks(s); }

bool IsBlank(std::string_view s) { return Trim(s).empty(); }

bool AllBlank(const std::vector<std::string_view>& cells) {
  return std::all_of(cells.begin(), cells.end(), [](std::string_view c) { return IsBlank(c); });
}

void AppendHexByte(std::string& out, unsigned char b) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  out += "\\x";
  out += kDigits[b >> 4];
  out += kDigits[b & 15];
}

// UTF-8 text as it is, each byte that is not part of a character as \xNN.
std::string EscapeInvalidUtf8(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t n = Utf8CharAt(s, i);
    if (n == 0) {
      AppendHexByte(out, static_cast<unsigned char>(s[i]));
      ++i;
    } else {
      out.append(s.substr(i, n));
      i += n;
    }
  }
  return out;
}

// A cell as UTF-8 for the preview, in the file's encoding; bytes that are not text as \xNN.
// With limit, a longer text is cut at a character and ends in "…".
std::string Shown(std::string_view raw, CsvEncoding encoding, std::size_t limit = 0) {
  std::string text;
  if (encoding == CsvEncoding::Gbk) {
    try {
      text = GbkToUtf8(raw);
    } catch (const GbkError&) {
      for (char c : raw) {
        if (static_cast<unsigned char>(c) < 0x80) {
          text += c;
        } else {
          AppendHexByte(text, static_cast<unsigned char>(c));
        }
      }
    }
  } else {
    text = EscapeInvalidUtf8(raw);
  }
  if (limit == 0 || text.size() <= limit) return text;
  std::size_t cut = 0;
  while (cut < text.size()) {
    const std::size_t n = std::max<std::size_t>(Utf8CharAt(text, cut), 1);
    if (cut + n > limit) break;
    cut += n;
  }
  text.resize(cut);
  text += "…";
  return text;
}

std::string Num(std::size_t n) { return std::to_string(n); }
std::string Num(int n) { return std::to_string(n); }


// The number of a column as its messages count: from 1.
std::string ColumnNumber(std::size_t index) { return Num(index + 1); }

const char* TypeLabel(DataType type) {
  switch (type) {
    case dtSounding: return QT_TRANSLATE_NOOP("core", "电阻率测深");
    case dtWaterFinding: return QT_TRANSLATE_NOOP("core", "电阻率找水");
    case dtFourPoleProfile: return QT_TRANSLATE_NOOP("core", "四极剖面数据");
    default: return QT_TRANSLATE_NOOP("core", "联合剖面法");
  }
}

// Names joined with "、", as the list templates (tmpl::kList2 ...) read them back.
std::string JoinNames(const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& name : names) {
    if (!out.empty()) out += "、";
    out += name;
  }
  return out;
}

std::string JoinLabels(const std::vector<CsvField>& fields) {
  std::vector<std::string> names;
  for (CsvField f : fields) names.emplace_back(CsvFieldLabel(f));
  return JoinNames(names);
}

// The reading columns of each data type, as the window's grid has them.
const std::vector<CsvField>& ReadingFields(DataType type) {
  using F = CsvField;
  static const std::vector<F> kSounding{F::AB2, F::Rho};
  static const std::vector<F> kWater{F::AB2, F::Rho, F::ZP, F::TH, F::TD, F::R, F::IP};
  static const std::vector<F> kProfile{F::PointNo, F::AB2, F::MN2, F::Rho};
  return type == dtSounding ? kSounding : type == dtWaterFinding ? kWater : kProfile;
}

bool IsIpField(CsvField f) {
  return f == CsvField::ZP || f == CsvField::IP || f == CsvField::TH || f == CsvField::TD || f == CsvField::R;
}
// The columns that make a table a profile's: an MN/2 column alone does not (sounding tables
// often carry one).
bool IsProfileField(CsvField f) { return f == CsvField::PointNo || f == CsvField::Branch; }

// Whether a data type's stations hold the field.
bool FieldOfType(CsvField f, DataType type) {
  if (f == CsvField::Branch) return type == dtCombinedProfile;
  if (IsStationField(f)) return true;
  const std::vector<CsvField>& readings = ReadingFields(type);
  return std::find(readings.begin(), readings.end(), f) != readings.end();
}

// A comment line above the header: its first cell begins with '#' or "//".
bool IsComment(const std::vector<std::string_view>& cells) {
  if (cells.empty()) return false;
  const std::string_view first = TrimCsvBlanks(cells.front());
  return first.substr(0, 1) == "#" || first.substr(0, 2) == "//";
}

// ---- The rows of one file ----

class Importer {
 public:
  // gbkAlike: the body is valid UTF-8 with only two-byte characters beyond ASCII, and valid GBK.
  Importer(CsvPreview& preview, std::string_view body, bool bodyValidUtf8, bool gbkAlike, bool detecting,
           int separatorRow, int headerRow, const CsvChoices& choices)
      : p_(preview),
        body_(body),
        bodyValidUtf8_(bodyValidUtf8),
        gbkAlike_(gbkAlike),
        detecting_(detecting),
        separatorRow_(separatorRow),
        headerRow_(headerRow),
        choices_(choices) {
    column_.fill(-1);
  }

  void Row(int row, const std::vector<std::string_view>& cells) {
    if (stopped_ || row == separatorRow_) return;
    row_ = row;
    if (AllBlank(cells)) {
      Note(row, QT_TRANSLATE_NOOP("core", "是空行，已跳过。"));
      return;
    }
    if (p_.headerRow == 0) {
      if (row < headerRow_) {
        // Above the header: a comment, or the title of the table.
        Note(row, IsComment(cells) ? QT_TRANSLATE_NOOP("core", "是注释行，已跳过。")
                                   : QT_TRANSLATE_NOOP("core", "在表头之上，不是表头，已跳过。"));
        return;
      }
      Header(row, cells);
      return;
    }
    if (std::find(cells.begin(), cells.end(), kCsvModelTableMark) != cells.end()) {
      // The table of models the export writes below the readings: the stations are complete.
      Note(row, QT_TRANSLATE_NOOP("core", "从这一行起是模型表，不导入。"));
      stopped_ = true;
      return;
    }
    if (OnlyIgnoredCells(cells)) {
      Note(row, QT_TRANSLATE_NOOP("core", "要导入的单元格都是空的，已跳过。"));
      return;
    }
    ++p_.dataRows;
    Data(row, cells);
  }

  void Finish();

 private:
  // lastStation_ before any row has named a station, and after a row naming one was refused.
  static constexpr std::size_t kNoStation = static_cast<std::size_t>(-1);
  static constexpr std::size_t kRefusedStation = static_cast<std::size_t>(-2);

  void Refuse(int row, const std::string& text) { p_.problems.push_back({row, true, AtFileRow(row, text)}); }
  void Note(int row, const std::string& text) { p_.problems.push_back({row, false, AtFileRow(row, text)}); }
  // A note of a column of the header: its template holds the row.
  void ColumnNote(int row, const char* text, std::size_t column, const std::string& header = {}) {
    p_.problems.push_back({row, false, Fill(text, {Num(row), ColumnNumber(column), header})});
  }

  int ColumnOf(CsvField f) const { return column_[Index(f)]; }
  bool OnlyIgnoredCells(const std::vector<std::string_view>& cells) const {
    for (std::size_t i = 0; i < cells.size(); ++i)
      if (!IsBlank(cells[i]) && (i >= p_.columns.size() || p_.columns[i].used)) return false;
    return true;
  }
  bool Has(CsvField f) const { return ColumnOf(f) >= 0; }

  void Header(int row, const std::vector<std::string_view>& cells);
  bool CheckColumns(int row);
  void Data(int row, const std::vector<std::string_view>& cells);
  bool RaggedRow(int row, const std::vector<std::string_view>& cells);

  enum class NumberRead { Ok, Blank, Bad };
  NumberRead ReadNumber(std::string_view raw, float& value, std::string* text);
  std::string NotANumber(CsvField f, std::string_view raw) const;
  bool ReadCoordinate(CsvField f, std::string_view raw, float& value, std::string* text,
                      std::vector<std::string>& problems);
  bool ReadText(CsvField f, std::string_view raw, std::string& gbk, std::vector<std::string>& problems);
  bool GbkReadingPossible();
  // Notes the first text beyond ASCII of a gbkAlike_ file: GBK would read it otherwise.
  void NoteUndecided(std::string_view raw) {
    if (!gbkAlike_ || undecidedRow_ != 0 || p_.encoding == CsvEncoding::Gbk) return;
    if (std::all_of(raw.begin(), raw.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) return;
    undecidedRow_ = row_;
    undecidedText_.assign(raw);
  }

  // Reads the station cells of a row into station; key identifies the station.
  void ReadStation(const std::vector<std::string_view>& cells, sdata& station, std::string& key,
                   std::vector<std::string>& problems);
  // Texts of a later row of a known station that differ from the station's.
  void CompareTexts(const sdata& known, const sdata& row, const std::vector<std::string_view>& cells,
                    std::size_t index, std::vector<std::string>& problems);
  bool SameStationCells(const std::vector<std::string_view>& cells) const;
  std::string_view Cell(const std::vector<std::string_view>& cells, CsvField f) const {
    const int c = ColumnOf(f);
    return c < 0 || static_cast<std::size_t>(c) >= cells.size() ? std::string_view() : cells[static_cast<std::size_t>(c)];
  }

  CsvPreview& p_;
  std::string_view body_;
  bool bodyValidUtf8_;
  bool gbkAlike_;
  bool detecting_;
  int separatorRow_;
  int headerRow_;           // the row found to be the header (rows above it are passed over)
  const CsvChoices& choices_;
  int row_ = 0;             // the row being read
  int undecidedRow_ = 0;    // the first row whose text reads differently as GBK (gbkAlike_)
  std::string undecidedText_;
  bool stopped_ = false;  // the header refused the file, or the table of models began: no more rows
  int gbkReadable_ = -1;  // GbkReadingPossible, once worked out

  std::vector<std::string> headerCells_;
  std::array<int, kFieldCount> column_{};
  std::vector<CsvField> readingFields_;
  struct ReadingColumn {
    CsvField field;
    std::size_t cell;   // index of the cell in a row
    std::size_t model;  // Columns[model] of the station
  };
  std::vector<ReadingColumn> readingColumns_;
  std::vector<std::size_t> unnamedColumns_;  // columns without a header
  std::vector<CsvField> stationFields_;  // the station columns the file has and the import uses
  std::vector<bool> unnamedWithData_;    // per column: no header, yet some row has a value there

  struct TextCache {
    std::string raw;
    std::string gbk;
    bool valid = false;
  };
  std::array<TextCache, kFieldCount> textCache_;

  std::unordered_map<std::string, std::size_t> stationByKey_;
  std::size_t lastStation_ = kNoStation;  // station of the last row that named one
  int lastStationRow_ = 0;
  std::vector<std::string> lastStationCells_;
  std::vector<std::pair<int, std::size_t>> declaringRows_;  // rows without readings, their station
};

void Importer::Header(int row, const std::vector<std::string_view>& cells) {
  p_.headerRow = row;
  headerCells_.assign(cells.begin(), cells.end());
  unnamedWithData_.assign(cells.size(), false);
  std::vector<std::string> duplicates;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    CsvColumn c;
    c.header = Shown(cells[i], p_.encoding);
    if (choices_.fields.empty()) c.field = CsvFieldOfHeader(c.header);
    else c.field = i < choices_.fields.size() ? choices_.fields[i] : CsvField::Unknown;
    if (c.field == CsvField::Unknown) NoteUndecided(cells[i]);
    if (c.field != CsvField::Unknown && c.field != CsvField::RowNumber) {
      int& known = column_[Index(c.field)];
      if (known >= 0) {
        duplicates.push_back(
            Fill(tmpl::kCsvSameColumn, {ColumnNumber(static_cast<std::size_t>(known)), ColumnNumber(i), CsvFieldLabel(c.field)}));
      } else {
        known = static_cast<int>(i);
      }
    }
    p_.columns.push_back(std::move(c));
  }
  if (!duplicates.empty()) {
    std::string list;
    for (std::size_t i = 0; i < duplicates.size(); ++i) list += (i > 0 ? "；" : "") + duplicates[i];
    p_.fileError = Fill(tmpl::kCsvDuplicateColumns, {Num(row), list});
    stopped_ = true;
    return;
  }
  if (!CheckColumns(row)) stopped_ = true;
}

bool Importer::CheckColumns(int row) {
  std::vector<CsvField> ip, profile;
  bool anyReading = false;
  for (const CsvColumn& c : p_.columns) {
    if (IsIpField(c.field)) ip.push_back(c.field);
    if (IsProfileField(c.field)) profile.push_back(c.field);
    if (ModelColumnOf(c.field) >= 0) anyReading = true;
  }
  if (!choices_.type && !ip.empty() && !profile.empty()) {
    p_.fileError = Fill(tmpl::kCsvMixedColumns, {Num(row), JoinLabels(ip), JoinLabels(profile)});
    return false;
  }
  if (!anyReading) {
    p_.fileError = Fill(tmpl::kCsvNoReadingColumn, {Num(row)});
    return false;
  }
  p_.typeKnown = true;
  p_.type = choices_.type ? *choices_.type
            : !ip.empty() ? dtWaterFinding
            : profile.empty() ? dtSounding
            : Has(CsvField::Branch) ? dtCombinedProfile
                                    : dtFourPoleProfile;
  readingFields_ = ReadingFields(p_.type);

  std::vector<CsvField> required = readingFields_;
  switch (p_.type) {
    case dtSounding: required.insert(required.begin(), {CsvField::Station, CsvField::X, CsvField::Y}); break;
    case dtWaterFinding: required.insert(required.begin(), {CsvField::X, CsvField::Y}); break;
    case dtCombinedProfile: required.insert(required.begin(), CsvField::Branch); break;
    default: break;
  }
  std::vector<std::string> missing;
  if (p_.type == dtFourPoleProfile && !Has(CsvField::Station) && !Has(CsvField::Profile))
    missing.emplace_back(QT_TRANSLATE_NOOP("core", "测点编号或剖面编号"));
  for (CsvField f : required)
    if (!Has(f)) missing.emplace_back(CsvFieldLabel(f));
  if (!missing.empty()) {
    p_.fileError = Fill(choices_.type ? tmpl::kCsvMissingColumnsChosen : tmpl::kCsvMissingColumns,
                        {Num(row), TypeLabel(p_.type), JoinNames(missing)});
    return false;
  }

  for (std::size_t i = 0; i < p_.columns.size(); ++i) {
    CsvColumn& c = p_.columns[i];
    if (c.field == CsvField::Station && p_.type == dtCombinedProfile) {
      ColumnNote(row, tmpl::kCsvStationUnused, i, c.header);
    } else if (c.field != CsvField::Unknown && c.field != CsvField::RowNumber && !IsModelField(c.field) &&
               !FieldOfType(c.field, p_.type)) {
      p_.problems.push_back({row, false, Fill(tmpl::kCsvFieldNotOfType, {Num(row), ColumnNumber(i), c.header, TypeLabel(p_.type)})});
    } else if (c.field == CsvField::Unknown) {
      if (!IsBlank(headerCells_[i]))
        ColumnNote(row, tmpl::kCsvUnknownHeader, i, Shown(headerCells_[i], p_.encoding, kShownBytes));
    } else {
      c.used = c.field != CsvField::RowNumber && !IsModelField(c.field);
    }
    if (c.used && IsStationField(c.field)) stationFields_.push_back(c.field);
    if (c.field == CsvField::Unknown && IsBlank(headerCells_[i])) unnamedColumns_.push_back(i);
  }
  for (CsvField f : readingFields_)
    readingColumns_.push_back({f, static_cast<std::size_t>(ColumnOf(f)), static_cast<std::size_t>(ModelColumnOf(f))});
  if (!IsSoundingType(p_.type) && (!Has(CsvField::X) || !Has(CsvField::Y))) {
    p_.positionsAssigned = true;
    Note(row, QT_TRANSLATE_NOOP("core", "没有 x坐标 或 y坐标 列：各条测线按输入窗口的做法依次取 x = 0、50、100……，y = 0。"));
  }
  return true;
}

bool Importer::RaggedRow(int row, const std::vector<std::string_view>& cells) {
  const std::size_t header = p_.columns.size();
  if (cells.size() > header) {
    for (std::size_t i = header; i < cells.size(); ++i) {
      if (IsBlank(cells[i])) continue;
      Refuse(row, Fill(p_.separator == ',' ? tmpl::kCsvTooManyCellsComma : tmpl::kCsvTooManyCells,
                       {Num(cells.size()), Num(header)}));
      return true;
    }
  } else if (cells.size() < header) {
    for (std::size_t i = cells.size(); i < header; ++i) {
      if (!p_.columns[i].used) continue;
      Refuse(row, Fill(tmpl::kCsvTooFewCells, {Num(cells.size()), Num(header), CsvFieldLabel(p_.columns[i].field)}));
      return true;
    }
  }
  return false;
}

// The usual cell, "-12.5" or "100": an optional '-', digits and at most one '.', short enough
// to lie far inside the float range; read exactly as TryStrToFloat reads it, faster. Up to
// 2^24 of digits and 10 decimals, the digits and the power of ten are exact floats and one
// division rounds their quotient correctly, as from_chars would.
bool ReadPlainDecimal(std::string_view s, float& value) {
  static constexpr float kPowersOfTen[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
  if (s.empty() || s.size() > 19) return false;
  const bool negative = s.front() == '-';
  bool dot = false, digit = false;
  std::uint64_t digits = 0;  // at most 19 of them: no overflow
  std::size_t decimals = 0;
  for (std::size_t i = negative ? 1 : 0; i < s.size(); ++i) {
    if (s[i] >= '0' && s[i] <= '9') {
      digit = true;
      digits = digits * 10 + static_cast<std::uint64_t>(s[i] - '0');
      if (dot) ++decimals;
    } else if (s[i] == '.' && !dot) {
      dot = true;
    } else {
      return false;
    }
  }
  if (!digit) return false;
  if (digits <= (std::uint64_t{1} << 24) && decimals < std::size(kPowersOfTen)) {
    const float f = static_cast<float>(digits) / kPowersOfTen[decimals];
    value = negative ? -f : f;
    return true;
  }
  const auto res = std::from_chars(s.data(), s.data() + s.size(), value);
  return res.ec == std::errc() && res.ptr == s.data() + s.size();
}

Importer::NumberRead Importer::ReadNumber(std::string_view raw, float& value, std::string* text) {
  const std::string_view s = Trim(raw);
  if (s.empty()) return NumberRead::Blank;
  if (ReadPlainDecimal(s, value) || TryStrToFloat(s, value)) {
    if (text) text->assign(s);
    return NumberRead::Ok;
  }
  // "1,5" in a file whose separator is not the comma: the comma is the decimal point.
  if (p_.separator != ',' && std::count(s.begin(), s.end(), ',') == 1 && s.find('.') == std::string_view::npos) {
    std::string dotted(s);
    dotted[dotted.find(',')] = '.';
    if (TryStrToFloat(dotted, value)) {
      p_.commaDecimals = true;
      if (text) *text = std::move(dotted);
      return NumberRead::Ok;
    }
  }
  return NumberRead::Bad;
}

std::string Importer::NotANumber(CsvField f, std::string_view raw) const {
  const char* text = raw.find(',') == std::string_view::npos ? tmpl::kCsvNotANumber
                     : p_.separator == ','                   ? tmpl::kCsvNotANumberComma
                                                             : tmpl::kCsvNotANumberThousands;
  return Fill(text, {CsvFieldLabel(f), Shown(Trim(raw), p_.encoding, kShownBytes)});
}

bool Importer::ReadCoordinate(CsvField f, std::string_view raw, float& value, std::string* text,
                              std::vector<std::string>& problems) {
  switch (ReadNumber(raw, value, text)) {
    case NumberRead::Ok: return true;
    case NumberRead::Blank: problems.push_back(Fill(tmpl::kCsvBlank, {CsvFieldLabel(f)})); return false;
    default: problems.push_back(NotANumber(f, raw)); return false;
  }
}

bool Importer::GbkReadingPossible() {
  if (gbkReadable_ < 0) {
    gbkReadable_ = 0;
    if (detecting_ && p_.encoding == CsvEncoding::Utf8 && IsValidGbk(body_)) gbkReadable_ = 1;
    p_.gbkReadingPossible = gbkReadable_ == 1;
  }
  return gbkReadable_ == 1;
}

bool Importer::ReadText(CsvField f, std::string_view raw, std::string& gbk, std::vector<std::string>& problems) {
  TextCache& cache = textCache_[Index(f)];
  if (cache.valid && cache.raw == raw) {
    gbk = cache.gbk;
    return true;
  }
  const std::string label = CsvFieldLabel(f);
  if (raw.find_first_of("\r\n") != std::string_view::npos) {
    problems.push_back(Fill(tmpl::kCsvLineBreak, {label}));
    return false;
  }
  if (p_.encoding == CsvEncoding::Gbk) {
    try {
      GbkToUtf8(raw);
    } catch (const GbkError&) {
      problems.push_back(Fill(tmpl::kCsvNotGbkBytes, {label, Shown(raw, p_.encoding, kShownBytes)}));
      return false;
    }
    gbk.assign(raw);
  } else {
    NoteUndecided(raw);
    if (!bodyValidUtf8_ && !IsValidUtf8(raw)) {
      problems.push_back(Fill(tmpl::kCsvNotUtf8Bytes, {label, Shown(raw, p_.encoding, kShownBytes)}));
      return false;
    }
    if (raw.find(kReplacementChar) != std::string_view::npos) {
      problems.push_back(Fill(tmpl::kCsvReplacementChar, {label, Shown(raw, p_.encoding, kShownBytes)}));
      return false;
    }
    try {
      gbk = Utf8ToGbk(raw);
    } catch (const GbkError&) {
      problems.push_back(Fill(GbkReadingPossible() ? tmpl::kCsvNoGbkCharTryGbk : tmpl::kCsvNoGbkChar,
                              {label, Shown(raw, p_.encoding, kShownBytes)}));
      return false;
    }
  }
  // A control character (ESC, BEL, TAB, DEL ...) is refused as the commit of a typed station
  // refuses it: the data files would carry it as it is, a terminal escape sequence included.
  if (HasControlCharacter(gbk)) {
    problems.push_back(Fill(tmpl::kCsvControlChar, {label}));
    return false;
  }
  cache.raw.assign(raw);
  cache.gbk = gbk;
  cache.valid = true;
  return true;
}

void Importer::ReadStation(const std::vector<std::string_view>& cells, sdata& s, std::string& key,
                           std::vector<std::string>& problems) {
  std::string xText;
  bool nameInKey = true;
  if (Has(CsvField::X)) {
    ReadCoordinate(CsvField::X, Cell(cells, CsvField::X), s.X, &xText, problems);
  } else {
    s.X = kLineXStep * static_cast<float>(p_.stations.size());
  }
  if (Has(CsvField::Y)) ReadCoordinate(CsvField::Y, Cell(cells, CsvField::Y), s.Y, nullptr, problems);

  switch (p_.type) {
    case dtCombinedProfile: {
      const std::string_view branch = Trim(Cell(cells, CsvField::Branch));
      if (branch == "A" || branch == "a" || branch == "1") {
        s.Name = "A";
      } else if (branch == "B" || branch == "b" || branch == "2") {
        s.Name = "B";
      } else if (branch.empty()) {
        problems.push_back(QT_TRANSLATE_NOOP("core", "分支是空的。"));
      } else {
        problems.push_back(Fill(tmpl::kCsvBadBranch, {Shown(branch, p_.encoding, kShownBytes)}));
      }
      break;
    }
    case dtWaterFinding:
      // The window names a water-finding station by its x as typed.
      if (Has(CsvField::Station)) {
        ReadText(CsvField::Station, Cell(cells, CsvField::Station), s.Name, problems);
      } else {
        s.Name = xText;
        nameInKey = false;
      }
      break;
    case dtFourPoleProfile: {
      // A four-pole line is named by its profile number.
      const CsvField nameField = Has(CsvField::Station) ? CsvField::Station : CsvField::Profile;
      ReadText(nameField, Cell(cells, nameField), s.Name, problems);
      break;
    }
    default: ReadText(CsvField::Station, Cell(cells, CsvField::Station), s.Name, problems); break;
  }

  for (auto [field, text] : {std::pair{CsvField::WorkArea, &s.WorkArea}, std::pair{CsvField::Profile, &s.Profile},
                             std::pair{CsvField::Operator, &s.Operator}, std::pair{CsvField::Instrument, &s.Instrument}}) {
    if (Has(field)) ReadText(field, Cell(cells, field), *text, problems);
  }
  if (p_.type == dtFourPoleProfile && !Has(CsvField::Profile)) s.Profile = s.Name;

  // The key: x and y (of their columns; 0 and -0 alike), then the name.
  key.clear();
  for (auto [field, value] : {std::pair{CsvField::X, s.X}, std::pair{CsvField::Y, s.Y}}) {
    const float v = Has(field) && value != 0.0f ? value : 0.0f;
    char bits[sizeof v];
    std::memcpy(bits, &v, sizeof v);
    key.append(bits, sizeof v);
  }
  if (nameInKey) key += s.Name;
}

void Importer::CompareTexts(const sdata& known, const sdata& s, const std::vector<std::string_view>& cells,
                            std::size_t index, std::vector<std::string>& problems) {
  for (auto [field, mine, theirs] :
       {std::tuple{CsvField::WorkArea, &s.WorkArea, &known.WorkArea}, std::tuple{CsvField::Profile, &s.Profile, &known.Profile},
        std::tuple{CsvField::Operator, &s.Operator, &known.Operator},
        std::tuple{CsvField::Instrument, &s.Instrument, &known.Instrument}}) {
    // An empty cell takes the station's text.
    if (!Has(field) || Cell(cells, field).empty() || *mine == *theirs) continue;
    std::string theirText;
    try {
      theirText = GbkToUtf8(*theirs);
    } catch (const GbkError&) {
      theirText = "?";
    }
    problems.push_back(Fill(tmpl::kCsvTextDiffers, {CsvFieldLabel(field), Shown(Cell(cells, field), p_.encoding, kShownBytes),
                                                    Num(p_.stationRows[index].firstRow), theirText}));
  }
}

bool Importer::SameStationCells(const std::vector<std::string_view>& cells) const {
  for (std::size_t i = 0; i < stationFields_.size(); ++i)
    if (Cell(cells, stationFields_[i]) != lastStationCells_[i]) return false;
  return true;
}

void Importer::Data(int row, const std::vector<std::string_view>& cells) {
  if (cells.size() == headerCells_.size() && std::equal(cells.begin(), cells.end(), headerCells_.begin())) {
    Refuse(row, Fill(tmpl::kCsvRepeatedHeader, {Num(p_.headerRow)}));
    return;
  }
  if (RaggedRow(row, cells)) return;
  for (std::size_t i : unnamedColumns_)
    if (i < cells.size() && !IsBlank(cells[i])) unnamedWithData_[i] = true;

  std::vector<std::string> problems;

  // The readings.
  std::array<float, kColumnCount> values{};
  std::vector<CsvField> blank;
  bool anyReading = false;
  for (const ReadingColumn& c : readingColumns_) {
    // A missing cell of a reading column has been refused as a ragged row.
    const std::string_view raw = cells[c.cell];
    switch (ReadNumber(raw, values[c.model], nullptr)) {
      case NumberRead::Ok: anyReading = true; break;
      case NumberRead::Blank: blank.push_back(c.field); break;
      default: anyReading = true; problems.push_back(NotANumber(c.field, raw)); break;
    }
  }
  if (anyReading && !blank.empty()) problems.push_back(Fill(tmpl::kCsvBlank, {JoinLabels(blank)}));

  // The station.
  std::size_t index = kNoStation;
  std::optional<sdata> fresh;
  const bool continues = std::all_of(stationFields_.begin(), stationFields_.end(),
                                     [&](CsvField f) { return IsBlank(Cell(cells, f)); });
  if (continues) {
    if (lastStation_ == kNoStation) {
      problems.push_back(QT_TRANSLATE_NOOP("core", "没有测点信息，上面也没有可以接续的测点。"));
    } else if (lastStation_ == kRefusedStation) {
      problems.push_back(Fill(tmpl::kCsvAfterRefused, {Num(lastStationRow_)}));
    } else {
      index = lastStation_;
    }
  } else if (lastStation_ < kRefusedStation && SameStationCells(cells)) {
    index = lastStation_;
  } else {
    std::string key;
    ReadStation(cells, fresh.emplace(), key, problems);
    if (problems.empty()) {
      if (auto it = stationByKey_.find(key); it != stationByKey_.end()) {
        index = it->second;
        CompareTexts(p_.stations[index], *fresh, cells, index, problems);
      } else {
        stationByKey_.emplace(std::move(key), p_.stations.size());
      }
    }
  }

  if (!problems.empty()) {
    for (const std::string& text : problems) Refuse(row, text);
    if (!continues) {
      lastStation_ = kRefusedStation;
      lastStationRow_ = row;
    }
    return;
  }
  if (index == kNoStation) {
    index = p_.stations.size();
    // Stations of a survey mostly have as many readings as the one before.
    const std::size_t expected = index > 0 ? p_.stationRows.back().readings.size() : 0;
    p_.stations.push_back(std::move(*fresh));
    p_.stationRows.push_back({row, {}});
    for (const ReadingColumn& c : readingColumns_) p_.stations.back().Columns[c.model].reserve(expected);
    p_.stationRows.back().readings.reserve(expected);
  }
  if (!continues && index != lastStation_) {
    lastStation_ = index;
    lastStationCells_.clear();
    for (CsvField f : stationFields_) lastStationCells_.emplace_back(Cell(cells, f));
  }
  if (!continues) lastStationRow_ = row;
  if (!anyReading) {
    declaringRows_.emplace_back(row, index);
    return;
  }
  sdata& s = p_.stations[index];
  for (const ReadingColumn& c : readingColumns_) s.Columns[c.model].push_back(values[c.model]);
  p_.stationRows[index].readings.push_back(row);
}

void Importer::Finish() {
  if (undecidedRow_ != 0) {
    // What the file says depends on a guess: nothing is offered until the caller chooses.
    p_.encodingUndecided = true;
    p_.fileError = Fill(tmpl::kCsvUndecidedEncoding, {Num(undecidedRow_), Shown(undecidedText_, CsvEncoding::Utf8, kShownBytes),
                                                       Shown(undecidedText_, CsvEncoding::Gbk, kShownBytes)});
  }
  if (p_.headerRow == 0 && p_.fileError.empty()) p_.fileError = QT_TRANSLATE_NOOP("core", "文件中没有任何内容。");
  if (!p_.fileError.empty()) {
    // Nothing can be imported: no station is offered.
    p_.stations.clear();
    p_.stationRows.clear();
  } else if (p_.dataRows == 0) {
    p_.fileError = Fill(tmpl::kCsvHeaderOnly, {Num(p_.headerRow)});
  }
  for (auto [row, index] : declaringRows_) {
    if (index < p_.stations.size() && !p_.stationRows[index].readings.empty())
      Note(row, QT_TRANSLATE_NOOP("core", "没有观测值，只取了它的测点信息。"));
  }
  for (std::size_t i = 0; i < unnamedWithData_.size(); ++i)
    if (unnamedWithData_[i]) ColumnNote(p_.headerRow, tmpl::kCsvUnnamedColumn, i);

  const std::vector<int>& zeroFilled = p_.typeKnown ? LayoutFor(p_.type).zeroFilled : std::vector<int>{};
  for (sdata& s : p_.stations) {
    const std::size_t rows = s.Columns[colAB2].size();
    for (int k : zeroFilled) s.Columns[static_cast<std::size_t>(k)].assign(rows, 0.0f);
    s.SpacingCount = static_cast<std::int32_t>(rows);
  }
  std::stable_sort(p_.problems.begin(), p_.problems.end(),
                   [](const CsvRowProblem& a, const CsvRowProblem& b) { return a.row < b.row; });
}

// ---- Encoding and separator ----

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

// A message for bytes that are no CSV text at all, or "".
std::string NotATextFile(std::string_view bytes) {
  if (StartsWith(bytes, "\xFF\xFE") || StartsWith(bytes, "\xFE\xFF"))
    return QT_TRANSLATE_NOOP("core", "文件是 UTF-16 编码（“Unicode 文本”）的，请在电子表格中另存为“CSV UTF-8（逗号分隔）”后再导入。");
  if (StartsWith(bytes, "PK\x03\x04") || StartsWith(bytes, "\xD0\xCF\x11\xE0"))
    return QT_TRANSLATE_NOOP("core", "这是 Excel 工作簿，不是 CSV 文件：请在电子表格中另存为“CSV UTF-8（逗号分隔）”后再导入。");
  if (bytes.find('\0') != std::string_view::npos) return QT_TRANSLATE_NOOP("core", "文件中有 NUL 字节，不是文本文件。");
  return "";
}

// The separator of the body and the row of a "sep=" line (0 when there is none).
std::pair<char, int> FindSeparator(std::string_view body, CsvEncoding encoding) {
  if (StartsWith(body, "sep=") && body.size() >= 5) {
    const char c = body[4];
    const bool alone = body.size() == 5 || body[5] == '\r' || body[5] == '\n';
    if (alone && c != '"' && c != '\r' && c != '\n') return {c, 1};
  }
  // The first line holding more than blanks and separators.
  std::string_view line;
  for (std::size_t pos = 0; pos < body.size();) {
    std::size_t end = body.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = body.size();
    line = body.substr(pos, end - pos);
    if (line.find_first_not_of(" \t,;") != std::string_view::npos) break;
    line = {};
    pos = end + 1;
  }
  char best = ',';
  std::size_t bestKnown = 0, bestCells = 0;
  for (char separator : {',', ';', '\t'}) {
    std::size_t known = 0, count = 0;
    ReadCsvRows(line, separator, [&](int, const std::vector<std::string_view>& cells) {
      if (count > 0) return;
      count = cells.size();
      for (std::string_view cell : cells)
        if (CsvFieldOfHeader(Shown(cell, encoding)) != CsvField::Unknown) ++known;
    });
    if (known > bestKnown || (known == bestKnown && count > bestCells)) {
      best = separator;
      bestKnown = known;
      bestCells = count;
    }
  }
  return {best, 0};
}

// The rows read to find the header: a table's title and comments stand above it.
constexpr std::size_t kHeaderSearchBytes = 64 * 1024;

// The row of the header: the first row naming a known column, else the first non-empty row
// that is no comment; 0 for none. (The caller's mapping of columns applies to this row.)
int FindHeaderRow(std::string_view body, char separator, CsvEncoding encoding, int separatorRow) {
  std::string_view head = body.substr(0, kHeaderSearchBytes);
  if (head.size() < body.size()) {
    const std::size_t end = head.find_last_of('\n');
    if (end != std::string_view::npos) head = head.substr(0, end + 1);
  }
  int named = 0, first = 0;
  // A quote cut off at the end of the piece read is no error here: only rows before it count.
  ReadCsvRows(head, separator, [&](int row, const std::vector<std::string_view>& cells) {
    if (named != 0 || row == separatorRow || AllBlank(cells) || IsComment(cells)) return;
    if (first == 0) first = row;
    for (std::string_view cell : cells)
      if (CsvFieldOfHeader(Shown(cell, encoding)) != CsvField::Unknown) {
        named = row;
        return;
      }
  });
  return named != 0 ? named : first;
}

std::string ReadErrorMessage(const CsvReadError& e) {
  switch (e.kind) {
    case CsvReadError::Kind::BadQuote:
      return Fill(tmpl::kCsvBadQuote, {Num(e.row)});
    case CsvReadError::Kind::UnclosedQuote: return Fill(tmpl::kCsvUnclosedQuote, {Num(e.row)});
    case CsvReadError::Kind::NoMemory: return QT_TRANSLATE_NOOP("core", "内存不够，文件没能读完。");
    default: return "";
  }
}

}  // namespace

bool CsvPreview::CanImport() const { return fileError.empty() && !stations.empty(); }

std::size_t CsvPreview::ImportedReadings() const {
  std::size_t n = 0;
  for (const CsvStationRows& r : stationRows) n += r.readings.size();
  return n;
}

std::size_t CsvPreview::RefusedRowCount() const {
  std::size_t count = 0;
  int last = 0;
  for (const CsvRowProblem& p : problems) {
    if (!p.refused || p.row == last) continue;
    ++count;
    last = p.row;
  }
  return count;
}

CsvPreview PreviewCsv(std::string_view bytes, const CsvChoices& choices) {
  const CsvEncodingChoice choice = choices.encoding;
  CsvPreview p;
  if (bytes.empty()) {
    p.fileError = QT_TRANSLATE_NOOP("core", "文件是空的。");
    return p;
  }
  if (std::string error = NotATextFile(bytes); !error.empty()) {
    p.fileError = std::move(error);
    return p;
  }
  const bool bom = StartsWith(bytes, kBom);
  const std::string_view body = bom ? bytes.substr(kBom.size()) : bytes;
  // A file marked UTF-8 is not scanned as a whole: its texts are checked one by one.
  const Utf8Scan scan = bom || choice == CsvEncodingChoice::Gbk ? Utf8Scan{false, false, false} : ScanUtf8(body);
  const bool validUtf8 = scan.valid;
  // Chinese in UTF-8 takes three bytes a character; GBK text read as UTF-8 gives two-byte
  // characters. Texts of bytes that read both ways with only two-byte characters are not
  // guessed at.
  const bool gbkAlike = choice == CsvEncodingChoice::Detect && !bom && scan.valid && scan.twoByteChars &&
                        !scan.widerChars && IsValidGbk(body);
  switch (choice) {
    case CsvEncodingChoice::Detect:
      p.encoding = bom ? CsvEncoding::Utf8WithBom : validUtf8 ? CsvEncoding::Utf8 : CsvEncoding::Gbk;
      break;
    case CsvEncodingChoice::Utf8: p.encoding = bom ? CsvEncoding::Utf8WithBom : CsvEncoding::Utf8; break;
    case CsvEncodingChoice::Gbk: p.encoding = CsvEncoding::Gbk; break;
  }
  const auto [separator, separatorRow] = FindSeparator(body, p.encoding);
  p.separator = separator;

  const int headerRow = FindHeaderRow(body, separator, p.encoding, separatorRow);
  Importer importer(p, body, validUtf8, gbkAlike, choice == CsvEncodingChoice::Detect, separatorRow, headerRow, choices);
  const CsvReadError error =
      ReadCsvRows(body, separator, [&](int row, const std::vector<std::string_view>& cells) { importer.Row(row, cells); });
  if (error.kind != CsvReadError::Kind::None && p.fileError.empty()) p.fileError = ReadErrorMessage(error);
  importer.Finish();
  return p;
}

CsvPreview PreviewCsvFile(const std::string& path, const CsvChoices& choices) {
  std::string bytes;
  std::string error;
  // A file that is no text is refused at the first piece that shows it (a zero byte, or the
  // start of a UTF-16 text or a workbook), as the whole of it would be, without reading on.
  const auto noText = [](std::string_view read, std::size_t pieceStart) {
    if (read.size() < 4) return false;
    return read.find('\0', pieceStart) != std::string_view::npos ||
           (pieceStart < 4 && !NotATextFile(read.substr(0, 4)).empty());
  };
  const ReadStatus status = ReadWholeFile(path, bytes, error, kMaxReadBytes, noText);
  if (status != ReadStatus::Complete) {
    CsvPreview p;
    p.fileError = status == ReadStatus::CannotOpen ? Fill(tmpl::kCsvCannotOpen, {path, error})
                                                   : ReadStatusMessage(status, kMaxReadBytes);
    return p;
  }
  return PreviewCsv(bytes, choices);
}

const char* CsvEncodingLabel(CsvEncoding encoding) {
  switch (encoding) {
    case CsvEncoding::Utf8WithBom: return QT_TRANSLATE_NOOP("core", "UTF-8（带 BOM）");
    case CsvEncoding::Utf8: return "UTF-8";
    default: return "GBK";
  }
}

const char* CsvSeparatorLabel(char separator) {
  switch (separator) {
    case ',': return QT_TRANSLATE_NOOP("core", "逗号");
    case ';': return QT_TRANSLATE_NOOP("core", "分号");
    case '\t': return QT_TRANSLATE_NOOP("core", "制表符");
    default: return QT_TRANSLATE_NOOP("core", "其他");
  }
}
