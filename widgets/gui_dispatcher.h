// How workers reach the GUI thread on Windows: a hidden message-only window of
// the GUI thread. Send posts the address of a record (the step, a done event,
// an exception slot) and waits; the window runs the step and signals. Every
// message loop of the GUI thread dispatches posted messages to its windows,
// so steps also run while a MessageBox, a common dialog, a menu or a modal
// form has its own loop.
//
// Shutdown contract: at exit the GUI thread calls Shutdown (the destructor
// does too). It runs every step already posted, so that no worker stays
// blocked on a GUI that will never pump again; from then on Send from a worker
// returns at once without running its step, and Post drops it. A worker must
// therefore not rely on a step's result once the program is closing; TThread's
// termination step is skipped that way too.
#pragma once

#include <windows.h>

#include <functional>
#include <mutex>

#include "foundation/thread.h"

namespace widgets {

class MessageWindowDispatcher final : public found::GuiDispatcher {
 public:
  // The calling thread becomes the GUI thread.
  MessageWindowDispatcher();
  ~MessageWindowDispatcher() override;
  MessageWindowDispatcher(const MessageWindowDispatcher&) = delete;
  MessageWindowDispatcher& operator=(const MessageWindowDispatcher&) = delete;

  // On the GUI thread fn runs at once; from another thread it runs on the GUI
  // thread and Send returns after it ran, raising what fn raised.
  void Send(const std::function<void()>& fn) override;
  bool IsGuiThread() const override { return GetCurrentThreadId() == guiThread_; }

  // Runs fn later on the GUI thread without waiting, from any thread; an
  // exception it raises goes to the GUI's exception handler. False once shut down.
  bool Post(std::function<void()> fn);

  // GUI thread only; see the contract above. Safe to call twice.
  void Shutdown();

 private:
  struct SendRecord;
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

  DWORD guiThread_ = 0;
  HWND hwnd_ = nullptr;
  std::mutex mutex_;  // orders posting against closing, so the drain sees every post
  bool closed_ = false;
};

}  // namespace widgets
