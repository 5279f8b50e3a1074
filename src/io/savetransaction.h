#pragma once
// Saving a file so that nothing is lost: not to a failure, not to a crash, not to another
// program (or another window of this one) saving the same file at the same time.
//
// A save of one target runs as a transaction:
//   1. begin()         takes the target's lock: a lock file beside the target, held with
//                      flock(), which every instance of this program respects and which the
//                      system lets go of when its holder dies. Waits at most
//                      SaveOptions::lockWait, then fails (FileFault::Busy, msg::kFileBusy).
//                      Also checks the target: a regular file or none; not read-only; in a
//                      folder with the sticky bit (such as /tmp), not a symbolic link owned by
//                      another user; and removes this program's temporary files that an earlier
//                      save of the same target left behind (killed, or stopped by the file-size
//                      limit).
//   2. readExisting()  for an append: the target's bytes, read only if it is a regular file
//                      of at most SaveOptions::readLimit bytes. Remembers which file it read
//                      (device, inode, size, modification and change times).
//   3. commit(bytes)   writes the bytes to a temporary file beside the target (a short name
//                      of its own, so that any target name the file system allows can be
//                      saved), flushes it, checks that the target is still the file read in
//                      step 2, renames the temporary file over the target and flushes the
//                      folder. Returns Changed, writing nothing, when another program changed
//                      the target after it was read: read and merge again, then commit again.
//   4. the destructor (or end()) lets the lock go.
// On every failure the target keeps every byte it had and no temporary file stays behind.
// A new file gets the permissions the process umask (read once at start-up) gives; a replaced
// file keeps its own. Files are opened close-on-exec. A file-size limit (RLIMIT_FSIZE) makes a
// write fail with EFBIG: SIGXFSZ is ignored from the first save on, unless the program handles
// it itself.
//
// An append with this API (the window's save does the same with its own messages):
//
//   SaveTransaction tx(path);
//   SaveTransaction::UpdateResult r = tx.update([&](const std::string& bytes, bool exists)
//                                  -> std::optional<std::string> {
//     StationList all = windowStations;
//     if (exists) {
//       VesReadResult read = ReadVesFile(bytes, notify);
//       if (read.status != ReadStatus::Complete) return std::nullopt;   // write nothing
//       MergeVesStations(all, read.stations);
//     }
//     return BuildVesFile(std::move(all));
//   });
//   if (r == SaveTransaction::UpdateResult::Failed) show tx.problem().message and tx.problem().detail;
//
// A replace is begin() and commit(bytes) without reading (SaveFileAtomically does that).

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "io/textfile.h"

// The system calls a save makes, so that tests can make one of them fail.
class FileOps {
 public:
  virtual ~FileOps() = default;
  virtual ssize_t write(int fd, const void* data, std::size_t size);
  virtual int fsync(int fd);  // the temporary file's, then the folder's after the rename
  virtual int close(int fd);
  virtual int rename(const char* from, const char* to);
};

// Why a file operation did not happen.
enum class FileFault {
  None,
  Busy,            // another save of the same target held the lock for the whole wait
  Changed,         // another program changed the target after it was read; nothing written
  NotRegularFile,  // a directory, device, FIFO or socket, or a link to one
  TooLarge,        // larger than the read limit
  OutOfMemory,     // memory ran out; nothing written
  UntrustedLink,   // a symbolic link owned by another user in a sticky folder
  ReadOnly,        // the target exists and may not be written
  BadName,         // the path holds a NUL byte
  System,          // a system call failed; detail says which and why
};

struct FileProblem {
  FileFault fault = FileFault::None;
  // The text for the window, UTF-8 (one of msg::...). For System it is the general
  // msg::kSaveFailed or msg::kCannotRead, which the window may replace with its own text.
  std::string message;
  // The system's reason ("write failed: No space left on device"), in the locale's encoding;
  // may be empty.
  std::string detail;
};

struct SaveOptions {
  std::chrono::milliseconds lockWait{5000};  // how long begin() waits for another save
  std::uint64_t readLimit = kMaxReadBytes;   // the largest target readExisting() reads
  FileOps* ops = nullptr;                    // nullptr: the real system calls
};

