// The problem list of the main window (vTree1) as a model: row heights, what
// each row draws, check boxes and their corrections, the selection with its
// expanded row, the floating correction box and button, and the summary.
// The Win32 list paints Layout() results, forwards clicks, scrolling and
// resizing here, and then moves its controls to Controls().
#pragma once

#include <string>
#include <vector>

#include "cleaner/scan/regdata.h"

namespace cleaner {

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const Rect&) const = default;
};

// How far the list is scrolled: pixels of content hidden left of and above
// the client area (0 or more).
struct ScrollPos {
  int x = 0, y = 0;
  bool operator==(const ScrollPos&) const = default;
};

// Text measuring on the list's canvas, in the list's font (Tahoma, 11 pixels).
class ListCanvas {
 public:
  virtual ~ListCanvas() = default;
  virtual int TextWidth(const std::string& text) = 0;
  virtual int TextHeight(const std::string& text) = 0;
};

// The progress dialog while it is shown: it takes the final summary.
class FinishDialogHost {
 public:
  virtual ~FinishDialogHost() = default;
  virtual void ShowFinished(const std::string& text, int problemCount) = 0;
};

// Round(tenths / 10) to the nearest integer, halves to even; exact where
// 1.7 or 0.9 in floating point would not be.
int RoundTenths(int tenths);
// Round(1.7 x h), h the height of "..." in the list's font.
int UnitHeightFor(int textHeight);

enum class TextColor { WindowText, HighlightText, Grey };

// One line of a row, on one line, vertically centred in `rect` and clipped to it.
struct RowText {
  std::string text;
  Rect rect;
  bool bold = false;
  TextColor color = TextColor::WindowText;
};

// What a row paints, in the coordinates of the content rectangle it was laid
// out for.
struct RowLayout {
  int imageIndex = -1;  // section rows: picture of ImageList2, drawn transparent
  int imageLeft = 0, imageTop = 0;
  std::vector<RowText> texts;
};

// cbofix and btnRegedit: their items, texts and where they go.
struct FloatingControls {
  std::vector<std::string> items;  // cbofix
  int itemIndex = -1;
  int comboLeft = -1000, comboTop = 0;
  std::string buttonCaption = "Open in Regedit";
  std::string buttonHint = "Open this entry in Regedit";
  int buttonLeft = -1000, buttonTop = 0;
};

struct Summary {
  std::string label = "Summary of found problems:";  // Label6
  std::string foundText;     // status bar panel 0
  std::string selectedText;  // status bar panel 1
  std::string finishedText;  // handed to the progress dialog
  int found = 0;
  int selected = 0;
};

// What "Open in Regedit" does with the selected row.
struct OpenTarget {
  enum class Kind { None, RegistryKey, FileProperties };
  Kind kind = Kind::None;
  std::string path;       // root name + key path, or the shortcut's file
  std::string valueName;  // registry jumps: "" for a key, "(Default)" for the default value
};

inline constexpr const char* kRepairedText = "Your selected problems have been successfully repaired.";

class ProblemList {
 public:
  static constexpr int kComboWidth = 201;
  static constexpr int kComboHeight = 22;
  static constexpr int kComboItemHeight = 16;
  static constexpr int kButtonWidth = 89;
  static constexpr int kButtonHeight = 22;
  static constexpr int kParkedLeft = -1000;
  static constexpr int kInitialColumnWidth = 300;
  static constexpr int kTextMargin = 4;  // the list's text margin

  // What the main window does at creation: UnitHeight from the canvas, no
  // expanded row, the floating controls parked. `canvas` must outlive the list.
  explicit ProblemList(ListCanvas& canvas);

  // The scan worker fills the tree. Rows leave it only through ClearForScan
  // and RepairFinished (and the worker, after ClearForScan), which keeps the
  // selection and ExpandedRow from dangling.
  ProblemTree& Tree() { return tree_; }
  const ProblemTree& Tree() const { return tree_; }
  bool HasRows() const { return tree_.TotalCount() > 0; }

