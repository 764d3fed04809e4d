#include "widgets/checktree.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "foundation/backends/win32/wide.h"
#include "gui_fixture.h"
#include "widgets/window.h"

namespace {

using found::CheckState;
using Model = found::TreeModel<std::string>;
using Node = Model::Node;

// What a tree view reports through its own messages, not through the wrapper.
std::wstring RawText(HWND tree, HTREEITEM item) {
  wchar_t buffer[256] = {};
  TVITEMW tv{};
  tv.mask = TVIF_TEXT;
  tv.hItem = item;
  tv.pszText = buffer;
  tv.cchTextMax = 256;
  SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
  return tv.pszText;
}

// TVM_GETITEMRECT takes the item in the rectangle it fills.
bool ItemTextRect(HWND tree, HTREEITEM item, RECT& rect) {
  static_assert(sizeof(HTREEITEM) <= sizeof(RECT));
  std::memcpy(&rect, &item, sizeof(item));
  return SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect)) != 0;
}

UINT RawStateImage(HWND tree, HTREEITEM item) {
  return (static_cast<UINT>(SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_STATEIMAGEMASK)) &
          TVIS_STATEIMAGEMASK) >> 12;
}

UINT ExpectedStateImage(CheckState state) {
  return state == CheckState::Unchecked ? 1 : state == CheckState::Checked ? 2 : 3;
}

// A point on the item's state icon: left of its text, where the tree's own
// hit test says so.
bool FindStateIcon(HWND tree, HTREEITEM item, POINT& point) {
  RECT text{};
  if (!ItemTextRect(tree, item, text)) return false;
  for (int x = text.left - 1; x >= 0; --x) {
    TVHITTESTINFO hit{};
    hit.pt = {x, (text.top + text.bottom) / 2};
    SendMessageW(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (hit.hItem == item && (hit.flags & TVHT_ONITEMSTATEICON)) {
      point = hit.pt;
      return true;
    }
  }
  return false;
}

class CheckTreeTest : public testing::Test {
 protected:
  void SetUp() override {
    widgets_test::FlushMessages();
    ASSERT_TRUE(form.Create({.caption = "Sections", .clientWidth = 300, .clientHeight = 300}));
    computer = model.Add(nullptr, "My Computer", CheckState::Checked);
    software = model.Add(computer, "Software", CheckState::Checked);
    fonts = model.Add(software, "Fonts – Schriftarten", CheckState::Checked);
    startup = model.Add(software, "Startup", CheckState::Checked);
    dlls = model.Add(computer, "Shared DLLs", CheckState::Checked);
  }

  void Build(const widgets::CheckTreeOptions& options = {}) {
    ASSERT_TRUE(tree.Create(form, {8, 8, 280, 280}, "Sections", options));
    nodes.clear();
    items.clear();
    model.ForEach([&](Node& node) {
      const HTREEITEM parent = node.parent ? items[IndexOf(node.parent)] : nullptr;
      nodes.push_back(&node);
      items.push_back(tree.AddItem(parent, node.data, -1, static_cast<LPARAM>(nodes.size() - 1), node.check));
    });
    tree.ExpandAll();
  }
  size_t IndexOf(const Node* node) const {
    for (size_t i = 0; i < nodes.size(); ++i) {
      if (nodes[i] == node) return i;
    }
    return 0;
  }
  // What the owner does after the model changed.
  void ShowModel() {
    for (HTREEITEM item : tree.Items()) tree.SetCheck(item, nodes[static_cast<size_t>(tree.ItemData(item))]->check);
  }

  widgets::Form form;
  widgets::CheckTree tree;
  Model model;
  Node *computer, *software, *fonts, *startup, *dlls;
  std::vector<Node*> nodes;
  std::vector<HTREEITEM> items;
};

TEST_F(CheckTreeTest, Items_AreStandardTreeItemsWithCaptionsAndData) {
  Build();
  wchar_t className[64] = {};
  GetClassNameW(tree.Handle(), className, 64);
  EXPECT_STREQ(className, WC_TREEVIEWW);
  EXPECT_EQ(tree.Text(), "Sections");

  const std::vector<std::string> expected = {"My Computer", "Software", "Fonts – Schriftarten", "Startup",
                                             "Shared DLLs"};
  const std::vector<HTREEITEM> order = tree.Items();
  ASSERT_EQ(order.size(), expected.size());
  for (size_t i = 0; i < order.size(); ++i) {
    SCOPED_TRACE(expected[i]);
    EXPECT_EQ(RawText(tree.Handle(), order[i]), found::Widen(expected[i]));
    EXPECT_EQ(tree.ItemText(order[i]), expected[i]);
    EXPECT_EQ(tree.ItemData(order[i]), static_cast<LPARAM>(i));
    EXPECT_EQ(tree.FindByData(static_cast<LPARAM>(i)), order[i]);
  }
  const auto parentOf = [&](HTREEITEM item) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(tree.Handle(), TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(item)));
  };
  EXPECT_EQ(parentOf(order[2]), order[1]);
  EXPECT_EQ(parentOf(order[4]), order[0]);
  EXPECT_TRUE(SendMessageW(tree.Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(order[1]), TVIS_EXPANDED) &
              TVIS_EXPANDED)
      << "expanded all";
  EXPECT_EQ(tree.FindByData(99), nullptr);
}

