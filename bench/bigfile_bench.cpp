// Opening big and hostile files: what a refused 1 GiB file of zero bytes costs, what opening a
// valid .ves file of about 200 MB costs in time and memory, and how soon a cancelled open
// returns. Each run is made in a child process of its own, so that its peak memory is its own:
//   peak_heap_MB  the most bytes held from operator new at once during the open, above what
//                 was held before (a counting allocator);
//   rss_delta_MB  the growth of the child's peak resident memory (getrusage ru_maxrss);
//   x_file        peak_heap_MB over the file's size.
// The time is the open's own (cancel: from the cancel to the return of the open).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>
#include <thread>

#include "io/filekind.h"
#include "io/vesfile.h"
#include "session/survey.h"
#include "silent_questions.h"
#include "survey_data.h"

// ---- A counting allocator: every operator new of the program is counted ----

namespace {
std::atomic<long long> heldBytes{0};
std::atomic<long long> peakBytes{0};

void* Take(std::size_t size) {
  void* p = std::malloc(size == 0 ? 1 : size);
  if (p == nullptr) throw std::bad_alloc();
  const long long now = heldBytes += static_cast<long long>(::malloc_usable_size(p));
  long long peak = peakBytes.load(std::memory_order_relaxed);
  while (now > peak && !peakBytes.compare_exchange_weak(peak, now, std::memory_order_relaxed)) {
  }
  return p;
}

void Give(void* p) noexcept {
  if (p == nullptr) return;
  heldBytes -= static_cast<long long>(::malloc_usable_size(p));
  std::free(p);
}
}  // namespace

