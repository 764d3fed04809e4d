// Scans of the real registry and file system of the test prefix.
#ifdef _WIN32
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <iostream>

#include "foundation/backends/win32/win32_platform.h"
#include "foundation/backends/win32/wide.h"
#include "foundation/ioregistry.h"
#include "scan_fixture.h"

namespace scantest {
namespace {

class RealScan : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_.Install();
    found::InitGlobalVars();
  }

  // Runs a scan of `ids` (all sections when empty) to its end.
  void Run(std::vector<int> ids) {
    if (ids.empty()) {
      for (const auto& section : cleaner::kSections) ids.push_back(section.id);
    }
    host_.items.clear();
    for (const auto& section : cleaner::kSections) {
      const bool ticked = std::find(ids.begin(), ids.end(), section.id) != ids.end();
      host_.items.push_back({section.id, false, ticked});
    }
    bool ended = false;
    auto* scan = new cleaner::TScan(gui_, host_, &host_);
    scan->FreeOnTerminate = true;
    scan->OnTerminate = [&](found::TThread& t) {
      ended = true;
      fatal_ = t.FatalException();
    };
    ASSERT_TRUE(gui_.ProcessUntil([&] { return ended; }, std::chrono::minutes(10)));
  }

  std::vector<std::string> Announced() const {
    std::vector<std::string> out;
    for (const auto& c : host_.calls) {
      if (c.what == "section") out.push_back(c.text);
    }
    return out;
  }

  bool Found(const std::string& header, const std::string& keyPath, const std::string& valueName) const {
    for (const auto& h : host_.problems.Roots()) {
      if (h->data.Caption != header) continue;
      for (const auto& row : h->children) {
        if (found::SameText(row->data.KeyPath, keyPath) && row->data.ValueName == valueName) return true;
      }
    }
    return false;
  }

  found::Win32Platform platform_;
  found::QueueDispatcher gui_;
  RecordingHost host_;
  std::string fatal_;
};

TEST_F(RealScan, FullScanOfTheFreshPrefixFinishesEverySection) {
  Run({});
  EXPECT_EQ(fatal_, "");
  std::vector<std::string> expected;
  for (const auto& section : cleaner::kSections) {
    expected.push_back(std::string("Scaning ") + section.announced + "...");
    // "Add/Remove Programs" announces itself once more after its header.
    if (section.id == 11) expected.push_back(expected.back());
  }
  EXPECT_EQ(Announced(), expected);
  size_t rows = 0;
  for (const auto& h : host_.problems.Roots()) {
    EXPECT_EQ(h->data.ProblemCount, static_cast<int>(h->children.size())) << h->data.Caption;
    for (const auto& row : h->children) {
      ++rows;
      std::cout << "finding: [" << h->data.Caption << "] " << found::RootKeyToName(row->data.RootKey)
                << row->data.KeyPath << (row->data.ValueName.empty() ? "" : " : " + row->data.ValueName) << " -- "
                << row->data.Reason << "\n";
    }
  }
  std::cout << "full scan: " << host_.problems.Roots().size() << " sections with findings, " << rows << " rows\n";
}

// A real shortcut file through the shell's link object.
bool MakeShortcut(const std::string& lnk, const std::string& target) {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return false;
  IShellLinkW* link = nullptr;
  bool ok = false;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link)))) {
    IPersistFile* file = nullptr;
    link->SetPath(found::Widen(target).c_str());
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      ok = SUCCEEDED(file->Save(found::Widen(lnk).c_str(), TRUE));
      file->Release();
    }
    link->Release();
  }
  CoUninitialize();
  return ok;
}

TEST_F(RealScan, BrokenEntriesOfThePrefixAreFound) {
  auto& files = *found::CurrentPlatform().files;
  const std::string folder = found::GlobalVars.TempDir + "cobalt-broken";
  ASSERT_TRUE(files.CreateFolder(folder) || files.DirectoryExists(folder));
  const std::string exe = folder + "\\tool.exe";
  const std::string dll = folder + "\\server.dll";
  ASSERT_TRUE(files.WriteFileReplace(exe, "MZ"));
  ASSERT_TRUE(files.WriteFileReplace(dll, "MZ"));
  const std::string lnk = found::GlobalVars.UserProfileDir + "Desktop\\Cobalt Tool.lnk";
  ASSERT_TRUE(MakeShortcut(lnk, exe));

  const std::string run = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  const std::string clsid = "\\CLSID\\{6C0B1A7E-0C0B-4A1E-9E2A-C0BA17C0FFEE}";
  found::TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(run, true));
  reg.WriteString("CobaltTool", "\"" + exe + "\" /min");
  reg.SetRootKey(found::kHkeyClassesRoot);
  ASSERT_TRUE(reg.OpenKey(clsid + "\\InprocServer32", true));
  reg.WriteString("", dll);
  reg.CloseKey();

  Run({8, 4, 19});
  EXPECT_FALSE(Found("Startup programs", run, "CobaltTool")) << "nothing is broken yet";
  EXPECT_FALSE(Found("Custom Controls", clsid, ""));
  EXPECT_FALSE(Found("ShortCuts", lnk, ""));

  ASSERT_TRUE(files.DeleteOneFile(exe));
  ASSERT_TRUE(files.DeleteOneFile(dll));
  Run({8, 4, 19});
  EXPECT_EQ(fatal_, "");
  EXPECT_TRUE(Found("Startup programs", run, "CobaltTool"));
  EXPECT_TRUE(Found("Custom Controls", clsid, ""));
  EXPECT_TRUE(Found("ShortCuts", lnk, ""));

  EXPECT_TRUE(reg.DeleteKey(clsid));
  reg.SetRootKey(found::kHkeyCurrentUser);
  ASSERT_TRUE(reg.OpenKey(run, false));
  EXPECT_TRUE(reg.DeleteValue("CobaltTool"));
  (void)files.DeleteOneFile(lnk);
}

}  // namespace
}  // namespace scantest
#endif
