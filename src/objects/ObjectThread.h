// ObjectThread: the worker that advances one object on its own, one step
// (the object's Tick) every 5 milliseconds, independent of the frames. Pausing is a flag the
// loop waits on, so a paused object takes no further steps and keeps the
// state its last step left. The platform thread is created on the first
// Resume, so an object that is never started costs no thread.
//
// For tools and tests the same worker can be driven by the caller instead
// (manual mode): StepNow runs one step on the caller's thread, and no
// platform thread is ever created.
//
// A step that throws ends that object's stepping for good (until the next
// Resume after a fresh Start); the object keeps the state it had.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>

namespace lumevra {

// The pause between two steps of a worker.
inline constexpr uint32_t kObjectStepMs = 5;

class ObjectThread {
public:
  // `step` is one step of the object; it is called on the worker, or on
  // the caller's thread in manual mode, never on two threads at once.
  explicit ObjectThread(std::function<void()> step) : step_(std::move(step)) {}
  // Terminates and joins the worker.
  ~ObjectThread();
  ObjectThread(const ObjectThread&) = delete;
  ObjectThread& operator=(const ObjectThread&) = delete;

  // Manual: steps come only from StepNow. Switching waits for a step in
  // progress; an active object stays active in the new mode.
  void SetManual(bool manual);
  bool Manual() const;

  // Lets the object take steps; in threaded mode wakes the worker, creating
  // it the first time (and afresh after a failed step ended it). Does
  // nothing once terminated.
  void Resume();
  // After return no further step runs until Resume: a step in progress on
  // the worker is waited for.
  void Suspend();
  // Ends the worker for good after the step it is in and joins it.
  // Repeatable; later Resume and StepNow do nothing.
  void Terminate();

  // Manual mode: one step on the caller's thread when resumed and not
  // failed. Returns whether a step ran (a step that threw counts).
  bool StepNow();

  bool Active() const;      // resumed and not terminated
  bool Failed() const;      // the last step threw; no further steps
  bool WorkerAlive() const; // a platform thread exists that has not ended
  uint64_t Steps() const;   // steps begun since construction

private:
  void Execute();
  // One step; false when it threw (the failure is recorded).
  bool RunStep();

  std::function<void()> step_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;   // the worker waits here: resume, terminate, the 5 ms pause
  std::condition_variable idle_;   // Suspend waits here for a step in progress
  bool paused_ = true;
  bool terminated_ = false;
  bool stepping_ = false;
  bool manual_ = false;
  bool workerEnded_ = false;
  std::atomic<bool> failed_{false};
  std::atomic<uint64_t> steps_{0};
  std::thread thread_;
};

}  // namespace lumevra
