// Stepping through the committed stations, how a station is shown, updating and deleting the
// station shown, and the question asked before edits to it would be left behind.
#include <gtest/gtest.h>

#include <functional>

#include "io/vesfile.h"
#include "survey_support.h"

using namespace sessiontest;

namespace {

// After load (the next unit's proposal in the form, index 0): previous shows station 0, then
// next steps to the station asked for.
void Show(Survey& s, int index) {
  ASSERT_TRUE(s.previous());
  for (int i = 0; i < index; ++i) ASSERT_TRUE(s.next());
  ASSERT_EQ(s.currentIndex(), index);
  ASSERT_TRUE(s.browsing());
}

// The fields and grid show the station at the current index.
void ExpectShown(const Survey& s) {
  ASSERT_TRUE(s.browsing());
  ASSERT_GE(s.currentIndex(), 0);
  ASSERT_LT(static_cast<std::size_t>(s.currentIndex()), s.stations().size());
  const sdata& st = s.stations()[static_cast<std::size_t>(s.currentIndex())];
  EXPECT_EQ(s.form().field(Field::ES), ShownText(st.Name));
  EXPECT_EQ(s.form().field(Field::EX), FormatFloat15(st.X));
  EXPECT_EQ(s.form().field(Field::EAB), std::to_string(st.SpacingCount));
  EXPECT_EQ(s.form().grid.rows(), st.SpacingCount + 1);
}


}  // namespace

TEST(Browse, StepsThroughTheListAndStopsAtBothEnds) {
  Session t;
  Survey& s = t.survey;
  s.load(dtSounding, ThreeSoundings());
  EXPECT_FALSE(s.updateEnabled());
  const char* names[] = {"S1", "S2", "S3"};
  ASSERT_TRUE(s.previous());
  for (int i = 0; i < 3; ++i) {
    if (i > 0) {
      ASSERT_TRUE(s.next());
    }
    EXPECT_EQ(s.currentIndex(), i);
    EXPECT_EQ(s.form().field(Field::ES), names[i]);
    EXPECT_EQ(s.form().grid.cell(2, 1), std::to_string(11 + i));
    EXPECT_TRUE(s.updateEnabled());
    EXPECT_TRUE(s.deleteEnabled());
  }
  const SurveyState atLast(s);
  EXPECT_FALSE(s.nextEnabled());
  EXPECT_FALSE(s.next());
  EXPECT_EQ(SurveyState(s), atLast);

  for (int i = 1; i >= 0; --i) {
    ASSERT_TRUE(s.previous());
    EXPECT_EQ(s.currentIndex(), i);
    EXPECT_EQ(s.form().field(Field::ES), names[i]);
  }
  const SurveyState atFirst(s);
  EXPECT_FALSE(s.previousEnabled());
  EXPECT_FALSE(s.previous());
  EXPECT_EQ(SurveyState(s), atFirst);
  EXPECT_TRUE(t.q.messages.empty());
  EXPECT_FALSE(s.saved());
}

// At either end of the list the command that moves nowhere leaves the edits where they are and,
// leaving nothing behind, has nothing to ask.
TEST(Browse, AtTheEndsEditsStayAndNothingIsAsked) {
  for (bool atFirst : {true, false}) {
    SCOPED_TRACE(atFirst ? "previous at the first station" : "next at the last station");
    Session t;
    Survey& s = t.survey;
    s.load(dtSounding, ThreeSoundings());
    Show(s, atFirst ? 0 : 2);
    s.editField(Field::EW, "typed");
    s.editCell(2, 1, "77");
    const SurveyState before(s);
    t.q.answer(Answer::No);  // were it asked, No would let the edits go unnoticed later
    EXPECT_FALSE(atFirst ? s.previous() : s.next());
    EXPECT_TRUE(t.q.messages.empty());
    EXPECT_EQ(SurveyState(s), before);
    // The edits are still noticed when the user does move away.
    t.q.clear();
    t.q.answer(Answer::Cancel);
    EXPECT_FALSE(atFirst ? s.next() : s.previous());
    EXPECT_EQ(t.q.texts(), std::vector<std::string>{kShownStationEdited});
  }
}

