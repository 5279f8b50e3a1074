#include "session/history.h"

#include <algorithm>
#include <type_traits>

namespace history {

namespace {
const std::string kNoName;

std::size_t TextBytes(const std::string& s) { return sizeof(std::string) + (s.capacity() > 15 ? s.capacity() : 0); }

std::size_t TextsBytes(const std::vector<std::string>& texts) {
  std::size_t n = 0;
  for (const std::string& t : texts) n += TextBytes(t);
  return n;
}

std::size_t StationBytes(const sdata& s) {
  std::size_t n = sizeof(sdata) + TextBytes(s.Name) + TextBytes(s.WorkArea) + TextBytes(s.Profile) +
                  TextBytes(s.Operator) + TextBytes(s.Instrument);
  for (const auto& column : s.Columns) n += column.capacity() * sizeof(float);
  n += (s.Model.Thickness.capacity() + s.Model.Resistivity.capacity()) * sizeof(float);
  return n;
}

std::size_t FormBytes(const FormState& f) {
  std::size_t n = sizeof(FormState);
  for (const std::string& t : f.fields) n += TextBytes(t);
  for (int r = 0; r < f.grid.rows(); ++r)
    for (int c = 0; c < f.grid.cols(); ++c) n += TextBytes(f.grid.cell(c, r));
  return n;
}
}  // namespace

std::size_t EditBytes(const Edit& edit) {
  return sizeof(Edit) + std::visit(
                            [](const auto& e) -> std::size_t {
                              using T = std::decay_t<decltype(e)>;
                              if constexpr (std::is_same_v<T, FieldEdit> || std::is_same_v<T, CellEdit>) {
                                return TextBytes(e.before) + TextBytes(e.after);
                              } else if constexpr (std::is_same_v<T, ShapeEdit> || std::is_same_v<T, ShiftEdit>) {
                                return TextsBytes(e.lost);
                              } else if constexpr (std::is_same_v<T, StationEdit>) {
                                return StationBytes(e.station);
                              } else if constexpr (std::is_same_v<T, ClearEdit>) {
                                std::size_t n = 0;
                                for (const sdata& s : e.stations) n += StationBytes(s);
                                return n;
                              } else if constexpr (std::is_same_v<T, ReorderEdit>) {
                                return e.order.capacity() * sizeof(std::size_t);
                              } else if constexpr (std::is_same_v<T, BlockEdit>) {
                                std::size_t n = e.cells.capacity() * sizeof(BlockEdit::Cell);
                                for (const BlockEdit::Cell& c : e.cells)
                                  n += TextBytes(c.before) + TextBytes(c.after) - 2 * sizeof(std::string);
                                return n;
                              } else if constexpr (std::is_same_v<T, FormModelEdit>) {
                                return (e.before.Thickness.capacity() + e.before.Resistivity.capacity() +
                                        e.after.Thickness.capacity() + e.after.Resistivity.capacity()) *
                                       sizeof(float);
                              } else {
                                return e.other ? FormBytes(*e.other) : 0;
                              }
                            },
                            edit);
}

const std::string& History::undoName() const { return canUndo() ? steps_[index_ - 1].name : kNoName; }

const std::string& History::redoName() const { return canRedo() ? steps_[index_].name : kNoName; }

bool History::savedAt(std::size_t position) const {
  if (clean_ < 0) return false;
  const auto clean = static_cast<std::size_t>(clean_);
  if (position >= clean) {
    // Forward from the save: saved until a step makes the survey unsaved.
    for (std::size_t k = clean; k < position; ++k)
      if (steps_[k].unsaves) return false;
    return true;
  }
  // Back from the save: the stations are no longer those saved once a step that changed them
  // is taken back.
  for (std::size_t k = position; k < clean; ++k)
    if (steps_[k].unsaves || steps_[k].changesStations) return false;
  return true;
}

void History::push(Step step) {
  if (step.empty()) return;
  if (index_ < steps_.size()) {
    // The steps undone are dropped; when the saved position is among them, the current
    // position takes its place if it holds the same stations.
    if (clean_ > static_cast<long long>(index_)) clean_ = savedAt(index_) ? static_cast<long long>(index_) : -1;
    for (std::size_t k = index_; k < steps_.size(); ++k) bytes_ -= steps_[k].bytes;
    steps_.erase(steps_.begin() + static_cast<std::ptrdiff_t>(index_), steps_.end());
  }
  step.bytes = sizeof(Step) + step.name.capacity();
  for (const Edit& e : step.edits) step.bytes += EditBytes(e);

  if (step.mergeKey != 0 && !steps_.empty() && steps_.back().mergeKey == step.mergeKey &&
      clean_ != static_cast<long long>(index_)) {
    Step& top = steps_.back();
    bytes_ -= top.bytes;
    for (Edit& e : step.edits) {
      auto* next = std::get_if<FieldEdit>(&e);
      auto* last = top.edits.empty() ? nullptr : std::get_if<FieldEdit>(&top.edits.back());
      if (next != nullptr && last != nullptr && next->field == last->field) {
        last->after = std::move(next->after);
      } else {
        top.edits.push_back(std::move(e));
      }
    }
    // A field typed back to what it was is no change at all.
    std::erase_if(top.edits, [](const Edit& e) {
      const auto* f = std::get_if<FieldEdit>(&e);
      return f != nullptr && f->before == f->after;
    });
    top.after = std::move(step.after);
    top.unsaves = top.unsaves || step.unsaves;
    top.changesStations = top.changesStations || step.changesStations;
    if (top.empty()) {
      steps_.pop_back();
      index_ = steps_.size();
      return;
    }
    top.bytes = sizeof(Step) + top.name.capacity();
    for (const Edit& e : top.edits) top.bytes += EditBytes(e);
    bytes_ += top.bytes;
    return;
  }
  bytes_ += step.bytes;
  steps_.push_back(std::move(step));
  index_ = steps_.size();
  trim();
}

void History::trim() {
  while (steps_.size() > 1 && (steps_.size() > kMaxSteps || bytes_ > kMaxBytes)) {
    // The oldest step goes; a saved position at its start moves to its end when the survey
    // was still saved there, and otherwise can no longer be reached.
    if (clean_ == 0) {
      clean_ = steps_.front().unsaves ? -1 : 0;
    } else if (clean_ > 0) {
      --clean_;
    }
    bytes_ -= steps_.front().bytes;
    steps_.pop_front();
    --index_;
  }
}

Step& History::undo() {
  --index_;
  return steps_[index_];
}

Step& History::redo() {
  ++index_;
  return steps_[index_ - 1];
}

void History::clear(bool saved) {
  steps_.clear();
  index_ = 0;
  bytes_ = 0;
  clean_ = saved ? 0 : -1;
}

}  // namespace history
