// "File Extensions", "Start Menu", "Sounds and Appevents" and "MRU and History Lists".
#include <cstdio>

#include "scan_fixture.h"

namespace scantest {
namespace {

using cleaner::kKindDeleteKey;
using cleaner::kKindDeleteValue;
using found::kHkeyCurrentUser;

using HistoryScan = ScanFixture;

const std::string kMru = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU";
const std::string kExts = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";
const std::string kMenu = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu2\\Programs";
const std::string kAllUsersPrograms = "C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\";
const std::string kUserPrograms = "C:\\Documents and Settings\\user\\Start Menu\\Programs\\";
const std::string kNoData = "This registry key contains no data and is not needed.It can be deleted.";
const std::string kEmptyMenu = "This registry key is empty and is not needed.It can be deleted.";
const found::RegValue kOrder{found::kRegBinary, {8, 0, 0, 0}};
const found::RegValue kDword{found::kRegDword, {1, 0, 0, 0}};

// "k000", "k001", ...: names that list in the order they are numbered.
std::string Numbered(const char* prefix, int i) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%s%03d", prefix, i);
  return buffer;
}

Row MissingMenuFolder(const std::string& keyPath, const std::string& name) {
  return {kHkeyCurrentUser, keyPath, "", "",
          "This registry key contains a reference to the Start menu folder " + name +
              " ,which has been removed or deleted.",
          kKindDeleteKey};
}

TEST_F(HistoryScan, MruListsReportMissingFilesInMruListOrder) {
  MakeFile("C:\\Docs\\b.txt");
  MakeFile("C:\\Documents and Settings\\user\\My Documents\\report.doc");
  SetText(kHkeyCurrentUser, kMru + "\\txt", "MRUList", "ba");
  SetText(kHkeyCurrentUser, kMru + "\\txt", "a", "C:\\Gone\\a.txt");
  SetText(kHkeyCurrentUser, kMru + "\\txt", "b", "C:\\Docs\\b.txt");
  // Letters are taken in the order of MRUList, not of the values.
  SetText(kHkeyCurrentUser, kMru + "\\*", "a", "C:\\Documents and Settings\\user\\My Documents\\report.doc");
  SetText(kHkeyCurrentUser, kMru + "\\*", "b", "D:\\Old\\b.bin");
  SetText(kHkeyCurrentUser, kMru + "\\*", "c", "C:\\Gone\\c.bin");
  SetText(kHkeyCurrentUser, kMru + "\\*", "d", "");
  SetText(kHkeyCurrentUser, kMru + "\\*", "MRUList", "cadbz");
  // Without MRUList no value is looked at.
  SetText(kHkeyCurrentUser, kMru + "\\doc", "a", "C:\\Gone\\x.doc");
  // The list key's own values are examined under the empty name.
  SetText(kHkeyCurrentUser, kMru, "MRUList", "a");
  SetText(kHkeyCurrentUser, kMru, "a", "C:\\Gone\\top.txt");
  RunScan({15});
  const auto row = [&](const std::string& key, const std::string& letter, const std::string& path) {
    return Row{kHkeyCurrentUser, key, letter, path, "The entry " + letter + " points to the missing file " + path,
               kKindDeleteValue};
  };
  EXPECT_EQ(Rows("MRU and History Lists"), (std::vector<Row>{
                                               row(kMru + "\\*", "c", "C:\\Gone\\c.bin"),
                                               row(kMru + "\\*", "b", "D:\\Old\\b.bin"),
                                               row(kMru + "\\txt", "a", "C:\\Gone\\a.txt"),
                                               row(kMru + "\\", "a", "C:\\Gone\\top.txt"),
                                           }));
}

TEST_F(HistoryScan, MruListsSkipValuesThatAreNotTextAndTheScanGoesOn) {
  SetValue(kHkeyCurrentUser, kMru + "\\bin", "MRUList", kDword);
  SetText(kHkeyCurrentUser, kMru + "\\bin", "a", "C:\\Gone\\a.bin");
  SetText(kHkeyCurrentUser, kMru + "\\txt", "MRUList", "ab");
  SetValue(kHkeyCurrentUser, kMru + "\\txt", "a", kDword);
  SetText(kHkeyCurrentUser, kMru + "\\txt", "b", "C:\\Gone\\b.txt");
  RunScan({15, 19});
  EXPECT_EQ(Rows("MRU and History Lists"),
            (std::vector<Row>{{kHkeyCurrentUser, kMru + "\\txt", "b", "C:\\Gone\\b.txt",
                               "The entry b points to the missing file C:\\Gone\\b.txt", kKindDeleteValue}}));
  EXPECT_EQ(fatal_, "");
  EXPECT_EQ(Texts(host_.calls, "section"),
            (std::vector<std::string>{"Scaning MRU and History Lists...", "Scaning ShortCuts..."}));
}

TEST_F(HistoryScan, MruListsCountTheListKeyItselfAsOneMoreName) {
  for (int i = 0; i < 100; ++i) MakeKey(kHkeyCurrentUser, kMru + "\\" + Numbered("k", i));
  RunScan({15});
  // 101 names: the 51st report (k050) and the 101st (the empty name) reach the dialog.
  const std::string shown = kMru.substr(1) + "\\";
  EXPECT_EQ(Texts(host_.calls, "key"), (std::vector<std::string>{"", shown + "k050", shown}));
  EXPECT_EQ(Values(host_.calls, "position"), (std::vector<int>{50, 100}));
}

TEST_F(HistoryScan, FileExtensionsReportKeysWithoutDataInTheirThreePlaces) {
  SetText(kHkeyCurrentUser, kExts + "\\.abc\\OpenWithList", "a", "app.exe");
  MakeKey(kHkeyCurrentUser, kExts + "\\.def");
  SetText(kHkeyCurrentUser, kExts + "\\.ghi", "Progid", "ghifile");
  SetValue(kHkeyCurrentUser, kExts + "\\.jkl\\OpenWithProgids", "jklfile", {found::kRegNone, {}});
  SetText(kHkeyCurrentUser, kExts + "\\.mno\\UserChoice", "Progid", "mnofile");
  SetText(kHkeyCurrentUser, kExts + "\\.pqr", "", "");
  MakeKey(kHkeyCurrentUser, kExts + "\\.stu\\OpenWithList");
  SetText(kHkeyCurrentUser, kExts + "\\.stu\\OpenWithProgids\\Deeper", "x", "y");
  RunScan({5});
  EXPECT_EQ(Rows("File Extensions"), (std::vector<Row>{
                                         {kHkeyCurrentUser, kExts + "\\.def", "", "", kNoData, kKindDeleteKey},
                                         {kHkeyCurrentUser, kExts + "\\.mno", "", "", kNoData, kKindDeleteKey},
                                         {kHkeyCurrentUser, kExts + "\\.stu", "", "", kNoData, kKindDeleteKey},
                                     }));
}

TEST_F(HistoryScan, FileExtensionsProgressRoundsHalfToEven) {
  for (int i = 0; i < 120; ++i) SetText(kHkeyCurrentUser, kExts + "\\" + Numbered(".e", i), "", "");
  RunScan({5});
  // 100 x 51 / 120 = 42.5 and 100 x 101 / 120 = 84.17.
  EXPECT_EQ(Values(host_.calls, "position"), (std::vector<int>{42, 84}));
  EXPECT_EQ(Texts(host_.calls, "key"),
            (std::vector<std::string>{"", kExts.substr(1) + "\\.e050", kExts.substr(1) + "\\.e100"}));
  EXPECT_TRUE(Rows("File Extensions").empty());
}

TEST_F(HistoryScan, StartMenuJudgesLeafFoldersAgainstBothProfiles) {
  MakeFolder(kAllUsersPrograms + "Kept");
  MakeFolder(kUserPrograms + "Mine");
  MakeFolder(kAllUsersPrograms + "NoOrder");
  MakeFolder(kUserPrograms + "Accessories\\Games");
  MakeFolder(kAllUsersPrograms + "Tools");  // at the top, not below Accessories
  MakeFile(kUserPrograms + "AFile");        // a file is no folder
  SetValue(kHkeyCurrentUser, kMenu + "\\Accessories\\Games", "Order", kOrder);
  SetValue(kHkeyCurrentUser, kMenu + "\\Accessories\\Gone", "Order", kOrder);
  SetValue(kHkeyCurrentUser, kMenu + "\\Accessories\\Tools", "Order", kOrder);
  SetValue(kHkeyCurrentUser, kMenu + "\\AFile", "Order", kOrder);
  SetValue(kHkeyCurrentUser, kMenu + "\\Kept", "Order", kOrder);
  SetValue(kHkeyCurrentUser, kMenu + "\\Mine", "Order", kOrder);
  SetText(kHkeyCurrentUser, kMenu + "\\NoOrder", "Other", "x");
  MakeKey(kHkeyCurrentUser, kMenu + "\\Old Folder");
  RunScan({7});
  EXPECT_EQ(Rows("Start Menu"), (std::vector<Row>{
                                    MissingMenuFolder(kMenu + "\\Accessories\\Gone", "Gone"),
                                    MissingMenuFolder(kMenu + "\\Accessories\\Tools", "Tools"),
                                    MissingMenuFolder(kMenu + "\\AFile", "AFile"),
                                    {kHkeyCurrentUser, kMenu + "\\NoOrder", "", "", kEmptyMenu, kKindDeleteKey},
                                    MissingMenuFolder(kMenu + "\\Old Folder", "Old Folder"),
                                }))
      << "Accessories has subkeys and is not judged itself";
}

TEST_F(HistoryScan, StartMenuProgressStartsAgainAtEveryLevel) {
  // Reports: A, then A's 60 children, then the other 59 top names.
  for (int i = 0; i < 60; ++i) MakeKey(kHkeyCurrentUser, kMenu + "\\A\\" + Numbered("c", i));
  for (int i = 1; i < 60; ++i) MakeKey(kHkeyCurrentUser, kMenu + "\\" + Numbered("t", i));
  RunScan({7});
  const std::string shown = kMenu.substr(1) + "\\";
  EXPECT_EQ(Texts(host_.calls, "key"), (std::vector<std::string>{"", shown + "A\\c049", shown + "t040"}));
  // 100 x 50 / 60 on the lower level, 100 x 41 / 60 on the top one.
  EXPECT_EQ(Values(host_.calls, "position"), (std::vector<int>{83, 68}));
}

TEST_F(HistoryScan, StartMenuStopInADeeperLevelEndsEveryLevel) {
  for (int i = 0; i < 30; ++i) MakeKey(kHkeyCurrentUser, kMenu + "\\A\\" + Numbered("c", i));
  for (int i = 0; i < 30; ++i) MakeKey(kHkeyCurrentUser, kMenu + "\\" + Numbered("t", i));
  size_t stoppedAt = 0;
  RunScan({7}, [&](cleaner::TScan& scan) {
    if (!scan.Terminated() && host_.problems.TotalCount() >= 2) {
      scan.Terminate();
      stoppedAt = host_.problems.TotalCount() - 1;
    }
  });
  const auto rows = Rows("Start Menu");
  ASSERT_FALSE(rows.empty());
  EXPECT_LE(rows.size(), stoppedAt + 1) << "at most the item in hand is still added";
  for (const auto& row : rows) EXPECT_EQ(row.keyPath.rfind(kMenu + "\\A\\", 0), 0u) << row;
  EXPECT_EQ(host_.problems.Roots().front()->data.ProblemCount, static_cast<int>(rows.size()));
}

TEST_F(HistoryScan, SoundsReportTextValuesBelowAppsThatNameMissingFiles) {
  const std::string apps = "\\AppEvents\\Schemes\\Apps";
  MakeFile("C:\\WINDOWS\\Media\\start.wav");
  SetText(kHkeyCurrentUser, apps + "\\.Default\\SystemExit\\.Current", "", "C:\\WINDOWS\\Media\\start.wav");
  SetValue(kHkeyCurrentUser, apps + "\\.Default\\SystemStart\\.Current", "Number", kDword);
  SetText(kHkeyCurrentUser, apps + "\\.Default\\SystemStart\\.Current", "", "C:\\WINDOWS\\Media\\gone.wav");
  SetText(kHkeyCurrentUser, apps + "\\.Default\\SystemStart\\.Current", "Extra", "C:\\Gone\\y.wav");
  SetText(kHkeyCurrentUser, apps + "\\Explorer\\Navigating\\.Current", "", "");
  SetText(kHkeyCurrentUser, apps + "\\Explorer\\Navigating\\.Modified", "", "%SystemRoot%\\Media\\start.wav");
  SetText(kHkeyCurrentUser, "\\AppEvents\\EventLabels\\SystemStart", "", "C:\\Gone\\x.wav");
  RunScan({14});
  const std::string start = apps + "\\.Default\\SystemStart\\.Current";
  EXPECT_EQ(Rows("Sounds and Appevents"),
            (std::vector<Row>{
                {kHkeyCurrentUser, start, "", "C:\\WINDOWS\\Media\\gone.wav",
                 "The entry  points to the missing file or folder C:\\WINDOWS\\Media\\gone.wav", kKindDeleteValue},
                {kHkeyCurrentUser, start, "Extra", "C:\\Gone\\y.wav",
                 "The entry Extra points to the missing file or folder C:\\Gone\\y.wav", kKindDeleteValue},
            }));
  EXPECT_EQ(fatal_, "");
}

TEST_F(HistoryScan, SoundsLeaveTheSectionBarAtZero) {
  const std::string key = "\\AppEvents\\Schemes\\Apps\\App\\Event\\.Current";
  for (int i = 0; i < 51; ++i) SetText(kHkeyCurrentUser, key, Numbered("v", i), "beep");
  RunScan({14});
  EXPECT_EQ(Values(host_.calls, "position"), std::vector<int>{0});
  EXPECT_EQ(Texts(host_.calls, "key"), (std::vector<std::string>{"", key.substr(1) + "\\v050"}));
}

}  // namespace
}  // namespace scantest
