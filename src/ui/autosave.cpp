#include "ui/autosave.h"

Autosave::Autosave(Survey& survey, RecoveryStore& store, int intervalMs, QObject* parent)
    : QObject(parent), survey_(survey), store_(store), tracker_(survey) {
  setObjectName(QStringLiteral("Autosave"));
  timer_.setSingleShot(true);
  timer_.setInterval(intervalMs);
  connect(&timer_, &QTimer::timeout, this, &Autosave::post);
  writer_ = std::make_unique<RecoveryWriter>(
      store_,
      [this](const std::string& reason) {
        // On the worker thread: the signal is emitted on the UI thread.
        QMetaObject::invokeMethod(this, [this, text = QString::fromStdString(reason)] { emit writeFailed(text); },
                                  Qt::QueuedConnection);
      },
      [this] {
        // The writer lost the session: it gets the whole session at the next interval.
        QMetaObject::invokeMethod(this, [this] { if (!timer_.isActive()) timer_.start(); }, Qt::QueuedConnection);
      });
  survey_.addObserver(this);
}

Autosave::~Autosave() {
  survey_.removeObserver(this);
  writer_->stop();
}

void Autosave::surveyChanged(unsigned) {
  if (finished_) return;
  // The first change starts the interval; later ones within it are written with it.
  if (!timer_.isActive()) timer_.start();
}

void Autosave::post() {
  if (finished_) return;
  if (writer_->needsEverything()) tracker_.takeEverythingNext();
  writer_->post(tracker_.take());
}

bool Autosave::writeNow() {
  if (finished_) return false;
  timer_.stop();
  post();
  if (writer_->flush()) return true;
  if (!writer_->needsEverything()) return false;
  post();  // the whole session, once more
  return writer_->flush();
}

void Autosave::finish() {
  if (finished_) return;
  finished_ = true;
  timer_.stop();
  writer_->stop();  // a write in progress ends before the file is removed
  store_.finish();
}
