#include "foundation/backends/win32/win32_system.h"

#include <windows.h>

#include <vector>

#include "foundation/backends/win32/wide.h"

namespace found {

std::optional<std::string> Win32SystemInfo::Environment(const std::string& name) {
  const std::wstring wideName = Widen(name);
  std::vector<wchar_t> buffer(256);
  for (;;) {
    ::SetLastError(ERROR_SUCCESS);
    const DWORD n = ::GetEnvironmentVariableW(wideName.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) {
      if (::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
      return std::string();  // set, but empty
    }
    if (n < buffer.size()) return Narrow(std::wstring_view(buffer.data(), n));
    buffer.resize(n);
  }
}

std::optional<std::string> Win32SystemInfo::SystemDirectory() {
  std::vector<wchar_t> buffer(MAX_PATH + 1);
  for (;;) {
    const UINT n = ::GetSystemDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
    if (n == 0) return std::nullopt;
    if (n < buffer.size()) return Narrow(std::wstring_view(buffer.data(), n));
    buffer.resize(n);
  }
}

VersionInfo Win32SystemInfo::Version() {
  // RtlGetVersion tells the truth where GetVersionExW reports 6.2 to programs
  // whose manifest does not name the running Windows.
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll")) {
    const auto rtlGetVersion =
        reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlGetVersion")));
    if (rtlGetVersion != nullptr && rtlGetVersion(&info) == 0) {
      return {info.dwMajorVersion, info.dwMinorVersion, info.dwPlatformId};
    }
  }
  info = OSVERSIONINFOW{};
  info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!::GetVersionExW(&info)) return {};
#pragma GCC diagnostic pop
  return {info.dwMajorVersion, info.dwMinorVersion, info.dwPlatformId};
}

std::string Win32SystemInfo::ProgramPath() {
  std::vector<wchar_t> buffer(MAX_PATH + 1);
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return std::string();
    if (n < buffer.size()) return Narrow(std::wstring_view(buffer.data(), n));
    buffer.resize(buffer.size() * 2);  // truncated: it does not say how much it needs
  }
}

std::optional<std::string> Win32CodePage::ToAnsi(const std::string& utf8) {
  if (utf8.empty()) return std::string();
  // With the system code page set to UTF-8 every character has a form, and
  // the call would refuse the used-default flag.
  if (::GetACP() == CP_UTF8) return utf8;
  const std::wstring wide = Widen(utf8);
  BOOL usedDefault = FALSE;
  const int n = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, &usedDefault);
  if (n <= 0 || usedDefault) return std::nullopt;
  std::string out(static_cast<size_t>(n), '\0');
  if (::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                            nullptr, &usedDefault) != n ||
      usedDefault) {
    return std::nullopt;
  }
  return out;
}

std::string Win32CodePage::FromAnsi(const std::string& ansi) {
  if (ansi.empty()) return std::string();
  const int n = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  if (n <= 0) return std::string();
  std::wstring wide(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
  return Narrow(wide);
}

char Win32CodePage::DecimalSeparator() {
  wchar_t buffer[8] = {};
  if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, 8) == 0 || buffer[0] == 0) return '.';
  const std::optional<std::string> ansi = ToAnsi(Narrow(std::wstring_view(buffer, 1)));
  return ansi && ansi->size() == 1 ? (*ansi)[0] : '.';
}

void Win32Messages::ShowMessage(const std::string& text) {
  std::wstring caption = Widen(caption_);
  if (caption.empty()) {
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name(path, n);
    name = name.substr(name.find_last_of(L"\\/") + 1);
    caption = name.substr(0, name.rfind(L'.'));
  }
  ::MessageBoxW(::GetActiveWindow(), Widen(text).c_str(), caption.c_str(), MB_OK | MB_ICONINFORMATION);
}

}  // namespace found
