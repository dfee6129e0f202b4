// The main window driven through its controls, with settings fixtures and scripted dialogs.
#include "app/ui/mainwindow.h"

#include <gst/gst.h>

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>

#include "app/mainscreen.h"
#include "app/programfolder.h"
#include "app/settings.h"
#include "app/ui/shell.h"
#include "app/ui/singleinstance.h"
#include "app/ui/windowlauncher.h"
#include "platform/audio/mediaplayer.h"
#include "platform/qt/mediaplayercontrol.h"
#include "tests/support/fakedialogs.h"
#include "tests/support/testsupport.h"

namespace wf {
namespace {

// Records which windows were asked for; "opens" those it is told to.
class RecordingLauncher : public WindowLauncher {
  public:
    using WindowLauncher::WindowLauncher;
    bool open(AppWindow window) override {
        opened.push_back(window);
        return opens.count(window) > 0;
    }
    std::vector<AppWindow> opened;
    std::set<AppWindow> opens;
};

const char* kTwoUsers =
    "[settings]\r\ndefault=小明\r\ns_time=0\r\n"
    "[setting]\r\nexample=true\r\n"
    "[中文引擎]\r\n角色=IBM Female Voice SC\r\n"
    "[英文引擎]\r\n语速=50\r\n"
    "[小明]\r\nclass=四级词汇\r\ngrade=3.12\r\nstudy=2.1\r\nwords=20\r\n"
    "[progressonly]\r\ngrade=2.2\r\nstudy=1.1\r\n"
    "[bob]\r\nclass=cet6\r\ngrade=1.7\r\n";

std::string makeWaveFile(int milliseconds) {
    const int rate = 11025, frames = rate * milliseconds / 1000;
    std::string data(static_cast<std::size_t>(frames * 2), '\x10');
    auto le = [](std::uint32_t v, int n) {
        std::string out;
        for (int i = 0; i < n; ++i) out += static_cast<char>((v >> (8 * i)) & 0xff);
        return out;
    };
    return "RIFF" + le(36 + data.size(), 4) + "WAVE" + "fmt " + le(16, 4) + le(1, 2) + le(1, 2) +
           le(rate, 4) + le(rate * 2, 4) + le(2, 2) + le(16, 2) + "data" + le(data.size(), 4) +
           data;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

  private:
    std::filesystem::path m_home;
    test::FakeDialogs* m_dialogs = nullptr;
    RecordingLauncher* m_launcher = nullptr;
    QPointer<MainWindow> m_window;

    void settings(const char* text) { test::writeGb(m_home / "sc.ini", text); }
    MainWindow* load() {
        m_window = m_launcher->loadMainWindow();
        return m_window;
    }
    template <typename T>
    T* control(const char* name) {
        T* widget = m_window->findChild<T*>(QString::fromUtf8(name));
        if (!widget) qFatal("no control %s", name);
        return widget;
    }
    QTreeWidget* users() { return control<QTreeWidget>("超级列表框1"); }
    QString welcome() { return control<QTextEdit>("超级编辑框1")->toPlainText(); }
    QStringList rowNames() {
        QStringList names;
        for (int i = 0; i < users()->topLevelItemCount(); ++i)
            names << users()->topLevelItem(i)->text(0);
        return names;
    }
    void clickRow(int row) {
        QTreeWidgetItem* item = users()->topLevelItem(row);
        QRect rect = users()->visualItemRect(item);
        const auto shown = m_dialogs->shown().size();
        QTest::mouseClick(users()->viewport(), Qt::LeftButton, {}, rect.center());
        QTRY_VERIFY(m_dialogs->shown().size() > shown);  // the handler runs after the click
    }
    QAction* action(const char* caption) {
        QAction* found = m_window->findChild<QAction*>(QString::fromUtf8(caption));
        if (!found) qFatal("no menu item %s", caption);
        return found;
    }

  private slots:
    void init() {
        m_home = test::makeTempDir("wordfern-window-");
        setProgramFolder(m_home);
        m_dialogs = new test::FakeDialogs;
        m_launcher = new RecordingLauncher(*m_dialogs);
    }
    void cleanup() {
        delete m_window.data();
        delete m_launcher;
        delete m_dialogs;
        std::error_code ec;
        std::filesystem::remove_all(m_home, ec);
    }

    void controlsMenusAndGenericGreeting() {
        load();
        // Sound starts on first use, not on the way to the first window.
        QVERIFY(!gst_is_initialized());
        QCOMPARE(m_window->windowTitle(), QString("Wordfern"));
        QVERIFY(m_window->isVisible());
        QCOMPARE(welcome(),
                 QString::fromUtf8("欢迎你的到来，你可以在菜单里注册你要被的单词或者看看英语沙龙，"
                                   "对本软件有什么建议和意见请加群反馈\nWordfern:") +
                     QString::fromUtf8(kFeedbackGroupNumber.data(), kFeedbackGroupNumber.size()));
        QVERIFY(!control<QPushButton>("按钮1")->isEnabled());
        QCOMPARE(control<QPushButton>("按钮1")->text(), QString("开始背单词"));
        QCOMPARE(control<QPushButton>("按钮2")->text(), QString("阅览"));
        QCOMPARE(control<QGroupBox>("分组框_超级列表框1")->title(), QString("用户选择"));
        QCOMPARE(control<QGroupBox>("分组框_组合框1")->title(), QString("英语沙龙"));
        QCOMPARE(control<QGroupBox>("分组框_超级列表框2")->title(), QString("内容"));
        control<QLabel>("标签_每日一句");
        control<QComboBox>("组合框1");
        control<QTreeWidget>("超级列表框2");
        control<MediaPlayerControl>("媒体播放");
        QCOMPARE(users()->columnCount(), 4);
        QStringList headers;
        for (int c = 0; c < 4; ++c) {
            headers << users()->headerItem()->text(c);
            QVERIFY2(users()->columnWidth(c) >= 50, qPrintable(QString::number(c)));
            QVERIFY(users()->columnWidth(c) >=
                    users()->fontMetrics().horizontalAdvance(headers.last()));
        }
        QCOMPARE(headers, (QStringList{"用户名", "类型", "单元", "单词"}));
        QCOMPARE(users()->topLevelItemCount(), 0);

        const QList<QPair<QString, QStringList>> menus = {
            {"选项", {"注册新的背单词", "单词接龙\tCtrl+Z", "翻译\tCtrl+T", "收藏\tCtrl+C"}},
            {"播放控制", {"播放\tF5", "暂停_继续播放\tF6", "停止播放\tF7"}},
            {"关于", {"说明文档", "更新日志", "加入QQ群", "打开在Lanternhall的页面", "检查更新"}},
        };
        const QList<QAction*> bar = m_window->menuBar()->actions();
        QCOMPARE(bar.size(), menus.size());
        for (int m = 0; m < menus.size(); ++m) {
            QCOMPARE(bar[m]->text(), menus[m].first);
            QStringList items;
            for (QAction* item : bar[m]->menu()->actions()) items << item->text();
            QCOMPARE(items, menus[m].second);
        }
        QCOMPARE(action("单词接龙")->shortcut(), QKeySequence("Ctrl+Z"));
        QCOMPARE(action("暂停_继续播放")->shortcut(), QKeySequence(Qt::Key_F6));
    }

    void greetsDefaultUserAndListsOnlyUsers() {
        settings(kTwoUsers);
        load();
        QCOMPARE(welcome(),
                 QString("欢迎 小明 的到来\n\n四级词汇\n背单词，被到了 地3单元 地12个单词"));
        QVERIFY(control<QPushButton>("按钮1")->isEnabled());
        QCOMPARE(rowNames(), (QStringList{"小明", "bob"}));
        QTreeWidgetItem* bob = users()->topLevelItem(1);
        QCOMPARE(bob->text(1), QString("cet6"));
        QCOMPARE(bob->text(2), QString("1"));
        QCOMPARE(bob->text(3), QString("7"));
        // A class name wider than 50 pixels is not cut off.
        QVERIFY(users()->columnWidth(1) >= users()->fontMetrics().horizontalAdvance("四级词汇"));
    }

    void defaultUserWithoutListAndAUserNamedSettings() {
        settings("[settings]\r\ndefault=progressonly\r\n[progressonly]\r\ngrade=2.2\r\n");
        load();
        QCOMPARE(welcome(), QString("欢迎 progressonly 的到来\n\n"));
        QVERIFY(!control<QPushButton>("按钮1")->isEnabled());
        QCOMPARE(users()->topLevelItemCount(), 0);
        delete m_window.data();

        settings("[settings]\r\ndefault=settings\r\nclass=cet4\r\ngrade=2.5\r\n");
        load();
        QCOMPARE(rowNames(), (QStringList{"settings"}));
        QVERIFY(control<QPushButton>("按钮1")->isEnabled());
    }

    void clickAndEnterSetTheDefaultWithAMessage() {
        settings(kTwoUsers);
        load();
        clickRow(1);
        QCOMPARE(QString::fromStdString(defaultUser()), QString("bob"));
        QCOMPARE(welcome(), QString("欢迎 bob 的到来\n\ncet6\n背单词，被到了 地1单元 地7个单词"));
        QCOMPARE(rowNames(), (QStringList{"小明", "bob"}));
        clickRow(1);
        QCOMPARE(rowNames(), (QStringList{"小明", "bob"}));
        QCOMPARE(int(m_dialogs->shown().size()), 2);
        for (const auto& shown : m_dialogs->shown()) {
            QCOMPARE(QString::fromStdString(shown.text), QString("cet6 设为默认背单词"));
            QCOMPARE(QString::fromStdString(shown.title), QString("Wordfern"));
            QVERIFY(shown.kind == test::FakeDialogs::Kind::Message);
            QVERIFY(shown.icon == Icon::Information);
        }

        users()->setCurrentItem(users()->topLevelItem(0));
        QTest::keyClick(users(), Qt::Key_Return);
        QCOMPARE(QString::fromStdString(defaultUser()), QString("小明"));
        QCOMPARE(QString::fromStdString(m_dialogs->shown().back().text),
                 QString("四级词汇 设为默认背单词"));
    }

    void deleteAsksAndRemovesOnlyOnYes() {
        settings(kTwoUsers);
        test::writeBytes(m_home / "school" / "cet6" / "unit1" / "unit1.xml", "x");
        test::writeBytes(m_home / "school" / "四级词汇" / "unit1" / "unit1.xml", "x");
        load();
        const QString greeting = welcome();

        // Delete with no row selected asks nothing and removes nothing.
        users()->setCurrentItem(nullptr);
        users()->clearSelection();
        QTest::keyClick(users(), Qt::Key_Delete);
        QVERIFY(m_dialogs->shown().empty());

        users()->setCurrentItem(users()->topLevelItem(1));
        m_dialogs->answerAsk(DialogButton::No);
        QTest::keyClick(users(), Qt::Key_Delete);
        QCOMPARE(int(m_dialogs->shown().size()), 1);
        const auto& question = m_dialogs->shown().back();
        QVERIFY(question.kind == test::FakeDialogs::Kind::Ask);
        QCOMPARE(QString::fromStdString(question.text), QString("是否删除bob 和所下载的内容"));
        QCOMPARE(QString::fromStdString(question.title), QString("Wordfern"));
        QVERIFY(!question.icon);
        QVERIFY(std::filesystem::exists(m_home / "school" / "cet6" / "unit1" / "unit1.xml"));
        QCOMPARE(rowNames(), (QStringList{"小明", "bob"}));

        m_dialogs->answerAsk(DialogButton::Yes);
        QTest::keyClick(users(), Qt::Key_Delete);
        QVERIFY(!std::filesystem::exists(m_home / "school" / "cet6"));
        QVERIFY(std::filesystem::exists(m_home / "school" / "四级词汇" / "unit1" / "unit1.xml"));
        QCOMPARE(rowNames(), (QStringList{"小明"}));
        QCOMPARE(QString::fromStdString(readSetting("bob", "class", "gone")), QString("gone"));
        QCOMPARE(QString::fromStdString(defaultUser()), QString());
        QCOMPARE(welcome(), greeting);
    }

    void deleteNeverLeavesSchool() {
        settings("[settings]\r\ndefault=eve\r\n[eve]\r\nclass=..\r\n[mal]\r\nclass=../outside\r\n");
        test::writeBytes(m_home / "school" / "cet4" / "unit1.xml", "x");
        test::writeBytes(m_home / "outside" / "keep.txt", "x");
        load();
        QCOMPARE(rowNames(), (QStringList{"eve", "mal"}));
        for (int i = 0; i < 2; ++i) {
            users()->setCurrentItem(users()->topLevelItem(0));
            m_dialogs->answerAsk(DialogButton::Yes);
            QTest::keyClick(users(), Qt::Key_Delete);
        }
        QVERIFY(std::filesystem::exists(m_home / "school" / "cet4" / "unit1.xml"));
        QVERIFY(std::filesystem::exists(m_home / "outside" / "keep.txt"));
        QCOMPARE(users()->topLevelItemCount(), 0);
        QVERIFY(sectionNames().size() <= 1);  // only "settings" may remain
    }

    void menusOpenWindowsThroughTheLauncher() {
        settings(kTwoUsers);
        load();
        action("单词接龙")->trigger();
        action("翻译")->trigger();
        action("收藏")->trigger();
        action("注册新的背单词")->trigger();
        QTest::mouseClick(control<QPushButton>("按钮1"), Qt::LeftButton);
        QCOMPARE(m_launcher->opened,
                 (std::vector<AppWindow>{AppWindow::WordChain, AppWindow::Translation,
                                         AppWindow::Favourites, AppWindow::Registration,
                                         AppWindow::Study}));
        // Nothing opened, so the main window stays.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(m_window);

        // A study window that opens takes over: the main window goes.
        m_launcher->opens.insert(AppWindow::Study);
        QTest::mouseClick(control<QPushButton>("按钮1"), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!m_window);
    }

    void aboutMenuOpensDocumentsAddressesAndTheUpdater() {
        load();
        std::vector<std::string> opened;
        m_window->setShellOpener([&](const std::string& target) {
            opened.push_back(target);
            return false;
        });
        action("说明文档")->trigger();
        action("更新日志")->trigger();
        action("加入QQ群")->trigger();
        action("打开在Lanternhall的页面")->trigger();
        QCOMPARE(opened, (std::vector<std::string>{
                             (m_home / "说明.txt").string(), (m_home / "更新日志.txt").string(),
                             std::string(kChatGroupAddress), std::string(kForumThreadAddress)}));

        // Without an updater nothing is reported and the window stays.
        action("检查更新")->trigger();
        QVERIFY(m_dialogs->shown().empty());

        const auto updater = m_home / "update";
        const auto record = m_home / "update-arguments.txt";
        test::writeBytes(updater, "#!/bin/sh\nprintf '%s|' \"$@\" > \"" + record.string() +
                                      ".tmp\" && mv \"" + record.string() + ".tmp\" \"" +
                                      record.string() + "\"\n");
        std::filesystem::permissions(updater, std::filesystem::perms::owner_all);
        action("检查更新")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(record), 20000);
        const QString self = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
        QCOMPARE(QString::fromStdString(test::readBytes(record)), self + "|updated|");
    }

