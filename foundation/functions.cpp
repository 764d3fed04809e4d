#include "foundation/functions.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "foundation/globals.h"
#include "foundation/platform.h"
#include "foundation/text.h"

namespace found {
namespace {

struct TokenRow {
  const char* token;
  std::string TGlobalVars::*folder;
};

constexpr TokenRow kCleanerTokens[] = {
    {"%SYSTEMROOT%\\", &TGlobalVars::WindowsDir}, {"%PROGRAMFILES%\\", &TGlobalVars::ProgramFilesDir},
    {"%SYSTEMDIRECTORY%\\", &TGlobalVars::SystemDir}, {"%WINDIR%\\", &TGlobalVars::WindowsDir},
    {"%TEMP%\\", &TGlobalVars::TempDir}, {"%TMP%\\", &TGlobalVars::TempDir},
};

constexpr TokenRow kUninstallTokens[] = {
    {"%APP%\\", &TGlobalVars::ProgramFilesDir}, {"%COM%\\", &TGlobalVars::CommonFilesDir},
    {"%WIN%\\", &TGlobalVars::WindowsDir},      {"%SYS%\\", &TGlobalVars::SystemDir},
    {"%SYS32%\\", &TGlobalVars::SystemDir},     {"%APPDATA%\\", &TGlobalVars::AppDataDir},
    {"%USRPROFILE%\\", &TGlobalVars::UserProfileDir}, {"%ALLUSRPROFILE%\\", &TGlobalVars::AllUsersDir},
};

FileSystem& Files() { return *CurrentPlatform().files; }

bool Exists(const std::string& path) { return Files().FileExists(path) || Files().DirectoryExists(path); }

std::string LongIfTilde(const std::string& path) {
  return path.find('~') != std::string::npos ? GetLongPath(path) : path;
}

bool HasDrivePath(const std::string& s) { return s.size() >= 3 && s[1] == ':' && s[2] == '\\'; }

// Cuts the text before the last blank; false when there is none.
bool CutLastWord(std::string& s) {
  const size_t blank = s.rfind(' ');
  if (blank == std::string::npos) return false;
  s.erase(blank);
  return true;
}

void CutAt(std::string& s, char c) {
  const size_t at = s.find(c);
  if (at != std::string::npos) s = Trim(s.substr(0, at));
}

struct PathParts {
  std::vector<std::string> parts;  // the root ("C:" or "\\server\share") first
};

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// An absolute path taken apart as Windows resolves it: "." and ".." applied,
// trailing dots and blanks of a name dropped ("C:\Windows." is C:\Windows).
std::optional<PathParts> SplitAbsolute(std::string s) {
  for (char& c : s) {
    if (c == '/') c = '\\';
  }
  if (s.rfind("\\\\?\\UNC\\", 0) == 0) s = "\\\\" + s.substr(8);
  else if (s.rfind("\\\\?\\", 0) == 0 || s.rfind("\\\\.\\", 0) == 0) s = s.substr(4);

  PathParts p;
  size_t pos = 0;
  size_t rootCount = 1;
  if (s.size() >= 2 && s[1] == ':' && IsAsciiLetter(s[0])) {
    if (s.size() > 2 && s[2] != '\\') return std::nullopt;  // relative to the drive's current folder
    p.parts.push_back(UpperCase(s.substr(0, 2)));
    pos = 2;
  } else if (s.rfind("\\\\", 0) == 0) {
    pos = 2;
    rootCount = 2;
  } else {
    return std::nullopt;
  }
  while (pos < s.size()) {
    const size_t next = std::min(s.find('\\', pos), s.size());
    std::string name = s.substr(pos, next - pos);
    pos = next + 1;
    if (name == "..") {
      if (p.parts.size() > rootCount) p.parts.pop_back();
      continue;
    }
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
    if (!name.empty()) p.parts.push_back(name);
  }
  if (rootCount == 2) {
    if (p.parts.size() < 2) return std::nullopt;
    p.parts[0] = "\\\\" + p.parts[0] + "\\" + p.parts[1];
    p.parts.erase(p.parts.begin() + 1);
  }
  return p;
}

}  // namespace

std::string GetLongPath(const std::string& path) {
  const std::optional<std::string> longPath = Files().LongPathName(path);
  if (longPath && !longPath->empty() && longPath->size() <= 260) return *longPath;
  return path;
}

std::string AddBackslash(const std::string& path) {
  if (path.empty() || path.back() == '\\') return path;
  return path + "\\";
}

std::string ExpandPathTokens(const std::string& text, Tool tool) {
  const auto expand = [&](const auto& table) {
    std::string s = text;
    for (const TokenRow& row : table) {
      s = UpperCase(s);
      const std::string token = row.token;
      const std::string& folder = GlobalVars.*(row.folder);
      for (size_t at = s.find(token); at != std::string::npos; at = s.find(token, at + folder.size())) {
        s.replace(at, token.size(), folder);
      }
    }
    return s;
  };
  return tool == Tool::Cleaner ? expand(kCleanerTokens) : expand(kUninstallTokens);
}

void SplitCommandLine(const std::string& commandLine, std::string& fullPath, std::string& matched) {
  const std::string t = Trim(commandLine);
  if (t.size() >= 3 && t[1] == ':' && t[2] == '\\') {
    if (Exists(LongIfTilde(t)) || Exists(LongIfTilde(t + ".exe"))) {
      fullPath = matched = t;
      return;
    }
    std::string cut = t;
    while (CutLastWord(cut)) {
      if (Files().FileExists(LongIfTilde(cut)) || Files().FileExists(LongIfTilde(cut + ".exe"))) {
        fullPath = matched = cut;
        return;
      }
    }
    matched.clear();
    return;
  }
  for (const std::string& folder : GlobalVars.SearchPath) {
    const std::string p = AddBackslash(folder);
    if (Exists(p + t)) {
      fullPath = p + t;
      matched = t;
      return;
    }
    if (Exists(p + t + ".exe")) {
      fullPath = p + t + ".exe";
      matched = t + ".exe";
      return;
    }
    std::string w = t;
    while (CutLastWord(w)) {
      if (Files().FileExists(p + w)) {
        fullPath = p + w;
        matched = w;
        return;
      }
      if (Files().FileExists(p + w + ".exe")) {
        fullPath = p + w + ".exe";
        matched = w + ".exe";
        return;
      }
    }
  }
  matched.clear();
}

bool CommandLineTargetExists(const std::string& commandLine, Tool tool) {
  std::string t = Trim(commandLine);
  if (!t.empty() && t[0] == '"') {
    t.erase(0, 1);
    const size_t quote = t.find('"');
    if (quote != std::string::npos) t.erase(quote);
    if (!HasDrivePath(t)) {
      // "" names the search folder itself, so a lone pair of quotes is found.
      for (const std::string& folder : GlobalVars.SearchPath) {
        const std::string p = AddBackslash(folder);
        if (Exists(p + t) || Exists(p + t + ".exe")) return true;
      }
      return false;
    }
    return Exists(LongIfTilde(t)) || Exists(LongIfTilde(t + ".exe"));
  }
  CutAt(t, '"');
  CutAt(t, '/');
  if (tool == Tool::Cleaner) CutAt(t, ',');
  std::string fullPath, matched;
  SplitCommandLine(Trim(t), fullPath, matched);
  return !matched.empty();
}

std::uint32_t FileSizeOf(const std::string& path) {
  std::vector<DirEntry> entries;
  if (!Files().FindFiles(path, entries) || entries.empty()) return 0;
  return static_cast<std::uint32_t>(entries.front().size);
}

bool ShowFileProperties(const std::string& path) { return CurrentPlatform().shell->ShowProperties(path); }

TDateTime FolderCreationTime(const std::string& folder) {
  if (folder.empty() || !Files().DirectoryExists(GetLongPath(folder))) return 0;
  std::string name = folder;
  if (name.back() == '\\') name.pop_back();
  std::vector<DirEntry> entries;
  if (!Files().FindFiles(name, entries) || entries.empty()) return 0;
  return FileTimeToDateTime(entries.front().creationTime);
}

std::int64_t FolderSize(const std::string& folder) {
  if (folder.empty()) return 0;
  const std::string p = AddBackslash(folder);
  std::vector<DirEntry> entries;
  if (!Files().FindFiles(p + "*", entries)) return 0;
  std::int64_t total = 0;
  for (const DirEntry& e : entries) {
    if (e.name == "." || e.name == "..") continue;
    total += (e.attributes & kAttrDirectory) != 0 ? FolderSize(p + e.name) : static_cast<std::int64_t>(e.size);
  }
  return total;
}

bool IsProtectedFolder(const std::string& path) {
  const std::optional<PathParts> candidate = SplitAbsolute(GetLongPath(Trim(path)));
  if (!candidate || candidate->parts.size() <= 1) return true;
  for (const std::string* folder : {&GlobalVars.AppDataDir, &GlobalVars.ProgramFilesDir, &GlobalVars.CommonFilesDir,
                                    &GlobalVars.WindowsDir, &GlobalVars.TempDir, &GlobalVars.SystemDir,
                                    &GlobalVars.AllUsersDir, &GlobalVars.UserProfileDir}) {
    const std::optional<PathParts> guarded = SplitAbsolute(*folder);
    if (!guarded || candidate->parts.size() > guarded->parts.size()) continue;
    bool isParentOrSame = true;
    for (size_t i = 0; i < candidate->parts.size() && isParentOrSame; ++i) {
      isParentOrSame = SameText(candidate->parts[i], guarded->parts[i]);
    }
    if (isParentOrSame) return true;
  }
  return false;
}

bool DeletePath(const std::string& path, bool toRecycleBin) {
  std::string p = Trim(path);
  if (p.empty() || IsProtectedFolder(p)) return false;
  if (p.back() == '\\') p.pop_back();
  return CurrentPlatform().shell->DeleteItem(p, toRecycleBin);
}

int RunAndWait(const std::string& commandLine, int showCommand) {
  const std::optional<std::uint32_t> exitCode = CurrentPlatform().processes->RunAndWait(commandLine, showCommand);
  return exitCode ? static_cast<int>(*exitCode) : -1;
}

int SystemIconIndex(const std::string& path) {
  return CurrentPlatform().shell->SystemIconIndex(path).value_or(-1);
}

}  // namespace found
