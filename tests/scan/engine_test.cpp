#include <algorithm>

#include "scan_fixture.h"

namespace scantest {
namespace {

using cleaner::kKindDeleteKey;
using cleaner::kKindDeleteValue;
using found::kHkeyCurrentUser;
using found::kHkeyLocalMachine;
using found::kHkeyUsers;

using Engine = ScanFixture;

TEST_F(Engine, SelectionAndAnnouncementsFollowTheTable) {
  struct Case {
    const char* name;
    std::vector<int> ticked;
    std::string selection;
    std::vector<std::string> announced;
    std::vector<int> overall;
  };
  const std::vector<Case> cases = {
      {"one root of Files and Folders", {23}, ".23.", {"Scaning Files and Folders - HKEY_USERS..."}, {100}},
      {"two sections", {21, 1}, ".1..21.",
       {"Scaning Registry Integrity...", "Scaning Files and Folders - HKEY_LOCAL_MACHINE..."}, {50, 100}},
      {"table order, not id order", {19, 100, 3}, ".100..3..19.",
       {"Scaning Spyware and Virus...", "Scaning Obsolete Software...", "Scaning ShortCuts..."}, {33, 67, 100}},
      {"nothing ticked", {}, "", {}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    host_.calls.clear();
    RunScan(c.ticked);
    EXPECT_EQ(selection_, c.selection);
    EXPECT_EQ(Texts(host_.calls, "section"), c.announced);
    EXPECT_EQ(Values(host_.calls, "overall"), c.overall);
  }
}

TEST_F(Engine, SectionsWithoutProblemsLeaveNoHeaderAndCountsAreSet) {
  MakeFile("C:\\Present\\app.exe");
  for (const char* name : {"A", "B", "C"}) {
    SetText(kHkeyCurrentUser, "\\Software\\Vendor\\App", name, std::string("D:\\Gone\\") + name);
  }
  SetText(kHkeyCurrentUser, "\\Software\\Vendor\\App", "Fine", "C:\\Present\\app.exe");
  RunScan({1, 22, 100, 16});
  EXPECT_EQ(Headers(), std::vector<std::string>{"HKEY_CURRENT_USER - Files and Folders"});
  const auto& header = host_.problems.Roots().front();
  EXPECT_EQ(header->data.ProblemCount, 3);
  EXPECT_EQ(header->data.RootKey, kHkeyCurrentUser);
  EXPECT_EQ(header->data.ImageIndex, 1);
  EXPECT_EQ(header->data.Kind, 2);
  size_t checked = 0;
  host_.problems.ForEach([&](cleaner::ProblemNode& n) { checked += n.check == found::CheckState::Checked; });
  EXPECT_EQ(checked, 4u) << "every row is added checked";
  EXPECT_GE(host_.firstColumn, 100 + 6 * static_cast<int>(std::string("The entry A points to the missing "
                                                                        "file or folder D:\\Gone\\A").size()));
}

TEST_F(Engine, ProgressReachesTheDialogOnThe51stReportThenEvery50th) {
  // 101 reports of "Adware and Spyware", then 101 of "Device Drivers".
  RunScan({100, 16});
  EXPECT_EQ(Values(host_.calls, "position"), (std::vector<int>{51, 101, 50, 100}));
  EXPECT_TRUE(host_.problems.Roots().empty());
}

TEST_F(Engine, StopRequestEndsTheLoopAndNoLaterSectionStarts) {
  for (int i = 0; i < 300; ++i) {
    SetText(kHkeyCurrentUser, "\\Software\\Vendor\\K" + std::to_string(1000 + i), "v", "D:\\Gone");
  }
  size_t stoppedAt = 0;
  RunScan({22, 3}, [&](cleaner::TScan& scan) {
    const auto rows = Rows("HKEY_CURRENT_USER - Files and Folders");
    if (!scan.Terminated() && host_.problems.TotalCount() >= 11) {
      scan.Terminate();
      stoppedAt = host_.problems.TotalCount();
    }
  });
  const auto rows = Rows("HKEY_CURRENT_USER - Files and Folders");
  EXPECT_LE(rows.size(), stoppedAt) << "at most the item in hand is still added";
  EXPECT_LT(rows.size(), 300u);
  EXPECT_EQ(host_.problems.Roots().front()->data.ProblemCount, static_cast<int>(rows.size()))
      << "the stopped section is still finished";
  EXPECT_EQ(Texts(host_.calls, "section"), std::vector<std::string>{"Scaning Files and Folders - HKEY_CURRENT_USER..."});
}

TEST_F(Engine, IsKeyEmptyLooksForValuesAnywhereBelow) {
  MakeKey(kHkeyLocalMachine, "\\SOFTWARE\\Empty\\A\\B");
  MakeKey(kHkeyLocalMachine, "\\SOFTWARE\\Empty\\C");
  SetText(kHkeyLocalMachine, "\\SOFTWARE\\Deep\\A\\B", "v", "1");
  SetText(kHkeyLocalMachine, "\\SOFTWARE\\Default", "", "");
  MakeKey(kHkeyLocalMachine, "\\SOFTWARE\\Policies");
  MakeKey(kHkeyCurrentUser, "\\Software\\Gone");
  RunScan({3});
  EXPECT_EQ(Rows("Obsolete software"),
            (std::vector<Row>{
                {kHkeyCurrentUser, "\\software\\Gone", "", "",
                 "This registry key contains no data and is not needed.It can be deleted.", kKindDeleteKey},
                {kHkeyLocalMachine, "\\software\\Empty", "", "",
                 "This registry key contains no data and is not needed.It can be deleted.", kKindDeleteKey},
            }))
      << "a value anywhere below, or a set default value, keeps a vendor key; Policies is never reported";
}

TEST_F(Engine, FilesAndFoldersJudgesTextValuesOutsideClassesAndMicrosoft) {
  MakeFile("C:\\Program Files\\App\\app.exe");
  const std::string missing = "D:\\Old\\Stuff";
  SetText(kHkeyCurrentUser, "\\Software\\Vendor\\App", "Data", missing);
  SetText(kHkeyCurrentUser, "\\Software\\Vendor\\App", "Icon", "C:\\Program Files\\App\\app.exe,0");
  SetText(kHkeyCurrentUser, "\\Software\\Vendor\\App", "Quoted", "\"C:\\Program Files\\App\\app.exe\" -x");
  SetText(kHkeyCurrentUser, "\\Software\\Vendor\\App", "Run", "rundll32 shell32.dll,Control_RunDLL");
  SetText(kHkeyCurrentUser, "\\Software\\Vendor\\App", "Wild", "?:\\Gone\\x");
  SetValue(kHkeyCurrentUser, "\\Software\\Vendor\\App", "Number", {found::kRegDword, {1, 0, 0, 0}});
  SetText(kHkeyCurrentUser, "\\Software\\Microsoft\\Something", "Data", missing);
  SetText(kHkeyCurrentUser, "\\Software\\Classes\\Something", "Data", missing);
  SetText(kHkeyCurrentUser, "\\Software\\Vendor\\Software\\Microsoft\\X", "Data", missing);
  SetText(kHkeyUsers, "\\S-1-5-21-7\\Software\\Vendor", "Path", "C:\\Gone\\tool.exe /x");
  SetText(kHkeyLocalMachine, "\\Software\\Vendor", "Exp", "%WINDIR%\\gone.exe");
  RunScan({21, 22, 23});
  EXPECT_EQ(Rows("HKEY_CURRENT_USER - Files and Folders"),
            (std::vector<Row>{{kHkeyCurrentUser, "\\Software\\Vendor\\App", "Data", missing,
                               "The entry Data points to the missing file or folder " + missing, kKindDeleteValue}}));
  EXPECT_EQ(Rows("HKEY_USERS - Files and Folders"),
            (std::vector<Row>{{kHkeyUsers, "\\S-1-5-21-7\\Software\\Vendor", "Path", "C:\\Gone\\tool.exe /x",
                               "The entry Path points to the missing file or folder C:\\Gone\\tool.exe /x",
                               kKindDeleteValue}}));
  EXPECT_EQ(Rows("HKEY_LOCAL_MACHINE - Files and Folders"),
            (std::vector<Row>{{kHkeyLocalMachine, "\\Software\\Vendor", "Exp", "%WINDIR%\\gone.exe",
                               "The entry Exp points to the missing file or folder %WINDIR%\\gone.exe",
                               kKindDeleteValue}}));
}

TEST_F(Engine, RegistryIntegrityChecksBothShellFolderKeys) {
  const std::string user = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
  const std::string shell = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  MakeFolder("C:\\Documents and Settings\\user\\Desktop");
  SetText(kHkeyCurrentUser, user, "Desktop", "%USERPROFILE%\\Desktop");
  SetText(kHkeyCurrentUser, user, "Personal", "C:\\Gone");
  // A number where text is expected is not judged, and the scan goes on.
  SetValue(kHkeyCurrentUser, user, "Odd", {found::kRegDword, {1, 0, 0, 0}});
  SetText(kHkeyCurrentUser, shell, "Desktop", "C:\\Documents and Settings\\user\\Desktop");
  SetText(kHkeyCurrentUser, shell, "Cache", "C:\\Gone\\Cache");
  RunScan({1, 3});
  EXPECT_EQ(Rows("Registry Integrity"),
            (std::vector<Row>{
                {kHkeyCurrentUser, user, "Personal", "C:\\Gone", "The entry Personal points to the missing folder C:\\Gone",
                 kKindDeleteValue},
                {kHkeyCurrentUser, shell, "Cache", "C:\\Gone\\Cache",
                 "The entry Cache points to the missing folder C:\\Gone\\Cache", kKindDeleteValue},
            }));
  EXPECT_EQ(fatal_, "");
  EXPECT_EQ(Texts(host_.calls, "section").size(), 2u) << "the next section still runs";
}

}  // namespace
}  // namespace scantest

namespace scantest {
namespace {

// Every section over one registry with something for each to look at; the
// ThreadSanitizer build runs this too.
TEST_F(ScanFixture, FullScanRunsEverySectionToItsEnd) {
  MakeFile("C:\\Program Files\\App\\app.exe");
  SetText(found::kHkeyCurrentUser, "\\Software\\Vendor\\App", "Path", "C:\\Gone\\a.exe");
  SetText(found::kHkeyLocalMachine, "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "Tool", "C:\\Gone\\t.exe");
  SetText(found::kHkeyLocalMachine, "\\SOFTWARE\\Classes\\.abc", "", "abcfile");
  SetText(found::kHkeyLocalMachine, "\\SOFTWARE\\Classes\\CLSID\\{1}\\InprocServer32", "", "C:\\Gone\\x.dll");
  SetText(found::kHkeyLocalMachine, "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\app.exe", "",
          "C:\\Program Files\\App\\app.exe");
  MakeKey(found::kHkeyLocalMachine, "\\SOFTWARE\\EmptyVendor\\Sub");
  std::vector<int> all;
  for (const auto& section : cleaner::kSections) all.push_back(section.id);
  RunScan(all);
  EXPECT_EQ(fatal_, "");
  size_t announced = 0;
  for (const auto& call : host_.calls) announced += call.what == "section";
  EXPECT_EQ(announced, cleaner::kSections.size() + 1) << "every section, and Add/Remove Programs twice";
  for (const auto& header : host_.problems.Roots()) {
    EXPECT_EQ(header->data.ProblemCount, static_cast<int>(header->children.size())) << header->data.Caption;
    EXPECT_GT(header->data.ProblemCount, 0) << header->data.Caption;
  }
  EXPECT_GE(host_.problems.Roots().size(), 5u);
}

}  // namespace
}  // namespace scantest
