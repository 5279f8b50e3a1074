#include "ui/autosave.h"

#include "session/recovery.h"

Autosave::Autosave(Survey& survey, RecoveryStore& store, int intervalMs, QObject* parent)
    : QObject(parent), survey_(survey), store_(store) {
  setObjectName(QStringLiteral("Autosave"));
  timer_.setSingleShot(true);
  timer_.setInterval(intervalMs);
  connect(&timer_, &QTimer::timeout, this, &Autosave::post);
  writer_ = std::make_unique<RecoveryWriter>(store_, [this](const std::string& reason) {
    // On the worker thread: the signal is emitted on the UI thread.
    QMetaObject::invokeMethod(this, [this, text = QString::fromStdString(reason)] { emit writeFailed(text); },
                              Qt::QueuedConnection);
  });
  survey_.addObserver(this);
}

Autosave::~Autosave() {
  survey_.removeObserver(this);
  writer_->stop();
}

void Autosave::surveyChanged(unsigned changes) {
  if (finished_) return;
  if (changes & (change::kStations | change::kType)) stationsChanged_ = true;
  // The first change starts the interval; later ones within it are written with it.
  if (!timer_.isActive()) timer_.start();
}

void Autosave::post() {
  if (finished_) return;
  if (stationsChanged_ || !stations_) {
    stations_ = std::make_shared<const std::string>(EncodeRecoveryStations(survey_.stations()));
    stationsChanged_ = false;
  }
  writer_->post({survey_.sessionState(), stations_});
}

bool Autosave::writeNow() {
  if (finished_) return false;
  timer_.stop();
  post();
  return writer_->flush();
}

void Autosave::finish() {
  if (finished_) return;
  finished_ = true;
  timer_.stop();
  writer_->stop();  // a write in progress ends before the file is removed
  store_.finish();
}
