// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "device/deviceentry.h"
#include "device/protocol.h"
#include "device/savecheck.h"

#include <QByteArray>
#include <QFuture>
#include <QList>
#include <QMutex>
#include <QThread>

#include <atomic>

struct hid_device_;
typedef struct hid_device_ hid_device;

class Widget;
class myQQuickView;

// The device layer. Its own thread is never started: every command runs to completion on the
// GUI thread; only the status polling runs on a pool thread, on the other interface.
class Hid_Thread : public QThread
{
    Q_OBJECT
public:
    explicit Hid_Thread(QObject *parent = nullptr);
    ~Hid_Thread() override;

    Widget *owner = nullptr;
    QList<DeviceEntry> deviceList;
    int deviceIndex = 1;
    hid_device *commandHandle = nullptr;
    hid_device *statusHandle = nullptr;
    bool hidBusy = false;
    // Set while the connected device's firmware family is unknown: a command of either set
    // could do anything to it, so none is sent (the view decides, at each connect).
    bool refuseCommands = false;
    std::atomic<bool> isPolling{false};
    QFuture<void> pollingFuture;
    unsigned char request[9] = {};
    unsigned char reply[9] = {};
    unsigned char dataBuffer[192] = {};

    // How often a command looks for a free transport, 8 ms apart (tests may lower it).
    int transportWaitCount = 255;
    // Bound on each data-phase input report: a device that never answers must not hold the
    // GUI thread for ever (tests may lower it).
    int dataReadTimeoutMs = 1000;
    // Largest report length the transport accepts from the device table.
    static constexpr int maxReportLength = 4096;

    // Status polling.
    void startPollingUSBVendorCmd(int index);
    void stopPolling();
    // Waits until no polling task runs any more (used at exit before the layer goes away).
    void waitForPollingToEnd();

    // Transport.
    hid_device *openCommandInterface(int index);
    hid_device *openStatusInterface(int index);
    bool waitForTransport();
    bool sendCommand(int length, bool settle);
    bool queryCommand(int length);
    void settlePause();
    // Fills request[1..8] from a payload (request[0] is the report number 0).
    void setRequest(const protocol::Payload &payload);

    // Whether the last transfer reached the device (false too when its command never claimed
    // the transport).
    bool lastTransferSucceeded() const { return lastTransferOk; }
    // Transfers that did not reach the device (or never claimed the transport) since start.
    std::atomic<unsigned> failedTransfers{0};

    // A dry run: set commands put the reports they would send here (as they would go on the
    // wire, scrambled where the device wants it) and report success; queries still ask.
    struct Report
    {
        bool feature = false;
        QByteArray bytes;
    };
    QList<Report> *dryRun = nullptr;

    // While recording, every set command that reaches the transport is kept as it went out (a
    // save is checked against what it sent, and sends it again when the mouse did not keep it).
    void startRecording();
    // Stops recording and hands over what was recorded.
    QList<savecheck::Sent> takeRecording();
    // Sends the commands again, in order (recorded too while recording); true when the
    // transport took every one of them.
    bool resend(const QList<savecheck::Sent> &commands);

    // The view reached through owner (Widget -> Ui_Controler -> myQQuickView); may be null.
    myQQuickView *view() const;

public slots:
    uchar hidCS(uchar *cmd);

