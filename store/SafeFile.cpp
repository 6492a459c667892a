#include "store/SafeFile.h"

#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace SafeFile {

// QSettings keeps one cache per file name for the whole process and decides
// whether to re-read a file by its size and modification time. A replacement
// of the same size written within the same millisecond would go unnoticed, so
// the new file is given a modification time strictly after the old one.
void stampAfter(const QString &path, const QDateTime &oldTime)
{
    if (!oldTime.isValid())
        return;
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite))
        return;
    if (f.fileTime(QFileDevice::FileModificationTime) > oldTime)
        return;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    f.setFileTime(now > oldTime ? now : oldTime.addMSecs(1), QFileDevice::FileModificationTime);
}

QDateTime modifiedTime(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() ? info.lastModified().toUTC() : QDateTime();
}

bool write(const QString &path, const QByteArray &content)
{
    const QDateTime oldTime = modifiedTime(path);

    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) {
        qDebug() << "cannot write" << path << out.errorString();
        return false;
    }
    if (out.write(content) != content.size()) {
        qDebug() << "cannot write" << path << out.errorString();
        out.cancelWriting();
        return false;
    }
    if (!out.commit()) {
        qDebug() << "cannot replace" << path << out.errorString();
        return false;
    }
    stampAfter(path, oldTime);
    return true;
}

bool read(const QString &path, QByteArray *content)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    *content = in.readAll();
    return in.error() == QFileDevice::NoError;
}

bool copyOver(const QString &source, const QString &target)
{
    QByteArray content;
    if (!read(source, &content))
        return false;
    return write(target, content);
}

} // namespace SafeFile
