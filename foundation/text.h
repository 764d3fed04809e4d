// UTF-8 text helpers shared by the core and both backends.
#pragma once

#include <string>
#include <string_view>

namespace found {

// UTF-8 <-> UTF-16. Unpaired surrogates survive the round trip (encoded as
// WTF-8 does), so any name read from the system can be opened again.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// Case folding as Windows compares names: upper-case, per character.
char32_t FoldCase(char32_t c);
std::string UpperCase(std::string_view utf8);
// Case-insensitive comparison of names (registry keys and values, file names).
int CompareText(std::string_view a, std::string_view b);
inline bool SameText(std::string_view a, std::string_view b) { return CompareText(a, b) == 0; }

std::string Trim(std::string_view s);       // blanks and control characters at both ends
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

}  // namespace found
