// A station's layered model and Z belong to it: opened from a .ves file they stay through
// updates of its readings, undo, and appending typed stations into the file. A model accepted,
// edited, cleared or fitted for every station is one step of the history.
#include <gtest/gtest.h>

#include "interp/stationmodel.h"
#include "io/textconv.h"
#include "io/vesfile.h"
#include "survey_support.h"

using namespace sessiontest;

namespace {

const std::string kModelsFixture = "ves_models_example.ves";

// The stations of a .ves file as the window holds them.
StationList StationsOfFile(const std::string& bytes) {
  const VesReadResult read = ReadVesFile(bytes, {});
  EXPECT_EQ(read.status, ReadStatus::Complete);
  StationList stations;
  MergeVesStations(stations, read.stations);
  return stations;
}

const sdata* Named(const StationList& stations, const std::string& name) {
  for (const sdata& s : stations)
    if (s.Name == name) return &s;
  return nullptr;
}

}  // namespace

// Typed stations appended into a file: the file's stations keep their models and Z, a typed
// station of the same name takes the file station's model unless it has one of its own.
TEST(StationModel, AppendingKeepsTheModelsOfTheFile) {
  Session t;
  Survey& s = t.survey;
  const std::string path = t.path("survey.ves");
  const std::string fixture = Fixture(kModelsFixture);
  ASSERT_TRUE(WriteBytes(path, fixture));
  const StationList before = StationsOfFile(fixture);

  sdata ownModel = Sounding("D3", 50, 200, 190, 180);
  ownModel.Model = {{5}, {222}, ModelOrigin::Edited};
  s.load(dtSounding, {Sounding("D1", -50, 110, 100, 90), ownModel, Sounding("D9", 90)});
  t.q.saveAs(path);
  t.q.appendChoice(AppendChoice::Append);
  ASSERT_TRUE(s.save());

  const std::optional<std::string> written = ReadBytes(path);
  ASSERT_TRUE(written.has_value());
  const StationList after = StationsOfFile(*written);
  ASSERT_EQ(after.size(), 4u);
  const sdata* d1 = Named(after, "D1");
  ASSERT_NE(d1, nullptr);
  EXPECT_EQ(d1->Model, Named(before, "D1")->Model);
  EXPECT_EQ(d1->Z, 152.5f);
  EXPECT_EQ(d1->SpacingCount, 6);  // 1.5, 2.5, 4 typed and 1.5, 3, 6, 12 of the file; 1.5 folded
  EXPECT_EQ(*Named(after, "D2"), *Named(before, "D2"));
  const sdata* d3 = Named(after, "D3");
  ASSERT_NE(d3, nullptr);
  EXPECT_EQ(d3->Model.Resistivity, std::vector<float>{222});
  EXPECT_EQ(d3->Z, 150.25f);
  EXPECT_TRUE(Named(after, "D9")->Model.empty());
  // The file's text of a station it alone holds is as it was.
  const std::string d2Block = fixture.substr(fixture.find("D2\r\n"), fixture.find("D3\r\n") - fixture.find("D2\r\n"));
  EXPECT_NE(written->find(d2Block), std::string::npos);
}

// An update writes the form into the station: the model and Z, which the form does not hold,
// stay; deleting and undoing brings the station back whole.
TEST(StationModel, UpdateAndUndoKeepTheModel) {
  Session t;
  Survey& s = t.survey;
  const std::string path = t.path("survey.ves");
  ASSERT_TRUE(WriteBytes(path, Fixture(kModelsFixture)));
  ASSERT_TRUE(s.open({path}));
  const StationList opened = s.stations();
  ASSERT_FALSE(opened[0].Model.empty());

  s.editCell(2, 1, "125");
  ASSERT_TRUE(s.update());
  EXPECT_EQ(s.stations()[0].Columns[colRho][0], 125.0f);
  EXPECT_EQ(s.stations()[0].Model, opened[0].Model);
  EXPECT_EQ(s.stations()[0].Z, opened[0].Z);

  t.q.answer(Answer::Yes);
  ASSERT_TRUE(s.deleteStation());
  ASSERT_TRUE(s.undo());
  ASSERT_TRUE(s.undo());
  EXPECT_EQ(s.stations(), opened);
  ASSERT_TRUE(s.redo());
  EXPECT_EQ(s.stations()[0].Model, opened[0].Model);

  // Saved into the file it came from after undoing everything: the same bytes.
  ASSERT_TRUE(s.undo());
  t.q.saveAs(path);
  t.q.appendChoice(AppendChoice::Replace);
  ASSERT_TRUE(s.save());
  EXPECT_EQ(ReadBytes(path), Fixture(kModelsFixture));
}

