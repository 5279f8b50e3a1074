#include "session/recoverystore.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <new>
#include <random>
#include <set>
#include <utility>

#include "io/textfile.h"
#include "io/templates.h"

namespace {

constexpr std::string_view kRecExt = ".rec";
constexpr std::string_view kLockExt = ".lock";
constexpr std::string_view kDamagedExt = ".damaged";
// Recovery files larger than this are not read (no survey the window can hold comes near).
constexpr std::uint64_t kMaxRecoveryFile = std::uint64_t{4} << 30;

std::string Reason(const char* what, int err) { return std::string(what) + ": " + std::strerror(err); }

std::string Join(const std::string& folder, std::string_view name) { return folder + "/" + std::string(name); }

bool EndsWith(std::string_view s, std::string_view end) {
  return s.size() >= end.size() && s.substr(s.size() - end.size()) == end;
}

// The temporary file of a write of session id is "." + id + ".rec." + six random characters.
std::string TemporaryPrefix(const std::string& id) { return "." + id + std::string(kRecExt) + "."; }

bool MakeFolders(const std::string& path, std::string& error) {
  for (std::size_t pos = 1; pos <= path.size(); ++pos) {
    if (pos != path.size() && path[pos] != '/') continue;
    const std::string partial = path.substr(0, pos);
    if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) {
      error = Reason(("cannot create folder " + partial).c_str(), errno);
      return false;
    }
  }
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    error = "not a folder: " + path;
    return false;
  }
  return true;
}

std::string NewId() {
  std::random_device random;
  const long long ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch()).count();
  char id[64];
  std::snprintf(id, sizeof id, "%d-%lld-%08x", static_cast<int>(::getpid()), ms, static_cast<unsigned>(random()));
  return id;
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

std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return names;
  while (const dirent* entry = ::readdir(dir)) names.emplace_back(entry->d_name);
  ::closedir(dir);
  return names;
}

// Removes the temporary files of interrupted writes of a session.
void RemoveTemporaries(const std::string& folder, const std::string& id) {
  const std::string prefix = TemporaryPrefix(id);
  for (const std::string& name : FolderNames(folder))
    if (name.rfind(prefix, 0) == 0) ::unlink(Join(folder, name).c_str());
}

bool Unlink(const std::string& path, std::string& error) {
  if (::unlink(path.c_str()) == 0 || errno == ENOENT) return true;
  error = Reason(("cannot remove " + path).c_str(), errno);
  return false;
}

// Whether fd is the file that path names now (a lock file removed by whoever held it before
// is not a claim on the session any more).
bool StillNamed(int fd, const std::string& path) {
  struct stat held {};
  struct stat named {};
  return ::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
         held.st_ino == named.st_ino;
}

}  // namespace

// ---- LeftSession ----

LeftSession::LeftSession(std::string folder, std::string id, int lockFd, std::time_t modified)
    : folder_(std::move(folder)),
      id_(std::move(id)),
      path_(Join(folder_, id_ + std::string(kRecExt))),
      lockFd_(lockFd),
      modified_(modified) {}

LeftSession::LeftSession(LeftSession&& other) noexcept
    : folder_(std::move(other.folder_)),
      id_(std::move(other.id_)),
      path_(std::move(other.path_)),
      lockFd_(std::exchange(other.lockFd_, -1)),
      modified_(other.modified_) {}

LeftSession& LeftSession::operator=(LeftSession&& other) noexcept {
  if (this != &other) {
    release();
    folder_ = std::move(other.folder_);
    id_ = std::move(other.id_);
    path_ = std::move(other.path_);
    lockFd_ = std::exchange(other.lockFd_, -1);
    modified_ = other.modified_;
  }
  return *this;
}

LeftSession::~LeftSession() { release(); }

void LeftSession::release() {
  if (lockFd_ >= 0) ::close(lockFd_);
  lockFd_ = -1;
}

