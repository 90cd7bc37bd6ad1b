// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the udev rule that lets the user at the seat open the hidraw nodes of exactly the
// devices in the device table:  mousecfg_udevrule devConfig.ini 70-mousecfg.rules
// The table is read by the program's own reader (the same keys, comments, byte-order mark and
// hexadecimal ids), so the rule covers exactly the devices the program looks for; the rule lines
// are those `mousecfg --udev-rule` prints.
#include "app/devicetable.h"

#include <QCoreApplication>
#include <QSaveFile>

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
    rule += devicetable::udevRules(devicetable::readFile(args.at(1)));
    QSaveFile out(args.at(2));
    if (!out.open(QIODevice::WriteOnly) || out.write(rule) != rule.size() || !out.commit()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(args.at(2)), qPrintable(out.errorString()));
        return 1;
    }
    return 0;
}
