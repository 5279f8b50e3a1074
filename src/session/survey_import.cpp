// Importing stations read from a CSV file: the checks of typed stations made on them, and
// adding them all in one operation, or none.

#include <algorithm>
#include <cmath>
#include <string>

#include "io/textconv.h"
#include "session/survey.h"
#include "io/templates.h"

namespace {
const char* const kStepImport = QT_TRANSLATE_NOOP("core", "导入测点");
const char* const kNothingToImport = QT_TRANSLATE_NOOP("core", "文件中没有可以导入的测点。");
const char* const kImportRefused = QT_TRANSLATE_NOOP("core", "导入的测点没有通过检查，一个也没有加入：");
// A refusal lists this many problems; the rest are counted.
constexpr std::size_t kListedProblems = 12;

std::string RefusalText(const std::vector<StationProblem>& problems) {
  std::string text = kImportRefused;
  for (std::size_t i = 0; i < problems.size() && i < kListedProblems; ++i) text += "\n" + problems[i].message;
  if (problems.size() > kListedProblems)
    text += "\n" + Fill(tmpl::kMoreProblems, {std::to_string(problems.size() - kListedProblems)});
  return text;
}

}  // namespace

std::vector<StationProblem> Survey::prepareImport(CsvPreview& preview) const {
  if (!preview.typeKnown) return {};
  const bool sameType = preview.type == type_;
  if (preview.positionsAssigned) AssignLinePositions(preview.stations, sameType ? stations_.size() : 0);
  return CheckImportedStations(preview.type, sameType ? stations_ : StationList(), preview.stations,
                               preview.stationRows);
}

bool Survey::importStations(DataType type, StationList imported, const std::vector<CsvStationRows>& rows) {
  // One step of the undo history, the type switch included.
  Batch batch(*this, kStepImport);
  if (imported.empty()) {
    ask(Message::simple(kNothingToImport));
    return false;
  }
  auto refused = [&](const StationList& before) {
    const std::vector<StationProblem> problems = CheckImportedStations(type, before, imported, rows);
    if (problems.empty()) return false;
    Message m = Message::simple(RefusalText(problems));
    m.icon = Message::Icon::Warning;
    ask(m);
    return true;
  };
  if (type != type_) {
    // Checked before the switch, so that a refused import leaves the survey as it was.
    if (refused(StationList())) return false;
    if (!switchType(type)) return false;
  } else if (!leaveShownStation()) {
    return false;
  }
  // The shown station may have been updated just now.
  if (refused(stations_)) return false;

  const sdata last = imported.back();
  addStations(std::move(imported));
  const auto place = std::find(stations_.rbegin(), stations_.rend(), last);
  currentIndex_ = place == stations_.rend() ? 0 : static_cast<int>(stations_.rend() - place) - 1;
  browsing_ = false;
  touch(change::kBrowse);
  markUnsaved();
  status_ = Fill(tmpl::kStationCount, {std::to_string(stations_.size())});
  touch(change::kStatus);
  if (!spec().stationFieldsEditable) {
    setField(Field::EX, proposedNextX(stations_, true));
    setField(Field::EY, "0");
  }
  return true;
}
