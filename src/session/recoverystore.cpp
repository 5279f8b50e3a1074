#include "session/recoverystore.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <random>
#include <set>

#include "io/templates.h"

namespace {

constexpr std::string_view kRecExt = ".rec";
constexpr std::string_view kLockExt = ".lock";
constexpr std::string_view kDamagedExt = ".damaged";
// Recovery files larger than this are not read (no survey the window can hold comes near).
constexpr std::uint64_t kMaxRecoveryFile = std::uint64_t{4} << 30;

std::string Reason(const std::string& what, int err) { return what + ": " + std::strerror(err); }

std::string Join(const std::string& folder, std::string_view name) { return folder + "/" + std::string(name); }

bool EndsWith(std::string_view s, std::string_view end) {
  return s.size() >= end.size() && s.substr(s.size() - end.size()) == end;
}

std::vector<std::string> Components(const std::string& path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    const std::size_t slash = std::min(path.find('/', start), path.size());
    if (slash > start) parts.push_back(path.substr(start, slash - start));
    start = slash + 1;
  }
  return parts;
}

// The temporary file of a write of session id is "." + id + ".rec." + six random characters.
std::string TemporaryPrefix(const std::string& id) { return "." + id + std::string(kRecExt) + "."; }

std::string RandomSuffix() {
  static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device random;
  std::string s;
  for (int i = 0; i < 6; ++i) s.push_back(kChars[random() % (sizeof kChars - 1)]);
  return s;
}

// Creates a new file name in the folder (never an existing name, never through a link),
// owner-only; its descriptor, or -1 with errno.
int CreateNew(int folder, std::string& name, const std::string& prefix) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = prefix + RandomSuffix();
    const int fd = ::openat(folder, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

// Creates the missing folders of path, owner-only.
bool MakeFolders(const std::string& path, std::string& error) {
  for (std::size_t pos = 1; pos <= path.size(); ++pos) {
    if (pos != path.size() && path[pos] != '/') continue;
    const std::string partial = path.substr(0, pos);
    if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) {
      error = Reason("cannot create folder " + partial, errno);
      return false;
    }
  }
  return true;
}

std::string Octal(mode_t mode) {
  char text[16];
  std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
  return text;
}

// Why a folder may not hold or lead to the recovery folder, or "" when it may. mine: the data
// folder or one below it (the user's, writable by nobody else); otherwise a folder above the
// data folder (the user's or root's, writable by nobody else unless sticky).
std::string FolderProblem(const struct stat& st, uid_t user, bool mine) {
  if (!S_ISDIR(st.st_mode)) return "not a folder";
  const bool othersWrite = (st.st_mode & (S_IWGRP | S_IWOTH)) != 0;
  if (mine) {
    if (st.st_uid != user) return "belongs to user " + std::to_string(st.st_uid) + ", not " + std::to_string(user);
    if (othersWrite) return "others may write to it (permissions " + Octal(st.st_mode) + ")";
    return "";
  }
  if (st.st_uid != user && st.st_uid != 0)
    return "belongs to user " + std::to_string(st.st_uid) + ", neither " + std::to_string(user) + " nor root";
  if (othersWrite && (st.st_mode & S_ISVTX) == 0)
    return "others may write to it and it is not sticky (permissions " + Octal(st.st_mode) + ")";
  return "";
}

