// "File Extensions", "Start Menu", "Sounds and Appevents" and "MRU and History
// Lists": lists the shell keeps for the current user.
#include <string>
#include <string_view>
#include <vector>

#include "cleaner/scan/threadscan.h"
#include "foundation/functions.h"
#include "foundation/globals.h"
#include "foundation/platform.h"

namespace cleaner {
namespace {

using found::kHkeyCurrentUser;
using found::TRegistry;

const std::string kFileExts = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";
const std::string kOpenSaveMru = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU";
constexpr std::string_view kMenuOrder =
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu2\\Programs";
// A level's path below "Programs" is what follows these characters.
static_assert(kMenuOrder.size() == 82);

// A set default value counts; a key that cannot be opened has no values.
bool HasValuesAt(TRegistry& registry, const std::string& keyPath) {
  if (!registry.OpenKey(keyPath, false)) return false;
  std::vector<std::string> names;
  registry.GetValueNames(names);
  registry.CloseKey();
  return !names.empty();
}

// The characters of an "MRUList" text, each the name of one value. Text is
// UTF-8 here, so a character may take several bytes.
std::vector<std::string> Letters(const std::string& text) {
  std::vector<std::string> letters;
  for (size_t i = 0; i < text.size();) {
    size_t next = i + 1;
    while (next < text.size() && (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80) ++next;
    letters.push_back(text.substr(i, next - i));
    i = next;
  }
  return letters;
}

bool FolderExists(const std::string& path) { return found::CurrentPlatform().files->DirectoryExists(path); }

// One level of the saved Start menu order; each level counts its own names,
// so the section bar starts again at every level.
void CheckMenuOrder(TScan& scan, const std::string& keyPath) {
  TRegistry registry;
  registry.SetRootKey(kHkeyCurrentUser);
  const std::vector<std::string> names = TScan::SubKeysOf(registry, keyPath);
  const size_t n = names.size();
  for (size_t i = 0; i < n; ++i) {
    if (scan.Terminated()) break;
    const std::string& name = names[i];
    const std::string key = keyPath + "\\" + name;
    scan.ReportProgress(TScan::Position(100.0 * static_cast<double>(i + 1) / static_cast<double>(n)),
                        key.substr(1));
    if (!registry.OpenKey(key, false)) continue;
    if (registry.HasSubKeys()) {
      // A folder with subfolders is not judged itself.
      CheckMenuOrder(scan, key);
    } else {
      // The profile folders end with "\", so the path holds doubled
      // backslashes, which the file system accepts.
      const std::string tail = "\\Start Menu\\Programs\\" + keyPath.substr(kMenuOrder.size()) + "\\" + name;
      if (!FolderExists(found::GlobalVars.AllUsersDir + tail) &&
          !FolderExists(found::GlobalVars.UserProfileDir + tail)) {
        scan.AddProblem(kHkeyCurrentUser, key, "", "",
                        "This registry key contains a reference to the Start menu folder " + name +
                            " ,which has been removed or deleted.",
                        kKindDeleteKey);
      } else if (!registry.ValueExists("Order")) {
        scan.AddProblem(kHkeyCurrentUser, key, "", "",
                        "This registry key is empty and is not needed.It can be deleted.", kKindDeleteKey);
      }
    }
    registry.CloseKey();
  }
}

}  // namespace

void TScan::ScanFileExtensions() {
  AddHeaderRow(5);
  TRegistry registry;
  registry.SetRootKey(kHkeyCurrentUser);
  const std::vector<std::string> names = TScan::SubKeysOf(registry, kFileExts);
  const size_t n = names.size();
  for (size_t i = 0; i < n; ++i) {
    if (Terminated()) break;
    const std::string key = kFileExts + "\\" + names[i];
    ReportProgress(Position(100.0 * static_cast<double>(i + 1) / static_cast<double>(n)), key.substr(1));
    // Other subkeys of the extension's key are not looked at.
    if (HasValuesAt(registry, key) || HasValuesAt(registry, key + "\\OpenWithList") ||
        HasValuesAt(registry, key + "\\OpenWithProgids")) {
      continue;
    }
    AddProblem(kHkeyCurrentUser, key, "", "", "This registry key contains no data and is not needed.It can be deleted.",
               kKindDeleteKey);
  }
  EndSection();
}

void TScan::ScanStartMenu() {
  AddHeaderRow(7);
  CheckMenuOrder(*this, std::string(kMenuOrder));
  EndSection();
}

void TScan::ScanSoundsAndAppevents() {
  AddHeaderRow(14);
  TRegistry registry;
  registry.SetRootKey(kHkeyCurrentUser);
  WalkKeyValues(registry, kHkeyCurrentUser, 0, {}, "\\AppEvents\\Schemes\\Apps");
  EndSection();
}

void TScan::ScanMruLists() {
  AddHeaderRow(15);
  TRegistry registry;
  registry.SetRootKey(kHkeyCurrentUser);
  std::vector<std::string> names = TScan::SubKeysOf(registry, kOpenSaveMru);
  // The empty name gives the path of the list key itself plus "\", which the
  // registry opens as the key itself, so its own values are examined too.
  names.emplace_back();
  const size_t n = names.size();
  for (size_t q = 0; q < n; ++q) {
    if (Terminated()) break;
    const std::string key = kOpenSaveMru + "\\" + names[q];
    ReportProgress(Position(100.0 * static_cast<double>(q + 1) / static_cast<double>(n)), key.substr(1));
    if (!registry.OpenKey(key, false)) continue;
    // An order that is not text names no values; a missing one names none.
    const std::optional<std::string> order = ReadText(registry, "MRUList");
    for (const std::string& letter : order ? Letters(*order) : std::vector<std::string>()) {
      if (Terminated()) break;
      const std::optional<std::string> path = ReadText(registry, letter);
      if (!path || path->empty() || found::CommandLineTargetExists(*path, found::Tool::Cleaner)) continue;
      AddProblem(kHkeyCurrentUser, key, letter, *path, "The entry " + letter + " points to the missing file " + *path,
                 kKindDeleteValue);
    }
    registry.CloseKey();
  }
  EndSection();
}

}  // namespace cleaner
