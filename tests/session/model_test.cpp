// A station's layered model and Z belong to it: opened from a .ves file they stay through
// updates of its readings, undo, and appending typed stations into the file.
#include <gtest/gtest.h>

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
