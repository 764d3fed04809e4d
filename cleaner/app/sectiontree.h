// The section tree of the main window (ctSections) as a model: the items the
// user ticks before a scan, with cascading tri-state boxes. The check tree
// control paints it; the scan worker reads Items().
#pragma once

#include <array>
#include <string>
#include <vector>

#include "cleaner/scan/scanhost.h"
#include "foundation/treemodel.h"

namespace cleaner {

// The record each section tree item carries.
struct TTreeData {
  int SectionId = 0;
  std::string Caption;
};

struct SectionTreeData {
  TTreeData record;
  int picture = -1;  // image and selected image in ImageList2
};

// One line of the tree's table: `parentId` is the SectionId of the parent
// item, -1 for the top level.
struct SectionTreeEntry {
  const char* caption;
  int parentId;
  int sectionId;
  int picture;
};

extern const std::array<SectionTreeEntry, 24> kSectionTree;

class SectionTree {
 public:
  using Tree = found::TreeModel<SectionTreeData>;
  using Node = Tree::Node;

  // What the first display builds: every item of kSectionTree, ticked, the
  // whole tree expanded and "My Computer" selected.
  SectionTree();

  const Tree& Model() const { return tree_; }
  Node* Find(int sectionId) const;
  Node* Selected() const { return selected_; }
  void Select(Node* node) { selected_ = node; }

  // A click on an item's box: a ticked item is cleared, a cleared or partial
  // one ticked; the change cascades down and the items above follow.
  void ClickCheck(Node* node);
  void SetCheck(Node* node, found::CheckState state) { tree_.SetCheck(node, state); }

  // ctSectionsDblClick: the tree always stays fully open.
  void ExpandAll();

  // The items in tree order, as the scan worker reads them.
  std::vector<SectionTreeItem> Items() const;

 private:
  Tree tree_;
  Node* selected_ = nullptr;
};

}  // namespace cleaner
