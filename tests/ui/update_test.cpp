// Writing the edits and the grid back into the station shown ("更新当前测点").
#include <QTest>

#include "formdriver.h"
#include "io/textconv.h"
#include "stationbuilder.h"
#include "ui/gbkqt.h"

namespace {
// Stations as a run of commits leaves them, then one step back so that station `shown` is in the
// controls and the update is enabled, as the user would get there.
void LoadAndShow(FormDriver& d, StationList stations, int shown, bool saved = false) {
  TInputDataForm& f = *d.form;
  const int last = static_cast<int>(stations.size()) - 1;
  d.load(std::move(stations), last, saved);
  while (f.survey().currentIndex() > shown) d.click(f.Previous);
  QVERIFY(f.UpdateData->isEnabled());
}

}  // namespace

class UpdateTest : public QObject {
  Q_OBJECT
 private slots:
  void changesOneResistivity() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    const sdata later = SoundingStation("S2", 50, 40, 50, 60);
    LoadAndShow(d, {SoundingStation("S1", 0, 10, 20, 30), later}, 0);
    d.typeCell(2, 2, QStringLiteral("25"));
    d.trigger(f.UpdateData);
    QVERIFY2(d.dialogs.messages.isEmpty(), qPrintable(d.dialogs.texts().join('|')));
    const sdata& s = f.survey().stations()[0];
    QCOMPARE(s.Name, std::string("S1"));
    QCOMPARE(s.SpacingCount, 3);
    QCOMPARE(s.Columns[colAB2], std::vector<float>({1.5f, 2.5f, 4.0f}));
    QCOMPARE(s.Columns[colRho], std::vector<float>({10, 25, 30}));
    for (int k = colZP; k <= colR; ++k) QVERIFY(s.Columns[k].empty());
    QVERIFY(s.Columns[colPointNo].empty());
    QVERIFY(s.Columns[colMN2].empty());
    QVERIFY(f.survey().stations()[1] == later);
    QCOMPARE(f.survey().currentIndex(), 0);
    QVERIFY(!f.survey().saved());
    QCOMPARE(f.ST->text(), QStringLiteral("已输入2个测点"));  // the update leaves the status line
  }

  // The update is chosen from a menu while the cell editor still holds the correction: the
  // correction is what the station gets.
  void updateTakesTextOfOpenCellEditor() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    LoadAndShow(d, {SoundingStation("S1", 0, 10, 20, 30), SoundingStation("S2", 50)}, 0);
    d.focus(f.SG);
    f.SG->setCurrentCell(2, 3);
    QTest::keyClick(f.SG, Qt::Key_F2);
    QWidget* editor = QApplication::focusWidget();
    QVERIFY(editor != nullptr && editor != f.SG);
    d.enterText(editor, QStringLiteral("35"));
    d.trigger(f.UpdateData);
    QCOMPARE(f.survey().stations()[0].Columns[colRho], std::vector<float>({10, 20, 35}));
    QCOMPARE(f.SG->cell(2, 3), QStringLiteral("35"));
    QApplication::processEvents();
    QCOMPARE(f.SG->cell(2, 3), QStringLiteral("35"));
  }

  // A smaller count keeps only the first rows; the grid's further rows are ignored.
  void shorterCountKeepsFirstRows() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    LoadAndShow(d, {SoundingStation("S1", 0, 10, 20, 30), SoundingStation("S2", 50)}, 0);
    d.type(f.EAB, QStringLiteral("2"));
    d.trigger(f.UpdateData);
    QVERIFY(d.dialogs.messages.isEmpty());
    const sdata& s = f.survey().stations()[0];
    QCOMPARE(s.SpacingCount, 2);
    QCOMPARE(s.Columns[colAB2], std::vector<float>({1.5f, 2.5f}));
    QCOMPARE(s.Columns[colRho], std::vector<float>({10, 20}));
    for (int k = colZP; k <= colR; ++k) QVERIFY(s.Columns[k].empty());
  }

  // Shown values convert back to the very same floats; every field comes from its edit.
  void unchangedUpdateKeepsEveryValue_data() {
    QTest::addColumn<int>("type");
    QTest::newRow("water finding") << int(dtWaterFinding);
    QTest::newRow("four-pole profile") << int(dtFourPoleProfile);
  }
  void unchangedUpdateKeepsEveryValue() {
    QFETCH(int, type);
    FormDriver d;
    TInputDataForm& f = *d.form;
    const auto dt = static_cast<DataType>(type);
    d.chooseDataType(dt);
    const std::vector<std::vector<float>> rows =
        dt == dtWaterFinding
            ? std::vector<std::vector<float>>{{1.5f, 2.3f, 0.1f, 1e-6f, 123456.789f, -3.7f, 99.99f},
                                              {2.5f, 1e7f, 0.3f, 4.4f, 5.55f, 6.666f, 7.7777f}}
            : std::vector<std::vector<float>>{{20, 50, 20, 2.3f}, {40, 50.5f, 20, 0.1f}};
    sdata s = BuildStation(dt, dt == dtWaterFinding ? "0.1" : "0", 0.1f, rows, 2.3f);
    s.WorkArea = Gbk("北山");
    s.Operator = Gbk("李四");
    if (dt == dtFourPoleProfile) s.Profile = "0";
    LoadAndShow(d, {s, BuildStation(dt, "x", 1000, rows)}, 0);
    d.trigger(f.UpdateData);
    QVERIFY2(d.dialogs.messages.isEmpty(), qPrintable(d.dialogs.texts().join('|')));
    QVERIFY(f.survey().stations()[0] == s);
  }

  // Nothing of the station changes when any text does not convert, even where fields before
  // the bad one were changed; the error box names the text.
  void failedUpdateLeavesStationAsItWas_data() {
    QTest::addColumn<QString>("field");  // an edit's name, or "cell"
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("error");
    QTest::newRow("letters in a cell") << "cell" << "abc" << "'abc' is not a valid floating point value.";
    QTest::newRow("comma in EX") << "EX" << "1,5" << "'1,5' is not a valid floating point value.";
    QTest::newRow("empty EY") << "EY" << "" << "'' is not a valid floating point value.";
    QTest::newRow("letters in EAB") << "EAB" << "x" << "'x' is not a valid integer value.";
    QTest::newRow("EAB beyond the grid") << "EAB" << "5" << "'' is not a valid floating point value.";
    QTest::newRow("non-GBK text in EW") << "EW" << QStringLiteral("ก") << "测区中有不能保存到数据文件的字符，请修改后再更新。";
  }
  void failedUpdateLeavesStationAsItWas() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, error);
    FormDriver d;
    TInputDataForm& f = *d.form;
    const sdata before = SoundingStation("S1", 0, 10, 20, 30);
    LoadAndShow(d, {before, SoundingStation("S2", 50)}, 0);
    d.type(f.ES, QStringLiteral("S9"));
    d.typeCell(2, 1, QStringLiteral("99"));
    if (field == QLatin1String("cell")) {
      d.typeCell(2, 3, text);
    } else {
      d.type(f.findChild<QLineEdit*>(field), text);
    }
    d.dialogs.messages.clear();
    d.trigger(f.UpdateData);
    QVERIFY(f.survey().stations()[0] == before);
    QCOMPARE(d.dialogs.messages.size(), 1);
    QCOMPARE(d.dialogs.messages[0].text, error);
    QCOMPARE(d.dialogs.messages[0].caption, kAppTitle);
    QCOMPARE(d.dialogs.messages[0].icon, field == QLatin1String("EW") ? Dialogs::Icon::Warning : Dialogs::Icon::Error);
    // Corrected, the same update goes through.
    if (field == QLatin1String("cell")) {
      d.typeCell(2, 3, QStringLiteral("31"));
    } else {
      d.type(f.findChild<QLineEdit*>(field), field == QLatin1String("EAB") ? QStringLiteral("3")
                                                                            : field == QLatin1String("EW") ? QStringLiteral("W")
                                                                                                             : QStringLiteral("0"));
    }
    d.trigger(f.UpdateData);
    QCOMPARE(d.dialogs.messages.size(), 1);
    QCOMPARE(f.survey().stations()[0].Name, std::string("S9"));
    QCOMPARE(f.survey().stations()[0].Columns[colRho][0], 99.0f);
  }

  // A count of 0 or less keeps no rows and is stored as 0.
  void countOfZeroOrLessKeepsNoRows_data() {
    QTest::addColumn<QString>("count");
    QTest::newRow("0") << "0";
    QTest::newRow("-2") << "-2";
  }
  void countOfZeroOrLessKeepsNoRows() {
    QFETCH(QString, count);
    FormDriver d;
    TInputDataForm& f = *d.form;
    LoadAndShow(d, {SoundingStation("S1", 0), SoundingStation("S2", 50)}, 0);
    d.type(f.EAB, count);
    d.trigger(f.UpdateData);
    QVERIFY(d.dialogs.messages.isEmpty());
    QCOMPARE(f.survey().stations()[0].SpacingCount, 0);
    for (const auto& column : f.survey().stations()[0].Columns) QVERIFY(column.empty());
  }

  // A moved X is written as typed and the list keeps its order; the changed station is not in
  // the file yet, so the survey is unsaved and closing asks.
  void movedXDoesNotReorderTheList() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    LoadAndShow(d, {SoundingStation("S1", 0), SoundingStation("S2", 100), SoundingStation("S3", 200)}, 1, true);
    d.type(f.EX, QStringLiteral("300"));
    d.trigger(f.UpdateData);
    QVERIFY(d.dialogs.messages.isEmpty());
    QCOMPARE(f.survey().stations().size(), std::size_t{3});
    QCOMPARE(f.survey().stations()[0].X, 0.0f);
    QCOMPARE(f.survey().stations()[1].X, 300.0f);
    QCOMPARE(f.survey().stations()[1].Name, std::string("S2"));
    QCOMPARE(f.survey().stations()[2].X, 200.0f);
    QCOMPARE(f.survey().currentIndex(), 1);
    QVERIFY(!f.survey().saved());
    QVERIFY(f.isWindowModified());
    d.click(f.Next);
    QCOMPARE(f.ES->text(), QStringLiteral("S3"));
    // Closing asks; Cancel keeps the window, No closes it.
    d.click(f.BitBtn3);
    QVERIFY(f.isVisible());
    QCOMPARE(d.dialogs.texts(), QStringList{QStringLiteral("是否保存输入的数据?")});
    d.dialogs.setNextAnswer(Dialogs::Answer::No);
    d.click(f.BitBtn3);
    QVERIFY(!f.isVisible());
  }
};

QTEST_MAIN(UpdateTest)
#include "update_test.moc"
