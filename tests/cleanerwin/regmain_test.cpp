// The cleaner's main window as the user meets it: the section tree after
// start-up, ticking sections, and a scan that fills the problem list.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "cleaner/app/win32/regmain.h"
#include "foundation/backends/win32/win32_platform.h"
#include "foundation/globals.h"
#include "widgets/application.h"

namespace {

using cleaner::TfrmRegMain;
using found::CheckState;

constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const wchar_t* kPlantedName = L"CobaltineMissingStarter";
constexpr const wchar_t* kPlantedCommand = L"C:\\nowhere\\cobaltine-missing-starter.exe";

class RegMain : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_.Install();
    found::InitGlobalVars();
    ASSERT_TRUE(main_.Create());
    main_.Show();
  }

  std::string ItemText(int sectionId) { return main_.ctSections.ItemText(main_.SectionItem(sectionId)); }
  CheckState Check(int sectionId) { return main_.ctSections.Check(main_.SectionItem(sectionId)); }

  // What a click on the item's box runs (the tree's hit test sends it there).
  void ClickSectionBox(int sectionId) {
    ASSERT_NE(main_.SectionItem(sectionId), nullptr);
    main_.ClickSectionCheck(sectionId);
  }

  void ClickList(POINT at) {
    const HWND list = main_.vTree1.Handle();
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
  }

  static bool Expanded(HWND tree, HTREEITEM item) {
    return (SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
  }

  // The enabled state the task pane shows for a caption.
  bool TaskEnabled(const char* caption) {
    const std::wstring wide(caption, caption + std::char_traits<char>::length(caption));
    HWND item = FindWindowExW(main_.RzGroupBar1.Handle(), nullptr, nullptr, wide.c_str());
    EXPECT_NE(item, nullptr) << caption;
    return item && IsWindowEnabled(item);
  }

  widgets::Application app_;
  found::Win32Platform platform_;
  TfrmRegMain main_{app_.Dispatcher()};
};

TEST_F(RegMain, StartsWithEverySectionTickedTheTreeOpenAndNothingToRepair) {
  EXPECT_EQ(main_.Text(), "Cobaltine");
  EXPECT_EQ(main_.Label1.Text(), "Cobaltine");
  const auto items = main_.ctSections.Items();
  ASSERT_EQ(items.size(), 24u);
  for (HTREEITEM item : items) {
    EXPECT_EQ(main_.ctSections.Check(item), CheckState::Checked) << main_.ctSections.ItemText(item);
  }
  EXPECT_TRUE(Expanded(main_.ctSections.Handle(), main_.SectionItem(0)));
  EXPECT_TRUE(Expanded(main_.ctSections.Handle(), main_.SectionItem(2)));
  ASSERT_NE(main_.ctSections.Selected(), nullptr);
  EXPECT_EQ(main_.ctSections.ItemText(main_.ctSections.Selected()), "My Computer");
  EXPECT_EQ(ItemText(21), "HKEY_LOCAL_MACHINE");

  EXPECT_EQ(main_.vTree1.RowCount(), 0);
  widgets::Action::UpdateAll();
  EXPECT_FALSE(main_.actRepair->Enabled());
  EXPECT_FALSE(main_.actExport->Enabled());
  EXPECT_FALSE(TaskEnabled("Repair your registry"));
  EXPECT_TRUE(TaskEnabled("Scan registry for problems"));
  EXPECT_EQ(main_.Label6.Text(), "Summary of found problems:");
  EXPECT_LT(main_.cbofix.BoundsRect().right, 0) << "parked out of sight";
}

TEST_F(RegMain, ClearingFilesAndFoldersClearsItsHives) {
  ClickSectionBox(2);
  for (int hive : {21, 22, 23}) EXPECT_EQ(Check(hive), CheckState::Unchecked) << ItemText(hive);
  EXPECT_EQ(Check(2), CheckState::Unchecked);
  EXPECT_EQ(Check(0), CheckState::Mixed);
  EXPECT_EQ(Check(1), CheckState::Checked) << "a sibling keeps its tick";

  ClickSectionBox(22);
  EXPECT_EQ(Check(22), CheckState::Checked);
  EXPECT_EQ(Check(2), CheckState::Mixed);
  EXPECT_EQ(Check(0), CheckState::Mixed);

  // The worker reads what the boxes show.
  for (const auto& item : main_.SectionItems()) {
    if (item.id == 21 || item.id == 23) {
      EXPECT_FALSE(item.checked) << item.id;
    }
    if (item.id == 22 || item.id == 8) {
      EXPECT_TRUE(item.checked) << item.id;
    }
  }
}

class RegMainScan : public RegMain {
 protected:
  void SetUp() override {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const std::wstring data(kPlantedCommand);
    RegSetValueExW(key, kPlantedName, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    RegMain::SetUp();
  }
  void TearDown() override { RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, kPlantedName); }

