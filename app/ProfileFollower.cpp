#include "app/ProfileFollower.h"

#include "device/DeviceGate.h"
#include "store/ProgramBindings.h"

#include <utility>

ProfileFollower::ProfileFollower(const ProgramBindings &bindings, QObject *parent)
    : QObject(parent), m_bindings(bindings)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(SettleMs);
    connect(&m_settle, &QTimer::timeout, this, &ProfileFollower::apply);
    m_retry.setSingleShot(true);
    m_retry.setInterval(RetryMs);
    connect(&m_retry, &QTimer::timeout, this, &ProfileFollower::apply);
}

void ProfileFollower::focusChanged(const QString &exeName, const QString &windowClass)
{
    m_exe = exeName;
    m_class = windowClass;
    m_haveFocus = true;
    m_retry.stop();
    if (m_bindings.enabled)
        m_settle.start();
}

void ProfileFollower::settingsChanged()
{
    if (!m_bindings.enabled) {
        m_settle.stop();
        m_retry.stop();
    }
}

void ProfileFollower::apply()
{
    if (!m_bindings.enabled || !m_haveFocus || !switchTo)
        return;
    // A focus change arriving while a switch pauses between its reports
    // lands here; it waits for that switch to end, then the latest focus
    // counts.
    if (m_switching) {
        m_afterSwitch = true;
        return;
    }
    if (DeviceGate::instance().busy()) {
        if (!m_gateQueued) {
            m_gateQueued = true;
            DeviceGate::instance().runWhenIdle(this, [this] {
                m_gateQueued = false;
                if (!m_settle.isActive())
                    QMetaObject::invokeMethod(this, &ProfileFollower::apply, Qt::QueuedConnection);
            });
        }
        return;
    }
    if (mustWait && mustWait()) {
        m_retry.start();
        return;
    }
    const int target = m_bindings.profileFor(m_exe, m_class);
    if (target < 0 || (currentProfile && currentProfile() == target))
        return;
    m_switching = true;
    switchTo(target);
    m_switching = false;
    if (std::exchange(m_afterSwitch, false) && !m_settle.isActive())
        QMetaObject::invokeMethod(this, &ProfileFollower::apply, Qt::QueuedConnection);
}
