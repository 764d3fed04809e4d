#include "widgets/gui_dispatcher.h"

#include <exception>
#include <memory>
#include <stdexcept>

#include "foundation/backends/win32/unique_handle.h"
#include "widgets/window.h"

namespace widgets {

namespace {

constexpr wchar_t kClassName[] = L"CobaltGuiDispatcher";
constexpr UINT kRunSend = WM_APP + 1;  // lParam: SendRecord* on the worker's stack
constexpr UINT kRunPost = WM_APP + 2;  // lParam: std::function<void()>* owned by the message

}  // namespace

struct MessageWindowDispatcher::SendRecord {
  const std::function<void()>* fn;
  HANDLE done;
  std::exception_ptr error;
};

MessageWindowDispatcher::MessageWindowDispatcher() : guiThread_(GetCurrentThreadId()) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &WindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = kClassName;
  // A second dispatcher finds the class registered already.
  if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    throw std::runtime_error("cannot register the GUI dispatcher's window class");
  }
  hwnd_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
  if (!hwnd_) throw std::runtime_error("cannot create the GUI dispatcher's window");
}

MessageWindowDispatcher::~MessageWindowDispatcher() {
  Shutdown();
  if (hwnd_ && IsGuiThread()) DestroyWindow(hwnd_);
}

void MessageWindowDispatcher::Send(const std::function<void()>& fn) {
  if (IsGuiThread()) {
    fn();
    return;
  }
  found::UniqueHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!done) throw std::runtime_error("cannot create an event for a GUI step");
  SendRecord record{&fn, done.get(), nullptr};
  {
    std::lock_guard lock(mutex_);
    if (closed_ || !PostMessageW(hwnd_, kRunSend, 0, reinterpret_cast<LPARAM>(&record))) return;
  }
  WaitForSingleObject(done.get(), INFINITE);
  if (record.error) std::rethrow_exception(record.error);
}

bool MessageWindowDispatcher::Post(std::function<void()> fn) {
  auto step = std::make_unique<std::function<void()>>(std::move(fn));
  std::lock_guard lock(mutex_);
  if (closed_ || !PostMessageW(hwnd_, kRunPost, 0, reinterpret_cast<LPARAM>(step.get()))) return false;
  step.release();  // the message owns it now
  return true;
}

void MessageWindowDispatcher::Shutdown() {
  if (!IsGuiThread() || !hwnd_) return;
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
  }
  // Everything posted before closing is in the queue now; nothing after it.
  MSG msg{};
  while (PeekMessageW(&msg, hwnd_, kRunSend, kRunPost, PM_REMOVE)) DispatchMessageW(&msg);
}

LRESULT CALLBACK MessageWindowDispatcher::WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                                     LPARAM lParam) noexcept {
  switch (message) {
    case kRunSend: {
      auto* record = reinterpret_cast<SendRecord*>(lParam);
      try {
        (*record->fn)();
      } catch (...) {
        record->error = std::current_exception();  // raised again in the waiting worker
      }
      // The record lives on the worker's stack: after this it may be gone.
      SetEvent(record->done);
      return 0;
    }
    case kRunPost: {
      const std::unique_ptr<std::function<void()>> step(reinterpret_cast<std::function<void()>*>(lParam));
      try {
        (*step)();
      } catch (const std::exception& error) {
        HandleException(error);
      }
      return 0;
    }
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace widgets
