// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/copydata.h"

#include "app/widget.h"

#include <QMessageBox>
#include <QStringDecoder>

#include <cstring>

namespace copydata {

std::optional<QString> warningText(quint64 dwData, quint32 cbData, const char *data, qsizetype size)
{
    if (dwData != WarningTag || !data || size <= 0)
        return std::nullopt;
    // Look for the terminator only inside what arrived: a sender that leaves it out must not
    // make us read foreign memory.
    const void *nul = std::memchr(data, 0, static_cast<size_t>(size));
    if (!nul)
        return std::nullopt;
    const qsizetype length = static_cast<const char *>(nul) - data;
    if (length != static_cast<qsizetype>(cbData))
        return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(QByteArrayView(data, length));
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

std::optional<QString> warningText(const Record &record)
{
    return warningText(record.dwData, record.cbData, record.bytes.constData(), record.bytes.size());
}

namespace {
Presenter &presenter()
{
    static Presenter current;
    return current;
}
} // namespace

void setPresenter(Presenter p)
{
    presenter() = std::move(p);
}

} // namespace copydata

bool showCopyDataMessage(const copydata::Record &record, Widget *widget)
{
    if (!widget)
        return false;
    const std::optional<QString> text = copydata::warningText(record);
    if (!text)
        return false;
    const QString title = widget->windowTitle();
    if (copydata::presenter())
        copydata::presenter()(title, *text);
    else
        QMessageBox::warning(nullptr, title, *text, QMessageBox::Ok);
    return true;
}
