// The save transaction: the lock between saves, the check that the target was not changed
// after it was read, refusing what is not a regular file or is too large, leftovers removed,
// and a save that is durable and leaks nothing.
#include "io/savetransaction.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "io/atomicfile.h"
#include "io/messages.h"
#include "io/soundingdat.h"
#include "io/vesfile.h"
#include "iotest_support.h"

namespace fs = std::filesystem;
using iotest::TempDir;

namespace {

using Commit = SaveTransaction::Commit;
using Update = SaveTransaction::UpdateResult;

// Appends bytes in place, as another program's editor or logger would.
void AppendInPlace(const std::string& path, const std::string& bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  ASSERT_EQ(::close(fd), 0);
}

// Replaces the file by renaming another over it, as another program's save does.
void ReplaceByRename(const std::string& path, const std::string& bytes) {
  TempDir::Write(path + ".other", bytes);
  ASSERT_EQ(::rename((path + ".other").c_str(), path.c_str()), 0);
}

std::size_t TemporaryFilesOf(const TempDir& dir, const std::string& name) {
  std::size_t count = 0;
  for (const std::string& entry : dir.Names()) count += IsTemporaryFileOf(entry, name) ? 1 : 0;
  return count;
}

}  // namespace

// ---- Changed between reading and the rename ----

TEST(SaveTransaction, TargetChangedAfterReadingIsNotOverwritten) {
  struct Case {
    const char* what;
    bool existsAtRead;
    void (*change)(const std::string& path);
  };
  const Case cases[] = {
      {"appended in place", true, [](const std::string& p) { AppendInPlace(p, "more"); }},
      {"replaced by a rename", true, [](const std::string& p) { ReplaceByRename(p, "other"); }},
      {"removed", true, [](const std::string& p) { ASSERT_EQ(::unlink(p.c_str()), 0); }},
      {"made after it was found missing", false, [](const std::string& p) { TempDir::Write(p, "other"); }},
  };
  for (const Case& c : cases) {
    TempDir dir;
    const std::string target = dir.path("a.ves");
    if (c.existsAtRead) TempDir::Write(target, "first");
    SaveTransaction save(target);
    ASSERT_TRUE(save.begin()) << c.what;
    std::string bytes;
    bool exists = false;
    ASSERT_TRUE(save.readExisting(bytes, exists));
    EXPECT_EQ(exists, c.existsAtRead);
    c.change(target);
    const bool changedExists = fs::exists(target);
    const std::string changed = changedExists ? TempDir::Read(target) : "";

    EXPECT_EQ(save.commit("mine"), Commit::Changed) << c.what;
    EXPECT_EQ(save.problem().fault, FileFault::Changed);
    EXPECT_EQ(save.problem().message, msg::kChangedByOther);
    EXPECT_EQ(fs::exists(target), changedExists) << c.what;
    if (changedExists) {
      EXPECT_EQ(TempDir::Read(target), changed) << c.what;
    }
    EXPECT_EQ(TemporaryFilesOf(dir, "a.ves"), 0u) << c.what;

    // Read again, then the commit goes through.
    ASSERT_TRUE(save.readExisting(bytes, exists));
    EXPECT_EQ(bytes, changed);
    EXPECT_EQ(save.commit(bytes + "+mine"), Commit::Saved) << c.what;
    EXPECT_EQ(TempDir::Read(target), changed + "+mine");
  }
}

TEST(SaveTransaction, UpdateReadsAndMergesAgainWhileAnotherProgramChangesTheTarget) {
  struct Case {
    const char* what;
    // What make does on its call-th call (from 1), given the target and the bytes it read.
    std::optional<std::string> (*make)(int call, const std::string& target, const std::string& bytes);
    Update result;
    int calls;
    std::string file;
    FileFault fault;
  };
  const Case cases[] = {
      {"another program saved once meanwhile: merged again",
       [](int call, const std::string& target, const std::string& bytes) -> std::optional<std::string> {
         if (call == 1) ReplaceByRename(target, bytes + "B");
         return bytes + "C";
       },
       Update::Saved, 2, "ABC", FileFault::None},
      {"it keeps changing: given up, nothing written",
       [](int, const std::string& target, const std::string& bytes) -> std::optional<std::string> {
         AppendInPlace(target, "x");
         return bytes + "mine";
       },
       Update::Failed, 3, "Axxx", FileFault::Changed},
      {"make stops: nothing written",
       [](int, const std::string&, const std::string&) { return std::optional<std::string>(); }, Update::Cancelled, 1,
       "A", FileFault::None},
  };
  for (const Case& c : cases) {
    TempDir dir;
    const std::string target = dir.path("a.ves");
    TempDir::Write(target, "A");
    SaveTransaction save(target);
    int calls = 0;
    const Update result = save.update(
        [&](const std::string& bytes, bool exists) {
          EXPECT_TRUE(exists);
          return c.make(++calls, target, bytes);
        },
        3);
    EXPECT_EQ(result, c.result) << c.what;
    EXPECT_EQ(calls, c.calls) << c.what;
    EXPECT_EQ(save.problem().fault, c.fault) << c.what;
    save.end();
    EXPECT_EQ(TempDir::Read(target), c.file) << c.what;
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"a.ves"}) << c.what;
  }
}

