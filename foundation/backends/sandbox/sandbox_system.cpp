#include "foundation/backends/sandbox/sandbox_system.h"

#include <algorithm>
#include <system_error>

#include "foundation/text.h"

namespace found {
namespace fs = std::filesystem;

namespace {

// Code points of the bytes 0x80-0x9F in Windows-1252.
constexpr char16_t kHigh1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::optional<char> To1252(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (int i = 0; i < 32; ++i) {
    if (kHigh1252[i] == c) return static_cast<char>(0x80 + i);
  }
  return std::nullopt;
}

std::string ExtensionOf(const std::string& path) {
  const size_t sep = path.find_last_of("\\/:");
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos || (sep != std::string::npos && dot < sep)) return "";
  return path.substr(dot);
}

}  // namespace

std::optional<std::string> SandboxSystemInfo::Environment(const std::string& name) {
  const auto it = environment_.find(name);
  if (it == environment_.end()) return std::nullopt;
  return it->second;
}

std::optional<std::string> SandboxCodePage::ToAnsi(const std::string& utf8) {
  std::string out;
  for (const char16_t c : Utf8ToUtf16(utf8)) {
    const std::optional<char> b = To1252(c);
    if (!b) return std::nullopt;
    out += *b;
  }
  return out;
}

std::string SandboxCodePage::FromAnsi(const std::string& ansi) {
  std::u16string wide;
  for (const char ch : ansi) {
    const unsigned char b = static_cast<unsigned char>(ch);
    wide += (b >= 0x80 && b < 0xA0) ? kHigh1252[b - 0x80] : static_cast<char16_t>(b);
  }
  return Utf16ToUtf8(wide);
}

SandboxShell::SandboxShell(SandboxFileSystem& files)
    : files_(files), recycleBin_(files.Root() / "recycle-bin") {
  std::error_code ec;
  fs::create_directories(recycleBin_, ec);
}

bool SandboxShell::Open(const std::string& target) {
  std::lock_guard<std::mutex> lock(mutex_);
  opened_.push_back(target);
  return true;
}

bool SandboxShell::ShowProperties(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  propertiesShown_.push_back(path);
  return propertiesResult_;
}

std::vector<std::string> SandboxShell::opened() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return opened_;
}

std::vector<std::string> SandboxShell::propertiesShown() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return propertiesShown_;
}

// Deletes what it can, as the shell does, and answers whether everything went.
bool SandboxShell::DeleteHostTree(const fs::path& host) {
  std::error_code ec;
  bool complete = true;
  if (fs::is_directory(host, ec)) {
    std::vector<fs::path> children;
    for (fs::directory_iterator it(host, ec), end; !ec && it != end; it.increment(ec)) children.push_back(it->path());
    if (ec) return false;
    for (const fs::path& child : children) complete = DeleteHostTree(child) && complete;
  }
  if (!complete || files_.IsLockedHost(host)) return false;
  return fs::remove(host, ec);
}

bool SandboxShell::DeleteItem(const std::string& path, bool toRecycleBin) {
  const std::optional<SandboxFileSystem::Resolved> r = files_.Resolve(path);
  // A drive itself cannot be deleted.
  if (!r || r->longPath.size() <= 2) return false;
  if (!toRecycleBin) return DeleteHostTree(r->host);
  if (files_.HasLockedHost(r->host)) return false;
  std::lock_guard<std::mutex> lock(mutex_);
  // A second item of the same name gets " (2)", as the bin keeps both.
  fs::path target = recycleBin_ / r->host.filename();
  for (int n = 2; fs::exists(target); ++n) {
    std::u8string name = r->host.filename().u8string();
    for (const char c : " (" + std::to_string(n) + ")") name += static_cast<char8_t>(c);
    target = recycleBin_ / name;
  }
  std::error_code ec;
  fs::rename(r->host, target, ec);
  return !ec;
}

std::vector<std::string> SandboxShell::RecycledNames() const {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(recycleBin_, ec), end; !ec && it != end; it.increment(ec)) {
    const std::u8string name = it->path().filename().u8string();
    names.emplace_back(name.begin(), name.end());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::optional<std::string> SandboxShell::ShortcutTarget(const std::string& lnkPath) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto it = shortcuts_.find(lnkPath);
  if (it == shortcuts_.end()) return std::nullopt;
  return it->second;
}

void SandboxShell::SetShortcut(const std::string& lnkPath, const std::string& target) {
  std::lock_guard<std::mutex> lock(mutex_);
  shortcuts_[lnkPath] = target;
}

std::optional<int> SandboxShell::SystemIconIndex(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto it = iconIndexes_.find(ExtensionOf(path));
  if (it == iconIndexes_.end()) return std::nullopt;
  return it->second;
}

void SandboxShell::SetIconIndex(const std::string& extension, int index) {
  std::lock_guard<std::mutex> lock(mutex_);
  iconIndexes_[extension] = index;
}

std::optional<std::uint32_t> SandboxProcesses::RunAndWait(const std::string& commandLine, int showCommand) {
  Handler handler;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    runs_.push_back({commandLine, showCommand});
    const auto it = handlers_.find(commandLine);
    if (it == handlers_.end()) return std::nullopt;
    handler = it->second;
  }
  return handler();
}

void SandboxProcesses::Register(const std::string& commandLine, Handler handler) {
  std::lock_guard<std::mutex> lock(mutex_);
  handlers_[commandLine] = std::move(handler);
}

std::vector<SandboxProcesses::Run> SandboxProcesses::runs() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return runs_;
}

void SandboxMessages::ShowMessage(const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  shown_.push_back(text);
}

std::vector<std::string> SandboxMessages::shown() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return shown_;
}

SandboxPlatform::SandboxPlatform() : files(root.path()), shell(files) {}

SandboxPlatform::~SandboxPlatform() {
  if (previous_) SetCurrentPlatform(*previous_);
}

void SandboxPlatform::Install() {
  if (!previous_) previous_ = CurrentPlatform();
  Platform p;
  p.registry = CurrentPlatform().registry;
  p.files = &files;
  p.system = &system;
  p.codePage = &codePage;
  p.shell = &shell;
  p.processes = &processes;
  p.messages = &messages;
  SetCurrentPlatform(p);
}

}  // namespace found
