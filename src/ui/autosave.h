#pragma once
// Autosave: after every change of the survey (its stations or the window's typed values), at
// most once per interval, the whole session goes to this program's recovery file. The UI thread
// only takes a snapshot: the session's texts, and the stations block, encoded again only when
// the station list changed. Encoding the file and writing it happen on a worker thread, so no
// keystroke waits for a write.

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

  // Writes the session now and waits for the write; true when it was written.
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
  std::shared_ptr<const std::string> stations_;  // the stations block of the last snapshot
  bool stationsChanged_ = true;
  bool finished_ = false;
  std::unique_ptr<RecoveryWriter> writer_;
};
