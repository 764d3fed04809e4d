// RunAndWait: the sandbox's stand-in natively; under Wine real processes,
// including one that leaves a grandchild running when it exits.
#include <gtest/gtest.h>

#include <string>

#include "foundation/backends/sandbox/sandbox_system.h"
#include "foundation/functions.h"
#include "foundation/platform.h"

#ifdef _WIN32
#include <windows.h>

#include <cstdlib>
#include <fstream>

#include "foundation/backends/win32/wide.h"
#include "foundation/backends/win32/win32_files.h"
#include "foundation/backends/win32/win32_processes.h"
#endif

namespace {

constexpr int kShowNormal = 1;

TEST(RunAndWait, GivesExitCodeOrMinusOne) {
  found::SandboxPlatform sandbox;
  sandbox.Install();
  sandbox.processes.Register("C:\\App\\uninst.exe /S", [] { return 3u; });
  sandbox.processes.Register("C:\\App\\broken.exe", [] { return std::nullopt; });
  struct Row {
    const char* name;
    const char* commandLine;
    int result;
  };
  const Row rows[] = {
      {"exit code", "C:\\App\\uninst.exe /S", 3},
      {"cannot start", "C:\\App\\broken.exe", -1},
      {"unknown program", "C:\\App\\missing.exe", -1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(found::RunAndWait(row.commandLine, kShowNormal), row.result);
  }
  const auto runs = sandbox.processes.runs();
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0].commandLine, "C:\\App\\uninst.exe /S");
  EXPECT_EQ(runs[0].showCommand, kShowNormal);
}

#ifdef _WIN32
constexpr const char* kFlagVariable = "COBALT_TEST_FLAG_FILE";

std::string TempFolder() {
  wchar_t temp[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH, temp);
  return found::Narrow(temp);
}

TEST(Win32Processes, RunAndWait_GivesExitCodeOrNothing) {
  found::Win32Processes processes;
  struct Row {
    const char* name;
    std::string commandLine;
    std::optional<std::uint32_t> result;
  };
  const Row rows[] = {
      {"exit code", "cmd /c exit 3", 3u},
      {"command line far beyond 512 characters", "cmd /c exit 5 & rem " + std::string(3000, 'x'), 5u},
      {"missing program", "C:\\nowhere\\missing.exe /S", std::nullopt},
      {"empty", "", std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(processes.RunAndWait(row.commandLine, kShowNormal), row.result);
  }
}

// The child, cmd, starts this test program again and exits at once; the
// grandchild writes its flag file a second later.
TEST(Win32Processes, RunAndWait_WaitsForProcessesTheChildStarted) {
  const std::string flag = TempFolder() + "cobalt-flag-" + std::to_string(::GetCurrentProcessId()) + ".txt";
  found::Win32FileSystem files;
  static_cast<void>(files.DeleteOneFile(flag));
  ASSERT_TRUE(::SetEnvironmentVariableW(found::Widen(kFlagVariable).c_str(), found::Widen(flag).c_str()));
  wchar_t self[MAX_PATH + 1] = {};
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);

  found::Win32Processes processes;
  const std::optional<std::uint32_t> exitCode = processes.RunAndWait(
      "cmd /c start \"\" /b \"" + found::Narrow(self) +
          "\" --gtest_also_run_disabled_tests --gtest_filter=Win32ProcessesHelper.DISABLED_SleepsThenWritesFlagFile",
      kShowNormal);
  const bool flagThere = files.FileExists(flag);
  ::SetEnvironmentVariableW(found::Widen(kFlagVariable).c_str(), nullptr);
  static_cast<void>(files.DeleteOneFile(flag));

  EXPECT_EQ(exitCode, 0u);
  EXPECT_TRUE(flagThere);
}

// Runs only when started by the test above.
TEST(Win32ProcessesHelper, DISABLED_SleepsThenWritesFlagFile) {
  wchar_t flag[MAX_PATH + 1] = {};
  ASSERT_NE(::GetEnvironmentVariableW(found::Widen(kFlagVariable).c_str(), flag, MAX_PATH), 0u);
  ::Sleep(1000);
  found::Win32FileSystem files;
  ASSERT_TRUE(files.WriteFileReplace(found::Narrow(flag), "done"));
}
#endif

}  // namespace
