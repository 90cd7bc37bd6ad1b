// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// File names and INI values of the macro store, the name lists and the language files.
// Pure functions, no I/O.

#include <QString>
#include <QStringList>
#include <QVariant>

class QSettings;

namespace macrostore {

// Upper bounds for counts read from files, so a damaged "total" cannot make a reader build
// an enormous list.
constexpr int maxEvents = 65535;
constexpr int maxTexts = 4096;

// Macro slots of the device (0..11).
constexpr int macroSlotCount = 12;

// A name that can be used as a file name inside one folder on every platform the program
// runs on: not empty, no path separator or drive colon, no control characters or characters
// Windows refuses in file names, not a Windows device name (NUL, COM1, ...), and short enough
// that with a four-character extension it fits the 255 bytes a file name may have.
bool isSafeName(const QString &name);

// The entry a name list of one name is stored with, so that it reads back as a list.
inline const QString nameListEnd = QStringLiteral("loaderzentok");

// A name a macro may be given (created, imported, renamed to): a safe name whose file can also
// be written through the settings (at most 244 bytes of UTF-8), and that a name list can hold
// (a list ending with nameListEnd loses that entry when it is read back).
bool isNewMacroName(const QString &name);

// "<folder>/macro".
QString macroFolder(const QString &settingsFolder);

// "<folder>/macro/<name>.bin"; empty when the folder is empty or the name is not safe.
QString macroFile(const QString &settingsFolder, const QString &name);

// The text of an INI value. A value that was written without quotes and holds commas is read
// back as a list; its parts are joined again with separator.
QString iniText(const QVariant &value, const QString &separator);

// What an open macro file holds, as the editor takes it: its events, then its repeat count.
QStringList macroEvents(const QSettings &file);

// The texts of one section of an open language file, in order.
QStringList languageTexts(const QSettings &file, const QString &section);

} // namespace macrostore
