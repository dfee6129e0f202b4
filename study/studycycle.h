// The study cycle of one word list: Review -> Learn -> Quiz -> Dictation -> Review. The windows
// call one method per learner action and show what it returns; every change of progress is
// saved to sc.ini at once.
#pragma once

#include <filesystem>
#include <string>

#include "app/settings.h"
#include "platform/clock.h"
#include "platform/notifier.h"
#include "vocab/wordfile.h"

namespace wf {

enum class Phase : std::int32_t { Review = 0, Learn = 1, Quiz = 2, Dictation = 3 };

// school/<className>/unit/<section>-study.xml and -words.xml
std::filesystem::path studyFilePath(std::string_view className, std::string_view section);
std::filesystem::path wordsFilePath(std::string_view className, std::string_view section);

class StudyCycle {
public:
    // What the window shows next.
    enum class Step {
        OpenReview,     // the review test takes over
        ShowWord,       // Learn: word `position` of words()
        AskQuestion,    // Quiz: question `counter`
        Dictate,        // Dictation: word `counter`
        EndOfList,      // Learn found no further unit; Skip and Next stay disabled
        CycleFinished,  // the score page with finishMessage()
        Refused,        // the list cannot be studied (unsafe names); the user was told
    };

    StudyCycle(std::string section, const Clock& clock, Notifier& notifier);

    // Loads the progress from sc.ini and the words the current stage works on.
    Step start();
    // Learn: the word in view goes to the study file, then the cycle advances.
    Step recordWord();
    // Learn: the next word without recording this one (skip), or after recording.
    Step advance();
    // Quiz: the current question was answered correctly.
    Step quizCorrect();
    // Dictation: the current word was written correctly, or given up.
    Step dictationCorrect();
    Step dictationGiveUp();

    // "+1": one more review for word index (1-based) of words(); returns the new count.
    int markWord(int index);

    const ListProgress& progress() const { return m_progress; }
    Phase phase() const { return static_cast<Phase>(m_progress.phase); }
    const WordList& words() const { return m_words; }
    const std::string& section() const { return m_section; }
    // The word the current stage is at, or nullptr.
    const WordEntry* currentWord() const;
    std::string finishMessage() const;
    bool save();

private:
    Step enterLearn();
    Step enterStudyFileStage(Phase phase);
    Step finishCycle();
    int effectiveDailyWords() const { return m_progress.dailyWords < 1 ? 1 : m_progress.dailyWords; }

    std::string m_section;
    const Clock& m_clock;
    Notifier& m_notifier;
    ListProgress m_progress;
    WordList m_words;
};

}  // namespace wf
