// SPDX-License-Identifier: GPL-3.0-or-later
// The profile page as a user drives it, after an entry in the middle has been deleted (list
// positions and slot numbers then differ); assertions on name.bin, the slot files and the wire.

#include "scene_helper.h"
#include "testsupport.h"

#include "view/filedialogs.h"
#include "view/myqquickview.h"

#include <QCryptographicHash>
#include <QDir>
#include <QQuickItem>
#include <QtTest>

using namespace vdev;
using scenetest::SceneRig;

namespace {

constexpr int mouse = Mouse553;

// The setting files and their contents.
QMap<QString, QByteArray> files(SceneRig &scene)
{
    QMap<QString, QByteArray> out;
    const QDir settings(QFileInfo(scene.settingFile(mouse, "name.bin")).path());
    for (const QString &name : settings.entryList(QDir::Files))
        out[name] = testsupport::readFile(settings.filePath(name));
    return out;
}

} // namespace

class ProfilesTest : public QObject
{
    Q_OBJECT

private slots:

    void entries()
    {
        SceneRig scene({});
        // A damaged list: a second entry on slot 1, a slot the page does not have, no slot.
        QSettings(scene.settingFile(mouse, "name.bin"), QSettings::IniFormat)
            .setValue("profile/profileName", QStringList{"Main0", "profile_01", "copy1", "far7", "x"});
        scene.connect(mouse);
        QTemporaryDir outside;
        const QString exported = outside.filePath("exported.pf");
        QSettings(outside.filePath("imported.pf"), QSettings::IniFormat).setValue("test/marker", "imported");
        int dialogs = 0;
        QString openAnswer;   // cancelled
        filedialogs::ScopedHook hook([&](const filedialogs::Request &r) {
            ++dialogs;
            return r.mode == filedialogs::Mode::Open ? openAnswer : exported;
        });
        QMap<QString, QByteArray> before;
        // Steps: "menu ROW COMMAND" (the entry's menu), "rename ROW NAME", "answer FILE" (the
        // file Import gets), "snapshot" (of the setting files). Checks: "names" (name.bin's
        // list) and "entries" (their number), "current" (the view's profile), "switched" (the
        // first two commands since the last clear), "marker SLOT", "exported" (the slot files it equals), "changed" (files since the
        // snapshot), "dialogs" (asked for since the snapshot).
        const auto custom = [&](const QStringList &w) -> std::optional<QString> {
            const QString at = QString("profileEntries@100,%1").arg(1 + 30 * w.value(1).toInt() + 15);
            if (w[0] == "menu")
                scenetest::play(scene, mouse, {"right " + at, "click " + w[2]});
            else if (w[0] == "rename") {
                scenetest::play(scene, mouse, {"dclick " + at, "profileMain.editingIndex = " + w[1]});
                QTest::keyClick(scene.view(), Qt::Key_A, Qt::ControlModifier);
                scenetest::play(scene, mouse, {"keys " + w[2], "enter"});
            } else if (w[0] == "answer")
                openAnswer = outside.filePath(w[1]);
            else if (w[0] == "snapshot") {
                before = files(scene);
                dialogs = 0;
            } else if (w[0] == "names" || w[0] == "entries") {
                QSettings file(scene.settingFile(mouse, "name.bin"), QSettings::IniFormat);
                const QStringList names = file.value("profile/profileName").toStringList();
                return w[0] == "names" ? names.join(',') : QString::number(names.size());
            } else if (w[0] == "current")
                return QString::number(scene.view()->currentProfile);
            else if (w[0] == "switched")
                return QString(scene.codes().left(5));
            else if (w[0] == "marker")
                return scene.profile(mouse, w[1].toInt())->value("test/marker").toString();
            else if (w[0] == "exported" || w[0] == "changed") {
                const QByteArray content = testsupport::readFile(exported);
                QStringList out;
                const auto now = files(scene);
                for (const QString &name : now.keys())
                    if (w[0] == "exported" ? now[name] == content : now[name] != before.value(name))
                        out << name;
                return out.join(',');
            } else if (w[0] == "dialogs")
                return QString::number(dialogs);
            else
                return std::nullopt;
            return QString();
        };
        scenetest::play(scene, mouse, QString(
            "names = Standard0,profile_01; click configButton; profileMain.visible = true; "
            // The first entry stays; a cancelled Import adds nothing.
            "menu 0 profileMenuDelete; click profileImportButton; dialogs = 1; names = Standard0,profile_01; "
            "answer imported.pf; click profileNewButton; names = Standard0,profile_01,profile_12; "
            // Entry 1 deleted: Import creates slot 1 at list position 2 and writes slot 1's file.
            "menu 1 profileMenuDelete; names = Standard0,profile_12; click profileImportButton; "
            "names = Standard0,profile_12,profile_01; marker 1 = imported; marker 2 = ; "
            // Again without it: New creates slot 1 at position 2 with the factory values.
            "menu 2 profileMenuDelete; click profileNewButton; names = Standard0,profile_12,profile_01; marker 1 = ; "
            // Renaming onto another entry's name keeps the old one.
            "rename 1 profile_0; names = Standard0,profile_12,profile_01; rename 1 Work; "
            "names = Standard0,Work2,profile_01; "
            // The title bar switches to the entry's slot, not to its list position. Slot 1 then
            // differs from the factory values that slot 2 still holds.
            "click profileCloseButton; mask.visible = false; clear; choose profileList 2; "
            "global mouse/profileNo = 1; current = 1; switched = 02 03; choose lightModeList 3; "
            "click saveButton; "
            // Export writes the chosen entry's slot; the entry in use cannot be deleted.
            "click configButton; menu 1 profileMenuExport; exported = p3.bin; menu 2 profileMenuDelete; "
            "names = Standard0,Work2,profile_01; "
            // A click on an entry switches to it as the title bar does; an edit not saved stays
            // behind with the profile left, and "Save" has nothing to send.
            "call lightControlMain.chooseMode 2; clear; click profileEntries@100,16; global mouse/profileNo = 0; "
            "current = 0; switched = 02 03; root.isSaveNeeded = false; "
            // A full list: New and Import change no file and ask for none.
            "click profileNewButton; click profileNewButton; click profileNewButton; entries = 6; snapshot; "
            "click profileNewButton; click profileImportButton; wait 50; changed = ; dialogs = 0").split("; "), custom);
    }
};

QTEST_MAIN(ProfilesTest)
#include "tst_profiles.moc"
