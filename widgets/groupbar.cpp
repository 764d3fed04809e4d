#include "widgets/groupbar.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "foundation/backends/win32/wide.h"
#include "widgets/metrics.h"

namespace widgets {

namespace {

// Layout at 96 DPI.
constexpr int kMargin = 12;       // left and right of the groups, and between them
constexpr int kCaption = 25;      // caption bar height
constexpr int kBodyPadding = 8;   // above the first item and below the last
constexpr int kItemHeight = 22;
constexpr int kItemInset = 10;    // item rows inside the body, left and right
constexpr int kPicture = 16;
constexpr int kPictureGap = 6;
constexpr int kHostedBody = 100;  // a hosting group's body until the owner sizes it

// weight of b in 0..100.
COLORREF Mix(COLORREF a, COLORREF b, int weight) {
  const auto channel = [&](int ca, int cb) { return (ca * (100 - weight) + cb * weight) / 100; };
  return RGB(channel(GetRValue(a), GetRValue(b)), channel(GetGValue(a), GetGValue(b)),
             channel(GetBValue(a), GetBValue(b)));
}

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

COLORREF BodyColor(COLORREF accent) { return Mix(accent, kWhite, 93); }

void FillGradient(HDC dc, const RECT& rect, COLORREF from, COLORREF to, bool vertical) {
  TRIVERTEX vertices[2] = {};
  vertices[0].x = rect.left;
  vertices[0].y = rect.top;
  vertices[0].Red = static_cast<COLOR16>(GetRValue(from) << 8);
  vertices[0].Green = static_cast<COLOR16>(GetGValue(from) << 8);
  vertices[0].Blue = static_cast<COLOR16>(GetBValue(from) << 8);
  vertices[1].x = rect.right;
  vertices[1].y = rect.bottom;
  vertices[1].Red = static_cast<COLOR16>(GetRValue(to) << 8);
  vertices[1].Green = static_cast<COLOR16>(GetGValue(to) << 8);
  vertices[1].Blue = static_cast<COLOR16>(GetBValue(to) << 8);
  GRADIENT_RECT gradient{0, 1};
  if (!GdiGradientFill(dc, vertices, 2, &gradient, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H)) {
    // Flat is still readable where GDI cannot blend.
    const UniqueHbrush brush(CreateSolidBrush(Mix(from, to, 50)));
    FillRect(dc, &rect, brush.get());
  }
}

void FillSolid(HDC dc, const RECT& rect, COLORREF color) {
  const UniqueHbrush brush(CreateSolidBrush(color));
  FillRect(dc, &rect, brush.get());
}

void FrameSolid(HDC dc, const RECT& rect, COLORREF color) {
  const UniqueHbrush brush(CreateSolidBrush(color));
  FrameRect(dc, &rect, brush.get());
}

}  // namespace

// ---- GroupBarItem

GroupBarItem::~GroupBarItem() {
  if (action_) action_->RemoveClient(*this);
}

bool GroupBarItem::Create(Window& bar, std::string_view caption) {
  return CreateControl(bar, L"BUTTON", BS_OWNERDRAW | WS_TABSTOP, 0, caption, {}, 0);
}

void GroupBarItem::SetAction(Action* action) {
  if (action_ == action) return;
  if (action_) action_->RemoveClient(*this);
  action_ = action;
  if (action_) {
    action_->AddClient(*this);
    ActionChanged(*action_);
  }
}

bool GroupBarItem::SetPicture(const imaging::Image& picture) {
  if (picture.width <= 0 || picture.height <= 0) {
    picture_.reset();
    Invalidate();
    return true;
  }
  UniqueHbitmap bitmap = BitmapFromImage(picture);
  if (!bitmap) return false;
  picture_ = std::move(bitmap);
  Invalidate();
  return true;
}

void GroupBarItem::Click() {
  if (!Enabled()) return;
  if (action_) {
    action_->Execute();
  } else if (OnClick) {
    const std::function<void()> onClick = OnClick;  // the handler may replace OnClick
    onClick();
  }
}

void GroupBarItem::ActionChanged(Action& action) {
  if (!Handle()) return;
  if (Text() != action.Caption()) SetText(action.Caption());
  if (Enabled() != action.Enabled()) SetEnabled(action.Enabled());
  Invalidate();
}

void GroupBarItem::ActionDestroyed(Action& action) {
  if (action_ == &action) action_ = nullptr;
}

void GroupBarItem::SetHot(bool hot) {
  if (hot_ == hot) return;
  hot_ = hot;
  if (hot) {
    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, Handle(), 0};
    TrackMouseEvent(&track);
  }
  Invalidate();
}

