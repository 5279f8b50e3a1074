#include "session/formstate.h"

#include <algorithm>

#include "io/textconv.h"

namespace {
const std::string kEmpty;
}

GridTexts::GridTexts(int rows, int cols) : rows_(std::max(rows, 1)), cols_(std::max(cols, 1)) {
  cells_.resize(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(cols_));
}

void GridTexts::setRows(int rows) {
  rows_ = std::max(rows, 1);
  cells_.resize(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(cols_));
}

void GridTexts::setCols(int cols) {
  cols = std::max(cols, 1);
  if (cols == cols_) return;
  std::vector<std::string> cells(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(cols));
  for (int r = 0; r < rows_; ++r)
    for (int c = 0; c < std::min(cols, cols_); ++c)
      cells[static_cast<std::size_t>(r) * static_cast<std::size_t>(cols) + static_cast<std::size_t>(c)] = std::move(cells_[at(c, r)]);
  cells_ = std::move(cells);
  cols_ = cols;
}

const std::string& GridTexts::cell(int col, int row) const {
  if (col < 0 || col >= cols_ || row < 0 || row >= rows_) return kEmpty;
  return cells_[at(col, row)];
}

void GridTexts::setCell(int col, int row, std::string text) {
  if (col < 0 || col >= cols_ || row < 0 || row >= rows_) return;
  cells_[at(col, row)] = std::move(text);
}

void GridTexts::shiftDown(int from) {
  if (from < 1 || from >= rows_) return;
  for (int r = rows_ - 1; r > from; --r)
    for (int c = 1; c < cols_; ++c) cells_[at(c, r)] = std::move(cells_[at(c, r - 1)]);
  for (int c = 1; c < cols_; ++c) cells_[at(c, from)].clear();
}

void GridTexts::shiftUp(int from) {
  if (from < 1 || from >= rows_) return;
  for (int r = from; r + 1 < rows_; ++r)
    for (int c = 1; c < cols_; ++c) cells_[at(c, r)] = std::move(cells_[at(c, r + 1)]);
  for (int c = 1; c < cols_; ++c) cells_[at(c, rows_ - 1)].clear();
}

std::string RowLabel(int n) { return std::to_string(n); }

std::string ShownText(const std::string& gbk) {
  try {
    return GbkToUtf8(gbk);
  } catch (const GbkError&) {
    std::string out;
    for (unsigned char c : gbk) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
  }
}

std::vector<std::string> ColumnTexts(const GridTexts& grid, int col) {
  std::vector<std::string> out;
  if (col < 1) return out;
  out.reserve(static_cast<std::size_t>(grid.rows()));
  for (int r = 1; r < grid.rows(); ++r) out.push_back(grid.cell(col, r));
  return out;
}
