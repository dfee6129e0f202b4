#include "study/studycycle.h"

#include <system_error>

#include "app/programfolder.h"
#include "vocab/vocabtree.h"

namespace wf {

std::filesystem::path studyFilePath(std::string_view className, std::string_view section) {
    return listFolder(className) / "unit" / (std::string(section) + "-study.xml");
}

std::filesystem::path wordsFilePath(std::string_view className, std::string_view section) {
    return listFolder(className) / "unit" / (std::string(section) + "-words.xml");
}

StudyCycle::StudyCycle(std::string section, const Clock& clock, Notifier& notifier)
    : m_section(std::move(section)), m_clock(clock), m_notifier(notifier) {}

bool StudyCycle::save() { return saveListProgress(m_section, m_progress); }

const WordEntry* StudyCycle::currentWord() const {
    int index = phase() == Phase::Learn ? m_progress.position : m_progress.counter;
    if (index < 1 || index > static_cast<int>(m_words.size())) return nullptr;
    return &m_words[static_cast<std::size_t>(index - 1)];
}

std::string StudyCycle::finishMessage() const {
    return "嗨！尽然完成了 " + std::to_string(m_progress.dailyWords) + "个单词的学习。别忘了来复习哦！";
}

StudyCycle::Step StudyCycle::start() {
    m_progress = loadListProgress(m_section);
    if (!isSafeName(m_progress.className) || !isSafeName(m_section)) {
        m_notifier.notify("这个用户的词库名称无效，无法学习：" + m_progress.className, Icon::Error);
        return Step::Refused;
    }
    switch (phase()) {
        case Phase::Review: return Step::OpenReview;
        case Phase::Quiz: return enterStudyFileStage(Phase::Quiz);
        case Phase::Dictation: return enterStudyFileStage(Phase::Dictation);
        case Phase::Learn: return enterLearn();
    }
    // A stage number that no stage has: start the day's learning afresh.
    m_progress.phase = static_cast<std::int32_t>(Phase::Learn);
    m_progress.counter = 1;
    save();
    return enterLearn();
}

StudyCycle::Step StudyCycle::enterLearn() {
    // A unit that runs out is followed by the next; a missing unit ends the list.
    for (;;) {
        if (!unitExists(m_progress.className, m_progress.unit)) {
            m_progress.phase = static_cast<std::int32_t>(Phase::Review);
            m_progress.position = 1;
            save();
            m_notifier.notify(m_progress.className + "  的单词都背完了", Icon::Information);
            return Step::EndOfList;
        }
        WordList unitWords;
        loadWordFile(unitFilePath(m_progress.className, m_progress.unit), unitWords, m_notifier);
        m_words = std::move(unitWords);
        if (m_progress.position < 1) m_progress.position = 1;
        if (m_progress.position <= static_cast<int>(m_words.size())) return Step::ShowWord;
        m_progress.unit += 1;
        m_progress.position = 1;
        save();
    }
}

StudyCycle::Step StudyCycle::enterStudyFileStage(Phase stage) {
    m_progress.phase = static_cast<std::int32_t>(stage);
    WordList studied;
    loadWordFile(studyFilePath(m_progress.className, m_section), studied, m_notifier);
    m_words = std::move(studied);
    if (m_words.empty()) {
        // Nothing was learned (or the study file is gone): learning goes on where it stands.
        m_progress.phase = static_cast<std::int32_t>(Phase::Learn);
        m_progress.counter = 1;
        save();
        return enterLearn();
    }
    if (m_progress.counter < 1) m_progress.counter = 1;
    if (m_progress.counter > static_cast<int>(m_words.size())) {
        if (stage == Phase::Quiz) {
            m_progress.counter = 1;
            save();
            return enterStudyFileStage(Phase::Dictation);
        }
        return finishCycle();
    }
    return stage == Phase::Quiz ? Step::AskQuestion : Step::Dictate;
}

StudyCycle::Step StudyCycle::recordWord() {
    if (phase() != Phase::Learn) return advance();
    if (const WordEntry* word = currentWord()) {
        appendWordEntry(studyFilePath(m_progress.className, m_section), m_progress.className, *word,
                        m_clock.now(), m_notifier);
        m_progress.counter += 1;
        save();
    }
    return advance();
}

StudyCycle::Step StudyCycle::advance() {
    if (phase() != Phase::Learn) return Step::Refused;
    if (m_progress.counter > effectiveDailyWords()) {
        // The day's words are learned. Learning resumes after the last of them next time.
        m_progress.counter = 1;
        m_progress.position += 1;
        if (m_progress.position > static_cast<int>(m_words.size())) {
            m_progress.unit += 1;
            m_progress.position = 1;
        }
        m_progress.phase = static_cast<std::int32_t>(Phase::Quiz);
        save();
        return enterStudyFileStage(Phase::Quiz);
    }
    m_progress.position += 1;
    if (m_progress.position > static_cast<int>(m_words.size())) {
        m_progress.unit += 1;
        m_progress.position = 1;
    }
    save();
    return enterLearn();
}

StudyCycle::Step StudyCycle::quizCorrect() {
    if (phase() != Phase::Quiz) return Step::Refused;
    m_progress.counter += 1;
    if (m_progress.counter > static_cast<int>(m_words.size())) {
        m_progress.counter = 1;
        m_progress.phase = static_cast<std::int32_t>(Phase::Dictation);
        save();
        return enterStudyFileStage(Phase::Dictation);
    }
    save();
    return Step::AskQuestion;
}

StudyCycle::Step StudyCycle::dictationCorrect() {
    if (phase() != Phase::Dictation) return Step::Refused;
    if (const WordEntry* word = currentWord()) {
        appendWordEntry(wordsFilePath(m_progress.className, m_section), m_progress.className, *word,
                        m_clock.now(), m_notifier);
    }
    m_progress.counter += 1;
    if (m_progress.counter > static_cast<int>(m_words.size())) return finishCycle();
    save();
    return Step::Dictate;
}

StudyCycle::Step StudyCycle::dictationGiveUp() {
    if (phase() != Phase::Dictation) return Step::Refused;
    markWord(m_progress.counter);
    m_progress.counter += 1;
    if (m_progress.counter > static_cast<int>(m_words.size())) return finishCycle();
    save();
    return Step::Dictate;
}

StudyCycle::Step StudyCycle::finishCycle() {
    std::error_code ec;
    std::filesystem::remove(studyFilePath(m_progress.className, m_section), ec);
    m_progress.phase = static_cast<std::int32_t>(Phase::Review);
    m_progress.counter = 1;
    save();
    return Step::CycleFinished;
}

int StudyCycle::markWord(int index) {
    if (index < 1 || index > static_cast<int>(m_words.size())) return 0;
    WordEntry& word = m_words[static_cast<std::size_t>(index - 1)];
    int count = settingToInt(word.num) + 1;
    word.num = std::to_string(count);
    return count;
}

}  // namespace wf
