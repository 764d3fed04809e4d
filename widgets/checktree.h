// A standard tree view whose items carry tri-state boxes. The control never
// changes a box itself: a click on the box or Space reaches OnCheckClick,
// the portable model decides (cascading up and down), and the owner shows
// the result with SetCheck.
//   tree.OnCheckClick = [&](HTREEITEM item) {
//     sections.ClickCheck(sections.Find(int(tree.ItemData(item))));
//     for (HTREEITEM i : tree.Items()) tree.SetCheck(i, sections.Find(int(tree.ItemData(i)))->check);
//   };
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/treemodel.h"
#include "widgets/controls.h"
#include "widgets/pictures.h"

namespace widgets {

struct CheckTreeOptions {
  bool checkBoxes = true;
  bool rootLines = true;  // off: no lines and no expand buttons
  int id = 0;
};

class CheckTree : public Control {
 public:
  // The caption is the window text (its accessible name).
  [[nodiscard]] bool Create(Window& parent, const Bounds& bounds, std::string_view caption,
                            const CheckTreeOptions& options = {});

  // Not owned: the caller keeps the list alive as long as the view.
  void SetImageList(HIMAGELIST images);
  // Appends under parent (null: the top level); image -1 for none. Null on failure.
  HTREEITEM AddItem(HTREEITEM parent, std::string_view caption, int image, LPARAM data,
                    found::CheckState check = found::CheckState::Unchecked);
  void Clear();

  std::string ItemText(HTREEITEM item) const;
  LPARAM ItemData(HTREEITEM item) const;
  found::CheckState Check(HTREEITEM item) const;
  void SetCheck(HTREEITEM item, found::CheckState state);
  // Every item, parents before their children, in display order.
  std::vector<HTREEITEM> Items() const;
  HTREEITEM FindByData(LPARAM data) const;  // null if none carries it

  void ExpandAll();
  HTREEITEM Selected() const;
  void Select(HTREEITEM item);

  // A click on the box or Space on the selected item.
  std::function<void(HTREEITEM item)> OnCheckClick;
  std::function<void(HTREEITEM item)> OnSelectionChanged;
  std::function<void(HTREEITEM item)> OnDoubleClick;

  // What a click at a client point does to the boxes: OnCheckClick if the
  // point is on a box. True if it was.
  bool ClickAt(POINT client);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool OnNotify(NMHDR& header, LRESULT& result) override;

 private:
  void BuildStateImages();

  bool checkBoxes_ = true;
  UniqueHimagelist stateImages_;
};

}  // namespace widgets