namespace {

// A three-layer H model (100, 10, 300 ohm-m; 5 m and 10 m thick).
StationModel HModel(ModelOrigin origin = ModelOrigin::Fitted) { return {{5, 10, 100}, {100, 10, 300}, origin}; }

// A sounding at x whose 13 readings are the apparent resistivities of model.
sdata ModelSounding(const std::string& name, float x, const StationModel& model) {
  std::vector<std::vector<float>> rows;
  for (const std::string& ab2 : kDefaultSpacings) rows.push_back({std::stof(ab2), 1.0f});
  sdata s = BuildStation(dtSounding, name, x, rows);
  s.Model = model;
  const std::vector<double> rho = ModelApparentResistivity(s);
  for (std::size_t i = 0; i < rho.size(); ++i) s.Columns[colRho][i] = static_cast<float>(rho[i]);
  s.Model = StationModel();
  return s;
}

// Types the readings of a station into the form (its AB/2 and resistivities).
void TypeReadings(Survey& s, const sdata& station) {
  std::vector<std::string> rows;
  for (int i = 0; i < station.SpacingCount; ++i) {
    const auto k = static_cast<std::size_t>(i);
    rows.push_back(FormatFloatShortest(station.Columns[colAB2][k]) + "|" + FormatFloatShortest(station.Columns[colRho][k]));
  }
  FillRows(s, rows);
}

}  // namespace

// A model accepted while a station is typed goes with it when committed; the commit's undo
// gives it back to the form, and the next station starts without one. Accepting is one step
// that leaves a survey without stations saved.
TEST(StationModel, AcceptedWhileTypingGoesWithTheStation) {
  Session t;
  Survey& s = t.survey;
  TypeReadings(s, ModelSounding("S1", 0, HModel()));
  ASSERT_TRUE(s.model().empty());
  ASSERT_TRUE(s.setModel(HModel()));
  EXPECT_EQ(s.model(), HModel());
  EXPECT_EQ(s.undoName(), "接受模型");
  EXPECT_TRUE(s.saved());
  ASSERT_TRUE(s.undo());
  EXPECT_TRUE(s.model().empty());
  ASSERT_TRUE(s.redo());

  ASSERT_TRUE(s.commit());
  ASSERT_EQ(s.stations().size(), 1u);
  EXPECT_EQ(s.stations()[0].Model, HModel());
  EXPECT_TRUE(s.model().empty());  // the next station's
  ASSERT_TRUE(s.undo());
  EXPECT_TRUE(s.stations().empty());
  EXPECT_EQ(s.model(), HModel());

  // Emptying the readings takes the model along.
  s.clearValues();
  EXPECT_TRUE(s.model().empty());
}

// A shown station's model: accepting, editing and clearing each change the station as one step
// that makes the survey unsaved; undone, the survey is saved again. The model is saved in the
// .ves file and comes back when it is opened.
TEST(StationModel, ShownStationsModelIsStoredAndSaved) {
  Session t;
  Survey& s = t.survey;
  const std::string path = t.path("line.ves");
  const sdata station = ModelSounding("S1", 0, HModel());
  ASSERT_TRUE(WriteBytes(path, BuildVesFile({station})));
  ASSERT_TRUE(s.open({path}));
  ASSERT_TRUE(s.browsing());
  ASSERT_TRUE(s.saved());
  EXPECT_FALSE(s.clearModel());  // none yet
  EXPECT_FALSE(s.canUndo());

  ASSERT_TRUE(s.setModel(HModel()));
  EXPECT_EQ(s.stations()[0].Model, HModel());
  EXPECT_FALSE(s.saved());
  StationModel edited = HModel(ModelOrigin::Edited);
  edited.Thickness[0] = 6;
  ASSERT_TRUE(s.setModel(edited));
  EXPECT_EQ(s.undoName(), "修改模型");
  EXPECT_EQ(s.model(), edited);
  ASSERT_TRUE(s.undo());
  ASSERT_TRUE(s.undo());
  EXPECT_TRUE(s.model().empty());
  EXPECT_TRUE(s.saved());
  ASSERT_TRUE(s.redo());
  ASSERT_TRUE(s.redo());

  t.q.saveAs(path);
  t.q.appendChoice(AppendChoice::Replace);
  ASSERT_TRUE(s.save());
  Session again;
  ASSERT_TRUE(again.survey.open({path}));
  EXPECT_EQ(again.survey.model().Resistivity, edited.Resistivity);
  EXPECT_EQ(again.survey.model().Thickness[0], 6.0f);

  ASSERT_TRUE(s.clearModel());
  EXPECT_TRUE(s.stations()[0].Model.empty());
  EXPECT_FALSE(s.saved());
}

