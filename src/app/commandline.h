#pragma once
// The commands the program runs without its window (fieldinput --fit, --export-csv, --help):
// recognised before any window object exists and run with a QCoreApplication only, so that
// they need no display. Messages go to standard error in the interface language the window
// would have (--lang, the 语言/Language menu's choice, the locale).

#include <optional>

// Names the application for its settings and the version it reports; for the window and the
// commands alike.
void NameApplication();

// Runs the command the arguments ask for and gives its exit status (0 done, 1 some station not
// done, 2 nothing written: a bad command line, a file that cannot be read or written); nothing
// when the arguments are for the window.
std::optional<int> RunCommandLine(int& argc, char** argv);
