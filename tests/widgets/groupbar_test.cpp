#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/backends/win32/wide.h"
#include "gui_fixture.h"
#include "widgets/actions.h"
#include "widgets/controls.h"
#include "widgets/groupbar.h"
#include "widgets/metrics.h"
#include "widgets/window.h"

namespace {

using widgets::Action;
using widgets::Form;
using widgets::GroupBar;
using widgets::GroupBarItem;
using widgets_test::WindowText;

imaging::Image Square(int size) {
  imaging::Image image{size, size, std::vector<std::uint8_t>(static_cast<std::size_t>(size * size * 4), 200)};
  return image;
}

// The form stays hidden, so IsWindowVisible says nothing about the item itself.
bool Shown(HWND hwnd) { return (GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0; }

std::string RectText(const RECT& r) {
  return "{" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + "}";
}

class GroupBarTest : public testing::Test {
 protected:
  void SetUp() override {
    widgets_test::FlushMessages();
    ASSERT_TRUE(form.Create({.caption = "Group bar", .clientWidth = 600, .clientHeight = 500}));
    ASSERT_TRUE(bar.Create(form, {.bounds = {0, 0, GroupBar::kDesignWidth, 500}}));
  }
  Form form;
  GroupBar bar;
};

TEST_F(GroupBarTest, IsItsDesignWidthScaledAndAControlParentChildOfTheForm) {
  EXPECT_EQ(GetParent(bar.Handle()), form.Handle());
  EXPECT_EQ(bar.ClientSize().cx, widgets::Scale(GroupBar::kDesignWidth));
  // Without it, Tab would never reach the items inside the bar.
  EXPECT_TRUE(GetWindowLongW(bar.Handle(), GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
}

TEST_F(GroupBarTest, ItemsAreChildButtonsFoundByTheirCaption) {
  Action actScan{"Scan for problems", [] {}};
  const int tasks = bar.AddGroup("Tasks");
  const int other = bar.AddGroup("Other places");
  GroupBarItem& plain = bar.AddItem(tasks, "Repair selected", nullptr);
  GroupBarItem& bound = bar.AddItem(tasks, "placeholder");
  bound.SetAction(&actScan);
  const imaging::Image picture = Square(16);
  GroupBarItem& unicode = bar.AddItem(other, "Größe & \"Tidewell\" – 大小", &picture);

  const struct {
    const char* name;
    const GroupBarItem& item;
    std::string caption;
  } cases[] = {{"plain caption", plain, "Repair selected"},
               {"caption from its action", bound, "Scan for problems"},
               {"non-ASCII caption with ampersand", unicode, "Größe & \"Tidewell\" – 大小"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::wstring caption = found::Widen(c.caption);
    // What an automation client in another process does.
    EXPECT_EQ(FindWindowExW(bar.Handle(), nullptr, L"Button", caption.c_str()), c.item.Handle());
    EXPECT_EQ(WindowText(c.item.Handle()), caption);
    wchar_t buffer[128] = {};
    SendMessageW(c.item.Handle(), WM_GETTEXT, 128, reinterpret_cast<LPARAM>(buffer));
    EXPECT_EQ(std::wstring(buffer), caption);
    EXPECT_TRUE(Shown(c.item.Handle()));
    EXPECT_TRUE(GetWindowLongW(c.item.Handle(), GWL_STYLE) & WS_TABSTOP);
  }
  EXPECT_EQ(bar.GroupCaption(other), "Other places");
  EXPECT_TRUE(unicode.HasPicture());
  EXPECT_FALSE(plain.HasPicture());
}

TEST_F(GroupBarTest, BmClickRunsOnlyWhatIsEnabled) {
  int actionRuns = 0, clickRuns = 0;
  bool allowed = true;
  Action actRepair{"Repair", [&] { ++actionRuns; }, [&] { return allowed; }};
  const int tasks = bar.AddGroup("Tasks");
  GroupBarItem& withAction = bar.AddItem(tasks, "");
  withAction.SetAction(&actRepair);
  GroupBarItem& withClick = bar.AddItem(tasks, "Help");
  withClick.OnClick = [&] { ++clickRuns; };

  const struct {
    const char* name;
    bool actionAllowed;
    bool clickItemEnabled;
    int actionRuns, clickRuns;
  } cases[] = {{"both enabled", true, true, 1, 1},
               {"action disabled by its update", false, true, 0, 1},
               {"plain item disabled", true, false, 1, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    actionRuns = clickRuns = 0;
    allowed = c.actionAllowed;
    Action::UpdateAll();
    withClick.SetEnabled(c.clickItemEnabled);
    SendMessageW(withAction.Handle(), BM_CLICK, 0, 0);
    SendMessageW(withClick.Handle(), BM_CLICK, 0, 0);
    // Another program may send the notification itself, disabled or not.
    SendMessageW(bar.Handle(), WM_COMMAND, MAKEWPARAM(withAction.Id(), BN_CLICKED),
                 reinterpret_cast<LPARAM>(withAction.Handle()));
    EXPECT_EQ(actionRuns, 2 * c.actionRuns);
    EXPECT_EQ(clickRuns, c.clickRuns);
  }
}

TEST_F(GroupBarTest, ItemFollowsItsActionsCaptionAndEnabledState) {
  Action actUninstall{"Uninstall", [] {}};
  GroupBarItem& item = bar.AddItem(bar.AddGroup("Tasks"), "");
  item.SetAction(&actUninstall);

  const struct {
    const char* name;
    const char* caption;
    bool enabled;
  } steps[] = {{"disabled", "Uninstall", false},
               {"renamed while disabled", "Remove entry", false},
               {"enabled again", "Remove entry", true}};
  for (const auto& s : steps) {
    SCOPED_TRACE(s.name);
    actUninstall.SetCaption(s.caption);
    actUninstall.SetEnabled(s.enabled);
    EXPECT_EQ(WindowText(item.Handle()), found::Widen(s.caption));
    EXPECT_EQ(IsWindowEnabled(item.Handle()) != FALSE, s.enabled);
  }
  // Unbound, the item keeps what it shows and no longer follows.
  item.SetAction(nullptr);
  actUninstall.SetEnabled(false);
  EXPECT_TRUE(IsWindowEnabled(item.Handle()));
}

TEST_F(GroupBarTest, ItemOutlivingItsActionForgetsIt) {
  int clicks = 0;
  GroupBarItem& item = bar.AddItem(bar.AddGroup("Tasks"), "Restore");
  item.OnClick = [&] { ++clicks; };
  {
    Action temporary{"Restore", [] {}};
    item.SetAction(&temporary);
  }
  EXPECT_EQ(item.GetAction(), nullptr);
  SendMessageW(item.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);
}

TEST_F(GroupBarTest, GroupsStackInOrderWithTheirHeights) {
  const int first = bar.AddGroup("Tasks");
  bar.AddItem(first, "Scan");
  bar.AddItem(first, "Repair");
  const int middle = bar.AddGroup("Sections");
  const int last = bar.AddGroup("Help");
  bar.AddItem(last, "Help topics");

  const struct {
    const char* name;
    int firstHeight, middleHeight, lastHeight;
  } cases[] = {{"as set", 90, 200, 70},
               {"middle grows to fill", 90, 260, 70},
               {"middle shrinks", 90, 120, 70},
               {"below the caption: the caption bar stays", 90, 2, 70}};
  const int captionHeight = bar.GroupCaptionRect(first).bottom - bar.GroupCaptionRect(first).top;
  const int width = bar.ClientSize().cx;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    bar.SetGroupHeight(first, c.firstHeight);
    bar.SetGroupHeight(middle, c.middleHeight);
    bar.SetGroupHeight(last, c.lastHeight);
    const int heights[] = {c.firstHeight, std::max(c.middleHeight, captionHeight + 1), c.lastHeight};
    int top = bar.GroupGap();
    for (int g = 0; g < 3; ++g) {
      const RECT r = bar.GroupRect(g);
      SCOPED_TRACE("group " + std::to_string(g) + " " + RectText(r));
      EXPECT_EQ(r.top, top);
      EXPECT_EQ(r.bottom - r.top, heights[g]);
      EXPECT_EQ(bar.GroupHeight(g), heights[g]);
      EXPECT_GT(r.left, 0);
      EXPECT_LT(r.right, width);
      const RECT body = bar.GroupBodyRect(g);
      const RECT caption = bar.GroupCaptionRect(g);
      EXPECT_EQ(caption.top, r.top);
      EXPECT_EQ(body.top, caption.bottom);
      EXPECT_LE(body.bottom, r.bottom);
      top = r.bottom + bar.GroupGap();
    }
  }
  // Back to automatic: an item group is as tall as its rows, which fit in its body.
  bar.SetGroupHeight(first, -1);
  const RECT body = bar.GroupBodyRect(first);
  for (int i = 0; i < bar.ItemCount(first); ++i) {
    SCOPED_TRACE("item " + std::to_string(i));
    const RECT item = bar.Item(first, i).BoundsRect();
    EXPECT_TRUE(Shown(bar.Item(first, i).Handle()));
    EXPECT_GE(item.top, body.top);
    EXPECT_LE(item.bottom, body.bottom);
    EXPECT_GE(item.left, body.left);
    EXPECT_LE(item.right, body.right);
    if (i > 0) {
      EXPECT_GE(item.top, bar.Item(first, i - 1).BoundsRect().bottom);
    }
  }
  EXPECT_EQ(bar.GroupRect(middle).top, bar.GroupRect(first).bottom + bar.GroupGap());
}

TEST_F(GroupBarTest, ItemsThatDoNotFitTheirGroupAreHidden) {
  const int tasks = bar.AddGroup("Tasks");
  GroupBarItem& top = bar.AddItem(tasks, "Scan");
  GroupBarItem& below = bar.AddItem(tasks, "Repair");
  const int oneRow = bar.Item(tasks, 0).BoundsRect().bottom - bar.GroupRect(tasks).top + 1;
  bar.SetGroupHeight(tasks, oneRow);
  EXPECT_TRUE(Shown(top.Handle()));
  EXPECT_FALSE(Shown(below.Handle()));
  bar.SetGroupHeight(tasks, -1);
  EXPECT_TRUE(Shown(below.Handle()));
}

TEST_F(GroupBarTest, HostedChildFillsItsGroupsBody) {
  const int tasks = bar.AddGroup("Tasks");
  bar.AddItem(tasks, "Scan");
  const int sections = bar.AddGroup("Sections");
  bar.AddGroup("Help");
  widgets::ListView list;  // created on the form, as an owner would
  ASSERT_TRUE(list.Create(form, {300, 10, 100, 100}, "Sections"));
  ASSERT_TRUE(bar.HostChild(sections, list));
  EXPECT_EQ(GetParent(list.Handle()), bar.Handle());

  for (const int height : {-1, 150, 300}) {
    SCOPED_TRACE("group height " + std::to_string(height));
    bar.SetGroupHeight(sections, height);
    const RECT body = bar.GroupBodyRect(sections);
    const RECT child = list.BoundsRect();
    EXPECT_TRUE(EqualRect(&body, &child)) << RectText(child) << " in " << RectText(body);
    EXPECT_GT(body.bottom, body.top);
  }
  // The bar's width changes too when the owner resizes it.
  bar.SetBounds(0, 0, widgets::Scale(250), widgets::Scale(500));
  const RECT body = bar.GroupBodyRect(sections);
  const RECT child = list.BoundsRect();
  EXPECT_TRUE(EqualRect(&body, &child)) << RectText(child) << " in " << RectText(body);
  EXPECT_EQ(body.right, widgets::Scale(250) - bar.GroupRect(sections).left - 1);
}

TEST_F(GroupBarTest, KeyboardMovesBetweenEnabledItemsAndRunsThem) {
  form.Show();
  std::vector<std::string> ran;
  const int tasks = bar.AddGroup("Tasks");
  const int help = bar.AddGroup("Help");
  GroupBarItem& scan = bar.AddItem(tasks, "Scan");
  GroupBarItem& repair = bar.AddItem(tasks, "Repair");  // disabled below: skipped
  GroupBarItem& restore = bar.AddItem(tasks, "Restore");
  GroupBarItem& topics = bar.AddItem(help, "Help topics");
  for (GroupBarItem* item : {&scan, &repair, &restore, &topics}) {
    item->OnClick = [&ran, item] { ran.push_back(item->Text()); };
  }
  repair.SetEnabled(false);

  const struct {
    const char* name;
    GroupBarItem& from;
    WPARAM key;
    GroupBarItem& focusAfter;
    const char* runs;  // null: nothing runs
  } cases[] = {{"down skips the disabled item", scan, VK_DOWN, restore, nullptr},
               {"down crosses into the next group", restore, VK_DOWN, topics, nullptr},
               {"down stops at the last item", topics, VK_DOWN, topics, nullptr},
               {"up skips the disabled item", restore, VK_UP, scan, nullptr},
               {"up stops at the first item", scan, VK_UP, scan, nullptr},
               {"enter runs the focused item", restore, VK_RETURN, restore, "Restore"},
               {"space runs the focused item", topics, VK_SPACE, topics, "Help topics"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ran.clear();
    SetFocus(c.from.Handle());
    ASSERT_EQ(GetFocus(), c.from.Handle());
    // Through the dialog manager, as the message loop hands keys over.
    MSG msg{c.from.Handle(), WM_KEYDOWN, c.key, 0, 0, {}};
    if (!IsDialogMessageW(form.Handle(), &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    msg.message = WM_KEYUP;
    if (!IsDialogMessageW(form.Handle(), &msg)) DispatchMessageW(&msg);
    widgets_test::FlushMessages();
    EXPECT_EQ(GetFocus(), c.focusAfter.Handle()) << WindowText(GetFocus());
    EXPECT_EQ(ran, c.runs ? std::vector<std::string>{c.runs} : std::vector<std::string>{});
  }
}

TEST_F(GroupBarTest, TabEntersTheBarAtTheFirstItemOfTheTopGroup) {
  form.Show();
  widgets::Button before;
  ASSERT_TRUE(before.Create(form, {300, 10, 75, 25}, "Before"));
  // The bar was created first, so it came first in tab order; put it after.
  SetWindowPos(bar.Handle(), before.Handle(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  const int top = bar.AddGroup("Tasks");
  const int lower = bar.AddGroup("Help");
  bar.AddItem(lower, "Help topics");
  // Added later, but its group is above: tab order follows the groups.
  GroupBarItem& scan = bar.AddItem(top, "Scan");
  SetFocus(before.Handle());
  ASSERT_EQ(GetFocus(), before.Handle());
  MSG msg{before.Handle(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
  EXPECT_TRUE(IsDialogMessageW(form.Handle(), &msg));
  EXPECT_EQ(GetFocus(), scan.Handle()) << WindowText(GetFocus());
}

}  // namespace