// What a model cannot be: one for a profile line, or one the forward model cannot evaluate.
TEST(StationModel, ModelsThatCannotBeKeptAreRefused) {
  Session t;
  Survey& s = t.survey;
  const SurveyState before(s);
  EXPECT_FALSE(s.setModel(StationModel{{5, 100}, {100, -1}, ModelOrigin::Edited}));
  EXPECT_FALSE(s.setModel(StationModel{}));
  EXPECT_TRUE(SurveyState(s) == before);
  ASSERT_TRUE(s.switchType(dtFourPoleProfile));
  EXPECT_FALSE(s.setModel(HModel()));
  EXPECT_TRUE(s.model().empty());
  EXPECT_EQ(s.fitAllStations(true, FitOptions{}), 0u);
}

// Fitting every station: each station without a model gets one (every station when asked),
// as one step; one that cannot be fitted keeps what it had and is named in one message; a
// cancel changes nothing.
TEST(StationModel, FitAllStationsIsOneStep) {
  Session t;
  Survey& s = t.survey;
  sdata withModel = ModelSounding("S2", 50, HModel());
  withModel.Model = StationModel{{8, 100}, {50, 70}, ModelOrigin::File};
  s.load(dtSounding, {ModelSounding("S1", 0, HModel()), withModel,
                          BuildStation(dtSounding, "S3", 100, {{1.5f, 10}, {2.5f, 20}})},
         0, true);
  const StationList before = s.stations();

  t.q.cancelWorkAfter(1);
  EXPECT_EQ(s.fitAllStations(false, FitOptions{}), 0u);
  EXPECT_EQ(s.stations(), before);
  EXPECT_TRUE(s.saved());
  EXPECT_FALSE(s.canUndo());

  EXPECT_EQ(s.fitAllStations(false, FitOptions{}), 1u);
  ASSERT_EQ(t.q.workLabels.size(), 2u);
  const StationModel& fitted = s.stations()[0].Model;
  ASSERT_EQ(fitted.Resistivity.size(), 3u);
  EXPECT_EQ(fitted.Origin, ModelOrigin::Fitted);
  EXPECT_NEAR(fitted.Resistivity[0], 100.0, 2.0);
  EXPECT_NEAR(fitted.Thickness[0], 5.0, 0.3);
  EXPECT_EQ(s.stations()[1].Model, withModel.Model);  // had one
  EXPECT_TRUE(s.stations()[2].Model.empty());        // two readings cannot be fitted
  ASSERT_EQ(t.q.messages.size(), 1u);
  EXPECT_NE(t.q.messages[0].text.find("以下测点没有拟合："), std::string::npos);
  EXPECT_NE(t.q.messages[0].text.find("“S3”"), std::string::npos);
  EXPECT_FALSE(s.saved());
  EXPECT_EQ(s.undoName(), "拟合全部测点");

  // Every station: S2's model is fitted again too; one undo takes both back.
  t.q.clear();
  EXPECT_EQ(s.fitAllStations(true, FitOptions{}), 2u);
  EXPECT_NE(s.stations()[1].Model, withModel.Model);
  ASSERT_TRUE(s.undo());
  EXPECT_EQ(s.stations()[1].Model, withModel.Model);
  ASSERT_TRUE(s.undo());
  EXPECT_EQ(s.stations(), before);
  EXPECT_TRUE(s.saved());
}
