// The recovery file and the store of recovery files: a session written and read back is the
// same session; a truncated, damaged or nonsensical file is refused with its reason and never
// crashes the reader; a running program's files are never claimed by another; a program that
// ended without cleaning up leaves its file to be claimed once.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <set>

#include "io/vesfile.h"
#include "session/recovery.h"
#include "session/recoverystore.h"
#include "survey_support.h"

using namespace sessiontest;
namespace fs = std::filesystem;

namespace {

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string FileOf(const Survey& s) {
  return EncodeRecoveryFile(s.sessionState(), EncodeRecoveryStations(s.stations()));
}

// A survey in every corner the recovery file has to keep: stations, a shown station whose
// grid was edited and not updated, Chinese texts, the file it came from.
void MakeBusySurvey(Session& t) {
  Survey& s = t.survey;
  ASSERT_TRUE(WriteBytes(t.path("from.ves"), BuildVesFile(ThreeSoundings())));
  ASSERT_TRUE(s.open({t.path("from.ves")}));
  ASSERT_TRUE(s.next());
  s.editField(Field::EW, "北京西山");
  s.editCell(2, 3, "99.5");
  s.editCell(2, 2, "");
}

std::set<std::string> Names(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

// Runs body in a child process that then dies by SIGKILL, as a crashed program does.
void InKilledChild(const std::function<void()>& body) {
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    body();
    ::raise(SIGKILL);
    ::_exit(1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  ASSERT_EQ(WTERMSIG(status), SIGKILL);
}

}  // namespace

TEST(RecoveryFile, Crc32IsZlibs) {
  EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);
  EXPECT_EQ(Crc32(""), 0u);
  EXPECT_EQ(Crc32("6789", Crc32("12345")), 0xCBF43926u);
}

// Written and read back, then restored into a fresh survey: the same survey and form.
TEST(RecoveryFile, SessionComesBackExactly) {
  Session t;
  MakeBusySurvey(t);
  const Survey& s = t.survey;
  ASSERT_TRUE(s.browsing());

  const RecoveryReadResult read = DecodeRecoveryFile(FileOf(s));

  ASSERT_TRUE(read.ok) << read.error;
  EXPECT_EQ(read.session, s.sessionState());
  EXPECT_EQ(read.stations, s.stations());
  Session fresh;
  fresh.survey.restore(read.session, read.stations);
  EXPECT_EQ(SurveyState(fresh.survey), SurveyState(s));
  EXPECT_EQ(fresh.survey.sessionState(), s.sessionState());
  // The edit of the shown station is still an edit: leaving it asks to update it.
  fresh.q.answer(Answer::Cancel);
  EXPECT_FALSE(fresh.survey.next());
  EXPECT_EQ(fresh.q.texts(), std::vector<std::string>{kShownStationEdited});

  // Every data type's layout, an empty list, nothing shown.
  for (DataType type : {dtWaterFinding, dtFourPoleProfile, dtCombinedProfile}) {
    Session other;
    ASSERT_TRUE(other.survey.switchType(type));
    FillValues(other.survey);
    const RecoveryReadResult r = DecodeRecoveryFile(FileOf(other.survey));
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.session, other.survey.sessionState());
    EXPECT_TRUE(r.stations.empty());
  }
}

