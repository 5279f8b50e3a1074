#pragma once
// The survey: the document the input window shows. It holds the data type, the committed
// stations, which one is shown, whether they are saved, and the texts of the window's fields
// and grid. Every entry rule lives here: the checks on typed text, committing, browsing,
// updating and deleting stations, the grid commands, new lines, switching the data type and
// the save flows. What it has to show or ask goes through Questions; observers are told what
// changed after every operation.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "io/messages.h"

#include "interp/fit.h"
#include "io/csvimport.h"
#include "model/sdata.h"
#include "session/datatypespec.h"
#include "session/formstate.h"
#include "session/gridblock.h"
#include "session/history.h"
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
inline constexpr unsigned kHistory = 1u << 8;   // what undo and redo would do
inline constexpr unsigned kModel = 1u << 9;     // the layered model of what is shown (model())
inline constexpr unsigned kAll = 0x3ffu;
}  // namespace change

// The grid cells an operation changed: those listed, or every cell (and the grid's shape).
struct GridChanges {
  bool whole = false;
  std::vector<std::pair<int, int>> cells;  // (col, row)
};

// A change of the station list, in the order an operation made it (see Survey::changedStations).
struct StationListChange {
  enum class Kind {
    Insert,   // a station put in at index
    Erase,    // the station at index taken out
    Replace,  // the station at index replaced
    Reorder,  // the list reordered: after[i] = before[order[i]]
    Whole,    // the list replaced as a whole (loaded, opened, restored, emptied); index: its new size
  };
  Kind kind = Kind::Whole;
  std::size_t index = 0;
  std::vector<std::size_t> order;
};

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

  // Inside SurveyObserver::surveyChanged with change::kGrid: which cells changed.
  const GridChanges& changedCells() const { return toldCells_; }
  // Inside SurveyObserver::surveyChanged with change::kStations: how the list changed, in order
  // (never empty then: a change not described otherwise is told as Whole).
  const std::vector<StationListChange>& changedStations() const { return toldStations_; }

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
  // Shows the station at index (as Previous and Next do, asking first about a shown station
  // that was edited or a typed one not inserted); false when it stays where it was.
  bool showAt(int index);
  bool deleteStation();
  bool newLine();
  bool switchType(DataType type);
  bool mayClose();
  bool save();
  // Saves into a file chosen afresh: the dialog opens in the survey's folder without proposing
  // the file the survey is linked to (a combined line: its line number's name), and an existing
  // file chosen is proposed for appending, not replacing. Saved, the survey is linked to the new
  // file; cancelled, it stays linked to the old one.
  bool saveAs();
  // 文件 › 关闭: after the save question of a new line, the survey starts afresh: no stations,
  // no file, the readings and the line number emptied (spacings and the crew's fields stay).
  bool closeSurvey();

  // ---- Grid commands ----
  void insertRow(int currentRow);  // currentRow: the data row holding the focus, 0 for none
  void deleteRow(int currentRow);
  void clearValues();
  void defaultSpacings();
  void chooseBranch(int index);  // the user picked a branch: its resistivities are emptied
  void branchEdited();           // the branch text was typed over: the same

  // ---- Clipboard ----
  // Pastes a block of cells (ParseBlock) with its first cell at (col, row); row 0 counts as
  // row 1. Rows beyond the grid's last add rows, and the count follows, within the data type's
  // limit; a block that would go beyond it, or a text that is no block, is refused with a
  // message and changes nothing. Cells that fall on the row-number column or beyond the last
  // column are dropped, and one message says how many. Texts are put in as they are: the
  // commit checks them. Returns the range pasted, or nothing when refused.
  std::optional<CellRange> paste(int col, int row, std::string_view text);
  // The value cells of range as tab-separated lines (BlockText).
  std::string copy(const CellRange& range) const;
  // Copies range, then empties its value cells; returns the text copied.
  std::string cut(const CellRange& range);
  // Empties the value cells of range.
  void clearCells(const CellRange& range);
  // The most data rows the grid of the current type may have.
  int rowLimit() const;

  // ---- The layered model of a sounding ----
  // The model that goes with what the window shows: the shown station's own, or, while a
  // station is typed, the one accepted for it (it goes with the station when committed and
  // with its readings when they are emptied). Empty when there is none, and for the profile
  // types.
  const StationModel& model() const;
  // Accepts a fitted model or keeps one edited by hand (by its Origin), as one step: stored
  // with the shown station (the survey becomes unsaved), or kept for the station being typed.
  // False, changing nothing, for the profile types and for a model the forward model cannot
  // evaluate (IsUsableModel).
  bool setModel(StationModel model);
  // Takes the model away from the shown station or the station being typed, as one step.
  // False when there was none.
  bool clearModel();
  // Fits a model to every sounding station without one (every station: all of them) with the
  // options given, on another thread behind a progress dialog with Cancel (Questions::runWork),
  // and stores the models as one step; the survey becomes unsaved. Cancelled, nothing changes.
  // Stations that cannot be fitted keep what they had and are listed in one message. Returns
  // the number of stations given a model (0 after a cancel or for a profile type).
  std::size_t fitAllStations(bool everyStation, const FitOptions& options);

  // ---- Undo and redo ----
  // Every operation that changes the survey is one step; questions asked on the way are not
  // part of it, and a save is no step (the saved state follows the steps, see history.h).
  bool canUndo() const { return history_.canUndo(); }
  bool canRedo() const { return history_.canRedo(); }
  // The name of the step undo or redo would take (UTF-8, such as "粘贴"); empty when none.
  const std::string& undoName() const { return history_.undoName(); }
  const std::string& redoName() const { return history_.redoName(); }
  // Takes back the last step done, or does again the last step undone: the survey, the form
  // and the browse state are exactly as they were after (before) it. False when there is none.
  bool undo();
  bool redo();
  // The memory the undo history holds, roughly.
  std::size_t historyBytes() const { return history_.bytes(); }

  // The printed listing's GBK lines (empty for the profile types).
  std::vector<std::string> listing() const;

  // Puts a survey in place: the type laid out (when it changes), the stations given, the
  // current index, nothing shown (the next unit's proposal stays in the form), the saved state.
  // The undo history starts afresh from it.
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
  // The form as the shown station put it there (meaningful while browsing).
  const FormState& shownForm() const { return shownForm_; }
  bool replaceProposed() const { return replaceProposed_; }
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
  // The outermost operation is also one step of the undo history, named after the first
  // operation that has a name (mergeKey: see history::Step).
  class Batch {
   public:
    explicit Batch(Survey& s, const char* name = "", int mergeKey = 0) : s_(s) { s_.beginOperation(name, mergeKey); }
    ~Batch() { s_.endOperation(); }
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

   private:
    Survey& s_;
  };
  void touch(unsigned changes) { pending_ |= changes; }
  void noteCell(int col, int row);
  void noteWholeGrid();
  void noteStations(StationListChange::Kind kind, std::size_t index, std::vector<std::size_t> order = {});
  void flush();
  void beginOperation(const char* name, int mergeKey);
  void endOperation();
  Answer ask(const Message& message);

  bool checkGrid();
  // The station the fields and grid describe, or nothing after a message saying why not.
  // Throws ConvertError for a text that is not a number.
  std::optional<sdata> stationFromForm(NameSource name, const std::vector<int>& cellOrder, const char* verb);
  void showStation(int index);
  void resetBrowsing();

  // ---- Changes of the state, each recorded in the step being made ----
  void record(history::Edit edit);
  history::Scalars scalars() const;
  void setField(Field field, std::string text);
  void setCell(int col, int row, std::string text);
  void setGridRows(int rows);
  void setGridCols(int cols);
  void resizeGrid(int count, bool rows);
  void shiftRows(int from, bool down);  // GridTexts::shiftDown or shiftUp
  void setBranch(int branch);
  void setFormModel(StationModel model);
  // Between these, the cells set are recorded as one BlockEdit of the step (a paste, a block
  // emptied): one history entry instead of one per cell; other edits recorded meanwhile follow
  // it in the step. cells: how many are expected (room is made for them).
  void beginBlock(std::size_t cells);
  void endBlock();
  // The model of what is shown (model()) becomes model: the shown station's, recorded as its
  // replacement and making the survey unsaved, or the form's.
  void putModel(StationModel model);
  std::size_t insertStation(sdata station);  // at its x place, after putting the list in x order
  // Adds stations as AddImportedStations does (the list put in x order first; of equal x, the
  // stations there come first and the added ones keep their order).
  void addStations(StationList added);
  // The stations put in the order keys gives: keys[i].SpacingCount is the position that goes to i.
  void reorderStations(const StationList& keys);
  void putStationsInXOrder();
  // The x a commit proposes for the next unit (EX), given the list after it; pastTaken: moved
  // past the units when one stands at the proposal (the profile types, whose x cannot be typed).
  static std::string proposedNextX(const StationList& stations, bool pastTaken);
  // The x proposed after the station at index was committed (the sounding types): beyond it by
  // the last step along the line, past any station already there.
  static std::string proposedXAfter(const StationList& stations, std::size_t index);
  // Empties every measured column of the form's grid (the readings), keeping spacings, point
  // numbers, AB/2 and MN/2.
  void emptyReadings();
  // Whether a measured cell of the form's grid holds text.
  bool readingsTyped() const;
  // Before leaving a station being typed that has readings: Go (nothing typed, or left),
  // Inserted (committed at currentIndex_), Stay (cancelled, or the commit was refused).
  enum class Leave { Go, Inserted, Stay };
  Leave leaveTypedStation();
  // The undo history starts afresh, with the survey saved or not.
  void forgetHistory(bool saved);
  void eraseStation(std::size_t index);
  void replaceStation(std::size_t index, sdata station);
  void clearStations();
  void markShown();     // the form as it is now counts as the shown station's
  void markUnsaved();
  // Applies a recorded edit forward (redo) or backward (undo).
  void apply(history::Edit& edit, bool forward);
  void applyScalars(const history::Scalars& s);
  // Undo (forward false) or redo.
  bool travel(bool forward);
  // A grid cell's number; a text that is not one throws CellError.
  float cellNumber(int col, int row) const;
  // Where a message about a cell points: "第 3 行，视电阻率".
  std::string cellName(int col, int row) const;
  Message cellMessage(const std::string& text, int col, int row, bool error) const;

  void layOutType(DataType type);
  // EAB, the row count, the row numbers and column 1 from the default spacings.
  void layOutSpacings();
  // Edits to a shown station are never dropped silently: asks whether to update it first.
  // False when the user chose to stay.
  bool leaveShownStation();
  // Asks whether to save unsaved stations before they are discarded; false to stay.
  bool maybeSave(const char* caption, const char* text, Message::Icon icon);
  // No stations, no file, the proposal of the first station and no readings (a new line).
  void startAfresh();
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
  // Asks before a .ves save gives a station more rows than other programs may read; true to go on.
  bool mayWriteManyRows(const StationList& stations);
  // Appends to path under its lock: merge makes the new bytes from the file's (empty when it
  // has gone), or nothing to stop after telling the user why.
  bool appendLocked(const std::string& path,
                    const std::function<std::optional<std::string>(const std::string& bytes)>& merge);
  // Writes the bytes build gives as the whole of path (replacing it); a failure is told with
  // failureText, a cancel in the progress dialog is not.
  enum class WriteOutcome { Written, Failed, Cancelled };
  WriteOutcome writeWholeFile(const std::string& path, const std::function<std::string()>& build,
                              const std::string& failureText);
  // Questions::runWork, with the window shown up to date first. Between the phases of a save
  // or an open that work asks whether the user cancelled.
  void runWork(const char* label, const std::function<void(const WorkControl&)>& work);
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
  GridChanges changedCells_;  // since observers were last told
  GridChanges toldCells_;     // what they are being told
  std::vector<StationListChange> changedStations_;  // since observers were last told
  std::vector<StationListChange> toldStations_;     // what they are being told
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

  history::History history_;
  std::optional<history::Step> step_;  // the step being made by the operation running
  std::optional<std::size_t> block_;   // the step's BlockEdit cells go to, between beginBlock and endBlock
  history::FileLink linkBefore_;       // the file link when the step began
  bool cleanAfterStep_ = false;        // a save during the step: the saved position follows it
  bool working_ = false;               // inside runWork: questions come from the work's thread
  std::string file_;
  bool replaceProposed_ = false;
  std::vector<std::string> folders_ = std::vector<std::string>(4);  // by data type
  std::vector<std::string> defaultSpacings_ = DefaultSpacings();
};
