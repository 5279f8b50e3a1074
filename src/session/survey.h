#pragma once
// The survey: the document the input window shows. It holds the data type, the committed
// stations, which one is shown, whether they are saved, and the texts of the window's fields
// and grid. Every entry rule lives here: the checks on typed text, committing, browsing,
// updating and deleting stations, the grid commands, new lines, switching the data type and
// the save flows. What it has to show or ask goes through Questions; observers are told what
// changed after every operation.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io/messages.h"

#include "io/csvimport.h"
#include "model/sdata.h"
#include "session/datatypespec.h"
#include "session/formstate.h"
#include "session/questions.h"

// What an operation changed, as bits of SurveyObserver::surveyChanged.
namespace change {
inline constexpr unsigned kFields = 1u << 0;    // the station fields' texts
inline constexpr unsigned kGrid = 1u << 1;      // the grid: shape, headers or cells
inline constexpr unsigned kStations = 1u << 2;  // the station list
inline constexpr unsigned kBrowse = 1u << 3;    // current index, previous/next/update enabled
inline constexpr unsigned kType = 1u << 4;      // the data type
inline constexpr unsigned kSaved = 1u << 5;     // the saved state
inline constexpr unsigned kStatus = 1u << 6;    // the status line
inline constexpr unsigned kBranch = 1u << 7;    // the combined-profiling branch
inline constexpr unsigned kCell = 1u << 8;      // one grid cell typed (editCell), the shape unchanged
inline constexpr unsigned kAll = 0x1ffu;
}  // namespace change

// The survey apart from its stations: what the recovery file keeps besides them, so that a
// restored session shows exactly what the window showed.
struct SessionState {
  DataType type = dtSounding;
  int currentIndex = 0;
  bool saved = true;
  bool browsing = false;
  std::string status;
  FormState form;
  FormState shownForm;        // the form as the shown station put it there (browsing only)
  std::string file;           // the file the survey was opened from or last saved to; "" none
  bool replaceProposed = false;  // a save into that file proposes to replace it
  bool operator==(const SessionState&) const = default;
};

class SurveyObserver {
 public:
  virtual ~SurveyObserver() = default;
  virtual void surveyChanged(unsigned changes) = 0;
};

class Survey {
 public:
  // questions answers everything the survey asks; programPath locates the Data folder.
  Survey(Questions& questions, std::string programPath);

  // ---- State ----
  DataType type() const { return type_; }
  const DataTypeSpec& spec() const { return SpecFor(type_); }
  const StationList& stations() const { return stations_; }
  int currentIndex() const { return currentIndex_; }
  bool saved() const { return saved_; }
  // Whether the fields and grid show a committed station (rather than the next one to commit).
  bool browsing() const { return browsing_; }
  // Enabled exactly when the command would show a station.
  bool previousEnabled() const;
  bool nextEnabled() const;
  // Enabled while a committed station is shown.
  bool updateEnabled() const;
  bool deleteEnabled() const { return updateEnabled(); }
  // Whether closing, a new line or a type switch would first ask to save.
  bool needsSaveBeforeDiscard() const { return !stations_.empty() && !saved_; }
  const std::string& status() const { return status_; }
  const FormState& form() const { return form_; }
  SaveDialog& saveDialog() { return saveDialog_; }
  const std::string& programPath() const { return programPath_; }

  void addObserver(SurveyObserver* observer);
  void removeObserver(SurveyObserver* observer);

  // ---- Typing: the window reports each change of a field or cell as it happens ----
  void editField(Field field, std::string text);
  void editCell(int col, int row, std::string text);

  // ---- Checks run when focus leaves a field or enters the grid; true when a problem was shown ----
  bool checkX();
  bool checkY();
  bool checkCount();  // also sizes the grid to the count and numbers its rows
  bool checkGridEntry();

  // ---- Commands; each returns whether it did what it was asked ----
  bool commit();
  bool update();
  bool previous();
  bool next();
  bool deleteStation();
  bool newLine();
  bool switchType(DataType type);
  bool mayClose();
  bool save();

  // ---- Grid commands ----
  void insertRow(int currentRow);  // currentRow: the data row holding the focus, 0 for none
  void deleteRow(int currentRow);
  void clearValues();
  void defaultSpacings();
  void chooseBranch(int index);  // the user picked a branch: its resistivities are emptied
  void branchEdited();           // the branch text was typed over: the same

  // The printed listing's GBK lines (empty for the profile types).
  std::vector<std::string> listing() const;

  // Puts a survey in place: the type laid out (when it changes), the stations given, the
  // current index, nothing shown (the next unit's proposal stays in the form), the saved state.
  void load(DataType type, StationList stations, int currentIndex = 0, bool saved = false);

  // ---- Opening files ----
  // Opens one data file of any kind, or several four-pole line files as one survey of lines.
  // Edits to a shown station and unsaved stations are asked about first (the same questions as
  // a new line). A file that cannot be opened or is refused opens nothing, with a message saying
  // what was wrong and where; a file read only in part opens only when the user accepts the
  // stations read before the fault. Opened, the data type is the file's, the stations replace
  // the list and count as saved, the first one is shown, and the next save proposes the file
  // (the four-pole lines: their folder) with the replace choice. Paths are the system's bytes.
  bool open(const std::vector<std::string>& paths);
  // The file the survey was opened from or last saved to ("" none); cleared when the list is
  // discarded by a new line or a type switch.
  const std::string& file() const { return file_; }

