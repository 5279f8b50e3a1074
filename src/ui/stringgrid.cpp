#include "ui/stringgrid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <algorithm>

namespace {
// Column 0 holds the row numbers: shown like a header, never edited.
void StyleNumberCell(QTableWidgetItem* item) {
  item->setFlags(Qt::ItemIsEnabled);
  item->setBackground(QPalette().button());
  item->setTextAlignment(Qt::AlignCenter);
}

// Room beside a column's widest text, and the least width of a value column (room to type).
constexpr int kColumnPadding = 12;
constexpr int kMinValueColumnWidth = 72;

// The cell editor's keys: Enter (Shift+Enter) and Tab (Shift+Tab) commit the text, close the
// editor and move on, as in a spreadsheet, instead of editing the next cell.
class CellDelegate : public QStyledItemDelegate {
 public:
  CellDelegate(StringGrid* grid, QObject* parent) : QStyledItemDelegate(parent), grid_(grid) {}

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    auto* editor = qobject_cast<QWidget*>(object);
    if (editor != nullptr && event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
      const bool enter = (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
                         (mods == Qt::NoModifier || mods == Qt::ShiftModifier);
      const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
      if (enter || tab) {
        const int k = key->key();
        emit commitData(editor);
        emit closeEditor(editor, QAbstractItemDelegate::NoHint);
        grid_->setFocus(Qt::OtherFocusReason);
        grid_->moveAfterEdit(k, mods);
        return true;
      }
    }
    return QStyledItemDelegate::eventFilter(object, event);
  }

 private:
  StringGrid* grid_;
};
}  // namespace

// The view of the frozen columns: the grid's own cells and selection, laid over its left edge.
// It never keeps the focus (the grid takes it); its cells are edited here, where they can be
// seen.
class StringGrid::FrozenView : public QTableView {
 public:
  explicit FrozenView(StringGrid* grid) : QTableView(grid) {
    setObjectName(QStringLiteral("SGFrozen"));
    setModel(grid->model());
    setSelectionModel(grid->selectionModel());
    setFocusPolicy(Qt::ClickFocus);
    setFocusProxy(grid);
    setFrameShape(QFrame::NoFrame);
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionsMovable(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(grid->verticalScrollMode());
    setSelectionMode(grid->selectionMode());
    setEditTriggers(grid->editTriggers());
    setItemDelegate(new CellDelegate(grid, this));
    // The grid's context menu, wherever the click is.
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, grid, [this, grid](const QPoint& pos) {
      emit grid->customContextMenuRequested(grid->viewport()->mapFromGlobal(viewport()->mapToGlobal(pos)));
    });
  }

  bool editCell(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    return QTableView::edit(index, trigger, event);
  }

  void commitEdit() {
    if (state() != QAbstractItemView::EditingState) return;
    if (QWidget* editor = indexWidget(currentIndex())) {
      commitData(editor);
      closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
  }

 protected:
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override {
    if (index.column() == 0) return false;
    return QTableView::edit(index, trigger, event);
  }
};

StringGrid::StringGrid(QWidget* parent) : QTableWidget(parent) {
  verticalHeader()->hide();
  horizontalHeader()->setSectionsMovable(false);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  // Columns are sized to the values in view, not to thousands of rows out of sight.
  horizontalHeader()->setResizeContentsPrecision(0);
  verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setTabKeyNavigation(true);
  // Sideways by pixels, so that a column scrolled into view can be placed beside the frozen ones.
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  // Typing into a cell replaces its text, whether it was reached by a click or by the keys; a
  // second click does not open the editor with the caret placed by the click (typing would
  // append to the old value). F2 and a double click edit the text in place.
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::AnyKeyPressed);
  setItemDelegate(new CellDelegate(this, this));
  QTableWidget::setColumnCount(3);
  QTableWidget::setRowCount(4);

