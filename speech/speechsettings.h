// The speech library's settings file (kvttscfg.ini beside the library) and the user-interface
// language, which decides in which language voice and output names are read.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace wf {

inline constexpr std::uint16_t kDefaultLanguage = 0x409;  // English (United States)
inline constexpr std::uint16_t kChineseSimplified = 0x804;

// The language identifier of the locale that LC_ALL, LC_MESSAGES or LANG names (the first that
// is set); the default for a locale that is unknown, "C" or "POSIX".
std::uint16_t userInterfaceLanguage();
std::uint16_t languageOfLocale(std::string_view locale);
// Upper-case hexadecimal without leading zeros: 0x804 is "804".
std::u16string languageIdText(std::uint16_t language);

struct StoredSpeechSettings {
    std::u16string voice;  // empty when absent
    int volume = 50;
    int speed = 50;
    int pitch = 50;
};

class SpeechSettingsFile {
  public:
    explicit SpeechSettingsFile(std::filesystem::path path) : m_path(std::move(path)) {}
    const std::filesystem::path& path() const { return m_path; }
    bool exists() const;
    StoredSpeechSettings load() const;
    // An absent voice removes the key.
    void save(const std::u16string* voice, int volume, int speed, int pitch) const;

  private:
    std::filesystem::path m_path;
};

// A profile integer as the system reads it: leading digits, negative numbers as 0.
int profileInteger(std::optional<std::string> text, int fallback);

}  // namespace wf
