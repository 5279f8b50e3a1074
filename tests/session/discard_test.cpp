// Closing, starting a new line and switching the data type discard the list: each offers to save
// unsaved stations first, and none of them discards stations the user asked to keep.
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "io/vesfile.h"
#include "survey_support.h"

using namespace sessiontest;

TEST(Discard, EveryDiscardAsksToSaveFirst) {
  struct Command {
    const char* name;
    std::function<bool(Survey&)> run;
    std::string caption, text;
    Message::Icon icon;
    std::function<void(const Survey&)> wentOn;
  };
  const Command commands[] = {
      {"close", [](Survey& s) { return s.mayClose(); }, "提示", kSaveBeforeClose, Message::Icon::Question,
       [](const Survey&) {}},
      {"new line", [](Survey& s) { return s.newLine(); }, "警告", kUnsavedWarning, Message::Icon::Warning,
       [](const Survey& s) {
         EXPECT_TRUE(s.stations().empty());
         EXPECT_EQ(s.status(), "当前没有数据");
         EXPECT_EQ(s.currentIndex(), 0);
         EXPECT_FALSE(s.browsing());
         EXPECT_FALSE(s.previousEnabled());
         EXPECT_FALSE(s.nextEnabled());
         EXPECT_EQ(s.form().field(Field::EX), "0");
         EXPECT_EQ(s.form().field(Field::EY), "0");
         EXPECT_EQ(s.form().field(Field::ES), "S1");
       }},
      {"close survey", [](Survey& s) { return s.closeSurvey(); }, "警告", kUnsavedWarning, Message::Icon::Warning,
       [](const Survey& s) {
         EXPECT_TRUE(s.stations().empty());
         EXPECT_TRUE(s.file().empty());
         EXPECT_EQ(s.status(), "当前没有数据");
         EXPECT_FALSE(s.browsing());
         EXPECT_EQ(s.form().field(Field::ES), "S1");
         EXPECT_EQ(s.form().field(Field::EP), "0");
         EXPECT_EQ(s.form().grid.cell(2, 1), "");
         EXPECT_EQ(s.form().grid.cell(1, 1), "1.5");
         EXPECT_EQ(s.undoName(), "关闭");
       }},
      {"type switch", [](Survey& s) { return s.switchType(dtWaterFinding); }, "警告", kUnsavedWarning,
       Message::Icon::Warning,
       [](const Survey& s) {
         EXPECT_TRUE(s.stations().empty());
         EXPECT_EQ(s.type(), dtWaterFinding);
         EXPECT_EQ(s.form().grid.cols(), 8);
       }},
  };
  struct Case {
    const char* name;
    bool stations;
    bool savedBefore;
    std::optional<Answer> answer;
    std::string save;  // what the save dialog does: "", "complete", "cancel", "fail"
    bool asked;
    bool goesOn;
  };
  const Case cases[] = {
      {"empty list", false, false, std::nullopt, "", false, true},
      {"saved", true, true, std::nullopt, "", false, true},
      {"unsaved, No", true, false, Answer::No, "", true, true},
      {"unsaved, Yes, saved", true, false, Answer::Yes, "complete", true, true},
      {"unsaved, Yes, save dialog cancelled", true, false, Answer::Yes, "cancel", true, false},
      {"unsaved, Yes, the save fails", true, false, Answer::Yes, "fail", true, false},
      {"unsaved, Cancel", true, false, Answer::Cancel, "", true, false},
  };
  for (const Command& command : commands) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(command.name) + ": " + c.name);
      Session t;
      Survey& s = t.survey;
      if (c.stations) {
        s.load(dtSounding, ThreeSoundings());
        ASSERT_TRUE(s.previous());
        ASSERT_TRUE(s.next());
      }
      if (c.savedBefore) {
        t.q.saveAs(t.path("before.ves"));
        ASSERT_TRUE(s.save());
        t.q.clear();
      }
      EXPECT_EQ(s.needsSaveBeforeDiscard(), c.asked);
      if (c.answer) t.q.answer(*c.answer);
      if (c.save == "complete") t.q.saveAs(t.path("a.ves"));
      if (c.save == "cancel") t.q.cancelSave();
      if (c.save == "fail") t.q.saveAs(t.path("missing/a.ves"));
      const SurveyState before(s);
      const auto disk = Snapshot(t.dir.path());

      EXPECT_EQ(command.run(s), c.goesOn);

      EXPECT_TRUE(t.q.scriptUsed());
      EXPECT_EQ(t.q.saveDialogs.size(), c.save.empty() ? 0u : 1u);
      if (c.asked) {
        ASSERT_GE(t.q.messages.size(), 1u);
        const Message& m = t.q.messages[0];
        EXPECT_EQ(m.caption, command.caption);
        EXPECT_EQ(m.text, command.text);
        EXPECT_EQ(m.icon, command.icon);
        EXPECT_EQ(m.buttons, Message::Buttons::YesNoCancel);
        EXPECT_TRUE(m.owned);
      }
      std::vector<std::string> texts;
      if (c.asked) texts.push_back(command.text);
      if (c.save == "fail") texts.push_back(kSaveFailed);
      EXPECT_EQ(t.q.texts(), texts);
      if (c.save == "complete") {
        // Saved in the format of the type the stations were typed in.
        EXPECT_EQ(ReadBytes(t.path("a.ves")), BuildVesFile(ThreeSoundings()));
        EXPECT_TRUE(s.saved());
      } else {
        EXPECT_EQ(Snapshot(t.dir.path()), disk);
      }
      if (c.goesOn) {
        command.wentOn(s);
        continue;
      }
      EXPECT_EQ(SurveyState(s), before);
      // Nothing was lost: asked again, the stations can still be saved, and then it goes on.
      t.q.clear();
      t.q.answer(Answer::Yes);
      t.q.saveAs(t.path("b.ves"));
      EXPECT_TRUE(command.run(s));
      EXPECT_EQ(ReadBytes(t.path("b.ves")), BuildVesFile(ThreeSoundings()));
      command.wentOn(s);
    }
  }
}

