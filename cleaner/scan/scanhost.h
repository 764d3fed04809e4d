// What the scan engine needs of the cleaner's windows: the section tree, the
// problem list and the progress dialog. The main window implements these;
// the engine calls them only on the GUI thread.
#pragma once

#include <string>
#include <vector>

#include "cleaner/scan/regdata.h"

namespace cleaner {

struct SectionTreeItem {
  int id = 0;
  bool hasChildren = false;
  bool checked = false;  // csChecked
};

class ScanListHost {
 public:
  virtual ~ScanListHost() = default;
  // The items of the section tree, in their order.
  virtual std::vector<SectionTreeItem> SectionItems() = 0;
  virtual ProblemTree& Problems() = 0;
  // Width of a text on the list's canvas, and the list's first column.
  virtual int TextWidth(const std::string& text) = 0;
  virtual int FirstColumnWidth() = 0;
  virtual void SetFirstColumnWidth(int width) = 0;
};

// The progress dialog's labels and bars (lblsection, lblscankey, pb1, pb2).
class ScanDialogHost {
 public:
  virtual ~ScanDialogHost() = default;
  virtual void SetSectionText(const std::string& text) = 0;
  virtual void SetKeyText(const std::string& text) = 0;
  virtual void SetOverallPosition(int position) = 0;
  virtual void SetSectionPosition(int position) = 0;
};

}  // namespace cleaner
