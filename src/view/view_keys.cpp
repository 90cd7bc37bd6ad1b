// SPDX-License-Identifier: GPL-3.0-or-later
// Button assignment: key definitions, parameter block 1 and the key matrices.
#include "view/myqquickview.h"

#include "device/hid_thread.h"
#include "view/keytranslation.h"
#include "view/settingvalues.h"

#include <QDebug>
#include <QSettings>

#include <algorithm>

namespace {

constexpr int parameter1Length = 192;
constexpr int keyBlockOffset = 128;
constexpr int keyMatrixValues = 64;

QString keyMatrixKey(int n)
{
    return QStringLiteral("mouseKeyMatrix/") + QString::number(n);
}

QString firmwareMatrixKey(int n)
{
    return QStringLiteral("mouseFwKeyMatrix/") + QString::number(n);
}

// The stored firmware matrix of a profile. An entry the profile lacks (a profile file from
// elsewhere) is taken from the factory profile; what is missing there too reads as zeros.
keys::Definitions firmwareMatrix(QSettings *profile, QSettings *factory)
{
    keys::Definitions out{};
    for (int n = 0; n < keys::buttonCount; ++n) {
        QVariant v = profile ? profile->value(firmwareMatrixKey(n)) : QVariant();
        if (!v.isValid() && factory)
            v = factory->value(firmwareMatrixKey(n));
        out[n] = values::definition(v);
    }
    return out;
}

void storeDefinitions(QSettings *profile, const QVariantList &list, int offset)
{
    for (int n = 0; n < keys::buttonCount; ++n)
        profile->setValue(keyMatrixKey(n), values::toVariant(values::definitionAt(list, offset + 4 * n)));
}

void sendKeyMatrix(myQQuickView &view, keys::KeyMatrix matrix, uchar number)
{
    if (view.is560())
        view.hid->hid560_0DH_SetKeyMatrix(matrix.data(), number);
    else
        view.hid->hid553_12H_SetKeyMatrix(matrix.data(), number);
}

} // namespace

void myQQuickView::deleteMacroUpdateProfile(QVariant macroName)
{
    const QString name = macroName.toString();
    // An empty name would match every macro button whose name is missing.
    if (name.isEmpty() || !defaultSettings)
        return;
    const int pageSlots = qMin(6, static_cast<int>(profileSettings.size()));
    for (int p = 0; p < pageSlots; ++p) {
        QSettings *profile = profileSettings.at(p);
        if (!profile)
            continue;
        for (int n = 0; n < keys::buttonCount; ++n) {
            // Only whole definitions count: padded with zeros, a short one would name slot 0.
            const QVariantList stored = values::toList(profile->value(keyMatrixKey(n)));
            if (stored.size() != 4)
                continue;
            const keys::KeyDefinition d = values::definitionAt(stored, 0);
            if (d[0] != keys::Macro)
                continue;
            const QString used = profile->value(QStringLiteral("mouseMacroKey/") + QString::number(d[2])).toString();
            if (used != name)
                continue;
            const QVariantList factory = values::toList(defaultSettings->value(keyMatrixKey(n)));
            if (factory.size() != 4) {
                qDebug() << "deleteMacroUpdateProfile: no factory definition" << n;
                continue;
            }
            profile->setValue(keyMatrixKey(n), values::toVariant(values::definitionAt(factory, 0)));
        }
    }
}

void myQQuickView::mouseResetKeyMatrix()
{
    QSettings *profile = currentProfileSettings();
    if (!hid || !profile) {
        qDebug() << "mouseResetKeyMatrix refused";
        return;
    }
    const keys::KeyMatrix matrix = keys::flatten(firmwareMatrix(profile, defaultSettings));
    for (uchar number = 2; number <= 4; ++number)
        sendKeyMatrix(*this, matrix, number);
}

void myQQuickView::mouseSetKeyMatrix(QVariantList src64, bool isSendData, QVariantList otherParam)
{
    QSettings *profile = currentProfileSettings();
    if (!profile || src64.size() < keyMatrixValues) {
        // A short list would overwrite buttons with zeros.
        qDebug() << "mouseSetKeyMatrix refused" << src64.size();
        return;
    }
    storeDefinitions(profile, src64, 0);
    if (!isSendData || !hid)
        return;

    keys::Definitions ui{};
    for (int n = 0; n < keys::buttonCount; ++n)
        ui[n] = values::definitionAt(src64, 4 * n);
    const std::array<uint8_t, 3> periods = {values::byteAt(otherParam, 0), values::byteAt(otherParam, 1),
                                            values::byteAt(otherParam, 2)};
    const keys::MatrixSet set =
        keys::buildKeyMatrices(ui, firmwareMatrix(profile, defaultSettings), periods, is560());

    if (set.count == 1) {
        sendKeyMatrix(*this, set.matrices[0], 1);
        return;
    }
    if (is560()) {
        readMissingProfileBlocks(0, 0);
        if (set.gunMask)
            profileBlocks[0][2] = set.gunMask;
        // Block 0 tells the mouse which matrices hold gun keys: matrices it would read with a
        // stale mask are not sent.
        if (!sendProfileBlocks(0, 0)) {
            qDebug() << "Key matrices not sent: profile block 0 not written";
            return;
        }
    }
    for (int m = 0; m < set.count; ++m)
        sendKeyMatrix(*this, set.matrices[m], static_cast<uchar>(m + 1));
    if (is560())
        hid->hid560_02H_SetCurrentProfile(1);
    else
        hid->hid553_02H_SetCurrentKeyMatrix(1);
}

void myQQuickView::mouseSwitchKeyMatrix(int indexNo)
{
    if (!hid || indexNo < 1 || indexNo > 4) {
        qDebug() << "mouseSwitchKeyMatrix refused" << indexNo;
        return;
    }
    if (is560())
        hid->hid560_02H_SetCurrentProfile(static_cast<uchar>(indexNo));
    else
        hid->hid553_02H_SetCurrentKeyMatrix(static_cast<uchar>(indexNo - 1));
}

void myQQuickView::mouseSetParameter_1(QVariantList src192, uint profileNo)
{
    QSettings *profile = currentProfileSettings();
    if (!profile || src192.size() < parameter1Length) {
        qDebug() << "mouseSetParameter_1 refused" << src192.size();
        return;
    }
    storeDefinitions(profile, src192, keyBlockOffset);
    if (!hid)
        return;
    uchar block[parameter1Length];
    for (int i = 0; i < parameter1Length; ++i)
        block[i] = values::byteAt(src192, i);
    for (int n = 0; n < keys::buttonCount; ++n) {
        const keys::KeyDefinition stored =
            keys::toParameterForm(values::definitionAt(src192, keyBlockOffset + 4 * n));
        std::copy(stored.begin(), stored.end(), block + keyBlockOffset + 4 * n);
    }
    hid->hid553_03H_SetParameter_1(block, static_cast<uchar>(profileNo));
}

QVariantList myQQuickView::mouseGetKeydefine(QVariant index, bool isRecovery)
{
    QSettings *settings = isRecovery ? defaultSettings : currentProfileSettings();
    if (!settings)
        return {};
    const QVariant stored = settings->value(QStringLiteral("mouseKeyMatrix/") + index.toString());
    if (!stored.isValid())
        return {};
    return values::toVariant(values::definition(stored));
}
