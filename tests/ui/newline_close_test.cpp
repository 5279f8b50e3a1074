// Starting a new line, closing the window and switching the data type: each offers to save
// unsaved stations, and none of them discards stations the user asked to keep.
#include <QFile>
#include <QTest>

#include "formdriver.h"
#include "stationbuilder.h"
#include "ui/widgets.h"

namespace {
// Three committed, unsaved sounding stations, the middle one shown.
void LoadThree(FormDriver& d, bool saved = false) {
  TInputDataForm& f = *d.form;
  d.load({SoundingStation("S1", 0), SoundingStation("S2", 50), SoundingStation("S3", 100)}, 2, saved);
  d.click(f.Previous);
  QCOMPARE(f.survey().currentIndex(), 1);
}

// Scripts the save dialog: "complete" picks a.ves in the scratch folder, "cancel" cancels.
void ScriptSave(FormDriver& d, const QString& save) {
  if (save == QLatin1String("complete")) d.dialogs.setNextFileName(d.path(QStringLiteral("a.ves")));
  if (save == QLatin1String("cancel")) d.dialogs.setNextSaveCancel();
}

void AddCases() {
  QTest::addColumn<bool>("stations");
  QTest::addColumn<bool>("saved");
  QTest::addColumn<QString>("answer");  // to the question, when one is asked
  QTest::addColumn<QString>("save");    // what the save dialog does, when shown
  QTest::addColumn<bool>("asked");
  QTest::addColumn<bool>("keeps");  // the stations stay (the window stays open)
  QTest::newRow("empty list") << false << false << "" << "" << false << false;
  QTest::newRow("saved") << true << true << "" << "" << false << false;
  QTest::newRow("unsaved, No") << true << false << "no" << "" << true << false;
  QTest::newRow("unsaved, Yes, saved") << true << false << "yes" << "complete" << true << false;
  QTest::newRow("unsaved, Yes, save cancelled") << true << false << "yes" << "cancel" << true << true;
  QTest::newRow("unsaved, Cancel") << true << false << "cancel" << "" << true << true;
}

// One row of the cases above, fetched in the running test.
struct Case {
  bool stations, saved;
  QString answer, save;
  bool asked, keeps;

  static Case Fetch() {
    QFETCH(bool, stations);
    QFETCH(bool, saved);
    QFETCH(QString, answer);
    QFETCH(QString, save);
    QFETCH(bool, asked);
    QFETCH(bool, keeps);
    return {stations, saved, answer, save, asked, keeps};
  }

  // Loads the stations, sets Saved and scripts the answer and the save dialog.
  void prepare(FormDriver& d) const {
    if (stations) LoadThree(d, saved);
    if (answer == QLatin1String("yes")) d.dialogs.setNextAnswer(Dialogs::Answer::Yes);
    if (answer == QLatin1String("no")) d.dialogs.setNextAnswer(Dialogs::Answer::No);
    if (answer == QLatin1String("cancel")) d.dialogs.setNextAnswer(Dialogs::Answer::Cancel);
    ScriptSave(d, save);
  }

  // The question was shown exactly when expected, and the save dialog only after a Yes.
  void verifyQuestion(const ScriptedDialogs& dialogs, const QString& caption, const QString& text,
                      Dialogs::Icon icon) const {
    QCOMPARE(dialogs.saveDialogs.size(), save.isEmpty() ? 0 : 1);
    if (!asked) {
      QVERIFY(dialogs.messages.isEmpty());
      return;
    }
    QCOMPARE(dialogs.messages.size(), 1);
    QCOMPARE(dialogs.messages[0].caption, caption);
    QCOMPARE(dialogs.messages[0].text, text);
    QCOMPARE(dialogs.messages[0].icon, icon);
    QCOMPARE(dialogs.messages[0].buttons, Dialogs::Buttons::YesNoCancel);
    QVERIFY(dialogs.messages[0].owned);
  }
};
}  // namespace

