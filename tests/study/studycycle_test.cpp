#include "study/studycycle.h"

#include <gtest/gtest.h>

#include "tests/support/testsupport.h"
#include "vocab/vocabtree.h"

namespace wf {
namespace {

using Step = StudyCycle::Step;

class Cycle : public test::TempHome {
protected:
    void SetUp() override {
        TempHome::SetUp();
        writeSetting("settings", "default", "小明");
        writeSetting("小明", "class", "L");
        writeSetting("小明", "grade", "1.1");
        writeSetting("小明", "words", "2");
        writeUnitFile("L", 1, {{"one", "一", "", ""}, {"two", "二", "", ""}, {"three", "三", "", ""}},
                      UnitKind::BuiltIn);
        writeUnitFile("L", 2, {{"four", "四", "", ""}}, UnitKind::BuiltIn);
    }
    // The progress as stored in sc.ini right now.
    ListProgress stored() const { return loadListProgress("小明"); }
    static ListProgress at(int unit, int position, Phase phase, int counter) {
        return {"L", unit, position, static_cast<int>(phase), counter, 2};
    }
    std::vector<std::string> english(const std::filesystem::path& file) const {
        std::vector<std::string> out;
        for (const auto& w : readWordFile(file).words) out.push_back(w.en);
        return out;
    }

    ManualClock m_clock{LocalTime{2026, 12, 11, 9, 30, 0}};
    RecordingNotifier m_notifier;
};

TEST_F(Cycle, AWholeDayFromLearningToTheScorePage) {
    StudyCycle cycle("小明", m_clock, m_notifier);
    ASSERT_EQ(cycle.start(), Step::ShowWord);
    EXPECT_EQ(cycle.currentWord()->en, "one");

    EXPECT_EQ(cycle.recordWord(), Step::ShowWord);
    EXPECT_EQ(stored(), at(1, 2, Phase::Learn, 2));
    EXPECT_EQ(cycle.currentWord()->en, "two");
    EXPECT_EQ(cycle.recordWord(), Step::AskQuestion) << "the second word completes the day";
    // Learning resumes after the last word learned, not at the start of the unit.
    EXPECT_EQ(stored(), at(1, 3, Phase::Quiz, 1));
    auto study = studyFilePath("L", "小明");
    EXPECT_EQ(english(study), (std::vector<std::string>{"one", "two"}));

    EXPECT_EQ(cycle.quizCorrect(), Step::AskQuestion);
    EXPECT_EQ(stored(), at(1, 3, Phase::Quiz, 2));
    EXPECT_EQ(cycle.quizCorrect(), Step::Dictate);
    EXPECT_EQ(stored(), at(1, 3, Phase::Dictation, 1));

    EXPECT_EQ(cycle.dictationCorrect(), Step::Dictate);
    EXPECT_EQ(stored(), at(1, 3, Phase::Dictation, 2));
    EXPECT_EQ(cycle.dictationGiveUp(), Step::CycleFinished);
    EXPECT_EQ(stored(), at(1, 3, Phase::Review, 1));
    EXPECT_FALSE(std::filesystem::exists(study));
    EXPECT_EQ(english(wordsFilePath("L", "小明")), (std::vector<std::string>{"one"}));
    EXPECT_EQ(cycle.finishMessage(), "嗨！尽然完成了 2个单词的学习。别忘了来复习哦！");
    EXPECT_TRUE(m_notifier.messages().empty());

    StudyCycle next("小明", m_clock, m_notifier);
    EXPECT_EQ(next.start(), Step::OpenReview);
}

TEST_F(Cycle, SkippingUnitsAndTheEndOfTheList) {
    writeSetting("小明", "words", "20");
    StudyCycle cycle("小明", m_clock, m_notifier);
    ASSERT_EQ(cycle.start(), Step::ShowWord);
    EXPECT_EQ(cycle.advance(), Step::ShowWord);
    EXPECT_EQ(cycle.advance(), Step::ShowWord);
    EXPECT_EQ(cycle.recordWord(), Step::ShowWord) << "the last word of unit 1 leads into unit 2";
    ListProgress p = stored();
    p.dailyWords = 2;
    EXPECT_EQ(p, at(2, 1, Phase::Learn, 2)) << "skips move the position, not the counter";
    EXPECT_EQ(cycle.currentWord()->en, "four");
    EXPECT_FALSE(std::filesystem::exists(wordsFilePath("L", "小明")));
    EXPECT_EQ(english(studyFilePath("L", "小明")), (std::vector<std::string>{"three"}));

    EXPECT_EQ(cycle.advance(), Step::EndOfList);
    p = stored();
    EXPECT_EQ(p.unit, 3);
    EXPECT_EQ(p.position, 1);
    EXPECT_EQ(p.phase, static_cast<int>(Phase::Review));
    ASSERT_EQ(m_notifier.messages().size(), 1u);
    EXPECT_EQ(m_notifier.messages()[0].text, "L  的单词都背完了");
    EXPECT_EQ(m_notifier.messages()[0].icon, Icon::Information);
}

TEST_F(Cycle, ResumesInTheStageItWasLeftIn) {
    {
        StudyCycle cycle("小明", m_clock, m_notifier);
        cycle.start();
        cycle.recordWord();
        cycle.recordWord();
        cycle.quizCorrect();
    }
    StudyCycle again("小明", m_clock, m_notifier);
    EXPECT_EQ(again.start(), Step::AskQuestion);
    EXPECT_EQ(again.progress().counter, 2);
    EXPECT_EQ(again.currentWord()->en, "two");
    EXPECT_EQ(again.markWord(2), 2);
    EXPECT_EQ(again.markWord(2), 3);
    EXPECT_EQ(again.markWord(9), 0);
}

TEST_F(Cycle, AMissingStudyFileSendsTheLearnerBackToLearning) {
    writeSetting("小明", "study", "2.1");
    writeSetting("小明", "grade", "1.2");
    StudyCycle cycle("小明", m_clock, m_notifier);
    EXPECT_EQ(cycle.start(), Step::ShowWord);
    EXPECT_EQ(stored(), at(1, 2, Phase::Learn, 1));
    EXPECT_EQ(m_notifier.messages().at(0).text, kWordFormatMessage);
}

TEST_F(Cycle, UnusableProgressValues) {
    struct Case {
        const char* className;
        const char* words;
        const char* study;
        Step expected;
    } cases[] = {
        {"../../etc", "2", "1.1", Step::Refused},
        {"", "2", "1.1", Step::Refused},
        {"L", "0", "1.1", Step::ShowWord},   // no daily words: one word a day
        {"L", "2", "7.1", Step::ShowWord},   // an unknown stage restarts learning
        {"L", "2", "0.1", Step::OpenReview},
    };
    for (const Case& c : cases) {
        writeSetting("小明", "class", c.className);
        writeSetting("小明", "words", c.words);
        writeSetting("小明", "study", c.study);
        StudyCycle cycle("小明", m_clock, m_notifier);
        EXPECT_EQ(cycle.start(), c.expected) << c.className << " " << c.words << " " << c.study;
    }
    writeSetting("小明", "words", "0");
    writeSetting("小明", "study", "1.1");
    StudyCycle cycle("小明", m_clock, m_notifier);
    ASSERT_EQ(cycle.start(), Step::ShowWord);
    EXPECT_EQ(cycle.recordWord(), Step::AskQuestion);
}

}  // namespace
}  // namespace wf
