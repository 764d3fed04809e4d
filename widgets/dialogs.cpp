#include "widgets/dialogs.h"

#include <commdlg.h>

#include <vector>

#include "foundation/backends/win32/wide.h"
#include "widgets/application.h"

namespace widgets {

namespace {

// The owner of a box or chooser: the active window of this thread, so that
// it is modal to the form the user works in.
HWND DialogOwner() { return GetActiveWindow(); }

int ShowBox(std::string_view text, const std::string& caption, UINT flags) {
  const HWND owner = DialogOwner();
  // Without an owner, modal to the whole thread rather than to nothing.
  if (!owner) flags |= MB_TASKMODAL;
  return MessageBoxW(owner, found::Widen(text).c_str(), found::Widen(caption).c_str(), flags);
}

std::optional<std::string> RunFileDialog(const FileDialogOptions& options, bool save) {
  const std::wstring filter = FileDialogFilter(options.filter);
  const std::wstring title = found::Widen(options.title);
  const std::wstring extension = found::Widen(options.defaultExtension);
  const std::wstring folder = found::Widen(options.initialFolder);
  // Long enough for any path the shell can hand back.
  std::vector<wchar_t> path(32768, L'\0');
  const std::wstring proposed = found::Widen(options.fileName);
  proposed.copy(path.data(), std::min(proposed.size(), path.size() - 1));

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = DialogOwner();
  ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(options.filterIndex);
  ofn.lpstrFile = path.data();
  ofn.nMaxFile = static_cast<DWORD>(path.size());
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  // NOCHANGEDIR: the chooser would otherwise move the process's current folder.
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
  if (save) {
    if (options.overwritePrompt) ofn.Flags |= OFN_OVERWRITEPROMPT;
  } else {
    ofn.Flags |= OFN_FILEMUSTEXIST;
  }
  const BOOL chosen = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
  if (!chosen) return std::nullopt;
  return found::Narrow(path.data());
}

}  // namespace

MessageBoxStyle MessageDlgStyle(MsgDlgType type, MsgDlgButtons buttons) {
  MessageBoxStyle style;
  switch (type) {
    case MsgDlgType::Information:
      style = {"Information", MB_ICONINFORMATION};
      break;
    case MsgDlgType::Warning:
      style = {"Warning", MB_ICONWARNING};
      break;
    case MsgDlgType::Confirmation:
      style = {"Confirm", MB_ICONQUESTION};
      break;
    case MsgDlgType::Error:
      style = {"Error", MB_ICONERROR};
      break;
  }
  switch (buttons) {
    case MsgDlgButtons::Ok:
      style.flags |= MB_OK;
      break;
    case MsgDlgButtons::OkCancel:
      style.flags |= MB_OKCANCEL;
      break;
    case MsgDlgButtons::YesNo:
      style.flags |= MB_YESNO;
      break;
  }
  style.flags |= MB_DEFBUTTON1;
  return style;
}

ModalResult MessageDlg(std::string_view text, MsgDlgType type, MsgDlgButtons buttons) {
  const MessageBoxStyle style = MessageDlgStyle(type, buttons);
  return static_cast<ModalResult>(ShowBox(text, style.caption, style.flags));
}

void ShowMessage(std::string_view text) { ShowBox(text, ApplicationTitle(), MB_OK); }

void ShowException(const std::exception& error) {
  std::string text = error.what();
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  ShowBox(text, ApplicationTitle(), MB_OK | MB_ICONERROR);
}

std::optional<std::string> OpenFileDialog(const FileDialogOptions& options) { return RunFileDialog(options, false); }

std::optional<std::string> SaveFileDialog(const FileDialogOptions& options) { return RunFileDialog(options, true); }

std::wstring FileDialogFilter(std::string_view filter) {
  std::vector<std::string_view> parts;
  while (!filter.empty()) {
    const std::size_t bar = filter.find('|');
    parts.push_back(filter.substr(0, bar));
    if (bar == std::string_view::npos) break;
    filter.remove_prefix(bar + 1);
  }
  std::wstring result;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i + 1].empty()) continue;  // a pattern is what a pair needs
    result += found::Widen(parts[i]);
    result += L'\0';
    result += found::Widen(parts[i + 1]);
    result += L'\0';
  }
  return result;
}

}  // namespace widgets
