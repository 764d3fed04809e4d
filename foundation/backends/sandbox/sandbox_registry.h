// An in-memory registry with the semantics of a Windows hive: names are
// case-insensitive and case-preserving, subkeys enumerate sorted without
// regard to case, values in creation order, and keys can refuse full access.
// HKEY_CLASSES_ROOT is HKEY_LOCAL_MACHINE\Software\Classes, as on Windows.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "foundation/platform.h"

namespace found {

class SandboxRegistry : public RegistryStore {
 public:
  SandboxRegistry();
  ~SandboxRegistry() override;

  std::unique_ptr<RegKey> Open(RootHandle root, const std::string& path, RegAccess access,
                               bool create) override;
  [[nodiscard]] bool DeleteTree(RootHandle root, const std::string& path) override;

  // Test controls: a key that refuses full access (it can still be read), or
  // refuses even reading.
  void DenyFullAccess(RootHandle root, const std::string& path, bool deny = true);
  void DenyRead(RootHandle root, const std::string& path, bool deny = true);
  // A value whose data cannot be read (the query fails).
  void MakeUnreadable(RootHandle root, const std::string& path, const std::string& name);

  struct Node;

 private:
  Node* Resolve(RootHandle& root, std::string& path);
  std::shared_ptr<Node> Find(RootHandle root, const std::string& path);

  std::shared_ptr<std::mutex> mutex_;
  std::shared_ptr<Node> roots_[7];
};

}  // namespace found