  frozen_ = new FrozenView(this);
  viewport()->stackUnder(frozen_);
  connect(model(), &QAbstractItemModel::columnsInserted, this, [this] { hideUnfrozenColumns(); });
  connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int logical, int, int size) {
    if (logical < kFrozenColumns) {
      frozen_->setColumnWidth(logical, size);
      placeFrozenView();
    }
  });
  connect(verticalHeader(), &QHeaderView::sectionResized, this,
          [this](int logical, int, int size) { frozen_->setRowHeight(logical, size); });
  connect(frozen_->verticalScrollBar(), &QAbstractSlider::valueChanged, verticalScrollBar(), &QAbstractSlider::setValue);
  connect(verticalScrollBar(), &QAbstractSlider::valueChanged, frozen_->verticalScrollBar(), &QAbstractSlider::setValue);
  hideUnfrozenColumns();
  placeFrozenView();
  frozen_->show();
}

QTableView* StringGrid::frozenView() const { return frozen_; }

void StringGrid::hideUnfrozenColumns() {
  if (frozen_ == nullptr) return;
  for (int c = 0; c < columnCount(); ++c) {
    frozen_->setColumnHidden(c, c >= kFrozenColumns);
    if (c < kFrozenColumns) frozen_->setColumnWidth(c, columnWidth(c));
  }
  placeFrozenView();
}

void StringGrid::placeFrozenView() {
  if (frozen_ == nullptr) return;
  int width = 0;
  for (int c = 0; c < std::min(kFrozenColumns, columnCount()); ++c) width += columnWidth(c);
  frozen_->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
  frozen_->setGeometry(frameWidth(), frameWidth(), width, viewport()->height() + horizontalHeader()->height());
}

void StringGrid::resizeEvent(QResizeEvent* event) {
  QTableWidget::resizeEvent(event);
  placeFrozenView();
}

void StringGrid::updateGeometries() {
  QTableWidget::updateGeometries();
  placeFrozenView();
}

int StringGrid::rowCount() const { return QTableWidget::rowCount() + 1; }

void StringGrid::setRowCount(int rows) { QTableWidget::setRowCount(std::max(rows, 1) - 1); }

int StringGrid::colCount() const { return QTableWidget::columnCount(); }

void StringGrid::setColCount(int cols) {
  const int old = QTableWidget::columnCount();
  QTableWidget::setColumnCount(std::max(cols, 1));
  // A column coming back starts without a header text until one is written.
  for (int c = old; c < QTableWidget::columnCount(); ++c) setHorizontalHeaderItem(c, new QTableWidgetItem());
  hideUnfrozenColumns();
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

void StringGrid::setHeaderTip(int col, const QString& tip) {
  if (col < 0 || col >= colCount()) return;
  QTableWidgetItem* h = horizontalHeaderItem(col);
  if (h == nullptr) {
    h = new QTableWidgetItem();
    setHorizontalHeaderItem(col, h);
  }
  if (h->toolTip() != tip) h->setToolTip(tip);
}

int StringGrid::currentDataRow() const {
  const int r = currentRow();
  return r < 0 ? 0 : r + 1;
}

void StringGrid::setCurrentCell(int col, int row) {
  if (row >= 1) QTableWidget::setCurrentCell(row - 1, col);
}

std::optional<CellRange> StringGrid::selectedCells() const {
  const QList<QTableWidgetSelectionRange> ranges = selectedRanges();
  if (!ranges.isEmpty()) {
    CellRange r{ranges[0].leftColumn(), ranges[0].topRow() + 1, ranges[0].rightColumn(), ranges[0].bottomRow() + 1};
    for (const QTableWidgetSelectionRange& s : ranges) {
      r.left = std::min(r.left, s.leftColumn());
      r.right = std::max(r.right, s.rightColumn());
      r.top = std::min(r.top, s.topRow() + 1);
      r.bottom = std::max(r.bottom, s.bottomRow() + 1);
    }
    return r;
  }
  const QModelIndex current = currentIndex();
  if (!current.isValid()) return std::nullopt;
  return CellRange{current.column(), current.row() + 1, current.column(), current.row() + 1};
}

void StringGrid::selectCells(const CellRange& range) {
  clearSelection();
  const int top = std::max(range.top, 1) - 1;
  const int bottom = std::min(range.bottom, rowCount() - 1) - 1;
  const int left = std::max(range.left, 0);
  const int right = std::min(range.right, colCount() - 1);
  if (top > bottom || left > right) return;
  selectionModel()->setCurrentIndex(model()->index(top, left), QItemSelectionModel::NoUpdate);
  setRangeSelected(QTableWidgetSelectionRange(top, left, bottom, right), true);
  scrollTo(model()->index(top, left));
}

void StringGrid::fitColumns(bool shrink) {
  for (int c = 0; c < colCount(); ++c) {
    int wanted = std::max(sizeHintForColumn(c), horizontalHeader()->sectionSizeHint(c)) + kColumnPadding;
    if (c > 0) wanted = std::max(wanted, kMinValueColumnWidth);
    if (shrink || wanted > columnWidth(c)) setColumnWidth(c, wanted);
  }
}

void StringGrid::commitEdit() {
  frozen_->commitEdit();
  if (state() != QAbstractItemView::EditingState) return;
  if (QWidget* editor = indexWidget(currentIndex())) {
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
  }
}

void StringGrid::goTo(int tableRow, int col) {
  const QModelIndex index = model()->index(tableRow, col);
  if (!index.isValid()) return;
  selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
  scrollTo(index);
}

void StringGrid::moveAfterEdit(int key, Qt::KeyboardModifiers modifiers) {
  const QModelIndex current = currentIndex();
  if (!current.isValid()) return;
  if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
    const bool back = key == Qt::Key_Backtab || (modifiers & Qt::ShiftModifier);
    const QModelIndex next = moveCursor(back ? MovePrevious : MoveNext, Qt::NoModifier);
    if (next.isValid()) goTo(next.row(), next.column());
    return;
  }
  // Enter goes down (Shift+Enter up) and stays at the last (first) row.
  const int row = std::clamp(current.row() + ((modifiers & Qt::ShiftModifier) ? -1 : 1), 0, QTableWidget::rowCount() - 1);
  goTo(row, current.column());
}

