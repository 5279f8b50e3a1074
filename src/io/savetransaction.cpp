#include "io/savetransaction.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <thread>
#include <utility>
#include <vector>

#include "io/messages.h"

ssize_t FileOps::write(int fd, const void* data, std::size_t size) { return ::write(fd, data, size); }
int FileOps::fsync(int fd) { return ::fsync(fd); }
int FileOps::close(int fd) { return ::close(fd); }
int FileOps::rename(const char* from, const char* to) { return ::rename(from, to); }

namespace {

std::string Reason(const char* what, int err) { return std::string(what) + ": " + std::strerror(err); }

// A descriptor closed when it goes out of scope (read-only or already flushed: nothing to
// lose when closing fails).
class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

// A temporary file removed when it goes out of scope, unless it was renamed into place.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
  ~TemporaryFile() {
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  const std::string& path() const { return path_; }
  void keep() { path_.clear(); }

 private:
  std::string path_;
};

// FNV-1a: the same name gives the same lock file in every instance of the program.
std::uint64_t NameHash(std::string_view name) {
  std::uint64_t h = 14695981039346656037ull;
  for (char c : name) {
    h ^= static_cast<unsigned char>(c);
    h *= 1099511628211ull;
  }
  return h;
}

std::string Stem(std::string_view name) {
  static const char digits[] = "0123456789abcdef";
  std::string stem = ".fieldinput-";
  const std::uint64_t h = NameHash(name);
  for (int shift = 60; shift >= 0; shift -= 4) stem += digits[(h >> shift) & 0xF];
  return stem;
}

constexpr std::string_view kTemporarySuffix = ".tmp";
constexpr std::size_t kRandomChars = 6;  // mkostemps's XXXXXX

void SplitPath(const std::string& path, std::string& folder, std::string& name) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) {
    folder = ".";
    name = path;
    return;
  }
  folder = slash == 0 ? "/" : path.substr(0, slash);
  name = path.substr(slash + 1);
}

std::string InFolder(const std::string& folder, std::string_view name) {
  std::string path = folder == "/" ? std::string() : folder;
  path += '/';
  path += name;
  return path;
}

SaveTransaction::Identity IdentityOf(const struct stat& st) {
  SaveTransaction::Identity id;
  id.exists = true;
  id.device = st.st_dev;
  id.inode = st.st_ino;
  id.size = st.st_size;
  id.modified = st.st_mtim;
  id.changed = st.st_ctim;
  return id;
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// The umask from the "Umask:" line of /proc/self/status, which reading leaves as it is;
// without /proc, set and restored at once, which happens before main while nothing else runs.
mode_t ReadUmask() {
  const int fd = ::open("/proc/self/status", O_RDONLY | O_CLOEXEC);
  if (fd >= 0) {
    char buf[4096];
    std::size_t have = 0;
    while (have < sizeof buf - 1) {
      const ssize_t n = ::read(fd, buf + have, sizeof buf - 1 - have);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      have += static_cast<std::size_t>(n);
    }
    ::close(fd);
    buf[have] = '\0';
    if (const char* line = std::strstr(buf, "\nUmask:")) {
      char* end = nullptr;
      const unsigned long mask = std::strtoul(line + 7, &end, 8);
      if (end != line + 7) return static_cast<mode_t>(mask & 0777);
    }
  }
  const mode_t mask = ::umask(022);
  ::umask(mask);
  return mask;
}

// Read during static initialisation, before main and before any thread exists.
[[maybe_unused]] const mode_t kUmaskReadAtStartUp = StartUpUmask();

// A write past RLIMIT_FSIZE sends SIGXFSZ, which ends the process unless it is ignored;
// ignored, the write fails with EFBIG and the save reports it.
void IgnoreFileSizeSignal() {
  struct sigaction current {};
  if (::sigaction(SIGXFSZ, nullptr, &current) != 0) return;
  if ((current.sa_flags & SA_SIGINFO) != 0 || current.sa_handler != SIG_DFL) return;  // handled
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  ::sigaction(SIGXFSZ, &ignore, nullptr);
}

// File systems that cannot lock (some network mounts without a lock service).
bool LockingUnsupported(int err) { return err == ENOLCK || err == EINVAL || err == EOPNOTSUPP; }

FileOps& SystemOps() {
  static FileOps ops;
  return ops;
}

}  // namespace

mode_t StartUpUmask() {
  static const mode_t mask = ReadUmask();
  return mask;
}

void PrepareFileSaving() {
  StartUpUmask();
  IgnoreFileSizeSignal();
}

std::string LockFileName(std::string_view name) { return Stem(name) + ".lock"; }