  // ---- Folders and default spacings, as the window remembers them between runs ----
  // The folder the save dialogs of a data type start in ("" for the Data folder beside the
  // program); set by every open and every completed save of that type.
  const std::string& lastFolder(DataType type) const;
  void setLastFolder(DataType type, std::string folder);
  // The AB/2 texts the sounding grids are laid out with (13 built-in values unless set).
  // Changing them leaves the grid as it is; they are used the next time it is laid out.
  const std::vector<std::string>& defaultSpacingTexts() const { return defaultSpacings_; }
  // Takes a list that checkSpacingList accepts; false (nothing changed) for any other.
  bool setDefaultSpacings(std::vector<std::string> spacings);
  // What is wrong with a list of default spacings, or "" when there is nothing: 1 to 49
  // values, each a number the grid check accepts as a spacing, increasing by at least the
  // distance at which the grid check calls two spacings the same. UTF-8.
  static std::string checkSpacingList(const std::vector<std::string>& spacings);

  // ---- The session, for the recovery file ----
  SessionState sessionState() const;
  // Puts back a session exactly as sessionState() and stations() gave it. The caller has
  // checked it (ReadRecoveryFile does).
  void restore(SessionState state, StationList stations);

  // ---- Importing stations (from a CSV file, see io/csvimport.h) ----
  // Makes a previewed import ready for this survey and returns what the checks of typed
  // stations find in its stations. Profile lines without a position in the file take those
  // the window would propose after the survey's lines (AssignLinePositions). The stations are
  // checked as if typed after the survey's, or after none when the file's data type is not the
  // survey's (switching to it empties the list). Nothing to check when the preview found no
  // data type. Never asks anything.
  std::vector<StationProblem> prepareImport(CsvPreview& preview) const;
  // Adds complete stations of a data type to the survey in x order, as committing them one
  // after the other would, in one operation: all of them or none. First, for another data type,
  // the type is switched through the same gate as choosing it in the window (edits of a shown
  // station, then save first?); for the survey's own type, edits of a shown station are asked
  // about. Then the stations are checked as prepareImport checks them (rows: the file rows of
  // each station, for the messages); any problem refuses the whole import with a message
  // listing the problems. Added, the survey is unsaved, nothing is shown, the current index is
  // the place of the last station of the list given (as after its commit), the status line
  // counts the stations; the fields keep what was typed, but a proposed x that cannot be typed
  // (the profile types) moves past the lines when one of them stands there. Returns whether the
  // stations were added.
  bool importStations(DataType type, StationList stations, const std::vector<CsvStationRows>& rows = {});

 private:
  // Collects what an operation changes and tells the observers once, when the outermost
  // operation ends (or before a question, so that the window shows the state being asked about).
  class Batch {
   public:
    explicit Batch(Survey& s) : s_(s) { ++s_.depth_; }
    ~Batch() {
      if (--s_.depth_ == 0) s_.flush();
    }
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

   private:
    Survey& s_;
  };
  void touch(unsigned changes) { pending_ |= changes; }
  void flush();
  Answer ask(const Message& message);

  bool checkGrid();
  // The station the fields and grid describe, or nothing after a message saying why not.
  // Throws ConvertError for a text that is not a number.
  std::optional<sdata> stationFromForm(NameSource name, const std::vector<int>& cellOrder, const char* verb);
  void showStation(int index);
  void resetBrowsing();
  void setField(Field field, std::string text);
  void layOutType(DataType type);
  // EAB, the row count, the row numbers and column 1 from the default spacings.
  void layOutSpacings();
  // Edits to a shown station are never dropped silently: asks whether to update it first.
  // False when the user chose to stay.
  bool leaveShownStation();
  // Asks whether to save unsaved stations before they are discarded; false to stay.
  bool maybeSave(const char* caption, const char* text, Message::Icon icon);
  // The gate before the list is replaced (a new line, a type switch, opening a file): edits to
  // a shown station, then unsaved stations. False when the user chose to stay.
  bool mayDiscardList();
  // Runs a save flow; errors escaping it are reported and count as not saved.
  bool runSave(const std::function<bool()>& flow);

  bool saveVes();
  bool saveSoundingDat();
  bool saveFourPoleLines();
  bool saveCombinedLine();
  // Says so when an existing file to append to was not read completely; true when it was.
  bool readCompletely(ReadStatus status);
  // Appends to path under its lock: merge makes the new bytes from the file's (empty when it
  // has gone), or nothing to stop after telling the user why.
  bool appendLocked(const std::string& path,
                    const std::function<std::optional<std::string>(const std::string& bytes)>& merge);
  bool writeWholeFile(const std::string& path, std::string_view bytes, const std::string& failureText);
  // A save wrote path; whole: the file holds exactly the survey (written, not appended to).
  void rememberSavedFile(const std::string& path, bool whole);
  // The list no longer comes from a file.
  void forgetFile();
  // The folder a save of the current type starts in.
  std::string saveStartFolder() const;
  // The file a save proposes to replace: the one the survey holds whole, or "".
  std::string replaceableFile() const { return replaceProposed_ ? file_ : std::string(); }
  static Message noticeMessage(const Notice& notice);

  Questions& questions_;
  std::string programPath_;
  std::vector<SurveyObserver*> observers_;
  unsigned pending_ = 0;
  int depth_ = 0;

  DataType type_ = dtSounding;
  StationList stations_;
  int currentIndex_ = 0;
  bool saved_ = true;
  bool browsing_ = false;
  std::string status_;
  FormState form_;
  FormState shownForm_;  // the form as the shown station put it there
  SaveDialog saveDialog_;
  std::string file_;
  bool replaceProposed_ = false;
  std::vector<std::string> folders_ = std::vector<std::string>(4);  // by data type
  std::vector<std::string> defaultSpacings_ = DefaultSpacings();
};
