// The platform's standard dialogs: message boxes with a fixed type and fixed
// buttons (MessageBoxW), the general error box, and the open and save file
// choosers (the common dialogs). Text is UTF-8.
#pragma once

#include <windows.h>

#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "widgets/window.h"

namespace widgets {

enum class MsgDlgType { Information, Warning, Confirmation, Error };
enum class MsgDlgButtons { Ok, OkCancel, YesNo };

// What MessageDlg hands to MessageBoxW: the caption names the type
// ("Information", "Warning", "Confirm", "Error"); the
// first button is the default.
struct MessageBoxStyle {
  std::string caption;
  UINT flags = 0;
};
MessageBoxStyle MessageDlgStyle(MsgDlgType type, MsgDlgButtons buttons);

// Modal to the thread's active window (to the whole thread when there is
// none); the button pressed, Ok/Cancel/Yes/No (Cancel or No for the close box).
ModalResult MessageDlg(std::string_view text, MsgDlgType type, MsgDlgButtons buttons);

// A plain box with OK, captioned with the application's title.
void ShowMessage(std::string_view text);

// The general error box for an exception a GUI event handler raised: the
// message (with a full stop added), the application's
// title, an error icon.
void ShowException(const std::exception& error);

struct FileDialogOptions {
  std::string title;             // empty: the system's "Open" / "Save As"
  std::string filter;            // pairs split by '|': "Text files (*.txt)|*.txt|All files (*.*)|*.*"
  int filterIndex = 1;           // 1-based, as OPENFILENAME counts
  std::string defaultExtension;  // without the dot; appended when the user typed none
  std::string initialFolder;
  std::string fileName;          // proposed name
  bool overwritePrompt = true;   // save: ask before replacing a file
};

// The chosen path, or nullopt when the user cancelled (or the dialog failed).
std::optional<std::string> OpenFileDialog(const FileDialogOptions& options);
std::optional<std::string> SaveFileDialog(const FileDialogOptions& options);

// The filter as OPENFILENAME wants it: NUL-separated, ending in two NULs (the
// second is the string's own terminator). A description without a pattern
// is dropped.
std::wstring FileDialogFilter(std::string_view filter);

}  // namespace widgets