bool TryLock(int fd) {
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

bool WriteAll(int fd, std::string_view bytes, std::string& error) {
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      error = Reason("write failed", errno);
      return false;
    }
    if (n == 0) {
      error = Reason("write failed", ENOSPC);
      return false;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

std::vector<std::string> FolderNames(int folder) {
  std::vector<std::string> names;
  const int fd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return names;
  DIR* dir = ::fdopendir(fd);
  if (dir == nullptr) {
    ::close(fd);
    return names;
  }
  while (const dirent* entry = ::readdir(dir)) names.emplace_back(entry->d_name);
  ::closedir(dir);
  return names;
}

// Removes the temporary files of interrupted writes of a session.
void RemoveTemporaries(int folder, const std::string& id) {
  const std::string prefix = TemporaryPrefix(id);
  for (const std::string& name : FolderNames(folder))
    if (name.rfind(prefix, 0) == 0) ::unlinkat(folder, name.c_str(), 0);
}

bool Unlink(int folder, const std::string& name, std::string& error) {
  if (::unlinkat(folder, name.c_str(), 0) == 0 || errno == ENOENT) return true;
  error = Reason("cannot remove " + name, errno);
  return false;
}

// Whether fd is the file that name names now (a lock file removed by whoever held it before
// is not a claim on the session any more).
bool StillNamed(int fd, int folder, const std::string& name) {
  struct stat held {};
  struct stat named {};
  return ::fstat(fd, &held) == 0 && ::fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
         held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

// Reads the whole of an open file (at most limit bytes).
bool ReadAll(int fd, std::uint64_t limit, std::string& out, std::string& error) {
  char buffer[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      error = std::strerror(errno);
      return false;
    }
    if (n == 0) return true;
    if (out.size() + static_cast<std::size_t>(n) > limit) {
      error = "file too large";
      return false;
    }
    out.append(buffer, static_cast<std::size_t>(n));
  }
}

}  // namespace

// ---- LeftSession ----

LeftSession::LeftSession(int folderFd, std::string folder, std::string id, int lockFd, std::time_t modified,
                         uid_t user)
    : folderFd_(folderFd),
      folder_(std::move(folder)),
      id_(std::move(id)),
      path_(Join(folder_, id_ + std::string(kRecExt))),
      lockFd_(lockFd),
      modified_(modified),
      user_(user) {}

LeftSession::LeftSession(LeftSession&& other) noexcept
    : folderFd_(std::exchange(other.folderFd_, -1)),
      folder_(std::move(other.folder_)),
      id_(std::move(other.id_)),
      path_(std::move(other.path_)),
      lockFd_(std::exchange(other.lockFd_, -1)),
      modified_(other.modified_),
      user_(other.user_) {}

LeftSession& LeftSession::operator=(LeftSession&& other) noexcept {
  if (this != &other) {
    close();
    folderFd_ = std::exchange(other.folderFd_, -1);
    folder_ = std::move(other.folder_);
    id_ = std::move(other.id_);
    path_ = std::move(other.path_);
    lockFd_ = std::exchange(other.lockFd_, -1);
    modified_ = other.modified_;
    user_ = other.user_;
  }
  return *this;
}

LeftSession::~LeftSession() { close(); }

void LeftSession::close() {
  release();
  if (folderFd_ >= 0) ::close(folderFd_);
  folderFd_ = -1;
}

void LeftSession::release() {
  if (lockFd_ >= 0) ::close(lockFd_);
  lockFd_ = -1;
}

RecoveryReadResult LeftSession::read() const {
  RecoveryReadResult result;
  const std::string name = id_ + std::string(kRecExt);
  const int fd = ::openat(folderFd_, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    result.error = Fill(tmpl::kRecoveryUnreadable, {std::strerror(errno)});
    return result;
  }
  struct stat st {};
  std::string bytes;
  std::string error;
  bool ok = false;
  try {
    if (::fstat(fd, &st) != 0) {
      error = std::strerror(errno);
    } else if (!S_ISREG(st.st_mode) || st.st_uid != user_) {
      error = "not a file of this user";
    } else if (static_cast<std::uint64_t>(st.st_size) > kMaxRecoveryFile) {
      result.error = QT_TRANSLATE_NOOP("core", "文件太大，不是本程序写的恢复文件。");
    } else {
      bytes.reserve(static_cast<std::size_t>(st.st_size));
      ok = ReadAll(fd, kMaxRecoveryFile, bytes, error);
    }
  } catch (const std::bad_alloc&) {
    result.error = QT_TRANSLATE_NOOP("core", "内存不足，恢复文件没有读入。");
  }
  ::close(fd);  // read only: nothing a failed close could lose
  if (!ok) {
    if (result.error.empty()) result.error = Fill(tmpl::kRecoveryUnreadable, {error});
    return result;
  }
  return DecodeRecoveryFile(bytes);
}

bool LeftSession::discard(std::string& error) {
  if (!Unlink(folderFd_, id_ + std::string(kRecExt), error)) return false;
  RemoveTemporaries(folderFd_, id_);
  std::string ignored;
  Unlink(folderFd_, id_ + std::string(kLockExt), ignored);
  release();
  return true;
}

std::optional<std::string> LeftSession::setAside(std::string& error) {
  const std::string aside = id_ + std::string(kDamagedExt);
  if (::renameat(folderFd_, (id_ + std::string(kRecExt)).c_str(), folderFd_, aside.c_str()) != 0) {
    error = Reason("cannot rename " + path_, errno);
    return std::nullopt;
  }
  RemoveTemporaries(folderFd_, id_);
  std::string ignored;
  Unlink(folderFd_, id_ + std::string(kLockExt), ignored);
  release();
  return Join(folder_, aside);
}

// ---- RecoveryStore ----

RecoveryStore::RecoveryStore(std::string dataFolder, std::string subfolder, uid_t user)
    : dataFolder_(std::move(dataFolder)), subfolder_(std::move(subfolder)), user_(user) {
  while (dataFolder_.size() > 1 && dataFolder_.back() == '/') dataFolder_.pop_back();
  folder_ = dataFolder_;
  for (const std::string& part : Components(subfolder_)) folder_ = Join(folder_ == "/" ? "" : folder_, part);
}

RecoveryStore::RecoveryStore(std::string folder) : user_(::getuid()) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  const std::size_t slash = folder.rfind('/');
  dataFolder_ = slash == std::string::npos ? "." : (slash == 0 ? "/" : folder.substr(0, slash));
  subfolder_ = slash == std::string::npos ? folder : folder.substr(slash + 1);
  folder_ = std::move(folder);
}

