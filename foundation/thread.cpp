#include "foundation/thread.h"

#include <exception>

namespace found {

struct QueueDispatcher::Item {
  std::function<void()> fn;
  bool done = false;
  std::exception_ptr error;
};

QueueDispatcher::QueueDispatcher() : gui_(std::this_thread::get_id()) {}

void QueueDispatcher::Send(const std::function<void()>& fn) {
  if (IsGuiThread()) {
    fn();
    return;
  }
  auto item = std::make_shared<Item>();
  item->fn = fn;
  std::unique_lock lock(mutex_);
  queue_.push_back(item);
  wake_.notify_all();
  wake_.wait(lock, [&] { return item->done; });
  if (item->error) std::rethrow_exception(item->error);
}

bool QueueDispatcher::ProcessUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    std::shared_ptr<Item> item;
    {
      std::unique_lock lock(mutex_);
      // done() may turn true without a step (a worker's flag), so look again often.
      if (!wake_.wait_for(lock, std::chrono::milliseconds(5), [&] { return !queue_.empty(); })) {
        if (std::chrono::steady_clock::now() >= deadline) return done();
        continue;
      }
      item = queue_.front();
      queue_.pop_front();
    }
    try {
      item->fn();
    } catch (...) {
      item->error = std::current_exception();  // handed to the waiting worker
    }
    std::lock_guard lock(mutex_);
    item->done = true;
    wake_.notify_all();
  }
  return true;
}

TThread::TThread(GuiDispatcher& gui) : gui_(gui) {}

TThread::~TThread() {
  if (thread_.joinable()) {
    if (thread_.get_id() == std::this_thread::get_id()) {
      thread_.detach();  // freeing itself at the end of Run
    } else {
      thread_.join();
    }
  }
}

void TThread::Start() { thread_ = std::thread([this] { Run(); }); }

void TThread::WaitFor() {
  if (thread_.joinable()) thread_.join();
}

void TThread::Synchronize(const std::function<void()>& fn) { gui_.Send(fn); }

void TThread::Run() {
  try {
    Execute();
  } catch (const std::exception& e) {
    // A worker that meets an error ends quietly; its termination still runs.
    fatal_ = e.what();
  }
  // The GUI thread set FreeOnTerminate and OnTerminate, so they are read there.
  bool freeSelf = false;
  gui_.Send([&] {
    freeSelf = FreeOnTerminate;
    if (OnTerminate) OnTerminate(*this);
  });
  if (freeSelf) {
    delete this;
    return;
  }
  finished_.store(true);
}

}  // namespace found
