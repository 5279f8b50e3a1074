// Every command that changes a station or the list leaves the survey unsaved, so that closing
// asks before the change is lost; undoing back to the saved state makes it saved again.
#include <gtest/gtest.h>

#include <functional>

#include "io/profiledat.h"
#include "io/soundingdat.h"
#include "io/vesfile.h"
#include "survey_support.h"

using namespace sessiontest;

namespace {

struct Kind {
  const char* name;
  const char* file;
  std::string bytes;
  DataType type;
};

std::vector<Kind> Kinds() {
  return {
      {"ves", "survey.ves", BuildVesFile(ThreeSoundings()), dtSounding},
      {"sounding dat", "water.dat",
       BuildSoundingDatFile({BuildStation(dtWaterFinding, "100", 100, {{1.5f, 35.2f, 3.75f, 2.1f, 45, 0.5f, 1.25f}}),
                             BuildStation(dtWaterFinding, "150", 150, {{1.5f, 30, 3, 2, 40, 0.4f, 1}})}),
       dtWaterFinding},
      {"four-pole line", "150.dat", Fixture("fourpole_profile_example.dat"), dtFourPoleProfile},
      {"combined line", "12.dat", Fixture("combined_profile_example.dat"), dtCombinedProfile},
  };
}

// The resistivity column of the type's grid.
int RhoColumn(DataType type) { return IsSoundingType(type) ? 2 : 4; }

struct Command {
  const char* name;
  std::function<bool(Session&)> run;
  bool changes = true;  // whether it changes the list or a station
};

std::vector<Command> Commands() {
  return {
      {"update without a change", [](Session& t) { return t.survey.update(); }, false},
      {"update with a changed reading",
       [](Session& t) {
         t.survey.editCell(RhoColumn(t.survey.type()), 1, "777");
         return t.survey.update();
       }},
      {"update with a changed name",
       [](Session& t) {
         t.survey.editField(Field::ES, t.survey.form().field(Field::ES) + "9");
         return t.survey.update();
       }},
      {"delete",
       [](Session& t) {
         t.q.answer(Answer::Yes);
         return t.survey.deleteStation();
       }},
      {"import",
       [](Session& t) {
         sdata added = t.survey.stations().front();
         added.X += 1000.0f;
         added.Name = "N1";
         return t.survey.importStations(t.survey.type(), {added});
       }},
  };
}

}  // namespace

TEST(Unsaved, EveryChangeOfAnOpenedFileMakesClosingAsk) {
  for (const Kind& k : Kinds()) {
    for (const Command& c : Commands()) {
      SCOPED_TRACE(std::string(k.name) + ": " + c.name);
      Session t;
      Survey& s = t.survey;
      const std::string path = t.path(k.file);
      ASSERT_TRUE(WriteBytes(path, k.bytes));
      ASSERT_TRUE(s.open({path}));
      ASSERT_TRUE(s.saved());
      t.q.clear();

      ASSERT_TRUE(c.run(t)) << (t.q.messages.empty() ? "" : t.q.texts().back());

      EXPECT_EQ(s.saved(), !c.changes);
      t.q.clear();
      if (!c.changes || s.stations().empty()) {
        // Nothing changed, or the only unit deleted: nothing to save (the file still holds it).
        EXPECT_TRUE(s.mayClose());
        EXPECT_TRUE(t.q.messages.empty());
        continue;
      }
      EXPECT_FALSE(s.mayClose());  // the question is closed with Cancel
      ASSERT_FALSE(t.q.messages.empty());
      EXPECT_EQ(t.q.messages.back().text, kSaveBeforeClose);

      // Undo gives back the file's state, which needs no save.
      ASSERT_TRUE(s.undo());
      EXPECT_TRUE(s.saved());
      ASSERT_TRUE(s.redo());
      EXPECT_FALSE(s.saved());
    }
  }
}