RecoveryStore::~RecoveryStore() {
  closeAppend();
  if (lockFd_ >= 0) ::close(lockFd_);
  if (folderFd_ >= 0) ::close(folderFd_);
}

void RecoveryStore::closeAppend() {
  if (appendFd_ >= 0) ::close(appendFd_);  // everything in it was flushed to disk
  appendFd_ = -1;
}

bool RecoveryStore::openFolder(std::string& error) {
  unsafe_ = false;
  if (!MakeFolders(dataFolder_, error)) return false;
  char resolved[PATH_MAX];
  if (::realpath(dataFolder_.c_str(), resolved) == nullptr) {
    error = Reason("cannot find folder " + dataFolder_, errno);
    return false;
  }
  // From the root down, never following a link: the folders above the data folder, the data
  // folder, and those below it (made when missing).
  const std::vector<std::string> above = Components(resolved);
  const std::vector<std::string> below = Components(subfolder_);
  std::string path = "/";
  int fd = ::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    error = Reason("cannot open /", errno);
    return false;
  }
  auto refuse = [&](const std::string& why) {
    ::close(fd);
    unsafe_ = true;
    error = path + ": " + why;
    return false;
  };
  struct stat st {};
  if (::fstat(fd, &st) != 0) return refuse(std::strerror(errno));
  if (std::string why = FolderProblem(st, user_, above.empty()); !why.empty()) return refuse(why);
  const std::size_t total = above.size() + below.size();
  for (std::size_t i = 0; i < total; ++i) {
    const bool mine = i + 1 >= above.size();
    const bool last = i + 1 == total;
    const std::string& name = i < above.size() ? above[i] : below[i - above.size()];
    path = Join(path == "/" ? "" : path, name);
    if (i >= above.size() && ::mkdirat(fd, name.c_str(), 0700) != 0 && errno != EEXIST) {
      error = Reason("cannot create folder " + path, errno);
      ::close(fd);
      return false;
    }
    const int next = ::openat(fd, name.c_str(), (last ? O_RDONLY : O_PATH) | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (next < 0) {
      if (errno == ELOOP || errno == ENOTDIR) return refuse("a symbolic link or not a folder");
      error = Reason("cannot open folder " + path, errno);
      ::close(fd);
      return false;
    }
    ::close(fd);
    fd = next;
    if (::fstat(fd, &st) != 0) return refuse(std::strerror(errno));
    if (std::string why = FolderProblem(st, user_, mine); !why.empty()) return refuse(why);
  }
  folderFd_ = fd;
  return true;
}