// ---- The lock ----

TEST(SaveTransaction, LockHeldByAnotherProcessMakesTheSaveWaitThenFailAndACrashFreesIt) {
  TempDir dir;
  const std::string target = dir.path("a.ves");
  TempDir::Write(target, "old");
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t holder = ::fork();
  ASSERT_GE(holder, 0);
  if (holder == 0) {
    SaveTransaction save(target);
    if (!save.begin()) ::_exit(1);
    if (::write(ready[1], "x", 1) != 1) ::_exit(1);
    while (true) ::pause();  // killed by the test, never lets go by itself
  }
  ::close(ready[1]);
  char byte = 0;
  ASSERT_EQ(::read(ready[0], &byte, 1), 1) << "the holder could not take the lock";
  ::close(ready[0]);

  SaveOptions shortWait;
  shortWait.lockWait = std::chrono::milliseconds(300);
  {
    SaveTransaction save(target, shortWait);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(save.begin());
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300)) << "it did not wait";
    EXPECT_EQ(save.problem().fault, FileFault::Busy);
    EXPECT_EQ(save.problem().message, msg::kFileBusy);
  }
  EXPECT_EQ(TempDir::Read(target), "old");

  // The holder dies without letting go: the system frees the lock, and the next save removes
  // the lock file it left.
  ::kill(holder, SIGKILL);
  int status = 0;
  ::waitpid(holder, &status, 0);
  SaveTransaction save(target, shortWait);
  ASSERT_TRUE(save.begin()) << save.problem().message;
  EXPECT_EQ(save.commit("new"), Commit::Saved);
  save.end();
  EXPECT_EQ(TempDir::Read(target), "new");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"a.ves"});
}

TEST(SaveTransaction, TwoSavesOfOneProcessExcludeEachOther) {
  TempDir dir;
  SaveOptions shortWait;
  shortWait.lockWait = std::chrono::milliseconds(50);
  SaveTransaction first(dir.path("a.ves"), shortWait);
  ASSERT_TRUE(first.begin());
  SaveTransaction second(dir.path("a.ves"), shortWait);
  EXPECT_FALSE(second.begin());
  EXPECT_EQ(second.problem().fault, FileFault::Busy);
  first.end();
  EXPECT_TRUE(second.begin());
  second.end();

  // A replace holds the lock while it writes.
  class TriesToLock : public FileOps {
   public:
    explicit TriesToLock(std::string target) : target_(std::move(target)) {}
    ssize_t write(int fd, const void* data, std::size_t size) override {
      SaveOptions noWait;
      noWait.lockWait = std::chrono::milliseconds(0);
      SaveTransaction other(target_, noWait);
      lockedOut = !other.begin() && other.problem().fault == FileFault::Busy;
      return FileOps::write(fd, data, size);
    }
    bool lockedOut = false;

   private:
    std::string target_;
  } ops(dir.path("a.ves"));
  std::string error;
  ASSERT_TRUE(SaveFileAtomically(dir.path("a.ves"), "replaced", error, &ops)) << error;
  EXPECT_TRUE(ops.lockedOut);
}

// ---- What is read ----

