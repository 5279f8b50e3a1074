#include "app/folders.h"

namespace {
// Folder part of the path: the text before the last separator or drive colon, keeping the
// separator when the folder is a root (C:\ or /). Then cut it at its own last separator and
// append the folder name.
std::string SiblingFolder(std::string_view path, std::string_view name) {
  const bool windows = path.find('\\') != std::string_view::npos || (path.size() >= 2 && path[1] == ':') ||
                       path.find('/') == std::string_view::npos;
  const char sep = windows ? '\\' : '/';
  std::string_view folder;
  auto cut = windows ? path.find_last_of("\\:") : path.rfind('/');
  if (cut != std::string_view::npos) {
    folder = path.substr(0, cut);
    const bool driveRoot = windows && (path[cut] == ':' || (cut > 0 && path[cut - 1] == ':'));
    const bool slashRoot = !windows && cut == 0;
    if (driveRoot || slashRoot) folder = path.substr(0, cut + 1);
    if (windows && path[cut] == ':') folder = std::string_view();  // "C:input.exe": no folder text
  }
  auto p = folder.rfind(sep);  // 0-based; the 1-based position is p + 1
  std::string out;
  if (p != std::string_view::npos && p >= 1) out.assign(folder.substr(0, p));
  out += sep;
  out += name;
  out += sep;
  return out;
}
}  // namespace

std::string DataDir(std::string_view programPath) { return SiblingFolder(programPath, "Data"); }
std::string HelpDir(std::string_view programPath) { return SiblingFolder(programPath, "Help"); }
