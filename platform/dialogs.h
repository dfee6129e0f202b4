// How the core asks the user something. Windows use the Qt implementation; tests script the
// answers and record what was shown.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/notifier.h"

namespace wf {

enum class DialogButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class DialogButton { Ok, Cancel, Yes, No };

// Every Dialogs is also a Notifier: notify() shows a message box.
class Dialogs : public Notifier {
  public:
    using Notifier::notify;
    void notify(std::string_view text, std::string_view title, Icon icon) final {
        message(text, title, icon);
    }

    virtual void message(std::string_view text, std::string_view title, Icon icon) = 0;
    // The button pressed; closing the box counts as the last button of the set (No or Cancel).
    // No icon when icon is empty.
    virtual DialogButton ask(std::string_view text, std::string_view title, DialogButtons buttons,
                             std::optional<Icon> icon) = 0;
    // The text entered, or nothing when the user cancelled.
    virtual std::optional<std::string> input(std::string_view prompt, std::string_view title,
                                             std::string_view initial) = 0;
    // The chosen file, or nothing. filter is "Description (*.ext *.ext2)".
    virtual std::optional<std::filesystem::path> openFile(std::string_view title,
                                                          std::string_view filter) = 0;
};

}  // namespace wf
