// The file-system contract, run on the sandbox and (under Wine) on the real
// file system; the sandbox's own Windows emulation; the code page; text files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "foundation/backends/sandbox/sandbox_files.h"
#include "foundation/backends/sandbox/sandbox_system.h"
#include "foundation/platform.h"
#include "foundation/text.h"
#include "foundation/textfile.h"

#ifdef _WIN32
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "foundation/backends/win32/wide.h"
#include "foundation/backends/win32/win32_files.h"
#include "foundation/backends/win32/win32_shell.h"
#include "foundation/backends/win32/win32_system.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace {

using found::DirEntry;
using found::FileSystem;

// One backend with an empty scratch folder of its own.
class FileBackend {
 public:
  virtual ~FileBackend() = default;
  virtual FileSystem& files() = 0;
  // The scratch folder, without a trailing backslash.
  virtual std::string base() = 0;
  virtual std::optional<std::string> ShortForm(const std::string& path) = 0;
  // Makes a file that DeleteOneFile and WriteFileReplace must leave alone.
  virtual bool MakeUndeletable(const std::string& path) = 0;
  // A file of that size whose bytes take no disk space.
  virtual bool MakeSparseFile(const std::string& path, std::uint64_t size) = 0;
};

class SandboxBackend : public FileBackend {
 public:
  SandboxBackend() : files_(root_.path()) { ok_ = files_.CreateFolder("C:\\Scratch"); }
  FileSystem& files() override { return files_; }
  std::string base() override { return ok_ ? "C:\\Scratch" : "C:\\scratch folder was not made"; }
  std::optional<std::string> ShortForm(const std::string& path) override { return files_.ShortPathName(path); }
  bool MakeUndeletable(const std::string& path) override { return files_.Lock(path); }
  bool MakeSparseFile(const std::string& path, std::uint64_t size) override {
    if (!files_.WriteFileReplace(path, "")) return false;
    const std::optional<std::filesystem::path> host = files_.HostPath(path);
    std::error_code ec;
    if (host) std::filesystem::resize_file(*host, size, ec);
    return host && !ec;
  }

 private:
  found::TempHostFolder root_;
  found::SandboxFileSystem files_;
  bool ok_ = false;
};

