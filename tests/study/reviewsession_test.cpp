#include "study/reviewsession.h"

#include <gtest/gtest.h>

#include "study/studycycle.h"
#include "tests/support/testsupport.h"

namespace wf {
namespace {

class Review : public test::TempHome {
protected:
    void SetUp() override {
        TempHome::SetUp();
        writeSetting("u", "class", "L");
        writeSetting("u", "study", "0.1");
    }
    void writeWords(std::vector<const char*> counts) {
        RecordingNotifier quiet;
        int second = 0;
        for (const char* num : counts) {
            WordEntry w;
            w.en = "w" + std::to_string(second);
            w.ch = "词";
            w.num = num;
            appendWordEntry(wordsFilePath("L", "u"), "L", w, {2026, 1, 1, 8, 0, ++second}, quiet);
        }
    }
    RecordingNotifier m_notifier;
};

TEST_F(Review, OnlyDueWordsCountInTheReviewStage) {
    writeWords({"1", "1", "0", "2", "-1", "1", ""});  // four are due
    auto before = test::readBytes(wordsFilePath("L", "u"));
    ReviewSession review("u", m_notifier);
    EXPECT_FALSE(review.open());
    ASSERT_EQ(m_notifier.messages().size(), 1u);
    EXPECT_EQ(m_notifier.messages()[0].text, kNoReviewMessage);
    EXPECT_EQ(loadListProgress("u").phase, static_cast<int>(Phase::Learn));
    EXPECT_EQ(test::readBytes(wordsFilePath("L", "u")), before) << "the words file is left alone";

    // Opened from the menu in another stage, every word is asked.
    ReviewSession fromMenu("u", m_notifier);
    ASSERT_TRUE(fromMenu.open());
    EXPECT_EQ(fromMenu.words().size(), 7u);
    EXPECT_FALSE(fromMenu.openedInReview());
}

TEST_F(Review, CorrectAnswersLowerCountsWhichReachTheFileAtTheEnd) {
    writeWords({"1", "2", "1", "1", "3"});
    ReviewSession review("u", m_notifier);
    ASSERT_TRUE(review.open());
    EXPECT_TRUE(review.openedInReview());
    EXPECT_EQ(review.answeredCorrectly(0), 0);
    EXPECT_EQ(review.answeredCorrectly(0), -1) << "no lower bound";
    EXPECT_EQ(review.answeredCorrectly(4), 2);
    EXPECT_EQ(review.answeredCorrectly(99), 0);
    EXPECT_EQ(readWordFile(wordsFilePath("L", "u")).words[0].num, "1") << "nothing saved before the end";
    ASSERT_TRUE(review.finish());
    WordList after = readWordFile(wordsFilePath("L", "u")).words;
    EXPECT_EQ(after[0].num, "-1");
    EXPECT_EQ(after[1].num, "2");
    EXPECT_EQ(after[4].num, "2");
    EXPECT_EQ(loadListProgress("u").phase, static_cast<int>(Phase::Learn));
    EXPECT_FALSE(isDue(after[0]));
}

TEST_F(Review, AnUnreadableWordsFileMeansTooFewWords) {
    test::writeBytes(wordsFilePath("L", "u"), "<L><Words1>");
    ReviewSession review("u", m_notifier);
    EXPECT_FALSE(review.open());
    EXPECT_EQ(test::readBytes(wordsFilePath("L", "u")), "<L><Words1>");
    EXPECT_FALSE(review.finish());
}

}  // namespace
}  // namespace wf
