#include "foundation/ioregistry.h"

#include <cstdio>

#include "foundation/text.h"

namespace found {
namespace {

struct RootName {
  const char* name;
  RootHandle root;
};
constexpr RootName kRootNames[] = {
    {"HKEY_CLASSES_ROOT", kHkeyClassesRoot},   {"HKEY_CURRENT_USER", kHkeyCurrentUser},
    {"HKEY_LOCAL_MACHINE", kHkeyLocalMachine}, {"HKEY_USERS", kHkeyUsers},
    {"HKEY_CURRENT_CONFIG", kHkeyCurrentConfig}, {"HKEY_DYN_DATA", kHkeyDynData},
};

bool StartsWith(const std::string& s, const std::string& prefix) {
  return !prefix.empty() && s.compare(0, prefix.size(), prefix) == 0;
}

std::string HexList(const std::vector<std::uint8_t>& bytes) {
  std::string out;
  out.reserve(bytes.size() * 3);
  char buf[4];
  for (size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(buf, sizeof buf, i ? ",%02X" : "%02X", bytes[i]);
    out += buf;
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Pairs of hex digits; commas and the blanks of wrapped lines are separators,
// an odd last digit is ignored.
std::vector<std::uint8_t> ParseHexList(const std::string& text) {
  std::string digits;
  for (char c : text) {
    if (c == ',' || c == ' ' || c == '\t') continue;
    if (HexDigit(c) < 0) throw EConvertError("'" + text + "' is not a valid hex list");
    digits += c;
  }
  std::vector<std::uint8_t> bytes;
  for (size_t i = 0; i + 1 < digits.size(); i += 2) {
    bytes.push_back(static_cast<std::uint8_t>(HexDigit(digits[i]) * 16 + HexDigit(digits[i + 1])));
  }
  return bytes;
}

std::uint32_t ParseHexNumber(const std::string& text) {
  std::uint64_t value = 0;
  if (text.empty()) throw EConvertError("'' is not a valid integer value");
  for (char c : text) {
    const int d = HexDigit(c);
    if (d < 0) throw EConvertError("'" + text + "' is not a valid integer value");
    value = value * 16 + d;
    if (value > 0xFFFFFFFFu) throw EConvertError("'" + text + "' is not a valid integer value");
  }
  return static_cast<std::uint32_t>(value);
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(std::move(line));
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}

bool EndsWithContinuation(const std::string& line) {
  const std::string t = TrimRight(line);
  return !t.empty() && t.back() == '\\';
}

}  // namespace

RootHandle NameToRootKey(const std::string& name) {
  for (const auto& entry : kRootNames) {
    if (name == entry.name) return entry.root;
  }
  return kHkeyCurrentUser;
}

std::string RootKeyToName(RootHandle root) {
  for (const auto& entry : kRootNames) {
    if (root == entry.root) return entry.name;
  }
  return "HKEY_CURRENT_USER";
}

TIORegistry::TIORegistry() : TIORegistry(CurrentPlatform()) {}

TIORegistry::TIORegistry(const Platform& platform) : platform_(platform) {}

// ---- import -------------------------------------------------------------

TIORegistry::LineKind TIORegistry::ClassifyLine(const std::string& line) const {
  const std::string t = TrimLeft(line);
  if (t.empty() || t == RegHeader) return LineKind::Skip;
  if (t[0] == RootStart) return LineKind::Key;
  if (t[0] == StringStartEndChar) return LineKind::Value;
  // The registry editor's notation for the default value.
  if (t[0] == '@' && t.size() > 1 && t[1] == DataNameValueDelim) return LineKind::Value;
  return LineKind::Skip;
}

bool TIORegistry::ReadLines(const std::string& fileName, std::vector<std::string>& lines) {
  std::string bytes;
  if (!platform_.files->FileExists(fileName) || !platform_.files->ReadWholeFile(fileName, bytes)) {
    return false;
  }
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    // Version 5 exports of the registry editor are UTF-16LE.
    std::u16string wide;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
      wide += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                    (static_cast<unsigned char>(bytes[i + 1]) << 8));
    }
    lines = SplitLines(Utf16ToUtf8(wide));
  } else {
    lines = SplitLines(platform_.codePage->FromAnsi(bytes));
  }
  return true;
}

