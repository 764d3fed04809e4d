// Text files as lists of lines, kept in the system code page with CR LF after
// every line (backups, index files, reports), read and written through the
// current platform.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace found {

// Lines end at CR, LF or CR LF; a last line without an end still counts.
std::vector<std::string> SplitLines(std::string_view text);

// False when the file cannot be read; `lines` is then left untouched.
[[nodiscard]] bool LoadTextLines(const std::string& path, std::vector<std::string>& lines);

// Replaces the file. False, with the file left as it was, when it cannot be
// written or a line has no form in the code page (nothing is written as "?").
[[nodiscard]] bool SaveTextLines(const std::string& path, const std::vector<std::string>& lines);

}  // namespace found
