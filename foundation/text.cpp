#include "foundation/text.h"

#include <cstdint>

namespace found {
namespace {

// Decodes one code point from UTF-8 (WTF-8 surrogates accepted); an invalid
// byte gives U+FFFD and advances by one.
char32_t DecodeUtf8(std::string_view s, size_t& i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char b0 = byte(i);
  if (b0 < 0x80) { ++i; return b0; }
  int len = 0;
  char32_t cp = 0;
  if ((b0 & 0xE0) == 0xC0) { len = 2; cp = b0 & 0x1F; }
  else if ((b0 & 0xF0) == 0xE0) { len = 3; cp = b0 & 0x0F; }
  else if ((b0 & 0xF8) == 0xF0) { len = 4; cp = b0 & 0x07; }
  else { ++i; return 0xFFFD; }
  if (i + len > s.size()) { ++i; return 0xFFFD; }
  for (int k = 1; k < len; ++k) {
    const unsigned char b = byte(i + k);
    if ((b & 0xC0) != 0x80) { ++i; return 0xFFFD; }
    cp = (cp << 6) | (b & 0x3F);
  }
  static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kMin[len] || cp > 0x10FFFF) { ++i; return 0xFFFD; }
  i += len;
  return cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const char32_t cp = DecodeUtf8(utf8, i);
    if (cp >= 0x10000) {
      const char32_t v = cp - 0x10000;
      out += static_cast<char16_t>(0xD800 + (v >> 10));
      out += static_cast<char16_t>(0xDC00 + (v & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (size_t i = 0; i < utf16.size(); ++i) {
    char32_t cp = utf16[i];
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] < 0xE000) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
      ++i;
    }
    AppendUtf8(out, cp);  // a lone surrogate is kept as its 3-byte form
  }
  return out;
}

char32_t FoldCase(char32_t c) {
  if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - 32 : c;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
  if (c == 0xFF) return 0x178;
  if (c >= 0x100 && c <= 0x137) return c & ~char32_t{1};
  if (c >= 0x139 && c <= 0x148) return (c % 2 == 0) ? c - 1 : c;
  if (c >= 0x14A && c <= 0x177) return c & ~char32_t{1};
  if (c >= 0x179 && c <= 0x17E) return (c % 2 == 0) ? c - 1 : c;
  if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return c - 0x20;
  if (c >= 0x430 && c <= 0x44F) return c - 0x20;
  if (c >= 0x450 && c <= 0x45F) return c - 0x50;
  if (c >= 0xFF41 && c <= 0xFF5A) return c - 0x20;
  return c;
}

std::string UpperCase(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const unsigned char b = static_cast<unsigned char>(utf8[i]);
    if (b < 0x80) {
      out += (b >= 'a' && b <= 'z') ? static_cast<char>(b - 32) : static_cast<char>(b);
      ++i;
      continue;
    }
    const size_t start = i;
    const char32_t cp = DecodeUtf8(utf8, i);
    if (cp == 0xFFFD && i == start + 1) {
      out += utf8[start];  // keep bytes that are not UTF-8 as they are
    } else {
      AppendUtf8(out, FoldCase(cp));
    }
  }
  return out;
}

int CompareText(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const unsigned char ca = static_cast<unsigned char>(a[i]);
    const unsigned char cb = static_cast<unsigned char>(b[j]);
    char32_t x, y;
    if (ca < 0x80) { x = FoldCase(ca); ++i; } else { x = FoldCase(DecodeUtf8(a, i)); }
    if (cb < 0x80) { y = FoldCase(cb); ++j; } else { y = FoldCase(DecodeUtf8(b, j)); }
    if (x != y) return x < y ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

std::string TrimLeft(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  return std::string(s.substr(i));
}

std::string TrimRight(std::string_view s) {
  size_t n = s.size();
  while (n > 0 && IsBlank(s[n - 1])) --n;
  return std::string(s.substr(0, n));
}

std::string Trim(std::string_view s) { return TrimRight(TrimLeft(s)); }

}  // namespace found
