#pragma once
// The layered model that goes with the sounding in the grid, for the plot pane and the model
// panel alike: the station's own model (accepted or edited, see Survey::model), a fit of the
// typed readings proposed on a thread of its own, or a model being dragged into shape. It keeps
// the options of the next fit (layer count, locked parameters), runs the fits (the newest
// request wins, a stale result is dropped) and tells what the shown model misses.
//
// Which model is shown: a model being dragged; else a fit asked for with Fit (until accepted,
// cleared, or another station is shown); else the station's own; else, with the live fit on and
// enough readings, the live fit's proposal. A proposal is never kept by the station until it is
// accepted.

#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "interp/fit.h"
#include "interp/modeledit.h"
#include "session/survey.h"

class LiveFit;

class ModelState : public QObject, private SurveyObserver {
  Q_OBJECT
 public:
  enum class Source {
    None,      // no model
    Station,   // the station's own model (Survey::model)
    Proposal,  // a fit not accepted
    Preview,   // a model being dragged
  };

  // The typed readings settle this long before the live fit is asked for.
  static constexpr int kFitDelayMs = 300;
  // A reading misses the shown model when its residual passes this many times the RMS misfit,
  // and this many percent.
  static constexpr double kResidualPerRms = 2.0;
  static constexpr double kResidualFloorPercent = 5.0;

  explicit ModelState(Survey& survey, QObject* parent = nullptr);
  ~ModelState() override;

  // ---- What is shown ----
  // Whether the grid holds a sounding (the types with a model).
  bool sounding() const { return sounding_; }
  // The readings of the grid that can be fitted (AB/2 and apparent resistivity > 0), with their
  // rows (0-based), in row order.
  const std::vector<Reading>& readings() const { return readings_; }
  const std::vector<int>& readingRows() const { return rows_; }
  // Whether there are enough readings to fit: four at three AB/2 or more.
  bool fittable() const;
  Source source() const;
  const StationModel& shown() const;
  // The RMS of the readings' residuals against the shown model in %, NaN when none.
  double misfit() const { return misfit_; }
  // The equivalence ranges of the shown model, by layer; empty while not known.
  const std::vector<LayerRanges>& ranges() const;
  // Rows (0-based) whose reading misses the shown model, with its residual in %.
  const std::vector<std::pair<int, double>>& missing() const { return missing_; }
  // A fit asked for has not come back yet.
  bool fitting() const { return fitting_; }
  // Why the last fit gave no model (a core text, translated by the window); empty otherwise.
  const std::string& failure() const { return failure_; }

  // ---- The options of the next fit ----
  int layers() const { return layers_; }  // 0: the fewest that fit
  void setLayers(int layers);
  bool liveFit() const { return live_; }
  void setLiveFit(bool on);
  const std::vector<LayerLocks>& locks() const { return locks_; }
  void setLocks(std::vector<LayerLocks> locks);
  // The equivalence ranges are found only while someone shows them.
  void setRangesWanted(bool wanted);

  // ---- Commands ----
  // Fits the readings now with the options (FitModel); the fit is shown until accepted.
  void fit();
  // Stores the proposal with the station (AcceptModel): one step. False without a proposal.
  bool accept();
  // Takes the model away from the station and drops a proposal (ClearModel).
  bool clear();
  // Keeps a model changed by hand (one step); false when the survey refused it.
  bool edit(StationModel model);
  // Shows model instead while it is dragged; endPreview goes back.
  void preview(StationModel model);
  void endPreview();

 signals:
  void changed();

 private:
  void surveyChanged(unsigned changes) override;
  void update();
  void reset();
  void startFit();
  LiveFit& worker();  // the fit's thread, started when first needed
  void fitDone(std::uint64_t request, FitResult result);
  void evaluate();
  FitOptions options() const;

  Survey& survey_;
  bool sounding_ = false;
  std::vector<Reading> readings_;
  std::vector<int> rows_;
  // The station the model is of: another shown station (or the type) starts afresh.
  struct Context {
    DataType type = dtSounding;
    bool browsing = false;
    int index = 0;
    bool operator==(const Context&) const = default;
  } context_;
  StationModel stored_;  // the station's model when last seen

  struct Proposal {
    FitResult result;
    StationModel model;
    std::vector<Reading> readings;  // fitted
  };
  std::optional<Proposal> proposal_;
  bool asked_ = false;  // Fit was pressed: the proposal is shown over the station's model
  std::optional<StationModel> preview_;
  std::vector<LayerRanges> storedRanges_;  // of stored_, for readings_ as they were asked
  std::vector<Reading> storedRangesReadings_;
  bool storedRangesAsked_ = false;

  int layers_ = 0;
  bool live_ = true;
  bool rangesWanted_ = false;
  std::vector<LayerLocks> locks_;

  double misfit_ = 0.0;
  std::vector<std::pair<int, double>> missing_;
  bool fitting_ = false;
  std::string failure_;

  std::vector<Reading> requested_;  // the readings of the request sent last
  bool requestedRangesOnly_ = false;
  std::uint64_t request_ = 0;       // the newest request; results of older ones are dropped
  QTimer timer_;                    // typing settles before a fit is asked for
  std::unique_ptr<LiveFit> liveFit_;  // made when first needed
};
