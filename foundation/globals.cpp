#include "foundation/globals.h"

#include <optional>

#include "foundation/functions.h"
#include "foundation/platform.h"

namespace found {

TGlobalVars GlobalVars;

namespace {

constexpr unsigned kPlatformWin9x = 1;

std::string EnvironmentText(SystemInfo& system, const char* name) {
  return system.Environment(name).value_or(std::string());
}

// "C:\A;;C:\B" gives three entries; an unset or empty Path gives none.
std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> entries;
  if (path.empty()) return entries;
  size_t start = 0;
  for (;;) {
    const size_t semicolon = path.find(';', start);
    entries.push_back(path.substr(start, semicolon == std::string::npos ? std::string::npos : semicolon - start));
    if (semicolon == std::string::npos) break;
    start = semicolon + 1;
  }
  return entries;
}

void FillIfEmpty(std::string& field, const std::string& value) {
  if (field.empty()) field = value;
}

}  // namespace

std::string OSVersionName(unsigned major, unsigned minor, unsigned platform) {
  if (major == 3) return "nt3.51";
  if (major == 4 && minor == 0) return platform == kPlatformWin9x ? "95" : "nt4.0";
  if (major == 4 && minor == 10) return "98";
  if (major == 4 && minor == 90) return "me";
  if (major == 5 && minor == 0) return "2000";
  if (major == 5 && minor == 1) return "xp";
  return "";
}

void InitGlobalVars() {
  SystemInfo& system = *CurrentPlatform().system;
  TGlobalVars g;

  const VersionInfo version = system.Version();
  g.OSVersion = OSVersionName(version.major, version.minor, version.platform);

  g.AppDataDir = EnvironmentText(system, "APPDATA");
  g.ProgramFilesDir = EnvironmentText(system, "ProgramFiles");
  g.CommonFilesDir = EnvironmentText(system, "CommonProgramFiles");
  g.WindowsDir = EnvironmentText(system, "windir");
  g.TempDir = EnvironmentText(system, "TEMP");
  g.AllUsersDir = EnvironmentText(system, "ALLUSERSPROFILE");
  g.UserProfileDir = EnvironmentText(system, "USERPROFILE");
  g.SearchPath = SplitPath(EnvironmentText(system, "Path"));
  if (const std::optional<std::string> systemDir = system.SystemDirectory()) g.SystemDir = *systemDir;

  // 98 and Me set few of these variables; their folders sit at fixed places.
  if (g.OSVersion == "98" || g.OSVersion == "me") {
    const std::string w = g.WindowsDir;
    const std::string drive = w.substr(0, 1);
    FillIfEmpty(g.ProgramFilesDir, drive + ":\\program files");
    FillIfEmpty(g.CommonFilesDir, drive + ":\\program files\\Common Files");
    FillIfEmpty(g.AllUsersDir, AddBackslash(w) + "All Users");
    FillIfEmpty(g.UserProfileDir, AddBackslash(w));
    FillIfEmpty(g.AppDataDir, AddBackslash(w) + "Application Data");
  }

  for (std::string* field : {&g.AppDataDir, &g.ProgramFilesDir, &g.CommonFilesDir, &g.WindowsDir, &g.TempDir,
                             &g.SystemDir, &g.AllUsersDir, &g.UserProfileDir}) {
    *field = AddBackslash(GetLongPath(*field));
  }
  g.SearchPath.push_back(g.WindowsDir);
  g.SearchPath.push_back(g.SystemDir);

  GlobalVars = std::move(g);
}

}  // namespace found