bool TIORegistry::ImportRegistry(const std::string& fileName) {
  std::vector<std::string> lines;
  if (ImportSource == TExpImpSource::eiProperty) {
    lines = RegistryData;
  } else if (!ReadLines(fileName, lines)) {
    platform_.messages->ShowMessage("File \"" + fileName + "\" not found.");
    return false;
  }
  TRegistry reg(*platform_.registry);
  for (size_t i = 0; i < lines.size(); ++i) {
    switch (ClassifyLine(lines[i])) {
      case LineKind::Key:
        ApplyKeyLine(reg, lines[i]);
        break;
      case LineKind::Value: {
        std::string line = lines[i];
        // A hex list wrapped over several lines by the registry editor.
        const std::string t = TrimLeft(line);
        const size_t delim = t.find(DataNameValueDelim);
        const bool hexData = delim != std::string::npos &&
                             (t.find(BinaryPrefix, delim) == delim + 1 || t.find("hex(", delim) == delim + 1);
        while (hexData && EndsWithContinuation(line) && i + 1 < lines.size()) {
          line = TrimRight(line);
          line.pop_back();
          line += Trim(lines[++i]);
        }
        ApplyValueLine(reg, line);
        break;
      }
      case LineKind::Skip:
        break;
    }
  }
  return true;
}

void TIORegistry::ApplyKeyLine(TRegistry& reg, const std::string& line) {
  const std::string inner = line.size() >= 2 ? line.substr(1, line.size() - 2) : std::string();
  const size_t delim = inner.find(KeyLevelDelim);
  std::string rootName, path;
  if (delim == std::string::npos) {
    // A bare root name names that root; other text is a path below HKEY_CURRENT_USER.
    const bool isRoot = RootKeyToName(NameToRootKey(inner)) == inner;
    rootName = isRoot ? inner : std::string();
    path = isRoot ? std::string() : inner;
  } else {
    rootName = inner.substr(0, delim);
    path = inner.substr(delim + 1);
  }
  reg.SetRootKey(NameToRootKey(rootName));
  reg.CloseKey();
  if (!path.empty()) {
    (void)reg.OpenKey(path, true);  // a failure shows up at the first value line
  } else {
    (void)reg.OpenKey("\\", false);
  }
}

void TIORegistry::ApplyValueLine(TRegistry& reg, const std::string& line) {
  std::string t;
  const std::string trimmed = TrimLeft(line);
  const bool defaultValue = !trimmed.empty() && trimmed[0] == '@';
  for (char c : defaultValue ? trimmed.substr(1) : line) {
    if (c != StringStartEndChar) t += c;
  }
  const size_t delim = t.find(DataNameValueDelim);
  std::string name = delim == std::string::npos ? t : t.substr(0, delim);
  std::string data = delim == std::string::npos ? std::string() : t.substr(delim + 1);
  if (defaultValue) name.clear();

  if (StartsWith(data, BinaryPrefix)) {
    const auto bytes = ParseHexList(data.substr(BinaryPrefix.size()));
    reg.WriteRaw(name, RegValue{kRegBinary, bytes});
  } else if (StartsWith(data, "hex(")) {
    const size_t close = data.find("):");
    if (close == std::string::npos) throw EConvertError("'" + data + "' is not a valid hex list");
    const std::uint32_t type = ParseHexNumber(data.substr(4, close - 4));
    reg.WriteRaw(name, RegValue{type, ParseHexList(data.substr(close + 2))});
  } else if (StartsWith(data, HexIntPrefix)) {
    reg.WriteInteger(name, static_cast<std::int32_t>(ParseHexNumber(data.substr(HexIntPrefix.size()))));
  } else {
    reg.WriteString(name, data);
  }
}

// ---- export -------------------------------------------------------------

// True when the line can be saved in the code page and read back unchanged.
bool TIORegistry::TextFitsLine(const std::string& text) const {
  if (text.find_first_of("\r\n") != std::string::npos || text.find('\0') != std::string::npos) return false;
  const auto ansi = platform_.codePage->ToAnsi(text);
  return ansi && platform_.codePage->FromAnsi(*ansi) == text;
}

bool TIORegistry::ValueLine(TRegistry& reg, const std::string& name, std::string& line) {
  // The import splits at the first delimiter and drops every quotation mark,
  // so a name holding either cannot be carried.
  if (name.find(StringStartEndChar) != std::string::npos || name.find(DataNameValueDelim) != std::string::npos ||
      !TextFitsLine(name)) {
    return false;
  }
  RegValue value;
  if (reg.ReadRaw(name, value) != QueryStatus::Ok) return false;
  std::string data;
  if (value.type == kRegSz) {
    const std::string text = DecodeRegText(value.data);
    const bool plain = EncodeRegText(text) == value.data && TextFitsLine(text) &&
                       text.find(StringStartEndChar) == std::string::npos && !StartsWith(text, BinaryPrefix) &&
                       !StartsWith(text, HexIntPrefix) && !StartsWith(text, "hex(");
    if (plain) data = std::string(1, StringStartEndChar) + text + StringStartEndChar;
  } else if (value.type == kRegDword && value.data.size() == 4) {
    char buf[16];
    const std::uint32_t v = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
                            (static_cast<std::uint32_t>(value.data[3]) << 24);
    std::snprintf(buf, sizeof buf, "%08X", v);
    data = HexIntPrefix + buf;
  } else if (value.type == kRegBinary) {
    data = BinaryPrefix + HexList(value.data);
  }
  if (data.empty()) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "hex(%x):", value.type);
    data = buf + HexList(value.data);
  }
  line = std::string(1, StringStartEndChar) + name + StringStartEndChar + DataNameValueDelim + data;
  return true;
}

