#include "widgets/window.h"

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

#include "foundation/backends/win32/wide.h"
#include "widgets/actions.h"
#include "widgets/dialogs.h"
#include "widgets/menus.h"
#include "widgets/metrics.h"

namespace widgets {

namespace {

constexpr UINT_PTR kSubclassId = 0xC0BA;

// Control ids start above IDOK...IDCONTINUE, so that the dialog manager's
// Enter and Esc commands never collide with a control of ours.
int NextControlId() {
  static int next = 1000;
  if (next >= 0x7FFF) next = 1000;
  return next++;
}

std::map<std::wstring, ATOM>& OwnClasses() {
  static std::map<std::wstring, ATOM> classes;
  return classes;
}

bool IsOwnClass(ATOM atom) {
  const auto& classes = OwnClasses();
  return std::any_of(classes.begin(), classes.end(), [&](const auto& entry) { return entry.second == atom; });
}

ExceptionHandler& CurrentExceptionHandler() {
  static ExceptionHandler handler;
  return handler;
}

struct IdleEntry {
  int token;
  std::function<void()> handler;
};

std::vector<IdleEntry>& IdleHandlers() {
  static std::vector<IdleEntry> handlers;
  return handlers;
}

void RunIdle() {
  Action::UpdateAll();
  // A handler may add or remove handlers; each one present now runs once.
  std::vector<int> tokens;
  for (const IdleEntry& entry : IdleHandlers()) tokens.push_back(entry.token);
  for (int token : tokens) {
    auto& handlers = IdleHandlers();
    const auto it = std::find_if(handlers.begin(), handlers.end(), [&](const IdleEntry& e) { return e.token == token; });
    if (it == handlers.end()) continue;
    const std::function<void()> handler = it->handler;  // the entry may go while it runs
    handler();
  }
}

// Menu accelerators and dialog keys of the form the message is for.
bool PreTranslate(MSG& msg) {
  if (!msg.hwnd) return false;
  const HWND root = GetAncestor(msg.hwnd, GA_ROOT);
  if (!Form::Of(root)) return false;
  if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
    if (auto* menu = dynamic_cast<MainMenu*>(Menu::FromHandle(GetMenu(root)))) {
      if (const HACCEL table = menu->Accelerators(); table && TranslateAcceleratorW(root, table, &msg)) return true;
    }
  }
  return IsDialogMessageW(root, &msg) != FALSE;
}

void Dispatch(MSG& msg) {
  if (PreTranslate(msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

struct DisabledWindows {
  HWND modal;
  std::vector<HWND> windows;
};

BOOL CALLBACK CollectEnabledWindow(HWND hwnd, LPARAM param) {
  auto& collect = *reinterpret_cast<DisabledWindows*>(param);
  if (hwnd != collect.modal && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) collect.windows.push_back(hwnd);
  return TRUE;
}

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
  return TRUE;
}

}  // namespace

void SetExceptionHandler(ExceptionHandler handler) { CurrentExceptionHandler() = std::move(handler); }

void HandleException(const std::exception& error) {
  if (const ExceptionHandler& handler = CurrentExceptionHandler()) {
    handler(error);
  } else {
    ShowException(error);
  }
}

// ---- Window

Window::~Window() { DestroyHandle(); }

int Window::Id() const { return hwnd_ ? GetDlgCtrlID(hwnd_) : 0; }

std::string Window::Text() const {
  if (!hwnd_) return {};
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd_)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd_, text.data(), static_cast<int>(text.size()))));
  return found::Narrow(text);
}

void Window::SetText(std::string_view text) {
  if (hwnd_) SetWindowTextW(hwnd_, found::Widen(text).c_str());
}

bool Window::Enabled() const { return hwnd_ && IsWindowEnabled(hwnd_); }

void Window::SetEnabled(bool enabled) {
  if (hwnd_) EnableWindow(hwnd_, enabled);
}

bool Window::Visible() const { return hwnd_ && IsWindowVisible(hwnd_); }

void Window::SetVisible(bool visible) {
  if (hwnd_) ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE);
}

void Window::Focus() {
  if (hwnd_) SetFocus(hwnd_);
}

