#include "app/folderguard.h"

#include <gtest/gtest.h>

#include "tests/support/testsupport.h"

namespace wf {
namespace {

TEST(IsSafeFolderPath, WindowsAndPosixRules) {
    struct Case {
        const char* path;
        bool rejectDriveRoot;
        bool safe;
    };
    const Case cases[] = {
        {"D:\\", true, false},
        {"D:\\\\", true, false},
        {"D:\\", false, true},
        {"d:\\school\\list", true, true},
        {"D:\\School\\List\\", true, true},
        {"c:/words", true, true},
        {"\\\\server\\share", true, false},
        {"school\\list", true, false},
        {"1:\\list", true, false},
        {"", true, false},
        {"/", true, false},
        {"//", true, false},
        {"/", false, false},
        {"/home/u/wordfern/school/cet4", true, true},
        {"//home//u/school/", true, true},
        {"/home/u/school/../..", true, false},
        {"/home/./u", true, false},
        {"relative/school", true, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsSafeFolderPath(c.path, c.rejectDriveRoot), c.safe)
            << c.path << " rejectDriveRoot=" << c.rejectDriveRoot;
    }
}

class ListFolderTest : public test::TempHome {};

TEST_F(ListFolderTest, RemovesOnlyAListFolderInsideSchool) {
    const auto school = home() / "school";
    test::writeBytes(school / "cet4" / "unit1" / "unit1.xml", "x");
    test::writeBytes(school / "cet4" / "unit" / "u-study.xml", "x");
    test::writeBytes(school / "other" / "unit1" / "unit1.xml", "x");
    test::writeBytes(home() / "sc.ini", "x");
    test::writeBytes(home() / "outside" / "keep.txt", "x");

    for (const char* hostile :
         {"", ".", "..", "../outside", "..\\outside", "cet4/../other", "/tmp", "a/b", "x..y"}) {
        EXPECT_TRUE(listFolderOf(home(), hostile).empty()) << hostile;
        EXPECT_FALSE(removeListFolder(home(), hostile)) << hostile;
    }
    EXPECT_TRUE(std::filesystem::exists(home() / "outside" / "keep.txt"));
    EXPECT_TRUE(std::filesystem::exists(school / "other" / "unit1" / "unit1.xml"));

    EXPECT_FALSE(removeListFolder(home(), "missing"));
    EXPECT_TRUE(removeListFolder(home(), "cet4"));
    EXPECT_FALSE(std::filesystem::exists(school / "cet4"));
    EXPECT_TRUE(std::filesystem::exists(school / "other" / "unit1" / "unit1.xml"));
    EXPECT_TRUE(std::filesystem::exists(home() / "sc.ini"));
}

TEST_F(ListFolderTest, ALinkInSchoolGoesWithoutItsTarget) {
    test::writeBytes(home() / "elsewhere" / "keep.txt", "x");
    std::filesystem::create_directories(home() / "school");
    std::filesystem::create_directory_symlink(home() / "elsewhere", home() / "school" / "linked");
    EXPECT_TRUE(removeListFolder(home(), "linked"));
    EXPECT_FALSE(std::filesystem::exists(home() / "school" / "linked"));
    EXPECT_TRUE(std::filesystem::exists(home() / "elsewhere" / "keep.txt"));
}

}  // namespace
}  // namespace wf
