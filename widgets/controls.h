// Thin wrappers of the standard controls. Each is a real Win32 control, a
// child of its form with a control id, and its window text is its caption,
// so screen readers and test drivers see what the user sees. Create takes
// bounds at 96 DPI and UTF-8 text; a control whose window is destroyed with
// its parent simply forgets the window.
//   Button btnCancel;
//   if (!btnCancel.Create(*this, {248, 88, 75, 25}, "Cancel", {.isCancel = true})) return false;
//   btnCancel.OnClick = [this] { BitBtn1Click(); };
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/image/image.h"
#include "widgets/actions.h"
#include "widgets/pictures.h"
#include "widgets/window.h"

namespace widgets {

enum class TextAlign { Left, Center, Right };

// The base of the wrappers: a subclassed standard control.
class Control : public Window {
 public:
  // Right click or the context-menu key, at a screen point ({-1, -1} from the
  // keyboard). Unset, the parent gets WM_CONTEXTMENU as usual.
  std::function<void(POINT screen)> OnContextMenu;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

struct LabelOptions {
  bool bold = false;
  bool wordWrap = false;
  bool transparent = true;     // the parent's background shows through
  bool showAccelChar = false;  // off: an & in a name or path is shown as it is
  TextAlign align = TextAlign::Left;
  int id = 0;
};

class Label : public Control {
 public:
  [[nodiscard]] bool Create(Window& parent, const Bounds& bounds, std::string_view caption,
                            const LabelOptions& options = {});
  // CLR_DEFAULT for the system's text colour.
  void SetColor(COLORREF color);

 protected:
  HBRUSH OnControlColor(HDC dc) override;

 private:
  bool transparent_ = true;
  COLORREF color_ = CLR_DEFAULT;
};

struct ButtonOptions {
  bool isDefault = false;  // Enter clicks it
  bool isCancel = false;   // Esc clicks it
  ModalResult modalResult = ModalResult::None;  // set on the form when clicked, before OnClick
  int id = 0;
};

class Button : public Control, public ActionClient {
 public:
  Button() = default;
  ~Button() override;
  [[nodiscard]] bool Create(Window& parent, const Bounds& bounds, std::string_view caption,
                            const ButtonOptions& options = {});

  std::function<void()> OnClick;
  // Caption, enabled state and click follow the action from now on; null unbinds.
  void SetAction(Action* action);
  Action* GetAction() const noexcept { return action_; }
  // What a click does: the modal result, then the action (if enabled) or OnClick.
  void Click();

 protected:
  bool OnCommand(int code) override;

 private:
  void ActionChanged(Action& action) override;
  void ActionDestroyed(Action& action) override;

  Action* action_ = nullptr;
  ModalResult modalResult_ = ModalResult::None;
};

struct EditOptions {
  bool readOnly = false;
  bool multiLine = false;  // with a vertical scroll bar; Enter starts a new line
  bool password = false;
  int maxLength = 0;  // 0: the control's own limit
  int id = 0;
};

class Edit : public Control {
 public:
  [[nodiscard]] bool Create(Window& parent, const Bounds& bounds, std::string_view text,
                            const EditOptions& options = {});
  void SelectAll();
  std::function<void()> OnChange;

 protected:
  bool OnCommand(int code) override;
};

struct ComboBoxOptions {
  int dropDownCount = 8;  // rows the open list shows
  bool sorted = false;
  int id = 0;
};

// A drop-down list: the user picks, never types. Its window text is the
// chosen item's.
class ComboBox : public Control {
 public:
  [[nodiscard]] bool Create(Window& parent, const Bounds& bounds, const ComboBoxOptions& options = {});
  int AddItem(std::string_view text);  // the new item's index, -1 on failure
  void Clear();
  int Count() const;
  std::string ItemText(int index) const;
  int ItemIndex() const;  // -1 for none
  void SetItemIndex(int index);
  std::function<void()> OnChange;  // the user picked another item

 protected:
  bool OnCommand(int code) override;
};

struct CheckBoxOptions {
  bool checked = false;
  int id = 0;
};

class CheckBox : public Control {
 public:
  [[nodiscard]] bool Create(Window& parent, const Bounds& bounds, std::string_view caption,
                            const CheckBoxOptions& options = {});
  bool Checked() const;
  void SetChecked(bool checked);
  std::function<void()> OnClick;  // after the check changed

