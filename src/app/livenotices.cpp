// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/livenotices.h"

QString LiveNotices::toolTip(const State &state)
{
    QStringList parts;
    if (state.profile > 0)
        parts << tr("Profile %1").arg(state.profile);
    if (state.dpi > 0)
        parts << tr("%1 DPI").arg(state.dpi);
    if (parts.isEmpty())
        return state.device;
    return state.device + QLatin1Char('\n') + parts.join(QStringLiteral(" · "));
}

QString LiveNotices::noticeText(const State &state)
{
    return state.profile > 0 ? tr("%1 DPI (profile %2)").arg(state.dpi).arg(state.profile)
                             : tr("%1 DPI").arg(state.dpi);
}

LiveNotices::LiveNotices(QObject *parent)
    : QObject(parent)
{
    m_gap.setSingleShot(true);
    connect(&m_gap, &QTimer::timeout, this, &LiveNotices::sendPending);
}

void LiveNotices::setEnabled(bool enabled)
{
    m_enabled = enabled;
    if (!enabled) {
        m_hasPending = false;
        m_gap.stop();
    }
}

void LiveNotices::update(const State &state, bool pressed, bool windowHidden)
{
    const bool dpiChanged = state.dpi != m_last.dpi && state.dpi > 0;
    m_last = state;
    emit toolTipChanged(toolTip(state));
    if (!m_enabled || !pressed || !windowHidden || !dpiChanged)
        return;
    m_pending = state;
    m_hasPending = true;
    const qint64 since = m_sinceNotice.isValid() ? m_sinceNotice.elapsed() : MinimumGapMs;
    if (since >= MinimumGapMs)
        sendPending();
    else if (!m_gap.isActive())
        m_gap.start(int(MinimumGapMs - since));
}

void LiveNotices::reset()
{
    m_last = State();
    m_hasPending = false;
    m_gap.stop();
}

void LiveNotices::sendPending()
{
    if (!m_hasPending || !m_enabled)
        return;
    m_hasPending = false;
    m_sinceNotice.start();
    emit notice(m_pending.device, noticeText(m_pending));
}
