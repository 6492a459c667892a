#include "store/Profiles.h"

#include "store/DataFile.h"
#include "store/FileChooser.h"
#include "store/SafeFile.h"
#include "store/SettingsStore.h"

#include <QCoreApplication>
#include <QDebug>

namespace {

bool checkIndex(const char *operation, int index)
{
    if (SettingsStore::validIndex(index))
        return true;
    qDebug() << operation << "profile index out of range:" << index;
    return false;
}

} // namespace

QString Profiles::fileFilter()
{
    return QCoreApplication::translate("myQQuickView", "Profile(*.pf)");
}

bool Profiles::select(int index)
{
    if (!checkIndex("setCurrentProfile", index))
        return false;
    m_store.currentProfileIndex = index;
    return true;
}

bool Profiles::exportTo(int index, FileChooser &chooser)
{
    if (!checkIndex("saveProfile", index))
        return false;
    const QString target = chooser.choose(FileRequest::save(fileFilter()));
    if (target.isEmpty())
        return false;
    // The export must hold what the user sees, so pending changes are
    // written to the slot's file first.
    m_store.profile(index)->sync();
    QByteArray content;
    const bool ok = SafeFile::read(m_store.profilePath(index), &content)
                    && m_store.replaceAnyFile(target, [&](const QString &path) {
                           return DataFile::write(path, content);
                       });
    if (!ok)
        qDebug() << "saveProfile: cannot export" << m_store.profilePath(index) << "to" << target;
    return ok;
}

bool Profiles::importFrom(int index, FileChooser &chooser)
{
    if (!checkIndex("loadProfile", index))
        return false;
    const QString source = chooser.choose(FileRequest::open(fileFilter()));
    if (source.isEmpty())
        return false;
    // A refused file leaves the slot as it was and counts as no import, so
    // that the scene gives the new entry the factory profile.
    if (!DataFile::importable("loadProfile", source))
        return false;
    if (!replaceSlot(index, source))
        qDebug() << "loadProfile: cannot import" << source << "- profile" << index << "kept";
    return true;
}

bool Profiles::reset(int index)
{
    if (!checkIndex("resetProfile", index))
        return false;
    if (replaceSlot(index, m_store.defaultProfilePath()))
        return true;
    qDebug() << "resetProfile: cannot read" << m_store.defaultProfilePath() << "- profile"
             << index << "kept";
    return false;
}

bool Profiles::copy(int dest, int src)
{
    if (!checkIndex("copyProfile", dest) || !checkIndex("copyProfile", src))
        return false;
    if (dest == src)
        return true;
    // The source slot's pending changes belong to the copy.
    m_store.profile(src)->sync();
    if (replaceSlot(dest, m_store.profilePath(src)))
        return true;
    qDebug() << "copyProfile: cannot read" << m_store.profilePath(src) << "- profile" << dest
             << "kept";
    return false;
}

bool Profiles::replaceSlot(int index, const QString &source)
{
    return m_store.replaceProfileFile(index, [&](const QString &path) {
        return DataFile::copy(source, path);
    });
}
