// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/commandline.h"

#include <QJsonDocument>
#include <QMap>
#include <QRegularExpression>

namespace cli {

namespace {

const QStringList commands = {QStringLiteral("status"), QStringLiteral("get"),    QStringLiteral("set"),
                              QStringLiteral("profile"), QStringLiteral("export"), QStringLiteral("import"),
                              QStringLiteral("reset"),  QStringLiteral("macro"),  QStringLiteral("help")};
const QStringList settings = {QStringLiteral("dpi"), QStringLiteral("rate"), QStringLiteral("lod"),
                              QStringLiteral("light"), QStringLiteral("button")};
const QStringList macroActions = {QStringLiteral("list"), QStringLiteral("export"), QStringLiteral("import")};
const QList<int> rates = {125, 250, 500, 1000};
const QList<int> steps = {0, 25, 50, 75, 100};
constexpr int maxStages = 8;
constexpr int maxButtons = 16;
constexpr int maxColours = 8;

// Options that take a value, and the commands that take each.
const QMap<QString, QStringList> valueOptions = {
    {QStringLiteral("--stage"), {QStringLiteral("set dpi")}},
    {QStringLiteral("--speed"), {QStringLiteral("set light")}},
    {QStringLiteral("--brightness"), {QStringLiteral("set light")}},
    {QStringLiteral("--color"), {QStringLiteral("set light")}},
};
// They read their own words (devicetools.h).
const QStringList deviceTools = {QStringLiteral("--probe"), QStringLiteral("--add-device"), QStringLiteral("--udev-rule")};
const QStringList jsonCommands = {QStringLiteral("status"), QStringLiteral("get"), QStringLiteral("macro list")};

QString quoted(const QString &word)
{
    return QLatin1Char('"') + word + QLatin1Char('"');
}

QString listed(const QList<int> &values)
{
    QStringList words;
    for (int v : values)
        words << QString::number(v);
    return words.join(QStringLiteral(", "));
}

// A whole number in the text, or -1.
int number(const QString &text)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    return ok && n >= 0 ? n : -1;
}

bool looksLikeFamily(const QString &word)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    return digits.match(word).hasMatch();
}

struct Reader
{
    Request &r;
    QStringList words;           // after the command (and its topic)
    QMap<QString, QString> values;
    QString error;

    bool fail(const QString &text)
    {
        if (error.isEmpty())
            error = r.command + QStringLiteral(": ") + text;
        return false;
    }

    // Exactly n words, named by `what` when one is missing.
    bool take(int n, const QString &what)
    {
        if (words.size() < n)
            return fail(what);
        if (words.size() > n)
            return fail(QStringLiteral("unexpected %1").arg(quoted(words.at(n))));
        return true;
    }

    bool step(const QString &option, int *out)
    {
        if (!values.contains(option))
            return true;
        const QString text = values.value(option).remove(QLatin1Char('%'));
        *out = number(text);
        if (!steps.contains(*out))
            return fail(QStringLiteral("%1 %2 is no step (%3, in percent)").arg(option, quoted(values.value(option)), listed(steps)));
        return true;
    }

