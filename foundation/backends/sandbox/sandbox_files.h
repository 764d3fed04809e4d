// A FileSystem over a host folder, for tests: drive C: is the subfolder "c" of
// the root. Names behave as on Windows: looked up case-insensitively, stored as
// given, and long names answer to generated 8.3 short names.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "foundation/platform.h"

namespace found {

// A fresh folder under the host's temporary folder, removed with everything in
// it when the owner goes.
class TempHostFolder {
 public:
  TempHostFolder();
  ~TempHostFolder();
  TempHostFolder(const TempHostFolder&) = delete;
  TempHostFolder& operator=(const TempHostFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

class SandboxFileSystem : public FileSystem {
 public:
  // Creates the root and drive C: when they are missing.
  explicit SandboxFileSystem(std::filesystem::path root);

  bool FileExists(const std::string& path) override;
  bool DirectoryExists(const std::string& path) override;
  bool FindFiles(const std::string& pattern, std::vector<DirEntry>& out) override;
  bool DeleteOneFile(const std::string& path) override;
  bool RemoveEmptyFolder(const std::string& path) override;
  bool CreateFolder(const std::string& path) override;
  std::optional<std::string> LongPathName(const std::string& path) override;
  bool ReadWholeFile(const std::string& path, std::string& bytes) override;
  bool WriteFileReplace(const std::string& path, const std::string& bytes) override;

  // What tests and the other sandbox parts need beyond the interface.
  const std::filesystem::path& Root() const { return root_; }
  [[nodiscard]] bool AddDrive(char letter);
  // Host file or folder of an existing Windows path.
  std::optional<std::filesystem::path> HostPath(const std::string& path);
  // The 8.3 form of an existing path, each component as Windows would name it.
  std::optional<std::string> ShortPathName(const std::string& path);
  // A locked item cannot be deleted, replaced or moved, like a file in use.
  [[nodiscard]] bool Lock(const std::string& path);
  bool IsLockedHost(const std::filesystem::path& host);
  // True when the host item or anything below it is locked.
  bool HasLockedHost(const std::filesystem::path& host);
  // The host file system cannot set a creation time, so the sandbox keeps one.
  [[nodiscard]] bool SetCreationTime(const std::string& path, std::uint64_t fileTime);

  struct Resolved {
    std::filesystem::path host;
    std::string longPath;  // as LongPathName gives it
    bool isDirectory = false;
  };
  std::optional<Resolved> Resolve(const std::string& path);

 private:
  struct Parsed {
    char drive = 0;
    std::vector<std::string> components;
    bool trailingSeparator = false;
  };
  static std::optional<Parsed> Parse(const std::string& path);
  std::optional<Resolved> ResolveParsed(const Parsed& parsed, size_t count);
  DirEntry MakeEntry(const std::filesystem::path& host, const std::string& name, bool isDirectory);

  std::filesystem::path root_;
  std::mutex mutex_;  // guards the two tables below; workers share the sandbox
  std::set<std::filesystem::path> locked_;
  std::map<std::filesystem::path, std::uint64_t> creationTimes_;
};

// Windows 100 ns file time of a Unix time.
std::uint64_t UnixToFileTime(std::int64_t seconds, std::uint32_t nanoseconds);

// "*" and "?" matching as FindFirstFile does it, case-insensitively; "*.*"
// also matches a name without a dot.
bool MatchesWildcard(const std::string& pattern, const std::string& name);

}  // namespace found