  // Scans only "Startup Programs", the dialog closing itself at the end.
  void ScanStartupPrograms() {
    ClickSectionBox(0);
    ClickSectionBox(8);
    main_.OnScanFinished = [this] {
      ASSERT_NE(main_.ProgressDialog, nullptr);
      main_.ProgressDialog->Close();
    };
    main_.actscanExecute();
    EXPECT_EQ(main_.ScanThread, nullptr);
    EXPECT_EQ(main_.ProgressDialog, nullptr);
  }

  cleaner::ProblemNode* Planted() {
    for (const auto& section : main_.List().Tree().Roots()) {
      for (const auto& row : section->children) {
        if (row->data.ValueName == "CobaltineMissingStarter") return row.get();
      }
    }
    return nullptr;
  }

  int RowOf(const cleaner::ProblemNode* node) {
    for (int row = 0; row < main_.vTree1.RowCount(); ++row) {
      // The list shows the model's rows in order; find the row by its top.
      const RECT rect = main_.vTree1.RowRect(row);
      if (main_.List().RowAt((rect.top + rect.bottom) / 2) == node) return row;
    }
    return -1;
  }
};

TEST_F(RegMainScan, ScanListsTheBrokenStartupEntryAndUntickingItUpdatesTheSummary) {
  ScanStartupPrograms();
  cleaner::ProblemNode* problem = Planted();
  ASSERT_NE(problem, nullptr);
  ASSERT_NE(problem->parent, nullptr);
  EXPECT_EQ(problem->parent->data.Caption, "Startup programs");
  for (const auto& section : main_.List().Tree().Roots()) {
    EXPECT_EQ(section->data.Caption, "Startup programs") << "only the ticked section was scanned";
  }
  EXPECT_EQ(problem->check, CheckState::Checked);
  widgets::Action::UpdateAll();
  // Repair and the report need the backup engine, which the program lacks.
  EXPECT_FALSE(main_.actRepair->Enabled());
  EXPECT_FALSE(main_.actExport->Enabled());
  EXPECT_FALSE(TaskEnabled("Repair your registry"));

  const int found = static_cast<int>(problem->parent->children.size());
  const std::string foundText = found == 1 ? "1 problem found" : std::to_string(found) + " problems found";
  EXPECT_EQ(main_.StatusBar1.PanelText(0), foundText);

  // A click on the section row opens it and keeps the correction box away.
  const int sectionRow = RowOf(problem->parent);
  ASSERT_GE(sectionRow, 0);
  const RECT sectionRect = main_.vTree1.RowRect(sectionRow);
  ClickList({main_.vTree1.ContentRect(sectionRow).left + 40, (sectionRect.top + sectionRect.bottom) / 2});
  EXPECT_EQ(main_.List().Selected(), problem->parent);
  EXPECT_LT(main_.cbofix.BoundsRect().right, 0);

  // The problem row is shown: a click on it selects it and brings the box.
  const int row = RowOf(problem);
  ASSERT_GE(row, 0) << "the problem row is shown";
  const RECT rowRect = main_.vTree1.RowRect(row);
  const RECT content = main_.vTree1.ContentRect(row);
  ClickList({content.left + 40, (rowRect.top + rowRect.bottom) / 2 - 4});
  EXPECT_EQ(main_.List().Selected(), problem);
  const RECT combo = main_.cbofix.BoundsRect();
  EXPECT_GE(combo.left, content.left) << "the box moved onto the selected row";
  EXPECT_LE(combo.top, main_.vTree1.RowRect(RowOf(problem)).bottom) << "on the selected row";
  EXPECT_GE(combo.top, main_.vTree1.RowRect(RowOf(problem)).top) << "on the selected row";
  EXPECT_EQ(main_.cbofix.Text(), "Delete this entry");
  EXPECT_EQ(main_.btnRegedit.Text(), "Open in Regedit");

  // Untick it with the mouse.
  const RECT box = main_.vTree1.CheckBoxRect(RowOf(problem));
  ClickList({(box.left + box.right) / 2, (box.top + box.bottom) / 2});
  EXPECT_EQ(problem->check, CheckState::Unchecked);
  const int selected = found - 1;
  const std::string selectedText = selected == 0   ? "No problems selected for repairing"
                                   : selected == 1 ? "1 problem selected for repairing"
                                                   : std::to_string(selected) + " problems selected for repairing";
  EXPECT_EQ(main_.StatusBar1.PanelText(1), selectedText);
  EXPECT_EQ(main_.Label6.Text(), "Summary of found problems:  (" + foundText + "," + selectedText + ")");
  EXPECT_EQ(main_.cbofix.Text(), "Leave this entry without change");
}

TEST_F(RegMainScan, ANewScanReplacesTheRowsOfTheLastOne) {
  ScanStartupPrograms();
  ASSERT_NE(Planted(), nullptr);
  main_.actscanExecute();
  ASSERT_EQ(main_.List().Tree().Roots().size(), 1u) << "the old section row is not kept beside the new one";
  EXPECT_EQ(main_.List().ExpandedRow(), nullptr);
  EXPECT_EQ(main_.vTree1.RowCount(), static_cast<int>(main_.List().VisibleRows().size()));
}

}  // namespace
