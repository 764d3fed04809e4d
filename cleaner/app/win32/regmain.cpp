#include "cleaner/app/win32/regmain.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "cleaner/app/win32/regjump_win32.h"
#include "cleaner/scan/threadscan.h"
#include "foundation/backends/win32/wide.h"
#include "foundation/image/jpeg.h"
#include "foundation/image/png.h"
#include "foundation/platform.h"
#include "widgets/application.h"
#include "widgets/metrics.h"

namespace cleaner {

namespace {

constexpr const char* kHomePage = "https://www.quorvell.com/";
constexpr int kBannerHeight = 60;
constexpr int kGap = 8;

// A picture compiled into the program; nullopt in a program without it.
std::optional<imaging::Image> LoadPicture(int id, bool jpeg = false) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  if (!info) return std::nullopt;
  HGLOBAL handle = LoadResource(module, info);
  const void* data = handle ? LockResource(handle) : nullptr;
  if (!data) return std::nullopt;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  const std::size_t size = SizeofResource(module, info);
  return jpeg ? imaging::DecodeJpeg(bytes, size) : imaging::DecodePng(bytes, size);
}

COLORREF ColorOf(TextColor color) {
  switch (color) {
    case TextColor::HighlightText: return GetSysColor(COLOR_HIGHLIGHTTEXT);
    case TextColor::Grey: return RGB(128, 128, 128);
    case TextColor::WindowText: break;
  }
  return GetSysColor(COLOR_WINDOWTEXT);
}

SIZE MeasureText(const std::string& text) {
  widgets::WindowDc screen(nullptr);
  widgets::SelectObjectGuard font(screen.get(), widgets::FormFont());
  const std::wstring wide = found::Widen(text);
  SIZE size{};
  GetTextExtentPoint32W(screen.get(), wide.c_str(), static_cast<int>(wide.size()), &size);
  return size;
}

}  // namespace

std::string ProgramFolder() {
  std::string path = found::CurrentPlatform().system ? found::CurrentPlatform().system->ProgramPath() : "";
  const auto slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The list's font is the forms' font (Tahoma, 11 pixels at 96 DPI).
int TfrmRegMain::Canvas::TextWidth(const std::string& text) { return MeasureText(text).cx; }
int TfrmRegMain::Canvas::TextHeight(const std::string& text) { return MeasureText(text).cy; }

TfrmRegMain::TfrmRegMain(found::GuiDispatcher& gui) : gui_(gui), list_(canvas_) {}

TfrmRegMain::~TfrmRegMain() {
  if (idleToken_) widgets::RemoveIdleHandler(idleToken_);
  // A worker still running must not reach a window that is gone.
  if (ScanThread) ScanThread->Terminate();
}

bool TfrmRegMain::Create() {
  widgets::FormOptions options;
  options.caption = "Cobaltine";
  options.clientWidth = 686;
  options.clientHeight = 500;
  options.border = widgets::BorderStyle::Sizeable;
  options.position = widgets::Position::ScreenCenter;
  options.className = "TfrmRegMain";
  options.iconId = FindResourceW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconMain), MAKEINTRESOURCEW(14))
                       ? kIconMain
                       : 0;
  if (!widgets::Form::Create(options)) return false;
  if (auto* app = widgets::Application::Instance()) app->SetTitle("Cobaltine");

  std::vector<imaging::Image> pictures;
  for (int i = 0; i < kSectionPictures; ++i) {
    auto picture = LoadPicture(kResSectionFirst + i);
    if (!picture) break;
    pictures.push_back(std::move(*picture));
  }
  if (pictures.size() == kSectionPictures) {
    ImageList2 = widgets::ImageListFromImages(pictures, widgets::Scale(16), widgets::Scale(16));
  }

  if (!CreateActions() || !CreateMenus() || !StatusBar1.Create(*this) || !CreateBanner() || !CreateTaskPane() ||
      !CreateList()) {
    return false;
  }
  StatusBar1.SetPanels({200, 50});
  BuildSectionTree();
  actRepair->SetEnabled(false);
  OnResize = [this] { LayoutControls(); };
  LayoutControls();
  idleToken_ = widgets::AddIdleHandler([this] { ScanIdle(); });
  return true;
}