void Window::Invalidate() {
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

RECT Window::BoundsRect() const {
  RECT rect{};
  if (!hwnd_) return rect;
  GetWindowRect(hwnd_, &rect);
  if (GetWindowLongW(hwnd_, GWL_STYLE) & WS_CHILD) {
    MapWindowPoints(nullptr, GetParent(hwnd_), reinterpret_cast<POINT*>(&rect), 2);
  }
  return rect;
}

void Window::SetBounds(int x, int y, int width, int height) {
  if (hwnd_) SetWindowPos(hwnd_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE Window::ClientSize() const {
  RECT rect{};
  if (hwnd_) GetClientRect(hwnd_, &rect);
  return {rect.right, rect.bottom};
}

Window* Window::FromHandle(HWND hwnd) {
  // Only windows of this thread can be ours; the checks below would read
  // another program's data as a pointer.
  if (!hwnd || GetWindowThreadProcessId(hwnd, nullptr) != GetCurrentThreadId()) return nullptr;
  if (IsOwnClass(static_cast<ATOM>(GetClassWord(hwnd, GCW_ATOM)))) {
    return reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  DWORD_PTR data = 0;
  if (GetWindowSubclass(hwnd, &SubclassProc, kSubclassId, &data)) return reinterpret_cast<Window*>(data);
  return nullptr;
}

bool Window::CreateOwnWindow(const std::wstring& className, DWORD exStyle, DWORD style, std::string_view text,
                             const RECT& rect, HWND parent, HMENU menu) {
  if (hwnd_) return false;
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  auto& classes = OwnClasses();
  auto found = classes.find(className);
  if (found == classes.end()) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className.c_str();
    const ATOM atom = RegisterClassExW(&wc);
    if (!atom) return false;  // also when someone else owns the name: it would not reach us
    found = classes.emplace(className, atom).first;
  }
  CreateWindowExW(exStyle, MAKEINTATOM(found->second), found::Widen(text).c_str(), style, rect.left, rect.top,
                  rect.right - rect.left, rect.bottom - rect.top, parent, menu, instance, this);
  return hwnd_ != nullptr;  // set at WM_NCCREATE, cleared again if creation failed later
}

bool Window::CreateControl(Window& parent, const wchar_t* className, DWORD style, DWORD exStyle,
                           std::string_view text, const Bounds& bounds, int id) {
  if (hwnd_ || !parent.hwnd_) return false;
  if (id == 0) id = NextControlId();
  const HWND hwnd = CreateWindowExW(exStyle, className, found::Widen(text).c_str(), style | WS_CHILD | WS_VISIBLE,
                                    Scale(bounds.x), Scale(bounds.y), Scale(bounds.width), Scale(bounds.height),
                                    parent.hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                    GetModuleHandleW(nullptr), nullptr);
  if (!hwnd) return false;
  if (!SetWindowSubclass(hwnd, &SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
    DestroyWindow(hwnd);
    return false;
  }
  hwnd_ = hwnd;
  subclassed_ = true;
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FormFont()), FALSE);
  return true;
}

void Window::DestroyHandle() {
  const HWND hwnd = std::exchange(hwnd_, nullptr);
  if (!hwnd) return;
  if (subclassed_) {
    RemoveWindowSubclass(hwnd, &SubclassProc, kSubclassId);
    subclassed_ = false;
  } else {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  }
  DestroyWindow(hwnd);
}

void Window::NotifyChildrenResized() {
  std::vector<HWND> children;
  EnumChildWindows(hwnd_, &CollectChild, reinterpret_cast<LPARAM>(&children));
  for (HWND child : children) {
    if (GetParent(child) != hwnd_) continue;  // grandchildren follow their own parent
    if (Window* window = FromHandle(child)) window->OnParentResized();
  }
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (Reflect(message, wParam, lParam, result)) return result;
  return DefaultHandler(message, wParam, lParam);
}

LRESULT Window::DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam) {
  return subclassed_ ? DefSubclassProc(hwnd_, message, wParam, lParam) : DefWindowProcW(hwnd_, message, wParam, lParam);
}

bool Window::Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  const auto child = [this](HWND hwnd) {
    Window* window = FromHandle(hwnd);
    return window != this ? window : nullptr;
  };
  switch (message) {
    case WM_COMMAND:
      if (Window* control = child(reinterpret_cast<HWND>(lParam))) {
        result = 0;
        return control->OnCommand(HIWORD(wParam));
      }
      return false;
    case WM_NOTIFY: {
      auto& header = *reinterpret_cast<NMHDR*>(lParam);
      if (Window* control = child(header.hwndFrom)) return control->OnNotify(header, result);
      return false;
    }
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item.CtlType == ODT_MENU) return false;
      if (Window* control = child(item.hwndItem)) {
        result = TRUE;
        return control->OnDrawItem(item);
      }
      return false;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      if (Window* control = child(reinterpret_cast<HWND>(lParam))) {
        if (const HBRUSH brush = control->OnControlColor(reinterpret_cast<HDC>(wParam))) {
          result = reinterpret_cast<LRESULT>(brush);
          return true;
        }
      }
      return false;
    default:
      return false;
  }
}