// With one committed station, Previous shows it.
TEST(Browse, PreviousShowsTheOnlyCommittedStation) {
  Session t;
  Survey& s = t.survey;
  FillValues(s);
  ASSERT_TRUE(s.commit());
  EXPECT_TRUE(s.previousEnabled());
  EXPECT_FALSE(s.nextEnabled());
  ASSERT_TRUE(s.previous());
  ExpectShown(s);
  EXPECT_EQ(s.form().field(Field::ES), "S1");
  EXPECT_EQ(s.form().grid.cell(2, 1), "201");
  EXPECT_FALSE(s.previousEnabled());
  EXPECT_FALSE(s.nextEnabled());
}

// Previous and Next are enabled exactly when a click on them shows a station: at every step of
// each sequence, the command is tried in a replay of the steps so far.
TEST(Browse, PreviousAndNextAreEnabledExactlyWhenTheyShowAStation) {
  struct Step {
    const char* name;
    std::function<void(Session&)> run;
  };
  auto commitAt = [](const char* x) {
    return Step{"commit", [x](Session& t) {
                  t.survey.editField(Field::EX, x);
                  FillValues(t.survey);
                  ASSERT_TRUE(t.survey.commit());
                }};
  };
  const Step previous{"previous", [](Session& t) { t.survey.previous(); }};
  const Step next{"next", [](Session& t) { t.survey.next(); }};
  const Step load3{"load 3", [](Session& t) { t.survey.load(dtSounding, ThreeSoundings()); }};
  const Step load3AtLast{"load 3 at index 2, saved",
                         [](Session& t) { t.survey.load(dtSounding, ThreeSoundings(), 2, true); }};
  const Step loadEmptyAt3{"load none at index 3", [](Session& t) { t.survey.load(dtSounding, {}, 3, true); }};
  const Step remove{"delete", [](Session& t) {
                      t.q.answer(Answer::Yes);
                      ASSERT_TRUE(t.survey.deleteStation());
                    }};
  const Step newLine{"new line", [](Session& t) {
                       t.q.answer(Answer::No);
                       ASSERT_TRUE(t.survey.newLine());
                     }};
  const Step toWater{"switch to water finding", [](Session& t) {
                       t.q.answer(Answer::No);
                       ASSERT_TRUE(t.survey.switchType(dtWaterFinding));
                     }};
  const Step update{"update", [](Session& t) { ASSERT_TRUE(t.survey.update()); }};
  const std::vector<std::vector<Step>> sequences = {
      {commitAt("0"), previous, previous, next, commitAt("50"), previous, next, next},
      {commitAt("0"), commitAt("100"), commitAt("50"), previous, previous, previous, next, next, next, next},
      {load3, next, next, previous, previous, previous, next, update, next, next},
      {load3, previous, remove, remove, remove, previous, next},
      {load3, next, next, next, remove, previous, next, remove},
      {load3, next, toWater, previous, next, commitAt("0"), previous, newLine, previous, next},
      {load3AtLast, previous, next, next, previous, previous, previous, loadEmptyAt3, previous, next},
  };
  for (std::size_t q = 0; q < sequences.size(); ++q) {
    const std::vector<Step>& steps = sequences[q];
    for (std::size_t k = 0; k <= steps.size(); ++k) {
      std::string trace = "sequence " + std::to_string(q) + ":";
      for (std::size_t i = 0; i < k; ++i) trace += std::string(" ") + steps[i].name;
      SCOPED_TRACE(trace);
      auto replay = [&](Session& t) {
        for (std::size_t i = 0; i < k; ++i) steps[i].run(t);
        t.q.clear();
      };
      for (bool forward : {false, true}) {
        SCOPED_TRACE(forward ? "next" : "previous");
        Session t;
        replay(t);
        Survey& s = t.survey;
        const bool enabled = forward ? s.nextEnabled() : s.previousEnabled();
        const SurveyState before(s);
        const bool shown = forward ? s.next() : s.previous();
        EXPECT_EQ(shown, enabled);
        EXPECT_TRUE(t.q.messages.empty());
        if (shown) {
          ExpectShown(s);
        } else {
          EXPECT_EQ(SurveyState(s), before);
        }
      }
    }
  }
}