bool TfrmRegMain::CreateActions() {
  actscan = &ActionList1.Add("Scan registry for problems", [this] { actscanExecute(); });
  // Repair, restore and the report need the backup engine; the program does
  // not have it yet, so they are listed but stay disabled.
  const auto withoutBackups = [] { return false; };
  actRepair = &ActionList1.Add("Repair your registry", {}, withoutBackups);
  actRestore = &ActionList1.Add("Restore previous repairs", {}, withoutBackups);
  actOpeninregedit = &ActionList1.Add("Open in Regedit", [this] { actOpeninregeditExecute(); });
  actExport = &ActionList1.Add("Export ...", {}, withoutBackups);
  actHelp = &ActionList1.Add("Help Contents", [this] { actHelpExecute(); });
  actHomepage = &ActionList1.Add("Quorvell Home Page", [this] { actHomepageExecute(); });
  actrecommend = &ActionList1.Add("Recommend to Friends", [this] { actrecommendExecute(); });
  return true;
}

bool TfrmRegMain::CreateMenus() {
  widgets::Menu& file = MainMenu1.AddSubmenu("&File");
  file.AddItem(*actExport);
  file.AddSeparator();
  file.AddItem("E&xit", [this] { Close(); });  // Exit1Click
  widgets::Menu& action = MainMenu1.AddSubmenu("&Action");
  action.AddItem(*actscan);
  action.AddItem(*actRepair);
  action.AddSeparator();
  action.AddItem(*actRestore);
  widgets::Menu& help = MainMenu1.AddSubmenu("&Help");
  help.AddItem(*actHelp, {VK_F1});
  help.AddItem(*actHomepage);
  help.AddItem(*actrecommend);
  PopupMenu1.AddItem(*actOpeninregedit);
  return MainMenu1.AttachTo(*this);
}

bool TfrmRegMain::CreateBanner() {
  if (!Image1.Create(*this, {0, 0, 686, kBannerHeight}, "Cobaltine")) return false;
  if (auto banner = LoadPicture(kResBanner, true)) (void)Image1.SetImage(*banner);
  // The labels sit on the banner picture, so they are its children and
  // paint over it.
  widgets::LabelOptions bold;
  bold.bold = true;
  if (!Label1.Create(Image1, {16, 12, 300, 16}, "Cobaltine", bold) ||
      !Label7.Create(Image1, {16, 34, 420, 14}, "Scan and clean up your registry to improve your system's performance.") ||
      !Image2.Create(Image1, {600, 22, 16, 16}, "Help") || !Label3.Create(Image1, {620, 23, 40, 14}, "Help")) {
    return false;
  }
  Label1.SetColor(RGB(255, 255, 255));
  Label7.SetColor(RGB(255, 255, 255));
  if (auto help = LoadPicture(kResHelp)) (void)Image2.SetImage(*help);
  Label3.OnClick = [this] { actHelp->Execute(); };
  return true;
}

bool TfrmRegMain::CreateTaskPane() {
  widgets::GroupBarOptions options;
  options.bounds = {0, kBannerHeight, widgets::GroupBar::kDesignWidth, 400};
  if (!RzGroupBar1.Create(*this, options)) return false;
  grpTasks = RzGroupBar1.AddGroup("Tasks");
  const std::pair<widgets::Action*, int> tasks[] = {{actscan, kResScan}, {actRepair, kResRepair},
                                                    {actRestore, kResRestore}};
  for (const auto& [action, picture] : tasks) {
    const auto image = LoadPicture(picture);
    RzGroupBar1.AddItem(grpTasks, action->Caption(), image ? &*image : nullptr).SetAction(action);
  }
  grpSections = RzGroupBar1.AddGroup("Select the sections to scan");
  widgets::CheckTreeOptions tree;
  tree.rootLines = false;
  if (!ctSections.Create(RzGroupBar1, {0, 0, 150, 100}, "Sections", tree)) return false;
  if (ImageList2) ctSections.SetImageList(ImageList2.get());
  RzGroupBar1.HostChild(grpSections, ctSections);
  grpTools = RzGroupBar1.AddGroup("Miscellaneous Tools");
  const auto uninstall = LoadPicture(kResUninstall);
  RzGroupBar1.AddItem(grpTools, "Uninstall Manager", uninstall ? &*uninstall : nullptr).OnClick = [this] {
    grpToolsItems0Click();
  };

  ctSections.OnCheckClick = [this](HTREEITEM item) {
    sections_.ClickCheck(sections_.Find(static_cast<int>(ctSections.ItemData(item))));
    ShowSectionChecks();
  };
  ctSections.OnDoubleClick = [this](HTREEITEM) { ctSections.ExpandAll(); };  // ctSectionsDblClick
  ctSections.OnSelectionChanged = [this](HTREEITEM item) {
    sections_.Select(item ? sections_.Find(static_cast<int>(ctSections.ItemData(item))) : nullptr);
  };
  return true;
}