// Collected paths have no leading delimiter, except below a root ("\name").
std::string TIORegistry::FromRoot(const std::string& path) const {
  return !path.empty() && path[0] == KeyLevelDelim ? path : KeyLevelDelim + path;
}

bool TIORegistry::CollectSubKeys(TRegistry& reg, const std::string& path, bool recurse,
                                 std::vector<std::string>& keys) {
  std::vector<std::string> names;
  if (!reg.OpenKey(FromRoot(path), false) || !reg.GetKeyNames(names)) return false;
  std::vector<std::string> children;
  for (const auto& name : names) children.push_back(path + KeyLevelDelim + name);
  keys.insert(keys.end(), children.begin(), children.end());
  if (recurse) {
    for (const auto& child : children) {
      if (!CollectSubKeys(reg, child, true, keys)) return false;
    }
  }
  return true;
}

bool TIORegistry::ExportKey(const std::string& rootName, const std::string& key, const std::string& fileName,
                            bool includeSubKeys) {
  std::vector<std::string> out;
  if (ExportDestination == TExpImpSource::eiFile) out.push_back("REGEDIT4");
  TRegistry reg(*platform_.registry);
  const std::string start = !key.empty() && key[0] == KeyLevelDelim ? key.substr(1) : key;
  const std::string root = rootName.empty() ? RootKeyToName(reg.RootKey()) : rootName;
  if (!rootName.empty()) reg.SetRootKey(NameToRootKey(rootName));
  if (!reg.OpenKey(KeyLevelDelim + start, false)) return false;

  std::vector<std::string> keys{reg.CurrentPath()};
  if (includeSubKeys && !CollectSubKeys(reg, keys.front(), true, keys)) return false;

  for (const auto& path : keys) {
    std::vector<std::string> values;
    if (!reg.OpenKey(FromRoot(path), false) || !reg.GetValueNames(values)) return false;
    const std::string keyLine = !path.empty() && path[0] == KeyLevelDelim
                                    ? RootStart + root + path + RootEnd
                                    : RootStart + root + KeyLevelDelim + path + RootEnd;
    if (!TextFitsLine(keyLine)) return false;
    out.emplace_back();
    out.push_back(keyLine);
    for (const auto& name : values) {
      std::string line;
      if (!ValueLine(reg, name, line)) return false;
      out.push_back(std::move(line));
    }
  }
  return Deliver(out, fileName);
}

bool TIORegistry::ExportValue(const std::string& rootName, const std::string& key, const std::string& valueName,
                              const std::string& fileName) {
  std::vector<std::string> out;
  if (ExportDestination == TExpImpSource::eiFile) out.push_back("REGEDIT4");
  TRegistry reg(*platform_.registry);
  const std::string root = rootName.empty() ? RootKeyToName(reg.RootKey()) : rootName;
  if (!rootName.empty()) reg.SetRootKey(NameToRootKey(rootName));
  if (!reg.OpenKey(key, false)) return false;
  const std::string keyLine = RootStart + root + KeyLevelDelim + key + RootEnd;
  std::string line;
  // A value that is gone cannot be backed up; writing an empty one would
  // create on restore what never existed.
  if (!TextFitsLine(keyLine) || !ValueLine(reg, valueName, line)) return false;
  out.emplace_back();
  out.push_back(keyLine);
  out.push_back(std::move(line));
  return Deliver(out, fileName);
}

bool TIORegistry::Deliver(const std::vector<std::string>& lines, const std::string& fileName) {
  if (fileName.empty() || ExportDestination != TExpImpSource::eiFile) {
    RegistryData.insert(RegistryData.end(), lines.begin(), lines.end());
    return true;
  }
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  const auto ansi = platform_.codePage->ToAnsi(text);
  return ansi && platform_.files->WriteFileReplace(fileName, *ansi);
}

}  // namespace found
