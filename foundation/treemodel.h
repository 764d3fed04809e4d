// The rows of an owner-drawn list: a tree of nodes, each with one record, a
// tri-state check box and a height. The Win32 list is a view over it; the
// window logic works on the model and is tested without windows.
#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace found {

enum class CheckState { Unchecked, Checked, Mixed };

template <typename T>
class TreeModel {
 public:
  struct Node {
    T data{};
    CheckState check = CheckState::Unchecked;
    int height = 0;
    bool expanded = false;
    Node* parent = nullptr;
    std::vector<std::unique_ptr<Node>> children;
  };

  // Appends a node under `parent` (a top-level node for null).
  Node* Add(Node* parent, T data, CheckState check) {
    auto node = std::make_unique<Node>();
    node->data = std::move(data);
    node->check = check;
    node->parent = parent;
    Node* raw = node.get();
    (parent ? parent->children : roots_).push_back(std::move(node));
    ++count_;
    return raw;
  }

  void Delete(Node* node) {
    auto& siblings = node->parent ? node->parent->children : roots_;
    Node* parent = node->parent;
    const auto it = std::find_if(siblings.begin(), siblings.end(), [&](const auto& p) { return p.get() == node; });
    if (it == siblings.end()) return;
    count_ -= 1 + Descendants(*node);
    siblings.erase(it);
    if (parent && !parent->children.empty()) UpdateFromChildren(parent);
  }

  void Clear() {
    roots_.clear();
    count_ = 0;
  }

  // Sets a node's check and carries it down to every node below and up to
  // the nodes above (checked, unchecked, or mixed when the children differ).
  void SetCheck(Node* node, CheckState state) {
    SetDown(node, state);
    for (Node* p = node->parent; p; p = p->parent) UpdateFromChildren(p);
  }

  const std::vector<std::unique_ptr<Node>>& Roots() const { return roots_; }
  size_t TotalCount() const { return count_; }

  // Every node, parents before their children, in list order.
  void ForEach(const std::function<void(Node&)>& fn) const {
    for (const auto& root : roots_) Visit(*root, fn);
  }

 private:
  static size_t Descendants(const Node& node) {
    size_t n = 0;
    for (const auto& child : node.children) n += 1 + Descendants(*child);
    return n;
  }
  static void Visit(Node& node, const std::function<void(Node&)>& fn) {
    fn(node);
    for (const auto& child : node.children) Visit(*child, fn);
  }
  static void SetDown(Node* node, CheckState state) {
    node->check = state;
    for (auto& child : node->children) SetDown(child.get(), state);
  }
  static void UpdateFromChildren(Node* node) {
    bool allChecked = true, allUnchecked = true;
    for (const auto& child : node->children) {
      if (child->check != CheckState::Checked) allChecked = false;
      if (child->check != CheckState::Unchecked) allUnchecked = false;
    }
    node->check = allChecked ? CheckState::Checked : allUnchecked ? CheckState::Unchecked : CheckState::Mixed;
  }

  std::vector<std::unique_ptr<Node>> roots_;
  size_t count_ = 0;
};

}  // namespace found
