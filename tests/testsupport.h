#pragma once

// Small helpers shared by the test programs.

#include <QString>
#include <QStringList>

namespace testsupport {

// Collects the text of every qDebug() line while alive (restores the previous handler after).
class DebugCapture
{
public:
    DebugCapture();
    ~DebugCapture();
    QStringList lines() const;
    bool contains(const QString &line) const;
    void clear();
};

} // namespace testsupport