TEST(SaveTransaction, WhatIsNotARegularFileIsRefusedWithoutWaiting) {
  TempDir dir;
  ASSERT_EQ(::mkfifo(dir.path("fifo.ves").c_str(), 0644), 0);
  fs::create_directory(dir.path("folder.ves"));
  fs::create_symlink("/dev/zero", dir.path("zero.ves"));
  fs::create_symlink(dir.path("fifo.ves"), dir.path("tofifo.ves"));
  for (const std::string& path : {dir.path("fifo.ves"), dir.path("folder.ves"), dir.path("zero.ves"),
                                 dir.path("tofifo.ves"), std::string("/dev/null")}) {
    SaveTransaction save(path);
    EXPECT_FALSE(save.begin()) << path;
    EXPECT_EQ(save.problem().fault, FileFault::NotRegularFile) << path;
    EXPECT_EQ(save.problem().message, msg::kNotRegularFile);
    const VesReadResult ves = ReadVesFileAt(path, {});
    EXPECT_EQ(ves.status, ReadStatus::NotAFile) << path;
    EXPECT_EQ(ReadStatusMessage(ves.status, kMaxReadBytes), msg::kNotRegularFile);
    std::string bytes;
    std::string error;
    EXPECT_EQ(ReadWholeFile(path, bytes, error), ReadStatus::NotAFile) << path;
  }
  EXPECT_EQ(ReadSoundingDatAt(dir.path("folder.ves"), {}).status, ReadStatus::CannotOpen) << "folder.dat is missing";
  fs::create_directory(dir.path("folder.dat"));
  EXPECT_EQ(ReadSoundingDatAt(dir.path("folder.ves"), {}).status, ReadStatus::NotAFile);
  EXPECT_FALSE(fs::exists("/dev/" + LockFileName("null"))) << "no lock file beside a device";
  EXPECT_TRUE(fs::is_fifo(dir.path("fifo.ves")));
}

TEST(SaveTransaction, FileAboveTheReadLimitIsRefusedWithTheLimitNamed) {
  TempDir dir;
  // A sparse file one byte above 1 GiB: nothing of it is on disk.
  const std::string big = dir.path("big.ves");
  {
    const int fd = ::open(big.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(kMaxReadBytes + 1)), 0);
    ASSERT_EQ(::close(fd), 0);
  }
  SaveTransaction save(big);
  ASSERT_TRUE(save.begin());
  std::string bytes;
  bool exists = false;
  EXPECT_FALSE(save.readExisting(bytes, exists));
  EXPECT_EQ(save.problem().fault, FileFault::TooLarge);
  EXPECT_NE(save.problem().message.find("1 GiB"), std::string::npos) << save.problem().message;
  EXPECT_EQ(ReadVesFileAt(big, {}).status, ReadStatus::TooLarge);
  save.end();
  EXPECT_EQ(fs::file_size(big), kMaxReadBytes + 1);

  // A lowered limit: a file of exactly the limit is read, one byte more is not.
  struct Case {
    std::size_t size;
    bool read;
  };
  for (const Case c : {Case{100, true}, Case{101, false}}) {
    const std::string small = dir.path("small.dat");
    TempDir::Write(small, std::string(c.size, 'x'));
    SaveOptions limited;
    limited.readLimit = 100;
    SaveTransaction limitedSave(small, limited);
    ASSERT_TRUE(limitedSave.begin());
    EXPECT_EQ(limitedSave.readExisting(bytes, exists), c.read) << c.size;
    if (c.read) {
      EXPECT_EQ(bytes.size(), c.size);
    } else {
      EXPECT_EQ(limitedSave.problem().message, msg::FileTooLarge(100));
    }
    EXPECT_EQ(ReadSoundingDatAt(small, {}, 100).status, c.read ? ReadStatus::Refused : ReadStatus::TooLarge);
  }
  EXPECT_NE(msg::FileTooLarge(100).find("100 字节"), std::string::npos);
}

// ---- Names ----

TEST(SaveTransaction, TargetNameOfTheLongestLengthIsSaved) {
  TempDir dir;
  const std::string name = std::string(251, 'n') + ".ves";  // 255 bytes
  std::string error;
  ASSERT_TRUE(SaveFileAtomically(dir.path(name), "first", error)) << error;
  ASSERT_TRUE(SaveFileAtomically(dir.path(name), "second", error)) << error;
  EXPECT_EQ(TempDir::Read(dir.path(name)), "second");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{name});
  EXPECT_FALSE(SaveFileAtomically(dir.path("n" + name), "x", error)) << "256 bytes is too long";
  EXPECT_EQ(dir.Names(), std::vector<std::string>{name});
}