// Any prefix of a file, a byte more, a byte changed anywhere: refused with a reason.
TEST(RecoveryFile, TruncatedOrDamagedFilesAreRefused) {
  Session t;
  t.survey.load(dtSounding, {Sounding("S1", 0)});
  t.survey.editCell(2, 1, "12");
  const std::string file = FileOf(t.survey);
  ASSERT_TRUE(DecodeRecoveryFile(file).ok);
  for (std::size_t n = 0; n < file.size(); ++n) {
    const RecoveryReadResult r = DecodeRecoveryFile(file.substr(0, n));
    ASSERT_FALSE(r.ok) << n;
    EXPECT_FALSE(r.error.empty()) << n;
  }
  EXPECT_TRUE(Contains(DecodeRecoveryFile(file.substr(0, file.size() - 7)).error, "文件不完整")) ;
  // A byte after the base is the start of a record cut short: the base alone is read.
  const RecoveryReadResult torn = DecodeRecoveryFile(file + "x");
  ASSERT_TRUE(torn.ok) << torn.error;
  EXPECT_EQ(torn.ignoredBytes, 1u);
  EXPECT_EQ(torn.session, t.survey.sessionState());
  for (std::size_t i = 0; i < file.size(); ++i) {
    std::string damaged = file;
    damaged[i] = static_cast<char>(damaged[i] ^ 0x24);
    const RecoveryReadResult r = DecodeRecoveryFile(damaged);
    ASSERT_FALSE(r.ok) << i;
    EXPECT_FALSE(r.error.empty()) << i;
  }
  EXPECT_TRUE(Contains(DecodeRecoveryFile("").error, "不是本程序的恢复文件"));
  EXPECT_TRUE(Contains(DecodeRecoveryFile(std::string(500, '\0')).error, "不是本程序的恢复文件"));
  std::string body = file;
  body[file.size() - 1] = static_cast<char>(body[file.size() - 1] ^ 1);
  EXPECT_TRUE(Contains(DecodeRecoveryFile(body).error, "校验和不符"));
  std::string later = file;
  later[20] = static_cast<char>(kRecoveryVersion + 1);  // the version's low byte
  const std::string laterVersion = "版本是 " + std::to_string(kRecoveryVersion + 1);
  EXPECT_TRUE(Contains(DecodeRecoveryFile(later).error, laterVersion)) << DecodeRecoveryFile(later).error;
}

// The stations' Z and layered models come back with them, from the base and from a record.
TEST(RecoveryFile, StationModelsComeBack) {
  Session t;
  StationList stations = ThreeSoundings();
  stations[0].Z = 152.5f;
  stations[0].Model = {{2.5f, 8, 100}, {130, 40, 300}, ModelOrigin::File};
  stations[2].Model = {{4}, {55.5f}, ModelOrigin::Fitted};
  t.survey.load(dtSounding, stations);
  const RecoveryReadResult read = DecodeRecoveryFile(FileOf(t.survey));
  ASSERT_TRUE(read.ok) << read.error;
  EXPECT_EQ(read.stations, stations);

  RecoveryChange change;
  change.type = dtSounding;
  change.currentIndex = t.survey.sessionState().currentIndex;
  change.browsing = t.survey.sessionState().browsing;
  change.fields = t.survey.form().fields;
  change.stationsChanged = true;
  change.runs = {{0xFFFFFFFFu, 1}, {1, 2}};
  sdata edited = stations[0];
  edited.Model = {{3}, {77}, ModelOrigin::Edited};
  change.newStations = {edited};
  const RecoveryReadResult replayed = DecodeRecoveryFile(FileOf(t.survey) + EncodeRecoveryRecord(change));
  ASSERT_TRUE(replayed.ok) << replayed.error;
  ASSERT_EQ(replayed.records, 1u);
  EXPECT_EQ(replayed.stations, (StationList{edited, stations[1], stations[2]}));

  // An origin beyond the known ones is refused with its reason.
  std::string block = EncodeRecoveryStations({stations[0]});
  block[block.size() - 2 * (4 + 3 * 4) - 1] = 7;  // the origin: before two counts of 3 floats each
  const RecoveryReadResult refused = DecodeRecoveryFile(EncodeRecoveryFile(t.survey.sessionState(), block));
  EXPECT_TRUE(Contains(refused.error, "层状模型")) << refused.error;
}

