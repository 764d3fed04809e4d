#include <algorithm>
#include <functional>
#include <iterator>

#include "foundation/globals.h"
#include "scan_fixture.h"

namespace scantest {
namespace {

using cleaner::kKindDeleteKey;
using cleaner::kKindDeleteValue;
using found::kHkeyCurrentUser;
using found::kHkeyLocalMachine;

const std::string kRun = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::string kShared = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
const std::string kAppPaths = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
const std::string kUninstall = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const std::string kFontsNt = "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\fonts";
const std::string kFonts9x = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\fonts";
const std::string kHelp = "\\SOFTWARE\\Microsoft\\Windows\\Help";
const std::string kHtmlHelp = "\\SOFTWARE\\Microsoft\\Windows\\Html Help";
const std::string kServices = "\\SYSTEM\\CurrentControlSet\\Services";
const std::string kVxd = "\\SYSTEM\\CurrentControlSet\\Services\\VxD";
const std::string kVdd = "\\SYSTEM\\CurrentControlSet\\Control\\VirtualDeviceDrivers";

const found::RegValue kDword1{found::kRegDword, {1, 0, 0, 0}};
const found::RegValue kDword0{found::kRegDword, {0, 0, 0, 0}};
found::RegValue Dword(std::uint8_t n) { return {found::kRegDword, {n, 0, 0, 0}}; }
found::RegValue Expandable(const std::string& text) { return {found::kRegExpandSz, found::EncodeRegText(text)}; }

std::string Padded(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

class ProgramLists : public ScanFixture {
 protected:
  // Runs the scan and stops it once the first problem row has been added.
  void RunAndStopAtFirstRow(const std::vector<int>& ids) {
    RunScan(ids, [&](cleaner::TScan& scan) {
      if (!scan.Terminated() && host_.problems.TotalCount() >= 2) scan.Terminate();
    });
  }
};

TEST_F(ProgramLists, StartupProgramsChecksTheRunKeyOfTheUserThenOfTheMachine) {
  MakeFile("C:\\Program Files\\App\\app.exe");
  MakeFile("C:\\WINDOWS\\system32\\ctfmon.exe");
  SetText(kHkeyLocalMachine, kRun, "Lost", "\"C:\\Old\\tool.exe\" /s");
  SetText(kHkeyLocalMachine, kRun, "Quoted", "\"C:\\Program Files\\App\\app.exe\" /tray");
  SetText(kHkeyCurrentUser, kRun, "Args", "C:\\Program Files\\App\\app.exe -min");
  SetText(kHkeyCurrentUser, kRun, "Gone", "C:\\Gone\\x.exe -a");
  SetText(kHkeyCurrentUser, kRun, "Bare", "ctfmon.exe");
  SetText(kHkeyCurrentUser, kRun, "Missing", "nosuch.exe");
  RunScan({8});
  EXPECT_EQ(Rows("Startup programs"),
            (std::vector<Row>{
                {kHkeyCurrentUser, kRun, "Gone", "C:\\Gone\\x.exe -a",
                 "The entry Gone points to the missing program C:\\Gone\\x.exe -a", kKindDeleteValue},
                {kHkeyCurrentUser, kRun, "Missing", "nosuch.exe",
                 "The entry Missing points to the missing program nosuch.exe", kKindDeleteValue},
                {kHkeyLocalMachine, kRun, "Lost", "\"C:\\Old\\tool.exe\" /s",
                 "The entry Lost points to the missing program \"C:\\Old\\tool.exe\" /s", kKindDeleteValue},
            }));
  const auto& header = host_.problems.Roots().front()->data;
  EXPECT_EQ(header.RootKey, 0u);
  EXPECT_EQ(header.ImageIndex, 10);
}

TEST_F(ProgramLists, StartupProgramsStopsWithinTheUserRunKeyAndSkipsTheMachine) {
  for (int i = 0; i < 30; ++i) {
    SetText(kHkeyCurrentUser, kRun, "U" + Padded(i), "C:\\Gone\\u.exe");
    SetText(kHkeyLocalMachine, kRun, "M" + Padded(i), "C:\\Gone\\m.exe");
  }
  RunAndStopAtFirstRow({8, 18});
  const auto rows = Rows("Startup programs");
  ASSERT_FALSE(rows.empty());
  EXPECT_LE(rows.size(), 2u) << "at most the item in hand is still added";
  for (const auto& row : rows) EXPECT_EQ(row.root, kHkeyCurrentUser) << row;
  EXPECT_EQ(host_.problems.Roots().front()->data.ProblemCount, static_cast<int>(rows.size()));
  EXPECT_EQ(Texts(host_.calls, "section"), std::vector<std::string>{"Scaning Startup Programs..."});
}

TEST_F(ProgramLists, SharedProgramsReportsMissingAndUnusedFiles) {
  MakeFile("C:\\Lib\\used.dll");
  MakeFile("C:\\Lib\\unused.dll");
  MakeFile("C:\\Lib\\textcount.dll");
  SetValue(kHkeyLocalMachine, kShared, "C:\\Lib\\used.dll", Dword(3));
  SetValue(kHkeyLocalMachine, kShared, "C:\\Lib\\unused.dll", kDword0);
  SetValue(kHkeyLocalMachine, kShared, "C:\\Lib\\gone.dll", Dword(5));
  SetValue(kHkeyLocalMachine, kShared, "C:\\Lib\\gone0.dll", kDword0);
  SetText(kHkeyLocalMachine, kShared, "C:\\Lib\\textcount.dll", "0");  // counts as one user
  SetText(kHkeyLocalMachine, kShared, "C:\\Lib\\gonetext.dll", "7");
  SetValue(kHkeyLocalMachine, kShared, "mscoree.dll", kDword0);  // no drive: only the count is judged
  SetValue(kHkeyLocalMachine, kShared, "?:\\Any\\x.dll", Dword(2));
  RunScan({9});
  EXPECT_EQ(Rows("Shared Programs"),
            (std::vector<Row>{
                {kHkeyLocalMachine, kShared, "C:\\Lib\\unused.dll", "0",
                 "The shared file C:\\Lib\\unused.dll is not in use anymore.", kKindDeleteValue},
                {kHkeyLocalMachine, kShared, "C:\\Lib\\gone.dll", "5", "Missing shared file C:\\Lib\\gone.dll",
                 kKindDeleteValue},
                {kHkeyLocalMachine, kShared, "C:\\Lib\\gone0.dll", "0", "Missing shared file C:\\Lib\\gone0.dll",
                 kKindDeleteValue},
                {kHkeyLocalMachine, kShared, "C:\\Lib\\gonetext.dll", "1", "Missing shared file C:\\Lib\\gonetext.dll",
                 kKindDeleteValue},
                {kHkeyLocalMachine, kShared, "mscoree.dll", "0", "The shared file mscoree.dll is not in use anymore.",
                 kKindDeleteValue},
            }));
}

TEST_F(ProgramLists, SoftwareLocationsJudgesTheProgramPathOfEachEntry) {
  MakeFile("C:\\Tools\\app2.exe");
  MakeFile("C:\\Program Files\\Ok\\ok.exe");
  SetText(kHkeyLocalMachine, kAppPaths + "\\app.exe", "", "app.exe");
  SetText(kHkeyLocalMachine, kAppPaths + "\\app.exe", "Path", "C:\\Gone");
  SetText(kHkeyLocalMachine, kAppPaths + "\\APP2.EXE", "", "app2.exe");
  SetText(kHkeyLocalMachine, kAppPaths + "\\APP2.EXE", "Path", "C:\\Tools\\");
  SetText(kHkeyLocalMachine, kAppPaths + "\\bare.exe", "", "bare.exe");
  SetText(kHkeyLocalMachine, kAppPaths + "\\denied.exe", "", "C:\\Gone\\denied.exe");
  registry_.DenyFullAccess(kHkeyLocalMachine, kAppPaths.substr(1) + "\\denied.exe");
  MakeKey(kHkeyLocalMachine, kAppPaths + "\\empty.exe");
  // "Path" counts only for an entry that holds the bare name of its own key.
  SetText(kHkeyLocalMachine, kAppPaths + "\\named.exe", "", "tool.exe");
  SetText(kHkeyLocalMachine, kAppPaths + "\\named.exe", "Path", "C:\\Gone");
  SetText(kHkeyLocalMachine, kAppPaths + "\\ok.exe", "", "\"C:\\Program Files\\Ok\\ok.exe\"");
  SetText(kHkeyLocalMachine, kAppPaths + "\\other.exe", "", "C:\\Missing\\other.exe");
  RunScan({10});
  EXPECT_EQ(Rows("Software Locations"),
            (std::vector<Row>{
                {kHkeyLocalMachine, kAppPaths + "\\app.exe", "", "",
                 "The indicated file C:\\Gone\\app.exe could not be found.", kKindDeleteKey},
                {kHkeyLocalMachine, kAppPaths + "\\other.exe", "", "",
                 "The indicated file C:\\Missing\\other.exe could not be found.", kKindDeleteKey},
            }));
}

TEST_F(ProgramLists, AddRemoveProgramsChecksUninstallCommandsAndEmptyEntries) {
  MakeFile("C:\\Program Files\\App\\unins000.exe");
  SetText(kHkeyLocalMachine, kUninstall + "\\Broken", "UninstallString", "C:\\Gone\\uninst.exe /x");
  SetText(kHkeyLocalMachine, kUninstall + "\\Denied", "UninstallString", "C:\\Gone\\uninst.exe");
  registry_.DenyFullAccess(kHkeyLocalMachine, kUninstall.substr(1) + "\\Denied");
  SetText(kHkeyLocalMachine, kUninstall + "\\DisplayOnly", "DisplayName", "Something");
  SetText(kHkeyLocalMachine, kUninstall + "\\Fine", "UninstallString",
          "\"C:\\Program Files\\App\\unins000.exe\" /SILENT");
  MakeKey(kHkeyLocalMachine, kUninstall + "\\NoData");
  SetValue(kHkeyLocalMachine, kUninstall + "\\NoUninst", "NoUninstallString", kDword1);
  SetText(kHkeyLocalMachine, kUninstall + "\\QuietOnly", "QuietUninstallString", "C:\\Gone\\q.exe /quiet");
  SetText(kHkeyLocalMachine, kUninstall + "\\QuietUnused", "UninstallString",
          "C:\\Program Files\\App\\unins000.exe");
  SetText(kHkeyLocalMachine, kUninstall + "\\QuietUnused", "QuietUninstallString", "C:\\Gone\\q.exe");
  SetValue(kHkeyLocalMachine, kUninstall + "\\SysComp", "SystemComponent", kDword1);
  MakeKey(kHkeyLocalMachine, kUninstall + "\\WithSub\\Child");
  RunScan({11});
  EXPECT_EQ(Rows("Add/Remove Programs"),
            (std::vector<Row>{
                {kHkeyLocalMachine, kUninstall + "\\Broken", "", "",
                 "The required uninstall program C:\\Gone\\uninst.exe /x could not be found", kKindDeleteKey},
                {kHkeyLocalMachine, kUninstall + "\\DisplayOnly", "", "",
                 "This uninstall entry doesn't contain any data needed by windows to remove the program or component.",
                 kKindDeleteKey},
                {kHkeyLocalMachine, kUninstall + "\\NoData", "", "",
                 "This uninstall entry doesn't contain any data needed by windows to remove the program or component.",
                 kKindDeleteKey},
                {kHkeyLocalMachine, kUninstall + "\\QuietOnly", "", "",
                 "The required uninstall program C:\\Gone\\q.exe /quiet could not be found", kKindDeleteKey},
            }));
  EXPECT_EQ(host_.problems.Roots().front()->data.RootKey, kHkeyLocalMachine);
}

TEST_F(ProgramLists, AddRemoveProgramsAlwaysShowsOverallPosition64) {
  struct Case {
    const char* name;
    std::vector<int> ticked;
    std::vector<int> overall;
  };
  const std::vector<Case> cases = {
      {"only section", {11}, {100, 64}},
      {"first of three", {11, 12, 17}, {33, 64, 67, 100}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    host_.calls.clear();
    RunScan(c.ticked);
    EXPECT_EQ(Values(host_.calls, "overall"), c.overall);
    const auto sections = Texts(host_.calls, "section");
    ASSERT_GE(sections.size(), 2u);
    EXPECT_EQ(sections[0], "Scaning Add/Remove Programs...");
    EXPECT_EQ(sections[1], "Scaning Add/Remove Programs...");
  }
}

TEST_F(ProgramLists, WindowsFontsLooksInPlaceAndInTheFontsFolder) {
  MakeFile("C:\\WINDOWS\\Fonts\\arial.ttf");
  MakeFile("C:\\Other\\full.ttf");
  SetText(kHkeyLocalMachine, kFontsNt, "Arial (TrueType)", "arial.ttf");
  SetText(kHkeyLocalMachine, kFontsNt, "x", "x.ttf");
  SetText(kHkeyLocalMachine, kFontsNt, "Full", "C:\\Other\\full.ttf");
  SetText(kHkeyLocalMachine, kFontsNt, "FullGone", "D:\\Fonts\\gone.ttf");
  RunScan({12});
  EXPECT_EQ(Rows("Windows Fonts"),
            (std::vector<Row>{
                {kHkeyLocalMachine, kFontsNt, "x", "x.ttf",
                 "The file x.ttf that is associated with the entry x doesn't exists.", kKindDeleteValue},
                {kHkeyLocalMachine, kFontsNt, "FullGone", "D:\\Fonts\\gone.ttf",
                 "The file D:\\Fonts\\gone.ttf that is associated with the entry FullGone doesn't exists.",
                 kKindDeleteValue},
            }));
}

TEST_F(ProgramLists, WindowsFontsKeyFollowsTheSystemVersion) {
  struct Case {
    const char* os;
    std::string key;
  };
  const std::vector<Case> cases = {{"xp", kFontsNt}, {"2000", kFontsNt}, {"", kFonts9x}, {"98", kFonts9x},
                                   {"nt4.0", kFonts9x}};
  SetText(kHkeyLocalMachine, kFontsNt, "nt", "nt.ttf");
  SetText(kHkeyLocalMachine, kFonts9x, "9x", "9x.ttf");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.os);
    found::GlobalVars.OSVersion = c.os;
    RunScan({12});
    const auto rows = Rows("Windows Fonts");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].keyPath, c.key);
    EXPECT_EQ(rows[0].valueName, c.key == kFontsNt ? "nt" : "9x");
  }
}

