// An owner-drawn tree of rows with their own heights: a view over a source
// that knows the rows (a portable model behind an adapter) and paints their
// content. The control draws the selection, tree lines, expand buttons and
// tri-state boxes, scrolls, and forwards clicks and keys to the source.
//   TreeModelSource<Record> source(model);
//   source.OnPaint = [](auto& node, HDC dc, const RECT& r, bool sel, bool focus) { ... };
//   if (!tree.Create(form, {8, 8, 400, 300}, "Problems", source, {.checkBoxes = true})) return false;
// Rows are indices into the visible rows in display order. After rows,
// heights or expansion change, the owner calls Reload (O(rows)); painting and
// hit tests then cost O(log rows + visible rows).
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <uxtheme.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/treemodel.h"
#include "widgets/window.h"

namespace widgets {

// What the tree needs to know about one visible row.
struct DrawTreeRow {
  int height = 0;  // device pixels, at least 1
  int depth = 0;   // 0 for a top-level row
  bool hasCheckBox = false;
  found::CheckState check = found::CheckState::Unchecked;
  bool hasChildren = false;
  bool expanded = false;
  // Bit d: the tree line at depth d continues below this row (its ancestor
  // at depth d, or the row itself at its own depth, has a later sibling).
  std::uint32_t continuing = 0;
};

class DrawTreeSource {
 public:
  virtual ~DrawTreeSource() = default;
  virtual int RowCount() const = 0;
  virtual DrawTreeRow Row(int row) const = 0;
  // The row's content after indentation and box, in the tree's client
  // coordinates; the DC has the form font and the text colour of the state.
  virtual void Paint(int row, HDC dc, const RECT& content, bool selected, bool focused) = 0;
  virtual int SelectedRow() const = 0;  // -1 for none
  virtual void SelectRow(int row) = 0;  // -1 clears
  virtual void ClickCheck(int /*row*/) {}
  // The tree reloads after it: rows come and go.
  virtual void ToggleExpanded(int /*row*/) {}
  virtual void DoubleClick(int /*row*/) {}
  virtual void PressEnter(int /*row*/) {}
  // screen is {-1, -1} from the keyboard; row -1 for empty space.
  virtual void ContextMenu(int /*row*/, POINT /*screen*/) {}
};

struct DrawTreeOptions {
  bool checkBoxes = true;
  bool expandButtons = false;
  bool treeLines = false;
  bool header = false;
  std::string headerCaption{};
  int indent = 16;       // per depth, at 96 DPI
  int columnWidth = 0;   // at 96 DPI; the column never gets narrower than the client area
  bool wantsEnter = false;  // Enter goes to the source, not the form's default button
  int id = 0;
};

enum class DrawTreePart { Nowhere, Row, CheckBox, ExpandButton };

struct DrawTreeHit {
  int row = -1;
  DrawTreePart part = DrawTreePart::Nowhere;
};

class DrawTree : public Window {
 public:
  DrawTree() = default;
  ~DrawTree() override;

  // The caption is the window text (its accessible name). `source` must
  // outlive the control.
  [[nodiscard]] bool Create(Window& parent, const Bounds& bounds, std::string_view caption, DrawTreeSource& source,
                            const DrawTreeOptions& options = {});

  // Rebuilds the index of row tops from the source, keeps the scroll
  // position inside the new range and repaints.
  void Reload();
  // Repaints without asking for heights again (checks or texts changed).
  void Refresh();

  int RowCount() const { return static_cast<int>(tops_.size()) - 1; }
  int ContentHeight() const { return tops_.back(); }
  // Client coordinates; the row's full width across the column.
  RECT RowRect(int row) const;
  int RowAt(int clientY) const;  // -1 outside the rows
  DrawTreeHit HitTest(POINT client) const;
  // The box and the content rectangle the source paints into.
  RECT CheckBoxRect(int row) const;
  RECT ContentRect(int row) const;

  // Pixels of content hidden left of and above the client area.
  POINT ScrollOffset() const { return {scrollX_, scrollY_}; }
  void ScrollTo(int x, int y);
  void EnsureVisible(int row);
  // Selects through the source and brings the row into view.
  void SelectRow(int row);

  int ColumnWidth() const;  // device pixels
  void SetColumnWidth(int width);

  // After every change of ScrollOffset: the owner moves its floating controls.
  std::function<void()> OnScrolled;
  // The user dragged the header divider.
  std::function<void(int width)> OnColumnResized;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  int HeaderHeight() const;
  int PageHeight() const;  // client height below the header
  int RowLeft(const DrawTreeRow& row) const;
  void UpdateScrollBars();
  void Scroll(int bar, int code);
  void Paint(HDC dc, const RECT& clip);
  void PaintRow(HDC dc, int row, const RECT& rect);
  void DrawCheckBox(HDC dc, const RECT& box, found::CheckState state);
  void DrawExpandButton(HDC dc, const RECT& rect, bool expanded);
  void LayoutHeader();
  void OnMouseDown(POINT client, bool doubleClick);
  bool OnKey(UINT key);
  void CloseThemes();

