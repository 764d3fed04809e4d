#include "cleaner/app/regjump.h"

#include <gtest/gtest.h>

#include "foundation/backends/sandbox/sandbox_registry.h"
#include "foundation/registry.h"

namespace {

using cleaner::JumpStep;

TEST(RegJump, ResolveRootKeyNeedsAKeyThatOpensForFullAccess) {
  found::SandboxRegistry store;
  found::TRegistry reg(store);
  reg.SetRootKey(found::kHkeyLocalMachine);
  ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\Vendor", true));
  ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\Locked", true));
  ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\Classes", true));
  reg.SetRootKey(found::kHkeyCurrentUser);
  ASSERT_TRUE(reg.OpenKey("\\Software\\X", true));
  store.DenyFullAccess(found::kHkeyLocalMachine, "SOFTWARE\\Locked");

  struct Case {
    const char* name;
    std::string path;
    int id;
  };
  for (const Case& c : {
           Case{"machine key", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor", 3},
           Case{"lower-case path", "hkey_local_machine\\software\\vendor", 3},
           Case{"user key", "HKEY_CURRENT_USER\\Software\\X", 2},
           Case{"classes root is machine classes", "HKEY_CLASSES_ROOT\\", 1},
           Case{"bare root", "HKEY_CURRENT_USER", 0},
           Case{"missing key", "HKEY_CURRENT_USER\\Software\\Gone", 0},
           Case{"key refusing full access", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Locked", 0},
           Case{"unknown root", "HKEY_FOO\\Software", 0},
           Case{"root not at the start", "X\\HKEY_CURRENT_USER\\Software", 0},
       }) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(cleaner::ResolveRootKey(c.path, store), c.id);
  }
}

std::vector<JumpStep> Chars(JumpStep::Kind kind, const std::string& text) {
  std::vector<JumpStep> steps;
  for (char c : text) steps.push_back({kind, static_cast<std::uint32_t>(c)});
  return steps;
}

TEST(RegJump, SequenceCollapsesTypesEachLevelAndClicks) {
  std::vector<JumpStep> expected(31, JumpStep{JumpStep::TreeKeyDown, cleaner::kVkLeft});
  expected.push_back({JumpStep::Pause, 750});
  const auto level = [&](const std::string& name) {
    expected.push_back({JumpStep::TreeKeyDown, cleaner::kVkRight});
    expected.push_back({JumpStep::Pause, 750});
    const auto chars = Chars(JumpStep::TreeChar, name);
    expected.insert(expected.end(), chars.begin(), chars.end());
  };
  level("HKEY_CURRENT_USER");
  level("SOFTWARE");
  level("A-Z{1}");
  expected.push_back({JumpStep::TreeClick, '}'});
  EXPECT_EQ(cleaner::JumpSequence("HKEY_CURRENT_USER\\software\\a-z{1}", "", true), expected)
      << "letters upper-cased, a Right arrow and a pause per level, the click carries the last character";

  std::vector<JumpStep> unpaced;
  for (const auto& step : expected) {
    if (step.kind != JumpStep::Pause) unpaced.push_back(step);
  }
  EXPECT_EQ(cleaner::JumpSequence("HKEY_CURRENT_USER\\software\\a-z{1}", "", false), unpaced);
}

TEST(RegJump, SequenceWithAValueAndATrailingBackslash) {
  const auto steps = cleaner::JumpSequence("HKEY_USERS\\x\\", "Run me", false);
  // ... "X", Right for the trailing backslash, then the click with its code.
  const std::vector<JumpStep> tail = {{JumpStep::TreeChar, 'X'},
                                      {JumpStep::TreeKeyDown, cleaner::kVkRight},
                                      {JumpStep::TreeClick, cleaner::kVkRight},
                                      {JumpStep::FocusList, 0},
                                      {JumpStep::Pause, 1000},
                                      {JumpStep::ListKeyDown, cleaner::kVkHome}};
  ASSERT_GE(steps.size(), tail.size() + 6);
  const auto listChars = Chars(JumpStep::ListChar, "RUN ME");
  EXPECT_EQ(std::vector<JumpStep>(steps.end() - 6 - tail.size(), steps.end() - 6), tail);
  EXPECT_EQ(std::vector<JumpStep>(steps.end() - 6, steps.end()), listChars)
      << "the value pane waits even unpaced";
}

}  // namespace
