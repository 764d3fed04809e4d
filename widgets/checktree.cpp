#include "widgets/checktree.h"

#include <uxtheme.h>
#include <vssym32.h>
#include <windowsx.h>

#include <algorithm>

#include "foundation/backends/win32/wide.h"
#include "widgets/metrics.h"

namespace widgets {

namespace {

constexpr int kBoxSize = 13;  // at 96 DPI

// State image 0 means "no box" to the tree view, so the list starts with a
// blank picture and the states follow as 1, 2, 3.
UINT StateIndex(found::CheckState state) {
  switch (state) {
    case found::CheckState::Unchecked: return 1;
    case found::CheckState::Checked: return 2;
    case found::CheckState::Mixed: return 3;
  }
  return 1;
}

void DrawBox(HDC dc, HTHEME theme, const RECT& box, int index) {
  if (theme) {
    static constexpr int kParts[] = {CBS_UNCHECKEDNORMAL, CBS_CHECKEDNORMAL, CBS_MIXEDNORMAL};
    DrawThemeBackground(theme, dc, BP_CHECKBOX, kParts[index], &box, nullptr);
    return;
  }
  static constexpr UINT kFlags[] = {DFCS_BUTTONCHECK, DFCS_BUTTONCHECK | DFCS_CHECKED,
                                    DFCS_BUTTON3STATE | DFCS_CHECKED};
  RECT rect = box;
  DrawFrameControl(dc, &rect, DFC_BUTTON, kFlags[index]);
}

}  // namespace

bool CheckTree::Create(Window& parent, const Bounds& bounds, std::string_view caption,
                       const CheckTreeOptions& options) {
  DWORD style = WS_TABSTOP | TVS_SHOWSELALWAYS | TVS_DISABLEDRAGDROP;
  if (options.rootLines) style |= TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT;
  if (!CreateControl(parent, WC_TREEVIEWW, style, WS_EX_CLIENTEDGE, caption, bounds, options.id)) return false;
  checkBoxes_ = options.checkBoxes;
  if (checkBoxes_) BuildStateImages();
  return true;
}

void CheckTree::BuildStateImages() {
  // One picture per state, as tall as an item, so the box sits centred on its row.
  const int side = std::max(static_cast<int>(SendMessageW(Handle(), TVM_GETITEMHEIGHT, 0, 0)), Scale(kBoxSize));
  UniqueHimagelist images(ImageList_Create(side, side, ILC_COLOR24, 4, 0));
  if (!images) return;
  WindowDc screen(nullptr);
  UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
  const HTHEME theme = OpenThemeData(Handle(), L"BUTTON");
  const int box = Scale(kBoxSize);
  const RECT boxRect{(side - box) / 2, (side - box) / 2, (side - box) / 2 + box, (side - box) / 2 + box};
  for (int i = 0; i < 4; ++i) {
    UniqueHbitmap bitmap(CreateCompatibleBitmap(screen.get(), side, side));
    if (!memory || !bitmap) break;
    {
      SelectObjectGuard select(memory.get(), bitmap.get());
      const RECT all{0, 0, side, side};
      FillRect(memory.get(), &all, GetSysColorBrush(COLOR_WINDOW));
      if (i > 0) DrawBox(memory.get(), theme, boxRect, i - 1);
    }
    ImageList_Add(images.get(), bitmap.get(), nullptr);
  }
  if (theme) CloseThemeData(theme);
  SendMessageW(Handle(), TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<LPARAM>(images.get()));
  stateImages_ = std::move(images);  // the old list goes only after the tree has let go of it
}

void CheckTree::SetImageList(HIMAGELIST images) {
  if (!Handle()) return;
  SendMessageW(Handle(), TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
  if (checkBoxes_) BuildStateImages();  // the items may have grown
}

HTREEITEM CheckTree::AddItem(HTREEITEM parent, std::string_view caption, int image, LPARAM data,
                             found::CheckState check) {
  if (!Handle()) return nullptr;
  std::wstring text = found::Widen(caption);
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent ? parent : TVI_ROOT;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  insert.item.pszText = text.data();
  insert.item.lParam = data;
  insert.item.iImage = insert.item.iSelectedImage = image < 0 ? I_IMAGENONE : image;
  insert.item.stateMask = TVIS_STATEIMAGEMASK;
  insert.item.state = checkBoxes_ ? INDEXTOSTATEIMAGEMASK(StateIndex(check)) : 0;
  return reinterpret_cast<HTREEITEM>(SendMessageW(Handle(), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

void CheckTree::Clear() {
  if (Handle()) SendMessageW(Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
}

std::string CheckTree::ItemText(HTREEITEM item) const {
  if (!Handle() || !item) return {};
  wchar_t buffer[1024] = {};
  TVITEMW tv{};
  tv.mask = TVIF_TEXT;
  tv.hItem = item;
  tv.pszText = buffer;
  tv.cchTextMax = static_cast<int>(std::size(buffer));
  if (!SendMessageW(Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv))) return {};
  return found::Narrow(tv.pszText);
}

LPARAM CheckTree::ItemData(HTREEITEM item) const {
  if (!Handle() || !item) return 0;
  TVITEMW tv{};
  tv.mask = TVIF_PARAM;
  tv.hItem = item;
  return SendMessageW(Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv)) ? tv.lParam : 0;
}

found::CheckState CheckTree::Check(HTREEITEM item) const {
  if (!Handle() || !item) return found::CheckState::Unchecked;
  const auto state = static_cast<UINT>(SendMessageW(Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item),
                                                    TVIS_STATEIMAGEMASK));
  switch ((state & TVIS_STATEIMAGEMASK) >> 12) {
    case 2: return found::CheckState::Checked;
    case 3: return found::CheckState::Mixed;
    default: return found::CheckState::Unchecked;
  }
}

void CheckTree::SetCheck(HTREEITEM item, found::CheckState state) {
  if (!Handle() || !item || !checkBoxes_) return;
  TVITEMW tv{};
  tv.mask = TVIF_STATE;
  tv.hItem = item;
  tv.stateMask = TVIS_STATEIMAGEMASK;
  tv.state = INDEXTOSTATEIMAGEMASK(StateIndex(state));
  SendMessageW(Handle(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
}

std::vector<HTREEITEM> CheckTree::Items() const {
  std::vector<HTREEITEM> items;
  if (!Handle()) return items;
  const auto next = [this](HTREEITEM item, UINT how) {
    return reinterpret_cast<HTREEITEM>(SendMessageW(Handle(), TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
  };
  std::vector<HTREEITEM> pending;  // a stack: the next sibling waits while the children go first
  for (HTREEITEM item = next(nullptr, TVGN_ROOT); item || !pending.empty();) {
    if (!item) {
      item = pending.back();
      pending.pop_back();
      continue;
    }
    items.push_back(item);
    if (const HTREEITEM sibling = next(item, TVGN_NEXT)) pending.push_back(sibling);
    item = next(item, TVGN_CHILD);
  }
  return items;
}

HTREEITEM CheckTree::FindByData(LPARAM data) const {
  for (HTREEITEM item : Items()) {
    if (ItemData(item) == data) return item;
  }
  return nullptr;
}

void CheckTree::ExpandAll() {
  for (HTREEITEM item : Items()) SendMessageW(Handle(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
}

HTREEITEM CheckTree::Selected() const {
  if (!Handle()) return nullptr;
  return reinterpret_cast<HTREEITEM>(SendMessageW(Handle(), TVM_GETNEXTITEM, TVGN_CARET, 0));
}

void CheckTree::Select(HTREEITEM item) {
  if (Handle()) SendMessageW(Handle(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

bool CheckTree::ClickAt(POINT client) {
  if (!Handle() || !checkBoxes_) return false;
  TVHITTESTINFO hit{};
  hit.pt = client;
  SendMessageW(Handle(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  if (!hit.hItem || !(hit.flags & TVHT_ONITEMSTATEICON)) return false;
  if (OnCheckClick) OnCheckClick(hit.hItem);
  return true;
}

LRESULT CheckTree::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      // A box click goes to the owner; the tree's own handling would select
      // the item and start a drag loop.
      if (ClickAt({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)})) {
        SetFocus(Handle());
        return 0;
      }
      break;
    case WM_KEYDOWN:
      if (wParam == VK_SPACE && checkBoxes_) {
        if (const HTREEITEM item = Selected(); item && OnCheckClick) OnCheckClick(item);
        return 0;
      }
      break;
    case WM_CHAR:
      if (wParam == L' ' && checkBoxes_) return 0;  // no incremental search on the space
      break;
    case WM_THEMECHANGED:
    case WM_SETTINGCHANGE: {
      const LRESULT result = Control::HandleMessage(message, wParam, lParam);
      if (checkBoxes_) BuildStateImages();
      return result;
    }
    default:
      break;
  }
  return Control::HandleMessage(message, wParam, lParam);
}

bool CheckTree::OnNotify(NMHDR& header, LRESULT& result) {
  switch (header.code) {
    case TVN_SELCHANGEDW:
    case TVN_SELCHANGEDA:
      if (OnSelectionChanged) OnSelectionChanged(reinterpret_cast<NMTREEVIEWW&>(header).itemNew.hItem);
      result = 0;
      return true;
    case NM_DBLCLK:
      if (OnDoubleClick) OnDoubleClick(Selected());
      result = 0;
      return OnDoubleClick != nullptr;  // unset: the tree expands or collapses as usual
    default:
      return false;
  }
}

}  // namespace widgets
