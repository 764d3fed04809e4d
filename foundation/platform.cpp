#include "foundation/platform.h"

namespace found {
namespace {
Platform gPlatform;
}

Platform& CurrentPlatform() { return gPlatform; }

void SetCurrentPlatform(const Platform& platform) { gPlatform = platform; }

}  // namespace found
