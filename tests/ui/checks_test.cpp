// The checks on leaving the coordinate and count edits, on entering the grid, and the grid
// rows checked by the commit, fired through real focus changes, key presses and clicks.
#include <QTest>

#include "formdriver.h"
#include "ui/widgets.h"

namespace {
const QString kNotANumber = QStringLiteral("输入的不是有效的数字。\n\n\t请重新输入.");
const QString kCountLetters = QStringLiteral("极距个数输入无效的字母.");
const QString kCountWrong = QStringLiteral("极距个数输入不正确.\n\n\t请重新输入。");
const QString kCountFirst = QStringLiteral("请首先输入极距个数。");

QString Illegal(int n) { return QStringLiteral("第 %1 个极距数据非法。\n\n\n\t请检查。").arg(n); }
QString Repeated(int n) { return QStringLiteral("第 %1 个极距数据重复。\n\n\n\t请检查。").arg(n); }

void VerifySimpleBox(const ShownMessage& m, const QString& text) {
  QCOMPARE(m.text, text);
  QCOMPARE(m.caption, kAppTitle);
  QCOMPARE(m.icon, Dialogs::Icon::None);
  QCOMPARE(m.buttons, Dialogs::Buttons::Ok);
  QVERIFY(m.owned);
}

bool InGrid(const TInputDataForm& f) {
  QWidget* w = QApplication::focusWidget();
  return w == f.SG || f.SG->isAncestorOf(w);
}
}  // namespace

class ChecksTest : public QObject {
  Q_OBJECT
 private slots:
  void coordinateEdits_data() {
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<bool>("byClick");
    QTest::newRow("EX empty, tab") << "EX" << "" << true << false;
    QTest::newRow("EX letters, click") << "EX" << "12a" << true << true;
    QTest::newRow("EX comma, tab") << "EX" << "1,5" << true << false;
    QTest::newRow("EY letters, tab") << "EY" << "north" << true << false;
    QTest::newRow("EY empty, click") << "EY" << "" << true << true;
    QTest::newRow("EX negative") << "EX" << "-3" << false << false;
    QTest::newRow("EX exponent") << "EX" << "2e3" << false << true;
    QTest::newRow("EY decimal, blanks") << "EY" << " 1.5 " << false << false;
  }
  void coordinateEdits() {
    QFETCH(QString, edit);
    QFETCH(QString, text);
    QFETCH(bool, refused);
    QFETCH(bool, byClick);
    FormDriver d;
    auto* e = d.form->findChild<QLineEdit*>(edit);
    d.type(e, text);
    QVERIFY(d.dialogs.messages.isEmpty());
    if (byClick) {
      QTest::mouseClick(d.form->EO, Qt::LeftButton);
    } else {
      QTest::keyClick(e, Qt::Key_Tab);
    }
    QApplication::processEvents();
    if (!refused) {
      QVERIFY(d.dialogs.messages.isEmpty());
      QVERIFY(QApplication::focusWidget() != e);
      return;
    }
    QCOMPARE(d.dialogs.messages.size(), 1);
    VerifySimpleBox(d.dialogs.messages[0], kNotANumber);
    QTRY_COMPARE(QApplication::focusWidget(), e);
    QCOMPARE(e->text(), text);
    // Getting the focus back does not run the check again.
    QTest::qWait(20);
    QCOMPARE(d.dialogs.messages.size(), 1);
  }

