#pragma once

// Shared by the fuzz targets: a scratch data folder for the whole run, files
// put there so that the settings class never answers from its cache, and a
// check that stops the run with a message.

#include "store/DataFile.h"

#include <QDir>
#include <QFile>
#include <QtGlobal>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(cond)                                                                  \
    do {                                                                                  \
        if (!(cond)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                 \
        }                                                                                 \
    } while (0)

namespace FuzzSupport {

// The readers' debug lines would cost more than the reading; they are
// dropped for the whole run. Fatal messages still say why the run stops.
inline const bool quiet = [] {
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
        if (type == QtFatalMsg || type == QtCriticalMsg)
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    return true;
}();

// <tmp>/modules/{setting,i18n,macro,gun}, made once per process.
inline QString dataRoot()
{
    static QTemporaryDir dir;
    static const bool made = [] {
        for (const char *sub : {"setting", "i18n", "macro", "gun"})
            QDir().mkpath(dir.path() + QStringLiteral("/modules/") + QLatin1String(sub));
        return true;
    }();
    Q_UNUSED(made);
    return dir.path();
}

inline QString modules(const char *relative)
{
    return dataRoot() + QStringLiteral("/modules/") + QLatin1String(relative);
}

// Puts the bytes at path. The old file is removed through DataFile first,
// which leaves the settings class's cache for path unable to match the new
// content, whatever its size and time.
inline void putFile(const QString &path, const uint8_t *data, size_t size)
{
    DataFile::remove(path);
    QFile f(path);
    FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(f.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size));
}

} // namespace FuzzSupport
