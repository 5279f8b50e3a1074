#include "io/filekind.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "io/profiledat.h"
#include "io/profileread.h"
#include "io/soundingdat.h"
#include "io/textconv.h"
#include "iotest_support.h"

using iotest::FileOf;
using iotest::ReadFixture;
using iotest::Sounding;

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kIdent = "QL电法数据处理软件文件.";
constexpr std::string_view kVesPurpose = "文件用途:对称四极或三极电测深VES电阻率1D,2D反演及成图.";
constexpr std::string_view kDatPurpose = "文件用途:对称四极或三极电测深各参数参数断面图及电阻率1D,2D反演";
constexpr std::string_view kFourPolePurpose = "文件用途: 对称四极剖面法电阻率数据";
constexpr std::string_view kColumns = "N    AB/2   MN/2    RO   IP   R   TH  TD   ZP   X1  X2  X3";

bool StartsWith(const std::string& text, std::string_view start) { return text.rfind(start, 0) == 0; }
bool Contains(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

// A four-pole line's file as the writer makes it, with n points.
std::string FourPoleFile(int n) {
  std::string out = FileOf({kIdent, kFourPolePurpose, kColumns});
  for (int i = 1; i <= n; ++i)
    out += std::to_string(10 * i) + " 30 5 " + std::to_string(100 + i) + " -9999 -9999  -9999 -9999 -9999 -9999 -9999 -9999\r\n";
  return out;
}

// ---- The kind ----

TEST(FileKind, ToldByTheHeaderLines) {
  struct Case {
    const char* what;
    std::string bytes;
    FileKind kind;
  };
  const std::vector<Case> cases = {
      {".ves example", ReadFixture("ves_worked_example.ves"), FileKind::Ves},
      {"sounding .dat example", ReadFixture("sounding_worked_example.dat"), FileKind::SoundingDat},
      {"combined example", ReadFixture("combined_profile_example.dat"), FileKind::CombinedProfile},
      {"four-pole example", ReadFixture("fourpole_profile_example.dat"), FileKind::FourPoleProfile},
      {"LF line ends", FileOf({kIdent, kDatPurpose}, "\n"), FileKind::SoundingDat},
      {"empty", "", FileKind::Unknown},
      {"no QL in line 1", FileOf({"电法数据", kVesPurpose}), FileKind::Unknown},
      {"QL only in line 2", FileOf({"x", "QL VES 测深"}), FileKind::Unknown},
      {"VES without 测深", FileOf({kIdent, "VES"}), FileKind::Unknown},
      {"another QL file", FileOf({kIdent, "文件用途: 二维反演模型"}), FileKind::Unknown},
      {"one line only", FileOf({kIdent}), FileKind::Unknown},
  };
  for (const Case& c : cases) EXPECT_EQ(DetectFileKind(c.bytes), c.kind) << c.what;
  EXPECT_EQ(DataTypeOf(FileKind::Ves), dtSounding);
  EXPECT_EQ(DataTypeOf(FileKind::SoundingDat), dtWaterFinding);
  EXPECT_EQ(DataTypeOf(FileKind::FourPoleProfile), dtFourPoleProfile);
  EXPECT_EQ(DataTypeOf(FileKind::CombinedProfile), dtCombinedProfile);
}

// ---- Opening bytes ----

TEST(OpenFile, EachKindAsTheWindowHoldsIt) {
  const OpenResult ves = ReadSurveyFile(ReadFixture("ves_worked_example.ves"));
  EXPECT_EQ(ves.status, ReadStatus::Complete);
  EXPECT_EQ(ves.type, dtSounding);
  EXPECT_EQ(ves.stations, StationList{Sounding("S1", 0, {1.5f, 2.5f, 4}, {150, 225, 340})});
  EXPECT_TRUE(ves.message.empty());

  const OpenResult dat = ReadSurveyFile(ReadFixture("sounding_worked_example.dat"));
  EXPECT_EQ(dat.type, dtWaterFinding);
  EXPECT_EQ(dat.stations, ReadSoundingDat(ReadFixture("sounding_worked_example.dat"), {}).stations);

  const OpenResult line = ReadSurveyFile(ReadFixture("fourpole_profile_example.dat"), "100");
  EXPECT_EQ(line.type, dtFourPoleProfile);
  ASSERT_EQ(line.stations.size(), 1u);
  EXPECT_EQ(line.stations[0].Name, "100");
  EXPECT_EQ(ReadSurveyFile(ReadFixture("combined_profile_example.dat")).type, dtCombinedProfile);
}

TEST(OpenFile, VesConversionKeepsAllColumnsInStep) {
  // As the merge of the append path builds a station: rows limited to the shorter of AB/2
  // and resistivity, 0.0 per row in Columns[4..8], nothing in Columns[0] and [2].
  TStation t;
  t.Name = Gbk("一号点");
  t.X = -12.5f;
  t.Y = 3;
  t.Z = 9;
  t.AB2 = {1, 2, 3};
  t.Rho = {10, 20};
  const sdata s = SoundingStationOf(t);
  sdata expected = Sounding(Gbk("一号点"), -12.5f, {1, 2}, {10, 20});
  expected.Y = 3;
  expected.WorkArea = "Unknown";
  expected.Profile = "unknown";
  expected.Operator = "Me";
  expected.Instrument = "Karv";
  EXPECT_EQ(s, expected);
}

// Lines 1 to 3 of a .ves file, then the blocks.
std::string VesFile(int count, const std::string& blocks) {
  return FileOf({kIdent, kVesPurpose, std::to_string(count)}) + blocks;
}
// A block of 11 lines: name, coordinates, four texts, the row count (line 7 of the block),
// one row, the layer count, one layer, a blank line.
std::string VesBlock(std::string_view name) {
  return FileOf({name, "0 0 0", "W", "P", "O", "I", "1", " 1.5 150", " 1", " 100 100", ""});
}

TEST(OpenFile, FaultsNameTheirLineAndOfferWhatCameBefore) {
  const std::string datHeader = FileOf({kIdent, kDatPurpose, kColumns});
  const std::string record = "5 1.5 0.5 35 1 2 3 4 5 -9999 -9999 -9999\r\n";
  const std::string point = "1 2 3 4 -9999 -9999  -9999 -9999 -9999 -9999 1 -9999\r\n";
  struct Case {
    const char* what;
    std::string bytes;
    ReadStatus status;
    std::size_t line;
    const char* says;
    const char* offered;  // the stations the question offers; "" when refused
  };
  const std::vector<Case> cases = {
      // .ves: the reader of the append path, its fault found again.
      {"count not a number", FileOf({kIdent, kVesPurpose, "x"}), ReadStatus::Refused, 3, "测点个数", ""},
      {"no count line", FileOf({kIdent, kVesPurpose}), ReadStatus::Refused, 3, "测点个数", ""},
      {"negative count", FileOf({kIdent, kVesPurpose, "-1"}), ReadStatus::Refused, 3, "测点个数", ""},
      {"file ends in station 3", VesFile(3, VesBlock("A") + VesBlock("B")), ReadStatus::Partial, 24,
       "第 3 个测点的数据中结束", "2 个测点"},
      {"a word as a spacing", VesFile(2, VesBlock("A") + FileOf({"B", "0 0", "W", "P", "O", "I", "1", " x 150"})),
       ReadStatus::Partial, 22, "第 2 个测点的数据有误", "1 个测点"},
      {"250 layers", VesFile(2, VesBlock("A") + FileOf({"B", "0 0", "W", "P", "O", "I", "1", " 1 10", " 250"})),
       ReadStatus::Partial, 23, "多于 200", "1 个测点"},
      {"stations beyond the count", VesFile(1, VesBlock("A") + VesBlock("B")), ReadStatus::Partial, 15, "其后却还有数据",
       "1 个测点"},
      {"first station broken", VesFile(1, FileOf({"A", "0 zero"})), ReadStatus::Refused, 5, "第 1 个测点", ""},
      // Sounding .dat: the reader of the append path, its records walked again.
      {"a word as resistivity", datHeader + record + "6 1.5 0.5 abc 1 2 3 4 5 -9999 -9999 -9999\r\n",
       ReadStatus::Partial, 5, "应是数字", "1 个测点"},
      {"a fraction as N", datHeader + record + "6.5 1.5 0.5 1 1 2 3 4 5 -9999 -9999 -9999\r\n", ReadStatus::Partial, 5,
       "应是整数", "1 个测点"},
      {"cut inside a record", datHeader + record + record + "7 1.5 0.5", ReadStatus::Partial, 6, "中间结束", "1 个测点"},
      {"records out of range", datHeader + record + "20000 1.5 0.5 35 1 2 3 4 5 -9999 -9999 -9999\r\n" + record +
                                   "7 0.05 0.5 35 1 2 3 4 5 -9999 -9999 -9999\r\n",
       ReadStatus::Partial, 5, "有 2 条记录超出格式的范围", "1 个测点"},
      {"first record broken", datHeader + "x" + record, ReadStatus::Refused, 4, "应是整数", ""},
      // Profiles: points are counted.
      {"combined cut short", ReadFixture("combined_profile_example.dat") + point + "1 2", ReadStatus::Partial, 6, "只有 2 个",
       "1 个分支（共 2 个点）"},
      {"four-pole with a branch", ReadFixture("fourpole_profile_example.dat") + point, ReadStatus::Partial, 5, "X2",
       "1 条测线（共 1 个点）"},
  };
  for (const Case& c : cases) {
    const OpenResult opened = ReadSurveyFile(c.bytes, "1");
    EXPECT_EQ(opened.status, c.status) << c.what;
    EXPECT_EQ(opened.faultLine, c.line) << c.what;
    EXPECT_TRUE(Contains(opened.message, "\n第 " + std::to_string(c.line) + " 行：")) << c.what << ": " << opened.message;
    EXPECT_TRUE(Contains(opened.message, c.says)) << c.what << ": " << opened.message;
    EXPECT_TRUE(opened.notices.empty()) << c.what;  // the message says it, with the line
    if (c.status == ReadStatus::Partial) {
      EXPECT_TRUE(StartsWith(opened.message, "文件只能读入一部分。\n")) << c.what;
      EXPECT_TRUE(Contains(opened.message, "\n\n是否打开已经读到的 " + std::string(c.offered) + "？"))
          << c.what << ": " << opened.message;
    } else {
      EXPECT_TRUE(StartsWith(opened.message, "打开文件失败。\n")) << c.what;
      EXPECT_TRUE(opened.stations.empty()) << c.what;
    }
  }
}

TEST(OpenFile, VesRepairsAreToldOnceEach) {
  const OpenResult opened = ReadSurveyFile(VesFile(2, FileOf({"A", "0 0", "W", "P", "O", "I", "2", " 0 -1", " 2 -5", " 1",
                                                               " 100 100", "B", "5 0", "W", "P", "O", "I", "1",
                                                               " 1 -3", " 1", " 100 100"})));
  EXPECT_EQ(opened.status, ReadStatus::Complete);
  EXPECT_EQ(opened.notices, (std::vector<Notice>{{msg::kBadSpacing, Notice::Icon::Warning, false},
                                                 {msg::kBadRho, Notice::Icon::Warning, false}}));
  ASSERT_EQ(opened.stations.size(), 2u);
  EXPECT_EQ(opened.stations[0].Columns[colAB2], (std::vector<float>{50, 2}));
  EXPECT_EQ(opened.stations[1].Columns[colRho], (std::vector<float>{50}));
}

// ---- Opening files ----

class OpenPathTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("fieldinput-open-" + std::to_string(::getpid()) + "-" +
                                        testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::string Write(const std::string& name, const std::string& bytes) const {
    const std::string path = Path(name);
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    out.close();
    EXPECT_TRUE(out) << path;
    return path;
  }
  // A file of size bytes that starts with head: the rest is a hole of zero bytes.
  std::string Sparse(const std::string& name, const std::string& head, off_t size) const {
    const std::string path = Write(name, head);
    EXPECT_EQ(::truncate(path.c_str(), size), 0);
    return path;
  }
  fs::path dir_;
};

TEST_F(OpenPathTest, BadInputIsRefusedWithItsReason) {
  ASSERT_EQ(::mkfifo(Path("pipe.dat").c_str(), 0600), 0);
  fs::create_directories(Path("folder.dat"));
  const std::string fourPoleHead = FileOf({kIdent, kFourPolePurpose, kColumns});
  struct Case {
    const char* what;
    std::string path;
    ReadStatus status;
    std::size_t line;
    const char* says;
  };
  const std::vector<Case> cases = {
      {"missing", Path("missing.ves"), ReadStatus::CannotOpen, 0, "文件不存在"},
      {"empty", Write("empty.ves", ""), ReadStatus::Refused, 0, "文件是空的"},
      {"binary", Write("image.ves", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)), ReadStatus::Refused, 3,
       "二进制"},
      {"another program's text", Write("table.dat", "x,y,rho\r\n1,2,3\r\n"), ReadStatus::Refused, 1, "QL"},
      {"another QL file", Write("model.dat", FileOf({kIdent, "文件用途: 二维反演模型", "1 2 3"})), ReadStatus::Refused, 2,
       "文件用途"},
      {"folder", Path("folder.dat"), ReadStatus::Refused, 0, "文件夹"},
      {"named pipe", Path("pipe.dat"), ReadStatus::Refused, 0, "不是普通文件"},
      {"200 MB", Sparse("big.dat", fourPoleHead, off_t{200} << 20), ReadStatus::Refused, 4, "二进制"},
      {"above 1 GiB", Sparse("huge.dat", fourPoleHead, (off_t{1} << 30) + 1), ReadStatus::Refused, 0, "1024 MB"},
  };
  for (const Case& c : cases) {
    const OpenResult opened = ReadSurveyFileAt(c.path);
    EXPECT_EQ(opened.status, c.status) << c.what;
    EXPECT_EQ(opened.faultLine, c.line) << c.what;
    EXPECT_TRUE(opened.stations.empty()) << c.what;
    EXPECT_TRUE(StartsWith(opened.message, "打开文件失败。\n")) << c.what << ": " << opened.message;
    EXPECT_TRUE(Contains(opened.message, c.says)) << c.what << ": " << opened.message;
  }
}

