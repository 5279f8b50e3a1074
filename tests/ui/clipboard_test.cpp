// The grid's clipboard through the window: Ctrl+V of a block copied from a spreadsheet, of
// comma- and blank-separated text, growing the grid and the count; Ctrl+C and Ctrl+X giving
// text a spreadsheet reads back; and clipboards that hold no block of cells.
#include <QClipboard>
#include <QMimeData>
#include <QTest>

#include "formdriver.h"

namespace {
using Cell = std::pair<int, int>;
const QString kNothingToPaste = QStringLiteral("剪贴板中没有可以粘贴的文本。");
const QString kNotCellText = QStringLiteral("剪贴板中的内容不是文字，不能粘贴到表格中。");

void SetClipboard(const QString& text) { QGuiApplication::clipboard()->setText(text); }

// The cells of a rectangle as the window shows them, rows joined by '/', cells by '|'.
QString Shown(const StringGrid* g, int left, int top, int right, int bottom) {
  QStringList rows;
  for (int r = top; r <= bottom; ++r) {
    QStringList cells;
    for (int c = left; c <= right; ++c) cells << g->cell(c, r);
    rows << cells.join(QLatin1Char('|'));
  }
  return rows.join(QLatin1Char('/'));
}

// The same rectangle of the survey's grid.
QString InSurvey(const TInputDataForm& f, int left, int top, int right, int bottom) {
  QStringList rows;
  const GridTexts& g = f.survey().form().grid;
  for (int r = top; r <= bottom; ++r) {
    QStringList cells;
    for (int c = left; c <= right; ++c) cells << QString::fromStdString(g.cell(c, r));
    rows << cells.join(QLatin1Char('|'));
  }
  return rows.join(QLatin1Char('/'));
}

// 13 rows x 7 columns of a water-finding station, as a spreadsheet puts them on the clipboard:
// tab-separated, CR LF after every row.
QString SpreadsheetBlock() {
  const QStringList spacings = {"1.5", "2.5", "4", "6", "9", "15", "25", "40", "60", "90", "150", "225", "340"};
  QString text;
  for (int r = 0; r < 13; ++r) {
    text += QStringLiteral("%1\t%2.5\t%3.25\t2.%4\t45\t0.%5\t1.%6\r\n")
                .arg(spacings[r])
                .arg(100 + r)
                .arg(r)
                .arg(r)
                .arg(r + 1)
                .arg(r);
  }
  return text;
}

}  // namespace

