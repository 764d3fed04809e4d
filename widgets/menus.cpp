#include "widgets/menus.h"

#include <algorithm>
#include <set>

#include "foundation/backends/win32/wide.h"
#include "widgets/window.h"

namespace widgets {

namespace {

std::set<const Menu*>& LiveMenus() {
  static std::set<const Menu*> menus;
  return menus;
}

// Above the control ids, and one counter for every menu, so that an id names
// one item in any window.
int NextCommandId() {
  static int next = 40000;
  if (next >= 0xFFF0) next = 40000;
  return next++;
}

std::string KeyName(UINT key) {
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::string(1, static_cast<char>(key));
  if (key >= VK_F1 && key <= VK_F24) return "F" + std::to_string(key - VK_F1 + 1);
  switch (key) {
    case VK_DELETE: return "Del";
    case VK_INSERT: return "Ins";
    case VK_RETURN: return "Enter";
    case VK_ESCAPE: return "Esc";
    case VK_BACK: return "Backspace";
    case VK_TAB: return "Tab";
    case VK_SPACE: return "Space";
    case VK_HOME: return "Home";
    case VK_END: return "End";
    case VK_PRIOR: return "PgUp";
    case VK_NEXT: return "PgDn";
    case VK_LEFT: return "Left";
    case VK_RIGHT: return "Right";
    case VK_UP: return "Up";
    case VK_DOWN: return "Down";
    default: break;
  }
  wchar_t name[64] = {};
  const LONG scan = static_cast<LONG>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
  return GetKeyNameTextW(scan, name, 64) > 0 ? found::Narrow(name) : std::string();
}

}  // namespace

std::string ShortcutText(const Shortcut& shortcut) {
  if (!shortcut.key) return {};
  std::string text;
  if (shortcut.ctrl) text += "Ctrl+";
  if (shortcut.shift) text += "Shift+";
  if (shortcut.alt) text += "Alt+";
  return text + KeyName(shortcut.key);
}

// ---- Menu

Menu::Menu(HMENU handle, bool owned) : handle_(handle), owned_(owned) {
  LiveMenus().insert(this);
  if (!handle_) return;
  MENUINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = MIM_MENUDATA;
  info.dwMenuData = reinterpret_cast<ULONG_PTR>(this);
  SetMenuInfo(handle_, &info);
}

Menu::~Menu() {
  LiveMenus().erase(this);
  for (const Item& item : items_) {
    if (item.action) item.action->RemoveClient(*this);
  }
  // Destroys the submenus' handles too; their objects go with items_.
  if (owned_ && handle_) DestroyMenu(handle_);
}

Menu* Menu::FromHandle(HMENU handle) {
  if (!handle) return nullptr;
  MENUINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = MIM_MENUDATA;
  if (!GetMenuInfo(handle, &info)) return nullptr;
  auto* menu = reinterpret_cast<Menu*>(info.dwMenuData);
  return LiveMenus().count(menu) ? menu : nullptr;
}

int Menu::Append(std::string caption, Shortcut shortcut, Action* action, std::function<void()> onClick) {
  if (!handle_) return 0;
  const int id = NextCommandId();
  std::string text = caption;
  if (shortcut.key) text += "\t" + ShortcutText(shortcut);
  if (!AppendMenuW(handle_, MF_STRING, static_cast<UINT_PTR>(id), found::Widen(text).c_str())) return 0;
  items_.push_back(Item{id, std::move(caption), shortcut, action, std::move(onClick), nullptr});
  if (action) {
    action->AddClient(*this);
    ShowAction(items_.back());
  }
  if (shortcut.key) ShortcutsChanged();
  return id;
}

int Menu::AddItem(std::string_view caption, std::function<void()> onClick, Shortcut shortcut) {
  return Append(std::string(caption), shortcut, nullptr, std::move(onClick));
}

int Menu::AddItem(Action& action, Shortcut shortcut) { return Append(action.Caption(), shortcut, &action, {}); }

void Menu::AddSeparator() {
  if (handle_) AppendMenuW(handle_, MF_SEPARATOR, 0, nullptr);
}

Menu& Menu::AddSubmenu(std::string_view caption) {
  auto submenu = std::unique_ptr<Menu>(new Menu(CreatePopupMenu(), false));
  submenu->parent_ = this;
  if (handle_ && submenu->handle_) {
    AppendMenuW(handle_, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(submenu->handle_),
                found::Widen(caption).c_str());
  }
  Menu& result = *submenu;
  Item item;
  item.caption = std::string(caption);
  item.submenu = std::move(submenu);
  items_.push_back(std::move(item));
  return result;
}

bool Menu::Invoke(int commandId) {
  for (Item& item : items_) {
    if (item.submenu) {
      if (item.submenu->Invoke(commandId)) return true;
      continue;
    }
    if (item.id != commandId) continue;
    if (item.action) {
      item.action->Execute();
    } else if (item.onClick) {
      // A copy: the callback may rebuild this menu.
      const std::function<void()> onClick = item.onClick;
      onClick();
    }
    return true;
  }
  return false;
}

void Menu::UpdateItems() {
  std::vector<Action*> actions;
  for (const Item& item : items_) {
    if (item.action) actions.push_back(item.action);
  }
  // Each update shows its state at once through ActionChanged.
  for (Action* action : actions) action->Update();
  for (const Item& item : items_) {
    if (item.action) ShowAction(item);
  }
}

void Menu::CollectShortcuts(std::vector<ACCEL>& table) const {
  for (const Item& item : items_) {
    if (item.submenu) item.submenu->CollectShortcuts(table);
    if (!item.shortcut.key) continue;
    BYTE flags = FVIRTKEY;
    if (item.shortcut.ctrl) flags |= FCONTROL;
    if (item.shortcut.shift) flags |= FSHIFT;
    if (item.shortcut.alt) flags |= FALT;
    table.push_back(ACCEL{flags, static_cast<WORD>(item.shortcut.key), static_cast<WORD>(item.id)});
  }
}

void Menu::ShortcutsChanged() {
  if (parent_) parent_->ShortcutsChanged();
}

void Menu::ShowAction(const Item& item) {
  if (!handle_ || !item.action) return;
  EnableMenuItem(handle_, static_cast<UINT>(item.id), MF_BYCOMMAND | (item.action->Enabled() ? MF_ENABLED : MF_GRAYED));
  std::string text = item.action->Caption();
  if (item.shortcut.key) text += "\t" + ShortcutText(item.shortcut);
  const std::wstring wide = found::Widen(text);
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_STRING;
  info.dwTypeData = const_cast<wchar_t*>(wide.c_str());
  SetMenuItemInfoW(handle_, static_cast<UINT>(item.id), FALSE, &info);
}

void Menu::ActionChanged(Action& action) {
  for (const Item& item : items_) {
    if (item.action == &action) ShowAction(item);
  }
}

void Menu::ActionDestroyed(Action& action) {
  for (Item& item : items_) {
    if (item.action != &action) continue;
    item.action = nullptr;
    if (handle_) EnableMenuItem(handle_, static_cast<UINT>(item.id), MF_BYCOMMAND | MF_GRAYED);
  }
}

// ---- MainMenu

MainMenu::MainMenu() : Menu(CreateMenu(), true) {}

MainMenu::~MainMenu() {
  if (form_ && IsWindow(form_) && GetMenu(form_) == Handle()) {
    ::SetMenu(form_, nullptr);
    DrawMenuBar(form_);
  }
}

bool MainMenu::AttachTo(Form& form) {
  if (!Handle() || !form.Handle()) return false;
  const SIZE client = form.ClientSize();
  if (!::SetMenu(form.Handle(), Handle())) return false;
  form_ = form.Handle();
  form.SetClientSize(client.cx, client.cy);
  DrawMenuBar(form_);
  return true;
}

HACCEL MainMenu::Accelerators() {
  if (stale_) {
    std::vector<ACCEL> table;
    CollectShortcuts(table);
    accelerators_.reset(table.empty() ? nullptr : CreateAcceleratorTableW(table.data(), static_cast<int>(table.size())));
    stale_ = false;
  }
  return accelerators_.get();
}

// ---- PopupMenu

PopupMenu::PopupMenu() : Menu(CreatePopupMenu(), true) {}

void PopupMenu::Popup(Window& owner, POINT screen) {
  if (!Handle() || !owner.Handle()) return;
  const HWND root = GetAncestor(owner.Handle(), GA_ROOT);
  if (screen.x == -1 && screen.y == -1) GetCursorPos(&screen);
  UpdateItems();
  // Without the foreground the menu would not close when the user clicks
  // elsewhere; the posted WM_NULL is the documented companion of that.
  SetForegroundWindow(root);
  const int command = static_cast<int>(TrackPopupMenuEx(Handle(), TPM_RETURNCMD | TPM_RIGHTBUTTON,
                                                         screen.x, screen.y, root, nullptr));
  PostMessageW(root, WM_NULL, 0, 0);
  if (command) Invoke(command);
}

}  // namespace widgets