    void read()
    {
        const QString &c = r.command;
        if (c == QLatin1String("status") || c == QLatin1String("get") || c == QLatin1String("reset")
            || c == QLatin1String("macro list")) {
            take(0, QString());
        } else if (c == QLatin1String("set dpi")) {
            if (!take(1, QStringLiteral("which DPI values? (separated by commas, e.g. 400,800,1600)")))
                return;
            const QStringList parts = words.at(0).split(QLatin1Char(','));
            if (parts.size() > maxStages)
                return void(fail(QStringLiteral("at most %1 stages, %2 has %3").arg(maxStages).arg(quoted(words.at(0))).arg(parts.size())));
            for (const QString &part : parts) {
                const int dpi = number(part.trimmed());
                if (dpi <= 0)
                    return void(fail(QStringLiteral("%1 is no DPI value (separated by commas, e.g. 400,800,1600)").arg(quoted(part))));
                r.numbers << dpi;
            }
            if (values.contains(QStringLiteral("--stage"))) {
                r.stage = number(values.value(QStringLiteral("--stage")));
                if (r.stage < 1 || r.stage > r.numbers.size())
                    fail(QStringLiteral("--stage %1 is no stage (1 to %2)").arg(quoted(values.value(QStringLiteral("--stage")))).arg(r.numbers.size()));
            }
        } else if (c == QLatin1String("set rate")) {
            if (!take(1, QStringLiteral("which rate? (%1, in Hz)").arg(listed(rates))))
                return;
            r.numbers << number(words.at(0).toLower().remove(QStringLiteral("hz")));
            if (!rates.contains(r.numbers.first()))
                fail(QStringLiteral("%1 is no rate (%2, in Hz)").arg(quoted(words.at(0)), listed(rates)));
        } else if (c == QLatin1String("set lod")) {
            if (!take(1, QStringLiteral("which lift-off distance? (1, 2, in mm)")))
                return;
            r.numbers << number(words.at(0).toLower().remove(QStringLiteral("mm")));
            if (r.numbers.first() != 1 && r.numbers.first() != 2)
                fail(QStringLiteral("%1 is no lift-off distance (1, 2, in mm)").arg(quoted(words.at(0))));
        } else if (c == QLatin1String("set light")) {
            if (words.size() > 1)
                return void(fail(QStringLiteral("unexpected %1").arg(quoted(words.at(1)))));
            r.words = words;
            if (!step(QStringLiteral("--speed"), &r.speed) || !step(QStringLiteral("--brightness"), &r.brightness))
                return;
            if (values.contains(QStringLiteral("--color"))) {
                static const QRegularExpression rgb(QStringLiteral("^[0-9a-fA-F]{6}$"));
                r.colours = values.value(QStringLiteral("--color")).split(QLatin1Char(','));
                if (r.colours.size() > maxColours)
                    return void(fail(QStringLiteral("--color: at most %1 colours").arg(maxColours)));
                for (QString &colour : r.colours) {
                    colour = colour.trimmed().remove(QLatin1Char('#')).toLower();
                    if (!rgb.match(colour).hasMatch())
                        return void(fail(QStringLiteral("--color %1 is no colour (RRGGBB, e.g. ff8000)").arg(quoted(colour))));
                }
            }
            if (words.isEmpty() && values.isEmpty())
                fail(QStringLiteral("what to set? (a mode, --speed, --brightness, --color)"));
        } else if (c == QLatin1String("set button")) {
            if (words.isEmpty() || words.size() == 1)
                return void(fail(words.isEmpty() ? QStringLiteral("which button? (its number, then its function)")
                                                 : QStringLiteral("which function? (e.g. left, dpi+, key:ctrl+c)")));
            take(2, QString());
            r.numbers << number(words.at(0));
            r.words = words.mid(1, 1);
            if (r.numbers.first() < 1 || r.numbers.first() > maxButtons)
                fail(QStringLiteral("%1 is no button (1 to %2)").arg(quoted(words.at(0))).arg(maxButtons));
        } else if (c == QLatin1String("profile")) {
            if (take(1, QStringLiteral("which profile? (its number or name; \"get\" shows the current one)")))
                r.words = words;
        } else if (c == QLatin1String("export") || c == QLatin1String("import") || c == QLatin1String("macro import")) {
            if (take(1, QStringLiteral("which file?")))
                r.words = words;
        } else if (c == QLatin1String("macro export")) {
            if (take(2, words.isEmpty() ? QStringLiteral("which macro? (\"macro list\" lists them)") : QStringLiteral("which file?")))
                r.words = words;
        }
    }
};

} // namespace

bool Request::changes() const
{
    static const QStringList reading = {QStringLiteral("status"), QStringLiteral("get"), QStringLiteral("macro list"),
                                        QStringLiteral("export"), QStringLiteral("macro export")};
    return !reading.contains(command);
}

