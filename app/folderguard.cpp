#include "app/folderguard.h"

#include <string>
#include <system_error>

namespace wf {
namespace {

void collapseDoubled(std::string& text, std::string_view doubled) {
    std::string single(doubled.substr(0, 1));
    for (std::size_t at; (at = text.find(doubled)) != std::string::npos;) {
        text.replace(at, doubled.size(), single);
    }
}

bool isSafePosixPath(const std::string& path) {
    if (path.empty() || path.front() != '/' || path == "/") return false;
    std::size_t start = 1;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        std::string_view part(path.data() + start, end - start);
        if (part == "." || part == "..") return false;
        start = end + 1;
    }
    return true;
}

}  // namespace

bool IsSafeFolderPath(std::string_view path, bool rejectDriveRoot) {
    std::string text(path);
    collapseDoubled(text, "\\\\");
    collapseDoubled(text, "//");
    if (!text.empty() && text.front() == '/') return isSafePosixPath(text);
    if (text.empty()) return false;
    char first = text.front();
    if (first >= 'a' && first <= 'z') first = static_cast<char>(first - 'a' + 'A');
    if (first < 'A' || first > 'Z') return false;
    if (text.find(":\\") == std::string::npos && text.find(":/") == std::string::npos) return false;
    if (rejectDriveRoot && text.size() == 3) return false;
    return true;
}

std::filesystem::path listFolderOf(const std::filesystem::path& programFolder,
                                   std::string_view className) {
    if (className.empty() || className == "." ||
        className.find_first_of("/\\") != std::string_view::npos ||
        className.find("..") != std::string_view::npos) {
        return {};
    }
    std::filesystem::path school = (programFolder / "school").lexically_normal();
    std::filesystem::path folder = (school / std::string(className)).lexically_normal();
    if (folder.parent_path() != school) return {};
    return folder;
}

bool removeListFolder(const std::filesystem::path& programFolder, std::string_view className) {
    std::filesystem::path folder = listFolderOf(programFolder, className);
    if (folder.empty() || !IsSafeFolderPath(folder.string(), true)) return false;
    std::error_code ec;
    // A link in school/ goes as a link; what it points to is not the list's own folder.
    auto status = std::filesystem::symlink_status(folder, ec);
    if (ec) return false;
    if (std::filesystem::is_symlink(status)) return std::filesystem::remove(folder, ec) && !ec;
    if (!std::filesystem::is_directory(status)) return false;
    std::filesystem::remove_all(folder, ec);
    return !ec;
}

}  // namespace wf