// Files of the earlier versions, as programs before this one left them, are still read: version
// 2 (forms without the model accepted for a station being typed) with its records, and version
// 1 (the checksum before the base, nothing after it, stations that end after their columns:
// Z 0 and no model); a byte more is refused as then.
TEST(RecoveryFile, EarlierVersionsAreRead) {
  Session t;
  MakeBusySurvey(t);
  const std::string file = FileOf(t.survey);
  const std::size_t head = 20 + 4 + 8;
  const std::string base = file.substr(head, file.size() - head - 4);
  auto littleEndian = [](std::string& out, std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xff);
  };
  auto text = [&](std::string& out, const std::string& v) {
    littleEndian(out, v.size(), 4);
    out += v;
  };
  // A form as versions 1 and 2 wrote it: the fields, the branch, the grid; no model.
  auto oldForm = [&](const FormState& f) {
    std::string out;
    for (const std::string& field : f.fields) text(out, field);
    littleEndian(out, static_cast<std::uint32_t>(f.branch), 4);
    littleEndian(out, static_cast<std::uint32_t>(f.grid.rows()), 4);
    littleEndian(out, static_cast<std::uint32_t>(f.grid.cols()), 4);
    for (int r = 0; r < f.grid.rows(); ++r)
      for (int c = 0; c < f.grid.cols(); ++c) text(out, f.grid.cell(c, r));
    return out;
  };
  const SessionState session = t.survey.sessionState();
  const std::string block = EncodeRecoveryStations(t.survey.stations());
  ASSERT_EQ(base.substr(base.size() - block.size()), block);
  // Each form of this version ends with an empty model: origin 0 and two empty sequences.
  constexpr std::size_t kEmptyModel = 1 + 4 + 4;
  const std::string forms = oldForm(session.form) + oldForm(session.shownForm);
  const std::size_t small = base.size() - block.size() - forms.size() - 2 * kEmptyModel;
  const std::string oldSession = base.substr(0, small) + forms;

  // Version 2, with a record after the base.
  std::string v2Base = oldSession + block;
  std::string v2 = file.substr(0, 20);
  littleEndian(v2, 2, 4);
  littleEndian(v2, v2Base.size(), 8);
  v2 += v2Base;
  littleEndian(v2, Crc32(v2Base), 4);
  std::string change = base.substr(0, small);  // the small state, as a record begins
  for (const std::string& field : session.form.fields) text(change, field);
  littleEndian(change, static_cast<std::uint32_t>(session.form.branch), 4);
  change += std::string("\0\0\0", 3);  // grid, shown form and stations unchanged
  std::string size;
  littleEndian(size, change.size(), 4);
  v2 += size + change;
  littleEndian(v2, Crc32(change, Crc32(size)), 4);
  const RecoveryReadResult read2 = DecodeRecoveryFile(v2);
  ASSERT_TRUE(read2.ok) << read2.error;
  EXPECT_EQ(read2.records, 1u);
  EXPECT_EQ(read2.session, session);
  EXPECT_EQ(read2.stations, t.survey.stations());

  // Version 1: stations without what each adds at its end: f32 Z, u8 origin, two empty sequences.
  constexpr std::string_view kAdded("\0\0\0\0\0\0\0\0\0\0\0\0\0", 13);
  std::string oldBase = oldSession + block.substr(0, 4);
  for (const sdata& s : t.survey.stations()) {
    const std::string one = EncodeRecoveryStations({s}).substr(4);
    ASSERT_EQ(one.substr(one.size() - kAdded.size()), kAdded);
    oldBase += one.substr(0, one.size() - kAdded.size());
  }
  std::string v1 = file.substr(0, 20);
  littleEndian(v1, 1, 4);
  littleEndian(v1, oldBase.size(), 8);
  littleEndian(v1, Crc32(oldBase), 4);
  v1 += oldBase;
  const RecoveryReadResult read = DecodeRecoveryFile(v1);
  ASSERT_TRUE(read.ok) << read.error;
  EXPECT_EQ(read.session, session);
  EXPECT_EQ(read.stations, t.survey.stations());
  EXPECT_TRUE(Contains(DecodeRecoveryFile(v1 + "x").error, "多出 1 字节"));
  v1[v1.size() - 1] = static_cast<char>(v1.back() ^ 1);
  EXPECT_TRUE(Contains(DecodeRecoveryFile(v1).error, "校验和不符"));
}

