#include "cleaner/app/win32/regjump_win32.h"

#include <windows.h>
#include <shellapi.h>

#include "cleaner/app/regjump.h"
#include "foundation/backends/win32/unique_handle.h"

namespace cleaner {
namespace {

struct ClassSearch {
  const wchar_t* className;
  HWND found;
};

BOOL CALLBACK MatchClass(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<ClassSearch*>(param);
  wchar_t name[64];
  if (GetClassNameW(hwnd, name, 64) && lstrcmpiW(name, search->className) == 0) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

// The first window of that class below `parent`. Windows' editor has its tree
// and list as direct children; Wine's nests them one level deeper, so every
// descendant is searched.
HWND FindDescendant(HWND parent, const wchar_t* className) {
  ClassSearch search{className, nullptr};
  EnumChildWindows(parent, &MatchClass, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void BringForward(HWND hwnd) {
  SetForegroundWindow(hwnd);
  SetFocus(hwnd);
}

bool IsPaced() {
  DEVMODEW mode = {};
  mode.dmSize = sizeof mode;
  return EnumDisplaySettingsW(nullptr, 0, &mode) && mode.dmBitsPerPel > 8;
}

HWND FindOrStartEditor() {
  HWND editor = FindWindowW(L"RegEdit_RegEdit", nullptr);
  if (editor) return editor;
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.lpVerb = L"open";
  info.lpFile = L"regedit.exe";
  info.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExW(&info)) return nullptr;
  found::UniqueHandle process(info.hProcess);
  if (process) WaitForInputIdle(process.get(), INFINITE);
  return FindWindowW(L"RegEdit_RegEdit", nullptr);
}

}  // namespace

void JumpToRegistryKey(const std::string& path, const std::string& valueName) {
  if (ResolveRootKey(path) == 0) return;
  const bool paced = IsPaced();
  const HWND editor = FindOrStartEditor();
  if (!editor) return;
  ShowWindow(editor, SW_SHOW);
  SetForegroundWindow(editor);
  const HWND tree = FindDescendant(editor, L"SysTreeView32");
  if (!tree) return;
  BringForward(tree);
  HWND list = nullptr;
  // A repeat count of 1, as the keyboard sends: Wine's tree and list ignore
  // characters that come without one.
  constexpr LPARAM kOnce = 1;
  for (const JumpStep& step : JumpSequence(path, valueName, paced)) {
    switch (step.kind) {
      case JumpStep::TreeKeyDown: SendMessageW(tree, WM_KEYDOWN, step.code, kOnce); break;
      case JumpStep::TreeChar: SendMessageW(tree, WM_CHAR, step.code, kOnce); break;
      case JumpStep::TreeClick: SendMessageW(tree, WM_LBUTTONDOWN, step.code, 0); break;
      case JumpStep::Pause: Sleep(step.code); break;
      case JumpStep::FocusList:
        list = FindDescendant(editor, L"SysListView32");
        if (!list) return;
        BringForward(list);
        break;
      case JumpStep::ListKeyDown: SendMessageW(list, WM_KEYDOWN, step.code, kOnce); break;
      case JumpStep::ListChar: SendMessageW(list, WM_CHAR, step.code, kOnce); break;
    }
  }
  BringForward(editor);
}

}  // namespace cleaner
