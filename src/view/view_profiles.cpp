// SPDX-License-Identifier: GPL-3.0-or-later
// Profiles: opening the connected device's settings files, current profile, import/export.
#include "view/myqquickview.h"

#include "app/widget.h"
#include "device/statusreport.h"
#include "view/filedialogs.h"
#include "view/settingsfiles.h"
#include "view/settingsstore.h"

#include <QDebug>
#include <QSettings>

#include <cstring>

namespace {

bool validSlot(int profile)
{
    return profile >= 0 && profile < store::profileCount;
}

// Replaces profile slot `profile` with a copy of source, keeping the ten handles in slot order.
bool replaceSlot(myQQuickView &view, int profile, const QString &source)
{
    const QString folder = view.settingsFolder();
    if (!validSlot(profile) || view.profileSettings.size() != store::profileCount || folder.isEmpty()) {
        qDebug() << "Profile slot refused" << profile;
        return false;
    }
    QSettings *handle = view.profileSettings.at(profile);
    const bool done = store::replace(handle, store::profileFile(folder, profile), source);
    view.profileSettings[profile] = handle;
    return done;
}

} // namespace

void myQQuickView::initUI()
{
    const QString folder = settingsFolder();
    if (folder.isEmpty()) {
        qDebug() << "initUI: no device";
    } else {
        // A connect: the profile blocks come afresh from this device (another one may have been
        // attached since they were read, or this one changed meanwhile).
        memset(profileBlocks, 0, sizeof profileBlocks);
        memset(profileBlockRead, 0, sizeof profileBlockRead);
        memset(profileBlockTried, 0, sizeof profileBlockTried);
        toldUnsavedBlocks = false;
        // What the mouse should hold, and what it did not keep, belong to the device before.
        ++connectCount;
        expectedState = savecheck::State();
        setUnkept({});
        openSettings();

        isColorful = globalSettings->value(QStringLiteral("mouse/isColorful")).toBool();
        isGun = globalSettings->value(QStringLiteral("mouse/isGun")).toBool();
        icType = globalSettings->value(QStringLiteral("mouse/icType")).toString();
        is55328 = globalSettings->value(QStringLiteral("mouse/is55328")).toBool();
        if (!familyKnown())
            refuseDevice(folder);

        // The family and the gun flag are this device's only now; the profile blocks must come
        // from the device before any lighting or DPI change writes them back whole.
        if (is560())
            readMissingProfileBlocks(0, isGun ? 4 : 1);
    }
    invokeRoot("initUI", Qt::QueuedConnection);
}

bool myQQuickView::openSettings()
{
    const QString folder = settingsFolder();
    if (folder.isEmpty())
        return false;
    store::close(globalSettings);
    store::close(defaultSettings);
    for (QSettings *&handle : profileSettings)
        store::close(handle);
    profileSettings.clear();

    globalSettings = store::open(store::globalFile(folder), this);
    defaultSettings = store::open(store::defaultProfileFile(folder), this);
    for (int slot = 0; slot < store::profileCount; ++slot)
        profileSettings.append(store::open(store::profileFile(folder, slot), this));
    return true;
}

bool myQQuickView::familyKnown() const
{
    bool ok = false;
    const uint family = icType.toUInt(&ok);
    // The identity table ends with a zero entry past its last index.
    for (unsigned index = 1; ok && family && status::icType(index); ++index)
        if (status::icType(index) == family)
            return true;
    return false;
}

void myQQuickView::refuseDevice(const QString &folder)
{
    qDebug().noquote() << "Device refused: unknown firmware family" << ('"' + icType + '"') << "in"
                       << store::globalFile(folder) << "- no command is sent to it";
    if (!hid)
        return;
    hid->refuseCommands = true;
    if (hid->owner)
        hid->owner->showTrayMessage(tr("Mouse not supported"),
                                    tr("The settings folder of this mouse does not name its firmware family, so no "
                                       "setting is sent to it."),
                                    QSystemTrayIcon::Warning, 15000);
}

void myQQuickView::setCurrentProfile(int profile)
{
    if (!validSlot(profile)) {
        qDebug() << "setCurrentProfile refused" << profile;
        return;
    }
    currentProfile = profile;
}

bool myQQuickView::loadProfile(int profile)
{
    if (!validSlot(profile)) {
        qDebug() << "loadProfile refused" << profile;
        return false;
    }
    const QString fileName = filedialogs::getOpenFileName(this, tr("Open File"), filedialogs::desktopFolder(),
                                                          tr("Profile(*.pf)"));
    if (fileName.isEmpty())
        return false;
    // A file that cannot be imported leaves the slot as it was and is not reported as loaded.
    return replaceSlot(*this, profile, fileName);
}

void myQQuickView::saveProfile(int profile)
{
    const QString folder = settingsFolder();
    if (!validSlot(profile) || folder.isEmpty()) {
        qDebug() << "saveProfile refused" << profile;
        return;
    }
    const QString fileName = filedialogs::getSaveFileName(this, tr("Save File"), filedialogs::desktopFolder(),
                                                          tr("Profile(*.pf)"));
    if (fileName.isEmpty())
        return;
    // Changes made just before the export belong in it.
    if (profile < profileSettings.size() && profileSettings.at(profile))
        store::written(*profileSettings.at(profile));
    QString why;
    if (!settingsfiles::copyOver(store::profileFile(folder, profile), fileName, &why))
        qDebug() << "saveProfile failed" << fileName << why;
}

void myQQuickView::resetProfile(int profile)
{
    const QString folder = settingsFolder();
    if (folder.isEmpty()) {
        qDebug() << "resetProfile refused" << profile;
        return;
    }
    replaceSlot(*this, profile, store::defaultProfileFile(folder));
}

void myQQuickView::copyProfile(int destprofile, int srcprofile)
{
    const QString folder = settingsFolder();
    if (folder.isEmpty() || !validSlot(srcprofile) || !validSlot(destprofile)
        || profileSettings.size() != store::profileCount) {
        qDebug() << "copyProfile refused" << destprofile << srcprofile;
        return;
    }
    if (destprofile == srcprofile)
        return;
    // The source's unwritten changes are part of what is copied.
    store::written(*profileSettings.at(srcprofile));
    replaceSlot(*this, destprofile, store::profileFile(folder, srcprofile));
}