TEST_F(CheckTreeTest, StateImages_FollowTheModel) {
  Build();
  const struct {
    const char* name;
    Node* node;
    CheckState state;
  } cases[] = {
      {"one leaf cleared: its parents mixed", fonts, CheckState::Unchecked},
      {"a whole branch cleared", software, CheckState::Unchecked},
      {"everything cleared", computer, CheckState::Unchecked},
      {"one leaf ticked again", dlls, CheckState::Checked},
      {"everything ticked", computer, CheckState::Checked},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    model.SetCheck(c.node, c.state);
    ShowModel();
    for (size_t i = 0; i < nodes.size(); ++i) {
      SCOPED_TRACE(nodes[i]->data);
      EXPECT_EQ(RawStateImage(tree.Handle(), items[i]), ExpectedStateImage(nodes[i]->check));
      EXPECT_EQ(tree.Check(items[i]), nodes[i]->check);
    }
  }
  EXPECT_EQ(ImageList_GetImageCount(reinterpret_cast<HIMAGELIST>(
                SendMessageW(tree.Handle(), TVM_GETIMAGELIST, TVSIL_STATE, 0))),
            4)
      << "a blank, then unchecked, checked, mixed";
}

TEST_F(CheckTreeTest, ClickOnTheBoxAndSpace_GoThroughTheCallback_TheModelDecides) {
  Build();
  std::vector<HTREEITEM> clicked;
  tree.OnCheckClick = [&](HTREEITEM item) {
    clicked.push_back(item);
    Node* node = nodes[static_cast<size_t>(tree.ItemData(item))];
    model.SetCheck(node, node->check == CheckState::Checked ? CheckState::Unchecked : CheckState::Checked);
    ShowModel();
  };

  POINT box{};
  ASSERT_TRUE(FindStateIcon(tree.Handle(), items[3], box));
  SendMessageW(tree.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(box.x, box.y));
  SendMessageW(tree.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(box.x, box.y));
  ASSERT_EQ(clicked, std::vector<HTREEITEM>{items[3]});
  EXPECT_EQ(RawStateImage(tree.Handle(), items[3]), 1u) << "Startup cleared";
  EXPECT_EQ(RawStateImage(tree.Handle(), items[1]), 3u) << "Software mixed";
  EXPECT_EQ(RawStateImage(tree.Handle(), items[0]), 3u) << "My Computer mixed";
  EXPECT_NE(tree.Selected(), items[3]) << "a box click does not select";

  // The caption is no box: it selects and leaves the checks alone.
  RECT text{};
  ASSERT_TRUE(ItemTextRect(tree.Handle(), items[4], text));
  EXPECT_FALSE(tree.ClickAt({text.left + 2, (text.top + text.bottom) / 2}));
  EXPECT_EQ(clicked.size(), 1u);

  tree.Select(items[1]);
  EXPECT_EQ(tree.Selected(), items[1]);
  SendMessageW(tree.Handle(), WM_KEYDOWN, VK_SPACE, 0);
  ASSERT_EQ(clicked.size(), 2u);
  EXPECT_EQ(clicked[1], items[1]);
  EXPECT_EQ(RawStateImage(tree.Handle(), items[1]), 2u) << "the mixed branch ticked";
  EXPECT_EQ(RawStateImage(tree.Handle(), items[3]), 2u) << "and its children with it";
  EXPECT_EQ(RawStateImage(tree.Handle(), items[0]), 2u);
}

TEST_F(CheckTreeTest, WithoutRootLines_TheTreeHasNoButtonsOrLines) {
  Build({.rootLines = false});
  const auto style = static_cast<DWORD>(GetWindowLongW(tree.Handle(), GWL_STYLE));
  EXPECT_EQ(style & (TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT), 0u);
  EXPECT_EQ(RawStateImage(tree.Handle(), items[2]), 2u);
}

}  // namespace
