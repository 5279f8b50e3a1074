// The window as it opens, the layout per data type and the About command (help: help_test.cpp).
#include <QMenuBar>
#include <QRadioButton>
#include <QTest>

#include "ui/tabout.h"
#include "formdriver.h"
#include "ui/widgets.h"

class StartupTest : public QObject {
  Q_OBJECT
 private slots:
  void opensAsSoundingWithDefaultSpacings() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    QCOMPARE(f.windowTitle(), QStringLiteral("输入野外数据...[*]"));  // the modified mark shows as "*" while unsaved
    QCOMPARE(f.survey().type(), dtSounding);
    QCOMPARE(f.SG->rowCount(), 14);
    QCOMPARE(f.SG->colCount(), 3);
    QCOMPARE(f.SG->cell(0, 0), QStringLiteral("序号"));
    QCOMPARE(f.SG->cell(1, 0), QStringLiteral("极距"));
    QCOMPARE(f.SG->cell(2, 0), QStringLiteral("视电阻率"));
    QCOMPARE(f.SG->cell(1, 3), QStringLiteral("4.0"));
    QCOMPARE(f.SG->cell(1, 13), QStringLiteral("340"));
    QCOMPARE(f.SG->cell(0, 13), QStringLiteral("13"));
    QCOMPARE(f.EAB->text(), QStringLiteral("13"));
    QCOMPARE(f.ST->text(), QStringLiteral("没有测点数据"));
    QVERIFY(!f.Previous->isEnabled());
    QVERIFY(!f.Next->isEnabled());
    QVERIFY(!f.UpdateData->isEnabled());
    QVERIFY(f.AB->isHidden());
    QVERIFY(f.survey().stations().empty());
    QCOMPARE(f.survey().currentIndex(), 0);
    QVERIFY(f.survey().saved());
    // Every control is found by its name.
    for (const char* name : {"DataType", "GroupBox1", "ES", "EP", "EW", "EX", "EY", "EO", "EI", "NST", "EAB", "NUD",
                             "StaticText2", "SG", "ABST", "AB", "BitBtn4", "BitBtn1", "BitBtn2", "ST", "Previous",
                             "Next", "SaveBtn", "newProfile", "Button1", "BitBtn3", "Label8", "Image1"})
      QVERIFY2(f.findChild<QWidget*>(QString::fromLatin1(name)) != nullptr, name);
    // The Help menu stands at the right end of the menu bar.
    auto* corner = qobject_cast<QMenuBar*>(f.menuBar()->cornerWidget(Qt::TopRightCorner));
    QVERIFY(corner);
    QCOMPARE(corner->actions().constLast()->text(), QStringLiteral("帮助(&H)"));
  }

  // Sounding to water finding: the grid gets 14 rows and 8 columns, the row numbers and the
  // default spacings are written again, and the readings typed under the old layout are emptied.
  void soundingToWaterFindingEmptiesTheReadings() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.type(f.EAB, QStringLiteral("19"));
    QTest::keyClick(f.EAB, Qt::Key_Tab);
    QCOMPARE(f.SG->rowCount(), 20);
    for (int r = 1; r <= 19; ++r) d.setCell(2, r, QString::number(r * 11));
    d.setCell(1, 2, QStringLiteral("2.7"));
    d.chooseDataType(dtWaterFinding);
    QVERIFY(d.dialogs.messages.isEmpty());
    QCOMPARE(f.survey().type(), dtWaterFinding);
    QCOMPARE(f.SG->rowCount(), 14);
    QCOMPARE(f.SG->colCount(), 8);
    const QStringList headers = {"序号", "极距", "视电阻率", "综合激电参数", "半衰时", "衰减度", "偏离度", "视极化率"};
    for (int c = 0; c < 8; ++c) QCOMPARE(f.SG->cell(c, 0), headers[c]);
    const QStringList spacings = {"1.5", "2.5", "4.0", "6", "9", "15", "25", "40", "60", "90", "150", "225", "340"};
    for (int r = 1; r <= 13; ++r) {
      QCOMPARE(f.SG->cell(0, r), QString::number(r));
      QCOMPARE(f.SG->cell(1, r), spacings[r - 1]);
      QCOMPARE(f.SG->cell(2, r), QString());  // no resistivity stays under the new layout
    }
    QCOMPARE(f.EAB->text(), QStringLiteral("13"));
    QCOMPARE(f.NUD->position(), 13);
    QCOMPARE(f.ST->text(), QStringLiteral("没有测点数据"));
    QCOMPARE(f.GroupBox1->title(), QStringLiteral("测点信息"));
    QCOMPARE(f.NST->text(), QStringLiteral("极距个数"));
    QCOMPARE(f.EP->text(), QStringLiteral("0"));
    QVERIFY(f.ES->isEnabled() && f.EX->isEnabled() && f.EY->isEnabled());
    QVERIFY(f.BitBtn4->isVisible());
    QVERIFY(f.AB->isHidden() && f.ABST->isHidden());
  }

  // To a profile type: the row count stays, point numbers 20 x r, AB/2 50 and MN/2 20 in every
  // row; the resistivity column and the row numbers keep their texts.
  void toProfileTypes_data() {
    QTest::addColumn<int>("type");
    QTest::newRow("four-pole") << int(dtFourPoleProfile);
    QTest::newRow("combined") << int(dtCombinedProfile);
  }
  void toProfileTypes() {
    QFETCH(int, type);
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.type(f.EAB, QStringLiteral("29"));
    QTest::keyClick(f.EAB, Qt::Key_Tab);
    QCOMPARE(f.SG->rowCount(), 30);
    d.type(f.EX, QStringLiteral("75"));
    d.chooseDataType(type);
    QVERIFY(d.dialogs.messages.isEmpty());
    QCOMPARE(f.SG->rowCount(), 30);
    QCOMPARE(f.SG->colCount(), 5);
    const QStringList headers = {"序号", "点号", "AB/2", "MN/2", "视电阻率"};
    for (int c = 0; c < 5; ++c) QCOMPARE(f.SG->cell(c, 0), headers[c]);
    for (int r = 1; r <= 29; ++r) {
      QCOMPARE(f.SG->cell(0, r), QString::number(r));
      QCOMPARE(f.SG->cell(1, r), QString::number(20 * r));
      QCOMPARE(f.SG->cell(2, r), QStringLiteral("50"));
      QCOMPARE(f.SG->cell(3, r), QStringLiteral("20"));
    }
    QCOMPARE(f.SG->cell(1, 29), QStringLiteral("580"));
    QCOMPARE(f.EAB->text(), QStringLiteral("29"));
    QCOMPARE(f.ST->text(), QStringLiteral("没有测线"));
    QCOMPARE(f.GroupBox1->title(), QStringLiteral("测线信息"));
    QCOMPARE(f.NST->text(), QStringLiteral("测点个数"));
    QCOMPARE(f.EP->text(), QStringLiteral("0"));
    QCOMPARE(f.EX->text(), QStringLiteral("75"));
    QVERIFY(!f.ES->isEnabled() && !f.EX->isEnabled() && !f.EY->isEnabled());
    QVERIFY(f.BitBtn4->isHidden());
    QCOMPARE(f.AB->isVisible(), type == dtCombinedProfile);
    QCOMPARE(f.ABST->isVisible(), type == dtCombinedProfile);
    QCOMPARE(f.AB->currentIndex(), 0);
  }

  // EX and EY cannot be edited for the profile types: a text in them that is not a number is
  // replaced by 0 on the switch, so that lines can still be committed.
  void toProfileTypeMendsCoordinatesThatAreNotNumbers() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.type(f.EX, QStringLiteral("abc"));
    d.type(f.EY, QStringLiteral("12"));
    d.chooseDataType(dtFourPoleProfile);
    QCOMPARE(f.EX->text(), QStringLiteral("0"));
    QCOMPARE(f.EY->text(), QStringLiteral("12"));
    d.dialogs.messages.clear();
    for (int r = 1; r < f.SG->rowCount(); ++r) d.setCell(4, r, QString::number(100 + r));
    d.click(f.BitBtn2);
    QVERIFY2(d.dialogs.messages.isEmpty(), qPrintable(d.dialogs.texts().join(QLatin1Char('|'))));
    QCOMPARE(f.survey().stations().size(), std::size_t{1});
  }

  // A switch with committed stations empties the list (the offer to save answered No).
  void switchEmptiesTheList() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    for (int i = 0; i < 3; ++i) {
      for (int r = 1; r <= 13; ++r) d.setCell(2, r, QString::number(100 + r));
      d.click(f.BitBtn2);
    }
    QCOMPARE(f.survey().stations().size(), std::size_t{3});
    QCOMPARE(f.ST->text(), QStringLiteral("已输入3个测点"));
    d.dialogs.setNextAnswer(Dialogs::Answer::No);
    d.chooseDataType(dtFourPoleProfile);
    QVERIFY(f.survey().stations().empty());
    QCOMPARE(f.ST->text(), QStringLiteral("没有测线"));
    d.chooseDataType(dtSounding);
    QCOMPARE(f.ST->text(), QStringLiteral("没有测点数据"));
    QCOMPARE(f.SG->colCount(), 3);
    QCOMPARE(f.SG->cell(1, 0), QStringLiteral("极距"));
  }

  // The default spacings: 14 rows whatever the grid held, column 1 rewritten, others kept.
  void defaultSpacingsShrinkTheGrid() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.type(f.EAB, QStringLiteral("39"));
    QTest::keyClick(f.EAB, Qt::Key_Tab);
    QCOMPARE(f.SG->rowCount(), 40);
    for (int r = 1; r <= 39; ++r) {
      d.setCell(1, r, QString::number(r * 7));
      d.setCell(2, r, QString::number(r * 3));
    }
    d.click(f.BitBtn4);
    QCOMPARE(f.SG->rowCount(), 14);
    QCOMPARE(f.EAB->text(), QStringLiteral("13"));
    const QStringList spacings = {"1.5", "2.5", "4.0", "6", "9", "15", "25", "40", "60", "90", "150", "225", "340"};
    for (int r = 1; r <= 13; ++r) {
      QCOMPARE(f.SG->cell(0, r), QString::number(r));
      QCOMPARE(f.SG->cell(1, r), spacings[r - 1]);
      QCOMPARE(f.SG->cell(2, r), QString::number(r * 3));
    }
    QVERIFY(d.dialogs.messages.isEmpty());
  }

  // Picking a branch in AB empties the resistivity column; the points, AB/2 and MN/2 stay.
  // Setting the branch from the program (as the commit does) clears nothing.
  void branchChoiceEmptiesResistivities() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.chooseDataType(dtCombinedProfile);
    for (int r = 1; r <= 13; ++r) d.setCell(4, r, QString::number(r + 100));
    f.AB->setCurrentIndex(1);
    QCOMPARE(f.SG->cell(4, 1), QStringLiteral("101"));
    f.AB->setCurrentIndex(0);
    d.focus(f.AB);
    QTest::keyClick(f.AB, Qt::Key_Down);
    QCOMPARE(f.AB->currentIndex(), 1);
    for (int r = 1; r <= 13; ++r) {
      QCOMPARE(f.SG->cell(4, r), QString());
      QCOMPARE(f.SG->cell(1, r), QString::number(20 * r));
      QCOMPARE(f.SG->cell(2, r), QStringLiteral("50"));
      QCOMPARE(f.SG->cell(3, r), QStringLiteral("20"));
      QCOMPARE(f.SG->cell(0, r), QString::number(r));
    }
    // Typing a branch name changes it too.
    d.setCell(4, 3, QStringLiteral("55"));
    d.type(f.AB->lineEdit(), QStringLiteral("RhoA"));
    QCOMPARE(f.SG->cell(4, 3), QString());
  }

  // The error box adds a full stop only after a character that sorts after ".".
  void errorBoxText_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("conversion") << QStringLiteral("'x' is not a valid floating point value")
                                << QStringLiteral("'x' is not a valid floating point value.");
    QTest::newRow("ends in a stop") << QStringLiteral("done.") << QStringLiteral("done.");
    QTest::newRow("ends in a blank") << QStringLiteral("a ") << QStringLiteral("a ");
    QTest::newRow("ends in a comma") << QStringLiteral("a,") << QStringLiteral("a,");
    QTest::newRow("ends in a digit") << QStringLiteral("a 1") << QStringLiteral("a 1.");
    QTest::newRow("chinese") << QStringLiteral("错误") << QStringLiteral("错误.");
    QTest::newRow("empty") << QString() << QString();
  }
  void errorBoxText() {
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(ErrorBoxText(message), shown);
  }

  // An error escaping a handler is shown in the error box and the window goes on.
  void errorInAHandlerIsShownAndTheProgramGoesOn() {
    FormDriver d;
    d.form->guarded([] { throw std::runtime_error("boom"); });
    QCOMPARE(d.dialogs.messages.size(), 1);
    const ShownMessage& m = d.dialogs.messages[0];
    QCOMPARE(m.caption, QStringLiteral("手工输入野外电法观测数据"));
    QCOMPARE(m.text, QStringLiteral("boom."));
    QCOMPARE(m.icon, Dialogs::Icon::Error);
    QCOMPARE(m.buttons, Dialogs::Buttons::Ok);
    d.form->guarded([] { throw 42; });
    QCOMPARE(d.dialogs.messages.size(), 2);
    QCOMPARE(d.dialogs.messages[1].text, QString());
    QVERIFY(d.form->isVisible());
  }

  // About: a new box each time, with its caption and texts, closed with OK.
  void aboutBoxOpensAndCloses() {
    FormDriver d;
    for (int i = 0; i < 2; ++i) {
      QString caption;
      QStringList texts;
      QTimer::singleShot(0, [&] {
        auto* about = qobject_cast<TAbout*>(QApplication::activeModalWidget());
        QVERIFY(about);
        caption = about->windowTitle();
        for (auto* label : about->findChildren<QLabel*>()) texts << label->text();
        QTest::mouseClick(about->findChild<QPushButton*>(QStringLiteral("OKButton")), Qt::LeftButton);
      });
      d.trigger(d.form->N10);
      QCOMPARE(caption, QStringLiteral("电法勘探数据处理软件..."));
      QVERIFY(texts.contains(QStringLiteral("手工输入野外电法观测数据")));
      QVERIFY(d.form->findChildren<TAbout*>().isEmpty());  // destroyed when closed
    }
  }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
