// The recovery file as the autosave writes it: a base, then one record per autosave with what
// changed. Read back, it is the live session after every kind of change; cut short anywhere (a
// kill during a write), it is the session of the last complete record; a record with a wrong
// checksum or contents ends it there; it is written whole again when its records grow; and what
// a keystroke or a commit writes does not grow with the survey.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "io/vesfile.h"
#include "session/recovery.h"
#include "session/recoverystore.h"
#include "survey_support.h"

using namespace sessiontest;

namespace {

struct Recorded {
  SessionState session;
  StationList stations;
};

Recorded Live(const Survey& s) { return {s.sessionState(), s.stations()}; }

// A survey followed into a recovery file, as the autosave does it: after each change, what
// changed goes to the writer and is written.
class Journal {
 public:
  explicit Journal(Survey& survey, RecoveryLimits limits = {})
      : store_(dir_.path() + "/rec"), tracker_(survey), survey_(survey) {
    std::string error;
    EXPECT_TRUE(store_.open(error)) << error;
    writer_ = std::make_unique<RecoveryWriter>(store_, std::function<void(const std::string&)>(),
                                               std::function<void()>(), limits);
  }
  // One autosave; the file's size and the session after it are kept.
  void save() {
    writer_->post(tracker_.take());
    ASSERT_TRUE(writer_->flush()) << writer_->takeFailure();
    ends.push_back(std::filesystem::file_size(store_.recoveryPath()));
    states.push_back(Live(survey_));
  }
  std::string file() const { return ReadBytes(store_.recoveryPath()).value_or(""); }
  RecoveryReadResult read() const { return DecodeRecoveryFile(file()); }
  RecoveryStore& store() { return store_; }

  std::vector<std::uint64_t> ends;  // the file's size after each autosave
  std::vector<Recorded> states;      // the session after each autosave

