// SPDX-License-Identifier: GPL-3.0-or-later
// Device profile blocks of the "560" family, lighting, report rate, parameter block 0.
#include "view/myqquickview.h"

#include "device/hid_thread.h"
#include "view/lightingtables.h"
#include "view/settingvalues.h"

#include <QDebug>
#include <QSettings>

namespace {

constexpr uint blockCount = 5;

// Writes the lighting bytes 71..73 of blocks 1..4.
void applyEffect(myQQuickView &view, const lighting::Effect &effect)
{
    for (int block = 1; block <= 4; ++block) {
        view.profileBlocks[block][71] = effect.mode;
        view.profileBlocks[block][72] = effect.p1;
        view.profileBlocks[block][73] = effect.p2;
    }
}

} // namespace

void myQQuickView::readMissingProfileBlocks(int first, int last)
{
    for (int block = first; block <= last; ++block)
        if (!profileBlockRead[block] && !profileBlockTried[block])
            mouseReadProfile(static_cast<uint>(block));
}

bool myQQuickView::sendProfileBlocks(int first, int last)
{
    if (!hid)
        return false;
    bool allSent = true;
    bool unread = false;
    for (int block = first; block <= last; ++block) {
        if (profileBlockRead[block]) {
            hid->hid560_0CH_setProfile(profileBlocks[block], static_cast<uchar>(block));
            allSent = allSent && hid->lastTransferSucceeded();
        } else {
            qDebug() << "Profile block not read from the device, not written" << block;
            allSent = false;
            unread = true;
        }
    }
    if (unread && !toldUnsavedBlocks) {
        toldUnsavedBlocks = true;
        qDebug() << "Some settings cannot be saved to this mouse: it does not give back its stored profiles";
        emit trayNotice(tr("Settings not saved"), tr("Some settings cannot be saved to this mouse."));
    }
    return allSent;
}

void myQQuickView::mouseSetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4)
{
    if (!hid)
        return;
    // On the "560" family command 0x03 sets the report rate; that family has its own
    // keyboard-option command, which carries two bytes.
    if (is560())
        hid->hid560_01H_SetKeyboardoption(byte1, byte2);
    else
        hid->hid553_03H_SetKeyboardoption(byte1, byte2, byte3, byte4);
}

void myQQuickView::mouseSetReportRate(uchar rate)
{
    if (!hid)
        return;
    if (is560()) {
        hid->hid560_03H_SetReportRate(rate);
        return;
    }
    // The 553 family has no report-rate command of its own: the rate goes in parameter block 0
    // with the current profile's lighting and the active DPI stage, as the report-rate row
    // sends it. The stage is asked of the device, so the change leaves it where it is.
    QSettings *profile = currentProfileSettings();
    if (!profile) {
        qDebug() << "mouseSetReportRate refused";
        return;
    }
    uchar stage = 0;
    hid->hid553_8BH_GetCurrentDPI(stage);
    if (!hid->lastTransferSucceeded()) {
        qDebug() << "mouseSetReportRate Failed";
        return;
    }
    // The stored lighting goes out as the lighting page would send it: a damaged value must not
    // reach the device as an arbitrary byte.
    // (An unknown family counts as 553, as in the scene.)
    const bool longModeList =
        !icType.isEmpty() && icType != QLatin1String("553") && icType != QLatin1String("571");
    const std::vector<int> light =
        lighting::pageLight(values::toList(profile->value(QStringLiteral("mouse/lightValue"))),
                            lighting::modeCount(isColorful, longModeList, is55328));
    lighting::ParameterBlock0 block = lighting::parameterBlock0(rate, stage, light, 0);
    hid->hid553_02H_SetParameter_0(block.data(), static_cast<uchar>(currentProfile));
}

void myQQuickView::mouseSetRGBEffect(uchar effect, uchar option1, uchar option2)
{
    if (!hid)
        return;
    if (isColorful) {
        const lighting::Effect e = lighting::colorfulEffect(effect, option1, option2);
        if (is560()) {
            readMissingProfileBlocks(1, isGun ? 4 : 1);
            applyEffect(*this, e);
            sendProfileBlocks(1, isGun ? 4 : 1);
        } else {
            hid->hid553_0DH_SetRGBLedEffect(e.mode, e.p1, e.p2);
        }
        return;
    }
    lighting::Effect e = lighting::plainEffect(effect, option1, option2, is55328);
    if (!is560()) {
        hid->hid553_0DH_SetRGBLedEffect(e.mode, e.p1, e.p2);
        return;
    }
    e.p2 = 2;
    readMissingProfileBlocks(1, isGun ? 4 : 1);
    applyEffect(*this, e);
    if (isGun) {
        sendProfileBlocks(1, 4);
    } else {
        profileBlocks[1][73] = 3;
        sendProfileBlocks(1, 1);
    }
}

void myQQuickView::mouseSetRGBColor(uchar type, QVariantList src24)
{
    if (!hid)
        return;
    lighting::Colours bytes = lighting::colours(values::integers(src24, 24));
    if (is560()) {
        const int block = isColorful ? 0 : 1;
        readMissingProfileBlocks(block, block);
        std::copy(bytes.begin(), bytes.end(), profileBlocks[block] + (isColorful ? 24 : 104));
        sendProfileBlocks(block, block);
        return;
    }
    if (!is55328) {
        hid->hid553_10H_SetLED8StageColor(type, bytes.data());
        hid->hid553_10H_SetLED8StageColor(type, bytes.data());
    } else if (lighting::hasEighthColour(bytes)) {
        hid->hid553_10H_SetLED8StageColor(0, bytes.data());
    } else {
        hid->hid553_0CH_SetFixLEDColor(bytes.data());
    }
}

void myQQuickView::mouseSetProfile(uint profileNo)
{
    if (!hid || profileNo >= blockCount || !is560()) {
        qDebug() << "mouseSetProfile refused" << profileNo;
        return;
    }
    readMissingProfileBlocks(int(profileNo), int(profileNo));
    sendProfileBlocks(int(profileNo), int(profileNo));
}

void myQQuickView::mouseReadProfile(uint profileNo)
{
    if (!hid || profileNo >= blockCount || !is560()) {
        qDebug() << "mouseReadProfile refused" << profileNo;
        return;
    }
    hid->hid560_8CH_readProfile(profileBlocks[profileNo], static_cast<uchar>(profileNo));
    profileBlockRead[profileNo] = hid->lastTransferSucceeded();
    profileBlockTried[profileNo] = true;
}

QVariant myQQuickView::mouseReadCurrentProfile()
{
    uchar profile = 0;
    if (hid && is560())
        hid->hid560_82H_GetCurrentProfile(profile);
    return int(profile);
}

QVariantList myQQuickView::GetKeyboardoption()
{
    // Without an answer the device is reported as all zeros.
    uchar b1 = 0, b2 = 0, b3 = 0, b4 = 0;
    if (hid)
        hid->hid553_83H_GetKeyboardoption(b1, b2, b3, b4);
    return {int(b1), int(b2), int(b3), int(b4)};
}

void myQQuickView::mouseSetParameter_0(QVariantList src64, uint profileNo)
{
    if (!hid || src64.size() < 6) {
        // Without all six values the block would carry an invalid report-rate code.
        qDebug() << "mouseSetParameter_0 refused" << src64.size();
        return;
    }
    lighting::ParameterBlock0 block = lighting::parameterBlock0(values::integers(src64, 6));
    hid->hid553_02H_SetParameter_0(block.data(), static_cast<uchar>(profileNo));
}
