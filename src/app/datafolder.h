// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The folder the program works in. Every data path is "./modules/..." relative to it.
//
// - Data beside the executable (the build folder, an unpacked portable tree) is worked on in
//   place while it can be written.
// - An installed tree keeps its data in ../share/mousecfg relative to the executable. That
//   copy belongs to the package and is never written: each user works on their own copy in
//   $XDG_DATA_HOME/mousecfg (default ~/.local/share/mousecfg). So does a user whose data
//   beside the executable is read-only.
//
// The per-user copy is brought up to date at every start (see update()).

#include <QString>

#include <functional>

namespace datafolder {

struct Choice
{
    QString installed;     // folder holding the installed "modules" (empty: none found)
    QString working;       // folder that becomes the working directory
    bool perUser = false;  // working holds a per-user copy of installed
};

// The per-user data home: XDG_DATA_HOME when it is an absolute path, else HOME/.local/share;
// empty when neither is usable.
QString dataHome(const QString &xdgDataHome, const QString &home);

// Where the data is and where to work, for an executable in exeDir. `besideWritable` says
// whether data found beside the executable may be written (tests decide it; the program asks
// the file system). Without any data the executable's folder is kept, as before.
Choice choose(const QString &exeDir, const QString &dataHome, bool besideWritable);

// Brings the per-user modules folder up to date with the installed one:
// - a device folder (named by a product id in hexadecimal) is copied whole when the user has
//   none of that name. One the user has is completed: a file it lacks outside macro/ is added
//   (a settings folder is not complete without its factory files), the files only the install
//   writes (the factory copy of the device-wide settings, the default profile) follow the
//   install, and the gun presets gain the presets a newer install brings. The user's settings,
//   names, presets and macros, deleted macros included, stay as they are;
// - a language file in i18n/ is added when the user has none of that name, and gains the keys
//   a newer install adds; texts the user changed stay;
// - everything else (the device table, images) belongs to the install: it is added when
//   missing and replaced when it differs, so devices and artwork of a newer install appear.
// A key the user left as the install had it follows a newer install; one they changed or removed
// stays so. To tell these apart the installed files of the last update are kept beside the copy
// (in "factory"). Every file and device folder arrives whole or not at all (written aside, then
// renamed), so an interrupted start is completed by the next one. One program at a time updates
// a copy (a lock file beside it); when the lock cannot be had within waitMs nothing is touched.
// Returns false when something could not be copied; what could be copied is kept.
bool update(const QString &installedModules, const QString &userModules, int waitMs = 60000);

// Copies a folder tree; false when anything could not be copied.
bool copyTree(const QString &from, const QString &to);

// Copies the device folder `from` to modules/name whole or not at all: the copy is made beside its
// place (a leftover of an interrupted copy goes at the next update), `prepare` (when given) may
// change it there, and it is renamed in. False when any step fails; nothing is left then.
bool addDeviceFolder(const QString &from, const QString &modules, const QString &name,
                     const std::function<bool(const QString &copy)> &prepare = {});

// The user's own device table, for the mice they added: devConfig.ini in their data folder
// ($XDG_DATA_HOME/mousecfg), outside the modules copy that follows the install. Empty without a
// data home.
QString userTable();

// The choice for the running executable (the environment's data home, the file system's say on
// whether the data beside it may be written).
Choice current(const QString &exeDir);

// Chooses the folder for the running executable, brings a per-user copy up to date, makes the
// folder the working directory and says in the debug output which one it is. Returns the
// per-user folder that could not be made when the program has to work on installed data, whose
// changes cannot be kept (empty otherwise).
QString enter(const QString &exeDir);

} // namespace datafolder
