// TfrmScan: the small modal dialog that shows the progress of the scan and
// of the repair. The workers write into it through GUI-thread steps; when
// the worker has ended the main window calls ShowFinished, and the dialog
// stays open with the result until the user closes it.
#pragma once

#include <functional>
#include <string>

#include "cleaner/app/problemlist.h"
#include "cleaner/scan/scanhost.h"
#include "widgets/controls.h"
#include "widgets/window.h"

namespace cleaner {

inline constexpr int kModeScan = 1;
inline constexpr int kModeRepair = 2;

class TfrmScan : public widgets::Form, public ScanDialogHost, public FinishDialogHost {
 public:
  TfrmScan() = default;
  // Builds the dialog, owned by `owner`; Mode is set before it is shown.
  [[nodiscard]] bool Create(widgets::Form* owner);

  int Mode = kModeScan;
  // The main window's side: FormClose asks the running worker to stop;
  // btnRepairClick runs the repair action.
  std::function<void()> OnStopWorker;
  std::function<void()> OnRepair;

  void SetSectionText(const std::string& text) override { lblsection.SetText(text); }
  void SetKeyText(const std::string& text) override { lblscankey.SetText(text); }
  void SetOverallPosition(int position) override { pb1.SetPosition(position); }
  void SetSectionPosition(int position) override { pb2.SetPosition(position); }
  void ShowFinished(const std::string& text, int problemCount) override;

  widgets::Label lblsection, Label1, lblscankey;
  HWND Bevel1 = nullptr;  // an etched line, nothing to drive
  widgets::ProgressBar pb1, pb2;
  widgets::Picture Image1;
  widgets::Button btnRepair, btnclose;

 private:
  void FormShow();
  void FormClose(widgets::CloseAction& action);
  void btnRepairClick();
};

}  // namespace cleaner