// Files with a correct checksum whose contents the survey could not hold: refused, and no
// count in them makes the reader allocate beyond the file's size.
TEST(RecoveryFile, ContentsTheSurveyCannotHoldAreRefused) {
  Session t;
  t.survey.load(dtSounding, ThreeSoundings());
  const SessionState good = t.survey.sessionState();
  const std::string stations = EncodeRecoveryStations(ThreeSoundings());
  struct Case {
    const char* name;
    std::function<void(SessionState&, StationList&)> spoil;
    const char* says;
  };
  const Case cases[] = {
      {"unknown data type", [](SessionState& s, StationList&) { s.type = static_cast<DataType>(7); }, "数据类型不对"},
      {"grid of another type", [](SessionState& s, StationList&) { s.form.grid.setCols(5); }, "列数与数据类型不符"},
      {"index beyond the list", [](SessionState& s, StationList&) { s.currentIndex = 4; }, "当前测点的序号不对"},
      {"negative index", [](SessionState& s, StationList&) { s.currentIndex = -1; }, "当前测点的序号不对"},
      {"shown station beyond the list",
       [](SessionState& s, StationList&) {
         s.browsing = true;
         s.currentIndex = 3;
         s.shownForm = s.form;
       },
       "当前测点的序号不对"},
      {"branch 2", [](SessionState& s, StationList&) { s.form.branch = 2; }, "分支不对"},
      {"column shorter than the count", [](SessionState&, StationList& l) { l[1].Columns[colRho].pop_back(); },
       "数据个数与极距个数不一致"},
      {"negative count",
       [](SessionState&, StationList& l) {
         l[0].SpacingCount = -1;
         for (auto& c : l[0].Columns) c.clear();
       },
       "极距个数不对"},
      {"model with more thicknesses than resistivities",
       [](SessionState&, StationList& l) { l[2].Model = {{1, 2}, {10}, ModelOrigin::File}; }, "层状模型不对"},
      {"model of an unknown origin",
       [](SessionState&, StationList& l) { l[2].Model = {{1}, {10}, static_cast<ModelOrigin>(3)}; }, "层状模型不对"},
  };
  for (const Case& c : cases) {
    SessionState session = good;
    StationList list = ThreeSoundings();
    c.spoil(session, list);
    const RecoveryReadResult r = DecodeRecoveryFile(EncodeRecoveryFile(session, EncodeRecoveryStations(list)));
    EXPECT_FALSE(r.ok) << c.name;
    EXPECT_TRUE(Contains(r.error, c.says)) << c.name << ": " << r.error;
  }
  // Counts that claim more than the file holds.
  for (const std::uint32_t count : {0xFFFFFFFFu, 4u}) {
    std::string block = stations;
    for (int i = 0; i < 4; ++i) block[static_cast<std::size_t>(i)] = static_cast<char>((count >> (8 * i)) & 0xff);
    const RecoveryReadResult r = DecodeRecoveryFile(EncodeRecoveryFile(good, block));
    EXPECT_FALSE(r.ok) << count;
    EXPECT_TRUE(Contains(r.error, "损坏")) << r.error;
  }
}