RecoveryReadResult LeftSession::read() const {
  RecoveryReadResult result;
  struct stat st {};
  if (::stat(path_.c_str(), &st) != 0) {
    result.error = Reason(QT_TRANSLATE_NOOP("core", "文件不能读取"), errno);
    return result;
  }
  if (static_cast<std::uint64_t>(st.st_size) > kMaxRecoveryFile) {
    result.error = QT_TRANSLATE_NOOP("core", "文件太大，不是本程序写的恢复文件。");
    return result;
  }
  std::string bytes;
  std::string error;
  try {
    if (ReadWholeFile(path_, bytes, error) != ReadStatus::Complete) {
      result.error = Fill(tmpl::kRecoveryUnreadable, {error});
      return result;
    }
  } catch (const std::bad_alloc&) {
    result.error = QT_TRANSLATE_NOOP("core", "内存不足，恢复文件没有读入。");
    return result;
  }
  return DecodeRecoveryFile(bytes);
}

bool LeftSession::discard(std::string& error) {
  if (!Unlink(path_, error)) return false;
  RemoveTemporaries(folder_, id_);
  std::string ignored;
  Unlink(Join(folder_, id_ + std::string(kLockExt)), ignored);
  release();
  return true;
}

std::optional<std::string> LeftSession::setAside(std::string& error) {
  const std::string aside = Join(folder_, id_ + std::string(kDamagedExt));
  if (::rename(path_.c_str(), aside.c_str()) != 0) {
    error = Reason(("cannot rename " + path_).c_str(), errno);
    return std::nullopt;
  }
  RemoveTemporaries(folder_, id_);
  std::string ignored;
  Unlink(Join(folder_, id_ + std::string(kLockExt)), ignored);
  release();
  return aside;
}

// ---- RecoveryStore ----

RecoveryStore::RecoveryStore(std::string folder) : folder_(std::move(folder)) {
  while (folder_.size() > 1 && folder_.back() == '/') folder_.pop_back();
}

RecoveryStore::~RecoveryStore() {
  if (lockFd_ >= 0) ::close(lockFd_);
}

bool RecoveryStore::open(std::string& error) {
  if (isOpen()) return true;
  if (!MakeFolders(folder_, error)) return false;
  const std::string id = NewId();
  // Locked under a temporary name first, so that the lock file never exists unlocked.
  std::string temporary = Join(folder_, "." + id + std::string(kLockExt) + ".XXXXXX");
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) {
    error = Reason("cannot create lock file", errno);
    return false;
  }
  const std::string lockPath = Join(folder_, id + std::string(kLockExt));
  if (!TryLock(fd) || ::rename(temporary.c_str(), lockPath.c_str()) != 0) {
    error = Reason("cannot lock the session", errno);
    ::unlink(temporary.c_str());
    ::close(fd);
    return false;
  }
  id_ = id;
  path_ = Join(folder_, id + std::string(kRecExt));
  lockFd_ = fd;
  return true;
}

bool RecoveryStore::write(std::string_view bytes, std::string& error) { return write({bytes}, error); }

bool RecoveryStore::write(std::initializer_list<std::string_view> pieces, std::string& error) {
  std::lock_guard<std::mutex> guard(mutex_);
  if (!isOpen()) {
    error = "no session";
    return false;
  }
  std::string temporary = Join(folder_, TemporaryPrefix(id_) + "XXXXXX");
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);  // owner-only permissions
  if (fd < 0) {
    error = Reason("cannot create file", errno);
    return false;
  }
  auto fail = [&](int descriptor) {
    if (descriptor >= 0) ::close(descriptor);
    ::unlink(temporary.c_str());
    return false;
  };
  for (std::string_view piece : pieces)
    if (!WriteAll(fd, piece, error)) return fail(fd);
  if (::fsync(fd) != 0) {
    error = Reason("flush failed", errno);
    return fail(fd);
  }
  if (::close(fd) != 0) {
    error = Reason("close failed", errno);
    return fail(-1);
  }
  if (::rename(temporary.c_str(), path_.c_str()) != 0) {
    error = Reason("rename failed", errno);
    return fail(-1);
  }
  return true;
}