    void playCommandsDriveTheMediaPlayer() {
        qputenv("WORDFERN_AUDIO_SINK", "fakesink sync=true");
        test::writeBytes(m_home / "daily.wav", makeWaveFile(20000));
        load();
        MediaPlayer& player = control<MediaPlayerControl>("媒体播放")->player();
        action("播放")->trigger();  // nothing to play yet
        QCOMPARE(player.status(), MediaPlayer::Status::Closed);

        m_window->setContentAudio((m_home / "daily.wav").string());
        action("播放")->trigger();
        QCOMPARE(player.status(), MediaPlayer::Status::Playing);
        action("暂停_继续播放")->trigger();
        QCOMPARE(player.status(), MediaPlayer::Status::Paused);
        action("暂停_继续播放")->trigger();
        QCOMPARE(player.status(), MediaPlayer::Status::Playing);
        action("停止播放")->trigger();
        QCOMPARE(player.status(), MediaPlayer::Status::Stopped);
        QCOMPARE(player.position(), 0);
        action("暂停_继续播放")->trigger();  // stopped: neither pause nor play
        QCOMPARE(player.status(), MediaPlayer::Status::Stopped);
    }

    void programSurvivesTheMainWindowBeingReplaced() {
        QWidget standIn;  // the window that takes over, as the registration window will
        bool aliveAfterHandover = false;
        QTimer::singleShot(0, [&] {
            load();
            standIn.show();
            delete m_window.data();
            load();
            standIn.close();
        });
        QTimer::singleShot(100, [&] {
            aliveAfterHandover = true;
            m_window->close();  // the last window: the program ends
        });
        QTimer safety;
        safety.setSingleShot(true);
        connect(&safety, &QTimer::timeout, [] { QCoreApplication::exit(2); });
        safety.start(60000);
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(aliveAfterHandover);
        QVERIFY(!m_window);
    }

