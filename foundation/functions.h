// Path, command-line and shell routines of both programs. Paths are Windows
// paths; names compare case-insensitively, as the file system does.
#pragma once

#include <cstdint>
#include <string>

#include "foundation/datetime.h"

namespace found {

// The two programs differ in their path tokens and in how a command line is cut.
enum class Tool { Cleaner, UninstallManager };

// The long form of a path (8.3 names replaced), taken only when it has 1 to
// 260 characters; otherwise, or when the system cannot tell, `path` itself.
std::string GetLongPath(const std::string& path);

// "" stays "", "C:\" stays, "C:\x" becomes "C:\x\".
std::string AddBackslash(const std::string& path);

// Upper-cases the text and replaces the tool's tokens ("%WINDIR%\",
// "%APP%\", ...) by the folders of GlobalVars.
std::string ExpandPathTokens(const std::string& text, Tool tool);

// Finds the leading part of a command line that names an existing program or
// file, cutting words off at blanks and trying ".exe", in the search path for
// a name without a drive. `matched` is that part as written (maybe with
// ".exe"), or empty when nothing was found; `fullPath` is where it was found
// and is left untouched when nothing was.
void SplitCommandLine(const std::string& commandLine, std::string& fullPath, std::string& matched);

// Whether the program or file a command line starts with exists. The cleaner
// also cuts at "," (shell32.dll,-154); the uninstall manager does not.
bool CommandLineTargetExists(const std::string& commandLine, Tool tool);

// Size of the first entry matching the path, the low 32 bits as the platform's
// find record has them; 0 when there is none.
std::uint32_t FileSizeOf(const std::string& path);

// Asks the shell for the properties sheet; does not wait for it to close.
bool ShowFileProperties(const std::string& path);

// Creation time (UTC) of a folder; 0 for an empty argument, a missing folder
// or a path that names a file.
TDateTime FolderCreationTime(const std::string& folder);

// Bytes of all files in the folder and its subfolders; 0 when it is missing.
std::int64_t FolderSize(const std::string& folder);

// A folder that must never be deleted: a drive root, a folder of GlobalVars or
// any parent of one. A path that does not name its drive cannot be placed and
// counts as protected too.
bool IsProtectedFolder(const std::string& path);

// Deletes a file or a folder with everything in it through the shell, without
// questions; refuses a protected folder. True when the shell reports success.
bool DeletePath(const std::string& path, bool toRecycleBin);

// Runs the command line and waits for it and the processes it starts; its
// exit code, or -1 when it cannot be started.
int RunAndWait(const std::string& commandLine, int showCommand);

// Index of the path's icon in the system image list; -1 when the shell cannot tell.
int SystemIconIndex(const std::string& path);

}  // namespace found
