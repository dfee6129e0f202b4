#include "speech/speechsettings.h"

#include <cctype>
#include <cstdlib>
#include <system_error>

#include "platform/codec.h"
#include "platform/profile.h"

namespace wf {

namespace {

constexpr std::string_view kSection = "setting";
constexpr std::size_t kVoiceChars = 260;

}  // namespace

std::uint16_t languageOfLocale(std::string_view locale) {
    // "zh_CN.UTF-8@variant": only language and territory count.
    const std::size_t end = locale.find_first_of(".@");
    const std::string_view name = locale.substr(0, end);
    struct Known {
        std::string_view name;
        std::uint16_t id;
    };
    static constexpr Known kKnown[] = {
        {"zh_CN", 0x804},  {"zh_SG", 0x1004}, {"zh_TW", 0x404}, {"zh_HK", 0xC04}, {"zh_MO", 0x1404},
        {"zh", 0x804},     {"en_US", 0x409},  {"en_GB", 0x809}, {"en_AU", 0xC09}, {"en_CA", 0x1009},
        {"en_NZ", 0x1409}, {"en_IE", 0x1809}, {"en", 0x409},
    };
    for (const Known& known : kKnown) {
        if (name == known.name) return known.id;
    }
    const std::string_view language = name.substr(0, name.find('_'));
    for (const Known& known : kKnown) {
        if (language == known.name) return known.id;
    }
    return kDefaultLanguage;
}

std::uint16_t userInterfaceLanguage() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) return languageOfLocale(value);
    }
    return kDefaultLanguage;
}

std::u16string languageIdText(std::uint16_t language) {
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    std::u16string text;
    do {
        text.insert(text.begin(), kDigits[language & 0xF]);
        language = static_cast<std::uint16_t>(language >> 4);
    } while (language);
    return text;
}

int profileInteger(std::optional<std::string> text, int fallback) {
    if (!text) return fallback;
    std::string_view digits = *text;
    while (!digits.empty() && std::isspace(static_cast<unsigned char>(digits.front()))) {
        digits.remove_prefix(1);
    }
    if (!digits.empty() && digits.front() == '-') return 0;
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    long long value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') break;
        value = value * 10 + (c - '0');
        if (value > 0x7fffffff) return 0x7fffffff;
    }
    return static_cast<int>(value);
}

bool SpeechSettingsFile::exists() const {
    std::error_code error;
    return !m_path.empty() && std::filesystem::is_regular_file(m_path, error);
}

StoredSpeechSettings SpeechSettingsFile::load() const {
    const ProfileDocument document = ProfileDocument::load(m_path);
    StoredSpeechSettings settings;
    std::u16string voice = utf8ToUtf16(document.value(kSection, "voice").value_or(""));
    if (voice.size() > kVoiceChars - 1) voice.resize(kVoiceChars - 1);
    settings.voice = std::move(voice);
    settings.volume = profileInteger(document.value(kSection, "volume"), 50);
    settings.speed = profileInteger(document.value(kSection, "speed"), 50);
    settings.pitch = profileInteger(document.value(kSection, "pitch"), 50);
    return settings;
}

void SpeechSettingsFile::save(const std::u16string* voice, int volume, int speed, int pitch) const {
    if (m_path.empty()) return;
    ProfileDocument document = ProfileDocument::load(m_path);
    if (voice) {
        document.setValue(kSection, "voice", utf16ToUtf8(*voice));
    } else {
        document.removeKey(kSection, "voice");
    }
    document.setValue(kSection, "volume", std::to_string(volume));
    document.setValue(kSection, "speed", std::to_string(speed));
    document.setValue(kSection, "pitch", std::to_string(pitch));
    document.save(m_path);  // write failures are not reported
}

}  // namespace wf
