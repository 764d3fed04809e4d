#include "cleaner/app/win32/startscan.h"

#include "widgets/metrics.h"

namespace cleaner {

bool TfrmScan::Create(widgets::Form* owner) {
  widgets::FormOptions options;
  options.caption = "frmScan";
  options.clientWidth = 363;
  options.clientHeight = 194;
  options.border = widgets::BorderStyle::Dialog;
  options.position = widgets::Position::OwnerCenter;
  options.owner = owner;
  options.className = "TfrmScan";
  if (!widgets::Form::Create(options)) return false;

  widgets::LabelOptions bold;
  bold.bold = true;
  widgets::LabelOptions wrap;
  wrap.wordWrap = true;
  bool ok = lblsection.Create(*this, {16, 8, 329, 13}, "", bold) && pb1.Create(*this, {16, 32, 329, 17}) &&
            Label1.Create(*this, {16, 48, 329, 13}, "Label1", bold) && pb2.Create(*this, {16, 64, 329, 17}) &&
            Image1.Create(*this, {16, 88, 25, 25}) && lblscankey.Create(*this, {40, 90, 305, 57}, "", wrap);
  widgets::ButtonOptions repair;
  repair.id = 101;
  widgets::ButtonOptions close;
  close.isCancel = true;
  close.modalResult = widgets::ModalResult::Cancel;
  close.id = IDCANCEL;
  ok = ok && btnRepair.Create(*this, {152, 160, 91, 25}, "Repair", repair) &&
       btnclose.Create(*this, {264, 160, 75, 25}, "Cancel", close);
  if (!ok) return false;
  Label1.SetVisible(false);
  btnRepair.SetVisible(false);
  using widgets::Scale;
  Bevel1 = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_ETCHEDHORZ, Scale(16), Scale(152),
                           Scale(329), 2, Handle(), nullptr, nullptr, nullptr);
  pb1.SetPosition(0);
  pb2.SetPosition(0);
  btnRepair.OnClick = [this] { btnRepairClick(); };
  OnShow = [this] { FormShow(); };
  OnClose = [this](widgets::CloseAction& action) { FormClose(action); };
  return true;
}

void TfrmScan::FormShow() { SetText(Mode == kModeScan ? "Scaning..." : "Repairing..."); }

void TfrmScan::ShowFinished(const std::string& text, int problemCount) {
  pb1.SetPosition(100);
  pb2.SetPosition(100);
  Image1.SetVisible(false);
  std::string result = text;
  if (Mode == kModeScan) {
    lblsection.SetText("Scan finished");
    // The Repair button needs a repair to run.
    if (problemCount > 0 && OnRepair) {
      btnRepair.SetVisible(true);
      result += "\r\n\r\nClick Repair to solve them automatically or click Close to view details.";
    }
  } else if (Mode == kModeRepair) {
    lblsection.SetText("Repair finished");
  }
  lblscankey.SetText(result);
  btnclose.SetText("Close");
}

void TfrmScan::FormClose(widgets::CloseAction& /*action*/) {
  // Only a worker that still runs is told; the main window forgets a worker
  // once it has ended.
  if (OnStopWorker) OnStopWorker();
}

void TfrmScan::btnRepairClick() {
  Hide();
  if (OnRepair) OnRepair();
  Close();
}

}  // namespace cleaner