TEST(SaveTransaction, PathWithANulByteIsRefused) {
  TempDir dir;
  const std::string path = dir.path("a") + std::string(1, '\0') + "b.dat";
  SaveTransaction save(path);
  EXPECT_FALSE(save.begin());
  EXPECT_EQ(save.problem().fault, FileFault::BadName);
  EXPECT_TRUE(dir.Names().empty());
  std::string bytes;
  std::string error;
  EXPECT_EQ(ReadWholeFile(path, bytes, error), ReadStatus::CannotOpen);
}

// ---- Leftovers ----

namespace {
// Dies inside the write, after part of the file is written: by the file-size limit with its
// signal's default action (as before SIGXFSZ was ignored), or killed outright.
class DyingOps : public FileOps {
 public:
  explicit DyingOps(int signal) : signal_(signal) {}
  ssize_t write(int fd, const void* data, std::size_t size) override {
    if (signal_ == SIGXFSZ) {
      std::signal(SIGXFSZ, SIG_DFL);
      struct rlimit limit {4096, 4096};
      ::setrlimit(RLIMIT_FSIZE, &limit);
      return FileOps::write(fd, data, size);  // the system sends SIGXFSZ past 4096 bytes
    }
    FileOps::write(fd, data, std::min<std::size_t>(size, 4096));
    ::raise(signal_);
    return -1;
  }

 private:
  int signal_;
};
}  // namespace

TEST(SaveTransaction, TemporaryFileOfAKilledSaveIsRemovedByTheNextSave) {
  for (int signal : {SIGXFSZ, SIGKILL}) {
    TempDir dir;
    const std::string target = dir.path("a.dat");
    TempDir::Write(target, "old");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      DyingOps ops(signal);
      std::string error;
      SaveFileAtomically(target, std::string(100000, 'y'), error, &ops);
      ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "signal " << signal;
    EXPECT_EQ(WTERMSIG(status), signal);
    EXPECT_EQ(TempDir::Read(target), "old");
    ASSERT_EQ(TemporaryFilesOf(dir, "a.dat"), 1u) << "the killed save left its temporary file";

    std::string error;
    ASSERT_TRUE(SaveFileAtomically(target, "new", error)) << error;
    EXPECT_EQ(TempDir::Read(target), "new");
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"a.dat"}) << "signal " << signal;
  }
}

TEST(SaveTransaction, OnlyThisTargetsUnlockedTemporaryFilesAreRemoved) {
  TempDir dir;
  const std::string own = LockFileName("a.dat").substr(0, LockFileName("a.dat").size() - 5);  // ".fieldinput-<hash>"
  const std::string leftover = own + "-Ab12Cd.tmp";
  const std::string inUse = own + "-Zz99Yy.tmp";
  const std::string otherTarget = LockFileName("b.dat").substr(0, LockFileName("b.dat").size() - 5) + "-Ab12Cd.tmp";
  const std::string notOurPattern = ".a.dat.Ab12Cd";
  ASSERT_TRUE(IsTemporaryFileOf(leftover, "a.dat"));
  ASSERT_FALSE(IsTemporaryFileOf(otherTarget, "a.dat"));
  for (const std::string& name : {leftover, inUse, otherTarget, notOurPattern}) TempDir::Write(dir.path(name), "x");
  // A save in progress holds a lock on its temporary file.
  const int busy = ::open(dir.path(inUse).c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(busy, 0);
  ASSERT_EQ(::flock(busy, LOCK_EX), 0);

  std::string error;
  ASSERT_TRUE(SaveFileAtomically(dir.path("a.dat"), "new", error)) << error;
  std::vector<std::string> expected = {"a.dat", inUse, otherTarget, notOurPattern};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(dir.Names(), expected);
  ::close(busy);
}

// ---- Durable and clean ----

namespace {
// Looks at the process in the middle of a save: every descriptor of the folder's files is
// close-on-exec and the umask is what it was; records the flushes and the rename.
class WatchingOps : public FileOps {
 public:
  explicit WatchingOps(std::string folder) : folder_(std::move(folder)) {}
  ssize_t write(int fd, const void* data, std::size_t size) override {
    ++writes;
    for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
      std::error_code ec;
      const std::string to = fs::read_symlink(entry.path(), ec).string();
      if (ec || to.rfind(folder_, 0) != 0) continue;
      const int open = std::stoi(entry.path().filename().string());
      ++descriptors;
      if ((::fcntl(open, F_GETFD) & FD_CLOEXEC) == 0) leaks.push_back(to);
    }
    umaskDuringSave = UmaskNow();
    return FileOps::write(fd, data, size);
  }
  int fsync(int fd) override {
    struct stat st {};
    ::fstat(fd, &st);
    events += S_ISDIR(st.st_mode) ? "fsync(folder) " : "fsync(file) ";
    return FileOps::fsync(fd);
  }
  int rename(const char* from, const char* to) override {
    events += "rename ";
    return FileOps::rename(from, to);
  }
  static std::string UmaskNow() {
    const std::string status = TempDir::Read("/proc/self/status");
    const auto at = status.find("Umask:");
    return at == std::string::npos ? "" : status.substr(at, status.find('\n', at) - at);
  }

  int writes = 0;
  int descriptors = 0;
  std::vector<std::string> leaks;
  std::string umaskDuringSave;
  std::string events;

 private:
  std::string folder_;
};
}  // namespace

