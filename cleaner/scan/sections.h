// The sections of a scan, in scan order, with their captions and pictures.
#pragma once

#include <array>
#include <cstdint>

namespace cleaner {

struct SectionInfo {
  int id;
  const char* treeCaption;
  int treePicture;
  const char* announced;      // shown while the section is scanned
  const char* headerCaption;  // the header row of the problem list
  std::uint32_t headerRoot;
  int headerImage;
};

inline constexpr int kSectionFilesAndFolders = 2;  // the parent of ids 21 to 23, no section itself
inline constexpr int kSectionMyComputer = 0;        // the tree's root item
inline constexpr int kMyComputerPicture = 23;
inline constexpr int kFilesAndFoldersPicture = 1;

extern const std::array<SectionInfo, 22> kSections;

const SectionInfo* FindSection(int id);

}  // namespace cleaner
