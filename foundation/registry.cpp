#include "foundation/registry.h"

#include <cassert>
#include <cstring>

#include "foundation/text.h"

namespace found {

std::vector<std::uint8_t> EncodeRegText(const std::string& utf8) {
  const std::u16string wide = Utf8ToUtf16(utf8);
  std::vector<std::uint8_t> out;
  out.reserve((wide.size() + 1) * 2);
  for (char16_t c : wide) {
    out.push_back(static_cast<std::uint8_t>(c & 0xFF));
    out.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  out.push_back(0);
  out.push_back(0);
  return out;
}

std::string DecodeRegText(const std::vector<std::uint8_t>& data) {
  std::u16string wide;
  wide.reserve(data.size() / 2);
  for (size_t i = 0; i + 1 < data.size(); i += 2) {
    const char16_t c = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    if (c == 0) break;
    wide += c;
  }
  return Utf16ToUtf8(wide);
}

TRegistry::TRegistry() : TRegistry(*CurrentPlatform().registry) {}

TRegistry::TRegistry(RegistryStore& store) : store_(store), owner_(std::this_thread::get_id()) {}

TRegistry::~TRegistry() = default;

void TRegistry::CheckThread() const {
  // A registry object belongs to the thread that made it.
  assert(std::this_thread::get_id() == owner_);
}

void TRegistry::SetRootKey(RootHandle root) {
  CloseKey();
  root_ = root;
}

std::string TRegistry::ResolvePath(const std::string& key) const {
  std::string path;
  if (!key.empty() && key[0] == '\\') {
    path = key.substr(1);
  } else if (key_ && !currentPath_.empty()) {
    path = key.empty() ? currentPath_ : currentPath_ + "\\" + key;
  } else {
    path = key;
  }
  if (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

bool TRegistry::Open(const std::string& key, RegAccess access, bool canCreate) {
  CheckThread();
  std::string path = ResolvePath(key);
  auto opened = store_.Open(root_, path, access, canCreate);
  if (!opened) return false;
  key_ = std::move(opened);
  currentPath_ = std::move(path);
  return true;
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
  return Open(key, RegAccess::Full, canCreate);
}

bool TRegistry::OpenKeyReadOnly(const std::string& key) {
  return Open(key, RegAccess::Read, false);
}

void TRegistry::CloseKey() {
  key_.reset();
  currentPath_.clear();
}

bool TRegistry::KeyExists(const std::string& key) {
  CheckThread();
  return store_.Open(root_, ResolvePath(key), RegAccess::Read, false) != nullptr;
}

bool TRegistry::ValueExists(const std::string& name) {
  RegValue value;
  return ReadRaw(name, value) == QueryStatus::Ok;
}

bool TRegistry::HasSubKeys() { return key_ && key_->HasSubKeys(); }

bool TRegistry::GetKeyNames(std::vector<std::string>& list) {
  list.clear();
  if (!key_) return false;
  if (key_->SubKeyNames(list)) return true;
  list.clear();
  return false;
}

bool TRegistry::GetValueNames(std::vector<std::string>& list) {
  list.clear();
  if (!key_) return false;
  if (key_->ValueNames(list)) return true;
  list.clear();
  return false;
}

QueryStatus TRegistry::ReadRaw(const std::string& name, RegValue& out) {
  CheckThread();
  if (!key_) return QueryStatus::Missing;
  return key_->Query(name, out);
}

TRegDataType TRegistry::GetDataType(const std::string& name) {
  RegValue value;
  if (ReadRaw(name, value) != QueryStatus::Ok) return TRegDataType::rdUnknown;
  switch (value.type) {
    case kRegSz: return TRegDataType::rdString;
    case kRegExpandSz: return TRegDataType::rdExpandString;
    case kRegDword: return TRegDataType::rdInteger;
    case kRegBinary: return TRegDataType::rdBinary;
    default: return TRegDataType::rdUnknown;
  }
}

int TRegistry::GetDataSize(const std::string& name) {
  RegValue value;
  if (ReadRaw(name, value) != QueryStatus::Ok) return -1;
  return static_cast<int>(value.data.size());
}

std::string TRegistry::ReadString(const std::string& name) {
  RegValue value;
  const QueryStatus status = ReadRaw(name, value);
  if (status == QueryStatus::Missing) return std::string();
  if (status == QueryStatus::Failed || (value.type != kRegSz && value.type != kRegExpandSz)) {
    throw ERegistryException("Invalid data type for '" + name + "'");
  }
  return DecodeRegText(value.data);
}

std::int32_t TRegistry::ReadInteger(const std::string& name) {
  RegValue value;
  if (ReadRaw(name, value) != QueryStatus::Ok || value.type != kRegDword || value.data.size() != 4) {
    throw ERegistryException("Invalid data type for '" + name + "'");
  }
  std::uint32_t v = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
                    (static_cast<std::uint32_t>(value.data[3]) << 24);
  return static_cast<std::int32_t>(v);
}

int TRegistry::ReadBinaryData(const std::string& name, void* buffer, int size) {
  RegValue value;
  const bool found = ReadRaw(name, value) == QueryStatus::Ok;
  // Binary and the types without a reader of their own; text and numbers have theirs.
  const bool typed = value.type == kRegSz || value.type == kRegExpandSz || value.type == kRegDword;
  if (!found || typed || static_cast<int>(value.data.size()) > size) {
    throw ERegistryException("Invalid data type for '" + name + "'");
  }
  if (!value.data.empty()) std::memcpy(buffer, value.data.data(), value.data.size());
  return static_cast<int>(value.data.size());
}

void TRegistry::WriteRaw(const std::string& name, const RegValue& value) {
  CheckThread();
  if (!key_ || !key_->Set(name, value)) {
    throw ERegistryException("Failed to set data for '" + name + "'");
  }
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
  WriteRaw(name, RegValue{kRegSz, EncodeRegText(value)});
}

void TRegistry::WriteExpandString(const std::string& name, const std::string& value) {
  WriteRaw(name, RegValue{kRegExpandSz, EncodeRegText(value)});
}

void TRegistry::WriteInteger(const std::string& name, std::int32_t value) {
  const auto v = static_cast<std::uint32_t>(value);
  WriteRaw(name, RegValue{kRegDword, {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                                      static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)}});
}

void TRegistry::WriteBinaryData(const std::string& name, const void* buffer, int size) {
  const auto* bytes = static_cast<const std::uint8_t*>(buffer);
  WriteRaw(name, RegValue{kRegBinary, std::vector<std::uint8_t>(bytes, bytes + (size > 0 ? size : 0))});
}

bool TRegistry::DeleteKey(const std::string& key) {
  CheckThread();
  const std::string path = ResolvePath(key);
  if (path.empty()) return false;  // a root cannot be deleted
  return store_.DeleteTree(root_, path);
}

bool TRegistry::DeleteValue(const std::string& name) {
  CheckThread();
  return key_ && key_->DeleteValue(name);
}

}  // namespace found
