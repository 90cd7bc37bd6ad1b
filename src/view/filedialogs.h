// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// File dialogs of the view, behind a replaceable hook so that tests choose the file (or
// cancel) without a window.

#include <QString>

#include <functional>

class QWidget;

namespace filedialogs {

enum class Mode { Open, Save };

struct Request
{
    Mode mode = Mode::Open;
    QWidget *parent = nullptr;
    QString caption;
    QString directory;
    QString filter;
};

// Returns the chosen file name, empty when the user cancels.
using Hook = std::function<QString(const Request &)>;

// Installs a hook in place of the real dialogs; an empty hook restores them.
void setHook(Hook hook);

// Installs a hook for the lifetime of the object (tests).
class ScopedHook
{
public:
    explicit ScopedHook(Hook hook);
    ~ScopedHook();
    ScopedHook(const ScopedHook &) = delete;
    ScopedHook &operator=(const ScopedHook &) = delete;
};

QString getOpenFileName(QWidget *parent, const QString &caption, const QString &directory,
                        const QString &filter);
QString getSaveFileName(QWidget *parent, const QString &caption, const QString &directory,
                        const QString &filter);

// The user's desktop folder, where the dialogs start.
QString desktopFolder();

} // namespace filedialogs
