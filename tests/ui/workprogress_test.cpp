// Long work behind the progress dialog: it runs off the window's thread while the window goes
// on with its events, the dialog appears only for work that lasts and shows how far it has
// come when the work tells, Cancel asks the work to stop
// and waits for it, questions asked by the work are shown by the window, and what the work
// throws comes out.
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <stdexcept>
#include <thread>

#include "formdriver.h"
#include "stationfiles.h"
#include "ui/workprogress.h"

namespace {
QProgressDialog* Progress(TInputDataForm& f) { return f.findChild<QProgressDialog*>(QStringLiteral("WorkProgress")); }
}  // namespace

class WorkProgressTest : public QObject {
  Q_OBJECT
 private slots:
  void runsOffTheWindowThreadAndCancels() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    std::atomic<bool> offThread{false};
    std::atomic<bool> stopped{false};
    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(20);
    // The test's own part runs from the event loop that RunWork keeps going: it waits for the
    // dialog and presses Cancel.
    bool dialogSeen = false;
    bool stillShownAfterCancel = false;
    QTimer::singleShot(0, [&] {
      QTRY_VERIFY_WITH_TIMEOUT(Progress(f) != nullptr && Progress(f)->isVisible(), 10000);
      dialogSeen = true;
      QCOMPARE(Progress(f)->labelText(), QStringLiteral("正在保存文件…"));
      QTest::mouseClick(Progress(f)->findChild<QPushButton*>(QStringLiteral("WorkCancel")), Qt::LeftButton);
      stillShownAfterCancel = Progress(f)->isVisible();
    });
    RunWork(&f, QStringLiteral("正在保存文件…"), [&](const WorkControl& control) {
      offThread = QThread::currentThread() != f.thread();
      // Works until cancelled, as a long merge would.
      while (!control.cancelled()) std::this_thread::yield();
      stopped = true;
    });
    QVERIFY(offThread);
    QVERIFY(stopped);
    QVERIFY(dialogSeen);
    QVERIFY(stillShownAfterCancel);  // until the work has stopped
    QVERIFY(ticks > 10);             // the window's events went on meanwhile
    QTRY_VERIFY(Progress(f) == nullptr);
  }

  // Work that tells how far it has come fills a bar instead of the busy indicator.
  void showsHowFarTheWorkHasCome() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    bool seen = false;
    QTimer::singleShot(0, [&] {
      QTRY_VERIFY_WITH_TIMEOUT(Progress(f) != nullptr && Progress(f)->isVisible(), 10000);
      QTRY_COMPARE(Progress(f)->maximum(), 10);
      QTRY_COMPARE(Progress(f)->value(), 3);
      seen = true;
      QTest::mouseClick(Progress(f)->findChild<QPushButton*>(QStringLiteral("WorkCancel")), Qt::LeftButton);
    });
    RunWork(&f, QStringLiteral("正在拟合测点的层状模型…"), [&](const WorkControl& control) {
      control.progress(3, 10);
      while (!control.cancelled()) std::this_thread::yield();
    });
    QVERIFY(seen);
  }

  void shortWorkShowsNoDialog() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    bool dialogShown = false;
    QTimer watcher;
    connect(&watcher, &QTimer::timeout, [&] { dialogShown = dialogShown || (Progress(f) && Progress(f)->isVisible()); });
    watcher.start(0);
    int ran = 0;
    RunWork(&f, QStringLiteral("正在读取文件…"), [&](const WorkControl&) { ++ran; });
    QCOMPARE(ran, 1);
    QVERIFY(!dialogShown);
  }

  void failuresOfTheWorkComeOut() {
    FormDriver d;
    bool thrown = false;
    try {
      RunWork(d.form.get(), QStringLiteral("正在保存文件…"), [](const WorkControl&) { throw std::runtime_error("disk gone"); });
    } catch (const std::runtime_error& e) {
      thrown = QByteArray(e.what()) == "disk gone";
    }
    QVERIFY(thrown);
  }

  // A question asked while a save merges on the work's thread (records of the file outside the
  // format's ranges) is shown by the window's thread, and the window cannot be closed
  // meanwhile: the work reads its stations.
  void questionsOfASaveAreShownAndTheWindowStaysOpen() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.chooseDataType(1);
    d.load({MakeSounding("50", 50, 0, {{1, 9, 0.6f, 0.1f, 0.4f, 0.3f, 0.2f}})}, 0, false);
    const QString target = d.path(QStringLiteral("water.dat"));
    QVERIFY(WriteBytes(target, FirstLines(Fixture("sounding_worked_example.dat"), 3) +
                                   CrLf({"12000 1.5 0.5 35 1 1 1 1 1 -9999 -9999 -9999"})));
    d.dialogs.setNextFileName(target);
    d.dialogs.setNextAppendChoice(Dialogs::AppendChoice::Append);
    d.dialogs.setNextAnswer(Dialogs::Answer::Yes);
    bool onWindowThread = false;
    bool closed = true;
    bool asked = false;
    d.dialogs.onShown = [&] {
      // At the question, not at the save dialog before the work nor the close's own question.
      if (d.dialogs.messages.isEmpty() || asked) return;
      asked = true;
      onWindowThread = QThread::currentThread() == f.thread();
      closed = f.close();
    };

    d.click(f.SaveBtn);

    QVERIFY2(d.dialogs.texts().size() == 1, qPrintable(d.dialogs.texts().join(QStringLiteral(" | "))));
    QVERIFY2(d.dialogs.texts()[0].startsWith(QStringLiteral("数据文件中有 1 条记录")), qPrintable(d.dialogs.texts()[0]));
    QVERIFY(onWindowThread);
    QVERIFY(!closed);
    QVERIFY(f.isVisible());
    QVERIFY(f.survey().saved());
    QVERIFY(ReadBytes(target).contains("50 1 0.5 9"));
  }
};

QTEST_MAIN(WorkProgressTest)
#include "workprogress_test.moc"
