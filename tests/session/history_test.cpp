// The undo history: every operation that changes the survey is one step; undo and redo bring
// back exactly the survey, the form and the browse state of every step; the saved state
// follows the steps across a save.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "survey_support.h"

using namespace sessiontest;

// A long run of every kind of step, with questions answered and a save in the middle, undone
// to the start and done again to the end: at every position the survey is exactly what it was
// when the position was first reached. Only the saved state differs before the save: undone
// past it, the survey no longer holds what was saved.
TEST(History, EveryStepUndoneAndRedoneGivesTheSameSurvey) {
  Session t;
  Survey& s = t.survey;
  std::vector<SurveyState> states{SurveyState(s)};
  std::vector<std::string> names;
  auto step = [&](const std::string& name, const std::function<void()>& op) {
    SCOPED_TRACE(name + " #" + std::to_string(names.size() + 1));
    op();
    EXPECT_EQ(s.undoName(), name);
    EXPECT_FALSE(s.canRedo());
    states.emplace_back(s);
    names.push_back(name);
  };
  const std::string kCell = "输入单元格", kX = "修改点位x-坐标", kPaste = "粘贴", kCommit = "插入数据";

  step(kCell, [&] { s.editCell(2, 1, "100"); });
  step(kX, [&] {
    for (const char* typed : {"1", "12", "120"}) s.editField(Field::EX, typed);  // one step
  });
  step(kPaste, [&] { ASSERT_TRUE(s.paste(2, 2, ResistivityBlock(12))); });
  step("插入一行", [&] { s.insertRow(5); });
  step("删除该行", [&] { s.deleteRow(5); });
  step(kCommit, [&] { ASSERT_TRUE(s.commit()); });
  step(kPaste, [&] { ASSERT_TRUE(s.paste(2, 1, ResistivityBlock(13, 20))); });
  step(kX, [&] { s.editField(Field::EX, "50"); });
  step(kCommit, [&] { ASSERT_TRUE(s.commit()); });  // S2 at x 50, before S1
  step("前一个测点", [&] { ASSERT_TRUE(s.previous()); });
  step(kCell, [&] { s.editCell(2, 3, "999"); });
  step(kX, [&] { s.editField(Field::EX, "500"); });
  step("更新当前测点", [&] { ASSERT_TRUE(s.update()); });  // the list is out of x order now
  step("下一个测点", [&] { ASSERT_TRUE(s.next()); });
  step("清除数据", [&] { s.clearValues(); });
  step(kPaste, [&] { ASSERT_TRUE(s.paste(2, 1, ResistivityBlock(13, 40))); });
  step(kX, [&] { s.editField(Field::EX, "300"); });
  step(kCommit, [&] { ASSERT_TRUE(s.commit()); });  // puts the list in x order first
  ASSERT_EQ(s.stations().size(), 3u);
  EXPECT_EQ(s.stations()[0].X, 120.0f);
  EXPECT_EQ(s.stations()[2].X, 500.0f);
  step("前一个测点", [&] { ASSERT_TRUE(s.previous()); });
  t.q.answer(Answer::Yes);
  step("删除当前测点", [&] { ASSERT_TRUE(s.deleteStation()); });

  t.q.saveAs(t.path("a.ves"));
  ASSERT_TRUE(s.save());
  const std::size_t savedAt = states.size() - 1;
  states.back() = SurveyState(s);
  ASSERT_TRUE(states.back().saved);

  step(kCell, [&] { s.editCell(2, 2, "77"); });
  step("默认极距", [&] { s.defaultSpacings(); });
  step(kX, [&] { s.editField(Field::EX, "700"); });
  step(kCommit, [&] { ASSERT_TRUE(s.commit()); });
  t.q.answer(Answer::No);  // do not save first
  step("切换数据类型", [&] { ASSERT_TRUE(s.switchType(dtWaterFinding)); });
  step(kPaste, [&] { ASSERT_TRUE(s.paste(1, 1, WaterFindingBlock())); });
  step(kX, [&] { s.editField(Field::EX, "80"); });
  step(kCommit, [&] { ASSERT_TRUE(s.commit()); });
  t.q.answer(Answer::No);
  step("切换数据类型", [&] { ASSERT_TRUE(s.switchType(dtCombinedProfile)); });
  step("选择当前输入", [&] { s.chooseBranch(1); });
  step("修改测点个数", [&] { SetCount(s, 3); });  // the count and the grid it sizes: one step
  for (int r = 1; r <= 3; ++r) step(kCell, [&] { s.editCell(4, r, std::to_string(10 * r)); });
  step(kCommit, [&] { ASSERT_TRUE(s.commit()); });
  t.q.answer(Answer::No);
  step("新测线", [&] { ASSERT_TRUE(s.newLine()); });
  ASSERT_TRUE(t.q.scriptUsed());
  const std::size_t asked = t.q.messages.size();

  auto expected = [&](std::size_t p) {
    SurveyState e = states[p];
    if (p < savedAt) e.saved = false;
    return e;
  };
  for (std::size_t p = states.size() - 1; p-- > 0;) {
    SCOPED_TRACE("undone to " + std::to_string(p));
    ASSERT_TRUE(s.undo());
    EXPECT_EQ(SurveyState(s), expected(p));
    EXPECT_EQ(s.redoName(), names[p]);
    EXPECT_EQ(s.undoName(), p > 0 ? names[p - 1] : "");
  }
  EXPECT_FALSE(s.canUndo());
  EXPECT_FALSE(s.undo());
  for (std::size_t p = 1; p < states.size(); ++p) {
    SCOPED_TRACE("redone to " + std::to_string(p));
    ASSERT_TRUE(s.redo());
    EXPECT_EQ(SurveyState(s), expected(p));
  }
  EXPECT_FALSE(s.redo());
  EXPECT_EQ(t.q.messages.size(), asked);  // undo and redo ask nothing
}

