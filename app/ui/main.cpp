// Wordfern: start-up. Options that only print run before any window or guard exists.
#include <QApplication>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "app/programfolder.h"
#include "app/shippeddata.h"
#include "app/ui/mainwindow.h"
#include "app/ui/shell.h"
#include "app/ui/singleinstance.h"
#include "app/ui/windowlauncher.h"
#include "platform/qt/qtdialogs.h"

namespace {

constexpr const char* kUsage =
    "Usage: wordfern [--home DIR] [--version] [--help]\n"
    "\n"
    "  --home DIR          use DIR as the program folder (sc.ini, school/, data/, temp/);\n"
    "                      default: $WORDFERN_HOME, else the folder of this program\n"
    "  --quit-when-shown   leave as soon as the main window is on screen (start-up timing)\n"
    "  --version           print the version and exit\n"
    "  --help              print this text and exit\n";

// Ends the program once the window has painted its first frame.
class QuitWhenPainted : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_done) {
            m_done = true;
            QTimer::singleShot(0, qApp, [] { QApplication::quit(); });
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    bool m_done = false;
};

struct Options {
    std::optional<std::string> home;
    bool quitWhenShown = false;
};

}  // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--version") {
            std::printf("wordfern %s\n", WORDFERN_VERSION);
            return 0;
        }
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--home") {
            if (i + 1 >= argc) {
                std::fputs("wordfern: --home needs a folder\n", stderr);
                return 2;
            }
            options.home = argv[++i];
        } else if (arg.rfind("--home=", 0) == 0) {
            options.home = std::string(arg.substr(7));
        } else if (arg == "--quit-when-shown") {
            options.quitWhenShown = true;
        }
    }

    QApplication app(argc, argv);
    const QString executableName = QFileInfo(QApplication::applicationFilePath()).fileName();

    wf::SingleInstanceGuard guard;
    wf::EnsureSingleInstance(guard, executableName);

    const std::filesystem::path exeFolder = wf::executableFolder();
    wf::setProgramFolder(
        wf::resolveProgramFolder(options.home, std::getenv("WORDFERN_HOME"), exeFolder));
    wf::installShippedData(wf::programFolder(), wf::shippedDataFolders(exeFolder));
    wf::installShippedDocuments(wf::programFolder(), wf::shippedDocumentFolders(exeFolder));

    wf::QtDialogs dialogs;
    wf::WindowLauncher launcher(dialogs);
    QObject::connect(&guard, &wf::SingleInstanceGuard::activationRequested, &app,
                     [&launcher, executableName](const QString& requester) {
                         wf::ActivateWindow(wf::windowToActivate(launcher.mainWindow(),
                                                                 executableName, requester));
                     });
    QuitWhenPainted quitWhenPainted;
    wf::MainWindow* window = launcher.loadMainWindow();
    if (options.quitWhenShown) window->installEventFilter(&quitWhenPainted);
    return app.exec();
}
