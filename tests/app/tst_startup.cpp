// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up: one instance per id, the copy-data warning, and the data folder the program works in,
// brought up to date without losing what the user changed.
#include "testsupport.h"
#include "app/copydata.h"
#include "app/datafolder.h"
#include "app/singleinstance.h"

#include <QtTest>

#include <QDir>
#include <QDirIterator>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUuid>

#include <climits>
#include <cstring>
#include <memory>

#include <sys/inotify.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
// "path=content" writes a file under root, "-path" removes a file or folder.
void apply(const QString &root, const QStringList &changes)
{
    for (const QString &change : changes) {
        if (change.startsWith('-')) {
            const QString path = root + '/' + change.mid(1);
            QFileInfo(path).isDir() ? QDir(path).removeRecursively() : QFile::remove(path);
        } else {
            const int eq = change.indexOf('=');
            QVERIFY(testsupport::writeFile(root + '/' + change.left(eq), change.mid(eq + 1).toUtf8()));
        }
    }
}

QString contentOf(const QString &path)
{
    if (QFileInfo(path).isDir())
        return QStringLiteral("<folder>");
    return QFileInfo::exists(path) ? QString::fromUtf8(testsupport::readFile(path)) : QStringLiteral("<absent>");
}

const QString gun1 = "5600/gun/gunData.bin=[gunData]\nA=1\nB=2\nD=4\n";
const QStringList firstInstall = {
    "devConfig.ini=table 1", "img/logo.ico=art 1", "i18n/English.ini=[main]\n0=Save\n", "5600/setting/p1.bin=factory 1",
    "5600/setting/pD.bin=defaults 1", "5600/macro/m.bin=macro", gun1};

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

QString freshId()
{
    return QStringLiteral("mousecfg-test-") + QUuid::createUuid().toString(QUuid::Id128).left(16);
}

using testsupport::stop;
} // namespace

