#pragma once
// Where the recovery files live, which of them belong to a program still running, what of the
// survey changed since the last autosave, and the worker that writes it.
//
// The folder. A recovery file is read back at the next start and offered as the user's own
// work, and the program creates and locks files in its folder; so the folder must be one that no
// other user can change. It is used only when, with every symbolic link of the data folder's
// path resolved:
//   - the data folder and every folder below it down to the recovery folder belong to the user
//     and are writable by nobody else (no group or other write permission), and none of the
//     folders below the data folder is a symbolic link;
//   - every folder above the data folder belongs to the user or to root and is writable by
//     nobody else, or, if others may write to it, has the sticky bit (as /tmp has), so that
//     nobody else can rename or remove the user's folder in it.
// Otherwise the store is not opened (unsafe() says so) and the program runs without recovery.
// Every file of the folder is then opened through the folder's descriptor, never following a
// symbolic link, and a file that is not a regular file of the user is left alone: it is never
// read, locked, offered, removed or set aside.
//
// Sessions. Every running program owns one session in the folder: <id>.rec, its recovery file,
// and <id>.lock, on which it holds an exclusive flock for as long as it runs. The system drops
// the lock when the program ends, however it ends (SIGKILL included). So a session whose lock
// can be taken was left by a program that did not end cleanly, and one whose lock is held
// belongs to a running program: its files are never touched. A lock file is locked before it
// gets its name, so that no other program ever sees it unlocked while its owner starts.
//
// Writing. The recovery file is written whole (a temporary file, flushed to disk and renamed
// over it) and then grows by appended change records (see recovery.h), each flushed to disk.
// RecoveryWriter writes it whole again when the records would pass a quarter of the whole file
// (and a megabyte) or 4096 records changed the station list (RecoveryLimits), so that reading it
// back stays quick while what an autosave writes follows what changed.

#include <sys/types.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "session/recovery.h"

// A recovery file left by a session that did not end cleanly, claimed by this program: its
// lock is held until the object is released, discarded, set aside or destroyed.
class LeftSession {
 public:
  LeftSession(int folderFd, std::string folder, std::string id, int lockFd, std::time_t modified, uid_t user);
  LeftSession(LeftSession&& other) noexcept;
  LeftSession& operator=(LeftSession&& other) noexcept;
  LeftSession(const LeftSession&) = delete;
  LeftSession& operator=(const LeftSession&) = delete;
  ~LeftSession();  // releases the claim; the files stay

  const std::string& path() const { return path_; }  // the recovery file
  std::time_t modified() const { return modified_; }
  // Reads and decodes the file; a file that cannot be read, is no longer a regular file of the
  // user, is larger than 4 GiB or does not decode gives ok false and the reason.
  RecoveryReadResult read() const;
  // Removes the recovery file and the lock file; false with the reason when the recovery file
  // could not be removed.
  bool discard(std::string& error);
  // Renames the recovery file to <id>.damaged, so that it is kept but never offered again,
  // and removes the lock file. The new path, or nothing with the reason.
  std::optional<std::string> setAside(std::string& error);
  // Gives up the claim; the files stay and are offered again at the next start.
  void release();

 private:
  void close();

  int folderFd_ = -1;  // its own descriptor of the folder
  std::string folder_;
  std::string id_;
  std::string path_;
  int lockFd_ = -1;
  std::time_t modified_ = 0;
  uid_t user_ = 0;
};

class RecoveryStore {
 public:
  // dataFolder: the user's data folder (XDG_DATA_HOME); subfolder: the recovery folder's path
  // below it ("FieldInput/fieldinput/recovery"). user: whose folders they must be.
  RecoveryStore(std::string dataFolder, std::string subfolder, uid_t user = ::getuid());
  // A recovery folder whose parent is taken as the data folder.
  explicit RecoveryStore(std::string folder);
  ~RecoveryStore();  // drops the lock; the files stay unless finish() removed them
  RecoveryStore(const RecoveryStore&) = delete;
  RecoveryStore& operator=(const RecoveryStore&) = delete;

  // Creates the missing folders (owner-only), checks that the folder is safe (see above) and
  // creates this session's lock file, locked. False with the reason; unsafe() then tells
  // whether the folder was refused as one that others could change.
  bool open(std::string& error);
  bool isOpen() const { return lockFd_ >= 0; }
  bool unsafe() const { return unsafe_; }
  const std::string& folder() const { return folder_; }
  const std::string& recoveryPath() const { return path_; }

  // Writes this session's recovery file whole: a temporary file in the folder (owner-only
  // permissions), flushed to disk and renamed over it. false with the reason; the previous
  // file is then as it was.
  bool write(std::string_view bytes, std::string& error);
  // The same for a file that produce hands, in pieces, to the function it is given (which
  // returns false when a piece could not be written; produce then returns false).
  bool writeWhole(const std::function<bool(const std::function<bool(std::string_view)>&)>& produce,
                  std::string& error);
  // Appends bytes to the file this store last wrote whole and flushes them to disk. false with
  // the reason when there is no such file or the bytes could not be written; the file is then
  // cut back to where it ended, or, if even that fails, no longer appended to.
  bool append(std::string_view bytes, std::string& error);
  // The bytes written to recovery files since the store was made.
  std::uint64_t bytesWritten() const { return written_.load(); }
  // The program ends cleanly: removes this session's recovery and lock files.
  void finish();

