// The grid's clipboard commands: pasting a block of cells, copying, cutting and emptying a
// range of cells. The window turns keys and the clipboard into these calls.

#include <algorithm>

#include "session/survey.h"
#include "io/templates.h"

namespace {
const char* const kStepPaste = QT_TRANSLATE_NOOP("core", "粘贴");
const char* const kStepCut = QT_TRANSLATE_NOOP("core", "剪切");
const char* const kStepClearCells = QT_TRANSLATE_NOOP("core", "清空单元格");
const char* const kNothingToPaste = QT_TRANSLATE_NOOP("core", "剪贴板中没有可以粘贴的文本。");
const char* const kNotCellText = QT_TRANSLATE_NOOP("core", "剪贴板中的内容不是文字，不能粘贴到表格中。");
const char* const kCommaQuestion = QT_TRANSLATE_NOOP(
    "core",
    "要粘贴的文字中，逗号可能是小数点（1,5 即 1.5），也可能分隔单元格（1,5 是 1 和 5 两个单元格）。\n\n"
    "逗号是小数点吗？\n是：逗号是小数点，单元格之间用空格分隔。\n否：逗号分隔单元格。\n取消：不粘贴。");

std::string TooManyRowsText(long long needed, int limit) {
  return Fill(tmpl::kPasteTooLong, {std::to_string(needed), std::to_string(limit)});
}

std::string DroppedCellsText(long long dropped) {
  return Fill(tmpl::kPasteDropped, {std::to_string(dropped)});
}
}  // namespace

std::optional<CellRange> Survey::paste(int col, int row, std::string_view text) {
  Batch batch(*this, kStepPaste);
  TextBlock block = ParseBlock(text);
  if (block.problem == TextBlock::Problem::CommaUndecided) {
    // "1,5" is one number or two cells: only the user knows, and a wrong guess would put wrong
    // numbers in the grid.
    switch (ask(Message::plain(kStepPaste, kCommaQuestion, Message::Icon::Question, Message::Buttons::YesNoCancel))) {
      case Answer::Yes: block = ParseBlock(text, Commas::Decimal); break;
      case Answer::No: block = ParseBlock(text, Commas::Separator); break;
      default: return std::nullopt;
    }
  }
  switch (block.problem) {
    case TextBlock::Problem::NoText: ask(Message::simple(kNothingToPaste)); return std::nullopt;
    case TextBlock::Problem::NotText: ask(Message::simple(kNotCellText)); return std::nullopt;
    case TextBlock::Problem::CommaUndecided:
    case TextBlock::Problem::None: break;
  }
  // A table copied with its header: the header's texts are no readings.
  if (DropHeaderRow(block) && block.rows.empty()) {
    ask(Message::simple(kNothingToPaste));
    return std::nullopt;
  }
  row = std::max(row, 1);
  col = std::max(col, 0);
  const long long lastRow = static_cast<long long>(row) + static_cast<long long>(block.rows.size()) - 1;
  // The whole block goes in or nothing does: a block beyond the type's limit changes nothing.
  if (lastRow >= form_.grid.rows()) {
    if (lastRow > rowLimit()) {
      ask(Message::simple(TooManyRowsText(lastRow, rowLimit())));
      return std::nullopt;
    }
    const int old = form_.grid.rows();
    setGridRows(static_cast<int>(lastRow) + 1);
    // The new rows' numbers and the cells pasted: one block of the history.
    beginBlock(static_cast<std::size_t>(lastRow - old + 1) + block.rows.size() * static_cast<std::size_t>(block.width));
    for (int r = old; r <= lastRow; ++r) setCell(0, r, RowLabel(r));
    setField(Field::EAB, std::to_string(lastRow));
  } else {
    beginBlock(block.rows.size() * static_cast<std::size_t>(block.width));
  }
  const int cols = form_.grid.cols();
  long long dropped = 0;
  for (std::size_t i = 0; i < block.rows.size(); ++i) {
    std::vector<std::string>& cells = block.rows[i];
    const int r = row + static_cast<int>(i);
    for (int j = 0; j < block.width; ++j) {
      const bool given = static_cast<std::size_t>(j) < cells.size();
      const long long c = static_cast<long long>(col) + j;
      if (c < 1 || c >= cols) {
        if (given) ++dropped;
        continue;
      }
      // A short row leaves the cells after its end empty.
      setCell(static_cast<int>(c), r, given ? std::move(cells[static_cast<std::size_t>(j)]) : std::string());
    }
  }
  endBlock();
  if (dropped > 0) ask(Message::simple(DroppedCellsText(dropped)));
  const CellRange pasted{std::max(col, 1), row, std::min(col + block.width - 1, cols - 1), static_cast<int>(lastRow)};
  if (pasted.left > pasted.right) return std::nullopt;
  return pasted;
}

std::string Survey::copy(const CellRange& range) const { return BlockText(form_.grid, range); }

std::string Survey::cut(const CellRange& range) {
  Batch batch(*this, kStepCut);
  std::string text = copy(range);
  clearCells(range);
  return text;
}

void Survey::clearCells(const CellRange& range) {
  Batch batch(*this, kStepClearCells);
  const int right = std::min(range.right, form_.grid.cols() - 1);
  const int bottom = std::min(range.bottom, form_.grid.rows() - 1);
  beginBlock(0);
  for (int r = std::max(range.top, 1); r <= bottom; ++r)
    for (int c = std::max(range.left, 1); c <= right; ++c) setCell(c, r, std::string());
  endBlock();
}
