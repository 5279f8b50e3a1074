// Memory that runs out while a file is read or a save is made is reported, and nothing is
// lost: the target keeps every byte and no temporary file stays behind.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "io/messages.h"
#include "io/savetransaction.h"
#include "io/soundingdat.h"
#include "io/vesfile.h"
#include "iotest_support.h"

// This test program's operator new fails every request of at least gFailFrom bytes while
// gFailFrom is not 0, as an exhausted heap does for a large block.
namespace {
std::atomic<std::size_t> gFailFrom{0};
}  // namespace

void* operator new(std::size_t size) {
  const std::size_t from = gFailFrom.load();
  if (from != 0 && size >= from) throw std::bad_alloc();
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
// GCC takes the free() of the replacement for a mismatch with the built-in operator new.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop
// Every other form of new and delete that the program's code uses goes to the same heap, so
// that no block is taken from one and given back to another (the sanitizers check this).
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return ::operator new(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void operator delete(void* p, const std::nothrow_t&) noexcept { ::operator delete(p); }
void* operator new[](std::size_t size) { return ::operator new(size); }
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return ::operator new(size, tag); }
void operator delete[](void* p) noexcept { ::operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { ::operator delete(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { ::operator delete(p); }

namespace {

// Fails large allocations for as long as it lives.
class LargeAllocationsFail {
 public:
  explicit LargeAllocationsFail(std::size_t from) { gFailFrom = from; }
  ~LargeAllocationsFail() { gFailFrom = 0; }
};

// A .ves file of count stations of 20 rows: about 600 bytes a station.
std::string VesFileOf(int count) {
  StationList stations;
  for (int i = 0; i < count; ++i) {
    std::vector<float> ab2;
    std::vector<float> rho;
    for (int r = 0; r < 20; ++r) {
      ab2.push_back(1.5f + static_cast<float>(r));
      rho.push_back(100.0f + static_cast<float>(r));
    }
    stations.push_back(iotest::Sounding("S" + std::to_string(i), static_cast<float>(i), ab2, rho));
  }
  return BuildVesFile(stations);
}

}  // namespace

TEST(MemoryFailure, ReadersReportItAndKeepNothing) {
  const std::string ves = VesFileOf(5000);
  LargeAllocationsFail fail(256 * 1024);
  const VesReadResult read = ReadVesFile(ves, {});
  EXPECT_EQ(read.status, ReadStatus::OutOfMemory);
  EXPECT_TRUE(read.stations.empty());
  EXPECT_EQ(ReadStatusMessage(read.status, kMaxReadBytes), msg::kOutOfMemory);
}

TEST(MemoryFailure, ReadingTheTargetReportsItAndTheFileIsKept) {
  iotest::TempDir dir;
  const std::string target = dir.path("big.ves");
  const std::string content = VesFileOf(5000);  // about 3 MB
  iotest::TempDir::Write(target, content);
  {
    LargeAllocationsFail fail(1024 * 1024);
    EXPECT_EQ(ReadVesFileAt(target, {}).status, ReadStatus::OutOfMemory);
    SaveTransaction save(target);
    ASSERT_TRUE(save.begin());
    std::string bytes;
    bool exists = false;
    EXPECT_FALSE(save.readExisting(bytes, exists));
    EXPECT_EQ(save.problem().fault, FileFault::OutOfMemory);
    EXPECT_EQ(save.problem().message, msg::kOutOfMemory);
  }
  EXPECT_EQ(iotest::TempDir::Read(target), content);
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"big.ves"});
}

TEST(MemoryFailure, MergingOrBuildingReportsItAndWritesNothing) {
  iotest::TempDir dir;
  const std::string target = dir.path("a.ves");
  const std::string content = VesFileOf(2000);
  iotest::TempDir::Write(target, content);
  SaveTransaction save(target);
  const auto result = save.update([&](const std::string& bytes, bool) -> std::optional<std::string> {
    VesReadResult read = ReadVesFile(bytes, {});
    StationList all;
    MergeVesStations(all, read.stations);
    LargeAllocationsFail fail(256 * 1024);
    return BuildVesFile(all);  // its output does not fit
  });
  EXPECT_EQ(result, SaveTransaction::UpdateResult::Failed);
  EXPECT_EQ(save.problem().fault, FileFault::OutOfMemory);
  save.end();
  EXPECT_EQ(iotest::TempDir::Read(target), content);
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"a.ves"});
}
