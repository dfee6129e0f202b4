#include "app/mainscreen.h"

#include <gtest/gtest.h>

#include "app/settings.h"
#include "app/shippeddata.h"
#include "tests/support/testsupport.h"

namespace wf {
namespace {

class MainScreenTest : public test::TempHome {
  protected:
    void writeSettings(std::string_view text) { test::writeGb(home() / "sc.ini", text); }
};

TEST_F(MainScreenTest, GenericGreetingWithoutSettingsFile) {
    MainScreen screen = loadMainScreen();
    EXPECT_EQ(screen.welcomeText,
              "欢迎你的到来，你可以在菜单里注册你要被的单词或者看看英语沙龙，"
              "对本软件有什么建议和意见请加群反馈\r\nWordfern:" +
                  std::string(kFeedbackGroupNumber));
    EXPECT_FALSE(screen.studyEnabled);
    EXPECT_TRUE(screen.users.empty());
}

TEST_F(MainScreenTest, GreetsTheDefaultUserAndListsOnlySectionsWithAList) {
    writeSettings(
        "[settings]\r\ndefault=小明\r\ns_time=0\r\n"
        "[setting]\r\nexample=true\r\n"
        "[中文引擎]\r\n角色=x\r\n"
        "[小明]\r\nclass=四级词汇\r\ngrade=3.12.5\r\nstudy=2.1\r\nwords=20\r\n"
        "[noclass]\r\ngrade=2.2\r\nstudy=1.1\r\n"
        "[bob]\r\nclass=cet6\r\ngrade=x\r\n");
    MainScreen screen = loadMainScreen();
    EXPECT_EQ(screen.welcomeText,
              "欢迎 小明 的到来\r\n\r\n四级词汇\r\n背单词，被到了 地3单元 地12个单词");
    EXPECT_TRUE(screen.studyEnabled);
    ASSERT_EQ(screen.users.size(), 2u);
    EXPECT_EQ(screen.users[0].name, "小明");
    EXPECT_EQ(screen.users[0].className, "四级词汇");
    EXPECT_EQ(screen.users[0].unit, 3);
    EXPECT_EQ(screen.users[0].position, 12);
    EXPECT_EQ(screen.users[1].name, "bob");
    EXPECT_EQ(screen.users[1].unit, 1);  // a malformed grade reads as 1.1
    EXPECT_EQ(screen.users[1].position, 1);
}

TEST_F(MainScreenTest, DefaultUserWithoutAListOnlyGreets) {
    writeSettings("[settings]\r\ndefault=noclass\r\n[noclass]\r\ngrade=2.2\r\n");
    MainScreen screen = loadMainScreen();
    EXPECT_EQ(screen.welcomeText, "欢迎 noclass 的到来\r\n\r\n");
    EXPECT_FALSE(screen.studyEnabled);
    EXPECT_TRUE(screen.users.empty());
}

TEST_F(MainScreenTest, AUserNamedSettingsIsListed) {
    writeSettings("[settings]\r\ndefault=settings\r\nclass=cet4\r\ngrade=1.4\r\n");
    MainScreen screen = loadMainScreen();
    ASSERT_EQ(screen.users.size(), 1u);
    EXPECT_EQ(screen.users[0].name, "settings");
    EXPECT_EQ(screen.users[0].position, 4);
    EXPECT_TRUE(screen.studyEnabled);
}

TEST_F(MainScreenTest, SetDefaultWritesTheNameAndReturnsTheMessage) {
    writeSettings("[amy]\r\nclass=cet4\r\n");
    EXPECT_EQ(setDefaultUser("amy", "cet4"), "cet4 设为默认背单词");
    EXPECT_EQ(defaultUser(), "amy");
    EXPECT_EQ(setDefaultUser("amy", ""), "");
}

TEST_F(MainScreenTest, DeleteRemovesFolderSectionAndDefaultButKeepsOthers) {
    writeSettings("[settings]\r\ndefault=amy\r\n[amy]\r\nclass=cet4\r\n[bob]\r\nclass=cet6\r\n");
    test::writeBytes(home() / "school" / "cet4" / "unit1" / "unit1.xml", "x");
    test::writeBytes(home() / "school" / "cet6" / "unit1" / "unit1.xml", "x");
    EXPECT_EQ(deleteUserQuestion("amy"), "是否删除amy 和所下载的内容");
    deleteUser("amy");
    EXPECT_FALSE(std::filesystem::exists(home() / "school" / "cet4"));
    EXPECT_TRUE(std::filesystem::exists(home() / "school" / "cet6" / "unit1" / "unit1.xml"));
    EXPECT_EQ(readSetting("amy", "class", "none"), "none");
    EXPECT_EQ(defaultUser(), "");
    EXPECT_EQ(readSetting("bob", "class", ""), "cet6");
}

TEST_F(MainScreenTest, DeleteWithAClassLeavingSchoolCleansSettingsOnly) {
    writeSettings(
        "[settings]\r\ndefault=eve\r\n[eve]\r\nclass=..\r\n[mal]\r\nclass=../outside\r\n");
    test::writeBytes(home() / "school" / "cet4" / "unit1.xml", "x");
    test::writeBytes(home() / "outside" / "keep.txt", "x");
    deleteUser("eve");
    deleteUser("mal");
    EXPECT_TRUE(std::filesystem::exists(home() / "school" / "cet4" / "unit1.xml"));
    EXPECT_TRUE(std::filesystem::exists(home() / "outside" / "keep.txt"));
    EXPECT_TRUE(sectionNames().empty() || sectionNames() == std::vector<std::string>{"settings"});
    EXPECT_EQ(defaultUser(), "");
}

TEST(UpdaterCommand, ProgramBesideWithOwnNameAndUpdated) {
    UpdaterCommand command = updaterCommand("/opt/wf", "/opt/wf/wordfern");
    EXPECT_EQ(command.program, std::filesystem::path("/opt/wf/update"));
    EXPECT_EQ(command.arguments, (std::vector<std::string>{"wordfern", "updated"}));
}

class ShippedDataTest : public test::TempHome {};

TEST_F(ShippedDataTest, CopiesTheFirstExistingSourceOnceAndKeepsExistingData) {
    const auto source = home() / "shipped";
    test::writeBytes(source / "address.dat", "a---b");
    test::writeBytes(source / "word" / "97.mp3", "mp3");
    const auto program = home() / "program";
    EXPECT_TRUE(installShippedData(program, {home() / "missing", source}));
    EXPECT_EQ(test::readBytes(program / "data" / "word" / "97.mp3"), "mp3");

    test::writeBytes(program / "data" / "address.dat", "mine");
    EXPECT_TRUE(installShippedData(program, {source}));
    EXPECT_EQ(test::readBytes(program / "data" / "address.dat"), "mine");

    EXPECT_FALSE(installShippedData(home() / "empty", {home() / "missing"}));
    EXPECT_FALSE(std::filesystem::exists(home() / "empty" / "data"));
    for (const auto& entry : std::filesystem::directory_iterator(program)) {
        EXPECT_EQ(entry.path().filename(), "data");  // no partial copy left behind
    }
}

TEST_F(ShippedDataTest, DocumentsAreCopiedWhenMissingAndKeptWhenPresent) {
    test::writeBytes(home() / "dist" / "说明.txt", "manual");
    test::writeBytes(home() / "dist" / "更新日志.txt", "changes");
    test::writeBytes(home() / "other" / "说明.txt", "other manual");
    const auto program = home() / "program";
    test::writeBytes(program / "更新日志.txt", "my notes");
    installShippedDocuments(program, {home() / "missing", home() / "dist", home() / "other"});
    EXPECT_EQ(test::readBytes(program / "说明.txt"), "manual");
    EXPECT_EQ(test::readBytes(program / "更新日志.txt"), "my notes");
}

}  // namespace
}  // namespace wf