Parsed parse(const QStringList &arguments)
{
    Parsed result;
    Request &r = result.request;
    QStringList positional;
    QStringList unknown;
    QStringList toolkit;  // "-session ID", "-platform NAME": the toolkit's own options, for the window
    bool help = false;
    Reader reader{r, {}, {}, {}};
    QStringList flags;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (arg == QLatin1String("--")) {
            positional += arguments.mid(i + 1);
            break;
        }
        if (!arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-")) {
            positional << arg;
            continue;
        }
        const int equals = arg.indexOf(QLatin1Char('='));
        const QString name = equals < 0 ? arg : arg.left(equals);
        if (deviceTools.contains(name)) {
            result.kind = Parsed::DeviceTool;
            return result;
        }
        if (name == QLatin1String("--demo")) {
            r.demo = true;
            // "--demo 553" as well as "--demo=553"; a bare --demo is followed by a command.
            if (equals >= 0)
                r.demoFamily = arg.mid(equals + 1);
            else if (i + 1 < arguments.size() && looksLikeFamily(arguments.at(i + 1)))
                r.demoFamily = arguments.at(++i);
        } else if (valueOptions.contains(name)) {
            if (equals >= 0)
                reader.values[name] = arg.mid(equals + 1);
            else if (i + 1 < arguments.size())
                reader.values[name] = arguments.at(++i);
            else
                reader.error = QStringLiteral("%1 needs a value").arg(name);
        } else if (name == QLatin1String("-h") || name == QLatin1String("--help")) {
            help = true;
        } else if (equals < 0 && (name == QLatin1String("--json") || name == QLatin1String("--dry-run"))) {
            flags << name;
        } else if (equals < 0 && name == QLatin1String("--hidden")) {
            result.hidden = true;
        } else if (!arg.startsWith(QLatin1String("--")) && positional.isEmpty()) {
            toolkit << arg;
            // and its value, if it has one
            if (equals < 0 && i + 1 < arguments.size() && !arguments.at(i + 1).startsWith(QLatin1Char('-'))
                && !commands.contains(arguments.at(i + 1)))
                ++i;
        } else {
            unknown << arg;
        }
    }
    if (help || positional.value(0) == QLatin1String("help")) {
        result.kind = Parsed::Help;
        return result;
    }

    if (positional.isEmpty()) {
        if (!unknown.isEmpty())
            result.error = QStringLiteral("unknown option %1 (options: --hidden, --demo[=FAMILY], --probe, --add-device, "
                                          "--udev-rule, --help)")
                               .arg(quoted(unknown.first()));
        else if (!flags.isEmpty() || !reader.values.isEmpty())
            result.error = QStringLiteral("%1 goes with a command (commands: %2)")
                               .arg(flags.isEmpty() ? reader.values.firstKey() : flags.first(), commands.join(QStringLiteral(", ")));
        return result;
    }
    result.kind = Parsed::Command;
    if (!commands.contains(positional.first())) {
        result.error = QStringLiteral("unknown command %1 (commands: %2)")
                           .arg(quoted(positional.first()), commands.join(QStringLiteral(", ")));
        return result;
    }
    r.command = positional.first();
    reader.words = positional.mid(1);
    if (r.command == QLatin1String("set") || r.command == QLatin1String("macro")) {
        const QStringList &choices = r.command == QLatin1String("set") ? settings : macroActions;
        const QString topic = reader.words.value(0);
        if (!choices.contains(topic)) {
            result.error = QStringLiteral("%1: %2 (choices: %3)")
                               .arg(r.command,
                                    topic.isEmpty() ? QStringLiteral("what?") : QStringLiteral("unknown %1").arg(quoted(topic)),
                                    choices.join(QStringLiteral(", ")));
            return result;
        }
        r.command += QLatin1Char(' ') + topic;
        reader.words.removeFirst();
    }

    r.json = flags.contains(QStringLiteral("--json"));
    r.dryRun = flags.contains(QStringLiteral("--dry-run"));
    if (result.hidden)
        unknown.prepend(QStringLiteral("--hidden"));
    unknown = toolkit + unknown;
    if (!unknown.isEmpty()) {
        result.error = QStringLiteral("%1: unknown option %2 (options: --demo[=FAMILY], --dry-run%3)")
                           .arg(r.command, quoted(unknown.first()),
                                jsonCommands.contains(r.command) ? QStringLiteral(", --json") : QString());
        return result;
    }
    if (r.json && !jsonCommands.contains(r.command)) {
        result.error = QStringLiteral("%1: --json is for %2").arg(r.command, jsonCommands.join(QStringLiteral(", ")));
        return result;
    }
    for (auto option = reader.values.cbegin(); option != reader.values.cend(); ++option)
        if (!valueOptions.value(option.key()).contains(r.command)) {
            result.error = QStringLiteral("%1: %2 is for %3")
                               .arg(r.command, option.key(), valueOptions.value(option.key()).join(QStringLiteral(", ")));
            return result;
        }
    if (!reader.error.isEmpty()) {
        result.error = r.command + QStringLiteral(": ") + reader.error;
        return result;
    }
    reader.read();
    result.error = reader.error;
    return result;
}

