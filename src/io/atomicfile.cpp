#include "io/atomicfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

ssize_t FileOps::write(int fd, const void* data, std::size_t size) { return ::write(fd, data, size); }
int FileOps::fsync(int fd) { return ::fsync(fd); }
int FileOps::close(int fd) { return ::close(fd); }
int FileOps::rename(const char* from, const char* to) { return ::rename(from, to); }

namespace {
std::string Reason(const char* what, int err) { return std::string(what) + ": " + std::strerror(err); }
}  // namespace

bool SaveFileAtomically(const std::string& requested, std::string_view bytes, std::string& error,
                        FileOps* ops) {
  FileOps defaultOps;
  if (ops == nullptr) ops = &defaultOps;

  // Write through a symbolic link to the file it names, as truncating it would.
  std::string path = requested;
  mode_t mode = 0666;
  bool exists = false;
  struct stat st {};
  if (::stat(requested.c_str(), &st) == 0) {
    exists = true;
    if (!S_ISREG(st.st_mode)) {
      error = Reason("not a regular file", EISDIR);
      return false;
    }
    if ((st.st_mode & 0222) == 0 || ::access(requested.c_str(), W_OK) != 0) {
      error = Reason("read-only file", EACCES);
      return false;
    }
    mode = st.st_mode & 07777;
    char resolved[PATH_MAX];
    if (::realpath(requested.c_str(), resolved) != nullptr) path = resolved;
  }

  std::string dir = ".";
  std::string base = path;
  if (auto slash = path.rfind('/'); slash != std::string::npos) {
    dir = slash == 0 ? "/" : path.substr(0, slash);
    base = path.substr(slash + 1);
  }
  std::string tmpl = (dir == "/" ? "" : dir) + "/." + base + ".XXXXXX";
  int fd = ::mkstemp(tmpl.data());
  if (fd < 0) {
    error = Reason("cannot create file", errno);
    return false;
  }
  const std::string tmp = tmpl;
  auto fail = [&](const std::string& why, int descriptor) {
    if (descriptor >= 0) ::close(descriptor);
    ::unlink(tmp.c_str());
    error = why;
    return false;
  };

  if (exists) {
    if (::fchmod(fd, mode) != 0) return fail(Reason("cannot set permissions", errno), fd);
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(fd, 0666 & ~mask) != 0) return fail(Reason("cannot set permissions", errno), fd);
  }

  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = ops->write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail(Reason("write failed", errno), fd);
    }
    if (n == 0) return fail(Reason("write failed", ENOSPC), fd);
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  if (ops->fsync(fd) != 0) return fail(Reason("flush failed", errno), fd);
  if (ops->close(fd) != 0) return fail(Reason("close failed", errno), -1);
  if (ops->rename(tmp.c_str(), path.c_str()) != 0) return fail(Reason("rename failed", errno), -1);
  return true;
}
