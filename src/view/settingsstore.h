// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Opening, closing and replacing the view's settings handles.
//
// Handles on the same file share Qt's per-file cache, and a handle still holding unwritten
// keys writes them when it is destroyed. So a handle is always synced before its file is
// replaced and destroyed right after, and the new handle is opened only once the new file is
// complete: nothing can be written over a replaced file later.

#include <QString>

#include <functional>

class QObject;
class QSettings;

namespace store {

constexpr int profileCount = 10;

QString globalFile(const QString &folder);
QString factoryGlobalFile(const QString &folder);
QString defaultProfileFile(const QString &folder);
// Slot 0..9 is p1.bin .. p10.bin.
QString profileFile(const QString &folder, int slot);

// A handle on an INI settings file, owned by parent (destroying the owner writes what is pending).
// Every write of the handle is checked, also the ones Qt makes later on its own, and a failed
// one is reported (see reportWriteFailure).
QSettings *open(const QString &fileName, QObject *parent);

// Writes what a handle holds now; false, and reported, when that fails.
bool written(QSettings &settings);

// A read-only or full home would otherwise lose every change without a word: the first failure
// (after a handler is installed) gives one debug line naming the file and the cause, and the
// handler's message to the user. Later failures say nothing more.
using WriteFailureHandler = std::function<void(const QString &folder)>;
void setWriteFailureHandler(WriteFailureHandler handler);
void reportWriteFailure(const QString &file, const QString &why);

// Writes pending changes, then deletes the handle and clears the pointer.
void close(QSettings *&handle);

// Replaces the file of handle (target) with a copy of source and reopens the handle on it,
// with the same owner.
// On failure the file and the handle stay as they were and a debug line names the cause.
bool replace(QSettings *&handle, const QString &target, const QString &source);

} // namespace store