QString helpText()
{
    return QStringLiteral(
        "Usage: mousecfg [--hidden] [--demo[=553|560|3395]]\n"
        "       mousecfg [--demo[=553|560|3395]] [--dry-run] COMMAND ...\n"
        "       mousecfg --probe [--json]\n"
        "       mousecfg --add-device VID:PID --family 553|560 [--name TEXT]\n"
        "       mousecfg --udev-rule\n"
        "\n"
        "Without a command mousecfg shows its window and lives in the tray (--hidden: only the tray).\n"
        "\n"
        "Commands (on the current profile of the connected mouse):\n"
        "  status                      device, profile, active stage and report rate\n"
        "  get [--json]                everything the window shows\n"
        "  set dpi V1,V2,... [--stage N]\n"
        "                              the DPI stages (as many as values); N: the active stage\n"
        "  set rate 125|250|500|1000   the report rate in Hz\n"
        "  set lod 1|2                 the lift-off distance in mm (mice that have it)\n"
        "  set light [MODE] [--speed P] [--brightness P] [--color RRGGBB[,...]]\n"
        "                              lighting: a mode \"get\" names, P 0, 25, 50, 75 or 100 (%),\n"
        "                              the colours of blocks 1, 2, ...\n"
        "  set button N FUNCTION       left, right, middle, forward, back, double-fire, none,\n"
        "                              dpi+, dpi-, dpi-loop, sniper, gun1..gun3, player, next,\n"
        "                              previous, stop, mute, play-pause, volume-up, volume-down,\n"
        "                              my-pc, home-page, search, maximise, minimise, desktop, run,\n"
        "                              new, cut, copy, paste, save, print, find, redo, undo,\n"
        "                              select-all, fire:KEY[,RATEms[,TIMES]], key:KEY[+KEY...],\n"
        "                              macro:NAME[,once|loop|hold]\n"
        "  profile N|NAME              switch to a profile of the window's list\n"
        "  export FILE                 the current profile to a file (.pf)\n"
        "  import FILE                 the current profile replaced by a file, and sent\n"
        "  reset                       the current profile back to its factory settings\n"
        "  macro list [--json]         the macros with their events\n"
        "  macro export NAME FILE      a macro to a file (.mc)\n"
        "  macro import FILE           a macro from a file, under the next free name\n"
        "  help, --help, -h            this text\n"
        "\n"
        "  --demo[=553|560|3395]       a virtual mouse instead of the attached ones (560 when bare)\n"
        "  --dry-run                   print the reports that would be sent; change nothing\n"
        "\n"
        "While mousecfg runs in the tray a command is handed to it, so that only one program\n"
        "talks to the mouse.\n"
        "\n"
        "Finding and adding a mouse (no display needed):\n"
        "  --probe [--json]            the hidraw interfaces and what mousecfg makes of them\n"
        "  --add-device VID:PID --family 553|560 [--name TEXT]\n"
        "                              add the mouse of these USB ids (hexadecimal) to your own\n"
        "                              device table\n"
        "  --udev-rule                 the udev rule that lets the user at the seat open the mice\n"
        "                              of the device table\n"
        "\n"
        "Exit codes of a command: 0 done, 2 bad arguments, 3 no mouse, 4 mouse not accessible\n"
        "(see --udev-rule), 5 the mouse refused or did not answer, 6 the saved state did not\n"
        "verify, 7 the window has unsaved changes or an open dialog. Of --probe, --add-device\n"
        "and --udev-rule: 0 done, 1 not done (the mouse is in the table already, a file cannot\n"
        "be written), 2 bad arguments.\n");
}

