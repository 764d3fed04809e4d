#include "foundation/backends/sandbox/sandbox_registry.h"

#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "foundation/text.h"

namespace found {
namespace {

struct NameLess {
  bool operator()(const std::string& a, const std::string& b) const { return CompareText(a, b) < 0; }
};

// Splits "a\b\c"; false for an empty component (as in "a\\b").
bool SplitPath(const std::string& path, std::vector<std::string>& parts) {
  parts.clear();
  if (path.empty()) return true;
  size_t start = 0;
  while (true) {
    const size_t pos = path.find('\\', start);
    std::string part = path.substr(start, pos == std::string::npos ? std::string::npos : pos - start);
    if (part.empty()) return false;
    parts.push_back(std::move(part));
    if (pos == std::string::npos) return true;
    start = pos + 1;
  }
}

}  // namespace

struct SandboxRegistry::Node {
  std::string name;
  std::map<std::string, std::shared_ptr<Node>, NameLess> children;
  std::vector<std::pair<std::string, RegValue>> values;  // creation order
  std::set<std::string, NameLess> unreadable;
  bool denyFull = false;
  bool denyRead = false;
  bool deleted = false;

  auto FindValue(const std::string& valueName) {
    return std::find_if(values.begin(), values.end(),
                        [&](const auto& v) { return SameText(v.first, valueName); });
  }
};

namespace {

class SandboxKey : public RegKey {
 public:
  SandboxKey(std::shared_ptr<std::mutex> mutex, std::shared_ptr<SandboxRegistry::Node> node, bool writable)
      : mutex_(std::move(mutex)), node_(std::move(node)), writable_(writable) {}

  bool SubKeyNames(std::vector<std::string>& out) override {
    std::lock_guard lock(*mutex_);
    if (node_->deleted) return false;
    out.clear();
    for (const auto& [name, child] : node_->children) out.push_back(child->name);
    return true;
  }

  bool ValueNames(std::vector<std::string>& out) override {
    std::lock_guard lock(*mutex_);
    if (node_->deleted) return false;
    out.clear();
    for (const auto& v : node_->values) out.push_back(v.first);
    return true;
  }

  bool HasSubKeys() override {
    std::lock_guard lock(*mutex_);
    return !node_->deleted && !node_->children.empty();
  }

  QueryStatus Query(const std::string& name, RegValue& out) override {
    std::lock_guard lock(*mutex_);
    if (node_->deleted) return QueryStatus::Failed;
    const auto it = node_->FindValue(name);
    if (it == node_->values.end()) return QueryStatus::Missing;
    if (node_->unreadable.count(name)) return QueryStatus::Failed;
    out = it->second;
    return QueryStatus::Ok;
  }

  bool Set(const std::string& name, const RegValue& value) override {
    std::lock_guard lock(*mutex_);
    if (node_->deleted || !writable_) return false;
    const auto it = node_->FindValue(name);
    if (it != node_->values.end()) {
      it->second = value;  // keeps its place and the name's case
    } else {
      node_->values.emplace_back(name, value);
    }
    return true;
  }

  bool DeleteValue(const std::string& name) override {
    std::lock_guard lock(*mutex_);
    if (node_->deleted || !writable_) return false;
    const auto it = node_->FindValue(name);
    if (it == node_->values.end()) return false;
    node_->values.erase(it);
    return true;
  }

 private:
  std::shared_ptr<std::mutex> mutex_;
  std::shared_ptr<SandboxRegistry::Node> node_;
  bool writable_;
};

void MarkDeleted(SandboxRegistry::Node& node) {
  node.deleted = true;
  for (auto& [name, child] : node.children) MarkDeleted(*child);
}

// Deletes every subkey it may, then the key; false when anything stays.
bool DeleteNode(SandboxRegistry::Node& parent, const std::string& name) {
  const auto it = parent.children.find(name);
  if (it == parent.children.end()) return false;
  SandboxRegistry::Node& node = *it->second;
  if (node.denyFull) return false;
  bool all = true;
  std::vector<std::string> names;
  for (const auto& [childName, child] : node.children) names.push_back(childName);
  for (const auto& childName : names) all = DeleteNode(node, childName) && all;
  if (!all) return false;
  MarkDeleted(node);
  parent.children.erase(it);
  return true;
}

}  // namespace

SandboxRegistry::SandboxRegistry() : mutex_(std::make_shared<std::mutex>()) {
  for (auto& root : roots_) root = std::make_shared<Node>();
}

SandboxRegistry::~SandboxRegistry() = default;

SandboxRegistry::Node* SandboxRegistry::Resolve(RootHandle& root, std::string& path) {
  if (root == kHkeyClassesRoot) {
    root = kHkeyLocalMachine;
    path = path.empty() ? "SOFTWARE\\Classes" : "SOFTWARE\\Classes\\" + path;
  }
  const RootHandle index = root - 0x80000000u;
  if (root < 0x80000000u || index >= 7 || index == 4) return nullptr;
  return roots_[index].get();
}

std::shared_ptr<SandboxRegistry::Node> SandboxRegistry::Find(RootHandle root, const std::string& path) {
  std::string full = path;
  Node* start = Resolve(root, full);
  if (!start) return nullptr;
  std::vector<std::string> parts;
  if (!SplitPath(full, parts)) return nullptr;
  std::shared_ptr<Node> node = roots_[root - 0x80000000u];
  for (const auto& part : parts) {
    const auto it = node->children.find(part);
    if (it == node->children.end()) return nullptr;
    node = it->second;
  }
  return node;
}

std::unique_ptr<RegKey> SandboxRegistry::Open(RootHandle root, const std::string& path, RegAccess access,
                                              bool create) {
  std::lock_guard lock(*mutex_);
  std::string full = path;
  if (!Resolve(root, full)) return nullptr;
  std::vector<std::string> parts;
  if (!SplitPath(full, parts)) return nullptr;
  std::shared_ptr<Node> node = roots_[root - 0x80000000u];
  for (const auto& part : parts) {
    const auto it = node->children.find(part);
    if (it != node->children.end()) {
      node = it->second;
      continue;
    }
    if (!create || node->denyFull || part.size() > 255) return nullptr;
    auto child = std::make_shared<Node>();
    child->name = part;
    node->children.emplace(part, child);
    node = child;
  }
  if (node->denyRead || (access == RegAccess::Full && node->denyFull)) return nullptr;
  return std::make_unique<SandboxKey>(mutex_, node, access == RegAccess::Full);
}

bool SandboxRegistry::DeleteTree(RootHandle root, const std::string& path) {
  std::lock_guard lock(*mutex_);
  const size_t cut = path.rfind('\\');
  if (path.empty()) return false;
  const std::string parentPath = cut == std::string::npos ? std::string() : path.substr(0, cut);
  const std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
  auto parent = Find(root, parentPath);
  return parent && !name.empty() && DeleteNode(*parent, name);
}

void SandboxRegistry::DenyFullAccess(RootHandle root, const std::string& path, bool deny) {
  std::lock_guard lock(*mutex_);
  if (auto node = Find(root, path)) node->denyFull = deny;
}

void SandboxRegistry::DenyRead(RootHandle root, const std::string& path, bool deny) {
  std::lock_guard lock(*mutex_);
  if (auto node = Find(root, path)) node->denyRead = deny;
}

void SandboxRegistry::MakeUnreadable(RootHandle root, const std::string& path, const std::string& name) {
  std::lock_guard lock(*mutex_);
  if (auto node = Find(root, path)) node->unreadable.insert(name);
}

}  // namespace found