TEST_F(ProgramLists, HelpAndResourcesChecksBothHelpLists) {
  MakeFile("C:\\WINDOWS\\Help\\good.hlp");
  MakeFile("C:\\WINDOWS\\Help\\found.chm");
  SetText(kHkeyLocalMachine, kHtmlHelp, "gone.chm", "C:\\Gone");
  SetText(kHkeyLocalMachine, kHtmlHelp, "found.chm", "C:\\WINDOWS\\Help\\");
  SetText(kHkeyLocalMachine, kHelp, "good.hlp", "C:\\WINDOWS\\Help");
  SetText(kHkeyLocalMachine, kHelp, "lost.hlp", "C:\\WINDOWS\\Help");
  SetText(kHkeyLocalMachine, kHelp, "slash.hlp", "C:\\Docs\\");
  RunScan({13});
  EXPECT_EQ(Rows("Help and Resources"),
            (std::vector<Row>{
                {kHkeyLocalMachine, kHelp, "lost.hlp", "C:\\WINDOWS\\Help",
                 "The entry lost.hlp points to the missing help file C:\\WINDOWS\\Help\\lost.hlp", kKindDeleteValue},
                {kHkeyLocalMachine, kHelp, "slash.hlp", "C:\\Docs\\",
                 "The entry slash.hlp points to the missing help file C:\\Docs\\slash.hlp", kKindDeleteValue},
                {kHkeyLocalMachine, kHtmlHelp, "gone.chm", "C:\\Gone",
                 "The entry gone.chm points to the missing help file C:\\Gone\\gone.chm", kKindDeleteValue},
            }));
}

