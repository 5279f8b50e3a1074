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

struct Fault {
  std::size_t line = 0;
  std::string what;
};

void SetFault(OpenResult& result, ReadStatus status, const Fault& fault) {
  result.status = status;
  result.faultLine = fault.line;
  result.message = LineFault(fault.line, fault.what);
}

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

// Reads the stations after lines 1 and 2, each made at once into the window's station; where
// the reading stopped is found where in stands then.
void OpenVes(TextInput& in, OpenResult& result, const NoticeFn& notify, std::uint64_t sizeHint) {
  std::int32_t count = 0;
  if (!ReadVesCount(in, count)) {
    SetFault(result, ReadStatus::Refused, {3, QT_TRANSLATE_NOOP("core", "应是测点个数（0 或更大的整数）。")});
    return;
  }
  // Room for the stations counted, but never more than the file's size in bytes: a count that
  // no blocks bear out costs little.
  result.stations.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(
      static_cast<std::uint64_t>(count), sizeHint / sizeof(sdata))));
  bool tooManyRows = false;  // told only for a count above 200, which ends the reading
  const NoticeFn told = [&](const Notice& n) {
    if (n.text == msg::kBadFormat) tooManyRows = true;
    notify(n);
  };
  const ReadStatus status = ReadVesStations(in, count, told, [&](const TStation& station) {
    result.stations.push_back(SoundingStationOf(station));
  });
  if (status == ReadStatus::Complete) return;
  const std::size_t read = result.stations.size();
  if (read >= static_cast<std::size_t>(count)) {
    // Every counted station was read; in stands at what follows them.
    SetFault(result, status, {in.Line(), Fill(tmpl::kCountSaysMore, {std::to_string(count)})});
    return;
  }
  const std::string ordinal = std::to_string(read + 1);
  const std::size_t at = in.LineOfLastRead();
  if (tooManyRows) SetFault(result, status, {at, Fill(tmpl::kTooManyRows, {ordinal})});
  else if (in.OnlyWhiteSpaceLeft()) SetFault(result, status, {at, Fill(tmpl::kEndsInStation, {ordinal, std::to_string(count)})});
  else SetFault(result, status, {at, Fill(tmpl::kStationNotNumber, {ordinal})});
}

// ---- Sounding .dat ----

const char* DatFaultText(DatFault fault) {
  switch (fault) {
    case DatFault::EndsInRecord: return QT_TRANSLATE_NOOP("core", "文件在一条记录的中间结束。");
    case DatFault::NotInteger: return QT_TRANSLATE_NOOP("core", "这里应是整数。");
    default: return QT_TRANSLATE_NOOP("core", "这里应是数字。");
  }
}

void OpenSoundingDat(TextInput& in, OpenResult& result) {
  DatReadResult read;
  ReadSoundingDatRecords(in, read);
  result.stations = std::move(read.stations);
  if (read.status == ReadStatus::Complete && read.skippedRecords == 0) return;
  result.status = read.status == ReadStatus::Complete ? ReadStatus::Partial : read.status;
  if (read.status != ReadStatus::Complete) {
    result.faultLine = read.faultLine;
    result.message = LineFault(read.faultLine, DatFaultText(read.fault));
  }
  if (read.skippedRecords > 0) {
    if (result.faultLine == 0) result.faultLine = read.firstSkippedLine;
    if (!result.message.empty()) result.message += '\n';
    result.message +=
        LineFault(read.firstSkippedLine, Fill(tmpl::kSkippedRecords, {std::to_string(read.skippedRecords)}));
  }
}

// ---- Profiles ----