// Undoing a commit removes the station and puts back exactly what the form showed: the
// readings, the proposals, the status, the browse state.
TEST(History, UndoOfACommitPutsBackTheForm) {
  for (DataType type : {dtSounding, dtWaterFinding, dtFourPoleProfile, dtCombinedProfile}) {
    SCOPED_TRACE(type);
    Session t;
    Survey& s = t.survey;
    s.load(type, {});
    if (type == dtFourPoleProfile || type == dtCombinedProfile) SetCount(s, 4);
    FillValues(s);
    s.editField(Field::EP, "150");
    const SurveyState before(s);
    ASSERT_TRUE(s.commit());
    const SurveyState after(s);
    EXPECT_EQ(s.undoName(), "插入数据");
    ASSERT_TRUE(s.undo());
    EXPECT_EQ(SurveyState(s), before);
    EXPECT_TRUE(s.stations().empty());
    ASSERT_TRUE(s.redo());
    EXPECT_EQ(SurveyState(s), after);
  }
}

// Typing in a field is one step however many keys it takes; typed back to what it was, it is no
// step at all. A count typed and its field left is one step with the grid it sized.
TEST(History, TypingInAFieldIsOneStep) {
  Session t;
  Survey& s = t.survey;
  for (const char* typed : {"1", "12", "123"}) s.editField(Field::EX, typed);
  s.editField(Field::EY, "5");
  s.editField(Field::EX, "1234");  // another field between: a new step
  ASSERT_TRUE(s.undo());
  EXPECT_EQ(s.form().field(Field::EX), "123");
  ASSERT_TRUE(s.undo());
  EXPECT_EQ(s.form().field(Field::EY), "0");
  EXPECT_EQ(s.undoName(), "修改点位x-坐标");
  ASSERT_TRUE(s.undo());
  EXPECT_EQ(s.form().field(Field::EX), "0");
  EXPECT_FALSE(s.canUndo());

  Session u;
  for (const char* typed : {"S", "S1", "S12", "S1", "S"}) u.survey.editField(Field::ES, typed);
  u.survey.editField(Field::ES, "S1");
  EXPECT_FALSE(u.survey.canUndo());

  Session v;
  const GridTexts grid = v.survey.form().grid;
  v.survey.editField(Field::EAB, "2");
  v.survey.editField(Field::EAB, "20");
  ASSERT_FALSE(v.survey.checkCount());
  EXPECT_EQ(v.survey.form().grid.rows(), 21);
  ASSERT_TRUE(v.survey.undo());
  EXPECT_EQ(v.survey.form().field(Field::EAB), "13");
  EXPECT_EQ(v.survey.form().grid, grid);
  EXPECT_FALSE(v.survey.canUndo());
}

