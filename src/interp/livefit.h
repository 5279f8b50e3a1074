#pragma once
// Fits a sounding's readings on a thread of its own while they are typed: the newest request
// wins. A request made while a fit runs waits for it and replaces any request still waiting;
// every finished fit is handed to `done` (on the worker thread) with the number of its request,
// so that the caller keeps only the result of its latest request and drops the others.

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "interp/fit.h"

// What a request asks for beyond the fit.
struct LiveFitExtra {
  bool ranges = false;                 // the equivalence ranges, handed over in a second result
  std::optional<LayerModel> rangesOf;  // no fit: the ranges of this model, in the only result
};

class LiveFit {
 public:
  using Done = std::function<void(std::uint64_t request, const FitResult& result)>;

  explicit LiveFit(Done done);
  // Waits for a running fit to end; a waiting request is dropped.
  ~LiveFit();
  LiveFit(const LiveFit&) = delete;
  LiveFit& operator=(const LiveFit&) = delete;

  using Extra = LiveFitExtra;
  // Asks for a fit of these readings (ideal Schlumberger); returns the request's number, larger
  // than every earlier one.
  std::uint64_t request(std::vector<Reading> readings, FitOptions options, Extra extra = {});
  // Drops a waiting request; a running fit still ends and is handed over (its number is stale).
  void cancel();

 private:
  struct Job {
    std::uint64_t id = 0;
    std::vector<Reading> readings;
    FitOptions options;
    Extra extra;
  };
  bool newerWaiting();
  void run();

  Done done_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::optional<Job> waiting_;
  std::uint64_t last_ = 0;
  bool stopping_ = false;
  std::thread worker_;  // last: started once the members above exist
};
