#include "store/DataFile.h"

#include "store/SafeFile.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace DataFile {

bool isSafeStem(const QString &stem)
{
    if (stem.isEmpty() || stem.contains(QLatin1String("..")))
        return false;
    for (const QChar c : stem) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7F)
            return false;
        if (QStringView(u"/\\:*?\"<>|").contains(c))
            return false;
    }
    // Room for the ".bin" suffix within the usual 255-byte name limit.
    return stem.toUtf8().size() + 4 <= 255;
}

void forgetCached(const QString &path)
{
    // Opening a store reads the file again unless its size and time match
    // the cache; for a missing file the cache then records an empty file,
    // which differs from any later file with content.
    QSettings touch(path, QSettings::IniFormat);
}

bool write(const QString &path, const QByteArray &content)
{
    // An existing file is replaced by one with a later modification time
    // (SafeFile sees to that); a missing one may still have a cache entry
    // from an earlier file of that name.
    if (!QFile::exists(path))
        forgetCached(path);
    return SafeFile::write(path, content);
}

bool copy(const QString &source, const QString &target)
{
    QByteArray content;
    if (!SafeFile::read(source, &content))
        return false;
    return write(target, content);
}

bool remove(const QString &path)
{
    const bool ok = QFile::remove(path);
    forgetCached(path);
    return ok;
}

bool rename(const QString &from, const QString &to)
{
    if (QFile::exists(to))
        return false;
    forgetCached(to);
    const bool ok = QFile::rename(from, to);
    if (ok)
        forgetCached(from);
    return ok;
}

bool importable(const char *operation, const QString &source)
{
    const QFileInfo info(source);
    // A missing file is left to the copy, which fails and keeps the target.
    if (info.exists() && !info.isFile()) {
        qDebug() << operation << "refused" << source << "- not a regular file";
        return false;
    }
    if (info.size() > MaxImportBytes) {
        qDebug() << operation << "refused" << source << "-" << info.size()
                 << "bytes, more than" << MaxImportBytes;
        return false;
    }
    return true;
}

} // namespace DataFile