TEST_F(OpenPathTest, KindComesFromTheHeaderNotTheExtension) {
  // A sounding .dat where a profile was expected, a profile file named .ves.
  const OpenResult dat = ReadSurveyFileAt(Write("12.dat", ReadFixture("sounding_worked_example.dat")));
  EXPECT_EQ(dat.status, ReadStatus::Complete);
  EXPECT_EQ(dat.kind, FileKind::SoundingDat);
  EXPECT_EQ(dat.type, dtWaterFinding);
  const OpenResult profile = ReadSurveyFileAt(Write("150.ves", ReadFixture("fourpole_profile_example.dat")));
  EXPECT_EQ(profile.kind, FileKind::FourPoleProfile);
  ASSERT_EQ(profile.stations.size(), 1u);
  EXPECT_EQ(profile.stations[0].Name, "150");
}

TEST_F(OpenPathTest, FileWithoutReadPermissionCannotBeOpened) {
  const std::string path = Write("secret.ves", ReadFixture("ves_worked_example.ves"));
  ASSERT_EQ(::chmod(path.c_str(), 0), 0);
  if (::geteuid() != 0) {
    const OpenResult opened = ReadSurveyFileAt(path);
    EXPECT_EQ(opened.status, ReadStatus::CannotOpen);
    EXPECT_TRUE(Contains(opened.message, "没有读取这个文件的权限")) << opened.message;
    return;
  }
  // Root reads every file: the opening runs in a child that has given up root.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(100);
    const OpenResult opened = ReadSurveyFileAt(path);
    const bool told = opened.status == ReadStatus::CannotOpen && Contains(opened.message, "没有读取这个文件的权限");
    ::_exit(told ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(OpenPathTest, SeveralFourPoleFilesAreOneSurveyOfLines) {
  const std::string a = Write("100.dat", FourPoleFile(3));
  const std::string b = Write("一号线.dat", FourPoleFile(0));
  const std::string c = Write("150.dat", FourPoleFile(2));

  const OpenResult survey = ReadSurveyFilesAt({a, b, c});
  EXPECT_EQ(survey.status, ReadStatus::Complete) << survey.message;
  EXPECT_EQ(survey.type, dtFourPoleProfile);
  ASSERT_EQ(survey.stations.size(), 3u);
  EXPECT_EQ(survey.stations[0].Name, "100");
  EXPECT_EQ(survey.stations[1].Name, Gbk("一号线"));  // the file name, in the model's GBK
  EXPECT_EQ(survey.stations[2].Name, "150");
  EXPECT_EQ(survey.stations[2].X, 2 * kProfileXStep);
  const int points[] = {3, 0, 2};
  for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(BuildFourPoleProfileFile(survey.stations[i]), FourPoleFile(points[i]));

  // A file of another kind among them, a broken one, a missing one: what came before is offered.
  const std::string sounding = Write("7.dat", ReadFixture("sounding_worked_example.dat"));
  const OpenResult mixed = ReadSurveyFilesAt({a, sounding, c});
  EXPECT_EQ(mixed.status, ReadStatus::Partial);
  EXPECT_EQ(mixed.faultFile, sounding);
  EXPECT_EQ(mixed.faultLine, 2u);
  EXPECT_EQ(mixed.stations.size(), 1u);
  EXPECT_TRUE(Contains(mixed.message, "文件“7.dat”：第 2 行：这是测深 .dat 文件")) << mixed.message;
  EXPECT_TRUE(Contains(mixed.message, "是否打开已经读到的 1 条测线（共 3 个点）？")) << mixed.message;

  std::string cut = FourPoleFile(2);
  cut.resize(cut.size() - 10);
  const OpenResult broken = ReadSurveyFilesAt({a, Write("9.dat", cut), c});
  EXPECT_EQ(broken.status, ReadStatus::Partial);
  EXPECT_EQ(broken.faultLine, 5u);
  ASSERT_EQ(broken.stations.size(), 2u);
  EXPECT_EQ(broken.stations[1].SpacingCount, 1);
  EXPECT_TRUE(Contains(broken.message, "2 条测线（共 4 个点）")) << broken.message;

  const OpenResult missing = ReadSurveyFilesAt({Path("none.dat"), a});
  EXPECT_EQ(missing.status, ReadStatus::CannotOpen);
  EXPECT_EQ(missing.faultFile, Path("none.dat"));
  EXPECT_TRUE(missing.stations.empty());
  EXPECT_EQ(ReadSurveyFilesAt({}).status, ReadStatus::Refused);
}

}  // namespace
