#include "app/ui/mainwindow.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QStyle>
#include <QTextEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/mainscreen.h"
#include "app/programfolder.h"
#include "app/ui/shell.h"
#include "app/ui/windowlauncher.h"
#include "platform/dialogs.h"
#include "platform/qt/mediaplayercontrol.h"

namespace wf {
namespace {

constexpr int kUserColumnWidth = 50;

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

// The box shows line breaks; the settings and greetings carry them as CR LF.
QString displayText(const std::string& text) {
    return qt(text).replace("\r\n", "\n");
}

QGroupBox* frame(const char* name, const char* caption, QWidget* content) {
    auto* box = new QGroupBox(QString::fromUtf8(caption));
    box->setObjectName(QString::fromUtf8(name));
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(content);
    return box;
}

}  // namespace

MainWindow::MainWindow(WindowLauncher& launcher, QWidget* parent)
    : QMainWindow(parent), m_launcher(launcher), m_openWithShell(OpenWithShell) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Wordfern");
    buildControls();
    buildMenus();
    rebuild();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildControls() {
    m_welcome = new QTextEdit;
    m_welcome->setObjectName("超级编辑框1");
    m_welcome->setReadOnly(true);

    m_studyButton = new QPushButton("开始背单词");
    m_studyButton->setObjectName("按钮1");
    m_studyButton->setEnabled(false);
    connect(m_studyButton, &QPushButton::clicked, this, [this] { startStudying(); });

    m_users = new QTreeWidget;
    m_users->setObjectName("超级列表框1");
    m_users->setHeaderLabels({"用户名", "类型", "单元", "单词"});
    m_users->setRootIsDecorated(false);
    m_users->setSelectionMode(QAbstractItemView::SingleSelection);
    m_users->setAllColumnsShowFocus(true);
    m_users->header()->setStretchLastSection(false);
    m_users->setUniformRowHeights(true);
    for (int column = 0; column < 4; ++column) m_users->setColumnWidth(column, kUserColumnWidth);
    m_users->installEventFilter(this);
    // Queued: the rebuild replaces the rows, and the list is still handling the click on one.
    connect(
        m_users, &QTreeWidget::itemClicked, this, [this] { setSelectedUserAsDefault(); },
        Qt::QueuedConnection);

    m_dailySentence = new QLabel;
    m_dailySentence->setObjectName("标签_每日一句");
    m_dailySentence->setWordWrap(true);
    m_dailySentence->setMinimumHeight(48);

    m_articleSources = new QComboBox;
    m_articleSources->setObjectName("组合框1");
    m_openSource = new QPushButton("阅览");
    m_openSource->setObjectName("按钮2");
    auto* sourceRow = new QWidget;
    auto* sourceLayout = new QHBoxLayout(sourceRow);
    sourceLayout->setContentsMargins(0, 0, 0, 0);
    sourceLayout->addWidget(m_articleSources, 1);
    sourceLayout->addWidget(m_openSource);

    m_articles = new QTreeWidget;
    m_articles->setObjectName("超级列表框2");
    m_articles->setHeaderHidden(true);
    m_articles->setRootIsDecorated(false);

    m_mediaPlayer = new MediaPlayerControl("媒体播放", this);

    auto* left = new QVBoxLayout;
    left->addWidget(m_welcome, 3);
    left->addWidget(m_studyButton);
    left->addWidget(frame("分组框_超级列表框1", "用户选择", m_users), 2);
    auto* right = new QVBoxLayout;
    right->addWidget(m_dailySentence);
    right->addWidget(frame("分组框_组合框1", "英语沙龙", sourceRow));
    right->addWidget(frame("分组框_超级列表框2", "内容", m_articles), 1);

    auto* central = new QWidget;
    auto* columns = new QHBoxLayout(central);
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    setCentralWidget(central);
    resize(760, 520);
}

void MainWindow::buildMenus() {
    struct Item {
        const char* caption;
        QKeySequence shortcut;
        std::function<void()> action;
    };
    auto addMenu = [this](const char* caption, std::initializer_list<Item> items) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(caption));
        menu->setObjectName(QString::fromUtf8(caption));
        for (const Item& item : items) {
            QString text = QString::fromUtf8(item.caption);
            // The shortcut stands after the caption, separated by a tab.
            QAction* action = menu->addAction(
                item.shortcut.isEmpty()
                    ? text
                    : text + "\t" + item.shortcut.toString(QKeySequence::NativeText));
            action->setObjectName(QString::fromUtf8(item.caption));
            action->setShortcut(item.shortcut);
            connect(action, &QAction::triggered, this, item.action);
        }
    };
    addMenu(
        "选项",
        {
            {"注册新的背单词", {}, [this] { openRegistration(); }},
            {"单词接龙", QKeySequence("Ctrl+Z"), [this] { m_launcher.open(AppWindow::WordChain); }},
            {"翻译", QKeySequence("Ctrl+T"), [this] { m_launcher.open(AppWindow::Translation); }},
            {"收藏", QKeySequence("Ctrl+C"), [this] { m_launcher.open(AppWindow::Favourites); }},
        });
    addMenu("播放控制", {
                            {"播放", QKeySequence("F5"), [this] { playContent(); }},
                            {"暂停_继续播放", QKeySequence("F6"), [this] { togglePause(); }},
                            {"停止播放", QKeySequence("F7"), [this] { stopContent(); }},
                        });
    addMenu("关于",
            {
                {"说明文档", {}, [this] { openDocument("说明.txt"); }},
                {"更新日志", {}, [this] { openDocument("更新日志.txt"); }},
                {"加入QQ群", {}, [this] { m_openWithShell(std::string(kChatGroupAddress)); }},
                {"打开在Lanternhall的页面",
                 {},
                 [this] { m_openWithShell(std::string(kForumThreadAddress)); }},
                {"检查更新", {}, [this] { startUpdater(); }},
            });
}

