#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

#include <array>

class SettingsStore;

// Weapon entries in modules/gun/gunData.bin, section gunData:
//   <index> = name, trigger key, period, X offset, Y offset, shot count
//   <name>  = trigger key, period, X offset, Y offset, shot count (renamed)
// and the per-profile keys XYSensitive/<n> and selectGun/<n>.
//
// The installation ships the file; while it is missing every operation on it
// does nothing. Lists shorter than an operation reads are ignored.
class GunData
{
public:
    explicit GunData(SettingsStore &store);

    QString path() const;

    // The four parameter bytes of the weapon-data command for an entry:
    // 0, 0, the complement of the Y offset's low byte, index + 1.
    using Command = std::array<unsigned char, 4>;

    // Stores entry index; false (nothing stored, nothing to send) when the
    // file is missing or src6 holds fewer than 6 elements.
    bool save(const QVariant &index, const QVariantList &src6, Command *command);

    // Type 0 removes the entry named by element 0; type 1 removes the entry
    // named by element 6 and stores elements 1..5 under the name element 0.
    void modify(const QVariant &modifyType, const QVariantList &src);

    QVariantList entry(const QVariant &name) const;
    QStringList keys() const;

    QVariant xySensitive(const QVariant &index) const;
    void setXYSensitive(const QVariant &index, const QVariant &value);
    QVariant selectGun(const QVariant &index) const;
    void setSelectGun(const QVariant &index, const QVariant &value);

private:
    SettingsStore &m_store;
};
