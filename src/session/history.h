#pragma once
// The survey's undo history. Every operation that changes the survey is recorded as one step:
// the edits it made, in order (a field's or a cell's old and new text, a change of the grid's
// shape with the cells it dropped, rows moved, stations inserted, erased, replaced or
// reordered), and the survey's small state before and after it. A step keeps only what
// changed; a station or a text lives either in the survey or in the step that can bring it
// back, and undo and redo move it from one to the other.
//
// The saved state follows the history as a "clean" position does in an editor: a save marks
// the current position; moving away from it over a step that makes the survey unsaved (a
// commit, a deleted station), or back over any step that changed the stations, makes it
// unsaved, and coming back to the position makes it saved again.

#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "model/sdata.h"
#include "session/formstate.h"

namespace history {

// A station field's text.
struct FieldEdit {
  Field field;
  std::string before, after;
};

// A grid cell's text (row 0 is the header row).
struct CellEdit {
  int col, row;
  std::string before, after;
};

// The grid's row count (rows true) or column count. lost holds the cells a smaller grid
// dropped, row by row, so that undo can put them back.
struct ShapeEdit {
  bool rows;
  int before, after;
  std::vector<std::string> lost;
};

// GridTexts::shiftDown(from) (down true) or shiftUp(from). lost holds the row the shift
// dropped (columns 1 ..): the last row for a shift down, row from for a shift up.
struct ShiftEdit {
  bool down;
  int from;
  std::vector<std::string> lost;
};

// A station inserted at index, erased from it or replaced there. The station not in the list
// is kept here: for an insert while undone, for an erase while done, for a replace the other
// version.
struct StationEdit {
  enum class Kind { Insert, Erase, Replace };
  Kind kind;
  std::size_t index;
  sdata station;
};

// The whole list emptied; the stations are kept here while the step is done.
struct ClearEdit {
  StationList stations;
};

// The list reordered: after[i] = before[order[i]].
struct ReorderEdit {
  std::vector<std::size_t> order;
};

// The form as a shown station left it (what "edited since shown" compares with) was set from
// the form. other holds the other version, or nothing when the earlier one did not matter
// (no station was shown).
struct ShownEdit {
  std::unique_ptr<FormState> other;
};

// Many cells changed by one command (a paste, a block emptied), in the order changed: one entry
// of the history, a cell costing its place and its two texts.
struct BlockEdit {
  struct Cell {
    int col, row;
    std::string before, after;
  };
  std::vector<Cell> cells;
};

// The model accepted for the station being typed (FormState::model).
struct FormModelEdit {
  StationModel before, after;
};

using Edit = std::variant<FieldEdit, CellEdit, ShapeEdit, ShiftEdit, StationEdit, ClearEdit, ReorderEdit, ShownEdit,
                          FormModelEdit, BlockEdit>;

// The survey's small state, taken before and after a step.
struct Scalars {
  DataType type = dtSounding;
  int currentIndex = 0;
  bool browsing = false;
  int branch = 0;
  std::string status;
  bool operator==(const Scalars&) const = default;
};

// The file a survey is linked to: where its next save proposes to go, and whether it replaces
// that file.
struct FileLink {
  std::string file;
  bool replaceProposed = false;
  bool operator==(const FileLink&) const = default;
};

struct Step {
  std::string name;  // UTF-8, as the undo and redo commands show it
  int mergeKey = 0;  // consecutive steps with the same key other than 0 become one
  std::vector<Edit> edits;
  Scalars before, after;
  // The file link before and after, for an operation that changed it along with the survey
  // (a type switch or a new line forgets the file; undoing it gives the link back).
  std::optional<std::pair<FileLink, FileLink>> fileLink;
  bool unsaves = false;           // the operation made the survey unsaved
  bool changesStations = false;  // a station was inserted, erased, replaced or reordered
  std::size_t bytes = 0;          // rough memory the step holds

  bool empty() const { return edits.empty() && before == after && !unsaves; }
};

// Rough memory an edit holds, for the history's budget.
std::size_t EditBytes(const Edit& edit);

class History {
 public:
  // Steps kept at most, and the memory they may hold together; the oldest steps go first,
  // the newest step always stays.
  static constexpr std::size_t kMaxSteps = 1000;
  static constexpr std::size_t kMaxBytes = std::size_t{256} << 20;

  bool canUndo() const { return index_ > 0; }
  bool canRedo() const { return index_ < steps_.size(); }
  // The names of the steps undo and redo would take back or do again; empty when none.
  const std::string& undoName() const;
  const std::string& redoName() const;
  std::size_t size() const { return steps_.size(); }
  // The memory the steps hold together, roughly (EditBytes).
  std::size_t bytes() const { return bytes_; }
  std::size_t index() const { return index_; }

  // Adds a step done just now: the steps undone before it are dropped; a step with the merge
  // key of the last one (when the last one is not the saved position) is joined to it, and
  // dropped when together they change nothing.
  void push(Step step);
  // The step to take back, the position moved before it; the step to do again, the position
  // moved after it. Only when canUndo() or canRedo().
  Step& undo();
  Step& redo();

  // A save made the current position the saved one.
  void markClean() { clean_ = static_cast<long long>(index_); }
  // Whether the survey is saved at the current position.
  bool savedNow() const { return savedAt(index_); }
  // Forgets every step; the survey as it stands is saved or not.
  void clear(bool saved);

 private:
  bool savedAt(std::size_t position) const;
  void trim();

  std::deque<Step> steps_;
  std::size_t index_ = 0;  // steps done
  long long clean_ = 0;    // the saved position; -1 when it cannot be reached
  std::size_t bytes_ = 0;
};

}  // namespace history