// A station comes back with its texts, its coordinates and its rows, numbers as typed.
TEST(Browse, ShowsTheStation) {
  Session t;
  Survey& s = t.survey;
  sdata first = BuildStation(dtSounding, Gbk("测点一"), 0.1f, {{1.5f, 0.1f}, {2.5f, 2.3f}, {4.0f, 1000000}}, 2.3f);
  first.WorkArea = Gbk("北山测区");
  first.Profile = Gbk("剖面3");
  first.Operator = Gbk("张三");
  first.Instrument = Gbk("DZD-6A");
  s.load(dtSounding, {first, Sounding("S2", 1000)});
  Show(s, 0);
  const FormState& f = s.form();
  EXPECT_EQ(f.field(Field::ES), "测点一");
  EXPECT_EQ(f.field(Field::EX), "0.1");
  EXPECT_EQ(f.field(Field::EY), "2.3");
  EXPECT_EQ(f.field(Field::EW), "北山测区");
  EXPECT_EQ(f.field(Field::EP), "剖面3");
  EXPECT_EQ(f.field(Field::EO), "张三");
  EXPECT_EQ(f.field(Field::EI), "DZD-6A");
  EXPECT_EQ(f.field(Field::EAB), "3");
  EXPECT_EQ(f.grid.rows(), 4);  // was 14: the grid takes the station's rows
  EXPECT_EQ(f.grid.cols(), 3);
  EXPECT_EQ(RowNumbers(f.grid), Numbers(3));
  EXPECT_EQ(Rows(f.grid), (std::vector<std::string>{"1.5|0.1", "2.5|2.3", "4|1000000"}));
  EXPECT_EQ(f.grid.cell(2, 0), "视电阻率");
}

// Water-finding stations typed, committed and shown again: each value is back in the column it
// was typed in, and an update without changes keeps every value.
TEST(Browse, WaterFindingValuesComeBackWhereTheyWereTyped) {
  Session t;
  Survey& s = t.survey;
  ASSERT_TRUE(s.switchType(dtWaterFinding));
  const std::vector<std::string> first = {"1.5|100|1.25|2.5|3.75|4.5|5.5", "2.5|120|6.5|7.25|8|9.5|10"};
  FillRows(s, first);
  ASSERT_TRUE(s.commit());
  FillColumn(s, 2, {"200", "220"});
  for (int c = 3; c <= 7; ++c) FillColumn(s, c, {"1", "2"});
  ASSERT_TRUE(s.commit());
  ASSERT_TRUE(t.q.messages.empty());
  Show(s, 0);
  EXPECT_EQ(s.form().field(Field::ES), "0");
  EXPECT_EQ(Rows(s.form().grid), first);
  const sdata station = s.stations()[0];
  ASSERT_TRUE(s.update());
  EXPECT_EQ(s.stations()[0], station);
  ASSERT_TRUE(s.next());
  EXPECT_EQ(Rows(s.form().grid), (std::vector<std::string>{"1.5|200|1|1|1|1|1", "2.5|220|2|2|2|2|2"}));
  EXPECT_TRUE(t.q.messages.empty());
}

// The branch is selected for the combined-profiling station shown.
TEST(Browse, ShowsTheBranchOfACombinedStation) {
  const std::pair<const char*, int> cases[] = {{"A", 0}, {"B", 1}, {"a", 1}, {"AB", 1}};
  for (const auto& [name, branch] : cases) {
    SCOPED_TRACE(name);
    Session t;
    Survey& s = t.survey;
    ASSERT_TRUE(s.switchType(dtCombinedProfile));
    s.chooseBranch(1 - branch);
    s.load(dtCombinedProfile, {Profile(name, 0), Profile("B", 50)});
    Show(s, 0);
    EXPECT_EQ(s.form().branch, branch);
    EXPECT_EQ(Rows(s.form().grid), (std::vector<std::string>{"20|50|20|100", "40|50|20|200"}));
  }
}

