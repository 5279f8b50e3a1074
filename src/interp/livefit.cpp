#include "interp/livefit.h"

#include <utility>

#include "interp/equivalence.h"
#include "interp/forward.h"

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

std::uint64_t LiveFit::request(std::vector<Reading> readings, FitOptions options, Extra extra) {
  std::uint64_t id = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    id = ++last_;
    waiting_ = Job{id, std::move(readings), std::move(options), std::move(extra)};
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
      if (job.extra.rangesOf) {
        result.ok = true;
        result.model = *job.extra.rangesOf;
        result.equivalence = EquivalenceRanges(job.readings, ArrayKind::SchlumbergerIdeal, job.options, result);
        done_(job.id, result);
        continue;
      }
      result = FitSounding(job.readings, ArrayKind::SchlumbergerIdeal, job.options);
    } catch (const std::exception& e) {
      result = FitResult();
      result.reason = e.what();
      done_(job.id, result);
      continue;
    }
    done_(job.id, result);
    if (!job.extra.ranges || !result.ok || newerWaiting()) continue;
    try {
      result.equivalence = EquivalenceRanges(job.readings, ArrayKind::SchlumbergerIdeal, job.options, result);
    } catch (const std::exception&) {
      continue;  // no ranges: the fit was handed over already
    }
    done_(job.id, result);
  }
}

bool LiveFit::newerWaiting() {
  std::lock_guard<std::mutex> lock(mutex_);
  return waiting_.has_value() || stopping_;
}
