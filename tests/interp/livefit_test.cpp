// The fit that runs while readings are typed: on a thread of its own, the newest request wins,
// and every result carries the number of its request so that a stale one can be dropped.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "interp/livefit.h"
#include "synthetic.h"

namespace {
struct Collected {
  std::mutex mutex;
  std::condition_variable arrived;
  std::vector<std::pair<std::uint64_t, FitResult>> results;

  // Waits until a result of request `id` has arrived (at most a minute).
  bool waitFor(std::uint64_t id) {
    std::unique_lock<std::mutex> lock(mutex);
    return arrived.wait_for(lock, std::chrono::minutes(1), [&] {
      for (const auto& r : results)
        if (r.first == id) return true;
      return false;
    });
  }
};
}  // namespace

TEST(LiveFit, TheNewestRequestWinsAndIsFitted) {
  const LayerModel truth{{100.0, 10.0, 300.0}, {5.0, 20.0}};  // an H curve
  const std::vector<Reading> readings =
      SyntheticReadings(truth, ArrayKind::SchlumbergerIdeal, LogSpacings(19, 1.5, 500.0), 0.0, 1);
  Collected got;
  std::uint64_t last = 0;
  {
    LiveFit fit([&](std::uint64_t id, const FitResult& r) {
      {
        std::lock_guard<std::mutex> lock(got.mutex);
        got.results.emplace_back(id, r);
      }
      got.arrived.notify_all();
    });
    // Readings typed one after the other: each request replaces the one still waiting.
    for (std::size_t n = 1; n <= readings.size(); ++n) {
      const std::uint64_t id = fit.request(std::vector<Reading>(readings.begin(), readings.begin() + n), FitOptions{});
      EXPECT_GT(id, last);
      last = id;
    }
    ASSERT_TRUE(got.waitFor(last));
  }
  std::lock_guard<std::mutex> lock(got.mutex);
  // Every result arrives once, in request order (superseded requests are mostly never fitted).
  EXPECT_LE(got.results.size(), readings.size());
  for (std::size_t i = 1; i < got.results.size(); ++i) EXPECT_LT(got.results[i - 1].first, got.results[i].first);
  const FitResult& newest = got.results.back().second;
  EXPECT_EQ(got.results.back().first, last);
  ASSERT_TRUE(newest.ok) << newest.reason;
  EXPECT_LT(newest.rmsPercent, 0.5);
  ASSERT_EQ(newest.model.rho.size(), 3u);
  EXPECT_NEAR(newest.model.rho[1], 10.0, 2.0);
}

TEST(LiveFit, BadReadingsGiveAReasonAndCancelDropsTheWaitingRequest) {
  Collected got;
  LiveFit fit([&](std::uint64_t id, const FitResult& r) {
    {
      std::lock_guard<std::mutex> lock(got.mutex);
      got.results.emplace_back(id, r);
    }
    got.arrived.notify_all();
  });
  const std::uint64_t two = fit.request({{1.5, 0, 100}, {2.5, 0, 120}}, FitOptions{});
  ASSERT_TRUE(got.waitFor(two));
  {
    std::lock_guard<std::mutex> lock(got.mutex);
    EXPECT_FALSE(got.results.back().second.ok);
    EXPECT_EQ(got.results.back().second.reason, fittext::kTooFewSpacings);
  }
  const std::uint64_t dropped = fit.request({{1.5, 0, 100}, {2.5, 0, 120}, {4, 0, 150}}, FitOptions{});
  fit.cancel();
  const std::uint64_t after = fit.request({{1.5, 0, 100}, {2.5, 0, 120}, {4, 0, 150}, {6, 0, 170}}, FitOptions{});
  EXPECT_GT(after, dropped + 1);  // cancel moved the numbers on: a running fit's result is stale
  ASSERT_TRUE(got.waitFor(after));
}

// Ranges asked for: the fit comes first, then the same request again with the ranges of its
// model; the ranges of a given model come in one result, without a fit.
TEST(LiveFit, RangesFollowTheFit) {
  const LayerModel truth{{100.0, 10.0, 300.0}, {5.0, 20.0}};
  const std::vector<Reading> readings =
      SyntheticReadings(truth, ArrayKind::SchlumbergerIdeal, LogSpacings(19, 1.5, 500.0), 0.02, 3);
  FitOptions three;
  three.layers = 3;
  Collected got;
  LiveFit fit([&](std::uint64_t id, const FitResult& r) {
    {
      std::lock_guard<std::mutex> lock(got.mutex);
      got.results.emplace_back(id, r);
    }
    got.arrived.notify_all();
  });
  const std::uint64_t withRanges = fit.request(readings, three, {.ranges = true, .rangesOf = std::nullopt});
  {
    std::unique_lock<std::mutex> lock(got.mutex);
    ASSERT_TRUE(got.arrived.wait_for(lock, std::chrono::minutes(1), [&] { return got.results.size() == 2; }));
    EXPECT_EQ(got.results[0].first, withRanges);
    EXPECT_EQ(got.results[1].first, withRanges);
    EXPECT_TRUE(got.results[0].second.equivalence.layers.empty());
    const FitResult& second = got.results[1].second;
    EXPECT_EQ(second.model, got.results[0].second.model);
    ASSERT_EQ(second.equivalence.layers.size(), 3u);
    // The conductor of an H curve: its conductance is known far better than its thickness.
    const LayerRanges& conductor = second.equivalence.layers[1];
    EXPECT_LE(conductor.conductance.low, 2.0);  // 20 m of 10 ohm-m
    EXPECT_GE(conductor.conductance.high, 2.0);
    EXPECT_LT(conductor.conductance.high / conductor.conductance.low,
              conductor.thickness.high / conductor.thickness.low);
    got.results.clear();
  }
  const std::uint64_t given = fit.request(readings, three, {.ranges = false, .rangesOf = truth});
  ASSERT_TRUE(got.waitFor(given));
  std::lock_guard<std::mutex> lock(got.mutex);
  ASSERT_EQ(got.results.size(), 1u);
  EXPECT_EQ(got.results[0].second.model, truth);
  EXPECT_EQ(got.results[0].second.equivalence.layers.size(), 3u);
}
