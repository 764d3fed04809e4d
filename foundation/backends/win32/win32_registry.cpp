#include "foundation/backends/win32/win32_registry.h"

#include <vector>

#include "foundation/backends/win32/unique_handle.h"
#include "foundation/backends/win32/wide.h"

namespace found {
namespace {

HKEY RootHkey(RootHandle root) {
  return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
}

class Win32Key : public RegKey {
 public:
  explicit Win32Key(HKEY key) : key_(key) {}

  bool SubKeyNames(std::vector<std::string>& out) override {
    // The sizes are a hint only: Wine cannot tell them for some keys
    // (Perflib\009) that still enumerate.
    DWORD count = 0, maxLen = 0;
    if (RegQueryInfoKeyW(key_.get(), nullptr, nullptr, nullptr, &count, &maxLen, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      count = 0;
      maxLen = 255;
    }
    std::vector<std::string> names;
    names.reserve(count);
    std::vector<wchar_t> buf(maxLen + 2 > 257 ? maxLen + 2 : 257);
    for (DWORD i = 0;; ++i) {
      DWORD len = static_cast<DWORD>(buf.size());
      const LONG rc = RegEnumKeyExW(key_.get(), i, buf.data(), &len, nullptr, nullptr, nullptr, nullptr);
      if (rc == ERROR_NO_MORE_ITEMS) break;
      if (rc == ERROR_MORE_DATA) {
        buf.resize(buf.size() * 2);
        --i;
        continue;
      }
      if (rc != ERROR_SUCCESS) return false;
      names.push_back(Narrow(std::wstring_view(buf.data(), len)));
    }
    out = std::move(names);
    return true;
  }

  bool ValueNames(std::vector<std::string>& out) override {
    DWORD count = 0, maxLen = 0;
    if (RegQueryInfoKeyW(key_.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &maxLen,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      count = 0;
      maxLen = 16383;
    }
    std::vector<std::string> names;
    names.reserve(count);
    std::vector<wchar_t> buf(maxLen + 2);
    for (DWORD i = 0;; ++i) {
      DWORD len = static_cast<DWORD>(buf.size());
      const LONG rc = RegEnumValueW(key_.get(), i, buf.data(), &len, nullptr, nullptr, nullptr, nullptr);
      if (rc == ERROR_NO_MORE_ITEMS) break;
      if (rc == ERROR_MORE_DATA) {
        buf.resize(buf.size() * 2 + 64);
        --i;
        continue;
      }
      if (rc != ERROR_SUCCESS) return false;
      names.push_back(Narrow(std::wstring_view(buf.data(), len)));
    }
    out = std::move(names);
    return true;
  }

  bool HasSubKeys() override {
    DWORD count = 0;
    return RegQueryInfoKeyW(key_.get(), nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
           count > 0;
  }

  QueryStatus Query(const std::string& name, RegValue& out) override {
    const std::wstring wname = Widen(name);
    std::vector<std::uint8_t> data(256);
    for (int attempt = 0; attempt < 8; ++attempt) {
      DWORD type = 0;
      DWORD size = static_cast<DWORD>(data.size());
      const LONG rc = RegQueryValueExW(key_.get(), wname.c_str(), nullptr, &type, data.data(), &size);
      if (rc == ERROR_FILE_NOT_FOUND) return QueryStatus::Missing;
      if (rc == ERROR_MORE_DATA) {
        data.resize(size > data.size() ? size : data.size() * 2);
        continue;  // the value may grow between the two calls
      }
      if (rc != ERROR_SUCCESS) return QueryStatus::Failed;
      data.resize(size);
      out.type = type;
      out.data = std::move(data);
      return QueryStatus::Ok;
    }
    return QueryStatus::Failed;
  }

  bool Set(const std::string& name, const RegValue& value) override {
    return RegSetValueExW(key_.get(), Widen(name).c_str(), 0, value.type, value.data.data(),
                          static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
  }

  bool DeleteValue(const std::string& name) override {
    return RegDeleteValueW(key_.get(), Widen(name).c_str()) == ERROR_SUCCESS;
  }

 private:
  UniqueHkey key_;
};

}  // namespace

std::unique_ptr<RegKey> Win32Registry::Open(RootHandle root, const std::string& path, RegAccess access,
                                            bool create) {
  const REGSAM sam = (access == RegAccess::Full ? KEY_ALL_ACCESS : KEY_READ) | extraAccess_;
  const std::wstring wpath = Widen(path);
  UniqueHkey key;
  LONG rc;
  if (create) {
    rc = RegCreateKeyExW(RootHkey(root), wpath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, sam, nullptr,
                         key.put(), nullptr);
  } else {
    rc = RegOpenKeyExW(RootHkey(root), wpath.c_str(), 0, sam, key.put());
  }
  if (rc != ERROR_SUCCESS) return nullptr;
  return std::make_unique<Win32Key>(key.release());
}

// Deletes the subkeys first, as RegDeleteKey removes only a key without any;
// keeps going past a key it may not delete so that as much as allowed goes.
bool Win32Registry::DeleteTree(RootHandle root, const std::string& path) {
  if (path.empty()) return false;
  bool all = true;
  {
    UniqueHkey key;
    if (RegOpenKeyExW(RootHkey(root), Widen(path).c_str(), 0, KEY_READ | extraAccess_, key.put()) !=
        ERROR_SUCCESS) {
      return false;
    }
    Win32Key lister(key.release());
    std::vector<std::string> names;
    if (!lister.SubKeyNames(names)) return false;
    for (const auto& name : names) all = DeleteTree(root, path + "\\" + name) && all;
  }
  if (!all) return false;
  return RegDeleteKeyW(RootHkey(root), Widen(path).c_str()) == ERROR_SUCCESS;
}

}  // namespace found
