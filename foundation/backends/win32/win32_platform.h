// Every Win32 part of the platform, as one object; Install makes it current.
#pragma once

#include <optional>

#include "foundation/backends/win32/win32_files.h"
#include "foundation/backends/win32/win32_processes.h"
#include "foundation/backends/win32/win32_registry.h"
#include "foundation/backends/win32/win32_shell.h"
#include "foundation/backends/win32/win32_system.h"

namespace found {

class Win32Platform {
 public:
  Win32Platform() = default;
  ~Win32Platform();
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  void Install();

  Win32Registry registry;
  Win32FileSystem files;
  Win32SystemInfo system;
  Win32CodePage codePage;
  Win32Shell shell;
  Win32Processes processes;
  Win32Messages messages;

 private:
  std::optional<Platform> previous_;
};

}  // namespace found