bool StringGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
  if (index.column() == 0) return false;
  if (index.column() < kFrozenColumns) return frozen_->editCell(index, trigger, event);
  return QTableWidget::edit(index, trigger, event);
}

void StringGrid::keyPressEvent(QKeyEvent* event) {
  const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
  const int key = event->key();
  if ((key == Qt::Key_Return || key == Qt::Key_Enter) && (mods == Qt::NoModifier || mods == Qt::ShiftModifier)) {
    moveAfterEdit(key, mods);
    event->accept();
    return;
  }
  if ((key == Qt::Key_Delete || key == Qt::Key_Backspace) && mods == Qt::NoModifier) {
    emit clearRequested();
    event->accept();
    return;
  }
  QTableWidget::keyPressEvent(event);
}

QModelIndex StringGrid::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) {
  const QModelIndex current = currentIndex();
  const int lastCol = columnCount() - 1;
  const int lastRow = QTableWidget::rowCount() - 1;
  if (current.isValid() && lastCol >= 1 && (cursorAction == MoveNext || cursorAction == MovePrevious)) {
    // Tab goes across the value cells and on to the first value cell of the next row; at the
    // last cell (Shift+Tab: the first) it leaves the grid.
    int row = current.row();
    int col = current.column();
    if (cursorAction == MoveNext) {
      if (col < 1) {
        col = 1;
      } else if (col < lastCol) {
        ++col;
      } else if (row < lastRow) {
        ++row;
        col = 1;
      } else {
        return QModelIndex();
      }
    } else {
      if (col > 1) {
        --col;
      } else if (row > 0) {
        --row;
        col = lastCol;
      } else {
        return QModelIndex();
      }
    }
    return model()->index(row, col);
  }
  // The arrows and Home never land on the row numbers.
  QModelIndex next = QTableWidget::moveCursor(cursorAction, modifiers);
  if (next.isValid() && next.column() == 0 && lastCol >= 1) next = model()->index(next.row(), 1);
  return next;
}

void StringGrid::scrollTo(const QModelIndex& index, ScrollHint hint) {
  QTableWidget::scrollTo(index, hint);
  if (frozen_ == nullptr || !index.isValid() || index.column() < kFrozenColumns) return;
  // A cell scrolled into view at the left edge would lie under the frozen columns.
  const int covered = frozen_->width();
  const QRect rect = visualRect(index);
  if (rect.left() < covered) horizontalScrollBar()->setValue(horizontalScrollBar()->value() - (covered - rect.left()));
}
