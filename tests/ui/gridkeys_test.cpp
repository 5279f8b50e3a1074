// The grid's keyboard flow, driven by real key events: Enter and Shift+Enter, Tab and Shift+Tab
// across the value cells, the arrows, Delete and Backspace, Ctrl+Enter from anywhere; and a
// refused cell selected and focused after its message, named in the box's details.
#include <QTest>

#include "formdriver.h"

namespace {
using Cell = std::pair<int, int>;

bool InGrid(const TInputDataForm& f) {
  QWidget* w = QApplication::focusWidget();
  return w == f.SG || f.SG->isAncestorOf(w);
}


// Whether a cell editor is open and has the focus.
bool Editing(const TInputDataForm& f) {
  QWidget* w = QApplication::focusWidget();
  return qobject_cast<QLineEdit*>(w) != nullptr && f.SG->isAncestorOf(w);
}

QString SurveyCell(const TInputDataForm& f, int col, int row) {
  return QString::fromStdString(f.survey().form().grid.cell(col, row));
}
}  // namespace

class GridKeysTest : public QObject {
  Q_OBJECT
 private slots:
  // A column of readings typed from a notebook: Enter commits each and goes down, so the next
  // reading never overwrites the last; Shift+Enter goes up; at the last row Enter stays.
  void enterGoesDownTheColumn() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.startAt(2, 1);
    for (int r = 1; r <= 13; ++r) {
      d.keys(QString::number(100 + r));
      d.press(Qt::Key_Return);
      QCOMPARE(d.currentCell(), Cell(2, std::min(r + 1, 13)));
    }
    for (int r = 1; r <= 13; ++r) QCOMPARE(SurveyCell(f, 2, r), QString::number(100 + r));
    QVERIFY(!Editing(f));
    QVERIFY(InGrid(f));
    d.press(Qt::Key_Return);  // without an editor too
    QCOMPARE(d.currentCell(), Cell(2, 13));
    d.keys(QStringLiteral("7"));
    d.press(Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(SurveyCell(f, 2, 13), QStringLiteral("7"));
    QCOMPARE(d.currentCell(), Cell(2, 12));
    d.press(Qt::Key_Enter, Qt::ShiftModifier | Qt::KeypadModifier);
    QCOMPARE(d.currentCell(), Cell(2, 11));
    QCOMPARE(SurveyCell(f, 2, 12), QStringLiteral("112"));  // passed over, not changed
    QVERIFY(d.dialogs.messages.isEmpty());
  }

  // A row of the water-finding grid typed from an instrument screen: Tab commits each cell and
  // goes right, from the last cell of a row to the first value cell of the next (never to the
  // row numbers); Shift+Tab goes back. The spacing column is edited where it can be seen.
  void tabGoesAcrossTheValueCells() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.chooseDataType(dtWaterFinding);
    const QStringList row1 = {"1.5", "35.2", "3.75", "2.1", "45", "0.5", "1.25"};
    d.startAt(1, 1);
    for (int c = 1; c <= 7; ++c) {
      d.keys(row1[c - 1].left(1));
      if (c == 1) QVERIFY(f.SG->frozenView()->isAncestorOf(QApplication::focusWidget()));
      d.keys(row1[c - 1].mid(1));
      d.press(Qt::Key_Tab);
      QCOMPARE(d.currentCell(), c < 7 ? Cell(c + 1, 1) : Cell(1, 2));
    }
    for (int c = 1; c <= 7; ++c) QCOMPARE(SurveyCell(f, c, 1), row1[c - 1]);
    d.press(Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(d.currentCell(), Cell(7, 1));
    d.keys(QStringLiteral("2"));
    d.press(Qt::Key_Backtab, Qt::ShiftModifier);  // from an open editor
    QCOMPARE(SurveyCell(f, 7, 1), QStringLiteral("2"));
    QCOMPARE(d.currentCell(), Cell(6, 1));
    d.press(Qt::Key_Tab);  // without an editor
    QCOMPARE(d.currentCell(), Cell(7, 1));
    QVERIFY(InGrid(f));
    QVERIFY(d.dialogs.messages.isEmpty());
  }

  // The arrows move as in a spreadsheet and never onto the row numbers.
  void arrowsStayOnValueCells() {
    FormDriver d;
    d.startAt(1, 5);
    d.press(Qt::Key_Left);
    QCOMPARE(d.currentCell(), Cell(1, 5));
    d.press(Qt::Key_Right);
    QCOMPARE(d.currentCell(), Cell(2, 5));
    d.press(Qt::Key_Home);
    QCOMPARE(d.currentCell(), Cell(1, 5));
    d.press(Qt::Key_Down);
    d.press(Qt::Key_Down);
    QCOMPARE(d.currentCell(), Cell(1, 7));
    d.press(Qt::Key_Up);
    QCOMPARE(d.currentCell(), Cell(1, 6));
  }

