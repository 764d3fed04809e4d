// "File Associations": the extension keys and class keys directly below
// HKEY_CLASSES_ROOT, then every class an extension uses, in depth.
#include <algorithm>

#include "cleaner/scan/regchecks.h"
#include "cleaner/scan/threadscan.h"
#include "foundation/text.h"

namespace cleaner {
namespace {

using found::TRegistry;

constexpr auto kRoot = found::kHkeyClassesRoot;
const std::string kNoData = "This registry key contains no data,it can be deleted.";
const std::string kMissingClsid = "This registry key points to the missing CLSID ";
const std::string kIncomplete =
    "This registry key is incomplete because it doesn't contain any data that are needed by windows.";

// The default value of keyPath; nullopt when the key cannot be opened or the
// value is not text (such a value is not judged).
std::optional<std::string> ReadDefault(TRegistry& reader, const std::string& keyPath) {
  if (!reader.OpenKey(keyPath, false)) return std::nullopt;
  auto value = TScan::ReadText(reader, "");
  reader.CloseKey();
  return value;
}

// The class id of a class key must be registered.
void CheckClassId(TScan& scan, TRegistry& reader, TRegistry& prober, const std::string& classPath,
                  const std::string& clsidPrefix) {
  const auto value = ReadDefault(reader, classPath + "\\CLSID");
  if (value && !value->empty() && !prober.KeyExists(clsidPrefix + *value)) {
    scan.AddProblem(kRoot, classPath + "\\CLSID", "", "", kMissingClsid + *value, kKindDeleteKey);
  }
}

// The shell extension handlers below listPath: each names a registered class
// id, by its own name in braces or by its default value. The loop runs to its
// end whatever the stop request.
void CheckHandlers(TScan& scan, TRegistry& reader, TRegistry& prober, const std::string& listPath) {
  const std::string prefix = listPath + "\\";
  for (const auto& handler : TScan::SubKeysOf(reader, listPath)) {
    const std::string keyPath = prefix + handler;
    if (IsBracedName(handler)) {
      if (!prober.KeyExists("\\clsid\\" + handler)) {
        scan.AddProblem(kRoot, keyPath, "", "", kMissingClsid + handler, kKindDeleteKey);
      }
      continue;
    }
    std::optional<std::string> value = std::string();  // a key that cannot be opened counts as empty
    if (reader.OpenKey(keyPath, false)) {
      value = TScan::ReadText(reader, "");
      reader.CloseKey();
    }
    if (!value) continue;
    if (value->empty()) {
      scan.AddProblem(kRoot, keyPath, "", "", kIncomplete, kKindDeleteKey);
    } else if (!prober.KeyExists("\\clsid\\" + *value)) {
      scan.AddProblem(kRoot, keyPath, "", "", kMissingClsid + *value, kKindDeleteKey);
    }
  }
}

// Everything a class that an extension uses must name: class id, icon,
// context menu commands and shell extension handlers.
void CheckClass(TScan& scan, TRegistry& reader, TRegistry& prober, const std::string& className) {
  const std::string base = "\\" + className;
  CheckClassId(scan, reader, prober, base, "clsid\\");

  const auto icon = ReadDefault(reader, base + "\\DefaultIcon");
  if (icon && !icon->empty() && !CommandTargetValid(*icon)) {
    scan.AddProblem(kRoot, base + "\\DefaultIcon", "", "", "This registry key points to the missing icon file " + *icon,
                    kKindDeleteKey);
  }

  for (const auto& verb : TScan::SubKeysOf(reader, base + "\\Shell")) {
    const std::string verbPath = base + "\\Shell\\" + verb;
    if (!reader.OpenKey(verbPath + "\\Command", false)) {
      scan.AddProblem(kRoot, verbPath, "", "", "This registry is incomplete because the subkey Command is missing.",
                      kKindDeleteKey);
      continue;
    }
    const auto command = TScan::ReadText(reader, "");
    reader.CloseKey();
    if (command && !command->empty() && !CommandTargetValid(*command)) {
      scan.AddProblem(kRoot, verbPath, "", "",
                      "The context menu entry " + verb + " points to the missing program " + *command, kKindDeleteKey);
    }
  }

  CheckHandlers(scan, reader, prober, base + "\\shellex\\ContextMenuHandlers");
  CheckHandlers(scan, reader, prober, base + "\\shellex\\PropertySheetHandlers");
}

}  // namespace

void TScan::ScanFileAssociations() {
  AddHeaderRow(6);
  TRegistry reader;
  reader.SetRootKey(kRoot);
  // Only asks whether keys exist and never opens one, so every path counts
  // from the root.
  TRegistry prober;
  prober.SetRootKey(kRoot);

  std::vector<std::string> names = SubKeysOf(reader, "\\");
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return found::CompareText(a, b) < 0; });

  // "extension=class", in the order the extensions were met.
  std::vector<std::string> pairs;
  const size_t n = names.size();
  for (size_t i = 0; i < n; ++i) {
    if (Terminated()) break;
    const std::string& name = names[i];
    const std::string keyPath = "\\" + name;
    ReportProgress(Position(50.0 * (i + 1) / n), name);
    if (name.empty() || name.front() != '.') {
      if (IsKeyEmpty(kRoot, keyPath, true)) AddProblem(kRoot, keyPath, "", "", kNoData, kKindDeleteKey);
      CheckClassId(*this, reader, prober, keyPath, "\\clsid\\");
      continue;
    }
    const auto className = ReadDefault(reader, keyPath);
    if (className && !className->empty()) {
      if (prober.KeyExists(*className)) {
        pairs.push_back(name + "=" + *className);
      } else {
        AddProblem(kRoot, keyPath, "", "", "This registry key points to missing key HKEY_CLASSES_ROOT\\" + *className,
                   kKindDeleteKey);
      }
    }
    if (IsKeyEmpty(kRoot, keyPath + "\\shell\\command", true)) {
      AddProblem(kRoot, keyPath + "\\shell\\command", "", "", kNoData, kKindDeleteKey);
    }
  }

  // "*" holds what applies to all files.
  pairs.insert(pairs.begin(), "(All files)=*");
  const size_t m = pairs.size();
  for (size_t j = 0; j < m; ++j) {
    if (Terminated()) break;
    // The class is what follows the first "=".
    const std::string className = pairs[j].substr(pairs[j].find('=') + 1);
    ReportProgress(Position(50.0 * (j + 1) / m + 50), className);
    CheckClass(*this, reader, prober, className);
  }
  EndSection();
}

}  // namespace cleaner