// A profile file does not hold its line's number, its name does: each unit without a 剖面编号
// takes the file's line name, so that the window shows it and a save proposes the same file.
void TakeProfile(ProfileReadResult read, OpenResult& result, std::string_view lineName) {
  result.stations = std::move(read.stations);
  for (sdata& unit : result.stations)
    if (unit.Profile.empty()) unit.Profile = std::string(lineName);
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

// A file that is not read (further) for a reason of its own.
OpenResult FileFault(ReadStatus status, std::string message) {
  OpenResult result;
  result.status = status;
  result.message = std::move(message);
  return result;
}

// A refused file, for what at line (0: not at a line).
OpenResult Refusal(std::size_t line, std::string what) {
  OpenResult result = FileFault(ReadStatus::Refused, line == 0 ? std::move(what) : LineFault(line, what));
  result.faultLine = line;
  return result;
}

std::string TooLargeText() { return Fill(tmpl::kOpenTooLarge, {std::to_string(kMaxOpenedFileSize >> 20)}); }

// The kind told by lines 1 and 2, read from in; ql says whether line 1 held "QL".
FileKind ReadFileKind(TextInput& in, bool& ql) {
  ql = fileformat::HeaderLineHasMarks(in, {"QL"});
  if (!ql) return FileKind::Unknown;
  std::string_view line2;
  if (!in.ReadLineStart(line2, fileformat::kExaminedHeaderBytes)) line2 = {};
  if (fileformat::HasMarks(line2, {fileformat::SoundingMark(), "VES"})) return FileKind::Ves;
  if (fileformat::HasMarks(line2, {fileformat::SoundingMark()})) return FileKind::SoundingDat;
  if (fileformat::HasMarks(line2, {CombinedProfileMark()})) return FileKind::CombinedProfile;
  if (fileformat::HasMarks(line2, {FourPoleProfileMark()})) return FileKind::FourPoleProfile;
  return FileKind::Unknown;
}

// Opens the text that in reads, without the closing words of the message.
OpenResult OpenText(TextInput& in, std::string_view lineName, std::uint64_t sizeHint) {
  bool ql = false;
  const FileKind kind = ReadFileKind(in, ql);
  if (kind == FileKind::Unknown) {
    if (!ql) return Refusal(1, QT_TRANSLATE_NOOP("core", "没有“QL”标记，不是本程序的数据文件。"));
    return Refusal(2, QT_TRANSLATE_NOOP("core", "不是本程序的文件用途（VES 测深、测深、对称四极剖面或联合剖面）。"));
  }
  OpenResult result;
  result.kind = kind;
  result.type = DataTypeOf(kind);
  const NoticeFn notify = CollectRepairs(result.notices);
  switch (kind) {
    case FileKind::Ves: OpenVes(in, result, notify, sizeHint); break;
    case FileKind::SoundingDat: OpenSoundingDat(in, result); break;
    case FileKind::CombinedProfile: TakeProfile(ReadCombinedProfileAfterMarks(in), result, lineName); break;
    default: TakeProfile(ReadFourPoleProfileAfterMarks(in, lineName), result, lineName); break;
  }
  return result;
}

// The pieces of a file being opened, each checked as it arrives: a zero byte (a binary file),
// more than kMaxOpenedFileSize bytes, a read error or the user's cancel halts the reading.
class CheckedPieces : public TextSource {
 public:
  enum class Halt { None, Cancelled, ZeroByte, ReadError, TooLarge };

  CheckedPieces(ByteSource& from, const OpenControl& control) : from_(from), control_(control) {}

  bool More(std::string& bytes) override {
    if (halt_ != Halt::None || ended_) return false;
    if (control_.stop && control_.stop()) return Stop(Halt::Cancelled);
    const std::size_t held = bytes.size();
    const std::size_t size = std::max<std::size_t>(control_.pieceBytes, 1);
    bytes.resize(held + size);
    const std::ptrdiff_t n = from_.Read(bytes.data() + held, size, error_);
    bytes.resize(held + static_cast<std::size_t>(std::max<std::ptrdiff_t>(n, 0)));
    if (n < 0) return Stop(Halt::ReadError);
    if (n == 0) {
      ended_ = true;
      return false;
    }
    read_ += static_cast<std::uint64_t>(n);
    const std::string_view piece(bytes.data() + held, static_cast<std::size_t>(n));
    const std::size_t zero = std::min(piece.find('\0'), piece.size());
    lineEnds_ += static_cast<std::size_t>(std::count(piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(zero), '\n'));
    const Halt halt = zero < piece.size() ? Halt::ZeroByte : read_ > kMaxOpenedFileSize ? Halt::TooLarge : Halt::None;
    if (halt == Halt::None) return true;
    bytes.resize(held);
    return Stop(halt);
  }

  // Reads the rest, holding none of it: a zero byte after where the readers stopped still
  // makes the file binary.
  void Drain() {
    std::string piece;
    while (More(piece)) piece.clear();
  }

  Halt halt() const { return halt_; }
  std::uint64_t bytesRead() const { return read_; }
  // The 1-based line of the zero byte that halted the reading.
  std::size_t zeroLine() const { return lineEnds_ + 1; }
  const std::string& error() const { return error_; }

 private:
  bool Stop(Halt halt) {
    halt_ = halt;
    return false;
  }

  ByteSource& from_;
  const OpenControl& control_;
  Halt halt_ = Halt::None;
  bool ended_ = false;
  std::uint64_t read_ = 0;
  std::size_t lineEnds_ = 0;  // LF bytes in the pieces read, up to a zero byte
  std::string error_;
};

// Opens the bytes from, as they come, without the closing words of the message.
OpenResult OpenFrom(ByteSource& from, std::string_view lineName, const OpenControl& control, std::uint64_t sizeHint) {
  CheckedPieces pieces(from, control);
  OpenResult result;
  {
    TextInput in(pieces);
    result = OpenText(in, lineName, sizeHint);
  }
  pieces.Drain();
  switch (pieces.halt()) {
    case CheckedPieces::Halt::Cancelled: {
      OpenResult cancelled;
      cancelled.status = ReadStatus::Refused;
      cancelled.cancelled = true;
      return cancelled;
    }
    case CheckedPieces::Halt::ZeroByte:
      return Refusal(pieces.zeroLine(), QT_TRANSLATE_NOOP("core", "有零字节，这是二进制文件，不是本程序的数据文件。"));
    case CheckedPieces::Halt::ReadError: return FileFault(ReadStatus::CannotOpen, Fill(tmpl::kReadFailed, {pieces.error()}));
    case CheckedPieces::Halt::TooLarge: return Refusal(0, TooLargeText());
    case CheckedPieces::Halt::None: break;
  }
  if (pieces.bytesRead() == 0) return Refusal(0, QT_TRANSLATE_NOOP("core", "文件是空的。"));
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
  if (result.cancelled) return result;
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

// The four-pole line named after its file: the file name (the system's UTF-8) in GBK.
std::string LineNameOf(const std::string& path) {
  const std::string base = BaseNameWithoutExtension(path);
  try {
    return Utf8ToGbk(base);
  } catch (const GbkError&) {
    return base;  // a name GBK cannot hold keeps its bytes
  }
}

// Opens the file at path: a regular file of at most kMaxOpenedFileSize bytes, read as it comes.
OpenResult OpenPath(const std::string& path, const OpenControl& control) {
  // Not blocking: opening a named pipe must not wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return FileFault(ReadStatus::CannotOpen, CannotOpenText(errno));
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }  // read only: nothing to lose when closing fails
  } closer{fd};
  struct stat st {};
  if (::fstat(fd, &st) != 0) return FileFault(ReadStatus::CannotOpen, Fill(tmpl::kReadFailed, {std::strerror(errno)}));
  if (!S_ISREG(st.st_mode))
    return FileFault(ReadStatus::Refused, S_ISDIR(st.st_mode)
                                              ? QT_TRANSLATE_NOOP("core", "这是文件夹，不是数据文件。")
                                              : QT_TRANSLATE_NOOP("core", "这不是普通文件（设备、管道或套接字），不能打开。"));
  if (st.st_size < 0 || static_cast<std::uint64_t>(st.st_size) > kMaxOpenedFileSize) return Refusal(0, TooLargeText());
  FileSource source(fd);
  return OpenFrom(source, LineNameOf(path), control, static_cast<std::uint64_t>(st.st_size));
}

