#include <gtest/gtest.h>

#include <set>

#include "foundation/backends/win32/wide.h"
#include "gui_fixture.h"
#include "widgets/controls.h"
#include "widgets/gui_dispatcher.h"
#include "widgets/window.h"

namespace {

using widgets::Form;
using widgets_test::WindowText;

// Non-ASCII, an ampersand and quotes: what program names and paths carry.
const std::string kCaption = "Größe & \"Tidewell\" – 大小";

class ControlsTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(form.Create({.caption = "Controls", .clientWidth = 500, .clientHeight = 400})); }
  Form form;
};

TEST_F(ControlsTest, EveryControlCarriesItsCaptionAsWindowTextAndAnIdOfItsForm) {
  widgets::Label label, bold;
  widgets::Button button;
  widgets::CheckBox check;
  widgets::Edit edit;
  widgets::LinkLabel link;
  widgets::ProgressBar progress;
  widgets::ListView list;
  widgets::Picture picture;
  widgets::StatusBar status;
  ASSERT_TRUE(label.Create(form, {8, 8, 200, 14}, kCaption));
  ASSERT_TRUE(bold.Create(form, {8, 24, 200, 14}, kCaption, {.bold = true, .wordWrap = true}));
  ASSERT_TRUE(button.Create(form, {8, 40, 75, 25}, kCaption));
  ASSERT_TRUE(check.Create(form, {8, 70, 200, 17}, kCaption, {.checked = true}));
  ASSERT_TRUE(edit.Create(form, {8, 90, 200, 21}, kCaption));
  ASSERT_TRUE(link.Create(form, {8, 115, 200, 14}, kCaption));
  ASSERT_TRUE(progress.Create(form, {8, 135, 200, 17}, kCaption));
  ASSERT_TRUE(list.Create(form, {8, 160, 300, 100}, kCaption));
  ASSERT_TRUE(picture.Create(form, {320, 8, 64, 64}, kCaption));
  ASSERT_TRUE(status.Create(form));
  status.SetPanels({120, -1});
  status.SetPanelText(0, kCaption);

  const struct {
    const char* name;
    const widgets::Window& control;
  } cases[] = {{"label", label},         {"bold wrapping label", bold}, {"button", button},
               {"check box", check},     {"edit", edit},                {"link label", link},
               {"progress bar", progress}, {"list view", list},         {"picture", picture},
               {"status bar (first panel)", status}};
  std::set<int> ids;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(WindowText(c.control.Handle()), found::Widen(kCaption));
    EXPECT_EQ(c.control.Text(), kCaption);
    EXPECT_EQ(GetDlgItem(form.Handle(), c.control.Id()), c.control.Handle());
    EXPECT_TRUE(ids.insert(c.control.Id()).second) << "id " << c.control.Id() << " twice";
  }
}

TEST_F(ControlsTest, TextSurvivesTheRoundTripThroughTheControls) {
  const std::string longText = std::string(1000, 'x') + "–end";  // longer than any first buffer
  widgets::ListView list;
  ASSERT_TRUE(list.Create(form, {8, 8, 300, 200}, "Programs"));
  list.AddColumn("Name", 150);
  list.AddColumn("Size", 80, widgets::TextAlign::Right);
  const int row = list.AddItem(kCaption, -1, 42);
  list.SetItemText(row, 1, longText);
  EXPECT_EQ(list.ItemText(row, 0), kCaption);
  EXPECT_EQ(list.ItemText(row, 1), longText);
  EXPECT_EQ(list.ItemData(row), 42);

  widgets::ComboBox combo;
  ASSERT_TRUE(combo.Create(form, {8, 220, 200, 21}));
  combo.AddItem("first");
  combo.AddItem(kCaption);
  combo.SetItemIndex(1);
  EXPECT_EQ(combo.ItemText(1), kCaption);
  EXPECT_EQ(combo.Text(), kCaption);  // a drop-down list shows the chosen item

  widgets::StatusBar status;
  ASSERT_TRUE(status.Create(form));
  status.SetPanels({100, 100, -1});
  status.SetPanelText(2, longText);
  wchar_t third[2048] = {};
  SendMessageW(status.Handle(), SB_GETTEXTW, 2, reinterpret_cast<LPARAM>(third));
  EXPECT_EQ(std::wstring(third), found::Widen(longText));
}

