// A registry for tests: natively the sandbox, under Wine the real registry
// below a scratch key of its own, removed again afterwards.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "foundation/backends/sandbox/sandbox_registry.h"
#include "foundation/platform.h"
#include "foundation/registry.h"
#ifdef _WIN32
#include "foundation/backends/win32/win32_registry.h"
#endif

class RegistryFixture : public ::testing::Test {
 protected:
  void SetUp() override {
#ifdef _WIN32
    store_ = std::make_unique<found::Win32Registry>();
#else
    store_ = std::make_unique<found::SandboxRegistry>();
#endif
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    scratch_ = std::string("\\Software\\CobaltineTests\\") + info->test_suite_name() + "." + info->name();
    found::TRegistry reg(*store_);
    (void)reg.DeleteKey(scratch_);
    ASSERT_TRUE(reg.OpenKey(scratch_, true));
  }

  void TearDown() override {
    found::TRegistry reg(*store_);
    (void)reg.DeleteKey(scratch_);
  }

  // The scratch key's path from the root, with a leading "\".
  std::string Path(const std::string& below = "") const {
    return below.empty() ? scratch_ : scratch_ + "\\" + below;
  }

  found::RegistryStore& Store() { return *store_; }

  bool IsSandbox() const {
#ifdef _WIN32
    return false;
#else
    return true;
#endif
  }

  std::unique_ptr<found::RegistryStore> store_;
  std::string scratch_;
};