  int UnitHeight() const { return unitHeight_; }
  ProblemNode* ExpandedRow() const { return expandedRow_; }
  int TextLeft() const { return textLeft_; }
  // The one selected row; the focus follows it.
  ProblemNode* Selected() const { return selected_; }
  const FloatingControls& Controls() const { return controls_; }
  ScrollPos Scrolled() const { return scroll_; }

  int FirstColumnWidth() const { return columnWidth_; }
  void SetFirstColumnWidth(int width) { columnWidth_ = width; }

  // --- Geometry ---------------------------------------------------------
  // vTree1InitNode: the row's height in UnitHeight units (section 1, problem
  // 2, problem showing its correction line 3). A row added without it is
  // initialised on first use, as the list does.
  void InitNode(ProblemNode& node) const;
  int RowHeight(const ProblemNode& node) const;
  // Section rows, and the problem rows of expanded sections, top to bottom.
  std::vector<ProblemNode*> VisibleRows() const;
  // A row's whole cell in column 0 (indentation included), in client
  // coordinates; empty for a row inside a collapsed section.
  Rect DisplayRect(const ProblemNode& node) const;
  ProblemNode* RowAt(int clientY) const;

  // vTree1DrawNode. `content` is the cell's content rectangle: x from the
  // column's left edge (after indentation and check box), y from the row's
  // top. Laying out a problem row sets TextLeft.
  RowLayout Layout(const ProblemNode& node, const Rect& content);

  // --- Input ------------------------------------------------------------
  // A click or key that selects `node`. The list expands a row that receives
  // the focus, then runs vTree1Change. Null clears the selection, which that
  // handler ignores: the controls stay until the list next places them.
  void Select(ProblemNode* node);
  // A click on a row's box: ticked becomes cleared, cleared or mixed becomes
  // ticked; section and problems follow each other; then vTree1Checked and
  // UpdateSummary.
  void ClickCheck(ProblemNode* node);
  // cbofixClick with the index of the picked item; UpdateSummary follows.
  void PickCorrection(int index);
  // A double-click or a click on the expand button (vTree1Expanded/Collapsed).
  void ToggleExpansion(ProblemNode* node);
  // vTree1Scroll after the list scrolled to `pos`.
  void Scroll(ScrollPos pos);
  // vTree1Resize with the list's client width.
  void Resize(int listWidth);

  // --- Main window steps ------------------------------------------------
  // The list emptied for a new scan, the floating controls parked.
  void ClearForScan();
  // UpdateSummary; `dialog` is the progress dialog while shown, else null.
  // Ticks and corrections run it themselves (no dialog is shown then).
  const Summary& UpdateSummary(FinishDialogHost* dialog);
  // The texts of the last UpdateSummary; before the first, Label6's initial
  // text and empty panels.
  const Summary& CurrentSummary() const { return summary_; }
  // The end of a repair: removes repaired rows and emptied sections,
  // recounts, summarises, places the controls and reports success to the
  // dialog if shown.
  const Summary& RepairFinished(FinishDialogHost* dialog);
  // actOpeninregeditExecute for the selected row.
  OpenTarget SelectedTarget() const;

 private:
  void Change(ProblemNode* node);   // vTree1Change
  void Checked(ProblemNode* node);  // vTree1Checked
  void PlaceControls();             // vTree1Scroll
  void Park();
  int HeightFor(const ProblemNode& node) const;

  ListCanvas& canvas_;
  ProblemTree tree_;
  int unitHeight_ = 0;
  int textLeft_ = 0;
  int columnWidth_ = kInitialColumnWidth;
  ProblemNode* expandedRow_ = nullptr;
  ProblemNode* selected_ = nullptr;
  ScrollPos scroll_;
  FloatingControls controls_;
  Summary summary_;
};

}  // namespace cleaner
