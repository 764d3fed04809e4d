// TfrmRegMain: the cleaner's main window. The section tree and the problem
// list live in their models (SectionTree, ProblemList); this window shows
// them, turns clicks into model calls and moves its controls to what the
// models computed. It is also the host through which the scan worker reads
// the ticked sections and fills the list.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "cleaner/app/problemlist.h"
#include "cleaner/app/sectiontree.h"
#include "cleaner/app/win32/startscan.h"
#include "cleaner/scan/scanhost.h"
#include "foundation/thread.h"
#include "widgets/actions.h"
#include "widgets/checktree.h"
#include "widgets/controls.h"
#include "widgets/drawtree.h"
#include "widgets/groupbar.h"
#include "widgets/menus.h"
#include "widgets/pictures.h"
#include "widgets/window.h"

namespace cleaner {

class TScan;

// Resource ids of cobaltine.rc; a program without them (the tests) simply
// shows no pictures.
inline constexpr int kIconMain = 1;
inline constexpr int kResBanner = 100;
inline constexpr int kResProgress = 101;
inline constexpr int kResHelp = 110;
inline constexpr int kResScan = 111;
inline constexpr int kResRepair = 112;
inline constexpr int kResRestore = 113;
inline constexpr int kResUninstall = 114;
inline constexpr int kResSectionFirst = 200;  // sections/00.png .. 23.png
inline constexpr int kSectionPictures = 24;

class TfrmRegMain : public widgets::Form, public ScanListHost {
 public:
  explicit TfrmRegMain(found::GuiDispatcher& gui);
  ~TfrmRegMain() override;

  [[nodiscard]] bool Create();

  // The actions (ActionList1).
  widgets::ActionList ActionList1;
  widgets::Action* actscan = nullptr;
  widgets::Action* actRepair = nullptr;
  widgets::Action* actRestore = nullptr;
  widgets::Action* actOpeninregedit = nullptr;
  widgets::Action* actExport = nullptr;
  widgets::Action* actHelp = nullptr;
  widgets::Action* actHomepage = nullptr;
  widgets::Action* actrecommend = nullptr;

  // Controls.
  widgets::Picture Image1;  // the banner
  // White text over the banner picture.
  widgets::Label Label1, Label7;
  widgets::LinkLabel Label3;
  widgets::Picture Image2;
  widgets::GroupBar RzGroupBar1;
  int grpTasks = -1, grpSections = -1, grpTools = -1;
  widgets::CheckTree ctSections;
  widgets::Label Label6;
  widgets::DrawTree vTree1;
  widgets::ComboBox cbofix;
  widgets::Button btnRegedit;
  widgets::StatusBar StatusBar1;
  widgets::MainMenu MainMenu1;
  widgets::PopupMenu PopupMenu1;

  SectionTree& Sections() { return sections_; }
  ProblemList& List() { return list_; }
  TfrmScan* ProgressDialog = nullptr;
  TScan* ScanThread = nullptr;

  // Handlers other parts and tests run.
  void actscanExecute();
  void ScanFinished();
  void UpdateSummary();
  // Shows the list's rows again after the model changed.
  void ReloadList();
  // vTree1Scroll: moves cbofix and btnRegedit where the list model put them.
  void PlaceControls();
  // Selects a row of the list as a click would (null clears).
  void SelectRow(ProblemNode* node);
  // The ctSections item of a section.
  HTREEITEM SectionItem(int sectionId) const;
  // Clicks the box of a section tree item, as the user does.
  void ClickSectionCheck(int sectionId);

  // Runs right after ScanFinished (a test closes the dialog from here).
  std::function<void()> OnScanFinished;

  // ScanListHost
  std::vector<SectionTreeItem> SectionItems() override { return sections_.Items(); }
  ProblemTree& Problems() override { return list_.Tree(); }
  int TextWidth(const std::string& text) override;
  int FirstColumnWidth() override { return list_.FirstColumnWidth(); }
  void SetFirstColumnWidth(int width) override;

 private:
  class Canvas : public ListCanvas {
   public:
    int TextWidth(const std::string& text) override;
    int TextHeight(const std::string& text) override;
  };
  class ListSource : public widgets::TreeModelSource<TRegData> {
   public:
    using TreeModelSource::TreeModelSource;
    std::function<void()> OnExpandedChanged;
    void ToggleExpanded(int row) override {
      TreeModelSource::ToggleExpanded(row);
      if (OnExpandedChanged) OnExpandedChanged();
    }
  };

  bool CreateActions();
  bool CreateMenus();
  bool CreateBanner();
  bool CreateTaskPane();
  bool CreateList();
  void BuildSectionTree();
  void ShowSectionChecks();
  void LayoutControls();
  void RzGroupBar1Resize();
  void PaintRow(ProblemNode& node, HDC dc, const RECT& content);
  void ShowSummary(const Summary& summary);
  void ScanIdle();

  void actOpeninregeditExecute();
  void actHelpExecute();
  void actHomepageExecute();
  void actrecommendExecute();
  void grpToolsItems0Click();

  found::GuiDispatcher& gui_;
  Canvas canvas_;
  SectionTree sections_;
  ProblemList list_;
  std::unique_ptr<ListSource> source_;
  widgets::UniqueHimagelist ImageList2;
  size_t shownRows_ = 0;
  int idleToken_ = 0;
};

// The folder of the running program, ending with "\".
std::string ProgramFolder();

}  // namespace cleaner
