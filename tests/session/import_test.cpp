// Importing stations into the survey: all of them or none, in x order as commits would put
// them, through the same gates as a type switch, as one operation.
#include <gtest/gtest.h>

#include <optional>

#include "io/csvexport.h"
#include "io/csvimport.h"
#include "model/stations.h"
#include "survey_support.h"

using namespace sessiontest;

namespace {

struct CountingObserver : SurveyObserver {
  int calls = 0;
  unsigned changes = 0;
  void surveyChanged(unsigned c) override {
    ++calls;
    changes |= c;
  }
};

// The list committing the stations one after the other would leave.
StationList CommittedOneByOne(StationList survey, const StationList& imported) {
  for (const sdata& s : imported) InsertStationByX(survey, s);
  return survey;
}

}  // namespace

TEST(Import, AddsEveryStationInXOrderAsOneOperation) {
  Session t;
  Survey& s = t.survey;
  s.load(dtSounding, ThreeSoundings(), 1, true);
  s.editField(Field::ES, "S9");  // typed, not committed: the import keeps it
  s.editField(Field::EX, "777");
  // Out of order, one between the survey's, two at the same x as each other's neighbours.
  const StationList imported{Sounding("I1", 120), Sounding("I2", 25), Sounding("I3", -5), Sounding("I4", 50.5f)};
  const FormState form = s.form();
  CountingObserver observer;
  s.addObserver(&observer);

  ASSERT_TRUE(s.importStations(dtSounding, imported));

  EXPECT_EQ(s.stations(), CommittedOneByOne(ThreeSoundings(), imported));
  EXPECT_EQ(observer.calls, 1);
  EXPECT_EQ(observer.changes & (change::kStations | change::kSaved | change::kStatus | change::kBrowse),
            change::kStations | change::kSaved | change::kStatus | change::kBrowse);
  EXPECT_TRUE(t.q.messages.empty());
  EXPECT_FALSE(s.saved());
  EXPECT_EQ(s.status(), "已输入7个测点");
  EXPECT_FALSE(s.browsing());
  EXPECT_EQ(s.form(), form);
  // The place of I4, the last one given, as after its commit: Previous shows the station before it.
  EXPECT_EQ(s.stations()[static_cast<std::size_t>(s.currentIndex())].Name, "I4");
  ASSERT_TRUE(s.previous());
  EXPECT_EQ(s.form().field(Field::ES), "S2");
  s.removeObserver(&observer);
}

