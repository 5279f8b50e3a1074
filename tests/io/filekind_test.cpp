#include "io/filekind.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "io/profiledat.h"
#include "io/profileread.h"
#include "reference_open.h"
#include "io/soundingdat.h"
#include "io/textconv.h"
#include "iotest_support.h"

using iotest::FileOf;
using iotest::ReadFixture;
using iotest::Sounding;
using iotest::VesStation;

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
  EXPECT_EQ(ves.stations, StationList{VesStation("S1", 0, {1.5f, 2.5f, 4}, {150, 225, 340})});
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
  // and resistivity, nothing in the other columns; Z kept.
  TStation t;
  t.Name = Gbk("一号点");
  t.X = -12.5f;
  t.Y = 3;
  t.Z = 9;
  t.AB2 = {1, 2, 3};
  t.Rho = {10, 20};
  const sdata s = SoundingStationOf(t);
  sdata expected = VesStation(Gbk("一号点"), -12.5f, {1, 2}, {10, 20});
  expected.Y = 3;
  expected.Z = 9;
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

// ---- Reading in pieces ----

// Counts the pieces and bytes a source gives.
class Counted : public ByteSource {
 public:
  explicit Counted(ByteSource& from) : from_(from) {}
  std::ptrdiff_t Read(char* buffer, std::size_t size, std::string& error) override {
    const std::ptrdiff_t n = from_.Read(buffer, size, error);
    if (n > 0) {
      ++pieces;
      bytes += static_cast<std::uint64_t>(n);
    }
    return n;
  }
  std::size_t pieces = 0;
  std::uint64_t bytes = 0;

 private:
  ByteSource& from_;
};

OpenResult OpenInPieces(std::string_view bytes, std::size_t pieceBytes) {
  MemorySource source(bytes);
  OpenControl control;
  control.pieceBytes = pieceBytes;
  return ReadSurveyFrom(source, "1", control, bytes.size());
}