bool IsTemporaryFileOf(std::string_view entry, std::string_view name) {
  const std::string stem = Stem(name) + "-";
  if (entry.size() != stem.size() + kRandomChars + kTemporarySuffix.size()) return false;
  if (entry.substr(0, stem.size()) != stem || !entry.ends_with(kTemporarySuffix)) return false;
  for (char c : entry.substr(stem.size(), kRandomChars)) {
    const bool letterOrDigit = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    if (!letterOrDigit) return false;  // what mkostemps puts there, whatever the locale
  }
  return true;
}

std::string DescribeProblem(const FileProblem& problem) {
  if (problem.fault == FileFault::System && !problem.detail.empty()) return problem.detail;
  if (problem.detail.empty()) return problem.message;
  return problem.message + "\n" + problem.detail;
}

bool SaveTransaction::Identity::operator==(const Identity& o) const {
  if (exists != o.exists) return false;
  if (!exists) return true;
  return device == o.device && inode == o.inode && size == o.size && modified.tv_sec == o.modified.tv_sec &&
         modified.tv_nsec == o.modified.tv_nsec && changed.tv_sec == o.changed.tv_sec &&
         changed.tv_nsec == o.changed.tv_nsec;
}

SaveTransaction::SaveTransaction(std::string path, SaveOptions options)
    : requested_(std::move(path)), options_(options), ops_(options.ops != nullptr ? options.ops : &SystemOps()) {}

SaveTransaction::~SaveTransaction() { end(); }

bool SaveTransaction::fail(FileFault fault, std::string message, std::string detail) {
  problem_.fault = fault;
  problem_.message = std::move(message);
  problem_.detail = std::move(detail);
  return false;
}

// Follows the requested path's symbolic links to the file they lead to (a link that leads
// nowhere is itself replaced, as before), refusing a link that another user owns in a folder
// with the sticky bit, and checks what is there: nothing, or a regular file that may be written.
bool SaveTransaction::resolveTarget() {
  if (requested_.find('\0') != std::string::npos) return fail(FileFault::BadName, msg::kPathHasNul);
  if (requested_.empty()) return fail(FileFault::System, msg::kSaveFailed, Reason("cannot create file", ENOENT));
  std::string path = requested_;
  struct stat st {};
  bool exists = false;
  dangling_ = false;
  for (int links = 0;; ++links) {
    if (links > 40) return fail(FileFault::System, msg::kSaveFailed, Reason("cannot open file", ELOOP));
    if (::lstat(path.c_str(), &st) != 0) {
      if (errno != ENOENT) return fail(FileFault::System, msg::kSaveFailed, Reason("cannot open file", errno));
      if (links > 0) {  // a link that leads nowhere is replaced by the file
        path = requested_;
        dangling_ = true;
      }
      break;
    }
    if (!S_ISLNK(st.st_mode)) {
      exists = true;
      break;
    }
    std::string folder;
    std::string name;
    SplitPath(path, folder, name);
    struct stat dir {};
    if (::stat(folder.c_str(), &dir) == 0 && (dir.st_mode & S_ISVTX) != 0 && st.st_uid != ::geteuid() &&
        st.st_uid != dir.st_uid)
      return fail(FileFault::UntrustedLink, msg::kUntrustedLink);
    char to[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), to, sizeof to);
    if (n < 0) return fail(FileFault::System, msg::kSaveFailed, Reason("cannot open file", errno));
    if (static_cast<std::size_t>(n) == sizeof to)
      return fail(FileFault::System, msg::kSaveFailed, Reason("cannot open file", ENAMETOOLONG));
    const std::string_view link(to, static_cast<std::size_t>(n));
    path = link.front() == '/' ? std::string(link) : InFolder(folder, link);
  }
  if (exists) {
    if (!S_ISREG(st.st_mode)) return fail(FileFault::NotRegularFile, msg::kNotRegularFile);
    if ((st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0)
      return fail(FileFault::ReadOnly, msg::kReadOnlyFile, Reason("read-only file", EACCES));
  }
  target_ = std::move(path);
  SplitPath(target_, folder_, name_);
  stem_ = Stem(name_);
  return true;
}