LRESULT CALLBACK Window::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  Window* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  // Messages before WM_NCCREATE (WM_GETMINMAXINFO) and after DestroyHandle.
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  LRESULT result = 0;
  try {
    result = self->HandleMessage(message, wParam, lParam);
  } catch (const std::exception& error) {
    // No C++ exception may cross the system's frames below us.
    HandleException(error);
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
  }
  return result;
}

LRESULT CALLBACK Window::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR data) noexcept {
  auto* self = reinterpret_cast<Window*>(data);
  if (message == WM_NCDESTROY) {
    // Destroyed with its parent while the object lives on: it forgets the window.
    RemoveWindowSubclass(hwnd, &SubclassProc, kSubclassId);
    self->hwnd_ = nullptr;
    self->subclassed_ = false;
    return DefSubclassProc(hwnd, message, wParam, lParam);
  }
  try {
    return self->HandleMessage(message, wParam, lParam);
  } catch (const std::exception& error) {
    HandleException(error);
    return 0;
  }
}

// ---- Form

Form::~Form() {
  // The menu belongs to its MainMenu object, not to the window.
  if (Handle()) ::SetMenu(Handle(), nullptr);
  DestroyHandle();
}

bool Form::Create(const FormOptions& options) {
  DWORD style = WS_CLIPCHILDREN;
  DWORD exStyle = WS_EX_CONTROLPARENT;
  switch (options.border) {
    case BorderStyle::Sizeable:
      style |= WS_OVERLAPPEDWINDOW;
      break;
    case BorderStyle::Single:
      style |= WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
      break;
    case BorderStyle::Dialog:
      style |= WS_POPUP | WS_CAPTION | WS_SYSMENU;
      exStyle |= WS_EX_DLGMODALFRAME;
      break;
  }
  RECT rect{0, 0, Scale(options.clientWidth), Scale(options.clientHeight)};
  AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  OffsetRect(&rect, -rect.left, -rect.top);
  if (options.position == Position::Default && !(style & WS_POPUP)) OffsetRect(&rect, CW_USEDEFAULT, 0);
  const HWND owner = options.owner ? options.owner->Handle() : nullptr;
  if (!CreateOwnWindow(found::Widen(options.className), exStyle, style, options.caption, rect, owner, nullptr)) {
    return false;
  }
  position_ = options.position;
  // Exact even where the frame is not what AdjustWindowRectEx expects.
  SetClientSize(Scale(options.clientWidth), Scale(options.clientHeight));
  if (options.iconId) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    for (const auto& [which, metric] : {std::pair{ICON_BIG, SM_CXICON}, std::pair{ICON_SMALL, SM_CXSMICON}}) {
      const int size = GetSystemMetrics(metric);
      if (const HANDLE icon = LoadImageW(instance, MAKEINTRESOURCEW(options.iconId), IMAGE_ICON, size, size, LR_SHARED)) {
        SendMessageW(Handle(), WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
      }
    }
  }
  if (position_ == Position::ScreenCenter) CenterOnScreen();
  if (position_ == Position::OwnerCenter) CenterOnOwner();
  return true;
}

void Form::Show() {
  if (!Handle()) return;
  if (OnShow) OnShow();
  if (!Handle()) return;  // OnShow may have closed it for good
  ShowWindow(Handle(), SW_SHOW);
  SetForegroundWindow(Handle());
}

void Form::Hide() {
  if (Handle()) ShowWindow(Handle(), SW_HIDE);
}

