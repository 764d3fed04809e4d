// Sandbox stand-ins for the system facts, the code page, the shell, processes
// and message boxes. Tests set what the system would answer and read back what
// the program asked for.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "foundation/backends/sandbox/sandbox_files.h"
#include "foundation/platform.h"
#include "foundation/text.h"

namespace found {

struct TextLess {
  bool operator()(const std::string& a, const std::string& b) const { return CompareText(a, b) < 0; }
};

class SandboxSystemInfo : public SystemInfo {
 public:
  std::optional<std::string> Environment(const std::string& name) override;
  std::optional<std::string> SystemDirectory() override { return systemDirectory_; }
  VersionInfo Version() override { return version_; }
  std::string ProgramPath() override { return programPath_; }

  // Names are case-insensitive, as in the Windows environment block.
  void SetEnvironment(const std::string& name, const std::string& value) { environment_[name] = value; }
  void UnsetEnvironment(const std::string& name) { environment_.erase(name); }
  void ClearEnvironment() { environment_.clear(); }
  void SetVersion(const VersionInfo& version) { version_ = version; }
  void SetSystemDirectory(std::optional<std::string> dir) { systemDirectory_ = std::move(dir); }
  void SetProgramPath(std::string path) { programPath_ = std::move(path); }

 private:
  std::map<std::string, std::string, TextLess> environment_;
  VersionInfo version_{5, 1, 2};
  std::optional<std::string> systemDirectory_;
  std::string programPath_;
};

// Windows-1252, as Windows converts it: the five bytes 1252 leaves undefined
// map to the C1 controls of the same number.
class SandboxCodePage : public CodePage {
 public:
  std::optional<std::string> ToAnsi(const std::string& utf8) override;
  std::string FromAnsi(const std::string& ansi) override;
  char DecimalSeparator() override { return decimalSeparator_; }
  void SetDecimalSeparator(char c) { decimalSeparator_ = c; }

 private:
  char decimalSeparator_ = '.';
};

class SandboxShell : public Shell {
 public:
  // The recycle bin is the folder "recycle-bin" beside the drives.
  explicit SandboxShell(SandboxFileSystem& files);

  bool Open(const std::string& target) override;
  bool ShowProperties(const std::string& path) override;
  bool DeleteItem(const std::string& path, bool toRecycleBin) override;
  std::optional<std::string> ShortcutTarget(const std::string& lnkPath) override;
  std::optional<int> SystemIconIndex(const std::string& path) override;

  std::vector<std::string> opened() const;
  std::vector<std::string> propertiesShown() const;
  void SetPropertiesResult(bool result) { propertiesResult_ = result; }
  // Shortcut files and their targets; names case-insensitive.
  void SetShortcut(const std::string& lnkPath, const std::string& target);
  // Icon index per extension (".txt"; "" for names without one).
  void SetIconIndex(const std::string& extension, int index);
  const std::filesystem::path& RecycleBin() const { return recycleBin_; }
  // Names of the items in the recycle bin, sorted.
  std::vector<std::string> RecycledNames() const;

 private:
  bool DeleteHostTree(const std::filesystem::path& host);

  SandboxFileSystem& files_;
  std::filesystem::path recycleBin_;
  mutable std::mutex mutex_;
  std::vector<std::string> opened_;
  std::vector<std::string> propertiesShown_;
  bool propertiesResult_ = true;
  std::map<std::string, std::string, TextLess> shortcuts_;
  std::map<std::string, int, TextLess> iconIndexes_;
};

class SandboxProcesses : public Processes {
 public:
  // nullopt from a handler means the program cannot be started.
  using Handler = std::function<std::optional<std::uint32_t>()>;

  std::optional<std::uint32_t> RunAndWait(const std::string& commandLine, int showCommand) override;

  // Command lines match case-insensitively; an unregistered one cannot start.
  void Register(const std::string& commandLine, Handler handler);
  struct Run {
    std::string commandLine;
    int showCommand = 0;
  };
  std::vector<Run> runs() const;

 private:
  mutable std::mutex mutex_;
  std::map<std::string, Handler, TextLess> handlers_;
  std::vector<Run> runs_;
};

class SandboxMessages : public UserMessages {
 public:
  void ShowMessage(const std::string& text) override;
  std::vector<std::string> shown() const;

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> shown_;
};

// All sandbox parts over a fresh temporary host folder. Install() makes them
// the current platform (keeping its registry); the previous platform comes
// back when the object goes.
class SandboxPlatform {
 public:
  SandboxPlatform();
  ~SandboxPlatform();
  SandboxPlatform(const SandboxPlatform&) = delete;
  SandboxPlatform& operator=(const SandboxPlatform&) = delete;

  void Install();

  TempHostFolder root;
  SandboxFileSystem files;
  SandboxSystemInfo system;
  SandboxCodePage codePage;
  SandboxShell shell;
  SandboxProcesses processes;
  SandboxMessages messages;

 private:
  std::optional<Platform> previous_;
};

}  // namespace found
