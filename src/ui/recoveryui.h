#pragma once
// The window's side of crash recovery: at start-up, the sessions left by programs that did not
// end cleanly are offered (Restore, Discard, Later); a recovery file that cannot be read is
// reported and set aside. While the program runs, a recovery file that cannot be written is
// reported once. When the recovery folder cannot be used, the user is told and the program
// runs without recovery.

#include <QString>
#include <memory>

class Autosave;
class RecoveryStore;
class TInputDataForm;

// Offers each session left behind, newest first, until one is restored. Restored, the survey
// and the window show exactly what that session held; it is written to this session's
// recovery file before the old one is removed. Discard removes a session's file; Later keeps
// it for the next start. True when a session was restored.
bool OfferRecovery(TInputDataForm& form, RecoveryStore& store, Autosave& autosave);

// Shows the autosave's write failures in the window (once until a write succeeds again).
void ReportAutosaveFailures(TInputDataForm& form, Autosave& autosave);

// Crash recovery for the program's window, from start to a clean end.
class WindowRecovery {
 public:
  // Opens the store of recovery files in subfolder of dataFolder (the user's data folder; ""
  // when there is none) and starts the autosave of the window's survey into it, its write
  // failures reported in the window. When the store cannot be opened (the folder cannot be
  // made, or others could change it), recovery is off for this run: autosave() is null, and
  // the window works as ever.
  WindowRecovery(TInputDataForm& form, const QString& dataFolder, const QString& subfolder, int intervalMs = 1000);
  ~WindowRecovery();
  WindowRecovery(const WindowRecovery&) = delete;
  WindowRecovery& operator=(const WindowRecovery&) = delete;

  Autosave* autosave() const { return autosave_.get(); }
  // Once the window shows: offers what sessions left behind, or tells the user why recovery is
  // off for this run. True when a session was restored.
  bool start();
  // The window was closed through its close query: this session's recovery file is removed.
  void finish();

 private:
  TInputDataForm& form_;
  QString folder_;
  std::unique_ptr<RecoveryStore> store_;
  std::string error_;
  std::unique_ptr<Autosave> autosave_;  // destroyed before the store
};
