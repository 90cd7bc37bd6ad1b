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
    // next start becomes the owner and receives every kind of record; a command is answered.
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

        connect(&first, &SingleInstance::commandReceived, &first,
                [](const QStringList &args, const QString &dir, const CommandAnswer &answer) {
                    answer({3, args.join(' ') + '@' + dir, QStringLiteral("why")});
                });
        CommandReply reply;
        QVERIFY(second.sendCommand({"get", "--json"}, "/here", 5000, &reply));
        QCOMPARE(reply.exitCode, 3);
        QCOMPARE(reply.out, QStringLiteral("get --json@/here"));
        QCOMPARE(reply.err, QStringLiteral("why"));
    }

    // The socket lives in a folder of this user's alone (a name that another user put in the
    // shared temporary folder does not make every start give up), with a path short enough for
    // a socket address: a long home falls back to a short folder. When nothing fits, or the lock
    // or the socket cannot be had, the instance still runs and says what is missing.
    void socketFolder_data()
    {
        QTest::addColumn<QString>("runtime");   // XDG_RUNTIME_DIR: "short", "long" or unset
        QTest::addColumn<QString>("data");      // XDG_DATA_HOME
        QTest::addColumn<QString>("tmp");       // TMPDIR
        QTest::addColumn<QString>("blocked");   // a folder in place of the "lock" or the "socket"
        QTest::addColumn<QString>("expected");  // the variable whose folder holds the socket, or the problem
        QTest::newRow("runtime folder") << "short" << "short" << "short" << "" << "XDG_RUNTIME_DIR";
        QTest::newRow("no runtime folder") << "" << "short" << "short" << "" << "XDG_DATA_HOME";
        QTest::newRow("long paths") << "long" << "long" << "short" << "" << "TMPDIR";
        QTest::newRow("nothing fits") << "long" << "long" << "long" << "" << "too long for a socket";
        QTest::newRow("lock taken") << "short" << "short" << "short" << "lock" << "start-up lock";
        QTest::newRow("socket taken") << "short" << "short" << "short" << "socket" << "listening on";
    }

    void socketFolder()
    {
        QFETCH(QString, runtime);
        QFETCH(QString, data);
        QFETCH(QString, tmp);
        QFETCH(QString, blocked);
        QFETCH(QString, expected);
        QTemporaryDir root;
        const QMap<QByteArray, QString> kinds{{"XDG_RUNTIME_DIR", runtime}, {"XDG_DATA_HOME", data}, {"TMPDIR", tmp}};
        QMap<QByteArray, QByteArray> saved;
        for (auto kind = kinds.cbegin(); kind != kinds.cend(); ++kind) {
            saved[kind.key()] = qgetenv(kind.key());
            const QString folder = root.filePath(kind.key()) + (kind.value() == "long" ? '/' + QString(100, 'x') : QString());
            QVERIFY(QDir().mkpath(folder));
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            kind.value().isEmpty() ? qunsetenv(kind.key()) : qputenv(kind.key(), folder.toLocal8Bit());
        }
        const QString id = freshId();
        if (!blocked.isEmpty())
            QVERIFY(QDir().mkpath(SingleInstance::serverNameFor(id) + (blocked == "lock" ? ".lock/x" : "/x")));

        SingleInstance first(id), second(id);
        QVERIFY(!first.isRunning());
        const QString folder = QFileInfo(first.serverName()).absolutePath();
        if (!qEnvironmentVariableIsSet(expected.toLatin1())) {
            QVERIFY2(first.problem().contains(expected), qPrintable(first.problem()));
        } else {
            QCOMPARE(first.problem(), QString());
            QVERIFY(folder.startsWith(qEnvironmentVariable(expected.toLatin1())));
            QVERIFY(second.isRunning());
            QCOMPARE(QFileInfo(folder).ownerId(), uint(::getuid()));
            QCOMPARE(QFileInfo(folder).permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
                     QFile::Permissions());
        }
        for (auto it = saved.cbegin(); it != saved.cend(); ++it)
            it.value().isNull() ? qunsetenv(it.key()) : qputenv(it.key(), it.value());
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
