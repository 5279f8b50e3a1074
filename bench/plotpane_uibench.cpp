// The plot pane's cost in the window, on the offscreen platform:
// - the window's first paint with the pane shown against hidden, measured alternately;
// - a replot after one typed cell: a 49-spacing sounding, a 100-point line, a combined line's two
//   100-point branches;
// - typing 1,000 cells through the keyboard with the pane shown against hidden, alternately;
// - typing a sounding with the live fit on against off, alternately;
// - the window's first paint with the model panel shown against hidden, alternately;
// - a model value changed (a table cell, a drag) until both charts and the table show it.
// The pane's visibility is set through its remembered setting, in a scratch configuration folder.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QChartView>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <ctime>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "interp/modeledit.h"
#include "ui/dialogs.h"
#include "ui/inputdataform.h"
#include "ui/modelpane.h"
#include "ui/modelstate.h"
#include "ui/plotpane.h"
#include "ui/stringgrid.h"

namespace {
using Clock = std::chrono::steady_clock;

// Time on the clock and time this thread ran, in milliseconds. Other programs on the machine
// stretch the first and barely touch the second.
struct Took {
  double wall = 0;
  double cpu = 0;
};

double ThreadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

class Stopwatch {
 public:
  Stopwatch() : wall_(Clock::now()), cpu_(ThreadCpuMs()) {}
  Took took(Clock::time_point end = Clock::now()) const {
    return {std::chrono::duration<double, std::milli>(end - wall_).count(), ThreadCpuMs() - cpu_};
  }

 private:
  Clock::time_point wall_;
  double cpu_;
};

QTemporaryDir* scratch = nullptr;

void SetPaneShown(bool shown) {
  QSettings(QStringLiteral("FieldInput"), QStringLiteral("fieldinput")).setValue(QStringLiteral("plot/visible"), shown);
}

std::unique_ptr<TInputDataForm> MakeForm(QtDialogs& dialogs) {
  return std::make_unique<TInputDataForm>(dialogs, scratch->filePath(QStringLiteral("bin/input")));
}

void Dispose(std::unique_ptr<TInputDataForm>& form) {
  form->hide();
  form.reset();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();
}

// Ends when the window event in which the first paint of the window happened has been handled:
// the whole first frame is drawn then.
class FirstPaintProbe : public QObject {
 public:
  explicit FirstPaintProbe(QWidget* form) : form_(form) {}
  bool done() const { return done_; }
  Clock::time_point end;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == form_)
      painted_ = true;
    if (!done_ && watched == form_->windowHandle()) {
      const bool handled = watched->event(event);
      if (painted_) {
        end = Clock::now();
        done_ = true;
      }
      return handled;
    }
    return false;
  }

 private:
  QWidget* form_;
  bool painted_ = false;
  bool done_ = false;
};

