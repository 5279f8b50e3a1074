#include "io/filenames.h"

#include <unistd.h>

#include <algorithm>
#include <string>

#include "io/messages.h"
#include "io/textfile.h"

bool HasControlCharacter(std::string_view gbkText) {
  return std::any_of(gbkText.begin(), gbkText.end(), [](char c) {
    const auto b = static_cast<unsigned char>(c);
    return b < 0x20 || b == 0x7F;
  });
}

FileNameFault CheckFileName(std::string_view fileName, std::size_t maxBytes) {
  if (HasControlCharacter(fileName)) return FileNameFault::ControlCharacter;
  if (fileName.empty()) return FileNameFault::Empty;
  if (fileName == "." || fileName == "..") return FileNameFault::DotName;
  if (fileName.front() == '.') return FileNameFault::Hidden;
  if (fileName.size() > maxBytes) return FileNameFault::TooLong;
  return FileNameFault::None;
}

FileNameFault CheckFileNameOf(std::string_view path) {
  const std::string folder = FolderOf(path);
  const std::string_view name = path.substr(folder.size());
  std::size_t limit = kMaxFileNameBytes;
  // A NUL in the folder part would make the system look at another folder.
  if (folder.find('\0') == std::string::npos) {
    const long asked = ::pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    if (asked > 0) limit = static_cast<std::size_t>(asked);
  } else {
    return FileNameFault::ControlCharacter;
  }
  return CheckFileName(name, limit);
}

const char* FileNameFaultMessage(FileNameFault fault) {
  switch (fault) {
    case FileNameFault::None: return nullptr;
    case FileNameFault::Empty: return msg::kFileNameEmpty;
    case FileNameFault::Hidden: return msg::kFileNameHidden;
    case FileNameFault::DotName: return msg::kFileNameDots;
    case FileNameFault::TooLong: return msg::kFileNameTooLong;
    case FileNameFault::ControlCharacter: return msg::kControlCharacter;
  }
  return nullptr;
}
