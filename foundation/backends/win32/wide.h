// UTF-8 <-> the platform's wide text, for the calls of the W functions.
// Unpaired surrogates survive both ways, so any name read can be reopened.
#pragma once

#include <string>
#include <string_view>

#include "foundation/text.h"

namespace found {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide text is UTF-16");

inline std::wstring Widen(std::string_view utf8) {
  const std::u16string wide = Utf8ToUtf16(utf8);
  return std::wstring(wide.begin(), wide.end());
}

inline std::string Narrow(std::wstring_view wide) {
  return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

}  // namespace found
