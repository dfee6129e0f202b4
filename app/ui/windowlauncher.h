// The one place through which windows open each other. The main window is loaded here; the
// windows that are still to come (registration, study, review, translation, favourites, voice,
// word chain) get their line in open() when they exist.
#pragma once

#include <QPointer>

namespace wf {

class Dialogs;
class MainWindow;

enum class AppWindow { Registration, Study, Review, Translation, Favourites, Voice, WordChain };

class WindowLauncher {
  public:
    explicit WindowLauncher(Dialogs& dialogs) : m_dialogs(dialogs) {}
    virtual ~WindowLauncher() = default;

    // Loads a new main window, modeless and without an owner, and shows it.
    MainWindow* loadMainWindow();
    MainWindow* mainWindow() const { return m_mainWindow; }

    // Opens the window modeless; true when it opened. A window that hands over (registration,
    // study) is trusted to be open before the main window goes.
    virtual bool open(AppWindow window);

    Dialogs& dialogs() { return m_dialogs; }

  private:
    Dialogs& m_dialogs;
    QPointer<MainWindow> m_mainWindow;
};

}  // namespace wf
