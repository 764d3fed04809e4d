#include "foundation/inifile.h"

#include <optional>

#include "foundation/platform.h"
#include "foundation/text.h"
#include "foundation/textfile.h"

namespace found {
namespace {

std::optional<std::string> SectionName(const std::string& line) {
  const std::string t = TrimLeft(line);
  if (t.empty() || t[0] != '[') return std::nullopt;
  const size_t close = t.find(']');
  return Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
}

struct KeyLine {
  std::string key;
  std::string value;
};

std::optional<KeyLine> ParseKeyLine(const std::string& line) {
  const std::string t = TrimLeft(line);
  if (t.empty() || t[0] == ';') return std::nullopt;
  const size_t eq = t.find('=');
  if (eq == std::string::npos) return std::nullopt;
  KeyLine k{Trim(t.substr(0, eq)), Trim(t.substr(eq + 1))};
  if (k.value.size() >= 2 && (k.value.front() == '"' || k.value.front() == '\'') &&
      k.value.back() == k.value.front()) {
    k.value = k.value.substr(1, k.value.size() - 2);
  }
  return k;
}

bool HasLineBreak(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

// A file that exists but cannot be read must not be replaced by a new one.
bool LoadForWrite(const std::string& fileName, std::vector<std::string>& lines) {
  if (LoadTextLines(fileName, lines)) return true;
  lines.clear();
  return !CurrentPlatform().files->FileExists(fileName);
}

// [begin, end) of the first section of that name; begin is its header line.
bool FindSection(const std::vector<std::string>& lines, const std::string& section, size_t& begin,
                 size_t& end) {
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::optional<std::string> name = SectionName(lines[i]);
    if (!name || !SameText(*name, section)) continue;
    begin = i;
    end = i + 1;
    while (end < lines.size() && !SectionName(lines[end])) ++end;
    return true;
  }
  return false;
}

}  // namespace

std::vector<std::string> TIniFile::ReadSections() const {
  std::vector<std::string> lines, names;
  if (!LoadTextLines(fileName_, lines)) return names;
  for (const std::string& line : lines) {
    const std::optional<std::string> name = SectionName(line);
    if (!name) continue;
    bool seen = false;
    for (const std::string& n : names) seen = seen || SameText(n, *name);
    if (!seen) names.push_back(*name);
  }
  return names;
}

std::vector<std::string> TIniFile::ReadSection(const std::string& section) const {
  std::vector<std::string> lines, keys;
  size_t begin = 0, end = 0;
  if (!LoadTextLines(fileName_, lines) || !FindSection(lines, section, begin, end)) return keys;
  for (size_t i = begin + 1; i < end; ++i) {
    if (const std::optional<KeyLine> k = ParseKeyLine(lines[i])) keys.push_back(k->key);
  }
  return keys;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& ident,
                                 const std::string& defaultValue) const {
  std::vector<std::string> lines;
  size_t begin = 0, end = 0;
  if (!LoadTextLines(fileName_, lines) || !FindSection(lines, section, begin, end)) return defaultValue;
  for (size_t i = begin + 1; i < end; ++i) {
    const std::optional<KeyLine> k = ParseKeyLine(lines[i]);
    if (k && SameText(k->key, ident)) return k->value;
  }
  return defaultValue;
}

bool TIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
  const std::string key = Trim(ident);
  const std::string sectionName = Trim(section);
  if (key.empty() || key.find('=') != std::string::npos || key[0] == '[' || key[0] == ';' ||
      sectionName.find(']') != std::string::npos || HasLineBreak(section) || HasLineBreak(ident) ||
      HasLineBreak(value)) {
    return false;
  }
  std::vector<std::string> lines;
  if (!LoadForWrite(fileName_, lines)) return false;
  size_t begin = 0, end = 0;
  if (!FindSection(lines, sectionName, begin, end)) {
    lines.push_back("[" + sectionName + "]");
    lines.push_back(key + "=" + value);
    return SaveTextLines(fileName_, lines);
  }
  for (size_t i = begin + 1; i < end; ++i) {
    const std::optional<KeyLine> k = ParseKeyLine(lines[i]);
    if (k && SameText(k->key, key)) {
      lines[i] = k->key + "=" + value;
      return SaveTextLines(fileName_, lines);
    }
  }
  // After the section's last line that is not blank, so the blank line that
  // separates it from the next section stays where it is.
  size_t at = end;
  while (at > begin + 1 && Trim(lines[at - 1]).empty()) --at;
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), key + "=" + value);
  return SaveTextLines(fileName_, lines);
}

bool TIniFile::EraseSection(const std::string& section) {
  std::vector<std::string> lines;
  if (!LoadForWrite(fileName_, lines)) return false;
  bool changed = false;
  size_t begin = 0, end = 0;
  while (FindSection(lines, Trim(section), begin, end)) {
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(begin), lines.begin() + static_cast<std::ptrdiff_t>(end));
    changed = true;
  }
  return !changed || SaveTextLines(fileName_, lines);
}

}  // namespace found