class NewLineCloseTest : public QObject {
  Q_OBJECT
 private slots:
  void closeQuery_data() { AddCases(); }
  void closeQuery() {
    const Case c = Case::Fetch();
    FormDriver d;
    TInputDataForm& f = *d.form;
    c.prepare(d);
    d.click(f.BitBtn3);
    c.verifyQuestion(d.dialogs, QStringLiteral("提示"), QStringLiteral("是否保存输入的数据?"), Dialogs::Icon::Question);
    QCOMPARE(f.isVisible(), c.keeps);
    if (c.save == QLatin1String("complete")) QVERIFY(QFile::exists(d.path(QStringLiteral("a.ves"))));
    if (c.keeps) {
      QCOMPARE(f.survey().stations().size(), std::size_t{3});
      QCOMPARE(f.survey().currentIndex(), 1);
      // Asked again on the next try, and closes once the save goes through.
      d.dialogs.messages.clear();
      d.dialogs.setNextAnswer(Dialogs::Answer::Yes);
      d.dialogs.setNextFileName(d.path(QStringLiteral("b.ves")));
      d.trigger(f.N7);
      QCOMPARE(d.dialogs.messages.size(), 1);
      QVERIFY(QFile::exists(d.path(QStringLiteral("b.ves"))));
      QVERIFY(!f.isVisible());
    }
  }

  // 文件 › 关闭 asks as a new line does; closed, the window stays open with an empty survey that
  // belongs to no file. 文件 › 另存为 writes the stations to the file chosen and links the
  // survey to it.
  void closeAndSaveAsFromTheFileMenu_data() { AddCases(); }
  void closeAndSaveAsFromTheFileMenu() {
    const Case c = Case::Fetch();
    FormDriver d;
    TInputDataForm& f = *d.form;
    QVERIFY(f.N1->actions().contains(f.CloseAction));
    QVERIFY(f.N1->actions().contains(f.SaveAsAction));
    if (c.stations) {
      LoadThree(d, c.saved);
      d.dialogs.setNextFileName(d.path(QStringLiteral("as.ves")));
      d.trigger(f.SaveAsAction);
      QVERIFY(QFile::exists(d.path(QStringLiteral("as.ves"))));
      QVERIFY(f.windowTitle().contains(QStringLiteral("as.ves")));
      if (!c.saved) {
        // Unsaved again, as the case wants it.
        d.click(f.Previous);
        d.setCell(2, 1, QStringLiteral("77"));
        d.trigger(f.UpdateData);
        d.dialogs.messages.clear();
      }
      d.dialogs.saveDialogs.clear();
    }
    Case script = c;
    script.stations = false;
    script.prepare(d);
    d.trigger(f.CloseAction);
    c.verifyQuestion(d.dialogs, QStringLiteral("警告"), QStringLiteral("输入的数据尚没有保存，是否现在保存它们?"),
                     Dialogs::Icon::Warning);
    QVERIFY(f.isVisible());
    QCOMPARE(f.survey().stations().size(), c.keeps ? std::size_t{3} : std::size_t{0});
    if (!c.keeps) {
      QVERIFY(f.survey().file().empty());
      QVERIFY(!f.windowTitle().contains(QStringLiteral(".ves")));
      QCOMPARE(f.ST->text(), QStringLiteral("当前没有数据"));
      QCOMPARE(f.EP->text(), QStringLiteral("0"));
      QCOMPARE(f.SG->cell(2, 1), QString());
    }
  }

  void newLine_data() { AddCases(); }
  void newLine() {
    const Case c = Case::Fetch();
    FormDriver d;
    TInputDataForm& f = *d.form;
    c.prepare(d);
    const QString line = f.EP->text();
    const QString area = f.EW->text();
    const QStringList before = {f.ES->text(), f.EX->text(), f.EY->text(), f.ST->text(), f.EAB->text()};
    const int rows = f.SG->rowCount();
    const QString rho = f.SG->cell(2, 1);
    d.click(f.newProfile);
    c.verifyQuestion(d.dialogs, QStringLiteral("警告"), QStringLiteral("输入的数据尚没有保存，是否现在保存它们?"),
                     Dialogs::Icon::Warning);
    if (c.keeps) {
      QCOMPARE(f.survey().stations().size(), std::size_t{3});
      QCOMPARE(f.survey().currentIndex(), 1);
      QCOMPARE(QStringList({f.ES->text(), f.EX->text(), f.EY->text(), f.ST->text(), f.EAB->text()}), before);
      QVERIFY(f.Previous->isEnabled());
      QVERIFY(f.Next->isEnabled());
      QVERIFY(f.UpdateData->isEnabled());
      QVERIFY(!f.survey().saved());
    } else {
      QVERIFY(f.survey().stations().empty());
      QCOMPARE(f.ST->text(), QStringLiteral("当前没有数据"));
      QCOMPARE(f.survey().currentIndex(), 0);
      QVERIFY(!f.Previous->isEnabled());
      QVERIFY(!f.Next->isEnabled());
      QVERIFY(!f.UpdateData->isEnabled());
      QCOMPARE(f.EX->text(), QStringLiteral("0"));
      QCOMPARE(f.EY->text(), QStringLiteral("0"));
      QCOMPARE(f.ES->text(), QStringLiteral("S1"));
      QCOMPARE(f.survey().saved(), c.save == QLatin1String("complete") || c.saved || !c.stations);
    }
    // The grid's spacings, the count and the other edits keep what they hold; a new line starts
    // without the old station's readings.
    QCOMPARE(f.SG->rowCount(), rows);
    QCOMPARE(f.SG->cell(2, 1), c.keeps ? rho : QString());
    QCOMPARE(f.EP->text(), line);
    QCOMPARE(f.EW->text(), area);
    if (c.save == QLatin1String("complete")) QVERIFY(QFile::exists(d.path(QStringLiteral("a.ves"))));
  }

