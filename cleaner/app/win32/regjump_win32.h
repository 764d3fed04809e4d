// Drives the registry editor's own windows to show a key, and a value in it.
#pragma once

#include <string>

namespace cleaner {

// Path: a root name, a backslash and the key path; valueName: a value of that
// key ("(Default)" for the unnamed one) or empty. Runs on the GUI thread and
// blocks it while the editor is driven; every failure ends it silently.
void JumpToRegistryKey(const std::string& path, const std::string& valueName);

}  // namespace cleaner
