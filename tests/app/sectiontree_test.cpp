#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "cleaner/app/sectiontree.h"
#include "cleaner/scan/sections.h"

namespace {

using cleaner::SectionTree;
using found::CheckState;

std::vector<int> TickedLeaves(const SectionTree& tree) {
  std::vector<int> ids;
  for (const auto& item : tree.Items()) {
    if (!item.hasChildren && item.checked) ids.push_back(item.id);
  }
  return ids;
}

TEST(SectionTree, StartsWithEveryItemTickedExpandedAndMyComputerSelected) {
  const SectionTree tree;
  const auto items = tree.Items();
  ASSERT_EQ(items.size(), cleaner::kSectionTree.size());
  for (size_t i = 0; i < items.size(); ++i) {
    const auto& entry = cleaner::kSectionTree[i];
    SCOPED_TRACE(entry.caption);
    EXPECT_EQ(items[i].id, entry.sectionId) << "tree order";
    EXPECT_TRUE(items[i].checked);
    const bool groups = entry.sectionId == cleaner::kSectionMyComputer ||
                        entry.sectionId == cleaner::kSectionFilesAndFolders;
    EXPECT_EQ(items[i].hasChildren, groups);

    const SectionTree::Node* node = tree.Find(entry.sectionId);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->data.record.Caption, entry.caption);
    EXPECT_EQ(node->expanded, groups);
    const SectionTree::Node* parent = entry.parentId < 0 ? nullptr : tree.Find(entry.parentId);
    EXPECT_EQ(node->parent, parent);
    // The scan engine's table and the tree must name and picture a section alike.
    if (const auto* section = cleaner::FindSection(entry.sectionId)) {
      EXPECT_STREQ(section->treeCaption, entry.caption);
      EXPECT_EQ(section->treePicture, node->data.picture);
    }
  }
  EXPECT_EQ(tree.Selected(), tree.Find(cleaner::kSectionMyComputer));
  EXPECT_EQ(tree.Find(cleaner::kSectionMyComputer)->data.picture, cleaner::kMyComputerPicture);
  EXPECT_EQ(tree.Find(cleaner::kSectionFilesAndFolders)->data.picture, cleaner::kFilesAndFoldersPicture);
}

TEST(SectionTree, ClicksCascadeDownAndGroupsShowPartial) {
  std::vector<int> allLeaves;
  for (const auto& entry : cleaner::kSectionTree) {
    if (entry.sectionId != 0 && entry.sectionId != 2) allLeaves.push_back(entry.sectionId);
  }
  const auto allBut = [&](std::vector<int> gone) {
    std::vector<int> ids;
    for (int id : allLeaves) {
      if (std::find(gone.begin(), gone.end(), id) == gone.end()) ids.push_back(id);
    }
    return ids;
  };
  struct Case {
    const char* name;
    std::vector<int> clicks;  // section ids, in order
    std::map<int, CheckState> states;
    std::vector<int> ticked;
  };
  const auto C = CheckState::Checked, U = CheckState::Unchecked, M = CheckState::Mixed;
  const std::vector<Case> cases = {
      {"clearing Files and Folders clears its hives", {2}, {{0, M}, {2, U}, {21, U}, {22, U}, {23, U}, {1, C}},
       allBut({21, 22, 23})},
      {"clearing one hive leaves both groups partial", {21}, {{0, M}, {2, M}, {21, U}, {22, C}}, allBut({21})},
      {"ticking it again ticks the groups", {21, 21}, {{0, C}, {2, C}, {21, C}}, allLeaves},
      {"clearing every hive clears their group", {21, 22, 23}, {{0, M}, {2, U}}, allBut({21, 22, 23})},
      {"a click on a partial group ticks it all", {22, 2}, {{0, C}, {2, C}, {22, C}}, allLeaves},
      {"a click on a partial root ticks everything", {1, 0}, {{0, C}, {1, C}}, allLeaves},
      {"clearing My Computer clears everything", {0}, {{0, U}, {2, U}, {23, U}, {19, U}}, {}},
      {"one leaf under a cleared root", {0, 19}, {{0, M}, {2, U}, {19, C}}, {19}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SectionTree tree;
    for (int id : c.clicks) tree.ClickCheck(tree.Find(id));
    for (const auto& [id, state] : c.states) {
      EXPECT_EQ(tree.Find(id)->check, state) << "section " << id;
    }
    EXPECT_EQ(TickedLeaves(tree), c.ticked);
  }
}

TEST(SectionTree, DoubleClickReopensCollapsedGroups) {
  SectionTree tree;
  tree.Find(2)->expanded = false;
  tree.Find(0)->expanded = false;
  tree.ExpandAll();
  EXPECT_TRUE(tree.Find(0)->expanded);
  EXPECT_TRUE(tree.Find(2)->expanded);
}

}  // namespace
