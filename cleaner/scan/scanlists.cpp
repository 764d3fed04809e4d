// The sections that check well-known program and path lists: Run keys,
// shared library counts, application paths, uninstall entries, fonts, help
// files, services and virtual device drivers.
#include <cstdint>
#include <string>
#include <vector>

#include "cleaner/scan/regchecks.h"
#include "cleaner/scan/threadscan.h"
#include "foundation/functions.h"
#include "foundation/globals.h"
#include "foundation/text.h"

namespace cleaner {

using found::TRegistry;

namespace {

bool TargetExists(const std::string& commandLine) {
  return found::CommandLineTargetExists(commandLine, found::Tool::Cleaner);
}

// One root of "Startup programs": the first fills the section bar to 50, the
// second from 50 to 100.
void CheckRunKey(TScan& scan, std::uint32_t rootKey, int part) {
  const std::string run = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  scan.CheckValueList(rootKey, run, part, [&](const std::string& name, const auto& command) {
    if (!command || TargetExists(*command)) return;
    scan.AddProblem(rootKey, run, name, *command, "The entry " + name + " points to the missing program " + *command,
                    kKindDeleteValue);
  });
}

// One list of "Help and Resources": each value names a help file, its data
// the folder the file is in.
void CheckHelpList(TScan& scan, const std::string& keyPath, int part) {
  scan.CheckValueList(found::kHkeyLocalMachine, keyPath, part, [&](const std::string& name, const auto& folder) {
    if (!folder) return;
    const std::string file = found::AddBackslash(*folder) + name;
    if (TargetExists(file)) return;
    scan.AddProblem(found::kHkeyLocalMachine, keyPath, name, *folder,
                    "The entry " + name + " points to the missing help file " + file, kKindDeleteValue);
  });
}

// One service of "Windows Services"; only a text "ImagePath" is read. The
// whole service key is the correction, as a service without its program is
// of no use.
void CheckServiceImagePath(TScan& scan, TRegistry& registry, const std::string& keyPath, size_t n, size_t count) {
  if (!registry.OpenKey(keyPath, false)) return;
  const auto type = registry.GetDataType("ImagePath");
  if (type == found::TRegDataType::rdString || type == found::TRegDataType::rdExpandString) {
    const std::string path = registry.ReadString("ImagePath");
    const double total = static_cast<double>(count);
    scan.ReportProgress(TScan::Position(100.0 * n / total + 100.0 * (n + 1) / (total * total)), keyPath.substr(1));
    if (!ValueTargetExists(path)) {
      scan.AddProblem(found::kHkeyLocalMachine, keyPath, "ImagePath", path,
                      "This entry ImagePath points to the missing file " + path +
                          ".The associated Services can be deleted.",
                      kKindDeleteKey);
    }
  }
  registry.CloseKey();
}

}  // namespace

void TScan::ScanStartupPrograms() {
  AddHeaderRow(8);
  CheckRunKey(*this, found::kHkeyCurrentUser, 0);
  if (!Terminated()) CheckRunKey(*this, found::kHkeyLocalMachine, 1);
  EndSection();
}

void TScan::ScanSharedPrograms() {
  AddHeaderRow(9);
  const std::string shared = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
  TRegistry registry;
  registry.SetRootKey(found::kHkeyLocalMachine);
  if (registry.OpenKey(shared, false)) {
    std::vector<std::string> names;
    registry.GetValueNames(names);
    const size_t n = names.size();
    for (size_t i = 0; i < n; ++i) {
      if (Terminated()) break;
      const std::string& name = names[i];
      ReportProgress(Position(100.0 * (i + 1) / n), shared.substr(1) + "\\" + name);
      // A count stored any other way than as a number counts as one user.
      const std::int32_t count =
          registry.GetDataType(name) == found::TRegDataType::rdInteger ? registry.ReadInteger(name) : 1;
      if (!ValueTargetExists(name)) {
        AddProblem(found::kHkeyLocalMachine, shared, name, std::to_string(count), "Missing shared file " + name,
                   kKindDeleteValue);
      } else if (count == 0) {
        AddProblem(found::kHkeyLocalMachine, shared, name, "0",
                   "The shared file " + name + " is not in use anymore.", kKindDeleteValue);
      }
    }
    registry.CloseKey();
  }
  EndSection();
}

void TScan::ScanSoftwareLocations() {
  AddHeaderRow(10);
  const std::string appPaths = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
  TRegistry registry;
  registry.SetRootKey(found::kHkeyLocalMachine);
  const std::vector<std::string> names = SubKeysOf(registry, appPaths);
  const size_t n = names.size();
  for (size_t i = 0; i < n; ++i) {
    if (Terminated()) break;
    const std::string& name = names[i];
    if (!registry.OpenKey(appPaths + "\\" + name, false)) continue;
    const auto program = ReadText(registry, "");
    // A "Path" that is not text adds no folder; the default value is judged as it stands.
    const std::string folder = ReadText(registry, "Path").value_or("");
    registry.CloseKey();
    std::string path = program.value_or("");
    // An entry holding only the bare program name finds it in its "Path" folder.
    if (program && found::UpperCase(*program) == found::UpperCase(name) && !folder.empty()) {
      path = found::AddBackslash(folder) + *program;
    }
    ReportProgress(Position(100.0 * (i + 1) / n), appPaths.substr(1) + "\\" + name);
    if (!program || path.empty() || path.find(':') == std::string::npos || TargetExists(path)) continue;
    AddProblem(found::kHkeyLocalMachine, appPaths + "\\" + name, "", "",
               "The indicated file " + path + " could not be found.", kKindDeleteKey);
  }
  EndSection();
}

void TScan::ScanAddRemovePrograms() {
  AddHeaderRow(11);
  // This section always shows the same overall position, whatever its place
  // among the ticked sections.
  SectionName = "Add/Remove Programs";
  OverallPosition = 64;
  Synchronize([this] { ShowSection(); });

  const std::string uninstall = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
  TRegistry registry;
  registry.SetRootKey(found::kHkeyLocalMachine);
  const std::vector<std::string> entries = SubKeysOf(registry, uninstall);
  const size_t n = entries.size();
  for (size_t i = 0; i < n; ++i) {
    if (Terminated()) break;
    const std::string& name = entries[i];
    ReportProgress(Position(100.0 * (i + 1) / n), uninstall.substr(1) + "\\" + name);
    const std::string entry = uninstall + "\\" + name;
    if (!registry.OpenKey(entry, false)) continue;
    std::vector<std::string> valueNames;
    registry.GetValueNames(valueNames);
    std::string joined;
    for (const auto& valueName : valueNames) joined += valueName + "\n";
    joined = found::UpperCase(joined);
    // Matched as substrings: "NoUninstallString" counts too, and then no command is found.
    if (joined.find("UNINSTALLSTRING") != std::string::npos || joined.find("SYSTEMCOMPONENT") != std::string::npos) {
      auto command = ReadText(registry, "UninstallString");
      if (command && command->empty()) command = ReadText(registry, "QuietUninstallString");
      if (command && !command->empty() && !TargetExists(*command)) {
        AddProblem(found::kHkeyLocalMachine, entry, "", "",
                   "The required uninstall program " + *command + " could not be found", kKindDeleteKey);
      }
    } else if (!registry.HasSubKeys()) {
      AddProblem(found::kHkeyLocalMachine, entry, "", "",
                 "This uninstall entry doesn't contain any data needed by windows to remove the program or component.",
                 kKindDeleteKey);
    }
    registry.CloseKey();
  }
  EndSection();
}

void TScan::ScanWindowsFonts() {
  AddHeaderRow(12);
  const std::string& os = found::GlobalVars.OSVersion;
  const std::string fonts = os == "xp" || os == "2000" ? "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\fonts"
                                                       : "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\fonts";
  TRegistry registry;
  registry.SetRootKey(found::kHkeyLocalMachine);
  if (registry.OpenKey(fonts, false)) {
    std::vector<std::string> names;
    registry.GetValueNames(names);
    const size_t n = names.size();
    for (size_t i = 0; i < n; ++i) {
      if (Terminated()) break;
      const std::string& name = names[i];
      const auto file = ReadText(registry, name);
      ReportProgress(Position(100.0 * (i + 1) / n), fonts.substr(1));
      if (!file) continue;
      // Font files are mostly listed by bare name, relative to the fonts folder.
      if (TargetExists(*file) || TargetExists(found::GlobalVars.WindowsDir + "\\fonts\\" + *file)) continue;
      AddProblem(found::kHkeyLocalMachine, fonts, name, *file,
                 "The file " + *file + " that is associated with the entry " + name + " doesn't exists.",
                 kKindDeleteValue);
    }
    registry.CloseKey();
  }
  EndSection();
}

void TScan::ScanHelpAndResources() {
  AddHeaderRow(13);
  CheckHelpList(*this, "\\SOFTWARE\\Microsoft\\Windows\\Help", 0);
  // No stop test between the lists: the second one's loop sees the request.
  CheckHelpList(*this, "\\SOFTWARE\\Microsoft\\Windows\\Html Help", 1);
  EndSection();
}

void TScan::ScanWindowsServices() {
  AddHeaderRow(17);
  const std::string services = "\\SYSTEM\\CurrentControlSet\\Services";
  TRegistry registry;
  registry.SetRootKey(found::kHkeyLocalMachine);
  const std::vector<std::string> names = SubKeysOf(registry, services);
  // Not stopped midway: a stop request takes effect once the section has ended.
  for (size_t n = 0; n < names.size(); ++n) {
    CheckServiceImagePath(*this, registry, services + "\\" + names[n], n, names.size());
  }
  EndSection();
}

void TScan::ScanVirtualDevices() {
  AddHeaderRow(18);
  TRegistry registry;
  registry.SetRootKey(found::kHkeyLocalMachine);
  WalkKeyValues(registry, found::kHkeyLocalMachine, 0, {}, "\\SYSTEM\\CurrentControlSet\\Services\\VxD");
  if (!Terminated()) {
    WalkKeyValues(registry, found::kHkeyLocalMachine, 0.5, {},
                  "\\SYSTEM\\CurrentControlSet\\Control\\VirtualDeviceDrivers");
  }
  EndSection();
}

}  // namespace cleaner
