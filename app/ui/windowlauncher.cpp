#include "app/ui/windowlauncher.h"

#include "app/ui/mainwindow.h"

namespace wf {

MainWindow* WindowLauncher::loadMainWindow() {
    auto* window = new MainWindow(*this);
    m_mainWindow = window;
    window->show();
    return window;
}

bool WindowLauncher::open(AppWindow window) {
    switch (window) {
        case AppWindow::Registration:
        case AppWindow::Study:
        case AppWindow::Review:
        case AppWindow::Translation:
        case AppWindow::Favourites:
        case AppWindow::Voice:
        case AppWindow::WordChain:
            break;  // not built yet
    }
    return false;
}

}  // namespace wf
