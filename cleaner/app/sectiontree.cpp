#include "cleaner/app/sectiontree.h"

#include <map>

namespace cleaner {

using found::CheckState;

const std::array<SectionTreeEntry, 24> kSectionTree = {{
    {"My Computer", -1, 0, 23},
    {"Registry Integrity", 0, 1, 0},
    {"Files and Folders", 0, 2, 1},
    {"HKEY_LOCAL_MACHINE", 2, 21, 2},
    {"HKEY_CURRENT_USER", 2, 22, 3},
    {"HKEY_USERS", 2, 23, 4},
    {"Adware and Spyware", 0, 100, 22},
    {"Obsolete Software", 0, 3, 5},
    {"Custom Controls", 0, 4, 6},
    {"File Extensions", 0, 5, 7},
    {"File Associations", 0, 6, 8},
    {"Start Menu", 0, 7, 9},
    {"Startup Programs", 0, 8, 10},
    {"Shared Programs", 0, 9, 11},
    {"Software Locations", 0, 10, 12},
    {"Add/Remove Programs", 0, 11, 13},
    {"Windows Fonts", 0, 12, 14},
    {"Help and Resources", 0, 13, 15},
    {"Sounds and Appevents", 0, 14, 16},
    {"MRU and History Lists", 0, 15, 17},
    {"Device Drivers", 0, 16, 18},
    {"Windows Services", 0, 17, 19},
    {"Virtual Devices", 0, 18, 20},
    {"ShortCuts", 0, 19, 21},
}};

SectionTree::SectionTree() {
  std::map<int, Node*> byId;
  for (const auto& entry : kSectionTree) {
    Node* parent = entry.parentId < 0 ? nullptr : byId.at(entry.parentId);
    Node* node = tree_.Add(parent, {{entry.sectionId, entry.caption}, entry.picture}, CheckState::Checked);
    byId[entry.sectionId] = node;
  }
  ExpandAll();
  selected_ = tree_.Roots().front().get();
}

SectionTree::Node* SectionTree::Find(int sectionId) const {
  Node* found = nullptr;
  tree_.ForEach([&](Node& node) {
    if (!found && node.data.record.SectionId == sectionId) found = &node;
  });
  return found;
}

void SectionTree::ClickCheck(Node* node) {
  tree_.SetCheck(node, node->check == CheckState::Checked ? CheckState::Unchecked : CheckState::Checked);
}

void SectionTree::ExpandAll() {
  tree_.ForEach([](Node& node) {
    if (!node.children.empty()) node.expanded = true;
  });
}

std::vector<SectionTreeItem> SectionTree::Items() const {
  std::vector<SectionTreeItem> items;
  tree_.ForEach([&](Node& node) {
    items.push_back({node.data.record.SectionId, !node.children.empty(), node.check == CheckState::Checked});
  });
  return items;
}

}  // namespace cleaner
