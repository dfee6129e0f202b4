// The library's settings file and the interface language taken from the locale.
#include <gtest/gtest.h>

#include <cstdlib>

#include "speech/speechsettings.h"
#include "tests/support/testsupport.h"

namespace wf::test {
namespace {

TEST(SpeechLanguage, LocaleNamesGiveLanguageIdentifiers) {
    const std::pair<const char*, std::uint16_t> cases[] = {
        {"zh_CN.UTF-8", 0x804},
        {"zh_CN", 0x804},
        {"zh_TW.Big5", 0x404},
        {"zh_HK.UTF-8", 0xC04},
        {"zh_SG.GB2312", 0x1004},
        {"en_US.UTF-8", 0x409},
        {"en_GB", 0x809},
        {"en_IN.UTF-8", 0x409},
        {"C", 0x409},
        {"C.UTF-8", 0x409},
        {"POSIX", 0x409},
        {"fr_FR.UTF-8", 0x409},
        {"", 0x409},
    };
    for (auto [locale, id] : cases) EXPECT_EQ(languageOfLocale(locale), id) << locale;

    const std::pair<std::uint16_t, std::u16string> texts[] = {
        {0x804, u"804"}, {0, u"0"}, {0x409, u"409"}, {0xC04, u"C04"}, {0x1004, u"1004"}};
    for (const auto& [id, text] : texts) EXPECT_EQ(languageIdText(id), text);
}

TEST(SpeechLanguage, FirstSetVariableWins) {
    struct Saved {
        const char* name;
        std::optional<std::string> value;
    } saved[] = {{"LC_ALL", {}}, {"LC_MESSAGES", {}}, {"LANG", {}}};
    for (Saved& s : saved) {
        if (const char* v = std::getenv(s.name)) s.value = v;
    }
    setenv("LC_ALL", "", 1);
    setenv("LC_MESSAGES", "zh_CN.UTF-8", 1);
    setenv("LANG", "en_US.UTF-8", 1);
    EXPECT_EQ(userInterfaceLanguage(), 0x804);
    unsetenv("LC_MESSAGES");
    EXPECT_EQ(userInterfaceLanguage(), 0x409);
    setenv("LC_ALL", "zh_TW.UTF-8", 1);
    EXPECT_EQ(userInterfaceLanguage(), 0x404);
    for (Saved& s : saved) {
        if (s.value) {
            setenv(s.name, s.value->c_str(), 1);
        } else {
            unsetenv(s.name);
        }
    }
}

TEST(SpeechSettings, IntegersReadAsTheProfileFunctionsReadThem) {
    const std::pair<std::optional<std::string>, int> cases[] = {
        {"150", 150}, {"-5", 0}, {"-1", 0},         {"12abc", 12},
        {"abc", 0},   {" 7", 7}, {std::nullopt, 50}};
    for (const auto& [text, value] : cases) EXPECT_EQ(profileInteger(text, 50), value);
}

class SpeechSettingsFileTest : public TempHome {};

TEST_F(SpeechSettingsFileTest, SavesAndLoadsWithDefaults) {
    const SpeechSettingsFile file(home() / "kvttscfg.ini");
    EXPECT_FALSE(file.exists());
    const StoredSpeechSettings missing = file.load();
    EXPECT_EQ(missing.voice, u"");
    EXPECT_EQ(missing.volume, 50);

    const std::u16string voice = u"汉语（普通话）";
    file.save(&voice, 100, -1, 30);
    EXPECT_TRUE(file.exists());
    const std::string bytes = readBytes(file.path());
    EXPECT_NE(bytes.find("speed=-1\r\n"), std::string::npos);  // an engine that cannot say
    StoredSpeechSettings loaded = file.load();
    EXPECT_EQ(loaded.voice, voice);
    EXPECT_EQ(loaded.volume, 100);
    EXPECT_EQ(loaded.speed, 0);
    EXPECT_EQ(loaded.pitch, 30);

    // No current voice removes the key; other lines of the file stay.
    writeBytes(file.path(), "; mine\r\n[setting]\r\nvoice=x\r\nvolume=1\r\n");
    file.save(nullptr, 60, 50, 50);
    loaded = file.load();
    EXPECT_EQ(loaded.voice, u"");
    EXPECT_EQ(loaded.volume, 60);
    EXPECT_EQ(readBytes(file.path()).rfind("; mine\r\n", 0), 0u);
}

}  // namespace
}  // namespace wf::test
