// Blocks of cells on the clipboard: splitting a text into rows and cells, pasting a block into
// the grid (growing it within the type's limit, dropping what falls outside), copying, cutting
// and emptying a range of cells.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "session/gridblock.h"
#include "survey_support.h"

using namespace sessiontest;

namespace {

using Cells = std::vector<std::vector<std::string>>;

const std::string kNothingToPaste = "剪贴板中没有可以粘贴的文本。";
const std::string kNotCellText = "剪贴板中的内容不是文字，不能粘贴到表格中。";
std::string TooManyRows(int needed, int limit) {
  return "粘贴这些数据需要 " + std::to_string(needed) + " 行，超过了本数据类型最多 " + std::to_string(limit) +
         " 行的限制，没有粘贴。";
}
std::string Dropped(int n) { return "有 " + std::to_string(n) + " 个单元格落在序号列或最后一列之外，没有粘贴。"; }

// n lines of the given text, each ended by a line break.
std::string Lines(int n, const std::string& line, const char* end = "\n") {
  std::string out;
  for (int i = 0; i < n; ++i) out += line + end;
  return out;
}

// The cells of a rectangle of the grid, row by row.
Cells Rect(const GridTexts& g, const CellRange& r) {
  Cells out;
  for (int row = r.top; row <= r.bottom; ++row) {
    out.emplace_back();
    for (int c = r.left; c <= r.right; ++c) out.back().push_back(g.cell(c, row));
  }
  return out;
}

// A 13 x 7 block as a spreadsheet copies it: AB/2, resistivity and the five induced-
// polarisation parameters of the water-finding grid, tab-separated, CR LF after every row.
Cells WaterBlock() {
  Cells rows;
  for (int r = 0; r < 13; ++r) {
    rows.push_back({kDefaultSpacings[static_cast<std::size_t>(r)], std::to_string(100 + r) + ".5",
                    std::to_string(r) + ".25", std::to_string(2 + r), "45." + std::to_string(r), "0.5",
                    "1." + std::to_string(r)});
  }
  return rows;
}

std::string TabText(const Cells& rows, const char* end) {
  std::string out;
  for (const auto& row : rows) {
    for (std::size_t c = 0; c < row.size(); ++c) out += (c ? "\t" : "") + row[c];
    out += end;
  }
  return out;
}

}  // namespace