class tst_Startup : public QObject
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
        QCOMPARE(std::tuple(got.dwData, got.cbData, got.bytes), std::tuple(sent.dwData, sent.cbData, sent.bytes));

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
        // runtime: XDG_RUNTIME_DIR: "short", "long" or unset
        // data: XDG_DATA_HOME
        // tmp: TMPDIR
        // blocked: a folder in place of the "lock" or the "socket"
        // expected: the variable whose folder holds the socket, or the problem
        testsupport::addColumns<QString, QString, QString, QString, QString>(
            {"runtime", "data", "tmp", "blocked", "expected"});
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

    void warningText_data()
    {
        testsupport::addColumns<quint64, quint32, QByteArray, bool, QString>({"tag", "cbData", "bytes", "shown", "text"});

        const quint64 tag = copydata::WarningTag;
        const QByteArray hello("hello\0", 6);
        QTest::newRow("wrong tag") << quint64(0x2510) << 5u << hello << false << QString();
        QTest::newRow("tag zero") << quint64(0) << 5u << hello << false << QString();
        QTest::newRow("length claims more") << tag << 6u << hello << false << QString();
        QTest::newRow("length claims less") << tag << 4u << hello << false << QString();
        QTest::newRow("length far beyond buffer") << tag << 0xFFFFFFFFu << hello << false << QString();
        QTest::newRow("missing terminator") << tag << 5u << QByteArray("hello") << false << QString();
        QTest::newRow("NUL inside claimed text") << tag << 6u << QByteArray("hel\0lo\0", 7) << false << QString();
        QTest::newRow("invalid UTF-8 byte") << tag << 2u << QByteArray("\xff\xfe\0", 3) << false << QString();
        QTest::newRow("overlong encoding") << tag << 2u << QByteArray("\xc0\xaf\0", 3) << false << QString();
        QTest::newRow("surrogate half") << tag << 3u << QByteArray("\xed\xa0\x80\0", 4) << false << QString();
        QTest::newRow("truncated sequence") << tag << 4u << QByteArray("ab\xe2\x82\0", 5) << false << QString();
        QTest::newRow("nothing arrived") << tag << 0u << QByteArray() << false << QString();

        QTest::newRow("ascii") << tag << 5u << hello << true << QStringLiteral("hello");
        const QByteArray utf8 = QStringLiteral("Внимание ✓").toUtf8();
        QTest::newRow("multi-byte") << tag << quint32(utf8.size()) << (utf8 + '\0') << true
                                    << QStringLiteral("Внимание ✓");
        QTest::newRow("empty text") << tag << 0u << QByteArray("\0", 1) << true << QString();
        QTest::newRow("bytes after terminator ignored") << tag << 2u << QByteArray("hi\0junk", 7) << true
                                                        << QStringLiteral("hi");
    }

    void warningText()
    {
        QFETCH(quint64, tag);
        QFETCH(quint32, cbData);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, shown);

        // A heap block of exactly the bytes that arrived: a read past it trips AddressSanitizer.
        std::unique_ptr<char[]> block(new char[size_t(bytes.size())]);
        if (!bytes.isEmpty())
            std::memcpy(block.get(), bytes.constData(), size_t(bytes.size()));

        const std::optional<QString> result = copydata::warningText(tag, cbData, block.get(), bytes.size());
        QCOMPARE(result.has_value(), shown);
        if (shown)
            QTEST(*result, "text");
    }

    // The real program, started from another folder: a second start, whatever its arguments, hands
    // over to the first and leaves with exit code 1; a copy in another folder runs on its own, in its
    // own folder.
    void secondStartHandsOverOtherFolderRunsApart()
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
    void simultaneousStartsLeaveOneRunning()
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

    void dataHome_data()
    {
        testsupport::addColumns<QString, QString, QString>({"xdg", "home", "expected"});
        QTest::newRow("XDG_DATA_HOME") << "/x/data/" << "/home/u" << "/x/data";
        QTest::newRow("relative XDG_DATA_HOME is ignored") << "data" << "/home/u" << "/home/u/.local/share";
        QTest::newRow("default") << "" << "/home/u" << "/home/u/.local/share";
        QTest::newRow("no home") << "" << "" << "";
    }

    void dataHome()
    {
        QFETCH(QString, xdg);
        QFETCH(QString, home);
        QTEST(datafolder::dataHome(xdg, home), "expected");
    }

    // Rows: folders made under a temporary root, whether the data beside the program may be
    // written, whether there is a per-user data home, then the installed and the working folder
    // relative to the root ("~": the per-user copy).
    void choose_data()
    {
        QTest::addColumn<QStringList>("row");
        QTest::newRow("build folder") << QStringList{"bin/modules", "w", "h", "bin", "bin"};
        QTest::newRow("read-only data beside the program") << QStringList{"bin/modules", "", "h", "bin", "~"};
        QTest::newRow("read-only, no per-user home") << QStringList{"bin/modules", "", "", "bin", "bin"};
        // An installed tree is the package's, whoever may write it.
        QTest::newRow("installed tree") << QStringList{"bin share/mousecfg/modules", "w", "h", "share/mousecfg", "~"};
        QTest::newRow("installed, no per-user home")
            << QStringList{"bin share/mousecfg/modules", "w", "", "share/mousecfg", "share/mousecfg"};
        QTest::newRow("data beside wins") << QStringList{"bin/modules share/mousecfg/modules", "w", "h", "bin", "bin"};
        QTest::newRow("no data anywhere") << QStringList{"bin", "w", "h", "", "bin"};
    }

    void choose()
    {
        QFETCH(QStringList, row);
        QTemporaryDir root;
        for (const QString &folder : row[0].split(' '))
            QVERIFY(QDir(root.path()).mkpath(folder));
        const QString home = root.filePath("home");
        const datafolder::Choice c =
            datafolder::choose(root.filePath("bin"), row[2].isEmpty() ? QString() : home, !row[1].isEmpty());
        QCOMPARE(c.installed, row[3].isEmpty() ? QString() : root.filePath(row[3]));
        QCOMPARE(c.working, row[4] == "~" ? home + "/mousecfg" : root.filePath(row[4]));
        QCOMPARE(c.perUser, row[4] == "~");
    }

    // Each row: what the user did to their copy after the first start, what a newer install
    // changed, and what the user's copy holds after the next start.
    void update_data()
    {
        // expected: "path=content", "path=<absent>"
        testsupport::addColumns<bool, QStringList, QStringList, QStringList>(
            {"firstStart", "userChanges", "newerInstall", "expected"});

        QTest::newRow("first start copies everything") << true << QStringList{} << QStringList{} << firstInstall;
        // A language file gains the install's new texts; the user's own stay.
        QTest::newRow("settings, texts and deleted macros stay the user's")
            << false << QStringList{"5600/setting/p1.bin=mine", "i18n/English.ini=[main]\n0=Store\n", "-5600/macro/m.bin"}
            << QStringList{"5600/setting/p1.bin=factory 2", "5600/setting/p2.bin=new profile",
                           "i18n/English.ini=[main]\n0=Save as\n1=Load\n"}
            << QStringList{"5600/setting/p1.bin=mine", "5600/setting/p2.bin=new profile",
                           "i18n/English.ini=[main]\n0=Store\n1=Load\n", "5600/macro/m.bin=<absent>"};
        // A preset the user changed or deleted stays so; one they left follows the install.
        QTest::newRow("gun presets") << false << QStringList{"5600/gun/gunData.bin=[gunData]\nA=9\nD=4\n"}
                                     << QStringList{"5600/gun/gunData.bin=[gunData]\nA=1\nB=2\nC=3\nD=5\n"}
                                     << QStringList{"5600/gun/gunData.bin=[gunData]\nA=9\nC=3\nD=5\n"};
        // A copy that failed, after which a save made the folder with one profile in it.
        QTest::newRow("a device folder without its factory files is completed")
            << false << QStringList{"-5600", "5600/setting/p1.bin=mine"} << QStringList{}
            << QStringList{"5600/setting/p1.bin=mine", "5600/setting/pD.bin=defaults 1", gun1};
        QTest::newRow("a newer install's device folder and language arrive")
            << false << QStringList{} << QStringList{"a1b/setting/p1.bin=new mouse", "i18n/Ukrainian.ini=uk"}
            << QStringList{"a1b/setting/p1.bin=new mouse", "i18n/Ukrainian.ini=uk", "5600/setting/p1.bin=factory 1"};
        // The device table and the images belong to the install: its new devices must be found.
        const QStringList own{"devConfig.ini=table 2", "img/logo.ico=art 2", "img/skin1/new.png=art", "5600/setting/pD.bin=defaults 2"};
        QTest::newRow("the install's own files follow it") << false << QStringList{"devConfig.ini=edited"} << own << own;
        QTest::newRow("a removed device folder comes back whole")
            << false << QStringList{"-5600"} << QStringList{} << firstInstall;
        QTest::newRow("an interrupted copy is done again")
            << false << QStringList{"-5600", ".copy-5600/setting/p1.bin=half"} << QStringList{}
            << QStringList{"5600/setting/p1.bin=factory 1", "5600/macro/m.bin=macro", ".copy-5600=<absent>"};
    }

    void update()
    {
        QFETCH(bool, firstStart);
        QFETCH(QStringList, userChanges);
        QFETCH(QStringList, newerInstall);
        QFETCH(QStringList, expected);
        QTemporaryDir root;
        const QString installed = root.filePath("installed/modules");
        const QString user = root.filePath("home/mousecfg/modules");
        apply(installed, firstInstall);
        if (!firstStart) {
            QVERIFY(datafolder::update(installed, user));
            apply(user, userChanges);
        }
        apply(installed, newerInstall);
        // Installed files are read-only; the user's copies must not be.
        QDirIterator files(installed, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext())
            QFile::setPermissions(files.next(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);

        QVERIFY(datafolder::update(installed, user));

        for (const QString &e : expected) {
            const int eq = e.indexOf('=');
            QCOMPARE(contentOf(user + '/' + e.left(eq)) + " " + e.left(eq), e.mid(eq + 1) + " " + e.left(eq));
        }
        QDirIterator copies(user, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (copies.hasNext())
            QVERIFY2(QFileInfo(copies.next()).permissions() & QFile::WriteOwner, qPrintable(copies.filePath()));
    }

    // Two programs updating one copy take turns: while another holds the lock nothing is touched.
    void updateWaitsForTheLock()
    {
        QTemporaryDir root;
        const QString installed = root.filePath("installed/modules");
        const QString user = root.filePath("home/mousecfg/modules");
        apply(installed, firstInstall);
        QVERIFY(QDir().mkpath(user));
        QLockFile other(root.filePath("home/mousecfg/update.lock"));
        QVERIFY(other.lock());
        QVERIFY(!datafolder::update(installed, user, 0));
        QCOMPARE(QDir(user).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
        other.unlock();
        QVERIFY(datafolder::update(installed, user, 0));
        QCOMPARE(contentOf(user + "/devConfig.ini"), QStringLiteral("table 1"));
    }
};

QTEST_GUILESS_MAIN(tst_Startup)
#include "tst_startup.moc"