 private:
  TempDir dir_;
  RecoveryStore store_;
  RecoveryTracker tracker_;
  Survey& survey_;
  std::unique_ptr<RecoveryWriter> writer_;
};

// Every kind of change the survey makes, each followed by check(): typing, pastes, rows
// inserted and deleted, models accepted and edited, commits (one out of x order), browsing, an update that moves a station,
// a deletion, a save, type switches, branches, a new line, opening a file, undo and redo of all.
void EveryKindOfChange(Session& t, const std::function<void(const std::string&)>& check) {
  Survey& s = t.survey;
  check("start");
  s.editCell(2, 1, "100");
  check("cell");
  for (const char* typed : {"1", "12", "120"}) s.editField(Field::EX, typed);
  check("field");
  ASSERT_TRUE(s.paste(2, 2, ResistivityBlock(12)));
  check("paste");
  s.insertRow(5);
  check("insert row");
  s.deleteRow(5);
  check("delete row");
  ASSERT_TRUE(s.setModel(StationModel{{4, 100}, {80, 20}, ModelOrigin::Fitted}));
  check("model accepted while typing");
  ASSERT_TRUE(s.commit());
  check("commit");
  ASSERT_TRUE(s.paste(2, 1, ResistivityBlock(13, 20)));
  ASSERT_TRUE(s.commit());  // S2 at x 50, before S1
  check("commit before");
  ASSERT_TRUE(s.previous());
  check("previous");
  s.editCell(2, 3, "999");
  s.editField(Field::EX, "500");
  check("shown station edited");
  ASSERT_TRUE(s.update());  // the list is out of x order now
  check("update");
  ASSERT_TRUE(s.setModel(StationModel{{7, 100}, {50, 300}, ModelOrigin::Edited}));
  check("shown station's model edited");
  ASSERT_TRUE(s.next());
  s.clearValues();
  ASSERT_TRUE(s.paste(2, 1, ResistivityBlock(13, 40)));
  s.editField(Field::EX, "300");
  ASSERT_TRUE(s.commit());  // puts the list in x order first
  check("commit reorders");
  ASSERT_TRUE(s.previous());
  t.q.answer(Answer::Yes);
  ASSERT_TRUE(s.deleteStation());
  check("delete station");
  t.q.saveAs(t.path("a.ves"));
  ASSERT_TRUE(s.save());
  check("save");
  s.defaultSpacings();
  s.editField(Field::EX, "700");
  ASSERT_TRUE(s.commit());
  check("commit after save");
  t.q.answer(Answer::No);
  ASSERT_TRUE(s.switchType(dtWaterFinding));
  check("switch type");
  ASSERT_TRUE(s.paste(1, 1, WaterFindingBlock()));
  s.editField(Field::EX, "80");
  ASSERT_TRUE(s.commit());
  check("water finding commit");
  t.q.answer(Answer::No);
  ASSERT_TRUE(s.switchType(dtCombinedProfile));
  s.chooseBranch(1);
  SetCount(s, 3);
  check("combined profile laid out");
  for (int r = 1; r <= 3; ++r) s.editCell(4, r, std::to_string(10 * r));
  ASSERT_TRUE(s.commit());
  check("branch commit");
  t.q.answer(Answer::No);
  ASSERT_TRUE(s.newLine());
  check("new line");
  while (s.canUndo()) {
    ASSERT_TRUE(s.undo());
    check("undo");
  }
  while (s.canRedo()) {
    ASSERT_TRUE(s.redo());
    check("redo");
  }
  ASSERT_TRUE(WriteBytes(t.path("b.ves"), BuildVesFile(ThreeSoundings())));
  t.q.answer(Answer::No);
  ASSERT_TRUE(s.open({t.path("b.ves")}));
  check("open");
  ASSERT_TRUE(s.next());
  s.editCell(2, 2, "5");
  check("browse the opened file");
}

// The session after autosave k (the first is the base), and a few places inside the record
// that follows it.
std::vector<std::uint64_t> InsideRecord(std::uint64_t begin, std::uint64_t end) {
  std::vector<std::uint64_t> at;
  for (std::uint64_t off : {std::uint64_t{1}, std::uint64_t{3}, std::uint64_t{4}, std::uint64_t{7},
                            std::uint64_t{8}, (end - begin) / 2, end - begin - 4, end - begin - 1})
    if (off > 0 && begin + off < end) at.push_back(begin + off);
  return at;
}

// A journal of a few stations and typing, for cutting and damaging.
void ShortSession(Session& t, Journal& j) {
  Survey& s = t.survey;
  j.save();
  for (int n = 0; n < 3; ++n) {
    for (int r = 1; r <= 13; ++r) s.editCell(2, r, std::to_string(10 * n + r));
    j.save();
    s.editField(Field::EX, std::to_string(50 * n + 10));
    ASSERT_TRUE(s.commit());
    j.save();
  }
  ASSERT_TRUE(s.previous());
  s.editCell(2, 2, "北京");
  j.save();
  ASSERT_TRUE(s.undo());
  j.save();
}

}  // namespace

// After every change of every kind, the file read back is the live session. The file grew by
// records, written whole again only for the file opened (a new session).
TEST(RecoveryRecords, FileIsTheLiveSessionAfterEveryKindOfChange) {
  Session t;
  Journal j(t.survey);
  std::size_t saves = 0;
  std::size_t records = 0;
  EveryKindOfChange(t, [&](const std::string& what) {
    SCOPED_TRACE(what + " #" + std::to_string(saves));
    j.save();
    ++saves;
    records = what == "start" || what == "open" ? 0 : records + 1;
    const RecoveryReadResult read = j.read();
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.ignoredBytes, 0u);
    EXPECT_EQ(read.records, records);
    EXPECT_EQ(read.session, t.survey.sessionState());
    EXPECT_EQ(read.stations, t.survey.stations());
    // And restored, the survey is the one that was typed.
    Session restored;
    restored.survey.restore(read.session, read.stations);
    EXPECT_EQ(SurveyState(restored.survey), SurveyState(t.survey));
  });
  EXPECT_GT(saves, 60u);
}

