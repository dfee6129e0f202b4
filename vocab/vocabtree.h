// The vocabulary tree under school/: one folder per word list, one folder per unit.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wf {

std::filesystem::path schoolFolder();
std::filesystem::path listFolder(std::string_view list);
std::filesystem::path unitFolder(std::string_view list, int unit);
std::filesystem::path unitFilePath(std::string_view list, int unit);
std::filesystem::path recordingPath(std::string_view list, int unit, int element);
bool unitExists(std::string_view list, int unit);

// A list or user name that can stand as one path component: not empty, no folder separators,
// not "." or "..". Names from sc.ini pass through here before any file is touched.
bool isSafeName(std::string_view name);

// One word of a unit file. A field that is absent is not written; an element with no field is
// written empty and still takes its number.
struct UnitWord {
    std::optional<std::string> en;  // written with num="1"
    std::optional<std::string> ch;
    std::optional<std::string> wc;
    std::optional<std::string> mp3;
};

enum class UnitKind {
    BuiltIn,  // every field present, wc as CDATA
    Custom,   // wc as plain text, mp3 only when downloaded, and a final "words" count
};

// The unit file's bytes in the exact layout (GB18030).
std::string unitFileBytes(std::string_view list, const std::vector<UnitWord>& words, UnitKind kind);
// Creates the folders and writes the unit file whole, replacing one of the same name.
bool writeUnitFile(std::string_view list, int unit, const std::vector<UnitWord>& words, UnitKind kind);

}  // namespace wf
