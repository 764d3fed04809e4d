#include <gtest/gtest.h>

#include <atomic>

#include "foundation/registry.h"
#include "foundation/thread.h"

namespace {

using found::QueueDispatcher;
using found::TThread;

class Worker : public TThread {
 public:
  Worker(QueueDispatcher& gui, std::function<void(Worker&)> body, std::atomic<bool>* destroyed = nullptr)
      : TThread(gui), body_(std::move(body)), destroyed_(destroyed) {
    Start();
  }
  ~Worker() override {
    if (destroyed_) destroyed_->store(true);
  }
  using TThread::Synchronize;

 protected:
  void Execute() override { body_(*this); }

 private:
  std::function<void(Worker&)> body_;
  std::atomic<bool>* destroyed_;
};

TEST(Thread, SynchronizeRunsOnTheGuiThreadWhileTheWorkerWaits) {
  QueueDispatcher gui;
  const auto guiId = std::this_thread::get_id();
  int steps = 0;
  std::vector<bool> onGui;
  bool seenAfterStep = false;
  Worker worker(gui, [&](Worker& w) {
    for (int i = 0; i < 3; ++i) {
      w.Synchronize([&] {
        onGui.push_back(std::this_thread::get_id() == guiId);
        ++steps;
      });
    }
    seenAfterStep = steps == 3;  // the worker waited for every step
  });
  ASSERT_TRUE(gui.ProcessUntil([&] { return worker.Finished(); }));
  worker.WaitFor();
  EXPECT_EQ(onGui, (std::vector<bool>{true, true, true}));
  EXPECT_TRUE(seenAfterStep);
}

TEST(Thread, OnTerminateRunsOnTheGuiThreadAfterAnErrorAndFreesTheWorker) {
  QueueDispatcher gui;
  std::atomic<bool> destroyed{false};
  bool terminatedOnGui = false;
  std::string fatal;
  auto* worker = new Worker(
      gui, [](Worker&) { throw found::ERegistryException("Invalid data type for 'x'"); }, &destroyed);
  worker->FreeOnTerminate = true;
  worker->OnTerminate = [&](TThread& t) {
    terminatedOnGui = gui.IsGuiThread();
    fatal = t.FatalException();
  };
  ASSERT_TRUE(gui.ProcessUntil([&] { return destroyed.load(); }));
  EXPECT_TRUE(terminatedOnGui);
  EXPECT_EQ(fatal, "Invalid data type for 'x'");
}

TEST(Thread, TerminateIsSeenByTheWorker) {
  QueueDispatcher gui;
  std::atomic<bool> started{false};
  int rounds = 0;
  Worker worker(gui, [&](Worker& w) {
    started = true;
    while (!w.Terminated()) ++rounds;
  });
  while (!started) std::this_thread::yield();
  worker.Terminate();
  ASSERT_TRUE(gui.ProcessUntil([&] { return worker.Finished(); }));
  worker.WaitFor();
  EXPECT_TRUE(worker.Terminated());
}

}  // namespace
