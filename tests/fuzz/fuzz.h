// SPDX-License-Identifier: GPL-3.0-or-later
// Shared by the harnesses: one Qt application per process, and the input as an INI file for
// the readers that take their text through QSettings (it parses files only).
#pragma once

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace fuzz {

inline void app()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    static QCoreApplication instance(argc, argv);
}

// Each input gets a file name of its own: the settings cache would otherwise hand back an
// earlier input of the same size and time stamp. Reading must leave the file as it was.
struct IniFile
{
    IniFile(const uint8_t *data, size_t size) : bytes(reinterpret_cast<const char *>(data), qsizetype(size))
    {
        app();
        static QTemporaryDir dir;
        static unsigned serial = 0;
        path = dir.path() + QLatin1Char('/') + QString::number(serial++) + QStringLiteral(".ini");
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            abort();
        f.close();
        settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
    }
    ~IniFile()
    {
        settings.reset();
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly) || f.readAll() != bytes)
            abort();
        f.remove();
    }

    QByteArray bytes;
    QString path;
    std::unique_ptr<QSettings> settings;
};

} // namespace fuzz

// A harness's entry point, `FUZZ_INPUT(data, size) { ... }`; `FUZZ_INI(file) { ... }` hands the
// body the input as a settings file.
#define FUZZ_INPUT(data, size)                                                                       \
    static void fuzzOne(const uint8_t *data, size_t size);                                           \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t *d, size_t n) { return fuzzOne(d, n), 0; }   \
    static void fuzzOne(const uint8_t *data, size_t size)
#define FUZZ_INI(file)                                                                               \
    static void fuzzIni(QSettings &file);                                                            \
    FUZZ_INPUT(data, size) { fuzzIni(*fuzz::IniFile(data, size).settings); }                         \
    static void fuzzIni(QSettings &file)
