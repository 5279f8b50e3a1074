#pragma once
// Helpers of the survey tests: a survey in its own temporary folder with scripted questions,
// typing into its fields and grid, stations built in memory, and files read back.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

#include "io/textconv.h"
#include "model/sdata.h"
#include "../ui/support/stationbuilder.h"  // BuildStation: a unit as the commit builds it
#include "scriptedquestions.h"
#include "session/survey.h"

namespace sessiontest {

// ---- Texts the survey shows ----
inline const std::string kNotANumber = "输入的不是有效的数字。\n\n\t请重新输入.";
inline const std::string kCountLetters = "极距个数输入无效的字母.";
inline const std::string kCountWrong = "极距个数输入不正确.\n\n\t请重新输入。";
inline const std::string kSameCoordinates = "与该点坐标一样的测点已经输入，请更改点号或坐标后再插入。";
inline const std::string kLineComplete = "您已经输入完成一条联合剖面的数据输入。请保存输入结果！";
inline const std::string kShownStationEdited = "当前测点的数据已修改，是否更新?";
inline const std::string kUnsavedWarning = "输入的数据尚没有保存，是否现在保存它们?";
inline const std::string kSaveBeforeClose = "是否保存输入的数据?";
inline const std::string kSaveFailed = "文件保存失败.\n非常抱歉，您的处理结果没有及时保存。";
inline const std::string kFolderTitle = "选择保存数据的目录...";
inline std::string Illegal(int n) { return "第 " + std::to_string(n) + " 个极距数据非法。\n\n\n\t请检查。"; }
inline std::string Repeated(int n) { return "第 " + std::to_string(n) + " 个极距数据重复。\n\n\n\t请检查。"; }
inline std::string ReplaceLineFile(const std::string& path) {
  return "文件 " + path + " 已经存在，是否用当前测线的数据替换它?";
}

inline const std::vector<std::string> kDefaultSpacings = {"1.5", "2.5", "4.0", "6",   "9",   "15", "25",
                                                          "40",  "60",  "90",  "150", "225", "340"};

// ---- Files ----

// A fresh folder below the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "session_test_XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      ADD_FAILURE() << "mkdtemp failed for " << pattern;
      return;
    }
    path_ = pattern;
  }
  ~TempDir() {
    if (path_.empty()) return;
    std::error_code ignored;
    // Files made read-only by a test are removable: only the folders' permissions count.
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// The bytes of a file; nothing when it cannot be opened or read.
inline std::optional<std::string> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

inline bool WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return !out.fail();
}

inline std::string Fixture(const std::string& name) {
  const std::optional<std::string> bytes = ReadBytes(std::string(FIXTURES_DIR) + "/" + name);
  EXPECT_TRUE(bytes.has_value()) << "fixture " << name << " cannot be read";
  return bytes.value_or(std::string());
}

// Every file below folder: relative path -> bytes (folders map to "/"), to show what changed.
inline std::map<std::string, std::string> Snapshot(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    const std::string rel = std::filesystem::relative(entry.path(), folder).string();
    if (entry.is_directory()) {
      files[rel] = "/";
    } else {
      const std::optional<std::string> bytes = ReadBytes(entry.path().string());
      EXPECT_TRUE(bytes.has_value()) << rel << " cannot be read";
      files[rel] = bytes.value_or(std::string());
    }
  }
  return files;
}

// ---- A survey in a temporary folder ----

struct Session {
  TempDir dir;
  ScriptedQuestions q;
  Survey survey;

  Session() : survey(q, dir.path() + "/bin/fieldinput") {}
  std::string path(const std::string& name) const { return dir.path() + "/" + name; }
};

// Everything of the survey a command might change, for "nothing changed" checks.
struct SurveyState {
  DataType type;
  StationList stations;
  int currentIndex;
  bool saved;
  bool browsing;
  std::string status;
  FormState form;

  explicit SurveyState(const Survey& s)
      : type(s.type()),
        stations(s.stations()),
        currentIndex(s.currentIndex()),
        saved(s.saved()),
        browsing(s.browsing()),
        status(s.status()),
        form(s.form()) {}
  bool operator==(const SurveyState&) const = default;
};

// ---- Typing ----

// The count typed and its field left: the grid takes count + 1 rows.
inline void SetCount(Survey& s, int count) {
  s.editField(Field::EAB, std::to_string(count));
  s.checkCount();
}

inline void FillColumn(Survey& s, int col, const std::vector<std::string>& values) {
  for (std::size_t r = 0; r < values.size(); ++r) s.editCell(col, static_cast<int>(r) + 1, values[r]);
}

