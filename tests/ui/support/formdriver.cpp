#include "formdriver.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QRadioButton>
#include <QTest>

#include "ui/widgets.h"

FormDriver::FormDriver() {
  form = std::make_unique<TInputDataForm>(dialogs, dir.path() + QStringLiteral("/bin/input"));
  form->show();
  QApplication::setActiveWindow(form.get());
  if (!QTest::qWaitForWindowActive(form.get())) qWarning("input window did not become active");
}

FormDriver::~FormDriver() {
  // Close without the close query: the test decides what it checks.
  if (form) form->hide();
}

QString FormDriver::path(const QString& name) const { return dir.filePath(name); }

void FormDriver::type(QLineEdit* edit, const QString& text) {
  focus(edit);
  edit->selectAll();
  enterText(edit, text);
}

void FormDriver::enterText(QWidget* editor, const QString& text) {
  if (text.isEmpty()) {
    QTest::keyClick(editor, Qt::Key_Delete);
    return;
  }
  bool latin1 = true;
  for (QChar c : text) latin1 = latin1 && c.unicode() < 0x80;
  if (latin1) {
    QTest::keyClicks(editor, text);
    return;
  }
  // Chinese and other text comes in through the input method, as a user's IME commits it.
  QInputMethodEvent commit;
  commit.setCommitString(text);
  QApplication::sendEvent(editor, &commit);
}

void FormDriver::focus(QWidget* widget) {
  widget->setFocus(Qt::TabFocusReason);
  QApplication::processEvents();
}

void FormDriver::typeCell(int col, int row, const QString& text) {
  StringGrid* grid = form->SG;
  focus(grid);
  grid->setCurrentCell(col, row);
  // F2 opens the cell's editor with its text selected; what is typed replaces it and Return
  // commits it (the delegate commits through a queued call, hence the event processing).
  QTest::keyClick(grid, Qt::Key_F2);
  QWidget* editor = QApplication::focusWidget();
  if (editor == nullptr || editor == grid) return;
  if (auto* line = qobject_cast<QLineEdit*>(editor)) line->selectAll();
  enterText(editor, text);
  QTest::keyClick(editor, Qt::Key_Return);
  QApplication::processEvents();
}

void FormDriver::setCell(int col, int row, const QString& text) { form->SG->setCell(col, row, text); }

void FormDriver::press(Qt::Key key, Qt::KeyboardModifiers modifiers) {
  QWidget* target = QApplication::focusWidget();
  QTest::keyClick(target != nullptr ? target : form.get(), key, modifiers);
  QApplication::processEvents();
}

void FormDriver::keys(const QString& text) {
  for (QChar c : text) {
    QWidget* target = QApplication::focusWidget();
    QTest::keyClick(target != nullptr ? target : form.get(), c.toLatin1());
  }
  QApplication::processEvents();
}

void FormDriver::startAt(int col, int row) {
  focus(form->SG);
  form->SG->setCurrentCell(col, row);
}

std::pair<int, int> FormDriver::currentCell() const {
  const QModelIndex index = form->SG->currentIndex();
  return index.isValid() ? std::pair<int, int>{index.column(), index.row() + 1} : std::pair<int, int>{-1, 0};
}

void FormDriver::click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

void FormDriver::trigger(QAction* action) { action->trigger(); }

void FormDriver::chooseDataType(int index) {
  auto* item = form->DataType->findChild<QRadioButton*>(QStringLiteral("item%1").arg(index));
  QTest::mouseClick(item, Qt::LeftButton);
}

void FormDriver::fillRows(const QList<std::pair<QString, QString>>& rows) {
  type(form->EAB, QString::number(rows.size()));
  form->leaveCount();
  for (int i = 0; i < rows.size(); ++i) {
    setCell(1, i + 1, rows[i].first);
    setCell(2, i + 1, rows[i].second);
  }
}

void FormDriver::load(StationList stations, int currentIndex, bool saved) {
  form->survey().load(form->survey().type(), std::move(stations), currentIndex, saved);
}
