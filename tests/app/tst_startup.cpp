// The real program, started from another folder: it works in its own folder, and a second
// start hands over to the first and leaves with exit code 1.
#include "app/singleinstance.h"
#include "testsupport.h"

#include <QtTest>

#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>

class tst_Startup : public QObject
{
    Q_OBJECT
private slots:
    void secondStartLeavesFirstWorksFromItsFolder();
};

void tst_Startup::secondStartLeavesFirstWorksFromItsFolder()
{
    // A private copy of the program and its data has its own single-instance id, untouched by
    // other tests running the program at the same time.
    QTemporaryDir home, elsewhere, config;
    const QString program = home.filePath(QStringLiteral("mousecfg"));
    QVERIFY(QFile::copy(qEnvironmentVariable("MOUSECFG_BINARY"), program));
    QVERIFY(testsupport::copyTree(QStringLiteral(MOUSECFG_BUILD_DIR "/modules"), home.filePath(QStringLiteral("modules"))));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    QProcess first, second;
    for (QProcess *p : {&first, &second}) {
        p->setProcessEnvironment(env);
        p->setWorkingDirectory(elsewhere.path());
        p->setProcessChannelMode(QProcess::ForwardedChannels);
    }

    first.start(program, {});
    bool listening = false;
    for (QDeadlineTimer deadline(60000); !listening && !deadline.hasExpired() && first.state() != QProcess::NotRunning;) {
        QLocalSocket probe;
        probe.connectToServer(SingleInstance::idForExecutable(program));
        listening = probe.waitForConnected(200) || (QTest::qWait(100), false);
    }
    QVERIFY2(listening, "the first instance is up");
    QCOMPARE(QFileInfo(QStringLiteral("/proc/%1/cwd").arg(first.processId())).canonicalFilePath(),
             QFileInfo(home.path()).canonicalFilePath());

    second.start(program, {});
    QVERIFY(second.waitForFinished(60000));
    QCOMPARE(second.exitCode(), 1);
    QCOMPARE(first.state(), QProcess::Running);

    first.terminate();
    if (!first.waitForFinished(10000))
        first.kill();
}

QTEST_GUILESS_MAIN(tst_Startup)
#include "tst_startup.moc"