bool TfrmRegMain::CreateList() {
  widgets::LabelOptions summary;
  if (!Label6.Create(*this, {201, kBannerHeight + 6, 470, 14}, "Summary of found problems:", summary)) return false;
  source_ = std::make_unique<ListSource>(list_.Tree());
  source_->OnPaint = [this](ProblemNode& node, HDC dc, const RECT& content, bool, bool) {
    PaintRow(node, dc, content);
  };
  source_->OnSelect = [this](ProblemNode* node) {
    list_.Select(node);
    ReloadList();
  };
  source_->OnCheckClick = [this](ProblemNode& node) {
    list_.ClickCheck(&node);
    ShowSummary(list_.CurrentSummary());
    PlaceControls();
  };
  source_->OnDoubleClick = [this](ProblemNode& node) {
    list_.ToggleExpansion(&node);
    ReloadList();
  };
  source_->OnExpandedChanged = [this] {
    list_.Scroll(list_.Scrolled());  // vTree1Expanded / vTree1Collapsed place the controls again
    PlaceControls();
  };
  source_->OnContextMenu = [this](ProblemNode*, POINT screen) { PopupMenu1.Popup(vTree1, screen); };

  widgets::DrawTreeOptions options;
  options.checkBoxes = true;
  options.expandButtons = true;
  options.treeLines = true;
  options.columnWidth = ProblemList::kInitialColumnWidth;
  if (!vTree1.Create(*this, {201, kBannerHeight + 26, 470, 300}, "Problems", *source_, options)) return false;
  vTree1.OnScrolled = [this] {
    const POINT offset = vTree1.ScrollOffset();
    list_.Scroll({offset.x, offset.y});
    PlaceControls();
  };

  widgets::ComboBoxOptions combo;
  if (!cbofix.Create(vTree1, {ProblemList::kParkedLeft, 0, ProblemList::kComboWidth, 80}, combo) ||
      !btnRegedit.Create(vTree1,
                         {ProblemList::kParkedLeft, 0, ProblemList::kButtonWidth, ProblemList::kButtonHeight},
                         "Open in Regedit")) {
    return false;
  }
  SendMessageW(cbofix.Handle(), CB_SETITEMHEIGHT, 0, widgets::Scale(ProblemList::kComboItemHeight));
  SetClassLongPtrW(btnRegedit.Handle(), GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(LoadCursorW(nullptr, IDC_HAND)));
  cbofix.OnChange = [this] {
    list_.PickCorrection(cbofix.ItemIndex());  // cbofixClick
    vTree1.Refresh();
    ShowSummary(list_.CurrentSummary());
    PlaceControls();
  };
  btnRegedit.OnClick = [this] { actOpeninregedit->Execute(); };
  return true;
}

void TfrmRegMain::BuildSectionTree() {
  std::vector<std::pair<const SectionTree::Node*, HTREEITEM>> added;
  sections_.Model().ForEach([&](SectionTree::Node& node) {
    HTREEITEM parent = nullptr;
    for (const auto& [n, item] : added) {
      if (n == node.parent) parent = item;
    }
    HTREEITEM item = ctSections.AddItem(parent, node.data.record.Caption, ImageList2 ? node.data.picture : -1,
                                        node.data.record.SectionId, node.check);
    added.emplace_back(&node, item);
  });
  ctSections.ExpandAll();
  if (!added.empty()) ctSections.Select(added.front().second);
  sections_.Select(sections_.Find(0));
}

