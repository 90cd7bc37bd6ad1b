// The real program started twice: it works from its own folder wherever it is started from,
// and a second start hands over to the first and leaves with exit code 1.
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
    const QString binary = qEnvironmentVariable("MOUSECFG_BINARY");
    QVERIFY2(QFile::exists(binary), "MOUSECFG_BINARY names the built program");

    // A private copy of the program and its data: its own single-instance id, untouched by
    // other tests that may run the program at the same time.
    QTemporaryDir home, elsewhere, config;
    QVERIFY(home.isValid() && elsewhere.isValid() && config.isValid());
    const QString program = home.filePath(QStringLiteral("mousecfg"));
    QVERIFY(QFile::copy(binary, program));
    QVERIFY(testsupport::copyTree(QStringLiteral(MOUSECFG_BUILD_DIR "/modules"), home.filePath(QStringLiteral("modules"))));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());

    QProcess first;
    first.setProcessEnvironment(env);
    first.setWorkingDirectory(elsewhere.path());
    first.setProcessChannelMode(QProcess::ForwardedChannels);
    first.start(program, {});
    QVERIFY(first.waitForStarted());

    // Up once it answers on its channel.
    const QString id = SingleInstance::idForExecutable(program);
    QDeadlineTimer deadline(60000);
    bool listening = false;
    while (!listening && !deadline.hasExpired() && first.state() == QProcess::Running) {
        QLocalSocket probe;
        probe.connectToServer(id);
        listening = probe.waitForConnected(200);
        if (!listening)
            QTest::qWait(100);
    }
    QVERIFY2(listening, "the first instance listens");

    const QString cwd = QFileInfo(QStringLiteral("/proc/%1/cwd").arg(first.processId())).canonicalFilePath();
    QCOMPARE(cwd, QFileInfo(home.path()).canonicalFilePath());

    QProcess second;
    second.setProcessEnvironment(env);
    second.setWorkingDirectory(elsewhere.path());
    second.setProcessChannelMode(QProcess::ForwardedChannels);
    second.start(program, {});
    QVERIFY(second.waitForFinished(60000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 1);
    QCOMPARE(first.state(), QProcess::Running);

    first.terminate();
    if (!first.waitForFinished(10000)) {
        first.kill();
        first.waitForFinished(5000);
    }
}

QTEST_GUILESS_MAIN(tst_Startup)
#include "tst_startup.moc"
