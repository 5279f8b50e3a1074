#pragma once
// Text files as the data formats want them: every line written ends in CR LF on every
// platform; lines read may end in CR LF or LF.

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "io/messages.h"

// Appends text and CR LF.
inline void AppendLine(std::string& out, std::string_view text) {
  out.append(text);
  out.append("\r\n", 2);
}

// The largest file that is read: a data file of a survey is a few megabytes; a larger name is
// not a data file, and reading it would only exhaust memory.
inline constexpr std::uint64_t kMaxReadBytes = std::uint64_t{1} << 30;

// Where the bytes of a file being read come from, piece by piece: a file open for reading,
// bytes in memory, or what a test gives.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads at most size bytes into buffer: how many were read, 0 at the end, or -1 when the
  // reading failed (the system's reason in error).
  virtual std::ptrdiff_t Read(char* buffer, std::size_t size, std::string& error) = 0;
};

// A file open for reading (not owned).
class FileSource : public ByteSource {
 public:
  explicit FileSource(int fd) : fd_(fd) {}
  std::ptrdiff_t Read(char* buffer, std::size_t size, std::string& error) override;

 private:
  int fd_;
};

// Bytes in memory, which must outlive the source.
class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::string_view bytes) : rest_(bytes) {}
  std::ptrdiff_t Read(char* buffer, std::size_t size, std::string& error) override;

 private:
  std::string_view rest_;
};

// Files are read in pieces of this size: a reading that is stopped early (a file refused at
// its first piece, a cancelled open) has cost one piece.
inline constexpr std::size_t kReadPieceBytes = std::size_t{1} << 20;

// Called after each piece read with the bytes read so far and the offset at which the piece
// begins; true ends the reading there, Complete with the bytes read so far (the caller has
// seen what it needs to refuse the file).
using PieceCheck = std::function<bool(std::string_view bytes, std::size_t pieceStart)>;

// Reads a whole regular file into out: Complete, or
//   CannotOpen  it cannot be opened or read (the system's reason in error),
//   NotAFile    it is a directory, device, FIFO or socket, or a link to one (it is never read,
//               and opening never waits for a FIFO's writer),
//   TooLarge    it holds more than limit bytes,
//   OutOfMemory memory ran out.
// out is empty unless Complete. Room for the file's size is taken first, but memory is used
// only as pieces arrive, and stopAt may end the reading early. Never throws.
ReadStatus ReadWholeFile(const std::string& path, std::string& out, std::string& error,
                         std::uint64_t limit = kMaxReadBytes, const PieceCheck& stopAt = {});
// The same for a file already open for reading, whose fstat is st.
ReadStatus ReadOpenFile(int fd, const struct stat& st, std::string& out, std::string& error,
                        std::uint64_t limit, const PieceCheck& stopAt = {});

bool FileExists(const std::string& path);

// The path with the extension of its file-name part (from the last dot on) replaced by ext
// (".ves", ".dat"); a name without a dot gets ext appended. Dots in folder names do not count.
std::string ForceExtension(std::string_view path, std::string_view ext);

// The file-name part without folder and without extension.
std::string BaseNameWithoutExtension(std::string_view path);
// The folder part including its trailing separator ("" when there is none).
std::string FolderOf(std::string_view path);