void TfrmRegMain::ShowSectionChecks() {
  for (HTREEITEM item : ctSections.Items()) {
    if (const SectionTree::Node* node = sections_.Find(static_cast<int>(ctSections.ItemData(item)))) {
      ctSections.SetCheck(item, node->check);
    }
  }
}

HTREEITEM TfrmRegMain::SectionItem(int sectionId) const { return ctSections.FindByData(sectionId); }

void TfrmRegMain::ClickSectionCheck(int sectionId) {
  if (HTREEITEM item = SectionItem(sectionId); item && ctSections.OnCheckClick) ctSections.OnCheckClick(item);
}

void TfrmRegMain::LayoutControls() {
  using widgets::Scale;
  const SIZE client = ClientSize();
  const RECT status = StatusBar1.BoundsRect();
  const int bottom = std::max<int>(status.top, Scale(kBannerHeight));
  const int bannerHeight = Scale(kBannerHeight);
  Image1.SetBounds(0, 0, client.cx, bannerHeight);
  // The help link stays at the banner's right end.
  Label3.SetBounds(client.cx - Scale(44), Scale(23), Scale(36), Scale(14));
  Image2.SetBounds(client.cx - Scale(64), Scale(22), Scale(16), Scale(16));

  const int paneWidth = Scale(widgets::GroupBar::kDesignWidth);
  RzGroupBar1.SetBounds(0, bannerHeight, paneWidth, bottom - bannerHeight);
  RzGroupBar1Resize();

  const int left = paneWidth + Scale(kGap);
  const int width = std::max(client.cx - left - Scale(kGap), 10L);
  Label6.SetBounds(left, bannerHeight + Scale(6), width, Scale(14));
  const int listTop = bannerHeight + Scale(26);
  vTree1.SetBounds(left, listTop, width, std::max(bottom - listTop - Scale(6), 10));
  list_.Resize(vTree1.ClientSize().cx);  // vTree1Resize
  vTree1.SetColumnWidth(list_.FirstColumnWidth());
  PlaceControls();
}

void TfrmRegMain::RzGroupBar1Resize() {
  // The sections group fills the pane between the tasks and the tools.
  const SIZE bar = RzGroupBar1.ClientSize();
  const int sectionsTop = RzGroupBar1.GroupRect(grpSections).top;
  const int tools = RzGroupBar1.GroupHeight(grpTools);
  const int height = bar.cy - widgets::Scale(10) - tools - RzGroupBar1.GroupGap() - sectionsTop;
  RzGroupBar1.SetGroupHeight(grpSections, std::max(height, 0));
}

void TfrmRegMain::ReloadList() {
  list_.Tree().ForEach([this](ProblemNode& node) {
    if (node.height <= 0) list_.InitNode(node);
  });
  shownRows_ = list_.Tree().TotalCount();
  source_->Rebuild();
  vTree1.Reload();
  PlaceControls();
}

void TfrmRegMain::PlaceControls() {
  const FloatingControls& c = list_.Controls();
  std::vector<std::string> items;
  for (int i = 0; i < cbofix.Count(); ++i) items.push_back(cbofix.ItemText(i));
  if (items != c.items) {
    cbofix.Clear();
    for (const std::string& item : c.items) cbofix.AddItem(item);
  }
  if (cbofix.ItemIndex() != c.itemIndex) cbofix.SetItemIndex(c.itemIndex);
  if (btnRegedit.Text() != c.buttonCaption) btnRegedit.SetText(c.buttonCaption);
  using widgets::Scale;
  const RECT combo = cbofix.BoundsRect();
  cbofix.SetBounds(c.comboLeft, c.comboTop, Scale(ProblemList::kComboWidth), combo.bottom - combo.top);
  btnRegedit.SetBounds(c.buttonLeft, c.buttonTop, Scale(ProblemList::kButtonWidth),
                       Scale(ProblemList::kButtonHeight));
}

