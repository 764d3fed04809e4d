// InitGlobalVars over a sandbox system whose version and environment each test
// sets, and under Wine once over the real system.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/backends/sandbox/sandbox_system.h"
#include "foundation/globals.h"
#include "foundation/platform.h"
#include "foundation/text.h"

#ifdef _WIN32
#include "foundation/backends/win32/win32_files.h"
#include "foundation/backends/win32/win32_system.h"
#endif

namespace {

using found::GlobalVars;
using found::InitGlobalVars;
using found::TGlobalVars;
using found::VersionInfo;

constexpr unsigned kWin9x = 1;
constexpr unsigned kNt = 2;

class GlobalsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = GlobalVars;
    sandbox_.Install();
  }
  void TearDown() override { GlobalVars = saved_; }

  found::SandboxPlatform sandbox_;
  TGlobalVars saved_;
};

TEST_F(GlobalsTest, OSVersion_FollowsVersionTable) {
  struct Row {
    const char* name;
    VersionInfo version;
    const char* expected;
  };
  const Row rows[] = {
      {"NT 3.51", {3, 51, kNt}, "nt3.51"},   {"any 3.x", {3, 10, kNt}, "nt3.51"},
      {"95", {4, 0, kWin9x}, "95"},          {"NT 4.0", {4, 0, kNt}, "nt4.0"},
      {"98", {4, 10, kWin9x}, "98"},         {"Me", {4, 90, kWin9x}, "me"},
      {"2000", {5, 0, kNt}, "2000"},         {"XP", {5, 1, kNt}, "xp"},
      {"Server 2003", {5, 2, kNt}, ""},      {"7, as Wine reports", {6, 1, kNt}, ""},
      {"10", {10, 0, kNt}, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    sandbox_.system.SetVersion(row.version);
    InitGlobalVars();
    EXPECT_EQ(GlobalVars.OSVersion, row.expected);
  }
}

TEST_F(GlobalsTest, MissingFolders_FallBackOnlyOn98AndMe) {
  struct Row {
    const char* name;
    VersionInfo version;
    bool fallBack;
  };
  const Row rows[] = {
      {"98", {4, 10, kWin9x}, true},
      {"Me", {4, 90, kWin9x}, true},
      {"95", {4, 0, kWin9x}, false},
      {"2000", {5, 0, kNt}, false},
      {"XP", {5, 1, kNt}, false},
  };
  sandbox_.system.SetEnvironment("windir", "D:\\WIN98");
  sandbox_.system.SetEnvironment("APPDATA", "D:\\Data");  // set: never replaced
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    sandbox_.system.SetVersion(row.version);
    InitGlobalVars();
    EXPECT_EQ(GlobalVars.WindowsDir, "D:\\WIN98\\");
    EXPECT_EQ(GlobalVars.AppDataDir, "D:\\Data\\");
    EXPECT_EQ(GlobalVars.TempDir, "");  // no fall-back for this one anywhere
    EXPECT_EQ(GlobalVars.SystemDir, "");
    if (row.fallBack) {
      EXPECT_EQ(GlobalVars.ProgramFilesDir, "D:\\program files\\");
      EXPECT_EQ(GlobalVars.CommonFilesDir, "D:\\program files\\Common Files\\");
      EXPECT_EQ(GlobalVars.AllUsersDir, "D:\\WIN98\\All Users\\");
      EXPECT_EQ(GlobalVars.UserProfileDir, "D:\\WIN98\\");
    } else {
      EXPECT_EQ(GlobalVars.ProgramFilesDir, "");
      EXPECT_EQ(GlobalVars.CommonFilesDir, "");
      EXPECT_EQ(GlobalVars.AllUsersDir, "");
      EXPECT_EQ(GlobalVars.UserProfileDir, "");
    }
  }
  sandbox_.system.UnsetEnvironment("APPDATA");
  sandbox_.system.SetVersion({4, 90, kWin9x});
  InitGlobalVars();
  EXPECT_EQ(GlobalVars.AppDataDir, "D:\\WIN98\\Application Data\\");
}

