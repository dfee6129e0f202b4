// The wordfern program as a user starts it: printing options, the single-instance guard and a
// crashed first instance.
#include <QLocalSocket>
#include <QProcess>
#include <QTest>
#include <csignal>

#include "tests/support/testsupport.h"

namespace wf {

class StartupTest : public QObject {
    Q_OBJECT

  private:
    std::filesystem::path m_dir;

    // Each test gets its own temporary folder, so the guard's socket lives there and
    // nothing else running on the machine takes part.
    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TMPDIR", QString::fromStdString(m_dir.string()));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.remove("WORDFERN_HOME");
        return env;
    }
    std::unique_ptr<QProcess> start(const QStringList& arguments) {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment());
        process->start(WF_WORDFERN_EXE, arguments);
        if (!process->waitForStarted(20000)) qFatal("wordfern did not start");
        return process;
    }
    QStringList home() const {
        return {"--home", QString::fromStdString((m_dir / "home").string())};
    }
    // The guard listens once the first instance is up.
    bool guardAnswers() {
        QLocalSocket probe;
        qputenv("TMPDIR", QByteArray::fromStdString(m_dir.string()));
        probe.connectToServer("Wordfern_english");
        bool connected = probe.waitForConnected(1000);
        if (connected) {
            probe.write("probe\n");
            probe.waitForBytesWritten(1000);
        }
        qunsetenv("TMPDIR");
        return connected;
    }

  private slots:
    void init() { m_dir = test::makeTempDir("wordfern-startup-"); }
    void cleanup() {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }

    void versionAndHelpPrintAndExitBeforeAnyWindow() {
        for (const char* option : {"--version", "--help"}) {
            QProcess process;
            process.setProcessEnvironment(environment());
            process.start(WF_WORDFERN_EXE, {option});
            QVERIFY(process.waitForFinished(30000));
            QCOMPARE(process.exitCode(), 0);
            const QString out = QString::fromUtf8(process.readAllStandardOutput());
            QVERIFY2(out.startsWith(option == std::string("--version") ? "wordfern "
                                                                       : "Usage: wordfern"),
                     qPrintable(out));
        }
        // Printing does not take the guard.
        QVERIFY(!guardAnswers());
    }

    void secondStartEndsWhileTheFirstRuns() {
        auto first = start(home());
        QTRY_VERIFY_WITH_TIMEOUT(guardAnswers(), 30000);

        auto second = start(home());
        QVERIFY(second->waitForFinished(30000));
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QCOMPARE(first->state(), QProcess::Running);

        first->terminate();
        QVERIFY(first->waitForFinished(30000));
    }

    void aProgramFolderWithoutDataGetsTheShippedDataAndDocuments() {
        // An installed copy: the program with its shipped data/ beside it.
        const auto bin = m_dir / "bin";
        std::filesystem::create_directories(bin);
        std::filesystem::copy_file(WF_WORDFERN_EXE, bin / "wordfern");
        test::writeBytes(bin / "data" / "word class.dat", "n.---名词");
        test::writeBytes(bin / "说明.txt", "manual");
        test::writeBytes(m_dir / "home" / "sc.ini", "");

        QProcess program;
        program.setProcessEnvironment(environment());
        program.start(QString::fromStdString((bin / "wordfern").string()), home());
        QVERIFY(program.waitForStarted(20000));
        // The copy lands in one rename once the guard is taken.
        QTRY_COMPARE_WITH_TIMEOUT(
            QString::fromStdString(test::readBytes(m_dir / "home" / "data" / "word class.dat")),
            QString("n.---名词"), 30000);
        QTRY_COMPARE_WITH_TIMEOUT(QString::fromStdString(test::readBytes(m_dir / "home" / "说明.txt")),
                                  QString("manual"), 30000);
        program.terminate();
        QVERIFY(program.waitForFinished(30000));
    }

    void aCrashedFirstInstanceDoesNotBlockTheNextStart() {
        auto crashed = start(home());
        QTRY_VERIFY_WITH_TIMEOUT(guardAnswers(), 30000);
        ::kill(static_cast<pid_t>(crashed->processId()), SIGKILL);
        QVERIFY(crashed->waitForFinished(30000));
        QVERIFY(std::filesystem::exists(m_dir / "Wordfern_english"));  // left behind
        QVERIFY(!guardAnswers());

        auto next = start(home());
        QTRY_VERIFY_WITH_TIMEOUT(guardAnswers(), 30000);
        QCOMPARE(next->state(), QProcess::Running);
        auto later = start(home());
        QVERIFY(later->waitForFinished(30000));
        QCOMPARE(later->exitCode(), 0);
        next->terminate();
        QVERIFY(next->waitForFinished(30000));
    }
};

}  // namespace wf

QTEST_GUILESS_MAIN(wf::StartupTest)
#include "startup_test.moc"
