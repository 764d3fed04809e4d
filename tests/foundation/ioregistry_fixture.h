// TIORegistry on the test registry, with files in a scratch folder: natively
// the sandbox, under Wine the real registry and file system.
#pragma once

#include <memory>
#include <string>

#include "foundation/backends/sandbox/sandbox_system.h"
#include "foundation/ioregistry.h"
#include "registry_fixture.h"
#ifdef _WIN32
#include "foundation/backends/win32/win32_files.h"
#include "foundation/backends/win32/win32_system.h"
#endif

class IORegistryFixture : public RegistryFixture {
 protected:
  void SetUp() override {
    RegistryFixture::SetUp();
    sandbox_ = std::make_unique<found::SandboxPlatform>();
#ifdef _WIN32
    files_ = std::make_unique<found::Win32FileSystem>();
    codePage_ = std::make_unique<found::Win32CodePage>();
    platform_.files = files_.get();
    platform_.codePage = codePage_.get();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = *found::Win32SystemInfo().Environment("TEMP") + "\\cobalt-" + info->name();
    (void)files_->CreateFolder(folder_);
#else
    ASSERT_TRUE(sandbox_->files.AddDrive('c'));
    folder_ = "C:\\work";
    ASSERT_TRUE(sandbox_->files.CreateFolder(folder_));
    platform_.files = &sandbox_->files;
    platform_.codePage = &sandbox_->codePage;
#endif
    platform_.registry = store_.get();
    platform_.messages = &sandbox_->messages;
  }

  found::TIORegistry MakeIO() { return found::TIORegistry(platform_); }
  std::string File(const std::string& name) const { return folder_ + "\\" + name; }

  std::string ReadFile(const std::string& name) {
    std::string bytes;
    EXPECT_TRUE(platform_.files->ReadWholeFile(File(name), bytes)) << name;
    return bytes;
  }
  void WriteFile(const std::string& name, const std::string& bytes) {
    ASSERT_TRUE(platform_.files->WriteFileReplace(File(name), bytes));
  }

  std::unique_ptr<found::SandboxPlatform> sandbox_;
  std::unique_ptr<found::FileSystem> files_;
  std::unique_ptr<found::CodePage> codePage_;
  found::Platform platform_;
  std::string folder_;
};
