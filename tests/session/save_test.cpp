// The save command of each data type: the bytes written for units typed into the survey, the
// dialogs shown, the questions before an existing file is replaced, and the saved state.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "io/folders.h"
#include "io/textfile.h"
#include "io/vesfile.h"
#include "survey_support.h"

using namespace sessiontest;

namespace {
const std::string kSaveTitle = "保存输入的数据为...";
const std::string kFilter = "QL电测深数据格式(*.ves)|*.ves|DZD测深数据文件(*.dat)|*.dat";

// The line of the four-pole and combined examples, as the survey holds it after a commit.
sdata ExampleLine(const std::string& name, float x) {
  sdata s = BuildStation(dtFourPoleProfile, name, x, {{20, 50, 20, 123.4f}});
  s.Profile = name;
  return s;
}
}  // namespace

// Each worked example typed into the survey, committed and saved gives the example's bytes.
TEST(Save, TypedUnitsGiveTheWorkedExamples) {
  struct Case {
    DataType type;
    std::vector<std::pair<Field, std::string>> fields;
    std::vector<std::string> rows;
    std::string chosen;   // in the save dialog, or the folder chosen
    std::string written;  // relative to the temporary folder
    std::string fixture;
  };
  const Case cases[] = {
      {dtSounding, {}, {"1.5|150", "2.5|225", "4|340"}, "out", "out.ves", "ves_worked_example.ves"},
      {dtWaterFinding,
       {{Field::EX, "100"}},
       {"1.5|35.2|3.75|2.1|45|0.5|1.25", "2.5|40|4|2.3|50.5|0.8|1.5"},
       "out.txt",
       "out.dat",
       "sounding_worked_example.dat"},
      {dtFourPoleProfile, {{Field::EP, "100"}}, {"20|50|20|123.4"}, "lines", "lines/100.dat",
       "fourpole_profile_example.dat"},
      {dtCombinedProfile, {{Field::EP, "12"}}, {"20|50|20|123.4"}, "12.dat", "12.dat", "combined_profile_example.dat"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fixture);
    Session t;
    Survey& s = t.survey;
    ASSERT_TRUE(s.switchType(c.type));
    for (const auto& [field, text] : c.fields) s.editField(field, text);
    FillRows(s, c.rows);
    ASSERT_TRUE(s.commit());
    const StationList stations = s.stations();
    const int index = s.currentIndex();
    const bool folder = c.type == dtFourPoleProfile;
    if (folder) {
      ASSERT_TRUE(std::filesystem::create_directory(t.path(c.chosen)));
      t.q.folder(t.path(c.chosen));
    } else {
      t.q.saveAs(t.path(c.chosen));
    }
    const auto before = Snapshot(t.dir.path());

    EXPECT_TRUE(s.save());

    auto expected = before;
    expected[c.written] = Fixture(c.fixture);
    EXPECT_EQ(Snapshot(t.dir.path()), expected);
    EXPECT_TRUE(t.q.messages.empty());
    EXPECT_EQ(t.q.appendQuestions, 0);
    EXPECT_TRUE(s.saved());
    EXPECT_EQ(s.stations(), stations);
    EXPECT_EQ(s.currentIndex(), index);
    const std::string dataDir = DataDir(s.programPath());
    EXPECT_EQ(dataDir, t.path("Data/"));
    if (folder) {
      ASSERT_EQ(t.q.folderRequests.size(), 1u);
      EXPECT_EQ(t.q.folderRequests[0].title, kFolderTitle);
      EXPECT_EQ(t.q.folderRequests[0].startDir, dataDir);
      EXPECT_TRUE(t.q.saveDialogs.empty());
      continue;
    }
    ASSERT_EQ(t.q.saveDialogs.size(), 1u);
    const SaveDialog& shown = t.q.saveDialogs[0];
    EXPECT_EQ(shown.title, kSaveTitle);
    // A combined line is saved as its own type only.
    EXPECT_EQ(shown.filter, c.type == dtCombinedProfile ? "联合剖面数据文件(*.dat)|*.dat" : kFilter);
    EXPECT_EQ(shown.initialDir, dataDir);
    // The sounding .dat writer selects the .dat item while it runs and puts the old one back.
    EXPECT_EQ(shown.filterIndex, c.type == dtWaterFinding ? 2 : 1);
    EXPECT_EQ(s.saveDialog().filterIndex, 1);
    if (c.type == dtCombinedProfile) {
      EXPECT_EQ(shown.fileName, "12.dat");  // proposed from the line number
    }
    EXPECT_TRUE(t.q.folderRequests.empty());
  }
}