  // The sessions left by programs that did not end cleanly and hold a recovery file, newest
  // first, each claimed. The leftovers of such sessions without a recovery file (a lock file,
  // a temporary file of an interrupted write) are removed. Sessions of running programs, and
  // files that are not the user's regular files, are left alone.
  std::vector<LeftSession> claimLeftSessions();

 private:
  bool openFolder(std::string& error);
  void closeAppend();

  std::string dataFolder_;
  std::string subfolder_;
  uid_t user_;
  std::string folder_;
  std::string id_;
  std::string path_;
  int folderFd_ = -1;
  int lockFd_ = -1;
  int appendFd_ = -1;         // the recovery file as last written whole, for appends
  std::uint64_t fileSize_ = 0;  // its size
  bool unsafe_ = false;
  std::atomic<std::uint64_t> written_{0};
  std::mutex mutex_;  // one write or finish at a time
};

// Follows a survey and tells, at each take(), what changed since the previous take: the
// session's small state always, the grid cells typed (or the whole grid after a change of its
// shape), the shown form when it changed, and the station list as runs of the list before and
// copies of the stations inserted or replaced. The first take, and one after
// takeEverythingNext(), holds everything. Lives on the survey's thread; a take copies only
// what changed, so that a keystroke costs the same whatever the size of the survey.
class RecoveryTracker : private SurveyObserver {
 public:
  explicit RecoveryTracker(Survey& survey);
  ~RecoveryTracker() override;
  RecoveryTracker(const RecoveryTracker&) = delete;
  RecoveryTracker& operator=(const RecoveryTracker&) = delete;

  RecoveryChange take();
  void takeEverythingNext() { everything_ = true; }

 private:
  void surveyChanged(unsigned changes) override;
  void noteStations();

  Survey& survey_;
  bool everything_ = true;
  bool wholeGrid_ = false;
  std::vector<std::pair<int, int>> cells_;  // (col, row) typed since the last take
  bool stationsChanged_ = false;
  bool stationsLost_ = false;  // a change of the list could not be followed: it goes whole
  // While stationsChanged_: for each station of the list now, its place at the last take, or
  // kNewStations.
  std::vector<std::uint32_t> origin_;
  std::size_t takenCount_ = 0;  // the list's size at the last take
  FormState takenShown_;        // the shown form at the last take
};

// Whether a change holds a whole session (as the first take of a RecoveryTracker does).
bool HoldsEverything(const RecoveryChange& change);

// When RecoveryWriter writes the file whole again instead of appending.
struct RecoveryLimits {
  // The records appended after the whole file may grow to a quarter of it, and at least this.
  std::uint64_t minRecordBytes = std::uint64_t{1} << 20;
  // At most this many records that changed the station list follow the whole file (each costs
  // a pass over the list when the file is read).
  std::size_t maxStationRecords = 4096;
};

// Writes the changes of a session to its recovery file on a worker thread, so that nothing the
// user does waits for a write. It keeps the session as the file holds it, to write the file
// whole from it when it is time.
class RecoveryWriter {
 public:
  // onFailure, when given, is called on the worker thread with the reason of a write that
  // failed after the previous one succeeded (so a full disk is told once, not every second);
  // onLost when the writer lost the session (needsEverything()).
  explicit RecoveryWriter(RecoveryStore& store, std::function<void(const std::string&)> onFailure = {},
                          std::function<void()> onLost = {}, RecoveryLimits limits = {});
  ~RecoveryWriter();  // stop()
  RecoveryWriter(const RecoveryWriter&) = delete;
  RecoveryWriter& operator=(const RecoveryWriter&) = delete;

  // Every change posted is written, in order; the first must hold everything.
  void post(RecoveryChange change);
  // Waits until every change posted so far is written. true when the last write succeeded and
  // the file holds the session.
  bool flush();
  // Waits for the write in progress, drops what waits, ends the worker. Later posts are ignored.
  void stop();
  // The reason of a write that failed since the last call, once; "" when none failed.
  std::string takeFailure();
  // Whether the writer lost the session (memory ran out, or a change did not fit it): changes
  // are dropped until one holds everything again (RecoveryTracker::takeEverythingNext).
  bool needsEverything() const { return lost_.load(); }

 private:
  void run();
  bool write(std::vector<RecoveryChange>& changes, std::string& error);
  bool writeWhole(std::string& error);

  RecoveryStore& store_;
  std::function<void(const std::string&)> onFailure_;
  std::function<void()> onLost_;
  RecoveryLimits limits_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::deque<RecoveryChange> pending_;
  bool busy_ = false;
  bool stopping_ = false;
  bool lastOk_ = true;
  std::string failure_;
  std::atomic<bool> lost_{false};
  // The worker's: the session as the file holds it, and what the file holds after its base.
  SessionState session_;
  StationList stations_;
  bool whole_ = true;  // the next write is whole
  std::uint64_t baseBytes_ = 0;
  std::uint64_t recordBytes_ = 0;
  std::size_t stationRecords_ = 0;
  std::thread worker_;
};
