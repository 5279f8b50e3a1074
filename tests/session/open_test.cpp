// Opening data files into the survey: the data type follows the file, the stations replace the
// list (after the save-first question), count as saved and the first is shown; files that are
// refused or read only in part open nothing unless the user accepts; and the next save
// proposes the opened file with the replace choice.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "io/profiledat.h"
#include "io/soundingdat.h"
#include "io/vesfile.h"
#include "survey_support.h"

using namespace sessiontest;

namespace {
const std::string kOpenCaption = "打开文件";
const std::string kPartNotSaved = "以后保存时，文件中没有读入的部分不会写进保存的文件。";

StationList WaterStations() {
  return {BuildStation(dtWaterFinding, "100", 100, {{1.5f, 35.2f, 3.75f, 2.1f, 45, 0.5f, 1.25f}}),
          BuildStation(dtWaterFinding, "150", 150, {{1.5f, 30, 3, 2, 40, 0.4f, 1}, {2.5f, 31, 3, 2, 41, 0.4f, 1}})};
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// How the save after opening is answered and what it shows.
enum class SaveBy { Dialog, Folder };
}  // namespace

TEST(Open, EachKindOpensShowsItsFirstUnitAndSavesBackInPlace) {
  struct Case {
    const char* name;
    std::string file;
    std::string bytes;
    DataType type;
    std::size_t units;
    SaveBy saveBy;
  };
  const Case cases[] = {
      {"ves", "survey.ves", BuildVesFile(ThreeSoundings()), dtSounding, 3, SaveBy::Dialog},
      {"ves with models and Z", "models.ves", Fixture("ves_models_example.ves"), dtSounding, 3, SaveBy::Dialog},
      {"sounding dat", "water.dat", BuildSoundingDatFile(WaterStations()), dtWaterFinding, 2, SaveBy::Dialog},
      {"four-pole line", "150.dat", Fixture("fourpole_profile_example.dat"), dtFourPoleProfile, 1, SaveBy::Folder},
      {"combined line", "12.dat", Fixture("combined_profile_example.dat"), dtCombinedProfile, 1, SaveBy::Dialog},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Session t;
    Survey& s = t.survey;
    // Start in another type: opening switches to the file's.
    ASSERT_TRUE(s.switchType(c.type == dtSounding ? dtCombinedProfile : dtSounding));
    const std::string path = t.path(c.file);
    ASSERT_TRUE(WriteBytes(path, c.bytes));

    ASSERT_TRUE(s.open({path}));

    EXPECT_TRUE(t.q.messages.empty()) << t.q.texts().front();
    EXPECT_EQ(s.type(), c.type);
    ASSERT_EQ(s.stations().size(), c.units);
    EXPECT_TRUE(s.saved());
    EXPECT_FALSE(s.needsSaveBeforeDiscard());
    EXPECT_EQ(s.file(), path);
    EXPECT_EQ(s.lastFolder(c.type), t.dir.path() + "/");
    EXPECT_EQ(s.status(), "已输入" + std::to_string(c.units) + "个测点");
    // The first unit is shown as Previous/Next show one.
    EXPECT_TRUE(s.browsing());
    EXPECT_EQ(s.currentIndex(), 0);
    EXPECT_TRUE(s.updateEnabled());
    EXPECT_EQ(s.nextEnabled(), c.units > 1);
    const sdata& first = s.stations().front();
    EXPECT_EQ(s.form().grid.rows(), first.SpacingCount + 1);
    EXPECT_EQ(s.form().grid.cols(), s.spec().layout.gridColumns);
    EXPECT_EQ(s.form().field(Field::EAB), std::to_string(first.SpacingCount));
    EXPECT_EQ(s.form().field(Field::ES), ShownText(first.Name));
    // A profile line shows the number its file's name carries.
    if (!IsSoundingType(c.type)) {
      EXPECT_EQ(s.form().field(Field::EP), c.file.substr(0, c.file.find('.')));
    }

    // Saved again into the same file, the replace choice proposed: the same bytes.
    if (c.saveBy == SaveBy::Folder) {
      t.q.folder(t.dir.path());
      t.q.answer(Answer::Replace);
    } else {
      t.q.saveAs(path);
      if (IsSoundingType(c.type)) t.q.appendChoice(AppendChoice::Replace);
      else t.q.answer(Answer::Replace);
    }
    EXPECT_TRUE(s.save());
    EXPECT_TRUE(t.q.scriptUsed());
    EXPECT_EQ(ReadBytes(path), c.bytes);
    if (c.saveBy == SaveBy::Folder) {
      ASSERT_EQ(t.q.folderRequests.size(), 1u);
      EXPECT_EQ(t.q.folderRequests[0].startDir, t.dir.path() + "/");
    } else {
      ASSERT_EQ(t.q.saveDialogs.size(), 1u);
      EXPECT_EQ(t.q.saveDialogs[0].fileName, path);
      EXPECT_EQ(t.q.saveDialogs[0].initialDir, t.dir.path() + "/");
    }
    if (IsSoundingType(c.type)) {
      EXPECT_EQ(s.saveDialog().proposedChoice, AppendChoice::Replace);
    }
  }
}

// Opening replaces the list: unsaved stations are asked about with the gate of a new line.
TEST(Open, UnsavedStationsAreAskedAboutFirst) {
  struct Case {
    const char* name;
    Answer answer;
    bool saveCompletes;
    bool opens;
  };
  const Case cases[] = {
      {"Cancel", Answer::Cancel, false, false},
      {"No", Answer::No, false, true},
      {"Yes, saved", Answer::Yes, true, true},
      {"Yes, save dialog cancelled", Answer::Yes, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Session t;
    Survey& s = t.survey;
    const std::string path = t.path("other.ves");
    ASSERT_TRUE(WriteBytes(path, Fixture("ves_worked_example.ves")));
    s.load(dtSounding, ThreeSoundings());
    const SurveyState before(s);
    t.q.answer(c.answer);
    if (c.answer == Answer::Yes) {
      if (c.saveCompletes) t.q.saveAs(t.path("kept.ves"));
      else t.q.cancelSave();
    }

    EXPECT_EQ(s.open({path}), c.opens);

    EXPECT_TRUE(t.q.scriptUsed());
    ASSERT_FALSE(t.q.messages.empty());
    EXPECT_EQ(t.q.messages[0].text, "输入的数据尚没有保存，是否现在保存它们?");
    EXPECT_EQ(t.q.messages[0].buttons, Message::Buttons::YesNoCancel);
    if (c.saveCompletes) {
      EXPECT_EQ(ReadBytes(t.path("kept.ves")), BuildVesFile(ThreeSoundings()));
    }
    if (c.opens) {
      EXPECT_EQ(s.stations().size(), 1u);
      EXPECT_EQ(s.file(), path);
    } else {
      EXPECT_EQ(SurveyState(s), before);
    }
  }
}

// A save asked for by the gate may write the file being opened: what opens is the file as it
// is after that save.
TEST(Open, TheFileIsReadAfterTheSaveFirstQuestion) {
  Session t;
  Survey& s = t.survey;
  const std::string path = t.path("same.ves");
  ASSERT_TRUE(WriteBytes(path, Fixture("ves_worked_example.ves")));
  ASSERT_TRUE(s.open({path}));
  s.load(dtSounding, ThreeSoundings());
  t.q.answer(Answer::Yes);
  t.q.saveAs(path);
  t.q.appendChoice(AppendChoice::Replace);
  ASSERT_TRUE(s.open({path}));
  EXPECT_EQ(s.stations(), ThreeSoundings());
}

TEST(Open, RefusedFilesOpenNothingAndSayWhy) {
  Session t;
  Survey& s = t.survey;
  std::filesystem::create_directory(t.path("folder.ves"));
  ASSERT_TRUE(WriteBytes(t.path("empty.ves"), ""));
  ASSERT_TRUE(WriteBytes(t.path("table.dat"), "x,y,rho\r\n1,2,3\r\n"));
  s.load(dtSounding, ThreeSoundings(), 1, true);
  const SurveyState before(s);
  struct Case {
    std::vector<std::string> paths;
    std::string says;
  };
  const Case cases[] = {
      {{t.path("missing.ves")}, "文件不存在"},
      {{t.path("empty.ves")}, "文件是空的"},
      {{t.path("table.dat")}, "第 1 行"},
      {{t.path("folder.ves")}, "文件夹"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.says);
    t.q.clear();
    EXPECT_FALSE(s.open(c.paths));
    ASSERT_EQ(t.q.messages.size(), 1u);
    const Message& m = t.q.messages[0];
    EXPECT_EQ(m.caption, kOpenCaption);
    EXPECT_EQ(m.buttons, Message::Buttons::Ok);
    EXPECT_EQ(m.icon, Message::Icon::Warning);
    EXPECT_TRUE(Contains(m.text, "打开文件失败。")) << m.text;
    EXPECT_TRUE(Contains(m.text, c.says)) << m.text;
    EXPECT_EQ(m.details, c.paths.front());
    EXPECT_EQ(SurveyState(s), before);
    EXPECT_EQ(s.file(), "");
  }
}

// A file read only in part: the message names the line, warns that a later save will not hold
// what could not be read, and asks; only Yes opens what was read.
TEST(Open, PartlyReadFileOpensOnlyWhenAccepted) {
  Session t;
  Survey& s = t.survey;
  const std::string whole = BuildVesFile(ThreeSoundings());
  const std::string path = t.path("cut.ves");
  ASSERT_TRUE(WriteBytes(path, whole.substr(0, whole.rfind("S3") + 10)));
  const SurveyState before(s);

  for (Answer answer : {Answer::No, Answer::Yes}) {
    t.q.clear();
    t.q.answer(answer);
    EXPECT_EQ(s.open({path}), answer == Answer::Yes);
    ASSERT_EQ(t.q.messages.size(), 1u);
    const Message& m = t.q.messages[0];
    EXPECT_EQ(m.caption, kOpenCaption);
    EXPECT_EQ(m.buttons, Message::Buttons::YesNo);
    EXPECT_TRUE(Contains(m.text, "文件只能读入一部分。\n第 ")) << m.text;
    EXPECT_TRUE(Contains(m.text, "\n" + kPartNotSaved + "\n\n是否打开已经读到的 2 个测点？")) << m.text;
    if (answer == Answer::No) {
      EXPECT_EQ(SurveyState(s), before);
    }
  }
  ASSERT_EQ(s.stations().size(), 2u);
  EXPECT_EQ(s.stations()[1], ThreeSoundings()[1]);
  EXPECT_TRUE(s.saved());
  EXPECT_EQ(s.file(), path);
}

TEST(Open, SeveralFourPoleFilesAreOneSurveyOfLines) {
  Session t;
  Survey& s = t.survey;
  const std::string line = Fixture("fourpole_profile_example.dat");
  const std::vector<std::string> paths = {t.path("100.dat"), t.path("150.dat"), t.path("200.dat")};
  for (const std::string& p : paths) ASSERT_TRUE(WriteBytes(p, line));
  ASSERT_TRUE(s.open(paths));
  EXPECT_EQ(s.type(), dtFourPoleProfile);
  ASSERT_EQ(s.stations().size(), 3u);
  EXPECT_EQ(s.stations()[2].Name, "200");
  EXPECT_EQ(s.file(), paths[0]);
  EXPECT_TRUE(t.q.messages.empty());

  // A sounding .dat file among them ends the reading there: the lines before it are offered.
  ASSERT_TRUE(WriteBytes(t.path("7.dat"), Fixture("sounding_worked_example.dat")));
  t.q.answer(Answer::No);
  EXPECT_FALSE(s.open({paths[0], t.path("7.dat"), paths[2]}));
  ASSERT_EQ(t.q.messages.size(), 1u);
  EXPECT_TRUE(Contains(t.q.messages[0].text, "文件“7.dat”：第 2 行")) << t.q.messages[0].text;
  EXPECT_EQ(s.stations().size(), 3u);
}

// Replace is proposed only for the file the survey holds whole: not for another file, not for
// a file the survey was appended to.
TEST(Open, ReplaceIsProposedOnlyForTheFileHeldWhole) {
  Session t;
  Survey& s = t.survey;
  const std::string opened = t.path("opened.ves");
  const std::string other = t.path("other.ves");
  ASSERT_TRUE(WriteBytes(opened, BuildVesFile(ThreeSoundings())));
  ASSERT_TRUE(WriteBytes(other, Fixture("ves_worked_example.ves")));
  ASSERT_TRUE(s.open({opened}));
  struct Step {
    std::string target;
    AppendChoice choice;
    AppendChoice proposed;
  };
  const Step steps[] = {
      {other, AppendChoice::Append, AppendChoice::Append},   // not the opened file
      {other, AppendChoice::Replace, AppendChoice::Append},  // appended to: holds more than the survey
      {other, AppendChoice::Cancel, AppendChoice::Replace},  // written whole
      {opened, AppendChoice::Cancel, AppendChoice::Append},  // the survey's file is now the other one
  };
  for (const Step& step : steps) {
    t.q.clear();
    t.q.saveAs(step.target);
    t.q.appendChoice(step.choice);
    EXPECT_EQ(s.save(), step.choice != AppendChoice::Cancel);
    EXPECT_EQ(s.saveDialog().proposedChoice, step.proposed) << step.target;
  }
  EXPECT_EQ(s.file(), other);
}

// A new line or a type switch empties the list: it no longer comes from the file.
TEST(Open, DiscardingTheListForgetsTheFile) {
  for (const bool byNewLine : {true, false}) {
    Session t;
    Survey& s = t.survey;
    const std::string path = t.path("12.dat");
    ASSERT_TRUE(WriteBytes(path, Fixture("combined_profile_example.dat")));
    ASSERT_TRUE(s.open({path}));
    ASSERT_TRUE(byNewLine ? s.newLine() : s.switchType(dtSounding));
    EXPECT_EQ(s.file(), "");
    EXPECT_EQ(s.lastFolder(dtCombinedProfile), t.dir.path() + "/");  // the folder is still remembered
    // Undone, the survey is linked to its file again: the title names it and the next save
    // proposes to replace it; redone, it is forgotten again.
    ASSERT_TRUE(s.undo());
    EXPECT_EQ(s.file(), path);
    EXPECT_TRUE(s.sessionState().replaceProposed);
    EXPECT_EQ(s.type(), dtCombinedProfile);
    ASSERT_TRUE(s.redo());
    EXPECT_EQ(s.file(), "");
    EXPECT_FALSE(s.sessionState().replaceProposed);
  }
}

// A save links the survey to its file; undoing a step taken before the save keeps the link.
TEST(Open, UndoAfterASaveKeepsTheFile) {
  Session t;
  Survey& s = t.survey;
  s.load(dtSounding, ThreeSoundings());
  s.editField(Field::ES, "S9");
  s.editField(Field::EX, "900");
  FillValues(s);
  ASSERT_TRUE(s.commit());
  const std::string path = t.path("a.ves");
  t.q.saveAs(path);
  ASSERT_TRUE(s.save());
  ASSERT_TRUE(s.undo());
  EXPECT_EQ(s.file(), path);
}

// The save dialogs start in the folder last used for the data type, else in the Data folder.
TEST(Open, SavesStartInTheFolderLastUsedForTheType) {
  Session t;
  Survey& s = t.survey;
  std::filesystem::create_directory(t.path("ves"));
  s.setLastFolder(dtSounding, t.path("ves/"));
  s.load(dtSounding, ThreeSoundings());
  t.q.cancelSave();
  EXPECT_FALSE(s.save());
  ASSERT_EQ(t.q.saveDialogs.size(), 1u);
  EXPECT_EQ(t.q.saveDialogs[0].initialDir, t.path("ves/"));

  t.q.answer(Answer::No);
  ASSERT_TRUE(s.switchType(dtWaterFinding));
  s.load(dtWaterFinding, WaterStations());
  t.q.clear();
  t.q.saveAs(t.path("ves/water.dat"));
  EXPECT_TRUE(s.save());
  EXPECT_EQ(t.q.saveDialogs[0].initialDir, t.path("Data/"));
  EXPECT_EQ(s.lastFolder(dtWaterFinding), t.path("ves/"));
}

TEST(DefaultSpacings, ListsAreCheckedAsTheGridChecksSpacings) {
  struct Case {
    std::vector<std::string> list;
    std::string says;  // "" for accepted
  };
  const Case cases[] = {
      {{"1.5", "2.5", "4.0"}, ""},
      {{"10000"}, ""},
      {{"1", "1.1"}, ""},
      {{}, "至少要有 1 个"},
      {std::vector<std::string>(50, "1"), "最多 49 个"},
      {{"1", "x"}, "第 2 个默认极距“x”不是数字"},
      {{"0"}, "第 1 个默认极距不在 0 到 10000 之间"},
      {{"10000.5"}, "不在 0 到 10000 之间"},
      {{"-3"}, "不在 0 到 10000 之间"},
      {{"1", "1.05"}, "第 2 个默认极距没有比前一个大 0.1 以上"},
      {{"5", "2"}, "第 2 个默认极距没有比前一个大"},
  };
  for (const Case& c : cases) {
    const std::string said = Survey::checkSpacingList(c.list);
    if (c.says.empty()) {
      EXPECT_EQ(said, "");
    } else {
      EXPECT_TRUE(Contains(said, c.says)) << said;
    }
  }
}

TEST(DefaultSpacings, LayOutTheSoundingGrids) {
  Session t;
  Survey& s = t.survey;
  EXPECT_EQ(s.defaultSpacingTexts(), kDefaultSpacings);
  EXPECT_FALSE(s.setDefaultSpacings({"3", "1"}));
  EXPECT_EQ(s.defaultSpacingTexts(), kDefaultSpacings);
  const std::vector<std::string> mine = {"1", "2", "5", "10.5"};
  ASSERT_TRUE(s.setDefaultSpacings(mine));
  EXPECT_EQ(Column(s.form().grid, 1), kDefaultSpacings);  // the grid stays until it is laid out
  s.defaultSpacings();
  EXPECT_EQ(Column(s.form().grid, 1), mine);
  EXPECT_EQ(RowNumbers(s.form().grid), Numbers(4));
  EXPECT_EQ(s.form().field(Field::EAB), "4");
  ASSERT_TRUE(s.switchType(dtFourPoleProfile));
  ASSERT_TRUE(s.switchType(dtWaterFinding));
  EXPECT_EQ(Column(s.form().grid, 1), mine);
  EXPECT_EQ(s.form().field(Field::EAB), "4");
}

TEST(Open, OpenedAndRestoredSurveysStartANewHistory) {
  Session t;
  Survey& s = t.survey;
  const std::string path = t.path("survey.ves");
  ASSERT_TRUE(WriteBytes(path, BuildVesFile(ThreeSoundings())));
  s.editField(Field::ES, "typed");
  ASSERT_TRUE(s.canUndo());
  ASSERT_TRUE(s.open({path}));
  EXPECT_FALSE(s.canUndo());
  EXPECT_FALSE(s.canRedo());

  // Typed after the open: one step back is the opened file again, saved.
  const SessionState opened = s.sessionState();
  s.editField(Field::EO, "Li");
  ASSERT_TRUE(s.undo());
  EXPECT_EQ(s.sessionState(), opened);
  EXPECT_TRUE(s.saved());

  Session fresh;
  fresh.survey.editField(Field::ES, "before the crash");
  fresh.survey.restore(s.sessionState(), s.stations());
  EXPECT_FALSE(fresh.survey.canUndo());
  EXPECT_EQ(fresh.survey.sessionState(), s.sessionState());
}

// The file is read behind the progress dialog; cancelled there, nothing opens and the survey
// stays as it was.
TEST(Open, CancelledWhileReadingOpensNothing) {
  Session t;
  Survey& s = t.survey;
  const std::string path = t.path("other.ves");
  ASSERT_TRUE(WriteBytes(path, Fixture("ves_worked_example.ves")));
  s.load(dtSounding, ThreeSoundings(), 0, true);
  const SurveyState before(s);
  t.q.cancelWorkAfter(0);

  EXPECT_FALSE(s.open({path}));

  EXPECT_EQ(t.q.workLabels, std::vector<std::string>{"正在读取文件…"});
  EXPECT_TRUE(t.q.messages.empty());
  EXPECT_EQ(SurveyState(s), before);
  EXPECT_TRUE(s.file().empty());
}

// The file is read piece by piece, asking before each piece whether the user cancelled: a
// cancel while a large file is read ends the reading at the next piece, and nothing opens.
TEST(Open, CancelledDuringTheReadingStopsAtTheNextPiece) {
  Session t;
  Survey& s = t.survey;
  StationList many;
  for (int i = 0; i < 40000; ++i) many.push_back(Sounding("S" + std::to_string(i), static_cast<float>(i), 11));
  const std::string bytes = BuildVesFile(many);
  ASSERT_GT(bytes.size(), 3 * kReadPieceBytes);
  const std::string path = t.path("big.ves");
  ASSERT_TRUE(WriteBytes(path, bytes));
  s.load(dtSounding, ThreeSoundings(), 0, true);
  const SurveyState before(s);

  // Cancelled when it asks the third time, before the third piece: it asks no more.
  t.q.cancelWorkAfter(2);
  EXPECT_FALSE(s.open({path}));
  EXPECT_EQ(t.q.workChecks, 3);
  EXPECT_TRUE(t.q.messages.empty());
  EXPECT_EQ(SurveyState(s), before);

  // Not cancelled, it asks before every piece and the end, and opens the file.
  EXPECT_TRUE(s.open({path}));
  EXPECT_GT(t.q.workChecks, 3);
  EXPECT_EQ(s.stations().size(), many.size());
}