TEST_F(ProgramLists, WindowsServicesJudgesOnlyTextImagePaths) {
  MakeFile("C:\\Program Files\\Svc\\svc.exe");
  SetValue(kHkeyLocalMachine, kServices + "\\Broken", "ImagePath", Expandable("C:\\Gone\\svc.exe -service"));
  SetValue(kHkeyLocalMachine, kServices + "\\Expanded", "ImagePath", Expandable("%SystemRoot%\\system32\\gone.exe"));
  SetText(kHkeyLocalMachine, kServices + "\\Good", "ImagePath", "\"C:\\Program Files\\Svc\\svc.exe\" -k");
  SetText(kHkeyLocalMachine, kServices + "\\NoImage", "DisplayName", "C:\\Gone\\x.exe");
  SetValue(kHkeyLocalMachine, kServices + "\\Number", "ImagePath", kDword1);
  SetValue(kHkeyLocalMachine, kServices + "\\Relative", "ImagePath", Expandable("system32\\drivers\\gone.sys"));
  SetValue(kHkeyLocalMachine, kServices + "\\SystemRoot", "ImagePath",
           Expandable("\\SystemRoot\\System32\\drivers\\gone.sys"));
  RunScan({17});
  EXPECT_EQ(Rows("Windows Services"),
            (std::vector<Row>{
                {kHkeyLocalMachine, kServices + "\\Broken", "ImagePath", "C:\\Gone\\svc.exe -service",
                 "This entry ImagePath points to the missing file C:\\Gone\\svc.exe -service.The associated Services "
                 "can be deleted.",
                 kKindDeleteKey},
                {kHkeyLocalMachine, kServices + "\\Expanded", "ImagePath", "%SystemRoot%\\system32\\gone.exe",
                 "This entry ImagePath points to the missing file %SystemRoot%\\system32\\gone.exe.The associated "
                 "Services can be deleted.",
                 kKindDeleteKey},
            }));
  const auto& header = host_.problems.Roots().front()->data;
  EXPECT_EQ(header.RootKey, kHkeyLocalMachine);
  EXPECT_EQ(header.ImageIndex, 17);
}

