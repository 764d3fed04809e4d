#include "foundation/backends/win32/win32_shell.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <vector>

#include "foundation/backends/win32/wide.h"

namespace found {
namespace {

// COM for the calling thread, for the length of one call. A thread that
// already joined the other apartment kind keeps it, and COM still works there.
class ComScope {
 public:
  ComScope() : initialized_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComScope() {
    if (initialized_) ::CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool initialized_;
};

// Owner of one interface pointer; a failed query leaves it empty.
template <typename I>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() {
    if (p_ != nullptr) p_->Release();
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  I* get() const { return p_; }
  I* operator->() const { return p_; }
  void** put() { return reinterpret_cast<void**>(&p_); }

 private:
  I* p_ = nullptr;
};

}  // namespace

bool Win32Shell::Open(const std::string& target) {
  const HINSTANCE result =
      ::ShellExecuteW(nullptr, L"open", Widen(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

bool Win32Shell::ShowProperties(const std::string& path) {
  ComScope com;
  const std::wstring file = Widen(path);
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_INVOKEIDLIST | SEE_MASK_FLAG_NO_UI;
  info.lpVerb = L"properties";
  info.lpFile = file.c_str();
  info.nShow = SW_SHOWNORMAL;
  return ::ShellExecuteExW(&info) != 0;
}

bool Win32Shell::DeleteItem(const std::string& path, bool toRecycleBin) {
  // The shell expands wildcards in the source, and no file name holds one.
  if (path.empty() || path.find_first_of("*?") != std::string::npos) return false;
  std::wstring from = Widen(path);
  from.append(2, L'\0');  // a list of names, ended by an empty one
  SHFILEOPSTRUCTW op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
  if (toRecycleBin) op.fFlags |= FOF_ALLOWUNDO;
  return ::SHFileOperationW(&op) == 0 && !op.fAnyOperationsAborted;
}

std::optional<std::string> Win32Shell::ShortcutTarget(const std::string& lnkPath) {
  ComScope com;
  ComRef<IShellLinkW> link;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put()))) {
    return std::nullopt;
  }
  ComRef<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.put()))) return std::nullopt;
  if (FAILED(file->Load(Widen(lnkPath).c_str(), STGM_READ))) return std::nullopt;
  std::vector<wchar_t> target(32768);
  WIN32_FIND_DATAW data{};
  if (FAILED(link->GetPath(target.data(), static_cast<int>(target.size()), &data, SLGP_UNCPRIORITY))) {
    return std::nullopt;
  }
  return Narrow(target.data());
}

std::optional<int> Win32Shell::SystemIconIndex(const std::string& path) {
  ComScope com;
  SHFILEINFOW info{};
  const DWORD_PTR list = ::SHGetFileInfoW(Widen(path).c_str(), 0, &info, sizeof(info),
                                          SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
  if (list == 0) return std::nullopt;
  return info.iIcon;
}

}  // namespace found