    void laterStartActivatesTheVisibleWindowOfTheSameProgram() {
        load();
        m_window->showMinimized();
        QCOMPARE(windowToActivate(m_window, "wordfern", "WordFern"),
                 static_cast<QWidget*>(m_window));
        QCOMPARE(windowToActivate(m_window, "wordfern", "renamed"), static_cast<QWidget*>(nullptr));
        ActivateWindow(windowToActivate(m_window, "wordfern", "wordfern"));
        QVERIFY(!(m_window->windowState() & Qt::WindowMinimized));
        QVERIFY(m_window->isVisible());

        m_window->hide();
        QCOMPARE(windowToActivate(m_window, "wordfern", "wordfern"),
                 static_cast<QWidget*>(nullptr));

        const QString name = QString("wordfern-test-%1").arg(QCoreApplication::applicationPid());
        SingleInstanceGuard first(name), second(name);
        QVERIFY(first.claim("wordfern"));
        QSignalSpy asked(&first, &SingleInstanceGuard::activationRequested);
        QVERIFY(!second.claim("WordFern"));
        QVERIFY(asked.wait(20000));
        QCOMPARE(asked.first().first().toString(), QString("WordFern"));
    }
};

}  // namespace wf

QTEST_MAIN(wf::MainWindowTest)
#include "mainwindow_test.moc"
