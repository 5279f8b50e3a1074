#include "io/textfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

bool LineReader::next(std::string_view& line) {
  if (pos_ >= data_.size()) return false;
  std::size_t end = data_.find('\n', pos_);
  std::size_t stop = end == std::string_view::npos ? data_.size() : end;
  line = data_.substr(pos_, stop - pos_);
  if (!line.empty() && line.back() == '\r' && end != std::string_view::npos) line.remove_suffix(1);
  pos_ = end == std::string_view::npos ? data_.size() : end + 1;
  return true;
}

bool ReadWholeFile(const std::string& path, std::string& out, std::string& error) {
  out.clear();
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    error = std::strerror(EISDIR);
    return false;
  }
  char buf[65536];
  while (true) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      error = std::strerror(errno);
      ::close(fd);
      return false;
    }
    if (n == 0) break;
    out.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return true;
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
