// The real program, started from another folder: a second start, whatever its arguments, hands
// over to the first and leaves with exit code 1; a copy in another folder runs on its own, in its
// own folder; of two starts at the same instant exactly one runs.
#include "app/datafolder.h"
#include "app/singleinstance.h"

#include <QtTest>

#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>

#include <climits>
#include <sys/inotify.h>
#include <unistd.h>

class tst_Startup : public QObject
{
    Q_OBJECT
private slots:
    void secondStartHandsOverOtherFolderRunsApart();
    void simultaneousStartsLeaveOneRunning();
};

namespace {

bool listening(const QString &serverName)
{
    QLocalSocket probe;
    probe.connectToServer(serverName);
    return probe.waitForConnected(200);
}

bool listensOn(const QString &serverName, const QProcess &process)
{
    for (QDeadlineTimer deadline(60000); !deadline.hasExpired() && process.state() != QProcess::NotRunning;) {
        if (listening(serverName))
            return true;
        QTest::qWait(100);
    }
    return false;
}

void start(QProcess &process, const QString &program)
{
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, {});
}

void stop(QProcess &process)
{
    process.terminate();
    if (!process.waitForFinished(10000))
        process.kill();
    process.waitForFinished();
}

} // namespace

void tst_Startup::secondStartHandsOverOtherFolderRunsApart()
{
    // Private copies have their own single-instance ids, untouched by other tests running at once.
    QTemporaryDir folderA, folderB, elsewhere;
    const QString programA = folderA.filePath(QStringLiteral("mousecfg"));
    const QString programB = folderB.filePath(QStringLiteral("mousecfg"));
    for (const QString &program : {programA, programB})
        QVERIFY(QFile::copy(qEnvironmentVariable("MOUSECFG_BINARY"), program));
    QVERIFY(datafolder::copyTree(QStringLiteral(MOUSECFG_BUILD_DIR "/modules"), folderB.filePath(QStringLiteral("modules"))));

    QProcess second, other;
    for (QProcess *p : {&second, &other}) {
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
    QVERIFY2(listensOn(SingleInstance::serverNameFor(SingleInstance::idForExecutable(programB)), other),
             "the copy in another folder runs");
    QCOMPARE(QFileInfo(QStringLiteral("/proc/%1/cwd").arg(other.processId())).canonicalFilePath(),
             QFileInfo(folderB.path()).canonicalFilePath());
    stop(other);
}

// Both check at once whether another copy runs; the race shows only under some timings, so it
// is run a few times, and then forced.
void tst_Startup::simultaneousStartsLeaveOneRunning()
{
    QTemporaryDir folder;
    const QString program = folder.filePath(QStringLiteral("mousecfg"));
    QVERIFY(QFile::copy(qEnvironmentVariable("MOUSECFG_BINARY"), program));
    const QString serverName = SingleInstance::serverNameFor(SingleInstance::idForExecutable(program));
    for (int round = 0; round < 3; ++round) {
        QProcess a, b;
        start(a, program);
        start(b, program);
        QTRY_VERIFY_WITH_TIMEOUT(a.state() == QProcess::NotRunning || b.state() == QProcess::NotRunning, 60000);
        QProcess &left = a.state() == QProcess::NotRunning ? a : b;
        QProcess &running = &left == &a ? b : a;
        QCOMPARE(left.exitStatus(), QProcess::NormalExit);
        QCOMPARE(left.exitCode(), 1);
        QVERIFY2(listensOn(serverName, running), "the other start runs");
        stop(running);
    }

    // The moment that decides: a start comes while the other one has found nobody but does not
    // listen yet. This test plays the other one: it holds the start-up lock, and listens only
    // once the program waits for the lock (it opens the lock file to see whose it is).
    const QByteArray lockFile = QFile::encodeName(serverName + QStringLiteral(".lock"));
    QLockFile checking(QFile::decodeName(lockFile));
    QVERIFY(checking.lock());
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    QVERIFY(::inotify_add_watch(watch, lockFile.constData(), IN_OPEN) >= 0);
    QProcess late;
    start(late, program);
    char events[sizeof(inotify_event) + NAME_MAX + 1];
    bool opened = false;
    QTRY_VERIFY_WITH_TIMEOUT((opened = opened || ::read(watch, events, sizeof events) > 0) || listening(serverName), 60000);
    ::close(watch);
    QVERIFY2(!listening(serverName), "a start waits while another decides");
    QLocalServer other;
    connect(&other, &QLocalServer::newConnection, &other, [&other] {
        QLocalSocket *peer = other.nextPendingConnection();
        connect(peer, &QLocalSocket::readyRead, peer, [peer] { peer->readAll(); peer->write("A", 1); });
    });
    QLocalServer::removeServer(serverName);
    QVERIFY(other.listen(serverName));
    checking.unlock();
    QTRY_COMPARE_WITH_TIMEOUT(late.state(), QProcess::NotRunning, 60000);
    QCOMPARE(late.exitCode(), 1);
}

QTEST_GUILESS_MAIN(tst_Startup)
#include "tst_startup.moc"
