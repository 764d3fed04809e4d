// TIORegistry writes registry keys and values as registry-editor text and
// reads such text back into the registry. Every value survives the round trip
// bit for bit: what the plain line grammar cannot carry faithfully is written
// as the registry editor's typed hex list, hex(N):, with the stored bytes.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "foundation/platform.h"
#include "foundation/registry.h"

namespace found {

enum class TExpImpSource { eiFile, eiProperty };

// A number in an imported line that does not read as one.
class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Exact, case-sensitive; any other name gives HKEY_CURRENT_USER.
RootHandle NameToRootKey(const std::string& name);
// "HKEY_CURRENT_USER" for any handle but the other five roots.
std::string RootKeyToName(RootHandle root);

class TIORegistry {
 public:
  TIORegistry();  // on the current platform
  explicit TIORegistry(const Platform& platform);

  std::string RegHeader = "REGEDIT4";
  char DataNameValueDelim = '=';
  char StringStartEndChar = '"';
  char RootStart = '[';
  char RootEnd = ']';
  char KeyLevelDelim = '\\';
  std::string HexIntPrefix = "dword:";
  std::string BinaryPrefix = "hex:";
  TExpImpSource ExportDestination = TExpImpSource::eiFile;
  TExpImpSource ImportSource = TExpImpSource::eiFile;
  std::vector<std::string> RegistryData;  // lines, without line ends

  // False only when the file is missing (after telling the user). A malformed
  // number raises EConvertError, a value that cannot be written
  // ERegistryException; what was written before stays written.
  bool ImportRegistry(const std::string& fileName);
  // False, delivering nothing, when any key or value cannot be written
  // losslessly, or the file cannot be saved.
  bool ExportKey(const std::string& rootName, const std::string& key, const std::string& fileName,
                 bool includeSubKeys);
  bool ExportValue(const std::string& rootName, const std::string& key, const std::string& valueName,
                   const std::string& fileName);

 private:
  enum class LineKind { Skip, Key, Value };
  LineKind ClassifyLine(const std::string& line) const;
  void ApplyKeyLine(TRegistry& reg, const std::string& line);
  void ApplyValueLine(TRegistry& reg, const std::string& line);
  bool ValueLine(TRegistry& reg, const std::string& name, std::string& line);
  bool TextFitsLine(const std::string& text) const;
  std::string FromRoot(const std::string& path) const;
  bool CollectSubKeys(TRegistry& reg, const std::string& path, bool recurse, std::vector<std::string>& keys);
  bool Deliver(const std::vector<std::string>& lines, const std::string& fileName);
  bool ReadLines(const std::string& fileName, std::vector<std::string>& lines);

  Platform platform_;
};

}  // namespace found
