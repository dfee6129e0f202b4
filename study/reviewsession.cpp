#include "study/reviewsession.h"

#include "study/studycycle.h"
#include "vocab/vocabtree.h"

namespace wf {

bool isDue(const WordEntry& word) { return settingToInt(word.num) > 0; }

ReviewSession::ReviewSession(std::string section, Notifier& notifier)
    : m_section(std::move(section)), m_notifier(notifier) {}

bool ReviewSession::open() {
    m_progress = loadListProgress(m_section);
    m_openedInReview = m_progress.phase == static_cast<std::int32_t>(Phase::Review);
    m_words.clear();
    m_document.reset();
    if (isSafeName(m_progress.className) && isSafeName(m_section)) {
        m_document = WordDocument::open(wordsFilePath(m_progress.className, m_section));
    }
    if (m_document) {
        for (WordEntry& word : m_document->entries()) {
            if (!m_openedInReview || isDue(word)) m_words.push_back(std::move(word));
        }
    }
    if (static_cast<int>(m_words.size()) >= kMinimumReviewWords) return true;

    m_notifier.notify(kNoReviewMessage, Icon::Information);
    if (m_openedInReview) {
        m_progress.phase = static_cast<std::int32_t>(Phase::Learn);
        saveListProgress(m_section, m_progress);
    }
    m_document.reset();
    m_words.clear();
    return false;
}

int ReviewSession::answeredCorrectly(std::size_t index) {
    if (index >= m_words.size() || !m_document) return 0;
    WordEntry& word = m_words[index];
    int count = settingToInt(word.num) - 1;
    word.num = std::to_string(count);
    m_document->setReviewCount(word.entryName, word.num);
    return count;
}

bool ReviewSession::finish() {
    if (m_openedInReview) {
        m_progress.phase = static_cast<std::int32_t>(Phase::Learn);
        saveListProgress(m_section, m_progress);
    }
    if (!m_document) return false;
    return m_document->save(wordsFilePath(m_progress.className, m_section));
}

}  // namespace wf
