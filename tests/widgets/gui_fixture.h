// Shared helpers for the GUI layer tests. They run under Wine's null display
// driver: windows, messages and GDI memory drawing work, nothing reaches a screen.
#pragma once
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

#include "widgets/window.h"

namespace widgets_test {

// Dispatches whatever earlier tests left in the queue.
void FlushMessages();

// A top-level window of this thread with this class and caption (a message
// box is "#32770"); null if there is none.
HWND FindThreadWindow(const wchar_t* className, const wchar_t* caption);

std::wstring WindowText(HWND hwnd);

// Collects what GUI event handlers raise while it lives; outside one, such an
// exception fails the test.
class CaughtExceptions {
 public:
  CaughtExceptions();
  ~CaughtExceptions();
  const std::vector<std::string>& Messages() const { return messages_; }

 private:
  std::vector<std::string> messages_;
};

}  // namespace widgets_test