bool RecoveryStore::open(std::string& error) {
  if (isOpen()) return true;
  if (folderFd_ < 0 && !openFolder(error)) return false;
  std::random_device random;
  const long long ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch()).count();
  char idText[64];
  std::snprintf(idText, sizeof idText, "%d-%lld-%08x", static_cast<int>(::getpid()), ms, static_cast<unsigned>(random()));
  const std::string id = idText;
  // Locked under a temporary name first, so that the lock file never exists unlocked.
  std::string temporary;
  const int fd = CreateNew(folderFd_, temporary, "." + id + std::string(kLockExt) + ".");
  if (fd < 0) {
    error = Reason("cannot create lock file", errno);
    return false;
  }
  const std::string lockName = id + std::string(kLockExt);
  if (!TryLock(fd) || ::renameat(folderFd_, temporary.c_str(), folderFd_, lockName.c_str()) != 0) {
    error = Reason("cannot lock the session", errno);
    ::unlinkat(folderFd_, temporary.c_str(), 0);
    ::close(fd);
    return false;
  }
  id_ = id;
  path_ = Join(folder_, id + std::string(kRecExt));
  lockFd_ = fd;
  return true;
}

bool RecoveryStore::write(std::string_view bytes, std::string& error) {
  return writeWhole([bytes](const std::function<bool(std::string_view)>& put) { return put(bytes); }, error);
}

bool RecoveryStore::writeWhole(const std::function<bool(const std::function<bool(std::string_view)>&)>& produce,
                               std::string& error) {
  std::lock_guard<std::mutex> guard(mutex_);
  if (!isOpen()) {
    error = "no session";
    return false;
  }
  std::string temporary;
  const int fd = CreateNew(folderFd_, temporary, TemporaryPrefix(id_));
  if (fd < 0) {
    error = Reason("cannot create file", errno);
    return false;
  }
  auto fail = [&](int descriptor) {
    if (descriptor >= 0) ::close(descriptor);
    ::unlinkat(folderFd_, temporary.c_str(), 0);
    return false;
  };
  std::uint64_t size = 0;
  std::string writeError;
  const bool produced = produce([&](std::string_view piece) {
    if (!WriteAll(fd, piece, writeError)) return false;
    size += piece.size();
    return true;
  });
  if (!produced) {
    error = writeError.empty() ? "the file could not be made" : writeError;
    return fail(fd);
  }
  if (::fsync(fd) != 0) {
    error = Reason("flush failed", errno);
    return fail(fd);
  }
  if (::renameat(folderFd_, temporary.c_str(), folderFd_, (id_ + std::string(kRecExt)).c_str()) != 0) {
    error = Reason("rename failed", errno);
    return fail(fd);
  }
  written_ += size;
  // The file is appended to through the descriptor that wrote it.
  closeAppend();
  appendFd_ = fd;
  fileSize_ = size;
  if (::fsync(folderFd_) != 0) {
    error = Reason("flush of the folder failed", errno);
    return false;
  }
  return true;
}

bool RecoveryStore::append(std::string_view bytes, std::string& error) {
  std::lock_guard<std::mutex> guard(mutex_);
  if (appendFd_ < 0) {
    error = "no recovery file to append to";
    return false;
  }
  // Appending to a file removed meanwhile (by a clean-up of the folder) would keep nothing.
  struct stat st {};
  const bool checked = ::fstat(appendFd_, &st) == 0;
  if (!checked || st.st_nlink == 0) {
    error = checked ? "the recovery file was removed" : Reason("cannot check the recovery file", errno);
    closeAppend();
    return false;
  }
  if (WriteAll(appendFd_, bytes, error)) {
    if (::fdatasync(appendFd_) == 0) {
      fileSize_ += bytes.size();
      written_ += bytes.size();
      return true;
    }
    error = Reason("flush failed", errno);
  }
  // Cut back to the last complete record, so that later records are not lost behind a torn one.
  const auto end = static_cast<off_t>(fileSize_);
  if (::ftruncate(appendFd_, end) != 0 || ::lseek(appendFd_, end, SEEK_SET) != end) closeAppend();
  return false;
}

void RecoveryStore::finish() {
  std::lock_guard<std::mutex> guard(mutex_);
  if (!isOpen()) return;
  closeAppend();
  std::string ignored;
  Unlink(folderFd_, id_ + std::string(kRecExt), ignored);
  RemoveTemporaries(folderFd_, id_);
  Unlink(folderFd_, id_ + std::string(kLockExt), ignored);
  ::close(lockFd_);
  lockFd_ = -1;
}

