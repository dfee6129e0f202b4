#include "platform/profile.h"

#include <gtest/gtest.h>

#include "platform/codec.h"
#include "tests/support/testsupport.h"

namespace wf {
namespace {

using test::readBytes;
using test::writeBytes;

class Profile : public ::testing::Test {
protected:
    void SetUp() override { m_dir = test::makeTempDir("wordfern-profile-"); }
    void TearDown() override { std::filesystem::remove_all(m_dir); }
    std::filesystem::path file() const { return m_dir / "sc.ini"; }
    std::filesystem::path m_dir;
};

TEST_F(Profile, ReadsLikeTheWindowsProfileFunctions) {
    writeBytes(file(), encodeGb18030(
                           "; a comment\r\n"
                           "stray line before any section\r\n"
                           "[Settings]\r\n"
                           "  Default =  小明  \r\n"
                           "quoted=\"  spaced  \"\r\n"
                           "single='x'\r\n"
                           "empty=\r\n"
                           "noequals\r\n"
                           "[ 小明 ]\r\n"
                           "class=四级\r\n"
                           "[settings]\r\n"
                           "s_time=5\r\n"
                           "default=second\r\n"));
    struct Case {
        const char* section;
        const char* key;
        std::optional<std::string> value;
    } cases[] = {
        {"settings", "default", "小明"},   // case-insensitive names, trimmed value
        {"SETTINGS", "DEFAULT", "小明"},   // the first occurrence wins
        {"settings", "quoted", "  spaced  "},
        {"settings", "single", "x"},
        {"settings", "empty", ""},
        {"settings", "noequals", std::nullopt},
        {"settings", "s_time", "5"},  // a duplicate section is searched too
        {"小明", "class", "四级"},
        {"missing", "class", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(profileRead(file(), c.section, c.key), c.value) << c.section << "/" << c.key;
    }
    EXPECT_EQ(profileSectionNames(file()), (std::vector<std::string>{"Settings", "小明"}));
    EXPECT_EQ(profileRead(m_dir / "absent.ini", "a", "b"), std::nullopt);
}

TEST_F(Profile, WritesKeepEveryOtherLineByteForByte) {
    const std::string original =
        "; keep me\r\n"
        "[settings]\r\n"
        "default=a\r\n"
        "unknown = kept as is \r\n"
        "\r\n"
        "[other]\r\n"
        "x=1\r\n"
        "\r\n";
    writeBytes(file(), original);
    ASSERT_TRUE(profileWrite(file(), "SETTINGS", "default", "小红"));
    ASSERT_TRUE(profileWrite(file(), "settings", "s_time", "3"));
    ASSERT_TRUE(profileWrite(file(), "新用户", "grade", "1.1"));
    EXPECT_EQ(readBytes(file()), encodeGb18030(
                                     "; keep me\r\n"
                                     "[settings]\r\n"
                                     "default=小红\r\n"
                                     "unknown = kept as is \r\n"
                                     "s_time=3\r\n"
                                     "\r\n"
                                     "[other]\r\n"
                                     "x=1\r\n"
                                     "\r\n"
                                     "[新用户]\r\n"
                                     "grade=1.1\r\n"));
}

TEST_F(Profile, NewFileMissingLineBreakAndLfOnlyFiles) {
    ASSERT_TRUE(profileWrite(file(), "settings", "default", "a"));
    EXPECT_EQ(readBytes(file()), "[settings]\r\ndefault=a\r\n");

    writeBytes(file(), "[a]\nx=1");  // LF only, no final line break
    ASSERT_TRUE(profileWrite(file(), "a", "y", "2"));
    ASSERT_TRUE(profileWrite(file(), "b", "z", "3"));
    EXPECT_EQ(readBytes(file()), "[a]\nx=1\ny=2\n[b]\nz=3\n");
}

TEST_F(Profile, DeletesKeysAndEveryCopyOfASection) {
    writeBytes(file(), "[u]\r\nclass=l\r\ngrade=1.1\r\n[keep]\r\nk=v\r\n[U]\r\nclass=dup\r\n");
    ASSERT_TRUE(profileDeleteKey(file(), "u", "CLASS"));
    EXPECT_EQ(profileRead(file(), "u", "class"), std::nullopt);
    EXPECT_EQ(profileRead(file(), "u", "grade"), "1.1");
    ASSERT_TRUE(profileDeleteSection(file(), "u"));
    EXPECT_EQ(readBytes(file()), "[keep]\r\nk=v\r\n");
    EXPECT_TRUE(profileDeleteSection(m_dir / "absent.ini", "x"));
    EXPECT_FALSE(std::filesystem::exists(m_dir / "absent.ini"));
}

TEST_F(Profile, NamesThatWouldCorruptTheFileAreRefused) {
    EXPECT_FALSE(profileWrite(file(), "a]b", "k", "v"));
    EXPECT_FALSE(profileWrite(file(), "a\r\n[settings]", "k", "v"));
    EXPECT_FALSE(profileWrite(file(), "s", "k=x", "v"));
    EXPECT_FALSE(profileWrite(file(), "", "k", "v"));
    EXPECT_FALSE(std::filesystem::exists(file()));
    // A line break in a value cannot inject a key.
    ASSERT_TRUE(profileWrite(file(), "s", "k", "v\r\ndefault=evil"));
    EXPECT_EQ(profileRead(file(), "s", "k"), "v  default=evil");
    EXPECT_EQ(profileRead(file(), "s", "default"), std::nullopt);
}

TEST_F(Profile, Utf8BomFilesStayUtf8AndBadBytesAreKept) {
    writeBytes(file(), "\xEF\xBB\xBF[用户]\r\nclass=词库\r\n");
    EXPECT_EQ(profileRead(file(), "用户", "class"), "词库");
    ASSERT_TRUE(profileWrite(file(), "用户", "grade", "2.3"));
    EXPECT_EQ(readBytes(file()), "\xEF\xBB\xBF[用户]\r\nclass=词库\r\ngrade=2.3\r\n");

    writeBytes(file(), "[s]\r\nbad=a\xFF\x66\r\nk=1\r\n");
    EXPECT_EQ(profileRead(file(), "s", "bad"), "a\xEF\xBF\xBD" "f");
    ASSERT_TRUE(profileWrite(file(), "s", "k", "2"));
    EXPECT_EQ(readBytes(file()), "[s]\r\nbad=a\xFF\x66\r\nk=2\r\n");
}

TEST_F(Profile, LongValuesAreCutToTheBuffer) {
    std::string longValue(3000, 'x');
    for (int i = 0; i < 3000; ++i) longValue += "中";  // 6000 bytes in GB18030
    ASSERT_TRUE(profileWrite(file(), "s", "k", longValue));
    auto read = profileRead(file(), "s", "k");
    ASSERT_TRUE(read);
    EXPECT_EQ(gb18030Length(*read), 3000u + 6000u);
    longValue += std::string(2000, 'y');
    ASSERT_TRUE(profileWrite(file(), "s", "k", longValue));
    read = profileRead(file(), "s", "k");
    EXPECT_EQ(gb18030Length(*read), kProfileValueBuffer - 1);
    EXPECT_TRUE(isValidUtf8(*read));
}

}  // namespace
}  // namespace wf
