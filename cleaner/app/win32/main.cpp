// cobaltine.exe: the registry cleaner's entry point.
#include <windows.h>

#include "cleaner/app/win32/regmain.h"
#include "foundation/backends/win32/win32_platform.h"
#include "foundation/globals.h"
#include "widgets/application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  found::Win32Platform platform;
  platform.Install();
  found::InitGlobalVars();

  widgets::Application app;
  app.SetTitle("Cobaltine");
  app.SetHelpFile(cleaner::ProgramFolder() + "help.chm");
  cleaner::TfrmRegMain frmRegMain(app.Dispatcher());
  if (!frmRegMain.Create()) return 1;
  app.SetMainForm(frmRegMain);
  return app.Run();
}