  DrawTreeSource* source_ = nullptr;
  DrawTreeOptions options_;
  std::vector<int> tops_{0};  // tops_[i]: content y of row i; back(): total height
  int scrollX_ = 0, scrollY_ = 0;
  int columnWidth_ = 0;
  int wheelRest_ = 0;
  HWND header_ = nullptr;
  HTHEME buttonTheme_ = nullptr;
  HTHEME treeTheme_ = nullptr;
  bool themesOpened_ = false;
  bool updatingBars_ = false;
  bool settingHeader_ = false;
};

// A DrawTreeSource over a found::TreeModel: the visible rows are the nodes
// under expanded parents, in model order. A node of height 0 gets rowHeight.
template <typename T>
class TreeModelSource : public DrawTreeSource {
 public:
  using Model = found::TreeModel<T>;
  using Node = typename Model::Node;

  explicit TreeModelSource(Model& model) : model_(model) { Rebuild(); }

  // After nodes, heights or expansion changed; DrawTree::Reload follows.
  void Rebuild() {
    rows_.clear();
    for (std::size_t i = 0; i < model_.Roots().size(); ++i) {
      Collect(*model_.Roots()[i], 0, i + 1 < model_.Roots().size() ? 1u : 0u);
    }
    selectedRow_ = -1;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
      if (rows_[i].node == selected_) selectedRow_ = static_cast<int>(i);
    }
  }

  Node* NodeAt(int row) const {
    return row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[static_cast<std::size_t>(row)].node : nullptr;
  }
  Node* Selected() const { return selectedRow_ >= 0 ? selected_ : nullptr; }

  int rowHeight = 18;
  std::function<bool(const Node&)> HasCheckBox;  // unset: every row has one
  std::function<void(Node&, HDC, const RECT&, bool selected, bool focused)> OnPaint;
  // Unset: a ticked box is cleared, a cleared or mixed one ticked, cascading.
  std::function<void(Node&)> OnCheckClick;
  std::function<void(Node*)> OnSelect;
  std::function<void(Node&)> OnDoubleClick;
  std::function<void(Node*)> OnEnter;
  std::function<void(Node*, POINT)> OnContextMenu;

  int RowCount() const override { return static_cast<int>(rows_.size()); }
  DrawTreeRow Row(int row) const override {
    const Entry& e = rows_[static_cast<std::size_t>(row)];
    return {e.node->height > 0 ? e.node->height : rowHeight, e.depth, !HasCheckBox || HasCheckBox(*e.node),
            e.node->check, !e.node->children.empty(), e.node->expanded, e.continuing};
  }
  void Paint(int row, HDC dc, const RECT& content, bool selected, bool focused) override {
    if (OnPaint) OnPaint(*NodeAt(row), dc, content, selected, focused);
  }
  int SelectedRow() const override { return selectedRow_; }
  void SelectRow(int row) override {
    selectedRow_ = NodeAt(row) ? row : -1;
    selected_ = NodeAt(selectedRow_);
    if (OnSelect) OnSelect(selected_);
  }
  void ClickCheck(int row) override {
    Node* node = NodeAt(row);
    if (!node) return;
    if (OnCheckClick) {
      OnCheckClick(*node);
    } else {
      model_.SetCheck(node, node->check == found::CheckState::Checked ? found::CheckState::Unchecked
                                                                      : found::CheckState::Checked);
    }
  }
  void ToggleExpanded(int row) override {
    if (Node* node = NodeAt(row)) {
      node->expanded = !node->expanded;
      Rebuild();
    }
  }
  void DoubleClick(int row) override {
    if (Node* node = NodeAt(row); node && OnDoubleClick) OnDoubleClick(*node);
  }
  void PressEnter(int row) override {
    if (OnEnter) OnEnter(NodeAt(row));
  }
  void ContextMenu(int row, POINT screen) override {
    if (OnContextMenu) OnContextMenu(NodeAt(row), screen);
  }

 private:
  struct Entry {
    Node* node;
    int depth;
    std::uint32_t continuing;
  };

  void Collect(Node& node, int depth, std::uint32_t continuing) {
    rows_.push_back({&node, depth, continuing});
    if (!node.expanded) return;
    const auto& children = node.children;
    for (std::size_t i = 0; i < children.size(); ++i) {
      const std::uint32_t bit = depth + 1 < 32 ? 1u << (depth + 1) : 0u;  // deeper lines are not drawn
      Collect(*children[i], depth + 1, (continuing & ~bit) | (i + 1 < children.size() ? bit : 0u));
    }
  }

  Model& model_;
  std::vector<Entry> rows_;
  Node* selected_ = nullptr;
  int selectedRow_ = -1;
};

}  // namespace widgets