  // Leaving a wrong EX for a wrong EY reports EX only; the focus stays in EX.
  void twoWrongEditsDoNotPingPong() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.type(f.EX, QStringLiteral("x?"));
    f.EY->setText(QStringLiteral("y?"));
    QTest::mouseClick(f.EY, Qt::LeftButton);
    QApplication::processEvents();
    QTest::qWait(20);
    QCOMPARE(d.dialogs.texts(), QStringList{kNotANumber});
    QCOMPARE(QApplication::focusWidget(), f.EX);
    QCOMPARE(f.EX->text(), QStringLiteral("x?"));
    QCOMPARE(f.EY->text(), QStringLiteral("y?"));
  }

  void spacingCount_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("count");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("numberedUpTo");  // rows 1 .. this carry their numbers
    QTest::addColumn<QString>("message");
    QTest::newRow("sounding 49") << 0 << "49" << 50 << 49 << QString();
    QTest::newRow("sounding 50") << 0 << "50" << 51 << 13 << kCountWrong;
    QTest::newRow("water finding 50") << 1 << "50" << 51 << 13 << kCountWrong;
    QTest::newRow("water finding 5") << 1 << "5" << 6 << 5 << QString();
    QTest::newRow("four-pole 60") << 2 << "60" << 61 << 60 << QString();
    QTest::newRow("combined 120") << 3 << "120" << 121 << 120 << QString();
    QTest::newRow("sounding 0") << 0 << "0" << 1 << 0 << QString();
    QTest::newRow("sounding -5") << 0 << "-5" << 1 << 0 << QString();
    // Counts no grid could hold are refused before the grid is touched.
    QTest::newRow("four-pole 2000000") << 2 << "2000000" << 14 << 13 << kCountWrong;
    QTest::newRow("sounding 2147483647") << 0 << "2147483647" << 14 << 13 << kCountWrong;
  }
  void spacingCount() {
    QFETCH(int, type);
    QFETCH(QString, count);
    QFETCH(int, rows);
    QFETCH(int, numberedUpTo);
    QFETCH(QString, message);
    FormDriver d;
    TInputDataForm& f = *d.form;
    if (type != 0) d.chooseDataType(type);
    QCOMPARE(f.SG->rowCount(), 14);
    d.type(f.EAB, count);
    QTest::keyClick(f.EAB, Qt::Key_Tab);
    QApplication::processEvents();
    QCOMPARE(f.SG->rowCount(), rows);
    for (int r = 1; r < rows; ++r)
      QCOMPARE(f.SG->cell(0, r), r <= numberedUpTo ? QString::number(r) : QString());
    if (message.isEmpty()) {
      QVERIFY(d.dialogs.messages.isEmpty());
    } else {
      QCOMPARE(d.dialogs.messages.size(), 1);
      VerifySimpleBox(d.dialogs.messages[0], message);
      QTRY_COMPARE(QApplication::focusWidget(), f.EAB);
      QCOMPARE(f.EAB->text(), count);
    }
  }

  // The up-down arrows run the count check: 49 stepped up to 50 is refused.
  void upDownRunsTheCountCheck() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.type(f.EAB, QStringLiteral("48"));
    QTest::mouseClick(f.NUD->upButton(), Qt::LeftButton);
    QCOMPARE(f.EAB->text(), QStringLiteral("49"));
    QCOMPARE(f.SG->rowCount(), 50);
    QCOMPARE(f.SG->cell(0, 49), QStringLiteral("49"));
    QVERIFY(d.dialogs.messages.isEmpty());
    QTest::mouseClick(f.NUD->upButton(), Qt::LeftButton);
    QCOMPARE(f.EAB->text(), QStringLiteral("50"));
    QCOMPARE(f.SG->rowCount(), 51);
    QCOMPARE(d.dialogs.texts(), QStringList{kCountWrong});
  }

  // Letters in the count: EAB becomes "0", the grid keeps its rows, and entering the grid
  // next asks for the count first. Both fired by clicking a cell.
  void lettersInCountThenGrid() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    auto clickCell = [&f] {
      QTest::mouseClick(f.SG->viewport(), Qt::LeftButton, {}, f.SG->visualItemRect(f.SG->item(2, 2)).center());
      QApplication::processEvents();
    };
    d.type(f.EAB, QStringLiteral("1x"));
    clickCell();
    QCOMPARE(d.dialogs.texts(), QStringList{kCountLetters});
    VerifySimpleBox(d.dialogs.messages[0], kCountLetters);
    QCOMPARE(f.EAB->text(), QStringLiteral("0"));
    QCOMPARE(f.SG->rowCount(), 14);
    QTRY_COMPARE(QApplication::focusWidget(), f.EAB);
    // Entering the grid now: the count "0" leaves one row, and the grid asks for a count.
    clickCell();
    QCOMPARE(d.dialogs.texts(), (QStringList{kCountLetters, kCountFirst}));
    VerifySimpleBox(d.dialogs.messages[1], kCountFirst);
    QCOMPARE(f.SG->rowCount(), 1);
    QTRY_COMPARE(QApplication::focusWidget(), f.EAB);
    QTest::qWait(20);
    QCOMPARE(d.dialogs.messages.size(), 2);
    // Entering by tab asks again.
    d.focus(f.SG);
    QCOMPARE(d.dialogs.texts(), (QStringList{kCountLetters, kCountFirst, kCountFirst}));
    QTRY_COMPARE(QApplication::focusWidget(), f.EAB);
  }

  void enteringGridWithCount() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.type(f.EAB, QStringLiteral("5"));
    d.focus(f.SG);
    QVERIFY(d.dialogs.messages.isEmpty());
    QVERIFY(InGrid(f));
    QCOMPARE(f.SG->rowCount(), 6);
  }

  // The grid rows are checked by the commit: the first illegal row, else the first pair of
  // spacings closer than 0.1.
  void gridRows_data() {
    QTest::addColumn<QStringList>("spacings");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("focusRow");
    const QStringList five = {"1", "2", "3", "4", "5"};
    const QStringList rho = {"10", "20", "30", "40", "50"};
    QTest::newRow("zero spacing in row 4, row 5 bad too")
        << QStringList{"1", "2", "3", "0", "-1"} << rho << Illegal(4) << 4;
    QTest::newRow("60000 ohm-m in row 4") << five << QStringList{"10", "20", "30", "60000", "50"} << Illegal(4) << 4;
    QTest::newRow("negative spacing row 1") << QStringList{"-3", "2", "3", "4", "5"} << rho << Illegal(1) << 1;
    QTest::newRow("spacing above 10000") << QStringList{"1", "2", "10001", "4", "5"} << rho << Illegal(3) << 3;
    QTest::newRow("empty value in the last row") << five << QStringList{"10", "20", "30", "40", ""} << Illegal(5) << 5;
    QTest::newRow("empty spacing") << QStringList{"1", "", "3", "4", "5"} << rho << Illegal(2) << 2;
    QTest::newRow("1.5 2.5 2.55") << QStringList{"1.5", "2.5", "2.55", "4", "5"} << rho << Repeated(2) << 3;
    QTest::newRow("rows 3 and 4 equal") << QStringList{"1", "2", "3", "3", "5"} << rho << Repeated(3) << 4;
    QTest::newRow("rows 3 and 5 equal") << QStringList{"1", "2", "3", "4", "3"} << rho << Repeated(4) << 5;
    QTest::newRow("rows 1 and 5, rows 2 and 3") << QStringList{"1", "2", "2.05", "4", "1.01"} << rho << Repeated(4)
                                                << 5;
    QTest::newRow("bounds and 0.1 apart accepted")
        << QStringList{"10000", "0.1", "0.2", "2e3", "5e-1"} << QStringList{"50000", "0.001", "1", "2", "3"}
        << QString() << 0;
  }
  void gridRows() {
    QFETCH(QStringList, spacings);
    QFETCH(QStringList, values);
    QFETCH(QString, message);
    QFETCH(int, focusRow);
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.type(f.EAB, QString::number(spacings.size()));
    for (int r = 1; r <= spacings.size(); ++r) {
      d.setCell(1, r, spacings[r - 1]);
      d.setCell(2, r, values[r - 1]);
    }
    // One typed through the cell editor, as the user would.
    d.typeCell(2, 1, values[0]);
    QVERIFY(d.dialogs.messages.isEmpty());
    d.click(f.BitBtn2);
    if (message.isEmpty()) {
      QVERIFY(d.dialogs.messages.isEmpty());
      QCOMPARE(f.survey().stations().size(), std::size_t{1});
      return;
    }
    QCOMPARE(d.dialogs.messages.size(), 1);
    VerifySimpleBox(d.dialogs.messages[0], message);
    QVERIFY(f.survey().stations().empty());
    QVERIFY(f.survey().saved());
    QTRY_VERIFY(InGrid(f));
    QCOMPARE(f.SG->currentDataRow(), focusRow);
    QCOMPARE(f.ST->text(), QStringLiteral("没有测点数据"));
    QCOMPARE(f.SG->cell(2, 2), values[1]);
  }

  // The grid check works for profile grids of any size.
  void largeProfileGrid() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.chooseDataType(2);
    d.type(f.EAB, QStringLiteral("3000"));
    QTest::keyClick(f.EAB, Qt::Key_Tab);
    QCOMPARE(f.SG->rowCount(), 3001);
    for (int r = 1; r <= 3000; ++r) {
      d.setCell(1, r, QString::number(r * 3));
      d.setCell(2, r, QStringLiteral("50"));
      d.setCell(3, r, QStringLiteral("20"));
      d.setCell(4, r, QStringLiteral("120"));
    }
    d.setCell(1, 2999, QStringLiteral("30.05"));  // next to row 10's 30
    d.click(f.BitBtn2);
    QCOMPARE(d.dialogs.texts(), QStringList{Repeated(2998)});
    QVERIFY(f.survey().stations().empty());
    d.setCell(1, 2999, QStringLiteral("8997"));
    d.click(f.BitBtn2);
    QCOMPARE(d.dialogs.messages.size(), 1);
    QCOMPARE(f.survey().stations().size(), std::size_t{1});
    QCOMPARE(f.survey().stations()[0].Columns[colPointNo].size(), std::size_t{3000});
    QCOMPARE(f.survey().stations()[0].Columns[colPointNo][2998], 8997.0f);
  }
};

QTEST_MAIN(ChecksTest)
#include "checks_test.moc"