// Whether closing would ask: only while committed stations are not in a file. A complete save
// makes the list saved, an update that changes a station and a delete make it unsaved.
TEST(Discard, SavedStateFollowsTheList) {
  Session t;
  Survey& s = t.survey;
  auto expectSaved = [&s](bool saved, const char* after) {
    EXPECT_EQ(s.saved(), saved) << after;
    EXPECT_EQ(s.needsSaveBeforeDiscard(), !saved && !s.stations().empty()) << after;
  };
  expectSaved(true, "start");
  FillValues(s);
  ASSERT_TRUE(s.commit());
  expectSaved(false, "commit");
  t.q.cancelSave();
  EXPECT_FALSE(s.save());
  expectSaved(false, "cancelled save");
  t.q.saveAs(t.path("missing/a.ves"));
  EXPECT_FALSE(s.save());
  expectSaved(false, "failed save");
  t.q.saveAs(t.path("a.ves"));
  EXPECT_TRUE(s.save());
  expectSaved(true, "save");
  ASSERT_TRUE(s.previous());
  s.editCell(2, 1, "77");
  ASSERT_TRUE(s.update());
  expectSaved(false, "update");
  FillValues(s);
  s.editField(Field::EX, "50");
  ASSERT_TRUE(s.commit());
  expectSaved(false, "second commit");
  t.q.saveAs(t.path("a.ves"));
  t.q.appendChoice(AppendChoice::Replace);
  EXPECT_TRUE(s.save());
  expectSaved(true, "replace");
  ASSERT_TRUE(s.previous());
  t.q.answer(Answer::Yes);
  ASSERT_TRUE(s.deleteStation());
  expectSaved(false, "delete");
  EXPECT_TRUE(t.q.scriptUsed());
}

// A new line keeps the grid's spacings, the count and the texts the next line shares with this
// one; the old station's readings go.
TEST(Discard, NewLineKeepsTheGridAndSharedTexts) {
  Session t;
  Survey& s = t.survey;
  s.load(dtSounding, ThreeSoundings());
  FillValues(s);
  s.editField(Field::EP, "L7");
  s.editField(Field::EW, "North");
  GridTexts grid = s.form().grid;
  for (int r = 1; r < grid.rows(); ++r) grid.setCell(2, r, "");
  t.q.answer(Answer::No);
  ASSERT_TRUE(s.newLine());
  EXPECT_EQ(s.form().grid, grid);
  EXPECT_EQ(s.form().field(Field::EAB), "13");
  EXPECT_EQ(s.form().field(Field::EP), "L7");
  EXPECT_EQ(s.form().field(Field::EW), "North");
  EXPECT_TRUE(s.stations().empty());
}

// Right after a save, a new line asks nothing; a combined line starts again with branch A and
// keeps the grid's points and spacings, without the resistivities.
TEST(Discard, NewLineAfterASaveAsksNothing) {
  Session t;
  Survey& s = t.survey;
  ASSERT_TRUE(s.switchType(dtCombinedProfile));
  s.load(dtCombinedProfile, {Profile("A", 0), Profile("B", 50)});
  s.editField(Field::EP, "12");
  t.q.saveAs(t.path("12.dat"));
  ASSERT_TRUE(s.save());
  s.chooseBranch(1);
  FillValues(s);
  GridTexts grid = s.form().grid;
  for (int r = 1; r < grid.rows(); ++r) grid.setCell(4, r, "");
  t.q.clear();
  ASSERT_TRUE(s.newLine());
  EXPECT_TRUE(t.q.messages.empty());
  EXPECT_TRUE(s.stations().empty());
  EXPECT_EQ(s.form().branch, 0);
  EXPECT_EQ(s.form().grid, grid);
}
