// Move-only owner of a Win32 handle: released by `Release` unless it holds the
// empty value (given as an integer, since INVALID_HANDLE_VALUE is no constant).
//   UniqueHandle process(pi.hProcess);
//   UniqueOwner<HKEY, &::RegCloseKey> key;  RegOpenKeyExW(..., key.put());
#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>

namespace found {

template <typename T, auto Release, std::intptr_t EmptyValue = 0>
class UniqueOwner {
 public:
  UniqueOwner() noexcept = default;
  explicit UniqueOwner(T handle) noexcept : handle_(handle) {}
  UniqueOwner(UniqueOwner&& other) noexcept : handle_(other.release()) {}
  UniqueOwner& operator=(UniqueOwner&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueOwner(const UniqueOwner&) = delete;
  UniqueOwner& operator=(const UniqueOwner&) = delete;
  ~UniqueOwner() { reset(); }

  static T Empty() noexcept { return reinterpret_cast<T>(EmptyValue); }

  T get() const noexcept { return handle_; }
  bool valid() const noexcept { return handle_ != Empty(); }
  explicit operator bool() const noexcept { return valid(); }

  // For an out-parameter: releases what is held and lends the slot.
  T* put() noexcept {
    reset();
    return &handle_;
  }

  // Gives up ownership; the caller releases the handle.
  [[nodiscard]] T release() noexcept { return std::exchange(handle_, Empty()); }

  void reset(T handle = Empty()) noexcept {
    const T old = std::exchange(handle_, handle);
    if (old != Empty()) {
      const DWORD error = ::GetLastError();  // the caller may still want the failure it stored
      Release(old);
      ::SetLastError(error);
    }
  }

 private:
  T handle_ = Empty();
};

using UniqueHandle = UniqueOwner<HANDLE, &::CloseHandle>;               // processes, threads, jobs, ports
using UniqueFileHandle = UniqueOwner<HANDLE, &::CloseHandle, -1>;       // CreateFileW
using UniqueFindHandle = UniqueOwner<HANDLE, &::FindClose, -1>;         // FindFirstFileW
using UniqueHkey = UniqueOwner<HKEY, &::RegCloseKey>;

}  // namespace found
