#include "io/textfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <stdexcept>

bool LineReader::next(std::string_view& line) {
  if (pos_ >= data_.size()) return false;
  std::size_t end = data_.find('\n', pos_);
  std::size_t stop = end == std::string_view::npos ? data_.size() : end;
  line = data_.substr(pos_, stop - pos_);
  if (!line.empty() && line.back() == '\r' && end != std::string_view::npos) line.remove_suffix(1);
  pos_ = end == std::string_view::npos ? data_.size() : end + 1;
  return true;
}

ReadStatus ReadWholeFile(const std::string& path, std::string& out, std::string& error, std::uint64_t limit) {
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
  else status = ReadOpenFile(fd, st, out, error, limit);
  ::close(fd);  // read only: nothing to lose when closing fails
  return status;
}

ReadStatus ReadOpenFile(int fd, const struct stat& st, std::string& out, std::string& error, std::uint64_t limit) {
  out.clear();
  if (!S_ISREG(st.st_mode)) return ReadStatus::NotAFile;
  if (st.st_size < 0 || static_cast<std::uint64_t>(st.st_size) > limit) return ReadStatus::TooLarge;
  try {
    // The size is a hint: the file may grow or shrink while it is read, and some files report 0.
    out.resize(static_cast<std::size_t>(st.st_size));
    std::size_t have = 0;
    while (true) {
      if (have == out.size()) {
        if (have > limit) {
          std::string().swap(out);
          return ReadStatus::TooLarge;
        }
        // Room for the rest, one byte past the limit at most, so that a larger file is noticed.
        const std::size_t room = std::max<std::size_t>(65536, have / 2);
        out.resize(have + static_cast<std::size_t>(std::min<std::uint64_t>(room, limit + 1 - have)));
      }
      const ssize_t n = ::read(fd, out.data() + have, out.size() - have);
      if (n < 0) {
        if (errno == EINTR) continue;
        error = std::strerror(errno);
        std::string().swap(out);
        return ReadStatus::CannotOpen;
      }
      if (n == 0) break;
      have += static_cast<std::size_t>(n);
    }
    out.resize(have);
    if (have > limit) {
      std::string().swap(out);
      return ReadStatus::TooLarge;
    }
    return ReadStatus::Complete;
  } catch (const std::bad_alloc&) {
    std::string().swap(out);
    return ReadStatus::OutOfMemory;
  } catch (const std::length_error&) {
    std::string().swap(out);
    return ReadStatus::OutOfMemory;
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
