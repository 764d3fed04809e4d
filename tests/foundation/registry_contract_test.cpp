// The registry contract: the same cases run natively on the sandbox and under
// Wine on the real registry, so the two cannot drift apart.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "registry_fixture.h"

using found::ERegistryException;
using found::RegValue;
using found::TRegDataType;
using found::TRegistry;

namespace {

using RegistryContract = RegistryFixture;

std::set<std::string> AsSet(const std::vector<std::string>& v) { return {v.begin(), v.end()}; }

TEST_F(RegistryContract, OpenKey_PathsCountFromRootOrOpenKey) {
  TRegistry reg(Store());
  EXPECT_FALSE(reg.OpenKey(Path("A\\B"), false)) << "a missing key opens only with CanCreate";
  ASSERT_TRUE(reg.OpenKey(Path("A\\B"), true)) << "missing parents are created";
  EXPECT_EQ("\\" + reg.CurrentPath(), Path("A\\B"));

  ASSERT_TRUE(reg.OpenKey(Path("A"), false));
  ASSERT_TRUE(reg.OpenKey("B", false)) << "a relative path counts from the open key";
  EXPECT_EQ("\\" + reg.CurrentPath(), Path("A\\B"));
  ASSERT_TRUE(reg.OpenKey("", false)) << "an empty path names the open key itself";
  EXPECT_EQ("\\" + reg.CurrentPath(), Path("A\\B"));

  reg.CloseKey();
  ASSERT_TRUE(reg.OpenKey(Path().substr(1) + "\\A", false)) << "with no key open, from the root";
  EXPECT_EQ("\\" + reg.CurrentPath(), Path("A"));
  ASSERT_TRUE(reg.OpenKey("\\", false));
  EXPECT_EQ(reg.CurrentPath(), "") << "\"\\\" alone names the root";
  EXPECT_TRUE(reg.KeyExists(Path().substr(1))) << "the root key exists";
}

TEST_F(RegistryContract, Names_CaseInsensitiveAndCasePreserving) {
  TRegistry reg(Store());
  ASSERT_TRUE(reg.OpenKey(Path("MixedCase"), true));
  reg.WriteString("ValueName", "x");
  ASSERT_TRUE(reg.OpenKey(Path("mixedcase"), false));
  EXPECT_EQ(reg.ReadString("VALUENAME"), "x");
  reg.WriteString("valuename", "y");  // replaces, keeps the stored case
  std::vector<std::string> names;
  reg.GetValueNames(names);
  EXPECT_EQ(names, std::vector<std::string>{"ValueName"});
  ASSERT_TRUE(reg.OpenKey(Path(), false));
  reg.GetKeyNames(names);
  EXPECT_EQ(names, std::vector<std::string>{"MixedCase"});
}

TEST_F(RegistryContract, GetKeyNames_SortedWithoutRegardToCase) {
  TRegistry reg(Store());
  for (const char* name : {"b", "_x", "A", "Z", "c"}) ASSERT_TRUE(reg.OpenKey(Path(name), true));
  ASSERT_TRUE(reg.OpenKey(Path(), false));
  std::vector<std::string> names;
  ASSERT_TRUE(reg.GetKeyNames(names));
  // Windows sorts by the upper-case names, so "_" (0x5F) comes after "Z"
  // (0x5A); Wine compares lower-case names and puts it first.
  const std::vector<std::string> windowsOrder = {"A", "b", "c", "Z", "_x"};
  const std::vector<std::string> wineOrder = {"_x", "A", "b", "c", "Z"};
  EXPECT_EQ(names, IsSandbox() ? windowsOrder : wineOrder);
  EXPECT_TRUE(reg.HasSubKeys());
  ASSERT_TRUE(reg.OpenKey("A", false));
  EXPECT_FALSE(reg.HasSubKeys());
}

TEST_F(RegistryContract, RawValues_EveryTypeKeepsItsBytes) {
  struct Case {
    const char* name;
    std::string valueName;
    RegValue value;
  };
  const std::vector<Case> cases = {
      {"text", "Text", {found::kRegSz, found::EncodeRegText("hello")}},
      {"default value", "", {found::kRegSz, found::EncodeRegText("default")}},
      {"expandable", "Exp", {found::kRegExpandSz, found::EncodeRegText("%SystemRoot%\\x")}},
      {"dword", "Num", {found::kRegDword, {0x1A, 0, 0, 0}}},
      {"binary", "Bin", {found::kRegBinary, {0x01, 0x0A, 0xFF}}},
      {"empty binary", "Empty", {found::kRegBinary, {}}},
      {"multi string", "Multi", {found::kRegMultiSz, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}}},
      {"qword", "Q", {found::kRegQword, {1, 2, 3, 4, 5, 6, 7, 8}}},
      {"none", "None", {found::kRegNone, {9}}},
      {"unknown type", "Odd", {0x1234, {1, 2}}},
      {"text without terminator", "NoNul", {found::kRegSz, {'a', 0, 'b', 0}}},
      {"text with embedded NUL", "Nul", {found::kRegSz, {'a', 0, 0, 0, 'b', 0, 0, 0}}},
      {"odd byte count", "OddLen", {found::kRegSz, {'a', 0, 'b'}}},
      {"non-ASCII name and text", "Gr\xC3\xB6\xC3\x9F" "e \xE6\x97\xA5", {found::kRegSz, found::EncodeRegText("\xE2\x82\xAC \xF0\x9F\x98\x80")}},
  };
  TRegistry reg(Store());
  ASSERT_TRUE(reg.OpenKey(Path(), false));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    reg.WriteRaw(c.valueName, c.value);
    RegValue back;
    ASSERT_EQ(reg.ReadRaw(c.valueName, back), found::QueryStatus::Ok);
    EXPECT_EQ(back, c.value);
    EXPECT_EQ(reg.GetDataSize(c.valueName), static_cast<int>(c.value.data.size()));
  }
  std::vector<std::string> names;
  ASSERT_TRUE(reg.GetValueNames(names));
  std::set<std::string> expected;
  for (const auto& c : cases) expected.insert(c.valueName);
  EXPECT_EQ(AsSet(names), expected) << "the default value is listed as an empty name";
}

