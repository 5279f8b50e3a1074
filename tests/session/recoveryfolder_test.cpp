// The recovery folder is used only when no other user can change it or the folders that lead
// to it, and in it only the user's own regular files are read, locked or offered: a folder or
// file planted by someone else is never followed, never offered, and the store stays closed
// (recovery off) without touching anything. Ownership by another user is planted with chown,
// which needs root (as the tests run in CI); those cases are skipped otherwise.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <tuple>

#include "session/recovery.h"
#include "session/recoverystore.h"
#include "survey_support.h"

using namespace sessiontest;
namespace fs = std::filesystem;

namespace {

constexpr uid_t kOther = 65534;  // nobody
const std::string kSub = "FieldInput/fieldinput/recovery";

bool AsRoot() { return ::geteuid() == 0; }

void Mkdir(const std::string& path, mode_t mode = 0700) {
  fs::create_directories(path);
  ASSERT_EQ(::chmod(path.c_str(), mode), 0) << path;
}

void Chown(const std::string& path, uid_t uid) { ASSERT_EQ(::lchown(path.c_str(), uid, static_cast<gid_t>(-1)), 0) << path; }

void Symlink(const std::string& target, const std::string& path) {
  ASSERT_EQ(::symlink(target.c_str(), path.c_str()), 0) << path;
}

// Every entry below folder (links not followed): its kind, owner, permissions and bytes.
std::map<std::string, std::tuple<int, uid_t, unsigned, std::string>> Tree(const std::string& folder) {
  std::map<std::string, std::tuple<int, uid_t, unsigned, std::string>> tree;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    struct stat st {};
    if (::lstat(entry.path().c_str(), &st) != 0) continue;
    std::string bytes;
    if (S_ISREG(st.st_mode)) bytes = ReadBytes(entry.path().string()).value_or("?");
    if (S_ISLNK(st.st_mode)) bytes = fs::read_symlink(entry.path()).string();
    tree[fs::relative(entry.path(), folder).string()] = {static_cast<int>(st.st_mode & S_IFMT), st.st_uid,
                                                         static_cast<unsigned>(st.st_mode & 07777), bytes};
  }
  return tree;
}

// The recovery file of a survey of three stations.
std::string ThreeStationFile() {
  Session t;
  t.survey.load(dtSounding, ThreeSoundings());
  return EncodeRecoveryFile(t.survey.sessionState(), EncodeRecoveryStations(t.survey.stations()));
}

// A session left by a program of this user that did not end cleanly: its file written, its
// lock dropped.
void LeaveSession(const std::string& folder) {
  RecoveryStore dead(folder);
  std::string error;
  ASSERT_TRUE(dead.open(error)) << error;
  ASSERT_TRUE(dead.write(ThreeStationFile(), error)) << error;
}

}  // namespace

// Planted folders on the way to the recovery folder. root holds "home/data" (the data folder)
// and "elsewhere"; the recovery folder is data/FieldInput/fieldinput/recovery.
TEST(RecoveryFolder, FoldersOthersCouldChangeAreNotUsed) {
  struct Case {
    const char* name;
    bool needsRoot;
    std::function<void(const std::string& root)> plant;
    const char* blamed;  // the folder the refusal names (below root); nullptr: the folder is used
  };
  const Case cases[] = {
      {"a fresh data folder", false, [](const std::string&) {}, nullptr},
      {"the data folder writable by others", false,
       [](const std::string& root) { Mkdir(root + "/home/data", 0777); }, "home/data"},
      {"the data folder writable by its group", false,
       [](const std::string& root) { Mkdir(root + "/home/data", 0770); }, "home/data"},
      {"the data folder sticky and writable by others", false,
       [](const std::string& root) { Mkdir(root + "/home/data", 01777); }, "home/data"},
      {"the recovery folder writable by others, with a session in it", false,
       [](const std::string& root) {
         LeaveSession(root + "/home/data/" + kSub);
         ASSERT_EQ(::chmod((root + "/home/data/" + kSub).c_str(), 0777), 0);
       },
       "home/data/FieldInput/fieldinput/recovery"},
      {"the recovery folder made by another user, with a session in it", true,
       [](const std::string& root) {
         LeaveSession(root + "/home/data/" + kSub);
         for (const auto& entry : fs::directory_iterator(root + "/home/data/" + kSub)) Chown(entry.path(), kOther);
         Chown(root + "/home/data/" + kSub, kOther);
       },
       "home/data/FieldInput/fieldinput/recovery"},
      {"the program's folder made by another user", true,
       [](const std::string& root) {
         Mkdir(root + "/home/data/FieldInput", 0755);
         Chown(root + "/home/data/FieldInput", kOther);
       },
       "home/data/FieldInput"},
      {"the recovery folder a link to a folder of the user", false,
       [](const std::string& root) {
         Mkdir(root + "/elsewhere");
         Mkdir(root + "/home/data/FieldInput/fieldinput");
         Symlink(root + "/elsewhere", root + "/home/data/" + kSub);
       },
       "home/data/FieldInput/fieldinput/recovery"},
      {"the data folder another user's", true,
       [](const std::string& root) {
         Mkdir(root + "/home/data", 0755);
         Chown(root + "/home/data", kOther);
       },
       "home/data"},
      {"a folder above writable by others, not sticky", false,
       [](const std::string& root) { Mkdir(root + "/home", 0777); }, "home"},
      {"a folder above sticky and writable by others, as /tmp", false,
       [](const std::string& root) { Mkdir(root + "/home", 01777); }, nullptr},
      {"a folder above another user's", true,
       [](const std::string& root) {
         Mkdir(root + "/home", 0755);
         Chown(root + "/home", kOther);
       },
       "home"},
      {"the data folder a link to a folder of the user", false,
       [](const std::string& root) {
         Mkdir(root + "/elsewhere");
         Mkdir(root + "/home");
         Symlink(root + "/elsewhere", root + "/home/data");
       },
       nullptr},
      {"the data folder a link into another user's folder", true,
       [](const std::string& root) {
         Mkdir(root + "/theirs", 0755);
         Chown(root + "/theirs", kOther);
         Mkdir(root + "/home");
         Symlink(root + "/theirs", root + "/home/data");
       },
       "theirs"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.needsRoot && !AsRoot()) {
      std::printf("skipped without root: %s\n", c.name);
      continue;
    }
    TempDir dir;
    const std::string root = dir.path();
    c.plant(root);
    if (!fs::exists(fs::symlink_status(root + "/home/data"))) Mkdir(root + "/home/data");
    const auto before = Tree(root);

    RecoveryStore store(root + "/home/data", kSub);
    std::string error;
    const bool opened = store.open(error);

    if (c.blamed == nullptr) {
      ASSERT_TRUE(opened) << error;
      EXPECT_FALSE(store.unsafe());
      ASSERT_TRUE(store.write("mine", error)) << error;
      EXPECT_EQ(ReadBytes(store.recoveryPath()), "mine");
      continue;
    }
    EXPECT_FALSE(opened);
    EXPECT_TRUE(store.unsafe());
    EXPECT_FALSE(store.isOpen());
    const std::string blamed = fs::canonical(root).string() + "/" + c.blamed + ": ";
    EXPECT_EQ(error.rfind(blamed, 0), 0u) << error;
    // Nothing offered, nothing written, nothing made, nothing followed.
    EXPECT_TRUE(store.claimLeftSessions().empty());
    std::string ignored;
    EXPECT_FALSE(store.write("x", ignored));
    store.finish();
    EXPECT_EQ(Tree(root), before);
  }
}

