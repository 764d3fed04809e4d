#include "cleaner/app/regjump.h"

#include "foundation/text.h"

namespace cleaner {
namespace {

struct RootPrefix {
  const char* name;
  int id;
  found::RootHandle root;
};

// In the order the prefixes are tried.
constexpr RootPrefix kRoots[] = {
    {"HKEY_LOCAL_MACHINE", 3, found::kHkeyLocalMachine}, {"HKEY_CURRENT_USER", 2, found::kHkeyCurrentUser},
    {"HKEY_CLASSES_ROOT", 1, found::kHkeyClassesRoot},   {"HKEY_USERS", 5, found::kHkeyUsers},
    {"HKEY_CURRENT_CONFIG", 4, found::kHkeyCurrentConfig}, {"HKEY_DYN_DATA", 6, found::kHkeyDynData},
};

// Only the letters a to z change, as the editor's type-ahead is matched on them.
char16_t UpperAscii(char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c; }

}  // namespace

int ResolveRootKey(const std::string& path) { return ResolveRootKey(path, *found::CurrentPlatform().registry); }

int ResolveRootKey(const std::string& path, found::RegistryStore& store) {
  std::string upper = path;
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  for (const auto& prefix : kRoots) {
    const std::string name = prefix.name;
    if (upper.compare(0, name.size(), name) != 0) continue;
    // The first occurrence of the root name and its backslash, in any case.
    const size_t at = upper.find(name + "\\");
    const std::string rest = at == std::string::npos ? path : path.substr(0, at) + path.substr(at + name.size() + 1);
    return store.Open(prefix.root, rest, found::RegAccess::Full, false) ? prefix.id : 0;
  }
  return 0;
}

std::vector<JumpStep> JumpSequence(const std::string& path, const std::string& valueName, bool paced) {
  std::vector<JumpStep> steps;
  const auto pause = [&](std::uint32_t ms) {
    if (paced) steps.push_back({JumpStep::Pause, ms});
  };
  for (int i = 0; i < 31; ++i) steps.push_back({JumpStep::TreeKeyDown, kVkLeft});
  pause(750);
  std::uint32_t last = 0;
  for (char16_t c : found::Utf8ToUtf16("\\" + path)) {
    if (c == u'\\') {
      last = kVkRight;
      steps.push_back({JumpStep::TreeKeyDown, kVkRight});
      pause(750);
    } else {
      last = UpperAscii(c);
      steps.push_back({JumpStep::TreeChar, last});
    }
  }
  steps.push_back({JumpStep::TreeClick, last});
  if (!valueName.empty()) {
    steps.push_back({JumpStep::FocusList, 0});
    steps.push_back({JumpStep::Pause, 1000});
    steps.push_back({JumpStep::ListKeyDown, kVkHome});
    for (char16_t c : found::Utf8ToUtf16(valueName)) steps.push_back({JumpStep::ListChar, UpperAscii(c)});
  }
  return steps;
}

}  // namespace cleaner
