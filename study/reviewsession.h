// The words of a review test and the review counts it changes. The words file stays open in
// memory for the whole test and is written back only when the test finishes.
#pragma once

#include <optional>
#include <string>

#include "app/settings.h"
#include "platform/notifier.h"
#include "vocab/wordfile.h"

namespace wf {

inline constexpr std::string_view kNoReviewMessage = "目前暂时不需要复习，再去备点单词在来吧！";
inline constexpr int kMinimumReviewWords = 5;

// A word is due for review while its count is above zero.
bool isDue(const WordEntry& word);

class ReviewSession {
public:
    ReviewSession(std::string section, Notifier& notifier);

    // Reads the list's progress afresh and chooses the words: the due ones when the list is in
    // its Review stage, every word otherwise. With fewer than five there is no test: the user is
    // told, a list in Review moves on to Learn, and false comes back.
    bool open();

    const WordList& words() const { return m_words; }
    bool openedInReview() const { return m_openedInReview; }

    // A correct answer lowers the word's count by one (no lower bound); returns the new count.
    int answeredCorrectly(std::size_t index);

    // Moves a list in Review on to Learn and writes the changed counts to the words file.
    bool finish();

private:
    std::string m_section;
    Notifier& m_notifier;
    ListProgress m_progress;
    bool m_openedInReview = false;
    std::optional<WordDocument> m_document;
    WordList m_words;
};

}  // namespace wf
