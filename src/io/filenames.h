#pragma once
// Names that become file names or lines of a file: what may not be in them.

#include <cstddef>
#include <string_view>

// Whether GBK text holds a control character: a byte below 0x20 (NUL, TAB, LF, CR ...) or
// 0x7F. GBK's second bytes are 0x40 or above, so no such byte is part of a Chinese character.
// A station name or text field that holds one is refused when it is committed or updated: a
// NUL would cut a file name short, and a line break would split a line of the file.
bool HasControlCharacter(std::string_view gbkText);

// What makes a name unfit to be a file of its own in the chosen folder.
enum class FileNameFault {
  None,
  Empty,             // no name at all
  Hidden,            // begins with '.', so file managers hide it (".dat" from "", "." or ".x")
  DotName,           // "." or "..", which name folders
  TooLong,           // longer than the file system allows
  ControlCharacter,  // holds a byte below 0x20 or 0x7F
};

// The longest file name, in bytes, on the file systems this program writes to.
inline constexpr std::size_t kMaxFileNameBytes = 255;

// Checks one file name (no folder) as it goes to disk, in the order of the enum above after
// ControlCharacter, which is checked first.
FileNameFault CheckFileName(std::string_view fileName, std::size_t maxBytes = kMaxFileNameBytes);

// Checks the last part of a path (a four-pole line's file, as FourPoleFilePath gives it) with
// the limit of the folder's file system when it can be asked (kMaxFileNameBytes otherwise).
// The window checks every line's file this way before it writes any of them.
FileNameFault CheckFileNameOf(std::string_view path);

// The message (UTF-8, from messages.h) for a fault; nullptr for None.
const char* FileNameFaultMessage(FileNameFault fault);
