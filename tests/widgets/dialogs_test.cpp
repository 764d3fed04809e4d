#include <gtest/gtest.h>

#include "foundation/backends/win32/wide.h"
#include "gui_fixture.h"
#include "widgets/dialogs.h"
#include "widgets/gui_dispatcher.h"

namespace {

using widgets::ModalResult;
using widgets::MsgDlgButtons;
using widgets::MsgDlgType;

TEST(MessageDlg, TypeAndButtonsChooseCaptionIconAndButtons) {
  struct Case {
    const char* name;
    MsgDlgType type;
    MsgDlgButtons buttons;
    const char* caption;
    UINT icon;
    UINT buttonSet;
  };
  const Case cases[] = {
      {"information with OK", MsgDlgType::Information, MsgDlgButtons::Ok, "Information", MB_ICONINFORMATION, MB_OK},
      {"warning with OK and Cancel", MsgDlgType::Warning, MsgDlgButtons::OkCancel, "Warning", MB_ICONWARNING, MB_OKCANCEL},
      {"confirmation with Yes and No", MsgDlgType::Confirmation, MsgDlgButtons::YesNo, "Confirm", MB_ICONQUESTION, MB_YESNO},
      {"error with OK", MsgDlgType::Error, MsgDlgButtons::Ok, "Error", MB_ICONERROR, MB_OK},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const widgets::MessageBoxStyle style = widgets::MessageDlgStyle(c.type, c.buttons);
    EXPECT_EQ(style.caption, c.caption);
    EXPECT_EQ(style.flags & MB_ICONMASK, c.icon);
    EXPECT_EQ(style.flags & MB_TYPEMASK, c.buttonSet);
    EXPECT_EQ(style.flags & MB_DEFMASK, static_cast<UINT>(MB_DEFBUTTON1));
  }
}

// Shows a box and presses one of its buttons from a step the box's own loop runs.
struct PressedBox {
  std::wstring text;
  ModalResult result = ModalResult::None;
};

template <typename Show>
PressedBox PressInBox(const wchar_t* caption, int button, Show show) {
  widgets_test::FlushMessages();
  widgets::MessageWindowDispatcher gui;
  PressedBox pressed;
  EXPECT_TRUE(gui.Post([&] {
    const HWND box = widgets_test::FindThreadWindow(L"#32770", caption);
    if (!box) {
      ADD_FAILURE() << "no box";
      PostQuitMessage(0);  // ends the box's loop instead of hanging
      return;
    }
    pressed.text = widgets_test::WindowText(GetDlgItem(box, 0xFFFF));  // the text's static
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
  }));
  pressed.result = show();
  MSG quit;
  PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  return pressed;
}

TEST(MessageDlg, ReturnsTheButtonPressed) {
  const struct {
    const char* name;
    MsgDlgButtons buttons;
    int button;
    ModalResult expected;
  } cases[] = {
      {"OK", MsgDlgButtons::Ok, IDOK, ModalResult::Ok},
      {"Cancel", MsgDlgButtons::OkCancel, IDCANCEL, ModalResult::Cancel},
      {"No", MsgDlgButtons::YesNo, IDNO, ModalResult::No},
      {"Yes", MsgDlgButtons::YesNo, IDYES, ModalResult::Yes},
  };
  const std::string text = "Delete the entry of “Tidewell”?";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const PressedBox pressed = PressInBox(L"Confirm", c.button, [&] {
      return widgets::MessageDlg(text, MsgDlgType::Confirmation, c.buttons);
    });
    EXPECT_EQ(pressed.result, c.expected);
    EXPECT_EQ(pressed.text, found::Widen(text));
  }
}

TEST(MessageDlg, ErrorBoxEndsTheMessageWithAFullStop) {
  const struct {
    const char* name;
    const char* message;
    const wchar_t* shown;
  } cases[] = {
      {"adds one", "Access is denied", L"Access is denied."},
      {"keeps its own", "Access is denied.", L"Access is denied."},
      // Added only after characters above '.', so not after a quote.
      {"none after a quote", "Failed to set data for 'x'", L"Failed to set data for 'x'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    // Without an Application the title is the program's name.
    const PressedBox pressed = PressInBox(L"widgets_tests", IDOK, [&] {
      widgets::ShowException(std::runtime_error(c.message));
      return ModalResult::Ok;
    });
    EXPECT_EQ(pressed.text, c.shown);
  }
}

TEST(FileDialogFilter, PairsBecomeANulSeparatedListWithTwoNulsAtTheEnd) {
  using namespace std::string_literals;
  const struct {
    const char* name;
    const char* filter;
    std::wstring expected;  // plus the string's own terminating NUL
  } cases[] = {
      {"two pairs", "Registry files (*.reg)|*.reg|All files (*.*)|*.*",
       L"Registry files (*.reg)\0*.reg\0All files (*.*)\0*.*\0"s},
      {"non-ASCII description", "Größe (*.txt)|*.txt", L"Gr\u00f6\u00dfe (*.txt)\0*.txt\0"s},
      {"description without a pattern is dropped", "Text files (*.txt)|*.txt|All files", L"Text files (*.txt)\0*.txt\0"s},
      {"trailing bar", "Text files (*.txt)|*.txt|", L"Text files (*.txt)\0*.txt\0"s},
      {"empty", "", L""s},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::wstring got = widgets::FileDialogFilter(c.filter);
    EXPECT_EQ(got, c.expected);
    EXPECT_EQ(got.c_str()[got.size()], L'\0');
  }
}

}  // namespace
