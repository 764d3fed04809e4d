#include <gtest/gtest.h>

#include <cstdlib>

#include "gui_fixture.h"
#include "widgets/controls.h"
#include "widgets/gui_dispatcher.h"
#include "widgets/menus.h"
#include "widgets/metrics.h"
#include "widgets/window.h"

namespace {

using widgets::BorderStyle;
using widgets::Button;
using widgets::CloseAction;
using widgets::Form;
using widgets::MessageWindowDispatcher;
using widgets::ModalResult;
using widgets::Position;

POINT Center(const RECT& rect) { return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

RECT WindowRect(HWND hwnd) {
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  return rect;
}

RECT WorkArea() {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

TEST(Form, CentresOnTheDesktopOrOnItsOwnerInsideTheWorkArea) {
  const RECT work = WorkArea();
  struct Case {
    const char* name;
    Position position;
    RECT ownerRect;  // empty: no owner
    RECT expectedAround;
  };
  const RECT ownerInside{work.left + 40, work.top + 30, work.left + 640, work.top + 470};
  const RECT ownerAtRightEdge{work.right - 150, work.top + 30, work.right + 450, work.top + 470};
  const Case cases[] = {
      {"screen centre", Position::ScreenCenter, {}, work},
      {"owner centre", Position::OwnerCenter, ownerInside, ownerInside},
      {"owner centre without an owner is the screen centre", Position::OwnerCenter, {}, work},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Form owner;
    const bool hasOwner = !IsRectEmpty(&c.ownerRect);
    if (hasOwner) {
      ASSERT_TRUE(owner.Create({.caption = "Owner", .position = Position::Default}));
      owner.SetBounds(c.ownerRect.left, c.ownerRect.top, c.ownerRect.right - c.ownerRect.left,
                      c.ownerRect.bottom - c.ownerRect.top);
    }
    Form form;
    ASSERT_TRUE(form.Create({.caption = "Centred", .clientWidth = 300, .clientHeight = 200,
                             .border = BorderStyle::Dialog, .position = c.position,
                             .owner = hasOwner ? &owner : nullptr}));
    const POINT got = Center(WindowRect(form.Handle()));
    const POINT want = Center(c.expectedAround);
    EXPECT_LE(std::abs(got.x - want.x), 1) << got.x << " vs " << want.x;
    EXPECT_LE(std::abs(got.y - want.y), 1) << got.y << " vs " << want.y;
  }

  SCOPED_TRACE("an owner partly off the desktop: the form stays inside the work area");
  Form owner;
  ASSERT_TRUE(owner.Create({.caption = "Owner", .position = Position::Default}));
  owner.SetBounds(ownerAtRightEdge.left, ownerAtRightEdge.top, ownerAtRightEdge.right - ownerAtRightEdge.left,
                  ownerAtRightEdge.bottom - ownerAtRightEdge.top);
  Form form;
  ASSERT_TRUE(form.Create({.caption = "Centred", .clientWidth = 300, .clientHeight = 200,
                           .border = BorderStyle::Dialog, .position = Position::OwnerCenter, .owner = &owner}));
  const RECT rect = WindowRect(form.Handle());
  EXPECT_EQ(rect.right, work.right);
  EXPECT_LE(std::abs(Center(rect).y - Center(ownerAtRightEdge).y), 1);
}

TEST(Form, ClientAreaHasTheRequestedSizeWithEveryBorderAndMenu) {
  struct Case {
    const char* name;
    BorderStyle border;
    bool menu;
  };
  const Case cases[] = {
      {"sizeable", BorderStyle::Sizeable, false}, {"sizeable with menu", BorderStyle::Sizeable, true},
      {"single", BorderStyle::Single, false},     {"single with menu", BorderStyle::Single, true},
      {"dialog", BorderStyle::Dialog, false},     {"dialog with menu", BorderStyle::Dialog, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Form form;
    ASSERT_TRUE(form.Create({.caption = "Sized", .clientWidth = 457, .clientHeight = 311, .border = c.border}));
    widgets::MainMenu menu;
    if (c.menu) {
      menu.AddSubmenu("&File").AddItem("E&xit", [] {});
      menu.AddSubmenu("&Help").AddItem("&About", [] {});
      ASSERT_TRUE(menu.AttachTo(form));
    }
    RECT client{};
    GetClientRect(form.Handle(), &client);
    EXPECT_EQ(client.right, widgets::Scale(457));
    EXPECT_EQ(client.bottom, widgets::Scale(311));
  }
}

TEST(Form, ShowModalDisablesItsOwnerAndEnablesItAgain) {
  MessageWindowDispatcher gui;
  Form owner;
  ASSERT_TRUE(owner.Create({.caption = "Main"}));
  owner.Show();
  Form dialog;
  ASSERT_TRUE(dialog.Create({.caption = "Dialog", .border = BorderStyle::Dialog, .owner = &owner}));
  bool ownerEnabledInside = true;
  bool dialogEnabledInside = false;
  ASSERT_TRUE(gui.Post([&] {
    ownerEnabledInside = IsWindowEnabled(owner.Handle());
    dialogEnabledInside = IsWindowEnabled(dialog.Handle());
    dialog.Close();
  }));
  dialog.ShowModal();
  EXPECT_FALSE(ownerEnabledInside);
  EXPECT_TRUE(dialogEnabledInside);
  EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
  EXPECT_FALSE(dialog.Visible());
}

TEST(Form, NestedModalFormsEachRestoreOnlyWhatTheyDisabled) {
  MessageWindowDispatcher gui;
  Form main, first, second;
  ASSERT_TRUE(main.Create({.caption = "Main"}));
  main.Show();
  ASSERT_TRUE(first.Create({.caption = "First", .border = BorderStyle::Dialog, .owner = &main}));
  ASSERT_TRUE(second.Create({.caption = "Second", .border = BorderStyle::Dialog, .owner = &first}));
  bool firstEnabledUnderSecond = true;
  bool mainEnabledAfterSecond = true;
  bool firstEnabledAfterSecond = false;
  ASSERT_TRUE(gui.Post([&] {
    ASSERT_TRUE(gui.Post([&] {
      firstEnabledUnderSecond = IsWindowEnabled(first.Handle());
      second.Close();
    }));
    second.ShowModal();
    mainEnabledAfterSecond = IsWindowEnabled(main.Handle());
    firstEnabledAfterSecond = IsWindowEnabled(first.Handle());
    first.Close();
  }));
  first.ShowModal();
  EXPECT_FALSE(firstEnabledUnderSecond);
  EXPECT_FALSE(mainEnabledAfterSecond);  // still under the first modal form
  EXPECT_TRUE(firstEnabledAfterSecond);
  EXPECT_TRUE(IsWindowEnabled(main.Handle()));
}

TEST(Form, EnterAndEscClickTheDefaultAndCancelButtons) {
  struct Case {
    const char* name;
    UINT key;
    bool defaultEnabled;
    ModalResult expected;
    bool yesIsDefault = true;
    bool keyOnNo = false;  // the key goes to the focused No button, not the edit
  };
  const Case cases[] = {
      {"Enter clicks the default button", VK_RETURN, true, ModalResult::Yes},
      {"Esc clicks the cancel button", VK_ESCAPE, true, ModalResult::No},
      {"Enter does nothing while the default button is disabled", VK_RETURN, false, ModalResult::Cancel},
      {"Enter presses the focused button when none is default", VK_RETURN, true, ModalResult::No, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MessageWindowDispatcher gui;
    Form form;
    ASSERT_TRUE(form.Create({.caption = "Keys", .clientWidth = 300, .clientHeight = 100,
                             .border = BorderStyle::Dialog}));
    widgets::Edit edit;
    Button yes, no;
    ASSERT_TRUE(edit.Create(form, {8, 8, 200, 21}, "text"));
    ASSERT_TRUE(
        yes.Create(form, {8, 60, 75, 25}, "&Yes", {.isDefault = c.yesIsDefault, .modalResult = ModalResult::Yes}));
    ASSERT_TRUE(no.Create(form, {90, 60, 75, 25}, "&No", {.isCancel = true, .modalResult = ModalResult::No}));
    yes.SetEnabled(c.defaultEnabled);
    ASSERT_TRUE(gui.Post([&] {
      const HWND target = c.keyOnNo ? no.Handle() : edit.Handle();
      SetFocus(target);
      PostMessageW(target, WM_KEYDOWN, c.key, 1);
      // Runs after the key: closes the form if the key did nothing.
      ASSERT_TRUE(gui.Post([&] {
        if (form.IsModal()) form.Close();
      }));
    }));
    EXPECT_EQ(form.ShowModal(), c.expected);
  }
}

TEST(Form, OnCloseCanKeepAModalFormOpen) {
  MessageWindowDispatcher gui;
  Form form;
  ASSERT_TRUE(form.Create({.caption = "Closing"}));
  int asked = 0;
  form.OnClose = [&](CloseAction& action) {
    if (++asked == 1) action = CloseAction::None;
  };
  bool openAfterRefusal = false;
  ASSERT_TRUE(gui.Post([&] { form.Close(); }));
  ASSERT_TRUE(gui.Post([&] {
    openAfterRefusal = form.IsModal() && form.Visible();
    form.Close();
  }));
  EXPECT_EQ(form.ShowModal(), ModalResult::Cancel);
  EXPECT_EQ(asked, 2);
  EXPECT_TRUE(openAfterRefusal);
}

TEST(Form, ExceptionOfAnEventHandlerGoesToTheExceptionHandler) {
  widgets_test::CaughtExceptions caught;
  Form form;
  ASSERT_TRUE(form.Create({.caption = "Errors"}));
  Button button;
  ASSERT_TRUE(button.Create(form, {8, 8, 75, 25}, "Delete"));
  button.OnClick = [] { throw std::runtime_error("Failed to set data for 'x'"); };
  SendMessageW(button.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(caught.Messages(), std::vector<std::string>{"Failed to set data for 'x'"});
}

}  // namespace
