#include "widgets/controls.h"

#include <windowsx.h>
#include <uxtheme.h>

#include <algorithm>

#include "foundation/backends/win32/wide.h"
#include "widgets/metrics.h"

namespace widgets {

namespace {

// The parent's own background brush and colours for a control, as the
// parent's WM_CTLCOLORSTATIC gives them.
HBRUSH ParentBackground(HWND control, HDC dc) {
  const HWND parent = GetParent(control);
  const auto brush = reinterpret_cast<HBRUSH>(DefWindowProcW(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                             reinterpret_cast<LPARAM>(control)));
  return brush ? brush : GetSysColorBrush(COLOR_BTNFACE);
}

}  // namespace

// ---- Control

LRESULT Control::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CONTEXTMENU && OnContextMenu) {
    OnContextMenu(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    return 0;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

// ---- Label

bool Label::Create(Window& parent, const Bounds& bounds, std::string_view caption, const LabelOptions& options) {
  DWORD style = 0;
  switch (options.align) {
    case TextAlign::Left:
      style = options.wordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP;
      break;
    case TextAlign::Center:
      style = SS_CENTER;
      break;
    case TextAlign::Right:
      style = SS_RIGHT;
      break;
  }
  if (!options.wordWrap && options.align != TextAlign::Left) style |= SS_ENDELLIPSIS;
  if (!options.showAccelChar) style |= SS_NOPREFIX;
  transparent_ = options.transparent;
  if (!CreateControl(parent, L"STATIC", style, 0, caption, bounds, options.id)) return false;
  if (options.bold) SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(FormFont(FontStyle::Bold)), FALSE);
  return true;
}

void Label::SetColor(COLORREF color) {
  color_ = color;
  Invalidate();
}

HBRUSH Label::OnControlColor(HDC dc) {
  if (transparent_) {
    // The form clips its children, so nothing lies beneath the label to show
    // through: the parent paints its background into the label's DC first,
    // which resets the DC's text colour, so the colour is chosen after it.
    DrawThemeParentBackground(Handle(), dc, nullptr);
    if (color_ != CLR_DEFAULT) SetTextColor(dc, color_);
    SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  }
  if (color_ == CLR_DEFAULT) return nullptr;
  const HBRUSH background = ParentBackground(Handle(), dc);
  SetTextColor(dc, color_);  // the default handler reset it
  return background;
}

// ---- Button

Button::~Button() {
  if (action_) action_->RemoveClient(*this);
}

bool Button::Create(Window& parent, const Bounds& bounds, std::string_view caption, const ButtonOptions& options) {
  const DWORD style = WS_TABSTOP | (options.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
  if (!CreateControl(parent, L"BUTTON", style, 0, action_ ? std::string_view(action_->Caption()) : caption, bounds,
                     options.id)) {
    return false;
  }
  modalResult_ = options.modalResult;
  if (Form* form = Form::Of(Handle())) {
    if (options.isDefault) form->SetDefaultButton(Id());
    if (options.isCancel) form->SetCancelButton(Id());
  }
  if (action_) ActionChanged(*action_);
  return true;
}

void Button::SetAction(Action* action) {
  if (action_ == action) return;
  if (action_) action_->RemoveClient(*this);
  action_ = action;
  if (action_) {
    action_->AddClient(*this);
    ActionChanged(*action_);
  }
}

void Button::Click() {
  if (modalResult_ != ModalResult::None) {
    if (Form* form = Form::Of(Handle())) form->SetModalResult(modalResult_);
  }
  if (action_) {
    action_->Execute();
  } else if (OnClick) {
    const std::function<void()> onClick = OnClick;  // the handler may replace OnClick
    onClick();
  }
}

bool Button::OnCommand(int code) {
  if (code != BN_CLICKED) return false;
  // Another program's BM_CLICK reaches a disabled button too.
  if (Enabled()) Click();
  return true;
}

void Button::ActionChanged(Action& action) {
  if (!Handle()) return;
  if (Text() != action.Caption()) SetText(action.Caption());
  if (Enabled() != action.Enabled()) SetEnabled(action.Enabled());
}

void Button::ActionDestroyed(Action& action) {
  if (action_ == &action) action_ = nullptr;
}

// ---- Edit

bool Edit::Create(Window& parent, const Bounds& bounds, std::string_view text, const EditOptions& options) {
  DWORD style = WS_TABSTOP;
  if (options.multiLine) {
    style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL;
  } else {
    style |= ES_AUTOHSCROLL;
  }
  if (options.readOnly) style |= ES_READONLY;
  if (options.password) style |= ES_PASSWORD;
  if (!CreateControl(parent, L"EDIT", style, WS_EX_CLIENTEDGE, text, bounds, options.id)) return false;
  if (options.maxLength > 0) SendMessageW(Handle(), EM_SETLIMITTEXT, static_cast<WPARAM>(options.maxLength), 0);
  return true;
}

void Edit::SelectAll() {
  if (Handle()) SendMessageW(Handle(), EM_SETSEL, 0, -1);
}

bool Edit::OnCommand(int code) {
  if (code != EN_CHANGE) return false;
  if (OnChange) OnChange();
  return true;
}

// ---- ComboBox

bool ComboBox::Create(Window& parent, const Bounds& bounds, const ComboBoxOptions& options) {
  DWORD style = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
  if (options.sorted) style |= CBS_SORT;
  // The height a combo box is created with is that of its open list.
  Bounds open = bounds;
  open.height = bounds.height + std::max(options.dropDownCount, 1) * 16;
  if (!CreateControl(parent, L"COMBOBOX", style, 0, {}, open, options.id)) return false;
  SendMessageW(Handle(), CB_SETMINVISIBLE, static_cast<WPARAM>(std::max(options.dropDownCount, 1)), 0);
  return true;
}

int ComboBox::AddItem(std::string_view text) {
  if (!Handle()) return -1;
  const auto index = SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(found::Widen(text).c_str()));
  return index < 0 ? -1 : static_cast<int>(index);
}

void ComboBox::Clear() {
  if (Handle()) SendMessageW(Handle(), CB_RESETCONTENT, 0, 0);
}

int ComboBox::Count() const { return Handle() ? static_cast<int>(SendMessageW(Handle(), CB_GETCOUNT, 0, 0)) : 0; }

std::string ComboBox::ItemText(int index) const {
  if (!Handle()) return {};
  const auto length = SendMessageW(Handle(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length < 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const auto copied = SendMessageW(Handle(), CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied < 0 ? 0 : static_cast<std::size_t>(copied));
  return found::Narrow(text);
}

int ComboBox::ItemIndex() const {
  return Handle() ? static_cast<int>(SendMessageW(Handle(), CB_GETCURSEL, 0, 0)) : -1;
}

void ComboBox::SetItemIndex(int index) {
  if (Handle()) SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool ComboBox::OnCommand(int code) {
  if (code != CBN_SELCHANGE) return false;
  if (OnChange) OnChange();
  return true;
}

// ---- CheckBox

bool CheckBox::Create(Window& parent, const Bounds& bounds, std::string_view caption, const CheckBoxOptions& options) {
  if (!CreateControl(parent, L"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX, 0, caption, bounds, options.id)) return false;
  SetChecked(options.checked);
  return true;
}

bool CheckBox::Checked() const { return Handle() && SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void CheckBox::SetChecked(bool checked) {
  if (Handle()) SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool CheckBox::OnCommand(int code) {
  if (code != BN_CLICKED) return false;
  if (OnClick) OnClick();
  return true;
}

// ---- ProgressBar

bool ProgressBar::Create(Window& parent, const Bounds& bounds, std::string_view caption, int id) {
  if (!CreateControl(parent, PROGRESS_CLASSW, 0, 0, caption, bounds, id)) return false;
  SendMessageW(Handle(), PBM_SETRANGE32, 0, 100);
  return true;
}

int ProgressBar::Position() const { return Handle() ? static_cast<int>(SendMessageW(Handle(), PBM_GETPOS, 0, 0)) : 0; }

void ProgressBar::SetPosition(int position) {
  if (Handle()) SendMessageW(Handle(), PBM_SETPOS, static_cast<WPARAM>(std::clamp(position, 0, 100)), 0);
}

// ---- StatusBar

bool StatusBar::Create(Window& parent, const StatusBarOptions& options) {
  const DWORD style = CCS_BOTTOM | (options.sizeGrip ? SBARS_SIZEGRIP : 0);
  if (!CreateControl(parent, STATUSCLASSNAMEW, style, 0, {}, Bounds{}, options.id)) return false;
  SendMessageW(Handle(), WM_SIZE, 0, 0);  // takes its place along the bottom
  SetPanels({-1});
  return true;
}

void StatusBar::SetPanels(std::vector<int> widths) {
  if (widths.empty()) widths.push_back(-1);
  widths_ = std::move(widths);
  texts_.resize(widths_.size());
  drawers_.resize(widths_.size());
  if (!Handle()) return;
  std::vector<int> edges;
  int right = 0;
  for (std::size_t i = 0; i < widths_.size(); ++i) {
    right += Scale(std::max(widths_[i], 0));
    edges.push_back(i + 1 == widths_.size() ? -1 : right);
  }
  SendMessageW(Handle(), SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  for (int panel = 0; panel < static_cast<int>(widths_.size()); ++panel) ApplyPanel(panel);
}

void StatusBar::SetPanelText(int panel, std::string_view text) {
  if (panel < 0 || panel >= static_cast<int>(texts_.size())) return;
  texts_[panel] = std::string(text);
  ApplyPanel(panel);
}

std::string StatusBar::PanelText(int panel) const {
  return panel >= 0 && panel < static_cast<int>(texts_.size()) ? texts_[panel] : std::string();
}

void StatusBar::SetPanelDrawer(int panel, PanelDrawer drawer) {
  if (panel < 0 || panel >= static_cast<int>(drawers_.size())) return;
  drawers_[panel] = std::move(drawer);
  ApplyPanel(panel);
}

void StatusBar::ApplyPanel(int panel) {
  if (!Handle()) return;
  if (drawers_[panel]) {
    SendMessageW(Handle(), SB_SETTEXTW, static_cast<WPARAM>(panel) | SBT_OWNERDRAW, 0);
  } else {
    SendMessageW(Handle(), SB_SETTEXTW, static_cast<WPARAM>(panel),
                 reinterpret_cast<LPARAM>(found::Widen(texts_[panel]).c_str()));
  }
  // An owner-drawn panel repaints only when asked.
  RECT rect{};
  if (SendMessageW(Handle(), SB_GETRECT, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(&rect))) {
    InvalidateRect(Handle(), &rect, TRUE);
  }
}

bool StatusBar::OnDrawItem(const DRAWITEMSTRUCT& item) {
  const auto panel = static_cast<std::size_t>(item.itemID);
  if (panel >= drawers_.size() || !drawers_[panel]) return false;
  const PanelDrawer drawer = drawers_[panel];
  drawer(item.hDC, item.rcItem);
  return true;
}

void StatusBar::OnParentResized() {
  if (Handle()) SendMessageW(Handle(), WM_SIZE, 0, 0);
}

// ---- ListView

bool ListView::Create(Window& parent, const Bounds& bounds, std::string_view caption, const ListViewOptions& options) {
  DWORD style = WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS;
  if (!options.multiSelect) style |= LVS_SINGLESEL;
  if (!options.showHeader) style |= LVS_NOCOLUMNHEADER;
  if (!CreateControl(parent, WC_LISTVIEWW, style, WS_EX_CLIENTEDGE, caption, bounds, options.id)) return false;
  DWORD extended = LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_INFOTIP;
  if (options.gridLines) extended |= LVS_EX_GRIDLINES;
  SendMessageW(Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
  SetWindowTheme(Handle(), L"Explorer", nullptr);  // the look of Explorer's lists where themes exist
  return true;
}

int ListView::AddColumn(std::string_view caption, int width, TextAlign align) {
  if (!Handle()) return -1;
  const HWND header = ListView_GetHeader(Handle());
  const int index = header ? Header_GetItemCount(header) : 0;
  std::wstring text = found::Widen(caption);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
  column.fmt = align == TextAlign::Right ? LVCFMT_RIGHT : align == TextAlign::Center ? LVCFMT_CENTER : LVCFMT_LEFT;
  column.cx = Scale(width);
  column.pszText = text.data();
  column.iSubItem = index;
  return static_cast<int>(SendMessageW(Handle(), LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column)));
}

int ListView::AddItem(std::string_view text, int image, LPARAM data) {
  if (!Handle()) return -1;
  std::wstring wide = found::Widen(text);
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
  item.iItem = Count();
  item.pszText = wide.data();
  item.iImage = image < 0 ? I_IMAGENONE : image;
  item.lParam = data;
  return static_cast<int>(SendMessageW(Handle(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void ListView::SetItemText(int item, int column, std::string_view text) {
  if (!Handle()) return;
  std::wstring wide = found::Widen(text);
  LVITEMW lv{};
  lv.iSubItem = column;
  lv.pszText = wide.data();
  SendMessageW(Handle(), LVM_SETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv));
}

std::string ListView::ItemText(int item, int column) const {
  if (!Handle()) return {};
  // The control copies what fits and says how much; a full buffer may mean more.
  for (std::size_t size = 256;; size *= 2) {
    std::wstring text(size, L'\0');
    LVITEMW lv{};
    lv.iSubItem = column;
    lv.pszText = text.data();
    lv.cchTextMax = static_cast<int>(size);
    const auto copied = static_cast<std::size_t>(
        SendMessageW(Handle(), LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv)));
    if (copied + 1 < size || size >= (1u << 20)) {
      text.resize(std::min(copied, size));
      return found::Narrow(text);
    }
  }
}

LPARAM ListView::ItemData(int item) const {
  if (!Handle()) return 0;
  LVITEMW lv{};
  lv.mask = LVIF_PARAM;
  lv.iItem = item;
  return SendMessageW(Handle(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&lv)) ? lv.lParam : 0;
}

void ListView::DeleteItem(int item) {
  if (Handle()) SendMessageW(Handle(), LVM_DELETEITEM, static_cast<WPARAM>(item), 0);
}

void ListView::Clear() {
  if (Handle()) SendMessageW(Handle(), LVM_DELETEALLITEMS, 0, 0);
}

int ListView::Count() const { return Handle() ? static_cast<int>(SendMessageW(Handle(), LVM_GETITEMCOUNT, 0, 0)) : 0; }

int ListView::SelectedIndex() const {
  return Handle() ? static_cast<int>(SendMessageW(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)) : -1;
}

std::vector<int> ListView::SelectedIndices() const {
  std::vector<int> selected;
  for (int item = SelectedIndex(); item >= 0;
       item = static_cast<int>(SendMessageW(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(item), LVNI_SELECTED))) {
    selected.push_back(item);
  }
  return selected;
}

void ListView::Select(int item) {
  if (!Handle()) return;
  LVITEMW clear{};
  clear.stateMask = LVIS_SELECTED;
  SendMessageW(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
  if (item < 0) return;
  LVITEMW set{};
  set.state = set.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&set));
  SendMessageW(Handle(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), FALSE);
}

void ListView::SetImageList(HIMAGELIST smallImages) {
  if (Handle()) SendMessageW(Handle(), LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(smallImages));
}

void ListView::BeginUpdate() {
  if (Handle()) SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
}

void ListView::EndUpdate() {
  if (!Handle()) return;
  SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
  Invalidate();
}

LRESULT ListView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (OnEnter) {
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (message == WM_GETDLGCODE && msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
      return Control::HandleMessage(message, wParam, lParam) | DLGC_WANTMESSAGE;
    }
    if (message == WM_KEYDOWN && wParam == VK_RETURN) {
      const std::function<void(int)> onEnter = OnEnter;
      onEnter(SelectedIndex());
      return 0;
    }
  }
  return Control::HandleMessage(message, wParam, lParam);
}

bool ListView::OnNotify(NMHDR& header, LRESULT& result) {
  result = 0;
  switch (header.code) {
    case LVN_ITEMCHANGED: {
      const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
      if ((change.uChanged & LVIF_STATE) && ((change.uOldState ^ change.uNewState) & LVIS_SELECTED)) {
        if (OnSelectionChanged) OnSelectionChanged();
      }
      return true;
    }
    case NM_DBLCLK: {
      const auto& activate = reinterpret_cast<const NMITEMACTIVATE&>(header);
      if (activate.iItem >= 0 && OnDoubleClick) OnDoubleClick(activate.iItem);
      return true;
    }
    case LVN_COLUMNCLICK: {
      const auto& click = reinterpret_cast<const NMLISTVIEW&>(header);
      if (OnColumnClick) OnColumnClick(click.iSubItem);
      return true;
    }
    default:
      return false;
  }
}

// ---- LinkLabel

bool LinkLabel::Create(Window& parent, const Bounds& bounds, std::string_view caption, int id) {
  return CreateControl(parent, L"STATIC", WS_TABSTOP | SS_OWNERDRAW | SS_NOTIFY, 0, caption, bounds, id);
}

void LinkLabel::Click() {
  if (!Enabled() || !OnClick) return;
  const std::function<void()> onClick = OnClick;
  onClick();
}

LRESULT LinkLabel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETCURSOR:
      SetCursor(LoadCursorW(nullptr, IDC_HAND));
      return TRUE;
    case WM_LBUTTONDOWN:
      Focus();
      break;
    case WM_GETDLGCODE: {
      // Enter on the focused link follows it instead of pressing the default button.
      const auto* msg = reinterpret_cast<const MSG*>(lParam);
      LRESULT code = Control::HandleMessage(message, wParam, lParam);
      if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
      return code;
    }
    case WM_KEYDOWN:
      if (wParam == VK_RETURN || wParam == VK_SPACE) {
        Click();
        return 0;
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_SETTEXT: {
      const LRESULT result = Control::HandleMessage(message, wParam, lParam);
      Invalidate();
      return result;
    }
    default:
      break;
  }
  return Control::HandleMessage(message, wParam, lParam);
}

bool LinkLabel::OnCommand(int code) {
  if (code != STN_CLICKED) return false;
  Click();
  return true;
}

bool LinkLabel::OnDrawItem(const DRAWITEMSTRUCT& item) {
  const HDC dc = item.hDC;
  RECT rect = item.rcItem;
  FillRect(dc, &rect, ParentBackground(Handle(), dc));
  const std::wstring text = found::Widen(Text());
  SelectObjectGuard font(dc, FormFont(FontStyle::Underline));
  SetBkMode(dc, TRANSPARENT);
  // Windows' link blue rather than COLOR_HOTLIGHT, which Wine's light theme
  // makes a pale grey that cannot be read.
  SetTextColor(dc, Enabled() ? RGB(0, 102, 204) : GetSysColor(COLOR_GRAYTEXT));
  const UINT format = DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, format);
  if (GetFocus() == Handle()) {
    RECT focus = item.rcItem;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &focus, format | DT_CALCRECT);
    focus.right = std::min(focus.right, item.rcItem.right);
    DrawFocusRect(dc, &focus);
  }
  return true;
}

// ---- Picture

bool Picture::Create(Window& parent, const Bounds& bounds, std::string_view caption, int id) {
  return CreateControl(parent, L"STATIC", SS_OWNERDRAW, 0, caption, bounds, id);
}

bool Picture::SetImage(const imaging::Image& image) {
  UniqueHbitmap bitmap = BitmapFromImage(image);
  if (!bitmap) return false;
  bitmap_ = std::move(bitmap);
  Invalidate();
  return true;
}

bool Picture::OnDrawItem(const DRAWITEMSTRUCT& item) {
  FillRect(item.hDC, &item.rcItem, ParentBackground(Handle(), item.hDC));
  if (bitmap_) DrawBitmap(item.hDC, bitmap_.get(), item.rcItem);
  return true;
}

}  // namespace widgets
