// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Whole-file operations on the settings folder: a file is replaced only once its new content
// is complete on disk, so a failed copy never leaves a slot without its old file.

#include <QString>

namespace settingsfiles {

// Largest file accepted as the content of a settings file (an import of something else
// must not be read into memory whole).
constexpr qint64 maxFileSize = 1024 * 1024;

// Replaces target with the bytes of source (write to a temporary file beside target, then
// rename over it). On failure target is unchanged, why (if given) says what failed and
// unwritable (if given) whether it was the writing of target.
bool copyOver(const QString &source, const QString &target, QString *why = nullptr, bool *unwritable = nullptr);

} // namespace settingsfiles
