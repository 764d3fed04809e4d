// "ShortCuts": the shortcut files of the profile folders whose target is gone.
#include <string>
#include <vector>

#include "cleaner/scan/threadscan.h"
#include "foundation/functions.h"
#include "foundation/globals.h"
#include "foundation/platform.h"
#include "foundation/text.h"

namespace cleaner {
namespace {

struct ShortcutFolder {
  std::string folder;
  int position;  // the section bar for every shortcut found below it
};

// The extension of a name or path from its last dot, "" when it has none.
std::string FileExtension(const std::string& path) {
  const size_t pos = path.find_last_of(".\\:");
  if (pos == std::string::npos || path[pos] != '.') return "";
  return path.substr(pos);
}

// The target stored in a shortcut file; empty when it is no ".lnk" file,
// cannot be loaded or has no file target.
std::string ResolveShortcut(const std::string& path) {
  if (found::UpperCase(FileExtension(path)) != ".LNK") return "";
  // The shell backend sets COM up for each shortcut it loads.
  return found::CurrentPlatform().shell->ShortcutTarget(path).value_or("");
}

class ShortcutWalk {
 public:
  explicit ShortcutWalk(TScan& scan) : scan_(scan) {}

  void Walk(const ShortcutFolder& folder) {
    position_ = folder.position;
    ScanShortcutFolder(folder.folder);
  }

 private:
  void ScanShortcutFolder(const std::string& folder) {
    const std::string base = found::AddBackslash(folder);
    std::vector<found::DirEntry> entries;
    if (!found::CurrentPlatform().files->FindFiles(base + "*.*", entries)) return;
    for (const found::DirEntry& entry : entries) {
      if (scan_.Terminated()) break;
      if (entry.name == "." || entry.name == "..") continue;
      if ((entry.attributes & found::kAttrDirectory) != 0) {
        ScanShortcutFolder(base + entry.name);
      } else if (FileExtension(entry.name) == ".lnk") {
        // Compared exactly: a ".LNK" file is not examined.
        ExamineShortcut(base + entry.name);
      }
    }
  }

  void ExamineShortcut(const std::string& path) {
    const std::string target = ResolveShortcut(path);
    scan_.ReportProgress(position_, path);
    if (target.empty()) return;
    found::FileSystem& files = *found::CurrentPlatform().files;
    if (files.FileExists(target) || files.DirectoryExists(target)) return;
    scan_.AddProblem(0, path, "", "", "This shortcut points to the missing target " + target, kKindDeleteFile);
  }

  TScan& scan_;
  int position_ = 0;
};

}  // namespace

void TScan::ScanShortCuts() {
  AddHeaderRow(19);
  const found::TGlobalVars& g = found::GlobalVars;
  ShortcutWalk walk(*this);
  if (g.OSVersion != "98" && g.OSVersion != "me") {
    const std::vector<ShortcutFolder> folders = {
        {g.AllUsersDir + "Desktop", 11},
        {g.AllUsersDir + "Recent", 22},
        {g.UserProfileDir + "Desktop", 33},
        {g.UserProfileDir + "Recent", 44},
        {g.AppDataDir, 55},
        {g.AllUsersDir + "Start Menu\\programs", 66},
        {g.AllUsersDir + "Start Menu\\Programs\\Startup", 77},
        {g.UserProfileDir + "Start Menu\\programs", 88},
        {g.UserProfileDir + "Start Menu\\Programs\\Startup", 100},
    };
    for (size_t i = 0; i < folders.size(); ++i) {
      if (i > 0 && Terminated()) break;
      walk.Walk(folders[i]);
    }
  } else {
    // Here the stop request is looked at only inside the walks.
    for (const ShortcutFolder& folder : {ShortcutFolder{g.WindowsDir + "Desktop", 25},
                                         ShortcutFolder{g.WindowsDir + "Recent", 50},
                                         ShortcutFolder{g.WindowsDir + "Start Menu\\programs", 75},
                                         ShortcutFolder{g.WindowsDir + "Start Menu\\programs\\Startup", 100}}) {
      walk.Walk(folder);
    }
  }
  EndSection();
}

}  // namespace cleaner
