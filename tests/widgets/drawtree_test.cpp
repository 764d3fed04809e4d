#include "widgets/drawtree.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "gui_fixture.h"
#include "widgets/controls.h"
#include "widgets/metrics.h"
#include "widgets/window.h"

namespace {

using found::CheckState;
using widgets::DrawTree;
using widgets::DrawTreePart;

// Rows of given heights and depths; records what the control asks of it.
class FakeSource : public widgets::DrawTreeSource {
 public:
  struct Spec {
    int height;
    int depth = 0;
    bool box = true;
  };
  explicit FakeSource(std::vector<Spec> rows) : rows(std::move(rows)) {}

  int RowCount() const override { return static_cast<int>(rows.size()); }
  widgets::DrawTreeRow Row(int row) const override {
    const Spec& s = rows[static_cast<size_t>(row)];
    widgets::DrawTreeRow r;
    r.height = s.height;
    r.depth = s.depth;
    r.hasCheckBox = s.box;
    return r;
  }
  void Paint(int row, HDC, const RECT&, bool, bool) override { painted.push_back(row); }
  int SelectedRow() const override { return selected; }
  void SelectRow(int row) override { selected = row; }
  void ClickCheck(int row) override { checkClicks.push_back(row); }
  void DoubleClick(int row) override { doubleClicks.push_back(row); }
  void PressEnter(int row) override { enters.push_back(row); }

  std::vector<Spec> rows;
  int selected = -1;
  std::vector<int> painted, checkClicks, doubleClicks, enters;
};

// The row holding content y, found the slow way.
int RowHolding(const std::vector<FakeSource::Spec>& rows, int y) {
  int top = 0;
  for (size_t i = 0; i < rows.size(); ++i) {
    if (y >= top && y < top + rows[i].height) return static_cast<int>(i);
    top += rows[i].height;
  }
  return -1;
}

int SumOfHeights(const std::vector<FakeSource::Spec>& rows) {
  return std::accumulate(rows.begin(), rows.end(), 0, [](int sum, const auto& r) { return sum + r.height; });
}

SCROLLINFO VerticalScrollInfo(HWND hwnd) {
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL;
  GetScrollInfo(hwnd, SB_VERT, &info);
  return info;
}

LPARAM PointParam(POINT p) { return MAKELPARAM(p.x, p.y); }

POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

class DrawTreeTest : public testing::Test {
 protected:
  void SetUp() override {
    widgets_test::FlushMessages();
    ASSERT_TRUE(form.Create({.caption = "Draw tree", .clientWidth = 400, .clientHeight = 300}));
  }
  // A tree of 300 x 200 at 96 DPI over `source`.
  void CreateTree(widgets::DrawTreeSource& source, const widgets::DrawTreeOptions& options = {}) {
    ASSERT_TRUE(tree.Create(form, {8, 8, 300, 200}, "Rows", source, options));
  }
  int Page() const { return tree.ClientSize().cy; }

