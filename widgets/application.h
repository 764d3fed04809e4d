// The program: common controls, the GUI dispatcher, title and help file, the
// main form and the message loop. One per program, made first in WinMain on
// the thread that will own every window.
//   widgets::Application app;
//   app.SetTitle("Cobaltine");
//   app.SetHelpFile(GlobalVars.AppDir + "help.chm");
//   TfrmRegMain main(app.Dispatcher());
//   if (!main.Create()) return 1;
//   app.SetMainForm(main);
//   return app.Run();
#pragma once

#include <exception>
#include <functional>
#include <string>
#include <string_view>

#include "widgets/gui_dispatcher.h"
#include "widgets/window.h"

namespace widgets {

// Registers every common control class (list views, progress and status bars,
// links, ...); the Application does it, tests without one call it themselves.
bool InitControls();

// The title of message boxes: the application's, or the program's file name
// without extension while there is no Application.
std::string ApplicationTitle();

class Application {
 public:
  Application();
  // Shuts the dispatcher down: steps still posted run, later ones are dropped.
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // The program's instance; null before it is made and after it is gone.
  static Application* Instance() noexcept;

  MessageWindowDispatcher& Dispatcher() noexcept { return dispatcher_; }

  const std::string& Title() const noexcept { return title_; }
  void SetTitle(std::string_view title) { title_ = std::string(title); }
  const std::string& HelpFile() const noexcept { return helpFile_; }
  void SetHelpFile(std::string_view path) { helpFile_ = std::string(path); }

  // Closing this form ends Run.
  void SetMainForm(Form& form);
  Form* MainForm() const noexcept { return mainForm_; }

  // Shows the main form and runs the message loop until it closes (or
  // Terminate); the exit code for WinMain.
  int Run();
  void Terminate(int exitCode = 0);

  // An exception a GUI event handler raised; unset, the general error box.
  void SetOnException(ExceptionHandler handler);

 private:
  MessageWindowDispatcher dispatcher_;
  std::string title_;
  std::string helpFile_;
  Form* mainForm_ = nullptr;
};

}  // namespace widgets
