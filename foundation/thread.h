// TThread: a worker thread with the platform's contract. Execute runs on the
// worker; Synchronize runs a step on the GUI thread while the worker waits;
// OnTerminate runs on the GUI thread after Execute returned, whatever the
// reason; with FreeOnTerminate the object deletes itself after that.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace found {

// How workers reach the GUI thread: on Windows a hidden message window of the
// GUI thread, in tests an in-process queue.
class GuiDispatcher {
 public:
  virtual ~GuiDispatcher() = default;
  // Runs fn on the GUI thread and returns after it ran; an exception it
  // raises reaches the caller. On the GUI thread it runs fn at once.
  virtual void Send(const std::function<void()>& fn) = 0;
  virtual bool IsGuiThread() const = 0;
};

// The GUI side for tests and tools: the thread that made it is the GUI thread
// and runs queued steps while it waits in ProcessUntil.
class QueueDispatcher : public GuiDispatcher {
 public:
  QueueDispatcher();
  void Send(const std::function<void()>& fn) override;
  bool IsGuiThread() const override { return std::this_thread::get_id() == gui_; }
  // Runs steps until done() holds (checked after every step) or the time is up.
  bool ProcessUntil(const std::function<bool()>& done,
                    std::chrono::milliseconds timeout = std::chrono::seconds(30));

 private:
  struct Item;
  std::thread::id gui_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::shared_ptr<Item>> queue_;
};

class TThread {
 public:
  explicit TThread(GuiDispatcher& gui);
  virtual ~TThread();
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  void Terminate() { terminated_.store(true); }
  bool Terminated() const { return terminated_.load(); }
  // True once OnTerminate has run (never seen with FreeOnTerminate).
  bool Finished() const { return finished_.load(); }
  // The message of the error that ended Execute, if one did.
  const std::string& FatalException() const { return fatal_; }

  // Set on the GUI thread; read there when Execute has returned.
  bool FreeOnTerminate = false;
  std::function<void(TThread&)> OnTerminate;

  // For owners that did not set FreeOnTerminate; never from the GUI thread
  // while the worker may still synchronize.
  void WaitFor();

 protected:
  // Derived constructors call Start last, once the object is complete.
  void Start();
  virtual void Execute() = 0;
  void Synchronize(const std::function<void()>& fn);
  GuiDispatcher& Gui() { return gui_; }

 private:
  void Run();

  GuiDispatcher& gui_;
  std::thread thread_;
  std::atomic<bool> terminated_{false};
  std::atomic<bool> finished_{false};
  std::string fatal_;
};

}  // namespace found
