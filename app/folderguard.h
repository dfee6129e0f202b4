// The guard that every recursive deletion of the program passes first.
#pragma once

#include <filesystem>
#include <string_view>

namespace wf {

// True when path names a folder that may be removed recursively. Drive-letter paths keep the
// Windows rules (a letter, then ":\" or ":/" somewhere; with rejectDriveRoot a bare drive root
// such as "D:\" is refused); POSIX paths must be absolute, hold no "." or ".." part and not be "/".
bool IsSafeFolderPath(std::string_view path, bool rejectDriveRoot);

// The word-list folder school/CLASS of the program folder, or an empty path when CLASS could
// lead anywhere else: empty, holding "/", "\" or "..", or naming school/ itself.
std::filesystem::path listFolderOf(const std::filesystem::path& programFolder,
                                   std::string_view className);

// Removes a word-list folder with its whole content when it passes IsSafeFolderPath, lies
// directly inside the program folder's school/ and exists. False when nothing was removed.
bool removeListFolder(const std::filesystem::path& programFolder, std::string_view className);

}  // namespace wf