bool SaveTransaction::lock() {
  lockPath_ = InFolder(folder_, LockFileName(name_));
  const auto deadline = std::chrono::steady_clock::now() + options_.lockWait;
  const mode_t mode = 0666 & ~StartUpUmask();
  constexpr int kOpen = O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
  while (true) {
    int fd = ::open(lockPath_.c_str(), kOpen | O_CREAT, mode);
    // In a sticky folder the system may refuse to "create" another user's existing file.
    if (fd < 0 && (errno == EACCES || errno == EPERM)) fd = ::open(lockPath_.c_str(), kOpen);
    if (fd < 0) return fail(FileFault::System, msg::kSaveFailed, Reason("cannot create file", errno));
    Fd held(fd);
    struct stat mine {};
    if (::fstat(fd, &mine) != 0) return fail(FileFault::System, msg::kSaveFailed, Reason("cannot lock file", errno));
    if (!S_ISREG(mine.st_mode)) return fail(FileFault::System, msg::kSaveFailed, Reason("cannot lock file", EEXIST));
    // Other users saving in the same folder open it for reading, whatever this umask.
    if (mine.st_uid == ::geteuid() && (mine.st_mode & 0444) != 0444) ::fchmod(fd, 0644);
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      // The holder before removes the lock file as it lets go; a lock on a removed file is
      // no lock, so take the file that now has the name.
      struct stat now {};
      if (::lstat(lockPath_.c_str(), &now) == 0 && SameFile(now, mine)) {
        lockFd_ = held.release();
        return true;
      }
    } else if (errno != EWOULDBLOCK && errno != EINTR) {
      const int err = errno;
      if (!LockingUnsupported(err)) return fail(FileFault::System, msg::kSaveFailed, Reason("cannot lock file", err));
      // Without locks the check of the target before the rename still keeps another
      // program's changes; the lock file is of no use.
      ::unlink(lockPath_.c_str());
      lockPath_.clear();
      return true;
    }
    if (std::chrono::steady_clock::now() >= deadline) return fail(FileFault::Busy, msg::kFileBusy);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

void SaveTransaction::removeLeftovers() {
  const int dup = ::fcntl(folderFd_, F_DUPFD_CLOEXEC, 0);
  if (dup < 0) return;
  DIR* dir = ::fdopendir(dup);
  if (dir == nullptr) {
    ::close(dup);
    return;
  }
  std::vector<std::string> leftovers;
  while (const dirent* entry = ::readdir(dir))
    if (IsTemporaryFileOf(entry->d_name, name_)) leftovers.emplace_back(entry->d_name);
  ::closedir(dir);
  for (const std::string& entry : leftovers) {
    Fd fd(::openat(folderFd_, entry.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.get() < 0) continue;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    // A save in progress holds a lock on its temporary file.
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) continue;
    struct stat now {};
    if (::fstatat(folderFd_, entry.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 && SameFile(now, st))
      ::unlinkat(folderFd_, entry.c_str(), 0);
  }
}

bool SaveTransaction::begin() {
  if (begun_) return true;
  problem_ = {};
  try {
    // The target is checked before the lock (no lock file beside a device) and again once
    // the lock is held, since it may have changed while this waited.
    for (int attempt = 0;; ++attempt) {
      if (!resolveTarget()) return false;
      const std::string checked = target_;
      folderFd_ = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      if (folderFd_ < 0) return fail(FileFault::System, msg::kSaveFailed, Reason("cannot create file", errno));
      if (!lock() || !resolveTarget()) {
        end();
        return false;
      }
      if (target_ == checked) break;
      end();  // it became a link to another file: lock that one
      if (attempt == 3) return fail(FileFault::Busy, msg::kFileBusy);
    }
    removeLeftovers();
    begun_ = true;
    haveRead_ = false;
    return true;
  } catch (const std::bad_alloc&) {
    end();
    return fail(FileFault::OutOfMemory, msg::kOutOfMemory);
  }
}

void SaveTransaction::end() {
  if (lockFd_ >= 0) {
    struct stat mine {};
    struct stat now {};
    if (::fstat(lockFd_, &mine) == 0 && ::lstat(lockPath_.c_str(), &now) == 0 && SameFile(mine, now))
      ::unlink(lockPath_.c_str());
    ::close(lockFd_);  // lets the lock go
    lockFd_ = -1;
  }
  if (folderFd_ >= 0) {
    ::close(folderFd_);
    folderFd_ = -1;
  }
  begun_ = false;
  haveRead_ = false;
}

bool SaveTransaction::readExisting(std::string& bytes, bool& exists) {
  bytes.clear();
  exists = false;
  haveRead_ = false;
  problem_ = {};
  if (!begun_) return fail(FileFault::System, msg::kCannotRead, Reason("read before begin", EINVAL));
  Fd fd(::open(target_.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY));
  if (fd.get() < 0) {
    const int err = errno;
    struct stat link {};
    if (err == ELOOP && dangling_ && ::lstat(target_.c_str(), &link) == 0) {
      read_ = IdentityOf(link);  // no file yet; the link is what the commit will find
      haveRead_ = true;
      return true;
    }
    if (err != ENOENT) return fail(FileFault::System, msg::kCannotRead, Reason("cannot open file", err));
    read_ = Identity{};
    haveRead_ = true;
    return true;
  }
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return fail(FileFault::System, msg::kCannotRead, Reason("cannot open file", errno));
  // Taken before reading: a change made while reading shows at the commit.
  const Identity identity = IdentityOf(st);
  std::string error;
  switch (ReadOpenFile(fd.get(), st, bytes, error, options_.readLimit)) {
    case ReadStatus::Complete:
      read_ = identity;
      haveRead_ = true;
      exists = true;
      return true;
    case ReadStatus::NotAFile: return fail(FileFault::NotRegularFile, msg::kNotRegularFile);
    case ReadStatus::TooLarge: return fail(FileFault::TooLarge, msg::FileTooLarge(options_.readLimit));
    case ReadStatus::OutOfMemory: return fail(FileFault::OutOfMemory, msg::kOutOfMemory);
    default: return fail(FileFault::System, msg::kCannotRead, "read failed: " + error);
  }
}

SaveTransaction::Commit SaveTransaction::commit(std::string_view bytes) {
  problem_ = {};
  if (!begun_) {
    fail(FileFault::System, msg::kSaveFailed, Reason("commit before begin", EINVAL));
    return Commit::Failed;
  }
  IgnoreFileSizeSignal();
  try {
    return writeAndRename(bytes);
  } catch (const std::bad_alloc&) {
    fail(FileFault::OutOfMemory, msg::kOutOfMemory);
    return Commit::Failed;
  }
}

SaveTransaction::Commit SaveTransaction::writeAndRename(std::string_view bytes) {
  auto failed = [this](const char* what, int err) {
    fail(FileFault::System, msg::kSaveFailed, Reason(what, err));
    return Commit::Failed;
  };
  struct stat st {};
  const bool replacing = ::lstat(target_.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  // A replaced file keeps its permissions; a new one gets those the umask leaves.
  const mode_t mode = replacing ? (st.st_mode & 07777) : (0666 & ~StartUpUmask());

  std::string name = InFolder(folder_, stem_ + "-XXXXXX" + std::string(kTemporarySuffix));
  Fd file(::mkostemps(name.data(), static_cast<int>(kTemporarySuffix.size()), O_CLOEXEC));
  if (file.get() < 0) return failed("cannot create file", errno);
  TemporaryFile temporary(name);
  // The temporary file is locked until it is renamed, so that no later save takes it for a
  // leftover; a second descriptor keeps the lock past the checked close below.
  Fd keepLock(::fcntl(file.get(), F_DUPFD_CLOEXEC, 0));
  if (keepLock.get() < 0) return failed("cannot create file", errno);
  if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0 && !LockingUnsupported(errno)) return failed("cannot lock file", errno);
  if (::fchmod(file.get(), mode) != 0) return failed("cannot set permissions", errno);

  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ops_->write(file.get(), p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return failed("write failed", errno);
    }
    if (n == 0) return failed("write failed", ENOSPC);
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  if (ops_->fsync(file.get()) != 0) return failed("flush failed", errno);
  if (ops_->close(file.release()) != 0) return failed("close failed", errno);

  if (haveRead_) {
    Identity now;
    struct stat current {};
    if (::lstat(target_.c_str(), &current) == 0) now = IdentityOf(current);
    else if (errno != ENOENT) return failed("cannot open file", errno);
    if (!(now == read_)) {
      fail(FileFault::Changed, msg::kChangedByOther);
      haveRead_ = false;
      return Commit::Changed;
    }
  }
  if (ops_->rename(temporary.path().c_str(), target_.c_str()) != 0) return failed("rename failed", errno);
  temporary.keep();

  // What is there now is what this transaction wrote: a further commit checks against it.
  struct stat written {};
  haveRead_ = ::lstat(target_.c_str(), &written) == 0;
  if (haveRead_) read_ = IdentityOf(written);

  // The rename is durable only once the folder is flushed. Some file systems cannot flush a
  // folder (EINVAL); on them the rename is as durable as it gets.
  if (ops_->fsync(folderFd_) != 0 && errno != EINVAL && errno != EROFS) {
    fail(FileFault::System, msg::kFolderNotFlushed, Reason("folder flush failed", errno));
    return Commit::Failed;
  }
  return Commit::Saved;
}

SaveTransaction::UpdateResult SaveTransaction::update(const MakeBytes& make, int attempts) {
  if (!begin()) return UpdateResult::Failed;
  for (int attempt = 0; attempt < attempts; ++attempt) {
    std::optional<std::string> out;
    try {
      std::string bytes;
      bool exists = false;
      if (!readExisting(bytes, exists)) return UpdateResult::Failed;
      out = make(bytes, exists);
    } catch (const std::bad_alloc&) {
      fail(FileFault::OutOfMemory, msg::kOutOfMemory);
      return UpdateResult::Failed;
    }
    if (!out) return UpdateResult::Cancelled;
    switch (commit(*out)) {
      case Commit::Saved: return UpdateResult::Saved;
      case Commit::Failed: return UpdateResult::Failed;
      case Commit::Changed: break;  // read and merge again
    }
  }
  return UpdateResult::Failed;  // problem() is still Changed
}