#ifdef _WIN32
class Win32Backend : public FileBackend {
 public:
  Win32Backend() {
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH, temp);
    base_ = found::Narrow(temp) + "cobalt-files-" + std::to_string(::GetCurrentProcessId()) + "-" +
            std::to_string(counter_++);
    ok_ = ::CreateDirectoryW(found::Widen(base_).c_str(), nullptr) != 0;
  }
  ~Win32Backend() override {
    for (const std::string& path : readOnly_) {
      ::SetFileAttributesW(found::Widen(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::error_code ec;
    std::filesystem::remove_all(std::filesystem::path(found::Widen(base_)), ec);
  }
  FileSystem& files() override { return files_; }
  std::string base() override { return ok_ ? base_ : base_ + " was not made"; }
  std::optional<std::string> ShortForm(const std::string& path) override {
    wchar_t buffer[1024] = {};
    const DWORD n = ::GetShortPathNameW(found::Widen(path).c_str(), buffer, 1024);
    if (n == 0 || n >= 1024) return std::nullopt;
    return found::Narrow(buffer);
  }
  bool MakeUndeletable(const std::string& path) override {
    readOnly_.push_back(path);
    return ::SetFileAttributesW(found::Widen(path).c_str(), FILE_ATTRIBUTE_READONLY) != 0;
  }
  bool MakeSparseFile(const std::string& path, std::uint64_t size) override {
    const HANDLE file = ::CreateFileW(found::Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(size);
    const bool ok = ::SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && ::SetEndOfFile(file);
    ::CloseHandle(file);
    return ok;
  }

 private:
  static inline int counter_ = 0;
  found::Win32FileSystem files_;
  std::string base_;
  std::vector<std::string> readOnly_;
  bool ok_ = false;
};
#endif

struct BackendParam {
  std::string name;
  std::function<std::unique_ptr<FileBackend>()> make;
};

std::vector<BackendParam> Backends() {
  std::vector<BackendParam> v{{"Sandbox", [] { return std::make_unique<SandboxBackend>(); }}};
#ifdef _WIN32
  v.push_back({"Win32", [] { return std::make_unique<Win32Backend>(); }});
#endif
  return v;
}

std::vector<std::string> SortedNames(const std::vector<DirEntry>& entries) {
  std::vector<std::string> names;
  for (const DirEntry& e : entries) names.push_back(e.name);
  std::sort(names.begin(), names.end());
  return names;
}

const DirEntry* Entry(const std::vector<DirEntry>& entries, const std::string& name) {
  for (const DirEntry& e : entries) {
    if (e.name == name) return &e;
  }
  return nullptr;
}

class FileSystemContract : public ::testing::TestWithParam<BackendParam> {
 protected:
  void SetUp() override {
    backend_ = GetParam().make();
    ASSERT_TRUE(fs().DirectoryExists(base())) << base();
  }
  FileSystem& fs() { return backend_->files(); }
  std::string base() { return backend_->base(); }
  std::string At(const std::string& below) { return base() + "\\" + below; }

  // base\Docs\Readme.txt (5 bytes), base\Docs\Notes.log (3 bytes), base\Docs\Sub.
  void MakeDocs() {
    ASSERT_TRUE(fs().CreateFolder(At("Docs")));
    ASSERT_TRUE(fs().WriteFileReplace(At("Docs\\Readme.txt"), "hello"));
    ASSERT_TRUE(fs().WriteFileReplace(At("Docs\\Notes.log"), "abc"));
    ASSERT_TRUE(fs().CreateFolder(At("Docs\\Sub")));
  }

  std::unique_ptr<FileBackend> backend_;
};

TEST_P(FileSystemContract, Exists_AnswersByKindOfItem) {
  MakeDocs();
  struct Row {
    const char* name;
    std::string path;
    bool file, folder;
  };
  const Row rows[] = {
      {"file", At("Docs\\Readme.txt"), true, false},
      {"file named in other case", found::UpperCase(At("docs\\readme.txt")), true, false},
      {"folder", At("Docs"), false, true},
      {"folder with backslash", At("Docs\\"), false, true},
      {"file with backslash", At("Docs\\Readme.txt\\"), false, false},
      {"missing", At("Docs\\None.txt"), false, false},
      {"below a file", At("Docs\\Readme.txt\\x"), false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(fs().FileExists(row.path), row.file);
    EXPECT_EQ(fs().DirectoryExists(row.path), row.folder);
  }
}

TEST_P(FileSystemContract, FindFiles_ListsEntriesWithDotsSizesAndKinds) {
  MakeDocs();
  std::vector<DirEntry> all;
  ASSERT_TRUE(fs().FindFiles(At("Docs\\*"), all));
  EXPECT_EQ(SortedNames(all), (std::vector<std::string>{".", "..", "Notes.log", "Readme.txt", "Sub"}));
  const DirEntry* readme = Entry(all, "Readme.txt");
  const DirEntry* sub = Entry(all, "Sub");
  ASSERT_TRUE(readme && sub);
  EXPECT_EQ(readme->size, 5u);
  EXPECT_EQ(readme->attributes & found::kAttrDirectory, 0u);
  EXPECT_NE(sub->attributes & found::kAttrDirectory, 0u);
  EXPECT_NE(readme->lastWriteTime, 0u);
  EXPECT_NE(readme->creationTime, 0u);

  struct Row {
    const char* name;
    std::string pattern;
    std::vector<std::string> expected;  // empty: nothing found
  };
  const Row rows[] = {
      {"extension", At("Docs\\*.txt"), {"Readme.txt"}},
      {"question mark", At("Docs\\R?adme.*"), {"Readme.txt"}},
      {"plain name in other case gives the stored name", At("Docs\\README.TXT"), {"Readme.txt"}},
      {"folder named without pattern", At("Docs"), {"Docs"}},
      {"no match", At("Docs\\*.none"), {}},
      {"missing folder", At("Nope\\*"), {}},
      {"trailing backslash", At("Docs\\"), {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<DirEntry> found{DirEntry{"untouched"}};
    const bool ok = fs().FindFiles(row.pattern, found);
    EXPECT_EQ(ok, !row.expected.empty());
    EXPECT_EQ(SortedNames(found), row.expected.empty() ? std::vector<std::string>{"untouched"} : row.expected);
  }
}

TEST_P(FileSystemContract, FindFiles_ReportsSizesBeyond4GiB) {
  const std::uint64_t size = (5ull << 30) + 1;
  ASSERT_TRUE(backend_->MakeSparseFile(At("big.bin"), size));
  std::vector<DirEntry> entries;
  ASSERT_TRUE(fs().FindFiles(At("big.bin"), entries));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].size, size);
}

TEST_P(FileSystemContract, DeleteAndRemove_EachOnlyItsOwnKind) {
  MakeDocs();
  EXPECT_FALSE(fs().DeleteOneFile(At("Docs\\Sub")));
  EXPECT_FALSE(fs().RemoveEmptyFolder(At("Docs\\Readme.txt")));
  EXPECT_FALSE(fs().RemoveEmptyFolder(At("Docs")));  // not empty
  EXPECT_FALSE(fs().DeleteOneFile(At("Docs\\None.txt")));
  EXPECT_TRUE(fs().DirectoryExists(At("Docs\\Sub")));
  EXPECT_TRUE(fs().FileExists(At("Docs\\Readme.txt")));

  EXPECT_TRUE(fs().DeleteOneFile(At("DOCS\\readme.TXT")));
  EXPECT_TRUE(fs().DeleteOneFile(At("Docs\\Notes.log")));
  EXPECT_TRUE(fs().RemoveEmptyFolder(At("Docs\\sub")));
  EXPECT_TRUE(fs().RemoveEmptyFolder(At("Docs")));
  EXPECT_FALSE(fs().DirectoryExists(At("Docs")));
}

TEST_P(FileSystemContract, CreateFolder_KeepsCaseAndRefusesExistingOrOrphan) {
  EXPECT_TRUE(fs().CreateFolder(At("New Folder")));
  std::vector<DirEntry> entries;
  ASSERT_TRUE(fs().FindFiles(At("new folder"), entries));
  EXPECT_EQ(entries[0].name, "New Folder");
  EXPECT_FALSE(fs().CreateFolder(At("NEW FOLDER")));
  EXPECT_FALSE(fs().CreateFolder(At("Missing\\Child")));
  EXPECT_FALSE(fs().DirectoryExists(At("Missing")));
}

TEST_P(FileSystemContract, LongPathName_ExpandsShortNamesOrGivesNothing) {
  ASSERT_TRUE(fs().CreateFolder(At("Long Folder Name")));
  ASSERT_TRUE(fs().WriteFileReplace(At("Long Folder Name\\Inner File.txt"), "x"));
  ASSERT_TRUE(fs().WriteFileReplace(At("Long Folder Name\\Inner.txt"), "x"));
  const std::optional<std::string> givenBase = fs().LongPathName(base());
  ASSERT_TRUE(givenBase);
  // A name that cannot be a short one keeps the case it was given in; one
  // that could be gets the name on disk.
  EXPECT_EQ(fs().LongPathName(At("LONG FOLDER NAME\\INNER FILE.TXT")),
            *givenBase + "\\LONG FOLDER NAME\\INNER FILE.TXT");
  EXPECT_EQ(fs().LongPathName(At("LONG FOLDER NAME\\INNER.TXT")), *givenBase + "\\LONG FOLDER NAME\\Inner.txt");

  // Short names become the names on disk.
  const std::optional<std::string> shortBase = backend_->ShortForm(base());
  ASSERT_TRUE(shortBase);
  const std::optional<std::string> longBase = fs().LongPathName(*shortBase);
  ASSERT_TRUE(longBase);
  const std::string expected = *longBase + "\\Long Folder Name\\Inner File.txt";
  const std::optional<std::string> shortForm = backend_->ShortForm(At("Long Folder Name\\Inner File.txt"));
  ASSERT_TRUE(shortForm);
  EXPECT_EQ(shortForm->find("Long Folder Name"), std::string::npos) << *shortForm;
  EXPECT_EQ(fs().LongPathName(*shortForm), expected);
  EXPECT_EQ(fs().LongPathName(At("Long Folder Name\\Missing.txt")), std::nullopt);
}

TEST_P(FileSystemContract, WriteFileReplace_ReplacesWholeFileAndLeavesNoTemporary) {
  const std::string path = At("data.bin");
  ASSERT_TRUE(fs().WriteFileReplace(path, "a first version that is longer"));
  const std::string second("v2\0\xff\r\n", 6);
  ASSERT_TRUE(fs().WriteFileReplace(found::UpperCase(path), second));
  std::string read;
  ASSERT_TRUE(fs().ReadWholeFile(path, read));
  EXPECT_EQ(read, second);

  std::vector<DirEntry> entries;
  ASSERT_TRUE(fs().FindFiles(At("*"), entries));
  EXPECT_EQ(SortedNames(entries), (std::vector<std::string>{".", "..", "data.bin"}));

  EXPECT_FALSE(fs().WriteFileReplace(At("Missing\\data.bin"), "x"));
  ASSERT_TRUE(fs().CreateFolder(At("Folder")));
  EXPECT_FALSE(fs().WriteFileReplace(At("Folder"), "x"));
  EXPECT_TRUE(fs().DirectoryExists(At("Folder")));
  std::string untouched = "untouched";
  EXPECT_FALSE(fs().ReadWholeFile(At("missing.bin"), untouched));
  EXPECT_EQ(untouched, "untouched");
}

TEST_P(FileSystemContract, UndeletableFile_SurvivesDeleteAndReplace) {
  const std::string path = At("kept.txt");
  ASSERT_TRUE(fs().WriteFileReplace(path, "original"));
  ASSERT_TRUE(backend_->MakeUndeletable(path));
  EXPECT_FALSE(fs().DeleteOneFile(path));
  EXPECT_FALSE(fs().WriteFileReplace(path, "replaced"));
  std::string read;
  ASSERT_TRUE(fs().ReadWholeFile(path, read));
  EXPECT_EQ(read, "original");
  std::vector<DirEntry> entries;
  ASSERT_TRUE(fs().FindFiles(At("*"), entries));
  EXPECT_EQ(SortedNames(entries), (std::vector<std::string>{".", "..", "kept.txt"}));
  EXPECT_NE(Entry(entries, "kept.txt")->attributes & found::kAttrReadOnly, 0u);
}

INSTANTIATE_TEST_SUITE_P(Backends, FileSystemContract, ::testing::ValuesIn(Backends()),
                         [](const ::testing::TestParamInfo<BackendParam>& info) { return info.param.name; });

// What only the sandbox has to get right: Windows' naming rules on a host
// file system that has none of them.
class SandboxFilesTest : public ::testing::Test {
 protected:
  found::TempHostFolder root_;
  found::SandboxFileSystem files_{root_.path()};
};

TEST_F(SandboxFilesTest, ShortNames_FollowWindowsRules) {
  ASSERT_TRUE(files_.CreateFolder("C:\\Names"));
  struct Row {
    const char* name;
    const char* longName;
    const char* shortName;
  };
  const Row rows[] = {
      {"collision, first in name order", "Documents and More", "DOCUME~1"},
      {"collision, second in name order", "Documents and Settings", "DOCUME~2"},
      {"valid 8.3 name is its own", "readme.txt", "readme.txt"},
      {"extension cut to three", "Long Extension.html", "LONGEX~1.HTM"},
      {"blanks and inner dots dropped", "my.file name.txt", "MYFILE~1.TXT"},
      {"invalid characters become _", "a+b=c[1].txt", "A_B_C_~1.TXT"},
  };
  // Created out of name order: the numbering must not follow creation.
  for (auto it = std::rbegin(rows); it != std::rend(rows); ++it) {
    ASSERT_TRUE(files_.CreateFolder(std::string("C:\\Names\\") + it->longName));
  }
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string longPath = std::string("C:\\Names\\") + row.longName;
    EXPECT_EQ(files_.ShortPathName(longPath), std::string("C:\\Names\\") + row.shortName);
    EXPECT_EQ(files_.LongPathName(std::string("c:\\names\\") + row.shortName),
              "c:\\Names\\" + std::string(row.longName));
  }
}

TEST_F(SandboxFilesTest, LongPathName_ExpandsNestedShortNames) {
  ASSERT_TRUE(files_.CreateFolder("C:\\Documents and Settings"));
  ASSERT_TRUE(files_.CreateFolder("C:\\Documents and Settings\\X"));
  ASSERT_TRUE(files_.CreateFolder("C:\\Documents and Settings\\X\\Local Settings"));
  ASSERT_TRUE(files_.CreateFolder("C:\\Documents and Settings\\X\\Local Settings\\Temp"));
  EXPECT_EQ(files_.LongPathName("C:\\DOCUME~1\\X\\LOCALS~1\\Temp"),
            "C:\\Documents and Settings\\X\\Local Settings\\Temp");
  EXPECT_EQ(files_.LongPathName("C:\\DOCUME~1\\X\\LOCALS~1\\Temp\\"),
            "C:\\Documents and Settings\\X\\Local Settings\\Temp\\");
  EXPECT_EQ(files_.LongPathName("C:\\DOCUME~2"), std::nullopt);
  EXPECT_TRUE(files_.DirectoryExists("C:\\DOCUME~1\\x\\locals~1"));
}

TEST_F(SandboxFilesTest, PathsWithoutDriveAndFolder_AreNotFound) {
  ASSERT_TRUE(files_.CreateFolder("C:\\Docs"));
  ASSERT_TRUE(files_.WriteFileReplace("C:\\Docs\\a.txt", "x"));
  ASSERT_TRUE(files_.FileExists("C:/Docs/a.txt"));
  const char* const paths[] = {"\\\\server\\share\\Docs\\a.txt", "Docs\\a.txt", "\\Docs\\a.txt", "C:Docs\\a.txt",
                               "D:\\Docs\\a.txt", "C:\\Docs\\*.txt", ""};
  for (const char* path : paths) {
    SCOPED_TRACE(path);
    EXPECT_FALSE(files_.FileExists(path));
    EXPECT_EQ(files_.LongPathName(path), std::nullopt);
  }
}

TEST_F(SandboxFilesTest, FindFiles_DriveRootHasNoDotEntries) {
  ASSERT_TRUE(files_.CreateFolder("C:\\Windows"));
  std::vector<DirEntry> entries;
  ASSERT_TRUE(files_.FindFiles("C:\\*", entries));
  EXPECT_EQ(SortedNames(entries), (std::vector<std::string>{"Windows"}));
}

#ifndef _WIN32
TEST_F(SandboxFilesTest, FindFiles_ConvertsHostTimesToFileTimes) {
  ASSERT_TRUE(files_.WriteFileReplace("C:\\t.txt", "x"));
  const std::optional<std::filesystem::path> host = files_.HostPath("C:\\t.txt");
  ASSERT_TRUE(host);
  // 2001-09-09 01:46:40.5 UTC for both access and write.
  const timespec times[2] = {{1000000000, 500000000}, {1000000000, 500000000}};
  ASSERT_EQ(::utimensat(AT_FDCWD, host->c_str(), times, 0), 0);
  std::vector<DirEntry> entries;
  ASSERT_TRUE(files_.FindFiles("C:\\t.txt", entries));
  EXPECT_EQ(entries[0].lastWriteTime, 126444736005000000u);
  EXPECT_EQ(entries[0].lastAccessTime, 126444736005000000u);
}
#endif

// The code page: the sandbox's Windows-1252 and, under Wine, the system's
// (Wine's is 1252 too), answering alike.
struct CodePageParam {
  std::string name;
  std::function<std::unique_ptr<found::CodePage>()> make;
};

std::vector<CodePageParam> CodePages() {
  std::vector<CodePageParam> v{{"Sandbox", [] { return std::make_unique<found::SandboxCodePage>(); }}};
#ifdef _WIN32
  v.push_back({"Win32", [] { return std::make_unique<found::Win32CodePage>(); }});
#endif
  return v;
}

class CodePageContract : public ::testing::TestWithParam<CodePageParam> {};

TEST_P(CodePageContract, ToAnsi_GivesWindows1252OrNothing) {
  const std::unique_ptr<found::CodePage> cp = GetParam().make();
  struct Row {
    const char* name;
    std::string utf8;
    std::optional<std::string> ansi;
  };
  const Row rows[] = {
      {"empty", "", ""},
      {"ascii", "Ab 1", "Ab 1"},
      {"latin-1 letters", "Gr\u00f6\u00dfe", "Gr\xf6\xdf" "e"},
      {"euro sign at 0x80", "\u20ac", "\x80"},
      {"Y with diaeresis at 0x9F", "\u0178", "\x9f"},
      {"left quote at 0x91", "\u2018", "\x91"},
      {"Greek has no form", "a\u03a9", std::nullopt},
      {"no best fit: a with macron is not a", "\u0101", std::nullopt},
      {"outside the basic plane", "\U0001F600", std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(cp->ToAnsi(row.utf8), row.ansi);
  }
}

TEST_P(CodePageContract, EveryByte_SurvivesTheRoundTrip) {
  const std::unique_ptr<found::CodePage> cp = GetParam().make();
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  const std::string utf8 = cp->FromAnsi(all);
  EXPECT_EQ(cp->ToAnsi(utf8), all);
  EXPECT_EQ(cp->FromAnsi("\x80\x9f\xe9"), "\u20ac\u0178\u00e9");
}

INSTANTIATE_TEST_SUITE_P(CodePages, CodePageContract, ::testing::ValuesIn(CodePages()),
                         [](const ::testing::TestParamInfo<CodePageParam>& info) { return info.param.name; });

// Text files through the platform: the sandbox's files and code page.
class TextFileTest : public ::testing::Test {
 protected:
  void SetUp() override { sandbox_.Install(); }
  found::SandboxPlatform sandbox_;
};

TEST(SplitLines, EndsLinesAtCrLfOrBoth) {
  struct Row {
    const char* name;
    std::string text;
    std::vector<std::string> lines;
  };
  const Row rows[] = {
      {"empty", "", {}},
      {"no final break", "a", {"a"}},
      {"CR LF", "a\r\nb\r\n", {"a", "b"}},
      {"mixed", "a\rb\nc", {"a", "b", "c"}},
      {"empty line between", "a\n\nb", {"a", "", "b"}},
      {"LF then CR is two breaks", "a\n\rb", {"a", "", "b"}},
      {"only a break", "\r\n", {""}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(found::SplitLines(row.text), row.lines);
  }
}

TEST_F(TextFileTest, Save_WritesCodePageWithCrLfAfterEveryLine) {
  ASSERT_TRUE(found::SaveTextLines("C:\\out.txt", {"Gr\u00f6\u00dfe \u20ac", "", "last"}));
  std::string bytes;
  ASSERT_TRUE(sandbox_.files.ReadWholeFile("C:\\out.txt", bytes));
  EXPECT_EQ(bytes, "Gr\xf6\xdf" "e \x80\r\n\r\nlast\r\n");
  std::vector<std::string> lines;
  ASSERT_TRUE(found::LoadTextLines("C:\\out.txt", lines));
  EXPECT_EQ(lines, (std::vector<std::string>{"Gr\u00f6\u00dfe \u20ac", "", "last"}));
}

TEST_F(TextFileTest, Save_RefusesLineWithoutCodePageFormAndKeepsFile) {
  ASSERT_TRUE(found::SaveTextLines("C:\\out.txt", {"old"}));
  EXPECT_FALSE(found::SaveTextLines("C:\\out.txt", {"fine", "\u03a9mega"}));
  std::string bytes;
  ASSERT_TRUE(sandbox_.files.ReadWholeFile("C:\\out.txt", bytes));
  EXPECT_EQ(bytes, "old\r\n");
  std::vector<std::string> untouched{"untouched"};
  EXPECT_FALSE(found::LoadTextLines("C:\\missing.txt", untouched));
  EXPECT_EQ(untouched, std::vector<std::string>{"untouched"});
}

#ifdef _WIN32
// Shortcuts made by the shell's own link object, read back through Win32Shell.
class Win32ShortcutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH, temp);
    folder_ = found::Narrow(temp) + "cobalt-links-" + std::to_string(::GetCurrentProcessId());
    ::CreateDirectoryW(found::Widen(folder_).c_str(), nullptr);
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  }
  void TearDown() override {
    ::CoUninitialize();
    std::error_code ec;
    std::filesystem::remove_all(std::filesystem::path(found::Widen(folder_)), ec);
  }

  static bool SaveLink(const std::string& lnk, const std::string& target) {
    IShellLinkW* link = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&link)))) {
      return false;
    }
    IPersistFile* file = nullptr;
    bool ok = SUCCEEDED(link->SetPath(found::Widen(target).c_str())) &&
              SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
              SUCCEEDED(file->Save(found::Widen(lnk).c_str(), TRUE));
    if (file) file->Release();
    link->Release();
    return ok;
  }

  std::string folder_;
  found::Win32Shell shell_;
};