  widgets::Form form;
  DrawTree tree;
};

TEST_F(DrawTreeTest, RowAt_WithVariableHeights_FindsTheRowUnderEachPoint) {
  FakeSource source({{10}, {30}, {20}, {45}});
  CreateTree(source);
  const struct {
    const char* name;
    int y;
    int row;
  } cases[] = {
      {"first pixel", 0, 0},          {"last pixel of the first row", 9, 0},
      {"first pixel of a tall row", 10, 1}, {"inside the tall row", 25, 1},
      {"last pixel of the tall row", 39, 1}, {"boundary of the third row", 40, 2},
      {"last row", 104, 3},           {"just past the rows", 105, -1},
      {"above the client area", -1, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(tree.RowAt(c.y), c.row);
    EXPECT_EQ(tree.HitTest({tree.ContentRect(0).left + 5, c.y}).row, c.row);
  }
  EXPECT_EQ(tree.RowRect(3).top, 60);
  EXPECT_EQ(tree.RowRect(3).bottom, 105);
}

TEST_F(DrawTreeTest, Header_PushesTheRowsBelowIt) {
  FakeSource source(std::vector<FakeSource::Spec>(20, FakeSource::Spec{20}));
  CreateTree(source, {.header = true, .headerCaption = "Problem"});
  const int header = tree.RowRect(0).top;
  ASSERT_GT(header, 0);
  EXPECT_EQ(tree.RowAt(header - 1), -1);
  EXPECT_EQ(tree.RowAt(header), 0);
  EXPECT_EQ(tree.RowAt(header + 20), 1);
  EXPECT_EQ(VerticalScrollInfo(tree.Handle()).nPage, static_cast<UINT>(Page() - header));
  tree.ScrollTo(0, 1000);
  EXPECT_EQ(tree.RowRect(19).bottom, Page()) << "the last row ends at the bottom, not under the header";
  EXPECT_EQ(tree.RowAt(header), RowHolding(source.rows, tree.ScrollOffset().y));
}

TEST_F(DrawTreeTest, ScrollRange_IsTheSumOfTheHeights_AndFollowsReload) {
  FakeSource source({{18}, {36}, {54}, {18}, {100}, {300}, {7}});
  CreateTree(source);
  SCROLLINFO info = VerticalScrollInfo(tree.Handle());
  EXPECT_EQ(info.nMax + 1, SumOfHeights(source.rows));
  EXPECT_EQ(info.nPage, static_cast<UINT>(Page()));
  EXPECT_EQ(tree.ContentHeight(), SumOfHeights(source.rows));

  source.rows[5].height = 30;  // the owner changed a height and says so
  source.rows.push_back({250});
  tree.Reload();
  info = VerticalScrollInfo(tree.Handle());
  EXPECT_EQ(info.nMax + 1, SumOfHeights(source.rows));
  EXPECT_EQ(tree.RowAt(tree.RowRect(7).top), 7);
}

TEST_F(DrawTreeTest, Scrolling_MovesTheOffsetAndTheHitTests) {
  std::vector<FakeSource::Spec> rows;
  for (int i = 0; i < 60; ++i) rows.push_back({12 + (i % 5) * 9});
  FakeSource source(rows);
  CreateTree(source);
  const int maxOffset = SumOfHeights(rows) - Page();
  ASSERT_GT(maxOffset, Page());

  const struct {
    const char* name;
    UINT message;
    WPARAM wParam;
    int expected;  // -1: anywhere between 1 and the page
  } cases[] = {
      {"page down", WM_VSCROLL, SB_PAGEDOWN, Page()},
      {"bottom", WM_VSCROLL, SB_BOTTOM, maxOffset},
      {"line down", WM_VSCROLL, SB_LINEDOWN, -1},
      {"wheel towards the user", WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    tree.ScrollTo(0, 0);
    int scrolled = 0;
    tree.OnScrolled = [&] { ++scrolled; };
    SendMessageW(tree.Handle(), c.message, c.wParam, 0);
    tree.OnScrolled = nullptr;
    const int offset = tree.ScrollOffset().y;
    if (c.expected >= 0) {
      EXPECT_EQ(offset, c.expected);
    } else {
      EXPECT_GT(offset, 0);
      EXPECT_LE(offset, Page());
    }
    EXPECT_EQ(scrolled, 1);
    EXPECT_EQ(VerticalScrollInfo(tree.Handle()).nPos, offset);
    for (int y : {0, 1, Page() / 2, Page() - 1}) {
      EXPECT_EQ(tree.RowAt(y), RowHolding(rows, y + offset)) << "at y " << y;
    }
  }

  tree.ScrollTo(0, maxOffset + 500);
  EXPECT_EQ(tree.ScrollOffset().y, maxOffset) << "clamped to the last page";
  tree.ScrollTo(0, -20);
  EXPECT_EQ(tree.ScrollOffset().y, 0);
}

TEST_F(DrawTreeTest, Click_OnACheckBox_ReachesTheSourceWithItsRow_ElsewhereSelects) {
  FakeSource source({{18, 0}, {40, 1}, {18, 2, false}, {25, 1}, {60, 0}, {18, 0}, {30, 0}, {18, 0}, {90, 0}});
  CreateTree(source);
  tree.ScrollTo(0, 10);  // clicks land on scrolled rows too

  const struct {
    const char* name;
    int row;
  } boxes[] = {{"deeper row", 1}, {"sibling after a row without box", 3}, {"tall top-level row", 4}};
  for (const auto& c : boxes) {
    SCOPED_TRACE(c.name);
    source.checkClicks.clear();
    const RECT box = tree.CheckBoxRect(c.row);
    const RECT row = tree.RowRect(c.row);
    ASSERT_LT(box.left, box.right);
    EXPECT_GE(box.top, row.top);
    EXPECT_LE(box.bottom, row.bottom);
    EXPECT_GE(box.left, source.rows[static_cast<size_t>(c.row)].depth * widgets::Scale(16)) << "indented by depth";
    const int before = source.selected;
    SendMessageW(tree.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(Centre(box)));
    EXPECT_EQ(source.checkClicks, std::vector<int>{c.row});
    EXPECT_EQ(source.selected, before) << "a box click does not select";
  }

  source.checkClicks.clear();
  const RECT noBox = tree.RowRect(2);
  SendMessageW(tree.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam({noBox.left + 45, (noBox.top + noBox.bottom) / 2}));
  EXPECT_TRUE(source.checkClicks.empty()) << "a row without a box";
  EXPECT_EQ(source.selected, 2);

  const POINT content = Centre(tree.ContentRect(4));
  SendMessageW(tree.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(content));
  EXPECT_TRUE(source.checkClicks.empty());
  EXPECT_EQ(source.selected, 4);
  SendMessageW(tree.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, PointParam(content));
  EXPECT_EQ(source.doubleClicks, std::vector<int>{4});

  SendMessageW(tree.Handle(), WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_EQ(source.checkClicks, std::vector<int>{4}) << "Space ticks the selected row";
}

TEST_F(DrawTreeTest, Keys_MoveTheSelectionAndKeepItInView) {
  std::vector<FakeSource::Spec> rows;
  for (int i = 0; i < 40; ++i) rows.push_back({15 + (i % 3) * 20});
  FakeSource source(rows);
  CreateTree(source);
  const int last = static_cast<int>(rows.size()) - 1;
  // PageDown lands on the row one page below the selected row's top.
  const int pageBelowFirst = RowHolding(rows, Page());

  const struct {
    const char* name;
    int start;
    UINT key;
    int expected;
  } cases[] = {
      {"down from nothing", -1, VK_DOWN, 0}, {"down", 3, VK_DOWN, 4},
      {"up", 3, VK_UP, 2},                   {"up at the top stays", 0, VK_UP, 0},
      {"down at the end stays", last, VK_DOWN, last}, {"end", 5, VK_END, last},
      {"home", 30, VK_HOME, 0},              {"page down", 0, VK_NEXT, pageBelowFirst},
      {"page up at the top", 2, VK_PRIOR, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    tree.SelectRow(c.start);
    SendMessageW(tree.Handle(), WM_KEYDOWN, c.key, 0);
    ASSERT_EQ(source.selected, c.expected);
    const RECT rect = tree.RowRect(c.expected);
    EXPECT_GE(rect.top, 0) << "selected row in view";
    EXPECT_LE(rect.bottom, Page()) << "selected row in view";
  }

  tree.SelectRow(7);
  SendMessageW(tree.Handle(), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(source.enters, std::vector<int>{7});
}

TEST_F(DrawTreeTest, HundredThousandRows_TheIndexFindsRowsNearTheEnd) {
  std::vector<FakeSource::Spec> rows;
  rows.reserve(100000);
  for (int i = 0; i < 100000; ++i) rows.push_back({14 + (i * 7) % 23});
  FakeSource source(rows);
  CreateTree(source);
  const int total = SumOfHeights(rows);
  EXPECT_EQ(VerticalScrollInfo(tree.Handle()).nMax + 1, total);

  SendMessageW(tree.Handle(), WM_KEYDOWN, VK_END, 0);
  EXPECT_EQ(source.selected, 99999);
  EXPECT_EQ(tree.ScrollOffset().y, total - Page());
  EXPECT_EQ(tree.RowRect(99999).bottom, Page());
  for (int y : {0, Page() / 3, Page() - 1}) {
    SCOPED_TRACE(y);
    EXPECT_EQ(tree.RowAt(y), RowHolding(rows, total - Page() + y));
  }

  // Somewhere in the middle, through the scroll bar's 32-bit position.
  const int offset = total / 2 + 3;
  tree.ScrollTo(0, offset);
  EXPECT_EQ(tree.RowAt(5), RowHolding(rows, offset + 5));

  // A paint asks for the visible rows only.
  source.painted.clear();
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 400, 400);
  HGDIOBJ old = SelectObject(memory, bitmap);
  SendMessageW(tree.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  ASSERT_FALSE(source.painted.empty());
  EXPECT_LE(source.painted.size(), static_cast<size_t>(Page() / 14 + 2));
  EXPECT_EQ(source.painted.front(), RowHolding(rows, offset));
  EXPECT_EQ(source.painted.back(), RowHolding(rows, offset + Page() - 1));
}

// Painting into a memory DC (WM_PRINTCLIENT) works under every display driver.
TEST_F(DrawTreeTest, Paint_FillsTheSelectedRowAndDrawsTheBoxes) {
  FakeSource source({{20}, {30}, {20, 0, false}, {25}});
  CreateTree(source);
  tree.SelectRow(1);
  const SIZE size = tree.ClientSize();
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, size.cx, size.cy);
  HGDIOBJ old = SelectObject(memory, bitmap);
  SendMessageW(tree.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
  const auto boxInk = [&](int row) {
    const RECT box = tree.CheckBoxRect(row);
    int ink = 0;
    for (int y = box.top; y < box.bottom; ++y) {
      for (int x = box.left; x < box.right; ++x) ink += GetPixel(memory, x, y) != GetSysColor(COLOR_WINDOW);
    }
    return ink;
  };
  const COLORREF selected = GetPixel(memory, size.cx - 3, (tree.RowRect(1).top + tree.RowRect(1).bottom) / 2);
  const COLORREF plain = GetPixel(memory, size.cx - 3, (tree.RowRect(3).top + tree.RowRect(3).bottom) / 2);
  const COLORREF below = GetPixel(memory, 3, tree.RowRect(3).bottom + 5);
  const int ink0 = boxInk(0);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);

  const COLORREF expected = GetSysColor(GetFocus() == tree.Handle() ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
  EXPECT_EQ(selected, expected) << "the whole row width";
  EXPECT_EQ(plain, GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(below, GetSysColor(COLOR_WINDOW));
  EXPECT_GT(ink0, 0) << "a box is drawn";
  EXPECT_EQ(tree.CheckBoxRect(2).right, 0) << "the row without a box has none";
}

// The adapter over the portable tree: expansion changes the rows, a box click
// cascades through the model.
TEST_F(DrawTreeTest, TreeModelSource_ExpandsAndCascadesThroughTheModel) {
  found::TreeModel<std::string> model;
  auto* section = model.Add(nullptr, "Section", CheckState::Checked);
  section->height = 24;
  auto* first = model.Add(section, "first", CheckState::Checked);
  first->height = 40;
  model.Add(section, "second", CheckState::Checked);
  model.Add(nullptr, "Other", CheckState::Unchecked);
  widgets::TreeModelSource<std::string> source(model);
  source.rowHeight = 20;
  CreateTree(source, {.expandButtons = true, .treeLines = true});

  EXPECT_EQ(tree.RowCount(), 2) << "collapsed: the top level only";
  EXPECT_EQ(tree.ContentHeight(), 24 + 20);

  const RECT sectionRow = tree.RowRect(0);
  const POINT button{widgets::Scale(16) / 2, (sectionRow.top + sectionRow.bottom) / 2};
  ASSERT_EQ(tree.HitTest(button).part, DrawTreePart::ExpandButton);
  SendMessageW(tree.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(button));
  EXPECT_EQ(tree.RowCount(), 4);
  EXPECT_EQ(tree.ContentHeight(), 24 + 40 + 20 + 20);
  EXPECT_EQ(VerticalScrollInfo(tree.Handle()).nMax + 1, tree.ContentHeight());
  EXPECT_EQ(source.NodeAt(3)->data, "Other");

  SendMessageW(tree.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(Centre(tree.CheckBoxRect(1))));
  EXPECT_EQ(first->check, CheckState::Unchecked);
  EXPECT_EQ(section->check, CheckState::Mixed);
  EXPECT_EQ(source.Row(0).check, CheckState::Mixed);

  SendMessageW(tree.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(Centre(tree.ContentRect(2))));
  ASSERT_NE(source.Selected(), nullptr);
  EXPECT_EQ(source.Selected()->data, "second");
  SendMessageW(tree.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(button));  // collapse hides the selection
  EXPECT_EQ(tree.RowCount(), 2);
  EXPECT_EQ(source.SelectedRow(), -1);
}

}  // namespace
