#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A private copy of the assembled data folder (build/dist/modules) in a
// temporary directory, made the current directory for its lifetime, so that
// code reading "./modules/..." sees the copy and tests never touch the
// shipped files. The previous current directory comes back on destruction.
class DataFolder
{
public:
    DataFolder();
    ~DataFolder();

    bool isValid() const { return m_ok; }
    QString root() const { return m_dir.path(); }
    // Absolute path of a file below the copy, e.g. "modules/setting/apConfig.bin".
    QString path(const QString &relative) const;

    // Whole-file access below the copy; an unreadable file reads as empty.
    QByteArray read(const QString &relative) const;
    bool write(const QString &relative, const QByteArray &content) const;

    // Rewrites the device list of the copied global file: the entries are
    // INI groups "0", "1", ... given as key=value lines.
    void setDeviceList(const QList<QStringList> &entries);

private:
    QTemporaryDir m_dir;
    QString m_previous;
    bool m_ok = false;
};