class SaveTransaction {
 public:
  enum class Commit { Saved, Changed, Failed };

  explicit SaveTransaction(std::string path, SaveOptions options = {});
  ~SaveTransaction();
  SaveTransaction(const SaveTransaction&) = delete;
  SaveTransaction& operator=(const SaveTransaction&) = delete;

  // Step 1. false: see problem(); nothing was changed. Blocks the calling thread while it
  // waits for another save's lock (at most SaveOptions::lockWait).
  bool begin();
  // Step 2. exists is false (and bytes empty) when there is no target yet. false: see
  // problem(); bytes is empty. May be called again after commit() returned Changed.
  bool readExisting(std::string& bytes, bool& exists);
  // Step 3. Saved: the target holds bytes, on disk. Changed and Failed: the target is as it
  // was, problem() says why; the one exception is a folder that could not be flushed after the
  // rename (Failed, msg::kFolderNotFlushed): the target holds bytes, but a power cut may still
  // undo the rename. May be called again (after a new readExisting() for Changed).
  Commit commit(std::string_view bytes);
  // Step 4: lets the lock go; the destructor does it too.
  void end();

  // Steps 1 to 3 for a read-merge-write: begin() (unless begun already), then readExisting(),
  // make(bytes, exists) and commit(), again while another program changes the target in
  // between, at most attempts times. make returns the bytes to write, or nullopt to stop with
  // nothing written (it has told the user why). A memory failure in make is reported as
  // FileFault::OutOfMemory. After Failed, problem() says why; after the last Changed it is
  // FileFault::Changed (msg::kChangedByOther).
  enum class UpdateResult { Saved, Cancelled, Failed };
  using MakeBytes = std::function<std::optional<std::string>(const std::string& bytes, bool exists)>;
  UpdateResult update(const MakeBytes& make, int attempts = 3);

  const FileProblem& problem() const { return problem_; }
  // The file written: the path given, or the file its symbolic links lead to.
  const std::string& target() const { return target_; }

  struct Identity {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::timespec modified{};
    std::timespec changed{};
    bool operator==(const Identity& o) const;
  };

 private:
  bool fail(FileFault fault, std::string message, std::string detail = {});
  bool resolveTarget();
  bool lock();
  void removeLeftovers();
  Commit writeAndRename(std::string_view bytes);

  std::string requested_;
  SaveOptions options_;
  FileOps* ops_;
  FileProblem problem_;
  std::string target_;     // the file written (links followed)
  std::string folder_;     // its folder, "/" or "dir" (no trailing '/'), "." for none
  std::string name_;       // its name in the folder
  std::string stem_;       // ".fieldinput-<hash of name_>", the start of our files beside it
  std::string lockPath_;
  int folderFd_ = -1;
  int lockFd_ = -1;
  bool begun_ = false;
  bool dangling_ = false;  // target_ is a symbolic link that leads nowhere, replaced by the file
  bool haveRead_ = false;  // commit() checks the target against read_
  Identity read_;
};

// problem's text for a single line or a detail box: the system's reason alone for System
// (as "write failed: No space left on device"), otherwise the message and any reason.
std::string DescribeProblem(const FileProblem& problem);

// The process umask, read once at start-up (and never changed by this program: reading it
// through /proc/self/status, or, where there is none, by setting and restoring it before main
// runs). New files get 0666 & ~StartUpUmask().
mode_t StartUpUmask();

// What main calls first: reads the umask and ignores SIGXFSZ (when it is not handled), so that
// a write past the file-size limit fails with EFBIG instead of ending the program. Saves do it
// too; calling it from main makes it hold from the start.
void PrepareFileSaving();

// The names of this program's own files beside a target named name: the lock file
// ".fieldinput-<16 hex digits>.lock" and temporary files ".fieldinput-<16 hex digits>-XXXXXX.tmp",
// the digits a hash of name. Short whatever the target's name.
std::string LockFileName(std::string_view name);
bool IsTemporaryFileOf(std::string_view entry, std::string_view name);
