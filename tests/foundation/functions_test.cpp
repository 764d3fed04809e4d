// Path and command-line routines over a sandbox laid out like an XP system.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/backends/sandbox/sandbox_system.h"
#include "foundation/datetime.h"
#include "foundation/functions.h"
#include "foundation/globals.h"
#include "foundation/platform.h"
#include "foundation/text.h"

#ifdef _WIN32
#include <windows.h>

#include "foundation/backends/win32/wide.h"
#include "foundation/backends/win32/win32_files.h"
#include "foundation/backends/win32/win32_shell.h"
#endif

namespace {

using found::GlobalVars;
using found::Tool;

class FunctionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = GlobalVars;
    sandbox_.Install();
    for (const char* folder : {
             "C:\\WINDOWS", "C:\\WINDOWS\\system32", "C:\\Program Files", "C:\\Program Files\\Common Files",
             "C:\\Program Files\\Foo", "C:\\Program Files\\Foo Bar", "C:\\Apps", "C:\\Documents and Settings",
             "C:\\Documents and Settings\\All Users", "C:\\Documents and Settings\\X",
             "C:\\Documents and Settings\\X\\Application Data", "C:\\Documents and Settings\\X\\Local Settings",
             "C:\\Documents and Settings\\X\\Local Settings\\Temp"}) {
      ASSERT_TRUE(sandbox_.files.CreateFolder(folder)) << folder;
    }
    for (const char* file : {"C:\\WINDOWS\\notepad.exe", "C:\\WINDOWS\\regedit.exe", "C:\\WINDOWS\\tool.exe",
                             "C:\\WINDOWS\\system32\\rundll32.exe", "C:\\WINDOWS\\system32\\shell32.dll",
                             "C:\\Program Files\\Foo\\uninst.exe", "C:\\Program Files\\Foo Bar\\setup.exe",
                             "C:\\Apps\\tool.exe", "C:\\Apps\\res.dll", "C:\\Documents and Settings\\X\\app.exe"}) {
      ASSERT_TRUE(sandbox_.files.WriteFileReplace(file, "MZ")) << file;
    }
    auto& env = sandbox_.system;
    env.SetVersion({5, 1, 2});
    env.SetEnvironment("windir", "C:\\WINDOWS");
    env.SetSystemDirectory("C:\\WINDOWS\\system32");
    env.SetEnvironment("ProgramFiles", "C:\\Program Files");
    env.SetEnvironment("CommonProgramFiles", "C:\\Program Files\\Common Files");
    env.SetEnvironment("APPDATA", "C:\\Documents and Settings\\X\\Application Data");
    env.SetEnvironment("TEMP", "C:\\DOCUME~1\\X\\LOCALS~1\\Temp");
    env.SetEnvironment("ALLUSERSPROFILE", "C:\\Documents and Settings\\All Users");
    env.SetEnvironment("USERPROFILE", "C:\\Documents and Settings\\X");
    env.SetEnvironment("Path", "C:\\Apps;C:\\WINDOWS\\system32;C:\\WINDOWS");
    found::InitGlobalVars();
  }
  void TearDown() override { GlobalVars = saved_; }

  found::SandboxPlatform sandbox_;
  found::TGlobalVars saved_;
};