void TfrmRegMain::SelectRow(ProblemNode* node) {
  int row = -1;
  for (int i = 0; i < source_->RowCount(); ++i) {
    if (source_->NodeAt(i) == node) row = i;
  }
  vTree1.SelectRow(row);
}

void TfrmRegMain::PaintRow(ProblemNode& node, HDC dc, const RECT& content) {
  // The model lays a row out from its column's left edge and its own top.
  const POINT scroll = vTree1.ScrollOffset();
  const Rect cell{content.left + scroll.x, 0, content.right + scroll.x, content.bottom - content.top};
  const RowLayout layout = list_.Layout(node, cell);
  const int dx = -scroll.x;
  const int dy = content.top;
  if (layout.imageIndex >= 0 && ImageList2) {
    ImageList_Draw(ImageList2.get(), layout.imageIndex, dc, layout.imageLeft + dx, layout.imageTop + dy,
                   ILD_TRANSPARENT);
  }
  SetBkMode(dc, TRANSPARENT);
  for (const RowText& text : layout.texts) {
    widgets::SelectObjectGuard font(dc, widgets::FormFont(text.bold ? widgets::FontStyle::Bold
                                                                    : widgets::FontStyle::Normal));
    SetTextColor(dc, ColorOf(text.color));
    RECT r{text.rect.left + dx, text.rect.top + dy, text.rect.right + dx, text.rect.bottom + dy};
    std::wstring wide = found::Widen(text.text);
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
}

void TfrmRegMain::UpdateSummary() { ShowSummary(list_.UpdateSummary(ProgressDialog)); }

void TfrmRegMain::ShowSummary(const Summary& summary) {
  Label6.SetText(summary.label);
  StatusBar1.SetPanelText(0, summary.foundText);
  StatusBar1.SetPanelText(1, summary.selectedText);
}

int TfrmRegMain::TextWidth(const std::string& text) { return canvas_.TextWidth(text); }

void TfrmRegMain::SetFirstColumnWidth(int width) {
  list_.SetFirstColumnWidth(width);
  vTree1.SetColumnWidth(width);
}

void TfrmRegMain::ScanIdle() {
  // The worker adds rows through GUI steps; show them as they come.
  if (ScanThread && list_.Tree().TotalCount() != shownRows_) ReloadList();
}

void TfrmRegMain::actscanExecute() {
  actRepair->SetEnabled(false);
  list_.ClearForScan();
  ReloadList();
  TfrmScan dialog;
  if (!dialog.Create(this)) return;
  dialog.Mode = kModeScan;
  dialog.OnStopWorker = [this] {
    if (ScanThread) ScanThread->Terminate();
  };
  ProgressDialog = &dialog;
  auto* scan = new TScan(gui_, *this, &dialog);
  scan->FreeOnTerminate = true;
  scan->OnTerminate = [this](found::TThread&) { ScanFinished(); };
  ScanThread = scan;
  dialog.ShowModal();
  ProgressDialog = nullptr;
}

void TfrmRegMain::ScanFinished() {
  ScanThread = nullptr;
  actRepair->Update();  // enabled with rows, once a repair can run
  UpdateSummary();
  ReloadList();
  if (OnScanFinished) OnScanFinished();
}

void TfrmRegMain::actOpeninregeditExecute() {
  const OpenTarget target = list_.SelectedTarget();
  switch (target.kind) {
    case OpenTarget::Kind::RegistryKey:
      JumpToRegistryKey(target.path, target.valueName);
      break;
    case OpenTarget::Kind::FileProperties:
      (void)found::CurrentPlatform().shell->ShowProperties(target.path);
      break;
    case OpenTarget::Kind::None:
      break;
  }
}

void TfrmRegMain::actHelpExecute() { found::CurrentPlatform().shell->Open(ProgramFolder() + "help.chm"); }
void TfrmRegMain::actHomepageExecute() { found::CurrentPlatform().shell->Open(kHomePage); }
void TfrmRegMain::actrecommendExecute() { found::CurrentPlatform().shell->Open("mailto:?subject= &body="); }
void TfrmRegMain::grpToolsItems0Click() {
  found::CurrentPlatform().shell->Open(ProgramFolder() + "uninstaller.exe");
}

}  // namespace cleaner
