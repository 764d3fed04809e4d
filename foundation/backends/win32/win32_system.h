// The product's system facts, code page and message box.
#pragma once

#include <string>

#include "foundation/platform.h"

namespace found {

class Win32SystemInfo : public SystemInfo {
 public:
  std::optional<std::string> Environment(const std::string& name) override;
  std::optional<std::string> SystemDirectory() override;
  VersionInfo Version() override;
  std::string ProgramPath() override;
};

// The ANSI code page of the system (CP_ACP).
class Win32CodePage : public CodePage {
 public:
  std::optional<std::string> ToAnsi(const std::string& utf8) override;
  std::string FromAnsi(const std::string& ansi) override;
  char DecimalSeparator() override;
};

class Win32Messages : public UserMessages {
 public:
  // The box's caption; empty takes the program's file name, as the platform's
  // runtime titles its message boxes.
  explicit Win32Messages(std::string caption = {}) : caption_(std::move(caption)) {}
  void ShowMessage(const std::string& text) override;

 private:
  std::string caption_;
};

}  // namespace found