void RecoveryStore::finish() {
  std::lock_guard<std::mutex> guard(mutex_);
  if (!isOpen()) return;
  std::string ignored;
  Unlink(path_, ignored);
  RemoveTemporaries(folder_, id_);
  Unlink(Join(folder_, id_ + std::string(kLockExt)), ignored);
  ::close(lockFd_);
  lockFd_ = -1;
}

std::vector<LeftSession> RecoveryStore::claimLeftSessions() {
  std::set<std::string> ids;
  for (const std::string& name : FolderNames(folder_)) {
    if (name.empty() || name[0] == '.') continue;
    for (std::string_view ext : {kRecExt, kLockExt})
      if (EndsWith(name, ext) && name.size() > ext.size()) ids.insert(name.substr(0, name.size() - ext.size()));
  }
  std::vector<LeftSession> left;
  for (const std::string& id : ids) {
    if (id == id_) continue;
    const std::string lockPath = Join(folder_, id + std::string(kLockExt));
    const std::string recPath = Join(folder_, id + std::string(kRecExt));
    int fd = ::open(lockPath.c_str(), O_RDWR | O_CLOEXEC);
    // Every running program's recovery file has its lock file; one without was left behind.
    if (fd < 0 && errno == ENOENT && FileExists(recPath)) fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) continue;
    if (!TryLock(fd) || !StillNamed(fd, lockPath)) {
      ::close(fd);  // a running program's, or just cleaned up by another one
      continue;
    }
    struct stat st {};
    if (::stat(recPath.c_str(), &st) == 0) {
      left.emplace_back(folder_, id, fd, st.st_mtime);
      continue;
    }
    // A session that ended without a recovery file to offer: its leftovers go.
    RemoveTemporaries(folder_, id);
    std::string ignored;
    Unlink(lockPath, ignored);
    ::close(fd);
  }
  std::stable_sort(left.begin(), left.end(),
                   [](const LeftSession& a, const LeftSession& b) { return a.modified() > b.modified(); });
  return left;
}

// ---- RecoveryWriter ----

RecoveryWriter::RecoveryWriter(RecoveryStore& store, std::function<void(const std::string&)> onFailure)
    : store_(store), onFailure_(std::move(onFailure)), worker_([this] { run(); }) {}

RecoveryWriter::~RecoveryWriter() { stop(); }

void RecoveryWriter::post(Snapshot snapshot) {
  {
    std::lock_guard<std::mutex> guard(mutex_);
    if (stopping_) return;
    pending_ = std::move(snapshot);
  }
  wake_.notify_one();
}

bool RecoveryWriter::flush() {
  std::unique_lock<std::mutex> lock(mutex_);
  idle_.wait(lock, [this] { return stopping_ || (!pending_ && !busy_); });
  return lastOk_;
}

void RecoveryWriter::stop() {
  {
    std::lock_guard<std::mutex> guard(mutex_);
    stopping_ = true;
    pending_.reset();
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
    wake_.wait(lock, [this] { return stopping_ || pending_.has_value(); });
    if (stopping_) break;
    Snapshot snapshot = std::move(*pending_);
    pending_.reset();
    busy_ = true;
    lock.unlock();
    std::string error;
    bool ok = false;
    try {
      const std::string none = snapshot.stations ? std::string() : EncodeRecoveryStations({});
      const std::string_view block = snapshot.stations ? std::string_view(*snapshot.stations) : none;
      ok = store_.write({EncodeRecoveryHead(snapshot.session, block), block}, error);
    } catch (const std::bad_alloc&) {
      error = QT_TRANSLATE_NOOP("core", "内存不足");
    }
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
