// TIniFile over the sandbox's files and Windows-1252 code page.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/backends/sandbox/sandbox_system.h"
#include "foundation/inifile.h"
#include "foundation/platform.h"

namespace {

using found::TIniFile;

constexpr const char* kIni = "C:\\index.ini";

class IniFileTest : public ::testing::Test {
 protected:
  void SetUp() override { sandbox_.Install(); }
  void Put(const std::string& bytes) { ASSERT_TRUE(sandbox_.files.WriteFileReplace(kIni, bytes)); }
  std::string Bytes() {
    std::string bytes;
    EXPECT_TRUE(sandbox_.files.ReadWholeFile(kIni, bytes));
    return bytes;
  }
  found::SandboxPlatform sandbox_;
};

TEST_F(IniFileTest, ReadString_FindsKeysAsThePlatformReadsThem) {
  Put("; backups of the cleaner\r\n"
      "[Backups]\r\n"
      "  First = C:\\x\\1.reg  \r\n"
      "Second=\"quoted value\"\r\n"
      "third=\r\n"
      "Gr\xf6\xdf" "e=\x80 5\r\n"
      "no equals sign\r\n"
      "[Other]\r\n"
      "First=other\r\n"
      "[backups]\r\n"
      "Fourth=in a second section of the same name\r\n");
  const TIniFile ini(kIni);
  struct Row {
    const char* name;
    const char* section;
    const char* ident;
    const char* value;
  };
  const Row rows[] = {
      {"blanks around trimmed", "Backups", "First", "C:\\x\\1.reg"},
      {"names compare without case", "BACKUPS", "first", "C:\\x\\1.reg"},
      {"enclosing quotes removed", "Backups", "Second", "quoted value"},
      {"empty value is a value", "Backups", "third", ""},
      {"code page converted", "Backups", "Gr\u00f6\u00dfe", "\u20ac 5"},
      {"same key in another section", "Other", "First", "other"},
      {"only the first section of a name counts", "Backups", "Fourth", "default"},
      {"line without = is no key", "Backups", "no equals sign", "default"},
      {"missing key", "Backups", "Fifth", "default"},
      {"missing section", "None", "First", "default"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ini.ReadString(row.section, row.ident, "default"), row.value);
  }
  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"Backups", "Other"}));
  EXPECT_EQ(ini.ReadSection("BACKUPS"), (std::vector<std::string>{"First", "Second", "third", "Gr\u00f6\u00dfe"}));
  EXPECT_EQ(TIniFile("C:\\missing.ini").ReadString("Backups", "First", "default"), "default");
  EXPECT_TRUE(TIniFile("C:\\missing.ini").ReadSections().empty());
}

TEST_F(IniFileTest, WriteString_EditsInPlaceAndWritesCrLfInCodePage) {
  Put("[A]\r\nk1=v1\r\n\r\n[B]\r\nk=v\r\n");
  TIniFile ini(kIni);
  ASSERT_TRUE(ini.WriteString("a", "K1", "new"));
  ASSERT_TRUE(ini.WriteString("A", "k2", "\u00e9\u20ac"));
  ASSERT_TRUE(ini.WriteString("C", "x", "y"));
  EXPECT_EQ(Bytes(), "[A]\r\nk1=new\r\nk2=\xe9\x80\r\n\r\n[B]\r\nk=v\r\n[C]\r\nx=y\r\n");

  // Every write is on disk at once: a second object over the file sees it.
  ASSERT_TRUE(TIniFile(kIni).WriteString("B", "k", "changed"));
  EXPECT_EQ(ini.ReadString("B", "k", ""), "changed");
}

TEST_F(IniFileTest, WriteString_CreatesMissingFile) {
  TIniFile ini("C:\\new.ini");
  ASSERT_TRUE(ini.WriteString("Section", "Key", "Value"));
  std::string bytes;
  ASSERT_TRUE(sandbox_.files.ReadWholeFile("C:\\new.ini", bytes));
  EXPECT_EQ(bytes, "[Section]\r\nKey=Value\r\n");
}

TEST_F(IniFileTest, WriteString_RefusesWhatCannotBeWrittenOrReadBack) {
  Put("[A]\r\nk=v\r\n");
  TIniFile ini(kIni);
  struct Row {
    const char* name;
    const char* section;
    const char* ident;
    const char* value;
  };
  const Row rows[] = {
      {"line break in value", "A", "k", "one\r\ntwo"},
      {"= in key", "A", "a=b", "v"},
      {"empty key", "A", "", "v"},
      {"] in section", "A]x", "k", "v"},
      {"no code-page form", "A", "k", "\u03a9"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_FALSE(ini.WriteString(row.section, row.ident, row.value));
    EXPECT_EQ(Bytes(), "[A]\r\nk=v\r\n");
  }
  ASSERT_TRUE(sandbox_.files.Lock(kIni));
  EXPECT_FALSE(ini.WriteString("A", "k", "locked"));
  EXPECT_FALSE(ini.EraseSection("A"));
  EXPECT_EQ(Bytes(), "[A]\r\nk=v\r\n");
}

TEST_F(IniFileTest, EraseSection_RemovesSectionWithItsKeys) {
  Put("[A]\r\nk=1\r\n[B]\r\nk=2\r\nj=3\r\n[C]\r\nk=4\r\n");
  TIniFile ini(kIni);
  ASSERT_TRUE(ini.EraseSection("b"));
  EXPECT_EQ(Bytes(), "[A]\r\nk=1\r\n[C]\r\nk=4\r\n");
  EXPECT_EQ(ini.ReadString("B", "k", "gone"), "gone");
  EXPECT_TRUE(ini.EraseSection("Missing"));
  EXPECT_EQ(Bytes(), "[A]\r\nk=1\r\n[C]\r\nk=4\r\n");
}

}  // namespace
