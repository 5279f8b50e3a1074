#include "io/textfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <stdexcept>

ReadStatus ReadWholeFile(const std::string& path, std::string& out, std::string& error, std::uint64_t limit,
                         const PieceCheck& stopAt) {
  out.clear();
  if (path.find('\0') != std::string::npos) {
    error = std::strerror(ENOENT);
    return ReadStatus::CannotOpen;
  }
  // Look before opening: opening a device can have effects of its own.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    error = std::strerror(errno);
    return ReadStatus::CannotOpen;
  }
  if (!S_ISREG(st.st_mode)) return ReadStatus::NotAFile;
  // Non-blocking, so that a FIFO put in the file's place meanwhile does not wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    error = std::strerror(errno);
    return ReadStatus::CannotOpen;
  }
  ReadStatus status = ReadStatus::CannotOpen;
  if (::fstat(fd, &st) != 0) error = std::strerror(errno);
  else status = ReadOpenFile(fd, st, out, error, limit, stopAt);
  ::close(fd);  // read only: nothing to lose when closing fails
  return status;
}

std::ptrdiff_t FileSource::Read(char* buffer, std::size_t size, std::string& error) {
  while (true) {
    const ssize_t n = ::read(fd_, buffer, size);
    if (n >= 0) return n;
    if (errno == EINTR) continue;
    error = std::strerror(errno);
    return -1;
  }
}

std::ptrdiff_t MemorySource::Read(char* buffer, std::size_t size, std::string&) {
  const std::size_t n = std::min(size, rest_.size());
  std::copy_n(rest_.data(), n, buffer);
  rest_.remove_prefix(n);
  return static_cast<std::ptrdiff_t>(n);
}

ReadStatus ReadOpenFile(int fd, const struct stat& st, std::string& out, std::string& error, std::uint64_t limit,
                        const PieceCheck& stopAt) {
  out.clear();
  if (!S_ISREG(st.st_mode)) return ReadStatus::NotAFile;
  if (st.st_size < 0 || static_cast<std::uint64_t>(st.st_size) > limit) return ReadStatus::TooLarge;
  const auto fail = [&out](ReadStatus status) {
    std::string().swap(out);
    return status;
  };
  try {
    // Room for the size and one byte more, so that the end is seen without growing. The size is
    // a hint (the file may grow or shrink while it is read, some files report 0); the room is
    // touched only as pieces arrive.
    out.reserve(static_cast<std::size_t>(st.st_size) + 1);
    FileSource source(fd);
    std::size_t have = 0;
    while (true) {
      if (have > limit) return fail(ReadStatus::TooLarge);
      // Within the room while there is room; one byte past the limit at most, so that a larger
      // file is noticed.
      const std::size_t room = out.capacity() - have;
      const std::size_t piece = static_cast<std::size_t>(
          std::min<std::uint64_t>(room > 0 ? std::min(room, kReadPieceBytes) : kReadPieceBytes, limit + 1 - have));
      out.resize(have + piece);
      const std::ptrdiff_t n = source.Read(out.data() + have, piece, error);
      if (n < 0) return fail(ReadStatus::CannotOpen);
      if (n == 0) break;
      have += static_cast<std::size_t>(n);
      if (stopAt && stopAt(std::string_view(out.data(), have), have - static_cast<std::size_t>(n))) break;
    }
    out.resize(have);
    if (have > limit) return fail(ReadStatus::TooLarge);
    return ReadStatus::Complete;
  } catch (const std::bad_alloc&) {
    return fail(ReadStatus::OutOfMemory);
  } catch (const std::length_error&) {
    return fail(ReadStatus::OutOfMemory);
  }
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

namespace {
std::size_t NameStart(std::string_view path) {
  auto slash = path.rfind('/');
  return slash == std::string_view::npos ? 0 : slash + 1;
}
}  // namespace

std::string ForceExtension(std::string_view path, std::string_view ext) {
  std::size_t start = NameStart(path);
  auto dot = path.rfind('.');
  std::string out(path.substr(0, dot != std::string_view::npos && dot >= start ? dot : path.size()));
  out.append(ext);
  return out;
}

std::string BaseNameWithoutExtension(std::string_view path) {
  std::string_view name = path.substr(NameStart(path));
  auto dot = name.rfind('.');
  return std::string(name.substr(0, dot));
}

std::string FolderOf(std::string_view path) { return std::string(path.substr(0, NameStart(path))); }
