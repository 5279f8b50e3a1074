#pragma once
// What the input window's controls hold, as texts: the station fields, the branch choice and
// the observation grid. The survey keeps it so that its rules (checks, commits, layouts) work
// on typed text without any widget, and so that the window only has to show it.

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "model/sdata.h"

// The station fields, in the order of the window's form.
enum class Field { ES, EP, EW, EX, EY, EO, EI, EAB };
inline constexpr std::size_t kFieldCount = 8;

// The grid's texts, numbered as the window shows them: row 0 is the header row, column 0 holds
// the row numbers, rows 1 .. rows()-1 are data rows. Cells outside the grid read as empty text
// and writes outside it are ignored.
class GridTexts {
 public:
  GridTexts(int rows = 1, int cols = 1);
  int rows() const { return rows_; }
  int cols() const { return cols_; }
  // Never fewer than one row (the header) or one column; new cells are empty.
  void setRows(int rows);
  void setCols(int cols);
  const std::string& cell(int col, int row) const;
  void setCell(int col, int row, std::string text);
  // Moves the cells of every column of rows [from, rows()-1) one row down, leaving row from
  // empty and dropping the last row's texts; column 0 is not moved.
  void shiftDown(int from);
  // Moves the cells of every column of rows (from, rows()) one row up over row from, leaving the
  // last row empty; column 0 is not moved.
  void shiftUp(int from);
  bool operator==(const GridTexts&) const = default;

 private:
  std::size_t at(int col, int row) const { return static_cast<std::size_t>(row) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(col); }
  int rows_;
  int cols_;
  std::vector<std::string> cells_;
};

struct FormState {
  std::array<std::string, kFieldCount> fields;
  int branch = 0;  // 0 RhoA, 1 RhoB
  GridTexts grid;
  // The layered model accepted or edited for the station being typed: it goes with the station
  // when committed, and with its readings when they are emptied. Always empty while a committed
  // station is shown, whose model is its own (sdata::Model).
  StationModel model;

  const std::string& field(Field f) const { return fields[static_cast<std::size_t>(f)]; }
  std::string& field(Field f) { return fields[static_cast<std::size_t>(f)]; }
  bool operator==(const FormState&) const = default;
};

// The window's text of GBK bytes; a byte that is not GBK (never made by this program) shows as
// '?' and keeps the rest readable.
std::string ShownText(const std::string& gbk);

// The texts of column col of the data rows (1 ..), in row order; none for a column < 1.
std::vector<std::string> ColumnTexts(const GridTexts& grid, int col);

// The row label of grid row n: its decimal number.
std::string RowLabel(int n);