TEST(SaveTransaction, SaveFlushesTheFolderAfterTheRenameAndLeaksNothing) {
  TempDir dir;
  WatchingOps ops(dir.folder().string());
  const std::string umaskBefore = WatchingOps::UmaskNow();
  std::string error;
  ASSERT_TRUE(SaveFileAtomically(dir.path("new.ves"), "bytes", error, &ops)) << error;
  ASSERT_GT(ops.writes, 0);
  EXPECT_EQ(ops.events, "fsync(file) rename fsync(folder) ");
  EXPECT_GE(ops.descriptors, 3) << "lock file, folder and temporary file";
  EXPECT_TRUE(ops.leaks.empty()) << "not close-on-exec: " << ops.leaks.front();
  EXPECT_EQ(ops.umaskDuringSave, umaskBefore) << "the umask changed during the save";
  EXPECT_EQ(fs::status(dir.path("new.ves")).permissions(), static_cast<fs::perms>(0666 & ~StartUpUmask()));
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"new.ves"});
}

TEST(SaveTransaction, FolderThatCannotBeFlushedMakesTheSaveFail) {
  class FolderFlushFails : public FileOps {
   public:
    int fsync(int fd) override {
      struct stat st {};
      ::fstat(fd, &st);
      if (S_ISDIR(st.st_mode)) return errno = EIO, -1;
      return FileOps::fsync(fd);
    }
  } ops;
  TempDir dir;
  SaveOptions options;
  options.ops = &ops;
  SaveTransaction save(dir.path("a.ves"), options);
  ASSERT_TRUE(save.begin());
  EXPECT_EQ(save.commit("bytes"), Commit::Failed);
  EXPECT_EQ(save.problem().message, msg::kFolderNotFlushed);
  EXPECT_NE(save.problem().detail.find("folder flush failed"), std::string::npos);
}

TEST(SaveTransaction, LinkOfAnotherUserInAStickyFolderIsNotFollowed) {
  TempDir dir;
  const std::string shared = dir.path("shared");
  fs::create_directory(shared);
  ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
  TempDir::Write(shared + "/real.ves", "real");
  fs::create_symlink(shared + "/real.ves", shared + "/planted.ves");
  fs::create_symlink(shared + "/real.ves", shared + "/own.ves");
  const uid_t stranger = ::geteuid() + 4242;
  if (::lchown((shared + "/planted.ves").c_str(), stranger, stranger) != 0)
    GTEST_SKIP() << "giving a link to another user needs root";

  SaveTransaction save(shared + "/planted.ves");
  EXPECT_FALSE(save.begin());
  EXPECT_EQ(save.problem().fault, FileFault::UntrustedLink);
  EXPECT_EQ(save.problem().message, msg::kUntrustedLink);
  EXPECT_EQ(TempDir::Read(shared + "/real.ves"), "real");
  EXPECT_TRUE(fs::is_symlink(shared + "/planted.ves"));

  std::string error;
  EXPECT_TRUE(SaveFileAtomically(shared + "/own.ves", "mine", error)) << "a link of the user's own is followed";
  EXPECT_EQ(TempDir::Read(shared + "/real.ves"), "mine");

  ASSERT_EQ(::chmod(shared.c_str(), 0777), 0);
  EXPECT_TRUE(SaveFileAtomically(shared + "/planted.ves", "followed", error)) << "without the sticky bit: " << error;
  EXPECT_EQ(TempDir::Read(shared + "/real.ves"), "followed");
}
