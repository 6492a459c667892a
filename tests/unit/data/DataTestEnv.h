#pragma once

// Shared by the data-file tests: a private copy of the shipped data folder,
// a chooser that answers the file dialogs, and file helpers.

#include "store/FileChooser.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>

namespace DataTestEnv {

inline QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeAll(const QString &path, const QByteArray &content)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(content) == content.size();
}

inline QString fixture(const QString &name)
{
    return QStringLiteral(KELDA_SOURCE_DIR "/tests/unit/data/") + name;
}

// <tmp>/root/modules/... copied from the shipped modules/ folder; the program
// side sees <tmp>/root as its data root, and the test may write files beside
// it (<tmp>/outside) to check that nothing escapes the data root.
class TempData
{
public:
    // base: where the temporary folder goes (the system's temporary folder
    // by default).
    explicit TempData(const QString &base = {})
        : m_dir(base.isEmpty() ? QTemporaryDir() : QTemporaryDir(base + QStringLiteral("/kelda-XXXXXX")))
    {
        const QString src = QStringLiteral(KELDA_SOURCE_DIR "/modules");
        for (const char *sub : {"setting", "gun", "i18n", "macro"}) {
            const QString from = src + QLatin1Char('/') + QLatin1String(sub);
            const QString to = modules() + QLatin1Char('/') + QLatin1String(sub);
            QDir().mkpath(to);
            QDirIterator it(from, QDir::Files | QDir::NoDotAndDotDot);
            while (it.hasNext()) {
                it.next();
                QFile::copy(it.filePath(), to + QLatin1Char('/') + it.fileName());
            }
        }
        QDir().mkpath(outside());
    }

    QString base() const { return m_dir.path(); }
    QString root() const { return base() + QStringLiteral("/root"); }
    QString modules() const { return root() + QStringLiteral("/modules"); }
    QString setting(const QString &file) const { return modules() + QStringLiteral("/setting/") + file; }
    QString profile(int index) const { return setting(QStringLiteral("p%1.bin").arg(index + 1)); }
    QString macro(const QString &name) const { return modules() + QStringLiteral("/macro/") + name + QStringLiteral(".bin"); }
    QString outside() const { return base() + QStringLiteral("/outside"); }

    // Every file under the temporary folder, relative to it.
    QStringList allFiles() const
    {
        QStringList out;
        QDirIterator it(base(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            out << QDir(base()).relativeFilePath(it.next());
        out.sort();
        return out;
    }

private:
    QTemporaryDir m_dir;
};

// Answers the file dialogs in order; an exhausted queue answers "cancelled".
class ScriptedChooser : public FileChooser
{
public:
    explicit ScriptedChooser(QStringList answers = {}) : answers(std::move(answers))
    {
        m_previous = FileChooser::install(this);
    }
    ~ScriptedChooser() override { FileChooser::install(m_previous); }

    QString choose(const FileRequest &request) override
    {
        requests.append(request);
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }

    QStringList answers;
    QList<FileRequest> requests;

private:
    FileChooser *m_previous = nullptr;
};

} // namespace DataTestEnv
