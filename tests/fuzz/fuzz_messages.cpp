// SPDX-License-Identifier: GPL-3.0-or-later
// Frames from another local process: the single-instance message and the copy-data record.
#include "app/singleinstance.h"
#include "fuzz.h"

FUZZ_INPUT(data, size)
{
    fuzz::app();
    static SingleInstance instance(QStringLiteral("fuzz"));
    static const auto shown = QObject::connect(&instance, &SingleInstance::copyDataReceived,
                                               [](const copydata::Record &r) { copydata::warningText(r); });
    (void)shown;
    QByteArray record;
    if (SingleInstance::unframe(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), record)
        == SingleInstance::Frame::Complete)
        instance.dispatch(record);
}