TEST_F(RegistryContract, TypedReads_FollowTheType) {
  TRegistry reg(Store());
  ASSERT_TRUE(reg.OpenKey(Path(), false));
  reg.WriteString("S", "text");
  reg.WriteExpandString("E", "%TEMP%\\x");
  reg.WriteInteger("I", -2);
  const unsigned char bytes[] = {1, 2, 3};
  reg.WriteBinaryData("B", bytes, 3);
  reg.WriteRaw("M", RegValue{found::kRegMultiSz, {0, 0}});

  struct Case {
    const char* name;
    TRegDataType type;
  };
  for (const Case& c : {Case{"S", TRegDataType::rdString}, Case{"E", TRegDataType::rdExpandString},
                        Case{"I", TRegDataType::rdInteger}, Case{"B", TRegDataType::rdBinary},
                        Case{"M", TRegDataType::rdUnknown}, Case{"missing", TRegDataType::rdUnknown}}) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(reg.GetDataType(c.name), c.type);
  }
  EXPECT_EQ(reg.ReadString("E"), "%TEMP%\\x") << "read unexpanded";
  EXPECT_EQ(reg.ReadInteger("I"), -2);
  unsigned char buf[8] = {};
  EXPECT_EQ(reg.ReadBinaryData("B", buf, sizeof buf), 3);
  EXPECT_EQ(buf[2], 3);
  EXPECT_EQ(reg.ReadString("missing"), "");
  EXPECT_LT(reg.GetDataSize("missing"), 0);
  EXPECT_TRUE(reg.ValueExists("s"));
  EXPECT_FALSE(reg.ValueExists("missing"));

  EXPECT_THROW(reg.ReadString("I"), ERegistryException);
  EXPECT_THROW(reg.ReadString("M"), ERegistryException);
  EXPECT_THROW(reg.ReadInteger("S"), ERegistryException);
  EXPECT_THROW(reg.ReadInteger("missing"), ERegistryException);
  EXPECT_THROW(reg.ReadBinaryData("S", buf, sizeof buf), ERegistryException);
  EXPECT_THROW(reg.ReadBinaryData("B", buf, 2), ERegistryException) << "buffer too small";
}

