// Only window code may use Qt: everything else is core and builds without it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

namespace {

bool isWindowCode(const std::filesystem::path& relative) {
    for (const auto& part : relative) {
        if (part == "ui" || part == "qt") return true;
    }
    return false;
}

TEST(Layout, OnlyWindowCodeIncludesQt) {
    const std::filesystem::path root = WF_SOURCE_DIR;
    const std::regex qtInclude(R"(^\s*#\s*include\s*[<"](Q[A-Za-z]+|Qt[A-Za-z]*/))");
    std::vector<std::string> offenders;
    for (const char* top : {"platform", "app", "vocab", "study", "online", "game", "downloads",
                            "updater", "speech", "tools"}) {
        if (!std::filesystem::exists(root / top)) continue;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root / top)) {
            auto ext = entry.path().extension();
            if (ext != ".h" && ext != ".cpp" && ext != ".hpp" && ext != ".c") continue;
            auto relative = std::filesystem::relative(entry.path(), root);
            if (isWindowCode(relative)) continue;
            std::ifstream in(entry.path());
            std::string line;
            while (std::getline(in, line)) {
                if (std::regex_search(line, qtInclude)) offenders.push_back(relative.string() + ": " + line);
            }
        }
    }
    EXPECT_TRUE(offenders.empty()) << ::testing::PrintToString(offenders);
}

}  // namespace
