#include "app/settings.h"

#include <limits>

#include "app/programfolder.h"
#include "platform/codec.h"
#include "platform/profile.h"

namespace wf {

std::filesystem::path settingsPath() { return programFolder() / "sc.ini"; }

std::string readSetting(std::string_view section, std::string_view key, std::string_view def) {
    if (section.empty() || key.empty()) return {};
    auto value = profileRead(settingsPath(), section, key);
    return value ? *value : std::string(def);
}

bool writeSetting(std::string_view section, std::string_view key, std::string_view value) {
    return profileWrite(settingsPath(), section, key, value);
}

bool deleteSetting(std::string_view section, std::string_view key) {
    return profileDeleteKey(settingsPath(), section, key);
}

bool deleteSection(std::string_view section) { return profileDeleteSection(settingsPath(), section); }

std::vector<std::string> sectionNames() { return profileSectionNames(settingsPath()); }

std::int32_t settingToInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::int64_t value = 0;
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > kLimit) value = kLimit;
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<std::int32_t>::max()) value = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(value);
}

std::pair<std::int32_t, std::int32_t> splitNumberPair(std::string_view text) {
    std::size_t dot = text.find('.');
    if (dot == std::string_view::npos) return {1, 1};
    std::string_view first = text.substr(0, dot);
    std::string_view rest = text.substr(dot + 1);
    std::string_view second = rest.substr(0, rest.find('.'));
    return {settingToInt(first), settingToInt(second)};
}

namespace {

template <typename Read>
ListProgress progressFrom(Read read) {
    ListProgress progress;
    std::tie(progress.unit, progress.position) = splitNumberPair(read("grade", "1.1"));
    std::tie(progress.phase, progress.counter) = splitNumberPair(read("study", "1.1"));
    progress.className = read("class", "");
    progress.dailyWords = settingToInt(read("words", "20"));
    return progress;
}

}  // namespace

ListProgress loadListProgress(std::string_view section) {
    return progressFrom([section](std::string_view key, std::string_view def) {
        return readSetting(section, key, def);
    });
}

ListProgress listProgressIn(const ProfileDocument& settings, std::string_view section) {
    return progressFrom([&](std::string_view key, std::string_view def) -> std::string {
        if (section.empty()) return {};
        auto value = settings.value(section, key);
        return value ? truncateToGb18030Bytes(*value, kProfileValueBuffer - 1) : std::string(def);
    });
}

bool saveListProgress(std::string_view section, const ListProgress& progress) {
    bool ok = writeSetting(section, "grade",
                           std::to_string(progress.unit) + "." + std::to_string(progress.position));
    return writeSetting(section, "study",
                        std::to_string(progress.phase) + "." + std::to_string(progress.counter)) && ok;
}

std::string defaultUser() { return readSetting("settings", "default", ""); }

}  // namespace wf
