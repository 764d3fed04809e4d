#include "foundation/backends/win32/win32_platform.h"

namespace found {

Win32Platform::~Win32Platform() {
  if (previous_) SetCurrentPlatform(*previous_);
}

void Win32Platform::Install() {
  if (!previous_) previous_ = CurrentPlatform();
  SetCurrentPlatform(Platform{&registry, &files, &system, &codePage, &shell, &processes, &messages});
}

}  // namespace found
