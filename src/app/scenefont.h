#pragma once

#include <QString>
#include <QStringList>

// The scene writes all its text in one family that covers Latin, Cyrillic and Chinese.
QString sceneFontFamily();

// Where that family is not installed, Qt is told what stands in for it: the first installed of
// a few families known to cover all three scripts, else any installed family that reports all
// three. Returns the stand-ins set (empty when the family itself is there). Needs the
// application object.
QStringList installSceneFontFallbacks();
