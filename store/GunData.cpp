#include "store/GunData.h"

#include "store/SettingsStore.h"

#include <QDebug>
#include <QFile>
#include <QSettings>

namespace {

const QString kGroup = QStringLiteral("gunData/");

// An entry key with an empty name would address the whole section: removing
// it would wipe every entry.
bool usableName(const QVariant &name)
{
    return !name.toString().isEmpty();
}

} // namespace

GunData::GunData(SettingsStore &store) : m_store(store) {}

QString GunData::path() const
{
    return m_store.dataRoot() + QStringLiteral("/modules/gun/gunData.bin");
}

bool GunData::save(const QVariant &index, const QVariantList &src6, Command *command)
{
    if (!QFile::exists(path()))
        return false;
    if (src6.size() < 6 || !usableName(index)) {
        qDebug() << "mouseSaveGundata: ignored entry" << index << "with" << src6.size()
                 << "values";
        return false;
    }
    QSettings file(path(), QSettings::IniFormat);
    file.setValue(kGroup + index.toString(), src6.mid(0, 6));
    *command = {0, 0, static_cast<unsigned char>(~src6.at(4).toInt() & 0xFF),
                static_cast<unsigned char>(index.toInt() + 1)};
    return true;
}

void GunData::modify(const QVariant &modifyType, const QVariantList &src)
{
    if (!QFile::exists(path()))
        return;
    const uint type = modifyType.toUInt();
    if (type == 0) {
        if (src.isEmpty() || !usableName(src.at(0))) {
            qDebug() << "modifyGundata: ignored removal without a name";
            return;
        }
        QSettings file(path(), QSettings::IniFormat);
        file.remove(kGroup + src.at(0).toString());
    } else if (type == 1) {
        if (src.size() < 7 || !usableName(src.at(0)) || !usableName(src.at(6))) {
            qDebug() << "modifyGundata: ignored rename with" << src.size() << "values";
            return;
        }
        QSettings file(path(), QSettings::IniFormat);
        file.remove(kGroup + src.at(6).toString());
        file.setValue(kGroup + src.at(0).toString(), src.mid(1, 5));
    }
}

QVariantList GunData::entry(const QVariant &name) const
{
    if (!QFile::exists(path()) || !usableName(name))
        return {};
    QSettings file(path(), QSettings::IniFormat);
    return SettingsStore::toList(file.value(kGroup + name.toString()));
}

QStringList GunData::keys() const
{
    if (!QFile::exists(path()))
        return {};
    QSettings file(path(), QSettings::IniFormat);
    file.beginGroup(QStringLiteral("gunData"));
    return file.childKeys();
}

QVariant GunData::xySensitive(const QVariant &index) const
{
    QSettings *profile = m_store.current();
    const QString key = QStringLiteral("XYSensitive/") + index.toString();
    return profile ? profile->value(key, 4) : QVariant(4);
}

void GunData::setXYSensitive(const QVariant &index, const QVariant &value)
{
    if (QSettings *profile = m_store.current())
        profile->setValue(QStringLiteral("XYSensitive/") + index.toString(), value);
}

QVariant GunData::selectGun(const QVariant &index) const
{
    QSettings *profile = m_store.current();
    const QString key = QStringLiteral("selectGun/") + index.toString();
    return profile ? profile->value(key, QString()) : QVariant(QString());
}

void GunData::setSelectGun(const QVariant &index, const QVariant &value)
{
    if (QSettings *profile = m_store.current())
        profile->setValue(QStringLiteral("selectGun/") + index.toString(), value);
}
