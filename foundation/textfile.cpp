#include "foundation/textfile.h"

#include <optional>

#include "foundation/platform.h"

namespace found {

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '\r' || text[i] == '\n') {
      lines.emplace_back(text.substr(start, i - start));
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      start = ++i;
    } else {
      ++i;
    }
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

bool LoadTextLines(const std::string& path, std::vector<std::string>& lines) {
  const Platform& platform = CurrentPlatform();
  std::string bytes;
  if (!platform.files->ReadWholeFile(path, bytes)) return false;
  lines = SplitLines(platform.codePage->FromAnsi(bytes));
  return true;
}

bool SaveTextLines(const std::string& path, const std::vector<std::string>& lines) {
  const Platform& platform = CurrentPlatform();
  std::string bytes;
  for (const std::string& line : lines) {
    const std::optional<std::string> ansi = platform.codePage->ToAnsi(line);
    if (!ansi) return false;
    bytes += *ansi;
    bytes += "\r\n";
  }
  return platform.files->WriteFileReplace(path, bytes);
}

}  // namespace found
