// Dialogs shown as Qt message boxes, input boxes and file dialogs, over the active window.
#pragma once

#include "platform/dialogs.h"

namespace wf {

class QtDialogs : public Dialogs {
  public:
    void message(std::string_view text, std::string_view title, Icon icon) override;
    DialogButton ask(std::string_view text, std::string_view title, DialogButtons buttons,
                     std::optional<Icon> icon) override;
    std::optional<std::string> input(std::string_view prompt, std::string_view title,
                                     std::string_view initial) override;
    std::optional<std::filesystem::path> openFile(std::string_view title,
                                                  std::string_view filter) override;
};

}  // namespace wf
