#include "ui/modelstate.h"

#include <QMetaObject>
#include <algorithm>
#include <cmath>
#include <limits>

#include "interp/livefit.h"
#include "interp/stationmodel.h"
#include "plot/series.h"
#include "session/datatypespec.h"

namespace {
const StationModel kNoModel;
const std::vector<LayerRanges> kNoRanges;

bool SameReadings(const std::vector<Reading>& a, const std::vector<Reading>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](const Reading& x, const Reading& y) { return x.ab2 == y.ab2 && x.rho == y.rho; });
}
}  // namespace

ModelState::ModelState(Survey& survey, QObject* parent) : QObject(parent), survey_(survey) {
  timer_.setSingleShot(true);
  timer_.setInterval(kFitDelayMs);
  connect(&timer_, &QTimer::timeout, this, [this] { startFit(); });
  survey_.addObserver(this);
  update();
}

ModelState::~ModelState() {
  survey_.removeObserver(this);
  // The fit's thread ends first: no result arrives for a state half destroyed.
  liveFit_.reset();
}

bool ModelState::fittable() const {
  if (readings_.size() < 4) return false;
  std::vector<double> spacings;
  for (const Reading& r : readings_) spacings.push_back(r.ab2);
  std::sort(spacings.begin(), spacings.end());
  return std::unique(spacings.begin(), spacings.end()) - spacings.begin() >= 3;
}

ModelState::Source ModelState::source() const {
  if (preview_) return Source::Preview;
  const bool proposed = proposal_ && proposal_->result.ok;
  if (proposed && asked_) return Source::Proposal;
  if (!stored_.empty()) return Source::Station;
  if (proposed) return Source::Proposal;
  return Source::None;
}

const StationModel& ModelState::shown() const {
  switch (source()) {
    case Source::Preview: return *preview_;
    case Source::Proposal: return proposal_->model;
    case Source::Station: return stored_;
    default: return kNoModel;
  }
}

const std::vector<LayerRanges>& ModelState::ranges() const {
  switch (source()) {
    case Source::Proposal: return proposal_->result.equivalence.layers;
    case Source::Station: return SameReadings(storedRangesReadings_, readings_) ? storedRanges_ : kNoRanges;
    default: return kNoRanges;
  }
}

// ---- Options ----

void ModelState::setLayers(int layers) {
  layers = std::clamp(layers, 0, kMaxFitLayers);
  if (layers == layers_) return;
  layers_ = layers;
  // A count chosen is a fit asked for.
  if (fittable()) fit();
}

void ModelState::setLiveFit(bool on) {
  if (on == live_) return;
  live_ = on;
  update();
}

void ModelState::setLocks(std::vector<LayerLocks> locks) { locks_ = std::move(locks); }

void ModelState::setRangesWanted(bool wanted) {
  if (wanted == rangesWanted_) return;
  rangesWanted_ = wanted;
  update();
}

FitOptions ModelState::options() const {
  FitOptions o;
  o.layers = layers_;
  o.constraints = LockedConstraints(shown(), locks_);
  return o;
}

// ---- Commands ----

void ModelState::fit() {
  asked_ = true;
  requested_.clear();
  if (!fittable()) {
    update();
    return;
  }
  timer_.stop();
  startFit();
  evaluate();
  emit changed();
}

bool ModelState::accept() {
  if (source() != Source::Proposal) return false;
  const Proposal taken = *proposal_;
  if (!survey_.setModel(taken.model)) return false;
  // Its ranges were found already.
  storedRanges_ = taken.result.equivalence.layers;
  storedRangesReadings_ = taken.readings;
  storedRangesAsked_ = !storedRanges_.empty();
  update();
  return true;
}

bool ModelState::clear() {
  const bool had = !survey_.model().empty() || proposal_.has_value();
  proposal_.reset();
  asked_ = false;
  requested_.clear();
  if (!survey_.model().empty()) survey_.clearModel();
  update();
  return had;
}

bool ModelState::edit(StationModel model) {
  model.Origin = ModelOrigin::Edited;
  preview_.reset();
  if (!survey_.setModel(std::move(model))) {
    update();
    return false;
  }
  update();
  return true;
}

void ModelState::preview(StationModel model) {
  preview_ = std::move(model);
  evaluate();
  emit changed();
}

void ModelState::endPreview() {
  if (!preview_) return;
  preview_.reset();
  evaluate();
  emit changed();
}

// ---- Following the survey ----

void ModelState::surveyChanged(unsigned changes) {
  constexpr unsigned kFollowed = change::kGrid | change::kType | change::kBrowse | change::kStations | change::kModel;
  if (changes & kFollowed) update();
}

void ModelState::reset() {
  timer_.stop();
  if (liveFit_) liveFit_->cancel();
  proposal_.reset();
  asked_ = false;
  preview_.reset();
  locks_.clear();
  storedRanges_.clear();
  storedRangesReadings_.clear();
  storedRangesAsked_ = false;
  requested_.clear();
  fitting_ = false;
  failure_.clear();
}

