#include <algorithm>

#include "scan_fixture.h"

namespace scantest {
namespace {

using cleaner::kKindDeleteKey;
using found::kHkeyClassesRoot;

const std::string kCaption = "Custom Controls";
const std::string kNoData = "This registry key contains no data.It can be deleted.";

Row Problem(const std::string& keyPath, const std::string& reason) {
  return {kHkeyClassesRoot, keyPath, "", "", reason, kKindDeleteKey};
}
std::string MissingServer(const std::string& server, const std::string& file) {
  return "This registry key points to the missing " + server + " " + file + ".The associated CLSID can be delected.";
}
std::string EmptyWin32(const std::string& keyPath) {
  return "The registry key " + keyPath + " contains no data.The associated Type library can be delected.";
}

class CustomControls : public ScanFixture {
 protected:
  void Text(const std::string& key, const std::string& name, const std::string& text) {
    SetText(kHkeyClassesRoot, key, name, text);
  }
  void Key(const std::string& key) { MakeKey(kHkeyClassesRoot, key); }
};

TEST_F(CustomControls, ClassIdsNeedTheirIconAndServerFiles) {
  MakeFile("C:\\Apps\\ok.dll");
  MakeFile("C:\\Apps\\app.exe");
  Text("\\CLSID\\{A}\\InprocServer32", "", "C:\\Gone\\x.dll");
  Text("\\CLSID\\{B}\\InprocServer32", "", "mscoree.dll");
  Text("\\CLSID\\{C}\\InprocServer32", "", "");
  Text("\\CLSID\\{C}\\InprocServer32", "ThreadingModel", "Apartment");
  Key("\\CLSID\\{D}\\InprocServer32");
  // An empty icon is reported whatever else its key holds.
  Text("\\CLSID\\{E}\\DefaultIcon", "", "");
  Text("\\CLSID\\{E}\\DefaultIcon", "Other", "x");
  Text("\\CLSID\\{F}\\DefaultIcon", "", "C:\\Gone\\f.ico,0");
  Text("\\CLSID\\{F}\\InprocServer32", "", "C:\\Apps\\ok.dll");
  Text("\\CLSID\\{G}\\InprocServer", "", "c:\\gone\\old.dll");
  Text("\\CLSID\\{G}\\LocalServer", "", "C:\\Gone\\srv.exe /x");
  Text("\\CLSID\\{G}\\LocalServer32", "", "\"C:\\Apps\\app.exe\" /automation");
  Key("\\CLSID\\{H}\\InprocServer32\\Sub");
  Text("\\CLSID\\{I}\\InprocServer32", "", "");
  Key("\\CLSID\\{J}");
  RunScan({4});
  EXPECT_EQ(fatal_, "");
  EXPECT_EQ(
      Rows(kCaption),
      (std::vector<Row>{
          Problem("\\CLSID\\{A}", MissingServer("InprocServer32", "C:\\Gone\\x.dll")),
          Problem("\\CLSID\\{D}", kNoData),
          Problem("\\CLSID\\{E}\\DefaultIcon", kNoData),
          Problem("\\CLSID\\{F}\\DefaultIcon", "This registry key points to the missing icon file C:\\Gone\\f.ico,0"),
          Problem("\\CLSID\\{G}", MissingServer("InprocServer", "c:\\gone\\old.dll")),
          Problem("\\CLSID\\{G}", MissingServer("LocalServer", "C:\\Gone\\srv.exe /x")),
          Problem("\\CLSID\\{I}", kNoData),
      }));
  ASSERT_FALSE(host_.problems.Roots().empty());
  EXPECT_EQ(host_.problems.Roots().front()->data.RootKey, 0u);
  EXPECT_EQ(host_.problems.Roots().front()->data.ImageIndex, 6);
}

TEST_F(CustomControls, InterfacesNeedTheirTypeLibraryAndProxyStub) {
  Text("\\Interface\\{I1}\\TypeLib", "", "{L-missing}");
  Text("\\Interface\\{I2}\\TypeLib", "", "{l-ok}");
  Key("\\TypeLib\\{L-OK}");
  Text("\\Interface\\{I3}\\ProxyStubClsid", "", "{C-missing}");
  Text("\\Interface\\{I3}\\ProxyStubClsid32", "", "{C-missing}");
  Text("\\Interface\\{I4}\\ProxyStubClsid32", "", "{C-ok}");
  Text("\\Interface\\{I4}\\TypeLib", "", "");
  Key("\\CLSID\\{C-ok}");
  RunScan({4});
  EXPECT_EQ(
      Rows(kCaption),
      (std::vector<Row>{
          Problem("\\Interface\\{I1}", "This registry key Points to the missing type library {L-missing}"),
          Problem("\\Interface\\{I3}\\ProxyStubClsid", "This registry key points to the missing CLSID {C-missing}"),
          Problem("\\Interface\\{I3}\\ProxyStubClsid32", "This registry key points to the missing CLSID {C-missing}"),
      }));
}

TEST_F(CustomControls, TypeLibrariesNeedTheirHelpFolderAndLibraryFiles) {
  MakeFile("C:\\Apps\\ok.dll");
  const std::string t1 = "\\Typelib\\{T1}\\1.0";
  Text(t1 + "\\HELPDIR", "", "C:\\Gone");  // names no file type that is judged
  Text(t1 + "\\0\\win32", "", "C:\\Gone\\t1.dll");
  Key(t1 + "\\409\\win32");
  Text(t1 + "\\9\\win32", "", "C:\\Apps\\ok.dll");
  Text(t1 + "\\FLAGS\\win32", "", "C:\\Gone\\flags.dll");
  const std::string t2 = "\\Typelib\\{T2}\\";
  Text(t2 + "2.0\\HELPDIR", "x", "1");
  Text(t2 + "2.1\\HELPDIR", "x", "1");
  Text(t2 + "2.1\\HELPDIR", "y", "2");
  Text(t2 + "2.2\\HELPDIR", "", "C:\\Gone\\Help\\doc.dll");
  // A default value set but empty is no named value: one named value beside it is still reported.
  Text(t2 + "2.3\\HELPDIR", "", "");
  Text(t2 + "2.3\\HELPDIR", "x", "1");
  Key(t2 + "2.4\\HELPDIR\\Sub");
  Text(t2 + "2.5\\0\\win32", "x", "1");
  Text(t2 + "2.6\\0\\win32", "x", "1");
  Text(t2 + "2.6\\0\\win32", "y", "2");
  RunScan({4});
  EXPECT_EQ(Rows(kCaption),
            (std::vector<Row>{
                Problem("\\Typelib\\{T1}", "This registry key points to the missing file C:\\Gone\\t1.dll"),
                Problem("\\Typelib\\{T1}", EmptyWin32("\\Typelib\\{T1}\\1.0\\409\\win32")),
                Problem(t2 + "2.0\\HELPDIR", kNoData),
                Problem(t2 + "2.2\\HELPDIR", "This registry key points to the missing folder C:\\Gone\\Help\\doc.dll"),
                Problem(t2 + "2.3\\HELPDIR", kNoData),
                Problem("\\Typelib\\{T2}", EmptyWin32(t2 + "2.5\\0\\win32")),
            }));
}

TEST_F(CustomControls, OnlyLanguageKeysThatReadAsIntegersAreExamined) {
  struct Case {
    const char* name;
    bool examined;
  };
  const std::vector<Case> cases = {
      {"0", true},           {"9", true},           {"409", true},         {"-1", true},       {"+7", true},
      {"$1a", true},         {"0x10", true},        {"X9", true},          {" 12", true},      {"2147483647", true},
      {"-2147483648", true}, {"$FFFFFFFF", true},   {"FLAGS", false},      {"HELPDIR", false}, {"c0a", false},
      {"1.0", false},        {"409a", false},       {"12 ", false},        {"-", false},       {"$", false},
      {"0x", false},         {"2147483648", false}, {"$100000000", false}, {"1e3", false},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    Text("\\Typelib\\{T}\\1.0\\" + std::string(cases[i].name) + "\\win32", "",
         "C:\\Gone\\n" + std::to_string(i) + ".dll");
  }
  RunScan({4});
  const auto rows = Rows(kCaption);
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    const Row expected = Problem(
        "\\Typelib\\{T}", "This registry key points to the missing file C:\\Gone\\n" + std::to_string(i) + ".dll");
    EXPECT_EQ(std::count(rows.begin(), rows.end(), expected), cases[i].examined ? 1 : 0);
  }
}

TEST_F(CustomControls, ProgressSharesTheBarInThirds) {
  // 100 class ids, 50 interfaces and 2 libraries: the dialog shows reports
  // 51, 101 and 151.
  auto twoDigits = [](int i) { return std::string(i < 10 ? "0" : "") + std::to_string(i); };
  for (int i = 0; i < 100; ++i) Key("\\CLSID\\{c0" + twoDigits(i) + "}");
  for (int i = 0; i < 50; ++i) Key("\\Interface\\{i" + twoDigits(i) + "}");
  Key("\\Typelib\\{t0}");
  Key("\\Typelib\\{t1}");
  RunScan({4});
  std::vector<int> positions;
  std::vector<std::string> keys;
  for (const auto& call : host_.calls) {
    if (call.what == "position") positions.push_back(call.value);
    if (call.what == "key") keys.push_back(call.text);
  }
  EXPECT_EQ(positions, (std::vector<int>{17, 34, 82})) << "82.5 rounds to the even neighbour";
  EXPECT_EQ(keys, (std::vector<std::string>{"", "CLSID\\{c050}", "Interface\\{i00}", "Typelib\\{t0}"}));
}

TEST_F(CustomControls, StopRequestIsLookedAtPerClassIdInterfaceAndLibrary) {
  Text("\\CLSID\\{A}\\InprocServer", "", "C:\\Gone\\a.dll");
  Text("\\CLSID\\{A}\\LocalServer32", "", "C:\\Gone\\a.exe");
  Text("\\CLSID\\{B}\\InprocServer32", "", "C:\\Gone\\b.dll");
  Text("\\Typelib\\{T1}\\1.0\\0\\win32", "", "C:\\Gone\\t10.dll");
  Text("\\Typelib\\{T1}\\2.0\\0\\win32", "", "C:\\Gone\\t20.dll");
  Text("\\Typelib\\{T1}\\2.0\\9\\win32", "", "C:\\Gone\\t29.dll");
  Text("\\Typelib\\{T2}\\1.0\\0\\win32", "", "C:\\Gone\\t2.dll");
  const Row a1 = Problem("\\CLSID\\{A}", MissingServer("InprocServer", "C:\\Gone\\a.dll"));
  const Row a2 = Problem("\\CLSID\\{A}", MissingServer("LocalServer32", "C:\\Gone\\a.exe"));
  const Row b = Problem("\\CLSID\\{B}", MissingServer("InprocServer32", "C:\\Gone\\b.dll"));
  auto missingFile = [](const std::string& file) {
    return Problem("\\Typelib\\{T1}", "This registry key points to the missing file C:\\Gone\\" + file);
  };
  struct Case {
    const char* name;
    std::string stopAt;
    std::vector<Row> rows;
  };
  const std::vector<Case> cases = {
      {"class ids: the servers of the class in hand are all looked at", "\\CLSID\\{A}", {a1, a2}},
      {"libraries: every version and language of the library in hand",
       "\\Typelib\\{T1}",
       {a1, a2, b, missingFile("t10.dll"), missingFile("t20.dll"), missingFile("t29.dll")}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RunScanStoppingAt({4, 16}, c.stopAt);
    EXPECT_EQ(Rows(kCaption), c.rows);
    ASSERT_FALSE(host_.problems.Roots().empty());
    EXPECT_EQ(host_.problems.Roots().front()->data.ProblemCount, static_cast<int>(c.rows.size()));
  }
}

TEST_F(CustomControls, ValueThatIsNotTextIsNotJudged) {
  const found::RegValue number{found::kRegDword, {1, 0, 0, 0}};
  SetValue(kHkeyClassesRoot, "\\CLSID\\{A}\\DefaultIcon", "", number);
  SetValue(kHkeyClassesRoot, "\\CLSID\\{A}\\InprocServer32", "", number);
  Text("\\CLSID\\{A}\\LocalServer32", "", "C:\\Gone\\a.exe");
  SetValue(kHkeyClassesRoot, "\\Interface\\{I}\\TypeLib", "", number);
  SetValue(kHkeyClassesRoot, "\\Interface\\{I}\\ProxyStubClsid", "", number);
  Text("\\Interface\\{I}\\ProxyStubClsid32", "", "{missing}");
  SetValue(kHkeyClassesRoot, "\\Typelib\\{T}\\1.0\\HELPDIR", "", number);
  SetValue(kHkeyClassesRoot, "\\Typelib\\{T}\\1.0\\0\\win32", "", number);
  Text("\\Typelib\\{T}\\1.0\\9\\win32", "", "C:\\Gone\\t.dll");
  RunScan({4, 16});
  EXPECT_EQ(fatal_, "");
  EXPECT_EQ(
      Rows(kCaption),
      (std::vector<Row>{
          Problem("\\CLSID\\{A}", MissingServer("LocalServer32", "C:\\Gone\\a.exe")),
          Problem("\\Interface\\{I}\\ProxyStubClsid32", "This registry key points to the missing CLSID {missing}"),
          Problem("\\Typelib\\{T}", "This registry key points to the missing file C:\\Gone\\t.dll"),
      }));
  const auto announced = std::count_if(host_.calls.begin(), host_.calls.end(),
                                       [](const DialogCall& c) { return c.text == "Scaning Device Drivers..."; });
  EXPECT_EQ(announced, 1) << "the next section still runs";
}

}  // namespace
}  // namespace scantest
