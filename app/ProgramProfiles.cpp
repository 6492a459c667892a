#include "app/ProgramProfiles.h"

#include "app/Autostart.h"
#include "host/FocusWatch.h"
#include "store/SettingsStore.h"

#include <QCoreApplication>
#include <QDebug>
#include <QSettings>
#include <QVariantMap>

ProgramProfiles::ProgramProfiles(SettingsStore *store, FocusWatch *watch, QObject *parent)
    : QObject(parent), follower(m_bindings, this), m_store(store)
{
    if (m_store && m_store->global())
        m_bindings.load(*m_store->global());
    if (watch) {
        m_available = watch->available();
        m_reason = watch->unavailableReason();
        connect(watch, &FocusWatch::focusChanged, this, &ProgramProfiles::focusChanged);
    }
}

void ProgramProfiles::save()
{
    if (m_store && m_store->global())
        m_bindings.save(*m_store->global());
    ++m_revision;
    follower.settingsChanged();
    emit bindingsChanged();
}

void ProgramProfiles::setEnabled(bool on)
{
    if (on == m_bindings.enabled)
        return;
    m_bindings.enabled = on;
    save();
}

void ProgramProfiles::setDefaultProfile(int profile)
{
    if (!ProgramBindings::validProfile(profile))
        profile = -1;
    if (profile == m_bindings.defaultProfile)
        return;
    m_bindings.defaultProfile = profile;
    save();
}

bool ProgramProfiles::bind(const QString &program, int profile)
{
    if (!m_bindings.bind(program, profile))
        return false;
    save();
    return true;
}

void ProgramProfiles::unbind(const QString &program)
{
    m_bindings.unbind(program);
    save();
}

void ProgramProfiles::forgetProfile(int profile)
{
    for (const QString &program : m_bindings.programsOf(profile))
        m_bindings.unbind(program);
    if (m_bindings.defaultProfile == profile)
        m_bindings.defaultProfile = -1;
    save();
}

bool ProgramProfiles::autostart() const
{
    return Autostart::enabled();
}

void ProgramProfiles::setAutostart(bool on)
{
    QString error;
    if (!Autostart::setEnabled(on, QCoreApplication::applicationFilePath(), &error))
        emit autostartFailed(error);
    emit autostartChanged();
}

void ProgramProfiles::remember(const QString &name, const QString &kind)
{
    const QString clean = ProgramBindings::cleanName(name);
    if (clean.isEmpty())
        return;
    for (int i = 0; i < m_recent.size(); ++i) {
        if (m_recent.at(i).toMap().value(QStringLiteral("name")).toString().compare(clean, Qt::CaseInsensitive) == 0) {
            m_recent.removeAt(i);
            break;
        }
    }
    m_recent.prepend(QVariantMap{{QStringLiteral("name"), clean}, {QStringLiteral("kind"), kind}});
    while (m_recent.size() > RecentCount)
        m_recent.removeLast();
}

void ProgramProfiles::focusChanged(const QString &exeName, const QString &windowClass)
{
    qDebug().noquote() << "focus moved to:" << exeName << windowClass;
    // Both names are offered: a class tells apart programs that share one
    // executable (an interpreter, a launcher).
    if (!windowClass.isEmpty() && windowClass.compare(exeName, Qt::CaseInsensitive) != 0)
        remember(windowClass, QStringLiteral("class"));
    remember(exeName, QStringLiteral("program"));
    emit recentProgramsChanged();
    follower.focusChanged(exeName, windowClass);
}
