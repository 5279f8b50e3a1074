#pragma once
// Pieces shared by the sounding and profile files: the fixed header lines (GBK bytes, made
// once), the check of a header line's marks, and equal spacings within one station.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "io/messages.h"
#include "io/textconv.h"
#include "io/textfile.h"
#include "io/textinput.h"
#include "model/sdata.h"

namespace fileformat {

// Line 1 of every data file.
inline const std::string& IdentLine() {
  static const std::string line = Gbk("QL电法数据处理软件文件.");
  return line;
}

// Line 3 of the sounding and profile .dat files: twelve names between fixed blank runs.
inline const std::string& ColumnHeaderLine() {
  static const std::string line = "N    AB/2   MN/2    RO   IP   R   TH  TD   ZP   X1  X2  X3";
  return line;
}

// The sounding mark that line 2 of a .ves or sounding .dat file must hold.
inline const std::string& SoundingMark() {
  static const std::string mark = Gbk("测深");
  return mark;
}

// Passes a message box to the window, when there is a window to show it.
inline void Tell(const NoticeFn& notify, const char* text, Notice::Icon icon, bool ownerless = false) {
  if (notify) notify(Notice{text, icon, ownerless});
}

// The bytes at the start of a header line that are examined for the marks of the format: the
// marks stand near the start of the header lines, and the rest of a longer line is passed over.
inline constexpr std::size_t kExaminedHeaderBytes = 255;

// Whether the examined start of a header line holds every mark.
inline bool HasMarks(std::string_view line, std::initializer_list<std::string_view> marks) {
  line = line.substr(0, kExaminedHeaderBytes);
  for (std::string_view mark : marks)
    if (!GbkContains(line, mark)) return false;
  return true;
}

// Reads the next line (an empty one at the end of the data) and tells whether its first
// 255 bytes hold every mark.
inline bool HeaderLineHasMarks(TextInput& in, std::initializer_list<std::string_view> marks) {
  std::string_view line;
  if (!in.ReadLineStart(line, kExaminedHeaderBytes)) line = {};
  return HasMarks(line, marks);
}

// Reads the whole file at path (at most limit bytes) and gives its bytes to read; a result with
// the status of ReadWholeFile when that is not Complete.
template <class Result, class Read>
Result ReadFileWith(const std::string& path, std::uint64_t limit, Read read) {
  std::string bytes;
  std::string error;
  const ReadStatus status = ReadWholeFile(path, bytes, error, limit);
  if (status != ReadStatus::Complete) {
    Result result;
    result.status = status;
    return result;
  }
  return read(std::string_view(bytes));
}

// Runs a reader; when memory runs out, what it had read is let go and the result is an empty
// one with status OutOfMemory, so that the caller rewrites nothing.
template <class Result, class Read>
Result KeepingNothingOnMemoryFailure(Read read) {
  try {
    return read();
  } catch (const std::bad_alloc&) {
    Result result;
    result.status = ReadStatus::OutOfMemory;
    return result;
  }
}

// Reads header lines 1 and 2 of a sounding file: line 1 must hold "QL", line 2 every one of
// line2Marks. The first mark missing is told to the window with its message (error icon).
inline bool ReadHeaderMarks(TextInput& in, std::initializer_list<std::string_view> line2Marks,
                            const NoticeFn& notify) {
  if (!HeaderLineHasMarks(in, {"QL"})) {
    Tell(notify, msg::kNotQlFormat, Notice::Icon::Error);
    return false;
  }
  if (!HeaderLineHasMarks(in, line2Marks)) {
    Tell(notify, msg::kNotVesFormat, Notice::Icon::Error);
    return false;
  }
  return true;
}

// Two spacings are one when their 32-bit values differ by less than 0.01.
inline bool SameSpacing(float a, float b) {
  return std::fabs(static_cast<double>(a) - static_cast<double>(b)) < 0.01;
}

// The mean of two values of a folded row, kept as a 32-bit float.
inline float MeanOf(float a, float b) {
  return static_cast<float>((static_cast<double>(a) + static_cast<double>(b)) * 0.5);
}

// Gives Columns[3] to Columns[8] exactly as many entries as Columns[1] (0.0 for each missing
// one; a value without a spacing is never written), so that the row sort, the folds and rows
// appended later keep every value beside its spacing.
inline void FitValueColumns(sdata& s) {
  const std::size_t rows = s.Columns[colAB2].size();
  for (int c = colRho; c <= colR; ++c)
    if (s.Columns[c].size() != rows) s.Columns[c].resize(rows, 0.0f);
}

// Folds rows of one station whose spacings are the same into the first of them, which keeps
// its own AB/2; each later row is compared with the row in place after a removal, so three
// rows of one spacing end as one. The apparent resistivity becomes the mean of the two rows;
// with averageAll the induced-polarisation columns (Columns[4] to [8]) are averaged too,
// otherwise the first row keeps its values there. Columns[colRho] is as long as the spacings;
// another column is either as long too or not held (empty).
//
// Row by row this is: a row joins the earliest row before it that stayed and has the same
// spacing, and stays when there is none; the rows a row takes in are averaged into it in file
// order. Rows that stay are at least 0.01 apart, so only a few lie near any spacing: they are
// looked up in an ordered map instead of comparing every pair. Rows are then compacted.
inline void FoldEqualSpacings(sdata& s, bool averageAll) {
  auto& ab2 = s.Columns[colAB2];
  const std::size_t rows = ab2.size();
  std::map<double, std::size_t> kept;  // spacing -> row, for the rows that stayed so far
  std::vector<bool> stays(rows, true);
  bool folded = false;
  for (std::size_t j = 0; j < rows; ++j) {
    const double spacing = ab2[j];
    if (!std::isfinite(spacing)) continue;  // never the same spacing as any row
    // A little wider than the tolerance; SameSpacing decides.
    auto it = kept.lower_bound(spacing - 0.0101);
    const auto stop = kept.upper_bound(spacing + 0.0101);
    std::size_t into = rows;
    for (; it != stop; ++it)
      if (it->second < into && SameSpacing(ab2[it->second], ab2[j])) into = it->second;
    if (into == rows) {
      kept.emplace(spacing, j);
      continue;
    }
    stays[j] = false;
    folded = true;
    for (int c = colRho; c <= colR; ++c) {
      auto& col = s.Columns[c];
      if (col.size() == rows && (c == colRho || averageAll)) col[into] = MeanOf(col[into], col[j]);
    }
  }
  if (folded) {
    for (int c = colAB2; c <= colR; ++c) {
      if (c == colMN2) continue;
      auto& col = s.Columns[c];
      if (col.size() != rows) continue;  // a column the station does not hold
      std::size_t out = 0;
      for (std::size_t j = 0; j < rows; ++j)
        if (stays[j]) col[out++] = col[j];
      col.resize(out);
    }
  }
  s.SpacingCount = static_cast<std::int32_t>(ab2.size());
}

}  // namespace fileformat
