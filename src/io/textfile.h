#pragma once
// Text files as the data formats want them: every line written ends in CR LF on every
// platform; lines read may end in CR LF or LF.

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "io/messages.h"

// Appends text and CR LF.
inline void AppendLine(std::string& out, std::string_view text) {
  out.append(text);
  out.append("\r\n", 2);
}

// Reads lines from a buffer. A line ends at LF; a CR right before the LF is dropped.
// The last line need not end in a line end. Never reads past the buffer.
class LineReader {
 public:
  explicit LineReader(std::string_view data) : data_(data) {}
  // The next line without its line end; false at the end of the data.
  bool next(std::string_view& line);
  bool atEnd() const { return pos_ >= data_.size(); }
  std::size_t position() const { return pos_; }
  std::string_view rest() const { return data_.substr(pos_); }

 private:
  std::string_view data_;
  std::size_t pos_ = 0;
};

// The largest file that is read: a data file of a survey is a few megabytes; a larger name is
// not a data file, and reading it would only exhaust memory.
inline constexpr std::uint64_t kMaxReadBytes = std::uint64_t{1} << 30;

// Reads a whole regular file into out: Complete, or
//   CannotOpen  it cannot be opened or read (the system's reason in error),
//   NotAFile    it is a directory, device, FIFO or socket, or a link to one (it is never read,
//               and opening never waits for a FIFO's writer),
//   TooLarge    it holds more than limit bytes,
//   OutOfMemory memory ran out.
// out is empty unless Complete. Never throws.
ReadStatus ReadWholeFile(const std::string& path, std::string& out, std::string& error,
                         std::uint64_t limit = kMaxReadBytes);
// The same for a file already open for reading, whose fstat is st.
ReadStatus ReadOpenFile(int fd, const struct stat& st, std::string& out, std::string& error,
                        std::uint64_t limit);

bool FileExists(const std::string& path);

// The path with the extension of its file-name part (from the last dot on) replaced by ext
// (".ves", ".dat"); a name without a dot gets ext appended. Dots in folder names do not count.
std::string ForceExtension(std::string_view path, std::string_view ext);

// The file-name part without folder and without extension.
std::string BaseNameWithoutExtension(std::string_view path);
// The folder part including its trailing separator ("" when there is none).
std::string FolderOf(std::string_view path);
