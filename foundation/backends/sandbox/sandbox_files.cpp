#include "foundation/backends/sandbox/sandbox_files.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <fstream>
#include <random>
#include <system_error>

#include <sys/stat.h>
#ifndef _WIN32
#include <fcntl.h>
#endif

#include "foundation/text.h"

namespace found {
namespace fs = std::filesystem;

namespace {

fs::path HostName(const std::string& utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8Name(const fs::path& p) {
  const std::u8string u = p.filename().u8string();
  return std::string(u.begin(), u.end());
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool HasWildcard(const std::string& s) { return s.find_first_of("*?") != std::string::npos; }

// Characters Windows refuses in a file name.
bool IsValidName(const std::string& name) {
  if (name.empty()) return false;
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || std::strchr("<>:\"/\\|?*", c) != nullptr) return false;
  }
  return true;
}

struct HostItem {
  std::string name;
  bool isDirectory = false;
};

// Entries of a host folder in the order an NTFS folder lists them.
std::vector<HostItem> ListHost(const fs::path& dir) {
  std::vector<HostItem> items;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeEc;
    items.push_back({Utf8Name(it->path()), it->is_directory(typeEc)});
  }
  std::sort(items.begin(), items.end(),
            [](const HostItem& a, const HostItem& b) { return CompareText(a.name, b.name) < 0; });
  return items;
}

bool IsShortChar(char16_t c) {
  if (c >= 0x80) return false;
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
  return std::strchr("!#$%&'()-@^_`{}~", static_cast<char>(c)) != nullptr;
}

// True when the name is already a valid 8.3 name, which is then its own short name.
bool IsShortName(const std::string& name) {
  if (name == "." || name == "..") return true;
  const size_t dot = name.find('.');
  if (dot != std::string::npos && name.find('.', dot + 1) != std::string::npos) return false;
  const std::string base = name.substr(0, dot);
  const std::string ext = dot == std::string::npos ? "" : name.substr(dot + 1);
  if (base.empty() || base.size() > 8 || ext.size() > 3) return false;
  for (const char c : name) {
    if (c != '.' && !IsShortChar(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

// Upper-cased 8.3 characters of a piece of a long name; anything else becomes "_".
std::string ShortChars(const std::string& utf8, size_t limit) {
  std::string out;
  const std::u16string wide = Utf8ToUtf16(utf8);
  for (size_t i = 0; i < wide.size() && out.size() < limit; ++i) {
    const char16_t c = wide[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] < 0xE000) ++i;
    if (IsShortChar(c)) {
      out += static_cast<char>((c >= 'a' && c <= 'z') ? c - 32 : c);
    } else {
      out += '_';
    }
  }
  return out;
}

struct ShortStem {
  std::string base;  // up to 6 characters
  std::string ext;   // up to 3 characters
};

// Windows drops blanks and leading dots, keeps the extension after the last dot
// and the first six characters of the rest.
ShortStem StemOf(const std::string& name) {
  std::string rest;
  for (const char c : name) {
    if (c != ' ') rest += c;
  }
  const size_t firstNonDot = rest.find_first_not_of('.');
  rest.erase(0, firstNonDot == std::string::npos ? rest.size() : firstNonDot);
  const size_t lastDot = rest.rfind('.');
  std::string base = lastDot == std::string::npos ? rest : rest.substr(0, lastDot);
  const std::string ext = lastDot == std::string::npos ? "" : rest.substr(lastDot + 1);
  base.erase(std::remove(base.begin(), base.end(), '.'), base.end());
  return {ShortChars(base, 6), ShortChars(ext, 3)};
}

std::string ComposeShort(const ShortStem& stem, int number) {
  const std::string suffix = "~" + std::to_string(number);
  std::string name = stem.base.substr(0, std::min(stem.base.size(), 8 - suffix.size())) + suffix;
  if (!stem.ext.empty()) name += "." + stem.ext;
  return name;
}

// Short names of all entries of a folder, numbered ~1, ~2 ... in name order
// among the entries whose stems collide.
std::vector<std::string> ShortNames(const std::vector<HostItem>& items) {
  std::vector<std::string> shorts(items.size());
  std::set<std::string> taken;
  for (size_t i = 0; i < items.size(); ++i) {
    if (IsShortName(items[i].name)) {
      shorts[i] = items[i].name;
      taken.insert(UpperCase(items[i].name));
    }
  }
  std::map<std::string, int> counters;
  for (size_t i = 0; i < items.size(); ++i) {
    if (!shorts[i].empty()) continue;
    const ShortStem stem = StemOf(items[i].name);
    int& counter = counters[stem.base + "." + stem.ext];
    std::string candidate;
    do {
      candidate = ComposeShort(stem, ++counter);
    } while (taken.count(candidate) != 0);
    taken.insert(candidate);
    shorts[i] = candidate;
  }
  return shorts;
}

// Finds a component among a folder's items: the long name first, then a short name.
std::optional<size_t> FindItem(const std::vector<HostItem>& items, const std::string& component) {
  for (size_t i = 0; i < items.size(); ++i) {
    if (SameText(items[i].name, component)) return i;
  }
  if (component.find('~') == std::string::npos) return std::nullopt;
  const std::vector<std::string> shorts = ShortNames(items);
  for (size_t i = 0; i < items.size(); ++i) {
    if (SameText(shorts[i], component)) return i;
  }
  return std::nullopt;
}

bool MatchFrom(const std::u32string& p, size_t pi, const std::u32string& n, size_t ni) {
  while (pi < p.size()) {
    if (p[pi] == U'*') {
      while (pi < p.size() && p[pi] == U'*') ++pi;
      if (pi == p.size()) return true;
      for (size_t k = ni; k <= n.size(); ++k) {
        if (MatchFrom(p, pi, n, k)) return true;
      }
      return false;
    }
    if (ni == n.size()) return false;
    if (p[pi] != U'?' && p[pi] != n[ni]) return false;
    ++pi;
    ++ni;
  }
  return ni == n.size();
}

std::u32string Folded(const std::string& s) {
  std::u32string out;
  const std::u16string wide = Utf8ToUtf16(s);
  for (const char16_t c : wide) out += FoldCase(c);
  return out;
}

struct HostTimes {
  std::uint64_t creation = 0, access = 0, write = 0;
  std::uint64_t size = 0;
};

HostTimes ReadHostTimes(const fs::path& host) {
  HostTimes t;
#ifdef _WIN32
  struct _stat64 st {};
  if (_wstat64(host.c_str(), &st) == 0) {
    // The Windows C runtime keeps the creation time in st_ctime.
    t.creation = UnixToFileTime(st.st_ctime, 0);
    t.access = UnixToFileTime(st.st_atime, 0);
    t.write = UnixToFileTime(st.st_mtime, 0);
    t.size = static_cast<std::uint64_t>(st.st_size);
  }
#else
  struct stat st {};
  if (::stat(host.c_str(), &st) == 0) {
    t.access = UnixToFileTime(st.st_atim.tv_sec, static_cast<std::uint32_t>(st.st_atim.tv_nsec));
    t.write = UnixToFileTime(st.st_mtim.tv_sec, static_cast<std::uint32_t>(st.st_mtim.tv_nsec));
    t.creation = t.write;  // the birth time, when the host keeps one, replaces it below
    t.size = static_cast<std::uint64_t>(st.st_size);
  }
#if defined(__linux__) && defined(STATX_BTIME)
  struct statx sx {};
  if (::statx(AT_FDCWD, host.c_str(), 0, STATX_BTIME, &sx) == 0 && (sx.stx_mask & STATX_BTIME) != 0) {
    t.creation = UnixToFileTime(sx.stx_btime.tv_sec, sx.stx_btime.tv_nsec);
  }
#endif
#endif
  return t;
}

}  // namespace

std::uint64_t UnixToFileTime(std::int64_t seconds, std::uint32_t nanoseconds) {
  constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600;
  const std::int64_t since1601 = seconds + kSecondsFrom1601To1970;
  if (since1601 < 0) return 0;
  return static_cast<std::uint64_t>(since1601) * 10000000u + nanoseconds / 100u;
}

bool MatchesWildcard(const std::string& pattern, const std::string& name) {
  const std::u32string p = Folded(pattern), n = Folded(name);
  if (MatchFrom(p, 0, n, 0)) return true;
  // "x*.*" also names "xy": the dot and extension may both be missing.
  if (p.size() >= 2 && p.compare(p.size() - 2, 2, U".*") == 0 && n.find(U'.') == std::u32string::npos) {
    return MatchFrom(p.substr(0, p.size() - 2), 0, n, 0);
  }
  return false;
}

TempHostFolder::TempHostFolder() {
  static std::atomic<unsigned> counter{0};
  std::random_device random;
  const fs::path base = fs::temp_directory_path();
  for (;;) {
    const fs::path candidate =
        base / ("sandbox-" + std::to_string(random()) + "-" + std::to_string(counter++));
    std::error_code ec;
    if (fs::create_directory(candidate, ec)) {
      path_ = candidate;
      return;
    }
  }
}

TempHostFolder::~TempHostFolder() {
  std::error_code ec;
  fs::remove_all(path_, ec);  // nothing to be done about leftovers at this point
}

SandboxFileSystem::SandboxFileSystem(fs::path root) : root_(std::move(root)) {
  std::error_code ec;
  fs::create_directories(root_ / "c", ec);
}

bool SandboxFileSystem::AddDrive(char letter) {
  if (!((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z'))) return false;
  std::error_code ec;
  fs::create_directories(root_ / std::string(1, static_cast<char>(letter | 0x20)), ec);
  return !ec;
}

std::optional<SandboxFileSystem::Parsed> SandboxFileSystem::Parse(const std::string& path) {
  if (path.size() < 2 || path[1] != ':') return std::nullopt;
  const char letter = path[0];
  if (!((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z'))) return std::nullopt;
  // "C:x" names a folder relative to the drive's current folder, which the sandbox has not.
  if (path.size() > 2 && !IsSeparator(path[2])) return std::nullopt;
  Parsed parsed;
  parsed.drive = static_cast<char>(letter | 0x20);
  parsed.trailingSeparator = path.size() > 3 && IsSeparator(path.back());
  size_t i = 2;
  while (i < path.size()) {
    while (i < path.size() && IsSeparator(path[i])) ++i;
    size_t j = i;
    while (j < path.size() && !IsSeparator(path[j])) ++j;
    if (j > i) {
      const std::string component = path.substr(i, j - i);
      if (component == "..") {
        if (!parsed.components.empty()) parsed.components.pop_back();
      } else if (component != ".") {
        if (!IsValidName(component)) return std::nullopt;
        parsed.components.push_back(component);
      }
    }
    i = j;
  }
  return parsed;
}

std::optional<SandboxFileSystem::Resolved> SandboxFileSystem::ResolveParsed(const Parsed& parsed, size_t count) {
  Resolved r;
  r.host = root_ / std::string(1, parsed.drive);
  std::error_code ec;
  if (!fs::is_directory(r.host, ec)) return std::nullopt;
  r.longPath = std::string(1, parsed.drive) + ":";
  r.isDirectory = true;
  for (size_t k = 0; k < count; ++k) {
    if (!r.isDirectory) return std::nullopt;
    const std::vector<HostItem> items = ListHost(r.host);
    const std::optional<size_t> found = FindItem(items, parsed.components[k]);
    if (!found) return std::nullopt;
    r.host /= HostName(items[*found].name);
    // As GetLongPathName: a name that could be a short one is replaced by the
    // name on disk, any other keeps the case it was given in.
    const bool keepGiven = !IsShortName(parsed.components[k]);
    r.longPath += "\\" + (keepGiven ? parsed.components[k] : items[*found].name);
    r.isDirectory = items[*found].isDirectory;
  }
  return r;
}

std::optional<SandboxFileSystem::Resolved> SandboxFileSystem::Resolve(const std::string& path) {
  const std::optional<Parsed> parsed = Parse(path);
  if (!parsed) return std::nullopt;
  std::optional<Resolved> r = ResolveParsed(*parsed, parsed->components.size());
  // "C:\file.txt\" names no file.
  if (r && parsed->trailingSeparator && !r->isDirectory) return std::nullopt;
  if (r) r->longPath.replace(0, 1, 1, path[0]);
  return r;
}

std::optional<fs::path> SandboxFileSystem::HostPath(const std::string& path) {
  const std::optional<Resolved> r = Resolve(path);
  if (!r) return std::nullopt;
  return r->host;
}

bool SandboxFileSystem::FileExists(const std::string& path) {
  const std::optional<Resolved> r = Resolve(path);
  return r && !r->isDirectory;
}

bool SandboxFileSystem::DirectoryExists(const std::string& path) {
  const std::optional<Resolved> r = Resolve(path);
  return r && r->isDirectory;
}

DirEntry SandboxFileSystem::MakeEntry(const fs::path& host, const std::string& name, bool isDirectory) {
  const HostTimes times = ReadHostTimes(host);
  DirEntry e;
  e.name = name;
  e.attributes = isDirectory ? kAttrDirectory : kAttrArchive;
  if (IsLockedHost(host)) e.attributes |= kAttrReadOnly;
  e.size = isDirectory ? 0 : times.size;
  e.creationTime = times.creation;
  e.lastAccessTime = times.access;
  e.lastWriteTime = times.write;
  std::lock_guard<std::mutex> lock(mutex_);
  const auto it = creationTimes_.find(host);
  if (it != creationTimes_.end()) e.creationTime = it->second;
  return e;
}

bool SandboxFileSystem::FindFiles(const std::string& pattern, std::vector<DirEntry>& out) {
  const size_t sep = pattern.find_last_of("\\/");
  if (sep == std::string::npos || sep < 2) return false;
  const std::string last = pattern.substr(sep + 1);
  if (last.empty()) return false;  // "C:\x\" lists nothing, as FindFirstFile
  const std::optional<Parsed> folderParsed = Parse(pattern.substr(0, sep));
  if (!folderParsed) return false;
  const std::optional<Resolved> folder = ResolveParsed(*folderParsed, folderParsed->components.size());
  if (!folder || !folder->isDirectory) return false;

  const std::vector<HostItem> items = ListHost(folder->host);
  const std::vector<std::string> shorts = ShortNames(items);
  const bool wildcard = HasWildcard(last);
  const auto matches = [&](const std::string& name, const std::string& shortName) {
    if (wildcard) return MatchesWildcard(last, name) || MatchesWildcard(last, shortName);
    return SameText(last, name) || SameText(last, shortName);
  };

  std::vector<DirEntry> found;
  // A drive's root has no "." and "..".
  if (!folderParsed->components.empty()) {
    if (matches(".", ".")) found.push_back(MakeEntry(folder->host, ".", true));
    if (matches("..", "..")) found.push_back(MakeEntry(folder->host.parent_path(), "..", true));
  }
  for (size_t i = 0; i < items.size(); ++i) {
    if (matches(items[i].name, shorts[i])) {
      found.push_back(MakeEntry(folder->host / HostName(items[i].name), items[i].name, items[i].isDirectory));
    }
  }
  if (found.empty()) return false;
  out = std::move(found);
  return true;
}

bool SandboxFileSystem::DeleteOneFile(const std::string& path) {
  const std::optional<Resolved> r = Resolve(path);
  if (!r || r->isDirectory || IsLockedHost(r->host)) return false;
  std::error_code ec;
  return fs::remove(r->host, ec);
}

bool SandboxFileSystem::RemoveEmptyFolder(const std::string& path) {
  const std::optional<Parsed> parsed = Parse(path);
  if (!parsed || parsed->components.empty()) return false;
  const std::optional<Resolved> r = Resolve(path);
  if (!r || !r->isDirectory || IsLockedHost(r->host)) return false;
  std::error_code ec;
  if (!fs::is_empty(r->host, ec) || ec) return false;
  return fs::remove(r->host, ec);
}

bool SandboxFileSystem::CreateFolder(const std::string& path) {
  const std::optional<Parsed> parsed = Parse(path);
  if (!parsed || parsed->components.empty()) return false;
  const size_t n = parsed->components.size();
  const std::optional<Resolved> parent = ResolveParsed(*parsed, n - 1);
  if (!parent || !parent->isDirectory) return false;
  if (FindItem(ListHost(parent->host), parsed->components[n - 1])) return false;
  std::error_code ec;
  return fs::create_directory(parent->host / HostName(parsed->components[n - 1]), ec);
}

std::optional<std::string> SandboxFileSystem::LongPathName(const std::string& path) {
  const std::optional<Parsed> parsed = Parse(path);
  const std::optional<Resolved> r = Resolve(path);
  if (!parsed || !r) return std::nullopt;
  std::string result = r->longPath;
  if (parsed->components.empty() ? path.size() > 2 : parsed->trailingSeparator) result += "\\";
  return result;
}

std::optional<std::string> SandboxFileSystem::ShortPathName(const std::string& path) {
  const std::optional<Parsed> parsed = Parse(path);
  if (!parsed || !Resolve(path)) return std::nullopt;
  fs::path host = root_ / std::string(1, parsed->drive);
  std::string result = path.substr(0, 2);
  for (const std::string& component : parsed->components) {
    const std::vector<HostItem> items = ListHost(host);
    const std::optional<size_t> found = FindItem(items, component);
    if (!found) return std::nullopt;
    result += "\\" + ShortNames(items)[*found];
    host /= HostName(items[*found].name);
  }
  if (parsed->components.empty() || parsed->trailingSeparator) result += "\\";
  return result;
}

bool SandboxFileSystem::ReadWholeFile(const std::string& path, std::string& bytes) {
  const std::optional<Resolved> r = Resolve(path);
  if (!r || r->isDirectory) return false;
  std::ifstream in(r->host, std::ios::binary);
  if (!in) return false;
  std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return false;
  bytes = std::move(data);
  return true;
}

bool SandboxFileSystem::WriteFileReplace(const std::string& path, const std::string& bytes) {
  const std::optional<Parsed> parsed = Parse(path);
  if (!parsed || parsed->components.empty() || parsed->trailingSeparator) return false;
  const size_t n = parsed->components.size();
  const std::optional<Resolved> parent = ResolveParsed(*parsed, n - 1);
  if (!parent || !parent->isDirectory) return false;
  const std::vector<HostItem> items = ListHost(parent->host);
  std::string name = parsed->components[n - 1];
  if (const std::optional<size_t> existing = FindItem(items, name)) {
    if (items[*existing].isDirectory) return false;
    name = items[*existing].name;  // an existing file keeps its spelling
    if (IsLockedHost(parent->host / HostName(name))) return false;
  }
  static std::atomic<unsigned> counter{0};
  const fs::path target = parent->host / HostName(name);
  const fs::path temp = parent->host / HostName(name + ".~sbx" + std::to_string(counter++));
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      std::error_code ec;
      fs::remove(temp, ec);
      return false;
    }
  }
  std::error_code ec;
  fs::rename(temp, target, ec);
  if (ec) {
    std::error_code removeEc;
    fs::remove(temp, removeEc);
    return false;
  }
  return true;
}

bool SandboxFileSystem::Lock(const std::string& path) {
  const std::optional<Resolved> r = Resolve(path);
  if (!r) return false;
  std::lock_guard<std::mutex> lock(mutex_);
  locked_.insert(r->host);
  return true;
}

bool SandboxFileSystem::IsLockedHost(const fs::path& host) {
  std::lock_guard<std::mutex> lock(mutex_);
  return locked_.count(host) != 0;
}

bool SandboxFileSystem::HasLockedHost(const fs::path& host) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const fs::path& p : locked_) {
    const fs::path rel = p.lexically_relative(host);
    if (!rel.empty() && *rel.begin() != "..") return true;
  }
  return false;
}

bool SandboxFileSystem::SetCreationTime(const std::string& path, std::uint64_t fileTime) {
  const std::optional<Resolved> r = Resolve(path);
  if (!r) return false;
  std::lock_guard<std::mutex> lock(mutex_);
  creationTimes_[r->host] = fileTime;
  return true;
}

}  // namespace found