LRESULT GroupBarItem::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETCURSOR:
      if (Enabled()) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_MOUSEMOVE:
      SetHot(true);
      break;
    case WM_MOUSELEAVE:
      SetHot(false);
      break;
    case WM_GETDLGCODE: {
      // Arrows move between items, and Enter runs the focused item rather than
      // pressing the form's default button.
      LRESULT code = Control::HandleMessage(message, wParam, lParam) | DLGC_WANTARROWS;
      const auto* msg = reinterpret_cast<const MSG*>(lParam);
      if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
      return code;
    }
    case WM_KEYDOWN:
      switch (wParam) {
        case VK_UP:
        case VK_DOWN:
        case VK_LEFT:
        case VK_RIGHT:
          if (auto* bar = dynamic_cast<GroupBar*>(Window::FromHandle(GetParent(Handle())))) {
            bar->MoveFocus(*this, wParam == VK_UP || wParam == VK_LEFT ? -1 : 1);
          }
          return 0;
        case VK_RETURN:
        case VK_SPACE:
          // Handled on the press, so the button never enters its pushed state.
          Click();
          return 0;
        default:
          break;
      }
      break;
    case WM_KEYUP:
    case WM_CHAR:
      if (wParam == VK_SPACE || wParam == VK_RETURN || wParam == L' ' || wParam == L'\r') return 0;
      break;
    case WM_ENABLE: {
      const LRESULT result = Control::HandleMessage(message, wParam, lParam);
      if (!wParam) hot_ = false;
      Invalidate();
      return result;
    }
    default:
      break;
  }
  return Control::HandleMessage(message, wParam, lParam);
}

bool GroupBarItem::OnCommand(int code) {
  if (code != BN_CLICKED) return false;
  // Another program's BM_CLICK reaches a disabled button too.
  Click();
  return true;
}

bool GroupBarItem::OnDrawItem(const DRAWITEMSTRUCT& item) {
  const HDC dc = item.hDC;
  const RECT& rect = item.rcItem;
  const bool enabled = Enabled();
  FillSolid(dc, rect, background_);

  const int picture = Scale(kPicture);
  RECT pictureRect{rect.left, rect.top + (rect.bottom - rect.top - picture) / 2, rect.left + picture, 0};
  pictureRect.bottom = pictureRect.top + picture;
  if (picture_) {
    BITMAP info{};
    GetObjectW(picture_.get(), sizeof(info), &info);
    UniqueMemoryDc source(CreateCompatibleDC(dc));
    if (source) {
      SelectObjectGuard select(source.get(), picture_.get());
      // A disabled item's picture fades like its text.
      const BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(enabled ? 255 : 96), AC_SRC_ALPHA};
      GdiAlphaBlend(dc, pictureRect.left, pictureRect.top, picture, picture, source.get(), 0, 0, info.bmWidth,
                    info.bmHeight, blend);
    }
  }

  RECT textRect = rect;
  textRect.left = pictureRect.right + Scale(kPictureGap);
  const std::wstring text = found::Widen(Text());
  const bool hot = enabled && hot_;
  SelectObjectGuard font(dc, FormFont(hot ? FontStyle::Underline : FontStyle::Normal));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, !enabled ? GetSysColor(COLOR_GRAYTEXT) : hot ? hotColor_ : textColor_);
  const UINT format = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect, format);
  if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
    RECT focus = textRect;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &focus, format | DT_CALCRECT);
    focus.right = std::min(focus.right, rect.right);
    const int height = focus.bottom - focus.top;
    focus.top = rect.top + (rect.bottom - rect.top - height) / 2;
    focus.bottom = focus.top + height;
    InflateRect(&focus, 1, 1);
    DrawFocusRect(dc, &focus);
  }
  return true;
}

// ---- GroupBar

GroupBar::~GroupBar() {
  // Items first: their windows go while the bar's still exists to tell them.
  groups_.clear();
  DestroyHandle();
}

bool GroupBar::Create(Window& parent, const GroupBarOptions& options) {
  if (!parent.Handle()) return false;
  accent_ = options.accent;
  const Bounds& b = options.bounds;
  const RECT rect{Scale(b.x), Scale(b.y), Scale(b.x + b.width), Scale(b.y + b.height)};
  return CreateOwnWindow(L"CobaltGroupBar", WS_EX_CONTROLPARENT,
                         WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, "", rect, parent.Handle(),
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(options.id)));
}

