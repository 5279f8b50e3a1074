// Stepping through the committed stations with Previous and Next, and how a station is shown
// in the edits and the grid.
#include <QTest>

#include "formdriver.h"
#include "io/textconv.h"
#include "stationbuilder.h"

Q_DECLARE_METATYPE(Dialogs::Answer)

namespace {
// The window as a run of commits leaves it: the last committed station current, Previous
// enabled once there are two stations, the list unsaved.
void Load(FormDriver& d, StationList stations, bool saved = false) {
  const int last = static_cast<int>(stations.size()) - 1;
  d.load(std::move(stations), last, saved);
}

// The grid's data rows, columns 1 to the last, each row joined with "|".
QStringList GridRows(const StringGrid* grid) {
  QStringList out;
  for (int r = 1; r < grid->rowCount(); ++r) {
    QStringList cells;
    for (int c = 1; c < grid->colCount(); ++c) cells << grid->cell(c, r);
    out << cells.join('|');
  }
  return out;
}

// Sets the spacing count (leaving EAB runs its check, which sizes the grid) and fills the rows.
void FillGrid(FormDriver& d, const QStringList& rows) {
  d.type(d.form->EAB, QString::number(rows.size()));
  d.focus(d.form->EX);
  for (int r = 0; r < rows.size(); ++r) {
    const QStringList cells = rows[r].split('|');
    for (int c = 0; c < cells.size(); ++c) d.setCell(c + 1, r + 1, cells[c]);
  }
}

// A left click on a grid cell, as the user picks the row a command acts on.
void ClickCell(FormDriver& d, int col, int row) {
  StringGrid* grid = d.form->SG;
  const QRect rect = grid->visualRect(grid->model()->index(row - 1, col));
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, rect.center());
  QApplication::processEvents();
}

QStringList GridColumn(const StringGrid* grid, int col) {
  QStringList out;
  for (int r = 1; r < grid->rowCount(); ++r) out << grid->cell(col, r);
  return out;
}
}  // namespace

class BrowseTest : public QObject {
  Q_OBJECT
 private slots:
  void stepsThroughThreeStations_data() {
    QTest::addColumn<bool>("menu");
    QTest::newRow("buttons") << false;
    QTest::newRow("menu items") << true;
  }
  void stepsThroughThreeStations() {
    QFETCH(bool, menu);
    FormDriver d;
    TInputDataForm& f = *d.form;
    Load(d, {SoundingStation("S1", 0, 11), SoundingStation("S2", 50, 12), SoundingStation("S3", 100, 13)});
    auto previous = [&] { menu ? d.trigger(f.N13) : d.click(f.Previous); };
    auto next = [&] { menu ? d.trigger(f.N14) : d.click(f.Next); };
    QVERIFY(f.Previous->isEnabled());
    QVERIFY(!f.Next->isEnabled());
    QVERIFY(!f.UpdateData->isEnabled());

    previous();
    QCOMPARE(f.survey().currentIndex(), 1);
    QCOMPARE(f.ES->text(), QStringLiteral("S2"));
    QCOMPARE(f.EX->text(), QStringLiteral("50"));
    QCOMPARE(f.SG->cell(2, 1), QStringLiteral("12"));
    QVERIFY(f.Previous->isEnabled());
    QVERIFY(f.Next->isEnabled());
    QVERIFY(f.UpdateData->isEnabled());

    previous();
    QCOMPARE(f.survey().currentIndex(), 0);
    QCOMPARE(f.ES->text(), QStringLiteral("S1"));
    QCOMPARE(f.SG->cell(2, 1), QStringLiteral("11"));
    QVERIFY(!f.Previous->isEnabled());  // nothing before the first station
    QVERIFY(f.Next->isEnabled());

    // The disabled command changes nothing; moving on from edited fields asks first, and No
    // drops the edits.
    d.type(f.ES, QStringLiteral("typed"));
    previous();
    QCOMPARE(f.survey().currentIndex(), 0);
    QCOMPARE(f.ES->text(), QStringLiteral("typed"));
    QVERIFY(d.dialogs.messages.isEmpty());
    d.dialogs.setNextAnswer(Dialogs::Answer::No);
    next();
    QCOMPARE(d.dialogs.texts(), QStringList{QStringLiteral("当前测点的数据已修改，是否更新?")});
    QCOMPARE(d.dialogs.messages[0].buttons, Dialogs::Buttons::YesNoCancel);
    d.dialogs.messages.clear();
    QCOMPARE(f.survey().stations()[0].Name, std::string("S1"));
    QCOMPARE(f.survey().currentIndex(), 1);
    QCOMPARE(f.ES->text(), QStringLiteral("S2"));
    QVERIFY(f.Previous->isEnabled());
    next();
    QCOMPARE(f.survey().currentIndex(), 2);
    QCOMPARE(f.ES->text(), QStringLiteral("S3"));
    QCOMPARE(f.SG->cell(2, 3), QStringLiteral("30"));
    QVERIFY(!f.Next->isEnabled());  // nothing after the last station
    next();
    QCOMPARE(f.survey().currentIndex(), 2);
    QVERIFY(f.Previous->isEnabled());
    QVERIFY(f.UpdateData->isEnabled());
    QCOMPARE(f.survey().stations().size(), std::size_t{3});
    QVERIFY(!f.survey().saved());
    QVERIFY(d.dialogs.messages.isEmpty());
  }

