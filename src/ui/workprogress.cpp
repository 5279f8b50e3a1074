#include "ui/workprogress.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <limits>
#include <exception>
#include <memory>

namespace {
class Control : public WorkControl {
 public:
  bool cancelled() const override { return stop.load(); }
  void progress(std::size_t done, std::size_t total) const override {
    done_.store(done);
    total_.store(total);
  }
  std::atomic<bool> stop{false};
  mutable std::atomic<std::size_t> done_{0};
  mutable std::atomic<std::size_t> total_{0};
};

// How often the dialog shows how far the work has come.
constexpr int kProgressRefreshMs = 100;

class WorkProgressDialog : public QProgressDialog {
 public:
  WorkProgressDialog(const QString& label, Control& control, QWidget* parent) : QProgressDialog(parent) {
    setObjectName(QStringLiteral("WorkProgress"));
    setWindowTitle(QCoreApplication::translate("WorkProgress", "请稍候"));
    setLabelText(label);
    auto* cancel = new QPushButton(QCoreApplication::translate("WorkProgress", "取消"), this);
    cancel->setObjectName(QStringLiteral("WorkCancel"));
    setCancelButton(cancel);
    setRange(0, 0);  // how long is not known: a busy indicator
    setWindowModality(Qt::WindowModal);
    setAutoReset(false);
    setAutoClose(false);
    // Shown by RunWork's own timer, not by the dialog's.
    setMinimumDuration(24 * 3600 * 1000);
    // Cancel asks the work to stop; the dialog stays until it has.
    disconnect(this, &QProgressDialog::canceled, this, &QProgressDialog::cancel);
    disconnect(this, SIGNAL(canceled()), this, SLOT(cancel()));
    connect(this, &QProgressDialog::canceled, this, [this, &control, cancel] {
      control.stop = true;
      cancel->setEnabled(false);
      setLabelText(QCoreApplication::translate("WorkProgress", "正在取消…"));
    });
  }

  void reject() override { emit canceled(); }

 protected:
  void closeEvent(QCloseEvent* event) override {
    emit canceled();
    event->ignore();
  }
};
}  // namespace

void RunWork(QWidget* window, const QString& label, const std::function<void(const WorkControl&)>& work) {
  Control control;
  std::exception_ptr failure;
  bool done = false;
  WorkProgressDialog progress(label, control, window);
  std::unique_ptr<QThread> thread(QThread::create([&] {
    try {
      work(control);
    } catch (...) {
      failure = std::current_exception();
    }
  }));
  // Told through the event loop, which it wakes.
  QObject::connect(thread.get(), &QThread::finished, &progress, [&done] { done = true; }, Qt::QueuedConnection);
  QTimer showLater;
  showLater.setSingleShot(true);
  QObject::connect(&showLater, &QTimer::timeout, &progress, [&] {
    if (!done) progress.show();
  });
  // Work that tells how far it has come gets a bar that fills, else a busy indicator.
  QTimer refresh;
  QObject::connect(&refresh, &QTimer::timeout, &progress, [&] {
    const std::size_t total = control.total_.load();
    if (total == 0 || total > static_cast<std::size_t>(std::numeric_limits<int>::max())) return;
    if (progress.maximum() != static_cast<int>(total)) progress.setRange(0, static_cast<int>(total));
    progress.setValue(static_cast<int>(std::min(control.done_.load(), total)));
  });
  thread->start();
  showLater.start(kWorkProgressDelayMs);
  refresh.start(kProgressRefreshMs);
  while (!done) {
    QEventLoop::ProcessEventsFlags flags = QEventLoop::WaitForMoreEvents;
    // Until the window-modal dialog stands over the window, its input waits.
    if (!progress.isVisible()) flags |= QEventLoop::ExcludeUserInputEvents;
    QCoreApplication::processEvents(flags);
  }
  thread->wait();
  progress.hide();
  if (failure) std::rethrow_exception(failure);
}
