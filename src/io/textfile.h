#pragma once
// Text files as the data formats want them: every line written ends in CR LF on every
// platform; lines read may end in CR LF or LF.

#include <cstddef>
#include <string>
#include <string_view>

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

// Reads a whole file into out. false (with a reason in error) when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& out, std::string& error);

bool FileExists(const std::string& path);

// The path with the extension of its file-name part (from the last dot on) replaced by ext
// (".ves", ".dat"); a name without a dot gets ext appended. Dots in folder names do not count.
std::string ForceExtension(std::string_view path, std::string_view ext);

// The file-name part without folder and without extension.
std::string BaseNameWithoutExtension(std::string_view path);
// The folder part including its trailing separator ("" when there is none).
std::string FolderOf(std::string_view path);