ModalResult Form::ShowModal() {
  if (!Handle() || modal_) return ModalResult::None;
  const HWND previousActive = GetActiveWindow();
  const HWND owner = GetWindow(Handle(), GW_OWNER);

  DisabledWindows disabled{Handle(), {}};
  EnumThreadWindows(GetCurrentThreadId(), &CollectEnabledWindow, reinterpret_cast<LPARAM>(&disabled));
  if (owner && IsWindowEnabled(owner) &&
      std::find(disabled.windows.begin(), disabled.windows.end(), owner) == disabled.windows.end()) {
    disabled.windows.push_back(owner);  // a hidden owner too: nothing may reach it meanwhile
  }
  for (HWND hwnd : disabled.windows) EnableWindow(hwnd, FALSE);

  if (position_ == Position::ScreenCenter) CenterOnScreen();
  if (position_ == Position::OwnerCenter) CenterOnOwner();
  modal_ = true;
  modalResult_ = ModalResult::None;
  Show();

  bool quit = false;
  CloseAction action = CloseAction::Hide;
  for (;;) {
    if (!RunMessageLoop([this] { return modalResult_ != ModalResult::None || !Handle(); })) {
      quit = true;
      break;
    }
    action = CloseAction::Hide;
    if (!Handle() || QueryClose(action)) break;
    modalResult_ = ModalResult::None;
  }
  modal_ = false;
  ModalResult result = modalResult_;
  if (quit) result = ModalResult::None;
  else if (result == ModalResult::None) result = ModalResult::Cancel;  // the window went away

  // Enabled before the form hides, so that Windows hands the activation back
  // to them rather than to another program.
  for (HWND hwnd : disabled.windows) {
    if (IsWindow(hwnd)) EnableWindow(hwnd, TRUE);
  }
  if (Handle()) {
    if (action == CloseAction::Destroy) {
      DestroyWindow(Handle());
    } else {
      Hide();
    }
  }
  if (previousActive && IsWindow(previousActive)) SetActiveWindow(previousActive);
  return result;
}

void Form::Close() {
  if (!Handle()) return;
  if (modal_) {
    // The modal loop asks OnClose once it sees the result.
    if (modalResult_ == ModalResult::None) modalResult_ = ModalResult::Cancel;
    return;
  }
  CloseAction action = CloseAction::Hide;
  if (!QueryClose(action)) return;
  if (action == CloseAction::Destroy) {
    DestroyWindow(Handle());  // WM_DESTROY ends the loop for the main form
    return;
  }
  Hide();
  if (mainForm_) PostQuitMessage(0);
}

bool Form::QueryClose(CloseAction& action) {
  action = CloseAction::Hide;
  if (OnClose) OnClose(action);
  return action != CloseAction::None;
}

void Form::SetClientSize(int width, int height) {
  if (!Handle()) return;
  const DWORD style = static_cast<DWORD>(GetWindowLongW(Handle(), GWL_STYLE));
  const DWORD exStyle = static_cast<DWORD>(GetWindowLongW(Handle(), GWL_EXSTYLE));
  RECT rect{0, 0, width, height};
  AdjustWindowRectEx(&rect, style, GetMenu(Handle()) != nullptr, exStyle);
  const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
  SetWindowPos(Handle(), nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top, flags);
  // A menu bar that wraps onto a second line is only known now.
  RECT client{};
  GetClientRect(Handle(), &client);
  if (client.right != width || client.bottom != height) {
    RECT window{};
    GetWindowRect(Handle(), &window);
    SetWindowPos(Handle(), nullptr, 0, 0, window.right - window.left + width - client.right,
                 window.bottom - window.top + height - client.bottom, flags);
  }
}

void Form::CenterOnScreen() { CenterOn(nullptr); }

void Form::CenterOnOwner() { CenterOn(Handle() ? GetWindow(Handle(), GW_OWNER) : nullptr); }

