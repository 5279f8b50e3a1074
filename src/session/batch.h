#pragma once
// The program's commands without a window (fieldinput --fit, --export-csv, --help): the
// command line read into a command, and the commands run on files with the readers, writers
// and the atomic save the window uses. Nothing here needs a display. Messages are core texts
// (UTF-8 Chinese, marked for translation or filled from templates) that the caller translates
// as the window does.

#include <optional>
#include <string>
#include <vector>

#include "model/sdata.h"

enum class BatchAction {
  None,       // not a command without window: the window opens (with the files named)
  Help,       // --help: the commands are listed
  Fit,        // --fit IN.ves -o OUT.ves [--layers N|auto] [--error PERCENT]
  ExportCsv,  // --export-csv IN -o OUT.csv
  Bad,        // a command line that names a command but is wrong: see problem
};

struct BatchCommand {
  BatchAction action = BatchAction::None;
  std::string input;
  std::string output;
  int layers = 0;                       // --layers N (1 to kMaxFitLayers); 0 for auto
  std::optional<double> errorPercent;   // --error; without it the fit's default error
  std::string problem;                  // Bad: what is wrong, a core text
};

// Reads the arguments after the program's name (the language option already taken out). A
// command line holding --fit, --export-csv, --help or -h is a command without window; any
// other is None (files for the window to open).
BatchCommand ParseBatchCommand(const std::vector<std::string>& args);

// Exit statuses of a command.
inline constexpr int kBatchDone = 0;          // everything was done
inline constexpr int kBatchStationsLeft = 1;  // the output was written, some station could not be done
// Nothing written: a bad command line, an input that cannot be read whole, an output that
// cannot be written, or no station to export.
inline constexpr int kBatchFailed = 2;

struct BatchOutcome {
  int status = kBatchDone;
  std::vector<std::string> messages;  // core texts in the order they arose
};

// The CSV export of any file the program opens (.ves, sounding .dat, four-pole, combined), as
// the window exports the survey it opens from that file, written through the atomic save. A
// file read only in part is not exported (the window would ask).
BatchOutcome ExportCsvFile(const std::string& input, const std::string& output);

// Fits a layered model to every station of a .ves file (FitStation, the window's fit) and
// writes the file with the fitted models through the atomic save, every other byte as the .ves
// writer writes it. A station that cannot be fitted keeps its model and is named with the
// reason (status kBatchStationsLeft).
BatchOutcome FitVesFile(const std::string& input, const std::string& output, int layers,
                        std::optional<double> errorPercent);

// Runs a command other than None and Help (Bad: its problem, status kBatchFailed).
BatchOutcome RunBatchCommand(const BatchCommand& command);
