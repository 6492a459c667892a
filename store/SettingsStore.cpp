#include "store/SettingsStore.h"

#include "store/SafeFile.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

SettingsStore::SettingsStore(const QString &dataRoot) : m_root(dataRoot)
{
    // A crash in the middle of a save may have left a lock file that would
    // hold up the first save of that file for half a minute.
    for (const QString &dir : {QStringLiteral("/modules/setting"), QStringLiteral("/modules/macro"),
                               QStringLiteral("/modules/gun")})
        SafeFile::clearUnsignedLocks(m_root + dir);
    globalSettings = open(globalPath());
    defaultProfileSettings = open(defaultProfilePath());
    for (int i = 0; i < SlotCount; ++i)
        profileSettingsList.push_back(open(profilePath(i)));
}

SettingsStore::~SettingsStore() = default;

std::unique_ptr<QSettings> SettingsStore::open(const QString &path) const
{
    return std::make_unique<QSettings>(path, QSettings::IniFormat);
}

QString SettingsStore::settingDir() const
{
    return m_root + QStringLiteral("/modules/setting");
}

QString SettingsStore::globalPath() const { return settingDir() + QStringLiteral("/apConfig.bin"); }
QString SettingsStore::factoryGlobalPath() const { return settingDir() + QStringLiteral("/apConfigD.bin"); }
QString SettingsStore::defaultProfilePath() const { return settingDir() + QStringLiteral("/pD.bin"); }

QString SettingsStore::profilePath(int index) const
{
    return settingDir() + QStringLiteral("/p") + QString::number(index + 1) + QStringLiteral(".bin");
}

QSettings *SettingsStore::profile(int index) const
{
    if (!validIndex(index))
        return nullptr;
    return profileSettingsList[size_t(index)].get();
}

QVariantList SettingsStore::toList(const QVariant &value)
{
    if (!value.isValid())
        return {};
    if (value.typeId() == QMetaType::QVariantList)
        return value.toList();
    if (value.typeId() == QMetaType::QStringList) {
        QVariantList out;
        for (const QString &s : value.toStringList())
            out.append(s);
        return out;
    }
    const QString text = value.toString();
    if (text.isEmpty())
        return {};
    return {text};
}

QVariant SettingsStore::getData(const QVariant &key, bool isRecovery) const
{
    QSettings *s = isRecovery ? defaultProfile() : current();
    return s ? s->value(key.toString(), QVariant()) : QVariant();
}

QVariantList SettingsStore::getDataList(const QVariant &key, bool isRecovery) const
{
    return toList(getData(key, isRecovery));
}

void SettingsStore::setData(const QVariant &key, const QVariant &data)
{
    if (QSettings *s = current())
        s->setValue(key.toString(), data);
}

void SettingsStore::setDataList(const QVariant &key, const QVariantList &datalist)
{
    if (QSettings *s = current())
        s->setValue(key.toString(), datalist);
}

QVariant SettingsStore::getGlobalData(const QVariant &key) const
{
    return globalSettings->value(key.toString(), QVariant());
}

void SettingsStore::setGlobalData(const QVariant &key, const QVariant &data)
{
    globalSettings->setValue(key.toString(), data);
}

bool SettingsStore::replaceHeld(std::unique_ptr<QSettings> &held, const QString &path,
                                const std::function<bool(const QString &path)> &replace)
{
    // Stores on one file share one cache inside QSettings. The old store must
    // have written its pending changes and be gone before the file changes,
    // or it would later merge stale changes into the new file.
    if (held) {
        held->sync();
        held.reset();
    }
    const QDateTime before = SafeFile::modifiedTime(path);
    const bool ok = replace(path);
    if (ok)
        SafeFile::stampAfter(path, before);
    held = open(path);
    return ok;
}

bool SettingsStore::replaceGlobalFile(const std::function<bool(const QString &path)> &replace)
{
    return replaceHeld(globalSettings, globalPath(), replace);
}

bool SettingsStore::replaceProfileFile(int index,
                                       const std::function<bool(const QString &path)> &replace)
{
    if (!validIndex(index))
        return false;
    return replaceHeld(profileSettingsList[size_t(index)], profilePath(index), replace);
}

bool SettingsStore::replaceAnyFile(const QString &path,
                                   const std::function<bool(const QString &path)> &replace)
{
    const QString target = QFileInfo(path).canonicalFilePath();
    auto same = [&](const QString &heldPath) {
        return !target.isEmpty() && QFileInfo(heldPath).canonicalFilePath() == target;
    };
    if (same(globalPath()))
        return replaceHeld(globalSettings, globalPath(), replace);
    if (same(defaultProfilePath()))
        return replaceHeld(defaultProfileSettings, defaultProfilePath(), replace);
    for (int i = 0; i < SlotCount; ++i) {
        if (same(profilePath(i)))
            return replaceHeld(profileSettingsList[size_t(i)], profilePath(i), replace);
    }
    return replace(path);
}

bool SettingsStore::resetGlobal()
{
    QByteArray factory;
    if (!SafeFile::read(factoryGlobalPath(), &factory)) {
        qDebug() << "resetApconfig: cannot read" << factoryGlobalPath()
                 << "- keeping the current settings";
        return false;
    }
    return replaceGlobalFile([&](const QString &path) { return SafeFile::write(path, factory); });
}

void SettingsStore::syncAll()
{
    globalSettings->sync();
    for (auto &s : profileSettingsList)
        s->sync();
}
