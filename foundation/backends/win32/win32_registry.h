// The real registry through the wide API.
#pragma once

#include "foundation/platform.h"

namespace found {

class Win32Registry : public RegistryStore {
 public:
  // extraAccess is or-ed into every open (a registry view flag, for one).
  explicit Win32Registry(unsigned long extraAccess = 0) : extraAccess_(extraAccess) {}

  std::unique_ptr<RegKey> Open(RootHandle root, const std::string& path, RegAccess access,
                               bool create) override;
  [[nodiscard]] bool DeleteTree(RootHandle root, const std::string& path) override;

 private:
  unsigned long extraAccess_;
};

}  // namespace found
