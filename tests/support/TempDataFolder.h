#pragma once

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

// A private copy of the assembled data folder (modules/ beside the
// executable) in a temporary directory, made the current directory while it
// lives, so tests read and write real files without touching the build.
class TempDataFolder
{
public:
    TempDataFolder() : m_previous(QDir::currentPath())
    {
        copyTree(QStringLiteral(KELDA_DIST_DIR "/modules"), path() + QStringLiteral("/modules"));
        QDir::setCurrent(path());
    }

    ~TempDataFolder() { QDir::setCurrent(m_previous); }

    QString path() const { return m_dir.path(); }
    QString file(const QString &relative) const { return path() + QLatin1Char('/') + relative; }

    QByteArray read(const QString &relative) const
    {
        QFile f(file(relative));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    bool write(const QString &relative, const QByteArray &content) const
    {
        QFile f(file(relative));
        QDir().mkpath(QFileInfo(f).absolutePath());
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(content) == content.size();
    }

    static void copyTree(const QString &from, const QString &to)
    {
        QDir().mkpath(to);
        QDirIterator it(from, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString src = it.next();
            const QString dst = to + src.mid(from.size());
            QDir().mkpath(QFileInfo(dst).absolutePath());
            QFile::copy(src, dst);
            QFile(dst).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        }
    }

private:
    QString m_previous;
    QTemporaryDir m_dir;
};