 protected:
  bool OnCommand(int code) override;
};

// 0..100. The caption is its accessible name.
class ProgressBar : public Control {
 public:
  [[nodiscard]] bool Create(Window& parent, const Bounds& bounds, std::string_view caption = {}, int id = 0);
  int Position() const;
  void SetPosition(int position);
};

struct StatusBarOptions {
  bool sizeGrip = true;
  int id = 0;
};

// Along the parent's bottom edge, following its size. Its window text is the
// first panel's text.
class StatusBar : public Control {
 public:
  using PanelDrawer = std::function<void(HDC dc, const RECT& rect)>;

  [[nodiscard]] bool Create(Window& parent, const StatusBarOptions& options = {});
  // Panel widths at 96 DPI; the last panel takes the rest of the bar.
  void SetPanels(std::vector<int> widths);
  void SetPanelText(int panel, std::string_view text);
  std::string PanelText(int panel) const;
  // An owner-drawn panel: drawer paints it whenever it needs painting; an
  // empty drawer makes it a text panel again.
  void SetPanelDrawer(int panel, PanelDrawer drawer);

 protected:
  bool OnDrawItem(const DRAWITEMSTRUCT& item) override;
  void OnParentResized() override;

 private:
  void ApplyPanel(int panel);

  std::vector<int> widths_;
  std::vector<std::string> texts_;
  std::vector<PanelDrawer> drawers_;
};

struct ListViewOptions {
  bool multiSelect = false;
  bool gridLines = false;
  bool showHeader = true;
  int id = 0;
};

// Report style: columns, rows with subitems, full-row selection. The caption
// is its accessible name.
class ListView : public Control {
 public:
  [[nodiscard]] bool Create(Window& parent, const Bounds& bounds, std::string_view caption,
                            const ListViewOptions& options = {});
  // Width at 96 DPI; the new column's index.
  int AddColumn(std::string_view caption, int width, TextAlign align = TextAlign::Left);
  // Appends a row; image -1 for none. The new row's index, -1 on failure.
  int AddItem(std::string_view text, int image = -1, LPARAM data = 0);
  void SetItemText(int item, int column, std::string_view text);
  std::string ItemText(int item, int column) const;
  LPARAM ItemData(int item) const;
  void DeleteItem(int item);
  void Clear();
  int Count() const;
  int SelectedIndex() const;  // the first selected row, -1 for none
  std::vector<int> SelectedIndices() const;
  // Selects and focuses only this row and scrolls it into view; -1 clears.
  void Select(int item);
  // Not owned: the caller keeps the list alive as long as the view.
  void SetImageList(HIMAGELIST smallImages);
  // Around bulk changes: no repainting in between.
  void BeginUpdate();
  void EndUpdate();

  std::function<void()> OnSelectionChanged;
  std::function<void(int item)> OnDoubleClick;
  // Enter in the list, with the selected row (-1 for none). Set, it takes Enter
  // from the form's default button while the list has the focus.
  std::function<void(int item)> OnEnter;
  std::function<void(int column)> OnColumnClick;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool OnNotify(NMHDR& header, LRESULT& result) override;
};

// Underlined text in the link colour with a hand cursor; a click, Enter or
// Space runs OnClick. It takes the focus with Tab like a button.
class LinkLabel : public Control {
 public:
  [[nodiscard]] bool Create(Window& parent, const Bounds& bounds, std::string_view caption, int id = 0);
  std::function<void()> OnClick;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool OnCommand(int code) override;
  bool OnDrawItem(const DRAWITEMSTRUCT& item) override;

 private:
  void Click();
};

// A picture with alpha, stretched to the control. The caption is its
// accessible name.
class Picture : public Control {
 public:
  [[nodiscard]] bool Create(Window& parent, const Bounds& bounds, std::string_view caption = {}, int id = 0);
  [[nodiscard]] bool SetImage(const imaging::Image& image);

 protected:
  bool OnDrawItem(const DRAWITEMSTRUCT& item) override;

 private:
  UniqueHbitmap bitmap_;
};

}  // namespace widgets
