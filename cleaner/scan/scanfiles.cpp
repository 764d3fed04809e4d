// "Registry Integrity", "Files and Folders" and "Obsolete Software", and the
// value walker several sections share.
#include "cleaner/scan/regchecks.h"
#include "cleaner/scan/threadscan.h"
#include "foundation/ioregistry.h"
#include "foundation/text.h"

namespace cleaner {

using found::TRegistry;

void TScan::WalkKeyValues(TRegistry& registry, std::uint32_t rootKey, double fraction,
                          const std::vector<std::string>& exclusions, const std::string& keyPath) {
  const std::string upperPath = found::UpperCase(keyPath);
  for (const auto& exclusion : exclusions) {
    if (upperPath.find(found::UpperCase(exclusion)) != std::string::npos) return;
  }
  if (!registry.OpenKey(keyPath, false)) return;
  std::vector<std::string> names;
  registry.GetValueNames(names);
  for (const auto& name : names) {
    if (Terminated()) break;
    // Only values that hold text; one query gives the type and the text.
    found::RegValue value;
    if (registry.ReadRaw(name, value) != found::QueryStatus::Ok ||
        (value.type != found::kRegSz && value.type != found::kRegExpandSz)) {
      continue;
    }
    const std::string text = found::DecodeRegText(value.data);
    ReportProgress(Position(fraction * 100), keyPath.substr(1) + "\\" + name);
    if (ValueTargetExists(text)) continue;
    AddProblem(rootKey, keyPath, name, text,
               "The entry " + name + " points to the missing file or folder " + text, kKindDeleteValue);
  }
  std::vector<std::string> subkeys;
  registry.GetKeyNames(subkeys);
  registry.CloseKey();
  for (const auto& name : subkeys) {
    if (Terminated()) break;
    WalkKeyValues(registry, rootKey, fraction, exclusions, keyPath + "\\" + name);
  }
}

void TScan::ScanFilesAndFolders(std::uint32_t rootKey) {
  PrepareRow(nullptr, rootKey, found::RootKeyToName(rootKey) + " - Files and Folders", 1, "", "", "", "", "", 1,
             kKindDeleteValue);
  Synchronize([this] { AddRow(); });
  const std::vector<std::string> exclusions = {"SOFTWARE\\CLASSES", "SOFTWARE\\MICROSOFT"};
  TRegistry registry;
  registry.SetRootKey(rootKey);
  if (rootKey == found::kHkeyUsers) {
    if (registry.OpenKey("", false)) {
      std::vector<std::string> users;
      registry.GetKeyNames(users);
      for (size_t i = 0; i < users.size(); ++i) {
        if (Terminated()) break;
        WalkKeyValues(registry, rootKey, static_cast<double>(i + 1) / users.size(), exclusions,
                      "\\" + users[i] + "\\Software");
      }
      registry.CloseKey();
    }
  } else {
    WalkKeyValues(registry, rootKey, 0, exclusions, "\\Software");
  }
  EndSection();
}

void TScan::CheckFolderValues(const std::string& keyPath, int part) {
  CheckValueList(found::kHkeyCurrentUser, keyPath, part, [&](const std::string& name, const auto& text) {
    if (!text || ValueTargetExists(*text)) return;
    AddProblem(found::kHkeyCurrentUser, keyPath, name, *text,
               "The entry " + name + " points to the missing folder " + *text, kKindDeleteValue);
  });
}

void TScan::ScanRegistryIntegrity() {
  AddHeaderRow(1);
  CheckFolderValues("\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders", 0);
  if (!Terminated()) CheckFolderValues("\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 1);
  EndSection();
}

void TScan::FindEmptyVendorKeys(std::uint32_t rootKey, int part) {
  TRegistry registry;
  registry.SetRootKey(rootKey);
  const std::vector<std::string> vendors = SubKeysOf(registry, "\\SOFTWARE");
  const size_t n = vendors.size();
  for (size_t i = 0; i < n; ++i) {
    if (Terminated()) break;
    const std::string& name = vendors[i];
    if (found::UpperCase(name) == "POLICIES") continue;
    ReportProgress(Position(50.0 * (i + 1) / n + 50 * part), "Software\\" + name);
    if (IsKeyEmpty(rootKey, "\\software\\" + name, true)) {
      AddProblem(rootKey, "\\software\\" + name, "", "",
                 "This registry key contains no data and is not needed.It can be deleted.", kKindDeleteKey);
    }
  }
}

void TScan::ScanObsoleteSoftware() {
  AddHeaderRow(3);
  FindEmptyVendorKeys(found::kHkeyCurrentUser, 0);
  if (!Terminated()) FindEmptyVendorKeys(found::kHkeyLocalMachine, 1);
  EndSection();
}

}  // namespace cleaner
