/* Keeps a Wine session's background processes running between test
   programs. Writes the file named by its argument once it runs. */
#include <windows.h>
#include <shellapi.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE prev, PWSTR cmdLine, int show) {
  (void)instance; (void)prev; (void)cmdLine; (void)show;
  /* Starts Wine's desktop process here, with this program's output, so that
     no test program's pipe is held open by it. */
  GetDesktopWindow();
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv && argc > 1) {
    HANDLE file = CreateFileW(argv[1], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
  Sleep(INFINITE);
  return 0;
}
