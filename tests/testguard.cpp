// SPDX-License-Identifier: GPL-3.0-or-later
// Linked into every test program: before Qt or any test starts, the program gets a home of its
// own (HOME and the XDG folders in a temporary folder, removed at exit), an in-memory GSettings
// and, unless told otherwise, the offscreen platform. So no test touches the tester's home, their
// desktop's pointer settings or their screen, whoever runs it and however: it sees no desktop of
// a known kind and reaches neither the tester's session bus nor the machine's system bus (a test
// that needs a bus or a desktop sets up its own). Its default settings store is named as the
// program names its own (without a name Qt refuses every write to it).
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

struct PrivateHome
{
    QTemporaryDir root{QDir::tempPath() + QStringLiteral("/mousecfg-test-XXXXXX")};

    PrivateHome()
    {
        if (!root.isValid()) {
            std::fprintf(stderr, "no private home for the test: %s\n", qPrintable(root.errorString()));
            std::abort();
        }
        qputenv("GSETTINGS_BACKEND", "memory");
        QCoreApplication::setOrganizationName(QStringLiteral("mousecfg"));
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("HOME", QFile::encodeName(root.path()));
        const QByteArray noBus = "unix:path=" + QFile::encodeName(root.filePath(QStringLiteral("no-bus")));
        qputenv("DBUS_SESSION_BUS_ADDRESS", noBus);
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", noBus);
        qunsetenv("XDG_CURRENT_DESKTOP");
        qunsetenv("XDG_SESSION_TYPE");
        qunsetenv("WAYLAND_DISPLAY");
        for (const char *variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME", "XDG_RUNTIME_DIR"}) {
            const QString path = root.filePath(QString::fromLatin1(variable));
            QDir().mkpath(path);
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            qputenv(variable, QFile::encodeName(path));
        }
    }
};

const PrivateHome privateHome;

} // namespace
