// The product's shell: shell32's open, properties, delete, shortcut and icon
// services. Every call may come from a worker thread.
#pragma once

#include "foundation/platform.h"

namespace found {

class Win32Shell : public Shell {
 public:
  bool Open(const std::string& target) override;
  bool ShowProperties(const std::string& path) override;
  bool DeleteItem(const std::string& path, bool toRecycleBin) override;
  std::optional<std::string> ShortcutTarget(const std::string& lnkPath) override;
  std::optional<int> SystemIconIndex(const std::string& path) override;
};

}  // namespace found
