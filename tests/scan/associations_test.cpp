#include <algorithm>

#include "scan_fixture.h"

namespace scantest {
namespace {

using cleaner::kKindDeleteKey;
using found::kHkeyClassesRoot;

const std::string kCaption = "File Associations";
const std::string kNoData = "This registry key contains no data,it can be deleted.";
const std::string kMissingClsid = "This registry key points to the missing CLSID ";
const std::string kNoCommand = "This registry is incomplete because the subkey Command is missing.";
const std::string kIncomplete =
    "This registry key is incomplete because it doesn't contain any data that are needed by windows.";

Row Problem(const std::string& keyPath, const std::string& reason) {
  return {kHkeyClassesRoot, keyPath, "", "", reason, kKindDeleteKey};
}

class FileAssociations : public ScanFixture {
 protected:
  void Text(const std::string& key, const std::string& name, const std::string& text) {
    SetText(kHkeyClassesRoot, key, name, text);
  }
  void Key(const std::string& key) { MakeKey(kHkeyClassesRoot, key); }
};

TEST_F(FileAssociations, FirstPassJudgesEachRootKeyByItsOwnContent) {
  Text("\\.abc", "", "abcfile");
  Text("\\abcfile", "", "ABC file");
  Text("\\.up", "", "ABCFILE");  // class names match without regard to case
  Text("\\.xyz", "", "xyzfile");
  Text("\\.noclass", "Content Type", "text/plain");
  Key("\\.cmd\\shell\\command");
  Text("\\.full\\shell\\command", "", "notepad.exe");
  Key("\\.bare");  // an extension key is not judged empty as a whole
  Key("\\OldClass\\Sub");
  Text("\\Deep\\A\\B", "v", "1");
  Text("\\orphan\\CLSID", "", "{0000-missing}");
  Text("\\known\\CLSID", "", "{1111-known}");
  Text("\\CLSID\\{1111-known}", "", "Known");
  RunScan({6});
  EXPECT_EQ(fatal_, "");
  EXPECT_EQ(Rows(kCaption), (std::vector<Row>{
                                Problem("\\.cmd\\shell\\command", kNoData),
                                Problem("\\.xyz", "This registry key points to missing key HKEY_CLASSES_ROOT\\xyzfile"),
                                Problem("\\OldClass", kNoData),
                                Problem("\\orphan\\CLSID", kMissingClsid + "{0000-missing}"),
                            }));
  EXPECT_EQ(host_.problems.Roots().front()->data.RootKey, kHkeyClassesRoot);
  EXPECT_EQ(host_.problems.Roots().front()->data.ImageIndex, 8);
}

TEST_F(FileAssociations, SecondPassExaminesEveryUsedClassInDepth) {
  MakeFile("C:\\Apps\\good.exe");
  Text("\\CLSID\\{CCCC-known}", "", "Known");
  // "*" holds the entries of all files and comes first.
  Text("\\*\\shellex\\ContextMenuHandlers\\Extra", "", "{FFFF-missing}");
  Text("\\.abc", "", "abcfile");
  Text("\\abcfile", "", "ABC file");
  Text("\\abcfile\\CLSID", "", "{AAAA-missing}");
  Text("\\abcfile\\DefaultIcon", "", "C:\\Gone\\icons.dll,3");
  Text("\\abcfile\\shell\\blank\\command", "", "");
  Text("\\abcfile\\shell\\doc\\command", "", "\"%1\" /x");
  Text("\\abcfile\\shell\\edit\\command", "", "\"C:\\Apps\\good.exe\" \"%1\"");
  Text("\\abcfile\\shell\\net\\command", "", "\\\\server\\share\\tool.exe %1");
  Text("\\abcfile\\shell\\open\\command", "", "C:\\Gone\\abc.exe \"%1\"");
  Key("\\abcfile\\shell\\print");
  const std::string menu = "\\abcfile\\shellex\\ContextMenuHandlers\\";
  Key(menu + "{BBBB-missing}");
  Key(menu + "{CCCC-known}");
  Text(menu + "Good", "", "{cccc-KNOWN}");
  Text(menu + "Named", "", "{DDDD-missing}");
  Key(menu + "Plain");
  const std::string sheets = "\\abcfile\\shellex\\PropertySheetHandlers\\";
  Key(sheets + "Sheet");
  Key(sheets + "{EEEE-missing}");
  // Not used by any extension: only its own class id is looked at.
  Text("\\lonely", "", "x");
  Text("\\lonely\\DefaultIcon", "", "C:\\Gone\\lonely.ico");
  Key("\\lonely\\shell\\open");

  RunScan({6});
  EXPECT_EQ(
      Rows(kCaption),
      (std::vector<Row>{
          Problem("\\abcfile\\CLSID", kMissingClsid + "{AAAA-missing}"),  // first pass, as a class key
          Problem("\\*\\shellex\\ContextMenuHandlers\\Extra", kMissingClsid + "{FFFF-missing}"),
          Problem("\\abcfile\\CLSID", kMissingClsid + "{AAAA-missing}"),
          Problem("\\abcfile\\DefaultIcon", "This registry key points to the missing icon file C:\\Gone\\icons.dll,3"),
          Problem("\\abcfile\\Shell\\open",
                  "The context menu entry open points to the missing program C:\\Gone\\abc.exe \"%1\""),
          Problem("\\abcfile\\Shell\\print", kNoCommand),
          Problem(menu + "Named", kMissingClsid + "{DDDD-missing}"),
          Problem(menu + "Plain", kIncomplete),
          Problem(menu + "{BBBB-missing}", kMissingClsid + "{BBBB-missing}"),
          Problem(sheets + "Sheet", kIncomplete),
          Problem(sheets + "{EEEE-missing}", kMissingClsid + "{EEEE-missing}"),
      }));
}

TEST_F(FileAssociations, ClassIsExaminedOncePerExtensionThatUsesIt) {
  Text("\\.bbb", "", "shared");
  Text("\\.aaa", "", "shared");
  Text("\\.ccc", "", "other");
  Text("\\shared\\DefaultIcon", "", "C:\\Gone\\shared.ico");
  Text("\\other\\DefaultIcon", "", "C:\\Gone\\other.ico");
  RunScan({6});
  EXPECT_EQ(
      Rows(kCaption),
      (std::vector<Row>{
          Problem("\\shared\\DefaultIcon", "This registry key points to the missing icon file C:\\Gone\\shared.ico"),
          Problem("\\shared\\DefaultIcon", "This registry key points to the missing icon file C:\\Gone\\shared.ico"),
          Problem("\\other\\DefaultIcon", "This registry key points to the missing icon file C:\\Gone\\other.ico"),
      }));
}

TEST_F(FileAssociations, ProgressFillsHalfTheBarPerPass) {
  // 100 root keys and 100 pairs ("*" and 99 extensions): the dialog shows
  // reports 51, 101 and 151.
  for (int i = 0; i < 99; ++i) {
    Text("\\.e" + std::string(i < 10 ? "0" : "") + std::to_string(i), "", "cls");
  }
  Text("\\cls", "", "class");
  RunScan({6});
  std::vector<int> positions;
  std::vector<std::string> keys;
  for (const auto& call : host_.calls) {
    if (call.what == "position") positions.push_back(call.value);
    if (call.what == "key") keys.push_back(call.text);
  }
  EXPECT_EQ(positions, (std::vector<int>{26, 50, 76})) << "25.5, 50.5 and 75.5 round to the even neighbour";
  EXPECT_EQ(keys, (std::vector<std::string>{"", ".e50", "*", "cls"}));
  EXPECT_TRUE(Rows(kCaption).empty());
}

TEST_F(FileAssociations, StopRequestIsLookedAtPerRootKeyAndPerClassOnly) {
  Key("\\Empty1");
  Key("\\Empty2");
  Text("\\.a", "", "aclass");
  Text("\\.b", "", "bclass");
  Text("\\aclass", "", "A");
  Text("\\bclass", "", "B");
  for (const char* verb : {"v1", "v2", "v3"}) Key(std::string("\\aclass\\shell\\") + verb);
  Key("\\aclass\\shellex\\ContextMenuHandlers\\Plain");
  Key("\\bclass\\shell\\v1");
  struct Case {
    const char* name;
    std::string stopAt;
    std::vector<Row> rows;
  };
  const std::vector<Case> cases = {
      {"first pass", "\\Empty1", {Problem("\\Empty1", kNoData)}},
      {"second pass: the class in hand runs to its end",
       "\\aclass\\Shell\\v1",
       {Problem("\\Empty1", kNoData), Problem("\\Empty2", kNoData), Problem("\\aclass\\Shell\\v1", kNoCommand),
        Problem("\\aclass\\Shell\\v2", kNoCommand), Problem("\\aclass\\Shell\\v3", kNoCommand),
        Problem("\\aclass\\shellex\\ContextMenuHandlers\\Plain", kIncomplete)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RunScanStoppingAt({6, 16}, c.stopAt);
    EXPECT_EQ(Rows(kCaption), c.rows);
    ASSERT_FALSE(host_.problems.Roots().empty());
    EXPECT_EQ(host_.problems.Roots().front()->data.ProblemCount, static_cast<int>(c.rows.size()));
  }
}

TEST_F(FileAssociations, ValueThatIsNotTextIsNotJudged) {
  const found::RegValue number{found::kRegDword, {1, 0, 0, 0}};
  SetValue(kHkeyClassesRoot, "\\.dw", "", number);
  Key("\\.dw\\shell\\command");
  Text("\\.zz", "", "zzfile");
  SetValue(kHkeyClassesRoot, "\\oldcls\\CLSID", "", number);
  Text("\\.abc", "", "abcfile");
  SetValue(kHkeyClassesRoot, "\\abcfile\\CLSID", "", number);
  SetValue(kHkeyClassesRoot, "\\abcfile\\DefaultIcon", "", number);
  SetValue(kHkeyClassesRoot, "\\abcfile\\shell\\a\\command", "", number);
  Key("\\abcfile\\shell\\b");
  SetValue(kHkeyClassesRoot, "\\abcfile\\shellex\\ContextMenuHandlers\\H", "", number);
  Key("\\abcfile\\shellex\\PropertySheetHandlers\\P");
  RunScan({6, 16});
  EXPECT_EQ(fatal_, "");
  EXPECT_EQ(Rows(kCaption), (std::vector<Row>{
                                Problem("\\.dw\\shell\\command", kNoData),
                                Problem("\\.zz", "This registry key points to missing key HKEY_CLASSES_ROOT\\zzfile"),
                                Problem("\\abcfile\\Shell\\b", kNoCommand),
                                Problem("\\abcfile\\shellex\\PropertySheetHandlers\\P", kIncomplete),
                            }));
  const auto announced = std::count_if(host_.calls.begin(), host_.calls.end(),
                                       [](const DialogCall& c) { return c.text == "Scaning Device Drivers..."; });
  EXPECT_EQ(announced, 1) << "the next section still runs";
}

}  // namespace
}  // namespace scantest
