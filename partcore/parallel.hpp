// parallel.hpp - runOrdered: work items computed on several threads, delivered on the calling
// thread strictly in order, so a multi-thread run writes exactly what a one-thread run writes.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <thread>
#include <type_traits>
#include <vector>

namespace equ {

// Computes work(j, result) for j = 0 .. count - 1 on up to `threads`
// threads and calls deliver(j, result) on the calling thread in order of j.
// work may also take a third argument, the number of the worker that runs
// it (0 .. threads - 1, 0 when inline), to pick per-thread scratch.
// When deliver returns false nothing more is delivered, the workers take no
// new item (those already started finish and are dropped) and runOrdered
// returns. The result is the number of deliver calls, the one that returned
// false included.
//
// Result must be default-constructible; each result object is reused for
// later items, so work must overwrite what it needs. A bounded window of
// kOrderedWindowPerThread results per thread is held: a worker waits rather than run far ahead
// of the delivery. With threads <= 1 everything runs inline, one item at a
// time (work, then deliver). work runs on other threads and must not touch
// what deliver touches; an exception it throws stops the run and is thrown
// again here, after every thread has ended. Items should be coarse (tens of
// microseconds or more): each one passes a mutex twice.
// Items held per worker thread beyond the one being delivered. Items can
// differ a thousandfold in cost (a closure of Part(10) that fills the table
// next to one of ten partitions): a deep window lets the other workers go
// on while the item at the head of the line takes long.
inline constexpr std::int64_t kOrderedWindowPerThread = 32;

template <class Result, class Work>
void runWorkItem(Work& work, std::int64_t j, Result& result, int worker) {
  if constexpr (std::is_invocable_v<Work&, std::int64_t, Result&, int>) {
    work(j, result, worker);
  } else {
    work(j, result);
  }
}

template <class Result, class Work, class Deliver>
std::int64_t runOrdered(int threads, std::int64_t count, Work work, Deliver deliver) {
  if (count <= 0) return 0;
  if (threads <= 1 || count == 1) {
    Result result{};
    for (std::int64_t j = 0; j < count; ++j) {
      runWorkItem(work, j, result, 0);
      if (!deliver(j, result)) return j + 1;
    }
    return count;
  }
  const int workers = static_cast<int>(std::min<std::int64_t>(threads, count));
  const std::int64_t window = kOrderedWindowPerThread * static_cast<std::int64_t>(workers);
  // Each slot on cache lines of its own: workers write their results (a
  // vector's end pointer at every push_back, say) side by side.
  struct alignas(64) Slot {
    Result result{};
    bool ready = false;
  };
  std::vector<Slot> slots(static_cast<std::size_t>(window));
  std::mutex mutex;
  std::condition_variable spaceFreed;  // workers wait for the window to move
  std::condition_variable itemReady;   // the caller waits for the next item
  std::int64_t next = 0;               // next item to hand out
  std::int64_t delivered = 0;          // items delivered so far
  bool stop = false;
  std::exception_ptr failure;

  auto slotOf = [&](std::int64_t j) -> Slot& { return slots[static_cast<std::size_t>(j % window)]; };
  auto workerLoop = [&](int worker) {
    for (;;) {
      std::int64_t j;
      {
        std::unique_lock<std::mutex> lock(mutex);
        spaceFreed.wait(lock, [&] { return stop || next >= count || next < delivered + window; });
        if (stop || next >= count) return;
        j = next++;
      }
      // The slot of j is free: its previous item, j - window, is delivered.
      try {
        runWorkItem(work, j, slotOf(j).result, worker);
      } catch (...) {
        std::lock_guard<std::mutex> lock(mutex);
        if (!failure) failure = std::current_exception();
        stop = true;
        spaceFreed.notify_all();
        itemReady.notify_all();
        return;
      }
      std::lock_guard<std::mutex> lock(mutex);
      slotOf(j).ready = true;
      if (j == delivered) itemReady.notify_one();
    }
  };

  std::vector<std::thread> pool;
  pool.reserve(static_cast<std::size_t>(workers));
  for (int w = 0; w < workers; ++w) pool.emplace_back(workerLoop, w);
  for (;;) {
    std::int64_t j;
    {
      std::unique_lock<std::mutex> lock(mutex);
      itemReady.wait(lock, [&] { return stop || slotOf(delivered).ready; });
      if (stop) break;
      j = delivered;
    }
    // No worker writes this slot until delivered moves past it.
    const bool goOn = deliver(j, slotOf(j).result);
    std::lock_guard<std::mutex> lock(mutex);
    slotOf(j).ready = false;
    ++delivered;
    if (!goOn || delivered == count) stop = true;
    spaceFreed.notify_all();
    if (stop) break;
  }
  for (std::thread& t : pool) t.join();
  if (failure) std::rethrow_exception(failure);
  return delivered;
}

}  // namespace equ
