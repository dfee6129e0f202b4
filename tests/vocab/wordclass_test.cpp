#include "vocab/wordclass.h"

#include <gtest/gtest.h>

#include "app/programfolder.h"
#include "platform/notifier.h"

namespace wf {
namespace {

// The table that ships in data/, so that the tests also hold the shipped order to account.
std::vector<WordClass> shippedTable() {
    setProgramFolder(WF_SOURCE_DIR);
    RecordingNotifier notifier;
    return loadWordClasses(notifier);
}

struct LineCase {
    const char* line;
    const char* en;
    const char* ch;
    const char* wc;
};

TEST(WordClassSplit, TypicalListLinesGiveWordMeaningAndClass) {
    const std::vector<WordClass> table = shippedTable();
    const LineCase cases[] = {
        {"apple n. 苹果", "apple", "苹果", "名词"},
        {"big a. 大的", "big", "大的", "形容词"},
        {"give up v. 放弃", "give up", "放弃", "动词"},
        {"he pron. 他", "he", "他", "代词"},
        {"quickly adv. 快地", "quickly", "快地", "副词"},
        {"happy adj. 快乐的", "happy", "快乐的", "形容词"},
        {"look up vt. 查找", "look up", "查找", "及物动词"},
        {"fast ad. 快", "fast", "快", "副词"},
        {"and conj. 和", "and", "和", "连词"},
        {"can modal v. 能", "can", "能", "情态动词"},
        {"苹果 apple", "apple", "苹果", ""},
        {"  apple\t苹果  ", "apple", "苹果", ""},
        {"ａｐｐｌｅ　ｎ． 苹果，水果", "apple", "苹果,水果", "名词"},
        {"n. 苹果 apple", "apple", "苹果", "名词"},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.line);
        CustomLineWords words = splitCustomLine(c.line, table);
        EXPECT_EQ(words.en, c.en);
        EXPECT_EQ(words.ch, c.ch);
        EXPECT_EQ(words.wc, c.wc);
        EXPECT_FALSE(words.needsEnglish);
        EXPECT_FALSE(words.needsMeaning);
    }
}

TEST(WordClassSplit, LinesWithOneScriptAskForALookup) {
    const std::vector<WordClass> table = shippedTable();
    CustomLineWords english = splitCustomLine("give up v.", table);
    EXPECT_EQ(english.en, "give up");
    EXPECT_EQ(english.wc, "动词");
    EXPECT_TRUE(english.needsMeaning);

    CustomLineWords chinese = splitCustomLine("苹果", table);
    EXPECT_EQ(chinese.ch, "苹果");
    EXPECT_TRUE(chinese.needsEnglish);

    for (const char* blank : {"", "   ", "\xE3\x80\x80\xE3\x80\x80", "n."}) {
        CustomLineWords none = splitCustomLine(blank, table);
        EXPECT_TRUE(none.en.empty() && none.ch.empty());
        EXPECT_FALSE(none.needsEnglish || none.needsMeaning) << blank;
    }
}

TEST(WordClassExtract, CustomAndBuiltInRulesDifferInCaseAndLabel) {
    const std::vector<WordClass> table = {{"n.", "名词"}, {"v.", "动词"}};

    std::string custom = "N. 苹果 n. 水果 n.";
    EXPECT_EQ(extractWordClasses(custom, table, WordClassRule::CustomImport), "名词");
    EXPECT_EQ(custom, "N. 苹果  水果 ");

    // Found ignoring case, but only the exact spelling is removed.
    std::string builtIn = "N. 苹果";
    EXPECT_EQ(extractWordClasses(builtIn, table, WordClassRule::BuiltInList), "n.-名词");
    EXPECT_EQ(builtIn, "N. 苹果");

    std::string both = "v. n. 工作";
    EXPECT_EQ(extractWordClasses(both, table, WordClassRule::BuiltInList), "n.-名词v.-动词");
    EXPECT_EQ(both, "  工作");

    std::string untouched = "苹果";
    EXPECT_EQ(extractWordClasses(untouched, {{"", "空"}}, WordClassRule::CustomImport), "");
    EXPECT_EQ(untouched, "苹果");
}

}  // namespace
}  // namespace wf