void MainWindow::rebuild() {
    // The daily sentence and the article sources are filled by their own component later;
    // the lists this step fills are emptied first so that a rebuild lists nothing twice.
    m_articleSources->clear();
    m_users->clear();

    MainScreen screen = loadMainScreen();
    m_welcome->setPlainText(displayText(screen.welcomeText));
    if (screen.studyEnabled) m_studyButton->setEnabled(true);
    // Columns are 50 pixels wide, wider where a name would otherwise be cut off. Measured
    // with the font's advances: asking every row's delegate costs more than the whole list.
    const QFontMetrics metrics(m_users->font());
    const int padding = 2 * m_users->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 12;
    int widths[4];
    for (int column = 0; column < 4; ++column) {
        widths[column] = std::max(kUserColumnWidth, m_users->header()->sectionSizeHint(column));
    }
    QList<QTreeWidgetItem*> rows;
    for (const UserRow& user : screen.users) {
        const QStringList cells{qt(user.name), qt(user.className), QString::number(user.unit),
                                QString::number(user.position)};
        for (int column = 0; column < 4; ++column) {
            widths[column] =
                std::max(widths[column], metrics.horizontalAdvance(cells[column]) + padding);
        }
        rows << new QTreeWidgetItem(cells);
    }
    m_users->addTopLevelItems(rows);
    for (int column = 0; column < 4; ++column) m_users->setColumnWidth(column, widths[column]);
}

void MainWindow::startStudying() {
    if (m_welcome->toPlainText().isEmpty()) return;
    if (m_launcher.open(AppWindow::Study)) deleteLater();
}

void MainWindow::openRegistration() {
    if (m_launcher.open(AppWindow::Registration)) deleteLater();
}

void MainWindow::setSelectedUserAsDefault() {
    QTreeWidgetItem* row = m_users->currentItem();
    if (!row || !row->isSelected()) return;
    const std::string className = row->text(1).toStdString();
    if (className.empty()) return;
    const std::string message = setDefaultUser(row->text(0).toStdString(), className);
    rebuild();
    m_launcher.dialogs().message(message, kDefaultTitle, Icon::Information);
}

void MainWindow::deleteSelectedUser() {
    QTreeWidgetItem* row = m_users->currentItem();
    if (!row || !row->isSelected()) return;  // without a row the command would aim at school/
    const std::string name = row->text(0).toStdString();
    if (m_launcher.dialogs().ask(deleteUserQuestion(name), kDefaultTitle, DialogButtons::YesNo,
                                 std::nullopt) != DialogButton::Yes) {
        return;
    }
    deleteUser(name);
    delete row;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_users && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
            case Qt::Key_Delete:
                deleteSelectedUser();
                return true;
            case Qt::Key_Return:
            case Qt::Key_Enter:
                setSelectedUserAsDefault();
                return true;
            default:
                break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::playContent() {
    MediaPlayer& player = m_mediaPlayer->player();
    player.close();
    if (player.open(m_contentAudio)) player.play();
}

void MainWindow::togglePause() {
    MediaPlayer& player = m_mediaPlayer->player();
    switch (player.status()) {
        case MediaPlayer::Status::Paused:
            player.play();
            break;
        case MediaPlayer::Status::Playing:
            player.pause();
            break;
        default:
            break;
    }
}

void MainWindow::stopContent() {
    m_mediaPlayer->player().stop();
}

void MainWindow::openDocument(const char* fileName) {
    m_openWithShell((programFolder() / fileName).string());
}

void MainWindow::startUpdater() {
    UpdaterCommand command =
        updaterCommand(programFolder(), QApplication::applicationFilePath().toStdString());
    QStringList arguments;
    for (const std::string& argument : command.arguments) arguments << qt(argument);
    // Not waited for, and a missing updater is not worth a message.
    QProcess::startDetached(qt(command.program.string()), arguments, qt(programFolder().string()));
}

}  // namespace wf
