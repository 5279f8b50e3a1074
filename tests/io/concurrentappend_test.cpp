// Two programs appending to the same .ves file at the same moment: each one's stations end in
// the file, or it says that it could not save and none of them is there.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>
#include <string>
#include <vector>

#include "io/vesfile.h"
#include "iotest_support.h"

extern char** environ;

namespace {

constexpr int kFileStations = 2000;
constexpr int kAppended = 2;

// Starts the appender with its standard input on the read end of a pipe; it begins once the
// test closes the write end.
pid_t StartAppender(const std::string& file, const std::string& prefix, int firstX, int startPipe) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, startPipe, STDIN_FILENO);
  const std::string count = std::to_string(kAppended);
  const std::string x = std::to_string(firstX);
  std::vector<char*> args = {const_cast<char*>(APPENDER_PATH), const_cast<char*>(file.c_str()),
                             const_cast<char*>(prefix.c_str()), const_cast<char*>(count.c_str()),
                             const_cast<char*>(x.c_str()), nullptr};
  pid_t pid = -1;
  const int error = posix_spawn(&pid, APPENDER_PATH, &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return error == 0 ? pid : -1;
}

int ExitStatus(pid_t pid) {
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

}  // namespace

TEST(ConcurrentAppend, BothProgramsStationsAreKeptOrOneSaysItDidNotSave) {
  iotest::TempDir dir;
  const std::string file = dir.path("survey.ves");
  StationList existing;
  for (int i = 0; i < kFileStations; ++i)
    existing.push_back(iotest::Sounding("S" + std::to_string(i), static_cast<float>(i), {1.5f, 2.5f}, {10, 20}));
  const std::string initial = BuildVesFile(existing);

  int bothSaved = 0;
  for (int round = 0; round < 25; ++round) {
    iotest::TempDir::Write(file, initial);
    int start[2];
    ASSERT_EQ(::pipe2(start, O_CLOEXEC), 0);
    const pid_t p = StartAppender(file, "P", 100000, start[0]);
    const pid_t q = StartAppender(file, "Q", 200000, start[0]);
    ::close(start[0]);
    ::close(start[1]);  // both start now
    ASSERT_GT(p, 0);
    ASSERT_GT(q, 0);
    const int pStatus = ExitStatus(p);
    const int qStatus = ExitStatus(q);
    ASSERT_TRUE(pStatus == 0 || pStatus == 3) << "round " << round << ": P ended with " << pStatus;
    ASSERT_TRUE(qStatus == 0 || qStatus == 3) << "round " << round << ": Q ended with " << qStatus;

    const VesReadResult read = ReadVesFile(iotest::TempDir::Read(file), {});
    ASSERT_EQ(read.status, ReadStatus::Complete) << "round " << round;
    std::set<std::string> names;
    for (const TStation& s : read.stations) names.insert(s.Name);
    for (int i = 0; i < kFileStations; ++i) ASSERT_TRUE(names.count("S" + std::to_string(i))) << "round " << round;
    for (const auto& [prefix, status] : {std::pair{std::string("P"), pStatus}, std::pair{std::string("Q"), qStatus}}) {
      for (int i = 1; i <= kAppended; ++i)
        EXPECT_EQ(names.count(prefix + std::to_string(i)), status == 0 ? 1u : 0u)
            << "round " << round << ": " << prefix << i << (status == 0 ? " was saved but is missing" : " is there though not saved");
    }
    EXPECT_EQ(read.stations.size(), static_cast<std::size_t>(kFileStations + kAppended * ((pStatus == 0) + (qStatus == 0))));
    bothSaved += pStatus == 0 && qStatus == 0;
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"survey.ves"}) << "round " << round;
  }
  RecordProperty("rounds_where_both_saved", bothSaved);
}
