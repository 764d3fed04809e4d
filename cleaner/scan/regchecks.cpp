#include "cleaner/scan/regchecks.h"

#include "foundation/functions.h"

namespace cleaner {
namespace {

using found::Tool;

std::string CutAt(const std::string& text, char c) {
  const size_t pos = text.find(c);
  return pos == std::string::npos ? text : text.substr(0, pos);
}

// "%1" at the first or second character: the command is the document itself.
bool StartsWithDocument(const std::string& text) {
  const size_t pos = text.find("%1");
  return pos == 0 || pos == 1;
}

std::string AsciiUpper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  return text;
}

}  // namespace

bool ValueTargetExists(const std::string& input) {
  std::string text = input;
  if (text.find('%') != std::string::npos) text = found::ExpandPathTokens(text, Tool::Cleaner);
  if (text.find("?:\\") != std::string::npos) return true;
  const size_t drive = text.find(":\\");
  if (drive == std::string::npos) return true;
  // From the drive letter (a ":\" at the very start has none before it).
  text = text.substr(drive == 0 ? 0 : drive - 1);
  for (char c : {'\'', '"', ',', '(', ';', '|'}) text = CutAt(text, c);
  return found::CommandLineTargetExists(text, Tool::Cleaner);
}

bool CommandTargetValid(const std::string& input) {
  std::string text = input;
  if (text.find("\\\\") != std::string::npos) return true;
  if (StartsWithDocument(text)) return true;
  if (text.find('%') != std::string::npos) text = found::ExpandPathTokens(text, Tool::Cleaner);
  return found::CommandLineTargetExists(text, Tool::Cleaner);
}

bool ComServerExists(const std::string& input) {
  std::string text = AsciiUpper(input);
  if (text.find("\\\\") != std::string::npos) return true;
  if (StartsWithDocument(text)) return true;
  if (text.find('%') != std::string::npos) text = found::ExpandPathTokens(text, Tool::Cleaner);
  const size_t colon = text.find(':');
  size_t ext = std::string::npos;
  for (const char* candidate : {".EXE", ".DLL", ".OCX", ".ICO"}) {
    ext = text.find(candidate);
    if (ext != std::string::npos) break;
  }
  if (colon == std::string::npos || ext == std::string::npos || colon > ext) return true;
  const size_t start = colon == 0 ? 0 : colon - 1;
  return found::CommandLineTargetExists(text.substr(start, ext + 4 - start), Tool::Cleaner);
}

bool IsBracedName(const std::string& text) {
  return !text.empty() && text.front() == '{' && text.back() == '}';
}

}  // namespace cleaner
