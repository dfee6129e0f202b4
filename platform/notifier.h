// What the user must be told. The core reports through this and never shows anything itself;
// the windows show a message box, the command-line tool prints to stderr.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace wf {

enum class Icon { Information, Warning, Error, Question };

inline constexpr std::string_view kDefaultTitle = "Wordfern";

class Notifier {
public:
    virtual ~Notifier() = default;
    virtual void notify(std::string_view text, std::string_view title, Icon icon) = 0;
    void notify(std::string_view text, Icon icon) { notify(text, kDefaultTitle, icon); }
};

// Keeps every message; for tests and for callers that show them later.
class RecordingNotifier : public Notifier {
public:
    struct Message {
        std::string text;
        std::string title;
        Icon icon;
    };
    using Notifier::notify;
    void notify(std::string_view text, std::string_view title, Icon icon) override {
        m_messages.push_back({std::string(text), std::string(title), icon});
    }
    const std::vector<Message>& messages() const { return m_messages; }
    void clear() { m_messages.clear(); }

private:
    std::vector<Message> m_messages;
};

// Prints each message as one line on stderr.
class StderrNotifier : public Notifier {
public:
    using Notifier::notify;
    void notify(std::string_view text, std::string_view title, Icon icon) override;
};

}  // namespace wf
