// The tests that decide whether a registry text names a file or folder that
// exists. Each answers true when the entry is fine or cannot be judged, and
// false only when it names something missing.
#pragma once

#include <string>

namespace cleaner {

// Texts of any value that may hold a drive path somewhere inside.
bool ValueTargetExists(const std::string& text);
// Default values of "DefaultIcon" keys and of the verbs' "Command" keys.
bool CommandTargetValid(const std::string& text);
// COM registration texts; judged only with a drive and an .EXE, .DLL, .OCX or .ICO file.
bool ComServerExists(const std::string& text);
// A class id written as a key name: "{" first and "}" last.
bool IsBracedName(const std::string& text);

}  // namespace cleaner
