// The real program, started from another folder: a second start, whatever its arguments, hands
// over to the first and leaves with exit code 1; a copy in another folder runs on its own, in its
// own folder.
#include "app/datafolder.h"
#include "app/singleinstance.h"

#include <QtTest>

#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>

class tst_Startup : public QObject
{
    Q_OBJECT
private slots:
    void secondStartHandsOverOtherFolderRunsApart();
};

void tst_Startup::secondStartHandsOverOtherFolderRunsApart()
{
    // Private copies have their own single-instance ids, untouched by other tests running at once.
    QTemporaryDir folderA, folderB, elsewhere, config;
    const QString programA = folderA.filePath(QStringLiteral("mousecfg"));
    const QString programB = folderB.filePath(QStringLiteral("mousecfg"));
    for (const QString &program : {programA, programB})
        QVERIFY(QFile::copy(qEnvironmentVariable("MOUSECFG_BINARY"), program));
    QVERIFY(datafolder::copyTree(QStringLiteral(MOUSECFG_BUILD_DIR "/modules"), folderB.filePath(QStringLiteral("modules"))));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    // The program follows its login session on the system bus: not the machine's one here.
    env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), QStringLiteral("unix:path=") + config.filePath(QStringLiteral("no-bus")));
    QProcess second, other;
    for (QProcess *p : {&second, &other}) {
        p->setProcessEnvironment(env);
        p->setWorkingDirectory(elsewhere.path());
        p->setProcessChannelMode(QProcess::ForwardedChannels);
    }

    // This test owns A's id, as a running first instance would.
    SingleInstance first(SingleInstance::idForExecutable(programA));
    QVERIFY(!first.isRunning());
    QSignalSpy messages(&first, &SingleInstance::messageReceived);
    // An argument the program does not know still wakes the first instance.
    second.start(programA, {QStringLiteral("--no-such-option")});
    QTRY_COMPARE_WITH_TIMEOUT(second.state(), QProcess::NotRunning, 60000);
    QCOMPARE(second.exitCode(), 1);
    QCOMPARE(messages.count(), 1);

    other.start(programB, {});
    bool listening = false;
    for (QDeadlineTimer deadline(60000); !listening && !deadline.hasExpired() && other.state() != QProcess::NotRunning;) {
        QLocalSocket probe;
        probe.connectToServer(SingleInstance::serverNameFor(SingleInstance::idForExecutable(programB)));
        listening = probe.waitForConnected(200) || (QTest::qWait(100), false);
    }
    QVERIFY2(listening, "the copy in another folder runs");
    QCOMPARE(QFileInfo(QStringLiteral("/proc/%1/cwd").arg(other.processId())).canonicalFilePath(),
             QFileInfo(folderB.path()).canonicalFilePath());
    other.terminate();
    if (!other.waitForFinished(10000))
        other.kill();
}

QTEST_GUILESS_MAIN(tst_Startup)
#include "tst_startup.moc"
