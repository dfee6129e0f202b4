#include "app/shippeddata.h"

#include <unistd.h>

#include <string>

#include "platform/fileio.h"
#include <system_error>

namespace wf {

std::vector<std::filesystem::path> shippedDataFolders(
    const std::filesystem::path& executableFolder) {
    std::vector<std::filesystem::path> folders{
        executableFolder / "data",
        (executableFolder / ".." / "share" / "wordfern" / "data").lexically_normal(),
    };
#ifdef WF_SOURCE_DATA_DIR
    folders.emplace_back(WF_SOURCE_DATA_DIR);
#endif
    return folders;
}

bool installShippedData(const std::filesystem::path& programFolder,
                        const std::vector<std::filesystem::path>& sources) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path target = programFolder / "data";
    if (fs::is_directory(target, ec)) return true;
    for (const fs::path& source : sources) {
        if (!fs::is_directory(source, ec)) continue;
        if (fs::equivalent(source, target, ec)) continue;
        fs::create_directories(programFolder, ec);
        const fs::path partial =
            programFolder / ("data.partial-" + std::to_string(static_cast<long>(::getpid())));
        fs::remove_all(partial, ec);
        fs::copy(source, partial, fs::copy_options::recursive, ec);
        if (ec) {
            fs::remove_all(partial, ec);
            continue;
        }
        fs::rename(partial, target, ec);
        if (ec) fs::remove_all(partial, ec);
        return fs::is_directory(target, ec);
    }
    return false;
}

std::vector<std::filesystem::path> shippedDocumentFolders(
    const std::filesystem::path& executableFolder) {
    std::vector<std::filesystem::path> folders{
        executableFolder,
        (executableFolder / ".." / "share" / "wordfern").lexically_normal(),
    };
#ifdef WF_SOURCE_DIST_DIR
    folders.emplace_back(WF_SOURCE_DIST_DIR);
#endif
    return folders;
}

void installShippedDocuments(const std::filesystem::path& programFolder,
                             const std::vector<std::filesystem::path>& sources) {
    namespace fs = std::filesystem;
    std::error_code ec;
    for (const char* name : kShippedDocuments) {
        const fs::path target = programFolder / name;
        if (fs::exists(target, ec)) continue;
        for (const fs::path& source : sources) {
            auto bytes = readFileBytes(source / name);
            if (!bytes) continue;
            fs::create_directories(programFolder, ec);
            writeFileAtomically(target, *bytes);
            break;
        }
    }
}

}  // namespace wf