TEST(Import, ProblemsRefuseTheWholeImport) {
  struct Case {
    const char* name;
    StationList imported;
    std::vector<std::string> says;  // in the message, in order
  };
  sdata repeated = Sounding("R", 300);
  repeated.Columns[colAB2][2] = 2.55f;
  sdata tooLarge = Sounding("L", 400, 10, 60000);
  StationList many;
  for (int i = 0; i < 15; ++i) many.push_back(Sounding("M" + std::to_string(i), 50));
  const Case cases[] = {
      {"same point as a station of the survey",
       {Sounding("OK", 500), Sounding("Twin", 50.05f)},
       {"第 5 行：测点“Twin”与已输入的测点“S2”坐标一样"}},
      {"repeated spacing and a resistivity out of range",
       {repeated, tooLarge},
       {"第 4 行：测点“R”第 3 个读数的 AB/2 2.55 与第 3 行的 2.5 相差不到 0.1", "第 6 行：测点“L”第 2 个读数的 视电阻率 是 60000"}},
      {"more problems than are listed", many, {"第 2 行", "……另有 3 个问题。"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Session t;
    Survey& s = t.survey;
    s.load(dtSounding, ThreeSoundings());
    const SurveyState before(s);
    // File rows: each station's first row and one row per reading.
    std::vector<CsvStationRows> rows;
    int row = 2;
    for (const sdata& st : c.imported) {
      CsvStationRows r{row, {}};
      for (std::size_t i = 0; i < st.Columns[colAB2].size(); ++i) r.readings.push_back(row++);
      rows.push_back(r);
    }
    EXPECT_FALSE(s.importStations(dtSounding, c.imported, rows));
    EXPECT_EQ(SurveyState(s), before);
    ASSERT_EQ(t.q.messages.size(), 1u);
    const std::string& text = t.q.messages[0].text;
    EXPECT_EQ(text.rfind("导入的测点没有通过检查，一个也没有加入：", 0), 0u) << text;
    std::size_t at = 0;
    for (const std::string& part : c.says) {
      at = text.find(part, at);
      EXPECT_NE(at, std::string::npos) << part << "\n" << text;
    }
  }
}

// Stations of another data type switch the type through its gate: edits of the shown
// station, then save first?
TEST(Import, AnotherTypeSwitchesThroughTheSaveQuestion) {
  const StationList water{BuildStation(dtWaterFinding, "100", 100, {{1.5f, 30, 1, 2, 3, 4, 5}}),
                          BuildStation(dtWaterFinding, "0", 0, {{1.5f, 20, 1, 2, 3, 4, 5}})};
  struct Case {
    const char* name;
    bool saved;
    std::optional<Answer> answer;  // to the save-first question
    bool imported;
  };
  const Case cases[] = {
      {"saved survey: no question", true, std::nullopt, true},
      {"unsaved, No", false, Answer::No, true},
      {"unsaved, Cancel", false, Answer::Cancel, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Session t;
    Survey& s = t.survey;
    s.load(dtSounding, ThreeSoundings(), 0, c.saved);
    const SurveyState before(s);
    if (c.answer) t.q.answer(*c.answer);
    EXPECT_EQ(s.importStations(dtWaterFinding, water), c.imported);
    EXPECT_EQ(t.q.messages.size(), c.answer ? 1u : 0u);
    if (c.answer) {
      EXPECT_EQ(t.q.messages[0].text, kUnsavedWarning);
    }
    if (c.imported) {
      EXPECT_EQ(s.type(), dtWaterFinding);
      EXPECT_EQ(s.stations(), CommittedOneByOne({}, water));
      EXPECT_EQ(s.status(), "已输入2个测点");
      EXPECT_FALSE(s.saved());
    } else {
      EXPECT_EQ(SurveyState(s), before);
    }
  }

  // Refused by the checks: neither the question nor the switch.
  Session t;
  t.survey.load(dtSounding, ThreeSoundings());
  const SurveyState before(t.survey);
  const StationList twins{water[0], water[0]};
  EXPECT_FALSE(t.survey.importStations(dtWaterFinding, twins));
  ASSERT_EQ(t.q.messages.size(), 1u);
  EXPECT_NE(t.q.messages[0].text.find("坐标一样"), std::string::npos);
  EXPECT_EQ(SurveyState(t.survey), before);
}

TEST(Import, EditsOfTheShownStationAreAskedAbout) {
  for (Answer answer : {Answer::Cancel, Answer::No, Answer::Yes}) {
    SCOPED_TRACE(static_cast<int>(answer));
    Session t;
    Survey& s = t.survey;
    s.load(dtSounding, ThreeSoundings());
    ASSERT_TRUE(s.next());  // shows S2
    s.editField(Field::EW, "edited");
    const SurveyState before(s);
    t.q.answer(answer);
    const bool imported = s.importStations(dtSounding, {Sounding("I", 500)});
    ASSERT_EQ(t.q.messages.size(), 1u);
    EXPECT_EQ(t.q.messages[0].text, kShownStationEdited);
    EXPECT_EQ(imported, answer != Answer::Cancel);
    if (answer == Answer::Cancel) {
      EXPECT_EQ(SurveyState(s), before);
    }
    if (imported) {
      EXPECT_EQ(s.stations().size(), 4u);
      EXPECT_EQ(s.stations()[1].WorkArea, answer == Answer::Yes ? "edited" : "WorkArea");
      EXPECT_FALSE(s.browsing());
      EXPECT_FALSE(s.updateEnabled());
    }
  }
}

// Profile lines without positions in the file are placed after the survey's lines, as the
// window proposes them; the proposal of the next line moves past the imported ones.
TEST(Import, ProfileLinesWithoutPositionsFollowTheSurveysLines) {
  Session t;
  Survey& s = t.survey;
  ASSERT_TRUE(s.switchType(dtFourPoleProfile));
  s.load(dtFourPoleProfile, {Profile("100", 0), Profile("150", 50)});
  CsvPreview p = PreviewCsv("剖面编号,点号,AB/2,MN/2,视电阻率\n200,20,50,10,120\n250,20,50,10,99\n");
  ASSERT_TRUE(p.CanImport()) << p.fileError;
  ASSERT_TRUE(p.positionsAssigned);
  EXPECT_TRUE(s.prepareImport(p).empty());
  ASSERT_EQ(p.stations.size(), 2u);
  EXPECT_EQ(p.stations[0].X, 100.0f);
  EXPECT_EQ(p.stations[1].X, 150.0f);

  ASSERT_TRUE(s.importStations(p.type, p.stations, p.stationRows));
  EXPECT_EQ(s.stations().size(), 4u);
  EXPECT_EQ(s.form().field(Field::EX), "200");
  EXPECT_EQ(s.form().field(Field::EY), "0");

  // Into a survey of another type, the lines start at x = 0; checked against no station.
  Session other;
  other.survey.load(dtSounding, ThreeSoundings());
  CsvPreview q = PreviewCsv("剖面编号,点号,AB/2,MN/2,视电阻率\n200,20,50,10,120\n");
  EXPECT_TRUE(other.survey.prepareImport(q).empty());
  EXPECT_EQ(q.stations[0].X, 0.0f);

  // A line proposed where a station of the survey stands is named.
  Session crowded;
  ASSERT_TRUE(crowded.survey.switchType(dtFourPoleProfile));
  crowded.survey.load(dtFourPoleProfile, {Profile("100", 0), Profile("150", 100)});
  CsvPreview r = PreviewCsv("剖面编号,点号,AB/2,MN/2,视电阻率\n200,20,50,10,120\n");
  const std::vector<StationProblem> problems = crowded.survey.prepareImport(r);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_NE(problems[0].message.find("第 2 行：测点“200”与已输入的测点“150”坐标一样"), std::string::npos)
      << problems[0].message;
}

// The survey's stations exported and imported into a new survey: the same list, every float
// bit for bit, for every data type.
TEST(Import, ExportedStationsComeBackTheSame) {
  const float odd = 0.1f + 1e-7f;  // a float whose shortest text has many digits
  const StationList lists[] = {
      {BuildStation(dtSounding, "S1", odd, {{1.5f, 123.456789f}, {2.5f, 1e-5f}}, -odd),
       BuildStation(dtSounding, "S2", 50, {{1.5f, 49999.996f}, {1e-5f, 0.3f}})},
      {BuildStation(dtWaterFinding, "0.1", odd, {{1.5f, 30, odd, 2, 3, 4, 5}, {2.5f, 40, 1, 2, 3, 4, 5}})},
      {BuildStation(dtFourPoleProfile, "100", 0, {{20, 50, 10, odd}, {40, 50, 10, 7}}),
       BuildStation(dtFourPoleProfile, "150", 50, {{20, 50, 10, 8}}, 3)},
      {BuildStation(dtCombinedProfile, "A", 0, {{20, 50, 10, 99}, {40, 50, 10, odd}}),
       BuildStation(dtCombinedProfile, "B", 50, {{20, 50, 10, 98}, {40, 50, 10, 97}})},
  };
  for (const StationList& list : lists) {
    const DataType type = static_cast<DataType>(&list - lists);
    SCOPED_TRACE(type);
    CsvPreview p = PreviewCsv(BuildCsvExport(type, list));
    ASSERT_TRUE(p.CanImport()) << p.fileError;
    Session t;
    EXPECT_TRUE(t.survey.prepareImport(p).empty());
    ASSERT_TRUE(t.survey.importStations(p.type, p.stations, p.stationRows));
    EXPECT_EQ(t.survey.type(), type);
    EXPECT_EQ(t.survey.stations(), list);
  }
}

TEST(Import, IsOneUndoableStep) {
  // Into the survey's own type, the list out of x order beforehand (an update moved an x), and
  // into another type, which switches the type in the same step.
  struct Case {
    const char* name;
    DataType type;
    StationList imported;
  };
  const Case cases[] = {
      {"same type", dtSounding, {Sounding("I1", 120), Sounding("I2", 60), Sounding("I3", -5)}},
      {"another type",
       dtWaterFinding,
       {BuildStation(dtWaterFinding, "W1", 100, {{1.5f, 30, 1, 2, 3, 4, 5}}),
        BuildStation(dtWaterFinding, "W2", 0, {{1.5f, 20, 1, 2, 3, 4, 5}})}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Session t;
    Survey& s = t.survey;
    StationList unordered = ThreeSoundings();
    unordered[0].X = 75;  // S1 moved past S2 by an update
    s.load(dtSounding, unordered, 0, true);
    const SurveyState before(s);

    ASSERT_TRUE(s.importStations(c.type, c.imported));
    const SurveyState after(s);
    EXPECT_EQ(s.undoName(), "导入测点");

    ASSERT_TRUE(s.undo());
    EXPECT_EQ(SurveyState(s), before);
    EXPECT_TRUE(s.saved());
    EXPECT_FALSE(s.canUndo());
    ASSERT_TRUE(s.redo());
    EXPECT_EQ(SurveyState(s), after);
    EXPECT_FALSE(s.saved());
  }
}
