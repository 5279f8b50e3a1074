#pragma once
// The observation grid. It keeps the numbering the window's logic is written in: row 0 is the
// header row (shown as the table's header), column 0 holds the row numbers (a read-only
// column), rows 1 .. rowCount()-1 are data rows. Every handler reads and writes the grid
// through cell()/setCell() with that numbering; nothing else does the off-by-one.

#include <QTableWidget>

class StringGrid : public QTableWidget {
  Q_OBJECT
 public:
  explicit StringGrid(QWidget* parent = nullptr);

  // Rows including the header row (never less than 1).
  int rowCount() const;
  void setRowCount(int rows);
  int colCount() const;
  void setColCount(int cols);

  // Text of a cell; row 0 is the header row. Cells outside the grid read as empty text.
  QString cell(int col, int row) const;
  void setCell(int col, int row, const QString& text);

  // The data row holding the focused cell (1-based), or 0 when there is none.
  int currentDataRow() const;
  // Focuses a cell of a data row.
  void setCurrentCell(int col, int row);

  // Puts the text of an open cell editor into its cell and closes the editor. A command run
  // from a menu (the grid's context menu, the menu bar, a shortcut) leaves the editor open, and
  // would otherwise read the cell's old text and later have it overwritten by the editor.
  void commitEdit();

 protected:
  // The row-number column is never edited.
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
};
