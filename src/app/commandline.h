// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The command line ("mousecfg set dpi 400,800"): its words read into a request, and the
// request's answers put into words. Pure functions: no device, no files, no output.

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace cli {

// The exit codes of a command (--help and the manual page list them).
enum ExitCode {
    Done = 0,
    Usage = 2,          // the words do not make a command this mouse can take
    NoMouse = 3,        // no mouse of the device table is attached (or not the virtual one asked for)
    NotAccessible = 4,  // a mouse is attached, but this user may not open it
    NoAnswer = 5,       // the mouse refused or did not answer (or the running program did not)
    NotVerified = 6,    // the mouse did not keep what was saved
    Busy = 7,           // the window holds unsaved changes or an open dialog
};

struct Request
{
    // "status", "get", "set dpi", "set rate", "set lod", "set light", "set button", "profile",
    // "export", "import", "reset", "macro list", "macro export" or "macro import".
    QString command;
    // The command's own words: a light mode, a button function, a profile, file names, a macro.
    QStringList words;
    // DPI values, the rate in Hz, the lift-off in mm, the button number.
    QList<int> numbers;
    int stage = 0;         // --stage (1-based), 0: not given
    int speed = -1;        // --speed in percent, -1: not given
    int brightness = -1;   // --brightness in percent, -1: not given
    QStringList colours;   // --color, "rrggbb" each
    bool json = false;
    bool dryRun = false;
    bool demo = false;     // --demo, with its family (empty: the default one); the window's too
    QString demoFamily;

    // Whether it changes the mouse or the stored settings.
    bool changes() const;
};

struct Parsed
{
    enum Kind {
        Window,      // no command: the window starts (in the tray with --hidden)
        Command,     // the request
        DeviceTool,  // --probe, --add-device or --udev-rule: their own words, read by them
        Help,        // --help, -h or "help": the usage
    };
    Kind kind = Window;
    bool hidden = false;
    Request request;
    QString error;           // one line naming the bad word and the choices
};

// Reads the arguments after the program's name: the one place that decides what a start does.
// Single-dash options before any command are left to the toolkit ("-session ID" from the
// session manager, "-platform NAME").
Parsed parse(const QStringList &arguments);

// The ways to start, the commands, their options and the exit codes, for --help.
QString helpText();

// The answer of "get" (and "status": the first lines only) from what the pages show, and of
// "macro list".
QString stateText(const QVariantMap &state, bool statusOnly);
QString macrosText(const QVariantList &macros);
QString jsonText(const QVariant &value);

} // namespace cli