  void newLineRightAfterSaveAsksNothing() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    LoadThree(d);
    d.dialogs.setNextFileName(d.path(QStringLiteral("a.ves")));
    d.click(f.SaveBtn);
    QVERIFY(QFile::exists(d.path(QStringLiteral("a.ves"))));
    QVERIFY(f.survey().saved());
    QCOMPARE(f.survey().stations().size(), std::size_t{3});
    d.dialogs.messages.clear();
    d.trigger(f.N2);
    QVERIFY(d.dialogs.messages.isEmpty());
    QCOMPARE(d.dialogs.saveDialogs.size(), 1);
    QVERIFY(f.survey().stations().empty());
    QCOMPARE(f.ST->text(), QStringLiteral("当前没有数据"));
  }

  // The next line starts with branch A and without the old line's resistivities; its points,
  // AB/2 and MN/2 stay as the template.
  void newLineSelectsRhoAKeepingTheGrid() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.chooseDataType(dtCombinedProfile);
    d.load({BuildStation(dtCombinedProfile, "A", 0, {{20, 50, 20, 101}}),
                  BuildStation(dtCombinedProfile, "B", 50, {{20, 50, 20, 201}})}, 0, true);
    f.AB->setCurrentIndex(1);
    for (int r = 1; r < f.SG->rowCount(); ++r) d.setCell(4, r, QString::number(300 + r));
    d.click(f.newProfile);
    QVERIFY(f.survey().stations().empty());
    QCOMPARE(f.AB->currentIndex(), 0);
    QCOMPARE(f.AB->currentText(), QStringLiteral("RhoA"));
    for (int r = 1; r < f.SG->rowCount(); ++r) {
      QCOMPARE(f.SG->cell(4, r), QString());
      QCOMPARE(f.SG->cell(1, r), QString::number(20 * r));
    }
  }

  // Switching the data type offers to save unsaved stations in the format they were typed for.
  void dataTypeSwitch_data() { AddCases(); }
  void dataTypeSwitch() {
    const Case c = Case::Fetch();
    FormDriver d;
    TInputDataForm& f = *d.form;
    c.prepare(d);
    const QString rho = f.SG->cell(2, 1);
    const StationList before = f.survey().stations();
    d.chooseDataType(dtWaterFinding);
    c.verifyQuestion(d.dialogs, QStringLiteral("警告"), QStringLiteral("输入的数据尚没有保存，是否现在保存它们?"),
                     Dialogs::Icon::Warning);
    if (c.save == QLatin1String("complete")) {
      // Saved as the sounding type it was typed in: a .ves file, not a sounding .dat file.
      QVERIFY(QFile::exists(d.path(QStringLiteral("a.ves"))));
      QVERIFY(!QFile::exists(d.path(QStringLiteral("a.dat"))));
    }
    if (c.keeps) {
      QCOMPARE(f.survey().type(), dtSounding);
      QCOMPARE(f.DataType->itemIndex(), 0);
      QCOMPARE(f.SG->colCount(), 3);
      QCOMPARE(f.SG->cell(2, 0), QStringLiteral("视电阻率"));
      QVERIFY(f.survey().stations() == before);
      QCOMPARE(f.survey().currentIndex(), 1);
      QVERIFY(f.UpdateData->isEnabled());
      QVERIFY(!f.survey().saved());
    } else {
      QCOMPARE(f.survey().type(), dtWaterFinding);
      QCOMPARE(f.SG->colCount(), 8);
      QCOMPARE(f.SG->cell(7, 0), QStringLiteral("视极化率"));
      QVERIFY(f.survey().stations().empty());
      QCOMPARE(f.ST->text(), QStringLiteral("没有测点数据"));
    }
    // No reading of the old layout stays under the new headings.
    QCOMPARE(f.SG->cell(2, 1), c.keeps ? rho : QString());
  }
};

QTEST_MAIN(NewLineCloseTest)
#include "newline_close_test.moc"
