#include "io/filekind.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <string>
#include <utility>

#include "io/formatparts.h"
#include "io/profileread.h"
#include "io/soundingdat.h"
#include "io/textconv.h"
#include "io/textfile.h"
#include "io/textinput.h"
#include "io/templates.h"

namespace {

// ---- Where in the bytes ----

// Line numbers of increasing byte offsets, counted once through the bytes.
class LineCounter {
 public:
  explicit LineCounter(std::string_view bytes) : bytes_(bytes) {}
  // The 1-based line of the byte at pos; pos never below that of the previous call.
  std::size_t LineAt(std::size_t pos) {
    pos = std::min(pos, bytes_.size());
    line_ += static_cast<std::size_t>(std::count(bytes_.begin() + static_cast<std::ptrdiff_t>(counted_),
                                                 bytes_.begin() + static_cast<std::ptrdiff_t>(pos), '\n'));
    counted_ = pos;
    return line_;
  }

 private:
  std::string_view bytes_;
  std::size_t counted_ = 0;
  std::size_t line_ = 1;
};

std::size_t LineOf(std::string_view bytes, std::size_t pos) { return LineCounter(bytes).LineAt(pos); }

// The offset in bytes at which in stands (in reads bytes).
std::size_t PositionOf(const TextInput& in, std::string_view bytes) {
  TextInput probe = in;
  std::string_view rest;
  if (!probe.ReadLine(rest)) return bytes.size();
  return static_cast<std::size_t>(rest.data() - bytes.data());
}

// The line of the last byte before pos that is not white space: where a reader that stopped
// at pos read its last token or line. Line 1 when there is none.
std::size_t LineOfLastRead(std::string_view bytes, std::size_t pos) {
  while (pos > 0 && TextInput::IsWhiteSpace(bytes[pos - 1])) --pos;
  return LineOf(bytes, pos == 0 ? 0 : pos - 1);
}

struct Fault {
  std::size_t line = 0;
  std::string what;
};

// ---- The readers' messages ----

// Collects the messages of the readers' repairs, and the note on stations of more than 200
// rows, into notices, each text once. The readers' other messages (a refused header, a layer
// count above 200) tell what the opening's own message tells with its line.
NoticeFn CollectRepairs(std::vector<Notice>& notices) {
  return [&notices](const Notice& n) {
    const bool repair = n.text == msg::kBadSpacing || n.text == msg::kBadRho || n.text == msg::kBadThickness ||
                        n.text == msg::kBadLayerRho || n.text == msg::kManyRowsRead;
    if (repair && std::none_of(notices.begin(), notices.end(), [&](const Notice& m) { return m.text == n.text; }))
      notices.push_back(n);
  };
}

// ---- .ves ----

// Where ReadVesFile stopped, for a file it refused or read in part after stationsRead
// stations. Lines 1 and 2 were accepted by DetectFileKind.
Fault LocateVesFault(std::string_view bytes, std::size_t stationsRead) {
  TextInput in(bytes);
  std::string_view line;
  in.ReadLine(line);
  in.ReadLine(line);
  std::int32_t count = 0;
  if (!in.ReadLine(line) || !TryStrToInt(line, count) || count < 0)
    return {3, QT_TRANSLATE_NOOP("core", "应是测点个数（0 或更大的整数）。")};
  TStation station;
  for (std::size_t i = 0; i < stationsRead; ++i) ReadVesStation(in, station, {});
  const std::string ordinal = std::to_string(stationsRead + 1);
  if (stationsRead >= static_cast<std::size_t>(count)) {
    // Every counted station was read; something follows them.
    std::size_t pos = PositionOf(in, bytes);
    while (pos < bytes.size() && TextInput::IsWhiteSpace(bytes[pos])) ++pos;
    return {LineOf(bytes, pos), Fill(tmpl::kCountSaysMore, {std::to_string(count)})};
  }
  bool tooManyRows = false;
  ReadVesStation(in, station, [&](const Notice&) { tooManyRows = true; });
  const std::size_t at = LineOfLastRead(bytes, PositionOf(in, bytes));
  if (tooManyRows) return {at, Fill(tmpl::kTooManyRows, {ordinal})};
  if (in.OnlyWhiteSpaceLeft()) return {at, Fill(tmpl::kEndsInStation, {ordinal, std::to_string(count)})};
  return {at, Fill(tmpl::kStationNotNumber, {ordinal})};
}

void OpenVes(std::string_view bytes, OpenResult& result, const NoticeFn& notify) {
  const VesReadResult read = ReadVesFile(bytes, notify);
  result.stations.reserve(read.stations.size());
  for (const TStation& s : read.stations) result.stations.push_back(SoundingStationOf(s));
  if (read.status == ReadStatus::Complete) return;
  const Fault fault = LocateVesFault(bytes, read.stations.size());
  result.status = read.status;
  result.faultLine = fault.line;
  result.message = LineFault(fault.line, fault.what);
}

// ---- Sounding .dat ----

// Where ReadSoundingDat stopped and which records it passed over, found by walking the
// records as it does: after lines 1 and 2 and the first line that is not empty, records of
// twelve tokens, N and X1 to X3 integers, the others reals.
struct DatScan {
  Fault broken;                  // line 0 when every record was read
  std::size_t skipped = 0;       // records outside the format's ranges
  std::size_t firstSkipped = 0;  // the line of the first of them
};

// Whether a record is within the ranges ReadSoundingDat accepts.
bool InDatRanges(std::int32_t n, float ab2, float rho) {
  constexpr std::int32_t kMaxStationNumber = 10000;
  return n >= -kMaxStationNumber && n <= kMaxStationNumber && rho > 0.0f && static_cast<double>(ab2) >= 0.1;
}

DatScan ScanDatRecords(std::string_view bytes) {
  constexpr int kFields = 12;
  constexpr bool kInteger[kFields] = {true, false, false, false, false, false, false, false, false, true, true, true};
  DatScan scan;
  TextInput in(bytes);
  std::string_view line;
  in.ReadLine(line);
  in.ReadLine(line);
  do {
    if (!in.ReadLine(line)) return scan;
  } while (line.empty());

  LineCounter lines(bytes);
  std::string_view token;
  while (in.ReadToken(token)) {
    const std::size_t recordLine = lines.LineAt(static_cast<std::size_t>(token.data() - bytes.data()));
    std::int32_t n = 0;
    float ab2 = 0.0f;
    float rho = 0.0f;
    for (int k = 0; k < kFields; ++k) {
      if (k > 0 && !in.ReadToken(token)) {
        scan.broken = {LineOfLastRead(bytes, bytes.size()), QT_TRANSLATE_NOOP("core", "文件在一条记录的中间结束。")};
        return scan;
      }
      std::int32_t whole = 0;
      float real = 0.0f;
      if (kInteger[k] ? !TryStrToInt(token, whole) : !TryStrToFloat(token, real)) {
        scan.broken = {lines.LineAt(static_cast<std::size_t>(token.data() - bytes.data())),
                       kInteger[k] ? QT_TRANSLATE_NOOP("core", "这里应是整数。") : QT_TRANSLATE_NOOP("core", "这里应是数字。")};
        return scan;
      }
      if (k == 0) n = whole;
      if (k == 1) ab2 = real;
      if (k == 3) rho = real;
    }
    if (!InDatRanges(n, ab2, rho) && scan.skipped++ == 0) scan.firstSkipped = recordLine;
  }
  return scan;
}

void OpenSoundingDat(std::string_view bytes, OpenResult& result, const NoticeFn& notify) {
  DatReadResult read = ReadSoundingDat(bytes, notify);
  result.stations = std::move(read.stations);
  if (read.status == ReadStatus::Complete && read.skippedRecords == 0) return;
  const DatScan scan = ScanDatRecords(bytes);
  result.status = read.status == ReadStatus::Complete ? ReadStatus::Partial : read.status;
  if (read.status != ReadStatus::Complete) {
    result.faultLine = scan.broken.line;
    result.message = LineFault(scan.broken.line, scan.broken.what);
  }
  if (read.skippedRecords > 0) {
    if (result.faultLine == 0) result.faultLine = scan.firstSkipped;
    if (!result.message.empty()) result.message += '\n';
    result.message += LineFault(scan.firstSkipped, Fill(tmpl::kSkippedRecords, {std::to_string(read.skippedRecords)}));
  }
}

// ---- Profiles ----

void TakeProfile(ProfileReadResult read, OpenResult& result) {
  result.stations = std::move(read.stations);
  result.status = read.status;
  result.faultLine = read.faultLine;
  result.message = std::move(read.message);
}

// ---- Opening ----

const char* KindName(FileKind kind) {
  switch (kind) {
    case FileKind::Ves: return QT_TRANSLATE_NOOP("core", "VES 测深文件");
    case FileKind::SoundingDat: return QT_TRANSLATE_NOOP("core", "测深 .dat 文件");
    case FileKind::FourPoleProfile: return QT_TRANSLATE_NOOP("core", "对称四极剖面文件");
    case FileKind::CombinedProfile: return QT_TRANSLATE_NOOP("core", "联合剖面文件");
    default: return QT_TRANSLATE_NOOP("core", "未知文件");
  }
}

// Opens the bytes without the closing words of the message.
OpenResult OpenBytes(std::string_view bytes, std::string_view lineName) {
  OpenResult result;
  auto refuse = [&](std::size_t line, std::string what) {
    result.status = ReadStatus::Refused;
    result.faultLine = line;
    result.message = line == 0 ? std::move(what) : LineFault(line, what);
    return std::move(result);
  };
  if (bytes.empty()) return refuse(0, QT_TRANSLATE_NOOP("core", "文件是空的。"));
  if (const std::size_t zero = bytes.find('\0'); zero != std::string_view::npos)
    return refuse(LineOf(bytes, zero), QT_TRANSLATE_NOOP("core", "有零字节，这是二进制文件，不是本程序的数据文件。"));
  result.kind = DetectFileKind(bytes);
  if (result.kind == FileKind::Unknown) {
    TextInput in(bytes);
    if (!fileformat::HeaderLineHasMarks(in, {"QL"})) return refuse(1, QT_TRANSLATE_NOOP("core", "没有“QL”标记，不是本程序的数据文件。"));
    return refuse(2, QT_TRANSLATE_NOOP("core", "不是本程序的文件用途（VES 测深、测深、对称四极剖面或联合剖面）。"));
  }
  result.type = DataTypeOf(result.kind);
  const NoticeFn notify = CollectRepairs(result.notices);
  switch (result.kind) {
    case FileKind::Ves: OpenVes(bytes, result, notify); break;
    case FileKind::SoundingDat: OpenSoundingDat(bytes, result, notify); break;
    case FileKind::CombinedProfile: TakeProfile(ReadCombinedProfile(bytes), result); break;
    default: TakeProfile(ReadFourPoleProfile(bytes, lineName), result); break;
  }
  return result;
}

// "3 个测点", "2 条测线（共 40 个点）", "2 个分支（共 40 个点）".
std::string Describe(const StationList& stations, DataType type) {
  const std::string units = std::to_string(stations.size());
  if (IsSoundingType(type)) return Fill(tmpl::kStationsInFile, {units});
  std::size_t points = 0;
  for (const sdata& s : stations) points += s.Columns[colPointNo].size();
  return Fill(type == dtFourPoleProfile ? tmpl::kLinesInFile : tmpl::kBranchesInFile, {units, std::to_string(points)});
}

// Puts the message in its final words: what happened first, the question last.
OpenResult Conclude(OpenResult result) {
  if (result.status == ReadStatus::Partial && result.stations.empty()) result.status = ReadStatus::Refused;
  switch (result.status) {
    case ReadStatus::Complete: break;
    case ReadStatus::Partial:
      result.message = std::string(QT_TRANSLATE_NOOP("core", "文件只能读入一部分。")) + "\n" + result.message + "\n\n" +
                       Fill(tmpl::kOpenPart, {Describe(result.stations, result.type)});
      break;
    default:
      result.stations.clear();
      result.message = std::string(QT_TRANSLATE_NOOP("core", "打开文件失败。")) + "\n" + result.message;
      break;
  }
  return result;
}

OpenResult OutOfMemory() {
  OpenResult result;
  result.status = ReadStatus::Refused;
  result.message = kOutOfMemoryMessage;
  return result;
}

// ---- Files ----

std::string CannotOpenText(int error) {
  switch (error) {
    case ENOENT: return QT_TRANSLATE_NOOP("core", "文件不存在。");
    case EACCES:
    case EPERM: return QT_TRANSLATE_NOOP("core", "没有读取这个文件的权限。");
    default: return Fill(tmpl::kCannotOpenFile, {std::strerror(error)});
  }
}

// Sets result's status and message for a file that is not read; false.
bool FileFault(OpenResult& result, ReadStatus status, std::string message) {
  result.status = status;
  result.message = std::move(message);
  return false;
}

// Reads a whole file into bytes, a regular one of at most kMaxOpenedFileSize bytes, as every
// file of the program is read (ReadOpenFile); on failure result gets status CannotOpen or
// Refused and the message.
bool ReadDataFile(const std::string& path, std::string& bytes, OpenResult& result) {
  // Not blocking: opening a named pipe must not wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return FileFault(result, ReadStatus::CannotOpen, CannotOpenText(errno));
  struct stat st {};
  std::string error;
  ReadStatus status = ReadStatus::CannotOpen;
  if (::fstat(fd, &st) != 0) error = std::strerror(errno);
  else status = ReadOpenFile(fd, st, bytes, error, kMaxOpenedFileSize);
  ::close(fd);  // read only: nothing to lose when closing fails
  switch (status) {
    case ReadStatus::Complete: return true;
    case ReadStatus::NotAFile:
      return FileFault(result, ReadStatus::Refused,
                       S_ISDIR(st.st_mode) ? QT_TRANSLATE_NOOP("core", "这是文件夹，不是数据文件。")
                                           : QT_TRANSLATE_NOOP("core", "这不是普通文件（设备、管道或套接字），不能打开。"));
    case ReadStatus::TooLarge:
      return FileFault(result, ReadStatus::Refused, Fill(tmpl::kOpenTooLarge, {std::to_string(kMaxOpenedFileSize >> 20)}));
    case ReadStatus::OutOfMemory: throw std::bad_alloc();  // told as every memory failure of a command is
    default: return FileFault(result, ReadStatus::CannotOpen, Fill(tmpl::kReadFailed, {error}));
  }
}

// The four-pole line named after its file: the file name (the system's UTF-8) in GBK.
std::string LineNameOf(const std::string& path) {
  const std::string base = BaseNameWithoutExtension(path);
  try {
    return Utf8ToGbk(base);
  } catch (const GbkError&) {
    return base;  // a name GBK cannot hold keeps its bytes
  }
}

OpenResult OpenPath(const std::string& path) {
  OpenResult result;
  std::string bytes;
  if (!ReadDataFile(path, bytes, result)) return result;
  return OpenBytes(bytes, LineNameOf(path));
}

// The file's name without its folder, for messages about one of several files.
std::string FileNameOf(const std::string& path) {
  return path.substr(FolderOf(path).size());
}

}  // namespace

