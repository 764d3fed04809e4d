// The task pane beside the main windows' lists: a column of groups on a soft
// gradient, each with a bold caption bar and a body holding either a list of
// link-like items or one hosted child window (a tree, say). Groups never
// collapse. Every item is a real owner-drawn BUTTON child of the bar whose
// window text is its caption, so screen readers and test drivers find it
// with FindWindowEx and press it with BM_CLICK.
//   GroupBar bar;
//   if (!bar.Create(*this, {.bounds = {0, 60, GroupBar::kDesignWidth, 400}})) return false;
//   const int tasks = bar.AddGroup("Tasks");
//   bar.AddItem(tasks, "", &scanPicture).SetAction(&actScan);
//   const int sections = bar.AddGroup("Sections");
//   bar.HostChild(sections, tvSections);
//   OnResize: bar.SetGroupHeight(sections, bar.GroupRect(help).top - gap - bar.GroupRect(sections).top);
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/image/image.h"
#include "widgets/actions.h"
#include "widgets/controls.h"
#include "widgets/pictures.h"
#include "widgets/window.h"

namespace widgets {

// One row of a group: a small picture and a caption. A click, Enter or Space
// runs the bound action (if enabled) or else OnClick.
class GroupBarItem : public Control, public ActionClient {
 public:
  GroupBarItem() = default;
  ~GroupBarItem() override;

  // Caption and enabled state follow the action from now on; null unbinds.
  void SetAction(Action* action);
  Action* GetAction() const noexcept { return action_; }
  // Drawn at 16 x 16 (96 DPI) left of the caption; an empty image clears it.
  bool SetPicture(const imaging::Image& picture);
  bool HasPicture() const noexcept { return static_cast<bool>(picture_); }
  void Click();

  std::function<void()> OnClick;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool OnCommand(int code) override;
  bool OnDrawItem(const DRAWITEMSTRUCT& item) override;

 private:
  friend class GroupBar;
  bool Create(Window& bar, std::string_view caption);
  void ActionChanged(Action& action) override;
  void ActionDestroyed(Action& action) override;
  void SetHot(bool hot);

  Action* action_ = nullptr;
  UniqueHbitmap picture_;
  bool hot_ = false;
  COLORREF textColor_ = RGB(0, 0, 0);
  COLORREF hotColor_ = RGB(0, 0, 0);
  COLORREF background_ = RGB(255, 255, 255);
};

struct GroupBarOptions {
  Bounds bounds{0, 0, 193, 400};  // at 96 DPI
  // The product's colour: captions, links and the gradient are shades of it.
  COLORREF accent = RGB(0, 71, 171);
  int id = 0;
};

class GroupBar : public Window {
 public:
  static constexpr int kDesignWidth = 193;

  GroupBar() = default;
  ~GroupBar() override;
  [[nodiscard]] bool Create(Window& parent, const GroupBarOptions& options = {});

  // Appends a group below the others; its index.
  int AddGroup(std::string_view caption);
  int GroupCount() const noexcept { return static_cast<int>(groups_.size()); }
  std::string GroupCaption(int group) const;

  // Appends an item to the group; the reference stays valid as long as the bar.
  // Null picture: none.
  GroupBarItem& AddItem(int group, std::string_view caption, const imaging::Image* picture = nullptr);
  int ItemCount(int group) const;
  GroupBarItem& Item(int group, int index);

  // Moves the window into the bar, filling the group's body from now on (the
  // body's items, if any, are hidden beneath it: a group holds one or the other).
  // The window's owner object keeps it; destroying it before the bar is fine.
  bool HostChild(int group, Window& child);

  // Device pixels, caption bar included. Until set, an item group is as tall as
  // its items need and a hosting group has a body 100 px (96 DPI) high; a
  // negative height returns to that. Never less than the caption bar.
  void SetGroupHeight(int group, int height);
  int GroupHeight(int group) const;

  // Device pixels in the bar's client coordinates: the whole group, its
  // caption bar, and its body inside the frame (where items and the hosted child go).
  RECT GroupRect(int group) const;
  RECT GroupCaptionRect(int group) const;
  RECT GroupBodyRect(int group) const;
  // The vertical space between two groups and above the first, device pixels.
  int GroupGap() const;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  friend class GroupBarItem;
  struct Group {
    std::string caption;
    std::vector<std::unique_ptr<GroupBarItem>> items;
    HWND hosted = nullptr;
    int height = -1;  // device pixels; negative: automatic
  };

  const Group& At(int group) const;
  int NaturalHeight(const Group& group) const;
  void Layout();
  void Paint(HDC dc, const RECT& client);
  // Up/Down from an item: the next enabled, visible item in that direction.
  void MoveFocus(const GroupBarItem& from, int direction);

  std::vector<Group> groups_;
  COLORREF accent_ = RGB(0, 71, 171);
};

}  // namespace widgets