// The saved state follows the steps: undoing past a save makes the survey unsaved, redoing
// back to it makes it saved; steps that leave the stations alone keep it saved either way.
TEST(History, SavedStateFollowsTheSteps) {
  Session t;
  Survey& s = t.survey;
  s.load(dtSounding, ThreeSoundings(), 0, true);
  EXPECT_FALSE(s.canUndo());
  FillValues(s);
  s.editField(Field::EX, "300");
  ASSERT_TRUE(s.commit());
  EXPECT_FALSE(s.saved());
  t.q.saveAs(t.path("a.ves"));
  ASSERT_TRUE(s.save());
  EXPECT_TRUE(s.saved());
  EXPECT_EQ(s.undoName(), "插入数据");  // the save is no step

  s.editCell(2, 1, "5");
  EXPECT_TRUE(s.saved());
  ASSERT_TRUE(s.undo());
  EXPECT_TRUE(s.saved());
  ASSERT_TRUE(s.undo());  // the commit: the file holds a station the survey no longer has
  EXPECT_FALSE(s.saved());
  EXPECT_TRUE(s.needsSaveBeforeDiscard());
  ASSERT_TRUE(s.redo());
  EXPECT_TRUE(s.saved());
  EXPECT_FALSE(s.needsSaveBeforeDiscard());

  // An update that changes the station makes it unsaved, and undoing it saved again; undone
  // past a later save, it is unsaved.
  ASSERT_TRUE(s.previous());
  s.editField(Field::ES, "N1");
  ASSERT_TRUE(s.update());
  EXPECT_FALSE(s.saved());
  ASSERT_TRUE(s.undo());
  EXPECT_TRUE(s.saved());
  ASSERT_TRUE(s.redo());
  EXPECT_FALSE(s.saved());
  t.q.saveAs(t.path("b.ves"));
  ASSERT_TRUE(s.save());
  EXPECT_TRUE(s.saved());
  ASSERT_TRUE(s.undo());
  EXPECT_FALSE(s.saved());

  // A new step where the saved position was undone drops it: unsaved from then on.
  s.editCell(2, 2, "6");
  EXPECT_FALSE(s.canRedo());
  EXPECT_FALSE(s.saved());
  ASSERT_TRUE(s.undo());
  EXPECT_FALSE(s.saved());
}

// A save asked for by a new line: undoing the new line brings back stations that are no longer
// those of the file's moment; redoing it is the saved state again.
TEST(History, SaveAskedForByANewLine) {
  Session t;
  Survey& s = t.survey;
  s.load(dtSounding, ThreeSoundings());
  t.q.answer(Answer::Yes);
  t.q.saveAs(t.path("a.ves"));
  ASSERT_TRUE(s.newLine());
  EXPECT_TRUE(s.saved());
  ASSERT_TRUE(s.undo());
  EXPECT_EQ(s.stations(), ThreeSoundings());
  EXPECT_FALSE(s.saved());
  ASSERT_TRUE(s.redo());
  EXPECT_TRUE(s.saved());
  EXPECT_TRUE(s.stations().empty());
}

// Whether the shown station was edited is judged the same after undo and redo: an edit taken
// back moves on without asking, an edit done again asks.
TEST(History, EditsOfAShownStationAfterUndoAndRedo) {
  Session t;
  Survey& s = t.survey;
  s.load(dtSounding, ThreeSoundings());
  ASSERT_TRUE(s.previous());
  ASSERT_TRUE(s.next());
  s.editCell(2, 1, "55");
  ASSERT_TRUE(s.undo());
  ASSERT_TRUE(s.undo());  // back to station 1, as shown
  EXPECT_EQ(s.currentIndex(), 0);
  EXPECT_EQ(s.form().field(Field::ES), "S1");
  ASSERT_TRUE(s.next());
  EXPECT_TRUE(t.q.messages.empty());

  ASSERT_TRUE(s.undo());
  ASSERT_TRUE(s.redo());
  EXPECT_FALSE(s.redo());  // the new "next" dropped the edit undone before it
  s.editCell(2, 1, "56");
  ASSERT_TRUE(s.undo());
  ASSERT_TRUE(s.redo());
  EXPECT_FALSE(s.next());  // edited: asks, and Cancel stays
  EXPECT_EQ(t.q.texts(), std::vector<std::string>{kShownStationEdited});
}

// A paste that grew the grid, undone, gives the grid and the count back; the history keeps at
// most its number of steps, dropping the oldest.
TEST(History, PasteUndoneAndTheHistoryBounded) {
  Session t;
  Survey& s = t.survey;
  ASSERT_TRUE(s.switchType(dtFourPoleProfile));
  SetCount(s, 4);
  const SurveyState before(s);
  std::string block;
  for (int r = 1; r <= 10000; ++r) block += std::to_string(r * 10) + "\t50\t20\t" + std::to_string(r) + "\n";
  ASSERT_TRUE(s.paste(1, 1, block));
  EXPECT_EQ(s.form().field(Field::EAB), "10000");
  const SurveyState pasted(s);
  ASSERT_TRUE(s.undo());
  EXPECT_EQ(SurveyState(s), before);
  ASSERT_TRUE(s.redo());
  EXPECT_EQ(SurveyState(s), pasted);

  for (int i = 0; i < 1100; ++i) s.editCell(4, 1 + i % 5, std::to_string(i));
  int undone = 0;
  while (s.undo()) ++undone;
  EXPECT_EQ(undone, static_cast<int>(history::History::kMaxSteps));
  EXPECT_EQ(s.form().grid.cell(4, 1), "95");  // the last of the edits that fell off the history
}
