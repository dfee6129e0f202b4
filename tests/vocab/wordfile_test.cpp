#include "vocab/wordfile.h"

#include <gtest/gtest.h>

#include "platform/codec.h"
#include "platform/wordxml.h"
#include "tests/support/testsupport.h"
#include "vocab/vocabtree.h"

namespace wf {
namespace {

using test::fixturePath;
using test::readBytes;
using WordFile = test::TempHome;

const LocalTime kAt{2019, 3, 5, 14, 2, 33};

WordEntry abandon() {
    WordEntry w;
    w.en = "abandon";
    w.ch = "放弃；抛弃";
    w.wc = "v.-动词";
    w.mp3 = "http://example.invalid/a.mp3";
    w.num = "1";
    w.sentence = "He abandoned the car.\r\n他弃车而去。";
    return w;
}

WordEntry rare() {
    WordEntry w;
    w.en = "\xF0\xA0\x80\x80 rare";  // a character that needs four bytes in GB18030
    w.ch = "代码 ]]> 结束";
    w.num = "2";
    return w;
}

TEST(EntryTimestamp, LeavesOutTrailingZeroParts) {
    EXPECT_EQ(entryTimestamp({2019, 3, 5, 14, 2, 33}), "2019年3月5日14时2分33秒");
    EXPECT_EQ(entryTimestamp({2019, 3, 5, 14, 2, 0}), "2019年3月5日14时2分");
    EXPECT_EQ(entryTimestamp({2019, 3, 5, 14, 0, 0}), "2019年3月5日14时");
    EXPECT_EQ(entryTimestamp({2019, 3, 5, 0, 0, 0}), "2019年3月5日");
    EXPECT_EQ(entryTimestamp({2019, 3, 5, 0, 0, 7}), "2019年3月5日0时0分7秒");
}

TEST_F(WordFile, WritersMatchTheGoldenFilesByteForByte) {
    std::vector<UnitWord> builtIn = {
        {"abandon", "放弃；抛弃", "v.-动词", "http://example.invalid/a.mp3"},
        {"R&D <lab>", "研发 & 试验", "", ""},
    };
    EXPECT_EQ(unitFileBytes("四级词汇", builtIn, UnitKind::BuiltIn), readBytes(fixturePath("unit-builtin.xml")));

    std::vector<UnitWord> custom = {
        {"apple", "苹果", "", std::nullopt},
        {},
        {"big", "大的", "形容词&副词", "/home/u/school/mywords/unit1/unit3.mp3"},
    };
    EXPECT_EQ(unitFileBytes("mywords", custom, UnitKind::Custom), readBytes(fixturePath("unit-custom.xml")));

    RecordingNotifier notifier;
    auto study = home() / "school" / "四级词汇" / "unit" / "小明-study.xml";
    ASSERT_TRUE(appendWordEntry(study, "四级词汇", abandon(), kAt, notifier));
    ASSERT_TRUE(appendWordEntry(study, "四级词汇", rare(), kAt, notifier));
    EXPECT_EQ(readBytes(study), readBytes(fixturePath("study.xml")));

    WordEntry qa;
    qa.en = "Q&A";
    qa.ch = "问答";
    qa.wc = "n.-名词";
    ASSERT_TRUE(collectWord("四级词汇", qa, {2019, 3, 5, 14, 0, 0}, notifier));
    EXPECT_EQ(readBytes(collectionFilePath("四级词汇")), readBytes(fixturePath("collection.xml")));
    ASSERT_EQ(notifier.messages().size(), 1u);
    EXPECT_EQ(notifier.messages()[0].text, "收藏成功");
}

TEST(WordFileRead, GoldenFilesReadBack) {
    WordFileRead study = readWordFile(fixturePath("study.xml"));
    ASSERT_EQ(study.error, WordFileError::None);
    WordEntry first = abandon();
    first.entryName = "Words2019年3月5日14时2分33秒";
    WordEntry second = rare();
    second.entryName = "Words2019年3月5日14时2分33秒_2";
    EXPECT_EQ(study.words, (WordList{first, second}));

    WordFileRead custom = readWordFile(fixturePath("unit-custom.xml"));
    ASSERT_EQ(custom.words.size(), 2u) << "the empty element and the count are skipped";
    EXPECT_EQ(custom.words[1].en, "big");
    EXPECT_EQ(custom.words[1].wc, "形容词&副词");
    EXPECT_EQ(custom.words[1].entryName, "word3");

    WordFileRead collection = readWordFile(fixturePath("collection.xml"));
    ASSERT_EQ(collection.words.size(), 1u);
    EXPECT_EQ(collection.words[0].en, "Q&A");
    EXPECT_EQ(collection.words[0].num, "");
}

TEST(WordFileRead, FilesWrittenElsewhereReadBack) {
    auto dir = test::makeTempDir("wordfern-wf-");
    // Another writer: UTF-8, LF line ends, spaces, plain text instead of CDATA, attributes in
    // another order, repeated entry names, no declaration of GB18030.
    std::string utf8 =
        "<?xml version='1.0' encoding='UTF-8'?>\n"
        "<!-- written by hand -->\n"
        "<list>\n"
        "  <Words2020年1月1日 >\n"
        "    <en lang=\"en\" num=\"3\">cat</en>\n"
        "    <ch>猫</ch>\n"
        "  </Words2020年1月1日>\n"
        "  <Words2020年1月1日><ch>狗</ch><en>dog</en><sentence>a\r\nb</sentence></Words2020年1月1日>\n"
        "</list>\n";
    test::writeBytes(dir / "a.xml", utf8);
    WordFileRead read = readWordFile(dir / "a.xml");
    ASSERT_EQ(read.error, WordFileError::None) << read.detail;
    ASSERT_EQ(read.words.size(), 2u);
    EXPECT_EQ(read.words[0].num, "3");
    EXPECT_EQ(read.words[1].en, "dog");
    EXPECT_EQ(read.words[1].sentence, "a\r\nb");

    // Appending rewrites such a file in this program's layout and encoding.
    RecordingNotifier notifier;
    ASSERT_TRUE(appendWordEntry(dir / "a.xml", "list", abandon(), kAt, notifier));
    std::string bytes = readBytes(dir / "a.xml");
    EXPECT_EQ(bytes.rfind(std::string(kXmlDeclaration) + "\r\n<list>\r\n\t<Words2020", 0), 0u);
    EXPECT_EQ(readWordFile(dir / "a.xml").words.size(), 3u);
    std::filesystem::remove_all(dir);
}

TEST(WordFileRead, BadFilesGiveAClearError) {
    auto dir = test::makeTempDir("wordfern-wf-");
    std::string good = readBytes(fixturePath("study.xml"));
    struct Case {
        const char* name;
        std::string bytes;
        WordFileError error;
    } cases[] = {
        {"truncated", good.substr(0, good.size() / 2), WordFileError::Unreadable},
        {"not xml", "just some words\r\n", WordFileError::Unreadable},
        {"empty", "", WordFileError::Unreadable},
        {"unknown encoding", "<?xml version=\"1.0\" encoding=\"koi8-r\"?><r/>", WordFileError::Unreadable},
        {"bad bytes", "<r><w><en>a\xFF</en><ch>b</ch></w></r>", WordFileError::Unreadable},
        {"no en or ch", encodeGb18030("<r><w><en>a</en></w><x><ch>乙</ch></x></r>"), WordFileError::NoWords},
        {"entity and doctype",
         "<!DOCTYPE r [<!ENTITY e SYSTEM \"file:///etc/passwd\">]><r><w><en>&e;</en><ch>c</ch></w></r>",
         WordFileError::None},
    };
    for (const Case& c : cases) {
        test::writeBytes(dir / "f.xml", c.bytes);
        WordFileRead read = readWordFile(dir / "f.xml");
        EXPECT_EQ(read.error, c.error) << c.name;
        if (c.error != WordFileError::None) {
            EXPECT_FALSE(read.detail.empty()) << c.name;
        }
        if (c.error == WordFileError::None) {
            EXPECT_EQ(read.words.at(0).en, "&e;") << "never expanded";
        }
    }
    EXPECT_EQ(readWordFile(dir / "absent.xml").error, WordFileError::Missing);
    std::filesystem::remove_all(dir);
}

TEST_F(WordFile, LoadKeepsTheListOnFailureAndTellsTheUser) {
    RecordingNotifier notifier;
    WordList list = {abandon()};
    test::writeBytes(home() / "bad.xml", "<broken");
    EXPECT_FALSE(loadWordFile(home() / "bad.xml", list, notifier));
    EXPECT_EQ(list.size(), 1u);
    test::writeGb(home() / "nowords.xml", "<r><a><en>x</en></a></r>");
    EXPECT_FALSE(loadWordFile(home() / "nowords.xml", list, notifier));
    EXPECT_TRUE(list.empty());
    ASSERT_EQ(notifier.messages().size(), 2u);
    for (const auto& m : notifier.messages()) {
        EXPECT_EQ(m.text, kWordFormatMessage);
        EXPECT_EQ(m.title, "Wordfern");
        EXPECT_EQ(m.icon, Icon::Warning);
    }
}

TEST_F(WordFile, AppendingToAnUnreadableFileKeepsItBeside) {
    RecordingNotifier notifier;
    auto words = home() / "school" / "L" / "unit" / "u-words.xml";
    test::writeBytes(words, "<L><Words1><en>precious</en><ch>珍贵");  // cut off mid-write
    ASSERT_TRUE(appendWordEntry(words, "L", abandon(), kAt, notifier));
    WordFileRead read = readWordFile(words);
    ASSERT_EQ(read.words.size(), 1u);
    EXPECT_EQ(read.words[0].en, "abandon");
    auto kept = words;
    kept += ".unreadable-20190305-140233";
    EXPECT_EQ(readBytes(kept), "<L><Words1><en>precious</en><ch>珍贵");
    ASSERT_EQ(notifier.messages().size(), 1u);
    EXPECT_EQ(notifier.messages()[0].icon, Icon::Warning);
    EXPECT_NE(notifier.messages()[0].text.find("u-words.xml.unreadable-20190305-140233"), std::string::npos);
}

TEST_F(WordFile, ReviewCountsAreRewrittenInPlace) {
    RecordingNotifier notifier;
    auto words = home() / "w.xml";
    ASSERT_TRUE(appendWordEntry(words, "L", abandon(), kAt, notifier));
    ASSERT_TRUE(appendWordEntry(words, "L", rare(), kAt, notifier));
    auto doc = WordDocument::open(words);
    ASSERT_TRUE(doc);
    EXPECT_TRUE(doc->setReviewCount("Words2019年3月5日14时2分33秒_2", "-1"));
    EXPECT_FALSE(doc->setReviewCount("Words1999年1月1日", "5"));
    ASSERT_TRUE(doc->save(words));
    WordFileRead read = readWordFile(words);
    EXPECT_EQ(read.words[0].num, "1");
    EXPECT_EQ(read.words[1].num, "-1");
}

}  // namespace
}  // namespace wf
