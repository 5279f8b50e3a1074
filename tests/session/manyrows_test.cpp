// A station with more than 200 rows, as appends of one station on several days make it through
// the merge by name: the save asks before writing it, and the file it makes opens and takes
// further appends.
#include <gtest/gtest.h>

#include "io/vesfile.h"
#include "survey_support.h"

using namespace sessiontest;

namespace {
const std::string kManyRowsRead =
    "文件中有测点的读数多于 200 个，已全部读入。别的读 .ves 文件的程序可能只读每个测点的前 200 个读数。";
std::string ManyRowsQuestion(const std::string& names) {
  return "测点 " + names + " 将有多于 200 个读数。别的读 .ves 文件的程序可能只读每个测点的前 200 个读数。\n\n是否继续保存?";
}

// A sounding station of n rows with spacings first, first + 1, ...
sdata Station(const std::string& name, float x, int n, float first) {
  std::vector<std::vector<float>> rows;
  for (int i = 0; i < n; ++i) rows.push_back({first + static_cast<float>(i), 100.0f + static_cast<float>(i)});
  return BuildStation(dtSounding, name, x, rows);
}

std::size_t RowsOf(const std::vector<TStation>& stations, const std::string& name) {
  for (const TStation& s : stations)
    if (s.Name == name) return s.AB2.size();
  return 0;
}
}  // namespace

TEST(ManyRows, AppendAsksOpensWholeAndAppendsAgain) {
  Session t;
  const std::string path = t.path("line.ves");
  ASSERT_TRUE(WriteBytes(path, BuildVesFile({Station("S1", 0, 150, 1)})));
  const std::string before = *ReadBytes(path);

  // The second day's 60 readings of S1 would make 210: No writes nothing.
  Survey& s = t.survey;
  s.load(dtSounding, {Station("S1", 0, 60, 500), Station("S2", 50, 3, 1)});
  for (Answer answer : {Answer::No, Answer::Yes}) {
    SCOPED_TRACE(answer == Answer::Yes ? "yes" : "no");
    t.q.clear();
    t.q.saveAs(path);
    t.q.appendChoice(AppendChoice::Append);
    t.q.answer(answer);
    EXPECT_EQ(s.save(), answer == Answer::Yes);
    EXPECT_EQ(t.q.texts(), std::vector<std::string>{ManyRowsQuestion("“S1”")});
    EXPECT_EQ(t.q.messages[0].buttons, Message::Buttons::YesNo);
    if (answer == Answer::No) {
      EXPECT_EQ(ReadBytes(path), before);
      EXPECT_FALSE(s.saved());
    }
  }

  // The file reads whole, with one notice however many such stations it has.
  std::vector<std::string> notices;
  const VesReadResult read = ReadVesFile(*ReadBytes(path), [&](const Notice& n) { notices.push_back(n.text); });
  EXPECT_EQ(read.status, ReadStatus::Complete);
  EXPECT_EQ(RowsOf(read.stations, "S1"), 210u);
  EXPECT_EQ(notices, std::vector<std::string>{kManyRowsRead});

  // Opened, it shows the notice once and holds all 210 rows.
  Session other;
  Survey& o = other.survey;
  ASSERT_TRUE(o.open({path}));
  EXPECT_EQ(other.q.texts(), std::vector<std::string>{kManyRowsRead});
  ASSERT_EQ(o.stations().size(), 2u);
  EXPECT_EQ(o.stations()[0].Columns[colAB2].size(), 210u);

  // A later append of another station goes in, asking again about S1.
  Session third;
  third.survey.load(dtSounding, {Station("S3", 100, 3, 1)});
  third.q.saveAs(path);
  third.q.appendChoice(AppendChoice::Append);
  third.q.answer(Answer::Ok);  // the notice of the file read
  third.q.answer(Answer::Yes);
  ASSERT_TRUE(third.survey.save());
  EXPECT_EQ(third.q.texts(), (std::vector<std::string>{kManyRowsRead, ManyRowsQuestion("“S1”")}));
  const VesReadResult after = ReadVesFile(*ReadBytes(path), {});
  EXPECT_EQ(after.status, ReadStatus::Complete);
  EXPECT_EQ(RowsOf(after.stations, "S1"), 210u);
  EXPECT_EQ(RowsOf(after.stations, "S3"), 3u);

  // Saved whole (Replace), the opened survey asks too.
  other.q.clear();
  other.q.saveAs(other.path("copy.ves"));
  other.q.answer(Answer::No);
  EXPECT_FALSE(o.save());
  EXPECT_EQ(other.q.texts(), std::vector<std::string>{ManyRowsQuestion("“S1”")});
  EXPECT_FALSE(std::filesystem::exists(other.path("copy.ves")));
}

// 200 rows are what every reader takes: no question, no notice. A model of more than 200 layers
// is still no station block.
TEST(ManyRows, TwoHundredRowsAskNothingAndTooManyLayersStayRefused) {
  Session t;
  t.survey.load(dtSounding, {Station("S1", 0, 200, 1)});
  t.q.saveAs(t.path("a.ves"));
  ASSERT_TRUE(t.survey.save());
  EXPECT_TRUE(t.q.messages.empty());
  std::vector<std::string> notices;
  EXPECT_EQ(ReadVesFile(*ReadBytes(t.path("a.ves")), [&](const Notice& n) { notices.push_back(n.text); }).status,
            ReadStatus::Complete);
  EXPECT_TRUE(notices.empty());

  std::string bytes = *ReadBytes(t.path("a.ves"));
  const std::string model = " 1\r\n 100 100\r\n";
  const auto at = bytes.rfind(model);
  ASSERT_NE(at, std::string::npos);
  std::string layers = " 201\r\n";
  for (int i = 0; i < 201; ++i) layers += " 10 10\r\n";
  bytes.replace(at, model.size(), layers);
  const VesReadResult read = ReadVesFile(bytes, {});
  EXPECT_EQ(read.status, ReadStatus::Partial);
  EXPECT_TRUE(read.stations.empty());
}
