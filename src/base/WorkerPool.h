// WorkerPool: a fixed set of threads that share out "band k of n" jobs of
// one frame pass and return when all are done. The calling thread takes
// bands too, so a pool of T threads starts T - 1 workers; a pool of 1
// starts none and runs every band on the caller, in order. Workers live
// until the pool goes, so a run costs a wake-up, not thread creation.
//
// One caller at a time: Run is not meant to be entered from two threads
// at once, nor from inside a job.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace lumevra {

class WorkerPool {
public:
  // The most threads a pool uses: a frame's bands get too thin beyond it.
  static constexpr int32_t kMaxThreads = 8;
  // The hardware's thread count, 1 .. kMaxThreads (1 when it is unknown).
  static int32_t HardwareThreads();

  // `threads` is clamped to 1 .. kMaxThreads.
  explicit WorkerPool(int32_t threads = HardwareThreads());
  // Wakes the workers to end and joins them.
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  // Threads taking bands, the caller's included.
  int32_t Threads() const { return static_cast<int32_t>(workers_.size()) + 1; }

  // job(k) for k = 0 .. bands - 1, spread over the threads; returns when
  // every band has finished. A band that throws does not stop the others;
  // the first exception is rethrown here once all have finished.
  void Run(int32_t bands, const std::function<void(int32_t)>& job);

private:
  void WorkerLoop();
  // Takes bands of the current run until none is left.
  void TakeBands(const std::function<void(int32_t)>& job, int32_t bands);

  std::vector<std::thread> workers_;
  std::mutex mutex_;
  std::condition_variable wake_;      // a new run, or the end
  std::condition_variable finished_;  // every worker is through the run
  // The current run, all under mutex_. Each worker takes part in every run
  // (checking in when through), so a run's job outlives every use of it.
  const std::function<void(int32_t)>* job_ = nullptr;
  int32_t bands_ = 0;
  int32_t nextBand_ = 0;
  uint64_t generation_ = 0;
  size_t checkedIn_ = 0;
  std::exception_ptr error_;
  bool stop_ = false;
};

}  // namespace lumevra
