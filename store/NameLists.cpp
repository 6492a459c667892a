#include "store/NameLists.h"

#include "store/SettingsStore.h"

#include <QSettings>

const QString NameLists::filler = QStringLiteral("nodelistpadx");

NameLists::NameLists(const QString &dataRoot)
    : m_path(dataRoot + QStringLiteral("/modules/setting/name.bin"))
{
}

QString NameLists::keyFor(uint type)
{
    switch (type) {
    case 0: return QStringLiteral("macro/macroName");
    case 1: return QStringLiteral("gun/gunName");
    case 2: return QStringLiteral("profile/profileName");
    case 3: return QStringLiteral("gun/selectGun");
    default: return {};
    }
}

bool NameLists::update(const QVariant &type, const QStringList &names)
{
    const QString key = keyFor(type.toUInt());
    if (key.isEmpty())
        return true;
    QStringList list = names;
    if (list.size() == 1)
        list.append(filler);
    QSettings file(m_path, QSettings::IniFormat);
    if (list.isEmpty())
        file.remove(key);
    else
        file.setValue(key, list);
    return true;
}

QVariantList NameLists::get(const QVariant &type) const
{
    const QString key = keyFor(type.toUInt());
    if (key.isEmpty())
        return {};
    QSettings file(m_path, QSettings::IniFormat);
    return SettingsStore::toList(file.value(key));
}
