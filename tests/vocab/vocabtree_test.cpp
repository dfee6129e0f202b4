#include "vocab/vocabtree.h"

#include <gtest/gtest.h>

#include "tests/support/testsupport.h"
#include "vocab/wordfile.h"

namespace wf {
namespace {

using VocabTree = test::TempHome;

TEST_F(VocabTree, PathsFollowTheTree) {
    EXPECT_EQ(unitFolder("四级", 3), home() / "school" / "四级" / "unit3");
    EXPECT_EQ(unitFilePath("四级", 3), home() / "school" / "四级" / "unit3" / "unit3.xml");
    EXPECT_EQ(recordingPath("四级", 3, 12), home() / "school" / "四级" / "unit3" / "unit12.mp3");
    EXPECT_FALSE(unitExists("四级", 1));
    ASSERT_TRUE(writeUnitFile("四级", 1, {{"a", "甲", "", ""}}, UnitKind::BuiltIn));
    EXPECT_TRUE(unitExists("四级", 1));
    EXPECT_FALSE(unitExists("四级", 2));
}

TEST_F(VocabTree, NamesThatLeaveTheTreeAreRefused) {
    for (const char* name : {"", ".", "..", "../x", "a/b", "a\\b"}) {
        EXPECT_FALSE(isSafeName(name)) << name;
        EXPECT_FALSE(writeUnitFile(name, 1, {}, UnitKind::Custom)) << name;
    }
    EXPECT_TRUE(isSafeName("my list (2)"));
    EXPECT_FALSE(std::filesystem::exists(home() / "x"));
}

TEST_F(VocabTree, ListNamesThatXmlCannotTakeStillGiveReadableUnits) {
    ASSERT_TRUE(writeUnitFile("my list & more", 1, {{"cat", "猫", "", std::nullopt}}, UnitKind::Custom));
    WordFileRead read = readWordFile(unitFilePath("my list & more", 1));
    ASSERT_EQ(read.error, WordFileError::None) << read.detail;
    EXPECT_EQ(read.words.at(0).ch, "猫");
}

}  // namespace
}  // namespace wf