void ModelState::update() {
  const DataTypeSpec& spec = survey_.spec();
  const Context context{survey_.type(), survey_.browsing(), survey_.currentIndex()};
  if (!(context == context_)) {
    context_ = context;
    reset();
  }
  const int xColumn = GridColumnOf(spec.layout, colAB2);
  const int rhoColumn = GridColumnOf(spec.layout, colRho);
  sounding_ = IsSoundingType(survey_.type()) && xColumn > 0 && rhoColumn > 0;
  readings_.clear();
  rows_.clear();
  if (sounding_) {
    const GridTexts& grid = survey_.form().grid;
    const Series series = SeriesFromTexts(CurveKind::Sounding, ColumnTexts(grid, xColumn), ColumnTexts(grid, rhoColumn));
    for (const Segment& seg : series.segments)
      for (const PlotPoint& p : seg) {
        readings_.push_back({p.x, 0.0, p.y});
        rows_.push_back(p.row);
      }
  }

  const StationModel& stored = survey_.model();
  if (!(stored == stored_)) {
    // Accepted, edited, cleared, or undone: the station's model is shown again.
    stored_ = stored;
    proposal_.reset();
    asked_ = false;
    if (!(SameReadings(storedRangesReadings_, readings_) && storedRangesAsked_ && !storedRanges_.empty() &&
          storedRanges_.size() == stored_.Resistivity.size())) {
      storedRanges_.clear();
      storedRangesAsked_ = false;
    }
    locks_.resize(std::min(locks_.size(), stored_.Resistivity.size()));
  }

  const bool enough = sounding_ && fittable();
  const bool wantFit = enough && (asked_ || (stored_.empty() && live_));
  const bool wantRanges = enough && !wantFit && rangesWanted_ && !stored_.empty() &&
                          !(storedRangesAsked_ && SameReadings(storedRangesReadings_, readings_));
  if (!enough) {
    timer_.stop();
    if (liveFit_ && fitting_) liveFit_->cancel();
    fitting_ = false;
    proposal_.reset();
    failure_.clear();
    requested_.clear();
  } else if (wantFit) {
    if (!SameReadings(readings_, requested_) || requestedRangesOnly_) {
      // The proposal for the readings before stays until the fit of these arrives.
      fitting_ = true;
      timer_.start();
    }
  } else {
    timer_.stop();
    if (liveFit_ && fitting_) liveFit_->cancel();
    fitting_ = false;
    if (!asked_ && !stored_.empty()) proposal_.reset();
    if (!live_ && !asked_) {
      proposal_.reset();
      failure_.clear();
    }
    if (wantRanges) {
      storedRangesAsked_ = true;
      storedRangesReadings_ = readings_;
      requested_ = readings_;
      requestedRangesOnly_ = true;
      request_ = worker().request(readings_, options(), {.ranges = false, .rangesOf = LayerModelOf(stored_)});
    }
  }
  evaluate();
  emit changed();
}

LiveFit& ModelState::worker() {
  if (!liveFit_) {
    liveFit_ = std::make_unique<LiveFit>([this](std::uint64_t request, const FitResult& result) {
      // On the fit's thread: the result goes to the window's thread, where a stale one is dropped.
      QMetaObject::invokeMethod(this, [this, request, result] { fitDone(request, result); }, Qt::QueuedConnection);
    });
  }
  return *liveFit_;
}

void ModelState::startFit() {
  const bool enough = sounding_ && fittable();
  if (!enough || !(asked_ || (stored_.empty() && live_))) return;
  requested_ = readings_;
  requestedRangesOnly_ = false;
  request_ = worker().request(readings_, options(), {.ranges = rangesWanted_, .rangesOf = std::nullopt});
}

void ModelState::fitDone(std::uint64_t request, FitResult result) {
  if (request != request_) return;
  if (requestedRangesOnly_) {
    if (!result.equivalence.layers.empty() && result.equivalence.layers.size() == stored_.Resistivity.size())
      storedRanges_ = std::move(result.equivalence.layers);
  } else {
    fitting_ = false;
    if (result.ok) {
      failure_.clear();
      proposal_ = Proposal{result, StationModelFrom(result.model, ModelOrigin::Fitted), requested_};
    } else {
      failure_ = result.reason;
      proposal_.reset();
    }
  }
  evaluate();
  emit changed();
}

void ModelState::evaluate() {
  missing_.clear();
  misfit_ = std::numeric_limits<double>::quiet_NaN();
  const StationModel& model = shown();
  if (model.empty() || readings_.empty()) return;
  const std::vector<double> computed = ModelApparentResistivityAt(model, readings_);
  double sum = 0.0;
  std::size_t n = 0;
  std::vector<double> residuals(readings_.size(), std::numeric_limits<double>::quiet_NaN());
  for (std::size_t i = 0; i < computed.size(); ++i) {
    if (!(computed[i] > 0.0) || !std::isfinite(computed[i])) continue;
    residuals[i] = ResidualPercent(readings_[i].rho, computed[i]);
    sum += residuals[i] * residuals[i];
    ++n;
  }
  if (n == 0) return;
  misfit_ = std::sqrt(sum / static_cast<double>(n));
  // A proposal for readings since changed judges none of them.
  if (source() == Source::Proposal && !SameReadings(proposal_->readings, readings_)) return;
  const double limit = std::max(kResidualPerRms * misfit_, kResidualFloorPercent);
  for (std::size_t i = 0; i < residuals.size(); ++i)
    if (std::isfinite(residuals[i]) && std::abs(residuals[i]) > limit) missing_.emplace_back(rows_[i], residuals[i]);
}
