#include "gui_fixture.h"

#include "widgets/application.h"

namespace widgets_test {

namespace {

void FailOnException(const std::exception& error) {
  ADD_FAILURE() << "a GUI event handler raised: " << error.what();
}

class GuiEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    ASSERT_TRUE(widgets::InitControls());
    widgets::SetExceptionHandler(&FailOnException);
  }
};

[[maybe_unused]] testing::Environment* const gEnvironment = testing::AddGlobalTestEnvironment(new GuiEnvironment);

struct FindWindowRequest {
  const wchar_t* className;
  const wchar_t* caption;
  HWND found = nullptr;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM param) {
  auto& request = *reinterpret_cast<FindWindowRequest*>(param);
  wchar_t className[64] = {};
  GetClassNameW(hwnd, className, 64);
  if (std::wstring(className) == request.className && WindowText(hwnd) == request.caption) {
    request.found = hwnd;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

void FlushMessages() { widgets::ProcessMessages(); }

HWND FindThreadWindow(const wchar_t* className, const wchar_t* caption) {
  FindWindowRequest request{className, caption};
  EnumThreadWindows(GetCurrentThreadId(), &MatchWindow, reinterpret_cast<LPARAM>(&request));
  return request.found;
}

std::wstring WindowText(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

CaughtExceptions::CaughtExceptions() {
  widgets::SetExceptionHandler([this](const std::exception& error) { messages_.push_back(error.what()); });
}

CaughtExceptions::~CaughtExceptions() { widgets::SetExceptionHandler(&FailOnException); }

}  // namespace widgets_test
