#pragma once
// Blocks of cells as text, the way spreadsheets put them on the clipboard: rows on lines (CR LF
// or LF), cells separated by tabs. A text without any tab, as typed or copied from a notebook
// file, is split at commas, semicolons (ASCII or full width) and runs of blanks instead.
//
// A comma may also be a decimal comma ("1,5" from a spreadsheet of a comma-decimal locale), and
// one number must never become two cells. Where tabs or semicolons separate the cells, a comma
// between digits in a cell is a decimal comma and becomes the decimal point ("1,5" gives
// "1.5"). A text with neither, in which a comma stands between two digits and no number has a
// decimal point, could be either: it is undecided until the caller says how to read commas.

#include <string>
#include <string_view>
#include <vector>

#include "session/formstate.h"

// A rectangle of grid cells, in the grid's numbering (row 0 the header, column 0 the row
// numbers), both corners included.
struct CellRange {
  int left = 1;
  int top = 1;
  int right = 1;
  int bottom = 1;
  bool operator==(const CellRange&) const = default;
};

struct TextBlock {
  enum class Problem {
    None,
    NoText,  // nothing at all to paste
    NotText,  // control characters or bytes that are not UTF-8: not text of cells
    CommaUndecided,  // a comma between digits may be a decimal comma or a separator (Commas)
  };
  Problem problem = Problem::None;
  // The rows; a row shorter than width stands for a row with empty cells at its end.
  std::vector<std::vector<std::string>> rows;
  int width = 0;  // cells in the longest row, at least 1 when there is a row
};

// Splits clipboard text (UTF-8) into rows and cells. One line break at the very end ends the
// last row and adds none; an empty line is a row of empty cells. Tab-separated cells are taken
// as they are; in the other forms blanks around cells are dropped.
enum class Commas {
  Auto,       // decided by the text, as above
  Decimal,    // a comma between digits is a decimal comma; blanks and the others separate
  Separator,  // every comma separates cells (a text with tabs still splits at tabs only)
};
TextBlock ParseBlock(std::string_view text, Commas commas = Commas::Auto);

// Drops the first row of a block copied with its table's header (a row without a number that
// names a known column, such as "AB/2  视电阻率"): its texts are no readings. True when dropped.
bool DropHeaderRow(TextBlock& block);

// The value cells of range (column 0 and cells outside the grid left out) as tab-separated
// lines, each ended by a line break; empty when the range holds no value cell.
std::string BlockText(const GridTexts& grid, const CellRange& range);