// Cut short at every record boundary and at places inside every record (a kill during the
// append): the session of the last complete record, the rest ignored. Cut inside the base:
// refused.
TEST(RecoveryRecords, CutShortGivesTheLastCompleteRecord) {
  Session t;
  Journal j(t.survey);
  ShortSession(t, j);
  const std::string file = j.file();
  ASSERT_EQ(j.ends.back(), file.size());
  for (std::size_t k = 0; k < j.ends.size(); ++k) {
    std::vector<std::uint64_t> cuts{j.ends[k]};
    if (k + 1 < j.ends.size()) {
      const std::vector<std::uint64_t> inside = InsideRecord(j.ends[k], j.ends[k + 1]);
      cuts.insert(cuts.end(), inside.begin(), inside.end());
    }
    for (std::uint64_t cut : cuts) {
      SCOPED_TRACE("after record " + std::to_string(k) + ", cut at " + std::to_string(cut));
      const RecoveryReadResult read = DecodeRecoveryFile(std::string_view(file).substr(0, cut));
      ASSERT_TRUE(read.ok) << read.error;
      EXPECT_EQ(read.records, k);
      EXPECT_EQ(read.ignoredBytes, cut - j.ends[k]);
      EXPECT_EQ(read.session, j.states[k].session);
      EXPECT_EQ(read.stations, j.states[k].stations);
    }
  }
  for (std::uint64_t cut : {std::uint64_t{0}, std::uint64_t{25}, j.ends[0] / 2, j.ends[0] - 1})
    EXPECT_FALSE(DecodeRecoveryFile(std::string_view(file).substr(0, cut)).ok) << cut;
}

// A byte changed in a record (its size, its contents or its checksum) ends the file before
// that record; changed in the base, the file is refused.
TEST(RecoveryRecords, DamagedRecordEndsTheFile) {
  Session t;
  Journal j(t.survey);
  ShortSession(t, j);
  const std::string file = j.file();
  for (std::size_t k = 0; k + 1 < j.ends.size(); ++k) {
    const std::uint64_t begin = j.ends[k], end = j.ends[k + 1];
    for (std::uint64_t at : {begin, begin + 2, begin + 4, (begin + end) / 2, end - 1}) {
      SCOPED_TRACE("record " + std::to_string(k + 1) + ", byte " + std::to_string(at));
      std::string damaged = file;
      damaged[at] = static_cast<char>(damaged[at] ^ 0x5a);
      const RecoveryReadResult read = DecodeRecoveryFile(damaged);
      ASSERT_TRUE(read.ok) << read.error;
      EXPECT_EQ(read.records, k);
      EXPECT_EQ(read.ignoredBytes, file.size() - begin);
      EXPECT_EQ(read.session, j.states[k].session);
      EXPECT_EQ(read.stations, j.states[k].stations);
    }
  }
  std::string base = file;
  base[j.ends[0] - 9] = static_cast<char>(base[j.ends[0] - 9] ^ 1);
  const RecoveryReadResult read = DecodeRecoveryFile(base);
  EXPECT_FALSE(read.ok);
  EXPECT_NE(read.error.find("校验和不符"), std::string::npos) << read.error;
}