// The file's name without its folder, for messages about one of several files.
std::string FileNameOf(const std::string& path) {
  return path.substr(FolderOf(path).size());
}

}  // namespace

FileKind DetectFileKind(std::string_view bytes) {
  TextInput in(bytes);
  bool ql = false;
  return ReadFileKind(in, ql);
}

DataType DataTypeOf(FileKind kind) {
  switch (kind) {
    case FileKind::SoundingDat: return dtWaterFinding;
    case FileKind::FourPoleProfile: return dtFourPoleProfile;
    case FileKind::CombinedProfile: return dtCombinedProfile;
    default: return dtSounding;
  }
}

OpenResult ReadSurveyFile(std::string_view bytes, std::string_view lineName) {
  MemorySource source(bytes);
  return ReadSurveyFrom(source, lineName, {}, bytes.size());
}

OpenResult ReadSurveyFrom(ByteSource& source, std::string_view lineName, const OpenControl& control,
                          std::uint64_t sizeHint) {
  try {
    return Conclude(OpenFrom(source, lineName, control, sizeHint));
  } catch (const std::bad_alloc&) {
    return OutOfMemory();
  }
}

OpenResult ReadSurveyFileAt(const std::string& path, const OpenControl& control) {
  try {
    return Conclude(OpenPath(path, control));
  } catch (const std::bad_alloc&) {
    return OutOfMemory();
  }
}

OpenResult ReadSurveyFilesAt(const std::vector<std::string>& paths, const OpenControl& control) {
  if (paths.size() == 1) return ReadSurveyFileAt(paths.front(), control);
  try {
    OpenResult survey;
    survey.kind = FileKind::FourPoleProfile;
    survey.type = dtFourPoleProfile;
    for (const std::string& path : paths) {
      OpenResult one = OpenPath(path, control);
      if (one.cancelled) return one;
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