TEST_F(ProgramLists, WindowsServicesIsNotShortenedByAStopRequest) {
  for (int i = 0; i < 30; ++i) {
    SetText(kHkeyLocalMachine, kServices + "\\S" + Padded(i), "ImagePath", "C:\\Gone\\svc.exe");
  }
  SetText(kHkeyLocalMachine, kVxd, "v", "C:\\Gone\\v.vxd");
  RunAndStopAtFirstRow({17, 18});
  EXPECT_EQ(Rows("Windows Services").size(), 30u);
  EXPECT_EQ(host_.problems.Roots().front()->data.ProblemCount, 30);
  EXPECT_EQ(Texts(host_.calls, "section"), std::vector<std::string>{"Scaning Windows Services..."})
      << "the stop takes effect once the section has ended";
}

TEST_F(ProgramLists, VirtualDevicesWalksBothDriverKeys) {
  MakeFile("C:\\WINDOWS\\system32\\present.vxd");
  SetText(kHkeyLocalMachine, kVdd, "VDD", "C:\\Gone\\vdd.dll");
  SetText(kHkeyLocalMachine, kVxd + "\\Sub", "x", "C:\\WINDOWS\\system32\\present.vxd");
  SetText(kHkeyLocalMachine, kVxd + "\\Sub", "y", "D:\\gone.vxd");
  SetText(kHkeyLocalMachine, kVxd, "StaticVxD", "C:\\WINDOWS\\system32\\gone.vxd");
  SetValue(kHkeyLocalMachine, kVxd, "Start", kDword1);
  RunScan({18});
  EXPECT_EQ(Rows("Virtual Devices"),
            (std::vector<Row>{
                {kHkeyLocalMachine, kVxd, "StaticVxD", "C:\\WINDOWS\\system32\\gone.vxd",
                 "The entry StaticVxD points to the missing file or folder C:\\WINDOWS\\system32\\gone.vxd",
                 kKindDeleteValue},
                {kHkeyLocalMachine, kVxd + "\\Sub", "y", "D:\\gone.vxd",
                 "The entry y points to the missing file or folder D:\\gone.vxd", kKindDeleteValue},
                {kHkeyLocalMachine, kVdd, "VDD", "C:\\Gone\\vdd.dll",
                 "The entry VDD points to the missing file or folder C:\\Gone\\vdd.dll", kKindDeleteValue},
            }));
}

