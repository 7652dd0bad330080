#include "base/WorkerPool.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace lumevra {

int32_t WorkerPool::HardwareThreads() {
  const unsigned n = std::thread::hardware_concurrency();
  return n == 0 ? 1 : static_cast<int32_t>(std::min<unsigned>(n, kMaxThreads));
}

WorkerPool::WorkerPool(int32_t threads) {
  const int32_t n = std::clamp(threads, 1, kMaxThreads);
  workers_.reserve(static_cast<size_t>(n - 1));
  try {
    for (int32_t i = 1; i < n; ++i) workers_.emplace_back([this] { WorkerLoop(); });
  } catch (const std::system_error&) {
    // No more threads to be had: the bands share the ones there are.
  }
}

WorkerPool::~WorkerPool() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  for (std::thread& t : workers_) t.join();
}

void WorkerPool::Run(int32_t bands, const std::function<void(int32_t)>& job) {
  if (bands <= 0) return;
  if (workers_.empty() || bands == 1) {
    std::exception_ptr error;
    for (int32_t k = 0; k < bands; ++k) {
      try {
        job(k);
      } catch (...) {
        if (!error) error = std::current_exception();
      }
    }
    if (error) std::rethrow_exception(error);
    return;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    job_ = &job;
    bands_ = bands;
    nextBand_ = 0;
    checkedIn_ = 0;
    error_ = nullptr;
    ++generation_;
  }
  wake_.notify_all();
  TakeBands(job, bands);
  std::exception_ptr error;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    finished_.wait(lock, [this] { return checkedIn_ == workers_.size(); });
    job_ = nullptr;
    error = std::exchange(error_, nullptr);
  }
  if (error) std::rethrow_exception(error);
}

void WorkerPool::TakeBands(const std::function<void(int32_t)>& job, int32_t bands) {
  for (;;) {
    int32_t k;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (nextBand_ >= bands) return;
      k = nextBand_++;
    }
    try {
      job(k);
    } catch (...) {
      std::lock_guard<std::mutex> lock(mutex_);
      if (!error_) error_ = std::current_exception();
    }
  }
}

void WorkerPool::WorkerLoop() {
  uint64_t seen = 0;
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [&] { return stop_ || generation_ != seen; });
    if (stop_) return;
    seen = generation_;
    const std::function<void(int32_t)>* job = job_;
    const int32_t bands = bands_;
    lock.unlock();
    TakeBands(*job, bands);
    lock.lock();
    if (++checkedIn_ == workers_.size()) finished_.notify_one();
  }
}

}  // namespace lumevra
