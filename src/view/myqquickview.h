// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "device/savecheck.h"

#include <QList>
#include <QQuickWidget>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

class Hid_Thread;
class QEventLoop;
class QSettings;

// The QML host view and the whole backend interface of the scene (context property "ui_View").
// Slots are grouped per area; each area's slots are defined in its own view_<area>.cpp file.
class myQQuickView : public QQuickWidget
{
    Q_OBJECT
    // The settings folder of the connected device: the scene sets itself up anew when it changes.
    Q_PROPERTY(QString deviceFolder READ settingsFolder)
    // The last save was not kept by the mouse (or not confirmed by it): the next save sends it
    // again ("Save" shows red meanwhile).
    Q_PROPERTY(bool saveNotKept READ saveNotKept NOTIFY saveNotKeptChanged)
public:
    explicit myQQuickView(QWidget *parent = nullptr);
    ~myQQuickView() override;

    // Results of loadMacroFile: a cancelled dialog is told apart from a file that could not
    // be imported, so that the editor never shows a macro that was not imported.
    enum ImportResult { ImportFailed = -1, ImportCancelled = 0, Imported = 1 };

    Hid_Thread *hid = nullptr;
    bool isColorful = false;
    bool isGun = false;
    QString icType;
    bool is55328 = false;
    QSettings *globalSettings = nullptr;
    QSettings *defaultSettings = nullptr;
    QList<QSettings *> profileSettings;
    int currentProfile = 0;
    // In-memory copies of the five 128-byte device profile blocks of a "560" device, which of
    // them hold what this device has stored (read from it since it was attached), and which
    // were tried: each connect (initUI) starts them afresh.
    unsigned char profileBlocks[5][128] = {};
    bool profileBlockRead[5] = {};
    bool profileBlockTried[5] = {};
    // Before blocks first..last are edited: each one not tried since the connect is read now. A
    // block the device did not give is not asked for again until the next connect, so that
    // edits do not wait for it every time.
    void readMissingProfileBlocks(int first, int last);
    // Writes blocks first..last back; one that could not be read is not sent, so the device's
    // stored profile is never replaced by zeros (the user is told once per connect). True when
    // every block reached the device.
    bool sendProfileBlocks(int first, int last);
    // How long a save check waits for the mouse's answer to the sync request (tests may lower
    // it); the answer comes through the status polling.
    int syncAnswerTimeoutMs = 1500;
    bool saveNotKept() const { return !unkept.isEmpty(); }
    // Result of the last attempt at each pointer setting, in the order of pointerSettingsApplied.
    bool pointerApplied[3] = {true, true, true};

    // Settings folder of the connected device, "./modules/" + its pid in lower-case hex;
    // empty while no device entry is selected.
    QString settingsFolder() const;
    // Another folder in its place while set (a dry run works on a copy); openSettings() then
    // puts the handles on it, and back on the device's own folder once it is cleared.
    QString settingsFolderOverride;
    // (Re)opens the settings handles on settingsFolder(); false without a device.
    bool openSettings();
    // The current profile's settings; null before initUI or with currentProfile out of range.
    QSettings *currentProfileSettings() const;
    // The connected device speaks the "560" command set (any other icType: the "553" set).
    bool is560() const { return icType == QLatin1String("560"); }
    // icType names a family the firmware reports; with any other (an empty one from a settings
    // folder that lacks its files) no command set can be chosen, and initUI refuses the device.
    bool familyKnown() const;

    // While no device is connected (removed, or a check found none) the view stays disabled,
    // whatever the scene asks: its busy lock re-enables the view when its interval ends.
    void setDeviceAbsent(bool absent);

