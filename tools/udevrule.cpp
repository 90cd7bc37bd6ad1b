// Writes the udev rule that lets the user at the seat open the hidraw nodes of exactly the
// devices in the device table:  mousecfg_udevrule devConfig.ini 70-mousecfg.rules
// The table is read by the program's own reader (the same keys, comments, byte-order mark and
// hexadecimal ids), so the rule covers exactly the devices the program looks for. A zero id
// would match every device, so such a row gets no rule.
#include "app/devicetable.h"

#include <QCoreApplication>
#include <QSaveFile>
#include <QSet>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: mousecfg_udevrule TABLE OUTPUT\n");
        return 2;
    }
    QByteArray rule = "# mousecfg: the user at the seat may open the hidraw nodes of the devices mousecfg configures.\n"
                      "# Generated from its device table (modules/devConfig.ini); do not edit.\n";
    QSet<QByteArray> seen;
    for (const DeviceEntry &entry : devicetable::readFile(args.at(1))) {
        const QByteArray vid = QByteArray::number(entry.vid, 16).rightJustified(4, '0');
        const QByteArray pid = QByteArray::number(entry.pid, 16).rightJustified(4, '0');
        if (!entry.vid || !entry.pid || seen.contains(vid + pid))
            continue;
        seen.insert(vid + pid);
        rule += "KERNEL==\"hidraw*\", SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"" + vid + "\", ATTRS{idProduct}==\"" + pid
            + "\", TAG+=\"uaccess\"\n";
    }
    QSaveFile out(args.at(2));
    if (!out.open(QIODevice::WriteOnly) || out.write(rule) != rule.size() || !out.commit()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(args.at(2)), qPrintable(out.errorString()));
        return 1;
    }
    return 0;
}
