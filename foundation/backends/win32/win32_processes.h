// The product's process start: CreateProcessW and a job object, so the wait
// covers every process the started one leaves behind.
#pragma once

#include "foundation/platform.h"

namespace found {

class Win32Processes : public Processes {
 public:
  std::optional<std::uint32_t> RunAndWait(const std::string& commandLine, int showCommand) override;
};

}  // namespace found
