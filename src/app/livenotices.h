// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

// What the tray says when the mouse's own buttons change its state: the tooltip names the device,
// the profile and the DPI, and while the window is hidden a short notification says the new DPI.
// Notices come at most once a second; a burst of presses ends in one notice of where it stopped.
class LiveNotices : public QObject
{
    Q_OBJECT
public:
    struct State
    {
        QString device;
        int profile = 0; // 1-based; 0: not known
        int dpi = 0;     // 0: not known
    };

    static constexpr int MinimumGapMs = 1000;

    static QString toolTip(const State &state);
    static QString noticeText(const State &state);

    explicit LiveNotices(QObject *parent = nullptr);

    void setEnabled(bool enabled);
    bool isEnabled() const { return m_enabled; }

    // The state after a firmware report. Only a press on the mouse (not the answer to the
    // program's own request for the state, as at every connect) makes a notice, and only while
    // the window is hidden and the DPI has changed.
    void update(const State &state, bool pressed, bool windowHidden);
    // The device went away: nothing pending is said any more.
    void reset();

signals:
    void toolTipChanged(const QString &text);
    void notice(const QString &title, const QString &text);

private:
    void sendPending();

    bool m_enabled = true;
    State m_last;
    State m_pending;
    bool m_hasPending = false;
    QElapsedTimer m_sinceNotice;
    QTimer m_gap;
};
