// Linked into every test program: before Qt or any test starts, the program gets a home of its
// own (HOME and the XDG folders in a temporary folder, removed at exit), an in-memory GSettings
// and, unless told otherwise, the offscreen platform. So no test touches the tester's home, their
// desktop's pointer settings or their screen, whoever runs it and however. A test that needs
// other folders sets its own on top.
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
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("HOME", QFile::encodeName(root.path()));
        const struct { const char *variable, *folder; } folders[] = {
            {"XDG_CONFIG_HOME", "/.config"}, {"XDG_DATA_HOME", "/.local/share"}, {"XDG_CACHE_HOME", "/.cache"},
            {"XDG_STATE_HOME", "/.local/state"}, {"XDG_RUNTIME_DIR", "/run"}};
        for (const auto &f : folders) {
            const QString path = root.path() + QLatin1String(f.folder);
            QDir().mkpath(path);
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            qputenv(f.variable, QFile::encodeName(path));
        }
    }
};

const PrivateHome privateHome;

} // namespace