namespace {

QString line(const QString &name, const QString &value)
{
    return name.leftJustified(12) + value + QLatin1Char('\n');
}

QString joined(const QVariant &list, const QString &separator = QStringLiteral(","))
{
    QStringList words;
    for (const QVariant &v : list.toList())
        words << v.toString();
    return words.join(separator);
}

} // namespace

QString stateText(const QVariantMap &state, bool statusOnly)
{
    const QVariantMap device = state.value(QStringLiteral("device")).toMap();
    const QVariantMap profile = state.value(QStringLiteral("profile")).toMap();
    const QVariantMap dpi = state.value(QStringLiteral("dpi")).toMap();
    const QVariantList stages = dpi.value(QStringLiteral("stages")).toList();
    const int active = dpi.value(QStringLiteral("active")).toInt();
    QString out = line(QStringLiteral("device"), device.value(QStringLiteral("id")).toString() + QStringLiteral(", family ")
                                                      + device.value(QStringLiteral("family")).toString());
    out += line(QStringLiteral("profile"), profile.value(QStringLiteral("slot")).toString() + QStringLiteral(" (")
                                              + profile.value(QStringLiteral("name")).toString() + QLatin1Char(')'));
    out += line(QStringLiteral("stage"), QStringLiteral("%1 of %2: %3 dpi")
                                             .arg(active)
                                             .arg(stages.size())
                                             .arg(stages.value(active - 1).toString()));
    out += line(QStringLiteral("rate"), state.value(QStringLiteral("rate")).toString() + QStringLiteral(" Hz"));
    if (statusOnly)
        return out;
    out += line(QStringLiteral("dpi"), joined(stages));
    if (state.contains(QStringLiteral("lod")))
        out += line(QStringLiteral("lod"), state.value(QStringLiteral("lod")).toString() + QStringLiteral(" mm"));
    const QVariantMap light = state.value(QStringLiteral("light")).toMap();
    out += line(QStringLiteral("light"), QStringLiteral("%1, speed %2%, brightness %3%")
                                             .arg(light.value(QStringLiteral("mode")).toString(),
                                                  light.value(QStringLiteral("speed")).toString(),
                                                  light.value(QStringLiteral("brightness")).toString()));
    out += line(QStringLiteral("color"), joined(light.value(QStringLiteral("colors"))));
    for (const QVariant &b : state.value(QStringLiteral("buttons")).toList()) {
        const QVariantMap button = b.toMap();
        out += line(QStringLiteral("button ") + button.value(QStringLiteral("button")).toString(),
                    button.value(QStringLiteral("function")).toString());
    }
    const QString macros = joined(state.value(QStringLiteral("macros")), QStringLiteral(", "));
    out += line(QStringLiteral("macros"), macros.isEmpty() ? QStringLiteral("none") : macros);
    for (const QVariant &g : state.value(QStringLiteral("guns")).toList()) {
        const QVariantMap gun = g.toMap();
        out += line(QStringLiteral("gun ") + gun.value(QStringLiteral("slot")).toString(),
                    QStringLiteral("%1: period %2 ms, x %3, y %4, times %5")
                        .arg(gun.value(QStringLiteral("name")).toString(), gun.value(QStringLiteral("period")).toString(),
                             gun.value(QStringLiteral("x")).toString(), gun.value(QStringLiteral("y")).toString(),
                             gun.value(QStringLiteral("times")).toString()));
    }
    return out;
}

QString macrosText(const QVariantList &macros)
{
    QString out;
    for (const QVariant &m : macros) {
        const QVariantMap macro = m.toMap();
        out += macro.value(QStringLiteral("name")).toString() + QStringLiteral(" (repeat ")
               + macro.value(QStringLiteral("repeat")).toString() + QStringLiteral("): ")
               + joined(macro.value(QStringLiteral("events")), QStringLiteral(" ")) + QLatin1Char('\n');
    }
    return out;
}

QString jsonText(const QVariant &value)
{
    return QString::fromUtf8(QJsonDocument::fromVariant(value).toJson(QJsonDocument::Indented));
}

} // namespace cli
