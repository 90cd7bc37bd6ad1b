// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Desktop-wide capture on X11: XInput2 raw key and button events selected on the root window
// over Qt's own connection. Raw events go to every client that asks for them, so nothing is
// grabbed and every event still reaches the focused program; no extra rights are needed.

#include "platform/inputcapture.h"

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QTimer>

struct xcb_connection_t;

class X11Capture : public QObject, public InputCapture, public QAbstractNativeEventFilter
{
    Q_OBJECT
public:
    explicit X11Capture(InputSink *sink);
    ~X11Capture() override;

    // False unless the application runs on xcb and the server offers XInput 2.
    bool install() override;
    void remove() override;
    bool isInstalled() const override { return m_installed; }
    const char *description() const override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    bool selectRawEvents(bool on);
    void queueButton(quint32 message);
    void deliverButtons();

    InputSink *m_sink;
    xcb_connection_t *m_connection = nullptr;
    quint32 m_root = 0;
    quint8 m_opcode = 0;
    bool m_installed = false;

    // Raw events carry no position: each button waits for the answer to a pointer query sent
    // when it arrived, collected without waiting, in arrival order.
    struct PendingButton
    {
        quint32 message;
        unsigned int sequence;
    };
    static constexpr int MaxPending = 32;
    PendingButton m_pending[MaxPending] = {};
    int m_pendingHead = 0;
    int m_pendingCount = 0;
    qint32 m_lastX = 0;
    qint32 m_lastY = 0;
    QTimer m_replyTimer;
};
