// Runs a scan on the sandbox: a registry, a folder-rooted file system with
// drive C:, the system folders of a Windows XP machine, a list and a dialog
// that record what the engine gives them, and a queue as the GUI thread.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cleaner/scan/threadscan.h"
#include "foundation/backends/sandbox/sandbox_registry.h"
#include "foundation/backends/sandbox/sandbox_system.h"
#include "foundation/globals.h"
#include "foundation/registry.h"

namespace scantest {

struct DialogCall {
  std::string what;  // "section", "key", "overall", "position"
  std::string text;
  int value = 0;
};

// What the dialog was given, of one kind: numbers ("overall", "position") or
// texts ("section", "key"), in order.
inline std::vector<int> Values(const std::vector<DialogCall>& calls, const std::string& what) {
  std::vector<int> out;
  for (const auto& c : calls) {
    if (c.what == what) out.push_back(c.value);
  }
  return out;
}
inline std::vector<std::string> Texts(const std::vector<DialogCall>& calls, const std::string& what) {
  std::vector<std::string> out;
  for (const auto& c : calls) {
    if (c.what == what) out.push_back(c.text);
  }
  return out;
}

class RecordingHost : public cleaner::ScanListHost, public cleaner::ScanDialogHost {
 public:
  std::vector<cleaner::SectionTreeItem> items;
  cleaner::ProblemTree problems;
  int firstColumn = 200;
  std::vector<DialogCall> calls;
  // Set, the scan is asked to stop inside the GUI step that adds the row
  // whose key path is `stopAt`, so no later step can miss it.
  found::TThread* stopTarget = nullptr;
  std::string stopAt;