std::vector<LeftSession> RecoveryStore::claimLeftSessions() {
  std::vector<LeftSession> left;
  if (folderFd_ < 0) return left;
  std::set<std::string> ids;
  for (const std::string& name : FolderNames(folderFd_)) {
    if (name.empty() || name[0] == '.') continue;
    for (std::string_view ext : {kRecExt, kLockExt})
      if (EndsWith(name, ext) && name.size() > ext.size()) ids.insert(name.substr(0, name.size() - ext.size()));
  }
  for (const std::string& id : ids) {
    if (id == id_) continue;
    const std::string lockName = id + std::string(kLockExt);
    const std::string recName = id + std::string(kRecExt);
    struct stat rec {};
    const bool hasRec = ::fstatat(folderFd_, recName.c_str(), &rec, AT_SYMLINK_NOFOLLOW) == 0;
    if (!hasRec && errno != ENOENT) continue;
    // Only the user's own recovery files are offered; anything else there is left alone.
    if (hasRec && (!S_ISREG(rec.st_mode) || rec.st_uid != user_)) continue;
    int fd = ::openat(folderFd_, lockName.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    // Every running program's recovery file has its lock file; one without was left behind.
    if (fd < 0 && errno == ENOENT && hasRec)
      fd = ::openat(folderFd_, lockName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) continue;
    struct stat lock {};
    if (::fstat(fd, &lock) != 0 || !S_ISREG(lock.st_mode) || lock.st_uid != user_ || !TryLock(fd) ||
        !StillNamed(fd, folderFd_, lockName)) {
      ::close(fd);  // not the user's, a running program's, or just cleaned up by another one
      continue;
    }
    if (hasRec) {
      const int folderFd = ::dup(folderFd_);
      if (folderFd < 0) {
        ::close(fd);
        continue;
      }
      left.emplace_back(folderFd, folder_, id, fd, rec.st_mtime, user_);
      continue;
    }
    // A session that ended without a recovery file to offer: its leftovers go.
    RemoveTemporaries(folderFd_, id);
    std::string ignored;
    Unlink(folderFd_, lockName, ignored);
    ::close(fd);
  }
  std::stable_sort(left.begin(), left.end(),
                   [](const LeftSession& a, const LeftSession& b) { return a.modified() > b.modified(); });
  return left;
}

// ---- RecoveryTracker ----

RecoveryTracker::RecoveryTracker(Survey& survey) : survey_(survey) { survey_.addObserver(this); }

RecoveryTracker::~RecoveryTracker() { survey_.removeObserver(this); }

void RecoveryTracker::surveyChanged(unsigned changes) {
  if (everything_) return;  // everything goes at the next take anyway
  if (changes & change::kType) wholeGrid_ = true;
  if ((changes & change::kGrid) && !wholeGrid_) {
    const GridChanges& grid = survey_.changedCells();
    const GridTexts& texts = survey_.form().grid;
    if (grid.whole || cells_.size() + grid.cells.size() > static_cast<std::size_t>(texts.rows()) * static_cast<std::size_t>(texts.cols())) {
      wholeGrid_ = true;
      cells_.clear();
    } else {
      cells_.insert(cells_.end(), grid.cells.begin(), grid.cells.end());
    }
  }
  if (changes & change::kStations) noteStations();
}

void RecoveryTracker::noteStations() {
  if (stationsLost_) return;
  if (!stationsChanged_) {
    origin_.resize(takenCount_);
    for (std::size_t i = 0; i < takenCount_; ++i) origin_[i] = static_cast<std::uint32_t>(i);
    stationsChanged_ = true;
  }
  using Kind = StationListChange::Kind;
  for (const StationListChange& c : survey_.changedStations()) {
    const std::size_t n = origin_.size();
    const auto at = origin_.begin() + static_cast<std::ptrdiff_t>(std::min(c.index, n));
    switch (c.kind) {
      case Kind::Insert:
        if (c.index > n) break;
        origin_.insert(at, kNewStations);
        continue;
      case Kind::Erase:
        if (c.index >= n) break;
        origin_.erase(at);
        continue;
      case Kind::Replace:
        if (c.index >= n) break;
        *at = kNewStations;
        continue;
      case Kind::Reorder: {
        if (c.order.size() != n) break;
        std::vector<std::uint32_t> moved(n);
        bool fits = true;
        for (std::size_t i = 0; i < n && fits; ++i) {
          fits = c.order[i] < n;
          if (fits) moved[i] = origin_[c.order[i]];
        }
        if (!fits) break;
        origin_ = std::move(moved);
        continue;
      }
      case Kind::Whole:
        origin_.assign(c.index, kNewStations);
        continue;
    }
    // A change that does not fit the list as followed: the list goes whole at the next take.
    stationsLost_ = true;
    origin_.clear();
    return;
  }
}

RecoveryChange RecoveryTracker::take() {
  RecoveryChange c;
  const Survey& s = survey_;
  const FormState& form = s.form();
  c.type = s.type();
  c.currentIndex = s.currentIndex();
  c.saved = s.saved();
  c.browsing = s.browsing();
  c.replaceProposed = s.replaceProposed();
  c.status = s.status();
  c.file = s.file();
  c.fields = form.fields;
  c.branch = form.branch;
  c.formModel = form.model;

  if (!everything_ && !wholeGrid_ && !cells_.empty()) {
    std::sort(cells_.begin(), cells_.end());
    cells_.erase(std::unique(cells_.begin(), cells_.end()), cells_.end());
    c.grid = RecoveryChange::Grid::Cells;
    for (const auto& [col, row] : cells_) {
      if (col < 0 || row < 0 || col >= form.grid.cols() || row >= form.grid.rows()) {
        c.grid = RecoveryChange::Grid::Whole;  // a cell of a grid since made smaller
        c.cells.clear();
        break;
      }
      c.cells.push_back({col, row, form.grid.cell(col, row)});
    }
  }
  if (everything_ || wholeGrid_) c.grid = RecoveryChange::Grid::Whole;
  if (c.grid == RecoveryChange::Grid::Whole) c.wholeGrid = form.grid;

  static const FormState kNoShownForm;
  const FormState& shown = s.browsing() ? s.shownForm() : kNoShownForm;
  if (everything_ || !(shown == takenShown_)) {
    c.shownForm = shown;
    takenShown_ = shown;
  }

  const StationList& stations = s.stations();
  if (everything_ || stationsLost_ || (stationsChanged_ && origin_.size() != stations.size())) {
    c.stationsChanged = true;
    if (!stations.empty()) c.runs.push_back({kNewStations, static_cast<std::uint32_t>(stations.size())});
    c.newStations = stations;
  } else if (stationsChanged_) {
    // Runs of places that follow each other, and of new stations.
    for (std::size_t i = 0; i < origin_.size(); ++i) {
      const std::uint32_t from = origin_[i];
      StationRun* last = c.runs.empty() ? nullptr : &c.runs.back();
      const bool extends = last != nullptr && (from == kNewStations ? last->first == kNewStations
                                                                     : last->first != kNewStations && last->first + last->count == from);
      if (extends) {
        ++last->count;
      } else {
        c.runs.push_back({from, 1});
      }
      if (from == kNewStations) c.newStations.push_back(stations[i]);
    }
    // Back where it was (a station inserted and taken out again): nothing to write.
    const bool same = origin_.size() == takenCount_ &&
                      (c.runs.empty() || (c.runs.size() == 1 && c.runs[0].first == 0));
    c.stationsChanged = !same;
    if (same) c.runs.clear();
  }

  everything_ = false;
  wholeGrid_ = false;
  cells_.clear();
  stationsChanged_ = false;
  stationsLost_ = false;
  origin_.clear();
  takenCount_ = stations.size();
  return c;
}

bool HoldsEverything(const RecoveryChange& change) {
  return change.grid == RecoveryChange::Grid::Whole && change.shownForm && change.stationsChanged &&
         std::all_of(change.runs.begin(), change.runs.end(), [](const StationRun& r) { return r.first == kNewStations; });
}

// ---- RecoveryWriter ----

RecoveryWriter::RecoveryWriter(RecoveryStore& store, std::function<void(const std::string&)> onFailure,
                               std::function<void()> onLost, RecoveryLimits limits)
    : store_(store),
      onFailure_(std::move(onFailure)),
      onLost_(std::move(onLost)),
      limits_(limits),
      worker_([this] { run(); }) {}

RecoveryWriter::~RecoveryWriter() { stop(); }

void RecoveryWriter::post(RecoveryChange change) {
  {
    std::lock_guard<std::mutex> guard(mutex_);
    if (stopping_) return;
    pending_.push_back(std::move(change));
  }
  wake_.notify_one();
}

bool RecoveryWriter::flush() {
  std::unique_lock<std::mutex> lock(mutex_);
  idle_.wait(lock, [this] { return stopping_ || (pending_.empty() && !busy_); });
  return lastOk_ && !lost_.load();
}

void RecoveryWriter::stop() {
  {
    std::lock_guard<std::mutex> guard(mutex_);
    stopping_ = true;
    pending_.clear();
  }
  wake_.notify_all();
  if (worker_.joinable()) worker_.join();
}

std::string RecoveryWriter::takeFailure() {
  std::lock_guard<std::mutex> guard(mutex_);
  return std::exchange(failure_, std::string());
}

void RecoveryWriter::run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || !pending_.empty(); });
    if (stopping_) break;
    std::vector<RecoveryChange> changes(std::make_move_iterator(pending_.begin()), std::make_move_iterator(pending_.end()));
    pending_.clear();
    busy_ = true;
    lock.unlock();
    std::string error;
    const bool ok = write(changes, error);
    changes.clear();
    if (!ok && lastOk_ && onFailure_) onFailure_(error);  // lastOk_ is only written by this thread
    lock.lock();
    busy_ = false;
    lastOk_ = ok;
    if (!ok) failure_ = error;
    idle_.notify_all();
  }
  busy_ = false;
  idle_.notify_all();
}

