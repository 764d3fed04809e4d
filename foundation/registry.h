// TRegistry: the registry object both programs work through. It starts at
// HKEY_CURRENT_USER with no key open and opens keys for full access, so a key
// the user may only read cannot be opened. A path beginning with "\" counts
// from the root, any other from the open key (the root when none is open).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "foundation/platform.h"

namespace found {

// Raised on a wrong value type and on a refused write; nothing else raises.
class ERegistryException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

class TRegistry {
 public:
  TRegistry();  // on the current platform's registry
  explicit TRegistry(RegistryStore& store);
  ~TRegistry();
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  RootHandle RootKey() const { return root_; }
  void SetRootKey(RootHandle root);  // closes the open key

  [[nodiscard]] bool OpenKey(const std::string& key, bool canCreate);
  // Read access only; for callers that must only read (exports of backups).
  [[nodiscard]] bool OpenKeyReadOnly(const std::string& key);
  void CloseKey();
  bool HasOpenKey() const { return key_ != nullptr; }
  const std::string& CurrentPath() const { return currentPath_; }

  [[nodiscard]] bool KeyExists(const std::string& key);
  [[nodiscard]] bool ValueExists(const std::string& name);
  [[nodiscard]] bool HasSubKeys();
  // False (with the list empty) when the names cannot be listed.
  bool GetKeyNames(std::vector<std::string>& list);
  bool GetValueNames(std::vector<std::string>& list);

  TRegDataType GetDataType(const std::string& name);
  int GetDataSize(const std::string& name);  // negative when missing
  std::string ReadString(const std::string& name);
  std::int32_t ReadInteger(const std::string& name);
  int ReadBinaryData(const std::string& name, void* buffer, int size);
  void WriteString(const std::string& name, const std::string& value);
  void WriteExpandString(const std::string& name, const std::string& value);
  void WriteInteger(const std::string& name, std::int32_t value);
  void WriteBinaryData(const std::string& name, const void* buffer, int size);

  // Any type, bytes as stored; Missing or Failed leave `out` untouched.
  QueryStatus ReadRaw(const std::string& name, RegValue& out);
  void WriteRaw(const std::string& name, const RegValue& value);

  [[nodiscard]] bool DeleteKey(const std::string& key);
  [[nodiscard]] bool DeleteValue(const std::string& name);

  // The full path (from the root, no leading "\") that `key` names now.
  std::string ResolvePath(const std::string& key) const;

 private:
  bool Open(const std::string& key, RegAccess access, bool canCreate);
  void CheckThread() const;

  RegistryStore& store_;
  RootHandle root_ = kHkeyCurrentUser;
  std::unique_ptr<RegKey> key_;
  std::string currentPath_;
  std::thread::id owner_;
};

// Registry text: UTF-16LE bytes with a terminating NUL, and back (up to the
// first NUL, as the platform's reader does).
std::vector<std::uint8_t> EncodeRegText(const std::string& utf8);
std::string DecodeRegText(const std::vector<std::uint8_t>& data);

}  // namespace found
