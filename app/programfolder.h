// The program folder: where sc.ini, school/, data/ and temp/ live.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace wf {

// --home DIR wins, then the environment variable WORDFERN_HOME, then the executable's folder.
std::filesystem::path resolveProgramFolder(const std::optional<std::string>& homeArgument,
                                           const char* homeEnvironment,
                                           const std::filesystem::path& executableFolder);

// The folder of the running executable.
std::filesystem::path executableFolder();

void setProgramFolder(std::filesystem::path folder);
const std::filesystem::path& programFolder();

}  // namespace wf
