// Our windows: one base class whose objects receive their window's messages,
// and Form, a top-level window with the platform's form behaviour (modal
// loop, modal result, close hooks, default and cancel buttons).
//   class TfrmScan : public widgets::Form { ... };
//   if (!frm.Create({.caption = "Scan", .clientWidth = 360, .clientHeight = 120,
//                    .border = widgets::BorderStyle::Dialog, .owner = &main})) return;
//   if (frm.ShowModal() == widgets::ModalResult::Ok) ...
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <exception>
#include <functional>
#include <string>
#include <string_view>

namespace widgets {

// Bounds written at creation, in pixels at 96 DPI (scaled by the system DPI).
struct Bounds {
  int x = 0, y = 0, width = 0, height = 0;
};

// Where an exception raised by a GUI event handler goes (the window procedure
// is its last C++ frame). Empty: the general error box (ShowException).
using ExceptionHandler = std::function<void(const std::exception&)>;
void SetExceptionHandler(ExceptionHandler handler);
void HandleException(const std::exception& error);

class Window {
 public:
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  // Destroys the window if it still exists.
  virtual ~Window();

  HWND Handle() const noexcept { return hwnd_; }
  bool IsCreated() const noexcept { return hwnd_ != nullptr; }
  int Id() const;

  std::string Text() const;
  void SetText(std::string_view text);
  bool Enabled() const;
  void SetEnabled(bool enabled);
  bool Visible() const;
  void SetVisible(bool visible);
  void Focus();
  void Invalidate();

  // Device pixels: the window's rectangle in its parent's client coordinates
  // (screen coordinates for a top-level window), and its client size.
  RECT BoundsRect() const;
  void SetBounds(int x, int y, int width, int height);
  SIZE ClientSize() const;

  // The object behind one of our windows or controls; null for any other.
  static Window* FromHandle(HWND hwnd);

 protected:
  Window() = default;

  // A window of our own class (registered on first use); this object gets its
  // messages from WM_NCCREATE on.
  bool CreateOwnWindow(const std::wstring& className, DWORD exStyle, DWORD style, std::string_view text,
                       const RECT& rect, HWND parent, HMENU menu);
  // A standard control as a child of parent, subclassed so that it reaches
  // HandleMessage too; id 0 picks a fresh one.
  bool CreateControl(Window& parent, const wchar_t* className, DWORD style, DWORD exStyle,
                     std::string_view text, const Bounds& bounds, int id);
  // Destroys the window without this object seeing the messages of its end.
  void DestroyHandle();

  // Unhandled messages go to the base: it reflects notifications of child
  // controls back to them, then runs the default procedure.
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam);

  // Notifications the parent reflects back to the control that sent them.
  virtual bool OnCommand(int /*code*/) { return false; }
  virtual bool OnNotify(NMHDR& /*header*/, LRESULT& /*result*/) { return false; }
  virtual bool OnDrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }
  // A brush for WM_CTLCOLOR*, or null for the default colours.
  virtual HBRUSH OnControlColor(HDC /*dc*/) { return nullptr; }
  // The parent's client area changed size (status bars follow it).
  virtual void OnParentResized() {}
  // Tells the direct children (on WM_SIZE).
  void NotifyChildrenResized();

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR data) noexcept;
  bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  HWND hwnd_ = nullptr;
  bool subclassed_ = false;
};

// The values match the IDOK... of MessageBoxW.
enum class ModalResult { None = 0, Ok = IDOK, Cancel = IDCANCEL, Abort = IDABORT, Retry = IDRETRY,
                         Ignore = IDIGNORE, Yes = IDYES, No = IDNO };

enum class BorderStyle {
  Sizeable,  // resizable, minimize and maximize boxes
  Single,    // fixed size, minimize box
  Dialog,    // fixed size dialog frame, no boxes
};

enum class Position { Default, ScreenCenter, OwnerCenter };

// What OnClose decides: keep the form open, hide it, or destroy its window.
enum class CloseAction { None, Hide, Destroy };

class Form;

struct FormOptions {
  std::string caption;
  int clientWidth = 400, clientHeight = 300;  // at 96 DPI
  BorderStyle border = BorderStyle::Sizeable;
  // Centred at creation and again at each ShowModal; OwnerCenter without an
  // owner centres on the desktop. Kept inside the work area either way.
  Position position = Position::ScreenCenter;
  Form* owner = nullptr;
  std::string className = "CobaltForm";  // what a test driver finds it by
  int iconId = 0;                        // icon resource of the program, 0 for none
};

class Form : public Window {
 public:
  Form() = default;
  ~Form() override;

  [[nodiscard]] bool Create(const FormOptions& options);

  // OnShow, then visible and active.
  void Show();
  void Hide();
  // Disables the other windows of the thread (the owner among them), runs a
  // message loop until the modal result is set and OnClose lets the form
  // close, then restores exactly the windows it disabled and hides the form.
  // None if WM_QUIT ended the loop (it is posted again for the outer loop).
  ModalResult ShowModal();
  // Closes as the close box does: a modal form ends its loop with Cancel
  // (unless a result is set); otherwise OnClose decides, and closing the main
  // form ends the application's loop.
  void Close();
  bool IsModal() const noexcept { return modal_; }
  ModalResult GetModalResult() const noexcept { return modalResult_; }
  void SetModalResult(ModalResult result) noexcept { modalResult_ = result; }

  // Device pixels; the menu bar, if any, is outside the client area.
  void SetClientSize(int width, int height);
  void CenterOnScreen();
  void CenterOnOwner();

  // Enter clicks the default button, Esc the cancel button (by control id).
  void SetDefaultButton(int id) noexcept { defaultId_ = id; }
  void SetCancelButton(int id) noexcept { cancelId_ = id; }

  std::function<void()> OnShow;
  std::function<void(CloseAction&)> OnClose;  // the action starts as Hide
  std::function<void()> OnResize;             // after status bars followed the size

  // The form holding a control (its top-level ancestor), if it is one of ours.
  static Form* Of(HWND hwnd);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  friend class Application;
  bool HandleCommand(WPARAM wParam, LPARAM lParam);
  void ClickCancelButton();
  // Runs OnClose; false if it keeps the form open.
  bool QueryClose(CloseAction& action);
  void CenterOn(HWND target);
  void OnActivate(bool active);

  Position position_ = Position::ScreenCenter;
  bool modal_ = false;
  bool mainForm_ = false;
  ModalResult modalResult_ = ModalResult::None;
  int defaultId_ = 0;
  int cancelId_ = 0;
  HWND lastFocus_ = nullptr;
};

// The GUI thread's message loop, shared by Application::Run and ShowModal.
// Each message gets its form's menu accelerators and dialog keys (Tab, Enter,
// Esc); when the queue runs empty, every action updates and then the idle
// handlers run. Runs until done() holds (checked after every message and idle
// pass). False when WM_QUIT arrived: it is posted again for enclosing loops
// and its exit code stored in *exitCode.
[[nodiscard]] bool RunMessageLoop(const std::function<bool()>& done, int* exitCode = nullptr);
// Handles what is queued now without waiting and without an idle pass.
void ProcessMessages();

// Called after the action updates on each idle pass, in the order added.
int AddIdleHandler(std::function<void()> handler);
void RemoveIdleHandler(int token);

}  // namespace widgets