    // Calls a function of the scene's root object, each argument handed over as a QVariant (so
    // the function's parameters are untyped); false when there is no root or no such function.
    // At most five arguments.
    bool invokeRoot(const char *function, Qt::ConnectionType type,
                    const QVariantList &args = QVariantList());

public slots:
    // In meta-object order; each area uncomments/defines its own slots.
    void clearHidBusy();                                                            // 0  view_frame.cpp
    void initUI();                                                                  // 1  view_profiles.cpp
    void runUI();                                                                   // 2  view_frame.cpp
    void resetApconfig();                                                           // 3  view_settings.cpp
    int loadMacroFile(QVariant macroFileName);                                      // 4  view_macros.cpp
    void saveMacroFile(QVariant macroFileName);                                     // 5
    bool loadProfile(int profile);                                                  // 6  view_profiles.cpp
    void saveProfile(int profile);                                                  // 7
    void resetProfile(int profile);                                                 // 8
    void copyProfile(int destprofile, int srcprofile);                              // 9
    QStringList getLangStrings(QString typeStr, QString langCode);                  // 10 view_lang.cpp
    QVariant createMacroIni(QVariant name, QVariant macroIndex);                    // 11 view_macros.cpp
    QVariant updataNameList(QVariant type, QStringList nameList);                   // 12 view_names.cpp
    QVariant modifyMacroNameUpdateProfile(QVariant oldname, QVariant newname);      // 13 view_macros.cpp
    void deleteMacroUpdateProfile(QVariant macroName);                              // 14 view_keys.cpp
    QVariant deleteMacroIni(QVariant name);                                         // 15 view_macros.cpp
    QVariantList getNameList(QVariant type);                                        // 16 view_names.cpp
    QVariant saveMacroIni(QVariant name, QStringList macros, QVariant repeat);      // 17 view_macros.cpp
    // True when the block reached the mouse.
    QVariant mouseSendMacroData(QVariantList macroData, QVariant macroIndex);       // 18
    QStringList loadMacroIni(QVariant name);                                        // 19
    void mouseSaveGundata(QVariant index, QVariantList src6);                       // 20 view_gun.cpp
    void mouseSendGundata(int index, QVariantList data);                            // 21
    void modifyGundata(QVariant modifyType, QVariantList src6);                     // 22
    QVariantList getGunData(QVariant name);                                         // 23
    QStringList getGunDataKey();                                                    // 24
    QVariant getXYSensitive(QVariant index);                                        // 25
    QVariant getselectGun(QVariant index);                                          // 26
    void setXYSensitive(QVariant index, QVariant xyData);                           // 27
    void setSelectGun(QVariant index, QVariant xyData);                             // 28
    void setCurrentProfile(int profile);                                            // 29 view_profiles.cpp
    void mouseSetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4);     // 30 view_lighting.cpp
    void mouseSetReportRate(uchar rate);                                            // 31 view_lighting.cpp
    void mouseSetCurrentDPI(uchar currentDPI);                                      // 32 view_dpi.cpp
    void mouseResetKeyMatrix();                                                     // 33 view_keys.cpp
    QVariant mouseGetCurrentDPI();                                                  // 34 view_dpi.cpp
    void mouseSetKeyMatrix(QVariantList src64, bool isSendData, QVariantList otherParam);  // 35 view_keys.cpp
    void mouseSetDpi(int dpiCount, QString sensorType, QVariantList dpiValueArray);  // 36 view_dpi.cpp
    void mouseSetRGBEffect(uchar effect, uchar option1, uchar option2);             // 37 view_lighting.cpp
    void mouseSetRGBColor(uchar type, QVariantList src24);                          // 38
    void mouseSetProfile(uint profileNo);                                           // 39
    void mouseReadProfile(uint profileNo);                                          // 40 view_lighting.cpp
    QVariant mouseReadCurrentProfile();                                             // 41
    void mouseSwitchKeyMatrix(int indexNo);                                         // 42 view_keys.cpp
    QVariantList GetKeyboardoption();                                               // 43 view_lighting.cpp
    void mouseSetParameter_0(QVariantList src64, uint profileNo);                   // 44
    void mouseSetParameter_1(QVariantList src192, uint profileNo);                  // 45 view_keys.cpp
    void mouseSetCursorSpeed(uint cursorSpeed);                                     // 46 view_pointer.cpp
    void mouseSetVerticalScrollLines(uint lines);                                   // 47
    void mouseSetDoubleClickSpeed(uint speed);                                      // 48
    QVariantList mouseGetKeydefine(QVariant index, bool isRecovery);                // 49 view_keys.cpp
    void openUpdateExe();                                                           // 50 view_frame.cpp
    QVariant getData(QVariant key, bool isRecovery);                                // 51 view_settings.cpp
    QVariant getGlobalData(QVariant key);                                           // 52 view_settings.cpp
    QVariantList getDataList(QVariant key, bool isRecovery);                        // 53
    void setData(QVariant key, QVariant data);                                      // 54
    void setGlobalData(QVariant key, QVariant tmpdata);                             // 55 view_settings.cpp
    void setDataList(QVariant key, QVariantList datalist);                          // 56
    void setBusy(int busyTime);                                                     // 57 view_frame.cpp
    void syncFwReport(uchar type, uchar reportRate, uchar dpi, uchar lightMode, uchar speed); // 58
    void setScreenChange(int widgetData);                                           // 59
    // Whether the desktop took the last value of each pointer setting (pointer speed,
    // double-click time, wheel lines); true for a setting not tried yet. The system page
    // shows a note for a setting the desktop refused.
    QVariantList pointerSettingsApplied();                                          // 60 view_pointer.cpp
    // False while the pointer settings go to a stand-in (demo mode): the desktop stays as it is.
    bool pointerSettingsChangeDesktop();
    // The scene's busy lock; refused (kept disabled) while no device is connected.
    void setEnabled(bool enabled);

    // A save: every operation that stores settings in the mouse ("Save", a profile switch, a
    // factory reset, the report-rate and lift-off rows) runs between these two. beginSave
    // starts recording what is sent (and first sends again what the mouse did not keep last
    // time); endSave checks it against the mouse: profile blocks written are read back, then
    // the sync request's answer is compared with the report rate, DPI stage, light mode and
    // speed the mouse was last given. On a difference everything is sent once more and checked
    // again. endSave returns the outcome (and emits it as saveChecked):
    //   result  "nothing"   nothing was sent, so nothing was checked;
    //           "verified"  the mouse holds what was sent;
    //           "unchecked" it all went out, but this mouse cannot be asked (no status
    //                       interface, no profile block written);
    //           "notKept"   it still differs after sending once more: `items` names what;
    //           "noAnswer"  the mouse did not take a command or did not answer the check;
    //   items   what did not stick: "rate", "stage", "lightMode", "lightSpeed", "profile<N>";
    //   text    an English sentence saying so (empty when nothing or verified);
    //   resent  whether it was sent once more.
    // "notKept" and "noAnswer" are not kept: they are also told in a tray message.
    void beginSave();
    QVariantMap endSave();