bool RecoveryWriter::write(std::vector<RecoveryChange>& changes, std::string& error) {
  std::string records;
  std::size_t stationRecords = 0;
  bool applied = false;
  const bool wasLost = lost_.load();
  try {
    // Records are appended while they stay small beside the whole file; they are encoded
    // before the changes move their stations into the session.
    std::uint64_t size = 0;
    for (const RecoveryChange& c : changes) {
      size += RecoveryRecordSize(c);
      if (c.stationsChanged) ++stationRecords;
    }
    const std::uint64_t room = std::max(baseBytes_ / 4, limits_.minRecordBytes);
    if (recordBytes_ + size > room || stationRecords_ + stationRecords > limits_.maxStationRecords) whole_ = true;
    for (RecoveryChange& c : changes) {
      const bool everything = HoldsEverything(c);
      if (lost_.load() && !everything) continue;  // nothing to apply it to
      if (everything) {
        session_ = SessionState();
        stations_.clear();
        whole_ = true;
      }
      if (!RecoveryChangeFits(session_, stations_.size(), c)) {
        // The change does not follow the session as the file holds it: start again from
        // everything.
        lost_ = true;
        continue;
      }
      if (!whole_) records += EncodeRecoveryRecord(c);
      ApplyRecoveryChange(session_, stations_, std::move(c));
      applied = true;
      if (everything) lost_ = false;
    }
  } catch (const std::bad_alloc&) {
    session_ = SessionState();
    stations_ = StationList();
    lost_ = true;
    error = QT_TRANSLATE_NOOP("core", "内存不足");
    if (!wasLost && onLost_) onLost_();
    return false;
  }
  if (lost_.load()) {
    if (!wasLost && onLost_) onLost_();
    return true;  // nothing could be written; the session comes whole with the next change
  }
  if (!applied) return true;
  if (whole_) return writeWhole(error);
  if (!store_.append(records, error)) {
    whole_ = true;
    return false;
  }
  recordBytes_ += records.size();
  stationRecords_ += stationRecords;
  return true;
}

bool RecoveryWriter::writeWhole(std::string& error) {
  const std::uint64_t before = store_.bytesWritten();
  bool ok = false;
  try {
    ok = store_.writeWhole(
        [this](const std::function<bool(std::string_view)>& put) { return WriteRecoveryBase(session_, stations_, put); },
        error);
  } catch (const std::bad_alloc&) {
    error = QT_TRANSLATE_NOOP("core", "内存不足");
  }
  if (!ok) return false;
  whole_ = false;
  baseBytes_ = store_.bytesWritten() - before;
  recordBytes_ = 0;
  stationRecords_ = 0;
  return true;
}
