// "Custom Controls": the COM registrations below HKEY_CLASSES_ROOT, in three
// passes: class ids, interfaces and type libraries.
#include <algorithm>
#include <cstdint>

#include "cleaner/scan/regchecks.h"
#include "cleaner/scan/threadscan.h"

namespace cleaner {
namespace {

using found::TRegistry;

constexpr auto kRoot = found::kHkeyClassesRoot;
const std::string kNoData = "This registry key contains no data.It can be deleted.";

// The number of named values of the open key; its default value does not count.
size_t NamedValueCount(TRegistry& reader) {
  std::vector<std::string> names;
  reader.GetValueNames(names);
  return static_cast<size_t>(
      std::count_if(names.begin(), names.end(), [](const std::string& n) { return !n.empty(); }));
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Whether the text reads as a 32-bit integer the way the platform's string to
// integer conversion reads it: leading blanks, an optional sign, then decimal
// digits, or hexadecimal ones after "$", "x" or "0x"; nothing may follow.
// "409" converts (as four hundred and nine), "FLAGS" and "c0a" do not.
bool ConvertsToInteger(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  bool hex = false;
  if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i == text.size()) return false;
  // Hexadecimal takes the whole 32 bits; decimal must fit a signed integer.
  const std::uint64_t limit = hex ? 0xFFFFFFFFu : (negative ? 0x80000000u : 0x7FFFFFFFu);
  std::uint64_t value = 0;
  for (; i < text.size(); ++i) {
    const int digit = hex ? HexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
    if (digit < 0) return false;
    value = value * (hex ? 16 : 10) + digit;
    if (value > limit) return false;
  }
  return true;
}

void ScanClassId(TScan& scan, TRegistry& reader, const std::string& classId) {
  const std::string classPath = "\\CLSID\\" + classId;
  if (reader.OpenKey(classPath + "\\DefaultIcon", false)) {
    // Other values and subkeys of an icon key do not make up for an empty default.
    const auto icon = TScan::ReadText(reader, "");
    if (icon && icon->empty()) {
      scan.AddProblem(kRoot, classPath + "\\DefaultIcon", "", "", kNoData, kKindDeleteKey);
    } else if (icon && !ComServerExists(*icon)) {
      scan.AddProblem(kRoot, classPath + "\\DefaultIcon", "", "",
                      "This registry key points to the missing icon file " + *icon, kKindDeleteKey);
    }
    reader.CloseKey();
  }
  // A broken server names the whole class id: without it the class is of no use.
  for (const char* server : {"InprocServer", "InprocServer32", "LocalServer", "LocalServer32"}) {
    if (!reader.OpenKey(classPath + "\\" + server, false)) continue;
    const auto file = TScan::ReadText(reader, "");
    const size_t named = NamedValueCount(reader);
    if (file && file->empty()) {
      if (!reader.HasSubKeys() && named == 0) {
        scan.AddProblem(kRoot, classPath, "", "", kNoData, kKindDeleteKey);
      }
    } else if (file && !ComServerExists(*file)) {
      scan.AddProblem(kRoot, classPath, "", "",
                      std::string("This registry key points to the missing ") + server + " " + *file +
                          ".The associated CLSID can be delected.",
                      kKindDeleteKey);
    }
    reader.CloseKey();
  }
}

void ScanInterface(TScan& scan, TRegistry& reader, TRegistry& prober, const std::string& interfaceId) {
  const std::string interfacePath = "\\Interface\\" + interfaceId;
  if (reader.OpenKey(interfacePath + "\\TypeLib", false)) {
    const auto library = TScan::ReadText(reader, "");
    if (library && !library->empty() && !prober.KeyExists("\\typelib\\" + *library)) {
      scan.AddProblem(kRoot, interfacePath, "", "", "This registry key Points to the missing type library " + *library,
                      kKindDeleteKey);
    }
    reader.CloseKey();
  }
  for (const char* proxyKey : {"ProxyStubClsid", "ProxyStubClsid32"}) {
    const std::string proxyPath = interfacePath + "\\" + proxyKey;
    if (!reader.OpenKey(proxyPath, false)) continue;
    const auto classId = TScan::ReadText(reader, "");
    if (classId && !classId->empty() && !prober.KeyExists("\\CLSID\\" + *classId)) {
      scan.AddProblem(kRoot, proxyPath, "", "", "This registry key points to the missing CLSID " + *classId,
                      kKindDeleteKey);
    }
    reader.CloseKey();
  }
}

// The loops over versions and languages run to their end whatever the stop
// request.
void ScanTypeLibrary(TScan& scan, TRegistry& reader, const std::string& libraryId) {
  const std::string libraryPath = "\\Typelib\\" + libraryId;
  for (const auto& version : TScan::SubKeysOf(reader, libraryPath)) {
    const std::string versionPath = libraryPath + "\\" + version;
    if (reader.OpenKey(versionPath + "\\HELPDIR", false)) {
      const auto folder = TScan::ReadText(reader, "");
      const size_t named = NamedValueCount(reader);
      if (folder && folder->empty()) {
        if (!reader.HasSubKeys() && named <= 1) {
          scan.AddProblem(kRoot, versionPath + "\\HELPDIR", "", "", kNoData, kKindDeleteKey);
        }
      } else if (folder && !ComServerExists(*folder)) {
        scan.AddProblem(kRoot, versionPath + "\\HELPDIR", "", "",
                        "This registry key points to the missing folder " + *folder, kKindDeleteKey);
      }
      reader.CloseKey();
    }
    // Language keys are numbers (0, 9, 409); FLAGS and HELPDIR sit beside them.
    for (const auto& language : TScan::SubKeysOf(reader, versionPath)) {
      if (!ConvertsToInteger(language)) continue;
      const std::string win32Path = versionPath + "\\" + language + "\\win32";
      if (!reader.OpenKey(win32Path, false)) continue;
      const auto file = TScan::ReadText(reader, "");
      const size_t named = NamedValueCount(reader);
      if (file && file->empty()) {
        if (!reader.HasSubKeys() && named <= 1) {
          const std::string reason =
              "The registry key " + win32Path + " contains no data.The associated Type library can be delected.";
          scan.AddProblem(kRoot, libraryPath, "", "", reason, kKindDeleteKey);
        }
      } else if (file && !ComServerExists(*file)) {
        scan.AddProblem(kRoot, libraryPath, "", "", "This registry key points to the missing file " + *file,
                        kKindDeleteKey);
      }
      reader.CloseKey();
    }
  }
}

}  // namespace

void TScan::ScanCustomControls() {
  AddHeaderRow(4);
  TRegistry reader;
  reader.SetRootKey(kRoot);
  TRegistry prober;  // only asks whether keys exist
  prober.SetRootKey(kRoot);

  const auto classIds = TScan::SubKeysOf(reader, "\\CLSID");
  for (size_t i = 0; i < classIds.size(); ++i) {
    if (Terminated()) break;
    ReportProgress(Position(33.0 * (i + 1) / classIds.size()), "CLSID\\" + classIds[i]);
    ScanClassId(*this, reader, classIds[i]);
  }

  const auto interfaces = TScan::SubKeysOf(reader, "\\Interface");
  for (size_t i = 0; i < interfaces.size(); ++i) {
    if (Terminated()) break;
    ReportProgress(Position(33.0 * (i + 1) / interfaces.size() + 33), "Interface\\" + interfaces[i]);
    ScanInterface(*this, reader, prober, interfaces[i]);
  }

  const auto libraries = TScan::SubKeysOf(reader, "\\Typelib");
  for (size_t i = 0; i < libraries.size(); ++i) {
    if (Terminated()) break;
    ReportProgress(Position(33.0 * (i + 1) / libraries.size() + 66), "Typelib\\" + libraries[i]);
    ScanTypeLibrary(*this, reader, libraries[i]);
  }
  EndSection();
}

}  // namespace cleaner
