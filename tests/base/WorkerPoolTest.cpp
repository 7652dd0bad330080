// The worker pool: every band of every run exactly once and finished when
// Run returns, the caller alone in band order with one thread, a throwing
// band that neither stops the others nor the pool.
#include "base/WorkerPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

namespace lumevra {
namespace {

TEST(WorkerPool, EachRunTakesEveryBandOnceAndReturnsWhenAllAreDone) {
  struct Case {
    int32_t threadsAsked, threads;
  };
  const Case cases[] = {{-3, 1}, {0, 1}, {1, 1}, {2, 2}, {3, 3}, {8, 8}, {50, WorkerPool::kMaxThreads}};
  for (const Case& c : cases) {
    WorkerPool pool(c.threadsAsked);
    ASSERT_EQ(pool.Threads(), c.threads) << c.threadsAsked;
    // Runs back to back, so that a worker still busy with one run would meet the next.
    for (int run = 0; run < 200; ++run) {
      const int32_t bands = run % 13;
      std::vector<std::atomic<int>> taken(size_t(bands) + 1);
      std::vector<int> written(size_t(bands), 0);  // plain: Run must publish the bands' writes
      pool.Run(bands, [&](int32_t k) {
        taken[size_t(k)].fetch_add(1);
        written[size_t(k)] = run + 1;
      });
      for (int32_t k = 0; k < bands; ++k) {
        ASSERT_EQ(taken[size_t(k)].load(), 1) << c.threads << " threads, run " << run << ", band " << k;
        ASSERT_EQ(written[size_t(k)], run + 1);
      }
      ASSERT_EQ(taken[size_t(bands)].load(), 0);
    }
  }
}

TEST(WorkerPool, OneThreadRunsTheBandsOnTheCallerInOrder) {
  WorkerPool pool(1);
  const std::thread::id caller = std::this_thread::get_id();
  std::vector<int32_t> order;
  pool.Run(5, [&](int32_t k) {
    EXPECT_EQ(std::this_thread::get_id(), caller);
    order.push_back(k);
  });
  EXPECT_EQ(order, (std::vector<int32_t>{0, 1, 2, 3, 4}));
}

TEST(WorkerPool, AThrowingBandReachesTheCallerAfterTheOthersFinish) {
  for (const int32_t threads : {1, 2, 4}) {
    WorkerPool pool(threads);
    std::vector<std::atomic<int>> taken(6);
    EXPECT_THROW(pool.Run(6,
                          [&](int32_t k) {
                            taken[size_t(k)].fetch_add(1);
                            if (k == 1) throw std::runtime_error("band 1");
                          }),
                 std::runtime_error)
        << threads;
    for (const auto& t : taken) EXPECT_EQ(t.load(), 1) << threads;
    // The pool goes on working, and the old failure is not reported again.
    std::atomic<int> count{0};
    EXPECT_NO_THROW(pool.Run(6, [&](int32_t) { count.fetch_add(1); }));
    EXPECT_EQ(count.load(), 6);
  }
}

}  // namespace
}  // namespace lumevra
