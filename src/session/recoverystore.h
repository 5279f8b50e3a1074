#pragma once
// Where the recovery files live, which of them belong to a program still running, and the
// worker that writes them.
//
// Every running program owns one session in the folder: <id>.rec, its recovery file, and
// <id>.lock, on which it holds an exclusive flock for as long as it runs. The system drops the
// lock when the program ends, however it ends (SIGKILL included). So a session whose lock can
// be taken was left by a program that did not end cleanly, and one whose lock is held belongs
// to a running program: its files are never touched. A lock file is locked before it gets its
// name, so that no other program ever sees it unlocked while its owner starts.

#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <functional>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "session/recovery.h"

// A recovery file left by a session that did not end cleanly, claimed by this program: its
// lock is held until the object is released, discarded, set aside or destroyed.
class LeftSession {
 public:
  LeftSession(std::string folder, std::string id, int lockFd, std::time_t modified);
  LeftSession(LeftSession&& other) noexcept;
  LeftSession& operator=(LeftSession&& other) noexcept;
  LeftSession(const LeftSession&) = delete;
  LeftSession& operator=(const LeftSession&) = delete;
  ~LeftSession();  // releases the claim; the files stay

  const std::string& path() const { return path_; }  // the recovery file
  std::time_t modified() const { return modified_; }
  // Reads and decodes the file; a file that cannot be read, is larger than 4 GiB or does not
  // decode gives ok false and the reason.
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
  std::string folder_;
  std::string id_;
  std::string path_;
  int lockFd_ = -1;
  std::time_t modified_ = 0;
};

class RecoveryStore {
 public:
  // folder: the user's data folder for the recovery files (created when missing).
  explicit RecoveryStore(std::string folder);
  ~RecoveryStore();  // drops the lock; the files stay unless finish() removed them
  RecoveryStore(const RecoveryStore&) = delete;
  RecoveryStore& operator=(const RecoveryStore&) = delete;

  // Creates the folder and this session's lock file, locked. false with the reason.
  bool open(std::string& error);
  bool isOpen() const { return lockFd_ >= 0; }
  const std::string& folder() const { return folder_; }
  const std::string& recoveryPath() const { return path_; }

  // Writes this session's recovery file whole: a temporary file in the folder (owner-only
  // permissions), flushed to disk and renamed over it. false with the reason; the previous
  // file is then as it was.
  bool write(std::string_view bytes, std::string& error);
  // The same for a file given in pieces, written one after the other.
  bool write(std::initializer_list<std::string_view> pieces, std::string& error);
  // The program ends cleanly: removes this session's recovery and lock files.
  void finish();

  // The sessions left by programs that did not end cleanly and hold a recovery file, newest
  // first, each claimed. The leftovers of such sessions without a recovery file (a lock file,
  // a temporary file of an interrupted write) are removed. Sessions of running programs are
  // left alone.
  std::vector<LeftSession> claimLeftSessions();

 private:
  std::string folder_;
  std::string id_;
  std::string path_;
  int lockFd_ = -1;
  std::mutex mutex_;  // one write or finish at a time
};

// Writes recovery files on a worker thread, so that nothing the user does waits for a write.
// Only the newest snapshot waiting is written; older ones not yet begun are dropped.
class RecoveryWriter {
 public:
  struct Snapshot {
    SessionState session;
    std::shared_ptr<const std::string> stations;  // EncodeRecoveryStations of the list
  };

  // onFailure, when given, is called on the worker thread with the reason of a write that
  // failed after the previous one succeeded (so a full disk is told once, not every second).
  explicit RecoveryWriter(RecoveryStore& store, std::function<void(const std::string&)> onFailure = {});
  ~RecoveryWriter();  // stop()
  RecoveryWriter(const RecoveryWriter&) = delete;
  RecoveryWriter& operator=(const RecoveryWriter&) = delete;

  void post(Snapshot snapshot);
  // Waits until every snapshot posted so far is written (or dropped for a newer one). true
  // when the last write succeeded.
  bool flush();
  // Waits for the write in progress, drops what waits, ends the worker. Later posts are ignored.
  void stop();
  // The reason of a write that failed since the last call, once; "" when none failed.
  std::string takeFailure();

 private:
  void run();

  RecoveryStore& store_;
  std::function<void(const std::string&)> onFailure_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::optional<Snapshot> pending_;
  bool busy_ = false;
  bool stopping_ = false;
  bool lastOk_ = true;
  std::string failure_;
  std::thread worker_;
};
