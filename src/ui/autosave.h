#pragma once
// Autosave: after every change of the survey (its stations or the window's typed values), at
// most once per interval, what changed goes to this program's recovery file. The UI thread only
// takes what changed (RecoveryTracker: the session's small state, the cells typed, copies of
// the stations inserted or replaced); encoding it and writing it (a record appended, or now and
// then the whole file) happen on a worker thread, so no keystroke waits for a write and none
// costs more with a larger survey.

#include <QObject>
#include <QTimer>
#include <memory>
#include <string>

#include "session/recoverystore.h"
#include "session/survey.h"

class Autosave : public QObject, private SurveyObserver {
  Q_OBJECT
 public:
  // Watches survey from now on; store is open. intervalMs: the least time between writes.
  Autosave(Survey& survey, RecoveryStore& store, int intervalMs = 1000, QObject* parent = nullptr);
  ~Autosave() override;

  // Writes the session now and waits for the write; true when the file holds it.
  bool writeNow();
  // The program ends cleanly: no more writes, and this session's recovery file is removed.
  void finish();
  const RecoveryStore& store() const { return store_; }

 signals:
  // A write failed (told once until a write succeeds again); reason is the system's.
  void writeFailed(const QString& reason);

 private:
  void surveyChanged(unsigned changes) override;
  void post();

  Survey& survey_;
  RecoveryStore& store_;
  QTimer timer_;
  RecoveryTracker tracker_;
  bool finished_ = false;
  std::unique_ptr<RecoveryWriter> writer_;
};