const GroupBar::Group& GroupBar::At(int group) const {
  if (group < 0 || group >= GroupCount()) throw std::out_of_range("GroupBar: no such group");
  return groups_[static_cast<std::size_t>(group)];
}

int GroupBar::AddGroup(std::string_view caption) {
  groups_.push_back({std::string(caption), {}, nullptr, -1});
  Layout();
  return GroupCount() - 1;
}

std::string GroupBar::GroupCaption(int group) const { return At(group).caption; }

GroupBarItem& GroupBar::AddItem(int group, std::string_view caption, const imaging::Image* picture) {
  At(group);  // checks the index
  auto item = std::make_unique<GroupBarItem>();
  if (!item->Create(*this, caption)) throw std::runtime_error("GroupBar: cannot create an item");
  item->background_ = BodyColor(accent_);
  item->textColor_ = Mix(accent_, kBlack, 25);
  item->hotColor_ = Mix(accent_, kWhite, 25);
  if (picture) item->SetPicture(*picture);
  auto& items = groups_[static_cast<std::size_t>(group)].items;
  // Tab order follows the groups' order, whatever order the items came in.
  HWND previous = HWND_BOTTOM;
  for (int g = group; g >= 0 && previous == HWND_BOTTOM; --g) {
    const auto& earlier = groups_[static_cast<std::size_t>(g)].items;
    if (!earlier.empty()) previous = earlier.back()->Handle();
  }
  SetWindowPos(item->Handle(), previous == HWND_BOTTOM ? HWND_TOP : previous, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  items.push_back(std::move(item));
  Layout();
  return *items.back();
}

int GroupBar::ItemCount(int group) const { return static_cast<int>(At(group).items.size()); }

GroupBarItem& GroupBar::Item(int group, int index) {
  const auto& items = At(group).items;
  if (index < 0 || index >= static_cast<int>(items.size())) throw std::out_of_range("GroupBar: no such item");
  return *items[static_cast<std::size_t>(index)];
}

bool GroupBar::HostChild(int group, Window& child) {
  At(group);
  if (!Handle() || !child.Handle()) return false;
  const HWND hwnd = child.Handle();
  if (GetParent(hwnd) != Handle()) {
    SetWindowLongPtrW(hwnd, GWL_STYLE, (GetWindowLongPtrW(hwnd, GWL_STYLE) & ~WS_POPUP) | WS_CHILD);
    if (!SetParent(hwnd, Handle())) return false;
  }
  for (Group& g : groups_) {
    if (g.hosted == hwnd) g.hosted = nullptr;  // one group per window
  }
  groups_[static_cast<std::size_t>(group)].hosted = hwnd;
  Layout();
  return true;
}

void GroupBar::SetGroupHeight(int group, int height) {
  At(group);
  groups_[static_cast<std::size_t>(group)].height = height < 0 ? -1 : height;
  Layout();
}

int GroupBar::NaturalHeight(const Group& group) const {
  const int frame = Scale(kCaption) + 1;
  if (group.hosted) return frame + Scale(kHostedBody);
  if (group.items.empty()) return frame + Scale(kBodyPadding);
  return frame + 2 * Scale(kBodyPadding) + static_cast<int>(group.items.size()) * Scale(kItemHeight);
}

int GroupBar::GroupHeight(int group) const {
  const Group& g = At(group);
  return g.height < 0 ? NaturalHeight(g) : std::max(g.height, Scale(kCaption) + 1);
}

int GroupBar::GroupGap() const { return Scale(kMargin); }

RECT GroupBar::GroupRect(int group) const {
  At(group);
  int top = GroupGap();
  for (int g = 0; g < group; ++g) top += GroupHeight(g) + GroupGap();
  const int width = static_cast<int>(ClientSize().cx);
  return {Scale(kMargin), top, std::max(Scale(kMargin), width - Scale(kMargin)), top + GroupHeight(group)};
}

RECT GroupBar::GroupCaptionRect(int group) const {
  RECT rect = GroupRect(group);
  rect.bottom = rect.top + Scale(kCaption);
  return rect;
}

RECT GroupBar::GroupBodyRect(int group) const {
  RECT rect = GroupRect(group);
  // Inside the one-pixel frame below the caption bar.
  rect.top += Scale(kCaption);
  rect.left += 1;
  rect.right = std::max(rect.left, static_cast<LONG>(rect.right - 1));
  rect.bottom = std::max(rect.top, static_cast<LONG>(rect.bottom - 1));
  return rect;
}

void GroupBar::Layout() {
  if (!Handle()) return;
  for (int g = 0; g < GroupCount(); ++g) {
    const Group& group = groups_[static_cast<std::size_t>(g)];
    const RECT body = GroupBodyRect(g);
    if (group.hosted) {
      SetWindowPos(group.hosted, nullptr, body.left, body.top, body.right - body.left, body.bottom - body.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    }
    int top = body.top + Scale(kBodyPadding);
    for (const auto& item : group.items) {
      // Rows below the body's end would draw over the next group.
      const bool shown = !group.hosted && top + Scale(kItemHeight) <= body.bottom;
      SetWindowPos(item->Handle(), nullptr, body.left + Scale(kItemInset), top,
                   std::max(0, static_cast<int>(body.right - body.left) - 2 * Scale(kItemInset)), Scale(kItemHeight),
                   SWP_NOZORDER | SWP_NOACTIVATE | (shown ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
      top += Scale(kItemHeight);
    }
  }
  InvalidateRect(Handle(), nullptr, TRUE);
}

void GroupBar::MoveFocus(const GroupBarItem& from, int direction) {
  std::vector<GroupBarItem*> order;
  for (const Group& group : groups_) {
    for (const auto& item : group.items) order.push_back(item.get());
  }
  auto it = std::find(order.begin(), order.end(), &from);
  if (it == order.end()) return;
  auto index = static_cast<int>(it - order.begin());
  for (index += direction; index >= 0 && index < static_cast<int>(order.size()); index += direction) {
    GroupBarItem* candidate = order[static_cast<std::size_t>(index)];
    if (candidate->Enabled() && candidate->Visible()) {
      candidate->Focus();
      return;
    }
  }
}

void GroupBar::Paint(HDC dc, const RECT& client) {
  // A soft wash of the accent, lighter at the top.
  FillGradient(dc, client, Mix(accent_, kWhite, 78), Mix(accent_, kWhite, 58), true);
  const COLORREF frame = Mix(accent_, kWhite, 55);
  const int radius = Scale(6);
  for (int g = 0; g < GroupCount(); ++g) {
    const RECT whole = GroupRect(g);
    const RECT caption = GroupCaptionRect(g);
    // Caption bar: rounded at the top, white fading into the accent.
    {
      const HRGN region = CreateRoundRectRgn(caption.left, caption.top, caption.right + 1, caption.bottom + radius,
                                             radius, radius);
      SelectClipRgn(dc, region);
      const RECT clipped{caption.left, caption.top, caption.right, caption.bottom};
      FillGradient(dc, clipped, kWhite, Mix(accent_, kWhite, 62), false);
      SelectClipRgn(dc, nullptr);
      DeleteObject(region);
    }
    RECT text = caption;
    text.left += Scale(10);
    text.right -= Scale(6);
    const std::wstring wide = found::Widen(groups_[static_cast<std::size_t>(g)].caption);
    SelectObjectGuard font(dc, FormFont(FontStyle::Bold));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Mix(accent_, kBlack, 35));
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &text,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    // Body: a pale panel in a frame of the accent, open to the caption above.
    RECT body{whole.left, caption.bottom, whole.right, whole.bottom};
    FillSolid(dc, body, BodyColor(accent_));
    FrameSolid(dc, body, kWhite);
    if (body.bottom > body.top) {
      RECT line{body.left, body.bottom - 1, body.right, body.bottom};
      FillSolid(dc, line, frame);
      line = {body.left, body.top, body.left + 1, body.bottom};
      FillSolid(dc, line, frame);
      line = {body.right - 1, body.top, body.right, body.bottom};
      FillSolid(dc, line, frame);
    }
  }
}

LRESULT GroupBar::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers every pixel, off screen first so nothing flickers
    case WM_PAINT: {
      PaintDc paint(Handle());
      if (!paint.get()) return 0;
      RECT client{};
      GetClientRect(Handle(), &client);
      UniqueMemoryDc memory(CreateCompatibleDC(paint.get()));
      UniqueHbitmap bitmap(CreateCompatibleBitmap(paint.get(), std::max(1L, client.right), std::max(1L, client.bottom)));
      if (!memory || !bitmap) {
        Paint(paint.get(), client);
        return 0;
      }
      {
        SelectObjectGuard select(memory.get(), bitmap.get());
        Paint(memory.get(), client);
        BitBlt(paint.get(), 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
      }
      return 0;
    }
    case WM_SIZE:
      Layout();
      return 0;
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace widgets