// The sounding saves: only a save that wrote the file makes the list saved; every other way out
// leaves the files as they were.
// A combined line's save dialog proposes the line's own file, in the combined type, from the
// first save on; the sounding dialogs keep their own type.
TEST(Save, CombinedLineProposesItsOwnFile) {
  struct Case {
    const char* what;
    std::string line;      // 剖面编号 while the branches are typed
    std::string lineNow;   // 剖面编号 at the save
    std::string proposed;  // the file name the first dialog proposes
  };
  const Case cases[] = {
      {"the line number typed", "7", "7", "7.dat"},
      {"剖面编号 emptied after the branches", "7", "", "7.dat"},
      {"no number anywhere: nothing proposed", "L7", "L7", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Session t;
    Survey& s = t.survey;
    ASSERT_TRUE(s.switchType(dtCombinedProfile));
    s.editField(Field::EP, c.line);
    for (int branch = 0; branch < 2; ++branch) {
      SetCount(s, 2);
      FillValues(s);
      ASSERT_TRUE(s.commit());
    }
    s.editField(Field::EP, c.lineNow);
    const std::string path = t.path("7.dat");
    t.q.saveAs(path);
    ASSERT_TRUE(s.save());
    ASSERT_EQ(t.q.saveDialogs.size(), 1u);
    EXPECT_EQ(t.q.saveDialogs[0].fileName, c.proposed);
    EXPECT_EQ(t.q.saveDialogs[0].filter, "联合剖面数据文件(*.dat)|*.dat");
    EXPECT_EQ(t.q.saveDialogs[0].filterIndex, 1);
    // The second save proposes the file written, in the same type.
    t.q.saveAs(path);
    t.q.answer(Answer::Replace);
    ASSERT_TRUE(s.save());
    ASSERT_EQ(t.q.saveDialogs.size(), 2u);
    EXPECT_EQ(t.q.saveDialogs[1].fileName, path);
    EXPECT_EQ(t.q.saveDialogs[1].filter, "联合剖面数据文件(*.dat)|*.dat");
    EXPECT_EQ(s.saveDialog().filter, kFilter);
  }
}

TEST(Save, SoundingSavedOnlyWhenTheFileIsWritten) {
  struct Case {
    const char* name;
    DataType type;
    std::function<void(Session&)> script;
    bool written;
    std::vector<std::string> texts;
  };
  const Case cases[] = {
      {"ves: dialog cancelled", dtSounding, [](Session& t) { t.q.cancelSave(); }, false, {}},
      {"dat: dialog cancelled", dtWaterFinding, [](Session& t) { t.q.cancelSave(); }, false, {}},
      {"ves: question cancelled", dtSounding,
       [](Session& t) {
         ASSERT_TRUE(WriteBytes(t.path("a.ves"), "old bytes\r\n"));
         t.q.saveAs(t.path("a.ves"));
         t.q.appendChoice(AppendChoice::Cancel);
       },
       false, {}},
      {"dat: replaced", dtWaterFinding,
       [](Session& t) {
         ASSERT_TRUE(WriteBytes(t.path("a.dat"), "old bytes\r\n"));
         t.q.saveAs(t.path("a.dat"));
         t.q.appendChoice(AppendChoice::Replace);
       },
       true, {}},
      {"ves: no such folder", dtSounding, [](Session& t) { t.q.saveAs(t.path("missing/a.ves")); }, false,
       {kSaveFailed}},
      {"ves: unreadable file to append to", dtSounding,
       [](Session& t) {
         ASSERT_TRUE(WriteBytes(t.path("a.ves"), "old bytes\r\n"));
         t.q.saveAs(t.path("a.ves"));
         t.q.appendChoice(AppendChoice::Append);
       },
       false, {"打开文件失败!\n数据格式不是QL软件支持的格式.", "数据文件无法完整读取，文件未作改动，新数据没有保存。"}},
      // Cancelled in the progress dialog before the rename, at each point the work asks.
      {"ves: append cancelled before the merge", dtSounding,
       [](Session& t) {
         ASSERT_TRUE(WriteBytes(t.path("a.ves"), BuildVesFile(ThreeSoundings())));
         t.q.saveAs(t.path("a.ves"));
         t.q.appendChoice(AppendChoice::Append);
         t.q.cancelWorkAfter(0);
       },
       false, {}},
      {"ves: append cancelled after the merge", dtSounding,
       [](Session& t) {
         ASSERT_TRUE(WriteBytes(t.path("a.ves"), BuildVesFile(ThreeSoundings())));
         t.q.saveAs(t.path("a.ves"));
         t.q.appendChoice(AppendChoice::Append);
         t.q.cancelWorkAfter(1);
       },
       false, {}},
      {"dat: replace cancelled", dtWaterFinding,
       [](Session& t) {
         ASSERT_TRUE(WriteBytes(t.path("a.dat"), "old bytes\r\n"));
         t.q.saveAs(t.path("a.dat"));
         t.q.appendChoice(AppendChoice::Replace);
         t.q.cancelWorkAfter(0);
       },
       false, {}},
      {"ves: new file cancelled", dtSounding,
       [](Session& t) {
         t.q.saveAs(t.path("new.ves"));
         t.q.cancelWorkAfter(0);
       },
       false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Session t;
    Survey& s = t.survey;
    s.load(c.type, {BuildStation(c.type, "100", 100, {{1.5f, 35.2f, 3.75f, 2.1f, 45, 0.5f, 1.25f}}),
                    BuildStation(c.type, "9", 9, {{1, 2, 0, 0, 0, 0, 0}})});
    c.script(t);
    const auto before = Snapshot(t.dir.path());
    const StationList stations = s.stations();

    EXPECT_EQ(s.save(), c.written);

    EXPECT_EQ(s.saved(), c.written);
    EXPECT_EQ(t.q.texts(), c.texts);
    EXPECT_EQ(s.stations(), stations);
    EXPECT_TRUE(t.q.scriptUsed());
    EXPECT_EQ(s.saveDialog().filterIndex, 1);
    if (c.written) {
      // Written behind the progress dialog.
      EXPECT_EQ(t.q.workLabels, std::vector<std::string>{"正在保存文件…"});
      EXPECT_NE(Snapshot(t.dir.path()), before);
    } else {
      EXPECT_EQ(Snapshot(t.dir.path()), before);
    }
  }
}

// Save As chooses a file afresh: the dialog opens in the survey's folder with no file proposed,
// an existing file chosen is proposed for appending, and the survey follows the new file only
// once it is written; cancelled, the next save proposes the old file for replacing as before.
TEST(Save, SaveAsProposesNoFileAndLinksTheNewOne) {
  Session t;
  Survey& s = t.survey;
  s.load(dtSounding, ThreeSoundings());
  t.q.saveAs(t.path("a.ves"));
  ASSERT_TRUE(s.save());
  ASSERT_EQ(s.file(), t.path("a.ves"));
  t.q.clear();

  t.q.cancelSave();
  EXPECT_FALSE(s.saveAs());
  ASSERT_EQ(t.q.saveDialogs.size(), 1u);
  EXPECT_EQ(t.q.saveDialogs[0].fileName, "");
  EXPECT_EQ(t.q.saveDialogs[0].initialDir, FolderOf(t.path("a.ves")));
  EXPECT_EQ(s.file(), t.path("a.ves"));
  t.q.clear();
  t.q.saveAs(t.path("a.ves"));
  t.q.appendChoice(AppendChoice::Replace);
  EXPECT_TRUE(s.save());
  EXPECT_EQ(s.saveDialog().proposedChoice, AppendChoice::Replace);
  t.q.clear();

  // The old file chosen again by Save As is not proposed for replacing.
  t.q.saveAs(t.path("a.ves"));
  t.q.appendChoice(AppendChoice::Cancel);
  EXPECT_FALSE(s.saveAs());
  EXPECT_EQ(s.saveDialog().proposedChoice, AppendChoice::Append);
  t.q.clear();

  t.q.saveAs(t.path("b.ves"));
  EXPECT_TRUE(s.saveAs());
  EXPECT_EQ(ReadBytes(t.path("b.ves")), BuildVesFile(ThreeSoundings()));
  EXPECT_EQ(ReadBytes(t.path("a.ves")), BuildVesFile(ThreeSoundings()));
  EXPECT_EQ(s.file(), t.path("b.ves"));
  EXPECT_TRUE(s.saved());
  EXPECT_TRUE(t.q.scriptUsed());
}

// An empty sounding list is refused with a message, before any dialog.
TEST(Save, EmptySoundingListIsRefused) {
  for (DataType type : {dtSounding, dtWaterFinding}) {
    SCOPED_TRACE(type);
    Session t;
    Survey& s = t.survey;
    ASSERT_TRUE(s.switchType(type));
    EXPECT_FALSE(s.save());
    ASSERT_EQ(t.q.messages.size(), 1u);
    EXPECT_EQ(t.q.messages[0].caption, "保存文件");
    EXPECT_EQ(t.q.messages[0].text, "没有数据可以保存。");
    EXPECT_TRUE(t.q.saveDialogs.empty());
  }
}

// A combined-profiling line never replaces another file silently: an existing file of the line
// number asks Replace, Skip or Cancel, and only Replace writes it.
TEST(Save, CombinedLineAsksBeforeReplacingAFile) {
  for (Answer answer : {Answer::Replace, Answer::Skip, Answer::Cancel}) {
    SCOPED_TRACE(static_cast<int>(answer));
    Session t;
    Survey& s = t.survey;
    s.load(dtCombinedProfile, {ExampleLine("A", 0)});
    const std::string target = t.path("12.dat");
    ASSERT_TRUE(WriteBytes(target, "other line\r\n"));
    t.q.saveAs(target);
    t.q.answer(answer);

    EXPECT_EQ(s.save(), answer == Answer::Replace);

    ASSERT_EQ(t.q.messages.size(), 1u);
    const Message& m = t.q.messages[0];
    EXPECT_EQ(m.caption, "警告");
    EXPECT_EQ(m.text, ReplaceLineFile(target));
    EXPECT_EQ(m.icon, Message::Icon::Question);
    EXPECT_EQ(m.buttons, Message::Buttons::ReplaceSkipCancel);
    EXPECT_EQ(ReadBytes(target), answer == Answer::Replace ? Fixture("combined_profile_example.dat") : "other line\r\n");
    EXPECT_EQ(s.saved(), answer == Answer::Replace);
    EXPECT_EQ(t.q.appendQuestions, 0);
  }
}

// The four-pole save asks for a folder and writes every line to its own file there; an existing
// file of a line asks Replace, Skip or Cancel. Skip leaves that file and goes on with the next
// line, Cancel stops; either way the list is not saved.
TEST(Save, FourPoleLinesAskBeforeReplacingAFile) {
  struct Case {
    Answer answer;
    bool first;   // the existing 100.dat is replaced
    bool second;  // 150.dat is written
    bool cancelled = false;  // Cancel pressed in the progress dialog of the first file
  };
  const Case cases[] = {
      {Answer::Replace, true, true},
      {Answer::Skip, false, true},
      {Answer::Cancel, false, false},
      // No line after the cancelled one is written either.
      {Answer::Replace, false, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.answer));
    Session t;
    Survey& s = t.survey;
    s.load(dtFourPoleProfile, {ExampleLine("100", 0), ExampleLine("150", 50)});
    const std::string folder = t.path("lines");
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    ASSERT_TRUE(WriteBytes(folder + "/100.dat", "old\r\n"));
    t.q.folder(folder);
    t.q.answer(c.answer);
    if (c.cancelled) t.q.cancelWorkAfter(0);
    const bool saves = c.answer == Answer::Replace && !c.cancelled;

    EXPECT_EQ(s.save(), saves);

    EXPECT_EQ(t.q.texts(), std::vector<std::string>{ReplaceLineFile(folder + "/100.dat")});
    EXPECT_EQ(t.q.messages[0].buttons, Message::Buttons::ReplaceSkipCancel);
    const std::string example = Fixture("fourpole_profile_example.dat");
    EXPECT_EQ(ReadBytes(folder + "/100.dat"), c.first ? example : "old\r\n");
    EXPECT_EQ(ReadBytes(folder + "/150.dat"), c.second ? std::optional<std::string>(example) : std::nullopt);
    EXPECT_EQ(s.saved(), saves);
    EXPECT_TRUE(t.q.saveDialogs.empty());
  }
}

// A cancelled folder chooser writes nothing.
TEST(Save, FourPoleFolderCancelledWritesNothing) {
  Session t;
  Survey& s = t.survey;
  s.load(dtFourPoleProfile, {ExampleLine("100", 0)});
  t.q.cancelFolder();
  const auto before = Snapshot(t.dir.path());
  EXPECT_FALSE(s.save());
  EXPECT_EQ(Snapshot(t.dir.path()), before);
  EXPECT_FALSE(s.saved());
  EXPECT_TRUE(t.q.messages.empty());
  ASSERT_EQ(t.q.folderRequests.size(), 1u);
  EXPECT_EQ(t.q.folderRequests[0].title, kFolderTitle);
}

// Lines whose names make one file name would leave only the later line in it: the save is
// refused before anything is written, naming the lines and the file; lines with files of
// their own are not held back by an existing file.
TEST(Save, FourPoleLinesSharingAFileAreRefused) {
  struct Case {
    const char* name;
    std::vector<std::string> lines;
    std::string expected;  // the message's first lines, "" when the save goes ahead
  };
  const Case cases[] = {
      {"decimals", {"1.5", "1.7", "3"}, "测线“1.5”和测线“1.7”都会保存为文件 %/1.dat。"},
      {"slash and underscore", {"a/b", "a_b"}, "测线“a/b”和测线“a_b”都会保存为文件 %/a_b.dat。"},
      {"three lines of one file",
       {"2.1", "2.2", "2.3"},
       "测线“2.1”和测线“2.2”都会保存为文件 %/2.dat。\n测线“2.1”和测线“2.3”都会保存为文件 %/2.dat。"},
      {"names of their own", {"1", "10", "1a"}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Session t;
    Survey& s = t.survey;
    StationList lines;
    for (std::size_t i = 0; i < c.lines.size(); ++i) lines.push_back(ExampleLine(c.lines[i], 50.0f * static_cast<float>(i)));
    s.load(dtFourPoleProfile, lines);
    const std::string folder = t.path("lines");
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    t.q.folder(folder);

    const bool refused = !c.expected.empty();
    EXPECT_EQ(s.save(), !refused);

    EXPECT_EQ(s.saved(), !refused);
    if (refused) {
      std::string expected = c.expected;
      for (std::size_t at; (at = expected.find('%')) != std::string::npos;) expected.replace(at, 1, folder);
      ASSERT_EQ(t.q.messages.size(), 1u);
      EXPECT_EQ(t.q.messages[0].text,
                expected + "\n\n一个文件只能保存一条测线。请修改测线号后再保存；没有写入任何文件。");
      EXPECT_TRUE(std::filesystem::is_empty(folder));
    } else {
      EXPECT_TRUE(t.q.messages.empty());
      for (const std::string& name : c.lines) EXPECT_TRUE(std::filesystem::exists(folder + "/" + name + ".dat")) << name;
    }
  }
}