void Form::CenterOn(HWND target) {
  if (!Handle()) return;
  const HWND owner = GetWindow(Handle(), GW_OWNER);
  HMONITOR monitor = nullptr;
  if (target || owner) {
    monitor = MonitorFromWindow(target ? target : owner, MONITOR_DEFAULTTONEAREST);
  } else {
    monitor = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
  }
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  RECT work{};
  if (monitor && GetMonitorInfoW(monitor, &info)) {
    work = info.rcWork;
  } else {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  }
  RECT around = work;
  if (target) GetWindowRect(target, &around);
  RECT self{};
  GetWindowRect(Handle(), &self);
  const int width = self.right - self.left, height = self.bottom - self.top;
  int x = around.left + (around.right - around.left - width) / 2;
  int y = around.top + (around.bottom - around.top - height) / 2;
  // Inside the work area; a form larger than it keeps its caption reachable.
  x = std::max<int>(work.left, std::min<int>(x, work.right - width));
  y = std::max<int>(work.top, std::min<int>(y, work.bottom - height));
  SetWindowPos(Handle(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Form* Form::Of(HWND hwnd) {
  if (!hwnd) return nullptr;
  return dynamic_cast<Form*>(Window::FromHandle(GetAncestor(hwnd, GA_ROOT)));
}

void Form::ClickCancelButton() {
  const HWND button = cancelId_ ? GetDlgItem(Handle(), cancelId_) : nullptr;
  if (button && IsWindowEnabled(button) && IsWindowVisible(button)) {
    SendMessageW(Handle(), WM_COMMAND, MAKEWPARAM(cancelId_, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  }
}

bool Form::HandleCommand(WPARAM wParam, LPARAM lParam) {
  if (lParam) return false;  // a control's notification: the base reflects it
  const int id = LOWORD(wParam);
  // The dialog manager sends these for Esc, and for Enter without a default button.
  if (id == IDCANCEL) {
    ClickCancelButton();
    return true;
  }
  if (id == IDOK) {
    // Enter presses the focused push button, as in a dialog.
    const HWND focus = GetFocus();
    wchar_t className[16] = {};
    if (focus && IsChild(Handle(), focus) && GetClassNameW(focus, className, 16) &&
        lstrcmpiW(className, L"Button") == 0) {
      const LONG type = GetWindowLongW(focus, GWL_STYLE) & BS_TYPEMASK;
      if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) SendMessageW(focus, BM_CLICK, 0, 0);
    }
    return true;
  }
  if (Menu* menu = Menu::FromHandle(GetMenu(Handle()))) return menu->Invoke(id);
  return false;
}

void Form::OnActivate(bool active) {
  if (!active) {
    const HWND focus = GetFocus();
    if (focus && IsChild(Handle(), focus)) lastFocus_ = focus;
    return;
  }
  if (lastFocus_ && IsWindow(lastFocus_) && IsChild(Handle(), lastFocus_) && IsWindowVisible(lastFocus_) &&
      IsWindowEnabled(lastFocus_)) {
    SetFocus(lastFocus_);
  } else if (const HWND first = GetNextDlgTabItem(Handle(), nullptr, FALSE)) {
    SetFocus(first);
  } else {
    SetFocus(Handle());
  }
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      Close();
      return 0;
    case WM_COMMAND:
      if (HandleCommand(wParam, lParam)) return 0;
      break;
    case WM_INITMENUPOPUP:
      if (!HIWORD(lParam)) {  // not the window menu
        if (Menu* menu = Menu::FromHandle(reinterpret_cast<HMENU>(wParam))) {
          menu->UpdateItems();
          return 0;
        }
      }
      break;
    case WM_SIZE: {
      if (wParam == SIZE_MINIMIZED) break;
      NotifyChildrenResized();
      if (OnResize) OnResize();
      return 0;
    }
    case DM_GETDEFID:
      return defaultId_ ? MAKELRESULT(defaultId_, DC_HASDEFID) : 0;
    case DM_SETDEFID:
      return TRUE;  // the default button is the form's choice, not the focus's
    case WM_ACTIVATE:
      if (HIWORD(wParam)) break;  // minimized: no control to focus
      OnActivate(LOWORD(wParam) != WA_INACTIVE);
      return 0;
    case WM_DESTROY:
      ::SetMenu(Handle(), nullptr);  // the menu belongs to its MainMenu object
      if (mainForm_) PostQuitMessage(0);
      break;
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

// ---- message loop

bool RunMessageLoop(const std::function<bool()>& done, int* exitCode) {
  MSG msg{};
  while (!done()) {
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      RunIdle();
      if (done()) break;
      if (GetMessageW(&msg, nullptr, 0, 0) == -1) continue;
    }
    if (msg.message == WM_QUIT) {
      if (exitCode) *exitCode = static_cast<int>(msg.wParam);
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    Dispatch(msg);
  }
  return true;
}

void ProcessMessages() {
  MSG msg{};
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    Dispatch(msg);
  }
}

int AddIdleHandler(std::function<void()> handler) {
  static int next = 1;
  IdleHandlers().push_back({next, std::move(handler)});
  return next++;
}

void RemoveIdleHandler(int token) {
  auto& handlers = IdleHandlers();
  handlers.erase(std::remove_if(handlers.begin(), handlers.end(), [&](const IdleEntry& e) { return e.token == token; }),
                 handlers.end());
}

}  // namespace widgets