class ClipboardTest : public QObject {
  Q_OBJECT
 private slots:
  // A 13 x 7 block copied from a spreadsheet fills the water-finding grid with Ctrl+V; the block
  // is selected, the survey holds every cell, nothing is asked, and the station commits.
  void spreadsheetBlockIntoWaterFinding() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.chooseDataType(dtWaterFinding);
    const QString block = SpreadsheetBlock();
    SetClipboard(block);
    d.startAt(1, 1);
    d.press(Qt::Key_V, Qt::ControlModifier);
    QVERIFY(d.dialogs.messages.isEmpty());
    QString expected = block;
    expected.chop(2);
    expected.replace(QStringLiteral("\r\n"), QStringLiteral("/")).replace(QLatin1Char('\t'), QLatin1Char('|'));
    QCOMPARE(Shown(f.SG, 1, 1, 7, 13), expected);
    QCOMPARE(InSurvey(f, 1, 1, 7, 13), expected);
    QCOMPARE(f.EAB->text(), QStringLiteral("13"));
    QCOMPARE(f.SG->selectedCells(), std::optional<CellRange>(CellRange{1, 1, 7, 13}));
    QCOMPARE(f.UndoAction->text(), QStringLiteral("撤销 粘贴"));
    d.type(f.EX, QStringLiteral("120"));
    d.click(f.BitBtn2);
    QVERIFY(d.dialogs.messages.isEmpty());
    QCOMPARE(f.survey().stations().size(), std::size_t{1});
    QCOMPARE(f.survey().stations()[0].Columns[colTH][12], 2.12f);  // column 4, the half-decay time
  }

  // Text typed elsewhere: cells at commas, semicolons or runs of blanks.
  void commaAndBlankSeparatedText_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("commas") << "100,1.5\n120,2.5\n";
    QTest::newRow("commas and blanks") << "100 , 1.5\r\n120 ,2.5";
    QTest::newRow("semicolons") << "100;1.5\n120;2.5\n";
    QTest::newRow("runs of blanks") << "  100    1.5\n120   2.5  \n";
    QTest::newRow("a tab anywhere: blanks are kept") << "  100    1.5\n120\t\n";
  }
  void commaAndBlankSeparatedText() {
    QFETCH(QString, text);
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.chooseDataType(dtWaterFinding);
    SetClipboard(text);
    d.startAt(2, 4);
    d.trigger(f.PasteAction);  // from the menu
    QVERIFY(d.dialogs.messages.isEmpty());
    const bool tabbed = text.contains(QLatin1Char('\t'));
    QCOMPARE(Shown(f.SG, 2, 4, 3, 5), tabbed ? QStringLiteral("  100    1.5|/120|") : QStringLiteral("100|1.5/120|2.5"));
    QCOMPARE(f.SG->cell(2, 3), QString());
    QCOMPARE(f.SG->cell(1, 4), QStringLiteral("6"));
  }

  // More rows than the grid has: the grid and the count grow, the new rows are numbered; beyond
  // the type's 49 rows, the limit's message and nothing pasted.
  void pasteGrowsTheGridAndTheCount() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    QString column;
    for (int r = 0; r < 20; ++r) column += QString::number(500 + r) + QStringLiteral("\n");
    SetClipboard(column);
    d.startAt(2, 10);
    d.press(Qt::Key_V, Qt::ControlModifier);
    QVERIFY(d.dialogs.messages.isEmpty());
    QCOMPARE(f.EAB->text(), QStringLiteral("29"));
    QCOMPARE(f.SG->rowCount(), 30);
    QCOMPARE(f.SG->cell(0, 29), QStringLiteral("29"));
    QCOMPARE(f.SG->cell(2, 29), QStringLiteral("519"));
    QCOMPARE(f.SG->cell(1, 29), QString());

    SetClipboard(column + column);  // 40 rows from row 10: 49 fit
    d.startAt(2, 10);
    d.press(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.EAB->text(), QStringLiteral("49"));
    d.startAt(2, 11);  // 50 do not
    d.press(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(d.dialogs.texts(),
             QStringList{QStringLiteral("粘贴这些数据需要 50 行，超过了本数据类型最多 49 行的限制，没有粘贴。")});
    QCOMPARE(f.SG->rowCount(), 50);
    QCOMPARE(f.SG->cell(2, 11), QStringLiteral("501"));
  }

  // Ctrl+C copies the selection as tab-separated lines; pasted back elsewhere they give the same
  // cells. Ctrl+X copies and empties. The row numbers are never copied.
  void copyThenPasteBackGivesTheSameCells() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.chooseDataType(dtWaterFinding);
    SetClipboard(SpreadsheetBlock());
    d.startAt(1, 1);
    d.press(Qt::Key_V, Qt::ControlModifier);
    const QString original = Shown(f.SG, 1, 1, 7, 13);
    f.SG->selectCells({0, 1, 7, 13});
    d.press(Qt::Key_C, Qt::ControlModifier);
    const QString copied = QGuiApplication::clipboard()->text();
    QCOMPARE(copied.count(QLatin1Char('\n')), 13);
    QCOMPARE(copied.count(QLatin1Char('\t')), 13 * 6);
    QVERIFY(!copied.contains(QLatin1Char('\r')));

    d.startAt(1, 1);
    d.press(Qt::Key_Delete);  // one cell emptied, then the whole block pasted back
    QCOMPARE(f.SG->cell(1, 1), QString());
    d.press(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(Shown(f.SG, 1, 1, 7, 13), original);

    f.SG->selectCells({2, 3, 3, 4});
    d.press(Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("102.5\t2.25\n103.5\t3.25\n"));
    QCOMPARE(Shown(f.SG, 2, 3, 3, 4), QStringLiteral("|/|"));
    QCOMPARE(f.UndoAction->text(), QStringLiteral("撤销 剪切"));
    d.startAt(2, 12);
    d.press(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(Shown(f.SG, 2, 12, 3, 13), QStringLiteral("102.5|2.25/103.5|3.25"));
    QVERIFY(d.dialogs.messages.isEmpty());
  }

  // Clipboards that hold no block of cells, or too much: a clear message, nothing changes.
  void badClipboards_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("no text") << "image" << kNothingToPaste;
    QTest::newRow("empty text") << "empty" << kNothingToPaste;
    QTest::newRow("binary") << "binary" << kNotCellText;
    QTest::newRow("100,000 lines")
        << "lines" << QStringLiteral("粘贴这些数据需要 100000 行，超过了本数据类型最多 49 行的限制，没有粘贴。");
  }
  void badClipboards() {
    QFETCH(QString, kind);
    QFETCH(QString, message);
    FormDriver d;
    TInputDataForm& f = *d.form;
    auto* mime = new QMimeData;
    if (kind == QLatin1String("image")) {
      mime->setData(QStringLiteral("image/png"), QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    } else if (kind == QLatin1String("empty")) {
      mime->setText(QString());
    } else if (kind == QLatin1String("binary")) {
      mime->setText(QString::fromLatin1(QByteArray("\x7f" "ELF\x02\x01\x01\0\0\0\0", 12)));
    } else {
      mime->setText(QStringLiteral("1\t2\n").repeated(100000));
    }
    QGuiApplication::clipboard()->setMimeData(mime);
    const QStringList before = {Shown(f.SG, 0, 0, 2, 13), f.EAB->text()};
    d.startAt(2, 1);
    d.press(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(d.dialogs.texts(), QStringList{message});
    QCOMPARE(QStringList({Shown(f.SG, 0, 0, 2, 13), f.EAB->text()}), before);
    QVERIFY(!f.UndoAction->isEnabled());
  }

  // Cells pasted on the row numbers or past the last column are dropped with one message; a
  // ragged block leaves the cells after a short row's end empty.
  void droppedCellsAndRaggedRows() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    for (int r = 1; r <= 13; ++r) d.setCell(2, r, QString::number(r));
    SetClipboard(QStringLiteral("9\t1.25\t10\t11\n9\t2.75\n"));
    f.SG->selectCells({0, 1, 0, 1});
    d.focus(f.SG);
    d.press(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(d.dialogs.texts(), QStringList{QStringLiteral("有 3 个单元格落在序号列或最后一列之外，没有粘贴。")});
    QCOMPARE(Shown(f.SG, 0, 1, 2, 3), QStringLiteral("1|1.25|10/2|2.75|/3|4.0|3"));
  }

  // The commands are in the data menu and in the grid's context menu.
  void commandsInBothMenus() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    for (QAction* a : {f.UndoAction, f.RedoAction, f.CutAction, f.CopyAction, f.PasteAction}) {
      QVERIFY2(f.N8->actions().contains(a), qPrintable(a->objectName()));
      QVERIFY2(f.PopupMenu1->actions().contains(a), qPrintable(a->objectName()));
    }
    QCOMPARE(f.PasteAction->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_V));
    QCOMPARE(f.CopyAction->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));
    QCOMPARE(f.CutAction->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_X));
  }
};

QTEST_MAIN(ClipboardTest)
#include "clipboard_test.moc"
