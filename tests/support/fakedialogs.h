// Dialogs for tests: answers come from scripted queues, everything shown is recorded.
#pragma once

#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialogs.h"

namespace wf::test {

class FakeDialogs : public Dialogs {
  public:
    enum class Kind { Message, Ask, Input, OpenFile };
    struct Shown {
        Kind kind;
        std::string text;
        std::string title;
        std::optional<Icon> icon;
    };

    void message(std::string_view text, std::string_view title, Icon icon) override {
        m_shown.push_back({Kind::Message, std::string(text), std::string(title), icon});
    }
    // Without a scripted answer the question is answered as if the box was closed.
    DialogButton ask(std::string_view text, std::string_view title, DialogButtons buttons,
                     std::optional<Icon> icon) override {
        m_shown.push_back({Kind::Ask, std::string(text), std::string(title), icon});
        if (!m_answers.empty()) {
            DialogButton answer = m_answers.front();
            m_answers.pop_front();
            return answer;
        }
        return buttons == DialogButtons::Ok      ? DialogButton::Ok
               : buttons == DialogButtons::YesNo ? DialogButton::No
                                                 : DialogButton::Cancel;
    }
    std::optional<std::string> input(std::string_view prompt, std::string_view title,
                                     std::string_view initial) override {
        m_shown.push_back({Kind::Input, std::string(prompt), std::string(title), std::nullopt});
        if (m_inputs.empty()) return std::nullopt;
        auto answer = m_inputs.front();
        m_inputs.pop_front();
        return answer;
    }
    std::optional<std::filesystem::path> openFile(std::string_view title,
                                                  std::string_view filter) override {
        m_shown.push_back({Kind::OpenFile, std::string(filter), std::string(title), std::nullopt});
        if (m_files.empty()) return std::nullopt;
        auto answer = m_files.front();
        m_files.pop_front();
        return answer;
    }

    void answerAsk(DialogButton button) { m_answers.push_back(button); }
    void answerInput(std::optional<std::string> text) { m_inputs.push_back(std::move(text)); }
    void answerOpenFile(std::optional<std::filesystem::path> file) {
        m_files.push_back(std::move(file));
    }

    const std::vector<Shown>& shown() const { return m_shown; }
    void clear() { m_shown.clear(); }

  private:
    std::vector<Shown> m_shown;
    std::deque<DialogButton> m_answers;
    std::deque<std::optional<std::string>> m_inputs;
    std::deque<std::optional<std::filesystem::path>> m_files;
};

}  // namespace wf::test
