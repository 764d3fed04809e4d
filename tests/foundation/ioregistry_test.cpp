#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "ioregistry_fixture.h"

using found::RegValue;
using found::TExpImpSource;
using found::TRegistry;

namespace {

using IORegistry = IORegistryFixture;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// Every value below a key, for comparing before and after.
std::map<std::string, RegValue> Snapshot(TRegistry& reg, const std::string& path) {
  std::map<std::string, RegValue> values;
  EXPECT_TRUE(reg.OpenKey(path, false)) << path;
  std::vector<std::string> names;
  reg.GetValueNames(names);
  for (const auto& name : names) EXPECT_EQ(reg.ReadRaw(name, values[name]), found::QueryStatus::Ok);
  return values;
}

TEST(RootNames, ExactNamesOnly) {
  EXPECT_EQ(found::NameToRootKey("HKEY_LOCAL_MACHINE"), found::kHkeyLocalMachine);
  EXPECT_EQ(found::NameToRootKey("HKEY_DYN_DATA"), found::kHkeyDynData);
  EXPECT_EQ(found::NameToRootKey("hkey_local_machine"), found::kHkeyCurrentUser) << "case-sensitive";
  EXPECT_EQ(found::NameToRootKey(""), found::kHkeyCurrentUser);
  EXPECT_EQ(found::RootKeyToName(found::kHkeyUsers), "HKEY_USERS");
  EXPECT_EQ(found::RootKeyToName(0x12345678), "HKEY_CURRENT_USER");
}

TEST_F(IORegistry, ExportKey_WritesTheLineGrammarAndRestoresEveryType) {
  TRegistry reg(Store());
  ASSERT_TRUE(reg.OpenKey(Path("K"), true));
  reg.WriteString("Text", "C:\\Program Files\\x.exe");
  reg.WriteExpandString("Exp", "%A%");
  reg.WriteInteger("Num", 26);
  const unsigned char bytes[] = {0x01, 0x0A, 0xFF};
  reg.WriteBinaryData("Bin", bytes, 3);
  reg.WriteString("", "default");
  const auto before = Snapshot(reg, Path("K"));
  reg.CloseKey();

  auto io = MakeIO();
  ASSERT_TRUE(io.ExportKey("HKEY_CURRENT_USER", Path("K"), File("k.reg"), true));
  const auto lines = Lines(ReadFile("k.reg"));
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[0], "REGEDIT4");
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2], "[HKEY_CURRENT_USER" + Path("K") + "]");
  const std::set<std::string> values(lines.begin() + 3, lines.end());
  const std::set<std::string> expected = {
      "\"Text\"=\"C:\\Program Files\\x.exe\"", "\"Exp\"=hex(2):25,00,41,00,25,00,00,00",
      "\"Num\"=dword:0000001A", "\"Bin\"=hex:01,0A,FF", "\"\"=\"default\""};
  EXPECT_EQ(values, expected);
  EXPECT_EQ(ReadFile("k.reg").substr(ReadFile("k.reg").size() - 2), "\r\n") << "the last line ends too";

  ASSERT_TRUE(reg.DeleteKey(Path("K")));
  ASSERT_TRUE(io.ImportRegistry(File("k.reg")));
  EXPECT_EQ(Snapshot(reg, Path("K")), before);
}

