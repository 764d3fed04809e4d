// Ini files ("[section]" headers, "key=value" lines) in the system code page,
// as the backup index files are kept. Every call reads the file anew and every
// write goes to disk at once, so two objects over one file never disagree.
#pragma once

#include <string>
#include <vector>

namespace found {

class TIniFile {
 public:
  explicit TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}
  const std::string& FileName() const { return fileName_; }

  // Section names in file order, each once; empty when the file cannot be read.
  std::vector<std::string> ReadSections() const;
  // Key names of a section in file order.
  std::vector<std::string> ReadSection(const std::string& section) const;
  // The value with blanks around it and one pair of enclosing quotes removed,
  // as the platform reads it; `defaultValue` when there is none.
  std::string ReadString(const std::string& section, const std::string& ident,
                         const std::string& defaultValue) const;
  // Replaces the value, or adds the key at the end of its section (the section
  // at the end of the file). False when it cannot be written, or cannot be read
  // back: a line break anywhere, "=" in the key, "]" in the section name.
  [[nodiscard]] bool WriteString(const std::string& section, const std::string& ident,
                                 const std::string& value);
  // Removes the section with all its keys; true when it is gone.
  [[nodiscard]] bool EraseSection(const std::string& section);

 private:
  std::string fileName_;
};

}  // namespace found
