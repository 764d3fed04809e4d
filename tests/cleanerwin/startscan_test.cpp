// The progress dialog as the scan worker and the main window drive it.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "cleaner/app/win32/startscan.h"
#include "cleaner/scan/threadscan.h"
#include "foundation/backends/win32/win32_platform.h"
#include "foundation/globals.h"
#include "widgets/application.h"

namespace {

using cleaner::TfrmScan;

int BarPosition(const widgets::ProgressBar& bar) {
  return static_cast<int>(SendMessageW(bar.Handle(), PBM_GETPOS, 0, 0));
}

class StartScan : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(owner_.Create({"Owner", 686, 500}));
    ASSERT_TRUE(dialog_.Create(&owner_));
  }
  widgets::Application app_;
  widgets::Form owner_;
  TfrmScan dialog_;
};

TEST_F(StartScan, ShowFinishedTellsTheResultPerMode) {
  struct Case {
    const char* name;
    int mode;
    int problems;
    std::string section;
    std::string key;
    bool repairShown;
  };
  const std::string summary = "3 problems found,3 problems selected for repairing.";
  for (const Case& c : {
           Case{"scan with problems", cleaner::kModeScan, 3, "Scan finished",
                summary + "\r\n\r\nClick Repair to solve them automatically or click Close to view details.", true},
           Case{"scan without problems", cleaner::kModeScan, 0, "Scan finished", summary, false},
           Case{"repair", cleaner::kModeRepair, 0, "Repair finished", summary, false},
       }) {
    SCOPED_TRACE(c.name);
    TfrmScan dialog;
    ASSERT_TRUE(dialog.Create(&owner_));
    dialog.OnRepair = [] {};
    dialog.Mode = c.mode;
    dialog.Show();
    EXPECT_EQ(dialog.Text(), c.mode == cleaner::kModeScan ? "Scaning..." : "Repairing...");
    EXPECT_EQ(dialog.btnclose.Text(), "Cancel");
    dialog.ShowFinished(summary, c.problems);
    EXPECT_EQ(dialog.lblsection.Text(), c.section);
    EXPECT_EQ(dialog.lblscankey.Text(), c.key);
    EXPECT_EQ(dialog.btnRepair.Visible(), c.repairShown);
    EXPECT_FALSE(dialog.Image1.Visible());
    EXPECT_EQ(dialog.btnclose.Text(), "Close");
    EXPECT_EQ(BarPosition(dialog.pb1), 100);
    EXPECT_EQ(BarPosition(dialog.pb2), 100);
    dialog.Close();
  }
}

TEST_F(StartScan, ClosingAsksTheWorkerToStopAndRepairRunsTheAction) {
  int stops = 0;
  int repairs = 0;
  dialog_.OnStopWorker = [&] { ++stops; };
  dialog_.OnRepair = [&] {
    ++repairs;
    EXPECT_FALSE(dialog_.Visible()) << "hidden while the repair runs";
  };
  dialog_.Show();
  dialog_.btnRepair.Click();
  EXPECT_EQ(repairs, 1);
  EXPECT_EQ(stops, 1) << "closed after the repair, which tells the worker";
}

// A real scan worker writes into the dialog while it is shown modally.
TEST_F(StartScan, ScanWorkerDrivesTheModalDialog) {
  found::Win32Platform platform;
  platform.Install();
  found::InitGlobalVars();
  struct Host : cleaner::ScanListHost {
    cleaner::ProblemTree problems;
    std::vector<cleaner::SectionTreeItem> SectionItems() override { return {{100, false, true}}; }
    cleaner::ProblemTree& Problems() override { return problems; }
    int TextWidth(const std::string& text) override { return static_cast<int>(text.size()) * 6; }
    int FirstColumnWidth() override { return 100; }
    void SetFirstColumnWidth(int) override {}
  } host;
  std::vector<int> sectionPositions;
  std::string announced;
  auto* scan = new cleaner::TScan(app_.Dispatcher(), host, &dialog_);
  scan->FreeOnTerminate = true;
  scan->OnTerminate = [&](found::TThread&) {
    announced = dialog_.lblsection.Text();
    sectionPositions.push_back(BarPosition(dialog_.pb2));
    dialog_.ShowFinished("0 problems found,0 problems selected for repairing.", 0);
    dialog_.Close();
  };
  dialog_.OnStopWorker = [] {};
  dialog_.ShowModal();
  EXPECT_EQ(announced, "Scaning Spyware and Virus...");
  EXPECT_EQ(BarPosition(dialog_.pb1), 100);
  EXPECT_EQ(sectionPositions, std::vector<int>{100}) << "the last report shown, 101, held at the bar's end";
}

}  // namespace