TEST_F(IORegistry, ExportKey_IsLosslessForWhatThePlainGrammarCannotCarry) {
  struct Case {
    const char* name;
    std::string valueName;
    RegValue value;
    std::string form;  // how the data part of the line begins
  };
  auto text = [](const std::string& s) { return found::EncodeRegText(s); };
  const std::vector<Case> cases = {
      {"plain text", "a", {found::kRegSz, text("plain")}, "\"plain\""},
      {"code-page text", "b", {found::kRegSz, text("\xE2\x82\xAC 5 caf\xC3\xA9")}, "\""},
      {"quotation mark", "c", {found::kRegSz, text("say \"hi\"")}, "hex(1):"},
      {"line break", "d", {found::kRegSz, text("one\r\ntwo")}, "hex(1):"},
      {"outside the code page", "e", {found::kRegSz, text("\xE6\x97\xA5\xE6\x9C\xAC")}, "hex(1):"},
      {"text like a binary prefix", "f", {found::kRegSz, text("hex:01")}, "hex(1):"},
      {"text like a number prefix", "g", {found::kRegSz, text("dword:00000001")}, "hex(1):"},
      {"text without terminator", "h", {found::kRegSz, {'x', 0}}, "hex(1):"},
      {"embedded NUL", "i", {found::kRegSz, {'x', 0, 0, 0, 'y', 0, 0, 0}}, "hex(1):"},
      {"empty text", "j", {found::kRegSz, text("")}, "\"\""},
      {"expandable", "k", {found::kRegExpandSz, text("%SystemRoot%")}, "hex(2):"},
      {"multi-string", "l", {found::kRegMultiSz, {'a', 0, 0, 0, 0, 0}}, "hex(7):"},
      {"qword", "m", {found::kRegQword, {1, 0, 0, 0, 0, 0, 0, 0x80}}, "hex(b):"},
      {"none", "n", {found::kRegNone, {}}, "hex(0):"},
      {"unknown type", "o", {0x1234, {7}}, "hex(1234):07"},
      {"short dword", "p", {found::kRegDword, {1, 2, 3}}, "hex(4):"},
      {"dword -1", "q", {found::kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}}, "dword:FFFFFFFF"},
      {"empty binary", "r", {found::kRegBinary, {}}, "hex:"},
      {"name with path and blanks", " C:\\x\\y.dll ", {found::kRegSz, text("1")}, "\"1\""},
  };
  TRegistry reg(Store());
  ASSERT_TRUE(reg.OpenKey(Path("L"), true));
  for (const auto& c : cases) reg.WriteRaw(c.valueName, c.value);
  reg.CloseKey();

  auto io = MakeIO();
  io.ExportDestination = TExpImpSource::eiProperty;
  ASSERT_TRUE(io.ExportKey("HKEY_CURRENT_USER", Path("L"), "", true));
  ASSERT_TRUE(reg.DeleteKey(Path("L")));
  io.ImportSource = TExpImpSource::eiProperty;
  ASSERT_TRUE(io.ImportRegistry(""));

  ASSERT_TRUE(reg.OpenKey(Path("L"), false));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string prefix = "\"" + c.valueName + "\"=";
    std::string line;
    for (const auto& l : io.RegistryData) {
      if (l.rfind(prefix, 0) == 0) line = l;
    }
    EXPECT_EQ(line.substr(prefix.size(), c.form.size()), c.form) << line;
    RegValue back;
    ASSERT_EQ(reg.ReadRaw(c.valueName, back), found::QueryStatus::Ok);
    EXPECT_EQ(back, c.value);
  }
}

TEST_F(IORegistry, ExportKey_ListsSubkeysGroupByGroup) {
  TRegistry reg(Store());
  for (const char* key : {"A\\B\\D", "A\\B\\E", "A\\C\\F"}) ASSERT_TRUE(reg.OpenKey(Path(key), true));
  ASSERT_TRUE(reg.OpenKey(Path("A"), false));
  reg.WriteString("own", "1");
  reg.CloseKey();

  auto io = MakeIO();
  io.ExportDestination = TExpImpSource::eiProperty;
  ASSERT_TRUE(io.ExportKey("HKEY_CURRENT_USER", Path("A"), "ignored.reg", true));
  const std::string k = "[HKEY_CURRENT_USER" + Path("A");
  const std::vector<std::string> expected = {"", k + "]", "\"own\"=\"1\"", "", k + "\\B]", "", k + "\\C]", "",
                                             k + "\\B\\D]", "", k + "\\B\\E]", "", k + "\\C\\F]"};
  EXPECT_EQ(io.RegistryData, expected) << "no header with eiProperty, the start key's values first";
  EXPECT_FALSE(platform_.files->FileExists(File("ignored.reg")));

  io.RegistryData.clear();
  ASSERT_TRUE(io.ExportKey("HKEY_CURRENT_USER", Path("A"), "", false));
  EXPECT_EQ(io.RegistryData, (std::vector<std::string>{"", k + "]", "\"own\"=\"1\""}))
      << "without subkeys only the start key";
}

