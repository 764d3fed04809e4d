// Backups of real registry data come back bit for bit (Wine's registry).
#ifdef _WIN32
#include <gtest/gtest.h>

#include <iostream>
#include <map>

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

TEST_F(RealRegistry, ExportsBothSoftwareKeysWhole) {
  struct Case {
    const char* root;
    found::RootHandle handle;
  };
  for (const Case& c : {Case{"HKEY_LOCAL_MACHINE", found::kHkeyLocalMachine},
                        Case{"HKEY_CURRENT_USER", found::kHkeyCurrentUser}}) {
    SCOPED_TRACE(c.root);
    auto io = MakeIO();
    ASSERT_TRUE(io.ExportKey(c.root, "\\Software", File("software.reg"), true));
    TRegistry reg(Store());
    reg.SetRootKey(c.handle);
    Tree tree;
    Walk(reg, "\\Software", "", tree);
    size_t keyLines = 0, valueLines = 0;
    std::string text = ReadFile("software.reg");
    for (size_t pos = 0; pos < text.size();) {
      const size_t end = text.find("\r\n", pos);
      ASSERT_NE(end, std::string::npos);
      if (text[pos] == '[') ++keyLines;
      if (text[pos] == '"') ++valueLines;
      pos = end + 2;
    }
    EXPECT_EQ(keyLines, tree.keys.size());
    EXPECT_EQ(valueLines, tree.ValueCount());
    std::cout << c.root << "\\Software exported: " << keyLines << " keys, " << valueLines << " values, "
              << text.size() << " bytes\n";
  }
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