TEST_F(Win32ShortcutTest, ShortcutTarget_ReadsExistingAndMissingTargets) {
  const std::string existing = folder_ + "\\target \u00e9.txt";
  {
    found::Win32FileSystem files;
    ASSERT_TRUE(files.WriteFileReplace(existing, "x"));
  }
  const std::string missing = folder_ + "\\gone\\app.exe";
  ASSERT_TRUE(SaveLink(folder_ + "\\to existing.lnk", existing));
  ASSERT_TRUE(SaveLink(folder_ + "\\to missing.lnk", missing));
  {
    found::Win32FileSystem files;
    ASSERT_TRUE(files.WriteFileReplace(folder_ + "\\not a link.lnk", "plain text"));
  }

  struct Row {
    const char* name;
    std::string lnk;
    std::optional<std::string> target;
  };
  const Row rows[] = {
      {"existing target", folder_ + "\\to existing.lnk", existing},
      {"missing target is still read", folder_ + "\\to missing.lnk", missing},
      {"not a shortcut", folder_ + "\\not a link.lnk", std::nullopt},
      {"no such file", folder_ + "\\nothing.lnk", std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::optional<std::string> target = shell_.ShortcutTarget(row.lnk);
    ASSERT_EQ(target.has_value(), row.target.has_value());
    if (target) {
      EXPECT_TRUE(found::SameText(*target, *row.target)) << *target;
    }
  }
}
#endif

}  // namespace