signals:
    // Something the user should hear of in a tray message.
    void trayNotice(const QString &title, const QString &text);
    // Every endSave, with its outcome.
    void saveChecked(const QVariantMap &outcome);
    void saveNotKeptChanged();
    // A firmware report has reached the scene (`dpi`: the stage, from 1, for stage reports).
    void firmwareReported(int type, int dpi);

protected:
    void focusInEvent(QFocusEvent *event) override;

private:
    // Says why the device in folder gets no command, and stops the device layer sending any.
    void refuseDevice(const QString &folder);

    // The check of the commands a save sent: what differed, and whether the mouse answered.
    struct SaveCheck
    {
        unsigned items = 0;
        QList<int> blocks;
        bool answered = true;
        // The transport took every command.
        bool delivered = true;
        // Something could be compared: a block read back, or a report of a known state.
        bool checked = false;
        bool kept() const { return !items && blocks.isEmpty() && answered && delivered; }
    };
    SaveCheck checkSent(const QList<savecheck::Sent> &sent);
    // Sends the sync request and waits (boundedly) for the report of all items it brings.
    bool awaitStateReport(status::Report &answer);
    void setUnkept(const QList<savecheck::Sent> &sent);

    bool deviceAbsent = false;
    // What the mouse should report of its state, from what it reported and was sent since the
    // connect; the commands of the last save it did not keep; connects so far.
    savecheck::State expectedState;
    QList<savecheck::Sent> unkept;
    unsigned connectCount = 0;
    // Set while a save check waits for the sync answer, which then lands in stateAnswer.
    QEventLoop *answerLoop = nullptr;
    bool stateAnswered = false;
    status::Report stateAnswer;
    // The user has been told since the connect that some settings cannot be saved to this mouse.
    bool toldUnsavedBlocks = false;
};