TEST_F(IORegistry, Export_RefusesWhatItCannotBackUpAndDeliversNothing) {
  TRegistry reg(Store());
  struct Case {
    const char* name;
    std::string key;     // below the scratch key
    std::string value;   // a value made in it
  };
  const std::vector<Case> cases = {
      {"key name outside the code page", "\xE6\x97\xA5", "v"},
      {"value name with the delimiter", "Eq", "a=b"},
      {"value name with a quotation mark", "Quote", "a\"b"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(reg.OpenKey(Path("R\\" + c.key), true));
    reg.WriteString(c.value, "x");
    auto io = MakeIO();
    WriteFile("keep.reg", "previous backup");
    EXPECT_FALSE(io.ExportKey("HKEY_CURRENT_USER", Path("R"), File("keep.reg"), true));
    EXPECT_EQ(ReadFile("keep.reg"), "previous backup");
    io.ExportDestination = TExpImpSource::eiProperty;
    EXPECT_FALSE(io.ExportValue("HKEY_CURRENT_USER", Path("R\\" + c.key), c.value, ""));
    EXPECT_TRUE(io.RegistryData.empty());
    ASSERT_TRUE(reg.DeleteKey(Path("R")));
  }
  auto io = MakeIO();
  io.ExportDestination = TExpImpSource::eiProperty;
  EXPECT_FALSE(io.ExportKey("HKEY_CURRENT_USER", Path("Missing"), "", true));
  ASSERT_TRUE(reg.OpenKey(Path("V"), true));
  EXPECT_FALSE(io.ExportValue("HKEY_CURRENT_USER", Path("V"), "missing", "")) << "a missing value";
  EXPECT_TRUE(io.RegistryData.empty());
}

TEST_F(IORegistry, ExportValue_KeepsTheLeadingBackslashAndComesBack) {
  TRegistry reg(Store());
  ASSERT_TRUE(reg.OpenKey(Path("X"), true));
  reg.WriteString("v", "1");
  reg.WriteString("other", "2");

  auto io = MakeIO();
  io.ExportDestination = TExpImpSource::eiProperty;
  ASSERT_TRUE(io.ExportValue("HKEY_CURRENT_USER", Path("X"), "v", ""));
  EXPECT_EQ(io.RegistryData,
            (std::vector<std::string>{"", "[HKEY_CURRENT_USER\\" + Path("X") + "]", "\"v\"=\"1\""}));
  ASSERT_TRUE(io.ExportKey("HKEY_CURRENT_USER", Path("X"), "", false));
  EXPECT_EQ(io.RegistryData[4], "[HKEY_CURRENT_USER" + Path("X") + "]") << "the key export drops it";

  ASSERT_TRUE(reg.DeleteValue("v"));
  io.RegistryData.resize(3);
  io.ImportSource = TExpImpSource::eiProperty;
  ASSERT_TRUE(io.ImportRegistry(""));
  EXPECT_EQ(reg.ReadString("v"), "1");
}

TEST_F(IORegistry, ImportRegistry_ReadsTheSimpleGrammarAndTheEditorsForms) {
  const std::string k = Path("I");
  std::ostringstream file;
  file << "REGEDIT4\r\n"
       << "; a comment\r\n"
       << "\r\n"
       << "[HKEY_CURRENT_USER" << k << "]\r\n"
       << "\"a=b\"=\"c=d\"\r\n"                     // split at the first delimiter
       << "\"quoted\"=\"say \"hi\"\"\r\n"           // every quotation mark dropped
       << "@=\"default\"\n"                         // the editor's default value
       << "\"lower\"=dword:0000ff0a\r"              // lower-case digits, CR line end
       << "\"empty\"=hex:\r\n"
       << "\"wrapped\"=hex(2):25,00,41,00,\\\r\n"  // the editor's wrapped hex list
       << "  25,00,00,00\r\n"
       << "  stray text is skipped\r\n"
       << "[HKEY_FOO" << k << "\\Foo]\r\n"          // unknown root: HKEY_CURRENT_USER
       << "\"x\"=\"1\"\r\n"
       << "[HKEY_USERS\\.DEFAULT" << k << "]\r\n"
       << "\"u\"=\"2\"";                            // no line end at the end
  WriteFile("in.reg", file.str());
  auto io = MakeIO();
  ASSERT_TRUE(io.ImportRegistry(File("in.reg")));

  TRegistry reg(Store());
  ASSERT_TRUE(reg.OpenKey(k, false));
  EXPECT_EQ(reg.ReadString("a"), "b=c=d");
  EXPECT_EQ(reg.ReadString("quoted"), "say hi");
  EXPECT_EQ(reg.ReadString(""), "default");
  EXPECT_EQ(reg.ReadInteger("lower"), 0xff0a);
  RegValue empty, wrapped;
  ASSERT_EQ(reg.ReadRaw("empty", empty), found::QueryStatus::Ok);
  EXPECT_EQ(empty, (RegValue{found::kRegBinary, {}}));
  ASSERT_EQ(reg.ReadRaw("wrapped", wrapped), found::QueryStatus::Ok);
  EXPECT_EQ(wrapped, (RegValue{found::kRegExpandSz, found::EncodeRegText("%A%")}));
  ASSERT_TRUE(reg.OpenKey(k + "\\Foo", false));
  EXPECT_EQ(reg.ReadString("x"), "1");

  reg.SetRootKey(found::kHkeyUsers);
  ASSERT_TRUE(reg.OpenKey("\\.DEFAULT" + k, false));
  EXPECT_EQ(reg.ReadString("u"), "2");
  reg.CloseKey();
  EXPECT_TRUE(reg.DeleteKey("\\.DEFAULT\\Software\\CobaltineTests"));
}

TEST_F(IORegistry, ImportRegistry_StopsAtAFaultKeepingWhatCameBefore) {
  const std::string k = Path("F");
  auto io = MakeIO();
  io.ImportSource = TExpImpSource::eiProperty;
  io.RegistryData = {"[HKEY_CURRENT_USER" + k + "]", "\"first\"=\"1\"", "\"bad\"=dword:12zz", "\"after\"=\"2\""};
  EXPECT_THROW(io.ImportRegistry(""), found::EConvertError);
  TRegistry reg(Store());
  ASSERT_TRUE(reg.OpenKey(k, false));
  EXPECT_EQ(reg.ReadString("first"), "1");
  EXPECT_FALSE(reg.ValueExists("after"));

  io.RegistryData = {"\"orphan\"=\"1\""};
  EXPECT_THROW(io.ImportRegistry(""), found::ERegistryException) << "a value line before any key line";
  io.RegistryData = {"[HKEY_CURRENT_USER" + k + "]", "\"bin\"=hex:0g"};
  EXPECT_THROW(io.ImportRegistry(""), found::EConvertError);
}

TEST_F(IORegistry, ImportRegistry_MissingFileTellsTheUser) {
  auto io = MakeIO();
  EXPECT_FALSE(io.ImportRegistry(File("none.reg")));
  EXPECT_EQ(sandbox_->messages.shown(),
            std::vector<std::string>{"File \"" + File("none.reg") + "\" not found."});
}

}  // namespace