FileKind DetectFileKind(std::string_view bytes) {
  TextInput in(bytes);
  if (!fileformat::HeaderLineHasMarks(in, {"QL"})) return FileKind::Unknown;
  const auto line2Has = [&](std::initializer_list<std::string_view> marks) {
    TextInput line2 = in;
    return fileformat::HeaderLineHasMarks(line2, marks);
  };
  if (line2Has({fileformat::SoundingMark(), "VES"})) return FileKind::Ves;
  if (line2Has({fileformat::SoundingMark()})) return FileKind::SoundingDat;
  if (line2Has({CombinedProfileMark()})) return FileKind::CombinedProfile;
  if (line2Has({FourPoleProfileMark()})) return FileKind::FourPoleProfile;
  return FileKind::Unknown;
}

DataType DataTypeOf(FileKind kind) {
  switch (kind) {
    case FileKind::SoundingDat: return dtWaterFinding;
    case FileKind::FourPoleProfile: return dtFourPoleProfile;
    case FileKind::CombinedProfile: return dtCombinedProfile;
    default: return dtSounding;
  }
}

sdata SoundingStationOf(const TStation& station) {
  // The merge of the append path makes a station of a file station that finds no station of
  // its name; in a list of none it finds none.
  StationList made;
  MergeVesStations(made, std::vector<TStation>{station});
  return std::move(made.front());
}

