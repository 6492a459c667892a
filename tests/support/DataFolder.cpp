#include "support/DataFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {

bool copyTree(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString src = it.next();
        const QString dst = to + src.mid(from.size());
        if (it.fileInfo().isDir()) {
            QDir().mkpath(dst);
        } else if (!QFile::copy(src, dst)) {
            return false;
        } else {
            QFile::setPermissions(dst, QFile::permissions(dst) | QFile::WriteOwner);
        }
    }
    return true;
}

} // namespace

DataFolder::DataFolder()
{
    m_previous = QDir::currentPath();
    if (!m_dir.isValid())
        return;
    m_ok = copyTree(QStringLiteral(KELDA_DIST_DIR "/modules"), m_dir.path() + QStringLiteral("/modules"));
    if (m_ok)
        m_ok = QDir::setCurrent(m_dir.path());
}

DataFolder::~DataFolder()
{
    QDir::setCurrent(m_previous);
}

QString DataFolder::path(const QString &relative) const
{
    return m_dir.path() + QLatin1Char('/') + relative;
}

QByteArray DataFolder::read(const QString &relative) const
{
    QFile f(path(relative));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool DataFolder::write(const QString &relative, const QByteArray &content) const
{
    QFile f(path(relative));
    QDir().mkpath(QFileInfo(f).absolutePath());
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(content) == content.size();
}

void DataFolder::setDeviceList(const QList<QStringList> &entries)
{
    QSettings ini(path(QStringLiteral("modules/setting/apConfig.bin")), QSettings::IniFormat);
    for (int i = 0; i < 16; ++i)
        ini.remove(QString::number(i));
    ini.setValue(QStringLiteral("common/deviceCount"), entries.size());
    for (int i = 0; i < entries.size(); ++i) {
        for (const QString &kv : entries.at(i)) {
            const int eq = kv.indexOf(QLatin1Char('='));
            ini.setValue(QString::number(i) + QLatin1Char('/') + kv.left(eq), kv.mid(eq + 1));
        }
    }
    ini.sync();
}