// Records with a correct checksum whose change the session cannot take are not applied: the
// file ends before them, whatever follows.
TEST(RecoveryRecords, ChangesThatDoNotFitEndTheFile) {
  Session t;
  t.survey.load(dtSounding, ThreeSoundings());
  Journal j(t.survey);
  j.save();
  t.survey.editCell(2, 1, "7");
  j.save();
  const std::string file = j.file();
  RecoveryChange good;
  good.type = dtSounding;
  good.fields = t.survey.form().fields;
  good.status = "x";
  struct Case {
    const char* name;
    std::function<void(RecoveryChange&)> spoil;
  };
  const Case cases[] = {
      {"index beyond the list", [](RecoveryChange& c) { c.currentIndex = 4; }},
      {"shown station beyond the list", [](RecoveryChange& c) {
         c.browsing = true;
         c.currentIndex = 3;
       }},
      {"cell outside the grid", [](RecoveryChange& c) {
         c.grid = RecoveryChange::Grid::Cells;
         c.cells = {{2, 14, "1"}};
       }},
      {"grid of another type", [](RecoveryChange& c) {
         c.grid = RecoveryChange::Grid::Whole;
         c.wholeGrid = GridTexts(14, 5);
       }},
      {"unknown data type", [](RecoveryChange& c) { c.type = static_cast<DataType>(9); }},
      {"branch 2", [](RecoveryChange& c) { c.branch = 2; }},
      {"run beyond the list", [](RecoveryChange& c) {
         c.stationsChanged = true;
         c.runs = {{0, 2}, {2, 2}};
       }},
      {"a station taken twice", [](RecoveryChange& c) {
         c.stationsChanged = true;
         c.runs = {{0, 2}, {1, 1}};
       }},
      {"new stations missing", [](RecoveryChange& c) {
         c.stationsChanged = true;
         c.runs = {{0, 3}, {kNewStations, 2}};
         c.newStations = {Sounding("S9", 900)};
       }},
      {"a run of none", [](RecoveryChange& c) {
         c.stationsChanged = true;
         c.runs = {{0, 3}, {kNewStations, 0}};
       }},
  };
  RecoveryChange fine = good;
  fine.stationsChanged = true;
  fine.runs = {{1, 2}, {kNewStations, 1}};
  fine.newStations = {Sounding("S9", 900)};
  const std::string after = EncodeRecoveryRecord(fine);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecoveryChange bad = good;
    c.spoil(bad);
    const std::string record = EncodeRecoveryRecord(bad);
    const RecoveryReadResult read = DecodeRecoveryFile(file + record + after);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.records, 1u);
    EXPECT_EQ(read.ignoredBytes, record.size() + after.size());
    EXPECT_EQ(read.stations, ThreeSoundings());
  }
  // The same record without the fault is applied.
  const RecoveryReadResult read = DecodeRecoveryFile(file + after);
  ASSERT_TRUE(read.ok) << read.error;
  EXPECT_EQ(read.records, 2u);
  EXPECT_EQ(read.stations, (StationList{ThreeSoundings()[1], ThreeSoundings()[2], Sounding("S9", 900)}));
}

// The records are bounded: past a quarter of the file (at least the limit's bytes) or past the
// limit's count of station changes, the file is written whole again, and it still reads back
// as the live session.
TEST(RecoveryRecords, FileIsWrittenWholeWhenRecordsGrow) {
  struct Case {
    const char* name;
    RecoveryLimits limits;
    std::function<void(Survey&, int)> change;
    int times;
    std::size_t wholes;  // written whole after the first time
  };
  const Case cases[] = {
      {"typing past the bytes", {2000, 4096},
       [](Survey& s, int i) { s.editField(Field::EO, "operator " + std::to_string(i)); }, 60, 3},
      // Three commits are appended, the fourth written whole, and so on.
      {"commits past the count", {std::uint64_t{1} << 20, 3},
       [](Survey& s, int i) {
         for (int r = 1; r <= 13; ++r) s.editCell(2, r, std::to_string(i + r));
         s.editField(Field::EX, std::to_string(1000 + 10 * i));
         ASSERT_TRUE(s.commit());
       },
       8, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Session t;
    Survey& s = t.survey;
    s.load(dtSounding, ThreeSoundings());
    Journal j(s, c.limits);
    j.save();
    std::size_t wholes = 0;
    std::size_t lastRecords = 0;
    for (int i = 0; i < c.times; ++i) {
      c.change(s, i);
      j.save();
      const RecoveryReadResult read = j.read();
      ASSERT_TRUE(read.ok) << read.error;
      EXPECT_EQ(read.session, s.sessionState());
      EXPECT_EQ(read.stations, s.stations());
      if (read.records < lastRecords) ++wholes;
      lastRecords = read.records;
      // Never more records than the limit, give or take one.
      const std::uint64_t whole = EncodeRecoveryFile(s.sessionState(), EncodeRecoveryStations(s.stations())).size();
      EXPECT_LE(j.ends.back(), whole + std::max(whole / 4, c.limits.minRecordBytes) + 2000);
    }
    if (c.limits.maxStationRecords < 4096) {
      EXPECT_EQ(wholes, c.wholes);
    } else {
      EXPECT_GE(wholes, c.wholes);
    }
  }
}

// What a keystroke and a commit write is the change, whatever the size of the survey.
TEST(RecoveryRecords, WhatIsWrittenFollowsTheChangeNotTheSurvey) {
  struct Written {
    std::uint64_t base, keystroke, commit;
  };
  auto measure = [](int stations) {
    Session t;
    Survey& s = t.survey;
    StationList list;
    for (int i = 0; i < stations; ++i) list.push_back(Sounding("S" + std::to_string(i), 10.0f * static_cast<float>(i)));
    s.load(dtSounding, list);
    Journal j(s);
    j.save();
    Written w{};
    w.base = j.store().bytesWritten();
    s.editCell(2, 1, "1");
    j.save();
    w.keystroke = j.store().bytesWritten() - w.base;
    for (int r = 2; r <= 13; ++r) s.editCell(2, r, std::to_string(r));
    j.save();
    const std::uint64_t typed = j.store().bytesWritten();
    s.editField(Field::EX, "-5");  // the first place of the list
    EXPECT_TRUE(s.commit());
    j.save();
    w.commit = j.store().bytesWritten() - typed;
    const RecoveryReadResult read = j.read();
    EXPECT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.stations, s.stations());
    return w;
  };
  const Written small = measure(10);
  const Written large = measure(5000);
  EXPECT_GT(large.base, 100 * small.base);
  EXPECT_LT(large.keystroke, 1024u);
  EXPECT_LE(large.keystroke, small.keystroke + 8);  // the status line counts more stations
  EXPECT_LT(large.commit, 4096u);
  EXPECT_LE(large.commit, small.commit + 32);
}

