#include "app/ui/shell.h"

#include <QDesktopServices>
#include <QUrl>
#include <QWidget>

namespace wf {

void ActivateWindow(QWidget* window) {
    if (!window) return;
    window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window->show();
    window->raise();
    window->activateWindow();
}

bool OpenWithShell(const std::string& target) {
    if (target.empty()) return false;
    QString text = QString::fromStdString(target);
    QUrl url = target.find("://") != std::string::npos ? QUrl(text) : QUrl::fromLocalFile(text);
    return QDesktopServices::openUrl(url);
}

}  // namespace wf
