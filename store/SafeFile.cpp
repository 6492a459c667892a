#include "store/SafeFile.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QThread>

#include <algorithm>

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

namespace {

// A lock file starts with the process id of its holder on the first line.
bool isSigned(const QString &lockPath)
{
    QFile f(lockPath);
    if (!f.open(QIODevice::ReadOnly))
        return true; // gone, or not ours to judge
    bool ok = false;
    const qint64 pid = f.readLine(32).trimmed().toLongLong(&ok);
    return ok && pid > 0;
}

} // namespace

int clearUnsignedLocks(const QString &dir)
{
    // A live writer signs its lock right after creating it, within
    // microseconds; a lock still unsigned this long after its creation
    // belongs to a writer that died.
    constexpr qint64 signingTime = 100;
    QFileInfoList locks = QDir(dir).entryInfoList({QStringLiteral("*.lock"),
                                                  QStringLiteral("*.rmlock")},
                                                 QDir::Files | QDir::Hidden);
    // The marker of a lock being broken is itself a lock: the deepest first.
    std::sort(locks.begin(), locks.end(), [](const QFileInfo &a, const QFileInfo &b) {
        return a.fileName().size() > b.fileName().size();
    });
    int removed = 0;
    for (const QFileInfo &lock : locks) {
        const QString path = lock.absoluteFilePath();
        if (isSigned(path))
            continue;
        const qint64 age = lock.lastModified().msecsTo(QDateTime::currentDateTime());
        if (age >= 0 && age < signingTime) {
            QThread::msleep(unsigned(signingTime - age));
            if (isSigned(path))
                continue;
        }
        if (QFile::remove(path)) {
            qDebug() << "removed the unsigned lock file" << path << "of a writer that died";
            ++removed;
        }
    }
    return removed;
}

} // namespace SafeFile
