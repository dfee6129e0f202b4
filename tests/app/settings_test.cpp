#include "app/settings.h"

#include <gtest/gtest.h>

#include "app/programfolder.h"
#include "platform/codec.h"
#include "tests/support/testsupport.h"

namespace wf {
namespace {

using Settings = test::TempHome;

TEST_F(Settings, DefaultsAndEmptyNames) {
    EXPECT_EQ(settingsPath(), home() / "sc.ini");
    EXPECT_EQ(readSetting("settings", "s_time", "0"), "0");
    EXPECT_EQ(readSetting("", "s_time", "0"), "");
    EXPECT_EQ(readSetting("settings", "", "0"), "");
    EXPECT_FALSE(std::filesystem::exists(settingsPath())) << "reading never creates the file";
    EXPECT_EQ(loadListProgress("nobody"), (ListProgress{"", 1, 1, 1, 1, 20}));
}

TEST_F(Settings, ProgressValuesConvertLikeTheProgramExpects) {
    struct Case {
        const char* grade;
        const char* study;
        const char* words;
        ListProgress expected;
    } cases[] = {
        {"3.12", "2.5", "30", {"L", 3, 12, 2, 5, 30}},
        {"3", "", "", {"L", 1, 1, 1, 1, 0}},        // one part gives 1.1; empty words gives 0
        {"3.12.5", " +2.-4", "x", {"L", 3, 12, 2, -4, 0}},
        {"ab.cd", "1.", "  7 apples", {"L", 0, 0, 1, 0, 7}},
        {"99999999999.-99999999999", "0.1", "-3", {"L", 2147483647, -2147483647 - 1, 0, 1, -3}},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(settingsPath());
        writeSetting("u", "class", "L");
        writeSetting("u", "grade", c.grade);
        writeSetting("u", "study", c.study);
        writeSetting("u", "words", c.words);
        EXPECT_EQ(loadListProgress("u"), c.expected) << c.grade << " " << c.study << " " << c.words;
    }
}

TEST_F(Settings, SavingWritesOnlyGradeAndStudy) {
    writeSetting("小明", "class", "四级词汇");
    writeSetting("小明", "words", "15");
    ListProgress p = loadListProgress("小明");
    p.unit = 2;
    p.position = 7;
    p.phase = 3;
    p.counter = 4;
    p.className = "changed";
    p.dailyWords = 99;
    ASSERT_TRUE(saveListProgress("小明", p));
    EXPECT_EQ(test::readBytes(settingsPath()),
              encodeGb18030("[小明]\r\nclass=四级词汇\r\nwords=15\r\ngrade=2.7\r\nstudy=3.4\r\n"));
}

TEST_F(Settings, SectionsAndUsers) {
    writeSetting("settings", "default", "settings");
    writeSetting("settings", "class", "list");  // a user named "settings" shares the section
    writeSetting("a", "grade", "1.1");
    EXPECT_EQ(sectionNames(), (std::vector<std::string>{"settings", "a"}));
    EXPECT_EQ(defaultUser(), "settings");
    EXPECT_EQ(loadListProgress("settings").className, "list");
    deleteSetting("settings", "default");
    EXPECT_EQ(defaultUser(), "");
    deleteSection("a");
    EXPECT_EQ(sectionNames(), (std::vector<std::string>{"settings"}));
}

TEST(ProgramFolder, ResolutionOrder) {
    EXPECT_EQ(resolveProgramFolder(std::string("/tmp/h"), "/env", "/exe"), "/tmp/h");
    EXPECT_EQ(resolveProgramFolder(std::nullopt, "/env/x/../y", "/exe"), "/env/y");
    EXPECT_EQ(resolveProgramFolder(std::nullopt, "", "/exe"), "/exe");
    EXPECT_EQ(resolveProgramFolder(std::nullopt, nullptr, "/exe/"), "/exe/");
}

}  // namespace
}  // namespace wf
