#include "platform/fileio.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/support/testsupport.h"

namespace wf {
namespace {

TEST(FileIo, AtomicWriteReplacesWholeAndKeepsPermissions) {
    auto dir = test::makeTempDir("wordfern-io-");
    auto path = dir / "f.xml";
    ASSERT_TRUE(writeFileAtomically(path, "old"));
    ::chmod(path.c_str(), 0600);
    ASSERT_TRUE(writeFileAtomically(path, "new"));
    EXPECT_EQ(*readFileBytes(path), "new");
    struct stat st {};
    ::stat(path.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
    EXPECT_FALSE(writeFileAtomically(dir / "no" / "such" / "folder.xml", "x"));
    EXPECT_FALSE(readFileBytes(dir / "absent"));
    EXPECT_FALSE(readFileBytes(dir));
    std::filesystem::remove_all(dir);
}

TEST(FileIo, UnreadableFilesAreKeptUnderANewName) {
    auto dir = test::makeTempDir("wordfern-io-");
    auto path = dir / "a-words.xml";
    test::writeBytes(path, "broken");
    auto kept = keepUnreadableFile(path, "20260101-120000");
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->filename(), "a-words.xml.unreadable-20260101-120000");
    EXPECT_EQ(test::readBytes(*kept), "broken");
    test::writeBytes(path, "broken again");
    auto second = keepUnreadableFile(path, "20260101-120000");
    ASSERT_TRUE(second);
    EXPECT_NE(*second, *kept);
    EXPECT_EQ(test::readBytes(*kept), "broken");
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace wf
