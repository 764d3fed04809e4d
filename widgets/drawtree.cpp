#include "widgets/drawtree.h"

#include <vssym32.h>
#include <windowsx.h>

#include <algorithm>

#include "foundation/backends/win32/wide.h"
#include "widgets/metrics.h"
#include "widgets/pictures.h"

namespace widgets {

namespace {

constexpr wchar_t kClassName[] = L"CobaltDrawTree";
constexpr int kLineStep = 16;  // one arrow click or wheel line, at 96 DPI
constexpr int kBoxSize = 13;
constexpr int kBoxMargin = 2;
constexpr int kGlyphSize = 9;

void FillSolid(HDC dc, const RECT& rect, COLORREF color) {
  SetBkColor(dc, color);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

}  // namespace

DrawTree::~DrawTree() {
  DestroyHandle();
  CloseThemes();
}

bool DrawTree::Create(Window& parent, const Bounds& bounds, std::string_view caption, DrawTreeSource& source,
                      const DrawTreeOptions& options) {
  if (IsCreated() || !parent.Handle()) return false;
  source_ = &source;
  options_ = options;
  columnWidth_ = Scale(options.columnWidth);
  const RECT rect{Scale(bounds.x), Scale(bounds.y), Scale(bounds.x + bounds.width), Scale(bounds.y + bounds.height)};
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | WS_CLIPCHILDREN;
  if (!CreateOwnWindow(kClassName, WS_EX_CLIENTEDGE, style, caption, rect, parent.Handle(),
                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(options.id)))) {
    return false;
  }
  if (options.header) {
    header_ = CreateWindowExW(0, WC_HEADERW, nullptr, WS_CHILD | WS_VISIBLE | HDS_HORZ | HDS_FULLDRAG, 0, 0, 0, 0,
                              Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    if (header_) {
      SendMessageW(header_, WM_SETFONT, reinterpret_cast<WPARAM>(FormFont()), FALSE);
      std::wstring text = found::Widen(options.headerCaption);
      HDITEMW item{};
      item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
      item.fmt = HDF_LEFT | HDF_STRING;
      item.pszText = text.data();
      item.cxy = ColumnWidth();
      SendMessageW(header_, HDM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
  }
  Reload();
  return true;
}

void DrawTree::Reload() {
  const int count = source_ ? std::max(source_->RowCount(), 0) : 0;
  tops_.assign(static_cast<std::size_t>(count) + 1, 0);
  for (int i = 0; i < count; ++i) {
    tops_[static_cast<std::size_t>(i) + 1] = tops_[static_cast<std::size_t>(i)] + std::max(source_->Row(i).height, 1);
  }
  UpdateScrollBars();
  Refresh();
}

void DrawTree::Refresh() {
  if (Handle()) InvalidateRect(Handle(), nullptr, FALSE);
}

int DrawTree::HeaderHeight() const {
  if (!header_) return 0;
  RECT rect{};
  GetWindowRect(header_, &rect);
  return rect.bottom - rect.top;
}

int DrawTree::PageHeight() const { return std::max(static_cast<int>(ClientSize().cy) - HeaderHeight(), 0); }

int DrawTree::ColumnWidth() const { return std::max(columnWidth_, static_cast<int>(ClientSize().cx)); }

void DrawTree::SetColumnWidth(int width) {
  columnWidth_ = std::max(width, 0);
  UpdateScrollBars();
  Refresh();
}

RECT DrawTree::RowRect(int row) const {
  if (row < 0 || row >= RowCount()) return {};
  const int top = HeaderHeight() + tops_[static_cast<std::size_t>(row)] - scrollY_;
  const int bottom = HeaderHeight() + tops_[static_cast<std::size_t>(row) + 1] - scrollY_;
  return {-scrollX_, top, ColumnWidth() - scrollX_, bottom};
}

int DrawTree::RowAt(int clientY) const {
  const int y = clientY - HeaderHeight() + scrollY_;
  if (clientY < HeaderHeight() || y < 0 || y >= ContentHeight()) return -1;
  // tops_ is ascending: the row is the last one starting at or above y.
  return static_cast<int>(std::upper_bound(tops_.begin(), tops_.end(), y) - tops_.begin()) - 1;
}

int DrawTree::RowLeft(const DrawTreeRow& row) const {
  const int indent = Scale(options_.indent);
  const bool buttonCell = options_.expandButtons || options_.treeLines;
  return -scrollX_ + row.depth * indent + (buttonCell ? indent : 0);
}

RECT DrawTree::CheckBoxRect(int row) const {
  if (!options_.checkBoxes || row < 0 || row >= RowCount()) return {};
  const DrawTreeRow info = source_->Row(row);
  if (!info.hasCheckBox) return {};
  const RECT rowRect = RowRect(row);
  const int size = Scale(kBoxSize);
  const int left = RowLeft(info) + Scale(kBoxMargin);
  const int top = rowRect.top + (rowRect.bottom - rowRect.top - size) / 2;
  return {left, top, left + size, top + size};
}

RECT DrawTree::ContentRect(int row) const {
  if (row < 0 || row >= RowCount()) return {};
  RECT rect = RowRect(row);
  rect.left = RowLeft(source_->Row(row));
  if (options_.checkBoxes) rect.left += Scale(kBoxSize + 2 * kBoxMargin + 1);
  return rect;
}

DrawTreeHit DrawTree::HitTest(POINT client) const {
  const int row = RowAt(client.y);
  if (row < 0 || client.x < 0) return {};
  const RECT rowRect = RowRect(row);
  if (client.x >= rowRect.right) return {};
  const DrawTreeRow info = source_->Row(row);
  const int left = RowLeft(info);
  if (options_.expandButtons && info.hasChildren && client.x < left && client.x >= left - Scale(options_.indent)) {
    return {row, DrawTreePart::ExpandButton};
  }
  if (options_.checkBoxes && info.hasCheckBox && client.x >= left &&
      client.x < left + Scale(kBoxSize + 2 * kBoxMargin)) {
    return {row, DrawTreePart::CheckBox};
  }
  return {row, DrawTreePart::Row};
}

void DrawTree::UpdateScrollBars() {
  if (!Handle() || updatingBars_) return;
  // Showing or hiding a bar resizes the client area, which comes back here.
  updatingBars_ = true;
  LayoutHeader();  // the page is what the header leaves
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_RANGE | SIF_PAGE;
  info.nMax = std::max(ContentHeight() - 1, 0);
  info.nPage = static_cast<UINT>(PageHeight());
  SetScrollInfo(Handle(), SB_VERT, &info, TRUE);
  info.nMax = std::max(ColumnWidth() - 1, 0);
  info.nPage = static_cast<UINT>(ClientSize().cx);
  SetScrollInfo(Handle(), SB_HORZ, &info, TRUE);
  updatingBars_ = false;
  ScrollTo(scrollX_, scrollY_);  // clamps to the new ranges
  LayoutHeader();
}

void DrawTree::ScrollTo(int x, int y) {
  if (!Handle()) return;
  x = std::clamp(x, 0, std::max(ColumnWidth() - static_cast<int>(ClientSize().cx), 0));
  y = std::clamp(y, 0, std::max(ContentHeight() - PageHeight(), 0));
  if (x == scrollX_ && y == scrollY_) return;
  scrollX_ = x;
  scrollY_ = y;
  SetScrollPos(Handle(), SB_HORZ, x, TRUE);
  SetScrollPos(Handle(), SB_VERT, y, TRUE);
  LayoutHeader();
  Refresh();
  if (OnScrolled) OnScrolled();
}

void DrawTree::EnsureVisible(int row) {
  if (row < 0 || row >= RowCount()) return;
  const int top = tops_[static_cast<std::size_t>(row)];
  const int bottom = tops_[static_cast<std::size_t>(row) + 1];
  int y = scrollY_;
  if (bottom > y + PageHeight()) y = bottom - PageHeight();
  if (top < y) y = top;  // a row taller than the page shows its top
  ScrollTo(scrollX_, y);
}

void DrawTree::SelectRow(int row) {
  if (!source_ || row < -1 || row >= RowCount()) return;
  if (row != source_->SelectedRow()) source_->SelectRow(row);
  EnsureVisible(row);
  Refresh();
}

void DrawTree::LayoutHeader() {
  if (!header_) return;
  RECT client{};
  GetClientRect(Handle(), &client);
  HDLAYOUT layout{};
  WINDOWPOS pos{};
  layout.prc = &client;
  layout.pwpos = &pos;
  SendMessageW(header_, HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(&layout));
  SetWindowPos(header_, nullptr, -scrollX_, 0, ColumnWidth() + scrollX_ + GetSystemMetrics(SM_CXVSCROLL), pos.cy,
               SWP_NOZORDER | SWP_NOACTIVATE);
  HDITEMW item{};
  item.mask = HDI_WIDTH;
  SendMessageW(header_, HDM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  if (item.cxy == ColumnWidth()) return;
  item.cxy = ColumnWidth();
  // Our own change comes back as HDN_ITEMCHANGED; it is not the user's drag.
  settingHeader_ = true;
  SendMessageW(header_, HDM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  settingHeader_ = false;
}

void DrawTree::Scroll(int bar, int code) {
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL;
  GetScrollInfo(Handle(), bar, &info);
  const int page = static_cast<int>(info.nPage);
  int pos = bar == SB_VERT ? scrollY_ : scrollX_;
  switch (code) {
    case SB_LINEUP: pos -= Scale(kLineStep); break;
    case SB_LINEDOWN: pos += Scale(kLineStep); break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = info.nTrackPos; break;  // 32 bits, unlike the message's HIWORD
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = info.nMax; break;
    default: return;
  }
  if (bar == SB_VERT) {
    ScrollTo(scrollX_, pos);
  } else {
    ScrollTo(pos, scrollY_);
  }
}

void DrawTree::CloseThemes() {
  if (buttonTheme_) CloseThemeData(buttonTheme_);
  if (treeTheme_) CloseThemeData(treeTheme_);
  buttonTheme_ = treeTheme_ = nullptr;
  themesOpened_ = false;
}

void DrawTree::DrawCheckBox(HDC dc, const RECT& box, found::CheckState state) {
  if (buttonTheme_) {
    const int part = state == found::CheckState::Checked ? CBS_CHECKEDNORMAL
                     : state == found::CheckState::Mixed ? CBS_MIXEDNORMAL
                                                         : CBS_UNCHECKEDNORMAL;
    DrawThemeBackground(buttonTheme_, dc, BP_CHECKBOX, part, &box, nullptr);
    return;
  }
  UINT flags = DFCS_BUTTONCHECK;
  if (state == found::CheckState::Checked) flags |= DFCS_CHECKED;
  if (state == found::CheckState::Mixed) flags = DFCS_BUTTON3STATE | DFCS_CHECKED;
  RECT rect = box;
  DrawFrameControl(dc, &rect, DFC_BUTTON, flags);
}

void DrawTree::DrawExpandButton(HDC dc, const RECT& cell, bool expanded) {
  const int size = Scale(kGlyphSize);
  const int left = (cell.left + cell.right - size) / 2;
  const int top = (cell.top + cell.bottom - size) / 2;
  RECT glyph{left, top, left + size, top + size};
  if (treeTheme_) {
    DrawThemeBackground(treeTheme_, dc, TVP_GLYPH, expanded ? GLPS_OPENED : GLPS_CLOSED, &glyph, nullptr);
    return;
  }
  FillSolid(dc, glyph, GetSysColor(COLOR_WINDOW));
  FrameRect(dc, &glyph, GetSysColorBrush(COLOR_GRAYTEXT));
  const int midX = left + size / 2, midY = top + size / 2;
  FillSolid(dc, {left + 2, midY, left + size - 2, midY + 1}, GetSysColor(COLOR_WINDOWTEXT));
  if (!expanded) FillSolid(dc, {midX, top + 2, midX + 1, top + size - 2}, GetSysColor(COLOR_WINDOWTEXT));
}

void DrawTree::PaintRow(HDC dc, int row, const RECT& rect) {
  const DrawTreeRow info = source_->Row(row);
  const bool focused = GetFocus() == Handle();
  const bool selected = source_->SelectedRow() == row;
  COLORREF back = GetSysColor(COLOR_WINDOW);
  if (selected) back = GetSysColor(focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
  FillSolid(dc, rect, back);

  const int indent = Scale(options_.indent);
  const int left = RowLeft(info);
  if (options_.treeLines) {
    const COLORREF line = GetSysColor(COLOR_GRAYTEXT);
    const int midY = (rect.top + rect.bottom) / 2;
    for (int d = 0; d <= info.depth && d < 32; ++d) {
      const int x = -scrollX_ + d * indent + indent / 2;
      if (d < info.depth) {
        if (info.continuing & (1u << d)) FillSolid(dc, {x, rect.top, x + 1, rect.bottom}, line);
        continue;
      }
      const bool continues = (info.continuing & (1u << d)) != 0;
      FillSolid(dc, {x, rect.top, x + 1, continues ? rect.bottom : midY}, line);
      FillSolid(dc, {x, midY, left, midY + 1}, line);
    }
  }
  if (options_.expandButtons && info.hasChildren) {
    DrawExpandButton(dc, {left - indent, rect.top, left, rect.bottom}, info.expanded);
  }
  if (options_.checkBoxes && info.hasCheckBox) DrawCheckBox(dc, CheckBoxRect(row), info.check);

  RECT content = rect;
  content.left = left + (options_.checkBoxes ? Scale(kBoxSize + 2 * kBoxMargin + 1) : 0);
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, content.left, content.top, content.right, content.bottom);
  SelectObject(dc, FormFont());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(selected && focused ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  source_->Paint(row, dc, content, selected, focused);
  RestoreDC(dc, saved);
}

void DrawTree::Paint(HDC dc, const RECT& clip) {
  if (!themesOpened_) {
    buttonTheme_ = OpenThemeData(Handle(), L"BUTTON");
    treeTheme_ = OpenThemeData(Handle(), L"TREEVIEW");
    themesOpened_ = true;
  }
  FillSolid(dc, clip, GetSysColor(COLOR_WINDOW));
  if (!source_) return;
  // Only the rows crossing the clip rectangle: a binary search finds the first.
  int row = RowAt(std::max(clip.top, static_cast<LONG>(HeaderHeight())));
  for (; row >= 0 && row < RowCount(); ++row) {
    const RECT rect = RowRect(row);
    if (rect.top >= clip.bottom) break;
    PaintRow(dc, row, rect);
  }
}

void DrawTree::OnMouseDown(POINT client, bool doubleClick) {
  const DrawTreeHit hit = HitTest(client);
  switch (hit.part) {
    case DrawTreePart::CheckBox:
      // The second click of a double click on a box is one more click.
      source_->ClickCheck(hit.row);
      Refresh();
      break;
    case DrawTreePart::ExpandButton:
      source_->ToggleExpanded(hit.row);
      Reload();
      break;
    case DrawTreePart::Row:
      SelectRow(hit.row);
      if (doubleClick) source_->DoubleClick(hit.row);
      break;
    case DrawTreePart::Nowhere:
      break;
  }
}

bool DrawTree::OnKey(UINT key) {
  const int count = RowCount();
  const int selected = source_->SelectedRow();
  const int page = std::max(PageHeight(), 1);
  const auto rowAtContent = [&](int y) {
    y = std::clamp(y, 0, std::max(ContentHeight() - 1, 0));
    return static_cast<int>(std::upper_bound(tops_.begin(), tops_.end(), y) - tops_.begin()) - 1;
  };
  int target = selected;
  switch (key) {
    case VK_UP: target = selected < 0 ? 0 : selected - 1; break;
    case VK_DOWN: target = selected + 1; break;
    case VK_HOME: target = 0; break;
    case VK_END: target = count - 1; break;
    case VK_PRIOR:
      target = selected < 0 ? 0 : rowAtContent(tops_[static_cast<std::size_t>(selected)] - page);
      if (target == selected) --target;
      break;
    case VK_NEXT:
      target = selected < 0 ? 0 : rowAtContent(tops_[static_cast<std::size_t>(selected)] + page);
      if (target == selected) ++target;
      break;
    case VK_SPACE:
      if (selected >= 0 && options_.checkBoxes && source_->Row(selected).hasCheckBox) {
        source_->ClickCheck(selected);
        Refresh();
      }
      return true;
    case VK_RETURN:
      source_->PressEnter(selected);
      return true;
    case VK_LEFT:
    case VK_RIGHT:
      if (selected >= 0) {
        const DrawTreeRow info = source_->Row(selected);
        if (info.hasChildren && info.expanded == (key == VK_LEFT)) {
          source_->ToggleExpanded(selected);
          Reload();
        }
      }
      return true;
    default:
      return false;
  }
  if (count > 0) SelectRow(std::clamp(target, 0, count - 1));
  return true;
}

LRESULT DrawTree::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers every pixel; erasing first would flicker
    case WM_PAINT: {
      PaintDc paint(Handle());
      const RECT clip = paint.paint().rcPaint;
      const int width = clip.right - clip.left, height = clip.bottom - clip.top;
      if (width <= 0 || height <= 0) return 0;
      // Drawn off screen and copied in one go, so no half-painted row shows.
      UniqueMemoryDc memory(CreateCompatibleDC(paint.get()));
      UniqueHbitmap bitmap(CreateCompatibleBitmap(paint.get(), width, height));
      if (!memory || !bitmap) {
        Paint(paint.get(), clip);
        return 0;
      }
      SelectObjectGuard select(memory.get(), bitmap.get());
      SetViewportOrgEx(memory.get(), -clip.left, -clip.top, nullptr);
      Paint(memory.get(), clip);
      BitBlt(paint.get(), clip.left, clip.top, width, height, memory.get(), clip.left, clip.top, SRCCOPY);
      return 0;
    }
    case WM_PRINTCLIENT: {
      RECT client{};
      GetClientRect(Handle(), &client);
      Paint(reinterpret_cast<HDC>(wParam), client);
      return 0;
    }
    case WM_SIZE:
      UpdateScrollBars();
      Refresh();
      return 0;
    case WM_VSCROLL:
      Scroll(SB_VERT, LOWORD(wParam));
      return 0;
    case WM_HSCROLL:
      Scroll(SB_HORZ, LOWORD(wParam));
      return 0;
    case WM_MOUSEWHEEL: {
      UINT lines = 3;
      SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
      wheelRest_ += GET_WHEEL_DELTA_WPARAM(wParam);
      const int notches = wheelRest_ / WHEEL_DELTA;
      wheelRest_ -= notches * WHEEL_DELTA;
      const int step = lines == WHEEL_PAGESCROLL ? PageHeight() : static_cast<int>(lines) * Scale(kLineStep);
      ScrollTo(scrollX_, scrollY_ - notches * step);
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SetFocus(Handle());
      if (source_) OnMouseDown({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, message == WM_LBUTTONDBLCLK);
      return 0;
    case WM_RBUTTONDOWN:
      SetFocus(Handle());
      if (const int row = RowAt(GET_Y_LPARAM(lParam)); source_ && row >= 0) SelectRow(row);
      return 0;
    case WM_CONTEXTMENU: {
      if (!source_) break;
      POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      int row = source_->SelectedRow();
      if (screen.x != -1 || screen.y != -1) {
        POINT client = screen;
        ScreenToClient(Handle(), &client);
        row = RowAt(client.y);
      }
      source_->ContextMenu(row, screen);
      return 0;
    }
    case WM_KEYDOWN:
      if (source_ && OnKey(static_cast<UINT>(wParam))) return 0;
      break;
    case WM_CHAR:
      if (wParam == L' ' || wParam == L'\r') return 0;  // handled at WM_KEYDOWN; no beep
      break;
    case WM_GETDLGCODE: {
      LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
      const auto* msg = reinterpret_cast<const MSG*>(lParam);
      if (options_.wantsEnter && msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
        code |= DLGC_WANTMESSAGE;
      }
      return code;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      Refresh();  // the selection colour follows the focus
      return 0;
    case WM_THEMECHANGED:
      CloseThemes();
      Refresh();
      return 0;
    case WM_NOTIFY: {
      const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
      if (header_ && header.hwndFrom == header_ && !settingHeader_ &&
          (header.code == HDN_ITEMCHANGEDW || header.code == HDN_ITEMCHANGEDA)) {
        const auto& change = *reinterpret_cast<const NMHEADERW*>(lParam);
        if (change.pitem && (change.pitem->mask & HDI_WIDTH)) {
          columnWidth_ = change.pitem->cxy;
          UpdateScrollBars();
          Refresh();
          if (OnColumnResized) OnColumnResized(columnWidth_);
        }
        return 0;
      }
      break;
    }
    case WM_DESTROY:
      CloseThemes();
      header_ = nullptr;
      break;
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace widgets