// The files of the tests and of the fuzz corpus.
std::vector<std::string> KnownFiles() {
  std::vector<std::string> files;
  for (const char* name : {"ves_worked_example.ves", "sounding_worked_example.dat", "combined_profile_example.dat",
                           "fourpole_profile_example.dat"})
    files.push_back(ReadFixture(name));
  for (const char* folder : {"ves_reader", "dat_reader"}) {
    std::vector<fs::path> paths;
    for (const auto& entry : fs::directory_iterator(fs::path(FIXTURES_DIR) / ".." / ".." / "fuzz" / "corpus" / folder))
      paths.push_back(entry.path());
    std::sort(paths.begin(), paths.end());
    for (const fs::path& path : paths) {
      std::ifstream in(path, std::ios::binary);
      files.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
  }
  return files;
}

// Read in pieces of any size, every known file, every file cut short at any byte (at a stride
// for the long ones), with a zero byte or other bytes after it, opens as it did when the whole
// file was read first: the same stations, status, line and message.
TEST(OpenFile, PiecesOpenAsTheWholeFileDid) {
  std::vector<std::string> files = KnownFiles();
  ASSERT_EQ(files.size(), 20u);
  // Refused at line 1, with a zero byte far after it: the zero byte still makes it binary.
  std::string table = "x,y,rho\r\n";
  while (table.size() < 900) table += "1,2,3\r\n";
  files.push_back(table + std::string(1, '\0'));
  files.push_back(std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
  std::size_t compared = 0;
  for (std::size_t f = 0; f < files.size(); ++f) {
    const std::string& file = files[f];
    const std::size_t stride = file.size() < 1000 ? 1 : 251;
    std::vector<std::string> variants = {file, file + "\r\n 7 x\r\n", file + "\r\n\t \r\n"};
    for (std::size_t cut = 0; cut < file.size(); cut += stride) variants.push_back(file.substr(0, cut));
    for (std::size_t at = 0; at < file.size(); at += file.size() / 7 + 1) {
      variants.push_back(file);
      variants.back()[at] = '\0';
    }
    for (const std::string& bytes : variants) {
      const OpenResult whole = reference::ReadSurveyFile(bytes, "1");
      for (std::size_t piece : {1u, 3u, 64u, 4096u}) {
        if (piece == 1 && bytes.size() > 1000) continue;  // quadratic for the reference's walks
        const OpenResult streamed = OpenInPieces(bytes, piece);
        ASSERT_TRUE(reference::SameOpening(streamed, whole))
            << "file " << f << ", " << bytes.size() << " bytes in pieces of " << piece << ": \"" << streamed.message
            << "\" where reading it whole said \"" << whole.message << "\"";
        ++compared;
      }
    }
  }
  EXPECT_GT(compared, 10000u);
}

// Reading stopped by the user ends at the next piece: nothing more is read, nothing is opened,
// nothing is said; wherever it stops (in the stations, or after a refused header while the
// rest is looked through for zero bytes).
TEST(OpenFile, CancelStopsTheReadingAtTheNextPiece) {
  StationList stations;
  for (int i = 0; i < 450; ++i) {
    std::vector<float> ab2;
    std::vector<float> rho;
    for (int r = 0; r < 49; ++r) {
      ab2.push_back(1.5f + static_cast<float>(r));
      rho.push_back(100.0f + static_cast<float>(i + r));
    }
    stations.push_back(Sounding("S" + std::to_string(i), static_cast<float>(10 * i), ab2, rho));
  }
  std::string notOurs = "x,y,rho\r\n";
  while (notOurs.size() < 200000) notOurs += "1,2,3\r\n";
  struct Case {
    const char* what;
    std::string bytes;
  };
  const std::vector<Case> cases = {
      {".ves", BuildVesFile(stations)},
      {"four-pole line", FourPoleFile(5000)},
      {"refused at line 1, looked through", notOurs},
  };
  constexpr std::size_t kPiece = 4096;
  for (const Case& c : cases) {
    ASSERT_GT(c.bytes.size(), 45 * kPiece) << c.what;
    for (std::size_t after : {0u, 1u, 10u, 40u}) {
      MemorySource memory(c.bytes);
      Counted counted(memory);
      OpenControl control;
      control.pieceBytes = kPiece;
      control.stop = [&] { return counted.pieces >= after; };
      const OpenResult opened = ReadSurveyFrom(counted, "1", control, c.bytes.size());
      EXPECT_TRUE(opened.cancelled) << c.what << " after " << after;
      EXPECT_EQ(counted.pieces, after) << c.what;
      EXPECT_TRUE(opened.stations.empty()) << c.what;
      EXPECT_EQ(opened.message, "") << c.what;
    }
    // Never stopped, the same file opens whole.
    MemorySource memory(c.bytes);
    OpenControl control;
    control.pieceBytes = kPiece;
    control.stop = [] { return false; };
    EXPECT_FALSE(ReadSurveyFrom(memory, "1", control, c.bytes.size()).cancelled) << c.what;
  }
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

// A file that holds a zero byte is refused at the piece that holds it, with the line of the
// zero byte: however large the file, only the pieces up to it are read.
TEST_F(OpenPathTest, BinaryFilesAreRefusedAtTheirFirstZeroByte) {
  constexpr std::size_t kPiece = 65536;
  // Stations of a .ves file, 10 pieces of them, a zero byte in the fourth piece.
  std::string stations = FileOf({kIdent, kVesPurpose, "100000"});
  for (int i = 0; stations.size() < 10 * kPiece; ++i)
    stations += FileOf({"S" + std::to_string(i), "0 0 0", "W", "P", "O", "I", "2", " 1.5 150", " 2.5 160", " 1",
                        " 100 100", ""});
  std::string zeroInStations = stations;
  const std::size_t zeroAt = 3 * kPiece + 1000;
  const auto linesBefore = [](const std::string& bytes, std::size_t end) {
    return static_cast<std::size_t>(std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(end), '\n'));
  };
  zeroInStations[zeroAt] = '\0';
  // Bytes of no text: every value, zero among them within the first piece.
  std::string junk(4 * kPiece, '\0');
  std::uint32_t x = 2463534242u;
  for (char& c : junk) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    c = static_cast<char>(x >> 24);
  }
  const std::size_t junkZero = junk.find('\0');
  ASSERT_LT(junkZero, kPiece);
  const std::string vesHead = FileOf({kIdent, kVesPurpose, "1", "S1"});
  struct Case {
    const char* what;
    std::string path;
    std::size_t line;
    std::uint64_t mostRead;
  };
  const std::vector<Case> cases = {
      {"1 GiB of zero bytes after line 4", Sparse("zeros.ves", vesHead, off_t{1} << 30), 5, kPiece},
      {"a zero byte first", Write("zero-first.ves", std::string(1, '\0') + stations), 1, kPiece},
      {"a zero byte in line 1", Write("zero-in-line-1.ves", std::string("QL\0", 3) + stations), 1, kPiece},
      {"a zero byte in the fourth piece", Write("zero-later.ves", zeroInStations),
       linesBefore(stations, zeroAt) + 1, 4 * kPiece},
      {"a zero byte in the last byte", Write("zero-last.ves", stations + std::string(1, '\0')),
       linesBefore(stations, stations.size()) + 1, stations.size() + 1},
      {"binary junk", Write("junk.ves", junk),
       linesBefore(junk, junkZero) + 1, kPiece},
  };
  for (const Case& c : cases) {
    const int fd = ::open(c.path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0) << c.what;
    FileSource file(fd);
    Counted counted(file);
    OpenControl control;
    control.pieceBytes = kPiece;
    const OpenResult opened = ReadSurveyFrom(counted, "1", control);
    ::close(fd);
    EXPECT_EQ(opened.status, ReadStatus::Refused) << c.what;
    EXPECT_TRUE(opened.stations.empty()) << c.what;
    EXPECT_LE(counted.bytes, c.mostRead) << c.what;
    EXPECT_EQ(opened.faultLine, c.line) << c.what;
    EXPECT_EQ(opened.message,
              "打开文件失败。\n第 " + std::to_string(c.line) + " 行：有零字节，这是二进制文件，不是本程序的数据文件。")
        << c.what;
    if (fs::file_size(c.path) < (std::uint64_t{64} << 20)) {
      // As when the whole file was read first.
      std::ifstream in(c.path, std::ios::binary);
      const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      EXPECT_TRUE(reference::SameOpening(opened, reference::ReadSurveyFile(bytes, "1"))) << c.what;
    }
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
