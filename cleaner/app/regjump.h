// Opening a key, and a value in it, in the registry editor: the editor takes
// no key from outside, so its tree and list are driven with the keys a user
// would press. This unit computes the checks and the key sequence; the window
// side sends them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/platform.h"

namespace cleaner {

// 0 when the path names no known root, or its key cannot be opened for full
// access; else 1 HKEY_CLASSES_ROOT, 2 HKEY_CURRENT_USER, 3 HKEY_LOCAL_MACHINE,
// 4 HKEY_CURRENT_CONFIG, 5 HKEY_USERS, 6 HKEY_DYN_DATA.
int ResolveRootKey(const std::string& path);
int ResolveRootKey(const std::string& path, found::RegistryStore& store);

inline constexpr std::uint32_t kVkHome = 0x24;
inline constexpr std::uint32_t kVkLeft = 0x25;
inline constexpr std::uint32_t kVkRight = 0x27;

struct JumpStep {
  enum Kind {
    TreeKeyDown,  // code: a virtual key
    TreeChar,     // code: a UTF-16 unit
    TreeClick,    // code: the last key or character sent to the tree
    Pause,        // milliseconds
    FocusList,    // the editor's list pane gets the focus
    ListKeyDown,
    ListChar,
  };
  Kind kind;
  std::uint32_t code;
  bool operator==(const JumpStep&) const = default;
};

// What is sent once the editor's tree has the focus. `paced`: the display
// has more than 256 colours, and the editor gets time to expand each level.
std::vector<JumpStep> JumpSequence(const std::string& path, const std::string& valueName, bool paced);

}  // namespace cleaner