TEST(AddBackslash, AddsOneOnlyWhereMissing) {
  struct Row {
    const char* name;
    const char* in;
    const char* out;
  };
  const Row rows[] = {
      {"empty stays empty", "", ""},
      {"root keeps its one", "C:\\", "C:\\"},
      {"folder gets one", "C:\\x", "C:\\x\\"},
      {"a slash is not a backslash", "C:/x/", "C:/x/\\"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(found::AddBackslash(row.in), row.out);
  }
}

TEST_F(FunctionsTest, ExpandPathTokens_ReplacesEachTablesTokensInOrder) {
  GlobalVars.WindowsDir = "C:\\Windows\\";
  GlobalVars.SystemDir = "C:\\Windows\\System32\\";
  GlobalVars.ProgramFilesDir = "C:\\Program Files\\";
  GlobalVars.CommonFilesDir = "C:\\Program Files\\Common Files\\";
  GlobalVars.TempDir = "C:\\Temp Dir\\";
  GlobalVars.AppDataDir = "C:\\Users\\X\\AppData\\";
  GlobalVars.UserProfileDir = "C:\\Users\\X\\";
  GlobalVars.AllUsersDir = "C:\\All Users\\";
  struct Row {
    const char* name;
    Tool tool;
    const char* in;
    const char* out;
  };
  const Row rows[] = {
      {"lower-case token", Tool::Cleaner, "%windir%\\notepad.exe", "C:\\WINDOWS\\NOTEPAD.EXE"},
      {"token without backslash stays", Tool::Cleaner, "%WINDIR%notepad.exe", "%WINDIR%NOTEPAD.EXE"},
      {"last row keeps the folder's case", Tool::Cleaner, "%tmp%\\a.log", "C:\\Temp Dir\\A.LOG"},
      {"earlier row is upper-cased by the next", Tool::Cleaner, "%Temp%\\a.log", "C:\\TEMP DIR\\A.LOG"},
      {"two tokens", Tool::Cleaner, "%ProgramFiles%\\a;%SystemDirectory%\\b",
       "C:\\PROGRAM FILES\\A;C:\\WINDOWS\\SYSTEM32\\B"},
      {"token repeated", Tool::Cleaner, "%SYSTEMROOT%\\a %SystemRoot%\\b", "C:\\WINDOWS\\A C:\\WINDOWS\\B"},
      {"other program's token stays", Tool::Cleaner, "%app%\\x", "%APP%\\X"},
      {"uninstall: program files", Tool::UninstallManager, "%app%\\Foo\\u.exe", "C:\\PROGRAM FILES\\FOO\\U.EXE"},
      {"uninstall: SYS and SYS32 apart", Tool::UninstallManager, "%SYS%\\a;%sys32%\\b",
       "C:\\WINDOWS\\SYSTEM32\\A;C:\\WINDOWS\\SYSTEM32\\B"},
      {"uninstall: last row keeps case", Tool::UninstallManager, "%allusrprofile%\\Desktop",
       "C:\\All Users\\DESKTOP"},
      {"uninstall: app data", Tool::UninstallManager, "%APPDATA%\\v", "C:\\USERS\\X\\APPDATA\\V"},
      {"uninstall: cleaner's token stays", Tool::UninstallManager, "%windir%\\x", "%WINDIR%\\X"},
      {"no token at all", Tool::UninstallManager, "plain", "PLAIN"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(found::ExpandPathTokens(row.in, row.tool), row.out);
  }
}

TEST_F(FunctionsTest, SplitCommandLine_FindsLeadingProgram) {
  struct Row {
    const char* name;
    const char* commandLine;
    const char* fullPath;  // "untouched" when nothing is found
    const char* matched;
  };
  const Row rows[] = {
      {"drive path as it is", "C:\\Program Files\\Foo\\uninst.exe", "C:\\Program Files\\Foo\\uninst.exe",
       "C:\\Program Files\\Foo\\uninst.exe"},
      {"drive path found with .exe, given without", "C:\\Program Files\\Foo\\uninst",
       "C:\\Program Files\\Foo\\uninst", "C:\\Program Files\\Foo\\uninst"},
      {"last word cut", "C:\\Program Files\\Foo Bar\\setup /uninstall", "C:\\Program Files\\Foo Bar\\setup",
       "C:\\Program Files\\Foo Bar\\setup"},
      {"several words cut", "C:\\Program Files\\Foo\\uninst.exe /S _?=C:\\Program Files\\Foo",
       "C:\\Program Files\\Foo\\uninst.exe", "C:\\Program Files\\Foo\\uninst.exe"},
      {"whole line naming a folder", "C:\\Program Files\\Foo", "C:\\Program Files\\Foo", "C:\\Program Files\\Foo"},
      {"after a cut only files count", "C:\\Program Files\\Foo /x", "untouched", ""},
      {"short names tested in long form", "C:\\DOCUME~1\\X\\app.exe -q", "C:\\DOCUME~1\\X\\app.exe",
       "C:\\DOCUME~1\\X\\app.exe"},
      {"missing drive path without blank", "C:\\nothing.exe", "untouched", ""},
      {"bare name in a search folder", "notepad.exe", "C:\\WINDOWS\\notepad.exe", "notepad.exe"},
      {"bare name gets .exe", "regedit", "C:\\WINDOWS\\regedit.exe", "regedit.exe"},
      {"bare name with arguments", "rundll32.exe shell32.dll,Control_RunDLL", "C:\\WINDOWS\\system32\\rundll32.exe",
       "rundll32.exe"},
      {"bare name cut and .exe added", "rundll32 shell32.dll,X", "C:\\WINDOWS\\system32\\rundll32.exe",
       "rundll32.exe"},
      {"first search folder wins", "tool", "C:\\Apps\\tool.exe", "tool.exe"},
      {"blanks around trimmed", "  notepad.exe  ", "C:\\WINDOWS\\notepad.exe", "notepad.exe"},
      {"unknown bare name", "nosuch.exe /x", "untouched", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string fullPath = "untouched";
    std::string matched = "untouched";
    found::SplitCommandLine(row.commandLine, fullPath, matched);
    EXPECT_EQ(fullPath, row.fullPath);
    EXPECT_EQ(matched, row.matched);
  }
}

TEST_F(FunctionsTest, CommandLineTargetExists_EachProgramCutsItsWay) {
  struct Row {
    const char* name;
    const char* commandLine;
    bool cleaner, uninstaller;
  };
  const Row rows[] = {
      {"quoted path with arguments", "\"C:\\Program Files\\Foo\\uninst.exe\" -x", true, true},
      {"quoted missing path", "\"C:\\Program Files\\Foo\\gone.exe\" C:\\Apps\\tool.exe", false, false},
      {"quoted path without .exe", "\"C:\\Program Files\\Foo\\uninst\"", true, true},
      {"quoted short path", "\"C:\\DOCUME~1\\X\\app\"", true, true},
      {"quoted bare name", "\"notepad\" x.txt", true, true},
      {"two quotation marks alone", "\"\"", true, true},
      {"empty", "", false, false},
      {"blanks only", "   ", false, false},
      {"rundll32 with comma", "rundll32.exe shell32.dll,Control_RunDLL", true, true},
      {"resource index after comma", "C:\\Apps\\res.dll,-154", true, false},
      {"switch cut at slash", "C:\\Program Files\\Foo\\uninst.exe/S", true, true},
      {"unquoted, cut at a later quote", "C:\\Apps\\tool.exe\"arg\"", true, true},
      {"missing program", "C:\\Nope\\x.exe /S", false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(found::CommandLineTargetExists(row.commandLine, Tool::Cleaner), row.cleaner);
    EXPECT_EQ(found::CommandLineTargetExists(row.commandLine, Tool::UninstallManager), row.uninstaller);
  }
}

TEST_F(FunctionsTest, GetLongPath_TakesLongFormOfAtMost260Characters) {
  // Four nested folders whose long path has exactly 260, and one more character.
  const std::string a(63, 'a'), b(63, 'b'), c(63, 'c'), d(65, 'd');
  const std::string fits = "C:\\" + a + "\\" + b + "\\" + c + "\\" + d;
  const std::string tooLong = fits + "e";
  ASSERT_EQ(fits.size(), 260u);
  for (const std::string& p : {"C:\\" + a, "C:\\" + a + "\\" + b, "C:\\" + a + "\\" + b + "\\" + c, fits, tooLong}) {
    ASSERT_TRUE(sandbox_.files.CreateFolder(p));
  }
  const std::string shortFits = *sandbox_.files.ShortPathName(fits);
  const std::string shortTooLong = *sandbox_.files.ShortPathName(tooLong);

  struct Row {
    const char* name;
    std::string in, out;
  };
  const Row rows[] = {
      {"8.3 path", "C:\\PROGRA~1\\FOOBAR~1\\setup.exe", "C:\\Program Files\\Foo Bar\\setup.exe"},
      {"missing path unchanged", "C:\\PROGRA~1\\NOSUCH~1", "C:\\PROGRA~1\\NOSUCH~1"},
      {"empty", "", ""},
      {"long form of 260 taken", shortFits, fits},
      {"long form of 261 not taken", shortTooLong, shortTooLong},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(found::GetLongPath(row.in), row.out);
  }
}

TEST_F(FunctionsTest, FileSizeOf_GivesLow32BitsOfFirstMatch) {
  ASSERT_TRUE(sandbox_.files.WriteFileReplace("C:\\Apps\\five.txt", "12345"));
  ASSERT_TRUE(sandbox_.files.WriteFileReplace("C:\\Apps\\big.bin", ""));
  std::error_code ec;
  std::filesystem::resize_file(*sandbox_.files.HostPath("C:\\Apps\\big.bin"), (4ull << 30) + 7, ec);
  ASSERT_FALSE(ec);
  struct Row {
    const char* name;
    const char* path;
    std::uint32_t size;
  };
  const Row rows[] = {
      {"file", "C:\\Apps\\five.txt", 5},
      {"pattern", "C:\\Apps\\*.txt", 5},
      {"missing", "C:\\Apps\\none.txt", 0},
      {"above 4 GiB", "C:\\Apps\\big.bin", 7},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(found::FileSizeOf(row.path), row.size);
  }
}

TEST(FileTimeToDateTime, CountsDaysFrom1899InUtc) {
  struct Row {
    const char* name;
    std::uint64_t fileTime;
    double dateTime;
  };
  const Row rows[] = {
      {"1601-01-01", 0, -109205.0},
      {"1899-12-30", 94353120000000000u, 0.0},
      {"1899-12-29 06:00 counts the time up", 94352472000000000u, -1.25},
      {"1970-01-01", 116444736000000000u, 25569.0},
      {"1970-01-01 12:00", 116445168000000000u, 25569.5},
      {"below a millisecond dropped", 116445168000009999u, 25569.5},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_DOUBLE_EQ(found::FileTimeToDateTime(row.fileTime), row.dateTime);
  }
}

TEST_F(FunctionsTest, FolderCreationTime_GivesFoldersTimeElseZero) {
  ASSERT_TRUE(sandbox_.files.CreateFolder("C:\\Apps\\Made"));
  // 2001-09-09 01:46:40 UTC
  ASSERT_TRUE(sandbox_.files.SetCreationTime("C:\\Apps\\Made", 126444736000000000u));
  ASSERT_TRUE(sandbox_.files.SetCreationTime("C:\\Apps\\tool.exe", 126444736000000000u));
  ASSERT_TRUE(sandbox_.files.SetCreationTime("C:\\Program Files\\Foo Bar", 126444736000000000u));
  const double expected = 25569.0 + 1000000000.0 / 86400.0;
  struct Row {
    const char* name;
    const char* folder;
    double dateTime;
  };
  const Row rows[] = {
      {"folder", "C:\\Apps\\Made", expected},
      {"folder with backslash", "C:\\Apps\\Made\\", expected},
      {"short name", "C:\\PROGRA~1\\FOOBAR~1", expected},
      {"file", "C:\\Apps\\tool.exe", 0.0},
      {"missing", "C:\\Apps\\Gone", 0.0},
      {"empty", "", 0.0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_DOUBLE_EQ(found::FolderCreationTime(row.folder), row.dateTime);
  }
}

TEST_F(FunctionsTest, FolderSize_SumsAllLevelsBeyond2GiB) {
  ASSERT_TRUE(sandbox_.files.CreateFolder("C:\\Sized"));
  ASSERT_TRUE(sandbox_.files.CreateFolder("C:\\Sized\\Sub"));
  ASSERT_TRUE(sandbox_.files.CreateFolder("C:\\Sized\\Sub\\Deeper"));
  ASSERT_TRUE(sandbox_.files.CreateFolder("C:\\Sized\\Empty"));
  ASSERT_TRUE(sandbox_.files.WriteFileReplace("C:\\Sized\\a.txt", "abc"));
  ASSERT_TRUE(sandbox_.files.WriteFileReplace("C:\\Sized\\Sub\\big.bin", ""));
  ASSERT_TRUE(sandbox_.files.WriteFileReplace("C:\\Sized\\Sub\\Deeper\\b.txt", "12345"));
  const std::int64_t big = 3ll << 30;
  std::error_code ec;
  std::filesystem::resize_file(*sandbox_.files.HostPath("C:\\Sized\\Sub\\big.bin"), big, ec);
  ASSERT_FALSE(ec);
  struct Row {
    const char* name;
    const char* folder;
    std::int64_t size;
  };
  const Row rows[] = {
      {"whole tree", "C:\\Sized", big + 8},
      {"with backslash", "C:\\Sized\\", big + 8},
      {"subfolder", "C:\\sized\\sub", big + 5},
      {"empty folder", "C:\\Sized\\Empty", 0},
      {"missing", "C:\\Nope", 0},
      {"file", "C:\\Sized\\a.txt", 0},
      {"empty argument", "", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(found::FolderSize(row.folder), row.size);
  }
}

TEST_F(FunctionsTest, DeletePath_RefusesProtectedFolders) {
  const char* const refused[] = {
      "C:\\",
      "C:",
      "c:\\windows",
      "C:\\WINDOWS\\",
      "C:\\Windows\\System32",
      "C:\\Program Files",
      "C:\\PROGRA~1",
      "C:\\Program Files\\Common Files\\",
      "C:\\Documents and Settings",
      "C:\\Documents and Settings\\X",
      "C:\\Documents and Settings\\X\\Local Settings",
      "C:\\DOCUME~1\\X\\LOCALS~1\\Temp\\",
      "C:\\Documents and Settings\\X\\Application Data",
      "C:\\Documents and Settings\\All Users",
      "  C:\\Windows  ",
      "C:/Windows",
      "C:\\Windows\\.",
      "C:\\Windows\\System32\\..",
      "C:\\Windows.",
      "C:\\Apps\\..\\Windows",
      "\\\\?\\C:\\Windows",
      "Windows",
      "C:Windows",
  };
  for (const char* path : refused) {
    SCOPED_TRACE(path);
    EXPECT_TRUE(found::IsProtectedFolder(path));
    EXPECT_FALSE(found::DeletePath(path, false));
    EXPECT_FALSE(found::DeletePath(path, true));
  }
  for (const char* folder : {"C:\\WINDOWS\\system32", "C:\\Program Files\\Common Files",
                             "C:\\Documents and Settings\\X\\Local Settings\\Temp",
                             "C:\\Documents and Settings\\X\\Application Data",
                             "C:\\Documents and Settings\\All Users"}) {
    EXPECT_TRUE(sandbox_.files.DirectoryExists(folder)) << folder;
  }
  EXPECT_TRUE(sandbox_.shell.RecycledNames().empty());
  EXPECT_FALSE(found::DeletePath("", false));
}

TEST_F(FunctionsTest, DeletePath_DeletesOrdinaryItems) {
  ASSERT_TRUE(sandbox_.files.CreateFolder("C:\\Program Files\\Foo\\Data"));
  ASSERT_TRUE(sandbox_.files.WriteFileReplace("C:\\Program Files\\Foo\\Data\\x.dat", "x"));
  ASSERT_TRUE(sandbox_.files.CreateFolder("C:\\Documents and Settings\\X\\Application Data\\Vendor"));
  EXPECT_FALSE(found::IsProtectedFolder("C:\\Program Files\\Foo"));

  EXPECT_TRUE(found::DeletePath("  C:\\Program Files\\Foo\\  ", false));
  EXPECT_FALSE(sandbox_.files.DirectoryExists("C:\\Program Files\\Foo"));
  EXPECT_TRUE(sandbox_.files.DirectoryExists("C:\\Program Files"));
  EXPECT_TRUE(found::DeletePath("C:\\WINDOWS\\system32\\shell32.dll", false));
  EXPECT_FALSE(sandbox_.files.FileExists("C:\\WINDOWS\\system32\\shell32.dll"));

  EXPECT_TRUE(found::DeletePath("C:\\Documents and Settings\\X\\Application Data\\Vendor", true));
  EXPECT_FALSE(sandbox_.files.DirectoryExists("C:\\Documents and Settings\\X\\Application Data\\Vendor"));
  EXPECT_EQ(sandbox_.shell.RecycledNames(), std::vector<std::string>{"Vendor"});
}

TEST_F(FunctionsTest, DeletePath_ReportsWhatStays) {
  ASSERT_TRUE(sandbox_.files.CreateFolder("C:\\Apps\\Busy"));
  ASSERT_TRUE(sandbox_.files.WriteFileReplace("C:\\Apps\\Busy\\in use.dll", "x"));
  ASSERT_TRUE(sandbox_.files.WriteFileReplace("C:\\Apps\\Busy\\free.txt", "x"));
  ASSERT_TRUE(sandbox_.files.Lock("C:\\Apps\\Busy\\in use.dll"));
  EXPECT_FALSE(found::DeletePath("C:\\Apps\\Busy", true));
  EXPECT_TRUE(sandbox_.files.FileExists("C:\\Apps\\Busy\\free.txt"));
  EXPECT_FALSE(found::DeletePath("C:\\Apps\\Busy", false));
  EXPECT_TRUE(sandbox_.files.FileExists("C:\\Apps\\Busy\\in use.dll"));
  EXPECT_FALSE(found::DeletePath("C:\\Apps\\Missing", false));
}

TEST_F(FunctionsTest, SystemIconIndex_GivesMinusOneWhenShellCannotTell) {
  sandbox_.shell.SetIconIndex(".exe", 3);
  sandbox_.shell.SetIconIndex(".txt", 0);
  EXPECT_EQ(found::SystemIconIndex("C:\\Apps\\tool.exe"), 3);
  EXPECT_EQ(found::SystemIconIndex("C:\\Apps\\readme.txt"), 0);
  EXPECT_EQ(found::SystemIconIndex("C:\\Apps\\unknown.xyz"), -1);
}

#ifdef _WIN32
// Deleting to the recycle bin through the real shell: under Wine the bin is
// the host's trash below the private HOME the test session sets.
TEST(DeletePathOnWine, ToRecycleBin_MovesFolderIntoTrash) {
  found::Win32FileSystem files;
  found::Win32Shell shell;
  struct Restore {
    found::Platform platform = found::CurrentPlatform();
    found::TGlobalVars globals = GlobalVars;
    ~Restore() {
      found::SetCurrentPlatform(platform);
      GlobalVars = globals;
    }
  } restore;
  found::Platform p = restore.platform;
  p.files = &files;
  p.shell = &shell;
  found::SetCurrentPlatform(p);
  GlobalVars = found::TGlobalVars{};
  GlobalVars.WindowsDir = "C:\\windows\\";

  wchar_t dataHome[MAX_PATH] = {};
  std::string trash;
  if (::GetEnvironmentVariableW(L"XDG_DATA_HOME", dataHome, MAX_PATH) != 0) {
    trash = "Z:" + found::Narrow(dataHome) + "/Trash/files/";
  } else if (::GetEnvironmentVariableW(L"HOME", dataHome, MAX_PATH) != 0) {
    trash = "Z:" + found::Narrow(dataHome) + "/.local/share/Trash/files/";
  }
  for (char& c : trash) {
    if (c == '/') c = '\\';
  }
  ASSERT_FALSE(trash.empty()) << "the test session's trash cannot be found";

  wchar_t temp[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH, temp);
  const std::string name = "cobalt-recycled-" + std::to_string(::GetCurrentProcessId());
  const std::string folder = found::Narrow(temp) + name;
  ASSERT_TRUE(files.CreateFolder(folder));
  ASSERT_TRUE(files.WriteFileReplace(folder + "\\inside.txt", "x"));

  EXPECT_TRUE(found::DeletePath(folder + "\\", true));
  EXPECT_FALSE(files.DirectoryExists(folder));
  EXPECT_TRUE(files.FileExists(trash + name + "\\inside.txt")) << trash;
}
#endif

}  // namespace
