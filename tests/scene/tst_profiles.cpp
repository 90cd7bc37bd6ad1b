// The profile page as a user drives it: New, Import, Export, Delete, rename and switching on the
// entry list, and the title bar's switch, after an entry in the middle has been deleted (list positions and
// slot numbers then differ), up to a full list. Assertions are on name.bin, the slot files, the
// exported file and the wire.

#include "scene_helper.h"

#include "view/filedialogs.h"
#include "view/myqquickview.h"

#include <QCryptographicHash>
#include <QDir>
#include <QQuickItem>
#include <QStandardPaths>
#include <QtTest>

using namespace vdev;
using scenetest::SceneRig;

namespace {

constexpr int mouse = Mouse553;

QByteArray fileHash(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1);
}

} // namespace

class ProfilesTest : public QObject
{
    Q_OBJECT

    QStringList names(SceneRig &scene)
    {
        QSettings file(scene.settingFile(mouse, "name.bin"), QSettings::IniFormat);
        return file.value("profile/profileName").toStringList();
    }

    // Entry `row` of the page's list: a point inside it.
    static QPointF entry(int row) { return QPointF(100, 1 + 30 * row + 15); }

    void menuCommand(SceneRig &scene, int row, const QString &command)
    {
        scene.clickItem("profileEntries", entry(row), Qt::RightButton);
        scene.clickItem(command);
    }

    void rename(SceneRig &scene, int row, const QString &name)
    {
        scene.doubleClickItem("profileEntries", entry(row));
        QTRY_COMPARE(scene.item("profileMain")->property("editingIndex").toInt(), row);
        QTest::keyClick(scene.view(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(scene.view(), name);
        QTest::keyClick(scene.view(), Qt::Key_Return);
    }

    QString marker(SceneRig &scene, int slot)
    {
        return scene.profile(mouse, slot)->value("test/marker").toString();
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void entries()
    {
        SceneRig scene({});
        // A damaged list: a second entry on slot 1, a slot the page does not have, no slot.
        QSettings(scene.settingFile(mouse, "name.bin"), QSettings::IniFormat)
            .setValue("profile/profileName", QStringList{"Main0", "profile_01", "copy1", "far7", "x"});
        scene.connect(mouse);
        QCOMPARE(names(scene), QStringList({"Standard0", "profile_01"}));
        QTemporaryDir files;
        const QString imported = files.filePath("imported.pf");
        const QString exported = files.filePath("exported.pf");
        QSettings(imported, QSettings::IniFormat).setValue("test/marker", "imported");
        int dialogs = 0;
        QString openAnswer;   // cancelled
        filedialogs::ScopedHook hook([&](const filedialogs::Request &r) {
            ++dialogs;
            return r.mode == filedialogs::Mode::Open ? openAnswer : exported;
        });
        scene.clickItem("configButton");
        QVERIFY(scene.item("profileMain")->isVisible());

        // The first entry stays; a cancelled Import adds nothing.
        menuCommand(scene, 0, "profileMenuDelete");
        scene.clickItem("profileImportButton");
        QCOMPARE(dialogs, 1);
        QCOMPARE(names(scene), QStringList({"Standard0", "profile_01"}));
        openAnswer = imported;
        scene.clickItem("profileNewButton");
        QCOMPARE(names(scene), QStringList({"Standard0", "profile_01", "profile_12"}));

        // Entry 1 deleted: Import creates slot 1 at list position 2 and writes slot 1's file.
        menuCommand(scene, 1, "profileMenuDelete");
        QCOMPARE(names(scene), QStringList({"Standard0", "profile_12"}));
        scene.clickItem("profileImportButton");
        QCOMPARE(names(scene), QStringList({"Standard0", "profile_12", "profile_01"}));
        QCOMPARE(marker(scene, 1), QString("imported"));
        QCOMPARE(marker(scene, 2), QString());
        // Again without it: New creates slot 1 at position 2 with the factory values.
        menuCommand(scene, 2, "profileMenuDelete");
        scene.clickItem("profileNewButton");
        QCOMPARE(names(scene), QStringList({"Standard0", "profile_12", "profile_01"}));
        QCOMPARE(marker(scene, 1), QString());

        // Renaming onto another entry's name keeps the old one.
        rename(scene, 1, "profile_0");
        QCOMPARE(names(scene), QStringList({"Standard0", "profile_12", "profile_01"}));
        rename(scene, 1, "Work");
        QCOMPARE(names(scene), QStringList({"Standard0", "Work2", "profile_01"}));

        // The title bar switches to the entry's slot, not to its list position.
        scene.clickItem("profileCloseButton");
        QVERIFY(!scene.item("mask")->isVisible());
        scene.clearWire();
        scene.choose("profileList", 2);
        QTRY_COMPARE(scene.global(mouse)->value("mouse/profileNo").toInt(), 1);
        QCOMPARE(scene.view()->currentProfile, 1);
        QVERIFY(scene.codes().startsWith("02 03"));
        // Slot 1 now differs from the factory values that slot 2 still holds.
        scene.choose("lightModeList", 3);
        scene.clickItem("saveButton");

        // Export writes the chosen entry's slot; the entry in use cannot be deleted.
        scene.clickItem("configButton");
        menuCommand(scene, 1, "profileMenuExport");
        QCOMPARE(fileHash(exported), fileHash(scene.settingFile(mouse, "p3.bin")));
        QVERIFY(fileHash(exported) != fileHash(scene.settingFile(mouse, "p2.bin")));
        menuCommand(scene, 2, "profileMenuDelete");
        QCOMPARE(names(scene).size(), 3);

        // A click on an entry switches to it as the title bar does; an edit not saved stays
        // behind with the profile left, and "Save" has nothing to send.
        scene.call(scene.item("lightControlMain"), "chooseMode", {2});
        scene.clearWire();
        scene.clickItem("profileEntries", entry(0));
        QCOMPARE(scene.global(mouse)->value("mouse/profileNo").toInt(), 0);
        QCOMPARE(scene.view()->currentProfile, 0);
        QVERIFY(scene.codes().startsWith("02 03"));
        QVERIFY(!scene.rootProperty("isSaveNeeded").toBool());

        // A full list: New and Import change no file and ask for none.
        for (int i = 0; i < 3; ++i)
            scene.clickItem("profileNewButton");
        QCOMPARE(names(scene).size(), 6);
        QMap<QString, QByteArray> before;
        const QDir settings(QFileInfo(scene.settingFile(mouse, "name.bin")).path());
        for (const QString &name : settings.entryList(QDir::Files))
            before[name] = fileHash(settings.filePath(name));
        dialogs = 0;
        scene.clickItem("profileNewButton");
        scene.clickItem("profileImportButton");
        QTest::qWait(50);
        for (const QString &name : before.keys())
            QVERIFY2(fileHash(settings.filePath(name)) == before[name], qPrintable(name));
        QCOMPARE(dialogs, 0);
    }
};

QTEST_MAIN(ProfilesTest)
#include "tst_profiles.moc"