    // ---- 553 family ----------------------------------------------------------------------
    void hid553_00H_GetSecrecyCode(uchar &byte1, uchar &byte2, uchar &byte3, uchar &byte4);
    void hid553_01H_SetReportRate(uchar rate);
    void hid553_02H_SetCurrentKeyMatrix(uchar currentKeyMatrix);
    void hid553_02H_SetParameter_0(uchar *src64, uchar profileNo);
    void hid553_03H_SetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4);
    void hid553_03H_SetParameter_1(uchar *src192, uchar profileNo);
    void hid553_04H_SetGunData(uchar byte1, uchar byte2, uchar byte3, uchar byte4);
    void hid553_0BH_SetCurrentDPI(uchar stage);
    void hid553_0CH_SetFixLEDColor(uchar *src3);
    void hid553_0DH_SetRGBLedEffect(uchar effect, uchar option1, uchar option2);
    void hid553_10H_SetLED8StageColor(uchar type, uchar *src24);
    void hid553_11H_SetDPISet(uchar dpiStage, uchar *src8);
    void hid553_12H_SetKeyMatrix(uchar *src64, uchar indexAddOne);
    void hid553_13H_SetMacroKey(uchar macroId, uchar *src128);
    void hid553_80H_SyncData();
    bool hid553_83H_GetKeyboardoption(uchar &byte1, uchar &byte2, uchar &byte3, uchar &byte4);
    void hid553_8BH_GetCurrentDPI(uchar &byte1);

    // ---- 560 family ----------------------------------------------------------------------
    void hid560_01H_SetKeyboardoption(uchar byte1, uchar byte2);
    void hid560_02H_SetCurrentProfile(uchar profile);
    void hid560_03H_SetReportRate(uchar rate);
    void hid560_04H_SetCurrentDPI(uchar stage);
    void hid560_0CH_setProfile(uchar *src128, uchar profileData);
    void hid560_0DH_SetKeyMatrix(uchar *src64, uchar indexAddOne);
    void hid560_0FH_SetMacroKey(uchar macroId, uchar *src128);
    void hid560_81H_GetKeyboardoption(uchar &byte1, uchar &byte2);
    void hid560_82H_GetCurrentProfile(uchar &byte1);
    void hid560_84H_GetCurrentDPI(uchar &byte1, uchar &byte2);
    void hid560_8CH_readProfile(uchar *src128, uchar profileNo);

    // ---- scrambling ----------------------------------------------------------------------
    void USBDataEncryption(uchar FIFOBuf[], uchar SecrecyCode[]);
    void USBDataDecipher(uchar FIFOBuf[], uchar SecrecyCode[]);
    bool chkDeviceIsEnCode(int index);

signals:
    // The polling task found the device gone and polling has stopped (on the GUI thread).
    void deviceRemoved();

private:
    // The polling task: reads the status interface at statusPath until a newer task or a stop
    // takes over; generation tells it apart from later tasks.
    void pollStatus(int index, const QByteArray &statusPath, unsigned generation);
    hid_device *openStatusPath(const QByteArray &statusPath);
    // Debug-mode identity read into the device-wide settings and the view.
    void readIdentity();
    DeviceEntry *entryAt(int index);
    void closeCommandHandle();
    // Ends a transfer: closes the handle, releases the transport; a failure (the step that
    // failed) is logged. True when there was none.
    bool endTransfer(const char *failure = nullptr);
    // sendCommand's transfer, without the recording.
    bool transferCommand(int length, bool settle);
    // First step of every transfer: refuses a data phase the entry cannot carry, then scrambles
    // (if the device wants it) and sends the request. On failure the transfer has been ended.
    bool sendRequest(int length, int &reportLength, bool &encode, bool dry = false);
    // Claims the transport for a command slot; writes failureLine when it stays busy.
    bool claimTransport(const char *failureLine);
    // A request and its data block (length bytes of src, zeros when src is null), settled.
    void sendWithData(const char *failureLine, const protocol::Payload &payload, const uchar *src = nullptr,
                      int length = 0);
    // A request without data, unsettled, followed by a fixed pause.
    void sendAndPause(const char *failureLine, const protocol::Payload &payload, unsigned long pauseMs);
    // The repeated 560 requests: one per attempt number (only one on gun devices).
    void sendRepeated(const char *failureLine, protocol::Payload (*makeRequest)(uint8_t attempt, uint8_t value),
                      uchar value);
    bool isGunDevice() const;

    // Whether the last transfer (sendCommand/queryCommand) reached the device; false from the
    // moment a command starts waiting for the transport.
    bool lastTransferOk = false;
    // The command byte of the transfer under way, as it was before scrambling (for the log).
    uchar transferCode = 0;
    bool recording = false;
    QList<savecheck::Sent> recorded;
    // The challenge of chkDeviceIsEnCode goes out scrambled whatever the entry's flag says.
    bool scrambleChallenge = false;
    std::atomic<unsigned> pollGeneration{0};
    // Held by the one polling task that reads the status interface.
    QMutex pollReader;
};

// The per-process scrambling code (bytes 1..6 from the device's sCode).
extern unsigned char secrecyCode[8];
