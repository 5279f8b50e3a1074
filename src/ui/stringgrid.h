#pragma once
// The observation grid. It keeps the numbering the window's logic is written in: row 0 is the
// header row (shown as the table's header), column 0 holds the row numbers (a read-only
// column), rows 1 .. rowCount()-1 are data rows. Every handler reads and writes the grid
// through cell()/setCell() with that numbering; nothing else does the off-by-one.
//
// It moves like a spreadsheet: Enter commits a cell and goes down (Shift+Enter up), Tab and
// Shift+Tab go across the value cells and on to the next or previous row, the arrows never
// land on the row numbers, typing replaces a cell, Delete and Backspace ask to empty the
// selected cells. The row-number and spacing (or point) columns stay in view when the grid
// scrolls sideways: a second view of the same cells, showing only those two columns, lies over
// the left edge of the grid (the way Qt's "frozen column" example does it) and edits them.

#include <QTableWidget>
#include <optional>

#include "session/gridblock.h"

class QStyledItemDelegate;

class StringGrid : public QTableWidget {
  Q_OBJECT
 public:
  // Columns that stay in view when the grid scrolls sideways.
  static constexpr int kFrozenColumns = 2;

  explicit StringGrid(QWidget* parent = nullptr);

  // Rows including the header row (never less than 1).
  int rowCount() const;
  void setRowCount(int rows);
  int colCount() const;
  void setColCount(int cols);

  // Text of a cell; row 0 is the header row. Cells outside the grid read as empty text.
  QString cell(int col, int row) const;
  void setCell(int col, int row, const QString& text);
  // The tooltip of a column's heading.
  void setHeaderTip(int col, const QString& tip);

  // The data row holding the focused cell (1-based), or 0 when there is none.
  int currentDataRow() const;
  // Focuses a cell of a data row.
  void setCurrentCell(int col, int row);
  // The selected cells (or the current cell), in the grid's numbering; nothing when there is
  // no cell.
  std::optional<CellRange> selectedCells() const;
  // Selects a range of data cells, its top-left cell current.
  void selectCells(const CellRange& range);

  // Sizes the columns to their headings and the values in view; with shrink false a column is
  // only ever widened, so that it does not jump while values are typed.
  void fitColumns(bool shrink);

  // Puts the text of an open cell editor into its cell and closes the editor. A command run
  // from a menu (the grid's context menu, the menu bar, a shortcut) leaves the editor open, and
  // would otherwise read the cell's old text and later have it overwritten by the editor.
  void commitEdit();

  // After a cell editor was closed by Enter (down, or up with Shift) or Tab (across): moves
  // the current cell on.
  void moveAfterEdit(int key, Qt::KeyboardModifiers modifiers);

  // Room for the 13 default rows and the widest grid's headings.
  QSize sizeHint() const override { return {620, 460}; }

  // The view over the frozen columns (for tests: where cells of columns 0 and 1 are edited).
  QTableView* frozenView() const;

 signals:
  // Delete or Backspace on selected cells: the window empties them.
  void clearRequested();

 protected:
  // The row-number column is never edited; the frozen columns are edited in their own view.
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
  void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
  void resizeEvent(QResizeEvent* event) override;
  void updateGeometries() override;

 private:
  class FrozenView;
  void placeFrozenView();
  void hideUnfrozenColumns();
  // Makes (data row, column) current and selected.
  void goTo(int tableRow, int col);

  FrozenView* frozen_ = nullptr;  // made once the grid is set up
};
