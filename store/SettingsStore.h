#pragma once

#include <QSettings>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <functional>
#include <memory>
#include <vector>

// The stores the program keeps open for its whole life: the global file
// (apConfig.bin), the factory profile (pD.bin) and the ten profile slots
// (p1.bin .. p10.bin), all under the data folder's modules/setting/.
class SettingsStore
{
public:
    static constexpr int SlotCount = 10;

    // dataRoot is the folder that holds modules/ ("." in the program).
    explicit SettingsStore(const QString &dataRoot = QStringLiteral("."));
    ~SettingsStore();

    QString dataRoot() const { return m_root; }
    QString settingDir() const;
    QString globalPath() const;
    QString factoryGlobalPath() const;
    QString defaultProfilePath() const;
    QString profilePath(int index) const; // index 0..9 -> p1.bin .. p10.bin

    static bool validIndex(int index) { return index >= 0 && index < SlotCount; }

    QSettings *global() const { return globalSettings.get(); }
    QSettings *defaultProfile() const { return defaultProfileSettings.get(); }
    QSettings *profile(int index) const; // null for an index outside 0..9
    QSettings *current() const { return profile(currentProfileIndex); }

    // The six data-key operations of the scene.
    QVariant getData(const QVariant &key, bool isRecovery) const;
    QVariantList getDataList(const QVariant &key, bool isRecovery) const;
    void setData(const QVariant &key, const QVariant &data);
    void setDataList(const QVariant &key, const QVariantList &datalist);
    QVariant getGlobalData(const QVariant &key) const;
    void setGlobalData(const QVariant &key, const QVariant &data);

    // Exchanges the file under a held store. The store is flushed and
    // released first, replace() writes the new file, and a fresh store that
    // reads the new content takes the old one's place. When replace() fails
    // the file is left as it was and the store is reopened on it.
    bool replaceGlobalFile(const std::function<bool(const QString &path)> &replace);
    bool replaceProfileFile(int index, const std::function<bool(const QString &path)> &replace);
    // Replaces the file at path, which may be anywhere (an export target).
    // When it is the file of a held store, that store is released and
    // reopened around the replacement as above.
    bool replaceAnyFile(const QString &path, const std::function<bool(const QString &path)> &replace);

    // Puts the factory copy of the global file in place of the global file.
    // A missing or unreadable factory copy keeps the current file.
    bool resetGlobal();

    // Writes every pending change of every store to disk.
    void syncAll();

    // Converts what QSettings returns for a list value into a list: a value
    // with one element is read back as plain text, and comes back as a
    // one-element list here.
    static QVariantList toList(const QVariant &value);

    std::unique_ptr<QSettings> globalSettings;
    std::unique_ptr<QSettings> defaultProfileSettings;
    std::vector<std::unique_ptr<QSettings>> profileSettingsList;
    int currentProfileIndex = 0;

private:
    std::unique_ptr<QSettings> open(const QString &path) const;
    bool replaceHeld(std::unique_ptr<QSettings> &held, const QString &path,
                     const std::function<bool(const QString &path)> &replace);

    QString m_root;
};
