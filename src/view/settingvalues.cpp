// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/settingvalues.h"

#include <QString>
#include <QStringList>

#include <cmath>
#include <limits>

namespace values {

namespace {

qint64 fromDouble(double d)
{
    if (!std::isfinite(d))
        return 0;
    // Out-of-range magnitudes only matter by their low bits; clamp to stay defined.
    constexpr double limit = 9.0e18;
    if (d > limit)
        d = limit;
    if (d < -limit)
        d = -limit;
    return static_cast<qint64>(d);
}

} // namespace

qint64 toInteger(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return fromDouble(value.toDouble());
    case QMetaType::Bool:
        return value.toBool() ? 1 : 0;
    case QMetaType::QString: {
        const QString text = value.toString().trimmed();
        bool ok = false;
        const qint64 i = text.toLongLong(&ok);
        if (ok)
            return i;
        const double d = text.toDouble(&ok);
        return ok ? fromDouble(d) : 0;
    }
    default: {
        bool ok = false;
        const qint64 i = value.toLongLong(&ok);
        if (ok)
            return i;
        const double d = value.toDouble(&ok);
        return ok ? fromDouble(d) : 0;
    }
    }
}

uint8_t toByte(const QVariant &value)
{
    return static_cast<uint8_t>(toInteger(value) & 0xFF);
}

qint64 integerAt(const QVariantList &list, int i)
{
    return i >= 0 && i < list.size() ? toInteger(list.at(i)) : 0;
}

uint8_t byteAt(const QVariantList &list, int i)
{
    return static_cast<uint8_t>(integerAt(list, i) & 0xFF);
}

std::vector<int> integers(const QVariantList &list, int n)
{
    std::vector<int> out;
    const int count = qMin(n, static_cast<int>(list.size()));
    out.reserve(count);
    for (int i = 0; i < count; ++i) {
        const qint64 v = toInteger(list.at(i));
        out.push_back(static_cast<int>(qBound(qint64(std::numeric_limits<int>::min()), v,
                                              qint64(std::numeric_limits<int>::max()))));
    }
    return out;
}

QVariantList toList(const QVariant &stored)
{
    if (!stored.isValid() || stored.isNull())
        return {};
    if (stored.typeId() == QMetaType::QVariantList)
        return stored.toList();
    if (stored.typeId() == QMetaType::QStringList) {
        QVariantList out;
        for (const QString &s : stored.toStringList())
            out << s;
        return out;
    }
    return {stored};
}

keys::KeyDefinition definitionAt(const QVariantList &list, int offset)
{
    return {byteAt(list, offset), byteAt(list, offset + 1), byteAt(list, offset + 2), byteAt(list, offset + 3)};
}

keys::KeyDefinition definition(const QVariant &stored)
{
    return definitionAt(toList(stored), 0);
}

QVariantList toVariant(const keys::KeyDefinition &definition)
{
    return {int(definition[0]), int(definition[1]), int(definition[2]), int(definition[3])};
}

} // namespace values