  std::vector<cleaner::SectionTreeItem> SectionItems() override { return items; }
  cleaner::ProblemTree& Problems() override { return problems; }
  int TextWidth(const std::string& text) override {
    if (stopTarget && text == stopAt) stopTarget->Terminate();
    return static_cast<int>(text.size()) * 6;
  }
  int FirstColumnWidth() override { return firstColumn; }
  void SetFirstColumnWidth(int width) override { firstColumn = width; }
  void SetSectionText(const std::string& text) override { calls.push_back({"section", text, 0}); }
  void SetKeyText(const std::string& text) override { calls.push_back({"key", text, 0}); }
  void SetOverallPosition(int position) override { calls.push_back({"overall", "", position}); }
  void SetSectionPosition(int position) override { calls.push_back({"position", "", position}); }
};

// One problem row as the tests compare it.
struct Row {
  std::uint32_t root = 0;
  std::string keyPath, valueName, valueData, reason;
  int kind = 0;
  bool operator==(const Row&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Row& r) {
  return os << "{root " << std::hex << r.root << std::dec << ", \"" << r.keyPath << "\", \"" << r.valueName
            << "\", \"" << r.valueData << "\", \"" << r.reason << "\", kind " << r.kind << "}";
}

class ScanFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sandbox_.files.AddDrive('c'));
    sandbox_.Install();
    found::CurrentPlatform().registry = &registry_;
    sandbox_.system.SetVersion({5, 1, 2});
    SetEnv("windir", "C:\\WINDOWS");
    SetEnv("ProgramFiles", "C:\\Program Files");
    SetEnv("CommonProgramFiles", "C:\\Program Files\\Common Files");
    SetEnv("APPDATA", "C:\\Documents and Settings\\user\\Application Data");
    SetEnv("TEMP", "C:\\Documents and Settings\\user\\Local Settings\\Temp");
    SetEnv("ALLUSERSPROFILE", "C:\\Documents and Settings\\All Users");
    SetEnv("USERPROFILE", "C:\\Documents and Settings\\user");
    SetEnv("Path", "C:\\WINDOWS\\system32;C:\\WINDOWS");
    sandbox_.system.SetSystemDirectory("C:\\WINDOWS\\system32");
    for (const char* dir : {"C:\\WINDOWS\\system32", "C:\\Program Files\\Common Files",
                            "C:\\Documents and Settings\\user\\Application Data",
                            "C:\\Documents and Settings\\user\\Local Settings\\Temp",
                            "C:\\Documents and Settings\\All Users"}) {
      MakeFolder(dir);
    }
    found::InitGlobalVars();
  }

  void SetEnv(const std::string& name, const std::string& value) { sandbox_.system.SetEnvironment(name, value); }

  // Files and folders on the sandbox's drives (parents made as needed).
  void MakeFolder(const std::string& path) {
    std::string partial;
    size_t start = 0;
    while (start <= path.size()) {
      const size_t end = path.find('\\', start);
      partial = path.substr(0, end == std::string::npos ? path.size() : end);
      if (partial.size() > 2) (void)sandbox_.files.CreateFolder(partial);
      if (end == std::string::npos) break;
      start = end + 1;
    }
  }
  void MakeFile(const std::string& path, const std::string& content = "x") {
    MakeFolder(path.substr(0, path.rfind('\\')));
    ASSERT_TRUE(sandbox_.files.WriteFileReplace(path, content)) << path;
  }

  // Registry values below a root; the key is created.
  void SetText(std::uint32_t root, const std::string& key, const std::string& name, const std::string& text) {
    found::TRegistry reg(registry_);
    reg.SetRootKey(root);
    ASSERT_TRUE(reg.OpenKey(key, true)) << key;
    reg.WriteString(name, text);
  }
  void SetValue(std::uint32_t root, const std::string& key, const std::string& name, const found::RegValue& v) {
    found::TRegistry reg(registry_);
    reg.SetRootKey(root);
    ASSERT_TRUE(reg.OpenKey(key, true)) << key;
    reg.WriteRaw(name, v);
  }
  void MakeKey(std::uint32_t root, const std::string& key) {
    found::TRegistry reg(registry_);
    reg.SetRootKey(root);
    ASSERT_TRUE(reg.OpenKey(key, true)) << key;
  }

  // The section tree of the main window with only `ids` ticked.
  void Tick(const std::vector<int>& ids) {
    host_.items.clear();
    host_.items.push_back({cleaner::kSectionMyComputer, true, false});
    for (const auto& section : cleaner::kSections) {
      if (section.id == 21) host_.items.push_back({cleaner::kSectionFilesAndFolders, true, false});
      const bool ticked = std::find(ids.begin(), ids.end(), section.id) != ids.end();
      host_.items.push_back({section.id, false, ticked});
    }
  }

  // Runs a scan of the ticked sections to its end; `onStep` runs on the GUI
  // thread after every step the worker hands over (to stop it, for one).
  void RunScan(const std::vector<int>& ids, std::function<void(cleaner::TScan&)> onStep = nullptr) {
    Tick(ids);
    bool ended = false;
    auto* scan = new cleaner::TScan(gui_, host_, &host_);
    scan->FreeOnTerminate = true;
    scan->OnTerminate = [&](found::TThread& t) {
      ended = true;
      selection_ = static_cast<cleaner::TScan&>(t).SelectionText();
      fatal_ = t.FatalException();
    };
    ASSERT_TRUE(gui_.ProcessUntil([&] {
      if (onStep && !ended) onStep(*scan);
      return ended;
    }, std::chrono::seconds(120)));
  }

  // Runs a scan that is asked to stop when the row of `keyPath` is added.
  void RunScanStoppingAt(const std::vector<int>& ids, const std::string& keyPath) {
    Tick(ids);
    bool ended = false;
    auto* scan = new cleaner::TScan(gui_, host_, &host_);
    host_.stopTarget = scan;  // GUI steps run only below, so none misses it
    host_.stopAt = keyPath;
    scan->FreeOnTerminate = true;
    scan->OnTerminate = [&](found::TThread& t) {
      ended = true;
      fatal_ = t.FatalException();
    };
    ASSERT_TRUE(gui_.ProcessUntil([&] { return ended; }, std::chrono::seconds(120)));
    host_.stopTarget = nullptr;
  }

  // The problem rows under the header with this caption, in list order.
  std::vector<Row> Rows(const std::string& caption) const {
    std::vector<Row> rows;
    for (const auto& header : host_.problems.Roots()) {
      if (header->data.Caption != caption) continue;
      for (const auto& child : header->children) {
        const auto& d = child->data;
        rows.push_back({d.RootKey, d.KeyPath, d.ValueName, d.ValueData, d.Reason, d.Kind});
      }
    }
    return rows;
  }
  std::vector<std::string> Headers() const {
    std::vector<std::string> captions;
    for (const auto& header : host_.problems.Roots()) captions.push_back(header->data.Caption);
    return captions;
  }

  found::SandboxPlatform sandbox_;
  found::SandboxRegistry registry_;
  found::QueueDispatcher gui_;
  RecordingHost host_;
  std::string selection_;
  std::string fatal_;
};

}  // namespace scantest
