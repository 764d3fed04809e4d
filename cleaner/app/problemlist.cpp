#include "cleaner/app/problemlist.h"

#include "foundation/ioregistry.h"

namespace cleaner {

using found::CheckState;

namespace {

// A section row is a top-level row; a problem row is its child.
bool IsProblemRow(const ProblemNode& node) { return node.parent != nullptr; }

std::string FoundText(int n) {
  if (n == 0) return "No problems found";
  if (n == 1) return "1 problem found";
  return std::to_string(n) + " problems found";
}

std::string SelectedText(int n) {
  if (n == 0) return "No problems selected for repairing";
  if (n == 1) return "1 problem selected for repairing";
  return std::to_string(n) + " problems selected for repairing";
}

// The width of the word before the correction box, blanks included.
constexpr const char* kCorrectionGap = "Correction:    ";

}  // namespace

int RoundTenths(int tenths) {
  int whole = tenths / 10;
  const int rest = tenths % 10;
  if (rest > 5 || (rest == 5 && whole % 2 != 0)) ++whole;
  return whole;
}

int UnitHeightFor(int textHeight) { return RoundTenths(17 * textHeight); }

ProblemList::ProblemList(ListCanvas& canvas) : canvas_(canvas) {
  unitHeight_ = UnitHeightFor(canvas_.TextHeight("..."));
  Park();
}

// ---- Geometry -------------------------------------------------------------

int ProblemList::HeightFor(const ProblemNode& node) const {
  const int units = !IsProblemRow(node) ? 1 : node.data.Expanded ? 3 : 2;
  return units * unitHeight_;
}

void ProblemList::InitNode(ProblemNode& node) const { node.height = HeightFor(node); }

int ProblemList::RowHeight(const ProblemNode& node) const {
  // A row the worker added is initialised on first use, as the list does.
  return node.height > 0 ? node.height : HeightFor(node);
}

std::vector<ProblemNode*> ProblemList::VisibleRows() const {
  std::vector<ProblemNode*> rows;
  for (const auto& section : tree_.Roots()) {
    rows.push_back(section.get());
    if (!section->expanded) continue;
    for (const auto& problem : section->children) rows.push_back(problem.get());
  }
  return rows;
}

Rect ProblemList::DisplayRect(const ProblemNode& node) const {
  int top = -scroll_.y;
  for (const ProblemNode* row : VisibleRows()) {
    const int height = RowHeight(*row);
    if (row == &node) return {-scroll_.x, top, columnWidth_ - scroll_.x, top + height};
    top += height;
  }
  return {};  // hidden in a collapsed section, as the list reports it
}

ProblemNode* ProblemList::RowAt(int clientY) const {
  int top = -scroll_.y;
  for (ProblemNode* row : VisibleRows()) {
    const int bottom = top + RowHeight(*row);
    if (clientY >= top && clientY < bottom) return row;
    top = bottom;
  }
  return nullptr;
}

RowLayout ProblemList::Layout(const ProblemNode& node, const Rect& content) {
  const Rect r{content.left + kTextMargin, content.top, content.right - kTextMargin - 1, content.bottom - 1};
  const bool selected = &node == selected_;
  // The focus follows the selection, so the selected row is the focused one.
  TextColor color = selected ? TextColor::HighlightText : TextColor::WindowText;
  const TRegData& d = node.data;
  RowLayout layout;

  if (!IsProblemRow(node)) {
    layout.imageIndex = d.ImageIndex;
    layout.imageLeft = r.left;
    layout.imageTop = r.top + 2;
    const std::string text = d.ProblemCount < 1
                                 ? d.Caption + " - Analyzing..."
                                 : d.Caption + "  (" + std::to_string(d.ProblemCount) + " problems found)";
    layout.texts.push_back({text, {r.left + 20, r.top, r.right, r.top + unitHeight_}, true, color});
    return layout;
  }

  const std::string location = d.Kind == kKindDeleteFile ? d.KeyPath : found::RootKeyToName(d.RootKey) + d.KeyPath;
  layout.texts.push_back({"Section: " + location, {r.left, r.top, r.right, r.top + unitHeight_}, false, color});
  if (!selected) color = TextColor::Grey;
  const int reasonStep = RoundTenths(9 * unitHeight_);
  layout.texts.push_back({d.Reason, {r.left, r.top + reasonStep, r.right, r.top + 2 * reasonStep}, false, color});
  if (selected) {
    layout.texts.push_back({"Correction: ", {r.left, r.bottom - kComboHeight, r.right, r.bottom}, false, color});
  }
  textLeft_ = r.left;
  return layout;
}

// ---- Input ----------------------------------------------------------------

void ProblemList::Select(ProblemNode* node) {
  selected_ = node;
  if (!node) return;  // vTree1Change does nothing without a selected row
  if (!node->children.empty() && !node->expanded) ToggleExpansion(node);
  Change(node);
}

void ProblemList::ClickCheck(ProblemNode* node) {
  tree_.SetCheck(node, node->check == CheckState::Checked ? CheckState::Unchecked : CheckState::Checked);
  Checked(node);
}

void ProblemList::PickCorrection(int index) {
  if (!selected_ || !IsProblemRow(*selected_)) return;
  selected_->data.Correction = index + 1;
  controls_.itemIndex = index;
  // Set directly: the check handling must not turn the correction back.
  tree_.SetCheck(selected_, index == 1 ? CheckState::Unchecked : CheckState::Checked);
  PlaceControls();
  UpdateSummary(nullptr);
}

void ProblemList::ToggleExpansion(ProblemNode* node) {
  if (node->children.empty()) return;
  node->expanded = !node->expanded;
  PlaceControls();  // vTree1Expanded / vTree1Collapsed
}

void ProblemList::Scroll(ScrollPos pos) {
  scroll_ = pos;
  PlaceControls();
}

void ProblemList::Resize(int listWidth) {
  if (columnWidth_ < listWidth) columnWidth_ = listWidth;
}

void ProblemList::Change(ProblemNode* node) {
  if (expandedRow_) {
    expandedRow_->data.Expanded = false;
    if (IsProblemRow(*expandedRow_)) InitNode(*expandedRow_);
  }
  node->data.Expanded = true;
  if (IsProblemRow(*node)) InitNode(*node);
  expandedRow_ = node;

  if (node->data.Kind == kKindDeleteFile) {
    controls_.buttonHint = "Open this shortcut properties";
    controls_.buttonCaption = "Properties";
    controls_.items = {"Delete this shortcut", "Leave this shortcut without change"};
  } else {
    controls_.buttonHint = "Open this entry in Regedit";
    controls_.buttonCaption = "Open in Regedit";
    controls_.items = {"Delete this entry", "Leave this entry without change"};
  }
  const int index = node->data.Correction - 1;
  controls_.itemIndex = index >= 0 && index < static_cast<int>(controls_.items.size()) ? index : -1;
  PlaceControls();
}

void ProblemList::Checked(ProblemNode* node) {
  std::vector<ProblemNode*> rows;
  if (IsProblemRow(*node)) {
    rows.push_back(node);
  } else {
    for (auto& child : node->children) rows.push_back(child.get());
  }
  for (ProblemNode* row : rows) {
    if (row->check == CheckState::Unchecked && row->data.Correction == 1) row->data.Correction = 2;
    if (row->check == CheckState::Checked && row->data.Correction == 2) row->data.Correction = 1;
  }
  if (selected_) Change(selected_);
  UpdateSummary(nullptr);
}

void ProblemList::PlaceControls() {
  if (!selected_ || !IsProblemRow(*selected_)) {
    Park();
    return;
  }
  const Rect r = DisplayRect(*selected_);
  controls_.comboLeft = r.left + textLeft_ + canvas_.TextWidth(kCorrectionGap);
  controls_.comboTop = r.bottom - kComboHeight - 1;
  controls_.buttonLeft = controls_.comboLeft + kComboWidth + 10;
  controls_.buttonTop = controls_.comboTop;
}

void ProblemList::Park() {
  controls_.comboLeft = kParkedLeft;
  controls_.buttonLeft = kParkedLeft;
}

// ---- Main window steps -----------------------------------------------------

void ProblemList::ClearForScan() {
  tree_.Clear();
  expandedRow_ = nullptr;
  selected_ = nullptr;
  PlaceControls();
}

const Summary& ProblemList::UpdateSummary(FinishDialogHost* dialog) {
  Summary s;
  for (const auto& section : tree_.Roots()) {
    for (const auto& problem : section->children) {
      ++s.found;
      if (problem->check == CheckState::Checked) ++s.selected;
    }
  }
  s.foundText = FoundText(s.found);
  s.selectedText = SelectedText(s.selected);
  s.label = std::string("Summary of found problems: ") + " (" + s.foundText + "," + s.selectedText + ")";
  s.finishedText = s.foundText + "," + s.selectedText + ".";
  summary_ = s;
  if (dialog) dialog->ShowFinished(s.finishedText, s.found);
  return summary_;
}

const Summary& ProblemList::RepairFinished(FinishDialogHost* dialog) {
  std::vector<ProblemNode*> sections;
  for (const auto& section : tree_.Roots()) sections.push_back(section.get());
  const auto forget = [this](const ProblemNode* gone) {
    if (expandedRow_ == gone) expandedRow_ = nullptr;
    if (selected_ == gone) selected_ = nullptr;  // the list drops a deleted row from its selection
  };

  for (ProblemNode* section : sections) {
    std::vector<ProblemNode*> repaired;
    for (const auto& problem : section->children) {
      if (problem->data.Repaired) repaired.push_back(problem.get());
    }
    for (ProblemNode* problem : repaired) {
      forget(problem);
      tree_.Delete(problem);
    }
    if (section->children.empty()) {
      forget(section);
      tree_.Delete(section);
    }
  }

  for (const auto& section : tree_.Roots()) {
    const auto& problems = section->children;
    CheckState state = problems.front()->check;
    for (const auto& problem : problems) {
      if (problem->check != state) state = CheckState::Mixed;
    }
    section->check = state;
    section->data.ProblemCount = static_cast<std::int32_t>(problems.size());
  }

  UpdateSummary(dialog);
  PlaceControls();
  if (dialog) dialog->ShowFinished(kRepairedText, 0);
  return summary_;
}

OpenTarget ProblemList::SelectedTarget() const {
  if (!selected_) return {};
  const TRegData& d = selected_->data;
  const std::string registryPath = found::RootKeyToName(d.RootKey) + d.KeyPath;
  switch (d.Kind) {
    case kKindDeleteKey:
      return {OpenTarget::Kind::RegistryKey, registryPath, ""};
    case kKindDeleteValue:
      return {OpenTarget::Kind::RegistryKey, registryPath, d.ValueName.empty() ? "(Default)" : d.ValueName};
    case kKindDeleteFile:
      if (d.KeyPath.find_last_of("\\:") == std::string::npos) return {};
      return {OpenTarget::Kind::FileProperties, d.KeyPath, ""};
    default:
      return {};
  }
}

}  // namespace cleaner