TEST_F(ControlsTest, ListReportsEachSelectionChangeButNotFocusChanges) {
  widgets::ListView list;
  ASSERT_TRUE(list.Create(form, {8, 8, 300, 200}, "Programs"));
  list.AddColumn("Name", 150);
  for (const char* name : {"Alpha", "Beta", "Gamma"}) list.AddItem(name);
  std::vector<int> reported;
  list.OnSelectionChanged = [&] { reported.push_back(list.SelectedIndex()); };
  list.Select(1);
  list.Select(2);
  list.Select(-1);
  // Each change deselects the old row, then selects the new one.
  EXPECT_EQ(reported, (std::vector<int>{1, -1, 2, -1}));
  EXPECT_EQ(list.SelectedIndex(), -1);
}

TEST_F(ControlsTest, EnterInAListGoesToTheListOnlyWhenItHandlesIt) {
  const struct {
    const char* name;
    bool listHandlesEnter;
    int expectedListEnters;
    int expectedDefaultClicks;
  } cases[] = {{"list with OnEnter", true, 1, 0}, {"list without OnEnter", false, 0, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Form dialog;
    ASSERT_TRUE(dialog.Create({.caption = "Programs", .border = widgets::BorderStyle::Dialog}));
    widgets::ListView list;
    widgets::Button remove;
    ASSERT_TRUE(list.Create(dialog, {8, 8, 200, 100}, "Programs"));
    ASSERT_TRUE(remove.Create(dialog, {8, 120, 75, 25}, "Remove", {.isDefault = true}));
    list.AddColumn("Name", 150);
    list.AddItem("Alpha");
    list.AddItem("Beta");
    list.Select(1);
    std::vector<int> listEnters;
    int defaultClicks = 0;
    if (c.listHandlesEnter) list.OnEnter = [&](int item) { listEnters.push_back(item); };
    remove.OnClick = [&] { ++defaultClicks; };
    widgets::MessageWindowDispatcher gui;
    ASSERT_TRUE(gui.Post([&] {
      PostMessageW(list.Handle(), WM_KEYDOWN, VK_RETURN, 1);
      ASSERT_TRUE(gui.Post([&] { dialog.Close(); }));
    }));
    dialog.ShowModal();
    EXPECT_EQ(listEnters, std::vector<int>(c.expectedListEnters, 1));
    EXPECT_EQ(defaultClicks, c.expectedDefaultClicks);
  }
}

TEST_F(ControlsTest, ClickReachesOnlyAnEnabledButton) {
  widgets::Button button;
  ASSERT_TRUE(button.Create(form, {8, 8, 75, 25}, "Remove"));
  int clicks = 0;
  button.OnClick = [&] { ++clicks; };
  SendMessageW(button.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);
  button.SetEnabled(false);
  // What another program's BM_CLICK does to a disabled button.
  SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(button.Id(), BN_CLICKED), reinterpret_cast<LPARAM>(button.Handle()));
  EXPECT_EQ(clicks, 1);
}

TEST_F(ControlsTest, StatusBarPanelIsDrawnByItsOwnDrawer) {
  widgets::StatusBar status;
  ASSERT_TRUE(status.Create(form));
  status.SetPanels({100, 100, -1});
  std::vector<RECT> drawn;
  status.SetPanelDrawer(1, [&](HDC, const RECT& rect) { drawn.push_back(rect); });
  RECT second{};
  SendMessageW(status.Handle(), SB_GETRECT, 1, reinterpret_cast<LPARAM>(&second));

  // What the status bar sends its parent when the panel needs painting.
  DRAWITEMSTRUCT item{};
  item.CtlID = static_cast<UINT>(status.Id());
  item.itemID = 1;
  item.hwndItem = status.Handle();
  item.hDC = GetDC(status.Handle());
  item.rcItem = second;
  SendMessageW(form.Handle(), WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
  ReleaseDC(status.Handle(), item.hDC);
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_TRUE(EqualRect(&drawn[0], &second));
}

TEST_F(ControlsTest, ControlDestroyedWithItsFormForgetsItsWindow) {
  widgets::Button button;
  widgets::ListView list;
  ASSERT_TRUE(button.Create(form, {8, 8, 75, 25}, "Close"));
  ASSERT_TRUE(list.Create(form, {8, 40, 200, 100}, "Programs"));
  DestroyWindow(form.Handle());
  EXPECT_EQ(button.Handle(), nullptr);
  EXPECT_EQ(list.Handle(), nullptr);
  EXPECT_EQ(form.Handle(), nullptr);
  button.SetText("ignored");  // no window: nothing happens
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(ControlsTest, FormOfAControlIsItsTopLevelForm) {
  widgets::Button button;
  ASSERT_TRUE(button.Create(form, {8, 8, 75, 25}, "OK"));
  EXPECT_EQ(Form::Of(button.Handle()), &form);
  EXPECT_EQ(widgets::Window::FromHandle(button.Handle()), &button);
  EXPECT_EQ(widgets::Window::FromHandle(GetDesktopWindow()), nullptr);
}

}  // namespace
