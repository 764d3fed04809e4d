// The product's file system: kernel32's wide file functions.
#pragma once

#include "foundation/platform.h"

namespace found {

class Win32FileSystem : public FileSystem {
 public:
  bool FileExists(const std::string& path) override;
  bool DirectoryExists(const std::string& path) override;
  bool FindFiles(const std::string& pattern, std::vector<DirEntry>& out) override;
  bool DeleteOneFile(const std::string& path) override;
  bool RemoveEmptyFolder(const std::string& path) override;
  bool CreateFolder(const std::string& path) override;
  std::optional<std::string> LongPathName(const std::string& path) override;
  bool ReadWholeFile(const std::string& path, std::string& bytes) override;
  bool WriteFileReplace(const std::string& path, const std::string& bytes) override;
};

}  // namespace found
