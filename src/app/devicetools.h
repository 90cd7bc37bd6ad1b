// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Finding and adding a mouse from the command line:
//   --probe [--json]                               the hidraw interfaces and what the program makes of them
//   --add-device VID:PID --family 553|560 [--name]  a row in the user's own device table
//   --udev-rule                                     the rule that lets the user open the table's mice
// They run without a window, a display or the running instance. Exit codes: 0 done, 1 not done
// (the mouse is in the table already, a file could not be written), 2 bad arguments.

#include "device/deviceentry.h"
#include "device/reportdescriptor.h"

#include <QList>
#include <QString>
#include <QStringList>

class QTextStream;

namespace devicetools {

enum ExitCode { Done = 0, NotDone = 1, Usage = 2 };

// Where the commands read and write.
struct Context
{
    QString modules;          // the data folder's modules: the installed table, the device folders
    bool modulesWritable = true;
    QString factoryModules;   // the installed modules, whose device folders hold a family's factory files
    QString userTable;        // the user's own device table
    QString sysRoot;          // stands for "/" where sysfs and /dev are read
};

// One hidraw interface as sysfs describes it.
struct HidrawNode
{
    enum Access { Allowed, Denied, Missing };
    QString name;             // "hidraw3"
    QString devNode;          // its device node
    quint16 vid = 0;
    quint16 pid = 0;
    int interfaceNumber = -1; // USB interface; -1 when the bus has none
    QString deviceName;
    Access access = Missing;
    bool descriptorRead = false;
    reportdescriptor::Descriptor descriptor;
};

// A row of the device table as the tools see it.
struct KnownRow
{
    DeviceEntry entry;
    QString family;           // from its device folder: "553", "560", or empty
    bool user = false;        // from the user's own table
};

// The hidraw interfaces under sysRoot ("/": the machine's), in the order of their numbers.
QList<HidrawNode> scanHidraw(const QString &sysRoot);
// The rows of both tables with their families.
QList<KnownRow> knownRows(const Context &context);

// What --probe says of one interface (pure).
struct Verdict
{
    int row = -1;               // index into the known rows of the interface's ids; -1: none
    QStringList roles;          // "command", "status": that row's interfaces found here
    QStringList commandLike;    // families whose command interface this one looks like
    QStringList statusLike;     // families whose status interface this one looks like
};
Verdict judge(const HidrawNode &node, const QList<KnownRow> &rows);
QString probeText(const QList<HidrawNode> &nodes, const QList<KnownRow> &rows);
QByteArray probeJson(const QList<HidrawNode> &nodes, const QList<KnownRow> &rows);

// The row for a mouse added as `usual`'s family: `usual` with the usage pages and report length
// that the descriptors of the mouse's interfaces show; `notes` say where they came from (pure).
DeviceEntry proposeRow(const DeviceEntry &usual, const QList<HidrawNode> &nodes, QStringList *notes);

// Runs such a command for main() and returns its exit code.
int main(int argc, char **argv);
// Runs the command that `arguments` (the program's name first) ask for.
int run(const QStringList &arguments, const Context &context, QTextStream &out, QTextStream &err);

} // namespace devicetools
