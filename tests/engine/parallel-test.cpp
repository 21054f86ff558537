// parallel-test.cpp - runOrdered delivers every item once, in order, on the calling thread,
// whatever the thread count and the order in which the workers finish; it stops early on request.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

#include "partcore/parallel.hpp"

namespace equ::test {
namespace {

// Work whose duration varies with j, so that workers finish out of order.
void unevenWork(std::int64_t j, std::vector<std::int64_t>& result) {
  if (j % 7 == 3) std::this_thread::sleep_for(std::chrono::microseconds(300));
  result.assign(static_cast<std::size_t>(j % 5) + 1, j * j);
}

TEST(RunOrdered, DeliversEveryItemInOrderOnTheCallingThread) {
  const auto caller = std::this_thread::get_id();
  for (int threads = 1; threads <= 4; ++threads) {
    for (const std::int64_t count : {0, 1, 2, 9, 500}) {
      SCOPED_TRACE(testing::Message() << threads << " threads, " << count << " items");
      std::atomic<std::int64_t> worked{0};
      std::vector<std::int64_t> order;
      const std::int64_t n = runOrdered<std::vector<std::int64_t>>(
          threads, count,
          [&](std::int64_t j, std::vector<std::int64_t>& r) {
            ++worked;
            unevenWork(j, r);
          },
          [&](std::int64_t j, std::vector<std::int64_t>& r) {
            EXPECT_EQ(std::this_thread::get_id(), caller);
            EXPECT_EQ(r, std::vector<std::int64_t>(static_cast<std::size_t>(j % 5) + 1, j * j));
            order.push_back(j);
            return true;
          });
      EXPECT_EQ(n, count);
      EXPECT_EQ(worked.load(), count);
      ASSERT_EQ(static_cast<std::int64_t>(order.size()), count);
      for (std::int64_t j = 0; j < count; ++j) EXPECT_EQ(order[static_cast<std::size_t>(j)], j);
    }
  }
}

TEST(RunOrdered, TellsEachItemItsWorker) {
  for (int threads = 1; threads <= 4; ++threads) {
    std::vector<std::atomic<int>> busy(static_cast<std::size_t>(threads));
    std::atomic<bool> clash{false};
    runOrdered<int>(
        threads, 300,
        [&](std::int64_t j, int& r, int worker) {
          ASSERT_GE(worker, 0);
          ASSERT_LT(worker, threads);
          // No two items at once on one worker's scratch.
          if (busy[static_cast<std::size_t>(worker)]++ != 0) clash = true;
          if (j % 11 == 0) std::this_thread::sleep_for(std::chrono::microseconds(100));
          r = static_cast<int>(j);
          busy[static_cast<std::size_t>(worker)]--;
        },
        [](std::int64_t j, int& r) { return r == static_cast<int>(j); });
    EXPECT_FALSE(clash.load()) << threads;
  }
}

TEST(RunOrdered, StopsWhenDeliverSaysSo) {
  for (int threads = 1; threads <= 4; ++threads) {
    SCOPED_TRACE(testing::Message() << threads << " threads");
    std::atomic<std::int64_t> worked{0};
    std::int64_t last = -1;
    const std::int64_t n = runOrdered<std::vector<std::int64_t>>(
        threads, 100000,
        [&](std::int64_t j, std::vector<std::int64_t>& r) {
          ++worked;
          unevenWork(j, r);
        },
        [&](std::int64_t j, std::vector<std::int64_t>&) {
          EXPECT_EQ(j, last + 1);
          last = j;
          return j != 40;
        });
    EXPECT_EQ(n, 41);
    EXPECT_EQ(last, 40);
    // Workers run at most a window ahead.
    EXPECT_LE(worked.load(), 41 + kOrderedWindowPerThread * threads + threads);
  }
}

TEST(RunOrdered, AFailingItemStopsTheRunAndIsThrownToTheCaller) {
  for (int threads = 1; threads <= 3; ++threads) {
    std::int64_t delivered = 0;
    EXPECT_THROW(runOrdered<int>(
                     threads, 1000,
                     [](std::int64_t j, int& r) {
                       if (j == 17) throw std::runtime_error("item 17");
                       r = static_cast<int>(j);
                     },
                     [&](std::int64_t, int&) {
                       ++delivered;
                       return true;
                     }),
                 std::runtime_error);
    EXPECT_LE(delivered, 17);
  }
}

}  // namespace
}  // namespace equ::test
