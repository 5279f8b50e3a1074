#include "io/folders.h"

#include <cctype>

namespace {
// Folder part of the path: the text before the last separator or drive colon, keeping the
// separator when the folder is a root (C:\ or /). Then cut it at its own last separator and
// append the folder name.
//
// A path with a backslash or a drive letter is a Windows path, in which "/" separates folders
// too (Qt reports C:/Survey/Bin/input.exe for the program's own path); the result then uses
// the separator the path itself uses. A path with no separator at all gets "\Data\".
std::string SiblingFolder(std::string_view path, std::string_view name) {
  const bool drive = path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
  const bool backslash = path.find('\\') != std::string_view::npos;
  const bool slash = path.find('/') != std::string_view::npos;
  const bool windows = backslash || drive || !slash;
  const char sep = windows && (backslash || !slash) ? '\\' : '/';
  const std::string_view separators = windows ? std::string_view("\\/") : std::string_view("/");

  std::string_view folder;
  const auto cut = path.find_last_of(separators);
  if (cut == std::string_view::npos) {
    // No folder text: "input.exe", and "C:input.exe" whose folder "C:" has no separator.
  } else if (cut == 0) {
    folder = path.substr(0, 1);  // the root "/" or "\"
  } else if (drive && cut == 2) {
    folder = path.substr(0, 3);  // the drive root "C:\"
  } else {
    folder = path.substr(0, cut);
  }

  const auto p = folder.find_last_of(separators);  // 0-based; the 1-based position is p + 1
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
