// Committing a station with "插入数据" (and the grid's "插入测点"): the record built from the
// edits and the grid, its place in the list, the window prepared for the next station, and
// the commits that are refused.
#include <QTest>

#include "formdriver.h"
#include "io/textconv.h"

namespace {
const QStringList kSpacings = {"1.5", "2.5", "4.0", "6", "9", "15", "25", "40", "60", "90", "150", "225", "340"};
const QString kSameCoordinates = QStringLiteral("与该点坐标一样的测点已经输入，请更改点号或坐标后再插入。");
const QString kLineComplete = QStringLiteral("您已经输入完成一条联合剖面的数据输入。请保存输入结果！");

std::vector<float> Floats(const QStringList& texts) {
  std::vector<float> out;
  for (const QString& t : texts) out.push_back(StrToFloat(t.toStdString()));
  return out;
}

QStringList Column(const TInputDataForm& f, int col) {
  QStringList out;
  for (int r = 1; r < f.SG->rowCount(); ++r) out << f.SG->cell(col, r);
  return out;
}

// Resistivities for the 13 default rows, different per station.
QStringList Resistivities(int station) {
  QStringList out;
  for (int r = 1; r <= 13; ++r) out << QString::number(100 * station + r) + QStringLiteral(".5");
  return out;
}

void FillColumn(FormDriver& d, int col, const QStringList& values) {
  for (int r = 1; r <= values.size(); ++r) d.setCell(col, r, values[r - 1]);
}
}  // namespace

class CommitTest : public QObject {
  Q_OBJECT
 private slots:
  // Three sounding stations: the record, the status, the next station proposed, x order.
  void soundingStations() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    FillColumn(d, 2, Resistivities(1));
    d.typeCell(2, 1, QStringLiteral("12.25"));
    d.click(f.BitBtn2);
    QVERIFY(d.dialogs.messages.isEmpty());
    QCOMPARE(f.survey().stations().size(), std::size_t{1});
    const sdata& s = f.survey().stations()[0];
    QCOMPARE(s.Name, std::string("S1"));
    QCOMPARE(s.X, 0.0f);
    QCOMPARE(s.Y, 0.0f);
    QCOMPARE(s.WorkArea, std::string("WorkArea"));
    QCOMPARE(s.Profile, std::string("Profile"));
    QCOMPARE(s.Operator, std::string("Operator"));
    QCOMPARE(s.Instrument, std::string("DZD"));
    QCOMPARE(s.SpacingCount, 13);
    QCOMPARE(s.Columns[colAB2], Floats(kSpacings));
    QStringList rho = Resistivities(1);
    rho[0] = QStringLiteral("12.25");
    QCOMPARE(s.Columns[colRho], Floats(rho));
    for (int k : {colZP, colIP, colTD, colTH, colR}) QVERIFY(s.Columns[k].empty());  // a .ves station holds none
    QVERIFY(s.Columns[colPointNo].empty());
    QVERIFY(s.Columns[colMN2].empty());

    QCOMPARE(f.ST->text(), QStringLiteral("已输入1个测点"));
    QCOMPARE(Column(f, 2), QStringList(13, QString()));
    QCOMPARE(Column(f, 1), kSpacings);
    QCOMPARE(f.EX->text(), QStringLiteral("50"));
    QCOMPARE(f.EY->text(), QStringLiteral("0"));
    QCOMPARE(f.ES->text(), QStringLiteral("S2"));
    QVERIFY(f.Previous->isEnabled());  // the one committed station can be shown and corrected
    QVERIFY(!f.Next->isEnabled());
    QCOMPARE(f.survey().currentIndex(), 0);
    QVERIFY(!f.survey().saved());

    // The second at the proposed x 50, committed from the grid's context menu.
    FillColumn(d, 2, Resistivities(2));
    d.trigger(f.N4);
    QCOMPARE(f.survey().stations().size(), std::size_t{2});
    QCOMPARE(f.survey().stations()[1].Name, std::string("S2"));
    QCOMPARE(f.survey().stations()[1].X, 50.0f);
    QCOMPARE(f.ST->text(), QStringLiteral("已输入2个测点"));
    QVERIFY(f.Previous->isEnabled());
    QVERIFY(!f.Next->isEnabled());
    QCOMPARE(f.survey().currentIndex(), 1);
    QCOMPARE(f.EX->text(), QStringLiteral("100"));
    QCOMPARE(f.ES->text(), QStringLiteral("S3"));

