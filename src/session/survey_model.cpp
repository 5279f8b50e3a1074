// The layered model of a sounding in the survey: accepting a fitted model or keeping one edited
// by hand, taking it away, and fitting every station of a survey.

#include <string>
#include <utility>
#include <vector>

#include "interp/stationmodel.h"
#include "io/templates.h"
#include "io/textconv.h"
#include "session/survey.h"

namespace {
const char* const kStepAcceptModel = QT_TRANSLATE_NOOP("core", "接受模型");
const char* const kStepEditModel = QT_TRANSLATE_NOOP("core", "修改模型");
const char* const kStepClearModel = QT_TRANSLATE_NOOP("core", "清除模型");
const char* const kStepFitAll = QT_TRANSLATE_NOOP("core", "拟合全部测点");
const char* const kFitAllWork = QT_TRANSLATE_NOOP("core", "正在拟合测点的层状模型…");
const char* const kFitAllLeftOut = QT_TRANSLATE_NOOP("core", "以下测点没有拟合：");
// The message lists this many stations that were not fitted; the rest are counted.
constexpr std::size_t kListedStations = 12;
}  // namespace

const StationModel& Survey::model() const {
  if (browsing_ && currentIndex_ >= 0 && static_cast<std::size_t>(currentIndex_) < stations_.size())
    return stations_[static_cast<std::size_t>(currentIndex_)].Model;
  return form_.model;
}

bool Survey::setModel(StationModel model) {
  Batch batch(*this, model.Origin == ModelOrigin::Edited ? kStepEditModel : kStepAcceptModel);
  if (!IsSoundingType(type_) || !IsUsableModel(model)) return false;
  putModel(std::move(model));
  return true;
}

bool Survey::clearModel() {
  Batch batch(*this, kStepClearModel);
  if (model().empty()) return false;
  putModel(StationModel());
  return true;
}

void Survey::putModel(StationModel model) {
  if (!browsing_ || !updateEnabled()) {
    setFormModel(std::move(model));
    return;
  }
  const auto index = static_cast<std::size_t>(currentIndex_);
  if (stations_[index].Model == model) return;
  sdata station = stations_[index];
  station.Model = std::move(model);
  replaceStation(index, std::move(station));
  markUnsaved();
}

std::size_t Survey::fitAllStations(bool everyStation, const FitOptions& options) {
  Batch batch(*this, kStepFitAll);
  if (!IsSoundingType(type_)) return 0;
  std::vector<std::size_t> chosen;
  for (std::size_t i = 0; i < stations_.size(); ++i)
    if (everyStation || stations_[i].Model.empty()) chosen.push_back(i);
  if (chosen.empty()) return 0;

  // The work reads the stations and writes only its own results; the survey changes after it.
  std::vector<StationModel> models(chosen.size());
  std::vector<std::string> reasons(chosen.size());
  bool cancelled = false;
  runWork(kFitAllWork, [&](const WorkControl& control) {
    for (std::size_t k = 0; k < chosen.size(); ++k) {
      if (control.cancelled()) {
        cancelled = true;
        return;
      }
      const FitResult fit = FitStation(stations_[chosen[k]], options);
      if (fit.ok) {
        models[k] = StationModelFrom(fit.model, ModelOrigin::Fitted);
      } else {
        reasons[k] = fit.reason;
      }
      control.progress(k + 1, chosen.size());
    }
  });
  if (cancelled) return 0;

  std::size_t fitted = 0;
  std::vector<std::string> left;
  for (std::size_t k = 0; k < chosen.size(); ++k) {
    const std::size_t index = chosen[k];
    if (models[k].empty()) {
      left.push_back(Fill(tmpl::kBatchNotFitted, {ShownText(stations_[index].Name), reasons[k]}));
      continue;
    }
    ++fitted;
    if (stations_[index].Model == models[k]) continue;
    sdata station = stations_[index];
    station.Model = std::move(models[k]);
    replaceStation(index, std::move(station));
    markUnsaved();
  }
  touch(change::kModel);
  if (!left.empty()) {
    std::string text = kFitAllLeftOut;
    for (std::size_t i = 0; i < left.size() && i < kListedStations; ++i) text += "\n" + left[i];
    if (left.size() > kListedStations)
      text += "\n" + Fill(tmpl::kMoreProblems, {std::to_string(left.size() - kListedStations)});
    Message m = Message::simple(std::move(text));
    m.icon = Message::Icon::Warning;
    ask(m);
  }
  return fitted;
}