OpenResult ReadSurveyFile(std::string_view bytes, std::string_view lineName) {
  try {
    return Conclude(OpenBytes(bytes, lineName));
  } catch (const std::bad_alloc&) {
    return OutOfMemory();
  }
}

OpenResult ReadSurveyFileAt(const std::string& path) {
  try {
    return Conclude(OpenPath(path));
  } catch (const std::bad_alloc&) {
    return OutOfMemory();
  }
}

OpenResult ReadSurveyFilesAt(const std::vector<std::string>& paths) {
  if (paths.size() == 1) return ReadSurveyFileAt(paths.front());
  try {
    OpenResult survey;
    survey.kind = FileKind::FourPoleProfile;
    survey.type = dtFourPoleProfile;
    for (const std::string& path : paths) {
      OpenResult one = OpenPath(path);
      if (one.status != ReadStatus::Refused && one.status != ReadStatus::CannotOpen &&
          one.kind != FileKind::FourPoleProfile) {
        one.stations.clear();
        one.status = ReadStatus::Refused;
        one.faultLine = 2;
        one.message = LineFault(2, Fill(tmpl::kNotFourPole, {KindName(one.kind)}));
      }
      for (sdata& line : one.stations) {
        line.X = static_cast<float>(survey.stations.size()) * kProfileXStep;
        survey.stations.push_back(std::move(line));
      }
      if (one.status == ReadStatus::Complete) continue;
      // What was read before the fault can be offered; with nothing read, the fault is the file's.
      survey.status = !survey.stations.empty()              ? ReadStatus::Partial
                      : one.status == ReadStatus::CannotOpen ? ReadStatus::CannotOpen
                                                             : ReadStatus::Refused;
      survey.faultFile = path;
      survey.faultLine = one.faultLine;
      survey.message = Fill(tmpl::kNamedFile, {FileNameOf(path), one.message});
      break;
    }
    if (paths.empty()) {
      survey.status = ReadStatus::Refused;
      survey.message = QT_TRANSLATE_NOOP("core", "没有选择文件。");
    }
    return Conclude(std::move(survey));
  } catch (const std::bad_alloc&) {
    return OutOfMemory();
  }
}
