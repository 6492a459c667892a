#include "store/MacroFiles.h"

#include "store/DataFile.h"
#include "store/FileChooser.h"
#include "store/SafeFile.h"
#include "store/SettingsStore.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QSettings>

namespace {

const QString kMacroKey = QStringLiteral("mouseMacroKey");

// A step text holds a comma and is stored quoted. A file edited by hand may
// hold it unquoted, which the settings class splits into a list; it is put
// back together rather than read as nothing.
QString stepText(const QVariant &value)
{
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

} // namespace

MacroFiles::MacroFiles(SettingsStore &store) : m_store(store) {}

QString MacroFiles::fileFilter()
{
    return QCoreApplication::translate("myQQuickView", "Macro(*.mc)");
}

bool MacroFiles::isValidName(const QString &name)
{
    return DataFile::isSafeStem(name);
}

QString MacroFiles::dir() const
{
    return m_store.dataRoot() + QStringLiteral("/modules/macro");
}

QString MacroFiles::path(const QString &name) const
{
    return dir() + QLatin1Char('/') + name + QStringLiteral(".bin");
}

bool MacroFiles::checkName(const char *operation, const QString &name) const
{
    if (isValidName(name))
        return true;
    qDebug() << operation << "refused macro name" << name;
    return false;
}

bool MacroFiles::create(const QString &name, const QVariant &macroIndex)
{
    if (!checkName("createMacroIni", name))
        return false;
    QDir().mkpath(dir());
    QSettings file(path(name), QSettings::IniFormat);
    file.setValue(QStringLiteral("config/index"), macroIndex.toUInt());
    file.setValue(QStringLiteral("config/total"), 0);
    file.setValue(QStringLiteral("config/repeat"), 1);
    file.setValue(QStringLiteral("config/did"), -1);
    return true;
}

bool MacroFiles::save(const QString &name, const QStringList &steps, const QVariant &repeat)
{
    if (!checkName("saveMacroIni", name))
        return false;
    if (!QFile::exists(path(name)))
        return false;
    QSettings file(path(name), QSettings::IniFormat);
    file.remove(QStringLiteral("macro"));
    file.setValue(QStringLiteral("config/total"), int(steps.size()));
    file.setValue(QStringLiteral("config/repeat"), repeat);
    for (int i = 0; i < steps.size(); ++i)
        file.setValue(QStringLiteral("macro/") + QString::number(i), steps.at(i));
    return true;
}

QStringList MacroFiles::load(const QString &name) const
{
    if (!checkName("loadMacroIni", name))
        return {};
    if (!QFile::exists(path(name)))
        return {};
    QSettings file(path(name), QSettings::IniFormat);
    QStringList out;
    int total = file.value(QStringLiteral("config/total"), 0).toInt();
    if (total > MaxSteps) {
        qDebug() << "loadMacroIni: total" << total << "of" << name << "is implausible, reading"
                 << MaxSteps << "steps";
        total = MaxSteps;
    }
    for (int i = 0; i < total; ++i)
        out.append(stepText(file.value(QStringLiteral("macro/") + QString::number(i),
                                       QStringLiteral("0"))));
    out.append(file.value(QStringLiteral("config/repeat"), QStringLiteral("0")).toString());
    return out;
}

bool MacroFiles::remove(const QString &name)
{
    if (!checkName("deleteMacroIni", name))
        return false;
    if (!QFile::exists(path(name)))
        return false;
    return DataFile::remove(path(name));
}

bool MacroFiles::rename(const QString &oldName, const QString &newName)
{
    if (!checkName("modifyMacroNameUpdateProfile", oldName)
        || !checkName("modifyMacroNameUpdateProfile", newName))
        return false;
    const QString from = path(oldName);
    const QString to = path(newName);
    if (!QFile::exists(from))
        return false;
    for (int slot = 0; slot < BoundSlots; ++slot) {
        QSettings *profile = m_store.profile(slot);
        profile->beginGroup(kMacroKey);
        const QStringList keys = profile->childKeys();
        for (const QString &key : keys) {
            if (profile->value(key).toString() == oldName)
                profile->setValue(key, newName);
        }
        profile->endGroup();
    }
    if (QFile::exists(to))
        return false;
    // The bindings live in other files than the macro, so no single step
    // moves both. The macro is first written under its new name, then the
    // bindings that name it reach the disk, and only then does the old name
    // go: a crash at any moment leaves every button bound to a file that
    // holds its macro (at worst a second copy under the old name stays).
    if (!DataFile::copy(from, to))
        return false;
    m_store.syncAll();
    return DataFile::remove(from);
}

void MacroFiles::unbind(const QString &name)
{
    QSettings *factory = m_store.defaultProfile();
    for (int slot = 0; slot < BoundSlots; ++slot) {
        QSettings *profile = m_store.profile(slot);
        for (int button = 0; button < 16; ++button) {
            const QString key = QStringLiteral("mouseKeyMatrix/") + QString::number(button);
            const QVariantList entry = SettingsStore::toList(profile->value(key));
            if (entry.size() < 3 || entry.at(0).toInt() != 4)
                continue;
            const QString code = QString::number(entry.at(2).toInt());
            if (profile->value(kMacroKey + QLatin1Char('/') + code).toString() != name)
                continue;
            const QVariantList factoryEntry = SettingsStore::toList(factory->value(key));
            if (factoryEntry.isEmpty()) {
                qDebug() << "deleteMacroUpdateProfile: no factory assignment for" << key
                         << "- profile" << slot << "kept";
                continue;
            }
            profile->setValue(key, factoryEntry);
        }
    }
}

bool MacroFiles::importFrom(const QString &name, FileChooser &chooser)
{
    if (!checkName("loadMacroFile", name))
        return false;
    const QString source = chooser.choose(FileRequest::open(fileFilter()));
    if (source.isEmpty())
        return false;
    // An existing macro of that name is kept; the import still counts as
    // done, since the user chose a file.
    if (QFile::exists(path(name)))
        return true;
    // A refused file counts as no import: the scene then creates the macro
    // empty.
    if (!DataFile::importable("loadMacroFile", source))
        return false;
    QDir().mkpath(dir());
    if (!DataFile::copy(source, path(name)))
        qDebug() << "loadMacroFile: cannot import" << source;
    return true;
}

bool MacroFiles::exportTo(const QString &name, FileChooser &chooser)
{
    if (!checkName("saveMacroFile", name))
        return false;
    const QString target = chooser.choose(FileRequest::save(fileFilter()));
    if (target.isEmpty())
        return false;
    QByteArray content;
    const bool ok = SafeFile::read(path(name), &content)
                    && m_store.replaceAnyFile(target, [&](const QString &file) {
                           return DataFile::write(file, content);
                       });
    if (!ok)
        qDebug() << "saveMacroFile: cannot export" << path(name) << "to" << target;
    return ok;
}