Took FirstPaint(bool shown) {
  SetPaneShown(shown);
  QtDialogs dialogs;
  const Stopwatch watch;
  auto form = MakeForm(dialogs);
  FirstPaintProbe probe(form.get());
  qApp->installEventFilter(&probe);
  form->winId();  // the window's native window, so that its events can be watched
  form->windowHandle()->installEventFilter(&probe);
  form->show();
  while (!probe.done()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  const Took took = watch.took(probe.end);
  qApp->removeEventFilter(&probe);
  form->windowHandle()->removeEventFilter(&probe);
  // The charts built after the first paint are not part of it, but are let finish before the next.
  QCoreApplication::processEvents();
  Dispose(form);
  return took;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0.0 : v[v.size() / 2];
}

double Min(const std::vector<double>& v) { return v.empty() ? 0.0 : *std::min_element(v.begin(), v.end()); }

// Runs measure(true) (pane shown) and measure(false) (hidden) in every iteration, in alternating
// order, so that both meet the same state of the machine. Reported: the medians of the thread's
// time and the shortest times on the clock, each with shown / hidden; the benchmark's time is
// the shown time on the clock.
template <typename Measure>
void Alternate(benchmark::State& state, Measure measure, const std::string& on, const std::string& off) {
  std::vector<double> shownWall, hiddenWall, shownCpu, hiddenCpu;
  bool shownFirst = true;
  for (auto _ : state) {
    Took a, b;
    if (shownFirst) {
      a = measure(true);
      b = measure(false);
    } else {
      b = measure(false);
      a = measure(true);
    }
    shownFirst = !shownFirst;
    shownWall.push_back(a.wall);
    hiddenWall.push_back(b.wall);
    shownCpu.push_back(a.cpu);
    hiddenCpu.push_back(b.cpu);
    state.SetIterationTime(a.wall / 1000.0);
  }
  state.counters[on + "_cpu_ms"] = Median(shownCpu);
  state.counters[off + "_cpu_ms"] = Median(hiddenCpu);
  state.counters["cpu_ratio"] = Median(shownCpu) / Median(hiddenCpu);
  state.counters[on + "_min_ms"] = Min(shownWall);
  state.counters[off + "_min_ms"] = Min(hiddenWall);
  state.counters["min_ratio"] = Min(shownWall) / Min(hiddenWall);
}

template <typename Measure>
void ShownVsHidden(benchmark::State& state, Measure measure) {
  Alternate(state, measure, "shown", "hidden");
}

void BM_FirstPaint_ShownVsHidden(benchmark::State& state) { ShownVsHidden(state, FirstPaint); }
BENCHMARK(BM_FirstPaint_ShownVsHidden)->UseManualTime()->Iterations(60)->Unit(benchmark::kMillisecond);

// A unit as typed: for a profile 100 points 10 apart with AB/2 50 and MN/2 20, for a sounding
// 49 spacings growing by a tenth; resistivities of a smooth curve.
void FillUnit(Survey& survey, bool profile, double phase) {
  const int rows = profile ? 100 : 49;
  for (int r = 1; r <= rows; ++r) {
    const double rho = 100.0 + 60.0 * std::sin(r / 7.0 + phase);
    if (profile) {
      survey.editCell(1, r, std::to_string(10 * r));
      survey.editCell(2, r, "50");
      survey.editCell(3, r, "20");
      survey.editCell(4, r, std::to_string(rho).substr(0, 6));
    } else {
      survey.editCell(1, r, std::to_string(1.5 * std::pow(1.1, r - 1)).substr(0, 7));
      survey.editCell(2, r, std::to_string(rho).substr(0, 6));
    }
  }
}

// The window with the pane drawn: a 49-spacing sounding with the previous station behind it, a
// 100-point four-pole line, or branch B of a 100-point combined line with branch A committed.
std::unique_ptr<TInputDataForm> UnitForm(QtDialogs& dialogs, DataType type) {
  SetPaneShown(true);
  auto form = MakeForm(dialogs);
  form->show();
  Survey& survey = form->survey();
  const bool profile = !IsSoundingType(type);
  survey.switchType(type);
  survey.editField(Field::EAB, profile ? "100" : "49");
  survey.checkCount();
  FillUnit(survey, profile, 0.0);
  if (type != dtFourPoleProfile) {
    survey.commit();  // the station or branch drawn with the one typed next
    FillUnit(survey, profile, 1.5);
  }
  while (form->Plot->chartView(PlotPane::View::Curve) == nullptr) QCoreApplication::processEvents();
  form->Plot->replotNow();
  QCoreApplication::processEvents();
  return form;
}

// The grid column of the resistivities.
int RhoColumn(DataType type) { return IsSoundingType(type) ? 2 : 4; }

// Counts the paints of a widget.
class PaintCounter : public QObject {
 public:
  int paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

// One typed resistivity, then the pane brought up to date: computed, its series refilled, and
// what that changed on the chart painted (the window's events handled until the chart's
// viewport has been painted).
void BM_ReplotAfterOneCellEdit_100Points(benchmark::State& state) {
  QtDialogs dialogs;
  const auto type = static_cast<DataType>(state.range(0));
  auto form = UnitForm(dialogs, type);
  PlotPane* pane = form->Plot;
  QWidget* viewport = pane->chartView(PlotPane::View::Curve)->viewport();
  PaintCounter counter;
  viewport->installEventFilter(&counter);
  int i = 0;
  for (auto _ : state) {
    const int before = counter.paints;
    form->survey().editCell(RhoColumn(type), 20, (++i % 2) ? "123.4" : "234.5");
    pane->replotNow();
    for (int loop = 0; loop < 1000 && counter.paints == before; ++loop) QCoreApplication::processEvents();
  }
  viewport->removeEventFilter(&counter);
  state.counters["points"] = static_cast<double>(pane->curve(PlotPane::Layer::Current).pointCount());
  state.counters["behind"] = static_cast<double>(pane->curve(PlotPane::Layer::Comparison).pointCount() +
                                                 pane->curve(PlotPane::Layer::Other).pointCount());
  state.counters["crossings"] = static_cast<double>(pane->crossings().size());
  state.counters["paints_per_edit"] = static_cast<double>(counter.paints) / static_cast<double>(i);
  Dispose(form);
}
BENCHMARK(BM_ReplotAfterOneCellEdit_100Points)
    ->ArgName("type")
    ->Arg(dtSounding)
    ->Arg(dtFourPoleProfile)
    ->Arg(dtCombinedProfile)
    ->Unit(benchmark::kMillisecond);

// The same, the whole chart repainted after each replot (labels and legend too).
void BM_ReplotAfterOneCellEdit_100Points_FullRepaint(benchmark::State& state) {
  QtDialogs dialogs;
  const auto type = static_cast<DataType>(state.range(0));
  auto form = UnitForm(dialogs, type);
  PlotPane* pane = form->Plot;
  QChartView* view = pane->chartView(PlotPane::View::Curve);
  int i = 0;
  for (auto _ : state) {
    form->survey().editCell(RhoColumn(type), 20, (++i % 2) ? "123.4" : "234.5");
    pane->replotNow();
    QCoreApplication::sendPostedEvents();
    view->viewport()->repaint();
  }
  Dispose(form);
}
BENCHMARK(BM_ReplotAfterOneCellEdit_100Points_FullRepaint)
    ->ArgName("type")
    ->Arg(dtSounding)
    ->Arg(dtFourPoleProfile)
    ->Arg(dtCombinedProfile)
    ->Unit(benchmark::kMillisecond);

// The same without painting: what the pane computes and hands to the chart.
void BM_ReplotAfterOneCellEdit_100Points_NoPaint(benchmark::State& state) {
  QtDialogs dialogs;
  const auto type = static_cast<DataType>(state.range(0));
  auto form = UnitForm(dialogs, type);
  int i = 0;
  for (auto _ : state) {
    form->survey().editCell(RhoColumn(type), 20, (++i % 2) ? "123.4" : "234.5");
    form->Plot->replotNow();
  }
  Dispose(form);
}
BENCHMARK(BM_ReplotAfterOneCellEdit_100Points_NoPaint)
    ->ArgName("type")
    ->Arg(dtSounding)
    ->Arg(dtFourPoleProfile)
    ->Arg(dtCombinedProfile)
    ->Unit(benchmark::kMillisecond);

// Types `cells` resistivities into the form's grid through the keyboard (F2, the digits,
// Return), row after row of column `column` over `rows` rows, letting the window handle its
// events after each cell as it would between keys; the form is disposed of afterwards.
Took TypeInto(std::unique_ptr<TInputDataForm>& form, int column, int rows, int cells) {
  QApplication::setActiveWindow(form.get());
  QCoreApplication::processEvents();
  StringGrid* grid = form->SG;
  grid->setFocus();
  const Stopwatch watch;
  for (int i = 0; i < cells; ++i) {
    grid->setCurrentCell(column, i % rows + 1);
    QTest::keyClick(grid, Qt::Key_F2);
    if (auto* line = qobject_cast<QLineEdit*>(QApplication::focusWidget())) {
      line->selectAll();
      QTest::keyClicks(line, QString::number(100 + (i * 37) % 50));
      QTest::keyClick(line, Qt::Key_Return);
    }
    QCoreApplication::processEvents();
  }
  const Took took = watch.took();
  Dispose(form);
  return took;
}

// Types 1,000 resistivities into a 100-point line.
Took TypeCells(bool shown) {
  QtDialogs dialogs;
  auto form = UnitForm(dialogs, dtFourPoleProfile);
  form->ShowPlot->setChecked(shown);
  return TypeInto(form, 4, 100, 1000);
}

void BM_Type1000Cells_ShownVsHidden(benchmark::State& state) { ShownVsHidden(state, TypeCells); }
BENCHMARK(BM_Type1000Cells_ShownVsHidden)->UseManualTime()->Iterations(4)->Unit(benchmark::kMillisecond);

// Types 300 resistivities into a 49-spacing sounding through the keyboard with the pane shown,
// the live fit on against off, alternately: the fit runs on a thread of its own, so typing
// should not wait for it.
Took TypeSounding(bool liveFit) {
  QSettings(QStringLiteral("FieldInput"), QStringLiteral("fieldinput")).setValue(QStringLiteral("plot/liveFit"), liveFit);
  QtDialogs dialogs;
  auto form = UnitForm(dialogs, dtSounding);
  const Took took = TypeInto(form, 2, 49, 300);
  QSettings(QStringLiteral("FieldInput"), QStringLiteral("fieldinput")).remove(QStringLiteral("plot/liveFit"));
  return took;
}

void BM_TypeSounding_LiveFitOnVsOff(benchmark::State& state) { Alternate(state, TypeSounding, "fit_on", "fit_off"); }
BENCHMARK(BM_TypeSounding_LiveFitOnVsOff)->UseManualTime()->Iterations(6)->Unit(benchmark::kMillisecond);

// The window's first paint with the model panel shown against hidden (the plot pane shown in
// both): the panel may build its section after the first paint.
Took FirstPaintWithModelPane(bool shown) {
  QSettings(QStringLiteral("FieldInput"), QStringLiteral("fieldinput")).setValue(kModelPaneKey, shown);
  const Took took = FirstPaint(true);
  QSettings(QStringLiteral("FieldInput"), QStringLiteral("fieldinput")).remove(kModelPaneKey);
  return took;
}

void BM_FirstPaint_ModelPaneShownVsHidden(benchmark::State& state) {
  Alternate(state, FirstPaintWithModelPane, "shown", "hidden");
}
BENCHMARK(BM_FirstPaint_ModelPaneShownVsHidden)->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);

const StationModel kBenchModel{{5, 20, 100}, {100, 10, 300}, ModelOrigin::Edited};

// A 49-reading sounding with kBenchModel accepted for it, the model panel shown with its section.
std::unique_ptr<TInputDataForm> ModelForm(QtDialogs& dialogs) {
  QSettings(QStringLiteral("FieldInput"), QStringLiteral("fieldinput")).setValue(kModelPaneKey, true);
  auto form = UnitForm(dialogs, dtSounding);
  QSettings(QStringLiteral("FieldInput"), QStringLiteral("fieldinput")).remove(kModelPaneKey);
  form->survey().setModel(kBenchModel);
  while (form->ModelPanel->sectionView() == nullptr) QCoreApplication::processEvents();
  return form;
}

// The sounding of ModelForm, the model panel shown: one value
// of the model changed (as a typed cell or a drag step does), then the plot pane and the panel
// brought up to date and the curve chart painted.
void BM_ModelEdit_CurveFollows_49Readings(benchmark::State& state) {
  QtDialogs dialogs;
  auto form = ModelForm(dialogs);
  form->Plot->replotNow();
  QWidget* viewport = form->Plot->chartView(PlotPane::View::Curve)->viewport();
  PaintCounter counter;
  viewport->installEventFilter(&counter);
  int i = 0;
  for (auto _ : state) {
    const int before = counter.paints;
    form->Model->edit(*WithResistivity(kBenchModel, 1, (++i % 2) ? 12.0 : 8.0));
    form->Plot->replotNow();
    form->ModelPanel->refreshNow();
    for (int loop = 0; loop < 1000 && counter.paints == before; ++loop) QCoreApplication::processEvents();
  }
  viewport->removeEventFilter(&counter);
  state.counters["readings"] = static_cast<double>(form->Model->readings().size());
  Dispose(form);
}
BENCHMARK(BM_ModelEdit_CurveFollows_49Readings)->Unit(benchmark::kMillisecond);

// Where that time goes: the model changed in the survey (0), the plot pane's replot (1), the
// panel's table and section (2), and the window's events with the paints (3).
void BM_ModelEdit_Parts(benchmark::State& state) {
  QtDialogs dialogs;
  auto form = ModelForm(dialogs);
  int i = 0;
  for (auto _ : state) {
    form->Model->edit(*WithResistivity(kBenchModel, 1, (++i % 2) ? 12.0 : 8.0));
    if (state.range(0) >= 1) form->Plot->replotNow();
    if (state.range(0) >= 2) form->ModelPanel->refreshNow();
    if (state.range(0) >= 3) QCoreApplication::processEvents();
  }
  Dispose(form);
}
BENCHMARK(BM_ModelEdit_Parts)->ArgName("parts")->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);
}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The pane's remembered settings go to a scratch folder, never to the user's own.
  QTemporaryDir config;
  qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
  QApplication app(argc, argv);
  QTemporaryDir programDir;
  scratch = &programDir;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