void* operator new(std::size_t size) { return Take(size); }
void* operator new[](std::size_t size) { return Take(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return Take(size);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { Give(p); }
void operator delete[](void* p) noexcept { Give(p); }
void operator delete(void* p, std::size_t) noexcept { Give(p); }
void operator delete[](void* p, std::size_t) noexcept { Give(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Give(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Give(p); }

namespace {

constexpr double kMiB = 1024.0 * 1024.0;

std::string TempPath(const std::string& name) {
  return (std::filesystem::temp_directory_path() /
          ("fieldinput-bigfile-" + std::to_string(::getpid()) + "-" + name))
      .string();
}

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// A .ves file of stations stations of 49 rows, written a thousand stations at a time so that
// this process never holds the whole file.
bool WriteVesFile(const std::string& path, int stations) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  // Lines 1 and 2 as the writer makes them, then the count.
  const std::string empty = BuildVesFile({});
  const std::string head = empty.substr(0, empty.size() - 3) + std::to_string(stations) + "\r\n";
  bool ok = WriteAll(fd, head);
  constexpr int kPiece = 1000;
  for (int first = 0; ok && first < stations; first += kPiece) {
    const std::string piece = BuildVesFile(benchdata::Stations(first, std::min(kPiece, stations - first)));
    // Without its three header lines.
    std::size_t blocks = 0;
    for (int line = 0; line < 3; ++line) blocks = piece.find('\n', blocks) + 1;
    ok = WriteAll(fd, piece.substr(blocks));
  }
  return ::close(fd) == 0 && ok;
}

// A file of size bytes: four text lines, then a hole that reads as zero bytes.
bool WriteZeroFilledFile(const std::string& path, off_t size) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  const std::string empty = BuildVesFile({});
  const bool ok = WriteAll(fd, empty + "Station 1\r\n") && ::ftruncate(fd, size) == 0;
  return ::close(fd) == 0 && ok;
}

long long FileSize(const std::string& path) {
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  return error ? 0 : static_cast<long long>(size);
}

long MaxRssKiB() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// What one run in a child measured.
struct Run {
  double seconds = 0;
  double peakHeapBytes = 0;
  double rssDeltaBytes = 0;
  long long result = 0;  // what the run says it made (stations, or whether it was refused)
  bool ok = false;
};

// Runs work in a child process; work returns the seconds to report and sets result.
template <class Work>
Run InChild(Work work) {
  Run run;
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return run;
  const pid_t child = ::fork();
  if (child < 0) return run;
  if (child == 0) {
    ::close(pipeFds[0]);
    Run measured;
    const long rssBefore = MaxRssKiB();
    const long long heldBefore = heldBytes.load();
    peakBytes = heldBefore;
    measured.seconds = work(measured.result);
    measured.peakHeapBytes = static_cast<double>(peakBytes.load() - heldBefore);
    measured.rssDeltaBytes = static_cast<double>(MaxRssKiB() - rssBefore) * 1024.0;
    measured.ok = true;
    const bool written = ::write(pipeFds[1], &measured, sizeof measured) == static_cast<ssize_t>(sizeof measured);
    ::_exit(written ? 0 : 1);
  }
  ::close(pipeFds[1]);
  const bool read = ::read(pipeFds[0], &run, sizeof run) == static_cast<ssize_t>(sizeof run);
  ::close(pipeFds[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!read || !WIFEXITED(status) || WEXITSTATUS(status) != 0) run.ok = false;
  return run;
}

double Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Report(benchmark::State& state, const Run& run, long long fileBytes) {
  state.counters["file_MB"] = static_cast<double>(fileBytes) / kMiB;
  state.counters["peak_heap_MB"] = run.peakHeapBytes / kMiB;
  state.counters["rss_delta_MB"] = run.rssDeltaBytes / kMiB;
  state.counters["x_file"] = fileBytes > 0 ? run.peakHeapBytes / static_cast<double>(fileBytes) : 0.0;
}

// Runs work in a child per iteration, timed by what it returns; a run that does not make
// expected is an error. The last run.
template <class Work>
Run Measure(benchmark::State& state, long long expected, const char* error, Work work) {
  Run run;
  for (auto _ : state) {
    run = InChild(work);
    if (!run.ok || run.result != expected) state.SkipWithError(error);
    state.SetIterationTime(run.seconds);
  }
  return run;
}

// ---- The benchmarks ----

// 1 GiB, zero bytes from line 5 on: refused as a binary file.
void BM_RefuseZeroFilled1GiB(benchmark::State& state) {
  const std::string path = TempPath("zeros.ves");
  if (!WriteZeroFilledFile(path, off_t{1} << 30)) {
    state.SkipWithError("cannot write the file");
    return;
  }
  const Run run = Measure(state, 1, "not refused as a binary file", [&](long long& refused) {
    const auto start = std::chrono::steady_clock::now();
    const OpenResult opened = ReadSurveyFileAt(path);
    const double seconds = Since(start);
    refused = opened.status == ReadStatus::Refused && opened.message.find("零字节") != std::string::npos;
    return seconds;
  });
  Report(state, run, FileSize(path));
  std::remove(path.c_str());
}
BENCHMARK(BM_RefuseZeroFilled1GiB)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// About 200 MB: 240,000 stations of 49 rows.
constexpr int kBigStations = 240000;

const std::string& BigVesFile() {
  static const std::string path = [] {
    const std::string p = TempPath("big.ves");
    if (!WriteVesFile(p, kBigStations)) std::remove(p.c_str());
    return p;
  }();
  return path;
}

// The reading alone, as the open's work does it.
void BM_ReadVes200MB(benchmark::State& state) {
  const std::string& path = BigVesFile();
  const Run run = Measure(state, kBigStations, "stations lost", [&](long long& stations) {
    const auto start = std::chrono::steady_clock::now();
    const OpenResult opened = ReadSurveyFileAt(path);
    const double seconds = Since(start);
    stations = opened.status == ReadStatus::Complete ? static_cast<long long>(opened.stations.size()) : -1;
    return seconds;
  });
  Report(state, run, FileSize(path));
}
BENCHMARK(BM_ReadVes200MB)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

// Questions whose long work runs on a thread of its own, as the window runs it, and is
// cancelled cancelAfter after it started.
class ThreadQuestions : public SilentQuestions {
 public:
  explicit ThreadQuestions(std::chrono::milliseconds cancelAfter) : cancelAfter_(cancelAfter) {}
  void runWork(const std::string&, const std::function<void(const WorkControl&)>& work) override {
    struct Control : WorkControl {
      std::atomic<bool> stop{false};
      bool cancelled() const override { return stop.load(); }
    } control;
    std::atomic<bool> done{false};
    std::thread thread([&] {
      work(control);
      done = true;
    });
    const auto started = std::chrono::steady_clock::now();
    while (!done && std::chrono::steady_clock::now() - started < cancelAfter_)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    cancelledAt = std::chrono::steady_clock::now();
    control.stop = true;
    thread.join();
  }
  std::chrono::steady_clock::time_point cancelledAt;

 private:
  std::chrono::milliseconds cancelAfter_;
};

// The whole open of the survey, as the window runs it (without the window): the reading on a
// thread, the stations taken over by the survey.
void BM_SurveyOpenVes200MB(benchmark::State& state) {
  const std::string& path = BigVesFile();
  const Run run = Measure(state, kBigStations, "stations lost", [&](long long& stations) {
    ThreadQuestions q(std::chrono::hours(1));
    Survey s(q, "/tmp/bin/input");
    const auto start = std::chrono::steady_clock::now();
    const bool opened = s.open({path});
    const double seconds = Since(start);
    stations = opened ? static_cast<long long>(s.stations().size()) : -1;
    return seconds;
  });
  Report(state, run, FileSize(path));
}
BENCHMARK(BM_SurveyOpenVes200MB)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

// Cancelled 300 ms into the open: the time from the cancel to the return of the open, which
// opens nothing.
void BM_CancelOpenVes200MB(benchmark::State& state) {
  const std::string& path = BigVesFile();
  const Run run = Measure(state, 0, "the cancelled open opened something", [&](long long& stations) {
    ThreadQuestions q(std::chrono::milliseconds(300));
    Survey s(q, "/tmp/bin/input");
    const bool opened = s.open({path});
    const double seconds = Since(q.cancelledAt);
    stations = opened ? -1 : static_cast<long long>(s.stations().size());
    return seconds;
  });
  state.counters["cancel_to_return_ms"] = run.seconds * 1000.0;
}
BENCHMARK(BM_CancelOpenVes200MB)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// Removes the generated file when the program ends.
struct RemoveBigFile {
  ~RemoveBigFile() { std::remove(TempPath("big.ves").c_str()); }
} removeBigFile;

}  // namespace
