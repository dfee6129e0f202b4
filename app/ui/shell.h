// Small shell operations that several windows share.
#pragma once

#include <string>

class QWidget;

namespace wf {

// Brings a top-level window to the user: restored when minimised, raised and activated.
void ActivateWindow(QWidget* window);

// Opens a document or web address with the desktop's default application; the result is
// deliberately ignored by callers, as a missing document is not worth a message.
bool OpenWithShell(const std::string& target);

}  // namespace wf
