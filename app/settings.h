// The settings file sc.ini in the program folder, reached one key at a time.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace wf {

class ProfileDocument;

// Where a learner stands in a word list and in its study cycle (a user section of sc.ini).
struct ListProgress {
    std::string className;    // key "class": the list's folder under school/
    std::int32_t unit = 1;     // first number of "grade"
    std::int32_t position = 1; // second number of "grade": 1-based word in the unit
    std::int32_t phase = 1;    // first number of "study": the stage of the cycle
    std::int32_t counter = 1;  // second number of "study": 1-based index within the stage
    std::int32_t dailyWords = 20;  // key "words"
    bool operator==(const ListProgress&) const = default;
};

std::filesystem::path settingsPath();

// The stored value, or def when the file, section or key does not exist; empty text when
// section or key is empty. Values are cut to the profile buffer of 10240 bytes.
std::string readSetting(std::string_view section, std::string_view key, std::string_view def);
bool writeSetting(std::string_view section, std::string_view key, std::string_view value);
bool deleteSetting(std::string_view section, std::string_view key);
bool deleteSection(std::string_view section);
std::vector<std::string> sectionNames();

ListProgress loadListProgress(std::string_view section);
// The same record from a settings file read once, for listing every user in one pass.
ListProgress listProgressIn(const ProfileDocument& settings, std::string_view section);
// Writes "grade" and "study"; "class" and "words" belong to the registration.
bool saveListProgress(std::string_view section, const ListProgress& progress);

// A decimal integer as the settings read them: leading blanks and a sign allowed, text that
// does not start with a number gives 0, values beyond 32 bits are clamped.
std::int32_t settingToInt(std::string_view text);

// "a.b" split into its first two numbers; fewer than two parts give 1 and 1.
std::pair<std::int32_t, std::int32_t> splitNumberPair(std::string_view text);

// The user named by "default" in section "settings".
std::string defaultUser();

}  // namespace wf
