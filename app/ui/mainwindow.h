// The home screen: greets the default user, lists the users, starts studying, deletes a user,
// and reaches every other window through its menus. What it shows comes from app/mainscreen.h.
#pragma once

#include <QMainWindow>
#include <functional>
#include <string>

class QComboBox;
class QLabel;
class QPushButton;
class QTextEdit;
class QTreeWidget;

namespace wf {

class MediaPlayerControl;
class WindowLauncher;

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainWindow(WindowLauncher& launcher, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The creation steps: greeting, study button and user list, read anew from sc.ini.
    void rebuild();

    // What the play command plays: the daily sentence's or an article's recording.
    void setContentAudio(std::string audio) { m_contentAudio = std::move(audio); }
    const std::string& contentAudio() const { return m_contentAudio; }

    // Seams for tests: how documents and addresses are opened, and the executable whose name
    // the updater is given.
    void setShellOpener(std::function<bool(const std::string&)> opener) {
        m_openWithShell = std::move(opener);
    }

    void playContent();
    void togglePause();
    void stopContent();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildControls();
    void buildMenus();
    void startStudying();
    void openRegistration();
    void setSelectedUserAsDefault();
    void deleteSelectedUser();
    void startUpdater();
    void openDocument(const char* fileName);

    WindowLauncher& m_launcher;
    QTextEdit* m_welcome = nullptr;
    QPushButton* m_studyButton = nullptr;
    QTreeWidget* m_users = nullptr;
    QLabel* m_dailySentence = nullptr;
    QComboBox* m_articleSources = nullptr;
    QPushButton* m_openSource = nullptr;
    QTreeWidget* m_articles = nullptr;
    MediaPlayerControl* m_mediaPlayer = nullptr;
    std::string m_contentAudio;
    std::function<bool(const std::string&)> m_openWithShell;
};

}  // namespace wf
