// SPDX-License-Identifier: GPL-3.0-or-later
// Saves checked against the mouse: what a save sent is read back or compared with the mouse's
// report of its state, sent once more when it differs, and reported when it still does.
#include "view/myqquickview.h"

#include "device/commandset.h"
#include "device/hid_thread.h"

#include <QDebug>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>

namespace {

// What did not stick, in words: "report rate, stored profile 2, 3".
QString itemsText(const QStringList &keys)
{
    QStringList words;
    QStringList blocks;
    for (const QString &key : keys) {
        if (key == QLatin1String("rate"))
            words << myQQuickView::tr("report rate");
        else if (key == QLatin1String("stage"))
            words << myQQuickView::tr("DPI stage");
        else if (key == QLatin1String("lightMode"))
            words << myQQuickView::tr("light mode");
        else if (key == QLatin1String("lightSpeed"))
            words << myQQuickView::tr("light speed");
        else
            blocks << key.mid(int(qstrlen("profile")));
    }
    if (!blocks.isEmpty())
        words << myQQuickView::tr("stored profile %1").arg(blocks.join(QStringLiteral(", ")));
    return words.join(QStringLiteral(", "));
}

} // namespace

void myQQuickView::beginSave()
{
    if (!hid)
        return;
    hid->startRecording();
    if (!unkept.isEmpty())
        hid->resend(unkept);
}

QVariantMap myQQuickView::endSave()
{
    const QList<savecheck::Sent> sent = hid ? hid->takeRecording() : QList<savecheck::Sent>();
    QVariantMap outcome{{QStringLiteral("result"), QStringLiteral("nothing")},
                        {QStringLiteral("items"), QStringList()},
                        {QStringLiteral("text"), QString()},
                        {QStringLiteral("resent"), false}};
    // A dry run sends nothing, so the mouse has nothing to be asked about.
    if (sent.isEmpty() || (hid && hid->dryRun)) {
        emit saveChecked(outcome);
        return outcome;
    }
    savecheck::followSent(expectedState, sent);
    const unsigned connect = connectCount;
    SaveCheck check = checkSent(sent);
    check.delivered = std::all_of(sent.cbegin(), sent.cend(), [](const savecheck::Sent &s) { return s.delivered; });
    // A mouse that does not answer is not sent the save again; neither is one attached while
    // the check waited.
    const bool again = !check.kept() && check.answered && connect == connectCount;
    if (again) {
        const bool delivered = hid->resend(sent);
        check = checkSent(sent);
        check.delivered = delivered;
    }
    if (connect != connectCount) {
        check.answered = false;
    } else {
        setUnkept(check.kept() ? QList<savecheck::Sent>() : sent);
    }

    const QStringList items = savecheck::itemKeys(check.items, check.blocks);
    outcome[QStringLiteral("items")] = items;
    outcome[QStringLiteral("resent")] = again;
    if (check.kept() && check.checked) {
        outcome[QStringLiteral("result")] = QStringLiteral("verified");
    } else if (check.kept()) {
        outcome[QStringLiteral("result")] = QStringLiteral("unchecked");
        outcome[QStringLiteral("text")] = tr("The settings were sent; this mouse cannot be asked whether it kept them.");
    } else {
        const QString text = items.isEmpty()
            ? tr("The mouse did not answer after saving: the settings may not have been kept.")
            : tr("The mouse did not keep: %1.").arg(itemsText(items));
        outcome[QStringLiteral("result")] = items.isEmpty() ? QStringLiteral("noAnswer") : QStringLiteral("notKept");
        outcome[QStringLiteral("text")] = text;
        qDebug().noquote() << "Save not kept:" << items.join(QLatin1Char(' '));
        emit trayNotice(tr("Settings not kept"), text + QLatin1Char(' ') + tr("\"Save\" sends them again."));
    }
    emit saveChecked(outcome);
    return outcome;
}

myQQuickView::SaveCheck myQQuickView::checkSent(const QList<savecheck::Sent> &sent)
{
    SaveCheck check;
    for (const auto &[block, bytes] : savecheck::writtenBlocks(sent)) {
        // Starts as the opposite of what was written: a read cut short cannot pass for it.
        uchar back[cmd560::profileLength];
        for (int i = 0; i < cmd560::profileLength; ++i)
            back[i] = static_cast<uchar>(~bytes.at(i));
        hid->hid560_8CH_readProfile(back, static_cast<uchar>(block));
        if (!hid->lastTransferSucceeded()) {
            check.answered = false;
            continue;
        }
        check.checked = true;
        if (!std::equal(back, back + cmd560::profileLength, bytes.constBegin(),
                        [](uchar a, char b) { return a == static_cast<uchar>(b); }))
            check.blocks << block;
    }
    // A mouse without a status interface cannot report its state: that part goes unchecked.
    if (!hid->isPolling)
        return check;
    status::Report answer;
    if (awaitStateReport(answer)) {
        check.items = savecheck::differences(expectedState, answer);
        check.checked = check.checked || expectedState.known != 0;
    } else {
        check.answered = false;
    }
    return check;
}

bool myQQuickView::awaitStateReport(status::Report &answer)
{
    QEventLoop loop;
    answerLoop = &loop;
    stateAnswered = false;
    hid->hid553_80H_SyncData();
    if (hid->lastTransferSucceeded() && !stateAnswered) {
        QTimer::singleShot(syncAnswerTimeoutMs, &loop, &QEventLoop::quit);
        // The view is not to be used meanwhile: clicks wait until the check is done.
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    answerLoop = nullptr;
    answer = stateAnswer;
    return stateAnswered;
}

void myQQuickView::setUnkept(const QList<savecheck::Sent> &sent)
{
    const bool was = saveNotKept();
    unkept = sent;
    if (was != saveNotKept())
        emit saveNotKeptChanged();
}
