#include "ui/stringgrid.h"

#include <QHeaderView>

namespace {
// Column 0 holds the row numbers: shown like a header, never edited.
void StyleNumberCell(QTableWidgetItem* item) {
  item->setFlags(Qt::ItemIsEnabled);
  item->setBackground(QPalette().button());
  item->setTextAlignment(Qt::AlignCenter);
}
}  // namespace

StringGrid::StringGrid(QWidget* parent) : QTableWidget(parent) {
  verticalHeader()->hide();
  horizontalHeader()->setSectionsMovable(false);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setTabKeyNavigation(true);
  // Typing into a cell replaces its text, whether it was reached by a click or by the keys; a
  // second click does not open the editor with the caret placed by the click (typing would
  // append to the old value). F2 and a double click edit the text in place.
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::AnyKeyPressed);
  QTableWidget::setColumnCount(3);
  QTableWidget::setRowCount(4);
}

int StringGrid::rowCount() const { return QTableWidget::rowCount() + 1; }

void StringGrid::setRowCount(int rows) { QTableWidget::setRowCount(std::max(rows, 1) - 1); }

int StringGrid::colCount() const { return QTableWidget::columnCount(); }

void StringGrid::setColCount(int cols) {
  const int old = QTableWidget::columnCount();
  QTableWidget::setColumnCount(std::max(cols, 1));
  // A column coming back starts without a header text until one is written.
  for (int c = old; c < QTableWidget::columnCount(); ++c) setHorizontalHeaderItem(c, new QTableWidgetItem());
}

QString StringGrid::cell(int col, int row) const {
  if (col < 0 || col >= colCount() || row < 0 || row >= rowCount()) return QString();
  const QTableWidgetItem* it = row == 0 ? horizontalHeaderItem(col) : item(row - 1, col);
  return it ? it->text() : QString();
}

void StringGrid::setCell(int col, int row, const QString& text) {
  if (col < 0 || col >= colCount() || row < 0 || row >= rowCount()) return;
  if (row == 0) {
    if (auto* h = horizontalHeaderItem(col)) {
      h->setText(text);
    } else {
      setHorizontalHeaderItem(col, new QTableWidgetItem(text));
    }
    return;
  }
  if (auto* it = item(row - 1, col)) {
    it->setText(text);
    return;
  }
  auto* it = new QTableWidgetItem(text);
  if (col == 0) StyleNumberCell(it);
  setItem(row - 1, col, it);
}

int StringGrid::currentDataRow() const {
  const int r = currentRow();
  return r < 0 ? 0 : r + 1;
}

void StringGrid::setCurrentCell(int col, int row) {
  if (row >= 1) QTableWidget::setCurrentCell(row - 1, col);
}

void StringGrid::commitEdit() {
  if (state() != QAbstractItemView::EditingState) return;
  if (QWidget* editor = indexWidget(currentIndex())) {
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
  }
}

bool StringGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
  if (index.column() == 0) return false;
  return QTableWidget::edit(index, trigger, event);
}
