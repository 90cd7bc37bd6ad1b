// One instance per executable: hand-over of records, stale sockets, misbehaving peers, and
// separate programs in separate folders.
#include "app/singleinstance.h"

#include <QtTest>

#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QUuid>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

QString freshId()
{
    return QStringLiteral("mousecfg-test-") + QUuid::createUuid().toString(QUuid::Id128).left(16);
}

// This test program started as a tiny single-instance program (see main); its output is kept
// in the "out" property.
QProcess *startChild(const QString &program, QObject *parent)
{
    auto *p = new QProcess(parent);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("SINGLEINSTANCE_CHILD"), QStringLiteral("1"));
    p->setProcessEnvironment(env);
    p->start(program, {});
    return p;
}

bool waitForOutput(QProcess *p, const QByteArray &text)
{
    QDeadlineTimer deadline(20000);
    for (;;) {
        const QByteArray out = p->property("out").toByteArray() + p->readAllStandardOutput();
        p->setProperty("out", out);
        if (out.contains(text))
            return true;
        if (deadline.hasExpired() || p->state() == QProcess::NotRunning)
            return false;
        p->waitForReadyRead(100);
    }
}

} // namespace

class tst_SingleInstance : public QObject
{
    Q_OBJECT
private slots:
    void recordsReachTheOwner();
    void staleSocketDoesNotBlock();
    void misbehavingPeerIsDropped_data();
    void misbehavingPeerIsDropped();
    void secondStartExitsAndFoldersAreIndependent();
};

void tst_SingleInstance::recordsReachTheOwner()
{
    const QString id = freshId();
    SingleInstance first(id), second(id);
    QVERIFY(!first.isRunning());
    QSignalSpy messages(&first, &SingleInstance::messageReceived);
    QSignalSpy records(&first, &SingleInstance::copyDataReceived);
    QVERIFY(second.isRunning());

    QVERIFY(second.sendMessage(QString(), 5000));
    const copydata::Record sent{copydata::WarningTag, 3, QByteArray("abc\0tail", 8)};
    QVERIFY(second.sendCopyData(sent, 5000));
    QTRY_COMPARE(records.count(), 1);
    QCOMPARE(messages.count(), 1);
    const auto got = records.at(0).at(0).value<copydata::Record>();
    QCOMPARE(got.dwData, sent.dwData);
    QCOMPARE(got.cbData, sent.cbData);
    QCOMPARE(got.bytes, sent.bytes);
}

void tst_SingleInstance::staleSocketDoesNotBlock()
{
    // What a crashed instance leaves behind: a bound socket file nobody listens on.
    const QString id = freshId();
    const QByteArray path = QDir(QDir::tempPath()).filePath(id).toLocal8Bit();
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr = {};
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, path.constData(), size_t(path.size()));
    QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof(addr)), 0);
    ::close(fd);

    SingleInstance fresh(id), later(id);
    QVERIFY(!fresh.isRunning());
    QSignalSpy messages(&fresh, &SingleInstance::messageReceived);
    QVERIFY(later.isRunning());
    QVERIFY(later.sendMessage(QStringLiteral("hi"), 5000));
    QTRY_COMPARE(messages.count(), 1);
}

void tst_SingleInstance::misbehavingPeerIsDropped_data()
{
    QTest::addColumn<QByteArray>("raw");
    QTest::newRow("length beyond limit") << QByteArray("\xff\xff\xff\xff", 4);
    QTest::newRow("truncated frame") << QByteArray("\x00\x00\x00\x10\x01", 5);
    QTest::newRow("unknown kind") << QByteArray("\x00\x00\x00\x01\x07", 5);
    QTest::newRow("text cut short") << QByteArray("\x00\x00\x00\x05\x01\x00\x00\x00\x08", 9);
    QTest::newRow("two frames") << QByteArray("\x00\x00\x00\x05\x01\xff\xff\xff\xff", 9).repeated(2);
}

void tst_SingleInstance::misbehavingPeerIsDropped()
{
    QFETCH(QByteArray, raw);
    const QString id = freshId();
    SingleInstance owner(id), sender(id);
    QVERIFY(!owner.isRunning());
    QSignalSpy messages(&owner, &SingleInstance::messageReceived);

    QLocalSocket peer;
    peer.connectToServer(id);
    QVERIFY(peer.waitForConnected(2000));
    peer.write(raw);
    QVERIFY(peer.waitForBytesWritten(2000));
    QTest::qWait(50);
    peer.abort();

    // Nothing got through, and the owner still serves a well-behaved sender.
    QVERIFY(sender.isRunning());
    QVERIFY(sender.sendMessage(QStringLiteral("ok"), 5000));
    QTRY_COMPARE(messages.count(), 1);
    QCOMPARE(messages.at(0).at(0).toString(), QStringLiteral("ok"));
}

void tst_SingleInstance::secondStartExitsAndFoldersAreIndependent()
{
    QTemporaryDir folderA, folderB;
    const QString programA = folderA.filePath(QStringLiteral("prog"));
    const QString programB = folderB.filePath(QStringLiteral("prog"));
    QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), programA));
    QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), programB));

    QProcess *a = startChild(programA, this);
    QVERIFY(waitForOutput(a, "listening"));
    QProcess *b = startChild(programB, this);
    QVERIFY2(waitForOutput(b, "listening"), "a copy in another folder runs on its own");

    QProcess *again = startChild(programA, this);
    QTRY_COMPARE_WITH_TIMEOUT(again->state(), QProcess::NotRunning, 20000);
    QCOMPARE(again->exitCode(), 1);
    QVERIFY(waitForOutput(a, "received:[]"));

    for (const QString &program : {programA, programB})
        QVERIFY(SingleInstance(SingleInstance::idForExecutable(program)).sendMessage(QStringLiteral("quit"), 5000));
    QTRY_COMPARE_WITH_TIMEOUT(a->state(), QProcess::NotRunning, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(b->state(), QProcess::NotRunning, 10000);
}

// The child: a minimal program on the same class as the real one.
static int childMain(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    SingleInstance instance;
    if (instance.isRunning()) {
        instance.sendMessage(QString(), 5000);
        return 1;
    }
    QObject::connect(&instance, &SingleInstance::messageReceived, &app, [](const QString &message) {
        printf("received:[%s]\n", qPrintable(message));
        fflush(stdout);
        if (message == QLatin1String("quit"))
            QCoreApplication::exit(0);
    });
    printf("listening\n");
    fflush(stdout);
    return app.exec();
}

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsSet("SINGLEINSTANCE_CHILD"))
        return childMain(argc, argv);
    QCoreApplication app(argc, argv);
    tst_SingleInstance test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_singleinstance.moc"
