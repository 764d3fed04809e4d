#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "gui_fixture.h"
#include "widgets/actions.h"
#include "widgets/controls.h"
#include "widgets/gui_dispatcher.h"
#include "widgets/menus.h"
#include "widgets/window.h"

namespace {

using widgets::Action;
using widgets::Button;
using widgets::Form;
using widgets::MainMenu;
using widgets::Menu;

bool IsGrayed(const Menu& menu, int id) { return (GetMenuState(menu.Handle(), id, MF_BYCOMMAND) & MF_GRAYED) != 0; }

std::wstring MenuText(const Menu& menu, int id) {
  wchar_t text[128] = {};
  GetMenuStringW(menu.Handle(), id, text, 128, MF_BYCOMMAND);
  return text;
}

// A form with File > Repair bound to an action whose update returns `allowed`.
struct RepairForm {
  bool allowed = false;
  int executed = 0;
  Action actRepair{"&Repair", [this] { ++executed; }, [this] { return allowed; }};
  Form form;
  MainMenu menu;
  Menu* file = nullptr;
  int repairId = 0;

  RepairForm() {
    if (!form.Create({.caption = "Cleaner"})) ADD_FAILURE() << "no form";
    file = &menu.AddSubmenu("&File");
    repairId = file->AddItem(actRepair, {'R', true});
    if (!menu.AttachTo(form)) ADD_FAILURE() << "no menu bar";
  }
  void OpenFileMenu() {
    SendMessageW(form.Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file->Handle()), MAKELPARAM(0, FALSE));
  }
};

TEST(Actions, OpeningAMenuAppliesTheUpdateToItsItems) {
  RepairForm f;
  for (const bool allowed : {true, false, true}) {
    SCOPED_TRACE(allowed ? "update allows" : "update refuses");
    f.allowed = allowed;
    f.OpenFileMenu();
    EXPECT_EQ(IsGrayed(*f.file, f.repairId), !allowed);
  }
}

TEST(Actions, MenuCommandOfAnActionThatBecameDisabledDoesNotRun) {
  RepairForm f;
  f.allowed = true;
  f.OpenFileMenu();  // the item shows enabled...
  f.allowed = false;  // ...but the selection changed since
  SendMessageW(f.form.Handle(), WM_COMMAND, MAKEWPARAM(f.repairId, 0), 0);
  EXPECT_EQ(f.executed, 0);
  f.allowed = true;
  SendMessageW(f.form.Handle(), WM_COMMAND, MAKEWPARAM(f.repairId, 1), 0);  // as an accelerator sends it
  EXPECT_EQ(f.executed, 1);
}

TEST(Actions, BoundButtonFollowsTheUpdateOnEachIdlePass) {
  RepairForm f;
  Button btnRepair;
  ASSERT_TRUE(btnRepair.Create(f.form, {8, 8, 120, 25}, "placeholder"));
  btnRepair.SetAction(&f.actRepair);
  std::vector<bool> seen;
  const int idle = widgets::AddIdleHandler([&] {
    seen.push_back(IsWindowEnabled(btnRepair.Handle()) != FALSE);
    f.allowed = !f.allowed;
    if (seen.size() == 3) {
      f.form.Close();
    } else {
      PostMessageW(f.form.Handle(), WM_NULL, 0, 0);  // one more message, so one more idle pass
    }
  });
  f.form.ShowModal();
  widgets::RemoveIdleHandler(idle);
  EXPECT_EQ(seen, (std::vector<bool>{false, true, false}));
}

TEST(Actions, CaptionFollowsTheActionOnButtonAndMenu) {
  RepairForm f;
  Button btnRepair;
  ASSERT_TRUE(btnRepair.Create(f.form, {8, 8, 120, 25}, "placeholder"));
  btnRepair.SetAction(&f.actRepair);
  EXPECT_EQ(widgets_test::WindowText(btnRepair.Handle()), L"&Repair");
  f.actRepair.SetCaption("&Repair selected");
  EXPECT_EQ(widgets_test::WindowText(btnRepair.Handle()), L"&Repair selected");
  EXPECT_EQ(MenuText(*f.file, f.repairId), L"&Repair selected\tCtrl+R");
}

TEST(Actions, ButtonClickRunsTheActionOnlyWhileItIsEnabled) {
  RepairForm f;
  Button btnRepair;
  ASSERT_TRUE(btnRepair.Create(f.form, {8, 8, 120, 25}, "placeholder"));
  btnRepair.SetAction(&f.actRepair);
  f.allowed = false;
  btnRepair.Click();
  EXPECT_EQ(f.executed, 0);
  EXPECT_FALSE(btnRepair.Enabled());  // the click's update showed the state too
  f.allowed = true;
  btnRepair.Click();
  EXPECT_EQ(f.executed, 1);
}

TEST(Actions, ControlsOutliveTheirActionSafely) {
  Form form;
  ASSERT_TRUE(form.Create({.caption = "Lifetimes"}));
  Button button;
  ASSERT_TRUE(button.Create(form, {8, 8, 120, 25}, "x"));
  MainMenu menu;
  int id = 0;
  {
    Action action("&Go", [] {});
    button.SetAction(&action);
    id = menu.AddSubmenu("&File").AddItem(action);
  }
  EXPECT_EQ(button.GetAction(), nullptr);
  EXPECT_TRUE(menu.Invoke(id));  // found, and nothing to run
}

TEST(Actions, ShortcutOfAMainMenuItemRunsItFromAControlOfTheForm) {
  RepairForm f;
  f.allowed = true;
  widgets::Edit edit;
  ASSERT_TRUE(edit.Create(f.form, {8, 8, 200, 21}, ""));
  BYTE saved[256] = {};
  ASSERT_TRUE(GetKeyboardState(saved));
  BYTE ctrlDown[256];
  std::copy(std::begin(saved), std::end(saved), ctrlDown);
  ctrlDown[VK_CONTROL] = 0x80;
  widgets::MessageWindowDispatcher gui;
  ASSERT_TRUE(gui.Post([&] {
    SetKeyboardState(ctrlDown);  // what the loop's TranslateAccelerator reads for Ctrl
    PostMessageW(edit.Handle(), WM_KEYDOWN, 'R', 1);
    ASSERT_TRUE(gui.Post([&] {
      SetKeyboardState(saved);
      f.form.Close();
    }));
  }));
  f.form.ShowModal();
  EXPECT_EQ(f.executed, 1);
  EXPECT_EQ(widgets_test::WindowText(edit.Handle()), L"");  // the key went to the menu, not into the text
}

}  // namespace