TEST_F(RegistryContract, Writes_WithoutOpenKeyRaise) {
  TRegistry reg(Store());
  EXPECT_THROW(reg.WriteString("x", "y"), ERegistryException);
  EXPECT_THROW(reg.WriteInteger("x", 1), ERegistryException);
  EXPECT_FALSE(reg.ValueExists("x"));
  EXPECT_FALSE(reg.DeleteValue("x"));
}

TEST_F(RegistryContract, DeleteKey_RemovesTheWholeTree) {
  TRegistry reg(Store());
  ASSERT_TRUE(reg.OpenKey(Path("T\\A\\B"), true));
  reg.WriteString("v", "1");
  ASSERT_TRUE(reg.OpenKey(Path("T\\C"), true));
  ASSERT_TRUE(reg.OpenKey(Path(), false));
  EXPECT_TRUE(reg.KeyExists("T\\A\\B"));
  EXPECT_EQ("\\" + reg.CurrentPath(), Path()) << "KeyExists leaves the open key";

  EXPECT_TRUE(reg.DeleteKey("T"));
  EXPECT_FALSE(reg.KeyExists("T"));
  EXPECT_FALSE(reg.DeleteKey("T")) << "a missing key cannot be deleted";
  EXPECT_FALSE(reg.DeleteKey("\\")) << "nor a root";
}

TEST_F(RegistryContract, DeleteValue_OnlyWhatExists) {
  TRegistry reg(Store());
  ASSERT_TRUE(reg.OpenKey(Path(), false));
  reg.WriteString("", "default");
  reg.WriteString("named", "x");
  EXPECT_TRUE(reg.DeleteValue(""));
  EXPECT_TRUE(reg.DeleteValue("NAMED"));
  EXPECT_FALSE(reg.DeleteValue("named"));
  std::vector<std::string> names;
  reg.GetValueNames(names);
  EXPECT_TRUE(names.empty());
}

TEST_F(RegistryContract, SetRootKey_ClosesTheOpenKey) {
  TRegistry reg(Store());
  EXPECT_EQ(reg.RootKey(), found::kHkeyCurrentUser);
  ASSERT_TRUE(reg.OpenKey(Path(), false));
  reg.SetRootKey(found::kHkeyLocalMachine);
  EXPECT_FALSE(reg.HasOpenKey());
  EXPECT_EQ(reg.CurrentPath(), "");
  EXPECT_FALSE(reg.KeyExists(Path())) << "the scratch key lives under HKEY_CURRENT_USER only";
}

#ifndef _WIN32
// Access refusal is a sandbox control; under Wine the test process is elevated.
TEST_F(RegistryContract, ReadOnlyKey_RefusesFullAccessButExists) {
  auto& sandbox = static_cast<found::SandboxRegistry&>(Store());
  TRegistry reg(Store());
  ASSERT_TRUE(reg.OpenKey(Path("Locked\\Child"), true));
  sandbox.DenyFullAccess(found::kHkeyCurrentUser, Path("Locked").substr(1));
  EXPECT_FALSE(reg.OpenKey(Path("Locked"), false));
  EXPECT_TRUE(reg.KeyExists(Path("Locked")));
  EXPECT_TRUE(reg.OpenKeyReadOnly(Path("Locked")));
  EXPECT_THROW(reg.WriteString("x", "y"), ERegistryException) << "a refused write raises";
  EXPECT_FALSE(reg.DeleteKey(Path("Locked"))) << "a protected key stays";
  EXPECT_FALSE(reg.OpenKey(Path("Locked\\New"), true)) << "no subkey can be created in it";
}

TEST_F(RegistryContract, ClassesRoot_IsMachineClasses) {
  TRegistry reg(Store());
  reg.SetRootKey(found::kHkeyLocalMachine);
  ASSERT_TRUE(reg.OpenKey("\\Software\\Classes\\.cobalt", true));
  reg.WriteString("", "cobaltfile");
  reg.SetRootKey(found::kHkeyClassesRoot);
  ASSERT_TRUE(reg.OpenKey("\\.COBALT", false));
  EXPECT_EQ(reg.ReadString(""), "cobaltfile");
}
#endif

}  // namespace
