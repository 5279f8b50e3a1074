// Saving never costs the old file: a failure at any point leaves it byte for byte as it was
// and leaves no temporary file behind.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "io/atomicfile.h"

namespace fs = std::filesystem;

namespace {
class AtomicFileTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("fieldinput-atomic-" + std::to_string(::getpid()) + "-" +
                                        testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(dir_);
  }
  std::string path(const std::string& name) const { return (dir_ / name).string(); }
  static std::string Read(const std::string& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  static void Write(const std::string& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
  }
  std::size_t FilesInDir() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
  }
  fs::path dir_;
};

// Fails the write that would take the total past limit bytes, or the n-th other call.
class FailingOps : public FileOps {
 public:
  enum class Fail { Write, Fsync, Close, Rename };
  FailingOps(Fail what, std::size_t limit) : what_(what), limit_(limit) {}
  ssize_t write(int fd, const void* data, std::size_t size) override {
    if (what_ == Fail::Write) {
      if (written_ >= limit_) {
        errno = ENOSPC;
        return -1;
      }
      size = std::min(size, limit_ - written_);  // a short write first, as a filling disk does
    }
    ssize_t n = FileOps::write(fd, data, size);
    if (n > 0) written_ += static_cast<std::size_t>(n);
    return n;
  }
  int fsync(int fd) override {
    if (what_ == Fail::Fsync) return errno = EIO, -1;
    return FileOps::fsync(fd);
  }
  int close(int fd) override {
    if (what_ == Fail::Close) {
      FileOps::close(fd);
      return errno = EIO, -1;
    }
    return FileOps::close(fd);
  }
  int rename(const char* from, const char* to) override {
    if (what_ == Fail::Rename) return errno = EXDEV, -1;
    return FileOps::rename(from, to);
  }

 private:
  Fail what_;
  std::size_t limit_;
  std::size_t written_ = 0;
};
}  // namespace

TEST_F(AtomicFileTest, CreatesAndReplaces) {
  std::string error;
  ASSERT_TRUE(SaveFileAtomically(path("a.ves"), "first\r\n", error)) << error;
  EXPECT_EQ(Read(path("a.ves")), "first\r\n");
  ::chmod(path("a.ves").c_str(), 0640);
  ASSERT_TRUE(SaveFileAtomically(path("a.ves"), "second", error)) << error;
  EXPECT_EQ(Read(path("a.ves")), "second");
  struct stat st {};
  ::stat(path("a.ves").c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0640u) << "a replaced file keeps its permissions";
  EXPECT_EQ(FilesInDir(), 1u);
}

TEST_F(AtomicFileTest, WritesThroughASymbolicLink) {
  Write(path("real.ves"), "old");
  fs::create_symlink(path("real.ves"), path("link.ves"));
  std::string error;
  ASSERT_TRUE(SaveFileAtomically(path("link.ves"), "new", error)) << error;
  EXPECT_TRUE(fs::is_symlink(path("link.ves")));
  EXPECT_EQ(Read(path("real.ves")), "new");
}

TEST_F(AtomicFileTest, AnyFailureLeavesTheOldFileAndNoTemporary) {
  const std::string old = "old content\r\n";
  const std::string bytes(100000, 'x');
  struct Case {
    FailingOps::Fail fail;
    std::size_t limit;
  };
  for (const Case c : {Case{FailingOps::Fail::Write, 0}, Case{FailingOps::Fail::Write, 1},
                       Case{FailingOps::Fail::Write, 65536}, Case{FailingOps::Fail::Write, 99999},
                       Case{FailingOps::Fail::Fsync, 0}, Case{FailingOps::Fail::Close, 0},
                       Case{FailingOps::Fail::Rename, 0}}) {
    Write(path("a.dat"), old);
    FailingOps ops(c.fail, c.limit);
    std::string error;
    EXPECT_FALSE(SaveFileAtomically(path("a.dat"), bytes, error, &ops));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(Read(path("a.dat")), old);
    EXPECT_EQ(FilesInDir(), 1u) << "temporary file left behind";
  }
}

TEST_F(AtomicFileTest, ReadOnlyTargetIsRefused) {
  Write(path("ro.ves"), "keep");
  ::chmod(path("ro.ves").c_str(), 0444);
  std::string error;
  EXPECT_FALSE(SaveFileAtomically(path("ro.ves"), "new", error));
  EXPECT_EQ(Read(path("ro.ves")), "keep");
  EXPECT_EQ(FilesInDir(), 1u);
}

TEST_F(AtomicFileTest, MissingFolderOrDirectoryTargetIsAnError) {
  std::string error;
  EXPECT_FALSE(SaveFileAtomically(path("no/such/folder/a.ves"), "x", error));
  fs::create_directory(path("adir"));
  EXPECT_FALSE(SaveFileAtomically(path("adir"), "x", error));
  EXPECT_TRUE(fs::is_directory(path("adir")));
}

TEST_F(AtomicFileTest, FullDiskLeavesTheOldFile) {
  // A file-size limit makes the real write fail with EFBIG part way, as a full disk would. The
  // child leaves SIGXFSZ at its default action, which would end it: the save ignores the signal,
  // so the write fails and the save says so.
  const std::string old = "old content\r\n";
  Write(path("big.dat"), old);
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_DFL);
    struct rlimit limit {4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::string error;
    bool saved = SaveFileAtomically(path("big.dat"), std::string(100000, 'y'), error);
    ::_exit(saved ? 1 : 0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the save claimed success past the size limit";
  EXPECT_EQ(Read(path("big.dat")), old);
  EXPECT_EQ(FilesInDir(), 1u);
}
