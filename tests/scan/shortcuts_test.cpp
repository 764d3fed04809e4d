// "ShortCuts": shortcut files of the profile folders whose target is gone.
#include <algorithm>

#include "scan_fixture.h"

namespace scantest {
namespace {

using cleaner::kKindDeleteFile;

const std::string kAllUsers = "C:\\Documents and Settings\\All Users\\";
const std::string kUser = "C:\\Documents and Settings\\user\\";
const std::string kAppData = "C:\\Documents and Settings\\user\\Application Data\\";
const std::string kWindows = "C:\\WINDOWS\\";

Row Broken(const std::string& lnk, const std::string& target) {
  return {0, lnk, "", "", "This shortcut points to the missing target " + target, kKindDeleteFile};
}

class ShortCutsScan : public ScanFixture {
 protected:
  // A shortcut file on disk and the target the shell reads from it.
  void Shortcut(const std::string& lnk, const std::string& target) {
    MakeFile(lnk);
    sandbox_.shell.SetShortcut(lnk, target);
  }
  void SetVersion(const found::VersionInfo& version) {
    sandbox_.system.SetVersion(version);
    found::InitGlobalVars();
  }
};

TEST_F(ShortCutsScan, ReportsShortcutsWhoseTargetIsGone) {
  MakeFile("C:\\Data\\file.txt");
  Shortcut(kAllUsers + "Desktop\\Fine.lnk", "C:\\Data\\file.txt");
  Shortcut(kAllUsers + "Desktop\\Folder.lnk", "C:\\Data");
  Shortcut(kAllUsers + "Desktop\\Gone App.lnk", "C:\\Gone\\app.exe");
  Shortcut(kAllUsers + "Recent\\doc.lnk", "C:\\Gone\\doc.txt");
  MakeFile(kUser + "Desktop\\unreadable.lnk");  // the shell reads no target from it
  Shortcut(kUser + "Desktop\\Upper.LNK", "C:\\Gone\\upper.exe");
  Shortcut(kUser + "Desktop\\notes.txt", "C:\\Gone\\notes.exe");
  Shortcut(kUser + "Desktop\\Sub.lnk\\inner.lnk", "C:\\Gone\\inner.exe");  // a folder named like a shortcut
  Shortcut(kUser + "Recent\\r.lnk", "C:\\Gone\\r.doc");
  Shortcut(kAppData + "Microsoft\\Quick Launch\\ql.lnk", "C:\\Gone\\ql.exe");
  Shortcut(kAllUsers + "Start Menu\\Programs\\Vendor\\app.lnk", "C:\\Gone\\vendor.exe");
  Shortcut(kAllUsers + "Start Menu\\Programs\\Startup\\run.lnk", "C:\\Gone\\run.exe");
  Shortcut(kUser + "Start Menu\\Programs\\Startup\\mine.lnk", "C:\\Gone\\mine.exe");
  // Folders that are not walked.
  Shortcut(kUser + "elsewhere.lnk", "C:\\Gone\\x.exe");
  Shortcut(kAllUsers + "Documents\\doc.lnk", "C:\\Gone\\y.exe");
  RunScan({19});
  EXPECT_EQ(Rows("ShortCuts"),
            (std::vector<Row>{
                Broken(kAllUsers + "Desktop\\Gone App.lnk", "C:\\Gone\\app.exe"),
                Broken(kAllUsers + "Recent\\doc.lnk", "C:\\Gone\\doc.txt"),
                Broken(kUser + "Desktop\\Sub.lnk\\inner.lnk", "C:\\Gone\\inner.exe"),
                Broken(kUser + "Recent\\r.lnk", "C:\\Gone\\r.doc"),
                Broken(kAppData + "Microsoft\\Quick Launch\\ql.lnk", "C:\\Gone\\ql.exe"),
                // "Start Menu\programs" is walked with "Startup" in it, then "Startup" again.
                Broken(kAllUsers + "Start Menu\\programs\\Startup\\run.lnk", "C:\\Gone\\run.exe"),
                Broken(kAllUsers + "Start Menu\\programs\\Vendor\\app.lnk", "C:\\Gone\\vendor.exe"),
                Broken(kAllUsers + "Start Menu\\Programs\\Startup\\run.lnk", "C:\\Gone\\run.exe"),
                Broken(kUser + "Start Menu\\programs\\Startup\\mine.lnk", "C:\\Gone\\mine.exe"),
                Broken(kUser + "Start Menu\\Programs\\Startup\\mine.lnk", "C:\\Gone\\mine.exe"),
            }));
  const auto keys = Texts(host_.calls, "key");
  EXPECT_NE(std::find(keys.begin(), keys.end(), kUser + "Desktop\\unreadable.lnk"), keys.end())
      << "a shortcut without target is examined, not reported";
  for (const char* name : {"Upper.LNK", "notes.txt"}) {
    EXPECT_EQ(std::find(keys.begin(), keys.end(), kUser + "Desktop\\" + name), keys.end()) << name;
  }
}

TEST_F(ShortCutsScan, EveryShortcutShowsInTheKeyLineWithItsFoldersPosition) {
  MakeFile("C:\\Target.exe");
  for (const char* lnk : {"Desktop\\a.lnk", "Recent\\b.lnk", "Start Menu\\Programs\\f.lnk",
                          "Start Menu\\Programs\\Startup\\g.lnk"}) {
    Shortcut(kAllUsers + lnk, "C:\\Target.exe");
    Shortcut(kWindows + lnk, "C:\\Target.exe");
  }
  for (const char* lnk : {"Desktop\\c.lnk", "Recent\\d.lnk", "Start Menu\\Programs\\h.lnk",
                          "Start Menu\\Programs\\Startup\\i.lnk"}) {
    Shortcut(kUser + lnk, "C:\\Target.exe");
  }
  Shortcut(kAppData + "e.lnk", "C:\\Target.exe");

  struct Case {
    const char* name;
    found::VersionInfo version;
    std::vector<std::string> keys;
    std::vector<int> positions;
  };
  const std::vector<std::string> profiles = {
      "",
      kAllUsers + "Desktop\\a.lnk",
      kAllUsers + "Recent\\b.lnk",
      kUser + "Desktop\\c.lnk",
      kUser + "Recent\\d.lnk",
      kAppData + "e.lnk",
      kAllUsers + "Start Menu\\programs\\f.lnk",
      kAllUsers + "Start Menu\\programs\\Startup\\g.lnk",
      kAllUsers + "Start Menu\\Programs\\Startup\\g.lnk",
      kUser + "Start Menu\\programs\\h.lnk",
      kUser + "Start Menu\\programs\\Startup\\i.lnk",
      kUser + "Start Menu\\Programs\\Startup\\i.lnk",
  };
  const std::vector<int> profilePositions = {11, 22, 33, 44, 55, 66, 66, 77, 88, 88, 100};
  const std::vector<std::string> windows = {
      "",
      kWindows + "Desktop\\a.lnk",
      kWindows + "Recent\\b.lnk",
      kWindows + "Start Menu\\programs\\f.lnk",
      kWindows + "Start Menu\\programs\\Startup\\g.lnk",
      kWindows + "Start Menu\\programs\\Startup\\g.lnk",
  };
  const std::vector<int> windowsPositions = {25, 50, 75, 75, 100};
  const std::vector<Case> cases = {
      {"xp", {5, 1, 2}, profiles, profilePositions},
      {"later Windows (no version name)", {6, 1, 2}, profiles, profilePositions},
      {"98", {4, 10, 1}, windows, windowsPositions},
      {"me", {4, 90, 1}, windows, windowsPositions},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetVersion(c.version);
    host_.calls.clear();
    RunScan({19});
    EXPECT_EQ(Texts(host_.calls, "key"), c.keys);
    EXPECT_EQ(Values(host_.calls, "position"), c.positions);
    EXPECT_TRUE(host_.problems.Roots().empty());
  }
}

TEST_F(ShortCutsScan, StopRequestEndsTheWalk) {
  for (int i = 0; i < 40; ++i) {
    Shortcut(kAllUsers + "Desktop\\s" + std::to_string(100 + i) + ".lnk", "C:\\Gone\\app.exe");
  }
  Shortcut(kUser + "Desktop\\later.lnk", "C:\\Gone\\later.exe");
  size_t stoppedAt = 0;
  RunScan({19}, [&](cleaner::TScan& scan) {
    if (!scan.Terminated() && host_.problems.TotalCount() >= 3) {
      scan.Terminate();
      stoppedAt = host_.problems.TotalCount() - 1;
    }
  });
  const auto rows = Rows("ShortCuts");
  ASSERT_FALSE(rows.empty());
  EXPECT_LE(rows.size(), stoppedAt + 1) << "at most the shortcut in hand is still added";
  for (const auto& row : rows) EXPECT_EQ(row.keyPath.rfind(kAllUsers + "Desktop\\", 0), 0u) << row;
  EXPECT_EQ(host_.problems.Roots().front()->data.ProblemCount, static_cast<int>(rows.size()));
}

}  // namespace
}  // namespace scantest
