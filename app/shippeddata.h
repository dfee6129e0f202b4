// The data/ folder that ships with the program, copied into a program folder that has none.
#pragma once

#include <filesystem>
#include <vector>

namespace wf {

// Where shipped data may be found, in order of preference: data/ beside the executable, an
// installed share/wordfern/data, and in development builds the source tree's data/.
std::vector<std::filesystem::path> shippedDataFolders(
    const std::filesystem::path& executableFolder);

// Gives the program folder a data/ copied from the first existing source when it has none.
// The copy goes to a temporary folder first and is renamed into place, so an interrupted copy
// never leaves a half data/ behind. True when data/ exists afterwards.
bool installShippedData(const std::filesystem::path& programFolder,
                        const std::vector<std::filesystem::path>& sources);

// The manual and the change log that the About menu opens from the program folder.
inline constexpr const char* kShippedDocuments[] = {"说明.txt", "更新日志.txt"};

// Where they may be found: beside the executable, an installed share/wordfern, and in
// development builds the source tree's dist/.
std::vector<std::filesystem::path> shippedDocumentFolders(
    const std::filesystem::path& executableFolder);

// Copies each shipped document the program folder lacks from the first source that has it
// (written atomically). Documents already there, edited or not, are kept.
void installShippedDocuments(const std::filesystem::path& programFolder,
                             const std::vector<std::filesystem::path>& sources);

}  // namespace wf