// A program killed while it writes (appending records and now and then the whole file): the
// file it leaves reads back as a session it posted, no older than the last one it had written.
TEST(RecoveryRecords, KilledWhileWritingLeavesTheLastCompleteSession) {
  TempDir dir;
  const std::string folder = dir.path() + "/rec";
  int pipeFds[2];
  ASSERT_EQ(::pipe(pipeFds), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(pipeFds[0]);
    Session t;
    t.survey.load(dtSounding, ThreeSoundings());
    RecoveryStore store(folder);
    std::string error;
    if (!store.open(error)) ::_exit(2);
    RecoveryTracker tracker(t.survey);
    RecoveryWriter writer(store, {}, {}, RecoveryLimits{3000, 5});
    for (int i = 0;; ++i) {
      t.survey.editField(Field::EO, std::to_string(i));
      if (i % 7 == 0) {
        t.survey.editField(Field::EX, std::to_string(1000 + i));
        for (int r = 1; r <= 13; ++r) t.survey.editCell(2, r, std::to_string(r + i));
        if (!t.survey.commit()) ::_exit(3);
      }
      writer.post(tracker.take());
      if (i % 3 == 0 && writer.flush()) {
        // Written: i is in the file.
        if (::write(pipeFds[1], &i, sizeof i) != sizeof i) ::_exit(4);
      }
    }
  }
  ::close(pipeFds[1]);
  int written = -1;
  for (int n = 0; n < 40; ++n) ASSERT_EQ(::read(pipeFds[0], &written, sizeof written), static_cast<ssize_t>(sizeof written));
  ASSERT_EQ(::kill(child, SIGKILL), 0);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ::close(pipeFds[0]);

  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.path().extension() == ".rec") files.push_back(entry.path());
  ASSERT_EQ(files.size(), 1u);
  const RecoveryReadResult read = DecodeRecoveryFile(ReadBytes(files[0].string()).value_or(""));
  ASSERT_TRUE(read.ok) << read.error;
  const int last = std::stoi(read.session.form.field(Field::EO));
  EXPECT_GE(last, written);
  // The session is the one of that keystroke: the stations committed up to it.
  EXPECT_EQ(read.stations.size(), 3u + static_cast<std::size_t>(last / 7 + 1));
  EXPECT_EQ(read.stations.back().X, static_cast<float>(1000 + last / 7 * 7));
}