// Sets the count to rows.size() and types each row, its cells (columns 1, 2, ...) joined by '|'.
inline void FillRows(Survey& s, const std::vector<std::string>& rows) {
  SetCount(s, static_cast<int>(rows.size()));
  for (std::size_t r = 0; r < rows.size(); ++r) {
    int col = 1;
    std::string::size_type start = 0;
    for (;;) {
      const auto bar = rows[r].find('|', start);
      s.editCell(col++, static_cast<int>(r) + 1, rows[r].substr(start, bar == std::string::npos ? std::string::npos : bar - start));
      if (bar == std::string::npos) break;
      start = bar + 1;
    }
  }
}

// Rows 1 .. of a grid column.
inline std::vector<std::string> Column(const GridTexts& g, int col) {
  std::vector<std::string> out;
  for (int r = 1; r < g.rows(); ++r) out.push_back(g.cell(col, r));
  return out;
}

// The data rows, cells of columns 1 .. joined by '|'.
inline std::vector<std::string> Rows(const GridTexts& g) {
  std::vector<std::string> out;
  for (int r = 1; r < g.rows(); ++r) {
    std::string row;
    for (int c = 1; c < g.cols(); ++c) row += (c > 1 ? "|" : "") + g.cell(c, r);
    out.push_back(row);
  }
  return out;
}

inline std::vector<std::string> RowNumbers(const GridTexts& g) { return Column(g, 0); }
inline std::vector<std::string> Numbers(int n) {
  std::vector<std::string> out;
  for (int i = 1; i <= n; ++i) out.push_back(std::to_string(i));
  return out;
}

// ---- Stations ----

// A sounding station with spacings 1.5, 2.5, 4 and the given resistivities.
inline sdata Sounding(const std::string& name, float x, float rho1 = 10, float rho2 = 20, float rho3 = 30) {
  return BuildStation(dtSounding, name, x, {{1.5f, rho1}, {2.5f, rho2}, {4.0f, rho3}});
}

// A profile line or branch of two points at x.
inline sdata Profile(const std::string& name, float x, float y = 0.0f) {
  return BuildStation(dtFourPoleProfile, name, x, {{20, 50, 20, 100 + x}, {40, 50, 20, 200 + x}}, y);
}

// Three sounding stations at x 0, 50, 100, as a run of commits leaves them (unsaved).
inline StationList ThreeSoundings() { return {Sounding("S1", 0, 11), Sounding("S2", 50, 12), Sounding("S3", 100, 13)}; }

// count lines of one resistivity each, from 100 + first on (a block to paste).
inline std::string ResistivityBlock(int count, int first = 0) {
  std::string out;
  for (int i = 0; i < count; ++i) out += std::to_string(100 + first + i) + ".5\n";
  return out;
}

// 13 rows of the seven water-finding columns, tab-separated (a block to paste).
inline std::string WaterFindingBlock() {
  std::string out;
  for (int r = 0; r < 13; ++r) {
    out += kDefaultSpacings[static_cast<std::size_t>(r)] + "\t" + std::to_string(100 + r) + "\t1.5\t2\t45\t0.5\t1.25\n";
  }
  return out;
}

// A valid value for every measured cell of the type's grid, different per row and column.
inline void FillValues(Survey& s) {
  const GridTexts& g = s.form().grid;
  const int first = s.type() == dtSounding || s.type() == dtWaterFinding ? 2 : 4;
  for (int r = 1; r < g.rows(); ++r)
    for (int c = first; c < g.cols(); ++c) s.editCell(c, r, std::to_string(100 * c + r));
}

}  // namespace sessiontest

// Readable failures for the survey's values.
inline void PrintTo(const FormState& f, std::ostream* os) {
  *os << "{fields:";
  for (const std::string& t : f.fields) *os << " [" << t << "]";
  *os << " branch " << f.branch << " grid " << f.grid.rows() << "x" << f.grid.cols() << ":";
  for (int r = 0; r < f.grid.rows() && r < 20; ++r) {
    *os << " /";
    for (int c = 0; c < f.grid.cols(); ++c) *os << (c ? "|" : "") << f.grid.cell(c, r);
  }
  *os << "}";
}

inline void PrintTo(const sdata& s, std::ostream* os) {
  *os << "{" << s.Name << " x " << s.X << " y " << s.Y << " z " << s.Z << " n " << s.SpacingCount << " cols:";
  for (const auto& column : s.Columns) {
    *os << " [";
    for (float v : column) *os << v << " ";
    *os << "]";
  }
  *os << " model:";
  for (std::size_t k = 0; k < s.Model.Resistivity.size() && k < s.Model.Thickness.size(); ++k)
    *os << " " << s.Model.Thickness[k] << "/" << s.Model.Resistivity[k];
  *os << "}";
}

namespace sessiontest {
inline void PrintTo(const SurveyState& s, std::ostream* os) {
  *os << "{type " << s.type << " stations " << s.stations.size() << " index " << s.currentIndex << " saved " << s.saved
      << " browsing " << s.browsing << " status " << s.status << " form ";
  ::PrintTo(s.form, os);
  *os << "}";
}
}  // namespace sessiontest
