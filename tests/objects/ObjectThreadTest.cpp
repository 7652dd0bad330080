// The objects' worker threads: pausing, resuming, ending, a failing step,
// and the caller-driven mode the tools use.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "objects/ObjectList.h"
#include "objects/ObjectThread.h"
#include "objects/TextObject.h"

#ifdef __linux__
#include <filesystem>
#endif

namespace lumevra {
namespace {

using namespace std::chrono_literals;

// Waits (bounded) until the condition holds; the bound only guards a hang.
bool Eventually(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

// The steps count stays put over a stretch of several worker pauses.
void ExpectNoFurtherSteps(const ObjectThread& worker, const std::atomic<int>& counter) {
  const uint64_t steps = worker.Steps();
  const int count = counter;
  std::this_thread::sleep_for(40ms);
  EXPECT_EQ(worker.Steps(), steps);
  EXPECT_EQ(counter.load(), count);
}

TEST(ObjectThread, ConstructionStartsNoThreadAndTakesNoStep) {
  std::atomic<int> count{0};
  ObjectThread worker([&] { ++count; });
  std::this_thread::sleep_for(20ms);
  EXPECT_FALSE(worker.WorkerAlive());
  EXPECT_FALSE(worker.Active());
  EXPECT_EQ(count.load(), 0);
}

TEST(ObjectThread, SuspendStopsTheStepsAndResumeGoesOn) {
  std::atomic<int> count{0};
  ObjectThread worker([&] { ++count; });
  worker.Resume();
  EXPECT_TRUE(worker.WorkerAlive());
  ASSERT_TRUE(Eventually([&] { return count >= 3; }));

  worker.Suspend();
  EXPECT_FALSE(worker.Active());
  EXPECT_TRUE(worker.WorkerAlive());  // paused, not ended
  ExpectNoFurtherSteps(worker, count);

  const int before = count;
  worker.Resume();
  EXPECT_TRUE(Eventually([&] { return count >= before + 3; }));
}

TEST(ObjectThread, SuspendWaitsForTheStepInProgress) {
  // Once Suspend returns, the caller may change the object (Start prepares
  // it afresh): no step may still be running.
  std::atomic<bool> inside{false};
  std::atomic<bool> entered{false};
  ObjectThread worker([&] {
    inside = true;
    entered = true;
    std::this_thread::sleep_for(30ms);
    inside = false;
  });
  worker.Resume();
  ASSERT_TRUE(Eventually([&] { return entered.load(); }));
  worker.Suspend();
  EXPECT_FALSE(inside.load());
}

TEST(ObjectThread, TerminateEndsTheWorkerForGood) {
  std::atomic<int> count{0};
  ObjectThread worker([&] { ++count; });
  worker.Resume();
  ASSERT_TRUE(Eventually([&] { return count >= 1; }));
  worker.Terminate();
  EXPECT_FALSE(worker.WorkerAlive());
  worker.Resume();  // too late: nothing restarts
  EXPECT_FALSE(worker.WorkerAlive());
  ExpectNoFurtherSteps(worker, count);
  worker.Terminate();  // repeatable
}

TEST(ObjectThread, DestroyingARunningWorkerJoinsItBeforeItsDataGoes) {
  // The step writes into memory freed right after the worker: under the
  // sanitizers a step after destruction would be reported.
  auto data = std::make_unique<std::vector<int>>(64, 0);
  auto worker = std::make_unique<ObjectThread>([v = data.get()] {
    for (int& x : *v) ++x;
  });
  worker->Resume();
  ASSERT_TRUE(Eventually([&] { return worker->Steps() >= 2; }));
  worker.reset();
  data.reset();
}

TEST(ObjectThread, AFailingStepEndsOnlyItsOwnWorker) {
  std::atomic<int> counts[3] = {0, 0, 0};
  std::vector<std::unique_ptr<ObjectThread>> workers;
  for (int i = 0; i < 3; ++i)
    workers.push_back(std::make_unique<ObjectThread>([&counts, i] {
      if (i == 1 && counts[i] == 3) throw std::runtime_error("broken step");
      ++counts[i];
    }));
  for (auto& w : workers) w->Resume();

  ASSERT_TRUE(Eventually([&] { return workers[1]->Failed(); }));
  EXPECT_TRUE(Eventually([&] { return !workers[1]->WorkerAlive(); }));
  EXPECT_EQ(counts[1].load(), 3);  // it keeps the state the last good step left
  ExpectNoFurtherSteps(*workers[1], counts[1]);

  const int a = counts[0], c = counts[2];
  EXPECT_TRUE(Eventually([&] { return counts[0] > a + 2 && counts[2] > c + 2; }));
  EXPECT_FALSE(workers[0]->Failed());
}

TEST(ObjectThread, ResumeAfterAFailedStepStartsAFreshWorker) {
  std::atomic<int> count{0};
  std::atomic<bool> broken{true};
  ObjectThread worker([&] {
    if (broken) throw std::runtime_error("broken step");
    ++count;
  });
  worker.Resume();
  ASSERT_TRUE(Eventually([&] { return worker.Failed(); }));
  broken = false;
  worker.Resume();
  EXPECT_FALSE(worker.Failed());
  EXPECT_TRUE(Eventually([&] { return count >= 3; }));
}

TEST(ObjectThread, ManualModeStepsOnlyOnTheCallersThread) {
  std::thread::id stepper;
  int count = 0;
  ObjectThread worker([&] {
    stepper = std::this_thread::get_id();
    ++count;
  });
  worker.SetManual(true);
  EXPECT_FALSE(worker.StepNow());  // not resumed yet
  worker.Resume();
  EXPECT_FALSE(worker.WorkerAlive());
  std::this_thread::sleep_for(20ms);
  EXPECT_EQ(count, 0);

  EXPECT_TRUE(worker.StepNow());
  EXPECT_TRUE(worker.StepNow());
  EXPECT_EQ(count, 2);
  EXPECT_EQ(stepper, std::this_thread::get_id());

  worker.Suspend();
  EXPECT_FALSE(worker.StepNow());
  EXPECT_EQ(count, 2);
}

TEST(ObjectThread, SwitchingModesKeepsAnActiveObjectActive) {
  std::atomic<int> count{0};
  ObjectThread worker([&] { ++count; });
  worker.Resume();
  ASSERT_TRUE(Eventually([&] { return count >= 1; }));

  worker.SetManual(true);
  EXPECT_TRUE(worker.Active());
  ExpectNoFurtherSteps(worker, count);
  const int before = count;
  EXPECT_TRUE(worker.StepNow());
  EXPECT_EQ(count.load(), before + 1);

  worker.SetManual(false);
  EXPECT_FALSE(worker.StepNow());
  EXPECT_TRUE(Eventually([&] { return count >= before + 3; }));
}

TEST(ObjectThread, AFailingManualStepStopsThatObjectsSteps) {
  int count = 0;
  ObjectThread worker([&] {
    ++count;
    throw std::logic_error("broken step");
  });
  worker.SetManual(true);
  worker.Resume();
  EXPECT_TRUE(worker.StepNow());
  EXPECT_TRUE(worker.Failed());
  EXPECT_FALSE(worker.StepNow());
  EXPECT_EQ(count, 1);
  // Switching to threaded stepping does not revive it.
  worker.SetManual(false);
  EXPECT_TRUE(worker.Failed());
  EXPECT_FALSE(worker.WorkerAlive());
  std::this_thread::sleep_for(20ms);
  EXPECT_EQ(count, 1);
}

// The object side: Start and Stop drive the worker and Running.
TEST(ObjectStart, StartRunsTheWorkerAndStopPausesIt) {
  TextObject text;
  EXPECT_FALSE(text.Running);
  EXPECT_FALSE(text.Worker.WorkerAlive());

  text.Start();
  EXPECT_TRUE(text.Running);
  EXPECT_TRUE(text.Worker.Active());
  EXPECT_TRUE(Eventually([&] { return text.Worker.Steps() >= 3; }));

  text.Stop();
  EXPECT_FALSE(text.Running);
  EXPECT_FALSE(text.Worker.Active());
  const uint64_t steps = text.Worker.Steps();
  std::this_thread::sleep_for(30ms);
  EXPECT_EQ(text.Worker.Steps(), steps);

  text.Stop();  // a second Stop does nothing
  EXPECT_FALSE(text.Running);
  text.Start();
  EXPECT_TRUE(text.Running);
  EXPECT_TRUE(Eventually([&] { return text.Worker.Steps() > steps + 2; }));
  text.Shutdown();
  EXPECT_FALSE(text.Running);
  EXPECT_FALSE(text.Worker.WorkerAlive());
}

#ifdef __linux__
size_t ProcessThreads() {
  size_t n = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) ++n;
  return n;
}

TEST(ObjectStart, ClearingARunningListLeavesNoThreadBehind) {
  std::string text;
  for (int i = 0; i < 20; ++i)
    text += "[Obj" + std::to_string(i) + "]\r\nObjType=TXT\r\nMotion=" + std::to_string(i % 4) + "\r\n";
  const size_t before = ProcessThreads();
  ObjectList list;
  list.LoadObjects(text);
  ASSERT_EQ(list.Count(), 20u);
  EXPECT_EQ(ProcessThreads(), before);  // loading starts nothing
  for (size_t i = 0; i < list.Count(); ++i) list.Items(i).Start();
  EXPECT_EQ(ProcessThreads(), before + 20);
  for (size_t i = 0; i < list.Count(); ++i) EXPECT_TRUE(list.Items(i).Running);
  std::this_thread::sleep_for(20ms);
  list.Clear();
  EXPECT_EQ(list.Count(), 0u);
  EXPECT_EQ(ProcessThreads(), before);
}
#endif

TEST(ObjectStart, AManualListStartsNoThreadAndStepsInListOrder) {
  ObjectList list;
  list.SetManualStepping(true);
  list.LoadObjects("[Obj0]\r\nObjType=TXT\r\n[Obj1]\r\nObjType=TXT\r\n[Obj2]\r\nObjType=TXT\r\n");
  list.StepAll();  // nothing started: no steps
  for (size_t i = 0; i < list.Count(); ++i) EXPECT_EQ(list.Items(i).Worker.Steps(), 0u);

  list.Items(0).Start();
  list.Items(2).Start();
  for (size_t i = 0; i < list.Count(); ++i) EXPECT_FALSE(list.Items(i).Worker.WorkerAlive());
  for (int i = 0; i < 4; ++i) list.StepAll();
  EXPECT_EQ(list.Items(0).Worker.Steps(), 4u);
  EXPECT_EQ(list.Items(1).Worker.Steps(), 0u);
  EXPECT_EQ(list.Items(2).Worker.Steps(), 4u);

  // An object added later follows the list's mode.
  auto& added = list.Add(std::make_unique<TextObject>());
  added.Start();
  EXPECT_FALSE(added.Worker.WorkerAlive());
  list.StepAll();
  EXPECT_EQ(added.Worker.Steps(), 1u);
}

}  // namespace
}  // namespace lumevra
