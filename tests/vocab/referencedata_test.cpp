#include "vocab/referencedata.h"

#include <gtest/gtest.h>

#include "platform/codec.h"
#include "tests/support/testsupport.h"

namespace wf {
namespace {

using ReferenceData = test::TempHome;

TEST(ReferenceRecords, OnlyTwoFieldLinesAreRecords) {
    std::string text =
        "apple---苹果\r\n"
        "---empty first\r\n"
        "trailing---\r\n"
        "kept---with trailing---\r\n"
        "a---b---c\r\n"
        "\r\n"
        "lf only---仅换行\n"
        " spaced --- kept as is \r\n"
        "last---line\r\n";
    EXPECT_EQ(parseReferenceRecords(encodeGb18030(text)),
              (std::vector<ReferenceRecord>{{"apple", "苹果"},
                                            {"", "empty first"},
                                            {"kept", "with trailing"},
                                            {"lf only", "仅换行"},
                                            {" spaced ", " kept as is "},
                                            {"last", "line"}}));
    EXPECT_EQ(parseReferenceRecords(std::string("a---b\r\n\0c---d", 13)),
              (std::vector<ReferenceRecord>{{"a", "b"}}));
}

TEST_F(ReferenceData, LoadersAndTheirMessages) {
    RecordingNotifier notifier;
    EXPECT_TRUE(loadWordLists().empty());
    EXPECT_TRUE(loadWordClasses(notifier).empty());
    EXPECT_TRUE(loadMixedLibrary(notifier).empty());
    ASSERT_EQ(notifier.messages().size(), 2u);
    EXPECT_EQ(notifier.messages()[0].text, "词类数据丢失");
    EXPECT_EQ(notifier.messages()[1].text, "混合词库丢失");
    EXPECT_EQ(notifier.messages()[1].icon, Icon::Information);

    notifier.clear();
    test::writeGb(home() / "data" / "tt.dat", "");
    EXPECT_TRUE(loadMixedLibrary(notifier).empty());
    EXPECT_TRUE(notifier.messages().empty()) << "an empty library is not reported";

    test::writeGb(home() / "data" / "word class.dat", "adj.---形容词\r\nn.---名词\r\n");
    test::writeGb(home() / "data" / "tt.dat", "book---书\r\n");
    test::writeGb(home() / "data" / "address.dat", "四级---http://example.invalid/list?page=\r\n");
    EXPECT_EQ(loadWordClasses(notifier).size(), 2u);
    EXPECT_EQ(loadWordClasses(notifier).size(), 2u) << "loading twice does not double";
    WordList library = loadMixedLibrary(notifier);
    ASSERT_EQ(library.size(), 1u);
    EXPECT_EQ(library[0].ch, "书");
    EXPECT_TRUE(library[0].mp3.empty());
    EXPECT_EQ(loadWordLists().at(0).addressPrefix, "http://example.invalid/list?page=");
    EXPECT_TRUE(notifier.messages().empty());
}

}  // namespace
}  // namespace wf