// The update writes the fields and grid into the station shown, in place: the list keeps its
// order and the saved state stays what it was.
TEST(Update, WritesTheShownStationInPlace) {
  for (bool savedBefore : {false, true}) {
    SCOPED_TRACE(savedBefore ? "saved before" : "unsaved");
    Session t;
    Survey& s = t.survey;
    s.load(dtSounding, ThreeSoundings());
    if (savedBefore) {
      t.q.saveAs(t.path("a.ves"));
      ASSERT_TRUE(s.save());
    }
    Show(s, 1);
    s.editCell(2, 2, "25");
    s.editField(Field::EX, "300");
    s.editField(Field::ES, "S9");
    ASSERT_TRUE(s.update());
    sdata expected = Sounding("S9", 300, 12, 25, 30);
    ASSERT_EQ(s.stations().size(), 3u);
    EXPECT_EQ(s.stations()[1], expected);
    EXPECT_EQ(s.stations()[0], ThreeSoundings()[0]);
    EXPECT_EQ(s.stations()[2], ThreeSoundings()[2]);
    EXPECT_EQ(s.currentIndex(), 1);
    EXPECT_TRUE(s.browsing());
    EXPECT_FALSE(s.saved());  // a changed station is not in the file yet
    // The edits are in the station now: moving on asks nothing.
    ASSERT_TRUE(s.next());
    EXPECT_EQ(s.form().field(Field::ES), "S3");
    EXPECT_TRUE(t.q.messages.empty());
  }
}

// A shown station's numbers read as they were typed, never with the noise digits of the stored
// float; updating it unchanged changes nothing and leaves the survey saved.
TEST(Update, StoredNumbersShowAsTyped) {
  Session t;
  Survey& s = t.survey;
  StationList stations = ThreeSoundings();
  stations[1].X = 117.46f;
  stations[1].Y = 0.1f;
  stations[1].Columns[colRho] = {81.9f, 12.7f, 3456789.5f};
  s.load(dtSounding, stations);
  t.q.saveAs(t.path("a.ves"));
  ASSERT_TRUE(s.save());
  Show(s, 1);
  EXPECT_EQ(s.form().field(Field::EX), "117.46");
  EXPECT_EQ(s.form().field(Field::EY), "0.1");
  EXPECT_EQ(s.form().grid.cell(2, 1), "81.9");
  EXPECT_EQ(s.form().grid.cell(2, 2), "12.7");
  EXPECT_EQ(s.form().grid.cell(2, 3), "3456789.5");
  ASSERT_TRUE(s.update());
  EXPECT_EQ(s.stations(), stations);
  EXPECT_TRUE(s.saved());
}

// A smaller count keeps only the first rows; a count of 0 or less keeps none.
TEST(Update, CountDecidesTheRowsKept) {
  const std::pair<const char*, int> cases[] = {{"2", 2}, {"0", 0}, {"-2", 0}};
  for (const auto& [count, kept] : cases) {
    SCOPED_TRACE(count);
    Session t;
    Survey& s = t.survey;
    s.load(dtSounding, ThreeSoundings());
    Show(s, 0);
    s.editField(Field::EAB, count);
    ASSERT_TRUE(s.update());
    EXPECT_TRUE(t.q.messages.empty());
    const sdata& st = s.stations()[0];
    EXPECT_EQ(st.SpacingCount, kept);
    const std::vector<float> spacings = {1.5f, 2.5f, 4.0f};
    const std::vector<float> rho = {11, 20, 30};
    EXPECT_EQ(st.Columns[colAB2], std::vector<float>(spacings.begin(), spacings.begin() + kept));
    EXPECT_EQ(st.Columns[colRho], std::vector<float>(rho.begin(), rho.begin() + kept));
    for (int k = colZP; k <= colR; ++k) EXPECT_TRUE(st.Columns[static_cast<std::size_t>(k)].empty());
  }
}

