// Backups of real registry data come back bit for bit (Wine's registry).
#ifdef _WIN32
#include <gtest/gtest.h>

#include <iostream>
#include <map>

#include "foundation/text.h"
#include "ioregistry_fixture.h"

using found::RegValue;
using found::TRegistry;

namespace {

struct Tree {
  std::map<std::string, std::map<std::string, RegValue>> keys;  // path below the start -> values
  size_t ValueCount() const {
    size_t n = 0;
    for (const auto& [path, values] : keys) n += values.size();
    return n;
  }
};

void Walk(TRegistry& reg, const std::string& path, const std::string& rel, Tree& tree) {
  ASSERT_TRUE(reg.OpenKey(path, false)) << path;
  auto& values = tree.keys[rel];
  std::vector<std::string> names;
  ASSERT_TRUE(reg.GetValueNames(names));
  for (const auto& name : names) ASSERT_EQ(reg.ReadRaw(name, values[name]), found::QueryStatus::Ok);
  std::vector<std::string> subkeys;
  ASSERT_TRUE(reg.GetKeyNames(subkeys));
  for (const auto& sub : subkeys) Walk(reg, path + "\\" + sub, rel + "\\" + sub, tree);
}

void Copy(TRegistry& from, TRegistry& to, const std::string& src, const std::string& dst) {
  ASSERT_TRUE(from.OpenKeyReadOnly(src)) << src;
  std::vector<std::string> names, subkeys;
  ASSERT_TRUE(from.GetValueNames(names));
  ASSERT_TRUE(from.GetKeyNames(subkeys));
  ASSERT_TRUE(to.OpenKey(dst, true)) << dst;
  for (const auto& name : names) {
    RegValue value;
    ASSERT_EQ(from.ReadRaw(name, value), found::QueryStatus::Ok);
    to.WriteRaw(name, value);
  }
  for (const auto& sub : subkeys) Copy(from, to, src + "\\" + sub, dst + "\\" + sub);
}

using RealRegistry = IORegistryFixture;

// Counts the key and value lines of an export file.
std::pair<size_t, size_t> CountLines(const std::string& text) {
  size_t keys = 0, values = 0;
  for (size_t pos = 0; pos < text.size();) {
    size_t end = text.find("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    if (text[pos] == '[') ++keys;
    if (text[pos] == '"') ++values;
    pos = end + 2;
  }
  return {keys, values};
}

TEST_F(RealRegistry, ExportsHkcuSoftwareWhole) {
  auto io = MakeIO();
  ASSERT_TRUE(io.ExportKey("HKEY_CURRENT_USER", "\\Software", File("hkcu.reg"), true));
  TRegistry reg(Store());
  Tree tree;
  Walk(reg, "\\Software", "", tree);
  const auto [keys, values] = CountLines(ReadFile("hkcu.reg"));
  EXPECT_EQ(keys, tree.keys.size());
  EXPECT_EQ(values, tree.ValueCount());
  std::cout << "HKEY_CURRENT_USER\\Software exported: " << keys << " keys, " << values << " values\n";
}

// Wine hands out its performance-text pseudo key for Perflib\009, which reads
// but cannot be listed: a backup of a tree holding it must fail rather than
// leave it out. Everything around it exports.
TEST_F(RealRegistry, ExportsHklmSoftwareAroundTheUnlistableKey) {
  const std::vector<std::string> chain = {"Software", "Microsoft", "Windows NT", "CurrentVersion", "Perflib", "009"};
  auto io = MakeIO();
  EXPECT_FALSE(io.ExportKey("HKEY_LOCAL_MACHINE", "\\Software", File("hklm.reg"), true));
  EXPECT_FALSE(platform_.files->FileExists(File("hklm.reg"))) << "a failed export delivers nothing";

  TRegistry reg(Store());
  reg.SetRootKey(found::kHkeyLocalMachine);
  io.ExportDestination = found::TExpImpSource::eiProperty;
  std::string path;
  size_t expectedKeys = 0, expectedValues = 0;
  for (size_t level = 0; level + 1 < chain.size(); ++level) {
    path += "\\" + chain[level];
    ASSERT_TRUE(io.ExportKey("HKEY_LOCAL_MACHINE", path, "", false)) << path;  // the key alone
    Tree own;
    ASSERT_TRUE(reg.OpenKey(path, false));
    std::vector<std::string> names, subkeys;
    ASSERT_TRUE(reg.GetValueNames(names));
    ASSERT_TRUE(reg.GetKeyNames(subkeys));
    ++expectedKeys;
    expectedValues += names.size();
    for (const auto& sub : subkeys) {
      if (found::SameText(sub, chain[level + 1])) continue;
      ASSERT_TRUE(io.ExportKey("HKEY_LOCAL_MACHINE", path + "\\" + sub, "", true)) << path << "\\" << sub;
      Tree tree;
      Walk(reg, path + "\\" + sub, "", tree);
      expectedKeys += tree.keys.size();
      expectedValues += tree.ValueCount();
    }
  }
  std::string text;
  for (const auto& line : io.RegistryData) text += line + "\r\n";
  const auto [keys, values] = CountLines(text);
  EXPECT_EQ(keys, expectedKeys);
  EXPECT_EQ(values, expectedValues);
  std::cout << "HKEY_LOCAL_MACHINE\\Software exported around Perflib\\009: " << keys << " keys, " << values
            << " values\n";
}

TEST_F(RealRegistry, LargeSubtreeComesBackIdentical) {
  TRegistry machine(Store());
  machine.SetRootKey(found::kHkeyLocalMachine);
  TRegistry user(Store());
  Copy(machine, user, "\\Software\\Classes", Path("Copy"));
  // Values the plain grammar cannot carry, beside the real data.
  ASSERT_TRUE(user.OpenKey(Path("Copy\\Odd \xC3\xA9"), true));
  user.WriteRaw("multi", RegValue{found::kRegMultiSz, {'a', 0, 0, 0, 0, 0}});
  user.WriteRaw("quote", RegValue{found::kRegSz, found::EncodeRegText("a \"b\"\r\n\xE6\x97\xA5")});
  user.WriteRaw("qword", RegValue{found::kRegQword, {1, 2, 3, 4, 5, 6, 7, 8}});
  user.WriteRaw("", RegValue{found::kRegExpandSz, found::EncodeRegText("%TEMP%")});

  Tree before;
  Walk(user, Path("Copy"), "", before);
  auto io = MakeIO();
  ASSERT_TRUE(io.ExportKey("HKEY_CURRENT_USER", Path("Copy"), File("copy.reg"), true));
  user.CloseKey();
  ASSERT_TRUE(user.DeleteKey(Path("Copy")));
  ASSERT_FALSE(user.KeyExists(Path("Copy")));
  ASSERT_TRUE(io.ImportRegistry(File("copy.reg")));

  Tree after;
  Walk(user, Path("Copy"), "", after);
  EXPECT_EQ(after.keys.size(), before.keys.size());
  EXPECT_GT(before.keys.size(), 1000u) << "a large subtree";
  EXPECT_TRUE(after.keys == before.keys);
  std::cout << "round trip compared " << before.keys.size() << " keys and " << before.ValueCount()
            << " values (name, type, bytes)\n";
}

}  // namespace
#endif
