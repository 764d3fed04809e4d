#include "widgets/application.h"

#include <commctrl.h>

#include "foundation/backends/win32/wide.h"

namespace widgets {

namespace {

Application* gApplication = nullptr;

}  // namespace

bool InitControls() {
  INITCOMMONCONTROLSEX init{};
  init.dwSize = sizeof(init);
  init.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_LINK_CLASS | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES |
               ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_TAB_CLASSES | ICC_USEREX_CLASSES |
               ICC_UPDOWN_CLASS | ICC_HOTKEY_CLASS | ICC_ANIMATE_CLASS | ICC_DATE_CLASSES | ICC_COOL_CLASSES |
               ICC_INTERNET_CLASSES | ICC_PAGESCROLLER_CLASS | ICC_NATIVEFNTCTL_CLASS;
  return InitCommonControlsEx(&init) != FALSE;
}

std::string ApplicationTitle() {
  if (gApplication && !gApplication->Title().empty()) return gApplication->Title();
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring name(path, length);
  name = name.substr(name.find_last_of(L"\\/") + 1);
  return found::Narrow(name.substr(0, name.rfind(L'.')));
}

Application::Application() {
  InitControls();
  gApplication = this;
}

Application::~Application() {
  dispatcher_.Shutdown();
  if (gApplication == this) gApplication = nullptr;
}

Application* Application::Instance() noexcept { return gApplication; }

void Application::SetMainForm(Form& form) {
  if (mainForm_) mainForm_->mainForm_ = false;
  mainForm_ = &form;
  form.mainForm_ = true;
}

int Application::Run() {
  if (mainForm_ && mainForm_->Handle() && !mainForm_->Visible()) mainForm_->Show();
  int exitCode = 0;
  if (!RunMessageLoop([] { return false; }, &exitCode)) {
    // The loop posts the quit again for enclosing loops; there are none, and
    // a box shown on the way out would close at once.
    MSG msg{};
    PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  }
  return exitCode;
}

void Application::Terminate(int exitCode) { PostQuitMessage(exitCode); }

void Application::SetOnException(ExceptionHandler handler) { SetExceptionHandler(std::move(handler)); }

}  // namespace widgets
