// The operations the programs take from the operating system, behind small
// interfaces: the win32 backend is the product, the sandbox backend serves the
// native tests. Text is UTF-8 throughout; backends convert at their boundary.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace found {

// Predefined registry roots, numbered as the platform numbers its handles.
using RootHandle = std::uint32_t;
inline constexpr RootHandle kHkeyClassesRoot = 0x80000000u;
inline constexpr RootHandle kHkeyCurrentUser = 0x80000001u;
inline constexpr RootHandle kHkeyLocalMachine = 0x80000002u;
inline constexpr RootHandle kHkeyUsers = 0x80000003u;
inline constexpr RootHandle kHkeyCurrentConfig = 0x80000005u;
inline constexpr RootHandle kHkeyDynData = 0x80000006u;

// Registry value types as stored.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;
inline constexpr std::uint32_t kRegQword = 11;

struct RegValue {
  std::uint32_t type = kRegNone;
  std::vector<std::uint8_t> data;  // raw bytes; text types hold UTF-16LE
  bool operator==(const RegValue&) const = default;
};

enum class RegAccess { Read, Full };

enum class QueryStatus { Ok, Missing, Failed };

// One open key. Paths given to the store never begin with "\".
class RegKey {
 public:
  virtual ~RegKey() = default;
  // Subkey names in the registry's order; false when they cannot be listed.
  [[nodiscard]] virtual bool SubKeyNames(std::vector<std::string>& out) = 0;
  [[nodiscard]] virtual bool ValueNames(std::vector<std::string>& out) = 0;
  [[nodiscard]] virtual bool HasSubKeys() = 0;
  // On anything but Ok, `out` is left untouched.
  [[nodiscard]] virtual QueryStatus Query(const std::string& name, RegValue& out) = 0;
  [[nodiscard]] virtual bool Set(const std::string& name, const RegValue& value) = 0;
  [[nodiscard]] virtual bool DeleteValue(const std::string& name) = 0;
};

class RegistryStore {
 public:
  virtual ~RegistryStore() = default;
  // Null when the key does not exist (and create is false) or the access is refused.
  virtual std::unique_ptr<RegKey> Open(RootHandle root, const std::string& path,
                                       RegAccess access, bool create) = 0;
  // Deletes the key with all its subkeys; false when anything stays.
  [[nodiscard]] virtual bool DeleteTree(RootHandle root, const std::string& path) = 0;
};

// File times are in 100 ns units since 1601-01-01 UTC, as the platform keeps them.
struct DirEntry {
  std::string name;
  std::uint32_t attributes = 0;  // kAttrDirectory and friends
  std::uint64_t size = 0;
  std::uint64_t creationTime = 0;
  std::uint64_t lastAccessTime = 0;
  std::uint64_t lastWriteTime = 0;
};
inline constexpr std::uint32_t kAttrReadOnly = 0x01;
inline constexpr std::uint32_t kAttrHidden = 0x02;
inline constexpr std::uint32_t kAttrSystem = 0x04;
inline constexpr std::uint32_t kAttrDirectory = 0x10;
inline constexpr std::uint32_t kAttrArchive = 0x20;

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  [[nodiscard]] virtual bool FileExists(const std::string& path) = 0;
  [[nodiscard]] virtual bool DirectoryExists(const std::string& path) = 0;
  // Entries matching a pattern such as "C:\x\*" or "C:\x\*.lnk", "." and ".."
  // included where the folder has them. False when nothing matches.
  [[nodiscard]] virtual bool FindFiles(const std::string& pattern, std::vector<DirEntry>& out) = 0;
  [[nodiscard]] virtual bool DeleteOneFile(const std::string& path) = 0;
  [[nodiscard]] virtual bool RemoveEmptyFolder(const std::string& path) = 0;
  [[nodiscard]] virtual bool CreateFolder(const std::string& path) = 0;
  // Long form of a path; nullopt when the platform cannot tell.
  virtual std::optional<std::string> LongPathName(const std::string& path) = 0;
  [[nodiscard]] virtual bool ReadWholeFile(const std::string& path, std::string& bytes) = 0;
  // Writes a new file beside the target, then replaces the target with it, so a
  // crash never leaves a truncated file in place of a good one.
  [[nodiscard]] virtual bool WriteFileReplace(const std::string& path, const std::string& bytes) = 0;
};

struct VersionInfo {
  std::uint32_t major = 0, minor = 0, platform = 0;  // platform 1: 95/98/Me, 2: NT
};

// Facts of the running system, read once at start-up.
class SystemInfo {
 public:
  virtual ~SystemInfo() = default;
  virtual std::optional<std::string> Environment(const std::string& name) = 0;
  virtual std::optional<std::string> SystemDirectory() = 0;
  virtual VersionInfo Version() = 0;
  virtual std::string ProgramPath() = 0;  // the running program's own file
};

// Conversion between UTF-8 and the system's single-byte code page, for the
// files that must be written in it.
class CodePage {
 public:
  virtual ~CodePage() = default;
  // nullopt when a character has no form in the code page.
  virtual std::optional<std::string> ToAnsi(const std::string& utf8) = 0;
  virtual std::string FromAnsi(const std::string& ansi) = 0;
  virtual char DecimalSeparator() = 0;
};

class Shell {
 public:
  virtual ~Shell() = default;
  // "open" of a document, folder, program or address; the result is advisory.
  virtual bool Open(const std::string& target) = 0;
  [[nodiscard]] virtual bool ShowProperties(const std::string& path) = 0;
  // Deletes a file or folder with its contents; no questions, no error UI.
  [[nodiscard]] virtual bool DeleteItem(const std::string& path, bool toRecycleBin) = 0;
  // Target path of a shortcut file, nullopt when it cannot be loaded.
  virtual std::optional<std::string> ShortcutTarget(const std::string& lnkPath) = 0;
  // Index in the system image list; nullopt when the shell cannot tell.
  virtual std::optional<int> SystemIconIndex(const std::string& path) = 0;
};

class Processes {
 public:
  virtual ~Processes() = default;
  // Starts the command line and waits until it and every process it started
  // have ended. nullopt when it cannot be started, else its exit code.
  virtual std::optional<std::uint32_t> RunAndWait(const std::string& commandLine, int showCommand) = 0;
};

// Messages for the user that the core must show (the modal message box).
class UserMessages {
 public:
  virtual ~UserMessages() = default;
  virtual void ShowMessage(const std::string& text) = 0;
};

struct Platform {
  RegistryStore* registry = nullptr;
  FileSystem* files = nullptr;
  SystemInfo* system = nullptr;
  CodePage* codePage = nullptr;
  Shell* shell = nullptr;
  Processes* processes = nullptr;
  UserMessages* messages = nullptr;
};

// The platform of this process: set once at start-up (or by a test fixture).
Platform& CurrentPlatform();
void SetCurrentPlatform(const Platform& platform);

}  // namespace found