    // The third at x 25 goes between them.
    d.type(f.EX, QStringLiteral("25"));
    d.type(f.EY, QStringLiteral("7.5"));
    FillColumn(d, 2, Resistivities(3));
    d.click(f.BitBtn2);
    QVERIFY(d.dialogs.messages.isEmpty());
    QCOMPARE(f.survey().stations().size(), std::size_t{3});
    QCOMPARE(f.survey().stations()[0].Name, std::string("S1"));
    QCOMPARE(f.survey().stations()[1].Name, std::string("S3"));
    QCOMPARE(f.survey().stations()[1].X, 25.0f);
    QCOMPARE(f.survey().stations()[1].Y, 7.5f);
    QCOMPARE(f.survey().stations()[1].Columns[colRho], Floats(Resistivities(3)));
    QCOMPARE(f.survey().stations()[2].Name, std::string("S2"));
    QCOMPARE(f.survey().currentIndex(), 1);
    QCOMPARE(f.ST->text(), QStringLiteral("已输入3个测点"));
    // Beyond S3 by its step from S1 (25), past S2 at 50.
    QCOMPARE(f.EX->text(), QStringLiteral("75"));
    QCOMPARE(f.ES->text(), QStringLiteral("S4"));
  }

  // A value still open in the cell editor when "插入测点" is chosen belongs to the station, and
  // the editor does not write it back over the cleared column.
  void openCellEditorIsCommitted() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    FillColumn(d, 2, Resistivities(1));
    d.focus(f.SG);
    f.SG->setCurrentCell(2, 5);
    QTest::keyClick(f.SG, Qt::Key_F2);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor && f.SG->isAncestorOf(editor));
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("77.5"));
    d.trigger(f.N4);
    QCOMPARE(f.survey().stations().size(), std::size_t{1});
    QCOMPARE(f.survey().stations()[0].Columns[colRho][4], 77.5f);
    QApplication::processEvents();
    QCOMPARE(Column(f, 2), QStringList(13, QString()));
  }

  // Water finding: the station is named by its x, and the seven grid columns land in their
  // own Columns[k].
  void waterFindingColumns() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.chooseDataType(dtWaterFinding);
    d.type(f.EX, QStringLiteral("120"));
    d.type(f.EAB, QStringLiteral("2"));
    const QStringList row1 = {"", "1.5", "35.2", "3.75", "2.1", "45", "0.5", "1.25"};
    const QStringList row2 = {"", "2.5", "40", "4", "2.3", "50.5", "0.8", "1.5"};
    for (int c = 1; c <= 7; ++c) {
      d.setCell(c, 1, row1[c]);
      d.setCell(c, 2, row2[c]);
    }
    d.click(f.BitBtn2);
    QVERIFY(d.dialogs.messages.isEmpty());
    QCOMPARE(f.survey().stations().size(), std::size_t{1});
    const sdata& s = f.survey().stations()[0];
    QCOMPARE(s.Name, std::string("120"));
    QCOMPARE(s.X, 120.0f);
    QCOMPARE(s.SpacingCount, 2);
    const std::pair<int, int> gridToColumn[] = {{1, colAB2}, {2, colRho}, {3, colZP}, {4, colTH},
                                                {5, colTD},  {6, colR},   {7, colIP}};
    for (auto [g, k] : gridToColumn) QCOMPARE(s.Columns[k], Floats({row1[g], row2[g]}));
    QVERIFY(s.Columns[colPointNo].empty());
    QVERIFY(s.Columns[colMN2].empty());
    // Every measured column is cleared, so no reading is carried into the next station; the
    // spacings stay as its template.
    for (int c = 2; c <= 7; ++c) QCOMPARE(Column(f, c), QStringList(2, QString()));
    QCOMPARE(Column(f, 1), (QStringList{row1[1], row2[1]}));
    QCOMPARE(f.EX->text(), QStringLiteral("170"));  // beyond the station, by 50
  }

  // Four-pole lines are named by EP, which grows by 50 per line.
  void fourPoleLines() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.chooseDataType(dtFourPoleProfile);
    QCOMPARE(f.EP->text(), QStringLiteral("0"));
    d.type(f.EAB, QStringLiteral("3"));
    QTest::keyClick(f.EAB, Qt::Key_Tab);
    FillColumn(d, 4, {"110", "120.5", "130"});
    d.click(f.BitBtn2);
    QVERIFY(d.dialogs.messages.isEmpty());
    QCOMPARE(f.survey().stations().size(), std::size_t{1});
    const sdata& line = f.survey().stations()[0];
    QCOMPARE(line.Name, std::string("0"));
    QCOMPARE(line.Profile, std::string("0"));
    QCOMPARE(line.SpacingCount, 3);
    QCOMPARE(line.Columns[colPointNo], (std::vector<float>{20, 40, 60}));
    QCOMPARE(line.Columns[colAB2], (std::vector<float>{50, 50, 50}));
    QCOMPARE(line.Columns[colMN2], (std::vector<float>{20, 20, 20}));
    QCOMPARE(line.Columns[colRho], Floats({"110", "120.5", "130"}));
    for (int k : {colZP, colIP, colTD, colTH, colR}) QCOMPARE(line.Columns[k], std::vector<float>(3, 0.0f));
    QCOMPARE(f.EP->text(), QStringLiteral("50"));
    QCOMPARE(f.EX->text(), QStringLiteral("50"));
    QCOMPARE(Column(f, 4), QStringList(3, QString()));
    QCOMPARE(Column(f, 1), (QStringList{"20", "40", "60"}));
    QCOMPARE(f.ST->text(), QStringLiteral("已输入1个测点"));

    FillColumn(d, 4, {"210", "220", "230"});
    d.click(f.BitBtn2);
    QCOMPARE(f.survey().stations().size(), std::size_t{2});
    QCOMPARE(f.survey().stations()[1].Name, std::string("50"));
    QCOMPARE(f.survey().stations()[1].X, 50.0f);
    QCOMPARE(f.EP->text(), QStringLiteral("100"));
    QCOMPARE(f.EX->text(), QStringLiteral("100"));
    QCOMPARE(f.survey().currentIndex(), 1);
  }

  // A line number that is not an integer: the line is added and the window is ready for the
  // next line, then the conversion error is shown and EP keeps its text.
  void fourPoleLineNumberNotInteger() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.chooseDataType(dtFourPoleProfile);
    d.type(f.EAB, QStringLiteral("2"));
    QTest::keyClick(f.EAB, Qt::Key_Tab);
    FillColumn(d, 4, {"110", "120"});
    d.click(f.BitBtn2);
    d.type(f.EP, QStringLiteral("L7"));
    FillColumn(d, 4, {"310", "320"});
    d.click(f.BitBtn2);
    QCOMPARE(f.survey().stations().size(), std::size_t{2});
    QCOMPARE(f.survey().stations()[1].Name, std::string("L7"));
    QCOMPARE(f.survey().stations()[1].Columns[colRho], (std::vector<float>{310, 320}));
    QCOMPARE(d.dialogs.messages.size(), 1);
    const ShownMessage& m = d.dialogs.messages[0];
    QCOMPARE(m.text, QStringLiteral("'L7' is not a valid integer value."));
    QCOMPARE(m.caption, kAppTitle);
    QCOMPARE(m.icon, Dialogs::Icon::Error);
    QCOMPARE(f.EP->text(), QStringLiteral("L7"));
    QCOMPARE(f.ST->text(), QStringLiteral("已输入2个测点"));
    QCOMPARE(f.EX->text(), QStringLiteral("100"));
    QCOMPARE(Column(f, 4), QStringList(2, QString()));
    QVERIFY(f.Previous->isEnabled());
    QCOMPARE(f.survey().currentIndex(), 1);
    QVERIFY(!f.survey().saved());
  }

  // Combined profiling: branches A, B, A, then the line is complete.
  void combinedProfileBranches() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.chooseDataType(dtCombinedProfile);
    QVERIFY(f.AB->isVisible());
    d.type(f.EAB, QStringLiteral("2"));
    QTest::keyClick(f.EAB, Qt::Key_Tab);
    const char* expected[] = {"A", "B", "A"};
    for (int i = 0; i < 3; ++i) {
      FillColumn(d, 4, {QString::number(10 + i), QString::number(20 + i)});
      d.click(f.BitBtn2);
      QCOMPARE(f.survey().stations().size(), std::size_t(i + 1));
      QCOMPARE(f.survey().stations()[i].Name, std::string(expected[i]));
      QCOMPARE(f.survey().stations()[i].Columns[colRho], (std::vector<float>{float(10 + i), float(20 + i)}));
      QCOMPARE(f.AB->currentIndex(), i % 2 == 0 ? 1 : 0);
      // Switching the branch is not the user's choice: the other columns stay.
      QCOMPARE(Column(f, 1), (QStringList{"20", "40"}));
      QCOMPARE(Column(f, 3), (QStringList{"20", "20"}));
    }
    QVERIFY(d.dialogs.messages.isEmpty());
    QCOMPARE(f.ST->text(), QStringLiteral("已输入3个测点"));

    FillColumn(d, 4, {"99", "98"});
    d.click(f.BitBtn2);
    QCOMPARE(d.dialogs.messages.size(), 1);
    const ShownMessage& m = d.dialogs.messages[0];
    QCOMPARE(m.text, kLineComplete);
    QCOMPARE(m.caption, QStringLiteral("Karvelo提示"));
    QCOMPARE(m.buttons, Dialogs::Buttons::OkCancel);
    QVERIFY(!m.owned);
    QCOMPARE(f.survey().stations().size(), std::size_t{3});
    QCOMPARE(f.AB->currentIndex(), 1);
    QCOMPARE(f.ST->text(), QStringLiteral("已输入3个测点"));
    QCOMPARE(Column(f, 4), (QStringList{"99", "98"}));
    // Answering OK refuses it just the same.
    d.dialogs.setNextAnswer(Dialogs::Answer::Ok);
    d.click(f.BitBtn2);
    QCOMPARE(d.dialogs.messages.size(), 2);
    QCOMPARE(f.survey().stations().size(), std::size_t{3});
  }

  // Two stations whose x and y both differ by less than 0.1 are the same point.
  void sameCoordinates_data() {
    QTest::addColumn<QString>("x");
    QTest::addColumn<QString>("y");
    QTest::addColumn<bool>("refused");
    QTest::newRow("0.05 0.05") << "0.05" << "0.05" << true;
    QTest::newRow("-0.09 0") << "-0.09" << "0" << true;
    QTest::newRow("0 0") << "0" << "0" << true;
    QTest::newRow("0.1 0") << "0.1" << "0" << false;
    QTest::newRow("0 0.1") << "0" << "0.1" << false;
    QTest::newRow("0 -0.1") << "0" << "-0.1" << false;
  }
  void sameCoordinates() {
    QFETCH(QString, x);
    QFETCH(QString, y);
    QFETCH(bool, refused);
    FormDriver d;
    TInputDataForm& f = *d.form;
    FillColumn(d, 2, Resistivities(1));
    d.click(f.BitBtn2);
    QCOMPARE(f.survey().stations().size(), std::size_t{1});
    d.type(f.EX, x);
    d.type(f.EY, y);
    d.type(f.ES, QStringLiteral("P2"));
    FillColumn(d, 2, Resistivities(2));
    d.click(f.BitBtn2);
    if (!refused) {
      QVERIFY(d.dialogs.messages.isEmpty());
      QCOMPARE(f.survey().stations().size(), std::size_t{2});
      return;
    }
    QCOMPARE(d.dialogs.messages.size(), 1);
    QCOMPARE(d.dialogs.messages[0].text, kSameCoordinates);
    QCOMPARE(d.dialogs.messages[0].caption, kAppTitle);
    QCOMPARE(d.dialogs.messages[0].icon, Dialogs::Icon::None);
    QCOMPARE(d.dialogs.messages[0].buttons, Dialogs::Buttons::Ok);
    QCOMPARE(f.survey().stations().size(), std::size_t{1});
    QCOMPARE(f.EX->text(), x);
    QCOMPARE(f.ES->text(), QStringLiteral("P2"));
    QCOMPARE(Column(f, 2), Resistivities(2));
    QCOMPARE(f.ST->text(), QStringLiteral("已输入1个测点"));
  }

  // A station at the x of a listed one (y 0.1 or more apart) goes after the last station with
  // that x; the status counts it and CurrentIndex points at it.
  void equalXGoesAfterTheLastEqual() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    const QStringList xs = {"0", "50", "0", "0"};
    const QStringList ys = {"0", "0", "5", "10"};
    const int expectedIndex[] = {0, 1, 1, 2};
    for (int i = 0; i < xs.size(); ++i) {
      d.type(f.EX, xs[i]);
      d.type(f.EY, ys[i]);
      d.type(f.ES, QStringLiteral("P%1").arg(i));
      FillColumn(d, 2, Resistivities(i));
      d.click(f.BitBtn2);
      QVERIFY(d.dialogs.messages.isEmpty());
      QCOMPARE(f.survey().stations().size(), std::size_t(i + 1));
      QCOMPARE(f.ST->text(), QStringLiteral("已输入%1个测点").arg(i + 1));
      if (i > 0) QCOMPARE(f.survey().currentIndex(), expectedIndex[i]);
      QCOMPARE(f.survey().stations()[expectedIndex[i]].Name, QStringLiteral("P%1").arg(i).toStdString());
    }
    QStringList order;
    for (const sdata& s : f.survey().stations()) order << QString::fromStdString(s.Name);
    QCOMPARE(order, (QStringList{"P0", "P2", "P3", "P1"}));
  }

  // A cell that is not a number ends the commit with the conversion error; nothing changes.
  void cellNotANumber_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::newRow("sounding resistivity") << int(dtSounding) << 2 << 3;
    QTest::newRow("sounding spacing") << int(dtSounding) << 1 << 13;
    QTest::newRow("water finding half-decay time") << int(dtWaterFinding) << 4 << 2;
    QTest::newRow("four-pole MN/2") << int(dtFourPoleProfile) << 3 << 1;
    QTest::newRow("combined resistivity") << int(dtCombinedProfile) << 4 << 13;
  }
  void cellNotANumber() {
    QFETCH(int, type);
    QFETCH(int, col);
    QFETCH(int, row);
    FormDriver d;
    TInputDataForm& f = *d.form;
    if (type != dtSounding) d.chooseDataType(type);
    const int valueCol = type == dtSounding || type == dtWaterFinding ? 2 : 4;
    for (int c = 2; c < f.SG->colCount(); ++c)
      if (c == valueCol || type == dtWaterFinding) FillColumn(d, c, Resistivities(c));
    d.typeCell(col, row, QStringLiteral("abc"));
    const QString stBefore = f.ST->text();
    d.click(f.BitBtn2);
    QCOMPARE(d.dialogs.messages.size(), 1);
    const ShownMessage& m = d.dialogs.messages[0];
    QCOMPARE(m.text, QStringLiteral("'abc' is not a valid floating point value."));
    QCOMPARE(m.caption, kAppTitle);
    QCOMPARE(m.icon, Dialogs::Icon::Error);
    QCOMPARE(m.buttons, Dialogs::Buttons::Ok);
    QVERIFY(f.survey().stations().empty());
    QVERIFY(f.survey().saved());
    QCOMPARE(f.ST->text(), stBefore);
    QCOMPARE(f.SG->cell(col, row), QStringLiteral("abc"));
    QCOMPARE(f.SG->cell(valueCol, 1), Resistivities(valueCol)[0]);
    QCOMPARE(f.EX->text(), QStringLiteral("0"));
    QCOMPARE(f.ES->text(), QStringLiteral("S1"));
  }

  // A count of 0 with valid edits adds a station without rows; a negative count likewise,
  // kept as 0 so that its columns agree with its count.
  void noRows_data() {
    QTest::addColumn<QString>("count");
    QTest::newRow("0") << "0";
    QTest::newRow("-3") << "-3";
  }
  void noRows() {
    QFETCH(QString, count);
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.type(f.EAB, count);
    d.click(f.BitBtn2);
    QVERIFY(d.dialogs.messages.isEmpty());
    QCOMPARE(f.survey().stations().size(), std::size_t{1});
    QCOMPARE(f.survey().stations()[0].Name, std::string("S1"));
    QCOMPARE(f.survey().stations()[0].SpacingCount, 0);
    for (const auto& column : f.survey().stations()[0].Columns) QVERIFY(column.empty());
    QCOMPARE(f.SG->rowCount(), 1);
    QCOMPARE(f.ST->text(), QStringLiteral("已输入1个测点"));
  }

  // A unit is named after its x (water finding) or line (four-pole) whatever its row count.
  void noRowsNamedAsAnyUnit() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.chooseDataType(dtWaterFinding);
    d.type(f.EX, QStringLiteral("300"));
    d.type(f.EAB, QStringLiteral("0"));
    d.click(f.BitBtn2);
    QCOMPARE(f.survey().stations().size(), std::size_t{1});
    QCOMPARE(f.survey().stations()[0].Name, std::string("300"));
  }

  // The checks refuse the commit: their message, nothing added.
  void checksRefuse_data() {
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("after");
    QTest::newRow("EX letters") << "EX" << "x1" << QStringLiteral("输入的不是有效的数字。\n\n\t请重新输入.") << "x1";
    QTest::newRow("EY empty") << "EY" << "" << QStringLiteral("输入的不是有效的数字。\n\n\t请重新输入.") << "";
    QTest::newRow("EAB letters") << "EAB" << "ten" << QStringLiteral("极距个数输入无效的字母.") << "0";
    QTest::newRow("EAB 50") << "EAB" << "50" << QStringLiteral("极距个数输入不正确.\n\n\t请重新输入。") << "50";
  }
  void checksRefuse() {
    QFETCH(QString, edit);
    QFETCH(QString, text);
    QFETCH(QString, message);
    QFETCH(QString, after);
    FormDriver d;
    TInputDataForm& f = *d.form;
    FillColumn(d, 2, Resistivities(1));
    auto* e = f.findChild<QLineEdit*>(edit);
    // Typed earlier, as if the focus check had already been answered.
    e->setText(text);
    d.trigger(f.N4);
    QCOMPARE(d.dialogs.texts(), QStringList{message});
    QVERIFY(f.survey().stations().empty());
    QVERIFY(f.survey().saved());
    QCOMPARE(e->text(), after);
    QTRY_COMPARE(QApplication::focusWidget(), e);
    QCOMPARE(f.ST->text(), QStringLiteral("没有测点数据"));
    QCOMPARE(f.SG->cell(2, 1), Resistivities(1)[0]);
  }

  // A character GBK cannot hold: the commit adds nothing and names the field.
  void textNotGbk_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("corrected");
    QTest::newRow("station number") << int(dtSounding) << "ES" << QStringLiteral("测点编号") << QStringLiteral("北3");
    QTest::newRow("survey area") << int(dtSounding) << "EW" << QStringLiteral("测区") << QStringLiteral("测区北");
    QTest::newRow("operator") << int(dtWaterFinding) << "EO" << QStringLiteral("操作员") << QStringLiteral("张三");
    QTest::newRow("instrument") << int(dtSounding) << "EI" << QStringLiteral("仪器类型") << QStringLiteral("DZD-6A");
    QTest::newRow("profile number") << int(dtFourPoleProfile) << "EP" << QStringLiteral("剖面编号") << "150";
  }
  void textNotGbk() {
    QFETCH(int, type);
    QFETCH(QString, edit);
    QFETCH(QString, label);
    QFETCH(QString, corrected);
    FormDriver d;
    TInputDataForm& f = *d.form;
    if (type != dtSounding) d.chooseDataType(type);
    for (int c = type == dtFourPoleProfile ? 4 : 2; c < f.SG->colCount(); ++c) FillColumn(d, c, Resistivities(c));
    auto* e = f.findChild<QLineEdit*>(edit);
    const QString typed = QStringLiteral("测线") + QString::fromUtf8("\xF0\x9F\x98\x80") + QStringLiteral("北");
    d.type(e, typed);
    d.click(f.BitBtn2);
    QCOMPARE(d.dialogs.messages.size(), 1);
    const ShownMessage& m = d.dialogs.messages[0];
    QCOMPARE(m.text, label + QStringLiteral("中有不能保存到数据文件的字符，请修改后再插入。"));
    QCOMPARE(m.caption, kAppTitle);
    QCOMPARE(m.icon, Dialogs::Icon::Warning);
    QVERIFY(f.survey().stations().empty());
    QVERIFY(f.survey().saved());
    QCOMPARE(e->text(), typed);
    const int valueCol = type == dtFourPoleProfile ? 4 : 2;
    QCOMPARE(f.SG->cell(valueCol, 1), Resistivities(valueCol)[0]);
    QCOMPARE(f.ST->text(), type == dtFourPoleProfile ? QStringLiteral("没有测线") : QStringLiteral("没有测点数据"));
    // Corrected, the same commit goes through and keeps the text as GBK.
    d.type(e, corrected);
    d.click(f.BitBtn2);
    QCOMPARE(d.dialogs.messages.size(), 1);
    QCOMPARE(f.survey().stations().size(), std::size_t{1});
    const sdata& s = f.survey().stations()[0];
    const std::string* field = edit == "EW"   ? &s.WorkArea
                               : edit == "EO" ? &s.Operator
                               : edit == "EI" ? &s.Instrument
                               : edit == "EP" ? &s.Profile
                                              : &s.Name;
    QCOMPARE(*field, Utf8ToGbk(corrected.toStdString()));
  }
};

QTEST_MAIN(CommitTest)
#include "commit_test.moc"