  // Browsing never reaches past the list, also when the index is left beyond it.
  void browsingAnEmptyListOnlyDisablesTheButtons() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    Load(d, {SoundingStation("S1", 0), SoundingStation("S2", 50), SoundingStation("S3", 100),
             SoundingStation("S4", 150)},
         true);
    QCOMPARE(f.survey().currentIndex(), 3);
    d.chooseDataType(dtWaterFinding);
    QVERIFY(f.survey().stations().empty());
    const QString ex = f.EX->text();
    d.trigger(f.N13);
    d.trigger(f.N14);
    QVERIFY(!f.Previous->isEnabled());
    QVERIFY(!f.Next->isEnabled());
    QVERIFY(!f.UpdateData->isEnabled());
    QCOMPARE(f.EX->text(), ex);

    // An index left beyond an empty list: neither button shows anything.
    d.load({}, 3, true);
    QVERIFY(!f.Previous->isEnabled());
    QVERIFY(!f.Next->isEnabled());
    d.click(f.Previous);
    QVERIFY(!f.Previous->isEnabled());
    QCOMPARE(f.survey().currentIndex(), 3);
    QCOMPARE(f.EX->text(), ex);
    d.click(f.Next);
    QVERIFY(!f.Next->isEnabled());
    QCOMPARE(f.survey().currentIndex(), 3);
    QVERIFY(d.dialogs.messages.isEmpty());
  }

  void showsNumbersAsTyped_data() {
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    QTest::addColumn<QString>("ex");
    QTest::addColumn<QString>("ey");
    QTest::newRow("0.1 and 2.3") << 0.1f << 2.3f << "0.1" << "2.3";
    QTest::newRow("117.46 and 81.9") << 117.46f << 81.9f << "117.46" << "81.9";
    QTest::newRow("2.5 and whole") << 2.5f << 100.0f << "2.5" << "100";
    QTest::newRow("negative and zero") << -12.75f << 0.0f << "-12.75" << "0";
  }
  void showsNumbersAsTyped() {
    QFETCH(float, x);
    QFETCH(float, y);
    QFETCH(QString, ex);
    QFETCH(QString, ey);
    FormDriver d;
    TInputDataForm& f = *d.form;
    sdata first = SoundingStation(Gbk("测点一"), x, 0.1f, 2.3f, 1000000);
    first.Y = y;
    first.WorkArea = Gbk("北山测区");
    first.Profile = Gbk("剖面3");
    first.Operator = Gbk("张三");
    first.Instrument = Gbk("DZD-6A");
    Load(d, {first, SoundingStation("S2", 1000)});
    d.click(f.Previous);
    QCOMPARE(f.EX->text(), ex);
    QCOMPARE(f.EY->text(), ey);
    QCOMPARE(f.ES->text(), QStringLiteral("测点一"));
    QCOMPARE(f.EW->text(), QStringLiteral("北山测区"));
    QCOMPARE(f.EP->text(), QStringLiteral("剖面3"));
    QCOMPARE(f.EO->text(), QStringLiteral("张三"));
    QCOMPARE(f.EI->text(), QStringLiteral("DZD-6A"));
    QCOMPARE(f.EAB->text(), QStringLiteral("3"));
    QCOMPARE(f.SG->rowCount(), 4);  // was 14: the grid takes the station's rows
    QCOMPARE(f.SG->colCount(), 3);
    QCOMPARE(GridColumn(f.SG, 0), QStringList({"1", "2", "3"}));
    QCOMPARE(GridColumn(f.SG, 1), QStringList({"1.5", "2.5", "4"}));
    QCOMPARE(GridColumn(f.SG, 2), QStringList({"0.1", "2.3", "1000000"}));
    QCOMPARE(f.SG->cell(2, 0), QStringLiteral("视电阻率"));
    QCOMPARE(f.ST->text(), QStringLiteral("已输入2个测点"));  // showing leaves the status line
  }

  // Every water-finding value comes back into the grid column it was typed in.
  void showsWaterFindingStationInItsColumns() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.chooseDataType(dtWaterFinding);
    QCOMPARE(f.SG->colCount(), 8);
    sdata s;
    s.Name = "120";
    s.X = 120;
    s.SpacingCount = 2;
    s.Columns[colAB2] = {1.5f, 2.5f};
    s.Columns[colRho] = {31, 32};
    s.Columns[colZP] = {41, 42};
    s.Columns[colIP] = {51, 52};
    s.Columns[colTD] = {61, 62};
    s.Columns[colTH] = {71, 72};
    s.Columns[colR] = {81, 82};
    Load(d, {s, BuildStation(dtWaterFinding, "170", 170, {{1, 2, 3, 4, 5, 6, 7}})});
    d.click(f.Previous);
    QCOMPARE(f.ES->text(), QStringLiteral("120"));
    QCOMPARE(f.SG->rowCount(), 3);
    QCOMPARE(f.SG->colCount(), 8);
    // Grid columns: AB/2, rho, ZP, half-decay time, decay degree, deviation degree, chargeability.
    const QList<QStringList> expected = {{"1.5", "2.5"}, {"31", "32"}, {"41", "42"}, {"71", "72"},
                                         {"61", "62"},   {"81", "82"}, {"51", "52"}};
    for (int c = 1; c <= 7; ++c) QCOMPARE(GridColumn(f.SG, c), expected[c - 1]);
    QCOMPARE(f.SG->cell(4, 0), QStringLiteral("半衰时"));

    d.click(f.Next);
    QCOMPARE(f.SG->rowCount(), 2);
    for (int c = 1; c <= 7; ++c) QCOMPARE(f.SG->cell(c, 1), QString::number(c));
  }

  // Committed through the window and shown again: each typed value is back in its cell.
  void committedWaterFindingStationsComeBackAsTyped() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.chooseDataType(dtWaterFinding);
    const QStringList first = {"1.5|100|1.1|2.2|3.3|4.4|5.5", "2.5|120|6.6|7.7|8.8|9.9|10.1"};
    FillGrid(d, first);
    d.type(f.EX, QStringLiteral("0"));
    d.click(f.BitBtn2);
    QCOMPARE(f.survey().stations().size(), std::size_t{1});
    // The commit emptied every measured column: the second station's readings are typed afresh.
    FillGrid(d, {"1.5|200|1|2|3|4|5", "2.5|220|6|7|8|9|10"});
    d.click(f.BitBtn2);
    QCOMPARE(f.survey().stations().size(), std::size_t{2});
    QVERIFY2(d.dialogs.messages.isEmpty(), qPrintable(d.dialogs.texts().join('|')));
    d.click(f.Previous);
    QCOMPARE(f.ES->text(), QStringLiteral("0"));
    QCOMPARE(GridRows(f.SG), QStringList(first));
    d.click(f.Next);
    QCOMPARE(f.ES->text(), QStringLiteral("50"));
    QCOMPARE(GridColumn(f.SG, 2), QStringList({"200", "220"}));
    QCOMPARE(GridColumn(f.SG, 7), QStringList({"5", "10"}));
  }

  // The branch is selected for the station shown; the resistivities just shown stay.
  void showsCombinedProfileBranch_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("branch");
    QTest::newRow("A") << "A" << 0;
    QTest::newRow("B") << "B" << 1;
    QTest::newRow("lower-case a") << "a" << 1;
    QTest::newRow("A with more") << "AB" << 1;
  }
  void showsCombinedProfileBranch() {
    QFETCH(QString, name);
    QFETCH(int, branch);
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.chooseDataType(dtCombinedProfile);
    f.AB->setCurrentIndex(1 - branch);
    Load(d, {BuildStation(dtCombinedProfile, name.toStdString(), 0, {{20, 50, 20, 101}, {40, 50, 20, 102}}),
             BuildStation(dtCombinedProfile, "B", 50, {{20, 50, 20, 201}, {40, 50, 20, 202}})});
    d.click(f.Previous);
    QCOMPARE(f.AB->currentIndex(), branch);
    QCOMPARE(f.AB->currentText(), branch == 0 ? QStringLiteral("RhoA") : QStringLiteral("RhoB"));
    QCOMPARE(f.ES->text(), name);
    QCOMPARE(f.SG->colCount(), 5);
    QCOMPARE(GridColumn(f.SG, 1), QStringList({"20", "40"}));
    QCOMPARE(GridColumn(f.SG, 2), QStringList({"50", "50"}));
    QCOMPARE(GridColumn(f.SG, 3), QStringList({"20", "20"}));
    QCOMPARE(GridColumn(f.SG, 4), QStringList({"101", "102"}));
  }

  // Insert and delete move whole rows: every value stays beside the spacing it was typed with.
  void insertsAndDeletesRows_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<int>("current");  // 0: no cell picked
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("expected");
    const QStringList three = {"1.5|100", "2.5|120", "4|130"};
    QTest::newRow("insert in the middle") << int(dtSounding) << three << 2 << "insert"
                                          << QStringList{"1.5|100", "|", "2.5|120", "4|130"};
    QTest::newRow("insert at the last row") << int(dtSounding) << three << 3 << "insert"
                                            << QStringList{"1.5|100", "2.5|120", "|", "4|130"};
    QTest::newRow("insert, water finding") << int(dtWaterFinding) << QStringList{"1.5|100|1|2|3|4|5", "2.5|120|6|7|8|9|10"}
                                           << 2 << "insert"
                                           << QStringList{"1.5|100|1|2|3|4|5", "||||||", "2.5|120|6|7|8|9|10"};
    QTest::newRow("insert in an empty grid") << int(dtSounding) << QStringList{} << 0 << "insert" << QStringList{"|"};
    QTest::newRow("delete in the middle") << int(dtSounding) << three << 2 << "delete"
                                          << QStringList{"1.5|100", "4|130"};
    QTest::newRow("delete the first row") << int(dtSounding) << three << 1 << "delete"
                                          << QStringList{"2.5|120", "4|130"};
    QTest::newRow("delete the last row") << int(dtSounding) << three << 3 << "delete"
                                         << QStringList{"1.5|100", "2.5|120"};
    QTest::newRow("delete, water finding") << int(dtWaterFinding) << QStringList{"1.5|100|1|2|3|4|5", "2.5|120|6|7|8|9|10"}
                                           << 1 << "delete" << QStringList{"2.5|120|6|7|8|9|10"};
    QTest::newRow("delete in an empty grid") << int(dtSounding) << QStringList{} << 0 << "delete" << QStringList{};
  }
  void insertsAndDeletesRows() {
    QFETCH(int, type);
    QFETCH(QStringList, rows);
    QFETCH(int, current);
    QFETCH(QString, command);
    QFETCH(QStringList, expected);
    FormDriver d;
    TInputDataForm& f = *d.form;
    if (type != dtSounding) d.chooseDataType(type);
    FillGrid(d, rows);
    QCOMPARE(f.SG->rowCount(), rows.size() + 1);
    if (current > 0) ClickCell(d, 1, current);
    d.dialogs.messages.clear();
    d.trigger(command == QLatin1String("insert") ? f.Insert : f.Delete);
    QCOMPARE(GridRows(f.SG), expected);
    QCOMPARE(f.EAB->text(), rows.isEmpty() && command == QLatin1String("delete") ? QStringLiteral("0")
                                                                                 : QString::number(expected.size()));
    for (int r = 1; r < f.SG->rowCount(); ++r) QCOMPARE(f.SG->cell(0, r), QString::number(r));
    QVERIFY(d.dialogs.messages.isEmpty());
    QVERIFY(f.survey().stations().empty());
  }

  // The main menu's "插入数据(&I)" is the same row insertion.
  void menuInsertsRowAtCurrentRow() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    FillGrid(d, {"1.5|100", "2.5|120"});
    ClickCell(d, 2, 1);
    d.trigger(f.N9);
    QCOMPARE(GridRows(f.SG), QStringList({"|", "1.5|100", "2.5|120"}));
    QCOMPARE(f.EAB->text(), QStringLiteral("3"));
  }

  void clearKeepsRowNumbersAndSpacings() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.chooseDataType(dtWaterFinding);
    FillGrid(d, {"1.5|100|1|2|3|4|5", "2.5|120|6|7|8|9|10", "4|130|11|12|13|14|15"});
    const StationList stations = {BuildStation(dtWaterFinding, "0", 0, {{1, 2, 3, 4, 5, 6, 7}})};
    d.load(stations, 0, false);
    d.click(f.BitBtn1);
    QCOMPARE(GridRows(f.SG), QStringList({"1.5||||||", "2.5||||||", "4||||||"}));
    QCOMPARE(GridColumn(f.SG, 0), QStringList({"1", "2", "3"}));
    QCOMPARE(f.SG->cell(7, 0), QStringLiteral("视极化率"));
    QCOMPARE(f.EAB->text(), QStringLiteral("3"));
    QVERIFY(f.survey().stations() == stations);
  }

  // A shown station can be deleted from the grid's menu or the data menu, after a Yes/No
  // question naming it; the next station takes its place and the list becomes unsaved.
  void deletesTheShownStation_data() {
    QTest::addColumn<bool>("fromMenuBar");
    QTest::addColumn<Dialogs::Answer>("answer");
    QTest::newRow("grid menu, yes") << false << Dialogs::Answer::Yes;
    QTest::newRow("data menu, yes") << true << Dialogs::Answer::Yes;
    QTest::newRow("data menu, no") << true << Dialogs::Answer::No;
  }
  void deletesTheShownStation() {
    QFETCH(bool, fromMenuBar);
    QFETCH(Dialogs::Answer, answer);
    FormDriver d;
    TInputDataForm& f = *d.form;
    Load(d, {SoundingStation("S1", 0, 11), SoundingStation("S2", 50, 12), SoundingStation("S3", 100, 13)}, true);
    QVERIFY(!f.DeleteStation->isEnabled());  // the proposal of the next station is not a station
    d.click(f.Previous);
    QCOMPARE(f.ES->text(), QStringLiteral("S2"));
    QVERIFY(f.DeleteStation->isEnabled() && f.N12->isEnabled());
    d.dialogs.setNextAnswer(answer);

    d.trigger(fromMenuBar ? f.N12 : f.DeleteStation);

    QCOMPARE(d.dialogs.messages.size(), 1);
    QVERIFY(d.dialogs.messages[0].text.contains(QStringLiteral("S2")));
    QCOMPARE(d.dialogs.messages[0].buttons, Dialogs::Buttons::YesNo);
    if (answer == Dialogs::Answer::No) {
      QCOMPARE(f.survey().stations().size(), std::size_t{3});
      QVERIFY(f.survey().saved());
      return;
    }
    QCOMPARE(f.survey().stations().size(), std::size_t{2});
    QCOMPARE(f.survey().stations()[1].Name, std::string("S3"));
    QCOMPARE(f.survey().currentIndex(), 1);
    QCOMPARE(f.ES->text(), QStringLiteral("S3"));
    QCOMPARE(f.SG->cell(2, 1), QStringLiteral("13"));
    QCOMPARE(f.ST->text(), QStringLiteral("已输入2个测点"));
    QVERIFY(f.Previous->isEnabled());
    QVERIFY(!f.Next->isEnabled());
    QVERIFY(!f.survey().saved());

    // Deleting down to nothing leaves nothing to browse.
    for (int left = 2; left > 0; --left) {
      d.dialogs.setNextAnswer(Dialogs::Answer::Yes);
      d.trigger(f.DeleteStation);
    }
    QVERIFY(f.survey().stations().empty());
    QVERIFY(!f.Previous->isEnabled() && !f.Next->isEnabled() && !f.DeleteStation->isEnabled());
    QCOMPARE(f.ST->text(), QStringLiteral("当前没有数据"));
  }

  // A click into a cell and typing replaces its text; so does typing after a second click on
  // the same cell (it does not append to the old value). F2 edits in place.
  void typingIntoAClickedCellReplacesIt() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.setCell(2, 3, QStringLiteral("58"));
    ClickCell(d, 2, 3);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("7"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_COMPARE(f.SG->cell(2, 3), QStringLiteral("7"));
    ClickCell(d, 2, 3);
    ClickCell(d, 2, 3);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("9"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_COMPARE(f.SG->cell(2, 3), QStringLiteral("9"));
    QCOMPARE(f.survey().form().grid.cell(2, 3), std::string("9"));  // the survey has what was typed
    ClickCell(d, 2, 3);
    QTest::keyClick(f.SG, Qt::Key_F2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("5"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_COMPARE(f.SG->cell(2, 3), QStringLiteral("95"));
  }

  // Where x cannot be typed and the proposed x is taken (the type was chosen while EX held
  // 50), the next free x beyond the line is proposed, so the next branch can be committed.
  void profileProposalNeverStandsOnACommittedUnit() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.type(f.EX, QStringLiteral("50"));
    d.chooseDataType(dtCombinedProfile);
    QCOMPARE(f.EX->text(), QStringLiteral("50"));
    for (int branch = 0; branch < 2; ++branch) {
      for (int r = 1; r < f.SG->rowCount(); ++r) d.setCell(4, r, QString::number(100 + r));
      d.click(f.BitBtn2);
    }
    QVERIFY2(d.dialogs.messages.isEmpty(), qPrintable(d.dialogs.texts().join('|')));
    QCOMPARE(f.survey().stations().size(), std::size_t{2});
    QCOMPARE(f.survey().stations()[0].X, 50.0f);
    QCOMPARE(f.survey().stations()[1].X, 100.0f);
    QCOMPARE(f.EX->text(), QStringLiteral("150"));
  }
};

QTEST_MAIN(BrowseTest)
#include "browse_test.moc"
