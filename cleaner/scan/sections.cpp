#include "cleaner/scan/sections.h"

#include "foundation/platform.h"

namespace cleaner {

using found::kHkeyClassesRoot;
using found::kHkeyCurrentUser;
using found::kHkeyLocalMachine;
using found::kHkeyUsers;

const std::array<SectionInfo, 22> kSections = {{
    {1, "Registry Integrity", 0, "Registry Integrity", "Registry Integrity", kHkeyCurrentUser, 0},
    {21, "HKEY_LOCAL_MACHINE", 2, "Files and Folders - HKEY_LOCAL_MACHINE",
     "HKEY_LOCAL_MACHINE - Files and Folders", kHkeyLocalMachine, 1},
    {22, "HKEY_CURRENT_USER", 3, "Files and Folders - HKEY_CURRENT_USER", "HKEY_CURRENT_USER - Files and Folders",
     kHkeyCurrentUser, 1},
    {23, "HKEY_USERS", 4, "Files and Folders - HKEY_USERS", "HKEY_USERS - Files and Folders", kHkeyUsers, 1},
    {100, "Adware and Spyware", 22, "Spyware and Virus", "Adware and Spyware", 0, 18},
    {3, "Obsolete Software", 5, "Obsolete Software", "Obsolete software", 0, 5},
    {4, "Custom Controls", 6, "Custom Controls", "Custom Controls", 0, 6},
    {5, "File Extensions", 7, "File Extensions", "File Extensions", 0, 7},
    {6, "File Associations", 8, "File Associations", "File Associations", kHkeyClassesRoot, 8},
    {7, "Start Menu", 9, "Start Menu", "Start Menu", 0, 9},
    {8, "Startup Programs", 10, "Startup Programs", "Startup programs", 0, 10},
    {9, "Shared Programs", 11, "Shared Programs", "Shared Programs", 0, 11},
    {10, "Software Locations", 12, "Software Locations", "Software Locations", 0, 12},
    {11, "Add/Remove Programs", 13, "Add/Remove Programs", "Add/Remove Programs", kHkeyLocalMachine, 13},
    {12, "Windows Fonts", 14, "Windows Fonts", "Windows Fonts", 0, 14},
    {13, "Help and Resources", 15, "Help and Resources", "Help and Resources", 0, 15},
    {14, "Sounds and Appevents", 16, "Sounds and Appevents", "Sounds and Appevents", kHkeyCurrentUser, 1},
    {15, "MRU and History Lists", 17, "MRU and History Lists", "MRU and History Lists", 0, 17},
    {16, "Device Drivers", 18, "Device Drivers", "Device Drivers", 0, 18},
    {17, "Windows Services", 19, "Windows Services", "Windows Services", kHkeyLocalMachine, 17},
    {18, "Virtual Devices", 20, "Virtual Devices", "Virtual Devices", kHkeyLocalMachine, 20},
    {19, "ShortCuts", 21, "ShortCuts", "ShortCuts", 0, 21},
}};

const SectionInfo* FindSection(int id) {
  for (const auto& section : kSections) {
    if (section.id == id) return &section;
  }
  return nullptr;
}

}  // namespace cleaner
