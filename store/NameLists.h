#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

// The display lists of the scene in modules/setting/name.bin: macro names
// (type 0), weapon entry names (1), profile entries (2: name followed by the
// profile number as one digit) and the weapon selection (3).
class NameLists
{
public:
    explicit NameLists(const QString &dataRoot);

    // A list of exactly one element is stored with this second element, so
    // that it is written and read back as a list; readers drop it.
    static const QString filler;

    // The key of a list type, or empty for an unknown type.
    static QString keyFor(uint type);

    // Replaces the list of the type (an empty list removes it); an unknown
    // type writes nothing. Always true.
    bool update(const QVariant &type, const QStringList &names);

    // The stored elements in order, filler included; empty when absent or
    // for an unknown type.
    QVariantList get(const QVariant &type) const;

    QString path() const { return m_path; }

private:
    QString m_path;
};
