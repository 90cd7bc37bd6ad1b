// The data folder: where the program works, and how a user's own copy of installed data is
// brought up to date without losing what the user changed.

#include "app/datafolder.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
}

// "path=content" writes a file under root, "-path" removes a file or folder.
void apply(const QString &root, const QStringList &changes)
{
    for (const QString &change : changes) {
        if (change.startsWith('-')) {
            const QString path = root + '/' + change.mid(1);
            QFileInfo(path).isDir() ? QDir(path).removeRecursively() : QFile::remove(path);
        } else {
            const int eq = change.indexOf('=');
            writeFile(root + '/' + change.left(eq), change.mid(eq + 1).toUtf8());
        }
    }
}

QString contentOf(const QString &path)
{
    if (QFileInfo(path).isDir())
        return QStringLiteral("<folder>");
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QStringLiteral("<absent>");
}

const QString gun1 = "5600/gun/gunData.bin=[gunData]\nA=1\nB=2\nD=4\n";
const QStringList firstInstall = {
    "devConfig.ini=table 1", "img/logo.ico=art 1", "i18n/English.ini=[main]\n0=Save\n", "5600/setting/p1.bin=factory 1",
    "5600/setting/pD.bin=defaults 1", "5600/macro/m.bin=macro", gun1};

} // namespace

class DataFolderTest : public QObject
{
    Q_OBJECT

private slots:
    void dataHome_data()
    {
        QTest::addColumn<QString>("xdg");
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("expected");
        QTest::newRow("XDG_DATA_HOME") << "/x/data/" << "/home/u" << "/x/data";
        QTest::newRow("relative XDG_DATA_HOME is ignored") << "data" << "/home/u" << "/home/u/.local/share";
        QTest::newRow("default") << "" << "/home/u" << "/home/u/.local/share";
        QTest::newRow("no home") << "" << "" << "";
    }

    void dataHome()
    {
        QFETCH(QString, xdg);
        QFETCH(QString, home);
        QFETCH(QString, expected);
        QCOMPARE(datafolder::dataHome(xdg, home), expected);
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
        QTest::addColumn<bool>("firstStart");
        QTest::addColumn<QStringList>("userChanges");
        QTest::addColumn<QStringList>("newerInstall");
        QTest::addColumn<QStringList>("expected");  // "path=content", "path=<absent>"

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
        QTest::newRow("the install's own files follow it")
            << false << QStringList{"devConfig.ini=edited"}
            << QStringList{"devConfig.ini=table 2", "img/logo.ico=art 2", "img/skin1/new.png=art", "5600/setting/pD.bin=defaults 2"}
            << QStringList{"devConfig.ini=table 2", "img/logo.ico=art 2", "img/skin1/new.png=art", "5600/setting/pD.bin=defaults 2"};
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

QTEST_GUILESS_MAIN(DataFolderTest)
#include "tst_datafolder.moc"