// The first progress update of a scan reaches the dialog on its 51st report,
// so each case places the item it looks at there. Each case fills only the
// keys its own section reads.
TEST_F(ProgramLists, ProgressPositionsAndKeyTexts) {
  struct Case {
    const char* name;
    int section;
    std::function<void()> setup;
    std::string key;
    int position;
  };
  const std::vector<Case> cases = {
      {"startup: second root fills 50 to 100", 8,
       [&] {
         for (int i = 0; i < 50; ++i) SetText(kHkeyCurrentUser, kRun, "U" + Padded(i), "");
         SetText(kHkeyLocalMachine, kRun, "M0", "");
         SetText(kHkeyLocalMachine, kRun, "M1", "");
       },
       kRun.substr(1) + "\\M0", 75},
      {"help: second list, a half rounds to even", 13,
       [&] {
         for (int i = 0; i < 50; ++i) SetText(kHkeyLocalMachine, kHelp, "h" + Padded(i) + ".hlp", "");
         for (int i = 0; i < 4; ++i) SetText(kHkeyLocalMachine, kHtmlHelp, "c" + Padded(i) + ".chm", "");
       },
       kHtmlHelp.substr(1) + "\\c00.chm", 62},
      {"fonts: the key without the value name", 12,
       [&] {
         for (int i = 0; i < 60; ++i) SetText(kHkeyLocalMachine, kFontsNt, "f" + Padded(i), "");
       },
       kFontsNt.substr(1), 85},
      {"shared programs", 9,
       [&] {
         for (int i = 0; i < 60; ++i) SetValue(kHkeyLocalMachine, kShared, "C:\\x" + Padded(i) + ".dll", kDword1);
       },
       kShared.substr(1) + "\\C:\\x50.dll", 85},
      {"software locations: an entry that cannot be opened is not reported", 10,
       [&] {
         for (int i = 0; i < 60; ++i) MakeKey(kHkeyLocalMachine, kAppPaths + "\\a" + Padded(i));
         for (int i = 0; i < 5; ++i) {
           registry_.DenyFullAccess(kHkeyLocalMachine, kAppPaths.substr(1) + "\\a" + Padded(i));
         }
       },
       kAppPaths.substr(1) + "\\a55", 93},
      {"add/remove: reported before the entry is opened", 11,
       [&] {
         for (int i = 0; i < 60; ++i) SetText(kHkeyLocalMachine, kUninstall + "\\e" + Padded(i), "DisplayName", "");
         for (int i = 0; i < 5; ++i) {
           registry_.DenyFullAccess(kHkeyLocalMachine, kUninstall.substr(1) + "\\e" + Padded(i));
         }
       },
       kUninstall.substr(1) + "\\e50", 85},
      {"services: only text image paths report, with the square term", 17,
       [&] {
         for (int i = 0; i < 10; ++i) MakeKey(kHkeyLocalMachine, kServices + "\\a" + Padded(i));
         for (int i = 0; i < 60; ++i) SetText(kHkeyLocalMachine, kServices + "\\s" + Padded(i), "ImagePath", "x");
       },
       // n 60 of 70: 100 * 60 / 70 + 100 * 61 / 4900 = 86.96.
       kServices.substr(1) + "\\s50", 87},
      {"virtual devices: the second walk shows 50", 18,
       [&] {
         for (int i = 0; i < 50; ++i) SetText(kHkeyLocalMachine, kVxd, "v" + Padded(i), "x");
         SetText(kHkeyLocalMachine, kVdd, "d", "x");
       },
       kVdd.substr(1) + "\\d", 50},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    host_.calls.clear();
    c.setup();
    RunScan({c.section});
    EXPECT_EQ(fatal_, "");
    const auto& calls = host_.calls;
    const auto first =
        std::find_if(calls.begin(), calls.end(), [](const DialogCall& call) { return call.what == "position"; });
    ASSERT_NE(first, calls.end());
    ASSERT_NE(first, calls.begin());
    EXPECT_EQ(first->value, c.position);
    EXPECT_EQ(std::prev(first)->what, "key");
    EXPECT_EQ(std::prev(first)->text, c.key);
  }
}

