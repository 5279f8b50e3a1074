#pragma once
// Fixed texts of the file commands and readers, as UTF-8. The window shows them as they are;
// files carry their GBK form.

#include <cstdint>
#include <functional>
#include <string>

#include "io/templates.h"

namespace msg {
inline constexpr const char* kNoDataToSave = QT_TRANSLATE_NOOP("core", "没有数据可以保存。");
inline constexpr const char* kSaveFailed = QT_TRANSLATE_NOOP("core", "文件保存失败.\n非常抱歉，您的处理结果没有及时保存。");
inline constexpr const char* kNotQlFormat = QT_TRANSLATE_NOOP("core", "打开文件失败!\n数据格式不是QL软件支持的格式.");
inline constexpr const char* kNotVesFormat = QT_TRANSLATE_NOOP("core", "打开文件失败!\n数据格式不是QL软件支持的VES测深文件格式.");
inline constexpr const char* kBadFormat = QT_TRANSLATE_NOOP("core", "数据格式不正确，请检查数据文件。");
inline constexpr const char* kManyRowsRead = QT_TRANSLATE_NOOP(
    "core", "文件中有测点的读数多于 200 个，已全部读入。别的读 .ves 文件的程序可能只读每个测点的前 200 个读数。");
inline constexpr const char* kBadSpacing = QT_TRANSLATE_NOOP("core", "数据文件极距错误.");
inline constexpr const char* kBadRho = QT_TRANSLATE_NOOP("core", "数据文件数据视电阻率错误.");
inline constexpr const char* kBadThickness = QT_TRANSLATE_NOOP("core", "数据文件模型层厚度错误.");
inline constexpr const char* kBadLayerRho = QT_TRANSLATE_NOOP("core", "数据文件模型电阻率错误.");

// Saving and reading files.
inline constexpr const char* kFileBusy = QT_TRANSLATE_NOOP("core", "文件正被另一个程序保存，请稍后再试。");
inline constexpr const char* kChangedByOther =
    QT_TRANSLATE_NOOP("core", "文件在读取之后被另一个程序改动了，为免覆盖对方的数据，新数据没有保存。请重新保存。");
inline constexpr const char* kNotRegularFile =
    QT_TRANSLATE_NOOP("core", "所选名称不是普通文件(而是目录、设备、管道或指向它们的链接)，不能读写。");
inline constexpr const char* kOutOfMemory = QT_TRANSLATE_NOOP("core", "内存不足，无法完成文件操作。文件未作改动，新数据没有保存。");
inline constexpr const char* kUntrustedLink =
    QT_TRANSLATE_NOOP("core", "共享目录中的这个文件名是其他用户建立的符号链接，为安全起见不经由它读写。文件未作改动。");
inline constexpr const char* kReadOnlyFile = QT_TRANSLATE_NOOP("core", "文件是只读的，不能改写。");
inline constexpr const char* kCannotRead = QT_TRANSLATE_NOOP("core", "文件无法读取。");
inline constexpr const char* kPathHasNul = QT_TRANSLATE_NOOP("core", "文件名中含有空字符，不能保存。");
inline constexpr const char* kFolderNotFlushed = QT_TRANSLATE_NOOP("core", "文件已写入，但目录未能同步到磁盘，断电时可能丢失。请重新保存。");

// Names and texts that become file names or file lines.
inline constexpr const char* kControlCharacter = QT_TRANSLATE_NOOP("core", "名称和文字中不能含有控制字符(换行、回车、制表符等)。");
inline constexpr const char* kFileNameEmpty = QT_TRANSLATE_NOOP("core", "测线名为空，不能作为文件名。");
inline constexpr const char* kFileNameHidden = QT_TRANSLATE_NOOP("core", "测线名生成的文件名以“.”开头(隐藏文件)，请换一个测线名。");
inline constexpr const char* kFileNameDots = QT_TRANSLATE_NOOP("core", "测线名生成的文件名是“.”或“..”，不能作为文件名。");
inline constexpr const char* kFileNameTooLong = QT_TRANSLATE_NOOP("core", "测线名太长，生成的文件名超出了文件系统允许的长度。");

// "文件大于 1 GiB，超出允许读取的大小，未读取。" with the limit in GiB, MiB or bytes.
inline std::string FileTooLarge(std::uint64_t limit) {
  constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;
  constexpr std::uint64_t kGiB = std::uint64_t{1} << 30;
  std::string size;
  if (limit >= kGiB && limit % kGiB == 0) size = std::to_string(limit / kGiB) + " GiB";
  else if (limit >= kMiB && limit % kMiB == 0) size = std::to_string(limit / kMiB) + " MiB";
  else size = Fill(tmpl::kBytes, {std::to_string(limit)});
  return Fill(tmpl::kFileTooLarge, {size});
}
}  // namespace msg

// A message box that a reader asks the window to show. Texts are UTF-8.
struct Notice {
  enum class Icon { Warning, Error };
  std::string text;
  Icon icon = Icon::Warning;
  bool ownerless = false;  // shown without the input window as owner
  bool operator==(const Notice&) const = default;
};
using NoticeFn = std::function<void(const Notice&)>;

// How completely a reader took in an existing file.
enum class ReadStatus {
  Complete,    // every station of the file was read
  CannotOpen,  // the file could not be opened
  Refused,     // the file's marks or station count were not accepted
  Partial,     // reading stopped before the end; only the stations before that point were kept
  NotAFile,    // the path names no regular file (a directory, device, FIFO, or a link to one)
  TooLarge,    // the file is larger than the limit of what is read
  OutOfMemory, // memory ran out while reading; nothing read is kept
};

// The text for a reading that did not complete, for the statuses that have their own text
// (NotAFile, TooLarge with the limit that was applied, OutOfMemory, CannotOpen); "" for the
// others, whose reader has told what it found.
inline std::string ReadStatusMessage(ReadStatus status, std::uint64_t limit) {
  switch (status) {
    case ReadStatus::NotAFile: return msg::kNotRegularFile;
    case ReadStatus::TooLarge: return msg::FileTooLarge(limit);
    case ReadStatus::OutOfMemory: return msg::kOutOfMemory;
    case ReadStatus::CannotOpen: return msg::kCannotRead;
    default: return {};
  }
}