// Files planted in the user's own recovery folder: only the session the user's program left is
// offered; links are never followed (nothing is created or read through them), another user's
// files and anything that is not a regular file are left as they are.
TEST(RecoveryFolder, OnlyTheUsersOwnFilesAreOffered) {
  TempDir dir;
  const std::string root = dir.path();
  const std::string folder = root + "/data/" + kSub;
  Mkdir(root + "/outside");
  const std::string file = ThreeStationFile();
  ASSERT_TRUE(WriteBytes(root + "/outside/victim", "the user's file"));
  ASSERT_TRUE(WriteBytes(root + "/outside/valid.rec", file));
  LeaveSession(folder);
  const auto genuine = Tree(folder);
  ASSERT_EQ(genuine.size(), 2u);
  const std::string genuineRec = genuine.begin()->first.ends_with(".rec") ? genuine.begin()->first : genuine.rbegin()->first;

  struct Plant {
    const char* name;
    bool needsRoot;
    std::function<void(const std::string& folder)> plant;
  };
  const Plant plants[] = {
      {"a lock that links to a file to be made", false,
       [&](const std::string& f) {
         ASSERT_TRUE(WriteBytes(f + "/a.rec", file));
         Symlink(root + "/outside/made-through-link", f + "/a.lock");
       }},
      {"a lock that links to a file of the user", false,
       [&](const std::string& f) {
         ASSERT_TRUE(WriteBytes(f + "/b.rec", file));
         Symlink(root + "/outside/victim", f + "/b.lock");
       }},
      {"a recovery file that links to one elsewhere", false,
       [&](const std::string& f) { Symlink(root + "/outside/valid.rec", f + "/c.rec"); }},
      {"a recovery file of another user", true,
       [&](const std::string& f) {
         ASSERT_TRUE(WriteBytes(f + "/d.rec", file));
         Chown(f + "/d.rec", kOther);
       }},
      {"a lock of another user", true,
       [&](const std::string& f) {
         ASSERT_TRUE(WriteBytes(f + "/e.rec", file));
         ASSERT_TRUE(WriteBytes(f + "/e.lock", ""));
         Chown(f + "/e.lock", kOther);
       }},
      {"a recovery file that is a pipe", false,
       [&](const std::string& f) { ASSERT_EQ(::mkfifo((f + "/f.rec").c_str(), 0600), 0); }},
      {"a recovery file that is a folder", false, [&](const std::string& f) { Mkdir(f + "/g.rec"); }},
  };
  for (const Plant& p : plants) {
    if (p.needsRoot && !AsRoot()) {
      std::printf("skipped without root: %s\n", p.name);
      continue;
    }
    SCOPED_TRACE(p.name);
    p.plant(folder);
  }
  const auto planted = Tree(root);

  RecoveryStore store(root + "/data", kSub);
  std::string error;
  ASSERT_TRUE(store.open(error)) << error;
  std::vector<LeftSession> left = store.claimLeftSessions();
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].path(), folder + "/" + genuineRec);
  const RecoveryReadResult read = left[0].read();
  ASSERT_TRUE(read.ok) << read.error;
  EXPECT_EQ(read.stations, ThreeSoundings());
  left.clear();

  // Everything planted is as it was; the only new files are this store's lock file.
  auto after = Tree(root);
  for (auto it = after.begin(); it != after.end();) {
    it = it->first.ends_with(".lock") && !planted.contains(it->first) ? after.erase(it) : std::next(it);
  }
  EXPECT_EQ(after, planted);
  EXPECT_FALSE(fs::exists(root + "/outside/made-through-link"));
}
