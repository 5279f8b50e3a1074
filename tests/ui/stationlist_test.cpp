// The station list: the table model over a survey (rows follow every change of the list; the
// shown station in bold; a sounding's misfit against its model; sorting by number, not text),
// and the dock in the window, where a double click shows the station in the form; the plan of
// station positions beside it.
#include <QAbstractItemModelTester>
#include <QChart>
#include <QChartView>
#include <QFont>
#include <QHeaderView>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTest>

#include "formdriver.h"
#include "interp/stationmodel.h"
#include "stationbuilder.h"
#include "ui/stationlist.h"
#include "ui/stationplan.h"

namespace {
QString Cell(const QAbstractItemModel& m, int row, int col) { return m.index(row, col).data().toString(); }

// A sounding whose readings are its model's curve, but the last one 10 % above it.
sdata ModelledSounding(const std::string& name, float x) {
  sdata s = BuildStation(dtSounding, name, x, {{1.5f, 1}, {3, 1}, {6, 1}, {12, 1}, {25, 1}, {50, 1}});
  s.Model = {{5, 100}, {100, 20}, ModelOrigin::Fitted};
  const std::vector<double> curve = ModelApparentResistivity(s);
  for (std::size_t r = 0; r < curve.size(); ++r) s.Columns[colRho][r] = static_cast<float>(curve[r]);
  s.Columns[colRho].back() = static_cast<float>(curve.back() * 1.1);
  return s;
}
}  // namespace

class StationListTest : public QObject {
  Q_OBJECT
 private slots:
  void rowsFollowTheSurvey() {
    FormDriver d;
    Survey& s = d.form->survey();
    StationListModel model(s);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(model.rowCount(), 0);

    d.load({SoundingStation("S1", 0), ModelledSounding("S2", 50), SoundingStation("S10", 117.46f)});
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(Cell(model, 0, StationListModel::Name), QStringLiteral("S1"));
    QCOMPARE(Cell(model, 2, StationListModel::X), QStringLiteral("117.46"));
    QCOMPARE(Cell(model, 0, StationListModel::Readings), QStringLiteral("3"));
    // Only a station with a model has a misfit: here the RMS of 0 % five times and 10 % once.
    QVERIFY(Cell(model, 0, StationListModel::Misfit).isEmpty());
    QCOMPARE(Cell(model, 1, StationListModel::Misfit), QStringLiteral("4.1"));

    // The shown station is bold; moving on moves the mark.
    QVERIFY(s.showAt(1));
    QVERIFY(model.index(1, 0).data(Qt::FontRole).value<QFont>().bold());
    QVERIFY(s.next());
    QVERIFY(!model.index(1, 0).data(Qt::FontRole).isValid());
    QVERIFY(model.index(2, 0).data(Qt::FontRole).value<QFont>().bold());

    // Deleted, undone, a type switch: the rows are always the survey's.
    d.dialogs.setNextAnswer(Dialogs::Answer::Yes);
    QVERIFY(s.deleteStation());
    QCOMPARE(model.rowCount(), 2);
    QVERIFY(s.undo());
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(Cell(model, 2, StationListModel::Name), QStringLiteral("S10"));
    d.dialogs.setNextAnswer(Dialogs::Answer::No);
    QVERIFY(s.switchType(dtFourPoleProfile));
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.headerData(StationListModel::Name, Qt::Horizontal).toString(), QStringLiteral("测线"));
  }

  // Sorted by a heading, numbers sort as numbers: x 117.46 after 50, 10 readings after 9.
  void sortsNumbersAsNumbers() {
    FormDriver d;
    Survey& s = d.form->survey();
    auto rows = [](int n) {
      std::vector<std::vector<float>> out;
      for (int r = 1; r <= n; ++r) out.push_back({static_cast<float>(r), 10});
      return out;
    };
    const auto nine = rows(9), ten = rows(10);
    d.load({BuildStation(dtSounding, "A", 117.46f, ten), BuildStation(dtSounding, "B", 50, nine)});
    StationListModel model(s);
    QSortFilterProxyModel proxy;
    proxy.setSourceModel(&model);
    proxy.setSortRole(StationListModel::SortRole);
    proxy.sort(StationListModel::X);
    QCOMPARE(Cell(proxy, 0, StationListModel::Name), QStringLiteral("B"));
    proxy.sort(StationListModel::Readings, Qt::DescendingOrder);
    QCOMPARE(Cell(proxy, 0, StationListModel::Name), QStringLiteral("A"));
  }

  // The dock is hidden at first and shown from 查看 › 测点列表; a double click on a row, after
  // sorting, shows that station in the form.
  void doubleClickShowsTheStation() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    auto* table = f.findChild<QTableView*>(QStringLiteral("StationTable"));
    QVERIFY(table);
    QVERIFY(!f.StationList->isVisible());
    f.show();
    d.trigger(f.ShowStationList);
    QTRY_VERIFY(table->isVisible());
    d.load({SoundingStation("S1", 0), SoundingStation("S2", 50), SoundingStation("S3", 100)});
    table->sortByColumn(StationListModel::X, Qt::DescendingOrder);
    const QModelIndex first = table->model()->index(0, StationListModel::Name);
    QCOMPARE(first.data().toString(), QStringLiteral("S3"));
    const QRect cell = table->visualRect(first);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    QTRY_COMPARE(f.ES->text(), QStringLiteral("S3"));
    QVERIFY(f.survey().browsing());
    QCOMPARE(f.survey().currentIndex(), 2);
  }

  // The plan (查看 › 测点位置图) draws every station at its x and y and rings the one shown; it
  // follows new stations and browsing, and a click on a point shows that station in the form.
  void planShowsPositionsAndAClickShowsAStation() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    QVERIFY(!f.StationPlan->isVisible());
    QVERIFY(f.StationPlan->view() == nullptr);  // nothing built while hidden
    f.show();
    d.load({SoundingStation("S1", 0), SoundingStation("S2", 50), SoundingStation("S3", 100)});
    d.trigger(f.ShowStationPlan);
    QTRY_VERIFY(f.StationPlan->view() && f.StationPlan->view()->isVisible());
    QCOMPARE(f.StationPlan->positions(), (QList<QPointF>{{0, 0}, {50, 0}, {100, 0}}));
    QVERIFY(f.StationPlan->marked().isEmpty());

    QVERIFY(f.survey().showAt(2));
    QCOMPARE(f.StationPlan->marked(), (QList<QPointF>{{100, 0}}));
    QVERIFY(f.StationPlan->caption().contains(QStringLiteral("S3")));

    QChartView* view = f.StationPlan->view();
    QChart* chart = view->chart();
    QTRY_VERIFY(chart->plotArea().width() > 50);
    QApplication::processEvents();
    const QPointF inChart = chart->mapToPosition(QPointF(50, 0), chart->series().first());
    const QPoint at = view->mapFromScene(chart->mapToScene(inChart));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTRY_COMPARE(f.ES->text(), QStringLiteral("S2"));
    QCOMPARE(f.survey().currentIndex(), 1);
    QCOMPARE(f.StationPlan->marked(), (QList<QPointF>{{50, 0}}));
    // A click beside every point changes nothing.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at + QPoint(0, 40));
    QCOMPARE(f.survey().currentIndex(), 1);

    d.dialogs.setNextAnswer(Dialogs::Answer::Yes);
    QVERIFY(f.survey().deleteStation());
    QCOMPARE(f.StationPlan->positions(), (QList<QPointF>{{0, 0}, {100, 0}}));
  }
};

QTEST_MAIN(StationListTest)
#include "stationlist_test.moc"
