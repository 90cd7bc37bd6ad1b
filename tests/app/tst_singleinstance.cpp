// One instance per id: stale sockets, hand-over of records and misbehaving peers (the real
// program's second start is in tst_startup).
#include "app/singleinstance.h"

#include <QtTest>

#include <QLocalServer>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QUuid>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

static QString freshId()
{
    return QStringLiteral("mousecfg-test-") + QUuid::createUuid().toString(QUuid::Id128).left(16);
}

class tst_SingleInstance : public QObject
{
    Q_OBJECT
private slots:
    // Over what a crashed instance leaves behind (a bound socket file nobody listens on), the
    // next start becomes the owner and receives both kinds of records.
    void staleSocketThenRecordsReachTheOwner()
    {
        const QString id = freshId();
        const QByteArray path = SingleInstance::serverNameFor(id).toLocal8Bit();
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr = {};
        addr.sun_family = AF_UNIX;
        std::memcpy(addr.sun_path, path.constData(), size_t(path.size()));
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof(addr)), 0);
        ::close(fd);

        SingleInstance first(id), second(id);
        QVERIFY(!first.isRunning());
        QSignalSpy messages(&first, &SingleInstance::messageReceived);
        QSignalSpy records(&first, &SingleInstance::copyDataReceived);
        QVERIFY(second.isRunning());
        QVERIFY(second.sendMessage(QStringLiteral("hi"), 5000));
        const copydata::Record sent{copydata::WarningTag, 3, QByteArray("abc\0tail", 8)};
        QVERIFY(second.sendCopyData(sent, 5000));
        QTRY_COMPARE(records.count(), 1);
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.at(0).at(0).toString(), QStringLiteral("hi"));
        const auto got = records.at(0).at(0).value<copydata::Record>();
        QCOMPARE(got.dwData, sent.dwData);
        QCOMPARE(got.cbData, sent.cbData);
        QCOMPARE(got.bytes, sent.bytes);
    }

    // The socket lives in a folder only this user can write to: one that another user put
    // under the name in the shared temporary folder does not make every start give up.
    void nameOtherUsersCannotTake_data()
    {
        QTest::addColumn<bool>("runtimeDir");
        QTest::newRow("XDG_RUNTIME_DIR") << true;
        QTest::newRow("without XDG_RUNTIME_DIR") << false;
    }

    void nameOtherUsersCannotTake()
    {
        QFETCH(bool, runtimeDir);
        const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
        QTemporaryDir runtime;   // created 0700
        if (runtimeDir)
            qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        else
            qunsetenv("XDG_RUNTIME_DIR");
        const QString id = freshId();
        QLocalServer squatter;
        QLocalServer::removeServer(QDir(QDir::tempPath()).filePath(id));
        QVERIFY(squatter.listen(QDir(QDir::tempPath()).filePath(id)));

        SingleInstance first(id), second(id);
        QVERIFY(!first.isRunning());
        QVERIFY(second.isRunning());
        const QFileInfo folder(QFileInfo(first.serverName()).absolutePath());
        if (runtimeDir)
            QCOMPARE(folder.absoluteFilePath(), QFileInfo(runtime.path()).absoluteFilePath());
        QCOMPARE(folder.ownerId(), uint(::getuid()));
        QCOMPARE(folder.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
                 QFile::Permissions());
        if (saved.isNull())
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", saved);
    }

    void misbehavingPeerIsDropped_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::newRow("length beyond limit") << QByteArray("\xff\xff\xff\xff", 4);
        QTest::newRow("truncated frame") << QByteArray("\x00\x00\x00\x10\x01", 5);
        QTest::newRow("unknown kind") << QByteArray("\x00\x00\x00\x01\x07", 5);
        QTest::newRow("text cut short") << QByteArray("\x00\x00\x00\x05\x01\x00\x00\x00\x08", 9);
        QTest::newRow("two frames") << QByteArray("\x00\x00\x00\x05\x01\xff\xff\xff\xff", 9).repeated(2);
    }

    void misbehavingPeerIsDropped()
    {
        QFETCH(QByteArray, raw);
        const QString id = freshId();
        SingleInstance owner(id), sender(id);
        QVERIFY(!owner.isRunning());
        QSignalSpy messages(&owner, &SingleInstance::messageReceived);

        QLocalSocket peer;
        peer.connectToServer(owner.serverName());
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
};

QTEST_GUILESS_MAIN(tst_SingleInstance)
#include "tst_singleinstance.moc"
