// "Open in Regedit" against Wine's own registry editor.
#include <windows.h>

#include <gtest/gtest.h>

#include "cleaner/app/win32/regjump_win32.h"
#include "foundation/backends/win32/win32_platform.h"
#include "foundation/backends/win32/wide.h"
#include "foundation/registry.h"

namespace {

BOOL CALLBACK FindStatusBar(HWND hwnd, LPARAM param) {
  wchar_t name[64];
  if (GetClassNameW(hwnd, name, 64) && lstrcmpiW(name, L"msctls_statusbar32") == 0) {
    *reinterpret_cast<HWND*>(param) = hwnd;
    return FALSE;
  }
  return TRUE;
}

// The editor's status bar names the selected key: computer name, "\", path.
std::string EditorStatus(HWND editor) {
  HWND status = nullptr;
  EnumChildWindows(editor, &FindStatusBar, reinterpret_cast<LPARAM>(&status));
  if (!status) return {};
  wchar_t text[1024] = {};
  SendMessageW(status, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
  return found::Narrow(text);
}

void CloseEditor() {
  if (HWND editor = FindWindowW(L"RegEdit_RegEdit", nullptr)) {
    DWORD pid = 0;
    GetWindowThreadProcessId(editor, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    PostMessageW(editor, WM_CLOSE, 0, 0);
    if (process) {
      WaitForSingleObject(process, 10000);
      CloseHandle(process);
    }
  }
}

TEST(RegJumpWine, LeavesTheEditorOnTheKey) {
  found::Win32Platform platform;
  platform.Install();
  found::TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\Software\\CobaltJump\\Deep Key\\Target", true));
  reg.WriteString("Some Value", "x");
  ASSERT_TRUE(reg.OpenKey("\\Software\\CobaltJump\\Other", true));

  struct Case {
    const char* name;
    std::string path;
    std::string expected;  // how the status bar ends
  };
  for (const Case& c : {
           Case{"editor started for a deep key", "HKEY_CURRENT_USER\\Software\\CobaltJump\\Deep Key\\Target",
                "HKEY_CURRENT_USER\\Software\\CobaltJump\\Deep Key\\Target"},
           Case{"editor already open, lower-case path", "hkey_current_user\\software\\cobaltjump\\other",
                "HKEY_CURRENT_USER\\Software\\CobaltJump\\Other"},
       }) {
    SCOPED_TRACE(c.name);
    cleaner::JumpToRegistryKey(c.path, "Some Value");
    const HWND editor = FindWindowW(L"RegEdit_RegEdit", nullptr);
    ASSERT_NE(editor, nullptr);
    const std::string status = EditorStatus(editor);
    ASSERT_GE(status.size(), c.expected.size()) << status;
    EXPECT_EQ(status.substr(status.size() - c.expected.size()), c.expected) << status;
  }
  CloseEditor();
  reg.CloseKey();
  EXPECT_TRUE(reg.DeleteKey("\\Software\\CobaltJump"));
}

TEST(RegJumpWine, MissingKeyStartsNothing) {
  found::Win32Platform platform;
  platform.Install();
  CloseEditor();
  cleaner::JumpToRegistryKey("HKEY_CURRENT_USER\\Software\\CobaltJump\\Nowhere", "");
  EXPECT_EQ(FindWindowW(L"RegEdit_RegEdit", nullptr), nullptr);
}

}  // namespace
