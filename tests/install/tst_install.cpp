// SPDX-License-Identifier: GPL-3.0-or-later
// The installed program: the Debian package (built once here), its udev rule against the device
// table, and the package installed into a folder and run by an ordinary user, whose settings
// live in their own data folder and survive later starts and a newer install.

#include "testsupport.h"
#include "app/datafolder.h"
#include "app/devicetable.h"
#include "xvfb_helper.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QLocalSocket>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

namespace {

// The unprivileged account the program runs as when the test runs as root.
const char *const TestUser = "mousecfg-test";

using testsupport::Run;
using testsupport::run;

// The rule's pairs, one per line, sorted; any other line is listed as "stray: <line>".
QStringList pairsOfRule(const QString &rule)
{
    static const QRegularExpression line(QStringLiteral(
        R"re(^KERNEL=="hidraw\*", SUBSYSTEM=="hidraw", ATTRS\{idVendor\}=="([0-9a-f]{4})", ATTRS\{idProduct\}=="([0-9a-f]{4})", TAG\+="uaccess"$)re"));
    QStringList pairs;
    if (!QFileInfo::exists(rule))
        pairs << QStringLiteral("stray: no rule file");
    for (const QString &text : QString::fromUtf8(testsupport::readFile(rule)).split('\n', Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch m = line.match(text);
        if (m.hasMatch())
            pairs << m.captured(1) + ':' + m.captured(2);
        else if (!text.startsWith('#'))
            pairs << QStringLiteral("stray: ") + text;
    }
    pairs.sort();
    return pairs;
}

// Every file under root with a hash of its content.
QMap<QString, QByteArray> snapshot(const QString &root)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        f.open(QIODevice::ReadOnly);
        files.insert(QDir(root).relativeFilePath(f.fileName()), QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256));
    }
    return files;
}

void makeReachable(const QString &folder, uid_t uid, gid_t gid, QFile::Permissions permissions)
{
    QFile::setPermissions(folder, permissions);
    if (::geteuid() == 0)
        QVERIFY(::chown(QFile::encodeName(folder).constData(), uid, gid) == 0);
}

} // namespace

class InstallTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_work;
    QString m_package;
    QString m_why;  // why there is no package

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable("dpkg-deb").isEmpty()) {
            m_why = "dpkg-deb is not installed";
            return;
        }
        const Run r = run(qEnvironmentVariable("MOUSECFG_CPACK"),
                          {"-G", "DEB", "--config", MOUSECFG_BUILD_DIR "/CPackConfig.cmake", "-B", m_work.path()});
        const QStringList debs = QDir(m_work.path()).entryList({"*.deb"});
        if (r.exitCode != 0 || debs.size() != 1)
            QFAIL((r.out + r.err).constData());
        m_package = m_work.filePath(debs.first());
    }

    void init()
    {
        if (m_package.isEmpty() && QTest::currentTestFunction() != QByteArray("udevRuleFollowsTable"))
            QSKIP(qPrintable(m_why));
    }

    // The rule covers exactly the devices the program looks for (rows up to the count, ids in
    // hexadecimal of any case and with leading zeros, comments and a byte-order mark as the
    // program reads them), with exactly one line per pair.
    void udevRuleFollowsTable_data()
    {
        // table: empty: the shipped table and the built rule
        // pairs: with the shipped table: the program's reading of it
        testsupport::addColumns<QByteArray, QStringList>({"table", "pairs"});
        QStringList shipped;
        for (const DeviceEntry &e : devicetable::readFile(MOUSECFG_SOURCE_DIR "/modules/devConfig.ini"))
            shipped << QString::asprintf("%04x:%04x", e.vid, e.pid);
        shipped.sort();
        QTest::newRow("shipped") << QByteArray() << shipped;
        QTest::newRow("case, zeros and prefix")
            << QByteArray("[common]\ndeviceCount=3\n[0]\nvid=04D9\npid=a0F1\n[1]\nvid=0x1209\npid=0005\n"
                          "[2]\nvid=  1209 \npid=5600\n")
            << QStringList{"04d9:a0f1", "1209:0005", "1209:5600"};
        QTest::newRow("twice, zero, missing and bad ids, rows past the count")
            << QByteArray("; a comment; vid=1\n[common]\ndeviceCount=6\n[0]\nvid=1209\npid=5530\n[1]\nvid=1209\npid=5530\n"
                          "[2]\nvid=0\npid=1\n[3]\nvid=1209\n[4]\nvid=12345\npid=1\n[5]\nvid=zz\npid=1\n[6]\nvid=1\npid=2\n")
            << QStringList{"1209:5530"};
        QTest::newRow("damaged count") << QByteArray("[common]\ndeviceCount=-2\n[0]\nvid=1\npid=2\n") << QStringList();
        QTest::newRow("comments and a byte-order mark")
            << QByteArray("\xef\xbb\xbf[common]\ndeviceCount=2 ; rows\n[0]\nvid=1209\npid=5600 ; note\n[1]\nvid=1209 ;x\npid=5530\n")
            << QStringList{"1209:5530", "1209:5600"};
    }

    void udevRuleFollowsTable()
    {
        QFETCH(QByteArray, table);
        QString ruleFile = MOUSECFG_BUILD_DIR "/packaging/70-mousecfg.rules";
        QTemporaryDir dir;
        if (!table.isEmpty()) {
            const QString tableFile = dir.filePath("devConfig.ini");
            ruleFile = dir.filePath("rule");
            QVERIFY(testsupport::writeFile(tableFile, table));
            const Run r = run(qEnvironmentVariable("MOUSECFG_UDEVRULE"), {tableFile, ruleFile});
            QVERIFY2(r.exitCode == 0, r.err.constData());
        }
        QTEST(pairsOfRule(ruleFile), "pairs");
    }

    void packageHoldsTheInstall()
    {
        const Run list = run("dpkg-deb", {"-c", m_package});
        QCOMPARE(list.exitCode, 0);
        QStringList files;
        for (const QString &line : QString::fromUtf8(list.out).split('\n', Qt::SkipEmptyParts))
            files << line.section(' ', -1);
        for (const char *wanted :
             {"./usr/bin/mousecfg", "./usr/share/mousecfg/modules/devConfig.ini",
              "./usr/share/mousecfg/modules/5600/setting/apConfig.bin", "./usr/share/mousecfg/modules/i18n/English.ini",
              "./usr/share/mousecfg/modules/img/logo.ico", "./usr/share/applications/mousecfg.desktop",
              "./usr/share/icons/hicolor/scalable/apps/mousecfg.svg", "./usr/share/icons/hicolor/48x48/apps/mousecfg.png",
              "./usr/lib/udev/rules.d/70-mousecfg.rules", "./etc/xdg/autostart/mousecfg.desktop",
              "./usr/share/doc/mousecfg/copyright", "./usr/share/man/man1/mousecfg.1.gz",
              "./usr/share/bash-completion/completions/mousecfg"})
            QVERIFY2(files.contains(wanted), wanted);
        for (const QString &file : files)
            QVERIFY2(!file.contains("/qml/") && !file.endsWith(".gitkeep"), qPrintable(file));
        // Removing the package takes the rule out of udev too.
        QVERIFY(run("dpkg-deb", {"-I", m_package, "postrm"}).out.contains("udevadm control --reload-rules"));
        // dpkg-shlibdeps found the libraries; the scene's QML modules, its font and Qt's Wayland
        // plugin are added.
        const QString depends = QString::fromUtf8(run("dpkg-deb", {"-f", m_package, "Depends"}).out);
        QVERIFY2(depends.contains("libhidapi-hidraw0") && depends.contains("libqt6quick6")
                     && depends.contains("qml6-module-qtquick") && depends.contains("fonts-noto-cjk")
                     && depends.contains("qt6-wayland"),
                 qPrintable(depends));
    }

    void lintianFindsNoErrors()
    {
        if (QStandardPaths::findExecutable("lintian").isEmpty())
            QSKIP("lintian is not installed (scripts/install-deps.sh installs it)");
        const Run r = run("lintian", {"--fail-on", "error", m_package}, QProcessEnvironment::systemEnvironment(), 300000);
        QVERIFY2(r.exitCode == 0, (r.out + r.err).constData());
    }

    // The package unpacked into a folder and run by an ordinary user with a virtual mouse.
    void installedProgramKeepsUserSettings()
    {
        uid_t uid = ::geteuid();
        gid_t gid = ::getegid();
        if (uid == 0) {
            if (!::getpwnam(TestUser))
                run("useradd", {"--system", "--no-create-home", "--home-dir", "/nonexistent", "--shell",
                                "/usr/sbin/nologin", TestUser});
            const passwd *user = ::getpwnam(TestUser);
            if (!user)
                QSKIP(qPrintable(QStringLiteral("running as root and the user %1 could not be created").arg(TestUser)));
            uid = user->pw_uid;
            gid = user->pw_gid;
        }
        XvfbServer xvfb;
        QString why;
        if (!xvfb.start(&why))
            QSKIP(qPrintable(why));

        QTemporaryDir install, home, runtime;
        QCOMPARE(run("dpkg-deb", {"-x", m_package, install.path()}).exitCode, 0);
        makeReachable(install.path(), 0, 0, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                                                 | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
        const QFile::Permissions userOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
        makeReachable(home.path(), uid, gid, userOnly);
        makeReachable(runtime.path(), uid, gid, userOnly);
        const QString shared = install.filePath("usr/share/mousecfg");
        const QString mine = home.filePath(".local/share/mousecfg");
        const QMap<QString, QByteArray> installed = snapshot(install.path());

        QProcessEnvironment env = testsupport::environment(
            {"HOME=" + home.path(), "XDG_RUNTIME_DIR=" + runtime.path(), "DISPLAY=" + QString::fromLatin1(xvfb.display()),
             "QT_QPA_PLATFORM=xcb", "QT_QUICK_BACKEND=software", "GSETTINGS_BACKEND=memory",
             "MOUSECFG_VDEV_CONTROL=" + runtime.filePath("control")});
        for (const char *keep : {"PATH", "LANG"})
            if (qEnvironmentVariableIsSet(keep))
                env.insert(keep, qEnvironmentVariable(keep));

        QProcess program;
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(home.path());
        program.setProcessChannelMode(QProcess::MergedChannels);
        if (uid != ::geteuid())
            program.setChildProcessModifier([uid, gid] {
                if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
                    ::_exit(127);
            });
        QByteArray output;
        // Started, and said `until`.
        auto started = [&](const char *until) {
            output.clear();
            program.start(install.filePath("usr/bin/mousecfg"), {"--demo"});
            return program.waitForStarted(10000) && QTest::qWaitFor([&] {
                return (output += program.readAll()).contains(until) || program.state() == QProcess::NotRunning;
            }, 60000) && output.contains(until);
        };
        const QString p1 = "/modules/5600/setting/p1.bin";
        auto lod = [](const QString &file) { return QSettings(file, QSettings::IniFormat).value("mouse/lod").toInt(); };
        const int changed = lod(shared + p1) + 1;

        // First start: the data is copied and a change through the backend lands in the copy.
        QVERIFY2(started("Device Connect"), output.constData());
        QVERIFY(output.contains("Data folder " + mine.toUtf8() + " (per-user copy of " + shared.toUtf8() + ")"));
        QLocalSocket control;
        control.connectToServer(runtime.filePath("control"));
        QVERIFY(control.waitForConnected(5000));
        control.write("set mouse/lod " + QByteArray::number(changed) + "\n");
        QByteArray answer;
        QTRY_VERIFY2((answer += control.readAll()).endsWith('\n'), answer.constData());
        QCOMPARE(answer, QByteArray("ok\n"));
        QTRY_COMPARE(lod(mine + p1), changed);
        QCOMPARE(QFileInfo(mine + p1).ownerId(), uid);
        testsupport::stop(program);
        QCOMPARE(snapshot(install.path()), installed);

        // Second start: the change is still there.
        QVERIFY2(started("Device Connect"), output.constData());
        testsupport::stop(program);
        QCOMPARE(lod(mine + p1), changed);
        const QByteArray usersFile = snapshot(mine).value("modules/5600/setting/p1.bin");

        // A newer install brings a device folder and new factory settings: the folder is added,
        // the default profile follows the install, the user's settings are not touched.
        const QString pD = "/modules/5600/setting/pD.bin";
        QVERIFY(datafolder::copyTree(shared + "/modules/5530", shared + "/modules/a1b"));
        QSettings(shared + p1, QSettings::IniFormat).setValue("mouse/lod", changed + 1);
        QSettings(shared + pD, QSettings::IniFormat).setValue("mouse/lod", changed + 2);
        QVERIFY2(started("Data folder"), output.constData());
        testsupport::stop(program);
        QVERIFY(QFileInfo(mine + "/modules/a1b/setting/apConfig.bin").isFile());
        QCOMPARE(lod(mine + pD), changed + 2);
        QCOMPARE(snapshot(mine).value("modules/5600/setting/p1.bin"), usersFile);
    }
};

QTEST_GUILESS_MAIN(InstallTest)
#include "tst_install.moc"