// Rows on lines, cells at tabs; without a tab, at commas, semicolons and runs of blanks.
TEST(ParseBlock, SplitsRowsAndCells) {
  struct Case {
    const char* name;
    std::string text;
    Cells rows;
    int width;
  };
  const Case cases[] = {
      {"tabs, CR LF after every row", "1.5\t100\r\n2.5\t120\r\n", {{"1.5", "100"}, {"2.5", "120"}}, 2},
      {"tabs, LF, no break at the end", "1.5\t100\n2.5\t120", {{"1.5", "100"}, {"2.5", "120"}}, 2},
      {"a CR alone breaks a line", "1\r2\r", {{"1"}, {"2"}}, 1},
      {"empty cells between tabs", "1\t\t3\n\t\t\n", {{"1", "", "3"}, {"", "", ""}}, 3},
      {"tab cells keep their blanks", " 1 \t2\n", {{" 1 ", "2"}}, 2},
      {"a column with an empty cell", "1\n\n3\n", {{"1"}, {}, {"3"}}, 1},
      {"ragged rows", "1\t2\t3\n4\n5\t6\n", {{"1", "2", "3"}, {"4"}, {"5", "6"}}, 3},
      {"commas", "1.5,100\n2.5,120\n", {{"1.5", "100"}, {"2.5", "120"}}, 2},
      {"commas with blanks around", " 1.5 , 100 ,7\n", {{"1.5", "100", "7"}}, 3},
      {"two commas leave an empty cell", "1,,3\n", {{"1", "", "3"}}, 3},
      {"a comma at the end leaves an empty cell", "1.0,2,\n", {{"1.0", "2", ""}}, 3},
      {"semicolons", "1;2;3\n", {{"1", "2", "3"}}, 3},
      {"runs of blanks", "  1.5   100  35\n2.5 120\n", {{"1.5", "100", "35"}, {"2.5", "120"}}, 3},
      {"full-width separators and blanks", "1\uff0c2\uff1b3\u30004\n", {{"1", "2", "3", "4"}}, 4},
      {"a tab anywhere makes tabs the separator", "1 2\t3\n4;5\n", {{"1 2", "3"}, {"4;5"}}, 2},
      // Where tabs or semicolons separate, a comma between digits is a decimal comma.
      {"decimal commas between tabs", "1,5\t61,5\n-0,25\t3,5e2\n", {{"1.5", "61.5"}, {"-0.25", "3.5e2"}}, 2},
      {"decimal commas between semicolons", "1,5;61,5\n2,5 ; 70\n", {{"1.5", "61.5"}, {"2.5", "70"}}, 2},
      {"full-width semicolons", "1,5\uff1b61,5\n", {{"1.5", "61.5"}}, 2},
      {"texts that are no number keep their commas", "a,b\t1,2,3\t1.234,5\n", {{"a,b", "1,2,3", "1.234,5"}}, 3},
      // Numbers with decimal points: the commas separate.
      {"points decide that commas separate", "1.5,61\n2,70.5\n", {{"1.5", "61"}, {"2", "70.5"}}, 2},
      {"one line break is one empty cell", "\r\n", {{}}, 1},
      {"text that is not a number stays as it is", "abc\t测线\n", {{"abc", "测线"}}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TextBlock b = ParseBlock(c.text);
    EXPECT_EQ(b.problem, TextBlock::Problem::None);
    EXPECT_EQ(b.rows, c.rows);
    EXPECT_EQ(b.width, c.width);
  }
}

// A comma between digits in a text with neither tabs, semicolons nor decimal points may be
// either; the caller's choice decides.
TEST(ParseBlock, UndecidedCommasFollowTheCallersChoice) {
  struct Case {
    std::string text;
    Cells decimal;
    Cells separator;
  };
  const Case cases[] = {
      {"1,5\n61,5\n", {{"1.5"}, {"61.5"}}, {{"1", "5"}, {"61", "5"}}},
      {"1,5 61,5\n", {{"1.5", "61.5"}}, {{"1", "5", "61", "5"}}},
      {"10,20\n", {{"10.20"}}, {{"10", "20"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseBlock(c.text).problem, TextBlock::Problem::CommaUndecided);
    EXPECT_TRUE(ParseBlock(c.text).rows.empty());
    EXPECT_EQ(ParseBlock(c.text, Commas::Decimal).rows, c.decimal);
    EXPECT_EQ(ParseBlock(c.text, Commas::Separator).rows, c.separator);
  }
  // Commas with blanks beside them, or none between digits, are separators without a question.
  EXPECT_EQ(ParseBlock("10, 20\n").rows, (Cells{{"10", "20"}}));
  EXPECT_EQ(ParseBlock("1,,3\n").rows, (Cells{{"1", "", "3"}}));
}

TEST(ParseBlock, RefusesWhatIsNoTextOfCells) {
  const std::pair<std::string, TextBlock::Problem> cases[] = {
      {"", TextBlock::Problem::NoText},
      {std::string("1\t2\0\n", 5), TextBlock::Problem::NotText},
      {"\x01\x02\x03\x04", TextBlock::Problem::NotText},
      {"1\x1b[0m\n", TextBlock::Problem::NotText},
      {"\xff\xfe" "1\x00", TextBlock::Problem::NotText},
      {"\xe6\xb5", TextBlock::Problem::NotText},  // a character cut short
      {"\xc0\xb1", TextBlock::Problem::NotText},  // an overlong form
  };
  for (const auto& [text, problem] : cases) {
    SCOPED_TRACE(testing::PrintToString(text));
    EXPECT_EQ(ParseBlock(text).problem, problem);
  }
}

// A 13 x 7 block copied from a spreadsheet fills the water-finding grid; copied back it gives
// the same text, and pasted elsewhere the same cells.
TEST(Paste, SpreadsheetBlockIntoTheWaterFindingGrid) {
  Session t;
  Survey& s = t.survey;
  ASSERT_TRUE(s.switchType(dtWaterFinding));
  const Cells block = WaterBlock();
  const auto pasted = s.paste(1, 1, TabText(block, "\r\n"));
  ASSERT_TRUE(pasted.has_value());
  EXPECT_EQ(*pasted, (CellRange{1, 1, 7, 13}));
  EXPECT_TRUE(t.q.messages.empty());
  EXPECT_EQ(Rect(s.form().grid, {1, 1, 7, 13}), block);
  EXPECT_EQ(s.form().field(Field::EAB), "13");
  EXPECT_EQ(s.form().grid.rows(), 14);
  EXPECT_EQ(s.undoName(), "粘贴");

  const std::string copied = s.copy({0, 1, 7, 13});  // the row numbers are not copied
  EXPECT_EQ(copied, TabText(block, "\n"));
  // Pasted back lower down, the cells are the same; the grid grows by the rows it needs.
  ASSERT_TRUE(s.paste(1, 10, copied));
  EXPECT_EQ(Rect(s.form().grid, {1, 10, 7, 22}), block);
  EXPECT_EQ(s.form().field(Field::EAB), "22");
  EXPECT_EQ(RowNumbers(s.form().grid), Numbers(22));
}

// A block copied with its table's header row: the header is not pasted, the readings go where
// the first cell was put. A first row holding a number, or no known column name, is pasted.
TEST(Paste, HeaderRowOfACopiedTableIsLeftOut) {
  Session t;
  Survey& s = t.survey;
  const auto pasted = s.paste(1, 1, "极距\t视电阻率\n1.5\t100\n2.5\t120\n");
  ASSERT_TRUE(pasted.has_value());
  EXPECT_EQ(*pasted, (CellRange{1, 1, 2, 2}));
  EXPECT_EQ(Rect(s.form().grid, {1, 1, 2, 2}), (Cells{{"1.5", "100"}, {"2.5", "120"}}));
  EXPECT_TRUE(t.q.messages.empty());

  ASSERT_TRUE(s.paste(2, 1, "AB/2 (m), Rho (Ohm.m)\n110\n"));  // English names with units
  EXPECT_EQ(s.form().grid.cell(2, 1), "110");
  ASSERT_TRUE(s.paste(2, 1, "OK\n120\n"));  // no column name: a text typed as a reading
  EXPECT_EQ(s.form().grid.cell(2, 1), "OK");
  ASSERT_TRUE(s.paste(1, 1, "1.5\t视电阻率\n"));  // a number in it: no header
  EXPECT_EQ(s.form().grid.cell(2, 1), "视电阻率");

  t.q.clear();
  EXPECT_FALSE(s.paste(2, 1, "视电阻率\n"));  // the header alone: nothing to paste
  EXPECT_EQ(t.q.texts(), std::vector<std::string>{"剪贴板中没有可以粘贴的文本。"});
}

// More rows than the grid has grow the grid and the count within the type's limit; beyond it
// the limit is named and nothing changes.
TEST(Paste, GrowsTheGridWithinTheLimit) {
  struct Case {
    const char* name;
    DataType type;
    int row;
    int lines;
    int rowsAfter;  // data rows after the paste; 0: refused
    int limit;
  };
  const Case cases[] = {
      {"sounding, 20 rows from row 5", dtSounding, 5, 20, 24, 49},
      {"sounding, up to the 49th row", dtSounding, 10, 40, 49, 49},
      {"sounding, one row too many", dtSounding, 11, 40, 0, 49},
      {"water finding, 100,000 lines", dtWaterFinding, 1, 100000, 0, 49},
      {"inside the grid nothing grows", dtWaterFinding, 3, 5, 13, 49},
      {"four-pole, 10,000 points", dtFourPoleProfile, 1, 10000, 10000, 100000},
      {"combined, 100,000 lines from row 2", dtCombinedProfile, 2, 100000, 0, 100000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Session t;
    Survey& s = t.survey;
    ASSERT_TRUE(s.switchType(c.type));
    if (c.type == dtFourPoleProfile || c.type == dtCombinedProfile) SetCount(s, 5);
    const SurveyState before(s);
    const std::string lastStep = s.undoName();
    const auto pasted = s.paste(1, c.row, Lines(c.lines, "7\t8"));
    if (c.rowsAfter == 0) {
      EXPECT_FALSE(pasted.has_value());
      EXPECT_EQ(t.q.texts(), std::vector<std::string>{TooManyRows(c.row + c.lines - 1, c.limit)});
      EXPECT_EQ(SurveyState(s), before);
      EXPECT_EQ(s.undoName(), lastStep);
      continue;
    }
    ASSERT_TRUE(pasted.has_value());
    EXPECT_TRUE(t.q.messages.empty());
    const GridTexts& g = s.form().grid;
    EXPECT_EQ(g.rows(), c.rowsAfter + 1);
    EXPECT_EQ(s.form().field(Field::EAB), std::to_string(c.rowsAfter));
    EXPECT_EQ(RowNumbers(g), Numbers(c.rowsAfter));
    EXPECT_EQ(g.cell(1, c.row), "7");
    EXPECT_EQ(g.cell(2, c.row + c.lines - 1), "8");
    EXPECT_EQ(g.cell(1, c.row - 1), before.form.grid.cell(1, c.row - 1));
  }
}

// Cells that fall on the row-number column or beyond the last column are dropped, with one
// message counting them; the rest is pasted.
TEST(Paste, CellsOutsideTheValueColumnsAreDropped) {
  struct Case {
    const char* name;
    int col;
    std::string text;
    std::vector<std::string> rows;  // rows 1 .. 3 afterwards
    int dropped;
  };
  const Case cases[] = {
      {"from the row-number column", 0, "9\t1.5\t10\n9\t2.5\t20\n", {"1.5|10", "2.5|20", "4.0|"}, 2},
      {"beyond the last column", 2, "10;11;12\n20;21\n", {"1.5|10", "2.5|20", "4.0|"}, 3},
      {"a ragged row counts only its own cells", 2, "10 11\n20\n30 31 32\n", {"1.5|10", "2.5|20", "4.0|30"}, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Session t;
    Survey& s = t.survey;
    ASSERT_TRUE(s.paste(c.col, 1, c.text).has_value());
    EXPECT_EQ(t.q.texts(), std::vector<std::string>{Dropped(c.dropped)});
    std::vector<std::string> rows = Rows(s.form().grid);
    rows.resize(3);
    EXPECT_EQ(rows, c.rows);
    EXPECT_EQ(RowNumbers(s.form().grid), Numbers(13));
  }
}

// Short rows empty the cells after their end; texts that are not numbers go in as typed and the
// commit refuses them, naming the cell.
TEST(Paste, RaggedRowsAndTextsAsTyped) {
  Session t;
  Survey& s = t.survey;
  ASSERT_TRUE(s.switchType(dtWaterFinding));
  FillValues(s);
  ASSERT_TRUE(s.paste(2, 2, "1\t2\t3\n4\n5\t\xF0\x9F\x98\x80\n").has_value());
  const GridTexts& g = s.form().grid;
  EXPECT_EQ(Rect(g, {2, 2, 4, 4}), (Cells{{"1", "2", "3"}, {"4", "", ""}, {"5", "\xF0\x9F\x98\x80", ""}}));
  EXPECT_EQ(g.cell(5, 3), "503");  // beyond the block's width nothing changes
  EXPECT_TRUE(t.q.messages.empty());

  EXPECT_FALSE(s.commit());
  ASSERT_EQ(t.q.messages.size(), 1u);
  EXPECT_EQ(t.q.messages[0].details, "第 3 行，综合激电参数");
  EXPECT_EQ(t.q.messages[0].focus, FocusTarget::onCell(3, 3));
}

// A clipboard without text or with binary data: a message, and nothing changes.
TEST(Paste, NoTextOrBinaryChangesNothing) {
  const std::pair<std::string, std::string> cases[] = {
      {"", kNothingToPaste},
      {std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), kNotCellText},
      {"\xd5\xe2\xca\xc7", kNotCellText},  // GBK bytes, not UTF-8
  };
  for (const auto& [text, message] : cases) {
    SCOPED_TRACE(message);
    Session t;
    Survey& s = t.survey;
    const SurveyState before(s);
    EXPECT_FALSE(s.paste(1, 1, text).has_value());
    EXPECT_EQ(t.q.texts(), std::vector<std::string>{message});
    EXPECT_EQ(SurveyState(s), before);
    EXPECT_FALSE(s.canUndo());
  }
}

// "1,5;61,5" on three lines is three readings of AB/2 1.5 and resistivity 61.5; a text whose
// commas may be either asks, and Cancel pastes nothing.
TEST(Paste, DecimalCommasNeverMakeTwoNumbers) {
  const std::string kCommaQuestion =
      "要粘贴的文字中，逗号可能是小数点（1,5 即 1.5），也可能分隔单元格（1,5 是 1 和 5 两个单元格）。\n\n"
      "逗号是小数点吗？\n是：逗号是小数点，单元格之间用空格分隔。\n否：逗号分隔单元格。\n取消：不粘贴。";
  struct Case {
    const char* name;
    std::string text;
    std::optional<Answer> answer;  // to the question, when one is asked
    std::vector<std::string> rows;  // the first three rows after the paste, "" when nothing pasted
  };
  const Case cases[] = {
      {"semicolons", Lines(3, "1,5;61,5"), std::nullopt, {"1.5|61.5", "1.5|61.5", "1.5|61.5"}},
      {"tabs", Lines(3, "1,5\t61,5"), std::nullopt, {"1.5|61.5", "1.5|61.5", "1.5|61.5"}},
      {"blanks, commas are decimal", Lines(3, "1,5 61,5"), Answer::Yes, {"1.5|61.5", "1.5|61.5", "1.5|61.5"}},
      {"commas separate", Lines(3, "2,61"), Answer::No, {"2|61", "2|61", "2|61"}},
      {"cancelled", Lines(3, "1,5 61,5"), Answer::Cancel, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Session t;
    Survey& s = t.survey;
    const SurveyState before(s);
    if (c.answer) t.q.answer(*c.answer);

    const std::optional<CellRange> pasted = s.paste(1, 1, c.text);

    if (c.answer) {
      ASSERT_EQ(t.q.messages.size(), 1u);
      EXPECT_EQ(t.q.messages[0].text, kCommaQuestion);
      EXPECT_EQ(t.q.messages[0].buttons, Message::Buttons::YesNoCancel);
    } else {
      EXPECT_TRUE(t.q.messages.empty()) << t.q.texts().front();
    }
    if (c.rows.empty()) {
      EXPECT_FALSE(pasted.has_value());
      EXPECT_EQ(SurveyState(s), before);
      EXPECT_FALSE(s.canUndo());
    } else {
      ASSERT_TRUE(pasted.has_value());
      const std::vector<std::string> rows = Rows(s.form().grid);
      EXPECT_EQ(std::vector<std::string>(rows.begin(), rows.begin() + 3), c.rows);
    }
  }
}

// Cut copies and empties, clearing empties; both touch only value cells inside the grid.
TEST(Paste, CutAndClearEmptyValueCells) {
  Session t;
  Survey& s = t.survey;
  FillValues(s);
  const std::string text = s.cut({0, 2, 5, 3});
  EXPECT_EQ(text, "2.5\t202\n4.0\t203\n");
  EXPECT_EQ(Rows(s.form().grid)[0], "1.5|201");
  EXPECT_EQ(Rows(s.form().grid)[1], "|");
  EXPECT_EQ(Rows(s.form().grid)[2], "|");
  EXPECT_EQ(RowNumbers(s.form().grid), Numbers(13));
  EXPECT_EQ(s.undoName(), "剪切");

  s.clearCells({2, 10, 2, 40});
  EXPECT_EQ(Column(s.form().grid, 2)[8], "209");
  EXPECT_EQ(Column(s.form().grid, 2)[9], "");
  EXPECT_EQ(Column(s.form().grid, 2)[12], "");
  EXPECT_EQ(Column(s.form().grid, 1)[12], "340");
  EXPECT_EQ(s.undoName(), "清空单元格");
  EXPECT_EQ(s.copy({0, 1, 0, 13}), "");  // only row numbers: nothing to copy

  // Each took its cells back in one step; a paste of what the cells hold already is no step.
  ASSERT_TRUE(s.undo());
  ASSERT_TRUE(s.undo());
  EXPECT_EQ(Rows(s.form().grid)[1], "2.5|202");
  EXPECT_EQ(Column(s.form().grid, 2)[12], "213");
  ASSERT_TRUE(s.redo());
  EXPECT_EQ(Rows(s.form().grid)[1], "|");
  ASSERT_TRUE(s.undo());
  const std::string before = s.undoName();
  ASSERT_TRUE(s.paste(1, 1, "1.5\t201\n"));
  EXPECT_EQ(s.undoName(), before);
  EXPECT_EQ(s.redoName(), "剪切");
}
