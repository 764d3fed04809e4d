// TRegData: one row of the problem list, a section header or a problem.
#pragma once

#include <cstdint>
#include <string>

#include "foundation/treemodel.h"

namespace cleaner {

inline constexpr std::int32_t kKindDeleteKey = 1;
inline constexpr std::int32_t kKindDeleteValue = 2;
inline constexpr std::int32_t kKindDeleteFile = 3;

struct TRegData {
  std::string KeyPath;    // below RootKey, beginning with "\"; a shortcut's file path
  std::string ValueName;  // empty also for the default value
  std::string ValueData;
  std::uint32_t RootKey = 0;
  std::string Reason;
  std::int32_t Kind = 0;  // kKindDeleteKey, kKindDeleteValue, kKindDeleteFile
  std::string Caption;    // header rows only
  std::int32_t ProblemCount = 0;
  std::int32_t ImageIndex = -1;
  std::int32_t Correction = 1;  // 1 apply Kind, 2 leave unchanged
  std::string Note;
  bool Expanded = false;
  bool Repaired = false;
};

using ProblemTree = found::TreeModel<TRegData>;
using ProblemNode = ProblemTree::Node;

}  // namespace cleaner
