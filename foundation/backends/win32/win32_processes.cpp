#include "foundation/backends/win32/win32_processes.h"

#include <windows.h>

#include <vector>

#include "foundation/backends/win32/unique_handle.h"
#include "foundation/backends/win32/wide.h"

namespace found {
namespace {

// A job that reports on a completion port when its last process has ended.
struct WaitJob {
  UniqueHandle job;
  UniqueHandle port;
};

bool MakeWaitJob(WaitJob& w) {
  w.job.reset(::CreateJobObjectW(nullptr, nullptr));
  w.port.reset(::CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1));
  if (!w.job || !w.port) return false;
  JOBOBJECT_ASSOCIATE_COMPLETION_PORT association{};
  association.CompletionKey = w.job.get();
  association.CompletionPort = w.port.get();
  if (!::SetInformationJobObject(w.job.get(), JobObjectAssociateCompletionPortInformation, &association,
                                 sizeof(association))) {
    return false;
  }
  // A process that asks to leave the job (a browser an uninstaller opens at
  // the end, say) may; it is then not waited for.
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_BREAKAWAY_OK;
  return ::SetInformationJobObject(w.job.get(), JobObjectExtendedLimitInformation, &limits, sizeof(limits)) != 0;
}

// False when the port fails, so the caller can still wait for the process.
bool WaitUntilJobEmpty(const WaitJob& w) {
  for (;;) {
    DWORD message = 0;
    ULONG_PTR key = 0;
    LPOVERLAPPED overlapped = nullptr;
    if (!::GetQueuedCompletionStatus(w.port.get(), &message, &key, &overlapped, INFINITE)) return false;
    if (key == reinterpret_cast<ULONG_PTR>(w.job.get()) && message == JOB_OBJECT_MSG_ACTIVE_PROCESS_ZERO) {
      return true;
    }
  }
}

}  // namespace

std::optional<std::uint32_t> Win32Processes::RunAndWait(const std::string& commandLine, int showCommand) {
  // The first window a fresh Wine session makes starts its desktop process;
  // started from inside the job it would join it and keep it alive.
  ::GetDesktopWindow();

  // CreateProcessW may write into the command line, so it gets its own copy.
  const std::wstring wide = Widen(commandLine);
  std::vector<wchar_t> buffer(wide.begin(), wide.end());
  buffer.push_back(L'\0');

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showCommand);
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE,
                        CREATE_NEW_CONSOLE | CREATE_SUSPENDED | NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup,
                        &info)) {
    return std::nullopt;
  }
  UniqueHandle process(info.hProcess);
  UniqueHandle thread(info.hThread);

  // Uninstallers often copy themselves to TEMP, start the copy and exit at
  // once; only the job sees the copy end. Without a job (the caller may sit
  // in one that forbids it) the process alone is waited for.
  WaitJob job;
  const bool inJob = MakeWaitJob(job) && ::AssignProcessToJobObject(job.job.get(), process.get());
  if (::ResumeThread(thread.get()) == static_cast<DWORD>(-1)) {
    ::TerminateProcess(process.get(), 1);
    return std::nullopt;
  }
  if (inJob) {
    // Whatever the port says, the started process itself is waited for below.
    static_cast<void>(WaitUntilJobEmpty(job));
  }
  ::WaitForSingleObject(process.get(), INFINITE);
  DWORD exitCode = 0;
  if (!::GetExitCodeProcess(process.get(), &exitCode)) return std::nullopt;
  return exitCode;
}

}  // namespace found