// Two programs at once: each has its own file, neither claims the other's, and a clean end
// removes only its own.
TEST(RecoveryStore, RunningProgramsKeepTheirOwnFiles) {
  TempDir dir;
  const std::string folder = dir.path() + "/data/FieldInput/fieldinput";
  RecoveryStore a(folder);
  RecoveryStore b(folder);
  std::string error;
  ASSERT_TRUE(a.open(error)) << error;
  ASSERT_TRUE(b.open(error)) << error;
  EXPECT_NE(a.recoveryPath(), b.recoveryPath());
  ASSERT_TRUE(a.write("a", error)) << error;
  ASSERT_TRUE(b.write("b", error)) << error;
  EXPECT_TRUE(a.claimLeftSessions().empty());
  EXPECT_TRUE(b.claimLeftSessions().empty());
  EXPECT_EQ(ReadBytes(a.recoveryPath()), "a");
  EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
  EXPECT_EQ(fs::status(a.recoveryPath()).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(Names(folder).size(), 4u);  // two recovery files, two lock files

  a.finish();
  EXPECT_FALSE(fs::exists(a.recoveryPath()));
  EXPECT_EQ(ReadBytes(b.recoveryPath()), "b");
  EXPECT_EQ(Names(folder).size(), 2u);
  EXPECT_TRUE(b.claimLeftSessions().empty());
}

// A program killed with its recovery file written: the next program claims it, and while it
// holds the claim no third program sees it. Released, it is offered again; discarded, it goes.
TEST(RecoveryStore, KilledProgramsFileIsClaimedOnce) {
  TempDir dir;
  const std::string folder = dir.path() + "/rec";
  Session t;
  MakeBusySurvey(t);
  const std::string file = FileOf(t.survey);
  InKilledChild([&] {
    RecoveryStore store(folder);
    std::string error;
    if (!store.open(error) || !store.write(file, error)) ::_exit(2);
  });
  // And one killed before it wrote anything: only its lock file is left, and it is cleaned up.
  InKilledChild([&] {
    RecoveryStore store(folder);
    std::string error;
    if (!store.open(error)) ::_exit(2);
  });
  ASSERT_EQ(Names(folder).size(), 3u);

  RecoveryStore next(folder);
  RecoveryStore third(folder);
  std::string error;
  ASSERT_TRUE(next.open(error)) << error;
  ASSERT_TRUE(third.open(error)) << error;
  std::vector<LeftSession> left = next.claimLeftSessions();
  ASSERT_EQ(left.size(), 1u);
  EXPECT_TRUE(third.claimLeftSessions().empty());
  EXPECT_EQ(Names(folder).size(), 4u);  // the left session's pair and the two new lock files

  const RecoveryReadResult read = left[0].read();
  ASSERT_TRUE(read.ok) << read.error;
  EXPECT_EQ(read.session, t.survey.sessionState());
  EXPECT_EQ(read.stations, t.survey.stations());

  left[0].release();
  std::vector<LeftSession> again = third.claimLeftSessions();
  ASSERT_EQ(again.size(), 1u);
  EXPECT_EQ(again[0].path(), left[0].path());
  ASSERT_TRUE(again[0].discard(error)) << error;
  EXPECT_FALSE(fs::exists(again[0].path()));
  EXPECT_EQ(Names(folder).size(), 2u);
  EXPECT_TRUE(next.claimLeftSessions().empty());
}

// A damaged file left behind is set aside: kept with its bytes, never offered again.
TEST(RecoveryStore, DamagedFileIsSetAside) {
  TempDir dir;
  const std::string folder = dir.path() + "/rec";
  InKilledChild([&] {
    RecoveryStore store(folder);
    std::string error;
    if (!store.open(error) || !store.write("FIELDINPUT RECOVERY\n\x01\0\0\0garbage", error)) ::_exit(2);
  });
  RecoveryStore store(folder);
  std::string error;
  ASSERT_TRUE(store.open(error)) << error;
  std::vector<LeftSession> left = store.claimLeftSessions();
  ASSERT_EQ(left.size(), 1u);
  const RecoveryReadResult read = left[0].read();
  EXPECT_FALSE(read.ok);
  EXPECT_TRUE(Contains(read.error, "文件不完整")) << read.error;
  const std::optional<std::string> aside = left[0].setAside(error);
  ASSERT_TRUE(aside) << error;
  EXPECT_TRUE(aside->ends_with(".damaged"));
  EXPECT_EQ(ReadBytes(*aside)->substr(0, 20), "FIELDINPUT RECOVERY\n");
  EXPECT_TRUE(store.claimLeftSessions().empty());
}

// The worker writes every change, in order; a write that fails is told once.
TEST(RecoveryWriter, WritesEveryChangeAndTellsFailures) {
  TempDir dir;
  const std::string folder = dir.path() + "/rec";
  RecoveryStore store(folder);
  std::string error;
  ASSERT_TRUE(store.open(error)) << error;
  Session t;
  t.survey.load(dtSounding, ThreeSoundings());
  RecoveryTracker tracker(t.survey);
  RecoveryWriter writer(store);
  for (int i = 0; i < 50; ++i) {
    t.survey.editField(Field::EO, "operator " + std::to_string(i));
    writer.post(tracker.take());
  }
  ASSERT_TRUE(writer.flush());
  EXPECT_EQ(writer.takeFailure(), "");
  const RecoveryReadResult read = DecodeRecoveryFile(ReadBytes(store.recoveryPath()).value_or(""));
  ASSERT_TRUE(read.ok) << read.error;
  EXPECT_EQ(read.session.form.field(Field::EO), "operator 49");
  EXPECT_EQ(read.stations, ThreeSoundings());
  EXPECT_EQ(read.session, t.survey.sessionState());

  // The folder is gone: the write fails, the reason is told once.
  fs::remove_all(folder);
  t.survey.editField(Field::EO, "gone");
  writer.post(tracker.take());
  EXPECT_FALSE(writer.flush());
  EXPECT_FALSE(writer.takeFailure().empty());
  EXPECT_EQ(writer.takeFailure(), "");
  writer.stop();
  writer.post(tracker.take());  // ignored after stop
  EXPECT_FALSE(fs::exists(folder));
}
