// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <functional>
#include <optional>

class Widget;

// A copy-data record: another program asks us to show a warning. On Windows it arrives as
// WM_COPYDATA; elsewhere it travels on the single-instance channel with the same three fields.
namespace copydata {

// The only tag we act on.
constexpr quint64 WarningTag = 0x250F;

struct Record
{
    quint64 dwData = 0;
    quint32 cbData = 0;  // the text's length in bytes, as the sender claims it
    QByteArray bytes;    // everything that really arrived: the text and its NUL terminator
};

// The text a record carries, or nothing. A record passes when its tag is WarningTag, a NUL
// terminator lies within the `size` bytes at `data`, the text before it is exactly cbData bytes
// long and is valid UTF-8. Never reads past `size` bytes.
std::optional<QString> warningText(quint64 dwData, quint32 cbData, const char *data, qsizetype size);
std::optional<QString> warningText(const Record &record);

// Shows the warning (title, text). The default is a modal QMessageBox::warning with no parent
// and a single OK button; tests install their own so they never block.
using Presenter = std::function<void(const QString &title, const QString &text)>;
void setPresenter(Presenter presenter);  // an empty presenter restores the default

} // namespace copydata

// Shows the warning of a passing record captioned with the widget's window title; other records
// (or no widget) are swallowed. Returns whether a warning was shown.
bool showCopyDataMessage(const copydata::Record &record, Widget *widget);
