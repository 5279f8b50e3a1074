#include "interp/livefit.h"

#include <utility>

LiveFit::LiveFit(Done done) : done_(std::move(done)), worker_([this] { run(); }) {}

LiveFit::~LiveFit() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    waiting_.reset();
  }
  wake_.notify_all();
  worker_.join();
}

std::uint64_t LiveFit::request(std::vector<Reading> readings, FitOptions options) {
  std::uint64_t id = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    id = ++last_;
    waiting_ = Job{id, std::move(readings), std::move(options)};
  }
  wake_.notify_one();
  return id;
}

void LiveFit::cancel() {
  std::lock_guard<std::mutex> lock(mutex_);
  ++last_;
  waiting_.reset();
}

void LiveFit::run() {
  for (;;) {
    Job job;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || waiting_.has_value(); });
      if (stopping_) return;
      job = std::move(*waiting_);
      waiting_.reset();
    }
    FitResult result;
    try {
      result = FitSounding(job.readings, ArrayKind::SchlumbergerIdeal, job.options);
    } catch (const std::exception& e) {
      result.ok = false;
      result.reason = e.what();
    }
    done_(job.id, result);
  }
}
