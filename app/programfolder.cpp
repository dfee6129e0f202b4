#include "app/programfolder.h"

#include <system_error>

namespace wf {
namespace {

std::filesystem::path& currentFolder() {
    static std::filesystem::path folder = std::filesystem::current_path();
    return folder;
}

std::filesystem::path absoluteFolder(const std::filesystem::path& folder) {
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(folder, ec);
    return (ec ? folder : absolute).lexically_normal();
}

}  // namespace

std::filesystem::path resolveProgramFolder(const std::optional<std::string>& homeArgument,
                                           const char* homeEnvironment,
                                           const std::filesystem::path& executableFolder) {
    if (homeArgument && !homeArgument->empty()) return absoluteFolder(*homeArgument);
    if (homeEnvironment && *homeEnvironment) return absoluteFolder(homeEnvironment);
    return absoluteFolder(executableFolder);
}

std::filesystem::path executableFolder() {
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::current_path() : self.parent_path();
}

void setProgramFolder(std::filesystem::path folder) { currentFolder() = std::move(folder); }

const std::filesystem::path& programFolder() { return currentFolder(); }

}  // namespace wf
