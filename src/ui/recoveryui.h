#pragma once
// The window's side of crash recovery: at start-up, the sessions left by programs that did not
// end cleanly are offered (Restore, Discard, Later); a recovery file that cannot be read is
// reported and set aside. While the program runs, a recovery file that cannot be written is
// reported once.

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
