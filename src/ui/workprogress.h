#pragma once
// Long work (reading, merging and writing a big file) run off the window's thread, so that the
// window goes on painting and the user can stop it.

#include <QString>
#include <functional>

#include "session/questions.h"

class QWidget;

// A progress dialog stands over the window once work has run this long.
inline constexpr int kWorkProgressDelayMs = 1000;

// Runs work on a thread of its own and returns when it has ended, throwing again what it
// threw. Meanwhile the event loop runs (painting, timers, questions the work asks from its
// thread) but user input waits, since the work reads the survey; after kWorkProgressDelayMs a
// window-modal progress dialog over window (objectName "WorkProgress") shows label and a
// Cancel button ("WorkCancel"). Cancel, Escape or closing the dialog ask the work to stop
// (WorkControl::cancelled); the dialog stays, saying so, until the work has stopped.
void RunWork(QWidget* window, const QString& label, const std::function<void(const WorkControl&)>& work);
