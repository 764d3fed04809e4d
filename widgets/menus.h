// Main and pop-up menus: real Win32 menus whose items run an action or a
// callback. An item bound to an action shows its caption and enabled state;
// the form refreshes the actions of a menu when it opens (WM_INITMENUPOPUP).
//   MainMenu menu;
//   Menu& file = menu.AddSubmenu("&File");
//   file.AddItem(actExport, {'E', true});  // "&Export...\tCtrl+E"
//   file.AddSeparator();
//   file.AddItem("E&xit", [&] { Close(); });
//   if (!menu.AttachTo(*this)) return false;
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/backends/win32/unique_handle.h"
#include "widgets/actions.h"

namespace widgets {

class Form;
class Window;

// A key that runs an item from anywhere in its form: a virtual key ('A'..'Z',
// '0'..'9', VK_F1, VK_DELETE, ...) with modifiers. Only a main menu's
// shortcuts are active; a pop-up menu shows them as text.
struct Shortcut {
  UINT key = 0;
  bool ctrl = false, shift = false, alt = false;
};

// "Ctrl+Shift+F", "Del", "F1"; empty for no key.
std::string ShortcutText(const Shortcut& shortcut);

class Menu : public ActionClient {
 public:
  Menu(const Menu&) = delete;
  Menu& operator=(const Menu&) = delete;
  virtual ~Menu();

  HMENU Handle() const noexcept { return handle_; }

  // The caption may carry an & accelerator. Each returns the item's command id.
  int AddItem(std::string_view caption, std::function<void()> onClick, Shortcut shortcut = {});
  int AddItem(Action& action, Shortcut shortcut = {});
  void AddSeparator();
  Menu& AddSubmenu(std::string_view caption);

  // Runs the item with this command id, here or in a submenu; false for an id
  // not found. An item of a disabled action is found but does not run.
  bool Invoke(int commandId);
  // Refreshes the actions of the direct items (the menu is opening).
  void UpdateItems();

  // The object behind one of our menus; null for any other.
  static Menu* FromHandle(HMENU handle);

 protected:
  Menu(HMENU handle, bool owned);
  void CollectShortcuts(std::vector<ACCEL>& table) const;
  virtual void ShortcutsChanged();

 private:
  struct Item {
    int id = 0;
    std::string caption;
    Shortcut shortcut;
    Action* action = nullptr;
    std::function<void()> onClick;
    std::unique_ptr<Menu> submenu;
  };

  int Append(std::string caption, Shortcut shortcut, Action* action, std::function<void()> onClick);
  void ActionChanged(Action& action) override;
  void ActionDestroyed(Action& action) override;
  void ShowAction(const Item& item);

  HMENU handle_ = nullptr;
  bool owned_ = false;
  Menu* parent_ = nullptr;
  std::vector<Item> items_;
};

class MainMenu : public Menu {
 public:
  MainMenu();
  // Leaves the form without a menu bar.
  ~MainMenu() override;

  // Becomes the form's menu bar; the form keeps its client size.
  [[nodiscard]] bool AttachTo(Form& form);
  // The shortcuts of every item, for the message loop; null if there are none.
  HACCEL Accelerators();

 protected:
  void ShortcutsChanged() override { stale_ = true; }

 private:
  HWND form_ = nullptr;
  found::UniqueOwner<HACCEL, &::DestroyAcceleratorTable> accelerators_;
  bool stale_ = true;
};

class PopupMenu : public Menu {
 public:
  PopupMenu();
  // Refreshes the items' actions, shows the menu at a screen point (at the
  // cursor for {-1, -1}, which WM_CONTEXTMENU gives for the keyboard) and
  // runs the chosen item. Returns when the menu has closed.
  void Popup(Window& owner, POINT screen);
};

}  // namespace widgets