// Nothing of the station changes when any text does not convert, even where fields before the
// bad one were changed; corrected, the same update goes through.
TEST(Update, RefusedWithTheStationAsItWas) {
  struct Case {
    const char* name;
    std::function<void(Survey&)> spoil;
    std::string message;
    Message::Kind kind;
    std::function<void(Survey&)> correct;
  };
  const Case cases[] = {
      {"letters in a cell", [](Survey& s) { s.editCell(2, 3, "abc"); }, "'abc' is not a valid floating point value",
       Message::Kind::Error, [](Survey& s) { s.editCell(2, 3, "31"); }},
      {"comma in x", [](Survey& s) { s.editField(Field::EX, "1,5"); }, "'1,5' is not a valid floating point value",
       Message::Kind::Error, [](Survey& s) { s.editField(Field::EX, "0"); }},
      {"empty y", [](Survey& s) { s.editField(Field::EY, ""); }, "'' is not a valid floating point value",
       Message::Kind::Error, [](Survey& s) { s.editField(Field::EY, "0"); }},
      {"letters in the count", [](Survey& s) { s.editField(Field::EAB, "x"); }, "'x' is not a valid integer value",
       Message::Kind::Error, [](Survey& s) { s.editField(Field::EAB, "3"); }},
      {"count beyond the grid", [](Survey& s) { s.editField(Field::EAB, "5"); }, "'' is not a valid floating point value",
       Message::Kind::Error, [](Survey& s) { s.editField(Field::EAB, "3"); }},
      {"Thai in the area", [](Survey& s) { s.editField(Field::EW, "ก"); }, "测区中有不能保存到数据文件的字符，请修改后再更新。",
       Message::Kind::Simple, [](Survey& s) { s.editField(Field::EW, "W"); }},
      {"tab in the operator", [](Survey& s) { s.editField(Field::EO, "Li\tSi"); },
       "操作员中有不能保存到数据文件的字符，请修改后再更新。", Message::Kind::Simple,
       [](Survey& s) { s.editField(Field::EO, "Li Si"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Session t;
    Survey& s = t.survey;
    s.load(dtSounding, ThreeSoundings());
    Show(s, 0);
    s.editField(Field::ES, "S9");
    s.editCell(2, 1, "99");
    c.spoil(s);
    const SurveyState before(s);
    EXPECT_FALSE(s.update());
    EXPECT_EQ(SurveyState(s), before);
    ASSERT_EQ(t.q.messages.size(), 1u);
    EXPECT_EQ(t.q.messages[0].text, c.message);
    EXPECT_EQ(t.q.messages[0].kind, c.kind);

    c.correct(s);
    ASSERT_TRUE(s.update());
    EXPECT_EQ(t.q.messages.size(), 1u);
    EXPECT_EQ(s.stations()[0].Name, "S9");
    EXPECT_EQ(s.stations()[0].Columns[colRho][0], 99.0f);
  }
}

// Without a station shown there is nothing to update or delete.
TEST(Update, NeedsAStationShown) {
  Session t;
  Survey& s = t.survey;
  FillValues(s);
  ASSERT_TRUE(s.commit());
  EXPECT_FALSE(s.updateEnabled());
  EXPECT_FALSE(s.deleteEnabled());
  FillValues(s);
  const SurveyState before(s);
  EXPECT_FALSE(s.update());
  EXPECT_FALSE(s.deleteStation());
  EXPECT_EQ(SurveyState(s), before);
  EXPECT_TRUE(t.q.messages.empty());
}

// Delete asks first; Yes removes the station shown, shows the one now at its place (or the new
// last one) and makes the list unsaved, even right after a save.
TEST(Delete, AsksThenRemovesTheStationShown) {
  struct Case {
    int shown;
    Answer answer;
    std::vector<std::string> left;  // names
    std::string nowShown;
  };
  const Case cases[] = {
      {1, Answer::Yes, {"S1", "S3"}, "S3"},
      {2, Answer::Yes, {"S1", "S2"}, "S2"},
      {0, Answer::Yes, {"S2", "S3"}, "S2"},
      {1, Answer::No, {"S1", "S2", "S3"}, "S2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.shown) + (c.answer == Answer::Yes ? " yes" : " no"));
    Session t;
    Survey& s = t.survey;
    s.load(dtSounding, ThreeSoundings());
    t.q.saveAs(t.path("a.ves"));
    ASSERT_TRUE(s.save());
    Show(s, c.shown);
    const SurveyState before(s);
    t.q.answer(c.answer);
    EXPECT_EQ(s.deleteStation(), c.answer == Answer::Yes);
    ASSERT_EQ(t.q.messages.size(), 1u);
    const Message& m = t.q.messages[0];
    EXPECT_EQ(m.caption, "删除当前测点");
    const std::string x = std::to_string(50 * c.shown);
    EXPECT_EQ(m.text, "是否删除当前测点 S" + std::to_string(c.shown + 1) + " (x=" + x + ")?");
    EXPECT_EQ(m.icon, Message::Icon::Question);
    EXPECT_EQ(m.buttons, Message::Buttons::YesNo);
    std::vector<std::string> names;
    for (const sdata& st : s.stations()) names.push_back(st.Name);
    EXPECT_EQ(names, c.left);
    if (c.answer != Answer::Yes) {
      EXPECT_EQ(SurveyState(s), before);
      continue;
    }
    ExpectShown(s);
    EXPECT_EQ(s.form().field(Field::ES), c.nowShown);
    EXPECT_FALSE(s.saved());
    EXPECT_TRUE(s.needsSaveBeforeDiscard());
    EXPECT_EQ(s.status(), "已输入2个测点");
  }
}

TEST(Delete, TheLastStationLeavesNothingToBrowse) {
  Session t;
  Survey& s = t.survey;
  s.load(dtSounding, {Sounding("S1", 0)});
  Show(s, 0);
  t.q.answer(Answer::Yes);
  ASSERT_TRUE(s.deleteStation());
  EXPECT_TRUE(s.stations().empty());
  EXPECT_EQ(s.status(), "当前没有数据");
  EXPECT_FALSE(s.browsing());
  EXPECT_FALSE(s.previousEnabled());
  EXPECT_FALSE(s.nextEnabled());
  EXPECT_FALSE(s.updateEnabled());
  EXPECT_FALSE(s.needsSaveBeforeDiscard());
}

// Edits to the station shown are never dropped silently: moving away asks whether to update
// it. Yes updates it and goes on, No goes on without it, Cancel stays with the edits. The
// moves that discard the list then ask to save it; here that is answered by saving, so the
// file shows which station went out.
TEST(LeaveShownStation, AsksBeforeMovingAway) {
  struct Move {
    const char* name;
    std::function<bool(Survey&)> run;
    std::string saveQuestion;  // asked next by the moves that discard the list
    std::function<void(const Survey&)> wentOn;
  };
  const Move moves[] = {
      {"previous", [](Survey& s) { return s.previous(); }, "",
       [](const Survey& s) {
         EXPECT_EQ(s.currentIndex(), 0);
         EXPECT_EQ(s.form().field(Field::ES), "S1");
       }},
      {"next", [](Survey& s) { return s.next(); }, "",
       [](const Survey& s) {
         EXPECT_EQ(s.currentIndex(), 2);
         EXPECT_EQ(s.form().field(Field::ES), "S3");
       }},
      {"new line", [](Survey& s) { return s.newLine(); }, kUnsavedWarning,
       [](const Survey& s) {
         EXPECT_TRUE(s.stations().empty());
         EXPECT_EQ(s.type(), dtSounding);
       }},
      {"type switch", [](Survey& s) { return s.switchType(dtWaterFinding); }, kUnsavedWarning,
       [](const Survey& s) {
         EXPECT_TRUE(s.stations().empty());
         EXPECT_EQ(s.type(), dtWaterFinding);
       }},
      {"close", [](Survey& s) { return s.mayClose(); }, kSaveBeforeClose, [](const Survey&) {}},
  };
  sdata edited = Sounding("S2", 50, 12, 25, 30);
  edited.WorkArea = "North";
  for (const Move& move : moves) {
    for (Answer answer : {Answer::Yes, Answer::No, Answer::Cancel}) {
      SCOPED_TRACE(std::string(move.name) + (answer == Answer::Yes ? " yes" : answer == Answer::No ? " no" : " cancel"));
      Session t;
      Survey& s = t.survey;
      s.load(dtSounding, ThreeSoundings());
      Show(s, 1);
      s.editCell(2, 2, "25");
      s.editField(Field::EW, "North");
      const SurveyState before(s);
      t.q.answer(answer);
      const bool discards = !move.saveQuestion.empty();
      if (discards && answer != Answer::Cancel) {
        t.q.answer(Answer::Yes);
        t.q.saveAs(t.path("a.ves"));
      }

      const bool went = move.run(s);

      ASSERT_GE(t.q.messages.size(), 1u);
      const Message& m = t.q.messages[0];
      EXPECT_EQ(m.caption, "提示");
      EXPECT_EQ(m.text, kShownStationEdited);
      EXPECT_EQ(m.icon, Message::Icon::Question);
      EXPECT_EQ(m.buttons, Message::Buttons::YesNoCancel);
      if (answer == Answer::Cancel) {
        EXPECT_FALSE(went);
        EXPECT_EQ(t.q.messages.size(), 1u);
        EXPECT_EQ(SurveyState(s), before);
        // Still edited: the next try asks again.
        EXPECT_FALSE(move.run(s));
        EXPECT_EQ(t.q.texts(), (std::vector<std::string>{kShownStationEdited, kShownStationEdited}));
        continue;
      }
      EXPECT_TRUE(went);
      StationList expected = ThreeSoundings();
      if (answer == Answer::Yes) expected[1] = edited;
      if (discards) {
        ASSERT_EQ(t.q.messages.size(), 2u);
        EXPECT_EQ(t.q.messages[1].text, move.saveQuestion);
        EXPECT_EQ(ReadBytes(t.path("a.ves")), BuildVesFile(expected));
        EXPECT_TRUE(s.saved());
      } else {
        EXPECT_EQ(t.q.messages.size(), 1u);
        EXPECT_EQ(s.stations(), expected);
      }
      move.wentOn(s);
      EXPECT_TRUE(t.q.scriptUsed());
    }
  }
}

// Every kind of change to the form counts as an edit; text typed back as it was does not.
// 前一个测点 from a station being typed, with readings not yet inserted: Yes inserts it and
// shows it, No leaves it and shows the station before, Cancel stays with the readings; without
// readings nothing is asked.
TEST(LeaveTypedStation, PreviousAsksBeforeReadingsAreLost) {
  const std::string kNotInserted = "正在输入的测点还没有插入，离开后它的读数将丢失。是否先插入该测点?";
  for (Answer answer : {Answer::Yes, Answer::No, Answer::Cancel}) {
    SCOPED_TRACE(static_cast<int>(answer));
    Session t;
    Survey& s = t.survey;
    s.load(dtSounding, ThreeSoundings());
    ASSERT_FALSE(s.browsing());
    s.editField(Field::ES, "S9");
    s.editField(Field::EX, "900");
    FillValues(s);
    const FormState typed = s.form();
    t.q.answer(answer);
    EXPECT_EQ(s.previous(), answer != Answer::Cancel);
    EXPECT_EQ(t.q.texts(), std::vector<std::string>{kNotInserted});
    switch (answer) {
      case Answer::Yes:
        ASSERT_EQ(s.stations().size(), 4u);
        EXPECT_TRUE(s.browsing());
        EXPECT_EQ(s.form().field(Field::ES), "S9");
        EXPECT_FALSE(s.saved());
        break;
      case Answer::No:
        EXPECT_EQ(s.stations(), ThreeSoundings());
        EXPECT_TRUE(s.browsing());
        EXPECT_EQ(s.form().field(Field::ES), s.stations()[static_cast<std::size_t>(s.currentIndex())].Name);
        break;
      default:
        EXPECT_FALSE(s.browsing());
        EXPECT_EQ(s.form(), typed);
    }
  }
  Session t;
  t.survey.load(dtSounding, ThreeSoundings());
  ASSERT_TRUE(t.survey.previous());
  EXPECT_TRUE(t.q.messages.empty());
}

// Showing a station of the list directly (the station list's double click): asks as Previous and
// Next do; inserting a typed station first keeps the station asked for, wherever the new one
// goes in x order.
TEST(ShowAt, ShowsTheStationAskedFor) {
  Session t;
  Survey& s = t.survey;
  s.load(dtSounding, ThreeSoundings());  // S1 at 0, S2 at 50, S3 at 100
  EXPECT_FALSE(s.showAt(3));
  EXPECT_FALSE(s.showAt(-1));
  ASSERT_TRUE(s.showAt(2));
  EXPECT_EQ(s.form().field(Field::ES), "S3");
  EXPECT_TRUE(t.q.messages.empty());

  // An edit of the shown station asks whether to update it.
  s.editCell(2, 1, "99");
  t.q.answer(Answer::Cancel);
  EXPECT_FALSE(s.showAt(0));
  EXPECT_EQ(s.currentIndex(), 2);
  t.q.answer(Answer::No);
  ASSERT_TRUE(s.showAt(0));
  EXPECT_EQ(s.form().field(Field::ES), "S1");

  // A typed station at x 25, inserted first, goes before S2: S2 is still the one shown.
  Session u;
  u.survey.load(dtSounding, ThreeSoundings());
  u.survey.editField(Field::ES, "N");
  u.survey.editField(Field::EX, "25");
  FillValues(u.survey);
  u.q.answer(Answer::Yes);
  ASSERT_TRUE(u.survey.showAt(1));
  EXPECT_EQ(u.survey.stations().size(), 4u);
  EXPECT_EQ(u.survey.form().field(Field::ES), "S2");
}

TEST(LeaveShownStation, WhatCountsAsAnEdit) {
  struct Case {
    const char* name;
    std::function<void(Survey&)> edit;
    bool asks;
  };
  const Case cases[] = {
      {"a field", [](Survey& s) { s.editField(Field::EO, "Li"); }, true},
      {"the count", [](Survey& s) { s.editField(Field::EAB, "2"); }, true},
      {"a cell", [](Survey& s) { s.editCell(1, 3, "5"); }, true},
      {"a row inserted", [](Survey& s) { s.insertRow(2); }, true},
      {"a row deleted", [](Survey& s) { s.deleteRow(1); }, true},
      {"values cleared", [](Survey& s) { s.clearValues(); }, true},
      {"default spacings", [](Survey& s) { s.defaultSpacings(); }, true},
      {"typed back as it was", [](Survey& s) {
         s.editField(Field::EO, "Li");
         s.editField(Field::EO, "Operator");
         s.editCell(2, 1, "5");
         s.editCell(2, 1, "11");
       }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Session t;
    Survey& s = t.survey;
    s.load(dtSounding, ThreeSoundings());
    Show(s, 0);
    c.edit(s);
    t.q.answer(Answer::No);
    ASSERT_TRUE(s.next());
    EXPECT_EQ(t.q.texts(), c.asks ? std::vector<std::string>{kShownStationEdited} : std::vector<std::string>{});
    EXPECT_EQ(s.stations(), ThreeSoundings());
  }
}

// Yes with edits that do not convert: the error is shown and the survey stays where it is.
TEST(LeaveShownStation, FailedUpdateStays) {
  Session t;
  Survey& s = t.survey;
  s.load(dtSounding, ThreeSoundings());
  Show(s, 1);
  s.editCell(2, 3, "abc");
  const SurveyState before(s);
  t.q.answer(Answer::Yes);
  EXPECT_FALSE(s.next());
  EXPECT_EQ(t.q.texts(), (std::vector<std::string>{kShownStationEdited, "'abc' is not a valid floating point value"}));
  EXPECT_EQ(SurveyState(s), before);
}