TEST_F(GlobalsTest, Folders_TakeLongFormWithBackslash) {
  for (const char* folder : {"C:\\Documents and Settings", "C:\\Documents and Settings\\X",
                             "C:\\Documents and Settings\\X\\Local Settings",
                             "C:\\Documents and Settings\\X\\Local Settings\\Temp", "C:\\Program Files"}) {
    ASSERT_TRUE(sandbox_.files.CreateFolder(folder)) << folder;
  }
  sandbox_.system.SetEnvironment("TEMP", "C:\\DOCUME~1\\X\\LOCALS~1\\Temp");
  sandbox_.system.SetEnvironment("ProgramFiles", "C:\\PROGRA~1\\");
  sandbox_.system.SetEnvironment("USERPROFILE", "C:\\Documents and Settings\\X");
  sandbox_.system.SetEnvironment("ALLUSERSPROFILE", "C:\\Missing\\All Users");
  InitGlobalVars();
  EXPECT_EQ(GlobalVars.TempDir, "C:\\Documents and Settings\\X\\Local Settings\\Temp\\");
  EXPECT_EQ(GlobalVars.ProgramFilesDir, "C:\\Program Files\\");
  EXPECT_EQ(GlobalVars.UserProfileDir, "C:\\Documents and Settings\\X\\");
  EXPECT_EQ(GlobalVars.AllUsersDir, "C:\\Missing\\All Users\\");  // a missing folder stays as it is
}

TEST_F(GlobalsTest, SearchPath_KeepsPathEntriesThenWindowsAndSystem) {
  sandbox_.system.SetEnvironment("windir", "C:\\WINDOWS");
  sandbox_.system.SetSystemDirectory("C:\\WINDOWS\\system32");
  struct Row {
    const char* name;
    std::optional<std::string> path;
    std::vector<std::string> expected;
  };
  const Row rows[] = {
      {"empty entry kept, no backslash added",
       "C:\\A;;C:\\B",
       {"C:\\A", "", "C:\\B", "C:\\WINDOWS\\", "C:\\WINDOWS\\system32\\"}},
      {"trailing semicolon gives an empty entry", "C:\\A;", {"C:\\A", "", "C:\\WINDOWS\\", "C:\\WINDOWS\\system32\\"}},
      {"no Path", std::nullopt, {"C:\\WINDOWS\\", "C:\\WINDOWS\\system32\\"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    if (row.path) {
      sandbox_.system.SetEnvironment("PATH", *row.path);  // the name is not case-sensitive
    } else {
      sandbox_.system.UnsetEnvironment("Path");
    }
    InitGlobalVars();
    EXPECT_EQ(GlobalVars.SearchPath, row.expected);
    EXPECT_EQ(GlobalVars.SystemDir, "C:\\WINDOWS\\system32\\");
  }
}

TEST_F(GlobalsTest, InitAgain_ReplacesEverything) {
  sandbox_.system.SetEnvironment("windir", "C:\\WINDOWS");
  sandbox_.system.SetEnvironment("APPDATA", "C:\\Data");
  sandbox_.system.SetEnvironment("Path", "C:\\A");
  sandbox_.system.SetSystemDirectory("C:\\WINDOWS\\system32");
  InitGlobalVars();
  sandbox_.system.UnsetEnvironment("APPDATA");
  sandbox_.system.SetSystemDirectory(std::nullopt);
  InitGlobalVars();
  EXPECT_EQ(GlobalVars.AppDataDir, "");
  EXPECT_EQ(GlobalVars.SystemDir, "");
  EXPECT_EQ(GlobalVars.SearchPath, (std::vector<std::string>{"C:\\A", "C:\\WINDOWS\\", ""}));
}

#ifdef _WIN32
TEST(GlobalsOnWine, RealSystem_GivesItsFoldersAndNoVersionName) {
  const TGlobalVars saved = GlobalVars;
  const found::Platform previous = found::CurrentPlatform();
  found::Win32FileSystem files;
  found::Win32SystemInfo system;
  found::Platform p = previous;
  p.files = &files;
  p.system = &system;
  found::SetCurrentPlatform(p);
  InitGlobalVars();
  const TGlobalVars g = GlobalVars;  // taken before anything can return early
  found::SetCurrentPlatform(previous);
  GlobalVars = saved;

  EXPECT_EQ(g.OSVersion, "");  // Wine reports Windows 7
  EXPECT_TRUE(found::SameText(g.WindowsDir, "C:\\windows\\")) << g.WindowsDir;
  EXPECT_TRUE(found::SameText(g.SystemDir, "C:\\windows\\system32\\")) << g.SystemDir;
  for (const std::string* folder : {&g.AppDataDir, &g.ProgramFilesDir, &g.CommonFilesDir, &g.TempDir,
                                    &g.AllUsersDir, &g.UserProfileDir}) {
    ASSERT_FALSE(folder->empty());
    EXPECT_EQ(folder->back(), '\\') << *folder;
    EXPECT_TRUE(files.DirectoryExists(*folder)) << *folder;
  }
  ASSERT_GE(g.SearchPath.size(), 2u);
  EXPECT_EQ(g.SearchPath[g.SearchPath.size() - 2], g.WindowsDir);
  EXPECT_EQ(g.SearchPath.back(), g.SystemDir);
}
#endif

}  // namespace
