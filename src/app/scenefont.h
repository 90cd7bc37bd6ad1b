// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// The scene writes Chinese in a CJK family throughout, and every other language in a Latin and
// Cyrillic family, so that only Chinese loads the far larger CJK font.
QString sceneCjkFamily();
QString sceneLatinFamily();

// Tells Qt what stands in for either family where it is not installed (the first installed of a
// few known families covering its scripts, else any installed family that reports them), and
// puts the CJK family first among the Latin family's fallbacks, so that a Chinese name shown in
// another language still takes the Chinese design. Returns the stand-ins set for missing
// families. Needs the application object.
QStringList installSceneFontFallbacks();