  // Typing into a selected cell replaces it; Delete and Backspace empty the selected cells
  // (value cells only) as one step.
  void deleteAndBackspaceEmptyTheSelection() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    for (int r = 1; r <= 13; ++r) d.setCell(2, r, QString::number(r));
    d.startAt(1, 2);
    d.press(Qt::Key_Right, Qt::ShiftModifier);
    d.press(Qt::Key_Down, Qt::ShiftModifier);
    d.press(Qt::Key_Down, Qt::ShiftModifier);
    d.press(Qt::Key_Delete);
    for (int r = 2; r <= 4; ++r) {
      QCOMPARE(f.SG->cell(1, r), QString());
      QCOMPARE(f.SG->cell(2, r), QString());
      QCOMPARE(f.SG->cell(0, r), QString::number(r));
    }
    QCOMPARE(f.SG->cell(2, 5), QStringLiteral("5"));
    QCOMPARE(f.UndoAction->text(), QStringLiteral("撤销 清空单元格"));
    d.startAt(2, 7);
    d.press(Qt::Key_Backspace);
    QCOMPARE(SurveyCell(f, 2, 7), QString());
    d.keys(QStringLiteral("88"));
    d.press(Qt::Key_Return);
    QCOMPARE(SurveyCell(f, 2, 7), QStringLiteral("88"));
    d.startAt(2, 8);
    d.keys(QStringLiteral("9"));  // replaces "8"
    d.press(Qt::Key_Return);
    QCOMPARE(SurveyCell(f, 2, 8), QStringLiteral("9"));
  }

  // Ctrl+Enter commits the station from a field, from the grid, and from an open cell editor
  // (with the text being typed).
  void ctrlEnterCommitsFromAnywhere() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    for (int r = 1; r <= 13; ++r) d.setCell(2, r, QString::number(100 + r));
    d.type(f.EX, QStringLiteral("25"));
    d.press(Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(f.survey().stations().size(), std::size_t{1});
    QCOMPARE(f.survey().stations()[0].X, 25.0f);

    for (int r = 1; r <= 13; ++r) d.setCell(2, r, QString::number(200 + r));
    d.startAt(2, 13);
    d.keys(QStringLiteral("77"));
    QVERIFY(Editing(f));
    d.press(Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
    QCOMPARE(f.survey().stations().size(), std::size_t{2});
    QCOMPARE(f.survey().stations()[1].Columns[colRho][12], 77.0f);
    QCOMPARE(f.SG->cell(2, 13), QString());  // emptied for the next station, not written back
    QVERIFY(d.dialogs.messages.isEmpty());

    // The cursor waits in the first reading cell: the next station's first reading goes there.
    QCOMPARE(f.SG->currentDataRow(), 1);
    const auto current = f.SG->selectedCells();
    QVERIFY(current.has_value());
    QCOMPARE(current->left, 2);
    d.keys(QStringLiteral("55"));
    d.press(Qt::Key_Return);
    QCOMPARE(SurveyCell(f, 2, 1), QStringLiteral("55"));
    QCOMPARE(SurveyCell(f, 2, 13), QString());
  }

  // A refused cell is selected and focused once its message is closed; the box's details name
  // the row and the column's heading, the text stays as it was.
  void refusedCellIsSelectedAndNamed_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("details");
    const QString illegal4 = QStringLiteral("第 4 个极距数据非法。\n\n\n\t请检查。");
    QTest::newRow("not a number") << int(dtSounding) << 2 << 4 << "abc"
                                  << "'abc' is not a valid floating point value." << "第 4 行，视电阻率";
    QTest::newRow("an empty reading") << int(dtSounding) << 2 << 4 << "" << illegal4 << "第 4 行，视电阻率";
    QTest::newRow("an illegal spacing") << int(dtSounding) << 1 << 4 << "-2" << illegal4 << "第 4 行，极距";
    QTest::newRow("a repeated spacing") << int(dtSounding) << 1 << 4 << "2.5"
                                        << QStringLiteral("第 3 个极距数据重复。\n\n\n\t请检查。") << "第 4 行，极距";
    QTest::newRow("water finding, decay") << int(dtWaterFinding) << 5 << 9 << "x1"
                                          << "'x1' is not a valid floating point value." << "第 9 行，衰减度";
  }
  void refusedCellIsSelectedAndNamed() {
    QFETCH(int, type);
    QFETCH(int, col);
    QFETCH(int, row);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(QString, details);
    FormDriver d;
    TInputDataForm& f = *d.form;
    if (type != dtSounding) d.chooseDataType(type);
    for (int c = 2; c < f.SG->colCount(); ++c)
      for (int r = 1; r <= 13; ++r) d.setCell(c, r, QString::number(10 * c + r));
    d.typeCell(col, row, typed);
    d.focus(f.EX);
    d.click(f.BitBtn2);
    QCOMPARE(d.dialogs.messages.size(), 1);
    QCOMPARE(d.dialogs.messages[0].text, message);
    QCOMPARE(d.dialogs.messages[0].details, details);
    QVERIFY(f.survey().stations().empty());
    QTRY_VERIFY(InGrid(f));
    const int wantedRow = details.mid(2, details.indexOf(QLatin1Char(' '), 2) - 2).toInt();
    QCOMPARE(d.currentCell(), Cell(col, wantedRow));
    const auto selected = f.SG->selectedCells();
    QVERIFY(selected.has_value());
    QCOMPARE(*selected, (CellRange{col, wantedRow, col, wantedRow}));
  }
};

QTEST_MAIN(GridKeysTest)
#include "gridkeys_test.moc"
