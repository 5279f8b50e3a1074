// The survey's undo history: every change of the survey's state goes through one of the
// functions here, which records it in the step the running operation is making; undo and redo
// apply the recorded edits backward or forward.

#include <algorithm>
#include <cstdint>
#include <utility>

#include "io/csvimport.h"
#include "model/stations.h"
#include "session/survey.h"

namespace {
template <class... F>
struct Overloaded : F... {
  using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;
}  // namespace

// ---- Operations and steps ----

void Survey::beginOperation(const char* name, int mergeKey) {
  if (depth_++ == 0) {
    step_.emplace();
    step_->name = name;
    step_->mergeKey = mergeKey;
    step_->before = scalars();
    linkBefore_ = {file_, replaceProposed_};
    cleanAfterStep_ = false;
  } else if (step_ && step_->name.empty()) {
    // An operation without a name of its own (closing, saving) takes that of the first named
    // one it runs.
    step_->name = name;
  }
}

void Survey::endOperation() {
  if (--depth_ > 0) return;
  if (step_) {
    const bool made = !step_->empty();
    try {
      step_->after = scalars();
      // A link changed by a step that changed the survey too goes back with it; a save, which
      // changes nothing else, is no step.
      const history::FileLink linkAfter{file_, replaceProposed_};
      if (!(linkAfter == linkBefore_) && !step_->empty()) step_->fileLink.emplace(linkBefore_, linkAfter);
      history_.push(std::move(*step_));
    } catch (...) {
      // Out of memory: a history missing a step could not bring back the right state.
      history_.clear(saved_);
    }
    step_.reset();
    if (cleanAfterStep_) history_.markClean();
    if (made || cleanAfterStep_) touch(change::kHistory);
    cleanAfterStep_ = false;
  }
  flush();
}

void Survey::record(history::Edit edit) {
  if (step_) step_->edits.push_back(std::move(edit));
}

history::Scalars Survey::scalars() const { return {type_, currentIndex_, browsing_, form_.branch, status_}; }

// ---- Changes, recorded ----

void Survey::setField(Field field, std::string text) {
  std::string& current = form_.field(field);
  if (current == text) return;
  if (step_) record(history::FieldEdit{field, current, text});
  current = std::move(text);
  touch(change::kFields);
}

void Survey::setCell(int col, int row, std::string text) {
  GridTexts& g = form_.grid;
  if (col < 0 || col >= g.cols() || row < 0 || row >= g.rows()) return;
  if (g.cell(col, row) == text) return;
  if (step_ && block_) {
    std::get<history::BlockEdit>(step_->edits[*block_]).cells.push_back({col, row, g.cell(col, row), text});
  } else if (step_) {
    record(history::CellEdit{col, row, g.cell(col, row), text});
  }
  g.setCell(col, row, std::move(text));
  noteCell(col, row);
  touch(change::kGrid);
}

void Survey::beginBlock(std::size_t cells) {
  if (!step_) return;
  record(history::BlockEdit{});
  block_ = step_->edits.size() - 1;
  std::get<history::BlockEdit>(step_->edits.back()).cells.reserve(cells);
}

void Survey::endBlock() {
  if (step_ && block_) {
    auto& cells = std::get<history::BlockEdit>(step_->edits[*block_]).cells;
    cells.shrink_to_fit();
    // A block that changed no cell is no edit: a paste of what the cells held makes no step.
    if (cells.empty() && *block_ + 1 == step_->edits.size()) step_->edits.pop_back();
  }
  block_.reset();
}

void Survey::setGridRows(int rows) { resizeGrid(rows, true); }

void Survey::setGridCols(int cols) { resizeGrid(cols, false); }

void Survey::resizeGrid(int count, bool rows) {
  GridTexts& g = form_.grid;
  count = std::max(count, 1);
  const int old = rows ? g.rows() : g.cols();
  if (count == old) return;
  if (step_) {
    // The cells a smaller grid drops, row by row.
    history::ShapeEdit e{rows, old, count, {}};
    for (int r = rows ? count : 0; r < g.rows(); ++r)
      for (int c = rows ? 0 : count; c < g.cols(); ++c) e.lost.push_back(g.cell(c, r));
    record(std::move(e));
  }
  if (rows) {
    g.setRows(count);
  } else {
    g.setCols(count);
  }
  noteWholeGrid();
  touch(change::kGrid);
}

void Survey::shiftRows(int from, bool down) {
  GridTexts& g = form_.grid;
  if (from < 1 || from >= g.rows()) return;
  if (step_) {
    // The row the shift drops: the last one going down, row from going up.
    history::ShiftEdit e{down, from, {}};
    const int dropped = down ? g.rows() - 1 : from;
    for (int c = 1; c < g.cols(); ++c) e.lost.push_back(g.cell(c, dropped));
    record(std::move(e));
  }
  if (down) {
    g.shiftDown(from);
  } else {
    g.shiftUp(from);
  }
  noteWholeGrid();
  touch(change::kGrid);
}

void Survey::setFormModel(StationModel model) {
  if (form_.model == model) return;
  if (step_) record(history::FormModelEdit{form_.model, model});
  form_.model = std::move(model);
  touch(change::kModel);
}

void Survey::setBranch(int branch) {
  // Told even when it stays: the window shows the survey's branch again.
  form_.branch = branch;
  touch(change::kBranch);
}

// Stand-ins for the stations: x and the station's position (in SpacingCount), so that a sort
// finds the new order without moving the stations themselves.
namespace {
StationList PositionKeys(const StationList& stations, std::size_t firstPosition = 0) {
  StationList keys(stations.size());
  for (std::size_t i = 0; i < keys.size(); ++i) {
    keys[i].X = stations[i].X;
    keys[i].SpacingCount = static_cast<std::int32_t>(firstPosition + i);
  }
  return keys;
}
}  // namespace

void Survey::reorderStations(const StationList& keys) {
  history::ReorderEdit e;
  e.order.reserve(keys.size());
  for (const sdata& k : keys) e.order.push_back(static_cast<std::size_t>(k.SpacingCount));
  StationList sorted;
  sorted.reserve(stations_.size());
  for (std::size_t i : e.order) sorted.push_back(std::move(stations_[i]));
  stations_ = std::move(sorted);
  noteStations(StationListChange::Kind::Reorder, 0, e.order);
  if (step_) {
    record(std::move(e));
    step_->changesStations = true;
  }
  touch(change::kStations);
}

void Survey::putStationsInXOrder() {
  // A list out of order (an update moved an x) is reordered the way an insertion orders it, so
  // that the new order is recorded and undo can bring the old one back.
  const bool inOrder =
      std::is_sorted(stations_.begin(), stations_.end(), [](const sdata& a, const sdata& b) { return a.X < b.X; });
  if (inOrder) return;
  StationList keys = PositionKeys(stations_);
  SortStationsByX(keys);
  reorderStations(keys);
}

void Survey::addStations(StationList added) {
  putStationsInXOrder();
  // AddImportedStations orders stand-ins of both lists; the added stations are appended, then
  // put in that order, each move recorded.
  StationList keys = PositionKeys(stations_);
  AddImportedStations(keys, PositionKeys(added, stations_.size()));
  for (sdata& station : added) {
    const std::size_t index = stations_.size();
    stations_.push_back(std::move(station));
    noteStations(StationListChange::Kind::Insert, index);
    if (step_) {
      record(history::StationEdit{history::StationEdit::Kind::Insert, index, {}});
      step_->changesStations = true;
    }
  }
  reorderStations(keys);
}

std::size_t Survey::insertStation(sdata station) {
  // The insertion first puts the list in x order.
  putStationsInXOrder();
  const std::size_t index = InsertStationByX(stations_, std::move(station));
  noteStations(StationListChange::Kind::Insert, index);
  if (step_) {
    record(history::StationEdit{history::StationEdit::Kind::Insert, index, {}});
    step_->changesStations = true;
  }
  touch(change::kStations);
  return index;
}

void Survey::eraseStation(std::size_t index) {
  if (step_) {
    record(history::StationEdit{history::StationEdit::Kind::Erase, index, {}});
    std::get<history::StationEdit>(step_->edits.back()).station = std::move(stations_[index]);
    step_->changesStations = true;
  }
  stations_.erase(stations_.begin() + static_cast<std::ptrdiff_t>(index));
  noteStations(StationListChange::Kind::Erase, index);
  touch(change::kStations);
}

void Survey::replaceStation(std::size_t index, sdata station) {
  if (step_) {
    record(history::StationEdit{history::StationEdit::Kind::Replace, index, {}});
    std::get<history::StationEdit>(step_->edits.back()).station = std::move(stations_[index]);
    step_->changesStations = true;
  }
  stations_[index] = std::move(station);
  noteStations(StationListChange::Kind::Replace, index);
  touch(change::kStations);
}

void Survey::clearStations() {
  if (stations_.empty()) return;
  if (step_) {
    record(history::ClearEdit{});
    std::get<history::ClearEdit>(step_->edits.back()).stations = std::move(stations_);
    step_->changesStations = true;
  }
  stations_.clear();
  noteStations(StationListChange::Kind::Whole, 0);
  touch(change::kStations);
}

void Survey::markShown() {
  if (step_) {
    // The form the station was shown with before matters only where a station was shown.
    history::ShownEdit e;
    if (step_->before.browsing) e.other = std::make_unique<FormState>(std::move(shownForm_));
    record(std::move(e));
  }
  shownForm_ = form_;
}

void Survey::markUnsaved() {
  if (step_) step_->unsaves = true;
  if (!saved_) return;
  saved_ = false;
  touch(change::kSaved);
}

// ---- Undo and redo ----

void Survey::apply(history::Edit& edit, bool forward) {
  GridTexts& g = form_.grid;
  std::visit(
      Overloaded{
          [&](history::FieldEdit& e) {
            form_.field(e.field) = forward ? e.after : e.before;
            touch(change::kFields);
          },
          [&](history::CellEdit& e) {
            g.setCell(e.col, e.row, forward ? e.after : e.before);
            noteCell(e.col, e.row);
            touch(change::kGrid);
          },
          [&](history::ShapeEdit& e) {
            const int target = forward ? e.after : e.before;
            if (e.rows) {
              g.setRows(target);
            } else {
              g.setCols(target);
            }
            if (!forward && e.before > e.after) {
              std::size_t k = 0;
              const int firstRow = e.rows ? e.after : 0;
              const int firstCol = e.rows ? 0 : e.after;
              for (int r = firstRow; r < g.rows(); ++r)
                for (int c = firstCol; c < g.cols() && k < e.lost.size(); ++c) g.setCell(c, r, e.lost[k++]);
            }
            noteWholeGrid();
            touch(change::kGrid);
          },
          [&](history::ShiftEdit& e) {
            // Undone, the opposite shift brings every moved row back; the row the shift dropped
            // is put back where it was.
            if (e.down == forward) {
              g.shiftDown(e.from);
            } else {
              g.shiftUp(e.from);
            }
            if (!forward) {
              const int row = e.down ? g.rows() - 1 : e.from;
              for (int c = 1; c < g.cols() && static_cast<std::size_t>(c - 1) < e.lost.size(); ++c)
                g.setCell(c, row, e.lost[static_cast<std::size_t>(c - 1)]);
            }
            noteWholeGrid();
            touch(change::kGrid);
          },
          [&](history::StationEdit& e) {
            using Kind = history::StationEdit::Kind;
            const auto at = stations_.begin() + static_cast<std::ptrdiff_t>(e.index);
            using ListKind = StationListChange::Kind;
            if (e.kind == Kind::Replace) {
              std::swap(*at, e.station);
              noteStations(ListKind::Replace, e.index);
            } else if ((e.kind == Kind::Insert) == forward) {
              stations_.insert(at, std::move(e.station));
              e.station = sdata();
              noteStations(ListKind::Insert, e.index);
            } else {
              e.station = std::move(*at);
              stations_.erase(at);
              noteStations(ListKind::Erase, e.index);
            }
            touch(change::kStations);
          },
          [&](history::ClearEdit& e) {
            if (forward) {
              e.stations = std::move(stations_);
              stations_.clear();
            } else {
              stations_ = std::move(e.stations);
              e.stations.clear();
            }
            noteStations(StationListChange::Kind::Whole, stations_.size());
            touch(change::kStations);
          },
          [&](history::ReorderEdit& e) {
            StationList moved(stations_.size());
            std::vector<std::size_t> order(stations_.size());
            for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
            for (std::size_t i = 0; i < e.order.size() && i < moved.size(); ++i) {
              if (forward) {
                moved[i] = std::move(stations_[e.order[i]]);
                order[i] = e.order[i];
              } else {
                moved[e.order[i]] = std::move(stations_[i]);
                order[e.order[i]] = i;
              }
            }
            stations_ = std::move(moved);
            noteStations(StationListChange::Kind::Reorder, 0, std::move(order));
            touch(change::kStations);
          },
          [&](history::ShownEdit& e) {
            if (e.other) {
              std::swap(*e.other, shownForm_);
            } else if (forward) {
              shownForm_ = form_;
            }
          },
          [&](history::BlockEdit& e) {
            const bool whole = e.cells.size() * 4 > static_cast<std::size_t>(g.rows()) * static_cast<std::size_t>(g.cols());
            auto put = [&](const history::BlockEdit::Cell& c) {
              g.setCell(c.col, c.row, forward ? c.after : c.before);
              if (!whole) noteCell(c.col, c.row);
            };
            if (forward) {
              for (const auto& c : e.cells) put(c);
            } else {
              for (auto it = e.cells.rbegin(); it != e.cells.rend(); ++it) put(*it);
            }
            if (whole) noteWholeGrid();
            touch(change::kGrid);
          },
          [&](history::FormModelEdit& e) {
            form_.model = forward ? e.after : e.before;
            touch(change::kModel);
          },
      },
      edit);
}

void Survey::applyScalars(const history::Scalars& s) {
  if (type_ != s.type) {
    type_ = s.type;
    touch(change::kType);
  }
  if (currentIndex_ != s.currentIndex || browsing_ != s.browsing) {
    currentIndex_ = s.currentIndex;
    browsing_ = s.browsing;
    touch(change::kBrowse);
  }
  if (form_.branch != s.branch) setBranch(s.branch);
  if (status_ != s.status) {
    status_ = s.status;
    touch(change::kStatus);
  }
}

bool Survey::undo() { return travel(false); }

bool Survey::redo() { return travel(true); }

bool Survey::travel(bool forward) {
  if (depth_ > 0 || !(forward ? history_.canRedo() : history_.canUndo())) return false;
  ++depth_;
  try {
    history::Step& step = forward ? history_.redo() : history_.undo();
    if (forward) {
      for (history::Edit& e : step.edits) apply(e, true);
    } else {
      for (auto it = step.edits.rbegin(); it != step.edits.rend(); ++it) apply(*it, false);
    }
    applyScalars(forward ? step.after : step.before);
    if (step.fileLink) {
      const history::FileLink& link = forward ? step.fileLink->second : step.fileLink->first;
      file_ = link.file;
      replaceProposed_ = link.replaceProposed;
      touch(change::kSaved);
    }
  } catch (...) {
    // Out of memory half way: the state can no longer be matched with the steps.
    history_.clear(false);
    --depth_;
    touch(change::kAll);
    flush();
    throw;
  }
  const bool saved = history_.savedNow();
  if (saved != saved_) {
    saved_ = saved;
    touch(change::kSaved);
  }
  touch(change::kHistory | change::kBrowse);
  --depth_;
  flush();
  return true;
}