// A number where text is expected is not judged; the entries after it and the
// sections after it are still checked.
TEST_F(ProgramLists, NumbersWhereTextIsExpectedAreNotJudged) {
  SetValue(kHkeyCurrentUser, kRun, "Odd", kDword1);
  SetText(kHkeyCurrentUser, kRun, "Gone", "C:\\Gone\\x.exe");
  SetValue(kHkeyLocalMachine, kAppPaths + "\\a.exe", "", kDword1);
  SetText(kHkeyLocalMachine, kAppPaths + "\\b.exe", "", "C:\\Gone\\b.exe");
  // A "Path" that is no text adds no folder: the program path is judged as it stands.
  SetText(kHkeyLocalMachine, kAppPaths + "\\c.exe", "", "C:\\Gone\\c.exe");
  SetValue(kHkeyLocalMachine, kAppPaths + "\\c.exe", "Path", kDword1);
  SetValue(kHkeyLocalMachine, kUninstall + "\\A", "UninstallString", kDword1);
  SetText(kHkeyLocalMachine, kUninstall + "\\A", "QuietUninstallString", "C:\\Gone\\q.exe");
  SetText(kHkeyLocalMachine, kUninstall + "\\B", "UninstallString", "");
  SetValue(kHkeyLocalMachine, kUninstall + "\\B", "QuietUninstallString", kDword1);
  SetText(kHkeyLocalMachine, kUninstall + "\\C", "UninstallString", "C:\\Gone\\u.exe");
  SetValue(kHkeyLocalMachine, kFontsNt, "Odd", kDword1);
  SetText(kHkeyLocalMachine, kFontsNt, "x", "x.ttf");
  SetValue(kHkeyLocalMachine, kHelp, "odd.hlp", kDword1);
  SetText(kHkeyLocalMachine, kHelp, "lost.hlp", "C:\\Gone");
  RunScan({8, 10, 11, 12, 13});
  EXPECT_EQ(fatal_, "");
  EXPECT_EQ(Texts(host_.calls, "section").size(), 6u) << "every section ran (Add/Remove announces twice)";
  EXPECT_EQ(Rows("Startup programs"),
            (std::vector<Row>{{kHkeyCurrentUser, kRun, "Gone", "C:\\Gone\\x.exe",
                               "The entry Gone points to the missing program C:\\Gone\\x.exe", kKindDeleteValue}}));
  EXPECT_EQ(Rows("Software Locations"),
            (std::vector<Row>{
                {kHkeyLocalMachine, kAppPaths + "\\b.exe", "", "",
                 "The indicated file C:\\Gone\\b.exe could not be found.", kKindDeleteKey},
                {kHkeyLocalMachine, kAppPaths + "\\c.exe", "", "",
                 "The indicated file C:\\Gone\\c.exe could not be found.", kKindDeleteKey},
            }));
  EXPECT_EQ(Rows("Add/Remove Programs"),
            (std::vector<Row>{{kHkeyLocalMachine, kUninstall + "\\C", "", "",
                               "The required uninstall program C:\\Gone\\u.exe could not be found", kKindDeleteKey}}));
  EXPECT_EQ(Rows("Windows Fonts"),
            (std::vector<Row>{{kHkeyLocalMachine, kFontsNt, "x", "x.ttf",
                               "The file x.ttf that is associated with the entry x doesn't exists.",
                               kKindDeleteValue}}));
  EXPECT_EQ(Rows("Help and Resources"),
            (std::vector<Row>{{kHkeyLocalMachine, kHelp, "lost.hlp", "C:\\Gone",
                               "The entry lost.hlp points to the missing help file C:\\Gone\\lost.hlp",
                               kKindDeleteValue}}));
}

}  // namespace
}  // namespace scantest
