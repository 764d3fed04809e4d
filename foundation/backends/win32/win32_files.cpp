#include "foundation/backends/win32/win32_files.h"

#include <windows.h>

#include <vector>

#include "foundation/backends/win32/unique_handle.h"
#include "foundation/backends/win32/wide.h"

namespace found {
namespace {

std::uint64_t Join(DWORD high, DWORD low) { return (static_cast<std::uint64_t>(high) << 32) | low; }

std::uint64_t FileTimeValue(const FILETIME& ft) { return Join(ft.dwHighDateTime, ft.dwLowDateTime); }

DWORD Attributes(const std::string& path) { return ::GetFileAttributesW(Widen(path).c_str()); }

}  // namespace

bool Win32FileSystem::FileExists(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32FileSystem::DirectoryExists(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Win32FileSystem::FindFiles(const std::string& pattern, std::vector<DirEntry>& out) {
  WIN32_FIND_DATAW data{};
  UniqueFindHandle find(::FindFirstFileW(Widen(pattern).c_str(), &data));
  if (!find) return false;
  std::vector<DirEntry> found;
  do {
    DirEntry e;
    e.name = Narrow(data.cFileName);
    e.attributes = data.dwFileAttributes;
    e.size = Join(data.nFileSizeHigh, data.nFileSizeLow);
    e.creationTime = FileTimeValue(data.ftCreationTime);
    e.lastAccessTime = FileTimeValue(data.ftLastAccessTime);
    e.lastWriteTime = FileTimeValue(data.ftLastWriteTime);
    found.push_back(std::move(e));
  } while (::FindNextFileW(find.get(), &data));
  out = std::move(found);
  return true;
}

bool Win32FileSystem::DeleteOneFile(const std::string& path) { return ::DeleteFileW(Widen(path).c_str()) != 0; }

bool Win32FileSystem::RemoveEmptyFolder(const std::string& path) {
  return ::RemoveDirectoryW(Widen(path).c_str()) != 0;
}

bool Win32FileSystem::CreateFolder(const std::string& path) {
  return ::CreateDirectoryW(Widen(path).c_str(), nullptr) != 0;
}

std::optional<std::string> Win32FileSystem::LongPathName(const std::string& path) {
  const std::wstring wide = Widen(path);
  std::vector<wchar_t> buffer(MAX_PATH + 1);
  for (;;) {
    const DWORD n = ::GetLongPathNameW(wide.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return std::nullopt;
    // A result that does not fit reports the size it needs, NUL included.
    if (n < buffer.size()) return Narrow(std::wstring_view(buffer.data(), n));
    buffer.resize(n);
  }
}

bool Win32FileSystem::ReadWholeFile(const std::string& path, std::string& bytes) {
  UniqueFileHandle file(::CreateFileW(Widen(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 || size.QuadPart > 0x7FFFFFFF) return false;
  std::string data(static_cast<size_t>(size.QuadPart), '\0');
  size_t done = 0;
  while (done < data.size()) {
    DWORD got = 0;
    if (!::ReadFile(file.get(), data.data() + done, static_cast<DWORD>(data.size() - done), &got, nullptr)) {
      return false;
    }
    if (got == 0) break;  // the file shrank meanwhile
    done += got;
  }
  data.resize(done);
  bytes = std::move(data);
  return true;
}

bool Win32FileSystem::WriteFileReplace(const std::string& path, const std::string& bytes) {
  const std::wstring target = Widen(path);
  // Windows refuses to replace a read-only file; Wine's rename does not, so
  // the check is made here for both.
  const DWORD attributes = ::GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    ::SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  const size_t sep = target.find_last_of(L"\\/");
  const std::wstring folder = sep == std::wstring::npos ? std::wstring(L".") : target.substr(0, sep + 1);
  wchar_t temp[MAX_PATH + 1] = {};
  // Creates an empty file of a unique name, in the same folder so the final
  // move is a rename on one volume.
  if (::GetTempFileNameW(folder.c_str(), L"cob", 0, temp) == 0) return false;

  bool written = false;
  {
    UniqueFileHandle file(
        ::CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) {
      written = true;
      size_t done = 0;
      while (written && done < bytes.size()) {
        DWORD put = 0;
        written = ::WriteFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &put,
                              nullptr) != 0;
        done += put;
      }
      written = written && ::FlushFileBuffers(file.get()) != 0;
    }
  }
  if (written &&
      ::MoveFileExW(temp, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0) {
    return true;
  }
  ::DeleteFileW(temp);
  return false;
}

}  // namespace found
