// Facts of the running system found once at start-up: the Windows version and
// the standard folders, in the one record every part of a program reads.
#pragma once

#include <string>
#include <vector>

namespace found {

struct TGlobalVars {
  // Each folder is empty or a long path ending with "\".
  std::string AppDataDir;
  std::string ProgramFilesDir;
  std::string CommonFilesDir;
  std::string WindowsDir;
  std::string TempDir;
  std::string SystemDir;
  std::string AllUsersDir;
  std::string UserProfileDir;
  std::string OSVersion;  // "nt3.51", "95", "nt4.0", "98", "me", "2000", "xp" or empty
  // The PATH entries as they are (empty ones kept), then WindowsDir and SystemDir.
  std::vector<std::string> SearchPath;
};

// Written by InitGlobalVars before any window or worker exists, read freely after.
extern TGlobalVars GlobalVars;

// Fills GlobalVars from CurrentPlatform().system, replacing whatever it held.
void InitGlobalVars();

// The OSVersion name of a version; empty for any version the programs do not name.
std::string OSVersionName(unsigned major, unsigned minor, unsigned platform);

}  // namespace found
