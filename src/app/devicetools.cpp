// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/devicetools.h"

#include "app/datafolder.h"
#include "app/devicetable.h"
#include "device/hidapi_seam.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QMap>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSettings>
#include <QTextStream>

#include <algorithm>

namespace devicetools {

namespace {

using reportdescriptor::Collection;
using reportdescriptor::ReportType;

const QStringList Families = {QStringLiteral("553"), QStringLiteral("560")};
const QString LocalRuleFile = QStringLiteral("/etc/udev/rules.d/70-mousecfg-local.rules");
// hidraw limits a descriptor to 4 KiB; anything longer is not read further.
constexpr qint64 MaxDescriptor = 65536;

QString hex4(quint16 value)
{
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0'));
}

QString ids(quint16 vid, quint16 pid)
{
    return hex4(vid) + QLatin1Char(':') + hex4(pid);
}

QString deviceFolder(const QString &modules, quint16 pid)
{
    return modules + QLatin1Char('/') + QString::number(pid, 16);
}

// The firmware family a device folder's factory settings name.
QString familyOf(const QString &folder)
{
    for (const char *file : {"/setting/apConfigD.bin", "/setting/apConfig.bin"}) {
        const QString path = folder + QLatin1String(file);
        if (QFileInfo(path).isFile())
            return QSettings(path, QSettings::IniFormat).value(QStringLiteral("mouse/icType")).toString();
    }
    return QString();
}

QMap<QString, QString> ueventOf(const QString &file)
{
    QMap<QString, QString> keys;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return keys;
    for (const QByteArray &line : f.read(MaxDescriptor).split('\n')) {
        const int eq = line.indexOf('=');
        if (eq > 0)
            keys.insert(QString::fromUtf8(line.left(eq)), QString::fromUtf8(line.mid(eq + 1)).trimmed());
    }
    return keys;
}

QStringList sortedUnique(QStringList families)
{
    families.removeDuplicates();
    families.sort();
    return families;
}

bool matchesCommand(const Collection &c, const DeviceEntry &e)
{
    const int length = c.length(ReportType::Output) ? c.length(ReportType::Output) : c.length(ReportType::Input);
    return c.usagePage == e.usagePage && c.usage == e.usage && (!length || length == e.reportLength);
}

bool matchesStatus(const Collection &c, const DeviceEntry &e)
{
    return c.usagePage == e.usagePage2 && c.usage == e.usage2;
}

QString accessText(const HidrawNode &node)
{
    switch (node.access) {
    case HidrawNode::Allowed: return QStringLiteral("yes");
    case HidrawNode::Denied:
        return QStringLiteral("no: this user lacks the permission (mousecfg --udev-rule prints the rule that grants it)");
    case HidrawNode::Missing: break;
    }
    return QStringLiteral("no: there is no device node ") + node.devNode;
}

QString rowText(const KnownRow &row)
{
    QString text = ids(row.entry.vid, row.entry.pid);
    if (!row.family.isEmpty())
        text += QStringLiteral(", ") + row.family + QStringLiteral(" family");
    if (!row.entry.name.isEmpty())
        text += QStringLiteral(", \"") + row.entry.name + QLatin1Char('"');
    return text + (row.user ? QStringLiteral(", added by you") : QStringLiteral(", installed"));
}

// Copies the factory files of a settings folder over the working ones: a new mouse starts from
// the family's factory state, not from the settings of the mouse whose folder was copied.
bool resetToFactory(const QString &copy)
{
    const QDir setting(copy + QStringLiteral("/setting"));
    const QRegularExpression profile(QStringLiteral("^p\\d+\\.bin$"));
    bool ok = true;
    for (const QString &name : setting.entryList(QDir::Files)) {
        const QString factory = name == QLatin1String("apConfig.bin") ? QStringLiteral("apConfigD.bin")
            : profile.match(name).hasMatch()                          ? QStringLiteral("pD.bin")
                                                                      : QString();
        QFile source(setting.filePath(factory));
        if (factory.isEmpty() || !source.exists())
            continue;
        QSaveFile target(setting.filePath(name));
        ok = source.open(QIODevice::ReadOnly) && target.open(QIODevice::WriteOnly)
            && target.write(source.readAll()) == source.size() && target.commit() && ok;
    }
    QDir macros(copy + QStringLiteral("/macro"));
    return macros.removeRecursively() && QDir().mkpath(macros.path()) && ok;
}

bool parseIds(const QString &text, quint16 *vid, quint16 *pid)
{
    static const QRegularExpression pattern(QStringLiteral("^([0-9a-fA-F]{1,4}):([0-9a-fA-F]{1,4})$"));
    const QRegularExpressionMatch m = pattern.match(text.trimmed());
    if (!m.hasMatch())
        return false;
    *vid = devicetable::parseHex16(m.captured(1));
    *pid = devicetable::parseHex16(m.captured(2));
    return *vid && *pid;
}

int probe(const Context &context, bool json, QTextStream &out)
{
    const QList<HidrawNode> nodes = scanHidraw(context.sysRoot);
    const QList<KnownRow> rows = knownRows(context);
    if (json)
        out << probeJson(nodes, rows);
    else
        out << probeText(nodes, rows);
    return Done;
}

int udevRule(const Context &context, QTextStream &out)
{
    QList<DeviceEntry> entries;
    for (const KnownRow &row : knownRows(context))
        entries << row.entry;
    out << "# mousecfg: the user at the seat may open the hidraw nodes of the mice mousecfg uses\n"
           "# (its installed device table and the mice added with mousecfg --add-device).\n"
           "# Install it and apply it to the mice plugged in:\n"
           "#   mousecfg --udev-rule | sudo tee " << LocalRuleFile << "\n"
           "#   sudo udevadm control --reload-rules\n"
           "#   sudo udevadm trigger --subsystem-match=hidraw --action=add\n";
    out << QString::fromUtf8(devicetable::udevRules(entries));
    return Done;
}

int addDevice(const Context &context, const QString &idText, const QString &family, const QString &name, bool nameGiven,
              QTextStream &out, QTextStream &err)
{
    quint16 vid = 0, pid = 0;
    if (!parseIds(idText, &vid, &pid)) {
        err << "mousecfg: malformed id \"" << idText
            << "\": expected VID:PID, two non-zero hexadecimal numbers of up to four digits (such as 1d57:fa60)\n";
        return Usage;
    }
    if (!Families.contains(family)) {
        err << "mousecfg: unknown family \"" << family << "\": valid choices are " << Families.join(QStringLiteral(", "))
            << '\n';
        return Usage;
    }
    if (!context.modulesWritable || context.userTable.isEmpty()) {
        err << "mousecfg: no data folder of this user can be written (is HOME set and writable?)\n";
        return NotDone;
    }
    const QList<KnownRow> rows = knownRows(context);
    const KnownRow *usual = nullptr;
    for (const KnownRow &row : rows) {
        if (row.entry.vid == vid && row.entry.pid == pid) {
            err << "mousecfg: " << ids(vid, pid) << " is in the device table already (" << rowText(row) << ")\n";
            return NotDone;
        }
        if (row.entry.pid == pid) {
            err << "mousecfg: product id " << hex4(pid) << " is taken by " << rowText(row)
                << ": each mouse keeps its settings in a folder named by its product id\n";
            return NotDone;
        }
        if (!usual && !row.user && row.family == family
            && QFileInfo(deviceFolder(context.factoryModules, row.entry.pid)).isDir())
            usual = &row;
    }
    if (!usual) {
        err << "mousecfg: the installed data has no " << family << " mouse to take factory settings from\n";
        return NotDone;
    }

    QList<HidrawNode> present;
    for (const HidrawNode &node : scanHidraw(context.sysRoot))
        if (node.vid == vid && node.pid == pid)
            present << node;
    QStringList notes;
    DeviceEntry entry = proposeRow(usual->entry, present, &notes);
    entry.type = 1;
    entry.vid = vid;
    entry.pid = pid;
    entry.name = nameGiven || present.isEmpty() ? name : present.first().deviceName;
    entry.path.clear();
    entry.path2.clear();

    // The settings folder first: a row is never without one. A folder left by an earlier row of
    // this id is kept (it holds the user's settings) when it is of the same family.
    const QString folder = deviceFolder(context.modules, pid);
    if (QFileInfo::exists(folder)) {
        const QString had = familyOf(folder);
        if (had != family) {
            err << "mousecfg: " << QDir::toNativeSeparators(folder) << " holds the settings of a "
                << (had.isEmpty() ? QStringLiteral("mouse of no known family") : had + QStringLiteral(" mouse"))
                << "; move it away or add the mouse with --family " << (had.isEmpty() ? family : had) << '\n';
            return NotDone;
        }
        notes << QStringLiteral("its settings folder was there already and is kept");
    } else if (!datafolder::addDeviceFolder(deviceFolder(context.factoryModules, usual->entry.pid), context.modules,
                                            QString::number(pid, 16), resetToFactory)) {
        err << "mousecfg: cannot create the settings folder " << QDir::toNativeSeparators(folder) << '\n';
        return NotDone;
    }

    QList<DeviceEntry> mine = devicetable::readFile(context.userTable);
    if (mine.size() >= devicetable::maxEntries) {
        err << "mousecfg: " << context.userTable << " holds " << devicetable::maxEntries << " mice already\n";
        return NotDone;
    }
    mine << entry;
    QString why;
    if (!devicetable::writeFile(context.userTable, mine, &why)) {
        err << "mousecfg: cannot write " << QDir::toNativeSeparators(context.userTable) << ": " << why << '\n';
        return NotDone;
    }
    out << "Added " << ids(vid, pid) << " as a " << family << " mouse" << (entry.name.isEmpty() ? QString() : QStringLiteral(" (\"") + entry.name + QStringLiteral("\")"))
        << " to " << QDir::toNativeSeparators(context.userTable) << ":\n"
        << "  command interface " << hex4(entry.usagePage) << ':' << hex4(entry.usage) << ", status interface "
        << hex4(entry.usagePage2) << ':' << hex4(entry.usage2) << ", " << entry.reportLength << "-byte reports\n";
    for (const QString &note : notes)
        out << "  " << note << '\n';
    out << "  settings: " << QDir::toNativeSeparators(folder) << '\n'
        << "Unless this user may open it already (mousecfg --probe says), install the rule that lets them:\n"
        << "  mousecfg --udev-rule | sudo tee " << LocalRuleFile << "\n"
        << "then unplug the mouse and plug it in again.\n";
    return Done;
}

} // namespace

QList<HidrawNode> scanHidraw(const QString &sysRoot)
{
    const QString root = sysRoot.isEmpty() || sysRoot == QLatin1String("/") ? QString() : sysRoot;
    const QDir classDir(root + QStringLiteral("/sys/class/hidraw"));
    QStringList names = classDir.entryList({QStringLiteral("hidraw*")}, QDir::Dirs | QDir::NoDotAndDotDot | QDir::System);
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    QList<HidrawNode> nodes;
    for (const QString &name : names) {
        HidrawNode node;
        node.name = name;
        const QString dir = classDir.filePath(name);
        const QString devName = ueventOf(dir + QStringLiteral("/uevent")).value(QStringLiteral("DEVNAME"), name);
        node.devNode = root + QStringLiteral("/dev/") + devName;
        const QMap<QString, QString> hid = ueventOf(dir + QStringLiteral("/device/uevent"));
        // HID_ID=0003:00001209:00005600 (bus, vendor, product)
        const QStringList id = hid.value(QStringLiteral("HID_ID")).split(QLatin1Char(':'));
        if (id.size() == 3) {
            node.vid = quint16(id.at(1).toUInt(nullptr, 16));
            node.pid = quint16(id.at(2).toUInt(nullptr, 16));
        }
        node.deviceName = hid.value(QStringLiteral("HID_NAME"));
        // HID_PHYS=usb-0000:00:14.0-2/input1 names the USB interface.
        static const QRegularExpression input(QStringLiteral("/input(\\d+)$"));
        const QRegularExpressionMatch m = input.match(hid.value(QStringLiteral("HID_PHYS")));
        if (m.hasMatch())
            node.interfaceNumber = m.captured(1).toInt();
        QFile descriptor(dir + QStringLiteral("/device/report_descriptor"));
        if (descriptor.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = descriptor.read(MaxDescriptor);
            node.descriptorRead = true;
            node.descriptor = reportdescriptor::parse(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
        }
        if (!QFileInfo::exists(node.devNode))
            node.access = HidrawNode::Missing;
        else
            node.access = hid::access_denied(QFile::encodeName(node.devNode).constData()) ? HidrawNode::Denied
                                                                                           : HidrawNode::Allowed;
        nodes << node;
    }
    return nodes;
}

QList<KnownRow> knownRows(const Context &context)
{
    QList<KnownRow> rows;
    for (const bool user : {false, true}) {
        const QString table = user ? context.userTable : context.modules + QStringLiteral("/devConfig.ini");
        for (const DeviceEntry &entry : devicetable::readFile(table))
            rows << KnownRow{entry, familyOf(deviceFolder(context.modules, entry.pid)), user};
    }
    return rows;
}

Verdict judge(const HidrawNode &node, const QList<KnownRow> &rows)
{
    Verdict v;
    for (int i = 0; i < rows.size() && v.row < 0; ++i)
        if (rows.at(i).entry.vid == node.vid && rows.at(i).entry.pid == node.pid)
            v.row = i;
    for (const Collection &c : node.descriptor.collections) {
        if (v.row >= 0) {
            const DeviceEntry &e = rows.at(v.row).entry;
            if (c.usagePage == e.usagePage && c.usage == e.usage)
                v.roles << QStringLiteral("command");
            if (matchesStatus(c, e))
                v.roles << QStringLiteral("status");
            continue;
        }
        for (const KnownRow &row : rows) {
            if (row.family.isEmpty())
                continue;
            if (matchesCommand(c, row.entry))
                v.commandLike << row.family;
            if (matchesStatus(c, row.entry))
                v.statusLike << row.family;
        }
    }
    v.roles.removeDuplicates();
    v.commandLike = sortedUnique(v.commandLike);
    v.statusLike = sortedUnique(v.statusLike);
    return v;
}

QString probeText(const QList<HidrawNode> &nodes, const QList<KnownRow> &rows)
{
    QString text;
    int inTable = 0;
    for (const HidrawNode &node : nodes) {
        text += node.name + QStringLiteral("  ") + ids(node.vid, node.pid) + QStringLiteral("  interface ")
            + (node.interfaceNumber < 0 ? QStringLiteral("-") : QString::number(node.interfaceNumber))
            + QStringLiteral("  \"") + node.deviceName + QStringLiteral("\"\n  may open: ") + accessText(node)
            + QLatin1Char('\n');
        for (const Collection &c : node.descriptor.collections)
            text += QStringLiteral("  ") + QString::fromStdString(c.describe()) + QLatin1Char('\n');
        if (!node.descriptorRead)
            text += QStringLiteral("  report descriptor: cannot be read\n");
        else if (!node.descriptor.problemText.empty())
            text += QStringLiteral("  report descriptor: ") + QString::fromStdString(node.descriptor.problemText) + QLatin1Char('\n');
        const Verdict v = judge(node, rows);
        if (v.row >= 0) {
            ++inTable;
            text += QStringLiteral("  in the device table (") + rowText(rows.at(v.row)) + QStringLiteral("): ")
                + (v.roles.isEmpty() ? QStringLiteral("an interface the program does not use")
                                     : v.roles.join(QStringLiteral(" and ")) + QStringLiteral(" interface"))
                + QLatin1Char('\n');
        } else if (!v.commandLike.isEmpty()) {
            text += QStringLiteral("  not in the device table; looks like the command interface of a ")
                + v.commandLike.join(QStringLiteral(" or ")) + QStringLiteral(" mouse: mousecfg --add-device ")
                + ids(node.vid, node.pid) + QStringLiteral(" --family ") + v.commandLike.first() + QLatin1Char('\n');
        } else if (!v.statusLike.isEmpty()) {
            text += QStringLiteral("  not in the device table; looks like the status interface of a ")
                + v.statusLike.join(QStringLiteral(" or ")) + QStringLiteral(" mouse\n");
        } else {
            text += QStringLiteral("  not in the device table\n");
        }
    }
    if (nodes.isEmpty())
        return QStringLiteral("No hidraw interfaces found.\n");
    return text + QStringLiteral("%1 hidraw interface(s), %2 of a mouse in the device table.\n").arg(nodes.size()).arg(inTable);
}

QByteArray probeJson(const QList<HidrawNode> &nodes, const QList<KnownRow> &rows)
{
    static const char *const accessNames[] = {"yes", "denied", "missing"};
    QJsonArray list;
    for (const HidrawNode &node : nodes) {
        QJsonArray collections;
        for (const Collection &c : node.descriptor.collections) {
            QJsonArray reportIds;
            for (const reportdescriptor::Report &r : c.reports)
                if (r.id && !reportIds.contains(int(r.id)))
                    reportIds << int(r.id);
            collections << QJsonObject{{"usagePage", hex4(c.usagePage)}, {"usage", hex4(c.usage)},
                                       {"input", c.length(ReportType::Input)}, {"output", c.length(ReportType::Output)},
                                       {"feature", c.length(ReportType::Feature)}, {"reportIds", reportIds}};
        }
        const Verdict v = judge(node, rows);
        QJsonValue row;
        if (v.row >= 0) {
            const KnownRow &known = rows.at(v.row);
            row = QJsonObject{{"table", known.user ? "user" : "installed"}, {"family", known.family},
                              {"name", known.entry.name}, {"roles", QJsonArray::fromStringList(v.roles)}};
        }
        list << QJsonObject{
            {"node", node.name},
            {"devNode", node.devNode},
            {"vendorId", hex4(node.vid)},
            {"productId", hex4(node.pid)},
            {"interface", node.interfaceNumber},
            {"name", node.deviceName},
            {"access", accessNames[node.access]},
            {"collections", collections},
            {"descriptorProblem", !node.descriptorRead ? QStringLiteral("cannot be read")
                                                       : QString::fromStdString(node.descriptor.problemText)},
            {"tableRow", row},
            {"looksLike", QJsonObject{{"command", QJsonArray::fromStringList(v.commandLike)},
                                      {"status", QJsonArray::fromStringList(v.statusLike)}}},
        };
    }
    return QJsonDocument(QJsonObject{{"interfaces", list}}).toJson();
}

DeviceEntry proposeRow(const DeviceEntry &usual, const QList<HidrawNode> &nodes, QStringList *notes)
{
    DeviceEntry row = usual;
    if (nodes.isEmpty()) {
        *notes << QStringLiteral("the mouse is not plugged in: the usual values of its family are used");
        return row;
    }
    // Vendor-defined collections; the command interface takes requests (feature or output
    // reports), the status interface only sends. The family's own usages come first.
    struct Found { const HidrawNode *node; const Collection *c; };
    QList<Found> vendor;
    for (const HidrawNode &node : nodes)
        for (const Collection &c : node.descriptor.collections)
            if (c.usagePage >= 0xFF00)
                vendor << Found{&node, &c};
    auto pick = [&](auto same, auto fits, const Collection *besides) -> Found {
        for (const Found &f : vendor)
            if (f.c != besides && same(*f.c))
                return f;
        for (const Found &f : vendor)
            if (f.c != besides && fits(*f.c))
                return f;
        return Found{nullptr, nullptr};
    };
    const Found command = pick([&](const Collection &c) { return c.usagePage == usual.usagePage && c.usage == usual.usage; },
                               [](const Collection &c) { return c.length(ReportType::Output) || c.length(ReportType::Feature); },
                               nullptr);
    if (!command.c) {
        *notes << QStringLiteral("no descriptor of the mouse shows a vendor command interface: the usual values of its family are used");
        return row;
    }
    row.usagePage = command.c->usagePage;
    row.usage = command.c->usage;
    if (const int length = command.c->length(ReportType::Output) ? command.c->length(ReportType::Output)
                                                                 : command.c->length(ReportType::Input))
        row.reportLength = length;
    *notes << QStringLiteral("command interface and report length read from the descriptor of ") + command.node->name;
    const Found status = pick([&](const Collection &c) { return matchesStatus(c, usual); },
                              [](const Collection &c) { return c.length(ReportType::Input) && !c.length(ReportType::Output)
                                                               && !c.length(ReportType::Feature); },
                              command.c);
    if (status.c) {
        row.usagePage2 = status.c->usagePage;
        row.usage2 = status.c->usage;
        *notes << QStringLiteral("status interface read from the descriptor of ") + status.node->name;
    } else {
        *notes << QStringLiteral("no descriptor shows a status interface: the family's usual one is assumed");
    }
    return row;
}

namespace {

struct Options
{
    QCommandLineOption probe{QStringLiteral("probe"), QStringLiteral("List the hidraw interfaces and what mousecfg makes of them.")};
    QCommandLineOption json{QStringLiteral("json"), QStringLiteral("With --probe: print JSON.")};
    QCommandLineOption add{QStringLiteral("add-device"),
                           QStringLiteral("Add the mouse of these USB ids (hexadecimal) to your own device table."),
                           QStringLiteral("VID:PID")};
    QCommandLineOption family{QStringLiteral("family"), QStringLiteral("With --add-device: its firmware family, 553 or 560."),
                              QStringLiteral("family")};
    QCommandLineOption name{QStringLiteral("name"), QStringLiteral("With --add-device: a name for it."), QStringLiteral("text")};
    QCommandLineOption udev{QStringLiteral("udev-rule"),
                            QStringLiteral("Print the udev rule that lets the user at the seat open every mouse of the device table.")};

    void addTo(QCommandLineParser &parser) const { parser.addOptions({probe, json, add, family, name, udev}); }
};

} // namespace

int run(const QStringList &arguments, const Context &context, QTextStream &out, QTextStream &err)
{
    const Options o;
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Find and add a mouse. Exit codes: 0 done, 1 not done (the mouse is in the device table already, "
        "a file cannot be written), 2 bad arguments."));
    const QCommandLineOption help = parser.addHelpOption();
    o.addTo(parser);
    auto usage = [&](const QString &why) {
        err << "mousecfg: " << why << "\nUsage: mousecfg --probe [--json] | --add-device VID:PID --family 553|560 "
               "[--name TEXT] | --udev-rule\n";
        return Usage;
    };
    if (!parser.parse(arguments))
        return usage(parser.errorText());
    if (parser.isSet(help)) {
        out << parser.helpText();
        return Done;
    }
    if (!parser.positionalArguments().isEmpty())
        return usage(QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first()));
    const int commands = int(parser.isSet(o.probe)) + int(parser.isSet(o.add)) + int(parser.isSet(o.udev));
    if (commands != 1)
        return usage(QStringLiteral("give one of --probe, --add-device and --udev-rule"));
    if (parser.isSet(o.json) && !parser.isSet(o.probe))
        return usage(QStringLiteral("--json goes with --probe"));
    if ((parser.isSet(o.family) || parser.isSet(o.name)) && !parser.isSet(o.add))
        return usage(QStringLiteral("--family and --name go with --add-device"));
    if (parser.isSet(o.probe))
        return probe(context, parser.isSet(o.json), out);
    if (parser.isSet(o.udev))
        return udevRule(context, out);
    if (!parser.isSet(o.family))
        return usage(QStringLiteral("--add-device needs --family (553 or 560)"));
    return addDevice(context, parser.value(o.add), parser.value(o.family), parser.value(o.name), parser.isSet(o.name), out,
                     err);
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("mousecfg"));
    QCoreApplication::setApplicationName(QStringLiteral("mousecfg"));
    // These commands say what they do themselves; the program's debug lines (the data folder in
    // use) stay out of their output unless QT_LOGGING_RULES asks for them.
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    const QString exeDir = QCoreApplication::applicationDirPath();
    const datafolder::Choice choice = datafolder::current(exeDir);
    Context context;
    // Without a data folder of its own the program works on the installed one: never written.
    context.modulesWritable = datafolder::enter(exeDir).isEmpty();
    context.modules = QDir::current().absoluteFilePath(QStringLiteral("modules"));
    context.factoryModules = (choice.installed.isEmpty() ? QDir::currentPath() : choice.installed) + QStringLiteral("/modules");
    context.userTable = datafolder::userTable();
    // Tests point the commands at a made-up machine: a folder holding sys/ and dev/.
    context.sysRoot = qEnvironmentVariable("MOUSECFG_SYSROOT", QStringLiteral("/"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return run(app.arguments(), context, out, err);
}

} // namespace devicetools
