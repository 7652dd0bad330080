#include "objects/ObjectThread.h"

#include <chrono>

#include "objects/AnimObject.h"

namespace lumevra {

ObjectThread::~ObjectThread() { Terminate(); }

void ObjectThread::SetManual(bool manual) {
  std::unique_lock lock(mutex_);
  if (manual_ == manual) return;
  const bool active = !paused_;
  paused_ = true;
  wake_.notify_all();
  idle_.wait(lock, [&] { return !stepping_; });
  manual_ = manual;
  if (!active) return;
  if (failed_) {
    // A failed object stays failed: active, but taking no steps in either mode.
    paused_ = false;
    return;
  }
  lock.unlock();
  Resume();
}

bool ObjectThread::Manual() const {
  std::lock_guard lock(mutex_);
  return manual_;
}

void ObjectThread::Resume() {
  std::thread ended;
  {
    std::unique_lock lock(mutex_);
    if (terminated_) return;
    // A step under way may be one that fails and ends its worker: let it
    // finish, so that such a worker is seen as ended and replaced below
    // (else Resume could find it still alive and start no new one).
    if (std::this_thread::get_id() != thread_.get_id()) idle_.wait(lock, [&] { return !stepping_; });
    paused_ = false;
    failed_ = false;
    if (!manual_) {
      // A worker that a failed step ended is replaced by a fresh one.
      if (thread_.joinable() && workerEnded_) ended = std::move(thread_);
      if (!thread_.joinable()) {
        workerEnded_ = false;
        thread_ = std::thread(&ObjectThread::Execute, this);
      }
    }
    wake_.notify_all();
  }
  if (ended.joinable()) ended.join();
}

void ObjectThread::Suspend() {
  std::unique_lock lock(mutex_);
  paused_ = true;
  wake_.notify_all();
  // The worker suspending itself from inside a step must not wait for it.
  if (std::this_thread::get_id() == thread_.get_id()) return;
  idle_.wait(lock, [&] { return !stepping_; });
}

void ObjectThread::Terminate() {
  std::thread worker;
  {
    std::unique_lock lock(mutex_);
    terminated_ = true;
    paused_ = true;
    wake_.notify_all();
    if (std::this_thread::get_id() == thread_.get_id()) return;
    worker = std::move(thread_);
  }
  if (worker.joinable()) worker.join();
}

bool ObjectThread::StepNow() {
  {
    std::lock_guard lock(mutex_);
    if (!manual_ || paused_ || terminated_ || failed_) return false;
    stepping_ = true;
  }
  RunStep();
  std::lock_guard lock(mutex_);
  stepping_ = false;
  idle_.notify_all();
  return true;
}

bool ObjectThread::Active() const {
  std::lock_guard lock(mutex_);
  return !paused_ && !terminated_;
}

bool ObjectThread::Failed() const { return failed_; }

bool ObjectThread::WorkerAlive() const {
  std::lock_guard lock(mutex_);
  return thread_.joinable() && !workerEnded_;
}

uint64_t ObjectThread::Steps() const { return steps_; }

bool ObjectThread::RunStep() {
  steps_.fetch_add(1, std::memory_order_relaxed);
  try {
    step_();
    return true;
  } catch (...) {
    // The object stays as the failed step left it; the rest of the scene
    // goes on.
    failed_ = true;
    return false;
  }
}

void ObjectThread::Execute() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [&] { return terminated_ || (!paused_ && !manual_); });
    if (terminated_) break;
    stepping_ = true;
    lock.unlock();
    const bool ok = RunStep();
    lock.lock();
    stepping_ = false;
    idle_.notify_all();
    if (!ok) break;
    // The pause is real time even under a manual clock, so a worker never
    // winds a test's clock forward; waking early ends it at once.
    wake_.wait_for(lock, std::chrono::milliseconds(kObjectStepMs), [&] { return terminated_ || paused_; });
  }
  workerEnded_ = true;
}

// The object's side: start and stop over its worker.

void AnimObject::Start() {
  Stop();
  Prepare();
  Worker.Resume();
  Running = true;
}

void AnimObject::Stop() {
  if (!Running) return;
  Worker.Suspend();
  Running = false;
}

void AnimObject::Shutdown() {
  Stop();
  Worker.Terminate();
}

}  // namespace lumevra
